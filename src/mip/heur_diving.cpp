// The diving family: fractional, coefficient (fewest locks), guided (toward
// the incumbent), pseudo-cost and vector-length diving share one dive; only
// the choice of column and direction differs. Every fix is propagated over
// the rows before the LP is re-solved.
#include <cmath>

#include "mip/bound_propagation.hpp"
#include "mip/fix_propagate.hpp"
#include "mip/heuristics.hpp"
#include "mip/pseudo_costs.hpp"
#include "tarvo.h"

namespace tarvo::mip {

namespace {

// Propagation may read this many full fixing passes in one dive.
constexpr double kPropagationPasses = 2;

struct Choice {
  int col = -1;
  bool up = false;
};

Choice choose(const MipContext &ctx, DiveRule rule, const Locks &locks, const std::vector<double> &x, double tol) {
  const MipProblem &p = ctx.prob;
  Choice best;
  double best_score = 1e300;
  const std::vector<double> *inc = ctx.sink.has_incumbent() ? &ctx.sink.incumbent() : nullptr;
  for (int j = 0; j < p.n; ++j) {
    if (!p.is_int[j] || !is_fractional(x[j], tol)) continue;
    const double down_dist = x[j] - std::floor(x[j]);
    const double up_dist = 1 - down_dist;
    bool up = up_dist < down_dist;
    double score = std::min(up_dist, down_dist);
    switch (rule) {
      case DiveRule::kFractional:
        break;
      case DiveRule::kCoefficient: {
        const int dl = locks.down[j], ul = locks.up[j];
        up = ul < dl || (ul == dl && up);
        score = std::min(dl, ul) + (up ? up_dist : down_dist);
        break;
      }
      case DiveRule::kGuided:
        if (!inc) return best;
        up = (*inc)[j] > x[j];
        score = std::fabs((*inc)[j] - x[j]);
        break;
      case DiveRule::kPseudoCost: {
        if (!ctx.pseudo) return best;
        // the cheaper direction by the pseudo-costs; columns where the other direction is much dearer first
        const double down_cost = ctx.pseudo->unit(j, false) * down_dist + 1e-6;
        const double up_cost = ctx.pseudo->unit(j, true) * up_dist + 1e-6;
        up = up_cost < down_cost || (up_cost == down_cost && up);
        score = (up ? up_cost / down_cost : down_cost / up_cost) * (up ? up_dist : down_dist);
        break;
      }
      case DiveRule::kVectorLength: {
        // round where the objective gets worse, per row the column touches
        up = p.c[j] >= 0;
        const double obj = std::fabs(p.c[j]) * (up ? up_dist : down_dist);
        score = (obj + 1e-6) / (p.col_start[j + 1] - p.col_start[j] + 1.0);
        break;
      }
    }
    if (score < best_score) {
      best_score = score;
      best.col = j;
      best.up = up;
    }
  }
  return best;
}

}  // namespace

bool dive(MipContext &ctx, DiveRule rule, const Locks &locks, const DiveLimits &lim) {
  if (ctx.lp.status() != simplex::LpStatus::kOptimal) return false;
  if (rule == DiveRule::kGuided && !ctx.sink.has_incumbent()) return false;
  if (rule == DiveRule::kPseudoCost && !ctx.pseudo) return false;
  const MipProblem &p = ctx.prob;
  const double tol = ctx.params.dbl(TV_DPARAM_MIP_INTTOL);
  LpSnapshot snap(ctx.lp);
  // each fix is propagated over the rows and the implied bounds go to the LP
  // too: on set-partitioning rows one fix at 1 settles the whole row
  std::vector<double> lo0(ctx.lp.col_lowers().begin(), ctx.lp.col_lowers().begin() + p.n);
  std::vector<double> up0(ctx.lp.col_uppers().begin(), ctx.lp.col_uppers().begin() + p.n);
  BoundPropagator prop(p, std::move(lo0), std::move(up0), tol);
  prop.set_work_limit(fixing_work_limit(p, kPropagationPasses));
  auto push_bounds = [&](std::size_t mark) {
    for (int col : prop.changed_since(mark)) ctx.lp.set_col_bounds(col, prop.lower()[col], prop.upper()[col]);
  };
  auto pull_back = [&](std::size_t mark) {
    const std::vector<int> cols = prop.changed_since(mark);
    prop.undo(mark);
    for (int col : cols) ctx.lp.set_col_bounds(col, prop.lower()[col], prop.upper()[col]);
  };
  bool found = false;
  double used = 0;
  for (int depth = 0; depth < lim.max_depth; ++depth) {
    const std::vector<double> x = ctx.lp.x();
    if (submit_if_integral(ctx, x, tol, kTagHeuristic) || simple_rounding(ctx, x, locks, tol)) {
      found = true;
      break;
    }
    if (ctx.sink.has_incumbent() && ctx.lp.objective() >= ctx.sink.incumbent_objective() - 1e-9) break;
    if (used >= lim.max_lp_iterations || seconds_left(lim.deadline) <= 0) break;
    const Choice c = choose(ctx, rule, locks, x, tol);
    if (c.col < 0) break;
    const int j = c.col;
    simplex::LpLimits limits;
    limits.iter_limit = std::max(1.0, lim.max_lp_iterations - used);
    if (lim.deadline < 1e29) limits.time_limit = seconds_left(lim.deadline);
    bool ok = false;
    for (int attempt = 0; attempt < 2 && !ok; ++attempt) {
      const bool go_up = attempt == 0 ? c.up : !c.up;
      const std::size_t mark = prop.mark();
      const bool consistent = go_up ? prop.tighten(j, std::ceil(x[j]), 1e30) : prop.tighten(j, -1e30, std::floor(x[j]));
      if (!consistent) {
        pull_back(mark);  // the rows cannot take this side: no LP needed to see it
        continue;
      }
      push_bounds(mark);
      const auto st = ctx.lp.solve(TV_METHOD_DSIMPLEX, limits);
      used += ctx.lp.iterations();
      ok = st == simplex::LpStatus::kOptimal;
      if (st != simplex::LpStatus::kInfeasible && st != simplex::LpStatus::kCutoff) break;
      if (!ok) pull_back(mark);
    }
    if (!ok) break;
  }
  return found;
}

}  // namespace tarvo::mip
