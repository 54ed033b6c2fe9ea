// Implied-free column singletons: a column met by one equation only, whose
// own bounds the equation already implies, is the equation's free variable.
// Both go; the column's cost moves onto the row's other columns, and the
// postsolve takes the column's value from the equation and the row's dual
// from the column's cost (the column is basic, the row nonbasic).
// A free singleton without cost in an inequality row makes that row redundant.
#include <cmath>

#include "presolve/work_problem.hpp"

namespace tarvo::presolve {
namespace {

// Whether the bounds of column j are implied by row i (activity of the rest).
bool implied_free(const WorkProblem &w, int i, int j, double a) {
  const double l = w.lower[j], u = w.upper[j];
  if (l <= -kInf && u >= kInf) return true;
  if (w.row_lower[i] != w.row_upper[i]) return false;
  const Activity rest = w.activity(i, j);
  const double b = w.row_lower[i];
  // a x_j = b - rest, rest in [rest.lowest, rest.highest]
  double lo, hi;
  if (a > 0) {
    lo = rest.ninf_max ? -kInf : (b - rest.max) / a;
    hi = rest.ninf_min ? kInf : (b - rest.min) / a;
  } else {
    lo = rest.ninf_min ? -kInf : (b - rest.min) / a;
    hi = rest.ninf_max ? kInf : (b - rest.max) / a;
  }
  const bool lower_ok = l <= -kInf || (lo > -kInf && lo >= l - w.tol(l));
  const bool upper_ok = u >= kInf || (hi < kInf && hi <= u + w.tol(u));
  return lower_ok && upper_ok;
}

}  // namespace

int substitute_free_columns(WorkProblem &w) {
  int count = 0;
  for (int j = 0; j < w.n; ++j) {
    if (!w.col_alive[j] || w.cols[j].size() != 1 || w.is_int(j)) continue;
    const int i = w.cols[j][0].index;
    const double a = w.cols[j][0].value;
    const bool equation = w.row_lower[i] == w.row_upper[i];
    if (!equation && !(w.cost[j] == 0 && w.lower[j] <= -kInf && w.upper[j] >= kInf)) continue;
    // small pivots spread huge costs over the row
    double amax = 0;
    for (const Entry &e : w.rows[i]) amax = std::fmax(amax, std::fabs(e.value));
    if (std::fabs(a) < 1e-3 * amax) continue;
    if (!implied_free(w, i, j, a)) continue;
    UndoRecord r{UndoKind::kFreeColumn};
    r.row = i;
    r.col = j;
    r.a = a;
    r.value = w.cost[j];
    r.lower = w.row_lower[i];
    r.upper = w.row_upper[i];
    for (const Entry &e : w.rows[i])
      if (e.index != j) r.entries.push_back(e);
    if (equation && w.cost[j] != 0) {
      const double ratio = w.cost[j] / a;
      for (const Entry &e : r.entries) w.cost[e.index] -= ratio * e.value;
      w.offset += ratio * w.row_lower[i];
    }
    w.stack->push(std::move(r));
    w.drop_col(j);
    w.drop_row(i);
    ++count;
  }
  w.counts->free_singletons += count;
  return count;
}

}  // namespace tarvo::presolve
