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

// Neighbourhood marks over the literals of a graph, reused from call to call:
// marking a literal's neighbours through its cliques costs the sizes of those
// cliques, where a pairwise adjacency test per candidate and member costs a
// search per clique of each.
class NeighbourMarks {
 public:
  explicit NeighbourMarks(const ConflictGraph &g) : g_(g), mark_(g.literals(), 0) {}
  // Marks the literals sharing a clique with `lit` (clearing earlier marks).
  void mark(int lit);
  bool marked(int lit) const { return mark_[lit] == stamp_; }

 private:
  const ConflictGraph &g_;
  std::vector<unsigned> mark_;
  unsigned stamp_ = 0;
};

// Greedy partition of literals of distinct columns into cliques, in their
// order: each group starts at the first literal not yet placed and takes
// every later one adjacent to all its members. group[k] is the group of
// lits[k]; returns the number of groups.
int clique_partition(NeighbourMarks &marks, const std::vector<int> &lits, std::vector<int> &group);

}  // namespace tarvo::mip
