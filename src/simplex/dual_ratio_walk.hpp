// The bound-flipping ratio test of the dual simplex: the walk over the
// breakpoints of the dual objective along the leaving row.
#pragma once

#include <utility>
#include <vector>

namespace tarvo::simplex {

// One breakpoint: the reduced cost of column j reaches zero at step `exact`;
// `ratio` is the relaxed (Harris) step, `exact` when no relaxation is used.
struct Candidate {
  int j;
  double ratio;
  double exact;
  double absval;  // |alpha_rj|
};

// Reused buffers of the walk (no allocation per iteration).
struct WalkScratch {
  std::vector<std::pair<double, int>> by_exact, by_ratio;
  std::vector<double> suffix_min;
  std::vector<char> taken;
};

// Walks the breakpoints in order of their exact step: while the slope (the
// leaving row's infeasibility) stays above `ptol` after passing a group of
// boxed candidates — those reachable within the smallest relaxed step left —
// the group flips to its other bound (appended to `flips`); otherwise the
// largest pivot of the group enters and is returned. Columns count as boxed
// when both bounds are finite; with `lower` null none does (no flips).
// Returns -1 when no candidate stops the step. `cands` is reordered.
int bound_flipping_walk(std::vector<Candidate> &cands, double slope, const double *lower, const double *upper,
                        double ptol, std::vector<int> &flips, WalkScratch &ws);

}  // namespace tarvo::simplex
