// The algebraic readers: LP format (objective, constraints, bounds, integer,
// binary, general, semi-continuous and SOS sections) and TARVO text (objective,
// constraints, END and the bound and type commands after it), parsed from the
// token stream into row-wise tables, then loaded into the model.
#include "io/lp_reader.hpp"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <numeric>

#include "common/error_codes.hpp"
#include "common/boundary.hpp"
#include "io/path_name.hpp"
#include "io/range_slacks.hpp"
#include "env/live_handles.hpp"

namespace tarvo::io::lp {
namespace {

constexpr size_t kMaxRecordedLine = 255;
constexpr int kMinStreamLength = 3;  // "end"

bool is_relation(Tok t) { return t == Tok::kLess || t == Tok::kGreater || t == Tok::kEqual; }
char row_type(Tok t) { return t == Tok::kLess ? 'L' : t == Tok::kGreater ? 'G' : 'E'; }
Tok flipped(Tok t) { return t == Tok::kLess ? Tok::kGreater : t == Tok::kGreater ? Tok::kLess : t; }

}  // namespace

Reader::Reader(base::Model *model, const Dialect &dialect) : model_(model), dialect_(dialect) {}

int Reader::line_error(int code, const Token &at) {
  model_->file_error.present = true;
  model_->file_error.line = at.line;
  model_->file_error.text.assign(at.line_text.data(), std::min(at.line_text.size(), kMaxRecordedLine));
  return code;
}

int Reader::syntax_error(const Token &at) {
  if (at.type == Tok::kLongLine) {
    base::log_model(model_, 1, "\nLimit of %d chars per line exceeded.", alg::kMaxLineChars);
    return line_error(err::kBadModelFile, at);
  }
  if (at.type == Tok::kEnd) {
    base::log_model(model_, 1, "\nMissing token 'END'");
  } else {
    base::log_model(model_, level() > 1, "\nUnexpected or missing token. Invalid %s format. ", dialect_.name);
    if (dialect_.commands_after_end)
      base::log_model(model_, level() > 1, "%.*s", static_cast<int>(at.line_text.size()), at.line_text.data());
  }
  base::log_model(model_, 1, "Error at line %d.", static_cast<int>(at.line));
  return line_error(err::kBadInput, at);
}

bool Reader::label(std::string_view *name) {
  if (lex_->peek(0).type != Tok::kName || lex_->peek(1).type != Tok::kColon) return false;
  *name = lex_->take().text;
  lex_->take();
  return true;
}

int Reader::column(std::string_view name) {
  const int found = cols_.find(name);
  if (found >= 0) return found;
  const int j = cols_.insert_new(name);
  cost_.push_back(0.0);
  lower_.push_back(0.0);
  upper_.push_back(infinity_);
  col_type_.push_back('C');
  mark_row_.push_back(-1);
  mark_pos_.push_back(0);
  return j;
}

// Terms: signs, an optional number, a name; a number alone is a constant.
// Every term after the first needs a sign, so an expression ends at the first
// unsigned token (the next constraint's first term).
int Reader::expression(Expr *e) {
  e->clear();
  for (bool first = true;; first = false) {
    double sign = 1;
    int signs = 0;
    Tok t = lex_->peek().type;
    while (t == Tok::kPlus || t == Tok::kMinus) {
      if (t == Tok::kMinus) sign = -sign;
      ++signs;
      lex_->take();
      t = lex_->peek().type;
    }
    if (!first && signs == 0) return 0;
    if (t == Tok::kOpenBracket) {
      if (int code = quadratic_block(sign, e)) return code;
      e->empty = false;
      continue;
    }
    double coef = 1;
    bool number = false;
    if (t == Tok::kNumber) {
      coef = lex_->take().number;
      number = true;
      t = lex_->peek().type;
      if (t == Tok::kNumber) return syntax_error(lex_->peek());
    }
    if (t == Tok::kName && lex_->peek(1).type != Tok::kColon) {
      const std::string_view name = lex_->peek().text;
      if (alg::is_infinity_word(name) && !number && cols_.find(name) < 0) {
        lex_->take();
        e->constant += sign * infinity_;
      } else {
        lex_->take();
        e->col.push_back(column(name));
        e->value.push_back(sign * coef);
      }
    } else if (number) {
      e->constant += sign * coef;
    } else if (signs > 0) {
      return syntax_error(lex_->peek());
    } else {
      return 0;  // empty
    }
    e->empty = false;
  }
}

// "[ 2 x ^ 2 + 3 x * y - y ^ 2 ] / 2": products of columns inside brackets,
// with an optional divisor after them (the objective's usual "/ 2").
int Reader::quadratic_block(double outer_sign, Expr *e) {
  lex_->take();  // '['
  const size_t first_term = e->quad.size();
  for (bool first = true;; first = false) {
    double sign = 1;
    int signs = 0;
    while (lex_->peek().type == Tok::kPlus || lex_->peek().type == Tok::kMinus) {
      if (lex_->take().type == Tok::kMinus) sign = -sign;
      ++signs;
    }
    if (lex_->peek().type == Tok::kCloseBracket && signs == 0) {
      lex_->take();
      break;
    }
    if (!first && signs == 0) return syntax_error(lex_->peek());
    double coef = 1;
    if (lex_->peek().type == Tok::kNumber) coef = lex_->take().number;
    const Token a = lex_->take();
    if (a.type != Tok::kName) return syntax_error(a);
    const int i = column(a.text);
    int j = -1;
    if (lex_->peek().type == Tok::kCaret) {
      lex_->take();
      const Token p = lex_->take();
      if (p.type != Tok::kNumber || p.number != 2) return syntax_error(p);
      j = i;
    } else if (lex_->peek().type == Tok::kStar) {
      lex_->take();
      const Token b = lex_->take();
      if (b.type != Tok::kName) return syntax_error(b);
      j = column(b.text);
    } else {
      return syntax_error(lex_->peek());
    }
    e->quad.push_back({std::min(i, j), std::max(i, j), outer_sign * sign * coef});
  }
  if (lex_->peek().type == Tok::kSlash) {
    lex_->take();
    const Token d = lex_->take();
    if (d.type != Tok::kNumber || d.number == 0) return syntax_error(d);
    for (size_t k = first_term; k < e->quad.size(); ++k) e->quad[k].value /= d.number;
  }
  return 0;
}

void Reader::keep_quadratic(int row, const Expr &e, double sign) {
  for (const QuadTerm &q : e.quad) {
    if (q.value == 0) continue;
    q_row_.push_back(row);
    q_col1_.push_back(q.col1);
    q_col2_.push_back(q.col2);
    q_coef_.push_back(sign * q.value);
  }
}

int Reader::signed_value(double *v) {
  double sign = 1;
  while (lex_->peek().type == Tok::kPlus || lex_->peek().type == Tok::kMinus) {
    if (lex_->take().type == Tok::kMinus) sign = -sign;
  }
  const Token &t = lex_->peek();
  if (t.type == Tok::kNumber) {
    *v = sign * lex_->take().number;
  } else if (t.type == Tok::kName && alg::is_infinity_word(t.text)) {
    lex_->take();
    *v = sign * infinity_;
  } else {
    return syntax_error(t);
  }
  if (*v >= infinity_) *v = infinity_;
  if (*v <= -infinity_) *v = -infinity_;
  return 0;
}

int Reader::add_row(std::string_view name, char type, double rhs, double range_width, const Expr &e,
                    double sign) {
  const int r = static_cast<int>(row_type_.size());
  if (!name.empty() && row_names_.insert(name) < 0) return syntax_error(row_token_);
  row_type_.push_back(type);
  rhs_.push_back(std::clamp(rhs, -infinity_, infinity_));
  row_label_.emplace_back(name);
  for (size_t k = 0; k < e.col.size(); ++k) {
    const int j = e.col[k];
    if (mark_row_[j] == r) {
      entry_value_[mark_pos_[j]] += sign * e.value[k];
      continue;
    }
    mark_row_[j] = r;
    mark_pos_[j] = static_cast<int>(entry_col_.size());
    entry_col_.push_back(j);
    entry_value_.push_back(sign * e.value[k]);
  }
  row_start_.push_back(static_cast<int>(entry_col_.size()));
  keep_quadratic(r, e, sign);
  if (range_width > 0) {
    range_row_.push_back(r);
    range_width_.push_back(range_width);
  }
  return 0;
}

int Reader::objective() {
  std::string_view name;
  if (label(&name)) obj_name_.assign(name);
  if (int code = expression(&lhs_)) return code;
  for (size_t k = 0; k < lhs_.col.size(); ++k) cost_[lhs_.col[k]] += lhs_.value[k];
  keep_quadratic(-1, lhs_, 1);
  obj_constant_ += lhs_.constant;
  const Token &next = lex_->peek();
  return next.type == Tok::kKeyword ? 0 : syntax_error(next);
}

// name: expr rel value | value rel expr | value rel expr rel value (a range).
int Reader::constraint() {
  std::string_view name;
  row_token_ = lex_->peek();
  label(&name);
  if (int code = expression(&lhs_)) return code;
  if (!is_relation(lex_->peek().type)) return syntax_error(lex_->peek());
  const Tok rel1 = lex_->take().type;
  if (lhs_.empty) {  // a row without terms: "name: <= 4"
    double v;
    if (int code = signed_value(&v)) return code;
    return add_row(name, row_type(rel1), v, 0, lhs_, 1);
  }
  if (lhs_.has_columns()) {
    double v;
    if (int code = signed_value(&v)) return code;
    if (is_relation(lex_->peek().type)) return syntax_error(lex_->peek());
    return add_row(name, row_type(rel1), v - lhs_.constant, 0, lhs_, 1);
  }
  if (int code = expression(&rhs_expr_)) return code;
  if (rhs_expr_.empty) return syntax_error(lex_->peek());
  if (!is_relation(lex_->peek().type))
    return add_row(name, row_type(flipped(rel1)), lhs_.constant - rhs_expr_.constant, 0, rhs_expr_, 1);
  const Token rel2 = lex_->take();
  if (rel2.type != rel1 || rel1 == Tok::kEqual) return syntax_error(rel2);
  double v3;
  if (int code = signed_value(&v3)) return code;
  double lo = rel1 == Tok::kLess ? lhs_.constant : v3;
  double hi = rel1 == Tok::kLess ? v3 : lhs_.constant;
  if (lo > -infinity_) lo -= rhs_expr_.constant;
  if (hi < infinity_) hi -= rhs_expr_.constant;
  if (lo <= -infinity_ && hi >= infinity_) return add_row(name, 'N', 0, 0, rhs_expr_, 1);
  if (lo <= -infinity_) return add_row(name, 'L', hi, 0, rhs_expr_, 1);
  if (hi >= infinity_) return add_row(name, 'G', lo, 0, rhs_expr_, 1);
  if (lo == hi) return add_row(name, 'E', hi, 0, rhs_expr_, 1);
  if (lo > hi) return syntax_error(rel2);
  return add_row(name, 'L', hi, hi - lo, rhs_expr_, 1);
}

// name rel value | value rel name [rel value] | name free.
int Reader::bound() {
  const Token first = lex_->peek();
  auto apply = [&](int j, Tok rel, double v) {
    if (j < 0) return;
    if (rel != Tok::kGreater) upper_[j] = v;
    if (rel != Tok::kLess) lower_[j] = v;
  };
  auto find = [&](const Token &t) {
    const int j = cols_.find(t.text);
    if (j < 0) base::log_model(model_, level() > 1, "\nBounds: Ignoring unknown variable at line %d.", int(t.line));
    return j;
  };
  const bool name_first =
      first.type == Tok::kName && !(alg::is_infinity_word(first.text) && cols_.find(first.text) < 0);
  if (name_first) {
    lex_->take();
    const Token &t = lex_->peek();
    if (t.type == Tok::kName && alg::equals_nocase(t.text, "free")) {
      lex_->take();
      const int j = find(first);
      if (j >= 0) {
        lower_[j] = -infinity_;
        upper_[j] = infinity_;
      }
      return 0;
    }
    if (!is_relation(t.type)) return syntax_error(t);
    const Tok rel = lex_->take().type;
    double v;
    if (int code = signed_value(&v)) return code;
    apply(find(first), rel, v);
    return 0;
  }
  double v1;
  if (int code = signed_value(&v1)) return code;
  if (!is_relation(lex_->peek().type)) return syntax_error(lex_->peek());
  const Tok rel1 = lex_->take().type;
  if (lex_->peek().type != Tok::kName) return syntax_error(lex_->peek());
  const int j = find(lex_->take());
  apply(j, flipped(rel1), v1);
  if (!is_relation(lex_->peek().type)) return 0;
  const Tok rel2 = lex_->take().type;
  double v2;
  if (int code = signed_value(&v2)) return code;
  apply(j, rel2, v2);
  return 0;
}

int Reader::type_name(Section s) {
  const Token t = lex_->take();
  if (t.type != Tok::kName) return syntax_error(t);
  const int j = cols_.find(t.text);
  if (j < 0) {
    if (s == Section::kBinaries)
      base::log_model(model_, level() > 1, "\nBinaries: Ignoring unknown variable at line %d.", int(t.line));
    return 0;
  }
  switch (s) {
    case Section::kBinaries:
      col_type_[j] = 'B';
      lower_[j] = 0;
      upper_[j] = 1;
      break;
    case Section::kSemis:
      if (std::find(semi_col_.begin(), semi_col_.end(), j) == semi_col_.end()) semi_col_.push_back(j);
      break;
    default:
      col_type_[j] = 'I';
  }
  return 0;
}

// [name:] S1:: member:weight ...  (S2 likewise); members are ordered by weight.
int Reader::sos_line() {
  const Token start = lex_->peek();
  if (start.type != Tok::kName || lex_->peek(1).type != Tok::kColon) return syntax_error(start);
  if (lex_->peek(2).type != Tok::kColon) {  // a set name before the tag
    lex_->take();
    lex_->take();
  }
  const Token tag = lex_->take();
  if (tag.type != Tok::kName || lex_->take().type != Tok::kColon || lex_->take().type != Tok::kColon)
    return syntax_error(tag);
  char type = 0;
  if (alg::equals_nocase(tag.text, "S1")) type = 1;
  if (alg::equals_nocase(tag.text, "S2")) type = 2;
  if (type == 0) {
    base::log_model(model_, level() > 1, "\nSOS: Ignoring unknown tags at line %d. ", int(tag.line));
    while (lex_->peek().type != Tok::kEnd && lex_->peek().type != Tok::kKeyword && lex_->peek().line == tag.line)
      lex_->take();
    return 0;
  }
  std::vector<std::pair<double, int>> members;
  while (lex_->peek(0).type == Tok::kName && lex_->peek(1).type == Tok::kColon &&
         lex_->peek(2).type == Tok::kNumber) {
    const Token name = lex_->take();
    lex_->take();
    const double weight = lex_->take().number;
    const int j = cols_.find(name.text);
    if (j >= 0) members.emplace_back(weight, j);
  }
  if (members.empty()) return 0;
  std::stable_sort(members.begin(), members.end(),
                   [](const auto &a, const auto &b) { return a.first < b.first; });
  set_type_.push_back(type);
  for (const auto &m : members) set_member_.push_back(m.second);
  set_start_.push_back(static_cast<int>(set_member_.size()));
  return 0;
}

// A TARVO command after END: "free x", "slb x 2", "sub x 9", "int x", "gin x", "title text".
int Reader::command(Section s) {
  if (s == Section::kTitle) return 0;
  const Token name = lex_->take();
  if (name.type != Tok::kName) return syntax_error(name);
  double v = 0;
  if ((s == Section::kSlb || s == Section::kSub) && signed_value(&v)) return err::kBadInput;
  const int j = cols_.find(name.text);
  if (j < 0) {
    static const char *const kTag[] = {"FREE", "SLB", "SUB", "INT", "GIN"};
    const int tag = static_cast<int>(s) - static_cast<int>(Section::kFree);
    base::log_model(model_, level() > 1, "\n%s: Ignoring unknown variable at line %d.", kTag[tag], int(name.line));
    return 0;
  }
  switch (s) {
    case Section::kFree: lower_[j] = -infinity_, upper_[j] = infinity_; break;
    case Section::kSlb: lower_[j] = v; break;
    case Section::kSub: upper_[j] = v; break;
    case Section::kInt: col_type_[j] = 'B', lower_[j] = 0, upper_[j] = 1; break;
    default: col_type_[j] = 'I';
  }
  return 0;
}

int Reader::parse() {
  Section section = Section::kNone;
  bool objective_seen = false, ended = false;
  for (;;) {
    const Token &t = lex_->peek();
    if (t.type == Tok::kEnd && ended) return 0;
    if (t.type == Tok::kEnd || t.type == Tok::kLongLine) return syntax_error(t);
    if (t.type == Tok::kKeyword) {
      const Token k = lex_->take();
      if (k.section >= Section::kTitle) {
        // Commands follow END; a title may also come before the objective.
        if (k.section == Section::kTitle ? (objective_seen && !ended) : !ended) return syntax_error(k);
        if (k.section == Section::kTitle) title_.assign(k.text);
        if (int code = command(k.section)) return code;
        if (ended && lex_->peek().type != Tok::kEnd && lex_->peek().line == k.line) return syntax_error(lex_->peek());
        continue;
      }
      if (ended) return syntax_error(k);
      if (k.section == Section::kEnd) {
        if (!dialect_.commands_after_end) return 0;
        ended = true;
        continue;
      }
      if ((k.section == Section::kObjective) == objective_seen) return syntax_error(k);
      if (k.section == Section::kObjective) {
        objective_seen = true;
        sense_ = k.maximize ? TV_MAX : TV_MIN;
      }
      section = k.section;
      continue;
    }
    if (ended) return syntax_error(t);
    int code = 0;
    switch (section) {
      case Section::kObjective: code = objective(); break;
      case Section::kConstraints: code = constraint(); break;
      case Section::kBounds: code = bound(); break;
      case Section::kSos: code = sos_line(); break;
      case Section::kIntegers:
      case Section::kGenerals:
      case Section::kBinaries:
      case Section::kSemis: code = type_name(section); break;
      default: code = syntax_error(t);
    }
    if (code) return code;
  }
}

int Reader::load() {
  const int n = static_cast<int>(cost_.size());
  const int m = static_cast<int>(row_type_.size());
  const int nz = static_cast<int>(entry_col_.size());
  // Row-wise entries to columns.
  std::vector<int> start(n + 1, 0), rowidx(nz);
  std::vector<double> value(nz);
  for (int j : entry_col_) ++start[j + 1];
  std::partial_sum(start.begin(), start.end(), start.begin());
  std::vector<int> fill(start.begin(), start.end() - 1);
  for (int i = 0; i < m; ++i)
    for (int p = row_start_[i]; p < row_start_[i + 1]; ++p) {
      const int q = fill[entry_col_[p]]++;
      rowidx[q] = i;
      value[q] = entry_value_[p];
    }
  std::vector<double> semi_lower(semi_col_.size()), semi_upper(semi_col_.size());
  for (size_t k = 0; k < semi_col_.size(); ++k) {
    semi_lower[k] = lower_[semi_col_[k]];
    semi_upper[k] = upper_[semi_col_[k]];
    lower_[semi_col_[k]] = 0;
  }
  int code = TVloadLPData(model_, m, n, sense_, obj_constant_, cost_.data(), rhs_.data(), row_type_.data(), nz,
                          start.data(), nullptr, value.data(), rowidx.data(), lower_.data(), upper_.data());
  if (code) return code;
  if (std::any_of(col_type_.begin(), col_type_.end(), [](char t) { return t != 'C'; }) &&
      (code = TVloadVarType(model_, col_type_.data())))
    return code;
  std::vector<std::string> generated(m);
  std::vector<char *> row_names(m), col_names(n);
  for (int i = 0; i < m; ++i) {
    if (row_label_[i].empty()) {
      char buf[32];
      std::snprintf(buf, sizeof buf, "R%07d", i);
      row_label_[i] = buf;
    }
    row_names[i] = row_label_[i].data();
  }
  for (int j = 0; j < n; ++j) col_names[j] = const_cast<char *>(cols_.c_name(j));
  code = TVloadNameData(model_, title_.empty() ? nullptr : title_.c_str(), obj_name_.c_str(), nullptr, nullptr, nullptr,
                        m ? row_names.data() : nullptr, n ? col_names.data() : nullptr, nullptr);
  if (code) return code;
  if (!q_coef_.empty() && (code = TVloadQCData(model_, static_cast<int>(q_coef_.size()), q_row_.data(),
                                                 q_col1_.data(), q_col2_.data(), q_coef_.data())))
    return code;
  if (!set_type_.empty() &&
      (code = TVloadSETSData(model_, static_cast<int>(set_type_.size()), set_type_.data(), nullptr,
                             set_start_.data(), set_member_.data())))
    return code;
  if (!semi_col_.empty() && (code = TVloadSemiContData(model_, static_cast<int>(semi_col_.size()),
                                                        semi_col_.data(), semi_lower.data(), semi_upper.data())))
    return code;
  RangeSlacks slacks;
  slacks.row = range_row_;
  slacks.coef.assign(range_row_.size(), 1.0);
  slacks.upper = range_width_;
  slacks.retype = range_row_;
  if ((code = add_range_slacks(model_, slacks))) return code;
  TVsetModelIntParameter(model_, TV_IPARAM_NLP_LINEARITY, 1);
  return 0;
}

int Reader::run(std::string_view text) {
  const auto started = std::chrono::steady_clock::now();
  print_level_ = std::max(model_->params.integer(TV_IPARAM_LP_PRINTLEVEL),
                          model_->params.integer(TV_IPARAM_MIP_PRINTLEVEL));
  infinity_ = model_->params.dbl(TV_DPARAM_LP_INFINITY);
  model_->file_error.clear();
  if (text.size() < static_cast<size_t>(kMinStreamLength)) {
    base::log_model(model_, 1, dialect_.commands_after_end ? "\nLTX stream is too short." : "\nLP stream is too short.");
    return err::kBadModelFile;
  }
  // The name tables start small (a name usually appears several times) and
  // grow with the names read.
  const long long expected = static_cast<long long>(text.size() / 256) + 16;
  if (int code = cols_.setup(expected)) return code;
  if (int code = row_names_.setup(expected)) return code;
  cols_.allow_growth();
  row_names_.allow_growth();
  Lexer lexer(text, dialect_);
  lex_ = &lexer;
  int code = parse();
  lex_ = nullptr;
  if (code) return code;
  if ((code = load())) {
    base::log_model(model_, 1, "\n%s Reader: %s", dialect_.name, base::message_text(model_->env, code));
    return code;
  }
  const double secs = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
  if (dialect_.commands_after_end)
    base::log_model(model_, 1, "\nProcessed %d lines in TARVO format (%.2f secs).\n",
                    static_cast<int>(lexer.lines_started()), secs);
  else
    base::log_model(model_, 1, "\nProcessed %d lines in LP format.", static_cast<int>(lexer.lines_started()));
  return 0;
}

}  // namespace tarvo::io::lp

using tarvo::base::Model;

namespace {

bool model_loaded(const Model *model) { return model->data.m > 0 || model->data.n > 0; }

int read_stream(Model *model, const char *text, int length, const tarvo::io::lp::Dialect &dialect) {
  if (!model || !text) return tarvo::err::kNullArgument;
  return tarvo::guarded([&] {
    if (model_loaded(model)) return static_cast<int>(tarvo::err::kAlreadyLoaded);
    if (dialect.commands_after_end)
      tarvo::base::log_model(model, 1, "\nReading from stream at 0x%p in TARVO format",
                             static_cast<const void *>(text));
    tarvo::io::lp::Reader reader(model, dialect);
    return reader.run(std::string_view(text, length > 0 ? static_cast<size_t>(length) : 0));
  });
}

int read_file(Model *model, const char *fileName, const tarvo::io::lp::Dialect &dialect) {
  if (!model || !fileName) return tarvo::err::kNullArgument;
  return tarvo::guarded([&] {
    if (model_loaded(model)) return static_cast<int>(tarvo::err::kAlreadyLoaded);
    model->file_error.clear();
    if (dialect.commands_after_end) tarvo::base::log_model(model, 1, "\nReading %s in TARVO format", fileName);
    std::string text;
    if (int code = tarvo::io::alg::read_whole_file(fileName, &text)) return code;
    tarvo::io::lp::Reader reader(model, dialect);
    const int code = reader.run(text);
    if (code == 0) {
      const tarvo::io::PathParts parts = tarvo::io::break_path_name(fileName);
      model->source_dir = parts.dir;
      model->source_base = parts.base;
      model->source_ext = parts.ext;
    }
    return code;
  });
}

}  // namespace

extern "C" {

TVAPI int TVreadLPStream(pTVmodel model, const char *text, int length) {
  if (!tarvo::base::live(model)) return tarvo::err::kNullArgument;
  return read_stream(model, text, length, tarvo::io::lp::lp_dialect());
}

TVAPI int TVreadLPFile(pTVmodel model, const char *fileName) {
  if (!tarvo::base::live(model)) return tarvo::err::kNullArgument;
  return read_file(model, fileName, tarvo::io::lp::lp_dialect());
}

TVAPI int TVreadTARVOStream(pTVmodel model, const char *text, int length) {
  if (!tarvo::base::live(model)) return tarvo::err::kNullArgument;
  return read_stream(model, text, length, tarvo::io::lp::tarvo_dialect());
}

// The alternative reader of the same format (bit 1024 of TV_IPARAM_COPY_MODE)
// shares the parser: both accept and refuse the same texts.
TVAPI int TVreadTARVOFileX(pTVmodel model, const char *fileName) {
  if (!tarvo::base::live(model)) return tarvo::err::kNullArgument;
  return read_file(model, fileName, tarvo::io::lp::tarvo_dialect());
}

TVAPI int TVreadTARVOFile(pTVmodel model, const char *fileName) {
  if (model && (model->params.integer(TV_IPARAM_COPY_MODE) & 1024)) return TVreadTARVOFileX(model, fileName);
  return read_file(model, fileName, tarvo::io::lp::tarvo_dialect());
}

}  // extern "C"
