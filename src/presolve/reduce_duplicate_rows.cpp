// Duplicate rows: a row that is a multiple of another only narrows the
// other's range and goes. In the postsolve the removed row takes over the
// dual when the kept row sits at a side that came from it.
#include <cmath>

#include "presolve/parallel_lines.hpp"
#include "presolve/work_problem.hpp"

namespace tarvo::presolve {

int merge_duplicate_rows(WorkProblem &w) {
  if (w.out_of_time()) return 0;
  const std::vector<ParallelGroup> groups = find_parallel(w.rows, w.row_alive);
  int count = 0;
  for (const ParallelGroup &g : groups) {
    const int r = g.members[0];
    for (size_t k = 1; k < g.members.size() && !w.infeasible; ++k) {
      const int s = g.members[k];
      const double f = g.factors[k];  // row s = f * row r
      double lo = f > 0 ? w.row_lower[s] : w.row_upper[s];
      double up = f > 0 ? w.row_upper[s] : w.row_lower[s];
      lo = std::fabs(lo) >= kInf ? -kInf : lo / f;
      up = std::fabs(up) >= kInf ? kInf : up / f;
      UndoRecord rec{UndoKind::kDuplicateRow};
      rec.row = s;
      rec.row2 = r;
      rec.a = f;
      rec.lower = w.row_lower[r];
      rec.upper = w.row_upper[r];
      if (lo > w.row_lower[r]) w.row_lower[r] = lo;
      if (up < w.row_upper[r]) w.row_upper[r] = up;
      if (w.row_lower[r] > w.row_upper[r]) {
        if (w.row_lower[r] > w.row_upper[r] + w.feas_tol(w.row_upper[r])) {
          w.infeasible = true;
          return count;
        }
        w.row_upper[r] = w.row_lower[r];
      }
      rec.rhs = w.row_lower[r];
      rec.value = w.row_upper[r];
      w.stack->push(std::move(rec));
      w.drop_row(s);
      ++count;
    }
  }
  w.counts->duplicate_rows += count;
  return count;
}

}  // namespace tarvo::presolve
