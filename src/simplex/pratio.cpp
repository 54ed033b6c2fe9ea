// Two-pass (Harris) ratio test of the primal simplex: pass 1 finds the step
// bound with the bounds relaxed by the feasibility tolerance, pass 2 takes the
// largest pivot among the rows reached within it. In phase 1 the step is a
// long one: infeasible basic variables are passed while the sum of
// infeasibilities still falls, only the feasible ones bound it.
#include <algorithm>
#include <cmath>
#include <vector>

#include "simplex/primal.hpp"

namespace tarvo::simplex {
namespace {

// The bound a feasible basic variable j runs into when it changes at `rate`
// per unit step; false when nothing stops it in that direction.
bool limiting_bound(const Glp &g, int j, double rate, double *bound) {
  if (rate < 0) {
    *bound = g.lower[j];
    return g.lower[j] > -kInf;
  }
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

// A point of the phase-1 step where the slope of the sum of infeasibilities
// rises by |alpha|: an infeasible basic reaches its near bound, or later its
// far bound.
struct Breakpoint {
  double t;
  int p;
  double bound;
  double absval;
};

// Class of the basic at position p for the ratio test: in phase 2 every basic
// counts as feasible.
signed char ratio_class(const PrimalState &ps, int p) { return ps.phase1 ? ps.pclass[p] : 0; }

// Largest pivot among the rows a feasible basic bounds the step with, within
// tmax (pass 2 of the Harris test). Under the lexicographic test a degenerate
// step (the chosen basic sits on its bound within the feasibility tolerance)
// is decided by the e-terms among all the rows that sit on their bound: only
// degenerate pivots can cycle, the others keep the largest pivot.
void largest_feasible_pivot(Glp &g, PrimalState &ps, double dir, double pivtol, double tmax, PrimalRatio &out) {
  const xlu::Vector &col = g.work_col;
  double best = 0;
  bool degenerate = false;  // the chosen row sits on its bound
  thread_local std::vector<TiedRow> ties;
  ties.clear();
  for_each_position(col, g.m, [&](int p) {
    const double a = col.array[p];
    const double abs_a = std::fabs(a);
    if (abs_a <= pivtol || ratio_class(ps, p) != 0) return;
    const double rate = -dir * a;
    const int j = g.head[p];
    double bnd;
    if (!limiting_bound(g, j, rate, &bnd)) return;
    const double t = rate < 0 ? (g.x[j] - bnd) / -rate : (bnd - g.x[j]) / rate;
    if (t > tmax) return;
    out.largest = std::max(out.largest, abs_a);
    const bool on_bound = std::fabs(g.x[j] - bnd) <= g.ptol;
    if (ps.lex.on && on_bound) ties.push_back({p, std::max(t, 0.0), bnd, abs_a, rate < 0 ? 1.0 : -1.0});
    if (abs_a > best) {
      degenerate = on_bound;
      best = abs_a;
      out.row = p;
      out.step = std::max(t, 0.0);
      out.bound = bnd;
    }
  });
  out.pivot = best;
  if (degenerate && ties.size() > 1) {
    const TiedRow &t = ties[lexicographic_choice(g, ps, ties)];
    out.row = t.p;
    out.step = t.step;
    out.bound = t.bound;
    out.pivot = t.absval;
  }
}

}  // namespace

PrimalRatio primal_ratio(Glp &g, PrimalState &ps, int q, double dir, double pivtol) {
  PrimalRatio out;
  const xlu::Vector &col = g.work_col;
  const double tol = ratio_tolerance(g, ps.ratio_mode);
  double range = g.upper[q] - g.lower[q];
  if (g.lower[q] <= -kInf || g.upper[q] >= kInf) range = kInf;
  // pass 1: the feasible rows bound the step (Harris); the infeasible ones of
  // phase 1 give breakpoints
  double tmax = range;
  thread_local std::vector<Breakpoint> points;
  points.clear();
  for_each_position(col, g.m, [&](int p) {
    const double a = col.array[p];
    const double abs_a = std::fabs(a);
    if (abs_a <= pivtol) return;
    const double rate = -dir * a;
    const int j = g.head[p];
    const signed char cls = ratio_class(ps, p);
    if (cls == 0) {
      double bnd;
      if (!limiting_bound(g, j, rate, &bnd)) return;
      tmax = std::min(tmax, rate < 0 ? (g.x[j] - bnd + tol) / -rate : (bnd - g.x[j] + tol) / rate);
    } else if (cls < 0 && rate > 0) {
      points.push_back({(g.lower[j] - g.x[j]) / rate, p, g.lower[j], abs_a});
      if (g.upper[j] < kInf) points.push_back({(g.upper[j] - g.x[j]) / rate, p, g.upper[j], abs_a});
    } else if (cls > 0 && rate < 0) {
      points.push_back({(g.x[j] - g.upper[j]) / -rate, p, g.upper[j], abs_a});
      if (g.lower[j] > -kInf) points.push_back({(g.x[j] - g.lower[j]) / -rate, p, g.lower[j], abs_a});
    }
  });
  // phase 1: walk the breakpoints before that bound while the sum of
  // infeasibilities still falls
  auto beyond = std::partition(points.begin(), points.end(), [&](const Breakpoint &b) { return b.t < tmax; });
  std::sort(points.begin(), beyond, [](const Breakpoint &x, const Breakpoint &y) { return x.t < y.t; });
  double slope = -std::fabs(g.d[q]);
  const size_t count = static_cast<size_t>(beyond - points.begin());
  for (size_t k = 0; k < count; ++k) {
    slope += points[k].absval;
    if (slope < 0) continue;
    // the step ends here; among the breakpoints it reaches within the
    // tolerance the largest pivot leaves
    size_t pick = k;
    for (size_t i = k + 1; i < count && points[i].t <= points[k].t + tol / points[i].absval; ++i)
      if (points[i].absval > points[pick].absval) pick = i;
    out.row = points[pick].p;
    out.step = std::max(points[pick].t, 0.0);
    out.bound = points[pick].bound;
    out.pivot = out.largest = points[pick].absval;
    return out;
  }
  if (tmax >= kInf) return out;  // a ray (in phase 1 the caller rejects the column)
  if (range <= tmax && range < kInf) {
    out.flip = true;
    out.step = range;
    return out;
  }
  largest_feasible_pivot(g, ps, dir, pivtol, tmax, out);
  return out;
}

}  // namespace tarvo::simplex
