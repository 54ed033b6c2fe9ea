// The block-structure try at the root: blocks found by find_blocks are solved
// as sub-MIPs of their own. Without linking rows their optima together are
// the optimum. With linking rows the LP duals of those rows price them into
// the blocks' costs (a Lagrangian relaxation, whose value bounds the
// optimum), and a solution is built by solving the blocks in turn against
// the linking capacity the blocks before them left.
#pragma once

#include "mip/mip_context.hpp"

namespace tarvo::mip {

struct BlockTryResult {
  bool structure = false;  // blocks were found
  double bound = -1e30;    // a valid lower bound of the problem, -1e30 for none
  bool found = false;      // the sink took a solution
  double objective = 1e30;  // of the solution built (taken or not)
};

// Reads the node LP (solved to optimality, duals of prob's rows first) and
// leaves it unchanged; solutions go to ctx.sink. Stops by ctx.deadline and
// the block parameters' limits.
BlockTryResult try_block_solver(MipContext &ctx);

}  // namespace tarvo::mip
