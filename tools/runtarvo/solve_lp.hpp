// Solving a model that runtarvo has read, with the command-line limits, and
// printing the result (and the --json summary line).
#pragma once

#include "options.hpp"
#include "tarvo.h"

namespace runtarvo {

// Returns the process exit status: 0 when the solve ran (whatever the model status).
int solve_and_report(pTVenv env, pTVmodel model, const Options &opts);

}  // namespace runtarvo
