// Implied-bound cuts: the stored single-row implications whose cut the LP
// point violates.
#include <cmath>

#include "mip/implied_bounds.hpp"
#include "mip/separators.hpp"

namespace tarvo::mip {

void separate_implied_bounds(const SepInput &in, const std::vector<ImpliedBound> &list, std::vector<Cut> &out) {
  const MipProblem &p = in.prob;
  for (const ImpliedBound &ib : list) {
    if (static_cast<int>(out.size()) >= in.max_cuts) break;
    const double xk = in.x[ib.col], y = in.x[ib.binary];
    const double lo = p.col_lo[ib.col], up = p.col_up[ib.col];
    Cut cut;
    cut.index = {ib.col, ib.binary};
    if (ib.upper) {
      const double d = up - ib.bound;  // x <= bound + d y (v = 0) or x <= up - d y (v = 1)
      if (ib.fixed_to == 0)
        cut.value = {1.0, -d}, cut.rhs = ib.bound;
      else
        cut.value = {1.0, d}, cut.rhs = up;
    } else {
      const double d = ib.bound - lo;  // x >= bound - d y (v = 0) or x >= lo + d y (v = 1)
      if (ib.fixed_to == 0)
        cut.value = {-1.0, -d}, cut.rhs = -ib.bound;
      else
        cut.value = {-1.0, d}, cut.rhs = -lo;
    }
    if (cut.value[0] * xk + cut.value[1] * y <= cut.rhs + 1e-6) continue;
    cut.tag = "IBOU";
    if (!tidy_cut(cut, p, in.safety)) continue;
    cut.efficacy = cut_efficacy(cut, in.x);
    if (cut.efficacy >= in.safety.min_efficacy) out.push_back(std::move(cut));
  }
}

}  // namespace tarvo::mip
