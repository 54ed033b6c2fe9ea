// TVwriteMERLOFile: a linear or quadratic model as MERLO modelling-language
// text: a labelled objective, one bracketed constraint per row, then the
// declarations of free, bounded, binary and general-integer variables.
#include <algorithm>
#include <cmath>
#include <cstdio>

#include "common/boundary.hpp"
#include "io/number_text.hpp"
#include "io/text_export.hpp"
#include "common/error_codes.hpp"

namespace tarvo::io {
namespace {

constexpr double kBound = 1e20;

void quadratic_terms(std::FILE *f, const base::ModelData &d, const TextView &v, int slot) {
  for (int t : v.quad[slot])
    std::fprintf(f, "   %s * %s * %s\n", exact_number(d.qc.coef[t], true).c_str(), v.col[d.qc.col1[t]].c_str(), v.col[d.qc.col2[t]].c_str());
}

int write_merlo(const base::Model &model, const char *file_name) {
  const base::ModelData &d = model.data;
  const TextView v(d);
  std::FILE *f = std::fopen(file_name, "w");
  if (!f) return err::kFileOpen;
  std::fprintf(f, "BEGIN MODEL\n");
  std::fprintf(f, "[OBJ] %s\n", d.sense == TV_MAX ? "MAXIMIZE" : "MINIMIZE");
  for (int j = 0; j < d.n; ++j)
    if (d.c[j] != 0) std::fprintf(f, "   %s * %s\n", exact_number(d.c[j], true).c_str(), v.col[j].c_str());
  if (d.obj_constant != 0) std::fprintf(f, "   %s\n", exact_number(d.obj_constant, true).c_str());
  quadratic_terms(f, d, v, d.m);
  std::fprintf(f, ";\n");
  for (int i = 0; i < d.m; ++i) {
    const char t = d.ctype[i];
    if (t == 'N') continue;  // a free row constrains nothing
    std::fprintf(f, "[%s]\n", v.row[i].c_str());
    for (const auto &e : v.entries[i])
      std::fprintf(f, "   %s * %s\n", exact_number(e.second, true).c_str(), v.col[e.first].c_str());
    if (v.entries[i].empty() && v.quad[i].empty()) std::fprintf(f, "   0");
    quadratic_terms(f, d, v, i);
    std::fprintf(f, "   %c %s;\n", t == 'E' ? '=' : t == 'G' ? '>' : '<', exact_number(d.b[i]).c_str());
  }
  for (int j = 0; j < d.n; ++j) {
    const double lo = d.lower[j], up = d.upper[j];
    const char t = j < static_cast<int>(d.vtype.size()) ? d.vtype[j] : 'C';
    const bool binary = (t == 'B' || t == 'I') && lo == 0 && up == 1;
    if (lo <= -kBound && up >= kBound) std::fprintf(f, "FREE %s;\n", v.col[j].c_str());
    else if (!binary && (lo != 0 || up < kBound))
      std::fprintf(f, "BOUND %s <= %s <= %s;\n", exact_number(std::max(lo, -kBound)).c_str(), v.col[j].c_str(),
                   exact_number(std::min(up, kBound)).c_str());
  }
  for (int j = 0; j < d.n; ++j) {
    const char t = j < static_cast<int>(d.vtype.size()) ? d.vtype[j] : 'C';
    if (t != 'B' && t != 'I') continue;
    const bool binary = d.lower[j] == 0 && d.upper[j] == 1;
    std::fprintf(f, "%s %s;\n", binary ? "BINARY" : "INTEGER", v.col[j].c_str());
  }
  std::fprintf(f, "END MODEL\n");
  const bool failed = std::ferror(f) != 0;
  return std::fclose(f) != 0 || failed ? 2002 : 0;
}

}  // namespace
}  // namespace tarvo::io

using tarvo::base::live;

extern "C" {

TVAPI int TVwriteMERLOFile(pTVmodel model, const char *fileName) {
  if (!live(model) || !fileName) return tarvo::err::kNullArgument;
  return tarvo::guarded([&] {
    if (int code = tarvo::io::export_ready(*model)) return code;
    // Instruction lists have a writer of their own, which this build lacks.
    if (model->data.has_instructions) return tarvo::err::kNotSupported;
    int code = tarvo::io::write_merlo(*model, fileName);
    if (code == 0) tarvo::base::log_model(model, 1, "\nMERLO file written successfully: %s", fileName);
    return code;
  });
}

}  // extern "C"
