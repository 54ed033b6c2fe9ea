// Devex reference weights of the primal simplex: reset to the current
// nonbasic set and updated from the pivot row after every basis change.
#include <algorithm>
#include <cmath>

#include "simplex/primal.hpp"

namespace tarvo::simplex {

void reset_devex(const Glp &g, PrimalState &ps) {
  ps.devex.assign(static_cast<std::size_t>(g.n + g.m), 1.0);
  ++ps.devex_resets;
}

void update_devex(Glp &g, PrimalState &ps, int q, int leave, double alpha_rq) {
  const double wq = std::max(ps.devex[q], 1.0);
  const double inv = 1.0 / alpha_rq;
  double largest = 0;
  for (int j : g.alpha_list) {
    if (j == q) continue;
    double ratio = g.alpha_row[j] * inv;
    double w = std::max(ps.devex[j], ratio * ratio * wq);
    ps.devex[j] = w;
    largest = std::max(largest, w);
  }
  ps.devex[leave] = std::max(wq * inv * inv, 1.0);
  // weights that outgrow the reference framework stop telling columns apart
  if (largest > 1e7 || ps.devex[leave] > 1e7) reset_devex(g, ps);
}

}  // namespace tarvo::simplex
