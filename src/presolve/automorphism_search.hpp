// Automorphisms of a coloured graph: colour refinement to an equitable
// partition, then a search tree of individualisations. The first path to a
// discrete partition gives a reference labelling; every level of that path
// is revisited bottom-up, and for each vertex of the level's target cell that
// is not yet known to be in the orbit of the first path's vertex, the subtree
// below it is searched for a leaf equivalent to the reference. Each leaf
// found is checked edge by edge, so every generator returned is a true
// automorphism; limits only make the group smaller, never wrong.
#pragma once

#include <utility>
#include <vector>

#include "presolve/symmetry_graph.hpp"

namespace tarvo::presolve {

struct AutomorphismOptions {
  long long node_limit = 100000;  // refinements of the search below the first path
  double time_limit = -1;         // seconds, negative: none
  long long memory_limit = 8000000;  // integers kept in partition snapshots
};

struct AutomorphismResult {
  // Each generator lists the vertices it moves with their images.
  std::vector<std::vector<std::pair<int, int>>> generators;
  std::vector<int> orbit;          // a representative per vertex (equal = same orbit)
  bool node_limit_hit = false, time_limit_hit = false, memory_limit_hit = false;
  long long nodes = 0;             // refinements in the search
  int depth = 0;                   // levels of the first path
  double refine_seconds = 0, first_path_seconds = 0, search_seconds = 0;
  bool complete() const { return !node_limit_hit && !time_limit_hit && !memory_limit_hit; }
};

AutomorphismResult find_automorphisms(const ColouredGraph &g, const AutomorphismOptions &opt);

}  // namespace tarvo::presolve
