// Choice of the branching column at a node: pseudo-cost scores, with trial
// solves of both children (strong branching) for columns whose pseudo-costs
// are not yet reliable. Deeper than the strong-branching depth, rounding
// penalties stand under those columns' estimates and only a few of the
// leading ones get short trial solves.
#pragma once

#include <vector>

#include "mip/mip_problem.hpp"
#include "mip/mip_settings.hpp"
#include "mip/node_pool.hpp"
#include "mip/pseudo_costs.hpp"
#include "simplex/lp_solver.hpp"

namespace tarvo::mip {

struct BranchInput {
  const MipProblem &prob;
  simplex::LpSolver &lp;       // solved at the node; its basis and bounds come back unchanged
  const MipSettings &set;
  PseudoCosts &pc;
  const std::vector<int> *priority = nullptr;  // user priorities (larger first), null when none
  int depth = 0;
  double node_obj = 0;         // the node's relaxation value
  double cutoff = 1e30;        // children at or above it are pruned
  double sb_iter_limit = 100;  // iterations of one trial solve
  int deep_trials = 0;         // candidates tried below the strong-branching depth
  double deep_iter_limit = 0;  // iterations of one trial solve there
  double deadline = 1e30;      // wall-clock seconds
  int reliable = 4;            // trial solves until a column's pseudo-costs are trusted
  const std::vector<int> *branched = nullptr;  // branchings so far per column (rule 5)
};

struct BranchDecision {
  int col = -1;
  double value = 0;              // the fractional value branched on
  double down_bound = -1e30, up_bound = -1e30;  // lower bounds of the children
  double down_gain = 0, up_gain = 0;            // estimated objective gains
  bool infeasible = false;       // both children of some candidate are empty
  std::vector<BoundChange> fixes;  // bounds the trial solves proved; the node is re-solved with them
  bool strong = false;           // decided by trial solves
  int trial_solves = 0;
  double trial_iterations = 0;
};

// Dual-simplex penalties of rounding basic column j (value x_j, fractional
// part f) down and up: the objective cost of the first pivot, from its
// tableau row, the nonbasic reduced costs and the row duals. False when j is
// not basic.
bool rounding_penalties(simplex::LpSolver &lp, int j, double f, double *down, double *up);

// The integer columns of the node point x that are fractional beyond the tolerance.
std::vector<int> fractional_columns(const MipProblem &p, const std::vector<double> &x, double int_tol);

BranchDecision choose_branch(BranchInput &in, const std::vector<double> &x, const std::vector<int> &candidates);

}  // namespace tarvo::mip
