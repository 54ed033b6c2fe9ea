// Shared pieces of the primal heuristics.
#include <algorithm>
#include <cmath>

#include "common/clock.hpp"
#include "mip/heur_common.hpp"
#include "tarvo.h"

namespace tarvo::mip {

LpSnapshot::LpSnapshot(simplex::LpSolver &lp)
    : lp_(lp),
      lo_(lp.col_lowers()),
      up_(lp.col_uppers()),
      basis_(lp.basis()),
      status_(lp.status()),
      cutoff_on_(lp.has_cutoff()),
      cutoff_(lp.cutoff()) {
  cost_.resize(lp.cols());
  for (int j = 0; j < lp.cols(); ++j) cost_[j] = lp.cost(j);
  saved_ = status_ == simplex::LpStatus::kOptimal && lp.save(point_);
}

void LpSnapshot::restore() {
  if (done_) return;
  done_ = true;
  for (int j = 0; j < lp_.cols(); ++j) {
    if (lp_.col_lower(j) != lo_[j] || lp_.col_upper(j) != up_[j]) lp_.set_col_bounds(j, lo_[j], up_[j]);
    if (lp_.cost(j) != cost_[j]) lp_.set_cost(j, cost_[j]);
  }
  if (cutoff_on_)
    lp_.set_cutoff(cutoff_);
  else
    lp_.clear_cutoff();
  if (saved_ && lp_.restore(point_)) return;
  if (!basis_.empty()) lp_.set_basis(basis_);
  if (status_ == simplex::LpStatus::kOptimal) lp_.solve(TV_METHOD_DSIMPLEX, {});
}

LpSnapshot::~LpSnapshot() {
  try {
    restore();
  } catch (...) {
    // a failed re-solve leaves the LP with a status that says so
  }
}

Locks::Locks(const MipProblem &p) : down(p.n, 0), up(p.n, 0) {
  for (int j = 0; j < p.n; ++j)
    for (int k = p.col_start[j]; k < p.col_start[j + 1]; ++k) {
      const int i = p.col_index[k];
      const double a = p.col_value[k];
      const bool has_up = p.row_up[i] < 1e30, has_lo = p.row_lo[i] > -1e30;
      if ((a > 0 && has_up) || (a < 0 && has_lo)) up[j]++;
      if ((a > 0 && has_lo) || (a < 0 && has_up)) down[j]++;
    }
}

bool is_fractional(double v, double tol) { return std::fabs(v - std::round(v)) > tol; }

double seconds_left(double deadline) { return std::max(0.0, deadline - common::wall_seconds()); }

bool submit_if_integral(MipContext &ctx, const std::vector<double> &x, double tol, const char *tag) {
  std::vector<double> y(x.begin(), x.begin() + ctx.prob.n);
  for (int j = 0; j < ctx.prob.n; ++j) {
    if (!ctx.prob.is_int[j]) continue;
    if (is_fractional(y[j], tol)) return false;
    y[j] = std::round(y[j]);
  }
  return ctx.sink.submit(y, tag);
}

bool complete_by_lp(MipContext &ctx, const std::vector<double> &x, const char *tag) {
  const MipProblem &p = ctx.prob;
  bool any_continuous = false;
  for (int j = 0; j < p.n; ++j) {
    if (!p.is_int[j]) {
      any_continuous = true;
      continue;
    }
    const double v = std::round(x[j]);
    if (v < p.col_lo[j] - 1e-9 || v > p.col_up[j] + 1e-9) return false;
    ctx.lp.set_col_bounds(j, v, v);
  }
  if (!any_continuous) return submit_if_integral(ctx, x, 0.5, tag);
  simplex::LpLimits lim;
  if (ctx.deadline < 1e29) lim.time_limit = seconds_left(ctx.deadline);
  if (ctx.lp.solve(TV_METHOD_DSIMPLEX, lim) != simplex::LpStatus::kOptimal) return false;
  return submit_if_integral(ctx, ctx.lp.x(), 1e-6, tag);
}

MipProblem with_cut_rows(const MipContext &ctx) {
  const MipProblem &p = ctx.prob;
  MipProblem q = p;
  std::vector<std::vector<std::pair<int, double>>> cols(p.n);
  std::vector<int> index;
  std::vector<double> value;
  for (int i = p.m; i < ctx.lp.rows(); ++i) {
    ctx.lp.get_row(i, index, value);
    for (size_t k = 0; k < index.size(); ++k)
      if (index[k] < p.n) cols[index[k]].emplace_back(q.m, value[k]);
    q.row_lo.push_back(ctx.lp.row_lower(i));
    q.row_up.push_back(ctx.lp.row_upper(i));
    ++q.m;
  }
  q.col_index.clear();
  q.col_value.clear();
  for (int j = 0; j < p.n; ++j) {
    for (int k = p.col_start[j]; k < p.col_start[j + 1]; ++k) {
      q.col_index.push_back(p.col_index[k]);
      q.col_value.push_back(p.col_value[k]);
    }
    for (const auto &[row, v] : cols[j]) {
      q.col_index.push_back(row);
      q.col_value.push_back(v);
    }
    q.col_start[j + 1] = static_cast<int>(q.col_index.size());
  }
  q.build_rows();
  return q;
}

}  // namespace tarvo::mip
