#include "simplex/sprint.hpp"

#include <algorithm>
#include <cmath>

#include "simplex/lp_solver.hpp"

namespace tarvo::simplex {
namespace {

// Where a column outside the working set rests: the bound nearest zero.
double resting_value(double lo, double up) {
  if (lo > -kInf && up < kInf) return std::fabs(lo) <= std::fabs(up) ? lo : up;
  if (lo > -kInf) return lo;
  if (up < kInf) return up;
  return 0.0;
}

signed char resting_state(double lo, double up) {
  if (lo <= -kInf && up >= kInf) return kFreeZero;
  return resting_value(lo, up) == lo ? kAtLower : kAtUpper;
}

// The LP of the working set: its columns, every row, the rows' bounds moved
// by what the resting columns contribute.
void working_lp(const base::ModelData &d, const std::vector<int> &cols, base::ModelData &w) {
  w = base::ModelData{};
  w.m = d.m;
  w.n = static_cast<int>(cols.size());
  w.sense = d.sense;
  w.obj_constant = d.obj_constant;
  w.b.assign(d.b.begin(), d.b.begin() + d.m);
  w.b.push_back(0.0);
  w.ctype.assign(d.ctype.begin(), d.ctype.begin() + d.m);
  w.ctype.push_back('N');
  if (!d.range.empty()) w.range.assign(d.range.begin(), d.range.begin() + d.m);
  w.range.resize(d.m + 1, 0.0);
  w.start.assign(1, 0);
  for (int j : cols) {
    for (int k = d.start[j]; k < d.start[j] + d.length[j]; ++k) {
      w.rowidx.push_back(d.rowidx[k]);
      w.value.push_back(d.value[k]);
    }
    w.start.push_back(static_cast<int>(w.rowidx.size()));
    w.length.push_back(d.length[j]);
    w.c.push_back(d.c[j]);
    w.lower.push_back(d.lower[j]);
    w.upper.push_back(d.upper[j]);
  }
  w.nz = static_cast<int>(w.rowidx.size());
  w.storage = w.nz;
  w.rowidx.push_back(0);
  w.value.push_back(0.0);
}

}  // namespace

int sprint_start_size(int n, double big_m, int colfact) {
  const double want = std::max(big_m, std::sqrt(static_cast<double>(n)) * std::max(1, colfact));
  return want >= n ? n : std::max(1, static_cast<int>(want));
}

SprintResult sprint_passes(const base::ModelData &d, const LpOptions &opt, const SprintSettings &s) {
  SprintResult out;
  const int m = d.m, n = d.n;
  if (n == 0 || s.start_size >= n) return out;
  // full-LP states: the resting columns at their bound, slacks basic
  std::vector<signed char> state(static_cast<std::size_t>(n + m), kBasic);
  std::vector<double> rest(n);
  std::vector<char> in_set(n, 0);
  for (int j = 0; j < n; ++j) {
    rest[j] = resting_value(d.lower[j], d.upper[j]);
    state[j] = resting_state(d.lower[j], d.upper[j]);
  }
  // first working set: the columns of cheapest cost per entry in the improving direction
  std::vector<int> order(n);
  for (int j = 0; j < n; ++j) order[j] = j;
  const int sense = d.sense == TV_MAX ? -1 : 1;
  auto merit = [&](int j) { return sense * d.c[j] / (1.0 + d.length[j]); };
  std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return merit(a) < merit(b); });
  std::vector<int> cols(order.begin(), order.begin() + s.start_size);
  for (int j : cols) in_set[j] = 1;

  const int batch = std::max(10, s.start_size / 2);  // columns added per pass at most
  const double tol = std::max(opt.dual_tol, 1e-9);
  std::vector<double> shift(m, 0.0), lo(m), up(m);
  for (int i = 0; i < m; ++i) row_activity_bounds(d, i, &lo[i], &up[i]);
  std::vector<double> price(n);
  base::ModelData w;
  // bounded: every pass adds a column, and at most n can be added
  for (int pass = 0; pass <= n && (s.max_passes < 0 || pass < s.max_passes); ++pass) {
    std::sort(cols.begin(), cols.end());
    working_lp(d, cols, w);
    std::fill(shift.begin(), shift.end(), 0.0);
    for (int j = 0; j < n; ++j) {
      if (in_set[j] || rest[j] == 0.0) continue;
      for (int k = d.start[j]; k < d.start[j] + d.length[j]; ++k) shift[d.rowidx[k]] += d.value[k] * rest[j];
    }
    LpSolver lp;
    lp.load(w, opt);
    for (int i = 0; i < m; ++i)
      if (shift[i] != 0.0) lp.set_row_bounds(i, lo[i] - shift[i], up[i] - shift[i]);
    LpBasis basis;
    for (int j : cols) basis.state.push_back(state[j]);
    basis.state.insert(basis.state.end(), state.begin() + n, state.end());
    if (pass > 0) lp.set_basis(basis);
    LpLimits limits;
    if (s.controls.iter_limit >= 0) limits.iter_limit = std::max(0.0, s.controls.iter_limit - out.iterations);
    limits.time_limit = s.controls.time_limit;
    limits.interrupt = s.controls.interrupt;
    const LpStatus st = lp.solve(s.sub_method == 2 ? TV_METHOD_DSIMPLEX : TV_METHOD_PSIMPLEX, limits);
    out.iterations += lp.iterations();
    ++out.passes;
    if (st != LpStatus::kOptimal) break;  // the full run decides from the last good basis
    const LpBasis now = lp.basis();
    for (std::size_t t = 0; t < cols.size(); ++t) state[cols[t]] = now.state[t];
    std::copy(now.state.begin() + static_cast<long>(cols.size()), now.state.end(), state.begin() + n);
    out.state = state;
    // price the resting columns with the working set's duals
    const std::vector<double> &y = lp.duals();
    std::vector<int> attractive;
    for (int j = 0; j < n; ++j) {
      if (in_set[j]) continue;
      double dj = d.c[j];
      for (int k = d.start[j]; k < d.start[j] + d.length[j]; ++k) dj -= d.value[k] * y[d.rowidx[k]];
      dj *= sense;  // as a minimisation
      const signed char sj = state[j];
      const double gain = sj == kAtLower ? -dj : sj == kAtUpper ? dj : std::fabs(dj);
      if (gain > tol) {
        price[j] = gain;
        attractive.push_back(j);
      }
    }
    if (attractive.empty()) {
      out.priced_out = true;
      break;
    }
    if (static_cast<int>(attractive.size()) > batch) {
      std::nth_element(attractive.begin(), attractive.begin() + batch, attractive.end(),
                       [&](int a, int b) { return price[a] > price[b]; });
      attractive.resize(batch);
    }
    for (int j : attractive) {
      in_set[j] = 1;
      cols.push_back(j);
    }
  }
  return out;
}

}  // namespace tarvo::simplex
