// Dominated columns of integer problems. Column j dominates column k when
// both have the same type, c_j <= c_k and, in every row read as "<=",
// a_ij <= a_ik (equal in equations and ranged rows). Raising x_j and lowering
// x_k by the same step then never hurts a row or the objective, so some
// optimal solution has x_j at its upper or x_k at its lower bound: with
// u_j infinite x_k goes to l_k, with l_k infinite x_j goes to u_j. A bound
// that the rows imply anyway counts as infinite (the step keeps the rows
// feasible, so it cannot pass that bound either).
// Equal costs make the dominance weak; the rule holds all the same, and the
// fixings are made one at a time so that two weakly dominating columns never
// fix each other.
#include <algorithm>
#include <cmath>

#include "presolve/work_problem.hpp"

namespace tarvo::presolve {
namespace {

constexpr long kMaxWork = 4000000;  // entry comparisons per call
constexpr size_t kMaxRow = 200;     // longer rows are not searched for candidates

// Sense of a row in "<=" reading: +1 only an upper side, -1 only a lower
// side, 0 both (the coefficients must agree).
int row_sense(const WorkProblem &w, int i) {
  const bool lo = w.row_lower[i] > -kInf, up = w.row_upper[i] < kInf;
  if (up && !lo) return 1;
  if (lo && !up) return -1;
  return 0;
}

// Whether a (in column j) may stand in for b (in column k) in a row of sense s.
bool entry_ok(int s, double a, double b) {
  if (s > 0) return a <= b + 1e-12 * std::fmax(1.0, std::fabs(b));
  if (s < 0) return a >= b - 1e-12 * std::fmax(1.0, std::fabs(b));
  return a == b;
}

// Column lists sorted by row; merged walk over the rows of j and k.
bool dominates(const WorkProblem &w, const std::vector<Entry> &cj, const std::vector<Entry> &ck, long *work) {
  size_t p = 0, q = 0;
  while (p < cj.size() || q < ck.size()) {
    ++*work;
    const int rj = p < cj.size() ? cj[p].index : w.m, rk = q < ck.size() ? ck[q].index : w.m;
    const int i = std::min(rj, rk);
    const double a = rj == i ? cj[p].value : 0, b = rk == i ? ck[q].value : 0;
    if (!entry_ok(row_sense(w, i), a, b)) return false;
    if (rj == i) ++p;
    if (rk == i) ++q;
  }
  return true;
}

// Whether the rows alone keep x_j below u_j (up) or above l_j (!up).
bool bound_implied(const WorkProblem &w, int j, bool up, long *work) {
  const double bound = up ? w.upper[j] : w.lower[j];
  if (std::fabs(bound) >= kInf) return true;
  for (const Entry &e : w.cols[j]) {
    *work += static_cast<long>(w.rows[e.index].size());
    double lo, hi;
    w.implied_by_row(e.index, j, e.value, &lo, &hi);
    if (up ? hi < kInf && hi <= bound + w.tol(bound) : lo > -kInf && lo >= bound - w.tol(bound)) return true;
  }
  return false;
}

}  // namespace

int fix_dominated_columns(WorkProblem &w) {
  if (w.out_of_time()) return 0;
  std::vector<std::vector<Entry>> sorted(w.n);
  for (int j = 0; j < w.n; ++j) {
    if (!w.col_alive[j]) continue;
    sorted[j] = w.cols[j];
    std::sort(sorted[j].begin(), sorted[j].end(), [](const Entry &a, const Entry &b) { return a.index < b.index; });
  }
  // per column: -1 unknown, 0 no, 1 yes (upper of a dominating j, lower of a dominated k)
  std::vector<signed char> up_free(w.n, -1), down_free(w.n, -1);
  int count = 0;
  long work = 0;
  auto cached = [&](std::vector<signed char> &memo, int j, bool up) {
    if (memo[j] < 0) memo[j] = bound_implied(w, j, up, &work) ? 1 : 0;
    return memo[j] == 1;
  };
  for (int k = 0; k < w.n && work < kMaxWork; ++k) {
    if (!w.col_alive[k] || w.cols[k].empty() || w.lower[k] == w.upper[k]) continue;
    if ((k & 255) == 0 && w.out_of_time()) break;
    // a dominating column shares every equation of k: search the shortest row
    int best = -1;
    for (const Entry &e : w.cols[k])
      if (best < 0 || w.rows[e.index].size() < w.rows[best].size()) best = e.index;
    if (w.rows[best].size() > kMaxRow) continue;
    for (const Entry &e : std::vector<Entry>(w.rows[best])) {
      const int j = e.index;
      if (j == k || !w.col_alive[j] || !w.col_alive[k] || w.is_int(j) != w.is_int(k)) continue;
      if (w.cost[j] > w.cost[k]) continue;
      if (!dominates(w, sorted[j], sorted[k], &work)) continue;
      // x_k to its lower bound needs a finite one; x_j to its upper likewise
      const bool fix_k = w.lower[k] > -kInf && cached(up_free, j, true);
      const bool fix_j = !fix_k && w.upper[j] < kInf && cached(down_free, k, false);
      if (!fix_k && !fix_j) continue;
      if (fix_k)
        w.fix_col(k, w.lower[k], kLower);
      else
        w.fix_col(j, w.upper[j], kUpper);
      ++count;
      if (!w.col_alive[k]) break;
    }
  }
  w.counts->dominated_cols += count;
  return count;
}

}  // namespace tarvo::presolve
