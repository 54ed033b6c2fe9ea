// Dual fixing: a column whose cost favours one direction, and which no row
// keeps from moving that way (no lock), goes to the bound in that direction.
// Every dual of its rows then has the sign that keeps its reduced cost
// feasible, so the postsolve needs nothing more than the fixed value.
#include "presolve/work_problem.hpp"

namespace tarvo::presolve {
namespace {

// Locks: whether lowering (down) or raising (up) the column can violate a row.
void locks(const WorkProblem &w, int j, bool *down, bool *up) {
  *down = *up = false;
  for (const Entry &e : w.cols[j]) {
    const bool has_lower = w.row_lower[e.index] > -kInf, has_upper = w.row_upper[e.index] < kInf;
    if (e.value > 0) {
      *down |= has_lower;
      *up |= has_upper;
    } else {
      *down |= has_upper;
      *up |= has_lower;
    }
  }
}

}  // namespace

int fix_dual_dominated(WorkProblem &w) {
  int count = 0;
  for (int j = 0; j < w.n; ++j) {
    if (!w.col_alive[j] || w.cols[j].empty()) continue;
    bool down, up;
    locks(w, j, &down, &up);
    const double c = w.cost[j];
    if (c >= 0 && !down && w.lower[j] > -kInf) {
      w.fix_col(j, w.lower[j], kLower);
    } else if (c <= 0 && !up && w.upper[j] < kInf) {
      w.fix_col(j, w.upper[j], kUpper);
    } else {
      continue;
    }
    ++count;
  }
  w.counts->dual_fixed += count;
  return count;
}

}  // namespace tarvo::presolve
