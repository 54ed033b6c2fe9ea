#include "mip/model_aggregation.hpp"

#include <algorithm>

#include "common/error_codes.hpp"
#include "optimize/optimize_internal.hpp"
#include "presolve/bridge/presolve_model.hpp"
#include "mip/mip_driver.hpp"
#include "mip/user_point.hpp"

namespace tarvo::mip {
namespace {

// Substitutions only: what is aggregated stays the user's problem, with no
// bound or coefficient changes a user would not recognise.
constexpr int kAggregationLevel = presolve::kSimple | presolve::kElimination;

bool has_integers(const base::ModelData &d) {
  for (char t : d.vtype)
    if (t == 'I' || t == 'B') return true;
  return false;
}

// The aggregated copy's record, mapped back through `r` onto the user's model.
// False when the mapped point does not satisfy the user's model.
bool map_back(base::Model *model, const base::Model &copy, const presolve::Result &r) {
  const base::MipRecord &from = *copy.mip;
  auto rec = std::make_unique<base::MipRecord>(from);
  base::MipRecord &to = *rec;
  to.slack.clear();
  to.dual.clear();
  to.redcost.clear();
  to.colbasis.clear();
  to.rowbasis.clear();
  const base::ModelData &d = model->data;
  if (static_cast<int>(from.x.size()) == r.reduced.n) {
    presolve::Solution small, full;
    small.x = from.x;
    small.y.assign(r.reduced.m, 0.0);
    small.col_status.assign(r.reduced.n, presolve::kBasic);
    small.row_status.assign(r.reduced.m, presolve::kBasic);
    presolve::postsolve(r, small, &full);
    to.x = std::move(full.x);
    const UserPointCheck c = check_user_point(d, to.x);
    if (c.infeasibility > 1e-6 || c.integrality > 1e-5) return false;
    to.obj = c.objective;
    to.slack.assign(d.b.begin(), d.b.begin() + d.m);
    for (int j = 0; j < d.n; ++j)
      for (int k = d.start[j]; k < d.start[j] + d.length[j]; ++k) to.slack[d.rowidx[k]] -= d.value[k] * to.x[j];
    const double sense = d.sense == TV_MAX ? -1 : 1;
    if (sense * (to.bestbound - to.obj) > 0) to.bestbound = to.obj;
  } else {
    to.x.clear();
  }
  model->mip = std::move(rec);
  return true;
}

}  // namespace

bool aggregation_wanted(const base::Model &model) {
  if (!(model.params.integer(TV_IPARAM_SOLVER_MODE) & kSolverModeAggregate)) return false;
  const base::ModelData &d = model.data;
  const base::ModelClass &k = model.kind;
  return !(k.quadratic || k.conic || k.nonlinear) && d.sets.type.empty() && d.semicont.var.empty() &&
         d.indicators.row.empty() && d.alldiff.start.empty() && d.mip_pool.size() <= 1;
}

int solve_aggregated(base::Model *model, int *status, bool *handled) {
  *handled = false;
  const int talk = model->params.integer(TV_IPARAM_MIP_PRINTLEVEL);
  presolve::Options opt;
  opt.level = kAggregationLevel;
  opt.mip = has_integers(model->data);
  opt.fill_limit = model->params.integer(TV_IPARAM_MIP_PRE_ELIM_FILL);
  opt.feastol = model->params.dbl(TV_DPARAM_SOLVER_FEASTOL);
  const presolve::LinearProblem p = base::problem_of(model->data, opt.mip);
  presolve::Result r;
  int code = presolve::run(p, opt, &r);
  // only a reduced model is an aggregate worth solving; everything else is
  // left to the ordinary solve, which also gives the verdicts
  const int agg_status = code == 0 && r.outcome == presolve::Outcome::kReduced ? TV_STATUS_LOADED : TV_STATUS_UNKNOWN;
  base::Scratch scratch(model);
  base::Model *copy = scratch.get();
  if (agg_status == TV_STATUS_LOADED && !copy) code = scratch.code();
  if (agg_status == TV_STATUS_LOADED && copy) code = base::load_reduced(*model, r, copy);
  if (code != 0 || agg_status != TV_STATUS_LOADED || !copy) {
    base::log_model(model, talk > 0, "\nWARNING: model aggregation failed, status=%d (err:%d).", agg_status, code);
    return code == err::kNoMemory ? code : 0;
  }
  base::log_model(model, talk > 0,
                  "\nModel aggregation completed, status=%d (err:%d), \nset printlevel>3 to display model stats (current=%d).",
                  agg_status, code, talk);
  base::log_model(model, talk > 3, "\nAggregated model (m, n, nz): %d, %d, %d from %d, %d, %d", r.reduced.m, r.reduced.n,
                  r.reduced.nonzeros(), r.orig_m, r.orig_n, r.orig_nz);
  // Scratch copied every parameter; the copy must not aggregate again
  base::store_int_param(copy, TV_IPARAM_SOLVER_MODE,
                        model->params.integer(TV_IPARAM_SOLVER_MODE) & ~kSolverModeAggregate);
  base::log_model(model, talk > 0, "\nCopied original parameters to aggregated model.");
  int st = TV_STATUS_UNKNOWN;
  code = solve_mip(copy, &st);
  if (!copy->mip) {
    *handled = true;  // the copy's error is the answer
    return code;
  }
  if (!map_back(model, *copy, r)) {
    base::log_model(model, talk > 0, "\nWARNING: model aggregation failed, status=%d (err:%d).", st, code);
    return 0;
  }
  *handled = true;
  if (status) *status = model->mip->status;
  return code;
}

}  // namespace tarvo::mip
