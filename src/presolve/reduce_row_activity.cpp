// Rows judged by the range of their activity over the column bounds: a row
// that can never be violated goes (dual 0); a side that can never be reached
// is dropped; a row that can only be met with every column at one bound
// (a forcing row) fixes those columns and goes; a row that cannot be met at
// all proves the problem infeasible.
#include <algorithm>
#include <cmath>

#include "presolve/work_problem.hpp"

namespace tarvo::presolve {
namespace {

void drop_free_row(WorkProblem &w, int i) {
  UndoRecord r{UndoKind::kFreeRow};
  r.row = i;
  w.stack->push(std::move(r));
  w.drop_row(i);
}

// All columns of row i go to the bounds that give the row its lowest
// (at_max false) or highest activity; the row sits at row_upper / row_lower.
void force_row(WorkProblem &w, int i, bool at_max) {
  UndoRecord r{UndoKind::kForcingRow};
  r.row = i;
  r.status = at_max ? kLower : kUpper;  // the side of the row that binds
  for (const Entry &e : w.rows[i]) {
    const bool to_upper = (e.value > 0) == at_max;
    r.entries.push_back({e.index, e.value});
    ColumnSnapshot s = w.snapshot(e.index, i);
    r.snaps.push_back(std::move(s));
    (void)to_upper;
  }
  std::vector<Entry> members = w.rows[i];
  w.drop_row(i);
  for (const Entry &e : members) {
    const bool to_upper = (e.value > 0) == at_max;
    const double v = to_upper ? w.upper[e.index] : w.lower[e.index];
    // the forcing record restores these columns: no record of their own
    for (const Entry &c : w.cols[e.index]) {
      const double shift = c.value * v;
      if (w.row_lower[c.index] > -kInf) w.row_lower[c.index] -= shift;
      if (w.row_upper[c.index] < kInf) w.row_upper[c.index] -= shift;
    }
    w.offset += w.cost[e.index] * v;
    w.drop_col(e.index);
  }
  w.stack->push(std::move(r));
}

}  // namespace

int remove_by_row_activity(WorkProblem &w) {
  int count = 0;
  for (int i = 0; i < w.m && !w.infeasible; ++i) {
    if (!w.row_alive[i] || w.rows[i].empty()) continue;
    const Activity a = w.activity(i);
    const double lo = a.lowest(), hi = a.highest();
    double &rl = w.row_lower[i], &ru = w.row_upper[i];
    if ((ru < kInf && lo > ru + w.feas_tol(ru) * 10) || (rl > -kInf && hi < rl - w.feas_tol(rl) * 10)) {
      w.infeasible = true;
      return count;
    }
    const bool lower_redundant = rl <= -kInf || lo >= rl - w.tol(rl);
    const bool upper_redundant = ru >= kInf || hi <= ru + w.tol(ru);
    if (lower_redundant && upper_redundant) {
      drop_free_row(w, i);
      ++w.counts->redundant_rows;
      ++count;
      continue;
    }
    if (ru < kInf && lo > -kInf && lo >= ru - w.tol(ru)) {
      force_row(w, i, false);
      ++w.counts->forcing_rows;
      ++count;
      continue;
    }
    if (rl > -kInf && hi < kInf && hi <= rl + w.tol(rl)) {
      force_row(w, i, true);
      ++w.counts->forcing_rows;
      ++count;
      continue;
    }
    // a side that activity cannot reach is no constraint
    if (lower_redundant && rl > -kInf) {
      rl = -kInf;
      ++count;
    } else if (upper_redundant && ru < kInf) {
      ru = kInf;
      ++count;
    }
  }
  return count;
}

}  // namespace tarvo::presolve
