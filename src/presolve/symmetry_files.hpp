// Text files of a symmetry search: the column orbits (".orb"), the coloured
// graph as a dreadnaut-style script with its colour partition (".dre"), and
// the column generators in cycle notation (".ans"). Columns are written as
// C%07d of the numbering `origin` gives (null: their own).
#pragma once

#include <string>
#include <vector>

#include "presolve/symmetry.hpp"
#include "presolve/symmetry_graph.hpp"

namespace tarvo::presolve {

bool write_orbit_file(const std::string &path, const ProblemSymmetry &s, const std::vector<int> *origin);
bool write_graph_file(const std::string &path, const ColouredGraph &g);
bool write_generator_file(const std::string &path, const ProblemSymmetry &s, const std::vector<int> *origin);

}  // namespace tarvo::presolve
