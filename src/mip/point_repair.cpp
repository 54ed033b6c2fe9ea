// Rounding, clipping and LP repair of candidate incumbents.
#include "mip/point_repair.hpp"

#include <algorithm>
#include <cmath>

#include "mip/working_problem.hpp"
#include "simplex/lp_solver.hpp"
#include "tarvo.h"

namespace tarvo::mip {

double relative_row_violation(const MipProblem &p, const std::vector<double> &x) {
  double worst = 0;
  for (int i = 0; i < p.m; ++i) {
    double a = 0, mag = 0;
    for (int k = p.row_start[i]; k < p.row_start[i + 1]; ++k) {
      const double t = p.row_value[k] * x[p.row_index[k]];
      a += t;
      mag = std::max(mag, std::fabs(t));
    }
    const double lo = p.row_lo[i], up = p.row_up[i];
    if (lo > -1e30) worst = std::max(worst, (lo - a) / (1 + std::max(std::fabs(lo), mag)));
    if (up < 1e30) worst = std::max(worst, (a - up) / (1 + std::max(std::fabs(up), mag)));
  }
  return worst;
}

void round_and_clip(const MipProblem &p, std::vector<double> &x) {
  for (int j = 0; j < p.n; ++j) {
    if (p.is_int[j]) x[j] = std::round(x[j]);
    x[j] = std::clamp(x[j], p.col_lo[j], p.col_up[j]);
  }
}

bool recomplete_continuous(const MipProblem &p, std::vector<double> &x) {
  base::ModelData data;
  problem_to_lp_data(p, &data);
  simplex::LpSolver lp;
  lp.load(data, simplex::LpOptions{});
  for (int i = 0; i < p.m; ++i) lp.set_row_bounds(i, p.row_lo[i], p.row_up[i]);
  for (int j = 0; j < p.n; ++j)
    if (p.is_int[j]) lp.set_col_bounds(j, x[j], x[j]);
  simplex::LpLimits lim;
  lim.iter_limit = 10.0 * (p.m + p.n) + 1000;
  if (lp.solve(TV_METHOD_DSIMPLEX, lim) != simplex::LpStatus::kOptimal) return false;
  const std::vector<double> &y = lp.x();
  for (int j = 0; j < p.n; ++j)
    if (!p.is_int[j]) x[j] = y[j];
  round_and_clip(p, x);
  return true;
}

bool clean_point(const MipProblem &p, std::vector<double> &x, double feas_tol) {
  round_and_clip(p, x);
  if (relative_row_violation(p, x) <= feas_tol) return true;
  const bool any_continuous = std::find(p.is_int.begin(), p.is_int.end(), 0) != p.is_int.end();
  if (!any_continuous || !recomplete_continuous(p, x)) return false;
  return relative_row_violation(p, x) <= feas_tol;
}

}  // namespace tarvo::mip
