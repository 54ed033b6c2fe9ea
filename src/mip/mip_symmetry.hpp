// Symmetry detection for the integer solver: reads the symmetry parameters,
// searches the problem the tree will solve, logs the group, writes the orbit
// file and hands the tree its orbital fixing.
#pragma once

#include <memory>
#include <vector>

#include "model/model.hpp"
#include "mip/mip_problem.hpp"
#include "mip/orbital_fixing.hpp"

namespace tarvo::mip {

// `origin` maps the problem's columns to the working copy's (null: the same);
// `time_left` in seconds, negative for none. Null when there is nothing to use.
std::unique_ptr<OrbitalFixing> detect_mip_symmetry(base::Model *model, const MipProblem &p,
                                                   const std::vector<int> *origin, double time_left);

}  // namespace tarvo::mip
