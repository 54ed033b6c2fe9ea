// Empty rows and empty columns. An empty row is feasible when 0 lies in its
// range (then it goes with dual 0); an empty column goes to the bound its
// cost favours. A column whose cost pulls towards an infinite bound stays:
// the reduced problem decides whether the model is unbounded or infeasible.
#include <cmath>

#include "presolve/work_problem.hpp"

namespace tarvo::presolve {

int remove_empty_rows(WorkProblem &w) {
  int count = 0;
  for (int i = 0; i < w.m; ++i) {
    if (!w.row_alive[i] || !w.rows[i].empty()) continue;
    if (w.row_lower[i] > w.feas_tol(0) || w.row_upper[i] < -w.feas_tol(0)) {
      w.infeasible = true;
      return count;
    }
    UndoRecord r{UndoKind::kFreeRow};
    r.row = i;
    w.stack->push(std::move(r));
    w.drop_row(i);
    ++count;
  }
  w.counts->empty_rows += count;
  return count;
}

int remove_empty_columns(WorkProblem &w) {
  int count = 0;
  for (int j = 0; j < w.n; ++j) {
    if (!w.col_alive[j] || !w.cols[j].empty()) continue;
    const double c = w.cost[j], l = w.lower[j], u = w.upper[j];
    double v;
    signed char st;
    if (c > 0) {
      if (l <= -kInf) continue;
      v = l, st = kLower;
    } else if (c < 0) {
      if (u >= kInf) continue;
      v = u, st = kUpper;
    } else if (l > -kInf) {
      v = l, st = kLower;
    } else if (u < kInf) {
      v = u, st = kUpper;
    } else {
      v = 0, st = kZero;
    }
    w.fix_col(j, v, st);
    ++count;
  }
  w.counts->empty_cols += count;
  return count;
}

int remove_fixed_columns(WorkProblem &w) {
  int count = 0;
  for (int j = 0; j < w.n; ++j) {
    if (!w.col_alive[j] || w.lower[j] != w.upper[j] || std::fabs(w.lower[j]) >= kInf) continue;
    w.fix_col(j, w.lower[j], kLower);
    ++count;
  }
  w.counts->fixed_cols += count;
  return count;
}

}  // namespace tarvo::presolve
