// The objective cut: when the objective takes values in a lattice g*Z on
// integer points, a proven lower bound rounds up to the next lattice point.
#include <cmath>
#include <numeric>

#include "mip/separators.hpp"

namespace tarvo::mip {

namespace {
constexpr double kMaxIntCost = 1e9;
}

void separate_objective_cut(const SepInput &in, double global_bound, std::vector<Cut> &out) {
  // c x lies in g*Z on integer points when only integer columns have costs
  // and those costs are integers with greatest common divisor g
  const MipProblem &p = in.prob;
  if (!std::isfinite(global_bound) || std::fabs(global_bound) >= 1e30) return;
  Cut cut;
  long long g = 0;
  for (int j = 0; j < p.n; ++j) {
    const double c = p.c[j];
    if (c == 0.0) continue;
    if (!p.is_int[j] || std::fabs(c) > kMaxIntCost || c != std::round(c)) return;
    g = std::gcd(g, static_cast<long long>(std::fabs(c)));
    cut.index.push_back(j);
    cut.value.push_back(-c);
  }
  if (cut.index.empty() || g <= 0) return;
  // the bound is on c x plus the problem's constant (presolve's fixings put
  // one there); the lattice is that of c x alone
  const double bound_cx = global_bound - p.obj_constant;
  const double step = static_cast<double>(g);
  const double target = step * std::ceil(bound_cx / step - 1e-6);
  if (target - bound_cx < 1e-4 * step) return;
  cut.rhs = -target;
  cut.tag = "OBJCUT";
  if (!tidy_cut(cut, p, in.safety)) return;
  cut.efficacy = cut_efficacy(cut, in.x);
  if (cut.efficacy >= in.safety.min_efficacy) out.push_back(std::move(cut));
}

}  // namespace tarvo::mip
