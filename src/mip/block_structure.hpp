// Row block structure of a problem: after setting aside a few linking rows,
// the columns fall apart into blocks that share no row. Columns in no row
// but linking ones form one block of their own.
#pragma once

#include <vector>

#include "mip/mip_problem.hpp"

namespace tarvo::mip {

struct BlockStructure {
  std::vector<int> linking_rows;
  std::vector<std::vector<int>> cols;  // columns of each block, ascending
  std::vector<std::vector<int>> rows;  // rows of each block, ascending
  int blocks() const { return static_cast<int>(cols.size()); }
};

// Tries the longest rows as linking rows, longest first (none at all first),
// and keeps the first choice that leaves at least two blocks of which none
// holds more than `max_block_share` of the columns, with at most
// `max_linking_share` of the rows (or two rows) linking. No blocks when none qualifies.
BlockStructure find_blocks(const MipProblem &p, double max_block_share = 0.75, double max_linking_share = 0.2);

// The problem of one block: its columns and rows, costs `cost` (full-length),
// plus the given extra rows (full-space rows restricted to the block's
// columns, bounds in `lo`/`up`).
MipProblem block_problem(const MipProblem &p, const BlockStructure &b, int block, const std::vector<double> &cost,
                         const std::vector<int> &extra_rows, const std::vector<double> &lo,
                         const std::vector<double> &up);

}  // namespace tarvo::mip
