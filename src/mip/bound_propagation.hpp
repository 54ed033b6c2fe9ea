// Bound propagation over the rows of a MipProblem: a row's activity range
// limits each of its columns; integer columns round inwards. Changes are kept
// on a trail so that a probe can be undone in the time it took to make.
#pragma once

#include <vector>

#include "mip/mip_problem.hpp"

namespace tarvo::mip {

class BoundPropagator {
 public:
  BoundPropagator(const MipProblem &p, std::vector<double> lo, std::vector<double> up, double int_tol);

  const std::vector<double> &lower() const { return lo_; }
  const std::vector<double> &upper() const { return up_; }
  // Sets column j's bounds to the intersection with [l, u] and propagates
  // from its rows; false when some column's bounds cross (no solution).
  bool tighten(int j, double l, double u);
  // Propagates every row once more until nothing changes (or the budget runs out).
  bool propagate_all();
  // Position on the trail; undo(mark) restores the bounds it had then.
  std::size_t mark() const { return trail_.size(); }
  void undo(std::size_t mark);
  // Columns whose bounds changed after `mark` (a column may repeat).
  std::vector<int> changed_since(std::size_t mark) const;
  // The same as sides: 2*j for a raised lower bound, 2*j+1 for a lowered upper one.
  std::vector<int> sides_changed_since(std::size_t mark) const;
  // Nonzeros read so far; propagation stops early once it passes `limit`.
  double work() const { return work_; }
  void set_work_limit(double limit) { work_limit_ = limit; }

 private:
  bool set_bound(int j, bool upper, double v);
  bool run();
  bool propagate_row(int i);

  const MipProblem &p_;
  std::vector<double> lo_, up_;
  double int_tol_;
  struct Entry {
    int col;
    bool upper;
    double old;
  };
  std::vector<Entry> trail_;
  std::vector<int> queue_;
  std::vector<char> queued_;
  double work_ = 0, work_limit_ = 1e300;
};

}  // namespace tarvo::mip
