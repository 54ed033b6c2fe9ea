// TVoptimize: classifies the model, resolves the method, solves LPs by the
// simplex (directly when there are no rows or no columns), checks the
// unscaled solution with bounded re-solves, and installs status and solution.
#include <algorithm>
#include <cmath>

#include "base/callback_dispatch.hpp"
#include "base/model_state.hpp"
#include "base/param_store.hpp"
#include "common/boundary.hpp"
#include "common/clock.hpp"
#include "simplex/driver.hpp"
#include "simplex/glp.hpp"

namespace tarvo::base {

// The solution report of optimize_report.cpp.
void print_solution_report(Model *model, int method);

namespace {

constexpr double kInf = 1e30;

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

// Largest violations of the unscaled model by the installed solution,
// relative to the size of the violated bound.
void measure_solution(const Model &model, double *pinf, double *dinf) {
  const ModelData &d = model.data;
  const SolutionRecord &s = *model.solution;
  double p = 0, q = 0;
  std::vector<double> act(d.m, 0.0);
  for (int j = 0; j < d.n; ++j) {
    double xj = s.x[j];
    for (int k = d.start[j]; k < d.start[j] + d.length[j]; ++k) act[d.rowidx[k]] += d.value[k] * xj;
    if (d.lower[j] > -kInf) p = std::max(p, (d.lower[j] - xj) / (1 + std::fabs(d.lower[j])));
    if (d.upper[j] < kInf) p = std::max(p, (xj - d.upper[j]) / (1 + std::fabs(d.upper[j])));
    double r = d.sense * s.redcost[j];
    int st = s.colbasis[j];
    if (d.lower[j] == d.upper[j]) continue;
    if (st >= 0) q = std::max(q, std::fabs(r) / (1 + std::fabs(d.c[j])));
    else if (st == TV_BASTYPE_ATLO) q = std::max(q, -r / (1 + std::fabs(d.c[j])));
    else if (st == TV_BASTYPE_ATUP) q = std::max(q, r / (1 + std::fabs(d.c[j])));
    else q = std::max(q, std::fabs(r) / (1 + std::fabs(d.c[j])));
  }
  for (int i = 0; i < d.m; ++i) {
    double lo, up;
    simplex::row_slack_bounds(d, i, &lo, &up);
    double s_i = -act[i];
    if (lo > -kInf) p = std::max(p, (lo - s_i) / (1 + std::fabs(lo)));
    if (up < kInf) p = std::max(p, (s_i - up) / (1 + std::fabs(up)));
  }
  *pinf = p;
  *dinf = q;
}

// Status, solution and return code of a finished simplex run.
int install_run(Model *model, const simplex::LpResult &r) {
  SolutionRecord &s = *model->solution;
  using namespace simplex;
  if (r.run_code == kRunNoMemory) {
    fill_status(s, TV_STATUS_LOADED);
    s.primal_status = TV_STATUS_UNLOADED;
    return 2001;
  }
  if (r.run_code == kRunNumerical) {
    install_solution(*model);
    fill_status(s, TV_STATUS_LOADED);
    return 2019;
  }
  int status, code = 0;
  switch (r.xstat) {
    case XSTAT_OPT: status = TV_STATUS_BASIC_OPTIMAL; break;
    case XSTAT_INF: status = TV_STATUS_INFEASIBLE; break;
    case XSTAT_INFORUNB: status = TV_STATUS_INFORUNB; break;
    case XSTAT_UNB: status = TV_STATUS_UNBOUNDED; break;
    case XSTAT_ITERLIM: status = TV_STATUS_LOADED; code = 2016; break;
    case XSTAT_TIMELIM: status = TV_STATUS_LOADED; code = 2017; break;
    case XSTAT_CUTOFF: status = TV_STATUS_CUTOFF; break;
    case XSTAT_CONT:
    case XSTAT_CTRLC:
      fill_status(s, TV_STATUS_LOADED);
      s.primal_status = TV_STATUS_UNLOADED;
      return r.xstat == XSTAT_CTRLC ? 2023 : 0;
    default:
      log_model(model, 1, "\nWarning: Unexpected LP status %d in %s", r.xstat, "install_run");
      return 2015;
  }
  install_solution(*model);
  fill_status(s, status);
  return code;
}

int resolve_method(const Model &model, int method) {
  if (method == TV_METHOD_FREE) {
    int p = model.params.integer(TV_IPARAM_SOLVER_METHOD);
    if (p == 1 || p == 2 || p == 3 || p == 4 || p == 6 || p == 11) method = p;
  }
  return method;
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

int optimize_lp(Model *model, int method) {
  ModelData &d = model->data;
  SolutionRecord &s = *model->solution;
  if (d.m == 0 || d.n == 0) return solve_direct(model);
  if (method != 0 && method != 1 && method != 2 && method != 11) return 2006;
  if (trivially_infeasible(d)) {
    model->work.reset();
    fill_status(s, TV_STATUS_INFEASIBLE);
    s.primal_status = TV_STATUS_UNLOADED;
    s.basis_status = TV_STATUS_UNLOADED;
    return 0;
  }
  bool cold = model->params.integer(TV_IPARAM_SOLVER_RESTART) != 0;
  model->params.store(params::position(TV_IPARAM_SOLVER_RESTART), 0);
  int lp_method = method == 0 ? TV_METHOD_DSIMPLEX : method;
  const double feastol = model->params.dbl(TV_DPARAM_SOLVER_FEASTOL);
  const double opttol = model->params.dbl(TV_DPARAM_SOLVER_OPTTOL);
  const int print = model->params.integer(TV_IPARAM_LP_PRINTLEVEL);
  if (print >= 1)
    log_model(model, 1, "\nOptimizing model (rows:%d, cols:%d, nnz:%d, cnt:%d, itrlim:%g, timlim:%g) ... ", d.m, d.n,
              d.nz, 1, model->params.dbl(TV_DPARAM_LP_ITRLMT), model->params.dbl(TV_DPARAM_SOLVER_TIMLMT));
  simplex::LpResult r = simplex::run_simplex(*model, lp_method, cold, -1);
  double iterations = r.iterations;
  int code = install_run(model, r);
  for (int k = 0; k < 4 && code != 2001; ++k) {
    bool again = false;
    int scale = 0;
    if (code == 2019) {
      again = true;
      scale = r.scaled ? 0 : 1;
    } else if (s.model_status == TV_STATUS_BASIC_OPTIMAL) {
      double pinf, dinf;
      measure_solution(*model, &pinf, &dinf);
      if (pinf > 10 * feastol || dinf > 10 * opttol) {
        again = true;
        scale = k == 1 ? 1 : 0;
        if (print >= 1) {
          if (pinf > 10 * feastol)
            log_model(model, 1, "\nWarning: descaled solution is not primal feasible (ppfeas=%12.6e)", pinf);
          else
            log_model(model, 1, "\nWarning: descaled solution is not dual feasible (ddfeas=%12.6e)", dinf);
          log_model(model, 1, "\nWarning: optimizing unscaled model...");
        }
      }
    }
    if (!again) break;
    // warm start from the basis just installed, with the other scaling
    int m2 = lp_method;
    if (s.model_status == TV_STATUS_BASIC_OPTIMAL) {
      double pinf, dinf;
      measure_solution(*model, &pinf, &dinf);
      m2 = pinf <= feastol ? TV_METHOD_PSIMPLEX : TV_METHOD_DSIMPLEX;
    }
    model->work.reset();
    r = simplex::run_simplex(*model, m2, k >= 2, scale);
    iterations += r.iterations;
    code = install_run(model, r);
  }
  s.sim_iter = iterations;
  if (s.primal_status != TV_STATUS_UNLOADED && !s.x.empty()) {
    double pinf, dinf;
    measure_solution(*model, &pinf, &dinf);
    s.pinfeas = pinf;
    s.dinfeas = dinf;
  }
  if (print >= 1)
    log_model(model, 1, "\nFinished solving, status:%d, Objval:%g, Iter:%g, Feas:(%e,%e), Time:%.2f (o)\n",
              s.primal_status, s.pobj, iterations, s.pinfeas, s.dinfeas, progress_elapsed(*model));
  return code;
}

int optimize(Model *model, int method, int *status) {
  if (status) *status = TV_STATUS_UNKNOWN;
  if (model->status == TV_STATUS_UNLOADED) return 2031;
  method = resolve_method(*model, method);
  const ModelClass &k = model_class(model);
  int code = 0;
  const double start = common::wall_seconds();
  if (!model->solution) model->solution = std::make_unique<SolutionRecord>();
  SolutionRecord &s = *model->solution;
  if (k.nonlinear && (k.quadratic || k.integer)) {
    code = 2029;
  } else if (k.quadratic || k.conic || k.nonlinear) {
    // no nonlinear dispatcher and no interior-point library in this build
    code = (method == 0 || method == 3 || method == 4) ? (method == 4 ? 2029 : 2084) : 2006;
  } else if (k.integer || k.sets || k.semicont) {
    code = (method == 0 || method == 4) ? 2029 : 2006;
  } else if (method == TV_METHOD_BARRIER) {
    code = 2084;
  } else if (method < 0 || method > 14) {
    code = 2006;
  } else {
    s.model_status = TV_STATUS_UNKNOWN;
    s.sim_iter = 0;
    ProgressScope scope(model, method == TV_METHOD_PSIMPLEX ? TVLOC_PRIMAL : TVLOC_DUAL);
    code = optimize_lp(model, method);
    if (model->hooks.callback || model->hooks.secondary) dispatch_progress(model, 11, -1.0, true);
  }
  s.elapsed_time = static_cast<int>(common::wall_seconds() - start);
  model->last_error = code;
  if (status) *status = s.model_status;
  print_solution_report(model, method);
  return code;
}

}  // namespace
}  // namespace tarvo::base

using namespace tarvo::base;

extern "C" TVAPI int TVoptimize(pTVmodel model, int method, int *status) {
  if (!model) return 2010;
  return tarvo::guarded([&] { return optimize(model, method, status); });
}
