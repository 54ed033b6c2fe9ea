// Doubleton equations a x_j + b x_k = rhs: x_k = (rhs - a x_j) / b is
// substituted into every other row of k, k's bounds become bounds of j and
// k's cost moves onto j. The larger coefficient is the pivot, so the
// multipliers stay at most 1 in size; an elimination never adds nonzeros in
// total (each row of k loses k and gains at most j). An integer column is
// eliminated only through another integer with an integral multiplier and
// right-hand side; an integer j keeps its implied bounds rounded inwards.
#include <cmath>
#include <utility>

#include "presolve/work_problem.hpp"

namespace tarvo::presolve {

int substitute_doubletons(WorkProblem &w) {
  int count = 0;
  for (int i = 0; i < w.m && !w.infeasible; ++i) {
    if (!w.row_alive[i] || w.rows[i].size() != 2 || w.row_lower[i] != w.row_upper[i]) continue;
    if (w.out_of_time()) break;
    int j = w.rows[i][0].index, k = w.rows[i][1].index;
    double a = w.rows[i][0].value, b = w.rows[i][1].value;
    if (std::fabs(a) > std::fabs(b)) std::swap(j, k), std::swap(a, b);
    const bool both_int = w.is_int(j) && w.is_int(k);
    if (both_int) {
      // x_k = (rhs - a x_j) / b stays integral when a/b and rhs/b are integers:
      // the smaller coefficient is eliminated (binary rows bit)
      if (!(w.options.level & kBinaryRows)) continue;
      if (std::fabs(b) > std::fabs(a)) std::swap(j, k), std::swap(a, b);
      const double q = a / b, t = w.row_lower[i] / b;
      if (std::fabs(q - std::round(q)) > 1e-12 || std::fabs(t - std::round(t)) > 1e-9) continue;
    } else if (w.is_int(k)) {
      std::swap(j, k), std::swap(a, b);
    }
    if (std::fabs(b) < 1e-7 || std::fabs(a) < 1e-3 * std::fabs(b) * 1e-3 || std::fabs(a) > 1e3 * std::fabs(b)) continue;
    const double rhs = w.row_lower[i];
    // bounds of j implied by k's bounds: x_j = (rhs - b x_k) / a
    double lo = -kInf, hi = kInf;
    const double lk = w.lower[k], uk = w.upper[k];
    const double r = b / a;
    if (r > 0) {
      if (uk < kInf) lo = (rhs - b * uk) / a;
      if (lk > -kInf) hi = (rhs - b * lk) / a;
    } else {
      if (lk > -kInf) lo = (rhs - b * lk) / a;
      if (uk < kInf) hi = (rhs - b * uk) / a;
    }
    if (w.is_int(j)) {
      if (lo > -kInf) lo = std::ceil(lo - 1e-6);
      if (hi < kInf) hi = std::floor(hi + 1e-6);
    }
    UndoRecord rec{UndoKind::kDoubleton};
    rec.row = i;
    rec.col = j;
    rec.col2 = k;
    rec.a = a;
    rec.b = b;
    rec.rhs = rhs;
    rec.lower = lk;
    rec.upper = uk;
    rec.snaps.push_back(w.snapshot(j));
    rec.snaps.push_back(w.snapshot(k));
    if (!w.narrow_bounds(j, lo, hi, &rec)) return count;
    // objective: c_k x_k = c_k rhs / b - (c_k a / b) x_j
    w.offset += w.cost[k] * rhs / b;
    w.cost[j] -= w.cost[k] * a / b;
    w.stack->push(std::move(rec));
    w.drop_row(i);
    const std::vector<Entry> others = w.cols[k];
    for (const Entry &e : others) {
      const int s = e.index;
      const double shift = e.value * rhs / b;
      if (w.row_lower[s] > -kInf) w.row_lower[s] -= shift;
      if (w.row_upper[s] < kInf) w.row_upper[s] -= shift;
      double v = w.coef(s, j) - e.value * a / b;
      if (std::fabs(v) < 1e-12) v = 0;
      w.set_coef(s, j, v);
    }
    w.drop_col(k);
    ++count;
    if (both_int) ++w.counts->integer_doubletons;
  }
  w.counts->doubletons += count;
  return count;
}

}  // namespace tarvo::presolve
