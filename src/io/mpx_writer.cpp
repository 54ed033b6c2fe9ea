// TVwriteMPXFile: a linear or quadratic model as LP-like text (objective,
// "s.t." rows, BOUNDS, GENERAL and BINARY sections).
#include <algorithm>
#include <cstdio>

#include "common/boundary.hpp"
#include "io/number_text.hpp"
#include "io/text_export.hpp"
#include "common/error_codes.hpp"

namespace tarvo::io {
namespace {

constexpr double kBound = 1e20;

struct MpxStyle {
  char sep;         // between a coefficient and its column
  bool one_line;    // no objective label, no line breaks
};

// Linear terms of one row or the objective; "   0" when there are none.
void linear_terms(std::FILE *f, const MpxStyle &s, const std::vector<std::pair<int, double>> &terms,
                  const TextView &v, bool quad_follows) {
  int count = 0;
  for (const auto &t : terms) {
    std::fprintf(f, count == 0 ? "    %s%c%s" : "   %s%c%s", exact_number(t.second, count > 0).c_str(), s.sep,
                 v.col[t.first].c_str());
    if (++count % 5 == 0 && !s.one_line) std::fprintf(f, "\n");
  }
  if (count == 0 && !quad_follows) std::fprintf(f, "   0");
}

void quadratic_terms(std::FILE *f, const MpxStyle &s, const base::ModelData &d, const TextView &v, int slot) {
  for (int t : v.quad[slot])
    std::fprintf(f, "   %s%c%s%c%s", exact_number(d.qc.coef[t], true).c_str(), s.sep, v.col[d.qc.col1[t]].c_str(), s.sep,
                 v.col[d.qc.col2[t]].c_str());
}

int write_mpx(const base::Model &model, const char *file_name, int options) {
  const base::ModelData &d = model.data;
  if (options == 0) options = 1;
  const MpxStyle s{(options & 1) ? ' ' : '*', (options & 4) != 0};
  const TextView v(d);
  std::FILE *f = std::fopen(file_name, "w");
  if (!f) return err::kFileOpen;
  std::fprintf(f, d.sense == TV_MAX ? "max\n" : "min\n");
  if (!s.one_line) std::fprintf(f, "%s:", d.objname.empty() ? "obj" : clean_name(d.objname).c_str());
  std::vector<std::pair<int, double>> obj;
  for (int j = 0; j < d.n; ++j)
    if (d.c[j] != 0) obj.push_back({j, d.c[j]});
  linear_terms(f, s, obj, v, true);
  // Set apart from the last term, which it would otherwise run into.
  std::fprintf(f, "   %s\n", exact_number(d.obj_constant, true).c_str());
  quadratic_terms(f, s, d, v, d.m);
  std::fprintf(f, ";\ns.t.\n");
  for (int i = 0; i < d.m; ++i) {
    const char t = d.ctype[i];
    if (t == 'N') continue;
    std::fprintf(f, "%s:", v.row[i].c_str());
    linear_terms(f, s, v.entries[i], v, !v.quad[i].empty());
    quadratic_terms(f, s, d, v, i);
    std::fprintf(f, "   %c= %s;\n", t == 'L' ? '<' : t == 'G' ? '>' : ' ', exact_number(d.b[i]).c_str());
  }
  std::fprintf(f, "BOUNDS\n");
  for (int j = 0; j < d.n; ++j) {
    const double lo = d.lower[j], up = d.upper[j];
    if (lo <= -kBound && up >= kBound) std::fprintf(f, "-Inf <= %8s <= Inf;\n", v.col[j].c_str());
    else if (lo != 0 || up < kBound)
      std::fprintf(f, "%s <= %8s <= %s;\n", exact_number(std::max(lo, -kBound)).c_str(), v.col[j].c_str(),
                   exact_number(std::min(up, kBound)).c_str());
  }
  auto integer_kind = [&](int j) {  // 0 continuous, 1 general integer, 2 binary
    const char t = j < static_cast<int>(d.vtype.size()) ? d.vtype[j] : 'C';
    if (t != 'B' && t != 'I') return 0;
    return d.lower[j] == 0 && d.upper[j] == 1 ? 2 : 1;
  };
  std::fprintf(f, "GENERAL\n");
  for (int j = 0; j < d.n; ++j)
    if (integer_kind(j) == 1) std::fprintf(f, "%8s;\n", v.col[j].c_str());
  std::fprintf(f, "BINARY\n");
  for (int j = 0; j < d.n; ++j)
    if (integer_kind(j) == 2) std::fprintf(f, "%8s;\n", v.col[j].c_str());
  std::fprintf(f, "\nEnd\n");
  const bool failed = std::ferror(f) != 0;
  return std::fclose(f) != 0 || failed ? 2002 : 0;
}

}  // namespace
}  // namespace tarvo::io

using tarvo::base::live;

extern "C" {

TVAPI int TVwriteMPXFile(pTVmodel model, const char *fileName, int options) {
  if (!live(model) || !fileName) return tarvo::err::kNullArgument;
  return tarvo::guarded([&] {
    if (int code = tarvo::io::export_ready(*model)) return code;
    return tarvo::io::write_mpx(*model, fileName, options);
  });
}

}  // extern "C"
