// Singleton rows become bounds of their column. The undo record remembers
// which bounds came from the row: when the column ends up at such a bound the
// row, not the column, is the binding constraint of the basis.
#include <cmath>

#include "presolve/work_problem.hpp"

namespace tarvo::presolve {

int remove_singleton_rows(WorkProblem &w) {
  int count = 0;
  for (int i = 0; i < w.m && !w.infeasible; ++i) {
    if (!w.row_alive[i] || w.rows[i].size() != 1) continue;
    const int j = w.rows[i][0].index;
    const double a = w.rows[i][0].value;
    // tiny pivots would turn into huge bounds: leave such rows to the simplex
    if (std::fabs(a) < 1e-9) continue;
    double lo = a > 0 ? w.row_lower[i] : w.row_upper[i];
    double up = a > 0 ? w.row_upper[i] : w.row_lower[i];
    lo = std::fabs(lo) >= kInf ? -kInf : lo / a;
    up = std::fabs(up) >= kInf ? kInf : up / a;
    if (w.is_int(j)) {
      if (lo > -kInf) lo = std::ceil(lo - 1e-6);
      if (up < kInf) up = std::floor(up + 1e-6);
    }
    UndoRecord r{UndoKind::kSingletonRow};
    r.row = i;
    r.col = j;
    r.a = a;
    r.lower = w.lower[j];
    r.upper = w.upper[j];
    if (!w.narrow_bounds(j, lo, up, &r)) return count;
    r.snaps.push_back(w.snapshot(j, i));
    w.stack->push(std::move(r));
    w.drop_row(i);
    ++count;
  }
  w.counts->singleton_rows += count;
  return count;
}

}  // namespace tarvo::presolve
