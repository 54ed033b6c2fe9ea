// What runs before the tree: the user's start points (complete or partial)
// as the first incumbent, the objective-free heuristic and the fast
// enumeration solver for pure binary models.
#pragma once

#include "model/model.hpp"
#include "mip/incumbent.hpp"
#include "mip/mip_log.hpp"
#include "mip/mip_problem.hpp"

namespace tarvo::mip {

struct PreTreeOutcome {
  bool solved = false;      // the search is over: the incumbent is optimal, or none exists
  bool infeasible = false;  // proven to have no solution
};

// `d` is the user's model (its start points), `p` the working problem whose
// first d.n columns are the user's, `deadline` the wall clock of the solve.
PreTreeOutcome pre_tree_heuristics(const base::ModelData &d, const MipProblem &p, const base::ParamValues &params,
                                   Incumbent &inc, MipLog &log, double deadline);

}  // namespace tarvo::mip
