// Dominated columns of integer problems. Column j dominates column k when
// both have the same type, c_j <= c_k and, in every row read as "<=",
// a_ij <= a_ik (equal in equations and ranged rows). Raising x_j and lowering
// x_k by the same step then never hurts a row or the objective, so some
// optimal solution has x_j at its upper or x_k at its lower bound. That
// becomes a fixing when one side of the "or" always leads to the other:
//  - u_j infinite, or implied by the rows (the step keeps the rows feasible,
//    so it cannot pass that bound either): x_k = l_k; mirrored, x_j = u_j;
//  - c_k >= 0 and, with x_j = u_j, every row that lowering x_k could hurt
//    holds whatever the other columns do: x_k = l_k (set covering: a column
//    whose rows another cheaper column covers); mirrored with c_j <= 0.
// Equal costs make the dominance weak; the rules hold all the same, and the
// fixings are made one at a time so that two twins never fix each other.
#include <algorithm>
#include <cmath>
#include <cstdint>

#include "presolve/parallel_lines.hpp"
#include "presolve/work_problem.hpp"

namespace tarvo::presolve {
namespace {

constexpr long kMaxWork = 30000000;  // candidate visits and entry comparisons per call
constexpr size_t kMaxRow = 5000;     // longer rows are not searched for candidates

// Whether a (in column j) may stand in for b (in column k) in row i.
bool entry_ok(const WorkProblem &w, int i, double a, double b) {
  const bool lo = w.row_lower[i] > -kInf, up = w.row_upper[i] < kInf;
  const double slack = 1e-12 * std::fmax(1.0, std::fabs(b));
  if (up && !lo) return a <= b + slack;
  if (lo && !up) return a >= b - slack;
  return a == b;
}

// Walks the rows of two row-sorted columns together: f(row, a_j, a_k) with 0
// for a missing entry; stops (false) when f does.
template <class F>
bool for_rows(const std::vector<Entry> &cj, const std::vector<Entry> &ck, int m, long *work, F f) {
  size_t p = 0, q = 0;
  while (p < cj.size() || q < ck.size()) {
    ++*work;
    const int rj = p < cj.size() ? cj[p].index : m, rk = q < ck.size() ? ck[q].index : m;
    const int i = std::min(rj, rk);
    if (!f(i, rj == i ? cj[p].value : 0.0, rk == i ? ck[q].value : 0.0)) return false;
    if (rj == i) ++p;
    if (rk == i) ++q;
  }
  return true;
}

// A row index hashed to one of 64 bits: a column whose bits miss a bit of
// the rows it must share cannot dominate.
uint64_t row_bit(int i) { return 1ULL << ((static_cast<uint64_t>(i) * 0x9E3779B97F4A7C15ULL) >> 58); }

// Whether the rows alone keep x_j below u_j (up) or above l_j (!up).
bool bound_implied(const WorkProblem &w, RowActivities &acts, int j, bool up, long *work) {
  const double bound = up ? w.upper[j] : w.lower[j];
  if (std::fabs(bound) >= kInf) return true;
  for (const Entry &e : w.cols[j]) {
    ++*work;
    // the row's activity without column j
    Activity rest = acts.of(e.index);
    RowActivities::without(&rest, e.value, w.lower[j], w.upper[j]);
    double lo, hi;
    w.implied_by_activity(e.index, e.value, rest, &lo, &hi);
    if (up ? hi < kInf && hi <= bound + w.tol(bound) : lo > -kInf && lo >= bound - w.tol(bound)) return true;
  }
  return false;
}

// Lowest (or highest) activity of row i with x_j = vj and x_k = vk.
double extreme_with(const WorkProblem &w, RowActivities &acts, int i, bool lowest, int j, double aj, double vj, int k,
                    double ak, double vk) {
  const Activity &a = acts.of(i);
  double sum = lowest ? a.min : a.max;
  int ninf = lowest ? a.ninf_min : a.ninf_max;
  const int cols[2] = {j, k};
  const double coef[2] = {aj, ak}, val[2] = {vj, vk};
  for (int t = 0; t < 2; ++t) {
    if (coef[t] == 0) continue;
    double lo, hi;
    bool lo_inf, hi_inf;
    RowActivities::contribution(coef[t], w.lower[cols[t]], w.upper[cols[t]], &lo, &lo_inf, &hi, &hi_inf);
    if (lowest ? lo_inf : hi_inf) --ninf; else sum -= lowest ? lo : hi;
    sum += coef[t] * val[t];
  }
  if (ninf > 0) return lowest ? -kInf : kInf;
  return sum;
}

// With x_j at u_j, moving x_k to l_k (k_moves) or x_j to u_j with x_k at l_k
// (!k_moves) keeps every row the move could hurt, whatever the other columns.
bool move_is_safe(const WorkProblem &w, RowActivities &acts, const std::vector<Entry> &cj,
                  const std::vector<Entry> &ck, int j, int k, bool k_moves, long *work) {
  const double uj = w.upper[j], lk = w.lower[k];
  return for_rows(cj, ck, w.m, work, [&](int i, double aj, double ak) {
    const double a = k_moves ? -ak : aj;  // the change of the row per unit of the move
    const double rl = w.row_lower[i], ru = w.row_upper[i];
    if (a > 0 && ru < kInf) return extreme_with(w, acts, i, false, j, aj, uj, k, ak, lk) <= ru + w.tol(ru);
    if (a < 0 && rl > -kInf) return extreme_with(w, acts, i, true, j, aj, uj, k, ak, lk) >= rl - w.tol(rl);
    return true;
  });
}

}  // namespace

int fix_dominated_columns(WorkProblem &w) {
  if (w.out_of_time()) return 0;
  std::vector<std::vector<Entry>> sorted(w.n);
  std::vector<uint64_t> bits(w.n, 0);
  for (int j = 0; j < w.n; ++j) {
    if (!w.col_alive[j]) continue;
    sorted[j] = w.cols[j];
    std::sort(sorted[j].begin(), sorted[j].end(), [](const Entry &a, const Entry &b) { return a.index < b.index; });
    for (const Entry &e : sorted[j]) bits[j] |= row_bit(e.index);
  }
  RowActivities acts(w);
  // per column: -1 unknown, 0 no, 1 yes (upper of a dominating j, lower of a dominated k)
  std::vector<signed char> up_free(w.n, -1), down_free(w.n, -1);
  int count = 0;
  long work = 0;
  auto cached = [&](std::vector<signed char> &memo, int j, bool up) {
    if (memo[j] < 0) memo[j] = bound_implied(w, acts, j, up, &work) ? 1 : 0;
    return memo[j] == 1;
  };
  auto fix = [&](int j, bool at_upper) {
    acts.forget_column(j);
    w.fix_col(j, at_upper ? w.upper[j] : w.lower[j], at_upper ? kUpper : kLower, true);
    ++count;
  };
  // j dominates k: fixes one of them when a rule allows
  auto try_pair = [&](int j, int k) {
    if (!for_rows(sorted[j], sorted[k], w.m, &work,
                  [&](int i, double aj, double ak) { return entry_ok(w, i, aj, ak); }))
      return;
    const bool finite = w.upper[j] < kInf && w.lower[k] > -kInf;
    if (w.lower[k] > -kInf && cached(up_free, j, true))
      fix(k, false);
    else if (w.upper[j] < kInf && cached(down_free, k, false))
      fix(j, true);
    else if (finite && w.cost[k] >= 0 && move_is_safe(w, acts, sorted[j], sorted[k], j, k, true, &work))
      fix(k, false);
    else if (finite && w.cost[j] <= 0 && move_is_safe(w, acts, sorted[j], sorted[k], j, k, false, &work))
      fix(j, true);
  };
  // identical columns first (found by hashing, however long their rows):
  // the cheapest dominates the others
  for (const ParallelGroup &g : find_parallel(sorted, w.col_alive)) {
    std::vector<int> same;
    for (size_t t = 0; t < g.members.size(); ++t)
      if (g.factors[t] == 1 && w.is_int(g.members[t]) == w.is_int(g.members[0])) same.push_back(g.members[t]);
    std::stable_sort(same.begin(), same.end(), [&](int a, int b) { return w.cost[a] < w.cost[b]; });
    size_t lead = 0;
    for (size_t t = 1; t < same.size() && work < kMaxWork; ++t) {
      while (lead < t && !w.col_alive[same[lead]]) ++lead;
      if (lead < t && w.col_alive[same[t]]) try_pair(same[lead], same[t]);
    }
  }
  std::vector<int> candidates;
  for (int k = 0; k < w.n && work < kMaxWork; ++k) {
    if (!w.col_alive[k] || w.cols[k].empty() || w.lower[k] == w.upper[k]) continue;
    if ((k & 255) == 0 && w.out_of_time()) break;
    // rows where a dominating column needs an entry of its own; the
    // shortest of them holds every candidate
    // (without such rows, the dominating columns that share a row with k)
    uint64_t need = 0;
    int best = -1, shortest = -1;
    for (const Entry &e : w.cols[k]) {
      if (shortest < 0 || w.rows[e.index].size() < w.rows[shortest].size()) shortest = e.index;
      if (entry_ok(w, e.index, 0, e.value)) continue;
      need |= row_bit(e.index);
      if (best < 0 || w.rows[e.index].size() < w.rows[best].size()) best = e.index;
    }
    if (best < 0) best = shortest;
    if (w.rows[best].size() > kMaxRow) continue;
    work += static_cast<long>(w.rows[best].size());
    candidates.clear();
    for (const Entry &e : w.rows[best]) {
      const int j = e.index;
      if (j != k && w.cost[j] <= w.cost[k] && (need & ~bits[j]) == 0 && w.is_int(j) == w.is_int(k))
        candidates.push_back(j);
    }
    for (int j : candidates) {
      if (!w.col_alive[j]) continue;
      try_pair(j, k);
      if (!w.col_alive[k]) break;
    }
  }
  w.purge_dead_entries();
  w.counts->dominated_cols += count;
  return count;
}

}  // namespace tarvo::presolve
