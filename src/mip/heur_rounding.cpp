// Rounding heuristics on an LP point. Simple rounding moves each fractional
// integer column in a direction no row locks; activity rounding uses the rows'
// current activities and their ranges to pick a direction that keeps every
// row satisfied (the nearest integer first), updating the activities as it goes.
#include <algorithm>
#include <cmath>

#include "mip/heur_common.hpp"
#include "mip/heuristics.hpp"

namespace tarvo::mip {

namespace {

std::vector<double> row_activities(const MipProblem &p, const std::vector<double> &y) {
  std::vector<double> act(p.m, 0.0);
  for (int i = 0; i < p.m; ++i)
    for (int k = p.row_start[i]; k < p.row_start[i + 1]; ++k) act[i] += p.row_value[k] * y[p.row_index[k]];
  return act;
}

}  // namespace

bool simple_rounding(MipContext &ctx, const std::vector<double> &x, const Locks &locks, double tol) {
  const MipProblem &p = ctx.prob;
  std::vector<double> y(x.begin(), x.begin() + p.n);
  for (int j = 0; j < p.n; ++j) {
    if (!p.is_int[j] || !is_fractional(y[j], tol)) continue;
    if (locks.down[j] == 0)
      y[j] = std::floor(y[j]);
    else if (locks.up[j] == 0)
      y[j] = std::ceil(y[j]);
    else
      return false;
  }
  return submit_if_integral(ctx, y, tol, kTagHeuristic);
}

bool activity_rounding(MipContext &ctx, const std::vector<double> &x, double tol) {
  const MipProblem &p = ctx.prob;
  std::vector<double> y(x.begin(), x.begin() + p.n);
  std::vector<double> act = row_activities(p, y);
  std::vector<std::pair<double, int>> order;
  for (int j = 0; j < p.n; ++j)
    if (p.is_int[j] && is_fractional(y[j], tol)) order.emplace_back(std::fabs(y[j] - std::round(y[j])), j);
  if (order.empty()) return submit_if_integral(ctx, y, tol, kTagHeuristic);
  std::sort(order.begin(), order.end());
  // may column j move by delta without taking a row out of its range (or further out)?
  auto fits = [&](int j, double delta) {
    const double nv = y[j] + delta;
    if (nv < p.col_lo[j] - tol || nv > p.col_up[j] + tol) return false;
    for (int k = p.col_start[j]; k < p.col_start[j + 1]; ++k) {
      const int i = p.col_index[k];
      const double a = act[i] + p.col_value[k] * delta;
      const double ftol = 1e-9 * (1 + std::fabs(a));
      if (a > p.row_up[i] + ftol && a > act[i]) return false;
      if (a < p.row_lo[i] - ftol && a < act[i]) return false;
    }
    return true;
  };
  for (const auto &[frac, j] : order) {
    (void)frac;
    const double near = std::round(y[j]);
    const double far = near > y[j] ? std::floor(y[j]) : std::ceil(y[j]);
    double target;
    if (fits(j, near - y[j]))
      target = near;
    else if (fits(j, far - y[j]))
      target = far;
    else
      return false;
    const double delta = target - y[j];
    for (int k = p.col_start[j]; k < p.col_start[j + 1]; ++k) act[p.col_index[k]] += p.col_value[k] * delta;
    y[j] = target;
  }
  return submit_if_integral(ctx, y, tol, kTagHeuristic);
}

bool zi_rounding(MipContext &ctx, const std::vector<double> &x, double tol) {
  const MipProblem &p = ctx.prob;
  std::vector<double> y(x.begin(), x.begin() + p.n);
  std::vector<double> act = row_activities(p, y);
  // largest move of column j up (dir +1) or down (-1) that keeps its rows within their slacks
  auto reach = [&](int j, int dir) {
    double room = dir > 0 ? p.col_up[j] - y[j] : y[j] - p.col_lo[j];
    for (int k = p.col_start[j]; k < p.col_start[j + 1] && room > 0; ++k) {
      const int i = p.col_index[k];
      const double a = p.col_value[k] * dir;
      const double slack = a > 0 ? p.row_up[i] - act[i] : act[i] - p.row_lo[i];
      if (slack >= 1e29) continue;
      room = std::min(room, std::max(0.0, slack + 1e-9) / std::fabs(a));
    }
    return room;
  };
  constexpr int kPasses = 3;
  bool changed = true;
  for (int pass = 0; pass < kPasses && changed; ++pass) {
    changed = false;
    for (int j = 0; j < p.n; ++j) {
      if (!p.is_int[j] || !is_fractional(y[j], tol)) continue;
      const double down = y[j] - std::floor(y[j]), up = std::ceil(y[j]) - y[j];
      const bool can_down = reach(j, -1) >= down - 1e-12, can_up = reach(j, +1) >= up - 1e-12;
      if (!can_down && !can_up) continue;
      // the nearer integer, or the cheaper one when both are as near
      bool go_up = can_up && (!can_down || up < down || (up == down && p.c[j] < 0));
      const double delta = go_up ? up : -down;
      for (int k = p.col_start[j]; k < p.col_start[j + 1]; ++k) act[p.col_index[k]] += p.col_value[k] * delta;
      y[j] = std::round(y[j] + delta);
      changed = true;
    }
  }
  return submit_if_integral(ctx, y, tol, kTagHeuristic);
}

}  // namespace tarvo::mip
