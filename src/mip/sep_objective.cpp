// The objective cut: when the objective takes integer values on integer
// points, the LP bound rounds up to the next integer.
#include <cmath>

#include "mip/separators.hpp"

namespace tarvo::mip {

void separate_objective_cut(const SepInput &in, std::vector<Cut> &out) {
  // c x takes integer values on integer points when only integer columns have
  // costs and those costs are integers
  const MipProblem &p = in.prob;
  Cut cut;
  double z = 0;
  for (int j = 0; j < p.n; ++j) {
    if (p.c[j] == 0.0) continue;
    if (!p.is_int[j] || std::fabs(p.c[j] - std::round(p.c[j])) > 1e-12) return;
    cut.index.push_back(j);
    cut.value.push_back(-p.c[j]);
    z += p.c[j] * in.x[j];
  }
  if (cut.index.empty() || !std::isfinite(z)) return;
  const double target = std::ceil(z - 1e-6);
  if (target - z < 1e-4) return;
  cut.rhs = -target;
  cut.tag = "OBJCUT";
  if (!tidy_cut(cut, p, in.safety)) return;
  cut.efficacy = cut_efficacy(cut, in.x);
  if (cut.efficacy >= in.safety.min_efficacy) out.push_back(std::move(cut));
}

}  // namespace tarvo::mip
