// Symmetry of a linear (mixed-integer) problem: the automorphism group of its
// coloured graph restricted to the columns, as generators and column orbits.
#pragma once

#include <utility>
#include <vector>

#include "presolve/automorphism_search.hpp"
#include "presolve/presolve.hpp"
#include "presolve/symmetry_graph.hpp"

namespace tarvo::presolve {

struct ProblemSymmetry {
  int vertices = 0, edges = 0;
  int graph_generators = 0;       // of the whole graph (some may move rows only)
  // Column permutations: each lists the columns it moves with their images.
  std::vector<std::vector<std::pair<int, int>>> generators;
  // Orbits of more than one member: of columns and rows, of columns, of integer columns.
  int orbits = 0, column_orbits = 0, integer_orbits = 0;
  // The column orbits with more than one column, each ascending, ordered by first column.
  std::vector<std::vector<int>> orbit_columns;
  bool complete = true;           // the search ended without hitting a limit
  bool node_limit_hit = false;
  double graph_seconds = 0, refine_seconds = 0, first_path_seconds = 0, search_seconds = 0;
};

// `graph`, when given, receives the graph searched.
ProblemSymmetry detect_symmetry(const LinearProblem &p, const AutomorphismOptions &opt,
                                ColouredGraph *graph = nullptr);

}  // namespace tarvo::presolve
