// Knapsack relaxation of a row side.
#include "mip/knapsack_side.hpp"

#include <cmath>

namespace tarvo::mip {

bool knapsack_of_side(const SepInput &in, const int *idx, const double *val, int len, double side, double rhs,
                      bool keep_stretch, KnapsackSide &out) {
  constexpr double kInf = 1e30;
  const ExtendedVars &e = in.ext;
  out.lits.clear();
  out.stretch.clear();
  out.cap = rhs;
  for (int q = 0; q < len; ++q) {
    const int j = idx[q];
    const double a = side * val[q];
    if (a == 0.0) continue;
    if (in.prob.is_binary(j)) {
      if (a > 0) {
        out.lits.push_back({2 * j, a, in.x[j]});
      } else {
        out.lits.push_back({2 * j + 1, -a, 1 - in.x[j]});
        out.cap -= a;
      }
      continue;
    }
    if (keep_stretch && a < 0) {
      if (e.lo[j] <= -kInf) return false;
      out.cap -= a * e.lo[j];
      out.stretch.push_back({j, -a, e.lo[j]});
      continue;
    }
    const double bound = a > 0 ? e.lo[j] : e.up[j];
    if (std::fabs(bound) >= kInf) return false;
    out.cap -= a * bound;
  }
  return true;
}

void add_literal(Cut &cut, int lit, double coef) {
  cut.index.push_back(lit >> 1);
  if (lit & 1) {
    cut.value.push_back(-coef);
    cut.rhs -= coef;
  } else {
    cut.value.push_back(coef);
  }
}

}  // namespace tarvo::mip
