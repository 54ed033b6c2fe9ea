// Queries derived from the installed MIP solution: duals of the LP with the
// integers fixed at their incumbent values, and the rounded solution.
#include <algorithm>
#include <cmath>

#include "common/error_codes.hpp"
#include "model/query_rules.hpp"
#include "common/boundary.hpp"
#include "mip/user_point.hpp"
#include "simplex/glp.hpp"
#include "simplex/lp_solver.hpp"
#include "env/live_handles.hpp"

using namespace tarvo;

namespace {

bool is_integer_type(const base::ModelData &d, int j) {
  return !d.vtype.empty() && (d.vtype[j] == 'I' || d.vtype[j] == 'B');
}

int dual_mip_solution(base::Model *model) {
  if (!model->mip || !base::status_has_solution(base::mip_reported_status(*model->mip))) return err::kNotAvailable;
  base::MipRecord &r = *model->mip;
  const base::ModelData &d = model->data;
  if (static_cast<int>(r.x.size()) != d.n) return err::kNotAvailable;
  base::log_model(model, 1,
                  "\nComputing a dual MIP solution by resolving the model with\ninteger variables fixed at their "
                  "optimal MIP values.");
  simplex::LpSolver lp;
  lp.load(d, simplex::LpOptions::from_params(model->params));
  for (int j = 0; j < d.n; ++j)
    if (is_integer_type(d, j)) lp.set_col_bounds(j, std::round(r.x[j]), std::round(r.x[j]));
  base::log_model(model, 1, "\nOptimizing the restricted LP for dual values...");
  const bool ok = lp.solve(TV_METHOD_DSIMPLEX, simplex::LpLimits{}) == simplex::LpStatus::kOptimal;
  if (ok) {
    r.dual = lp.duals();
    r.redcost = lp.reduced_costs();
  }
  base::log_model(model, 1, "\nComputation of dual MIP solution %s (%d)\n", ok ? "SUCCEEDED" : "FAILED",
                  ok ? 0 : static_cast<int>(err::kNumerical));
  return ok ? 0 : err::kNumerical;
}

int round_mip_solution(base::Model *model, double *primal, double *objective, double *infeas, int use_opti) {
  const base::ModelData &d = model->data;
  const std::vector<double> *src = nullptr;
  const bool mip_ready = model->mip && base::status_has_solution(base::mip_reported_status(*model->mip)) &&
                         static_cast<int>(model->mip->x.size()) == d.n;
  if (!use_opti && mip_ready) src = &model->mip->x;
  if (!src && model->solution && static_cast<int>(model->solution->x.size()) == d.n) src = &model->solution->x;
  if (!src && mip_ready) src = &model->mip->x;
  if (!src) {
    base::log_model(model, 1, "\n Warning: Rounding MIP solution returned error:%d", static_cast<int>(err::kNotAvailable));
    return err::kNotAvailable;
  }
  std::vector<double> x = *src;
  for (int j = 0; j < d.n; ++j)
    if (is_integer_type(d, j)) x[j] = std::round(x[j]);
  const mip::UserPointCheck check = mip::check_user_point(d, x);
  const double obj = check.objective, worst = check.infeasibility;
  const unsigned status = worst <= 1e-6 ? TV_STATUS_FEASIBLE : TV_STATUS_INFEASIBLE;
  base::log_model(model, 1, "\nMIP solution with integers rounded to the nearest integer (useOpti:%d)", use_opti);
  base::log_model(model, 1, "\n Status (R)      = %u ", status);
  base::log_model(model, 1, "\n Objective (R)   = %f ", obj);
  base::log_model(model, 1, "\n Primal inf. (R) = %.2e", worst);
  if (primal) std::copy(x.begin(), x.end(), primal);
  if (objective) *objective = obj;
  if (infeas) *infeas = worst;
  return 0;
}

}  // namespace

extern "C" {

TVAPI int TVgetDualMIPsolution(pTVmodel model) {
  if (!tarvo::base::live(model)) return err::kNullArgument;
  return guarded([&] { return dual_mip_solution(model); });
}

TVAPI int TVgetRoundMIPsolution(pTVmodel model, double *primal, double *objective, double *primalInfeas,
                                int useOpti) {
  if (!tarvo::base::live(model)) return err::kNullArgument;
  return guarded([&] { return round_mip_solution(model, primal, objective, primalInfeas, useOpti); });
}

}  // extern "C"
