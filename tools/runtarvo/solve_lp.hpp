// Solving a model that runtarvo has read, with the command-line limits, and
// printing the result.
#pragma once

#include "options.hpp"
#include "outcome.hpp"
#include "tarvo.h"

namespace runtarvo {

// Fills *out and returns its exit status: 0 for a final model status (optimal,
// infeasible, unbounded), 3 when a limit stopped the solve, 4 on a solver error.
int solve_and_report(pTVenv env, pTVmodel model, const Options &opts, Outcome *out);

}  // namespace runtarvo
