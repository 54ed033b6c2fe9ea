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

bool restore_fallback(Glp &g) {
  BasisRecovery &h = g.recovery;
  const int nt = g.n + g.m;
  if (!h.saved() || static_cast<int>(h.state.size()) != nt || static_cast<int>(h.head.size()) != g.m) return false;
  g.head = h.head;
  g.nonbasic_rows.invalidate();  // states change without a pivot
  for (int j = 0; j < nt; ++j) {
    g.state[j] = h.state[j];
    g.where[j] = -1;
  }
  for (int p = 0; p < g.m; ++p) {
    g.where[g.head[p]] = p;
    g.state[g.head[p]] = kBasic;
  }
  for (int j = 0; j < nt; ++j)
    if (g.state[j] != kBasic) settle_nonbasic(g, j);
  ++h.uses;
  ++h.restores;
  h.size = 0;  // the pivots in the ring led away from this basis
  g.weights_exact = false;
  std::fill(g.weight.begin(), g.weight.end(), 1.0);
  g.factored = false;
  trace_event(g, kTraceRecovery,
              " restored fallback basis (#nused:%d, #ncalls:%d, iter-saved:%g, hist_idx:%lld, cond2est:%g, rcond:%g, "
              "bhash:%llx)",
              h.uses, h.restores, h.saved_iteration, h.top, h.cond2est, h.rcond, h.hash);
  return true;
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
