// TVwriteLPFile: a model as LP-format text that TVreadLPFile (and the common
// LP readers) read back to the same model: objective with its quadratic part
// in "[ ... ] / 2", rows, bounds, integer, semi-continuous and SOS sections.
// Lines stay far below the readers' length limit, every continuation line
// starts with a sign or a relation, and names that could be read as a number,
// a keyword or an infinity are replaced, so no line can change its meaning.
#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <unordered_set>
#include <vector>

#include "common/error_codes.hpp"
#include "env/live_handles.hpp"
#include "common/boundary.hpp"
#include "io/algebraic_text.hpp"
#include "io/lp_reader.hpp"
#include "io/number_text.hpp"
#include "io/output_file.hpp"
#include "io/tarvo_text.hpp"
#include "simplex/lp_solver.hpp"

namespace tarvo::io {
namespace {

constexpr double kInf = 1e30;
constexpr size_t kWrapAt = 200;

bool reads_as_keyword(const std::string &name) {
  const lp::Dialect &d = lp::lp_dialect();
  for (int k = 0; k < d.keyword_count; ++k) {
    size_t used = 0;
    if (alg::match_keyword(name, d.keywords[k].pattern, &used)) return true;
  }
  return alg::is_infinity_word(name);
}

// A name the LP lexer reads back as the same single name. Column names may
// stand alone at a line start (integer sections), where a keyword would
// switch the section; row names are always followed by ':' and cannot.
std::string lp_name(const std::string &s, bool alone, bool quadratic) {
  static const lp::Dialect &d = lp::lp_dialect();
  std::string out;
  for (char c : s) {
    const unsigned char u = static_cast<unsigned char>(c);
    const bool product = quadratic && c != 0 && std::strchr("*^[]", c);  // these write products inside brackets
    out += (u <= ' ' || u >= 127 || d.names->stops(c) || c == '\\' || product) ? '_' : c;
  }
  if (out.empty() || !d.names->starts(out[0]) || (out[0] == '.' && out.size() > 1 && std::isdigit(out[1] & 0xff)) ||
      (alone && reads_as_keyword(out)))
    out.insert(out.begin(), '_');
  return out;
}

std::string num(double v) { return exact_number(v); }

std::string bound_text(double v) {
  if (v >= kInf) return "+inf";
  if (v <= -kInf) return "-inf";
  return num(v);
}

// Writes terms, wrapping before a sign so a new line never starts with a name.
class Line {
 public:
  explicit Line(FILE *f) : f_(f) {}
  void start(const std::string &text) {
    std::fputs(text.c_str(), f_);
    len_ = text.size();
  }
  // " 3 x", " - x" first, " + 3 x" after.
  void term(double coef, const std::string &what, bool first) {
    std::string t;
    if (coef < 0) t = " -";
    else if (!first) t = " +";
    const double a = std::fabs(coef);
    if (a != 1 || what.empty()) {
      t += ' ';
      t += num(a);
    }
    if (!what.empty()) {
      t += ' ';
      t += what;
    }
    put(t);
  }
  void put(const std::string &t) {
    if (len_ + t.size() > kWrapAt && len_ > 0) {
      std::fputs("\n", f_);
      len_ = 0;
    }
    std::fputs(t.c_str(), f_);
    len_ += t.size();
  }
  void end() {
    std::fputs("\n", f_);
    len_ = 0;
  }

 private:
  FILE *f_;
  size_t len_ = 0;
};

struct Names {
  std::vector<std::string> rows, cols;
};

Names names_of(const base::ModelData &d) {
  const ColumnNamer namer(d);
  Names nm;
  nm.cols = tarvo_unique_names(
      d.n, [&](int j) { return namer(j); },
      [&](int j) {
        char b[32];
        std::snprintf(b, sizeof b, "%c%07d", namer.letter(j), j);
        return std::string(b);
      });
  nm.rows = tarvo_unique_names(
      d.m, [&](int i) { return row_name(d, i); },
      [](int i) {
        char b[32];
        std::snprintf(b, sizeof b, "R%07d", i);
        return std::string(b);
      });
  const bool has_products = !d.qc.empty();
  // The TARVO-safe names are unique. Names the LP form keeps claim theirs
  // first; a changed name that meets a taken one falls back to the generated
  // name, lengthened until it is free.
  for (auto *list : {&nm.cols, &nm.rows}) {
    const bool cols = list == &nm.cols;
    std::vector<std::string> lp(list->size());
    std::unordered_set<std::string> taken;
    for (size_t k = 0; k < list->size(); ++k) {
      lp[k] = lp_name((*list)[k], cols, has_products);
      if (lp[k] == (*list)[k]) taken.insert(lp[k]);
    }
    for (size_t k = 0; k < list->size(); ++k) {
      if (lp[k] == (*list)[k]) continue;
      if (taken.count(lp[k])) {
        char b[32];
        std::snprintf(b, sizeof b, "%c%07d", cols ? 'C' : 'R', static_cast<int>(k));
        lp[k] = lp_name(b, cols, has_products);
        while (taken.count(lp[k])) lp[k] += '_';
      }
      taken.insert(lp[k]);
    }
    list->swap(lp);
  }
  return nm;
}

// The quadratic terms of one row (row -1 the objective) as "[ ... ]".
void quadratic(Line &line, const base::ModelData &d, const Names &nm, int row) {
  const base::QuadraticData &q = d.qc;
  // The objective's block carries "/ 2", as LP readers expect there.
  const double scale = row < 0 ? 2.0 : 1.0;
  bool first = true;
  for (size_t t = 0; t < q.coef.size(); ++t) {
    if (q.row[t] != row) continue;
    if (first) line.put(" + [");
    const std::string what = q.col1[t] == q.col2[t] ? nm.cols[q.col1[t]] + " ^ 2"
                                                    : nm.cols[q.col1[t]] + " * " + nm.cols[q.col2[t]];
    line.term(scale * q.coef[t], what, first);
    first = false;
  }
  if (!first) line.put(row < 0 ? " ] / 2" : " ]");
}

int write_lp(const base::Model *model, const char *file_name) {
  const base::ModelData &d = model->data;
  if (model->status == TV_STATUS_UNLOADED) return err::kNotAvailable;
  File f(std::fopen(file_name, "w"));
  if (!f) return err::kFileOpen;
  FILE *out = f.get();
  const Names nm = names_of(d);
  if (!d.title.empty()) {
    std::string title = d.title;
    std::replace(title.begin(), title.end(), '\n', ' ');
    std::fprintf(out, "\\ Problem name: %s\n", title.c_str());
  }
  std::fputs(d.sense == TV_MAX ? "Maximize\n" : "Minimize\n", out);
  Line line(out);
  line.start(" " + (d.objname.empty() ? std::string("obj") : lp_name(d.objname, false, false)) + ":");
  // Every column appears here, zero costs too: the reader creates columns in
  // the order it meets them, and a column in no row would otherwise vanish.
  bool first = true;
  for (int j = 0; j < d.n; ++j) {
    line.term(d.c[j], nm.cols[j], first);
    first = false;
  }
  if (d.obj_constant != 0) line.term(d.obj_constant, "", first);
  quadratic(line, d, nm, -1);
  line.end();

  std::fputs("Subject To\n", out);
  std::vector<std::vector<std::pair<int, double>>> rows(d.m);
  for (int j = 0; j < d.n; ++j)
    for (int p = d.start[j]; p < d.start[j] + d.length[j]; ++p) rows[d.rowidx[p]].push_back({j, d.value[p]});
  for (int i = 0; i < d.m; ++i) {
    double lo, up;
    simplex::row_activity_bounds(d, i, &lo, &up);
    line.start(" " + nm.rows[i] + ":");
    // Both sides on one line need terms between them; an empty row keeps one side.
    const bool has_terms = !rows[i].empty() || (!d.qc.empty() && d.qc.is_quadratic_row.size() > static_cast<size_t>(i) &&
                                                d.qc.is_quadratic_row[i]);
    const bool ranged = has_terms && lo > -kInf && up < kInf && lo != up;
    const bool free_row = has_terms && lo <= -kInf && up >= kInf;
    if (ranged || free_row) line.put(" " + bound_text(lo) + " <=");
    first = true;
    for (const auto &e : rows[i]) {
      line.term(e.second, nm.cols[e.first], first);
      first = false;
    }
    quadratic(line, d, nm, i);
    if (ranged || free_row) line.put(" <= " + bound_text(up));
    else if (lo == up) line.put(" = " + bound_text(up));
    else if (up < kInf) line.put(" <= " + bound_text(up));
    else line.put(" >= " + bound_text(lo));
    line.end();
  }

  std::vector<char> semi(d.n, 0);
  std::vector<double> semi_lo(d.n, 0.0);
  for (size_t k = 0; k < d.semicont.var.size(); ++k) {
    semi[d.semicont.var[k]] = 1;
    if (k < d.semicont.lower.size()) semi_lo[d.semicont.var[k]] = d.semicont.lower[k];
  }
  auto is_type = [&](int j, char t) { return !d.vtype.empty() && d.vtype[j] == t; };
  std::fputs("Bounds\n", out);
  for (int j = 0; j < d.n; ++j) {
    const double lo = semi[j] ? semi_lo[j] : d.lower[j], up = d.upper[j];
    // A binary's bounds come from its section.
    if (is_type(j, 'B') && lo == 0 && up == 1) continue;
    if (lo == 0 && up >= kInf && !semi[j]) continue;
    // Value first: a bound line never starts with a name.
    std::fprintf(out, " %s <= %s <= %s\n", bound_text(lo).c_str(), nm.cols[j].c_str(), bound_text(up).c_str());
  }
  auto section = [&](const char *title, auto wanted) {
    bool any = false;
    for (int j = 0; j < d.n; ++j) {
      if (!wanted(j)) continue;
      if (!any) std::fprintf(out, "%s\n", title);
      any = true;
      std::fprintf(out, " %s\n", nm.cols[j].c_str());
    }
  };
  section("Generals", [&](int j) { return is_type(j, 'I') || (is_type(j, 'B') && !(d.lower[j] == 0 && d.upper[j] == 1)); });
  section("Binaries", [&](int j) { return is_type(j, 'B') && d.lower[j] == 0 && d.upper[j] == 1; });
  section("Semi-continuous", [&](int j) { return semi[j] != 0; });
  const base::SetData &sets = d.sets;
  bool sos_header = false;
  for (int s = 0; s < sets.count(); ++s) {
    if (sets.type[s] != 1 && sets.type[s] != 2) {
      std::fprintf(out, "\\ set %d of type %d has no LP form\n", s + 1, sets.type[s]);
      continue;
    }
    if (!sos_header) std::fputs("SOS\n", out);
    sos_header = true;
    line.start(" s" + std::to_string(s + 1) + ": S" + std::to_string(sets.type[s]) + "::");
    for (int p = sets.start[s]; p < sets.start[s + 1]; ++p)
      line.put(" " + nm.cols[sets.member[p]] + ":" + std::to_string(p - sets.start[s] + 1));
    line.end();
  }
  std::fputs("End\n", out);
  return finish(&f);
}

}  // namespace
}  // namespace tarvo::io

extern "C" {

TVAPI int TVwriteLPFile(pTVmodel model, const char *fileName) {
  if (!tarvo::base::live(model) || !fileName) return tarvo::err::kNullArgument;
  return tarvo::guarded([&] { return tarvo::io::write_lp(model, fileName); });
}

}  // extern "C"
