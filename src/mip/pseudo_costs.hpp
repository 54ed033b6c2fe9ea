// Per-column down and up pseudo-costs (objective gain per unit of change),
// learnt from node and trial solves, and the branching score built on them.
#pragma once

#include <vector>

namespace tarvo::mip {

class PseudoCosts {
 public:
  explicit PseudoCosts(int n = 0) : sum_(2 * n, 0.0), count_(2 * n, 0) {}
  // Records the gain `delta` (>= 0) of moving column j by `distance` downwards (up = false) or upwards.
  void record(int j, bool up, double distance, double delta);
  // Unit gain of column j in a direction; the average over all columns when j has none yet.
  double unit(int j, bool up) const;
  int count(int j, bool up) const { return count_[2 * j + up]; }
  int reliability(int j) const { return count_[2 * j] < count_[2 * j + 1] ? count_[2 * j] : count_[2 * j + 1]; }
  // The same records over another numbering: column j takes column from[j]'s
  // (none when from[j] < 0); the averages over all columns stay.
  PseudoCosts remapped(const std::vector<int> &from) const;

 private:
  std::vector<double> sum_;
  std::vector<int> count_;
  double total_sum_[2] = {0, 0};
  int total_count_[2] = {0, 0};
};

// Branching score of a candidate with the estimated gains of its two
// children: w_min*min + w_max*max with the weights of `rule` (1: smaller gain
// only, 2: larger gain only, otherwise w_max = 6.25/max(W,1), w_min = W*w_max)
// and, for the other rules, the bonus terms for balanced candidates measured
// against `reference`.
double branch_score(double down, double up, int rule, double weight, double reference);

}  // namespace tarvo::mip
