// Model aggregation for integer solves (bit 256 of TV_IPARAM_SOLVER_MODE):
// equality rows that tie columns together are used to substitute columns out
// (free and implied-free column singletons, doubleton equations), the
// aggregated model is solved as a model of its own, and its solution is
// mapped back onto the user's model.
#pragma once

#include "model/model.hpp"

namespace tarvo::mip {

constexpr int kSolverModeAggregate = 256;

// True when the bit is set and the model is linear without special structure.
bool aggregation_wanted(const base::Model &model);

// Solves the aggregated copy. *handled is false when the aggregation failed
// or did not change the model (the warning is logged); the caller then solves
// the user's model itself.
int solve_aggregated(base::Model *model, int *status, bool *handled);

}  // namespace tarvo::mip
