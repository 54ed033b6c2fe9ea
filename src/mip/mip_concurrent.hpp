// Concurrent runs of the integer solver on model copies.
#pragma once

#include "model/model.hpp"

namespace tarvo::mip {

// Threads of an integer solve: the MIP thread count, or the general one
// when that is larger than 1 and multithreading is allowed.
int mip_thread_count(const base::Model &model);
int mip_thread_count(const base::ParamValues &params);
// The body of TVsolveMIPCC.
int solve_mip_concurrent(base::Model *model, int *status);

}  // namespace tarvo::mip
