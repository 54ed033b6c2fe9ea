// Pieces the primal heuristics share: putting the node LP back as it was,
// row locks of the columns, completing an integer assignment by an LP over
// the continuous columns, and the solution tags of the log.
#pragma once

#include <vector>

#include "mip/mip_context.hpp"

namespace tarvo::mip {

// Code tags of heuristic incumbents in the log.
inline constexpr const char *kTagHeuristic = "(*H) ";
inline constexpr const char *kTagPump = "(*FP)";
inline constexpr const char *kTagKnapsack = "(*K)";      // enumeration and knapsack solver
inline constexpr const char *kTagAdvanced = "(*AH)";     // RENS, local branching
inline constexpr const char *kTagImprove = "(*AHI)";     // RINS, polishing: improvement of an incumbent
inline constexpr const char *kTagSubSearch = "(*SBB)";   // completion of a start point by a sub-search

// Saves bounds, costs, cutoff and basis of the node LP; restore() puts them
// back so that the tree finds its node LP optimal as before: from the LP's
// restore point when it still fits (no factorisation, no re-solve), else by
// installing the basis and re-solving.
class LpSnapshot {
 public:
  explicit LpSnapshot(simplex::LpSolver &lp);
  void restore();
  ~LpSnapshot();
  LpSnapshot(const LpSnapshot &) = delete;
  LpSnapshot &operator=(const LpSnapshot &) = delete;

 private:
  simplex::LpSolver &lp_;
  std::vector<double> lo_, up_, cost_;
  simplex::LpBasis basis_;
  simplex::LpRestorePoint point_;
  bool saved_ = false;
  simplex::LpStatus status_;
  bool cutoff_on_;
  double cutoff_;
  bool done_ = false;
};

// Number of rows that moving column j down (resp. up) may violate.
struct Locks {
  std::vector<int> down, up;
  explicit Locks(const MipProblem &p);
};

bool is_fractional(double v, double tol);
// Seconds left before `deadline` (for LpLimits), never negative.
double seconds_left(double deadline);
// Fixes the integer columns of the LP at the values of x (integral), solves
// over the continuous columns and submits the result; the caller restores the
// LP. True when a solution was accepted.
bool complete_by_lp(MipContext &ctx, const std::vector<double> &x, const char *tag);
// Submits x when it is integral; with continuous columns that is enough only
// when the rows hold, which the sink checks.
bool submit_if_integral(MipContext &ctx, const std::vector<double> &x, double tol, const char *tag);

// The problem with the node LP's cut rows appended (rows beyond prob.m).
MipProblem with_cut_rows(const MipContext &ctx);

}  // namespace tarvo::mip
