// The lexicographic pass over the objective pool: objectives in rank order,
// each solved with rows that keep every earlier objective within its
// tolerance of the optimum found for it. It runs on a copy of the model; the
// final solution and the per-objective solutions come back to the model.
#include "mip/lexicographic.hpp"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numeric>
#include <vector>

#include "common/error_codes.hpp"
#include "common/clock.hpp"
#include "mip/mip_driver.hpp"
#include "mip/user_point.hpp"

namespace tarvo::mip {

bool has_objective_pool(const base::Model &model) { return model.data.mip_pool.size() > 1; }

namespace {

// A pass that lost its solutions (a window row cut too finely): first the
// previous solution, rounded, as the start; then once more without the MIP
// presolve. The presolve level of the copy is put back afterwards.
int recover_pass(base::Model *copy, const std::vector<double> &previous, int obj, int talk, int *st) {
  std::vector<double> x = previous;
  for (int j = 0; j < copy->data.n; ++j)
    if (!copy->data.vtype.empty() && (copy->data.vtype[j] == 'I' || copy->data.vtype[j] == 'B'))
      x[j] = std::round(x[j]);
  const UserPointCheck c = check_user_point(copy->data, x);
  const int rounded_status = c.infeasibility <= 1e-6 ? TV_STATUS_FEASIBLE : TV_STATUS_INFEASIBLE;
  base::log_model(copy, talk, "\nRounded solution obj:%g, feas:%g, status:%d", c.objective, c.infeasibility,
                  rounded_status);
  const int failed = *st;
  int code = 0;
  if (rounded_status == TV_STATUS_FEASIBLE) {
    TVloadMIPVarStartPoint(copy, x.data());
    code = solve_mip_serial(copy, st);
    if (code == 0 && (*st == TV_STATUS_OPTIMAL || *st == TV_STATUS_FEASIBLE)) {
      base::log_model(copy, talk, "\nWarning: Recovered from status %d starting with rounded solution (status: %d)",
                      failed, *st);
      return 0;
    }
  }
  const int level = copy->params.integer(TV_IPARAM_MIP_PRELEVEL);
  TVsetModelIntParameter(copy, TV_IPARAM_MIP_PRELEVEL, 0);
  base::log_model(copy, talk, "\nOptimization w.r.t obj #%d has restarted with prelevel %d", obj, 0);
  code = solve_mip_serial(copy, st);
  TVsetModelIntParameter(copy, TV_IPARAM_MIP_PRELEVEL, level);
  return code;
}

// Writes the pass's model, parameters and solution under `stem` (the
// solution only when there is one to write). Failures are logged, not fatal.
void export_pass(base::Model *copy, const char *stem, int obj, int talk) {
  char name[64];
  std::snprintf(name, sizeof name, "%s-obj%d.ltx", stem, obj);
  int e = TVwriteTARVOFile(copy, name);
  std::snprintf(name, sizeof name, "%s-obj%d.par", stem, obj);
  if (e == 0) e = TVwriteModelParameter(copy, name);
  std::snprintf(name, sizeof name, "%s-obj%d.sol", stem, obj);
  const int st = copy->mip ? copy->mip->status : TV_STATUS_UNKNOWN;
  if (e == 0 && (st == TV_STATUS_OPTIMAL || st == TV_STATUS_FEASIBLE)) e = TVwriteSolution(copy, name);
  if (e != 0) base::log_model(copy, talk, "\nWarning: failed to export %s-obj%d (err:%d)", stem, obj, e);
}

}  // namespace

int solve_lexicographic(base::Model *model, int *status) {
  std::vector<base::PoolObjective> &pool = model->data.mip_pool;
  const int count = static_cast<int>(pool.size());
  std::vector<int> order(count);
  std::iota(order.begin(), order.end(), 0);
  std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return pool[a].rank < pool[b].rank; });
  const bool talk = model->params.integer(TV_IPARAM_MIP_PRINTLEVEL) > 0;
  if (talk) {
    base::log_model(model, 1, "\nOptimizing a pool of %d objective functions", count);
    for (int k : order)
      base::log_model(model, 1, "\nlex-obj: %d, rank:%d, wgt:%g, abstol:%g, reltol:%g, sense:%d", k, pool[k].rank,
                      pool[k].weight, pool[k].abstol, pool[k].reltol, pool[k].sense);
  }
  int code = 0;
  pTVmodel copy = TVcopyModel(model, &code);
  if (!copy) return code ? code : err::kNoMemory;
  copy->data.mip_pool.clear();
  copy->data.lp_pool.clear();
  copy->data.obj_pool_open = false;
  const int n = model->data.n;
  std::vector<int> all(n);
  std::iota(all.begin(), all.end(), 0);
  const double start = common::wall_seconds();
  const double time_limit = model->params.dbl(TV_DPARAM_MIP_TIMLIM);
  const double iter_limit = model->params.dbl(TV_DPARAM_MIP_ITRLIM);
  double iters_used = 0;
  const bool export_each = (model->params.integer(TV_IPARAM_SOLVER_MODE) & TV_SOLVER_MODE_LEX_EXPEACH) != 0;
  int st = TV_STATUS_UNKNOWN;
  std::vector<double> previous;  // the last pass's solution
  for (int pass = 0; pass < count; ++pass) {
    const base::PoolObjective &o = pool[order[pass]];
    base::log_model(copy, talk, "\nPreparing w.r.t obj #%d (rank:%d, wgt:%g, abstol:%g, reltol:%g, sense:%d)",
                    order[pass], o.rank, o.weight, o.abstol, o.reltol, o.sense);
    TVmodifyObjective(copy, n, all.data(), o.c.data());
    TVsetModelIntParameter(copy, TV_IPARAM_OBJSENSE, o.sense);
    if (time_limit >= 0) {
      const double left = std::max(0.0, time_limit - (common::wall_seconds() - start));
      base::log_model(copy, talk, " elapsed:%.2f, left:%.2f (%.2f)", common::wall_seconds() - start, left,
                      time_limit);
      TVsetModelDouParameter(copy, TV_DPARAM_MIP_TIMLIM, left);
    }
    if (iter_limit >= 0) {
      const double left = std::max(0.0, iter_limit - iters_used);
      base::log_model(copy, talk, " iters:%g, left:%g", iters_used, left);
      TVsetModelDouParameter(copy, TV_DPARAM_MIP_ITRLIM, left);
    }
    if (!previous.empty()) {
      // the last optimum keeps every earlier objective in its window: a feasible start
      base::log_model(copy, talk, "\nLoading final solution from pass #%d as initial point", pass - 1);
      TVloadMIPVarStartPoint(copy, previous.data());
    }
    base::log_model(copy, talk, "\nOptimization w.r.t obj #%d has started", order[pass]);
    code = solve_mip_serial(copy, &st);
    if (copy->mip) iters_used += copy->mip->sim_iter + copy->mip->bar_iter + copy->mip->nlp_iter;
    base::log_model(copy, talk, "\nStatus:%d (err:%d) w.r.t. obj #%d", st, code, order[pass]);
    if (code == 0 && st != TV_STATUS_OPTIMAL && st != TV_STATUS_FEASIBLE && !previous.empty()) {
      code = recover_pass(copy, previous, order[pass], talk, &st);
      if (copy->mip) iters_used += copy->mip->sim_iter + copy->mip->bar_iter + copy->mip->nlp_iter;
    }
    if (code != 0 || (st != TV_STATUS_OPTIMAL && st != TV_STATUS_FEASIBLE)) {
      // the windows of the earlier objectives left nothing: keep the evidence
      if (export_each && code == 0 && st == TV_STATUS_INFEASIBLE) export_pass(copy, "lexmodelerr", order[pass], talk);
      break;
    }
    if (export_each) export_pass(copy, "lexmodel", order[pass], talk);
    const double z = copy->mip->obj;
    pool[order[pass]].solutions.push_back(copy->mip->x);
    previous = copy->mip->x;
    base::log_model(copy, talk, "\nObjRank:%2d  #Solutions:%2d, Objval:%16.7f, Status:%d", o.rank,
                    static_cast<int>(pool[order[pass]].solutions.size()), z, st);
    if (pass + 1 == count) break;
    // keep this objective within its tolerance for the later passes
    const double tol = std::max(o.abstol, o.reltol * std::max(1.0, std::fabs(z)));
    std::vector<int> cols;
    std::vector<double> vals;
    for (int j = 0; j < n; ++j)
      if (o.c[j] != 0) {
        cols.push_back(j);
        vals.push_back(o.c[j]);
      }
    const int starts[2] = {0, static_cast<int>(cols.size())};
    const double rhs = o.sense == TV_MAX ? z - tol : z + tol;
    code = TVaddConstraints(copy, 1, o.sense == TV_MAX ? "G" : "L", nullptr, starts, vals.data(), cols.data(), &rhs);
    if (code != 0) break;
  }
  if (copy->mip) {
    model->mip = std::make_unique<base::MipRecord>(*copy->mip);
    base::MipRecord &r = *model->mip;
    if (static_cast<int>(r.x.size()) == n) {
      // the record reports the model's own objective at the final point
      double obj = model->data.obj_constant;
      for (int j = 0; j < n; ++j) obj += model->data.c[j] * r.x[j];
      r.obj = obj;
      r.slack.resize(model->data.m);
      r.bestbound = obj;
    }
  }
  if (status) *status = st;
  TVdeleteModel(&copy);
  return code;
}

}  // namespace tarvo::mip
