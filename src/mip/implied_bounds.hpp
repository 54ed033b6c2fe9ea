// Bounds of columns implied by fixing one binary in one row: with y = v the
// rest of the row forces x_k <= u' (or >= l'), which gives the cut
// x_k <= u' + (u - u') y for v = 0 and x_k <= u - (u - u') y for v = 1.
#pragma once

#include <cstddef>
#include <vector>

#include "mip/mip_problem.hpp"

namespace tarvo::mip {

struct ImpliedBound {
  int binary;      // y
  int fixed_to;    // 0 or 1
  int col;         // x_k
  bool upper;      // an upper bound on x_k (else a lower bound)
  double bound;    // u' or l'
};

// Implied bounds of all rows up to a length limit; tighter than the global
// bound by a margin, at most `limit` of them.
std::vector<ImpliedBound> find_implied_bounds(const MipProblem &prob, std::size_t limit);

}  // namespace tarvo::mip
