// Primal simplex main loop: composite phase 1 (minimise the sum of bound
// violations of the basics) and phase 2 on the true costs, reduced costs kept
// up to date from the pivot row, partial or Devex pricing, the Harris ratio
// test with bound flips, bound perturbation against degeneracy, and verdicts
// given only on a fresh factorisation with every bound shift removed.
#include <algorithm>
#include <cmath>

#include "params/param_store.hpp"
#include "simplex/primal.hpp"
#include "simplex/stall_watch.hpp"

namespace tarvo::simplex {
namespace {

constexpr double kRowColMismatch = 1e-6;  // relative FTRAN/BTRAN pivot disagreement
constexpr int kIdleLimit = 60;            // loop passes without any pivot or flip
constexpr int kCleanupLimit = 6;          // shift removals that reopen the run
constexpr int kRandomAfter = 200;         // consecutive degenerate pivots before random picks

signed char feasibility_class(const Glp &g, int j) {
  if (g.x[j] < g.lower[j] - g.ptol) return -1;
  if (g.x[j] > g.upper[j] + g.ptol) return 1;
  return 0;
}

// Classes of the basics; true when some basic variable is infeasible.
bool classify(const Glp &g, PrimalState &ps) {
  bool any = false;
  for (int p = 0; p < g.m; ++p) {
    ps.pclass[p] = feasibility_class(g, g.head[p]);
    any |= ps.pclass[p] != 0;
  }
  return any;
}

// Sum of the bound violations of the basics: the phase-1 objective.
double infeasibility_sum(const Glp &g) {
  double sum = 0;
  for (int p = 0; p < g.m; ++p) {
    const int j = g.head[p];
    sum += std::max({0.0, g.lower[j] - g.x[j], g.x[j] - g.upper[j]});
  }
  return sum;
}

// Reduced costs of the current phase from scratch (one BTRAN and a full price).
void price_all(Glp &g, PrimalState &ps) {
  ++g.stats.reduced_cost_passes;
  ps.phase1 = classify(g, ps);
  for (int p = 0; p < g.m; ++p) ps.cb[p] = ps.phase1 ? static_cast<double>(ps.pclass[p]) : g.cost[g.head[p]];
  if (g.m > 0) g.lu.btran_dense(ps.cb.data());
  for (int j = 0; j < g.n + g.m; ++j) {
    if (g.state[j] == kBasic) {
      g.d[j] = 0.0;
      continue;
    }
    double s = ps.phase1 ? 0.0 : g.cost[j];
    for (int k = g.col_start[j]; k < g.col_start[j + 1]; ++k) s -= g.col_value[k] * ps.cb[g.col_index[k]];
    g.d[j] = s;
  }
  if (!ps.phase1)
    for (int i = 0; i < g.m; ++i) g.y[i] = ps.cb[i];
}

void refresh(Glp &g, PrimalState &ps) {
  compute_primal(g);
  price_all(g, ps);
}

// Moves the basics along the entering column by step (in direction dir) and
// tells whether a basic variable changed its feasibility class.
bool move_basics(Glp &g, PrimalState &ps, double dir, double step) {
  const xlu::Vector &col = g.work_col;
  bool changed = false;
  for_each_position(col, g.m, [&](int p) {
    double a = col.array[p];
    if (a == 0.0) return;
    int j = g.head[p];
    g.x[j] -= dir * step * a;
    if (ps.phase1) changed |= feasibility_class(g, j) != ps.pclass[p];
  });
  return changed;
}

// The automatic pricing rule, looked at when the basis is refactorised: Devex
// once partial pricing meets much degeneracy, dense factors or a long run.
void decide_pricing(Glp &g, PrimalState &ps, const RunControl &rc) {
  if (rc.primal_pricing >= 0 || ps.pricing == kDevexPricing) return;
  double its = g.iterations - ps.check_iter;
  if (its <= 0) return;
  double deg = (ps.degenerate - ps.check_degenerate) / its;
  double nz = static_cast<double>(g.lu.lnz() + g.lu.unz()) - 1.5 * g.m;
  double f = g.col_start[g.n] > 0 && g.m > 0 ? nz * nz / g.col_start[g.n] / g.m : 0.0;
  ps.check_iter = g.iterations;
  ps.check_degenerate = ps.degenerate;
  if (deg + f > 1.2 || g.iterations > g.n + g.m) {
    ps.pricing = kDevexPricing;
    reset_devex(g, ps);
    trace_event(g, kTracePricing, " switch to devex");
  }
}

// The progress of a freshly factorised basis, for the best-basis record.
void note_primal_progress(Glp &g, const PrimalState &ps) {
  if (progress_due(g))
    note_progress(g, ps.phase1 ? kPrimalPhase1 : kPrimalPhase2, ps.phase1 ? infeasibility_sum(g) : objective_value(g));
}

// Puts the shifted bounds back on every exit path.
struct ShiftGuard {
  Glp &g;
  BoundShifts &s;
  ~ShiftGuard() { restore_bounds(g, s); }
};

// The optimality tolerance of the final pricing pass, restored on exit.
struct TightTolerance {
  Glp &g;
  double saved;
  bool active = false;
  double since = 0;  // iteration count when engaged
  void engage() {
    active = true;
    since = g.iterations;
    g.dtol = saved * 0.01;
  }
  void release() { g.dtol = saved; }
  ~TightTolerance() { g.dtol = saved; }
};

}  // namespace

int primal_simplex(Glp &g, const RunControl &rc) {
  const int m = g.m, nt = g.n + g.m;
  std::fill(g.shift.begin(), g.shift.end(), 0.0);
  g.weights_exact = false;  // the primal moves the basis without the dual weights
  PrimalState ps;
  ps.pclass.assign(m, 0);
  ps.cb.assign(m, 0.0);
  ps.rejected.assign(nt, 0);
  ps.pricing = rc.primal_pricing == 0 ? kPartialPricing : kDevexPricing;
  if (rc.primal_pricing < 0) ps.pricing = rc.reentered_primal ? kDevexPricing : kPartialPricing;
  ps.partial_method = rc.primal_partial >= 1 && rc.primal_partial <= 3 ? rc.primal_partial : 2;
  ps.free_first = rc.free_first;
  ps.partial.merge_limit = rc.max_merge;
  ps.partial.merge_fact = rc.merge_fact;
  for (int j = 0; j < g.n; ++j)
    if (g.lower[j] <= -kInf && g.upper[j] >= kInf) ps.free_cols.push_back(j);
  ps.pert_factor = rc.pert_factor;
  if (rc.perturb_seed != 0) ps.seed = rc.perturb_seed;
  ps.ratio_mode = rc.primal_ratio;
  ps.lexicographic = rc.lexicographic;
  reset_devex(g, ps);
  ShiftGuard guard{g, ps.shifts};
  TightTolerance tightened{g, g.dtol};

  int code = 0;
  if (!g.factored || g.wfact != WFACT_NO) {
    if ((code = refactor(g))) return code == 2 ? kRunNoMemory : kRunNumerical;
  }
  refresh(g, ps);
  note_primal_progress(g, ps);
  if (rc.perturb && g.iterations == 0) {
    if (g.trace_cfg.on(kTracePerturbation)) base::log_model(g.model, 1, "\nPrimal pre-perturbation...");
    anti_degeneracy_step(g, ps);
    refresh(g, ps);
  }
  const double pivot_cap = pivot_budget(g);
  int idle = 0, cleanups = 0, unbounded_checks = 0, degenerate_run = 0;
  double snapshot_iter = g.iterations, snapshot_deg = 0;
  StallWatch stall(g);
  bool watched_phase1 = ps.phase1;

  for (;;) {
    if (++idle > kIdleLimit || g.iterations > pivot_cap) {
      g.xstat = XSTAT_SWITCH;
      return kRunOk;
    }
    if (g.wfact != WFACT_NO || !g.factored) {
      const int reason = g.wfact;
      if ((code = refactor(g))) return code == 2 ? kRunNoMemory : kRunNumerical;
      std::fill(ps.rejected.begin(), ps.rejected.end(), 0);
      ps.nrejected = 0;
      ps.buckets.primed = false;
      ps.partial.overfull = 0;
      if (reason == WFACT_MAXDMERGE) ps.partial.reset();
      if (reason < WFACT_CHKOPT || reason > WFACT_CHKUNB) {
        decide_pricing(g, ps, rc);
        // long degenerate stretches: perturb the bounds (a few times at most)
        double its = g.iterations - snapshot_iter;
        if (its >= 100 && ps.degenerate - snapshot_deg > 0.9 * its && ps.shifts.perturbations < 3 &&
            !ps.shifts.perturbed && !ps.lex.on) {
          trace_event(g, kTracePerturbation, " too many degenerate iterations.(%d/%g)",
                      static_cast<int>(ps.degenerate - snapshot_deg), its);
          anti_degeneracy_step(g, ps);
        }
        snapshot_iter = g.iterations;
        snapshot_deg = ps.degenerate;
      }
      refresh(g, ps);
      note_primal_progress(g, ps);
    }
    // the tight pass is a polish: on a long degenerate stretch it gives up
    if (tightened.active && g.dtol != tightened.saved && g.iterations - tightened.since > 100 + m / 4)
      tightened.release();
    int lim = check_limits(g, rc);
    if (lim != XSTAT_CONT) {
      g.xstat = lim;
      return lim == XSTAT_CTRLC ? kRunInterrupt : kRunOk;
    }
    // the phase objective never rises in the primal simplex
    if (stall.due(g.iterations)) {
      if (ps.phase1 != watched_phase1) {
        stall.reset(g.iterations);
        watched_phase1 = ps.phase1;
      }
      const double progress = ps.phase1 ? -infeasibility_sum(g) : -objective_value(g);
      const StallWatch::Verdict sv = stall.observe(g.iterations, progress);
      if (sv == StallWatch::kGiveUp) {
        g.xstat = XSTAT_SWITCH;
        return kRunOk;
      }
      if (sv == StallWatch::kPerturb && !ps.shifts.perturbed && !ps.lex.on) {
        anti_degeneracy_step(g, ps);
        refresh(g, ps);
        continue;
      }
    }
    const int q = choose_entering(g, ps, rc.random_pivots && degenerate_run > kRandomAfter);
    if (q < 0) {
      if (ps.nrejected > 0 || g.lu.num_updates() > 0) {
        g.wfact = ps.phase1 ? WFACT_CHKFSB : WFACT_CHKOPT;
        continue;
      }
      if (ps.shifts.active() && cleanups < kCleanupLimit) {
        ++cleanups;
        const bool was_optimal = !ps.phase1;
        restore_bounds(g, ps.shifts);
        refresh(g, ps);
        // an optimal basis left slightly infeasible by the true bounds is the
        // dual simplex's job: it is dual feasible already
        if (was_optimal && ps.phase1) {
          g.xstat = XSTAT_SWITCH;
          return kRunOk;
        }
        continue;
      }
      if (ps.shifts.active()) {
        g.xstat = XSTAT_SWITCH;  // the shifts keep coming back: let the dual finish
        return kRunOk;
      }
      // tiny dual infeasibilities left within the tolerance still cost objective
      // accuracy on badly scaled models: price once more with a tighter tolerance
      if (!ps.phase1 && !tightened.active) {
        tightened.engage();
        continue;
      }
      // the phase-1 multipliers are the Farkas certificate of an infeasible verdict
      if (ps.phase1) g.ray = ps.cb;
      g.xstat = ps.phase1 ? XSTAT_INF : XSTAT_OPT;
      return kRunOk;
    }
    const double dir = g.d[q] < 0 ? 1.0 : -1.0;
    load_column(g, q, g.work_col);
    g.lu.ftran(g.work_col, true);
    PrimalRatio rt = primal_ratio(g, ps, q, dir, g.pivot_tol);

    if (rt.flip) {
      bool changed = move_basics(g, ps, dir, rt.step);
      g.state[q] = g.state[q] == kAtLower ? kAtUpper : kAtLower;
      place_nonbasic(g, q);
      g.iterations += 1;
      idle = 0;
      degenerate_run = 0;
      if (changed) price_all(g, ps);
      continue;
    }
    if (rt.row < 0) {
      if (!ps.phase1) {
        if ((g.lu.num_updates() > 0 || ps.shifts.active()) && unbounded_checks < 3) {
          ++unbounded_checks;
          if (ps.shifts.active()) {
            restore_bounds(g, ps.shifts);
            g.factored = false;
          }
          g.wfact = WFACT_CHKUNB;
          continue;
        }
        g.ray.assign(nt, 0.0);
        g.ray[q] = dir;
        for_each_position(g.work_col, m, [&](int p) { g.ray[g.head[p]] = -dir * g.work_col.array[p]; });
        g.xstat = XSTAT_UNB;
        return kRunOk;
      }
      ps.rejected[q] = 1;  // no ray in phase 1: the column is numerically useless here
      ++ps.nrejected;
      continue;
    }
    const int r = rt.row;
    const int leave = g.head[r];
    const double arq = g.work_col.array[r];
    g.lu.row_of_inverse(r, g.work_row);
    compute_pivot_row(g, g.work_row);
    const double arow = g.alpha_row[q];
    if (std::fabs(arq - arow) > kRowColMismatch * (1.0 + std::fabs(arq)) || (g.numerical_fault && g.numerical_fault(g))) {
      tighten_pivot_tolerance(g);
      if (g.lu.num_updates() > 0) {
        g.wfact = WFACT_NUMERR;
        g.factored = false;
      } else {
        ps.rejected[q] = 1;
        ++ps.nrejected;
      }
      continue;
    }
    // primal step; the leaving variable ends exactly on its (possibly shifted) bound
    bool changed = move_basics(g, ps, dir, rt.step);
    g.x[q] += dir * rt.step;
    const bool to_lower = rt.bound == g.lower[leave];
    if (to_lower && g.x[leave] < g.lower[leave]) shift_bound(g, ps.shifts, leave, true, g.x[leave]);
    if (!to_lower && g.x[leave] > g.upper[leave]) shift_bound(g, ps.shifts, leave, false, g.x[leave]);
    // reduced costs and Devex weights from the pivot row
    const double td = g.d[q] / arq;
    subtract_along_row(g, td);
    g.d[q] = 0.0;
    g.d[leave] = -td;
    if (ps.pricing == kDevexPricing) update_devex(g, ps, q, leave, arq);
    int bu = bupdate(g, r);
    if (bu == 2) return kRunNoMemory;
    pivot_basis(g, r, q, to_lower ? kAtLower : kAtUpper, arq);
    if (ps.partial_method == 3) file_candidate(ps, leave, std::fabs(td));
    g.iterations += 1;
    idle = 0;
    if (rt.step == 0.0) {
      ++g.stats.degenerate;
      ps.degenerate += 1;
      ++degenerate_run;
    } else {
      degenerate_run = 0;
    }
    if (ps.phase1) {
      changed |= ps.pclass[r] != 0;
      ps.pclass[r] = feasibility_class(g, q);
      changed |= ps.pclass[r] != 0;
      if (changed) {
        if (g.wfact == WFACT_NO) price_all(g, ps);
        if (!ps.phase1) g.wfact = WFACT_PHASECHG;
      }
    }
  }
}

}  // namespace tarvo::simplex
