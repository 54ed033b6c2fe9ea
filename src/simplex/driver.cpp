// The simplex main entry: work object reuse (warm starts from the kept or the
// stored basis), the dual/primal switch loop, limits and the callback, and the
// unscaled solution written back into the model.
#include "simplex/driver.hpp"

#include <algorithm>
#include <cmath>

#include "env/callback_dispatch.hpp"
#include "params/param_store.hpp"
#include "common/clock.hpp"
#include "common/simple_random.hpp"
#include "simplex/glp.hpp"
#include "simplex/sprint.hpp"
#include "simplex/verdict_check.hpp"

namespace tarvo::simplex {

constexpr int kSwitchPasses = 10;  // method changes of one solve
constexpr int kXmodeSlackStart = 1;  // TV_IPARAM_LP_XMODE: no crash basis
constexpr int kXmodeBoundFlips = 8;  // TV_IPARAM_LP_XMODE: bound flipping in the ratio tests
constexpr int kXmodeSprint = 16;     // TV_IPARAM_LP_XMODE: sifting before the primal simplex
constexpr int kUmodeRandomPerturbation = 1;  // TV_IPARAM_LP_UMODE: perturbation values drawn per solve
constexpr int kUmodeAdaptTolerances = 2;  // TV_IPARAM_LP_UMODE: tolerances adapt within their limits
constexpr int kUmodeDualPrePerturb = 8;  // TV_IPARAM_LP_UMODE: perturb costs before the dual starts
constexpr int kUmodePrimalPrePerturb = 16;  // TV_IPARAM_LP_UMODE: perturb bounds before the primal starts
constexpr int kUmodeLexicographic = 32;  // TV_IPARAM_LP_UMODE: lexicographic ratio test against degeneracy
constexpr int kUmodeRestoreBest = 4;  // TV_IPARAM_LP_UMODE: numerical errors go back to the best basis, not the fallback

namespace {

// The current values a callback may read: objective, infeasibilities and
// iterations of the running method, in the model's terms.
void publish_progress(Glp &g, base::ProgressRecord &pr) {
  int np = 0, nd = 0;
  const double obj = g.sense * objective_value(g) + g.objective_constant;
  pr.pinf = primal_infeasibility(g, &np);
  pr.dinf = dual_infeasibility(g, &nd);
  pr.obj = obj;
  pr.dobj = obj;
}

}  // namespace

int check_limits(Glp &g, const RunControl &rc) {
  trace_iteration(g, rc);
  if (rc.iter_limit >= 0 && g.iterations >= rc.iter_limit) return XSTAT_ITERLIM;
  if (!g.model) {
    if (rc.interrupt && rc.interrupt->load(std::memory_order_relaxed)) return XSTAT_CTRLC;
    if (rc.time_limit >= 0 && common::wall_seconds() - rc.start_time >= rc.time_limit) return XSTAT_TIMELIM;
    return XSTAT_CONT;
  }
  base::ProgressRecord &pr = base::progress(g.model);
  pr.iter = g.total_iterations + g.iterations;
  if (base::progress_call_due(*g.model)) publish_progress(g, pr);
  base::ProgressResult res = base::dispatch_progress(g.model, rc.location, rc.time_limit);
  if (res.stop()) return XSTAT_CTRLC;
  if (res.time_limit_reached) return XSTAT_TIMELIM;
  return XSTAT_CONT;
}

namespace {

RunControl controls(const base::Model &model) {
  RunControl rc;
  double it = model.params.dbl(TV_DPARAM_LP_ITRLMT);
  if (it < 0) {
    int ii = model.params.integer(TV_IPARAM_LP_ITRLMT);
    if (ii >= 0 && ii < 2147483647) it = ii;
  }
  rc.iter_limit = it;
  double tl = model.params.dbl(TV_DPARAM_SOLVER_TIMLMT);
  if (tl < 0) {
    double ti = model.params.dbl(TV_IPARAM_SOLVER_TIMLMT);
    if (ti >= 0) tl = ti;
  }
  rc.time_limit = tl;
  int dp = model.params.integer(TV_IPARAM_SPLEX_DPRICING);
  rc.dual_pricing = dp == 0 ? 0 : (dp == 3 || dp == 4) ? 3 : 1;
  rc.devex_when_costly = dp == -1;  // the solver decides: steepest edge while it pays
  rc.dual_partial = std::clamp(model.params.integer(TV_IPARAM_LP_DPARTIAL), 0, 3);
  int pp = model.params.integer(TV_IPARAM_SPLEX_PPRICING);
  rc.primal_pricing = pp < 0 ? -1 : pp == 0 ? 0 : 2;
  const int partial = model.params.integer(TV_IPARAM_LP_PPARTIAL);
  rc.primal_partial = std::abs(partial) == 1 || std::abs(partial) == 3 ? std::abs(partial) : 2;
  rc.random_pivots = partial >= 0;
  rc.max_merge = model.params.integer(TV_IPARAM_LP_MAXMERGE);
  rc.merge_fact = model.params.dbl(TV_DPARAM_LP_MERGEFACT);
  rc.free_first = model.params.integer(TV_IPARAM_LP_OPRFREE) != 0;
  rc.pert_factor = model.params.dbl(TV_DPARAM_LP_PERTFACT);
  rc.big_m = model.params.dbl(TV_DPARAM_LP_BIGM);
  rc.dual_ratio = model.params.integer(TV_IPARAM_LP_DRATIO);
  rc.bound_flips = (model.params.integer(TV_IPARAM_LP_XMODE) & kXmodeBoundFlips) != 0;
  rc.piv_bigtol = model.params.dbl(TV_DPARAM_LP_PIV_BIGTOL);
  rc.primal_ratio = model.params.integer(TV_IPARAM_LP_PRATIO);
  rc.dp_switch = model.params.integer(TV_IPARAM_LP_DPSWITCH) != 0;
  const int umode = model.params.integer(TV_IPARAM_LP_UMODE);
  rc.pre_perturb_primal = (umode & kUmodePrimalPrePerturb) != 0;
  rc.lexicographic = (umode & kUmodeLexicographic) != 0;
  if (umode & kUmodeRandomPerturbation) {
    // a stream of the environment's seed that moves on with every solve
    const int seed = model.env ? model.env->params.integer(TV_IPARAM_DEFAULT_SEED) : 1031;
    base::SimpleRandom draw(static_cast<std::uint64_t>(seed) * 0x9e3779b97f4a7c15ULL +
                            static_cast<std::uint64_t>(model.lp_solves));
    rc.perturb_seed = static_cast<std::uint32_t>(draw.next()) | 1u;
  }
  // Without bit 8 the dual perturbs once it meets degeneracy or stalls
  // (netlib: about 2 % fewer iterations than perturbing every cold start).
  rc.pre_perturb_dual = (umode & kUmodeDualPrePerturb) != 0;
  rc.dual_phase = model.params.integer(TV_IPARAM_SPLEX_DUAL_PHASE);
  rc.bound_inf = model.params.dbl(TV_DPARAM_LP_BNDINF);
  rc.feastol = std::max(model.params.dbl(TV_DPARAM_SOLVER_FEASTOL), 1e-9);
  rc.use_cutoff = model.params.integer(TV_IPARAM_SOLVER_USECUTOFFVAL) != 0;
  double cut = model.params.dbl(TV_DPARAM_SOLVER_CUTOFFVAL);
  // internal objective is minimised: sense * (model objective - constant)
  int sense = model.data.sense == TV_MAX ? -1 : 1;
  if (rc.use_cutoff && std::fabs(cut) < 1e30)
    rc.cutoff = sense * (cut - model.data.obj_constant);
  else
    rc.use_cutoff = false;
  return rc;
}

// A stored basis that install_basis refused (not m basic entries).
void note_purged_basis(base::Model &model, bool primal) {
  if (model.params.integer(TV_IPARAM_LP_PRINTLEVEL) < 2 || !model.hooks.log_writer) return;
  const base::SolutionRecord &s = *model.solution;
  int basic = 0;
  for (int j = 0; j < model.data.n; ++j) basic += s.colbasis[j] >= 0;
  for (int i = 0; i < model.data.m; ++i) basic += s.rowbasis[i] >= 0;
  if (primal)
    base::log_model(&model, 1, "\nWARNING: psetbas purging invalid initial basis, k2=%d, m=%d, #ncalls=%d", basic,
                    model.data.m, model.lp_solves);
  else
    base::log_model(&model, 1, "\nWARNING: dsetbas purging invalid initial basis, k2=%d, m=%d, #calls=%d", basic,
                    model.data.m, model.lp_solves);
  base::log_model(&model, 1, "\nWARNING: and reverting back to identity matrix");
}

// The stored basis of the solution record, when it fits the model.
bool stored_basis_fits(const base::Model &model) {
  const base::SolutionRecord *s = model.solution.get();
  if (!s || s->basis_status == TV_STATUS_UNLOADED) return false;
  if (static_cast<int>(s->colbasis.size()) < model.data.n || static_cast<int>(s->rowbasis.size()) < model.data.m)
    return false;
  return true;
}

// Whether the basis is primal and dual feasible with every shift removed.
bool optimal_as_is(Glp &g, double ptol, double dtol) {
  if ((!g.factored || g.wfact != WFACT_NO) && refactor(g) != 0) return false;
  std::fill(g.shift.begin(), g.shift.end(), 0.0);
  compute_primal(g);
  compute_dual(g);
  const double saved_p = g.ptol, saved_d = g.dtol;
  g.ptol = ptol;
  g.dtol = dtol;
  int primal_bad = 0, dual_bad = 0;
  primal_infeasibility(g, &primal_bad);
  dual_infeasibility(g, &dual_bad);
  g.ptol = saved_p;
  g.dtol = saved_d;
  return primal_bad == 0 && dual_bad == 0;
}

}  // namespace

namespace {

// Log lines of a verdict the method reached (warnings at print level 2).
void note_exit(Glp &g, const RunControl &rc, bool primal) {
  if (g.xstat == XSTAT_CTRLC) trace_warning(g, "\nWarning: user break (stat = %d).", g.xstat);
  if (!primal && g.xstat == XSTAT_INF) trace_warning(g, "\n A dual ray is found, primal is infeasible\n");
  if (g.xstat == XSTAT_CUTOFF && g.trace_cfg.prtfg > 1)
    trace_warning(g, "\nWarning: stopping at cutoff obj=%e ", g.sense * rc.cutoff + g.objective_constant);
}

// Adds the basis changes of this run to the model's pivot-activity counters
// (columns first, then rows), grown to the model's shape.
void collect_pivot_activity(Glp &g, base::Model &model) {
  const std::size_t nt = static_cast<std::size_t>(g.n + g.m);
  if (g.pivot_activity.size() != nt) return;
  std::vector<std::uint32_t> &act = model.pivot_activity;
  if (act.size() < nt) act.resize(nt, 0);
  for (std::size_t j = 0; j < nt; ++j) act[j] += g.pivot_activity[j];
  std::fill(g.pivot_activity.begin(), g.pivot_activity.end(), 0u);
}

// The crash basis of a cold start, with its log lines when traced.
void start_from_crash(Glp &g, base::Model &model, bool primal) {
  const bool talk = g.trace_cfg.detail;
  if (talk) base::log_model(&model, 1, primal ? "\nCrashing an initial primal basis.." : "\nCrashing an initial dual basis..");
  crash_basis(g);
  if (!talk) return;
  // columns without entries that improve the objective have no limit along them
  int empty = 0;
  bool ray = false;
  double djmx = 0;
  for (int j = 0; j < g.n; ++j) {
    if (g.col_start[j] != g.col_start[j + 1]) continue;
    ++empty;
    const double c = g.cost[j];
    djmx = std::max(djmx, std::fabs(c));
    ray |= (c < 0 && g.upper[j] >= kInf) || (c > 0 && g.lower[j] <= -kInf);
  }
  if (empty > 0)
    base::log_model(&model, 1, "\nWARNING: %d columns are empty (djmx:%g) %s.", empty, djmx,
                    ray ? "*an xray may exist*" : "");
  base::log_model(&model, 1, " ok.");
}

// Sifting passes give the primal simplex its starting basis; true when they did.
bool start_from_sprint(Glp &g, base::Model &model, const RunControl &rc) {
  SprintSettings s;
  s.start_size = sprint_start_size(g.n, model.params.dbl(TV_DPARAM_LP_BIGM),
                                   model.params.integer(TV_IPARAM_LP_SPRINT_COLFACT));
  if (s.start_size >= g.n) return false;  // the working set would hold every column
  s.max_passes = model.params.integer(TV_IPARAM_LP_SPRINT_MAXPASS);
  s.sub_method = model.params.integer(TV_IPARAM_LP_SPRINT_SUB);
  s.controls = rc;
  LpOptions opt = LpOptions::from_params(model.params);
  opt.scale = g.scaled ? 1 : 0;
  const SprintResult r = sprint_passes(model.data, opt, s);
  g.iterations += r.iterations;
  if (g.trace_cfg.detail)
    base::log_model(&model, 1, "\nSprint: %d passes, %g pivots, %s", r.passes, r.iterations,
                    r.priced_out ? "every column priced out" : "the primal simplex goes on");
  return !r.state.empty() && set_basis_states(g, r.state);
}

// TV_IPARAM_LP_DYNOBJMODE 1 polishes LP solves, 2 also node models of the
// integer search (unless TV_IPARAM_LP_BASPOLISH_DEPTH is 0).
bool polishing_wanted(const base::Model &model) {
  const int mode = model.params.integer(TV_IPARAM_LP_DYNOBJMODE);
  if (mode < 1) return false;
  if (!model.cut_row_switch) return true;
  return mode >= 2 && model.params.integer(TV_IPARAM_LP_BASPOLISH_DEPTH) != 0;
}

void polish(Glp &g, const RunControl &rc, const base::Model &model) {
  PolishSettings ps;
  ps.mode = model.params.integer(TV_IPARAM_LP_BASPOLISH_MODE);
  ps.factor = model.params.dbl(TV_DPARAM_LP_DYNOBJFACT);
  if (!(ps.factor > 0)) ps.factor = 0.75;
  const int limit = model.params.integer(TV_IPARAM_LP_BASPOLISH_ITRLMT);
  // left to the solver: a share of a fresh solve's typical work
  ps.iteration_limit = limit >= 0 ? limit : std::max(100, g.m / 2);
  std::vector<char> integers(static_cast<std::size_t>(g.n), 0);
  for (int j = 0; j < g.n && j < static_cast<int>(model.data.vtype.size()); ++j)
    integers[j] = model.data.vtype[j] == 'I' || model.data.vtype[j] == 'B';
  ps.integer_cols = &integers;
  polish_basis(g, rc, ps);
}

}  // namespace

int run_methods(Glp &g, RunControl &rc, bool primal) {
  int code = 0;
  const double saved_ptol = g.ptol, saved_dtol = g.dtol, saved_pivot = g.pivot_tol;
  const bool reopt = !rc.perturb;
  forget_best_basis(g);  // progress of an earlier solve does not compare
  int idle_passes = 0;
  bool ran_primal = false, ran_dual = false;
  int pass = 0;
  for (; pass < kSwitchPasses; ++pass) {
    const double before = g.iterations;
    rc.location = primal ? TVLOC_PRIMAL : TVLOC_DUAL;
    if (pass == 0) {
      // a cold start not perturbed up front perturbs once it meets degeneracy
      rc.perturb_when_degenerate = rc.perturb;
      rc.perturb = rc.perturb && (primal ? rc.pre_perturb_primal : rc.pre_perturb_dual);
    }
    trace_start(g, rc, primal, primal ? ran_primal : ran_dual);
    (primal ? ran_primal : ran_dual) = true;
    code = primal ? primal_simplex(g, rc) : dual_simplex(g, rc);
    // An infeasible or unbounded verdict stands only on a certificate that holds
    // on the unscaled model; otherwise the other method goes on from this basis
    // with fresh factors and tighter tolerances.
    if (code == kRunOk && (g.xstat == XSTAT_INF || g.xstat == XSTAT_UNB) &&
        !(g.unscaled && verdict_certified(g, *g.unscaled, rc.feastol))) {
      trace_warning(g, "\nWARNING: ignoring infeasibility signal, set xstat:%d", XSTAT_SWITCH);
      g.xstat = XSTAT_SWITCH;
      g.wfact = WFACT_NUMERR;
      // a false verdict usually comes from a pivot the ratio test refused
      if (g.adapt_tolerances) {
        g.pivot_tol = std::max(0.01 * g.pivot_tol, g.pivot_tol_min);
        g.ptol = std::max(0.1 * g.ptol, g.tol_floor);
        g.dtol = std::max(0.1 * g.dtol, g.tol_floor);
      }
    }
    trace_exit(g, rc);
    note_exit(g, rc, primal);
    if (code != kRunOk || g.xstat != XSTAT_SWITCH) break;
    // Two methods can hand a nearly optimal basis back and forth, each undoing
    // the other's shifts: a basis optimal without shifts under the solve's own
    // tolerances ends the loop (the solution check still judges it).
    if (optimal_as_is(g, saved_ptol, saved_dtol)) {
      g.xstat = XSTAT_OPT;
      break;
    }
    // methods handing over without a pivot: the recovery re-solves take over
    if (g.iterations == before && ++idle_passes >= 3) break;
    if (g.trace_cfg.prtfg != 0 && g.model)
      base::log_model(g.model, 1, "\nRecovering %sfrom stat=%d, #pass=%d", reopt ? "(Reopt) " : "", g.xstat, pass + 1);
    if (primal) rc.reentered_primal = true;
    // without TV_IPARAM_LP_DPSWITCH the dual keeps the solve
    if (primal || rc.dp_switch) primal = !primal;
    rc.perturb = false;
  }
  g.ptol = saved_ptol;
  g.dtol = saved_dtol;
  g.pivot_tol = saved_pivot;
  if (code == kRunOk && g.xstat == XSTAT_SWITCH) {
    code = kRunNumerical;
    trace_warning(g, "\nWARNING: Simplex %sfailed to recover from stat=%d, #pass=%d", reopt ? "(Reopt) " : "", g.xstat,
                  pass);
    trace_warning(g, "\nWARNING: Simplex will return numerical instability");
  }
  if (code == kRunOk && g.xstat == XSTAT_OPT && rc.use_cutoff && objective_value(g) > rc.cutoff)
    g.xstat = XSTAT_CUTOFF;
  // a clean, unperturbed dual state for the solution
  std::fill(g.shift.begin(), g.shift.end(), 0.0);
  if (code != kRunNoMemory && ((g.factored && g.wfact == WFACT_NO) || refactor(g) == 0)) {
    compute_primal(g);
    refine_primal(g);
    compute_dual(g);
  }
  return code;
}

LpResult run_simplex(base::Model &model, int method, bool cold, int scale_override) {
  LpResult out;
  const base::ModelData &d = model.data;
  Glp *g = dynamic_cast<Glp *>(model.work.get());
  if (cold || (g && (g->m != d.m || g->n != d.n))) {
    model.work.reset();
    g = nullptr;
  }
  if (g && scale_override >= 0 && g->scaled != (scale_override != 0)) {
    model.work.reset();
    g = nullptr;
  }
  bool warm = g != nullptr && g->have_basis;
  bool installed = false;  // the stored basis was put in
  if (!g) {
    auto fresh = std::make_unique<Glp>();
    LpOptions opt = LpOptions::from_params(model.params);
    if (scale_override >= 0) opt.scale = scale_override;
    build_glp(*fresh, model.data, opt);
    fresh->model = &model;
    if (!cold && stored_basis_fits(model)) {
      warm = installed = fresh->install_basis(model.solution->colbasis.data(), model.solution->rowbasis.data());
      if (!warm) {
        note_purged_basis(model, method == TV_METHOD_PSIMPLEX);
        slack_basis(*fresh);
      }
    }
    g = fresh.get();
    model.work = std::move(fresh);
  }
  g->model = &model;
  g->iterations = 0;
  g->xstat = XSTAT_CONT;
  g->wfact = WFACT_INIT;  // refresh factors and x against the current bounds
  // node models of the integer search stay quiet; scratch models of this
  // solve (presolved, dual) write to their owner's log
  g->trace_cfg = trace_settings(model.params.integer(TV_IPARAM_LP_PRTFG),
                                model.params.integer(TV_IPARAM_LP_PRINTLEVEL),
                                model.hooks.log_writer != nullptr && !model.cut_row_switch);
  g->trace = TraceState{};
  g->adapt_tolerances = (model.params.integer(TV_IPARAM_LP_UMODE) & kUmodeAdaptTolerances) != 0;
  g->recovery.keep_best = (model.params.integer(TV_IPARAM_LP_UMODE) & kUmodeRestoreBest) != 0;
  g->stats = RunStats{};
  if (installed && g->trace_cfg.detail)
    base::log_model(&model, 1, "\n(%c) Setting specified basis (B) as initial basis (bhash=%llx).",
                    method == TV_METHOD_PSIMPLEX ? 'P' : 'D', basis_hash(*g));
  const int xmode = model.params.integer(TV_IPARAM_LP_XMODE);
  bool primal = method == TV_METHOD_PSIMPLEX || method == TV_METHOD_SPRINT;
  RunControl rc = controls(model);
  // The triangular crash aims at primal feasibility: the primal saves a
  // fifth of its pivots on netlib, the dual loses time on the hard models
  // (and a cutoff needs dual feasible bases, which the slack basis gives
  // sooner), so the dual starts from the slack basis.
  rc.perturb = !warm;
  const bool sprint = primal && (method == TV_METHOD_SPRINT || (xmode & kXmodeSprint) != 0);
  const bool sifted = sprint && !warm && !g->have_basis && start_from_sprint(*g, model, rc);
  if (sifted) rc.perturb = false;  // the primal goes on from the last pass's basis
  if (!warm && !sifted && (xmode & kXmodeSlackStart) == 0 && primal) start_from_crash(*g, model, primal);
  g->unscaled = &d;
  const int code = run_methods(*g, rc, primal);
  if (code == kRunOk && g->xstat == XSTAT_OPT && polishing_wanted(model)) polish(*g, rc, model);
  trace_statistics(*g);
  g->have_basis = true;
  g->total_iterations += g->iterations;
  out.xstat = g->xstat;
  out.run_code = code;
  out.iterations = g->iterations;
  out.warm = warm;
  out.scaled = g->scaled;
  out.method = g->trace.letter == 'P' ? TV_METHOD_PSIMPLEX : TV_METHOD_DSIMPLEX;
  out.factorizations = g->stats.factor_calls;
  out.factor_ok = g->stats.factor_ok;
  out.factor_stable = g->stats.factor_stable;
  out.seconds = base::progress_elapsed(model);
  collect_pivot_activity(*g, model);
  if (code == kRunNoMemory) model.work.reset();
  return out;
}

std::unique_ptr<base::SolverWork> work_with_basis(base::Model &model, const int *colStatus,
                                            const int *rowStatus) {
  auto g = std::make_unique<Glp>();
  build_glp(*g, model);
  if (!g->install_basis(colStatus, rowStatus)) return nullptr;
  return g;
}

bool install_solution(base::Model &model) {
  Glp *g = dynamic_cast<Glp *>(model.work.get());
  if (!g || !model.solution) return false;
  base::SolutionRecord &s = *model.solution;
  const base::ModelData &d = model.data;
  const int n = g->n, m = g->m;
  s.x.assign(n, 0.0);
  s.redcost.assign(n, 0.0);
  s.dual.assign(m, 0.0);
  s.slack.assign(m, 0.0);
  s.colbasis.assign(n, 0);
  s.rowbasis.assign(m, 0);
  double obj = d.obj_constant;
  for (int j = 0; j < n; ++j) {
    double xj = g->x[j] * g->col_scale[j];
    s.x[j] = xj;
    obj += d.c[j] * xj;
    s.redcost[j] = g->sense * g->d[j] / g->col_scale[j];
    switch (g->state[j]) {
      case kBasic: s.colbasis[j] = g->where[j]; break;
      case kAtLower: s.colbasis[j] = TV_BASTYPE_ATLO; break;
      case kAtUpper: s.colbasis[j] = g->lower[j] == g->upper[j] ? TV_BASTYPE_ATLO : TV_BASTYPE_ATUP; break;
      default: s.colbasis[j] = TV_BASTYPE_FNUL; break;
    }
  }
  for (int i = 0; i < m; ++i) {
    double activity = -g->x[n + i] / g->row_scale[i];
    s.slack[i] = d.b[i] - activity;
    s.dual[i] = g->sense * g->y[i] * g->row_scale[i];
    s.rowbasis[i] = g->state[n + i] == kBasic ? g->where[n + i] : TV_BASTYPE_ATLO;
  }
  s.pobj = obj;
  s.dobj = obj;
  return true;
}

}  // namespace tarvo::simplex
