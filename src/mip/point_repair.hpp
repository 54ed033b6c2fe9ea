// Cleaning of candidate points before they become the incumbent: integer
// columns are rounded, every column is clipped into its bounds, and the rows
// are checked again. When clipping breaks a row, the continuous columns are
// re-solved by an LP with the integer columns fixed, so that the reported
// solution satisfies its bounds exactly and its rows within the tolerance.
#pragma once

#include <vector>

#include "mip/mip_problem.hpp"

namespace tarvo::mip {

// Largest violation of the rows by x relative to 1 + max(|bound|, largest term).
double relative_row_violation(const MipProblem &p, const std::vector<double> &x);

// Rounds the integer columns of x and clips all columns into their bounds.
void round_and_clip(const MipProblem &p, std::vector<double> &x);

// Solves the LP over the continuous columns with the integer columns fixed
// at their (already rounded) values in x, starting nowhere in particular;
// on success x holds the clipped LP point. Bounded by an iteration limit.
bool recomplete_continuous(const MipProblem &p, std::vector<double> &x);

// The whole cleaning: x must already be accepted by the caller's tolerance
// check (point_feasible); false when no clean point could be made.
bool clean_point(const MipProblem &p, std::vector<double> &x, double feas_tol);

}  // namespace tarvo::mip
