// The fix-and-propagate heuristic: the integer columns are fixed toward the
// LP point in a few orders with propagation and backtracking; a complete
// fixing is handed over directly (pure integer) or completed by an LP over
// the continuous columns.
#include <algorithm>
#include <cmath>

#include "common/clock.hpp"
#include "mip/context_log.hpp"
#include "mip/fix_propagate.hpp"
#include "mip/heuristics.hpp"
#include "tarvo.h"

namespace tarvo::mip {

namespace {

// Propagation reads at most this many full fixing passes in one run.
constexpr double kPassesPerRun = 12;
constexpr int kMinBacktracks = 50;
constexpr int kRestarts = 10;

struct RunPlan {
  FixOrder order;
  double noise;
};
constexpr RunPlan kPlans[] = {{FixOrder::kRaisedFirst, 0.0},  {FixOrder::kDecidedFirst, 0.0},
                              {FixOrder::kLocksFirst, 0.0},   {FixOrder::kRaisedFirst, 0.3},
                              {FixOrder::kDecidedFirst, 0.3}, {FixOrder::kRaisedFirst, 0.6}};

}  // namespace

bool fix_propagate_heuristic(MipContext &ctx, const std::vector<double> &x, int runs) {
  const MipProblem &p = ctx.prob;
  const double tol = ctx.params.dbl(TV_DPARAM_MIP_INTTOL);
  const std::vector<double> lo(ctx.lp.col_lowers().begin(), ctx.lp.col_lowers().begin() + p.n);
  const std::vector<double> up(ctx.lp.col_uppers().begin(), ctx.lp.col_uppers().begin() + p.n);
  const bool continuous = std::find(p.is_int.begin(), p.is_int.end(), 0) != p.is_int.end();
  int ints = 0;
  for (int j = 0; j < p.n; ++j) ints += p.is_int[j] && lo[j] < up[j];
  if (ints == 0) return false;
  FixPropagateOptions opt;
  opt.work_limit = fixing_work_limit(p, kPassesPerRun);
  opt.deadline = ctx.deadline;
  opt.max_backtracks = std::max(kMinBacktracks, ints / 20);
  opt.restarts = kRestarts;
  const int plans = static_cast<int>(sizeof kPlans / sizeof kPlans[0]);
  for (int run = 0; run < std::min(runs, plans); ++run) {
    if (seconds_left(ctx.deadline) <= 0) break;
    opt.order = kPlans[run].order;
    opt.noise = kPlans[run].noise;
    opt.seed = ctx.seed + 17u * static_cast<unsigned>(run);
    const FixPropagateResult r = fix_and_propagate(p, lo, up, x, tol, opt);
    context_log(ctx, 5, "\nMIP Fix and Propagate %d: Free Count=%d   Fixed Count=%d   ...\n\n", run + 1,
                r.free_left, r.fixed);
    if (!r.complete) continue;
    if (!continuous) {
      if (ctx.sink.submit(r.rounding, kTagHeuristic)) return true;
      continue;
    }
    LpSnapshot snap(ctx.lp);
    if (complete_by_lp(ctx, r.rounding, kTagHeuristic)) return true;
  }
  return false;
}

}  // namespace tarvo::mip
