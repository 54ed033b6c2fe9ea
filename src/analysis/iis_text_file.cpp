// The IIS and IUS as small models in TARVO text: a commented header, the
// rows of the set, END, then the bound and type commands. Read back, the
// IIS file holds exactly the members of the set: bounds outside it are
// opened (FREE, or the opposite side at infinity).
#include "analysis/iis_files.hpp"

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "analysis/member_names.hpp"
#include "common/error_codes.hpp"
#include "model/model_state.hpp"
#include "io/output_file.hpp"
#include "io/tarvo_text.hpp"
#include "simplex/lp_solver.hpp"

namespace tarvo::analysis {
namespace {

constexpr double kInf = 1e30;
const char *const kRule = "------------------------------------------------------------------";

struct Names {
  std::vector<std::string> rows, cols;
  explicit Names(const base::Model &model) {
    const base::ModelData &d = model.data;
    auto generated = [](char letter) {
      return [letter](int k) {
        char buf[32];
        std::snprintf(buf, sizeof buf, "%c%07d", letter, k);
        return std::string(buf);
      };
    };
    rows = io::tarvo_unique_names(d.m, [&](int i) { return row_name(model, i); }, generated('R'));
    cols = io::tarvo_unique_names(d.n, [&](int j) { return col_name(model, j); }, generated('C'));
  }
};

// Row-wise entries of the listed rows: (column, value) per row.
std::vector<std::vector<std::pair<int, double>>> row_entries(const base::ModelData &d, const std::vector<int> &rows) {
  std::vector<int> pos(d.m, -1);
  for (size_t k = 0; k < rows.size(); ++k) pos[rows[k]] = static_cast<int>(k);
  std::vector<std::vector<std::pair<int, double>>> out(rows.size());
  for (int j = 0; j < d.n; ++j)
    for (int p = d.start[j]; p < d.start[j] + d.length[j]; ++p)
      if (pos[d.rowidx[p]] >= 0 && d.value[p] != 0) out[pos[d.rowidx[p]]].push_back({j, d.value[p]});
  return out;
}

// One row in the format's row syntax; a ranged row becomes one row per side.
void write_row(FILE *out, const base::ModelData &d, const Names &nm, int i,
               const std::vector<std::pair<int, double>> &terms, const std::vector<int> &only_cols) {
  double lo, up;
  simplex::row_activity_bounds(d, i, &lo, &up);
  auto body = [&](const std::string &name, char rel, double rhs) {
    std::fprintf(out, "%s)\n", name.c_str());
    for (const auto &t : terms)
      if (only_cols.empty() || std::binary_search(only_cols.begin(), only_cols.end(), t.first))
        std::fprintf(out, "   %s %s\n", io::tarvo_number(t.second).c_str(), nm.cols[t.first].c_str());
    std::fprintf(out, "   %c %s\n", rel, io::tarvo_number(rhs).c_str());
  };
  if (lo <= -kInf && up >= kInf) return;  // a free row constrains nothing
  if (lo == up) return body(nm.rows[i], '=', up);
  if (lo > -kInf) body(nm.rows[i], '>', lo);
  if (up < kInf) body(lo > -kInf ? nm.rows[i] + "_UP" : nm.rows[i], '<', up);
}

void header(FILE *out, const base::IisRecord &r) {
  char version[64] = "", build[1024] = "";
  TVgetVersionInfo(version, build);
  // The build text runs over several lines: each stays a comment.
  std::string built;
  for (const char *c = build; *c; ++c) built += *c == '\n' ? std::string("\n! ") : std::string(1, *c);
  std::fprintf(out, "! %s\n! %s\n", kRule, " IIS Report by");
  std::fprintf(out, "! %s v. %s (Built %s)\n", " TARVO API", version, built.c_str());
  std::fprintf(out, "! %s\n", kRule);
  std::fprintf(out, "! Filter algorithm     : %d\n", r.method);
  std::fprintf(out, "! Infeasibility norm   : %d\n", r.norm);
  std::fprintf(out, "! Analysis level       : %d\n", r.level);
  std::fprintf(out, "! Sensitivity filter   : %d\n", r.sfilter);
  std::fprintf(out, "! Necessary rows       : %d\n", static_cast<int>(r.rows.size()));
  std::fprintf(out, "! Necessary cols       : %d\n", static_cast<int>(r.cols.size()));
  std::fprintf(out, "! Sufficient rows      : %d\n", r.suf_rows);
  std::fprintf(out, "! Sufficient cols      : %d\n", r.suf_cols);
}

int write_iis_text(base::Model *model, const char *file) {
  const base::ModelData &d = model->data;
  const base::IisRecord &r = *model->iis;
  io::File f(std::fopen(file, "w"));
  if (!f) return err::kFileOpen;
  FILE *out = f.get();
  const Names nm(*model);
  header(out, r);
  std::fputs(d.sense == TV_MAX ? "MAXIMIZE  DUMMY\n" : "MINIMIZE  DUMMY\n", out);
  const auto entries = row_entries(d, r.rows);
  // A column whose bounds alone are in the set (crossing bounds) meets no
  // row: a zero objective term declares it, or the reader would drop its bounds.
  std::vector<char> in_rows(d.n, 0);
  for (const auto &row : entries)
    for (const auto &e : row) in_rows[e.first] = 1;
  for (int j : r.cols)
    if (!in_rows[j]) std::fprintf(out, "   +0. %s\n", nm.cols[j].c_str());
  std::fputs("\nSUBJECT TO\n", out);
  for (size_t k = 0; k < r.rows.size(); ++k) {
    if (k == 0 && r.suf_rows > 0) std::fprintf(out, "! %s", "The sufficient rows in the IIS:\n");
    if (k == static_cast<size_t>(r.suf_rows)) std::fprintf(out, "! %s", "The necessary rows in the IIS:\n");
    write_row(out, d, nm, r.rows[k], entries[k], {});
  }
  std::fputs("\nEND\n", out);

  // The columns the file mentions: those of the IIS rows and of the IIS bounds.
  std::vector<int> where(d.n, -1);  // position in r.cols
  for (size_t t = 0; t < r.cols.size(); ++t) where[r.cols[t]] = static_cast<int>(t);
  std::vector<char> used(d.n, 0);
  for (const auto &row : entries)
    for (const auto &e : row) used[e.first] = 1;
  for (int j : r.cols) used[j] = 1;
  std::vector<int> in_ints(d.n, 0);
  for (int j : r.ints) in_ints[j] = 1;
  // Bounds the read-back model gives each column, to choose INT or GIN.
  std::vector<double> lo_read(d.n, 0.0), up_read(d.n, kInf);
  auto slb = [&](const char *fmt, int j, double v) {
    std::fprintf(out, fmt, nm.cols[j].c_str(), io::tarvo_number(v).c_str());
    lo_read[j] = v;
  };
  auto sub = [&](const char *fmt, int j, double v) {
    std::fprintf(out, fmt, nm.cols[j].c_str(), io::tarvo_number(v).c_str());
    up_read[j] = v;
  };
  auto free_col = [&](const char *fmt, int j) {
    std::fprintf(out, fmt, nm.cols[j].c_str());
    lo_read[j] = -kInf;
    up_read[j] = kInf;
  };
  if (!r.bounds_analysed) {
    std::fprintf(out, "! %s",
                 "Variable bounds were not included in the analysis,\n! hence they remain unchanged. Skipping "
                 "variables dropped with non-IIS rows..\n\n");
    for (int j = 0; j < d.n; ++j) {
      if (!used[j]) continue;
      if (d.lower[j] <= -kInf && d.upper[j] >= kInf) {
        free_col("FREE %8s\n", j);
        continue;
      }
      if (d.lower[j] != 0) slb("SLB   %8s %s\n", j, d.lower[j] <= -kInf ? -kInf : d.lower[j]);
      if (d.upper[j] < kInf) sub("SUB   %s %s\n", j, d.upper[j]);
    }
  } else {
    for (int pass = 0; pass < 2; ++pass) {
      std::fprintf(out, "! %s",
                   pass == 0 ? "The sufficient variable bounds in the IIS:\n" : "The necessary variable bounds in the IIS:\n");
      const size_t from = pass == 0 ? 0 : r.suf_cols, to = pass == 0 ? r.suf_cols : r.cols.size();
      for (size_t t = from; t < to; ++t) {
        const int j = r.cols[t], type = r.bound_type[t];
        if (type == 0 && d.lower[j] == d.upper[j]) std::fprintf(out, "!!!  %8s %s\n", nm.cols[j].c_str(), io::tarvo_number(d.lower[j]).c_str());
        if (type <= 0) slb("SLB  %8s %s\n", j, d.lower[j]);
        if (type >= 0) sub("SUB  %8s %s\n", j, d.upper[j]);
      }
    }
    std::fprintf(out, "! %s",
                 "Variables whose lower or upper bounds are part of\n! the IIS should have the opposite bounds set to "
                 "infinity.\n\n");
    for (size_t t = 0; t < r.cols.size(); ++t) {
      const int j = r.cols[t];
      if (r.bound_type[t] < 0 && d.upper[j] < kInf) sub("SUB  %8s %s\n", j, kInf);
      if (r.bound_type[t] > 0) slb("SLB  %8s %s\n", j, -kInf);
    }
    std::fprintf(out, "! %s",
                 "Variables whose lower and upper bounds are not \n! part of the IIS could be set as free "
                 "variables.\n\n");
    for (int j = 0; j < d.n; ++j)
      if (used[j] && where[j] < 0) free_col("FREE %8s\n", j);
  }
  // Integrality; INT would also set the bounds [0, 1], so it is kept for
  // columns that read back with exactly those bounds. Restrictions that were
  // not analysed stay in force, like bounds that were not.
  const bool ints_analysed = (r.level & 16) != 0;
  for (int j = 0; j < d.n; ++j) {
    if (!used[j] || d.vtype.empty() || (d.vtype[j] != 'B' && d.vtype[j] != 'I')) continue;
    const bool binary = lo_read[j] == 0 && up_read[j] == 1;
    std::fprintf(out, binary ? "%sINT  %8s\n" : "%sGIN  %8s\n", ints_analysed && !in_ints[j] ? "!" : "", nm.cols[j].c_str());
  }
  return io::finish(&f);
}

int write_ius_text(base::Model *model, const char *file) {
  const base::ModelData &d = model->data;
  const base::IusRecord &r = *model->ius;
  io::File f(std::fopen(file, "w"));
  if (!f) return err::kFileOpen;
  FILE *out = f.get();
  const Names nm(*model);
  std::vector<int> cols = r.cols;
  std::sort(cols.begin(), cols.end());
  std::fputs(d.sense == TV_MAX ? "MAXIMIZE\n" : "MINIMIZE\n", out);
  for (int j : cols)
    if (d.c[j] != 0) std::fprintf(out, "   %s %s\n", io::tarvo_number(d.c[j]).c_str(), nm.cols[j].c_str());
  std::fputs("\nSUBJECT TO\n", out);
  std::vector<char> meet(d.m, 0);
  for (int j : cols)
    for (int p = d.start[j]; p < d.start[j] + d.length[j]; ++p) meet[d.rowidx[p]] = 1;
  std::vector<int> rows;
  for (int i = 0; i < d.m; ++i)
    if (meet[i]) rows.push_back(i);
  const auto entries = row_entries(d, rows);
  for (size_t k = 0; k < rows.size(); ++k) write_row(out, d, nm, rows[k], entries[k], cols);
  std::fputs("\nEND\n", out);
  for (size_t t = 0; t < r.cols.size(); ++t) {
    const int j = r.cols[t];
    const char *note = static_cast<int>(t) < r.suf_cols ? "  ! sufficient column." : "  ! necessary column.";
    const std::string &c = nm.cols[j];
    if (d.lower[j] <= -kInf && d.upper[j] >= kInf) {
      std::fprintf(out, "FREE %8s%s\n", c.c_str(), note);
      continue;
    }
    std::fprintf(out, "SLB  %8s %s%s\n", c.c_str(), io::tarvo_number(d.lower[j] <= -kInf ? -kInf : d.lower[j]).c_str(),
                 note);
    if (d.upper[j] < kInf) std::fprintf(out, "SUB  %8s %s\n", c.c_str(), io::tarvo_number(d.upper[j]).c_str());
  }
  return io::finish(&f);
}

}  // namespace

int write_iis_file(base::Model *model, const char *file) {
  const int code = write_iis_text(model, file);
  if (code == 0)
    base::log_model(model, 1, "\nExported IIS in TARVO format %s ", file);
  else
    base::log_model(model, 1, "\nFailed to write IIS, error code: %d", code);
  return code;
}

int write_ius_file(base::Model *model, const char *file) { return write_ius_text(model, file); }

}  // namespace tarvo::analysis
