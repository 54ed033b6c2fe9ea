// The individual primal heuristics that root_heuristics and node_heuristics
// schedule. Each leaves the node LP as it found it and reports solutions only
// through the context's sink; a heuristic that finds nothing changes nothing.
#pragma once

#include <vector>

#include "mip/heur_common.hpp"

namespace tarvo::mip {

bool simple_rounding(MipContext &ctx, const std::vector<double> &x, const Locks &locks, double tol);
bool activity_rounding(MipContext &ctx, const std::vector<double> &x, double tol);

enum class DiveRule { kFractional, kCoefficient, kGuided, kVectorLength };
struct DiveLimits {
  double max_lp_iterations = 1e4;
  double deadline = 1e30;
  int max_depth = 1000;
};
// Fixes one fractional column per level by the rule and re-solves, with one
// step of backtracking when a level turns infeasible.
bool dive(MipContext &ctx, DiveRule rule, const Locks &locks, const DiveLimits &lim);

struct PumpSettings {
  int max_rounds = 500;
  double deadline = 1e30;
  double weight = 1.0;      // share of the objective in the distance objective
  bool random_rounding = false;  // the second variant rounds with random thresholds
  int flip_base = 10;            // columns flipped to leave a short cycle
  int method = 1;                // TV_METHOD_PSIMPLEX or TV_METHOD_DSIMPLEX for the distance LPs
  bool project = false;          // complete each new rounding over the continuous columns
  unsigned seed = 0;
};
// Settings of TV_IPARAM_MIP_FP_HEU_MODE: 1, 3 and 5 round with random
// thresholds, 2 and 3 ignore the objective, 4 and 5 flip twice as many columns.
void apply_pump_variant(int variant, PumpSettings &s);
bool feasibility_pump(MipContext &ctx, const PumpSettings &s);

}  // namespace tarvo::mip
