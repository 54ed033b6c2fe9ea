// Lagrangian bound and the greedy block-by-block solution.
#include "mip/block_solver.hpp"

#include <algorithm>
#include <cmath>

#include "common/clock.hpp"
#include "mip/block_structure.hpp"
#include "mip/heur_common.hpp"
#include "mip/sub_mip.hpp"
#include "tarvo.h"

namespace tarvo::mip {
namespace {

constexpr double kDefaultTimeShare = 0.2;  // of the time left when TV_DPARAM_BNP_TIMLIM is not set
constexpr double kUnlimitedSeconds = 10;   // without either limit

// Multipliers of the linking rows from the LP duals, in the convention
// c - A^T y = reduced costs (the sign is read off the LP's reduced costs).
// A multiplier keeps only the sign whose row side is finite, so that
// y_i * (a_i x - side) >= 0 for every x satisfying the row.
std::vector<double> linking_multipliers(const MipContext &ctx, const std::vector<int> &linking) {
  const MipProblem &p = ctx.prob;
  const std::vector<double> &duals = ctx.lp.duals();
  const std::vector<double> &rc = ctx.lp.reduced_costs();
  double plus = 0, minus = 0;
  for (int j = 0; j < p.n; ++j) {
    double ay = 0;
    for (int k = p.col_start[j]; k < p.col_start[j + 1]; ++k) ay += p.col_value[k] * duals[p.col_index[k]];
    plus += std::fabs(p.c[j] - ay - rc[j]);
    minus += std::fabs(p.c[j] + ay - rc[j]);
  }
  const double sign = plus <= minus ? 1.0 : -1.0;
  std::vector<double> y;
  for (int i : linking) {
    double v = sign * duals[i];
    if ((v > 0 && p.row_lo[i] <= -1e30) || (v < 0 && p.row_up[i] >= 1e30) || !std::isfinite(v)) v = 0;
    y.push_back(v);
  }
  return y;
}

SubMipSpec block_limits(const MipContext &ctx, double deadline) {
  SubMipSpec s;
  s.deadline = deadline;
  const int branches = ctx.params.integer(TV_IPARAM_BNP_BRANCH_LIMIT);
  s.branch_limit = branches > 0 ? branches : -1;
  return s;
}

// The deadline of the next of `left` block solves.
double share_of(double deadline, int left) {
  const double now = common::wall_seconds();
  return deadline >= 1e29 ? 1e30 : now + std::max(0.0, deadline - now) / std::max(1, left);
}

// Row activity range of block `b`'s columns in row i (from column bounds).
void activity_range(const MipProblem &p, const std::vector<int> &block_of, int b, int i, double *lo, double *up) {
  *lo = 0;
  *up = 0;
  for (int k = p.row_start[i]; k < p.row_start[i + 1]; ++k) {
    const int j = p.row_index[k];
    if (block_of[j] != b) continue;
    const double a = p.row_value[k];
    const double at_lo = a * p.col_lo[j], at_up = a * p.col_up[j];
    const bool lo_inf = p.col_lo[j] <= -1e30, up_inf = p.col_up[j] >= 1e30;
    const double mn = a > 0 ? (lo_inf ? -1e30 : at_lo) : (up_inf ? -1e30 : at_up);
    const double mx = a > 0 ? (up_inf ? 1e30 : at_up) : (lo_inf ? 1e30 : at_lo);
    *lo = *lo <= -1e30 || mn <= -1e30 ? -1e30 : *lo + mn;
    *up = *up >= 1e30 || mx >= 1e30 ? 1e30 : *up + mx;
  }
}

// Lagrangian value: the blocks minimised with the priced costs; x holds the
// blocks' solutions, all of them when `all_found`.
double lagrangian_bound(MipContext &ctx, const BlockStructure &b, const std::vector<double> &y, double deadline,
                        std::vector<double> &x, bool *all_found) {
  const MipProblem &p = ctx.prob;
  std::vector<double> cost = p.c;
  double value = p.obj_constant;
  for (size_t r = 0; r < b.linking_rows.size(); ++r) {
    const int i = b.linking_rows[r];
    if (y[r] == 0) continue;
    value += y[r] > 0 ? y[r] * p.row_lo[i] : y[r] * p.row_up[i];
    for (int k = p.row_start[i]; k < p.row_start[i + 1]; ++k) cost[p.row_index[k]] -= y[r] * p.row_value[k];
  }
  *all_found = true;
  x.assign(p.n, 0.0);
  for (int k = 0; k < b.blocks(); ++k) {
    const MipProblem q = block_problem(p, b, k, cost, {}, {}, {});
    const SubMipResult res = search_problem(q, ctx.params, block_limits(ctx, share_of(deadline, b.blocks() - k)));
    if (!res.found) *all_found = false;
    if (res.bound <= -1e29 || res.bound >= 1e29 || !std::isfinite(res.bound)) return -1e30;
    value += res.bound;
    if (res.found)
      for (size_t t = 0; t < b.cols[k].size(); ++t) x[b.cols[k][t]] = res.x[t];
  }
  return value;
}

// Blocks in turn with the true costs; each keeps the linking rows satisfiable
// by the blocks after it (their activity ranges from the column bounds).
bool greedy_by_blocks(MipContext &ctx, const BlockStructure &b, double deadline, std::vector<double> &x) {
  const MipProblem &p = ctx.prob;
  std::vector<int> block_of(p.n, -1);
  for (int k = 0; k < b.blocks(); ++k)
    for (int j : b.cols[k]) block_of[j] = k;
  const size_t nl = b.linking_rows.size();
  // per linking row: the activity ranges of every block
  std::vector<std::vector<double>> range_lo(nl, std::vector<double>(b.blocks())), range_up = range_lo;
  for (size_t r = 0; r < nl; ++r)
    for (int k = 0; k < b.blocks(); ++k)
      activity_range(p, block_of, k, b.linking_rows[r], &range_lo[r][k], &range_up[r][k]);
  std::vector<double> done(nl, 0.0);
  x.assign(p.n, 0.0);
  for (int k = 0; k < b.blocks(); ++k) {
    std::vector<double> lo(nl), up(nl);
    for (size_t r = 0; r < nl; ++r) {
      const int i = b.linking_rows[r];
      double later_lo = 0, later_up = 0;
      for (int l = k + 1; l < b.blocks(); ++l) {
        later_lo = later_lo <= -1e30 || range_lo[r][l] <= -1e30 ? -1e30 : later_lo + range_lo[r][l];
        later_up = later_up >= 1e30 || range_up[r][l] >= 1e30 ? 1e30 : later_up + range_up[r][l];
      }
      lo[r] = p.row_lo[i] <= -1e30 || later_up >= 1e30 ? -1e30 : p.row_lo[i] - done[r] - later_up;
      up[r] = p.row_up[i] >= 1e30 || later_lo <= -1e30 ? 1e30 : p.row_up[i] - done[r] - later_lo;
    }
    const MipProblem q = block_problem(p, b, k, p.c, b.linking_rows, lo, up);
    SubMipSpec spec = block_limits(ctx, share_of(deadline, b.blocks() - k));
    const SubMipResult res = search_problem(q, ctx.params, spec);
    if (!res.found) return false;
    for (size_t t = 0; t < b.cols[k].size(); ++t) x[b.cols[k][t]] = res.x[t];
    for (size_t r = 0; r < nl; ++r) {
      const int i = b.linking_rows[r];
      for (int e = p.row_start[i]; e < p.row_start[i + 1]; ++e)
        if (block_of[p.row_index[e]] == k) done[r] += p.row_value[e] * x[p.row_index[e]];
    }
  }
  return true;
}

}  // namespace

BlockTryResult try_block_solver(MipContext &ctx) {
  BlockTryResult out;
  if (ctx.lp.status() != simplex::LpStatus::kOptimal) return out;
  const BlockStructure b = find_blocks(ctx.prob);
  if (b.blocks() < 2) return out;
  out.structure = true;
  const double now = common::wall_seconds();
  const double limit = ctx.params.dbl(TV_DPARAM_BNP_TIMLIM);
  double deadline = ctx.deadline;
  if (limit >= 0)
    deadline = std::min(deadline, now + limit);
  else if (deadline < 1e29)
    deadline = now + kDefaultTimeShare * (deadline - now);
  else
    deadline = now + std::max(kUnlimitedSeconds, ctx.params.dbl(TV_DPARAM_MIP_HEUMINTIMLIM));
  const std::vector<double> y = linking_multipliers(ctx, b.linking_rows);
  std::vector<double> x;
  bool all_found = false;
  // without linking rows the blocks' solutions together are one of the
  // problem (their optima the optimum); otherwise the Lagrangian solve takes
  // half of the time and the greedy solve the rest
  out.bound = lagrangian_bound(ctx, b, y, b.linking_rows.empty() ? deadline : share_of(deadline, 2), x, &all_found);
  if (b.linking_rows.empty()) {
    if (all_found) {
      out.objective = objective_of(ctx.prob, x.data());
      out.found = ctx.sink.submit(x, kTagHeuristic);
    }
    return out;
  }
  if (seconds_left(deadline) <= 0) return out;
  if (greedy_by_blocks(ctx, b, deadline, x)) {
    out.objective = objective_of(ctx.prob, x.data());
    out.found = ctx.sink.submit(x, kTagHeuristic);
  }
  return out;
}

}  // namespace tarvo::mip
