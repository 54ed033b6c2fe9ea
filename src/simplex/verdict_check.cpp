// Checks of the Farkas and primal-ray certificates against the unscaled model
// arrays, with round-off allowances taken from the magnitude of the summed terms.
#include "simplex/verdict_check.hpp"

#include <algorithm>
#include <cmath>

namespace tarvo::simplex {
namespace {

constexpr double kCancel = 1e-11;    // relative size of a sum that counts as exact cancellation
constexpr double kRoundoff = 1e-14;  // of the largest multiplier times entry: rounding of a zero
constexpr double kRayResidual = 1e-8;  // relative residual a normalised ray may leave
constexpr double kRayZero = 1e-11;     // multipliers below this share of the largest are zeros

// Range of w*z for z in [lo, up]; infinite ends where w pulls towards an infinite bound.
void term_range(double w, double lo, double up, double *low, double *high) {
  if (w > 0) {
    *low = lo <= -kInf ? -kInf : w * lo;
    *high = up >= kInf ? kInf : w * up;
  } else if (w < 0) {
    *low = up >= kInf ? -kInf : w * up;
    *high = lo <= -kInf ? kInf : w * lo;
  } else {
    *low = *high = 0;
  }
}

}  // namespace

bool farkas_certifies(const Glp &g, const base::ModelData &d, const std::vector<double> &y_scaled, double tol) {
  const int m = d.m, n = d.n;
  if (static_cast<int>(y_scaled.size()) != m || g.m != m || g.n != n) return false;
  std::vector<double> y(m);
  double ynorm = 0;
  for (int i = 0; i < m; ++i) {
    y[i] = y_scaled[i] * g.row_scale[i];
    if (!std::isfinite(y[i])) return false;
    ynorm += std::fabs(y[i]);
  }
  if (!(ynorm > 0)) return false;
  double ymax = 0, ymax_scaled = 0;
  for (int i = 0; i < m; ++i) {
    ymax = std::max(ymax, std::fabs(y[i]));
    ymax_scaled = std::max(ymax_scaled, std::fabs(y_scaled[i]));
  }
  // Multipliers at rounding level are zeros the solve could not produce
  // exactly: one of the wrong sign on an unbounded row would void the proof.
  // Rounding level is judged in the solver's scaled units: unscaled, the
  // multiplier of a row scaled by 1e8 is 1e12 times smaller than that of a
  // row scaled by 1e-4, and both may carry the proof. The check below holds
  // for the cleaned vector as it stands.
  // Each row may be off by tol, unscaled or in the solver's units, whichever
  // is tighter: a row scaled by 1e-5 is not loose by 1e-7 of its own units.
  double allowance = 0;
  for (int i = 0; i < m; ++i) {
    if (std::fabs(y_scaled[i]) <= kRayZero * ymax_scaled) y[i] = 0;
    if (y[i] != 0) allowance += std::min(std::fabs(y[i]), std::fabs(y_scaled[i]));
  }
  double low = 0, high = 0, terms = 0;
  bool low_finite = true, high_finite = true;
  // noise: the size below which w is the rounding of an exact zero, from the
  // terms summed and (tighter) from the largest multiplier times the largest entry
  auto add = [&](double w, double noise, double lo, double up) {
    if (std::fabs(w) <= noise) {
      // round-off of an exact cancellation: bounded only over a finite box
      if (lo > -kInf && up < kInf) {
        const double slack = std::fabs(w) * std::max(std::fabs(lo), std::fabs(up));
        low -= slack;
        high += slack;
      }
      return;
    }
    double a, b;
    term_range(w, lo, up, &a, &b);
    if (a > -kInf) {
      low += a;
      terms += std::fabs(a);
    } else {
      low_finite = false;
    }
    if (b < kInf) {
      high += b;
      terms += std::fabs(b);
    } else {
      high_finite = false;
    }
  };
  for (int j = 0; j < n; ++j) {
    double w = 0, mag = 0, amax = 0;
    for (int k = d.start[j]; k < d.start[j] + d.length[j]; ++k) {
      const double t = y[d.rowidx[k]] * d.value[k];
      w += t;
      mag += std::fabs(t);
      amax = std::max(amax, std::fabs(d.value[k]));
    }
    add(w, std::max(kCancel * mag, kRoundoff * ymax * amax), d.lower[j], d.upper[j]);
  }
  for (int i = 0; i < m; ++i) {
    double lo, up;
    row_slack_bounds(d, i, &lo, &up);
    add(y[i], kRoundoff * ymax, lo, up);
  }
  const double need = tol * allowance + 1e-14 * terms;
  return (high_finite && high < -need) || (low_finite && low > need);
}

bool primal_ray_certifies(const Glp &g, const base::ModelData &d, const std::vector<double> &dz_scaled) {
  const int m = d.m, n = d.n;
  if (static_cast<int>(dz_scaled.size()) != n + m || g.m != m || g.n != n) return false;
  std::vector<double> dx(n + m);
  double norm = 0;
  for (int j = 0; j < n; ++j) dx[j] = dz_scaled[j] * g.col_scale[j];
  for (int i = 0; i < m; ++i) dx[n + i] = dz_scaled[n + i] / g.row_scale[i];
  for (double v : dx) {
    if (!std::isfinite(v)) return false;
    norm = std::max(norm, std::fabs(v));
  }
  if (!(norm > 0)) return false;
  for (double &v : dx) v /= norm;
  // the direction stays inside the bounds
  constexpr double kTiny = 1e-9;
  for (int j = 0; j < n + m; ++j) {
    double lo, up;
    if (j < n) {
      lo = d.lower[j];
      up = d.upper[j];
    } else {
      row_slack_bounds(d, j - n, &lo, &up);
    }
    if ((dx[j] > kTiny && up < kInf) || (dx[j] < -kTiny && lo > -kInf)) return false;
  }
  // A dx + ds = 0
  std::vector<double> res(m), mag(m);
  for (int i = 0; i < m; ++i) {
    res[i] = dx[n + i];
    mag[i] = std::fabs(dx[n + i]);
  }
  double slope = 0, slope_mag = 0;
  const double sense = d.sense == TV_MAX ? -1.0 : 1.0;
  for (int j = 0; j < n; ++j) {
    for (int k = d.start[j]; k < d.start[j] + d.length[j]; ++k) {
      const double t = d.value[k] * dx[j];
      res[d.rowidx[k]] += t;
      mag[d.rowidx[k]] += std::fabs(t);
    }
    slope += sense * d.c[j] * dx[j];
    slope_mag += std::fabs(d.c[j] * dx[j]);
  }
  for (int i = 0; i < m; ++i)
    if (std::fabs(res[i]) > kRayResidual * (1.0 + mag[i])) return false;
  return slope < -std::max(kTiny, 1e-9 * slope_mag);
}

bool point_feasible(const Glp &g, const base::ModelData &d, double tol) {
  const int m = d.m, n = d.n;
  if (g.m != m || g.n != n) return false;
  // within 10 tol, within tol in the solver's scaled units, or within what
  // rounding of the terms explains
  auto within = [&](double v, double lo, double up, double mag, double unit) {
    const double viol = std::max(lo > -kInf ? lo - v : 0.0, up < kInf ? v - up : 0.0);
    if (viol <= 10 * tol || viol * unit <= tol) return true;
    const double bound = viol == lo - v ? std::fabs(lo) : std::fabs(up);
    return viol <= 1000 * 2.220446049250313e-16 * (1 + bound + mag);
  };
  std::vector<double> act(m, 0.0), mag(m, 0.0);
  for (int j = 0; j < n; ++j) {
    const double xj = g.x[j] * g.col_scale[j];
    if (!std::isfinite(xj) || !within(xj, d.lower[j], d.upper[j], 0.0, 1.0 / g.col_scale[j])) return false;
    for (int k = d.start[j]; k < d.start[j] + d.length[j]; ++k) {
      act[d.rowidx[k]] += d.value[k] * xj;
      mag[d.rowidx[k]] += std::fabs(d.value[k] * xj);
    }
  }
  for (int i = 0; i < m; ++i) {
    double lo, up;
    row_slack_bounds(d, i, &lo, &up);
    if (!within(-act[i], lo, up, mag[i], g.row_scale[i])) return false;
  }
  return true;
}

bool verdict_certified(const Glp &g, const base::ModelData &d, double feastol) {
  if (g.xstat == XSTAT_INF) return farkas_certifies(g, d, g.ray, feastol);
  // unbounded: a ray from a feasible point
  if (g.xstat == XSTAT_UNB) return primal_ray_certifies(g, d, g.ray) && point_feasible(g, d, feastol);
  return true;
}

}  // namespace tarvo::simplex
