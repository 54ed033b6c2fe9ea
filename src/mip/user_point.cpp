// Violations of a point in the user's model.
#include "mip/user_point.hpp"

#include <algorithm>
#include <cmath>

#include "simplex/lp_solver.hpp"

namespace tarvo::mip {

UserPointCheck check_user_point(const base::ModelData &d, const std::vector<double> &x) {
  UserPointCheck c;
  c.objective = d.obj_constant;
  std::vector<double> act(d.m, 0.0);
  for (int j = 0; j < d.n; ++j) {
    c.objective += d.c[j] * x[j];
    c.infeasibility = std::max({c.infeasibility, d.lower[j] - x[j], x[j] - d.upper[j]});
    if (!d.vtype.empty() && (d.vtype[j] == 'I' || d.vtype[j] == 'B'))
      c.integrality = std::max(c.integrality, std::fabs(x[j] - std::round(x[j])));
    for (int k = d.start[j]; k < d.start[j] + d.length[j]; ++k) act[d.rowidx[k]] += d.value[k] * x[j];
  }
  for (int i = 0; i < d.m; ++i) {
    double lo, up;
    simplex::row_activity_bounds(d, i, &lo, &up);
    c.infeasibility = std::max({c.infeasibility, lo - act[i], act[i] - up});
  }
  return c;
}

}  // namespace tarvo::mip
