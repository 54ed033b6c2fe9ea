// Parallel sparse vectors (rows or columns): equal patterns whose values
// differ by one factor. Shared by the duplicate-row reduction and the
// duplicate-column report.
#pragma once

#include <vector>

#include "presolve/undo_stack.hpp"

namespace tarvo::presolve {

struct ParallelGroup {
  std::vector<int> members;     // first member is the reference
  std::vector<double> factors;  // members[k] = factors[k] * members[0]
};

// Groups of at least two parallel vectors among those with alive[k] != 0.
// Entries of each vector may come in any order.
std::vector<ParallelGroup> find_parallel(const std::vector<std::vector<Entry>> &lines, const std::vector<char> &alive);

}  // namespace tarvo::presolve
