// The integer solver's driver: working copy, tree, status and the MIP
// solution record, for TVoptimize and the exported entries.
#include "mip/mip_driver.hpp"

#include <algorithm>
#include <cmath>

#include "env/callback_dispatch.hpp"
#include "common/error_codes.hpp"
#include "common/clock.hpp"
#include "mip/heur_start.hpp"
#include "mip/lexicographic.hpp"
#include "mip/mip_concurrent.hpp"
#include "mip/mip_presolve_call.hpp"
#include "mip/mip_symmetry.hpp"
#include "mip/model_aggregation.hpp"
#include "mip/tree_search.hpp"
#include "mip/user_point.hpp"
#include "mip/working_problem.hpp"
#include "simplex/glp.hpp"

namespace tarvo::mip {
namespace {

void install_record(base::Model *model, const WorkingProblem &w, const Incumbent &inc, const TreeOutcome &t,
                    int status) {
  base::MipRecord &r = *model->mip;
  const base::ModelData &d = model->data;
  r.status = status;
  r.finished = true;
  r.num_solutions = inc.solutions();
  r.branch_count = t.branches;
  r.lp_count = t.lps;
  r.sim_iter = t.iterations;
  r.active_nodes = static_cast<int>(t.open_nodes);
  r.bestbound = w.sense * t.bound;
  if (!inc.has_incumbent()) return;
  r.x.assign(inc.incumbent().begin(), inc.incumbent().begin() + d.n);
  // objective and slacks recomputed from the user's data
  double obj = d.obj_constant;
  for (int j = 0; j < d.n; ++j) obj += d.c[j] * r.x[j];
  r.obj = obj;
  r.slack.assign(d.m, 0.0);
  for (int i = 0; i < d.m; ++i) r.slack[i] = d.b[i];
  for (int j = 0; j < d.n; ++j)
    for (int k = d.start[j]; k < d.start[j] + d.length[j]; ++k) r.slack[d.rowidx[k]] -= d.value[k] * r.x[j];
  // the bound never passes the incumbent
  if (w.sense * (r.bestbound - r.obj) > 0) r.bestbound = r.obj;
}

}  // namespace

int solve_mip_serial(base::Model *model, int *status, const RestartPolicy *restarts) {
  if (status) *status = TV_STATUS_UNKNOWN;
  if (model->status == TV_STATUS_UNLOADED) return err::kNotLoaded;
  model->mip = std::make_unique<base::MipRecord>();
  model->mip->status = TV_STATUS_UNKNOWN;
  const double start = common::wall_seconds();
  const base::ModelData &d = model->data;
  MipSettings set = MipSettings::from_params(model->params, d.sense == TV_MAX ? -1 : 1);
  if (restarts) set.restart = *restarts;
  MipLog log(model, set.print_level, d.sense == TV_MAX ? -1 : 1);
  if (const int xsolver = model->params.integer(TV_IPARAM_MIP_XSOLVER); xsolver > 0) {
    // no bridge to outside integer solvers in this build: say so rather than solve with another one
    log.text(1, "\nWarning: external MIP solver %d is not available.", xsolver);
    return err::kXSolverApiMissing;
  }
  if (!d.qc.empty() || d.ncones > 0 || d.has_instructions) {
    // the tree solves linear relaxations: dropping the other terms would answer another problem
    log.text(1, "\nError: the integer solver takes linear models only (quadratic, conic or nonlinear data found).");
    return err::kNotSupported;
  }

  auto w = std::make_unique<WorkingProblem>();
  int code = build_working_problem(d, set.lbigm, set.int_tol, w.get());
  if (code != 0) {
    log.text(1, "\nError: bnb_load returned err %d...", code);
    return code;
  }
  for (const std::string &note : w->notes) log.text(1, "%s", note.c_str());
  log.text(3, "\nCompleted bnb_load ...");
  bool any_int = false;
  for (char c : w->prob.is_int) any_int |= c != 0;
  if (!any_int) log.text(1, "\n\nThe problem is an LP.\n\n");
  PresolvedMip pre;
  if (!w->bounds_conflict) {
    code = pre.run(model, *w, set, start);
    if (code != 0) return code;
  }

  // the group of the problem the tree will search
  std::unique_ptr<OrbitalFixing> orbital;
  if (!w->bounds_conflict && !pre.settled()) {
    const double left = set.time_limit >= 0 ? set.time_limit - (common::wall_seconds() - start) : -1;
    orbital = detect_mip_symmetry(model, pre.active() ? pre.reduced().prob : w->prob,
                                  pre.active() ? &pre.col_origin() : nullptr, left);
  }

  Incumbent inc(w->prob, set.int_tol, 1e-6);
  inc.set_threshold(set.cutoff);
  // host offers reach the tree through one slot (start points are taken
  // before the tree, with the other early heuristics)
  base::MipOffer offer;
  TreeOutcome t;
  base::ProgressScope scope(model, TVLOC_MIP);
  PreTreeOutcome early;
  bool stop = false;
  int lift_failures = -1;  // of every presolve of the solve, counted at the end
  if (!w->bounds_conflict) {
    // solutions found before the tree reach the host like the tree's, and the host may stop here
    inc.on_improve([&](const char *) {
      base::MipRecord &r = *model->mip;
      r.x.assign(inc.incumbent().begin(), inc.incumbent().begin() + d.n);
      r.obj = w->sense * inc.incumbent_objective();
      r.num_solutions = inc.solutions();
      std::vector<double> x = r.x;
      if (!stop && model->hooks.mip_callback &&
          model->hooks.mip_callback(model, model->hooks.mip_callback_data, r.obj, x.data()) != 0)
        stop = true;
    });
    early = pre_tree_heuristics(d, w->prob, model->params, inc, log, set.time_limit >= 0 ? start + set.time_limit : 1e30);
    inc.on_improve(nullptr);
    if (!stop) stop = base::dispatch_progress(model, TVLOC_MIP, -1.0, true).stop();
    if (stop) t.code = err::kUserInterrupt;
  }
  if (w->bounds_conflict || early.infeasible) {
    t.state = kStateInfeasible;
    t.complete = true;
    t.bound = 1e30;
  } else if (early.solved) {
    t.state = kStateFinished;
    t.complete = true;
    t.bound = inc.incumbent_objective();
  } else if (stop) {
    t.bound = -1e30;  // stopped before the relaxation: no bound
  } else if (!pre.decided(inc, log, &t)) {
    // the search runs on the presolved problem when there is one, and again
    // on a new one after each root restart
    RestartChain chain(model, *w, set, start, pre);
    PresolvedMip *cur = &pre;
    bool interrupted = false;
    auto record_progress = [&](const LogCounters &c) {
      base::ProgressRecord &pr = base::progress(model);
      pr.obj = c.has_incumbent ? w->sense * c.incumbent : 1e30 * w->sense;
      pr.bestbound = w->sense * c.bound;
      pr.lp_count = c.lps;
      pr.branch_count = c.branches;
      pr.active_count = c.nodes;
      pr.mip_count = inc.solutions();
      base::MipRecord &r = *model->mip;
      r.bestbound = w->sense * c.bound;
      r.branch_count = c.branches;
      r.lp_count = c.lps;
      r.active_nodes = static_cast<int>(c.nodes);
      r.num_solutions = inc.solutions();
    };
    TreeHooks hooks;
    hooks.offer = &offer;
    hooks.user_cols = d.n;
    hooks.poll = [&](const LogCounters &c) {
      if (interrupted) return 0;
      record_progress(c);
      // the solution-insertion callbacks are asked only while the switch is on
      const bool switch_was = model->cut_row_switch;
      model->cut_row_switch = true;
      base::MipOffer got;
      const base::ProgressResult r = base::dispatch_progress(model, TVLOC_MIP, -1.0, true, &got);
      model->cut_row_switch = switch_was;
      if (got.objective) {
        offer.obj = w->sense * got.obj;
        offer.objective = true;
      }
      if (got.solution && cur->active()) {
        // offers are in the user's columns; the reduced tree takes them mapped
        inc.submit(got.x, "U");
        cur->offer_start(got.x);
      } else if (got.solution) {
        offer.x.swap(got.x);
        offer.solution = true;
      }
      if (r.stop()) {
        interrupted = true;
        return static_cast<int>(err::kUserInterrupt);
      }
      return 0;
    };
    hooks.on_incumbent = [&](const LogCounters &c) {
      if (cur->active() && !cur->lift_into(inc, cur->reduced_incumbent().last_tag().c_str())) return 0;
      record_progress(c);
      base::MipRecord &r = *model->mip;
      r.x.assign(inc.incumbent().begin(), inc.incumbent().begin() + d.n);
      r.obj = w->sense * inc.incumbent_objective();
      if (model->hooks.mip_callback) {
        std::vector<double> x = r.x;
        if (model->hooks.mip_callback(model, model->hooks.mip_callback_data, r.obj, x.data()) != 0) {
          interrupted = true;
          return static_cast<int>(err::kUserInterrupt);
        }
      }
      return interrupted ? 0 : hooks.poll(c);
    };
    TreeOutcome prior;
    RestartCarry carried;
    for (int round = 0;; ++round) {
      const WorkingProblem &sw = cur->active() ? cur->reduced() : chain.base();
      Incumbent &tinc = cur->active() ? cur->reduced_incumbent() : inc;
      // an incumbent found before the tree (or before the restart) seeds the reduced search too
      if (cur->active() && inc.has_incumbent()) cur->offer_start(inc.incumbent());
      simplex::LpSolver lp;
      lp.load(sw.data, simplex::LpOptions::from_params(model->params));
      for (int i = 0; i < sw.prob.m; ++i) lp.set_row_bounds(i, sw.prob.row_lo[i], sw.prob.row_up[i]);
      MipContext ctx{sw.prob, lp, model->params, tinc};
      ctx.print_level = set.print_level;
      ctx.seed = 1;
      ctx.log = [](void *data, const char *line) { base::log_model(static_cast<base::Model *>(data), 1, "%s", line); };
      ctx.log_data = model;
      // the first root's heuristics already had their turn around the solution known
      ctx.light_root = round > 0 && inc.has_incumbent() && set.restart.light_root;
      MipSettings rset = chain.settings(round);
      // the solution limit counts the solve's solutions, not only this search's
      if (round > 0 && rset.solution_limit > 0)
        rset.solution_limit = std::max(1, rset.solution_limit - inc.solutions() + tinc.solutions());
      const std::vector<int> *prio = cur->active() ? cur->priorities(d.priority) : &d.priority;
      TreeSearch tree(ctx, rset, tinc, log, hooks, start, prio && prio->empty() ? nullptr : prio);
      tree.set_orbital_fixing(round == 0 ? orbital.get() : chain.orbital());
      if (round > 0) tree.continue_from(prior, inc.incumbent_objective(), std::move(carried));
      t = tree.run();
      if (cur->active()) cur->lift_into(inc, tinc.last_tag().c_str());
      if (round > 0) t.bound = std::max(t.bound, prior.bound);  // the first root's bound holds throughout
      if (!t.restart) break;
      prior = t;
      PresolvedMip *next = nullptr;
      code = chain.restart(*cur, tree.global_lower(), tree.global_upper(), tree.pseudo_costs(),
                           tree.root_cost_fixing(), tree.cut_pool(), inc.has_incumbent() ? inc.incumbent_objective() : 1e30,
                           &next, &carried);
      if (code != 0) {
        t.code = code;
        break;
      }
      cur = next;
      if (cur->decided(inc, log, &t)) break;
    }
    if (t.lsol_stop) log.text(1, "Stopped due to time limit from last MIP sol.\n");
    if (w->bigm_raised) log.text(1, "\nRestoring LBIGM to %g ..", set.lbigm);
    if (w->prob.n > d.n || w->prob.m > d.m) log.text(1, "\nDeleted sets and aux row/cols.");
    lift_failures = chain.lift_failures();
  }

  code = t.code;
  if (lift_failures < 0) lift_failures = pre.lift_failures();
  if (lift_failures > 0 && code == 0) return solve_without_presolve(model, status);
  int st;
  const bool soft = code == err::kIterationLimit || code == err::kTimeLimit || code == err::kBranchLimit ||
                    code == err::kUserInterrupt;
  if (code != 0 && !soft) {
    st = TV_STATUS_UNKNOWN;
  } else if (inc.has_incumbent()) {
    const bool closed = t.complete || relative_gap(t.bound, inc.incumbent_objective()) <= set.rel_opt_tol;
    st = closed ? TV_STATUS_OPTIMAL : TV_STATUS_FEASIBLE;
  } else if (t.state == kStateUnbounded) {
    st = TV_STATUS_UNBOUNDED;
  } else if (t.complete) {
    st = TV_STATUS_INFEASIBLE;
  } else {
    st = TV_STATUS_UNKNOWN;
  }
  install_record(model, *w, inc, t, st);
  if (status) *status = st;
  return code;
}

int solve_mip(base::Model *model, int *status) {
  log_cut_table(model, model->params.integer(TV_IPARAM_MIP_PRINTLEVEL), model->params.integer(TV_IPARAM_MIP_CUTLEVEL_TOP),
                model->params.integer(TV_IPARAM_MIP_CUTLEVEL_TREE));
  if (aggregation_wanted(*model)) {
    bool handled = false;
    const int code = solve_aggregated(model, status, &handled);
    if (handled || code != 0) return code;
  }
  if (has_objective_pool(*model)) return solve_lexicographic(model, status);
  const int mode = model->params.integer(TV_IPARAM_MULTITHREAD_MODE);
  const base::ModelClass &k = model->kind;
  const bool special = !model->data.sets.type.empty() || !model->data.semicont.var.empty() || k.quadratic ||
                       k.conic || k.nonlinear;
  if ((mode == 3 || mode == 4) && !special && mip_thread_count(*model) >= 2)
    return solve_mip_concurrent(model, status);
  return solve_mip_serial(model, status);
}

}  // namespace tarvo::mip
