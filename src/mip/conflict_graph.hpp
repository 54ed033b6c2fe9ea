// Conflict graph of the binary columns: cliques of literals (x_j = 1 or
// x_j = 0) of which at most one can hold, taken from set-packing and knapsack
// rows of the problem. Literal 2j is x_j, literal 2j+1 is 1 - x_j.
#pragma once

#include <vector>

#include "mip/mip_problem.hpp"

namespace tarvo::mip {

class ConflictGraph {
 public:
  explicit ConflictGraph(const MipProblem &prob);
  bool adjacent(int lit_a, int lit_b) const;
  int literals() const { return static_cast<int>(cliques_of_.size()); }
  int cliques() const { return static_cast<int>(cliques_.size()); }
  const std::vector<int> &cliques_of(int lit) const { return cliques_of_[lit]; }
  const std::vector<int> &clique(int c) const { return cliques_[c]; }

 private:
  void add_clique(std::vector<int> lits);
  std::vector<std::vector<int>> cliques_;     // sorted literal lists
  std::vector<std::vector<int>> cliques_of_;  // per literal, the cliques holding it
};

}  // namespace tarvo::mip
