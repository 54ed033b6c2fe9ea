// Integer problems: bounds of integer columns rounded to integers and every
// column's bounds tightened by the activity of its rows. Only the integer
// presolve changes bounds this way: an LP keeps its own bounds so that the
// postsolved basis sits at real bounds of the user's model.
#include <cmath>

#include "presolve/work_problem.hpp"

namespace tarvo::presolve {
namespace {

// Bounds implied for column j by row i, from the other columns' activity.
void implied_bounds(const WorkProblem &w, int i, int j, double a, const Activity &act, double *lo, double *hi) {
  *lo = -kInf;
  *hi = kInf;
  const double l = w.lower[j], u = w.upper[j];
  // activity of the rest = act without j's own contribution
  const double jmin = a > 0 ? l : u, jmax = a > 0 ? u : l;
  const bool jmin_inf = std::fabs(jmin) >= kInf, jmax_inf = std::fabs(jmax) >= kInf;
  const int rest_ninf_min = act.ninf_min - (jmin_inf ? 1 : 0), rest_ninf_max = act.ninf_max - (jmax_inf ? 1 : 0);
  const double rest_min = act.min - (jmin_inf ? 0 : a * jmin), rest_max = act.max - (jmax_inf ? 0 : a * jmax);
  const double rl = w.row_lower[i], ru = w.row_upper[i];
  // a x_j <= ru - rest_min and a x_j >= rl - rest_max
  if (ru < kInf && rest_ninf_min == 0) {
    const double v = (ru - rest_min) / a;
    if (a > 0) *hi = v; else *lo = v;
  }
  if (rl > -kInf && rest_ninf_max == 0) {
    const double v = (rl - rest_max) / a;
    if (a > 0) *lo = std::fmax(*lo, v); else *hi = std::fmin(*hi, v);
  }
}

}  // namespace

int tighten_integer_bounds(WorkProblem &w) {
  int count = 0;
  for (int j = 0; j < w.n; ++j) {
    if (!w.col_alive[j] || !w.is_int(j)) continue;
    const double l = w.lower[j] > -kInf ? std::ceil(w.lower[j] - 1e-6) : w.lower[j];
    const double u = w.upper[j] < kInf ? std::floor(w.upper[j] + 1e-6) : w.upper[j];
    if (l != w.lower[j] || u != w.upper[j]) ++count;
    w.lower[j] = l;
    w.upper[j] = u;
    if (l > u) {
      w.infeasible = true;
      return count;
    }
  }
  for (int i = 0; i < w.m && !w.infeasible; ++i) {
    if (!w.row_alive[i] || w.rows[i].size() < 2) continue;
    const Activity act = w.activity(i);
    if (act.ninf_min > 1 && act.ninf_max > 1) continue;
    for (const Entry &e : w.rows[i]) {
      const int j = e.index;
      if (std::fabs(e.value) < 1e-7) continue;
      double lo, hi;
      implied_bounds(w, i, j, e.value, act, &lo, &hi);
      if (w.is_int(j)) {
        if (lo > -kInf) lo = std::ceil(lo - 1e-6);
        if (hi < kInf) hi = std::floor(hi + 1e-6);
      }
      // continuous bounds move only by a real margin, and never to huge values
      const double margin = w.is_int(j) ? 0.5 : 1e-3 * std::fmax(1.0, std::fabs(lo));
      bool changed = false;
      if (std::fabs(lo) < 1e9 && lo > w.lower[j] + margin) {
        w.lower[j] = lo;
        changed = true;
      }
      const double margin_up = w.is_int(j) ? 0.5 : 1e-3 * std::fmax(1.0, std::fabs(hi));
      if (std::fabs(hi) < 1e9 && hi < w.upper[j] - margin_up) {
        w.upper[j] = hi;
        changed = true;
      }
      if (!changed) continue;
      ++count;
      ++w.counts->bounds_tightened;
      if (w.lower[j] > w.upper[j]) {
        if (w.lower[j] > w.upper[j] + w.feas_tol(w.upper[j])) {
          w.infeasible = true;
          return count;
        }
        w.upper[j] = w.lower[j];
      }
      // the row's activity changed: later columns of this row see stale sums,
      // which only makes their bounds weaker, never wrong
    }
  }
  return count;
}

}  // namespace tarvo::presolve
