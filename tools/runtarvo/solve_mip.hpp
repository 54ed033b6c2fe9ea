// runtarvo's integer path: limits and gap from the command line, the MIP log
// on screen, a summary with bound, gap and nodes, and the --json line.
#pragma once

#include "options.hpp"
#include "outcome.hpp"
#include "tarvo.h"

namespace runtarvo {

// True when the model has integer, binary or semicontinuous columns or sets.
bool has_integers(pTVmodel model);
int solve_mip_and_report(pTVenv env, pTVmodel model, const Options &opts, Outcome *out);

}  // namespace runtarvo
