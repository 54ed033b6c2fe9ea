// The door for the fast enumeration and knapsack solver of pure binary
// models, which the tree tries before the root relaxation unless
// TV_IPARAM_MIP_SOLVERTYPE is 1. The solver's module installs itself with
// set_enumeration_solver (a static registration object is enough); until
// then the tree goes straight to branch and bound.
#pragma once

#include "mip/mip_context.hpp"

namespace tarvo::mip {

// Runs on ctx (solutions go through ctx.sink) for at most `time_limit`
// seconds; *mip_status becomes 1 when the sink's incumbent is proven optimal,
// 3 when the problem is proven infeasible, 0 otherwise. Returns 0 or an error
// code (2017, 2023, 2001).
using EnumerationSolver = int (*)(MipContext &ctx, double time_limit, int *mip_status);

void set_enumeration_solver(EnumerationSolver solver);
EnumerationSolver enumeration_solver();

}  // namespace tarvo::mip
