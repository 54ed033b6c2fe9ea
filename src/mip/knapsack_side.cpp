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

int side_clique_partition(const KnapsackSide &ks, NeighbourMarks &marks, std::vector<int> &group) {
  const size_t k = ks.lits.size();
  double w1 = 1e300, w2 = 1e300;  // the two lightest weights
  for (const KnapsackLiteral &l : ks.lits) {
    if (l.w < w1)
      w2 = w1, w1 = l.w;
    else if (l.w < w2)
      w2 = l.w;
  }
  if (k >= 2 && w1 + w2 > ks.cap + 1e-9 * (1 + std::fabs(ks.cap))) {
    group.assign(k, 0);
    return 1;
  }
  std::vector<int> lits(k);
  for (size_t t = 0; t < k; ++t) lits[t] = ks.lits[t].lit;
  return clique_partition(marks, lits, group);
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
