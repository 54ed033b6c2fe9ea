// Implied-free column substitution: a continuous column whose bounds are
// implied by one of its rows (so they never bind) and which sits in an
// equation is that equation's free variable. It is substituted out of its
// other rows and the objective, and column and equation go. The postsolve
// takes the column's value from the equation and the equation's dual from
// the column's reduced cost (the column is basic, the row nonbasic).
// Substitutions are refused when they pivot on a small coefficient or would
// add more than the fill limit of nonzeros (columns longer than two may not
// add any: the fill slows every later factorisation).
// A free singleton without cost in an inequality row makes that row redundant.
// In an integer problem a continuous singleton in an equation of three or
// more entries that is not implied free is the equation's slack: the row
// takes the column's range (a x + s = b with s in [l, u] reads
// b - u <= a x <= b - l) and the column goes, its cost moving onto the row's
// other columns. An integer singleton takes either way only where the
// equation gives it integral values by itself.
#include <algorithm>
#include <cmath>
#include <unordered_map>

#include "presolve/work_problem.hpp"

namespace tarvo::presolve {
namespace {

constexpr size_t kMaxColumn = 20, kMaxRow = 30;

// Row activities come from `acts` (kept for the pass: a row's activity is
// read for every column of it).
bool implied_free(const WorkProblem &w, RowActivities &acts, int j) {
  const double l = w.lower[j], u = w.upper[j];
  bool lower_ok = l <= -kInf, upper_ok = u >= kInf;
  for (const Entry &e : w.cols[j]) {
    if (lower_ok && upper_ok) break;
    Activity rest = acts.of(e.index);
    RowActivities::without(&rest, e.value, l, u);
    double lo, hi;
    w.implied_by_activity(e.index, e.value, rest, &lo, &hi);
    lower_ok = lower_ok || (lo > -kInf && lo >= l - w.tol(l));
    upper_ok = upper_ok || (hi < kInf && hi <= u + w.tol(u));
  }
  return lower_ok && upper_ok;
}

// An integer singleton with coefficient +-1 in an equation whose other
// columns are integers with integral coefficients and an integral side:
// substituted out, it comes back integral from the equation.
bool integral_singleton(const WorkProblem &w, int j) {
  if (w.cols[j].size() != 1 || std::fabs(w.cols[j][0].value) != 1) return false;
  const int i = w.cols[j][0].index;
  if (w.row_lower[i] != w.row_upper[i] || w.row_lower[i] != std::round(w.row_lower[i])) return false;
  for (const Entry &e : w.rows[i])
    if (e.index != j && (!w.is_int(e.index) || e.value != std::round(e.value))) return false;
  return true;
}

// Net nonzeros that substituting column j through row i would add.
long fill_of(const WorkProblem &w, int i, int j) {
  long added = 0;
  for (const Entry &s : w.cols[j]) {
    if (s.index == i) continue;
    for (const Entry &k : w.rows[i])
      if (k.index != j && w.coef(s.index, k.index) == 0) ++added;
  }
  return added - static_cast<long>(w.cols[j].size() + w.rows[i].size() - 1);
}

// Integer problems only: an LP keeps its factorisation-friendly pivots.
double min_pivot_ratio(const WorkProblem &w, int j) { return w.options.mip && w.cols[j].size() == 1 ? 1e-4 : 0.01; }

// The equation of column j to pivot on: the one with the best pivot ratio.
int pivot_row(const WorkProblem &w, int j) {
  int best = -1;
  double best_ratio = 0;
  for (const Entry &e : w.cols[j]) {
    const int i = e.index;
    // a singleton column adds nothing to other rows: any equation length will do
    if (w.row_lower[i] != w.row_upper[i] || (w.cols[j].size() > 1 && w.rows[i].size() > kMaxRow)) continue;
    double amax = 0;
    for (const Entry &r : w.rows[i]) amax = std::fmax(amax, std::fabs(r.value));
    const double ratio = std::fabs(e.value) / amax;
    // small pivots spread huge multipliers over the other rows; a singleton
    // spreads them over the costs only
    if (ratio >= min_pivot_ratio(w, j) && ratio > best_ratio) best = i, best_ratio = ratio;
  }
  return best;
}

void substitute(WorkProblem &w, int i, int j) {
  const double a = w.coef(i, j), b = w.row_lower[i];
  UndoRecord r{UndoKind::kFreeColumn};
  r.row = i;
  r.col = j;
  r.a = a;
  r.value = w.cost[j];
  r.lower = r.upper = b;
  for (const Entry &e : w.rows[i])
    if (e.index != j) r.entries.push_back(e);
  r.snaps.push_back(w.snapshot(j));
  // objective: c_j x_j = c_j b / a - sum (c_j a_k / a) x_k
  if (w.cost[j] != 0) {
    const double ratio = w.cost[j] / a;
    for (const Entry &e : r.entries) w.cost[e.index] -= ratio * e.value;
    w.offset += ratio * b;
  }
  const std::vector<Entry> others = w.cols[j];
  w.stack->push(std::move(r));
  const std::vector<Entry> pivot = w.rows[i];
  w.drop_row(i);
  for (const Entry &s : others) {
    if (s.index == i) continue;
    const double f = s.value / a;
    if (w.row_lower[s.index] > -kInf) w.row_lower[s.index] -= f * b;
    if (w.row_upper[s.index] < kInf) w.row_upper[s.index] -= f * b;
    for (const Entry &k : pivot) {
      if (k.index == j) continue;
      double v = w.coef(s.index, k.index) - f * k.value;
      if (std::fabs(v) < 1e-11 * std::fmax(1.0, std::fabs(f * k.value))) v = 0;
      w.set_coef(s.index, k.index, v);
    }
  }
  w.drop_col(j);
}

// A free column without cost in an inequality: column and row go together.
void drop_free_slack(WorkProblem &w, int i, int j) {
  UndoRecord r{UndoKind::kFreeColumn};
  r.row = i;
  r.col = j;
  r.a = w.cols[j][0].value;
  r.lower = w.row_lower[i];
  r.upper = w.row_upper[i];
  for (const Entry &e : w.rows[i])
    if (e.index != j) r.entries.push_back(e);
  w.stack->push(std::move(r));
  w.drop_col(j);
  w.drop_row(i);
}

// Column j (a singleton in equation i) leaves its range to the row.
bool keep_range_of_slack(WorkProblem &w, int i, int j) {
  const double a = w.cols[j][0].value, rhs = w.row_lower[i], c = w.cost[j];
  const double l = w.lower[j], u = w.upper[j];
  double amax = 0;
  for (const Entry &e : w.rows[i]) amax = std::fmax(amax, std::fabs(e.value));
  // moving the cost divides by a: no small pivots then
  if (c != 0 && std::fabs(a) < min_pivot_ratio(w, j) * amax) return false;
  UndoRecord r{UndoKind::kSlackColumn};
  r.row = i;
  r.col = j;
  r.a = a;
  r.rhs = rhs;
  r.value = c;
  for (const Entry &e : w.rows[i])
    if (e.index != j) r.entries.push_back(e);
  if (c != 0) {
    const double ratio = c / a;
    for (const Entry &e : r.entries) w.cost[e.index] -= ratio * e.value;
    w.offset += ratio * rhs;
  }
  // the rest of the row is rhs - a s over s in [l, u]
  const double at_l = l > -kInf ? rhs - a * l : (a > 0 ? kInf : -kInf);
  const double at_u = u < kInf ? rhs - a * u : (a > 0 ? -kInf : kInf);
  w.row_lower[i] = std::fmin(at_l, at_u);
  w.row_upper[i] = std::fmax(at_l, at_u);
  w.stack->push(std::move(r));
  w.drop_col(j);
  return true;
}

}  // namespace

int substitute_free_columns(WorkProblem &w) {
  int count = 0;
  // every change below edits only rows of column j: those are read afresh
  RowActivities acts(w);
  for (int j = 0; j < w.n; ++j) {
    if (!w.col_alive[j] || w.cols[j].empty() || w.cols[j].size() > kMaxColumn) continue;
    if (w.is_int(j) && !integral_singleton(w, j)) continue;
    if (w.out_of_time()) break;
    if (w.cols[j].size() == 1 && w.cost[j] == 0 && w.lower[j] <= -kInf && w.upper[j] >= kInf) {
      const int i = w.cols[j][0].index;
      if (w.row_lower[i] != w.row_upper[i]) {
        acts.invalidate_column(j);
        drop_free_slack(w, i, j);
        ++count;
        continue;
      }
    }
    const int i = pivot_row(w, j);
    if (i < 0 || !implied_free(w, acts, j)) {
      const int k = w.cols[j][0].index;
      // an integer problem only (ranged rows slow the simplex down more than a
      // column costs it); a two-entry equation is the doubleton pass's
      if (w.options.mip && w.cols[j].size() == 1 && w.row_lower[k] == w.row_upper[k] && w.rows[k].size() > 2) {
        acts.invalidate_column(j);
        if (keep_range_of_slack(w, k, j)) ++count;
      }
      continue;
    }
    // fill makes later factorisations dearer: longer columns must not add any
    if (w.cols[j].size() > 1) {
      const long fill = fill_of(w, i, j);
      if (fill > w.options.fill_limit || (fill > 0 && w.cols[j].size() > 2)) continue;
    }
    acts.invalidate_column(j);
    substitute(w, i, j);
    ++count;
  }
  w.counts->free_singletons += count;
  return count;
}

}  // namespace tarvo::presolve
