// The individual primal heuristics that root_heuristics and node_heuristics
// schedule. Each leaves the node LP as it found it and reports solutions only
// through the context's sink; a heuristic that finds nothing changes nothing.
#pragma once

#include <vector>

#include "mip/heur_common.hpp"
#include "mip/sub_mip.hpp"

namespace tarvo::mip {

bool simple_rounding(MipContext &ctx, const std::vector<double> &x, const Locks &locks, double tol);
bool activity_rounding(MipContext &ctx, const std::vector<double> &x, double tol);

enum class DiveRule { kFractional, kCoefficient, kGuided, kVectorLength, kPseudoCost };
struct DiveLimits {
  double max_lp_iterations = 1e4;
  double deadline = 1e30;
  int max_depth = 1000;
};
// Fixes one fractional column per level by the rule, propagates the fix over
// the rows and re-solves; the other side is tried when propagation or the LP
// finds the first infeasible.
bool dive(MipContext &ctx, DiveRule rule, const Locks &locks, const DiveLimits &lim);

// Fix-and-propagate from the point x in up to `runs` column orders, with
// backtracking; complete fixings are completed over the continuous columns.
bool fix_propagate_heuristic(MipContext &ctx, const std::vector<double> &x, int runs);

struct PumpSettings {
  int max_rounds = 500;
  double deadline = 1e30;
  double weight = 1.0;      // share of the objective in the distance objective
  bool random_rounding = false;  // the second variant rounds with random thresholds
  int flip_base = 10;            // columns flipped to leave a short cycle
  int method = 1;                // TV_METHOD_PSIMPLEX or TV_METHOD_DSIMPLEX for the distance LPs
  bool project = false;          // complete each new rounding over the continuous columns
  bool propagate = true;         // round column by column with propagation over the rows
  unsigned seed = 0;
};
// Settings of TV_IPARAM_MIP_FP_HEU_MODE: 1, 3 and 5 round with random
// thresholds, 2 and 3 ignore the objective, 4 and 5 flip twice as many columns.
void apply_pump_variant(int variant, PumpSettings &s);
bool feasibility_pump(MipContext &ctx, const PumpSettings &s);
// Runs the pumps at once, the first on ctx.lp, each other one on a copy of it
// in a thread of its own, then offers their solutions to ctx.sink in pump
// order. Returns per pump the number of solutions the sink took.
std::vector<int> parallel_pumps(MipContext &ctx, const std::vector<PumpSettings> &pumps);

// Zero-infeasibility rounding: each fractional integer column moves toward the
// nearer integer as far as the rows' slacks allow, keeping the LP point's
// row feasibility; succeeds when every column becomes integral.
bool zi_rounding(MipContext &ctx, const std::vector<double> &x, double tol);

// The schedule of the heuristics within one solve: work spent in sub-MIPs,
// when RINS, local branching and polishing run next.
struct HeuristicState {
  double start = 0;              // wall clock of the first root call
  double sub_seconds = 0;        // spent in sub-MIPs so far
  double sub_iterations = 0;     // simplex iterations of the sub-MIPs so far
  double root_iterations = 0;    // simplex iterations of the root LP and its cut loop
  double next_rins = 0;          // branch count of the next RINS try
  double next_polish = 0;        // branch count of the next polishing run
  double last_improved_obj = 1e30;  // incumbent the last neighbourhood search started from
  int rins_failures = 0;
  double rins_free_share = 0;    // integer columns a tree RINS frees at least (grows while its regions run dry)
  unsigned rng = 1;
  bool pure_binary = false;      // the enumeration solver takes the model
};

// Limits of one sub-MIP run: branch and iteration budgets, and a deadline
// that only TV_IPARAM_MIP_HEU_MODE 1 draws short of the solve's own.
struct SubMipBudget {
  double branches = 500;
  double iterations = -1;  // simplex iterations of its tree (<0 none)
  double deadline = 1e30;
  bool use_cuts = false;
  int solutions = -1;  // stop after this many improving solutions (<0 none)
};

// Large-neighbourhood searches, each a sub-MIP around a point. `lp_x` is an
// LP solution (root or node); the incumbent is the sink's. True when the
// sink took a solution.
// RENS fixes the integral columns of lp_x and keeps the fractional ones
// between their roundings; with reduced costs only the integral columns the
// LP prices out are fixed (a degenerate LP's other zeros are arbitrary), and
// the least priced out are freed too until `free_share` of the integer
// columns is free; a share the LP's free columns meet already is the region
// of share 0 and nothing runs. `exhausted` tells that the region holds no
// solution (left as it was when nothing ran).
bool rens(MipContext &ctx, const std::vector<double> &lp_x, const SubMipBudget &b,
          const std::vector<double> *reduced_costs = nullptr, double free_share = 0, bool *exhausted = nullptr);
// RINS fixes the integer columns on which lp_x and the incumbent agree;
// `exhausted` tells that its region holds no better solution. With the LP's
// reduced costs, the least priced out of those columns are freed again
// until `free_share` of the integer columns is free.
bool rins(MipContext &ctx, const std::vector<double> &lp_x, const SubMipBudget &b, bool *exhausted = nullptr,
          const std::vector<double> *reduced_costs = nullptr, double free_share = 0);
// Searches the solutions within Hamming distance k of the incumbent over the binaries.
bool local_branching(MipContext &ctx, int k, const SubMipBudget &b);
// Crossover and mutation over the solution store: the integer columns the
// parents agree on are fixed (topped up or thinned at random to the target
// share `alpha`), the rest searched.
bool polish(MipContext &ctx, double alpha, unsigned &rng, const SubMipBudget &b);
// Runs a sub-MIP and submits its solution to ctx.sink with `tag`; the time
// spent is added to the schedule; `exhausted` (optional) tells that the
// sub-MIP was searched through without a solution.
bool run_sub_mip(MipContext &ctx, SubMipSpec &spec, const SubMipBudget &b, const char *tag,
                 bool *exhausted = nullptr);

}  // namespace tarvo::mip
