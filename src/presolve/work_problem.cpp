// Building the work copy and the elementary edits every reduction uses.
#include "presolve/work_problem.hpp"

#include <algorithm>
#include <cmath>

#include "common/clock.hpp"

namespace tarvo::presolve {

void WorkProblem::load(const LinearProblem &p) {
  m = p.m;
  n = p.n;
  rows.assign(m, {});
  cols.assign(n, {});
  std::vector<int> row_len(m, 0);
  for (int k = 0; k < p.nonzeros(); ++k)
    if (p.value[k] != 0) ++row_len[p.index[k]];
  for (int i = 0; i < m; ++i) rows[i].reserve(row_len[i]);
  nonzeros = 0;
  for (int j = 0; j < n; ++j) {
    cols[j].reserve(p.start[j + 1] - p.start[j]);
    for (int k = p.start[j]; k < p.start[j + 1]; ++k) {
      if (p.value[k] == 0) continue;
      cols[j].push_back({p.index[k], p.value[k]});
      rows[p.index[k]].push_back({j, p.value[k]});
      ++nonzeros;
    }
  }
  cost = p.cost;
  lower = p.lower;
  upper = p.upper;
  row_lower = p.row_lower;
  row_upper = p.row_upper;
  integer = p.integer;
  offset = p.offset;
  row_alive.assign(m, 1);
  col_alive.assign(n, 1);
  live_rows = m;
  live_cols = n;
}

namespace {
void erase_entry(std::vector<Entry> &list, int index) {
  for (size_t k = 0; k < list.size(); ++k)
    if (list[k].index == index) {
      list[k] = list.back();
      list.pop_back();
      return;
    }
}
}  // namespace

double WorkProblem::coef(int i, int j) const {
  const auto &a = rows[i].size() < cols[j].size() ? rows[i] : cols[j];
  const int key = rows[i].size() < cols[j].size() ? j : i;
  for (const Entry &e : a)
    if (e.index == key) return e.value;
  return 0;
}

void WorkProblem::set_coef(int i, int j, double v) {
  for (Entry &e : cols[j])
    if (e.index == i) {
      if (v == 0) {
        erase_entry(cols[j], i);
        erase_entry(rows[i], j);
        --nonzeros;
      } else {
        e.value = v;
        for (Entry &r : rows[i])
          if (r.index == j) r.value = v;
      }
      return;
    }
  if (v == 0) return;
  cols[j].push_back({i, v});
  rows[i].push_back({j, v});
  ++nonzeros;
}

void WorkProblem::drop_col(int j) {
  for (const Entry &e : cols[j]) erase_entry(rows[e.index], j);
  nonzeros -= static_cast<long>(cols[j].size());
  cols[j].clear();
  col_alive[j] = 0;
  --live_cols;
}

void WorkProblem::drop_row(int i) {
  for (const Entry &e : rows[i]) erase_entry(cols[e.index], i);
  nonzeros -= static_cast<long>(rows[i].size());
  rows[i].clear();
  row_alive[i] = 0;
  --live_rows;
}

void WorkProblem::fix_col(int j, double v, signed char status, bool later) {
  UndoRecord r{UndoKind::kFixColumn};
  r.col = j;
  r.value = v;
  r.status = status;
  r.snaps.push_back(snapshot(j));
  stack->push(std::move(r));
  for (const Entry &e : cols[j]) {
    const double shift = e.value * v;
    if (row_lower[e.index] > -kInf) row_lower[e.index] -= shift;
    if (row_upper[e.index] < kInf) row_upper[e.index] -= shift;
  }
  offset += cost[j] * v;
  if (!later) {
    drop_col(j);
    return;
  }
  nonzeros -= static_cast<long>(cols[j].size());
  cols[j].clear();
  col_alive[j] = 0;
  --live_cols;
  dead_entries = true;
}

void WorkProblem::purge_dead_entries() {
  if (!dead_entries) return;
  for (int i = 0; i < m; ++i)
    rows[i].erase(std::remove_if(rows[i].begin(), rows[i].end(), [&](const Entry &e) { return !col_alive[e.index]; }),
                  rows[i].end());
  dead_entries = false;
}

bool WorkProblem::narrow_bounds(int j, double lo, double hi, UndoRecord *r) {
  if (lo > lower[j] + tol(lo)) {
    lower[j] = lo;
    r->lower_changed = true;
  }
  if (hi < upper[j] - tol(hi)) {
    upper[j] = hi;
    r->upper_changed = true;
  }
  if (lower[j] <= upper[j]) return true;
  if (lower[j] > upper[j] + feas_tol(upper[j])) {
    infeasible = true;
    return false;
  }
  upper[j] = lower[j];
  r->lower_changed = r->upper_changed = true;
  return true;
}

Activity WorkProblem::activity(int i, int skip_col) const {
  Activity a;
  for (const Entry &e : rows[i]) {
    if (e.index == skip_col) continue;
    const double l = lower[e.index], u = upper[e.index];
    const double lo = e.value > 0 ? l : u, hi = e.value > 0 ? u : l;
    if (lo <= -kInf || lo >= kInf) ++a.ninf_min; else a.min += e.value * lo;
    if (hi >= kInf || hi <= -kInf) ++a.ninf_max; else a.max += e.value * hi;
  }
  return a;
}

void WorkProblem::implied_by_row(int i, int j, double a, double *lo, double *hi) const {
  implied_by_activity(i, a, activity(i, j), lo, hi);
}

void WorkProblem::implied_by_activity(int i, double a, const Activity &rest, double *lo, double *hi) const {
  *lo = -kInf;
  *hi = kInf;
  const double rl = row_lower[i], ru = row_upper[i];
  // rl <= a x_j + rest <= ru
  if (a > 0) {
    if (rl > -kInf && !rest.ninf_max) *lo = (rl - rest.max) / a;
    if (ru < kInf && !rest.ninf_min) *hi = (ru - rest.min) / a;
  } else {
    if (ru < kInf && !rest.ninf_min) *lo = (ru - rest.min) / a;
    if (rl > -kInf && !rest.ninf_max) *hi = (rl - rest.max) / a;
  }
}

ColumnSnapshot WorkProblem::snapshot(int j, int skip_row) const {
  ColumnSnapshot s;
  s.col = j;
  s.cost = cost[j];
  s.lower = lower[j];
  s.upper = upper[j];
  s.entries.reserve(cols[j].size());
  for (const Entry &e : cols[j])
    if (e.index != skip_row) s.entries.push_back(e);
  return s;
}

bool WorkProblem::out_of_time() const {
  return options.time_limit >= 0 && common::wall_seconds() - start_time > options.time_limit;
}

const Activity &RowActivities::of(int i) {
  if (known_[i]) return act_[i];
  Activity &a = act_[i];
  a = Activity{};
  for (const Entry &e : w_.rows[i]) {
    if (!w_.col_alive[e.index]) continue;
    double lo, hi;
    bool lo_inf, hi_inf;
    contribution(e.value, w_.lower[e.index], w_.upper[e.index], &lo, &lo_inf, &hi, &hi_inf);
    if (lo_inf) ++a.ninf_min; else a.min += lo;
    if (hi_inf) ++a.ninf_max; else a.max += hi;
  }
  known_[i] = 1;
  return a;
}

void RowActivities::forget_column(int j) {
  for (const Entry &e : w_.cols[j])
    if (known_[e.index]) without(&act_[e.index], e.value, w_.lower[j], w_.upper[j]);
}

void RowActivities::invalidate_column(int j) {
  for (const Entry &e : w_.cols[j]) known_[e.index] = 0;
}

double WorkProblem::tol(double x) const { return 1e-9 * std::max(1.0, std::fabs(x)); }
double WorkProblem::feas_tol(double x) const { return std::max(options.feastol, 1e-9) * std::max(1.0, std::fabs(x)); }

int WorkProblem::count_integers(int *binaries) const {
  int ni = 0, nb = 0;
  if (!integer.empty())
    for (int j = 0; j < n; ++j) {
      if (!col_alive[j] || !integer[j]) continue;
      ++ni;
      if (lower[j] == 0 && upper[j] == 1) ++nb;
    }
  *binaries = nb;
  return ni;
}

}  // namespace tarvo::presolve
