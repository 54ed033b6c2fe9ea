// Feasibility pump: alternate between rounding the LP point and re-solving
// the LP with the distance to the rounded point as objective (mixed with the
// true objective, whose share decays each round). Short cycles are broken by
// flipping the columns farthest from their rounding, long ones by a random
// perturbation. Roundings are made column by column with propagation over
// the rows (most decided columns first), so that a rounding the rows accept
// is tried at once. The second variant rounds with random thresholds.
#include <algorithm>
#include <cmath>
#include <deque>
#include <random>

#include "mip/fix_propagate.hpp"
#include "mip/heuristics.hpp"
#include "tarvo.h"

namespace tarvo::mip {

namespace {

constexpr size_t kHistory = 30;      // roundings remembered for long cycles
constexpr double kDecay = 0.9;       // objective share kept each round
constexpr double kPropagationWork = 2;  // full fixing passes one propagated rounding may read
constexpr int kMaxCompletions = 20;      // LPs over the continuous columns for roundings propagation accepts

std::size_t hash_of(const std::vector<double> &v, const std::vector<int> &ints) {
  std::size_t h = 1469598103934665603ULL;
  for (int j : ints) h = (h ^ static_cast<std::size_t>(static_cast<long long>(v[j]) + 7 * j)) * 1099511628211ULL;
  return h;
}

}  // namespace

void apply_pump_variant(int variant, PumpSettings &s) {
  if (variant == 1 || variant == 3 || variant == 5) s.random_rounding = true;
  if (variant == 2 || variant == 3) s.weight = 0;
  if (variant >= 4) s.flip_base *= 2;
}

bool feasibility_pump(MipContext &ctx, const PumpSettings &s) {
  const MipProblem &p = ctx.prob;
  if (ctx.lp.status() != simplex::LpStatus::kOptimal) return false;
  std::vector<int> ints;
  for (int j = 0; j < p.n; ++j)
    if (p.is_int[j]) ints.push_back(j);
  if (ints.empty()) return false;
  const double tol = ctx.params.dbl(TV_DPARAM_MIP_INTTOL);
  double cnorm = 0;
  for (int j = 0; j < p.n; ++j) cnorm += p.c[j] * p.c[j];
  cnorm = std::sqrt(cnorm);
  const double obj_scale = cnorm > 0 ? std::sqrt(static_cast<double>(ints.size())) / cnorm : 0.0;

  LpSnapshot snap(ctx.lp);
  ctx.lp.clear_cutoff();
  const std::vector<double> lo0(ctx.lp.col_lowers().begin(), ctx.lp.col_lowers().begin() + p.n);
  const std::vector<double> up0(ctx.lp.col_uppers().begin(), ctx.lp.col_uppers().begin() + p.n);
  const bool continuous = ints.size() < static_cast<size_t>(p.n);
  FixPropagateOptions prop_opt;
  prop_opt.order = FixOrder::kDecidedFirst;
  prop_opt.allow_conflicts = true;
  prop_opt.work_limit = fixing_work_limit(p, kPropagationWork);
  prop_opt.deadline = s.deadline;
  int completions = 0;
  std::mt19937 rng(s.seed);
  std::uniform_real_distribution<double> unit(0.0, 1.0);
  std::vector<double> x = ctx.lp.x();
  std::vector<double> xt(p.n, 0.0), prev;
  std::deque<std::size_t> history;
  double alpha = s.weight;
  bool found = false;
  for (int round = 0; round < s.max_rounds; ++round) {
    if (submit_if_integral(ctx, x, tol, kTagPump)) {
      found = true;
      break;
    }
    if (seconds_left(s.deadline) <= 0) break;
    for (int j : ints) {
      const double thr = s.random_rounding ? 0.3 + 0.4 * unit(rng) : 0.5;
      xt[j] = std::clamp(std::floor(x[j] + thr), ctx.lp.col_lower(j), ctx.lp.col_upper(j));
    }
    if (s.propagate) {
      // round the most decided columns first and let each fix narrow the rest
      prop_opt.prefer = &xt;
      const FixPropagateResult r = fix_and_propagate(p, lo0, up0, x, tol, prop_opt);
      for (int j : ints) xt[j] = r.rounding[j];
      if (r.complete && r.conflicts == 0 && completions < kMaxCompletions) {
        ++completions;
        bool got = false;
        if (!continuous) {
          got = ctx.sink.submit(r.rounding, kTagPump);
        } else {
          for (int j = 0; j < p.n; ++j) ctx.lp.set_cost(j, p.c[j]);
          got = complete_by_lp(ctx, xt, kTagPump);
          for (int j : ints) ctx.lp.set_col_bounds(j, lo0[j], up0[j]);
        }
        if (got) {
          found = true;
          break;
        }
      }
    }
    auto same_as_prev = [&] {
      return !prev.empty() && std::all_of(ints.begin(), ints.end(), [&](int j) { return xt[j] == prev[j]; });
    };
    if (same_as_prev()) {
      // short cycle: move the columns farthest from their rounding
      std::vector<std::pair<double, int>> far;
      for (int j : ints) far.emplace_back(-std::fabs(x[j] - xt[j]), j);
      std::sort(far.begin(), far.end());
      const int flips = s.flip_base / 2 + static_cast<int>(unit(rng) * s.flip_base);
      for (int t = 0; t < flips && t < static_cast<int>(far.size()); ++t) {
        const int j = far[t].second;
        const double step = x[j] > xt[j] ? 1.0 : -1.0;
        xt[j] = std::clamp(xt[j] + step, ctx.lp.col_lower(j), ctx.lp.col_upper(j));
        if (xt[j] == prev[j]) xt[j] = std::clamp(xt[j] - 2 * step, ctx.lp.col_lower(j), ctx.lp.col_upper(j));
      }
    } else if (std::find(history.begin(), history.end(), hash_of(xt, ints)) != history.end()) {
      // long cycle: random restart around the LP point
      for (int j : ints) {
        const double r = std::max(0.0, unit(rng) - 0.3);
        if (std::fabs(x[j] - xt[j]) + r > 0.5) {
          const double step = x[j] > xt[j] ? 1.0 : -1.0;
          xt[j] = std::clamp(xt[j] + step, ctx.lp.col_lower(j), ctx.lp.col_upper(j));
        }
      }
    }
    if (s.project && !same_as_prev()) {
      // projection: the new rounding completed by the continuous columns
      std::vector<double> lo(p.n), up(p.n);
      for (int j : ints) lo[j] = ctx.lp.col_lower(j), up[j] = ctx.lp.col_upper(j);
      for (int j = 0; j < p.n; ++j) ctx.lp.set_cost(j, p.c[j]);
      const bool got = complete_by_lp(ctx, xt, kTagPump);
      for (int j : ints) ctx.lp.set_col_bounds(j, lo[j], up[j]);
      if (got) {
        found = true;
        break;
      }
    }
    prev.assign(xt.begin(), xt.end());
    history.push_back(hash_of(xt, ints));
    if (history.size() > kHistory) history.pop_front();
    // distance to xt (exact at bounds, a pull toward xt inside), plus the decaying objective
    for (int j = 0; j < p.n; ++j) {
      double d = 0;
      if (p.is_int[j]) {
        if (xt[j] <= ctx.lp.col_lower(j))
          d = 1;
        else if (xt[j] >= ctx.lp.col_upper(j))
          d = -1;
        else
          d = x[j] > xt[j] ? 1 : -1;
      }
      ctx.lp.set_cost(j, (1 - alpha) * d + alpha * obj_scale * p.c[j]);
    }
    alpha *= kDecay;
    simplex::LpLimits limits;
    if (s.deadline < 1e29) limits.time_limit = seconds_left(s.deadline);
    limits.iter_limit = std::max(1000.0, 2.0 * (p.m + p.n));
    if (ctx.lp.solve(s.method, limits) != simplex::LpStatus::kOptimal) break;
    x = ctx.lp.x();
  }
  if (!found && !prev.empty() && seconds_left(s.deadline) > 0) {
    // the last rounding may be completed by the continuous columns
    for (int j = 0; j < p.n; ++j) ctx.lp.set_cost(j, p.c[j]);
    std::vector<double> last(p.n, 0.0);
    for (int j : ints) last[j] = prev[j];
    found = complete_by_lp(ctx, last, kTagPump);
  }
  return found;
}

}  // namespace tarvo::mip
