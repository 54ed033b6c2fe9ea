// One row side a x <= b whose least activity takes its binaries in cliques
// (at most one literal of a clique is 1): each clique adds only its cheapest
// literal, where the plain activity bound adds every negative entry. With
// pick-one rows that is far tighter, so the row empties nodes and fixes
// columns that plain propagation leaves open. The objective against the
// cutoff is such a row, and so is a knapsack over several pick-one rows.
#pragma once

#include <vector>

#include "mip/conflict_graph.hpp"
#include "mip/mip_problem.hpp"
#include "mip/node_pool.hpp"

namespace tarvo::mip {

class CliqueRow {
 public:
  // The row sum a[k] x_{cols[k]}; its binaries are partitioned into cliques
  // of g, reading at most about *work_left clique entries (decreased).
  CliqueRow(const MipProblem &p, std::vector<int> cols, std::vector<double> a, const ConflictGraph &g,
            double *work_left);

  // Least activity over the bounds lo/up (-1e30: unbounded); it also leaves
  // the per-group summary for propagate.
  double min_activity(const std::vector<double> &lo, const std::vector<double> &up);
  // Points within lo/up with activity at most b: false when there is none;
  // else *out receives the integer bounds such points keep beyond lo/up.
  bool propagate(const std::vector<double> &lo, const std::vector<double> &up, double b, double int_tol,
                 std::vector<BoundChange> *out);
  // Cliques of two or more of the row's binaries, and the row's length.
  int cliques() const { return static_cast<int>(members_.size()); }
  int size() const { return static_cast<int>(cols_.size()); }
  // Entries in those cliques.
  int grouped() const { return grouped_; }

 private:
  const MipProblem &p_;
  std::vector<int> cols_;
  std::vector<double> a_;
  // Entry k of a group counts as the literal t (x when a < 0, else 1 - x):
  // a x = base + w t with w = -|a|.
  std::vector<int> group_;  // per entry, -1: not in a group
  std::vector<std::vector<int>> members_;  // entries
  // Per group at the last summary: the least weight and the next one among
  // free literals, its entry, and the weight of literals fixed at 1.
  struct Summary {
    double best, second, fixed;
    int best_entry, ones;
  };
  std::vector<Summary> sum_;
  int grouped_ = 0;
  double scale_ = 0;  // sum of |terms| at the last summary, for the rounding margin
};

}  // namespace tarvo::mip
