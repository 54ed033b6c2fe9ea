// Dominated columns by bounds on the row duals (min c'x, reduced costs
// d = c - A'y). A row's sides give its dual a sign (>= row: y >= 0, <= row:
// y <= 0, free row: y = 0); a column with an infinite bound gives the duals
// a constraint (upper infinite: a'y <= c, lower infinite: a'y >= c, free:
// both). From each such constraint and the sign box of its other rows follow
// bounds on the duals of its rows. A column whose reduced cost then stays
// >= 0 over the box goes to its lower bound (<= 0: to its upper bound),
// strictly dominated or weakly: take the problem with x_j fixed there; its
// optimal duals satisfy every constraint the box was built from, so they
// price x_j right and prove the fixed problem optimal for the original.
// That argument needs the box built without column j's own constraint, so
// every dual bound remembers its source column and a column is judged
// without the bounds it gave; the bounds of a column fixed here go with it.
// The bounds come from one sweep over the sign box (no chains), so each one
// rests only on its source column. Integer problems build the box from
// continuous columns only: with the integers held at an optimal solution the
// same argument holds for the continuous part, and an integer column at an
// integral bound stays integral.
#include <cmath>
#include <vector>

#include "presolve/work_problem.hpp"

namespace tarvo::presolve {
namespace {

constexpr double kHuge = 1e9;  // dual bounds beyond this carry no information worth the risk

// One bound on a row dual and the column it came from (-1: the row's sign).
struct Bound {
  double value;
  int source;
};

// The two tightest bounds of one side of a row's dual, from different columns.
struct Side {
  Bound best, second;
  void offer(double v, int col, bool upper) {
    const bool better = upper ? v < best.value : v > best.value;
    if (better) {
      if (best.source != col) second = best;
      best = {v, col};
    } else if (col != best.source && (upper ? v < second.value : v > second.value)) {
      second = {v, col};
    }
  }
  // The tightest bound that rests on neither `skip` nor a dropped column;
  // the row's sign bound `base` holds in any case.
  double without(int skip, const std::vector<char> &alive, double base, bool upper) const {
    for (const Bound *b : {&best, &second})
      if (b->source >= 0 && b->source != skip && alive[b->source])
        return upper ? std::fmin(b->value, base) : std::fmax(b->value, base);
    return base;
  }
};

struct DualBox {
  std::vector<double> sign_lo, sign_hi;  // from the row sides alone
  std::vector<Side> lo, hi;
};

void sign_bounds(const WorkProblem &w, int i, double *lo, double *hi) {
  const bool has_lower = w.row_lower[i] > -kInf, has_upper = w.row_upper[i] < kInf;
  *lo = has_upper ? -kInf : 0;  // no upper side: the dual cannot be negative
  *hi = has_lower ? kInf : 0;
}

bool gives_constraint(const WorkProblem &w, int k) {
  if (!w.col_alive[k] || w.cols[k].empty() || (w.options.mip && w.is_int(k))) return false;
  return w.lower[k] <= -kInf || w.upper[k] >= kInf;
}

// Bounds on the duals of column k's rows from a'y <= c (upper) or
// a'y >= c (!upper, read as -a'y <= -c) over the sign box.
void bounds_from(const WorkProblem &w, int k, bool upper, DualBox *box) {
  const double sign = upper ? 1 : -1, c = sign * w.cost[k];
  // lowest value of sum s a_i y_i over the sign box, infinite terms counted
  double low = 0;
  int ninf = 0;
  for (const Entry &e : w.cols[k]) {
    const double a = sign * e.value;
    const double y = a > 0 ? box->sign_lo[e.index] : box->sign_hi[e.index];
    if (std::fabs(y) >= kInf) ++ninf; else low += a * y;
  }
  if (ninf > 1) return;
  for (const Entry &e : w.cols[k]) {
    const int i = e.index;
    const double a = sign * e.value;
    const double y = a > 0 ? box->sign_lo[i] : box->sign_hi[i];
    const bool own_inf = std::fabs(y) >= kInf;
    if (ninf == 1 && !own_inf) continue;
    const double rest = own_inf ? low : low - a * y;
    // a y_i <= c - rest
    const double v = (c - rest) / a;
    if (std::fabs(v) > kHuge) continue;
    if (a > 0)
      box->hi[i].offer(v, k, true);
    else
      box->lo[i].offer(v, k, false);
  }
}

DualBox build_box(const WorkProblem &w) {
  DualBox box;
  box.sign_lo.assign(w.m, 0);
  box.sign_hi.assign(w.m, 0);
  box.lo.assign(w.m, Side{{-kInf, -1}, {-kInf, -1}});
  box.hi.assign(w.m, Side{{kInf, -1}, {kInf, -1}});
  for (int i = 0; i < w.m; ++i) {
    if (!w.row_alive[i]) continue;
    sign_bounds(w, i, &box.sign_lo[i], &box.sign_hi[i]);
  }
  for (int k = 0; k < w.n; ++k) {
    if (!gives_constraint(w, k)) continue;
    if (w.upper[k] >= kInf) bounds_from(w, k, true, &box);
    if (w.lower[k] <= -kInf) bounds_from(w, k, false, &box);
  }
  return box;
}

// Lowest and highest reduced cost of column j over the box without j's bounds.
void reduced_cost_range(const WorkProblem &w, const DualBox &box, int j, double *dmin, double *dmax) {
  double lo = w.cost[j], hi = w.cost[j];
  for (const Entry &e : w.cols[j]) {
    const int i = e.index;
    const double ylo = box.lo[i].without(j, w.col_alive, box.sign_lo[i], false);
    const double yhi = box.hi[i].without(j, w.col_alive, box.sign_hi[i], true);
    // d = c - a y: lowest where a y is highest
    const double top = e.value > 0 ? yhi : ylo, bottom = e.value > 0 ? ylo : yhi;
    if (std::fabs(top) >= kInf) lo = -kInf; else if (lo > -kInf) lo -= e.value * top;
    if (std::fabs(bottom) >= kInf) hi = kInf; else if (hi < kInf) hi -= e.value * bottom;
    if (lo <= -kInf && hi >= kInf) break;
  }
  *dmin = lo;
  *dmax = hi;
}

bool integral(double v) { return v == std::round(v); }

}  // namespace

int fix_by_dual_bounds(WorkProblem &w) {
  if (w.out_of_time()) return 0;
  const DualBox box = build_box(w);
  int count = 0;
  for (int j = 0; j < w.n; ++j) {
    if (!w.col_alive[j] || w.cols[j].empty() || w.lower[j] == w.upper[j]) continue;
    if ((j & 1023) == 0 && w.out_of_time()) break;
    double dmin, dmax;
    reduced_cost_range(w, box, j, &dmin, &dmax);
    const double l = w.lower[j], u = w.upper[j];
    // weak dominance within a dual tolerance far below the simplex's
    const double tol = 1e-9 * std::fmax(1.0, std::fabs(w.cost[j]));
    if (dmin > -kInf && dmin >= -tol && l > -kInf && (!w.is_int(j) || integral(l)))
      w.fix_col(j, l, kLower, true);
    else if (dmax < kInf && dmax <= tol && u < kInf && (!w.is_int(j) || integral(u)))
      w.fix_col(j, u, kUpper, true);
    else
      continue;
    ++count;
  }
  w.purge_dead_entries();
  w.counts->dual_bound_fixed += count;
  return count;
}

}  // namespace tarvo::presolve
