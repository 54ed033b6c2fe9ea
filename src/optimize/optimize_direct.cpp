// The direct solve of models without rows or without columns (each column
// at the bound its cost favours) and the inverted-bounds test that spares the
// simplex a model no run can make feasible.
#include <cmath>

#include "optimize/optimize_internal.hpp"
#include "simplex/glp.hpp"

namespace tarvo::base {
namespace {

constexpr double kInf = 1e30;

}  // namespace

void fill_status(SolutionRecord &s, int status) {
  s.model_status = status;
  s.primal_status = status;
  s.dual_status = status;
  s.basis_status = status;
}

// Each column goes to the bound its cost favours; rows (if any) hold no columns.
int solve_direct(Model *model) {
  ModelData &d = model->data;
  SolutionRecord &s = *model->solution;
  const int n = d.n, m = d.m;
  s.x.assign(n, 0.0);
  s.redcost.assign(n, 0.0);
  s.colbasis.assign(n, TV_BASTYPE_ATLO);
  s.dual.assign(m, 0.0);
  s.slack.assign(m, 0.0);
  s.rowbasis.assign(m, 0);
  int status = TV_STATUS_BASIC_OPTIMAL;
  double obj = d.obj_constant;
  for (int j = 0; j < n; ++j) {
    double c = d.sense * d.c[j], l = d.lower[j], u = d.upper[j];
    if (l > u) status = TV_STATUS_INFEASIBLE;
    double v;
    if (c > 0) {
      v = l;
      if (l <= -kInf && status != TV_STATUS_INFEASIBLE) status = TV_STATUS_UNBOUNDED;
    } else if (c < 0) {
      v = u;
      if (u >= kInf && status != TV_STATUS_INFEASIBLE) status = TV_STATUS_UNBOUNDED;
    } else {
      v = l > -kInf ? l : (u < kInf ? u : 0.0);
    }
    if (std::fabs(v) >= kInf) v = 0.0;
    s.x[j] = v;
    s.redcost[j] = d.c[j];
    s.colbasis[j] = v == u && u != l ? TV_BASTYPE_ATUP : (l <= -kInf && u >= kInf ? TV_BASTYPE_FNUL : TV_BASTYPE_ATLO);
    obj += d.c[j] * v;
  }
  for (int i = 0; i < m; ++i) {
    double lo, up;  // slack bounds: slack = -activity = 0 here
    simplex::row_slack_bounds(d, i, &lo, &up);
    if (lo > 1e-9 || up < -1e-9) status = TV_STATUS_INFEASIBLE;
    s.slack[i] = d.b[i];
    s.rowbasis[i] = i;
  }
  fill_status(s, status);
  s.pobj = s.dobj = obj;
  s.pinfeas = s.dinfeas = 0;
  s.sim_iter = 0;
  return 0;
}

// Recognisable problems that no simplex run can fix: inverted bounds.
bool trivially_infeasible(const ModelData &d) {
  for (int j = 0; j < d.n; ++j)
    if (d.lower[j] > d.upper[j]) return true;
  for (int i = 0; i < d.m; ++i) {
    double lo, up;
    simplex::row_slack_bounds(d, i, &lo, &up);
    if (lo > up) return true;
  }
  return false;
}

}  // namespace tarvo::base
