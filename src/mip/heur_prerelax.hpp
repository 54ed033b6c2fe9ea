// The pre-relaxation heuristic (TV_IPARAM_MIP_PREHEU_LEVEL): probing and a
// one-/two-change local search for pure binary models, before the tree.
#pragma once

#include "params/param_values.hpp"
#include "mip/mip_context.hpp"
#include "mip/mip_log.hpp"

namespace tarvo::mip {

// Returns 0, or the code of a refusal (2029 a model it cannot take, 2024 a
// level outside 1..3); solutions go to the sink.
int pre_relax_heuristic(const MipProblem &p, const base::ParamValues &params, SolutionSink &sink, MipLog &log,
                        double deadline);

}  // namespace tarvo::mip
