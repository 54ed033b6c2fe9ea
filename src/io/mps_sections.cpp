// The MPS reader's line-driven state machine: header transitions and the
// data lines of every section, shared by the counting and the reading walk.
#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstring>

#include "io/mps_reader.hpp"
#include "common/error_codes.hpp"

namespace tarvo::io::mps {
namespace {

constexpr double kMachineEpsilon = 2.220446049250313e-16;
constexpr size_t kMaxLine = 255;
const std::string_view kBlankSetName = "        ";

bool blank(char ch) { return ch == ' ' || ch == '\t'; }

bool integral(double v) { return std::fabs(std::floor(v) - v) < 1e-15; }

// The model name of a fixed NAME line: columns 15-22, and a name that runs on
// past column 22 without a blank is kept whole rather than cut.
std::string_view fixed_title(std::string_view line) {
  if (line.size() <= 14) return {};
  size_t end = std::min<size_t>(22, line.size());
  if (end == 22 && line.size() > 22 && !blank(line[21]))
    while (end < line.size() && !blank(line[end])) ++end;
  std::string_view t = line.substr(14, end - 14);
  while (!t.empty() && blank(t.front())) t.remove_prefix(1);
  while (!t.empty() && blank(t.back())) t.remove_suffix(1);
  return t;
}

}  // namespace

Reader::Reader(base::Model *model, int format, int objective_index, bool keep_free_rows)
    : model_(model),
      format_(format),
      fixed_(format != 0 && format != 2),
      pending_binary_(format == 2 || format == 3),
      objective_index_(objective_index),
      keep_free_rows_(keep_free_rows) {}

int Reader::walk(bool counting) {
  counting_ = counting;
  state_ = State::kStart;
  sense_seen_ = quadratic_left_ = false;
  integer_mode_ = false;
  open_set_ = -1;
  count_set_open_ = false;
  count_last_column_.clear();
  last_column_ = -1;
  rhs_set_known_ = range_set_known_ = bound_set_known_ = false;
  line_no_ = 0;
  line_ = {};
  std::string_view line;
  while (source_.next(&line)) {
    ++line_no_;
    line_ = line;
    if (int code = handle_line(line)) return code;
    if (state_ == State::kEnd) break;
    if (!counting_ && level() >= 201 && line_no_ % 5000 == 0) progress(false);
  }
  if (state_ == State::kEnd) {
    // The first walk reads to the end of the file: a damaged compressed
    // stream shows only there, and the kept text must be complete.
    if (counting_ && !source_.drain()) {
      line_ = endata_line_;  // the block buffer now holds other text
      return format_error();
    }
    return 0;
  }
  if (!source_.read_failed())
    base::log_model(model_, level() >= 200, "\nMPS Reader: Unexpected end of file. ENDATA section missing.");
  return format_error();
}

int Reader::handle_line(std::string_view line) {
  if (line.empty() || line[0] == '*') return 0;
  size_t first = 0;
  while (first < line.size() && blank(line[first])) ++first;
  if (first == line.size()) return 0;
  // Text is never binary; a NUL would also cut names short in the model.
  if (std::memchr(line.data(), '\0', line.size())) return format_error();
  if (line.size() > kMaxLine) {
    // Trailing blanks do not make a line too long; anything else past the
    // limit could only be cut off, so the line is refused.
    size_t end = line.size();
    while (end > kMaxLine && blank(line[end - 1])) --end;
    if (end > kMaxLine) return format_error();
    line = line.substr(0, end);
    line_ = line;
  }
  if (first == 0) return handle_header(line);
  return handle_data(line);
}

void Reader::echo_fields() {
  base::log_model(model_, 1, "\nline%07d:", line_no_);
  for (int i = 1; i <= 6; ++i)
    base::log_model(model_, 1, "%.*s ", static_cast<int>(fields_.f[i].size()), fields_.f[i].data());
}

int Reader::handle_data(std::string_view line) {
  if (fixed_) {
    fixed_data_fields(line, &fields_);
  } else {
    std::string_view tok[7];
    const int count = split_tokens(line, tok);
    if (!place_free_tokens(state_, tok, count, &fields_)) return format_error();
  }
  if (!counting_ && level() >= 201) echo_fields();
  switch (state_) {
    case State::kObjSense:
      return objsense_line();
    case State::kRows:
      return rows_line();
    case State::kColumns:
      return columns_line();
    case State::kRhs:
      return rhs_line();
    case State::kRanges:
      return ranges_line();
    case State::kBounds:
      return bounds_line();
    case State::kQuadratic:
      return quadratic_line();
    case State::kCones:
      return cone_line();
    case State::kIndicators:
      return indicator_line();
    default:
      return format_error();  // NAME, ROWS-expected and end states take no data
  }
}

int Reader::handle_header(std::string_view line) {
  std::string_view tok[7];
  int count = 0;
  Fields h;
  if (fixed_) {
    fixed_header_fields(line, &h);
  } else {
    count = split_tokens(line, tok);
    for (int i = 0; i < count && i < 7; ++i) h.f[i + 1] = tok[i];
  }
  const Keyword k = header_keyword(h.f[1]);
  const bool quad = is_quadratic_keyword(k);
  switch (state_) {
    case State::kStart:
      if (k != Keyword::kName) return format_error();
      if (!counting_) title_ = std::string(fixed_ ? fixed_title(line) : tok[1]);
      return enter(State::kExpectRows);
    case State::kExpectRows:
      if (k == Keyword::kRows) {
        sense_ = TV_MIN;
        return enter(State::kRows);
      }
      if (k == Keyword::kObjSense) return enter(State::kObjSense);
      return format_error();
    case State::kObjSense:
      if (k == Keyword::kRows && sense_seen_) return enter(State::kRows);
      return format_error();
    case State::kRows:
      if (k == Keyword::kColumns) return enter(State::kColumns);
      return format_error();
    case State::kColumns:
      if (k == Keyword::kRhs) return enter(State::kRhs);
      if (quad) return quadratic_header(k, line);
      if (k == Keyword::kCSection) return cone_header(line);
      return format_error();
    case State::kRhs:
      if (k == Keyword::kRanges) return enter(State::kRanges);
      if (k == Keyword::kBounds) return enter(State::kBounds);
      if (k == Keyword::kIndicators) return enter(State::kIndicators);
      if (quad) return quadratic_header(k, line);
      if (k == Keyword::kCSection) return cone_header(line);
      if (k == Keyword::kEndata) return enter(State::kEnd);
      return format_error();
    case State::kRanges:
      if (k == Keyword::kBounds) return enter(State::kBounds);
      if (k == Keyword::kQSection || k == Keyword::kQMatrix || k == Keyword::kQuadObj)
        return quadratic_header(k, line);
      if (k == Keyword::kCSection) return cone_header(line);
      if (k == Keyword::kIndicators) return enter(State::kIndicators);
      if (k == Keyword::kEndata) return enter(State::kEnd);
      return 0;  // other headers are skipped here
    case State::kBounds:
      if (quad) return quadratic_header(k, line);
      if (k == Keyword::kCSection) return cone_header(line);
      if (k == Keyword::kIndicators) return enter(State::kIndicators);
      if (k == Keyword::kEndata) return enter(State::kEnd);
      return format_error();
    case State::kQuadratic:
      if (quad) return quadratic_header(k, line);
      if (k == Keyword::kRhs) return enter(State::kRhs);
      if (k == Keyword::kRanges) return enter(State::kRanges);
      if (k == Keyword::kBounds) return enter(State::kBounds);
      if (k == Keyword::kEndata) return enter(State::kEnd);
      // A term written from column 1 still counts; a lone word is skipped.
      if (fixed_ ? h.has(3) : count >= 2) return handle_data(line);
      return 0;
    case State::kCones:
      if (k == Keyword::kCSection) return cone_header(line);
      if (k == Keyword::kEndata) return enter(State::kEnd);
      return format_error();
    case State::kIndicators:
      if (k == Keyword::kRanges) return enter(State::kRanges);
      if (k == Keyword::kBounds) return enter(State::kBounds);
      if (quad) return quadratic_header(k, line);
      if (k == Keyword::kCSection) return cone_header(line);
      if (k == Keyword::kEndata) return enter(State::kEnd);
      return format_error();
    case State::kEnd:
      return 0;
  }
  return format_error();
}

int Reader::leave_state() {
  switch (state_) {
    case State::kColumns:
      open_set_ = -1;
      count_set_open_ = false;
      integer_mode_ = false;
      return 0;
    case State::kQuadratic:
      quadratic_left_ = true;
      return 0;
    case State::kCones:
      return check_cone_size();
    default:
      return 0;
  }
}

int Reader::enter(State next) {
  if (next == State::kQuadratic && state_ != State::kQuadratic && quadratic_left_) return format_error();
  if (next != state_) {
    if (int code = leave_state()) return code;
  }
  if (next == State::kColumns && !counting_) {
    row_mark_.assign(row_type_.size(), -1);
    row_has_indicator_.assign(row_type_.size(), 0);
  }
  if (next == State::kEnd) endata_line_ = std::string(line_);
  state_ = next;
  return 0;
}

// ---- ROWS and OBJSENSE ----

int Reader::objsense_line() {
  const std::string_view s = fields_.f[2];
  if (s.substr(0, 3) == "MAX") sense_ = TV_MAX;
  else if (s.substr(0, 3) == "MIN") sense_ = TV_MIN;
  else return format_error();
  sense_seen_ = true;
  return 0;
}

bool Reader::row_name_taken(std::string_view name) const {
  return rows_.find(name) >= 0 || free_rows_.find(name) >= 0 || (have_objective_ && name == objective_name_);
}

int Reader::rows_line() {
  if (!fields_.has(1) || !fields_.has(2)) return format_error();
  const char type = static_cast<char>(std::toupper(static_cast<unsigned char>(fields_.f[1][0])));
  if (type != 'E' && type != 'G' && type != 'L' && type != 'N') return format_error();
  const std::string_view name = fields_.f[2];
  if (counting_) {
    ++count_rows_;
    if (type != 'N') return 0;
    int record = -1;
    if (fields_.has(3)) {
      PoolRecord r;
      double v = 0;
      if (!parse_number(fields_.f[3], &v) || std::fabs(v) > 2e9) return format_error();
      r.priority = static_cast<int>(v);
      if (fields_.has(4) && !parse_number(fields_.f[4], &r.weight)) return format_error();
      if (fields_.has(5) && !parse_number(fields_.f[5], &r.abstol)) return format_error();
      if (fields_.has(6) && !parse_number(fields_.f[6], &r.reltol)) return format_error();
      if (fields_.has(7)) {
        if (!parse_number(fields_.f[7], &v) || std::fabs(v) > 2e9) return format_error();
        r.sense = static_cast<int>(v);
      }
      r.row_position = static_cast<int>(count_nrows_);
      record = static_cast<int>(pool_.size());
      pool_.push_back(std::move(r));
    }
    nrow_record_.push_back(record);
    ++count_nrows_;
    return 0;
  }
  // The row table, the objective and the further N rows share one name space:
  // a repeated name would send later entries to whichever table is asked first.
  if (row_name_taken(name)) return format_error();
  if (type != 'N') return append_row(name, type, -1);
  const int ordinal = nrows_seen_++;
  const int record = nrow_record_[ordinal];
  if (!have_objective_ && ordinal == objective_index_) {
    have_objective_ = true;
    objective_name_ = std::string(name);
    objective_record_ = record;
    return 0;
  }
  if (keep_free_rows_) return append_row(name, 'N', record);
  free_rows_.insert(name, record);
  return 0;
}

int Reader::append_row(std::string_view name, char type, int record) {
  if (row_type_.size() >= 2147483000u) return err::kNoMemory;
  rows_.insert(name);
  row_type_.push_back(type);
  rhs_.push_back(0.0);
  range_.push_back(0.0);
  range_count_.push_back(0);
  row_record_.push_back(record);
  return 0;
}

// ---- COLUMNS ----

int Reader::columns_marker() {
  const std::string_view kind = fields_.f[1], marker = fields_.f[5];
  if (marker == "'SOSEND'") {
    open_set_ = -1;
    count_set_open_ = false;
    return 0;
  }
  if (marker == "'SOSORG'") {
    char type;
    if (kind == "S1") type = 1;
    else if (kind == "S2") type = 2;
    else if (kind.empty()) type = pending_binary_ ? 1 : 3;
    else return format_error();
    if (counting_) {
      if (!count_set_open_) ++count_sets_;
      count_set_open_ = true;
      return 0;
    }
    if (open_set_ < 0) {
      open_set_ = static_cast<int>(set_type_.size());
      set_type_.push_back(type);
    }
    return 0;
  }
  if (kind == "S1" || kind == "S2") return format_error();
  integer_mode_ = marker == "'INTORG'";
  return 0;
}

int Reader::new_column(std::string_view name, char type, double upper) {
  if (cost_.size() >= 2147483000u) return err::kNoMemory;
  const int j = cols_.insert(name);
  if (j < 0) return format_error();
  col_start_.push_back(static_cast<int>(entry_row_.size()));
  cost_.push_back(0.0);
  lower_.push_back(0.0);
  upper_.push_back(upper);
  col_type_.push_back(type);
  sc_index_.push_back(-1);
  return 0;
}

int Reader::find_column_or_create(std::string_view name, int *j) {
  *j = cols_.find(name);
  if (*j >= 0) return 0;
  *j = cols_.size();
  return new_column(name, 'C', infinity());
}

int Reader::columns_line() {
  if (fields_.f[3] == "'MARKER'") return columns_marker();
  if (!fields_.has(2) || !fields_.has(3) || !fields_.has(4)) return format_error();
  const bool second = fields_.has(5) || fields_.has(6);
  if (second && !(fields_.has(5) && fields_.has(6))) return format_error();
  const std::string_view name = fields_.f[2];
  if (counting_) {
    if (name != count_last_column_) {
      ++count_cols_;
      count_last_column_.assign(name.data(), name.size());
      if (count_set_open_) ++count_set_nz_;
    }
    count_nz_ += second ? 2 : 1;
    return 0;
  }
  if (last_column_ < 0 || name != last_column_name_) {
    const char type = integer_mode_ ? (pending_binary_ ? 'Z' : 'I') : 'C';
    last_column_ = cols_.size();
    if (int code = new_column(name, type, type == 'Z' ? 1.0 : infinity())) return code;
    last_column_name_.assign(name.data(), name.size());
    if (open_set_ >= 0) {
      member_col_.push_back(last_column_);
      member_set_.push_back(open_set_);
    }
  }
  const int j = last_column_;
  for (int a = 3; a <= 5; a += 2) {
    if (a == 5 && !second) break;
    double v;
    if (!parse_number(fields_.f[a + 1], &v)) return format_error();
    const std::string_view row = fields_.f[a];
    const int i = rows_.find(row);
    if (i >= 0) {
      if (row_mark_[i] != j) {  // the first entry of a row in a column wins
        row_mark_[i] = j;
        if (entry_row_.size() >= 2147483000u) return err::kNoMemory;
        entry_row_.push_back(i);
        entry_value_.push_back(v);
      }
      if (row_record_[i] >= 0) pool_coefficient(row_record_[i], j, v);
      continue;
    }
    if (have_objective_ && row == objective_name_) {
      cost_[j] = v;
      continue;
    }
    const int k = free_rows_.find(row);
    if (k >= 0) {
      if (free_rows_.value(k) >= 0) pool_coefficient(free_rows_.value(k), j, v);
      continue;
    }
    return format_error();
  }
  return 0;
}

void Reader::pool_coefficient(int record, int j, double v) {
  std::vector<double> &c = pool_[record].c;
  if (static_cast<int>(c.size()) <= j) c.resize(static_cast<size_t>(j) + 1, 0.0);
  c[j] = v;
}

// ---- RHS and RANGES ----

// Whether the line's set is the one read: the first set name met wins.
static bool first_set(std::string_view name, std::string *kept, bool *known) {
  if (name.empty()) name = kBlankSetName;
  if (!*known) {
    kept->assign(name.data(), name.size());
    *known = true;
    return true;
  }
  return name == *kept;
}

int Reader::rhs_line() {
  if (!fields_.has(3) || !fields_.has(4)) return format_error();
  const bool second = fields_.has(5) || fields_.has(6);
  if (second && !(fields_.has(5) && fields_.has(6))) return format_error();
  if (!first_set(fields_.f[2], &rhs_set_, &rhs_set_known_) || counting_) return 0;
  for (int a = 3; a <= 5; a += 2) {
    if (a == 5 && !second) break;
    double v;
    if (!parse_number(fields_.f[a + 1], &v)) return format_error();
    const std::string_view row = fields_.f[a];
    const int i = rows_.find(row);
    if (i >= 0) {
      rhs_[i] = v;
    } else if (have_objective_ && row == objective_name_) {
      obj_constant_ = -v;
      base::log_model(model_, level() >= 1,
                      "\nMPS Warning: Objective function has a constant term of %g\nMPS Warning: TARVO API accounts "
                      "for this term when reporting the objective value.\nMPS Warning: Third-party solvers may "
                      "ignore such constant terms.\n",
                      obj_constant_);
    } else if (free_rows_.find(row) < 0) {
      return format_error();
    }
  }
  return 0;
}

int Reader::ranges_line() {
  if (!fields_.has(3) || !fields_.has(4)) return 0;  // not a range line: skipped
  const bool second = fields_.has(5) || fields_.has(6);
  if (second && !(fields_.has(5) && fields_.has(6))) return format_error();
  if (!first_set(fields_.f[2], &range_set_, &range_set_known_) || counting_) return 0;
  for (int a = 3; a <= 5; a += 2) {
    if (a == 5 && !second) break;
    double v;
    if (!parse_number(fields_.f[a + 1], &v)) return format_error();
    const int i = rows_.find(fields_.f[a]);
    if (i < 0) return format_error();  // the objective and further N rows take no range
    range_[i] = v;
    ++range_count_[i];
  }
  return 0;
}

// ---- BOUNDS ----

int Reader::bounds_line() {
  const std::string_view type = fields_.f[1];
  static const char *const kTypes[] = {"UP", "LO", "FX", "FR", "MI", "PL", "BV", "LI", "UI", "SC"};
  int t = -1;
  for (int k = 0; k < 10; ++k)
    if (type == kTypes[k]) t = k;
  if (t < 0) return 0;  // unknown bound types are ignored
  if (!fields_.has(3)) return format_error();
  if (!first_set(fields_.f[2], &bound_set_, &bound_set_known_) || counting_) return 0;
  double v = 0;
  if (fields_.has(4) && !parse_number(fields_.f[4], &v)) return format_error();
  int j;
  if (int code = find_column_or_create(fields_.f[3], &j)) return code;
  const bool semi = sc_index_[j] >= 0;
  double &lo = lower_[j], &up = upper_[j];
  char &ct = col_type_[j];
  const double inf = infinity();
  switch (t) {
    case 0:  // UP
      if (semi) return format_error();
      up = v > 1e28 ? inf : v;
      break;
    case 1:  // LO
      if (semi) {
        if (v < 0) return format_error();
        sc_lower_[sc_index_[j]] = v;
      } else {
        lo = v;
      }
      break;
    case 2:  // FX
      if (semi) return format_error();
      lo = up = v;
      break;
    case 3:  // FR
      if (semi) return format_error();
      lo = -inf;
      up = inf;
      break;
    case 4:  // MI
      if (semi) return format_error();
      lo = -inf;
      break;
    case 5:  // PL
      if (semi) return format_error();
      up = inf;
      break;
    case 6:  // BV
      if (semi) return format_error();
      lo = 0;
      up = 1;
      ct = 'B';
      return 0;
    case 7: {  // LI
      const double w = integral(v) ? v : std::floor(v);
      if (semi) {
        if (w < 0) return format_error();
        sc_lower_[sc_index_[j]] = w;
      } else {
        lo = w;
      }
      ct = 'I';
      return 0;
    }
    case 8:  // UI
      if (semi) return format_error();
      up = integral(v) ? v : std::ceil(v);
      ct = 'I';
      return 0;
    case 9:  // SC
      if (v == 0) {
        lo = up = 0;
        return 0;
      }
      if (v < 0) return format_error();
      up = v;
      if (!semi) {
        sc_index_[j] = static_cast<int>(sc_col_.size());
        sc_col_.push_back(j);
        sc_lower_.push_back(0.0);
      }
      sc_lower_[sc_index_[j]] = std::min(lo, std::min(1.0, v));
      lo = 0;
      return 0;
  }
  if (ct == 'Z') ct = 'I';
  return 0;
}

// ---- Quadratic sections ----

int Reader::quadratic_header(Keyword k, std::string_view line) {
  std::string_view tok[7];
  int count = 0;
  std::string_view row;
  if (fixed_) {
    row = line.size() > 14 ? line.substr(14, std::min<size_t>(8, line.size() - 14)) : std::string_view{};
    while (!row.empty() && blank(row.back())) row.remove_suffix(1);
    while (!row.empty() && blank(row.front())) row.remove_prefix(1);
    count = row.empty() ? 1 : 2;
  } else {
    count = split_tokens(line, tok);
    row = count >= 2 ? tok[1] : std::string_view{};
  }
  block_row_ = -1;
  block_discarded_ = false;
  if (k == Keyword::kQSection || k == Keyword::kQCMatrix) {
    if (count != 2) return format_error();
    if (!counting_) {
      const int i = rows_.find(row);
      if (i >= 0) block_row_ = i;
      else if (have_objective_ && row == objective_name_) block_row_ = -1;
      else if (free_rows_.find(row) >= 0) block_discarded_ = true;
      else return format_error();
    }
  } else if (k == Keyword::kQMatrix && count >= 2 && !counting_) {
    base::log_model(model_, level() >= 1, "\nWarning: ignoring QMATRIX row name '%.*s'", static_cast<int>(row.size()),
                    row.data());
  }
  return enter(State::kQuadratic);
}

int Reader::quadratic_line() {
  if (!fields_.has(2) || !fields_.has(3) || !fields_.has(4)) return format_error();
  double v;
  if (!parse_number(fields_.f[4], &v)) return format_error();
  if (counting_) return 0;
  int j1, j2;
  if (int code = find_column_or_create(fields_.f[2], &j1)) return code;
  if (int code = find_column_or_create(fields_.f[3], &j2)) return code;
  if (block_discarded_) return 0;
  terms_.push_back({block_row_, std::min(j1, j2), std::max(j1, j2), v});
  return 0;
}

// ---- CSECTION ----

int Reader::check_cone_size() {
  if (counting_ || cone_type_.empty()) return 0;
  const int size = static_cast<int>(cone_member_.size()) - cone_start_.back();
  switch (cone_type_.back()) {
    case 'Q':
      return size >= 1 ? 0 : format_error();
    case 'R':
      return size >= 2 ? 0 : format_error();
    default:
      return size == 3 ? 0 : format_error();
  }
}

int Reader::cone_header(std::string_view line) {
  std::string_view tok[7];
  if (fixed_ || split_tokens(line, tok) != 4) return format_error();
  if (int code = check_cone_size()) return code;
  if (counting_) {
    ++count_cones_;
    return enter(State::kCones);
  }
  char type;
  if (tok[3] == "QUAD") type = 'Q';
  else if (tok[3] == "RQUAD") type = 'R';
  else if (tok[3] == "PEXP") type = 'E';
  else if (tok[3] == "PPOW") type = 'P';
  else return format_error();
  double alpha = 0;
  if (!parse_number(tok[2], &alpha)) {
    if (type == 'P') return format_error();
    alpha = 0;
  }
  // A repeated name would silently pour the members into the cone before.
  if (cones_.insert(tok[1]) < 0) return format_error();
  if (int code = enter(State::kCones)) return code;
  cone_type_.push_back(type);
  cone_alpha_.push_back(alpha);
  cone_start_.push_back(static_cast<int>(cone_member_.size()));
  return 0;
}

int Reader::cone_line() {
  if (counting_) {
    ++count_cone_nz_;
    return 0;
  }
  const int j = cols_.find(fields_.f[1]);
  if (j < 0) return format_error();
  cone_member_.push_back(j);
  return 0;
}

// ---- INDICATORS ----

int Reader::indicator_line() {
  if (!fields_.has(3) || !fields_.has(4)) return err::kColumnTokenMissing;
  if (!fields_.has(2)) return err::kRowTokenMissing;
  if (counting_) return 0;
  const int i = rows_.find(fields_.f[2]);
  if (i < 0) return err::kRowOutOfRange;
  const int j = cols_.find(fields_.f[3]);
  if (j < 0) return err::kColumnOutOfRange;
  double v;
  if (!parse_number(fields_.f[4], &v)) return format_error();
  int value;
  if (std::fabs(v) <= kMachineEpsilon) value = 0;
  else if (std::fabs(v - 1) <= kMachineEpsilon) value = 1;
  else return format_error();
  if (row_has_indicator_[i]) return err::kDuplicateIndex;
  row_has_indicator_[i] = 1;
  indicators_.push_back({i, j, value});
  return 0;
}

}  // namespace tarvo::io::mps
