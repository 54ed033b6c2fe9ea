// Basis changes with their history, and the ways back from a singular basis:
// the fallback basis of the last stable factorisation and the rollback of the
// pivots made since the previous factorisation.
#include <algorithm>
#include <cmath>

#include "simplex/glp.hpp"

namespace tarvo::simplex {

void pivot_basis(Glp &g, int r, int q, signed char leave_state, double pivot) {
  const int leave = g.head[r];
  BasisRecovery &h = g.recovery;
  PivotEntry &e = h.ring[static_cast<std::size_t>(h.top % BasisRecovery::kHistory)];
  e.iteration = g.iterations;
  e.degenerate = static_cast<double>(g.stats.degenerate);
  e.factorization = g.factorizations;
  e.row = r;
  e.entering = q;
  e.leaving = leave;
  e.leave_state = leave_state;
  e.pivot = pivot;
  ++h.top;
  h.size = std::min(h.size + 1, BasisRecovery::kHistory);
  if (!g.pivot_activity.empty()) {
    ++g.pivot_activity[q];
    ++g.pivot_activity[leave];
  }
  g.head[r] = q;
  g.where[q] = r;
  g.state[q] = kBasic;
  g.where[leave] = -1;
  g.state[leave] = leave_state;
  place_nonbasic(g, leave);
  note_basis_change(g, q, leave);
}

void dump_history(Glp &g) {
  if (!g.model || !g.trace_cfg.on(kTraceRecovery)) return;
  const BasisRecovery &h = g.recovery;
  base::log_model(g.model, 1, "\nPIVOT HISTORY (top:%lld)", h.top);
  for (int k = 1; k <= h.size; ++k) {
    const PivotEntry &e = h.ring[static_cast<std::size_t>((h.top - k) % BasisRecovery::kHistory)];
    base::log_model(g.model, 1, "\n %8.0f %8.0f %6d %6d %8d %8d %14.6e", e.iteration, e.degenerate, e.factorization,
                    e.row, e.entering, e.leaving, e.pivot);
  }
}

void save_fallback(Glp &g) {
  BasisRecovery &h = g.recovery;
  const unsigned long long hash = basis_hash(g);
  if (h.saved() && hash == h.hash && h.head == g.head) {
    trace_event(g, kTraceRecovery, "WARNING: current basis already the fallback basis, top:%lld, bhash=%llx", h.top,
                hash);
    return;
  }
  h.head = g.head;
  h.state = g.state;
  h.saved_iteration = g.iterations;
  h.rcond = g.m > 0 ? g.lu.rcond() : 1.0;
  h.cond2est = h.rcond > 0 ? 1.0 / h.rcond : 1e300;
  h.hash = hash;
  h.uses = 0;
  trace_event(g, kTraceRecovery, "Saved current basis as the %s basis, top:%lld, cond2est:%g, rcond:%g, bhash=%llx",
              "fallback", h.top, h.cond2est, h.rcond, hash);
}

namespace {
// Nonbasic variables back on a bound that fits their state (bounds may have
// moved since the state was recorded).
void settle_nonbasic(Glp &g, int j) {
  const signed char st = g.state[j];
  if ((st == kAtLower && g.lower[j] <= -kInf) || (st == kAtUpper && g.upper[j] >= kInf) ||
      (st == kFreeZero && (g.lower[j] > -kInf || g.upper[j] < kInf))) {
    if (g.model && g.trace_cfg.warnings)
      base::log_model(g.model, 1, "\nWARNING: swing bound cbas[%d]=%d, lb=%g, ub=%g", j, static_cast<int>(st),
                      g.lower[j], g.upper[j]);
    choose_nonbasic_state(g, j, g.x[j]);
    return;
  }
  place_nonbasic(g, j);
}
}  // namespace

namespace {
// Puts a recorded basis back: header, states, nonbasic values; the factors
// and pricing weights are stale afterwards. False when it does not fit.
bool install_recorded(Glp &g, const std::vector<int> &head, const std::vector<signed char> &state) {
  const int nt = g.n + g.m;
  if (head.empty() || static_cast<int>(state.size()) != nt || static_cast<int>(head.size()) != g.m) return false;
  g.head = head;
  g.nonbasic_rows.states_changed();  // states change without a pivot
  for (int j = 0; j < nt; ++j) {
    g.state[j] = state[j];
    g.where[j] = -1;
  }
  for (int p = 0; p < g.m; ++p) {
    g.where[g.head[p]] = p;
    g.state[g.head[p]] = kBasic;
  }
  for (int j = 0; j < nt; ++j)
    if (g.state[j] != kBasic) settle_nonbasic(g, j);
  g.recovery.size = 0;  // the pivots in the ring led away from this basis
  g.weights_exact = false;
  std::fill(g.weight.begin(), g.weight.end(), 1.0);
  g.factored = false;
  return true;
}

constexpr double kBestEvery = 10;  // iterations between two looks at the progress
constexpr double kProgressEps = 1e-9;

bool better(const Progress &now, const Progress &best) {
  if (now.level != best.level) return now.level < best.level;
  if (now.kind != best.kind) return true;
  return now.measure < best.measure - kProgressEps * (1.0 + std::fabs(best.measure));
}
}  // namespace

bool restore_fallback(Glp &g) {
  BasisRecovery &h = g.recovery;
  if (!install_recorded(g, h.head, h.state)) return false;
  ++h.uses;
  ++h.restores;
  trace_event(g, kTraceRecovery,
              " restored fallback basis (#nused:%d, #ncalls:%d, iter-saved:%g, hist_idx:%lld, cond2est:%g, rcond:%g, "
              "bhash:%llx)",
              h.uses, h.restores, h.saved_iteration, h.top, h.cond2est, h.rcond, h.hash);
  return true;
}

bool progress_due(const Glp &g) {
  const BasisRecovery &h = g.recovery;
  if (!h.keep_best || !g.factored || g.wfact != WFACT_NO || g.m == 0) return false;
  return !h.best_saved() || g.iterations - h.best_checked >= kBestEvery;
}

void note_progress(Glp &g, ProgressKind kind, double measure, int dual_bad) {
  BasisRecovery &h = g.recovery;
  if (!progress_due(g)) return;
  h.best_checked = g.iterations;
  Progress now{2, kind, measure};
  if (kind == kPrimalPhase2 || kind == kDualPhase2) {
    int np = 0, nd = dual_bad;
    primal_infeasibility(g, &np);
    if (nd < 0) dual_infeasibility(g, &nd);
    now.level = (np > 0) + (nd > 0);
  }
  if (!better(now, h.best)) return;
  h.best = now;
  h.best_head = g.head;
  h.best_state = g.state;
  h.best_iteration = g.iterations;
  trace_event(g, kTraceRecovery, "Saved current basis as the %s basis, top:%lld, cond2est:%g, rcond:%g, bhash=%llx",
              "best", h.top, 1.0 / std::max(g.lu.rcond(), 1e-300), g.lu.rcond(),
              g.trace_cfg.on(kTraceRecovery) ? basis_hash(g) : 0ull);
}

void forget_best_basis(Glp &g) {
  BasisRecovery &h = g.recovery;
  h.best_head.clear();
  h.best_state.clear();
  h.best = Progress{};
  h.best_checked = -1e30;
  h.best_iteration = -1;
  h.restore_request = false;
  h.numerr_streak = 0;
}

bool restore_for_numerical_error(Glp &g) {
  BasisRecovery &h = g.recovery;
  if (h.keep_best && h.best_saved()) {
    if (install_recorded(g, h.best_head, h.best_state)) {
      ++h.best_restores;
      trace_event(g, kTraceRecovery, " restored best basis (#ncalls:%d, iter-saved:%g, hist_idx:%lld)",
                  h.best_restores, h.best_iteration, h.top);
      return true;
    }
  }
  return restore_fallback(g);
}

bool rollback_to_factorization(Glp &g) {
  BasisRecovery &h = g.recovery;
  if (h.size == 0) {
    trace_event(g, kTraceRecovery, " WARNING: cannot rollback, no iterations were logged (top:%lld)", h.top);
    return false;
  }
  // the pivots since the last factorisation that succeeded
  const int last = h.ring[static_cast<std::size_t>((h.top - 1) % BasisRecovery::kHistory)].factorization;
  int steps = 0;
  while (h.size > 0) {
    const PivotEntry &e = h.ring[static_cast<std::size_t>((h.top - 1) % BasisRecovery::kHistory)];
    if (e.factorization != last) break;
    const int r = e.row, q = e.entering, leave = e.leaving;
    if (r < 0 || r >= g.m || g.head[r] != q || g.state[leave] == kBasic) break;  // not the basis it came from
    g.head[r] = leave;
    g.where[leave] = r;
    g.state[leave] = kBasic;
    g.where[q] = -1;
    choose_nonbasic_state(g, q, g.x[q]);
    --h.top;
    --h.size;
    ++steps;
  }
  if (steps == 0) {
    trace_event(g, kTraceRecovery, " WARNING: cannot rollback, reached to tail:%d (top:%lld)", h.size, h.top);
    return false;
  }
  ++h.rollbacks;
  g.weights_exact = false;
  std::fill(g.weight.begin(), g.weight.end(), 1.0);
  g.factored = false;
  trace_event(g, kTraceRecovery, " rolled back to previous fact in %d steps, top:%lld, size:%d", steps, h.top, h.size);
  return true;
}

}  // namespace tarvo::simplex
