// Neighbourhood searches by sub-MIPs: RENS around the LP point, RINS where
// the LP point and the incumbent agree, local branching around the
// incumbent, and polishing by crossover and mutation over the solution store.
#include <algorithm>
#include <cmath>
#include <random>

#include "common/clock.hpp"
#include "mip/context_log.hpp"
#include "mip/heuristics.hpp"
#include "tarvo.h"

namespace tarvo::mip {

namespace {

// Below this share of fixed integer columns a sub-MIP is hardly smaller than the problem.
constexpr double kMinFixedShare = 0.3;
// Reduced cost (relative to the cost) above which an integral column counts as priced out.
constexpr double kPricedOut = 1e-6;

SubMipSpec spec_of(const MipProblem &p) {
  SubMipSpec s;
  s.lo = p.col_lo;
  s.up = p.col_up;
  return s;
}

// Cutoff for an improving solution: a little below the incumbent.
double improving_cutoff(const MipContext &ctx) {
  if (!ctx.sink.has_incumbent()) return 1e30;
  const double z = ctx.sink.incumbent_objective();
  return z - 1e-6 * std::max(1.0, std::fabs(z));
}

int integer_count(const MipProblem &p) {
  return static_cast<int>(std::count(p.is_int.begin(), p.is_int.end(), 1));
}

// Frees the least priced-out of the fixed columns in `fixed` (|reduced cost|,
// column) until `target` integer columns are free: they can move at the
// smallest loss of objective.
void free_cheapest(const MipProblem &p, SubMipSpec &s, std::vector<std::pair<double, int>> &fixed, int free_count,
                   double target) {
  std::sort(fixed.begin(), fixed.end());
  for (size_t t = 0; t < fixed.size() && free_count < target; ++t, ++free_count) {
    const int j = fixed[t].second;
    s.lo[j] = p.col_lo[j];
    s.up[j] = p.col_up[j];
  }
}

}  // namespace

bool run_sub_mip(MipContext &ctx, SubMipSpec &spec, const SubMipBudget &b, const char *tag, bool *exhausted) {
  const double t0 = common::wall_seconds();
  spec.branch_limit = b.branches;
  spec.iter_limit = b.iterations;
  spec.deadline = std::min(b.deadline, ctx.deadline);
  spec.use_cuts = b.use_cuts;
  if (b.solutions > 0) spec.solution_limit = b.solutions;
  if (spec.cutoff >= 1e30) spec.cutoff = improving_cutoff(ctx);
  const SubMipResult r = solve_sub_mip(ctx.prob, ctx.params, spec);
  if (r.cut_capacity > 0) {
    // the sub-MIP's root loop: its cuts hold for the region it searched
    context_log(ctx, 4, "\nInitializing cut generation 'bnb_top_cuts_heu' (maxcut:%d)", r.cut_capacity);
    context_log(ctx, 4, "\nStart add_cuts_top (maxcut:%d)", r.cut_capacity);
    context_log(ctx, 4, "\nTerminated add_cuts_top (numcuts:%d)", r.cuts);
  }
  if (ctx.heur) {
    ctx.heur->sub_seconds += common::wall_seconds() - t0;
    ctx.heur->sub_iterations += r.iterations;
  }
  context_log(ctx, 4, "\nSub-MIP %s: %d columns kept, %.0f branches, %.0f iterations, %.2f s, %s", tag,
              r.kept_columns, r.branches, r.iterations, common::wall_seconds() - t0,
              r.found ? "found" : r.exhausted ? "exhausted" : "stopped");
  if (exhausted) *exhausted = r.exhausted && !r.found;
  return r.found && ctx.sink.submit(r.x, tag);
}

bool rens(MipContext &ctx, const std::vector<double> &lp_x, const SubMipBudget &b,
          const std::vector<double> *reduced_costs, double free_share, bool *exhausted) {
  const MipProblem &p = ctx.prob;
  const double tol = ctx.params.dbl(TV_DPARAM_MIP_INTTOL);
  SubMipSpec s = spec_of(p);
  std::vector<std::pair<double, int>> integral;  // (|reduced cost|, column) of the integral columns
  int ints = 0, free_count = 0;
  for (int j = 0; j < p.n; ++j) {
    if (!p.is_int[j]) continue;
    ++ints;
    if (is_fractional(lp_x[j], tol)) {
      s.lo[j] = std::max(s.lo[j], std::floor(lp_x[j]));
      s.up[j] = std::min(s.up[j], std::ceil(lp_x[j]));
      ++free_count;
    } else if (!reduced_costs || std::fabs((*reduced_costs)[j]) > kPricedOut * (1 + std::fabs(p.c[j]))) {
      s.lo[j] = s.up[j] = std::round(lp_x[j]);
      if (reduced_costs) integral.emplace_back(std::fabs((*reduced_costs)[j]), j);
    } else {
      ++free_count;
    }
  }
  // the LP's own free columns meet the share: the region of share 0, searched before
  if (free_share > 0 && free_count >= free_share * ints) return false;
  // the least priced-out columns are freed too until the share is met
  free_cheapest(p, s, integral, free_count, free_share * ints);
  if (fixed_integer_share(p, s) < kMinFixedShare) return false;
  return run_sub_mip(ctx, s, b, kTagAdvanced, exhausted);
}

bool rins(MipContext &ctx, const std::vector<double> &lp_x, const SubMipBudget &b, bool *exhausted,
          const std::vector<double> *reduced_costs, double free_share) {
  if (!ctx.sink.has_incumbent()) return false;
  const MipProblem &p = ctx.prob;
  const std::vector<double> &z = ctx.sink.incumbent();
  const double tol = ctx.params.dbl(TV_DPARAM_MIP_INTTOL);
  SubMipSpec s = spec_of(p);
  std::vector<std::pair<double, int>> agreed;  // (|reduced cost|, column)
  int ints = 0;
  for (int j = 0; j < p.n; ++j) {
    if (!p.is_int[j]) continue;
    ++ints;
    if (std::fabs(lp_x[j] - z[j]) > tol) continue;
    s.lo[j] = s.up[j] = z[j];
    if (reduced_costs) agreed.emplace_back(std::fabs((*reduced_costs)[j]), j);
  }
  if (free_share > 0 && reduced_costs)
    free_cheapest(p, s, agreed, ints - static_cast<int>(agreed.size()), free_share * ints);
  const double share = fixed_integer_share(p, s);
  // all agree: the incumbent is the LP optimum of this region, nothing to gain
  if (share >= 1.0 && exhausted) *exhausted = true;
  if (share < kMinFixedShare || share >= 1.0) return false;
  return run_sub_mip(ctx, s, b, kTagImprove, exhausted);
}

bool local_branching(MipContext &ctx, int k, const SubMipBudget &b) {
  if (!ctx.sink.has_incumbent() || k <= 0) return false;
  const MipProblem &p = ctx.prob;
  const std::vector<double> &z = ctx.sink.incumbent();
  SubMipSpec s = spec_of(p);
  // sum over binaries at 0 of x_j + sum over binaries at 1 of (1 - x_j) <= k
  int ones = 0;
  for (int j = 0; j < p.n; ++j) {
    if (!p.is_binary(j)) continue;
    const bool one = z[j] > 0.5;
    s.row_index.push_back(j);
    s.row_value.push_back(one ? -1.0 : 1.0);
    ones += one;
  }
  if (static_cast<int>(s.row_index.size()) <= k) return false;  // the window holds every point
  s.row_up = k - ones;
  return run_sub_mip(ctx, s, b, kTagAdvanced);
}

bool polish(MipContext &ctx, double alpha, unsigned &rng, const SubMipBudget &b) {
  if (!ctx.sink.has_incumbent()) return false;
  const MipProblem &p = ctx.prob;
  const std::vector<double> &best = ctx.sink.incumbent();
  std::mt19937 gen(rng);
  const int stored = ctx.sink.stored_count();
  const std::vector<double> *mate = nullptr;
  if (stored >= 2) {
    // a parent other than the best, chosen at random
    const int k = 1 + static_cast<int>(gen() % static_cast<unsigned>(stored - 1));
    mate = &ctx.sink.stored(k);
  }
  std::vector<int> agree, differ;
  for (int j = 0; j < p.n; ++j) {
    if (!p.is_int[j] || p.col_lo[j] == p.col_up[j]) continue;
    if (!mate || std::fabs((*mate)[j] - best[j]) < 0.5)
      agree.push_back(j);
    else
      differ.push_back(j);
  }
  std::shuffle(agree.begin(), agree.end(), gen);
  std::shuffle(differ.begin(), differ.end(), gen);
  rng = gen();
  const int target = static_cast<int>(std::lround(std::clamp(alpha, 0.0, 1.0) * (agree.size() + differ.size())));
  SubMipSpec s = spec_of(p);
  int fixed = 0;
  for (const std::vector<int> *group : {&agree, &differ})
    for (int j : *group) {
      if (fixed >= target) break;
      s.lo[j] = s.up[j] = best[j];
      ++fixed;
    }
  if (fixed == 0 && integer_count(p) > 0 && target > 0) return false;
  return run_sub_mip(ctx, s, b, kTagImprove);
}

}  // namespace tarvo::mip
