// Schedule of the primal heuristics at the root and at tree nodes, driven by
// the heuristic level, the pump mode and the time budget parameters.
#include <algorithm>
#include <cmath>

#include "common/clock.hpp"
#include "mip/context_log.hpp"
#include "mip/heuristics.hpp"
#include "tarvo.h"

namespace tarvo::mip {

namespace {

constexpr int kNodeDiveFrequency = 10;
constexpr int kPumpRoundCap = 10000;  // bound on rounds when the pump has no iteration limit

double int_tol(const MipContext &ctx) { return ctx.params.dbl(TV_DPARAM_MIP_INTTOL); }

// The advanced heuristics stop early once the incumbent is within the
// relative tolerance of the target objective.
bool target_reached(const MipContext &ctx) {
  const double target = ctx.params.dbl(TV_DPARAM_MIP_OBJ_THRESHOLD);
  if (!ctx.sink.has_incumbent() || target <= -1e30) return false;
  const double z = ctx.sink.incumbent_objective();
  return z - target <= ctx.params.dbl(TV_DPARAM_MIP_RELOPTTOL) * std::max(1.0, std::fabs(z));
}

void run_rounding(MipContext &ctx) {
  const std::vector<double> x = ctx.lp.x();
  const Locks locks(ctx.prob);
  if (!simple_rounding(ctx, x, locks, int_tol(ctx))) activity_rounding(ctx, x, int_tol(ctx));
}

// Dive budget: LP iterations grow with the level and the LP size; the time
// share is a tenth of what is left, at least the minimum heuristic time.
DiveLimits dive_limits(const MipContext &ctx, int level, bool root) {
  DiveLimits lim;
  const int mode = ctx.params.integer(TV_IPARAM_MIP_HEU_MODE);
  const double size = 2.0 * (ctx.prob.m + ctx.prob.n);
  lim.max_lp_iterations = mode == 1 ? 1e30 : std::max(500.0, (root ? 1.0 : 0.2) * level * size);
  lim.max_depth = ctx.prob.n + 1;
  lim.deadline = ctx.deadline;
  if (mode != 2 && ctx.deadline < 1e29) {
    const double now = common::wall_seconds();
    const double share = std::max(ctx.params.dbl(TV_DPARAM_MIP_HEUMINTIMLIM), 0.1 * (ctx.deadline - now));
    lim.deadline = std::min(ctx.deadline, now + share);
  }
  return lim;
}

void run_pumps(MipContext &ctx) {
  const int mode = ctx.params.integer(TV_IPARAM_MIP_FP_MODE);
  if (mode == 0) return;
  if (mode != 3 && ctx.sink.has_incumbent()) return;
  const double now = common::wall_seconds();
  double limit = ctx.params.dbl(TV_DPARAM_MIP_FP_TIMLIM);
  if (limit < 0) limit = 1e30;
  if (ctx.deadline < 1e29) limit = std::min(limit, 0.25 * std::max(0.0, ctx.deadline - now));
  const int rounds = ctx.params.integer(TV_IPARAM_MIP_FP_ITRLIM);
  PumpSettings s;
  s.max_rounds = rounds < 0 ? kPumpRoundCap : rounds;
  s.weight = ctx.params.dbl(TV_DPARAM_MIP_FP_WEIGHT);
  s.seed = ctx.seed;
  // the distance LPs change costs only, so the primal simplex serves unless the dual is asked for
  s.method = ctx.params.integer(TV_IPARAM_MIP_FP_OPT_METHOD) == 2 ? TV_METHOD_DSIMPLEX : TV_METHOD_PSIMPLEX;
  s.project = ctx.params.integer(TV_IPARAM_MIP_FP_PROJECTION) == 1;
  apply_pump_variant(ctx.params.integer(TV_IPARAM_MIP_FP_HEU_MODE), s);
  s.deadline = std::min(ctx.deadline, now + limit);
  const double gbnd = ctx.lp.objective();
  context_log(ctx, 2, "\nStarted FP (time_limit:%.2f)..", limit);
  feasibility_pump(ctx, s);
  context_log(ctx, 2, "\nTerminated FP (best_obj:%g, best_bound:%g)..", ctx.sink.incumbent_objective(), gbnd);
  if (mode != 3 && ctx.sink.has_incumbent()) return;
  const double now2 = common::wall_seconds();
  double limit2 = limit;
  if (ctx.deadline < 1e29) limit2 = std::min(limit2, 0.25 * std::max(0.0, ctx.deadline - now2));
  context_log(ctx, 2, "\nStarted FP2 (time_limit:%.2f)..", limit2);
  s.random_rounding = true;
  s.seed = ctx.seed + 1;
  s.deadline = std::min(ctx.deadline, now2 + limit2);
  feasibility_pump(ctx, s);
  context_log(ctx, 2, "\nTerminated FP2 (best_obj:%g, best_bound:%g)..", ctx.sink.incumbent_objective(), gbnd);
}

}  // namespace

void root_heuristics(MipContext &ctx) {
  const int level = ctx.params.integer(TV_IPARAM_MIP_HEULEVEL);
  if (level <= 0 || ctx.lp.status() != simplex::LpStatus::kOptimal) return;
  context_log(ctx, 4, "\nRunning rounding heuristics...");
  run_rounding(ctx);
  context_log(ctx, 4, " Done.");
  if (level < 2 || target_reached(ctx)) return;
  context_log(ctx, 4, "\nStart rounding heu (best_obj:%g, gbnd:%g)", ctx.sink.incumbent_objective(),
              ctx.lp.objective());
  {
    // nearest rounding completed over the continuous columns
    LpSnapshot snap(ctx.lp);
    complete_by_lp(ctx, ctx.lp.x(), kTagHeuristic);
  }
  run_pumps(ctx);
  const Locks locks(ctx.prob);
  for (DiveRule rule : {DiveRule::kCoefficient, DiveRule::kFractional, DiveRule::kVectorLength, DiveRule::kGuided}) {
    if (target_reached(ctx) || seconds_left(ctx.deadline) <= 0) break;
    dive(ctx, rule, locks, dive_limits(ctx, level, true));
  }
}

void node_heuristics(MipContext &ctx) {
  const int level = ctx.params.integer(TV_IPARAM_MIP_HEULEVEL);
  if (level <= 0 || ctx.lp.status() != simplex::LpStatus::kOptimal) return;
  run_rounding(ctx);
  if (level < 2 || target_reached(ctx)) return;
  const long long node = static_cast<long long>(ctx.nodes);
  if (node % kNodeDiveFrequency != 0) return;
  static constexpr DiveRule kRotation[] = {DiveRule::kGuided, DiveRule::kCoefficient, DiveRule::kVectorLength,
                                           DiveRule::kFractional};
  DiveRule rule = kRotation[(node / kNodeDiveFrequency) % 4];
  if (rule == DiveRule::kGuided && !ctx.sink.has_incumbent()) rule = DiveRule::kCoefficient;
  const Locks locks(ctx.prob);
  dive(ctx, rule, locks, dive_limits(ctx, level, false));
}

}  // namespace tarvo::mip
