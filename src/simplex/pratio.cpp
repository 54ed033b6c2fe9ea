// Two-pass (Harris) ratio test of the primal simplex: pass 1 finds the step
// bound with the bounds relaxed by the feasibility tolerance, pass 2 takes the
// largest pivot among the rows reached within it. In phase 1 an infeasible
// basic variable limits the step only where it becomes feasible.
#include <algorithm>
#include <cmath>

#include "simplex/primal.hpp"

namespace tarvo::simplex {
namespace {

// The bound basic variable j runs into when it changes at `rate` per unit step;
// false when nothing stops it in that direction.
bool limiting_bound(const Glp &g, const PrimalState &ps, int p, int j, double rate, double *bound) {
  const signed char cls = ps.phase1 ? ps.pclass[p] : 0;
  if (rate < 0) {
    if (cls > 0) {
      *bound = g.upper[j];
      return true;
    }
    if (cls < 0) return false;
    *bound = g.lower[j];
    return g.lower[j] > -kInf;
  }
  if (cls < 0) {
    *bound = g.lower[j];
    return true;
  }
  if (cls > 0) return false;
  *bound = g.upper[j];
  return g.upper[j] < kInf;
}

// Relaxation of the bounds in pass 1 by TV_IPARAM_LP_PRATIO: none for the
// textbook test (0), the feasibility tolerance for the Harris test (1, 2),
// and for 3 a tolerance that grows from half to the full value over each
// refactorisation interval, so that degenerate steps still make progress.
double ratio_tolerance(const Glp &g, int mode) {
  switch (mode) {
    case 0: return 0.0;
    case 3: {
      const double share = g.refactor_freq > 0 ? std::min(1.0, static_cast<double>(g.lu.num_updates()) / g.refactor_freq)
                                               : 1.0;
      return g.ptol * (0.5 + 0.5 * share);
    }
    default: return g.ptol;
  }
}

}  // namespace

PrimalRatio primal_ratio(const Glp &g, const PrimalState &ps, int q, double dir, double pivtol) {
  PrimalRatio out;
  const xlu::Vector &col = g.work_col;
  const double tol = ratio_tolerance(g, ps.ratio_mode);
  double range = g.upper[q] - g.lower[q];
  if (g.lower[q] <= -kInf || g.upper[q] >= kInf) range = kInf;
  double tmax = range;
  for_each_position(col, g.m, [&](int p) {
    double a = col.array[p];
    if (std::fabs(a) <= pivtol) return;
    double rate = -dir * a;
    int j = g.head[p];
    double bnd;
    if (!limiting_bound(g, ps, p, j, rate, &bnd)) return;
    double t = rate < 0 ? (g.x[j] - bnd + tol) / -rate : (bnd - g.x[j] + tol) / rate;
    tmax = std::min(tmax, t);
  });
  if (tmax >= kInf) return out;  // a ray
  if (range <= tmax && range < kInf) {
    out.flip = true;
    out.step = range;
    return out;
  }
  double best = 0;
  for_each_position(col, g.m, [&](int p) {
    double a = col.array[p];
    double abs_a = std::fabs(a);
    if (abs_a <= pivtol) return;
    double rate = -dir * a;
    int j = g.head[p];
    double bnd;
    if (!limiting_bound(g, ps, p, j, rate, &bnd)) return;
    double t = rate < 0 ? (g.x[j] - bnd) / -rate : (bnd - g.x[j]) / rate;
    if (t > tmax) return;
    out.largest = std::max(out.largest, abs_a);
    if (abs_a > best) {
      best = abs_a;
      out.row = p;
      out.step = std::max(t, 0.0);
      out.bound = bnd;
    }
  });
  out.pivot = best;
  return out;
}

}  // namespace tarvo::simplex
