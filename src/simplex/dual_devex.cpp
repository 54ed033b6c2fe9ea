// Dual Devex weights measured in a reference framework: the basic variables at
// the last reset. The weight of a row approximates the squared norm of its
// tableau row over the reference variables; the pivot row gives that norm
// exactly for the leaving row at no extra solve, which both feeds the update
// and tells when the stored weights have drifted too far to trust.
#include <algorithm>

#include "simplex/glp.hpp"

namespace tarvo::simplex {

void reset_devex_framework(Glp &g) {
  g.weight.assign(g.m, 1.0);
  g.devex_ref.assign(static_cast<std::size_t>(g.n) + g.m, 0);
  for (int p = 0; p < g.m; ++p) g.devex_ref[g.head[p]] = 1;
  g.weights_exact = false;
}

double devex_reference_weight(const Glp &g, int leave) {
  double w = g.devex_ref[leave] ? 1.0 : 0.0;
  for (const int j : g.alpha_list)
    if (g.devex_ref[j]) w += g.alpha_row[j] * g.alpha_row[j];
  return std::max(w, 1.0);
}

}  // namespace tarvo::simplex
