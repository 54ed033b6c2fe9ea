// The objective as a row, c x < cutoff, propagated with a node's bounds.
// Its least activity takes the costed binaries in cliques (at most one
// literal of a clique is 1): each clique adds only its cheapest literal,
// where the plain row bound adds every negative cost. With pick-one rows
// that is far tighter, and it prunes nodes and fixes columns without an LP.
#pragma once

#include <vector>

#include "mip/conflict_graph.hpp"
#include "mip/mip_problem.hpp"
#include "mip/node_pool.hpp"

namespace tarvo::mip {

class ObjectivePropagator {
 public:
  // Partitions the costed binaries of p into cliques of g.
  ObjectivePropagator(const MipProblem &p, const ConflictGraph &g, double int_tol);

  // Least value of c x (with the problem's constant) over the bounds lo/up
  // (-1e30: unbounded); it also leaves the per-group summary for propagate.
  double min_activity(const std::vector<double> &lo, const std::vector<double> &up);
  // Every point within lo/up with objective below `cutoff`: false when there
  // is none; else *out receives the integer bounds such points keep beyond lo/up.
  bool propagate(const std::vector<double> &lo, const std::vector<double> &up, double cutoff,
                 std::vector<BoundChange> *out);
  // Number of cliques of two or more costed binaries.
  int cliques() const { return cliques_; }

 private:
  const MipProblem &p_;
  double int_tol_;
  // Column j of a group counts as the literal t (x_j when c_j < 0, else
  // 1 - x_j): c_j x_j = base_j + w_j t with w_j = -|c_j|.
  std::vector<int> group_;  // per column, -1: not in a group
  std::vector<std::vector<int>> members_;
  int cliques_ = 0;
  // Per group at the last summary: the least weight and the next one among
  // free literals, its column, and the weight of literals fixed at 1.
  struct Summary {
    double best, second, fixed;
    int best_col, ones;
  };
  std::vector<Summary> sum_;
  double scale_ = 0;  // sum of |terms| at the last summary, for the rounding margin
};

}  // namespace tarvo::mip
