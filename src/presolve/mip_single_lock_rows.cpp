// Integer problems: rows that a column's single lock makes tight. When the
// objective favours lowering x_j (c_j >= 0) and only row r keeps x_j from
// going down, an optimal solution either has r tight or x_j at its lower
// bound; if r always stops x_j at or above that bound, r is tight in some
// optimal solution and becomes an equation at that side (mirrored for
// raising x_j). An integer x_j needs the tight value to be integral for every
// integral rest of the row. Typical case: x <= y with y only otherwise in a
// cardinality row becomes x = y, which the doubleton pass then aggregates.
// Only the integer presolve applies it: the row duals of an LP would lose
// their sign condition on the side that was dropped.
#include <cmath>

#include "presolve/work_problem.hpp"

namespace tarvo::presolve {
namespace {

// The single row that locks column j in direction `down` (lowering x_j can
// violate it), or -1 when there are none or several.
int single_lock(const WorkProblem &w, int j, bool down) {
  int row = -1;
  for (const Entry &e : w.cols[j]) {
    const bool rises = (e.value > 0) != down;  // the row's activity grows with the move
    const bool locked = rises ? w.row_upper[e.index] < kInf : w.row_lower[e.index] > -kInf;
    if (!locked) continue;
    if (row >= 0) return -1;
    row = e.index;
  }
  return row;
}

// Whether every value at which row i turns tight for column j (coefficient a)
// is integral when the other columns take integral values.
bool tight_value_integral(const WorkProblem &w, int i, int j, double a, double side) {
  auto integral = [](double v) { return std::fabs(v - std::round(v)) <= 1e-9 * std::fmax(1.0, std::fabs(v)); };
  if (!integral(side / a)) return false;
  for (const Entry &e : w.rows[i])
    if (e.index != j && (!w.is_int(e.index) || !integral(e.value / a))) return false;
  return true;
}

// Makes row i an equation at the side that locks j in direction `down`,
// when the row always binds before x_j's own bound does.
bool bind_row(WorkProblem &w, int i, int j, bool down) {
  if (w.row_lower[i] == w.row_upper[i]) return false;
  double a = 0;
  for (const Entry &e : w.rows[i])
    if (e.index == j) a = e.value;
  if (a == 0) return false;
  const bool side_is_lower = (a > 0) == down;  // the side the move runs into
  const double side = side_is_lower ? w.row_lower[i] : w.row_upper[i];
  double lo, hi;
  w.implied_by_row(i, j, a, &lo, &hi);
  const double bound = down ? w.lower[j] : w.upper[j];
  if (std::fabs(bound) < kInf) {
    const double stop = down ? lo : hi;
    if (std::fabs(stop) >= kInf) return false;
    if (down ? stop < bound - w.tol(bound) : stop > bound + w.tol(bound)) return false;
  }
  if (w.is_int(j) && !tight_value_integral(w, i, j, a, side)) return false;
  if (side_is_lower)
    w.row_upper[i] = w.row_lower[i];
  else
    w.row_lower[i] = w.row_upper[i];
  return true;
}

}  // namespace

int bind_single_lock_rows(WorkProblem &w) {
  if (!w.options.mip) return 0;
  int count = 0;
  for (int j = 0; j < w.n; ++j) {
    if (!w.col_alive[j] || w.cols[j].empty() || w.lower[j] == w.upper[j]) continue;
    if ((j & 1023) == 0 && w.out_of_time()) break;
    for (const bool down : {true, false}) {
      if (down ? w.cost[j] < 0 : w.cost[j] > 0) continue;
      const int i = single_lock(w, j, down);
      if (i >= 0 && bind_row(w, i, j, down)) {
        ++count;
        break;
      }
    }
  }
  w.counts->rows_bound += count;
  return count;
}

}  // namespace tarvo::presolve
