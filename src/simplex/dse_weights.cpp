// Exact dual steepest-edge weights w_p = ||e_p' B^-1||^2 for the current
// basis. A basis that was installed, repaired or moved by the primal simplex
// has no valid weights; starting the dual from weights of 1 there misleads the
// row choice for thousands of iterations, so they are computed once, one
// hyper-sparse BTRAN per row (the slack basis needs none: B = I).
#include <algorithm>

#include "simplex/glp.hpp"

namespace tarvo::simplex {

void compute_dse_weights(Glp &g) {
  const int m = g.m;
  g.weight.assign(m, 1.0);
  bool all_slack = true;
  for (int p = 0; p < m && all_slack; ++p) all_slack = g.head[p] >= g.n;
  if (!all_slack) {
    for (int p = 0; p < m; ++p) {
      g.lu.row_of_inverse(p, g.work_row);
      const xlu::Vector &rho = g.work_row;
      double w = 0;
      if (rho.count >= 0) {
        for (int k = 0; k < rho.count; ++k) w += rho.array[rho.index[k]] * rho.array[rho.index[k]];
      } else {
        for (int i = 0; i < m; ++i) w += rho.array[i] * rho.array[i];
      }
      g.weight[p] = std::max(w, 1e-4);
    }
  }
  g.weights_exact = true;
}

}  // namespace tarvo::simplex
