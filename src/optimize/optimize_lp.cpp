// The LP wrapper: validates the method, runs the simplex (the warm
// re-optimisation entry when the model keeps a work object with a basis),
// checks every run against the unscaled model and re-solves with other
// scaling and start settings while the check fails, at most four times.
#include <algorithm>
#include <cmath>
#include <cstdint>

#include "env/callback_dispatch.hpp"
#include "optimize/optimize_internal.hpp"
#include "optimize/optimize_recovery.hpp"
#include "params/param_store.hpp"
#include "simplex/glp.hpp"
#include "common/error_codes.hpp"

namespace tarvo::base {

void accumulate_run_figures(SolutionRecord &into, const SolutionRecord &from) {
  into.factorizations += from.factorizations;
  into.factor_ok += from.factor_ok;
  into.factor_stable += from.factor_stable;
  if (from.used_method >= 0) into.used_method = from.used_method;
  into.time_to_best = std::max(into.time_to_best, from.time_to_best);
}

namespace {

constexpr int kXmodeReleaseWork = 2;        // TV_IPARAM_LP_XMODE: no work object kept between solves
constexpr int kProfilePivotActivity = 512;  // TV_IPARAM_PROFILER_LEVEL: pivot histograms

// Status, solution and return code of a finished simplex run.
int install_run(Model *model, const simplex::LpResult &r) {
  SolutionRecord &s = *model->solution;
  using namespace simplex;
  if (r.run_code == kRunNoMemory) {
    fill_status(s, TV_STATUS_LOADED);
    s.primal_status = TV_STATUS_UNLOADED;
    return err::kNoMemory;
  }
  if (r.run_code == kRunNumerical) {
    install_solution(*model);
    fill_status(s, TV_STATUS_LOADED);
    return err::kNumerical;
  }
  int status, code = 0;
  switch (r.xstat) {
    case XSTAT_OPT: status = TV_STATUS_BASIC_OPTIMAL; break;
    case XSTAT_INF: status = TV_STATUS_INFEASIBLE; break;
    case XSTAT_INFORUNB: status = TV_STATUS_INFORUNB; break;
    case XSTAT_UNB: status = TV_STATUS_UNBOUNDED; break;
    case XSTAT_ITERLIM: status = TV_STATUS_LOADED; code = err::kIterationLimit; break;
    case XSTAT_TIMELIM: status = TV_STATUS_LOADED; code = err::kTimeLimit; break;
    case XSTAT_CUTOFF: status = TV_STATUS_CUTOFF; break;
    case XSTAT_CONT:
    case XSTAT_CTRLC:
      fill_status(s, TV_STATUS_LOADED);
      s.primal_status = TV_STATUS_UNLOADED;
      return r.xstat == XSTAT_CTRLC ? 2023 : 0;
    default:
      log_model(model, 1, "\nWarning: Unexpected LP status %d in %s", r.xstat, "install_run");
      return err::kInternal;
  }
  install_solution(*model);
  fill_status(s, status);
  return code;
}

// One simplex run. A cold-start request is taken and cleared here: it lasts
// for one call. With print level 1 the run is framed by its header and result
// lines (the warm entry names the basis it starts from by its hash).
int simplex_attempt(Model *model, int method, bool force_cold, simplex::LpResult *out) {
  const ModelData &d = model->data;
  SolutionRecord &s = *model->solution;
  const bool cold = take_cold_start_request(model) || force_cold;
  if (cold) model->work.reset();
  const bool reopt = model->work && model->work->has_basis_for(d.m, d.n);
  const int prtfg = model->params.integer(TV_IPARAM_LP_PRTFG);
  const bool talk = model->params.integer(TV_IPARAM_LP_PRINTLEVEL) >= 1;
  const double itrlim = model->params.dbl(TV_DPARAM_LP_ITRLMT);
  const double timlim = prtfg == 3 ? -99 : model->params.dbl(TV_DPARAM_SOLVER_TIMLMT);
  ++model->lp_solves;
  int lp_method = method == TV_METHOD_FREE ? TV_METHOD_DSIMPLEX : method;
  if (reopt) {
    ++model->lp_reopts;
    // Line-mode hosts asked for a clean log: the basis hash is a diagnostic of ours.
    if (talk && model->hooks.log_lines)
      log_model(model, 1, "\nReoptimizing model (rows:%d, cols:%d, nnz:%d, cnt:%d(%d), itrlim:%g, timlim:%g) ... ",
                d.m, d.n, d.nz, model->lp_solves, model->lp_reopts, itrlim, timlim);
    else if (talk)
      log_model(model, 1,
                "\nReoptimizing model (rows:%d, cols:%d, nnz:%d, cnt:%d(%d), bh:%llx, itrlim:%g, timlim:%g) ... ", d.m,
                d.n, d.nz, model->lp_solves, model->lp_reopts, basis_hash(*model), itrlim, timlim);
    if (lp_method != TV_METHOD_PSIMPLEX) lp_method = TV_METHOD_DSIMPLEX;
  } else if (talk || prtfg != 0) {
    log_model(model, 1, "\nOptimizing model (rows:%d, cols:%d, nnz:%d, cnt:%d, itrlim:%g, timlim:%g) ... ", d.m, d.n,
              d.nz, model->lp_solves, itrlim, timlim);
    log_model(model, 1, "\nSolving...");
  }
  *out = simplex::run_simplex(*model, lp_method, cold, -1);
  const int code = install_run(model, *out);
  if (s.primal_status != TV_STATUS_UNLOADED && static_cast<int>(s.x.size()) == d.n)
    measure_installed(model, &s.pinfeas, &s.dinfeas);
  if (talk) {
    if (reopt) {
      if (model->hooks.log_lines)
        log_model(model, 1, "\nReopt exit status=%d, (#pivots=%g)", out->xstat, out->iterations);
      else
        log_model(model, 1, "\nReopt exit status=%d, (#pivots=%g), bhash:%llx", out->xstat, out->iterations,
                  basis_hash(*model));
      log_model(model, 1, "\nFinished solving, status:%d, Objval:%g, Iter:%g, Feas:(%e,%e) Time:%.2f (r)\n",
                s.primal_status, s.pobj, out->iterations, s.pinfeas, s.dinfeas, progress_elapsed(*model));
    } else {
      log_model(model, 1, "\nFinished solving, status:%d, Objval:%g, Iter:%g, Feas:(%e,%e), Time:%.2f (o)\n",
                s.primal_status, s.pobj, out->iterations, s.pinfeas, s.dinfeas, progress_elapsed(*model));
    }
  }
  return code;
}

// Figures of one run for the report: the factorisations add up over the
// re-solves; the method and time are those of the run whose result stands.
void note_run(SolutionRecord &s, const simplex::LpResult &run) {
  s.factorizations += run.factorizations;
  s.factor_ok += run.factor_ok;
  s.factor_stable += run.factor_stable;
  s.used_method = run.method;
  s.time_to_best = run.seconds;
}

// The host's last look at a finished solve: the callback reads the installed figures.
void publish_final(Model *model) {
  const SolutionRecord &s = *model->solution;
  ProgressRecord &pr = progress(model);
  pr.obj = s.pobj;
  pr.dobj = s.dobj;
  pr.pinf = s.pinfeas;
  pr.dinf = s.dinfeas;
  pr.iter = s.sim_iter;
}

// Ten-bin histogram of pivot counters, bins spread evenly up to the largest.
void print_histogram(Model *model, const char *title, const std::uint32_t *count, int size) {
  std::uint32_t top = 0;
  for (int k = 0; k < size; ++k) top = std::max(top, count[k]);
  const double width = std::max(1.0, std::ceil((top + 1) / 10.0));
  int bins[10] = {};
  for (int k = 0; k < size; ++k) bins[std::min(9, static_cast<int>(count[k] / width))]++;
  log_model(model, 1, "\n%s (piv_act: n=%d, max=%u)", title, size, top);
  for (int b = 0; b < 10; ++b)
    log_model(model, 1, "\n  [%8.0f, %8.0f) %8d", b * width, (b + 1) * width, bins[b]);
}

void print_pivot_activity(Model *model) {
  const std::vector<std::uint32_t> &act = model->pivot_activity;
  const int n = model->data.n, m = model->data.m;
  if (static_cast<int>(act.size()) < n + m) {
    log_model(model, 1, "\nWarning: pivot activity is not available for current model.\n");
    return;
  }
  log_model(model, 1, "\nHistogram of pivot activity for current session.\n");
  print_histogram(model, "Col pivot act.", act.data(), n);
  print_histogram(model, "Row pivot act.", act.data() + n, m);
  log_model(model, 1, "\n");
}

int simplex_with_recovery(Model *model, int method) {
  SolutionRecord &s = *model->solution;
  std::optional<ScopedParam> scale_shadow;
  simplex::LpResult run;
  int code = simplex_attempt(model, method, false, &run);
  note_run(s, run);
  double iterations = run.iterations;
  code = recovery::run_with_recovery(
      code, [&](int c) { return check_run(model, c, run); },
      [&](int action, int k, const recovery::Step &step) {
        apply_recovery(model, scale_shadow, step.scale, step.note);
        const int c = simplex_attempt(model, recovery_method(model, action), step.cold, &run);
        note_run(s, run);
        iterations += run.iterations;
        // a failed run must not leave a broken basis for the next warm start
        if (c != 0 && c != recovery::kOutOfMemory && check_work_basis(model, k) > 0) model->work.reset();
        return c;
      });
  code = withdraw_unchecked_optimum(model, code, run);
  s.sim_iter += iterations;
  if (model->params.integer(TV_IPARAM_LP_XMODE) & kXmodeReleaseWork) model->work.reset();
  return code;
}

}  // namespace

int optimize_lp(Model *model, int method) {
  ModelData &d = model->data;
  SolutionRecord &s = *model->solution;
  if (d.m == 0 || d.n == 0) return solve_direct(model);
  if (method < 0 || method > 14) return err::kUnknownSolver;
  if (method == TV_METHOD_BARRIER) {
    // no interior-point library in this build
    take_cold_start_request(model);
    return err::kXSolverApiMissing;
  }
  if (method == 14) return err::kNotSupported;  // only an external bridge offers it
  if (method != TV_METHOD_FREE && method != TV_METHOD_PSIMPLEX && method != TV_METHOD_DSIMPLEX &&
      method != TV_METHOD_SPRINT)
    return err::kUnknownSolver;
  if (trivially_infeasible(d)) {
    model->work.reset();
    take_cold_start_request(model);
    fill_status(s, TV_STATUS_INFEASIBLE);
    s.primal_status = TV_STATUS_UNLOADED;
    s.basis_status = TV_STATUS_UNLOADED;
    return 0;
  }
  model->pivot_activity.resize(static_cast<std::size_t>(d.n + d.m), 0u);
  int code = simplex_with_recovery(model, method);
  if (progress_hooks_present(*model)) {
    publish_final(model);
    ProgressResult r = dispatch_progress(model, method == TV_METHOD_PSIMPLEX ? TVLOC_PRIMAL : TVLOC_DUAL, -1.0, true);
    if (r.stop() && code == 0) code = err::kUserInterrupt;
  }
  if (model->params.integer(TV_IPARAM_PROFILER_LEVEL) & kProfilePivotActivity) print_pivot_activity(model);
  return code;
}

}  // namespace tarvo::base
