// The coloured graph whose automorphisms are the symmetries of a linear
// (mixed-integer) problem: one vertex per column, coloured by integrality,
// cost and bounds; one per row, coloured by its activity bounds; and, where a
// row holds more than one coefficient value, one vertex per (row, value)
// between the row and its columns, coloured by the value. A colour-preserving
// automorphism therefore permutes columns and rows so that the matrix, costs
// and bounds are unchanged.
#pragma once

#include <vector>

#include "presolve/presolve.hpp"

namespace tarvo::presolve {

struct ColouredGraph {
  int columns = 0, rows = 0;       // vertices 0..columns-1 are columns, then rows, then value vertices
  int vertices = 0;
  std::vector<int> colour;         // dense colour ids, equal ids = equal colours
  std::vector<int> adj_start, adj; // undirected, each edge stored at both ends
  int edges() const { return static_cast<int>(adj.size() / 2); }
};

ColouredGraph build_symmetry_graph(const LinearProblem &p);

}  // namespace tarvo::presolve
