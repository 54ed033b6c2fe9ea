// TVwriteTARVOFile and TVwriteDualTARVOFile: a linear or mixed-integer model as
// TARVO text (objective, rows, END, then bound and type commands).
#include <cmath>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "common/error_codes.hpp"
#include "common/boundary.hpp"
#include "io/output_file.hpp"
#include "io/dual_model.hpp"
#include "io/number_text.hpp"
#include "io/tarvo_text.hpp"
#include "env/live_handles.hpp"

namespace tarvo::io {
namespace {

constexpr double kInf = 1e30;

int write_tarvo(base::Model *model, const char *file_name) {
  const base::ModelData &d = model->data;
  if (model->status == TV_STATUS_UNLOADED) return err::kNotAvailable;
  // The format holds linear and integer models: quadratic, conic and
  // nonlinear data would be lost without a word.
  if (!d.qc.empty() || !d.cones.type.empty() || d.has_instructions) return err::kNotSupported;
  // Nor has it two-sided rows: a range value (kept by internal copies such as
  // a presolved model) would be dropped.
  for (int i = 0; i < d.m && !d.range.empty(); ++i)
    if (d.ctype[i] != 'N' && d.range[i] != 0 && std::isfinite(d.range[i]) && std::fabs(d.range[i]) < kInf)
      return err::kNotSupported;
  File f(std::fopen(file_name, "w"));
  if (!f) return err::kFileOpen;
  FILE *out = f.get();
  // Replaced characters can make two names equal, which would merge columns
  // or refuse the file: a clashing name falls back to the generated one.
  const ColumnNamer namer(d);
  const std::vector<std::string> cols = tarvo_unique_names(
      d.n, [&](int j) { return namer(j); },
      [&](int j) {
        char generated[32];
        std::snprintf(generated, sizeof generated, "%c%07d", namer.letter(j), j);
        return std::string(generated);
      });
  const std::vector<std::string> rows = tarvo_unique_names(
      d.m, [&](int i) { return row_name(d, i); },
      [](int i) {
        char generated[32];
        std::snprintf(generated, sizeof generated, "R%07d", i);
        return std::string(generated);
      });
  if (!d.title.empty()) std::fprintf(out, "TITLE %s\n", d.title.c_str());
  std::fputs(d.sense == TV_MAX ? "MAXIMIZE\n" : "MINIMIZE\n", out);
  for (int j = 0; j < d.n; ++j)
    if (d.c[j] != 0) std::fprintf(out, "   %s %s\n", tarvo_number(d.c[j]).c_str(), cols[j].c_str());
  if (d.obj_constant != 0) std::fprintf(out, "   %s\n", tarvo_number(d.obj_constant).c_str());
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
      std::fprintf(out, "%s   %s %s\n", "", tarvo_number(val[p]).c_str(), cols[col[p]].c_str());
    // The format has no free rows: one bounded by -infinity constrains nothing too.
    const bool free_row = d.ctype[i] == 'N';
    const char rel = d.ctype[i] == 'L' ? '<' : d.ctype[i] == 'G' || free_row ? '>' : '=';
    std::fprintf(out, "%s   %c %s \n", "", rel, tarvo_number(free_row ? -kInf : d.b[i]).c_str());
  }
  std::fputs("\nEND\n", out);
  const double inf = model->params.dbl(TV_DPARAM_LP_INFINITY);
  for (int j = 0; j < d.n; ++j) {
    const double lo = d.lower[j], up = d.upper[j];
    if (lo <= -inf && up >= inf) {
      std::fprintf(out, "FREE %8s\n", cols[j].c_str());
      continue;
    }
    if (lo != 0) std::fprintf(out, "SLB   %8s %s\n", cols[j].c_str(), tarvo_number(lo <= -inf ? -kInf : lo).c_str());
    if (up < kInf) std::fprintf(out, "SUB   %s %s\n", cols[j].c_str(), tarvo_number(up).c_str());
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
