// After the solve: the solution values on standard output, the ranges with
// --ranging, and the solution and basis files asked for; before it, a basis
// file to start from.
#pragma once

#include "options.hpp"
#include "outcome.hpp"
#include "tarvo.h"

namespace runtarvo {

// --read-basis: loads the binary basis file; 0 or the exit status.
int load_start_basis(pTVenv env, pTVmodel model, const Options &opts, Outcome *out);

// Column values (nonzero ones, all with --print-all) and, with --ranging, the
// cost and right-hand-side ranges.
void print_solution(pTVmodel model, const Options &opts);

// --write-solution and --write-basis; 0 or the exit status.
int write_results(pTVenv env, pTVmodel model, const Options &opts, Outcome *out);

}  // namespace runtarvo
