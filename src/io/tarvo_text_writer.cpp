// TVwriteTARVOFile and TVwriteDualTARVOFile: a linear or mixed-integer model as
// TARVO text (objective, rows, END, then bound and type commands).
#include <cctype>
#include <cmath>
#include <cstring>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <unordered_set>
#include <vector>

#include "base/error_codes.hpp"
#include "common/boundary.hpp"
#include "io/output_file.hpp"
#include "io/dual_model.hpp"
#include "io/number_text.hpp"
#include "base/live_handles.hpp"

namespace tarvo::io {
namespace {

constexpr double kInf = 1e30;

// "%+.16f" with the trailing zeros after the point removed ("+3.", "+0.25").
// Values that text would not carry exactly (very small or very large ones)
// are written with an exponent instead, so the file reads back to the model.
std::string coefficient_text(double v) {
  char buf[400];
  if (std::fabs(v) < 1e17) {
    std::snprintf(buf, sizeof buf, "%+.16f", v);
    std::string s = buf;
    while (!s.empty() && s.back() == '0') s.pop_back();
    if (std::strtod(s.c_str(), nullptr) == v) return s;
  }
  std::snprintf(buf, sizeof buf, "%+.17g", v);
  return buf;
}

// Names with the characters that end a name in the format replaced by '_';
// a name that would not start as one (a digit, a sign) gets a leading '_'.
std::string safe_name(std::string s) {
  const unsigned char first = s.empty() ? 0 : static_cast<unsigned char>(s[0]);
  if (!std::isalpha(first) && !std::strchr("\"#$%&(:,.;?@_'`{}~", first)) s.insert(s.begin(), '_');
  else if (first == '.' && s.size() > 1 && std::isdigit(static_cast<unsigned char>(s[1]))) s.insert(s.begin(), '_');
  for (char &c : s)
    if (c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '+' || c == '-' || c == '<' || c == '>' ||
        c == '=' || c == '!' || c == ')')
      c = '_';
  return s;
}

int write_tarvo(base::Model *model, const char *file_name) {
  const base::ModelData &d = model->data;
  if (model->status == TV_STATUS_UNLOADED) return err::kNotAvailable;
  File f(std::fopen(file_name, "w"));
  if (!f) return err::kFileOpen;
  FILE *out = f.get();
  // Replaced characters can make two names equal, which would merge columns
  // or refuse the file: a clashing name falls back to the generated one.
  const ColumnNamer namer(d);
  std::vector<std::string> cols(d.n), rows(d.m);
  std::unordered_set<std::string> taken;
  for (int j = 0; j < d.n; ++j) {
    cols[j] = safe_name(namer(j));
    if (!taken.insert(cols[j]).second) {
      char generated[32];
      std::snprintf(generated, sizeof generated, "%c%07d", namer.letter(j), j);
      taken.insert(cols[j] = generated);
    }
  }
  taken.clear();
  for (int i = 0; i < d.m; ++i) {
    rows[i] = safe_name(row_name(d, i));
    if (!taken.insert(rows[i]).second) {
      char generated[32];
      std::snprintf(generated, sizeof generated, "R%07d", i);
      taken.insert(rows[i] = generated);
    }
  }
  if (!d.title.empty()) std::fprintf(out, "TITLE %s\n", d.title.c_str());
  std::fputs(d.sense == TV_MAX ? "MAXIMIZE\n" : "MINIMIZE\n", out);
  for (int j = 0; j < d.n; ++j)
    if (d.c[j] != 0) std::fprintf(out, "   %s %s\n", coefficient_text(d.c[j]).c_str(), cols[j].c_str());
  if (d.obj_constant != 0) std::fprintf(out, "   %s\n", coefficient_text(d.obj_constant).c_str());
  std::fputs("\nSUBJECT TO\n", out);
  // Rows from the column-wise matrix.
  std::vector<int> count(d.m + 1, 0);
  for (int j = 0; j < d.n; ++j)
    for (int q = d.start[j]; q < d.start[j] + d.length[j]; ++q) ++count[d.rowidx[q] + 1];
  for (int i = 0; i < d.m; ++i) count[i + 1] += count[i];
  std::vector<int> fill(count.begin(), count.end() - 1), col(count[d.m]);
  std::vector<double> val(count[d.m]);
  for (int j = 0; j < d.n; ++j)
    for (int q = d.start[j]; q < d.start[j] + d.length[j]; ++q) {
      const int p = fill[d.rowidx[q]]++;
      col[p] = j;
      val[p] = d.value[q];
    }
  for (int i = 0; i < d.m; ++i) {
    std::fprintf(out, "%s%s)", "", rows[i].c_str());
    for (int p = count[i]; p < count[i + 1]; ++p)
      std::fprintf(out, "%s   %s %s\n", "", coefficient_text(val[p]).c_str(), cols[col[p]].c_str());
    const char rel = d.ctype[i] == 'L' ? '<' : d.ctype[i] == 'G' ? '>' : '=';
    std::fprintf(out, "%s   %c %s \n", "", rel, coefficient_text(d.b[i]).c_str());
  }
  std::fputs("\nEND\n", out);
  const double inf = model->params.dbl(TV_DPARAM_LP_INFINITY);
  for (int j = 0; j < d.n; ++j) {
    const double lo = d.lower[j], up = d.upper[j];
    if (lo <= -inf && up >= inf) {
      std::fprintf(out, "FREE %8s\n", cols[j].c_str());
      continue;
    }
    if (lo != 0) std::fprintf(out, "SLB   %8s %s\n", cols[j].c_str(), coefficient_text(lo <= -inf ? -kInf : lo).c_str());
    if (up < kInf) std::fprintf(out, "SUB   %s %s\n", cols[j].c_str(), coefficient_text(up).c_str());
  }
  for (int j = 0; j < d.n; ++j) {
    if (d.vtype.empty() || d.vtype[j] == 'C') continue;
    std::fprintf(out, d.lower[j] == 0 && d.upper[j] == 1 ? "INT  %8s\n" : "GIN  %8s\n", cols[j].c_str());
  }
  return finish(&f);
}

}  // namespace
}  // namespace tarvo::io

extern "C" {

TVAPI int TVwriteTARVOFile(pTVmodel model, const char *fileName) {
  if (!tarvo::base::live(model) || !fileName) return tarvo::err::kNullArgument;
  return tarvo::guarded([&] { return tarvo::io::write_tarvo(model, fileName); });
}

TVAPI int TVwriteDualTARVOFile(pTVmodel model, const char *fileName, int objSense) {
  if (!tarvo::base::live(model) || !fileName) return tarvo::err::kNullArgument;
  if (objSense != TV_MIN && objSense != TV_MAX) return tarvo::err::kBadObjSense;
  return tarvo::guarded([&] {
    return tarvo::io::with_dual_model(model, objSense, [&](pTVmodel dual) { return TVwriteTARVOFile(dual, fileName); });
  });
}

}  // extern "C"
