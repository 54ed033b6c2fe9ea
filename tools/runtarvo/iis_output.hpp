// --iis: after a solve that found the model infeasible, the analysis of
// TVfindIIS and the set written with TVwriteIIS.
#pragma once

#include "options.hpp"
#include "outcome.hpp"
#include "tarvo.h"

namespace runtarvo {

// Runs when opts.iis_file is set; 0 or the exit status it recorded.
int find_and_write_iis(pTVenv env, pTVmodel model, const Options &opts, Outcome *out);

}  // namespace runtarvo
