// Parallel columns of integer problems: when column o is f times column b,
// cost included, only y = x_b + f x_o matters, and b takes y's place with
// the bounds y can reach. The postsolve splits y again, so the merge is made
// only when every value of y in those bounds splits into values of the right
// types: a continuous b must be at least |f| wide for an integer o (then its
// range covers the gaps between the steps of f x_o), two integers need an
// integral f and b at least |f| - 1 wide (every residue of y modulo f).
#include <cmath>
#include <utility>

#include "presolve/parallel_lines.hpp"
#include "presolve/work_problem.hpp"

namespace tarvo::presolve {
namespace {

bool integral(double v) { return std::fabs(v - std::round(v)) <= 1e-9 * std::fmax(1.0, std::fabs(v)); }

double width(const WorkProblem &w, int j) {
  return w.lower[j] <= -kInf || w.upper[j] >= kInf ? kInf : w.upper[j] - w.lower[j];
}

// Bounds of y = x_b + f x_o.
void merged_bounds(const WorkProblem &w, int b, int o, double f, double *lo, double *hi) {
  const double olo = f > 0 ? w.lower[o] : w.upper[o], ohi = f > 0 ? w.upper[o] : w.lower[o];
  *lo = w.lower[b] <= -kInf || std::fabs(olo) >= kInf ? -kInf : w.lower[b] + f * olo;
  *hi = w.upper[b] >= kInf || std::fabs(ohi) >= kInf ? kInf : w.upper[b] + f * ohi;
}

// Merges o (= f * b) into b; false when the types or sizes forbid it.
bool merge(WorkProblem &w, int b, int o, double f) {
  const bool ib = w.is_int(b), io = w.is_int(o);
  // the continuous column (or, of two integers, the one with the larger
  // coefficient) is the base: the factor becomes at least 1 in size
  if ((ib && !io) || (ib == io && std::fabs(f) < 1)) {
    std::swap(b, o);
    f = 1 / f;
  }
  if (std::fabs(f) > 1e3 || std::fabs(f) < 1e-3) return false;
  if (w.is_int(o)) {
    if (!integral(w.lower[o]) && w.lower[o] > -kInf) return false;
    if (!integral(w.upper[o]) && w.upper[o] < kInf) return false;
    if (w.is_int(b)) {
      if (!integral(f)) return false;
      f = std::round(f);
      if (width(w, b) < std::fabs(f) - 1) return false;
    } else if (width(w, b) < std::fabs(f)) {
      return false;
    }
  }
  double lo, hi;
  merged_bounds(w, b, o, f, &lo, &hi);
  if (std::fabs(lo) > 1e12 && lo > -kInf) return false;
  if (std::fabs(hi) > 1e12 && hi < kInf) return false;
  UndoRecord r{UndoKind::kMergeColumns};
  r.col = b;
  r.col2 = o;
  r.a = f;
  r.lower = w.lower[b];
  r.upper = w.upper[b];
  r.lower2 = w.lower[o];
  r.upper2 = w.upper[o];
  r.int1 = w.is_int(b);
  r.int2 = w.is_int(o);
  w.stack->push(std::move(r));
  w.lower[b] = lo;
  w.upper[b] = hi;
  if (!w.is_int(o) && w.is_int(b)) w.integer[b] = 0;
  w.drop_col(o);
  return true;
}

}  // namespace

int merge_parallel_columns(WorkProblem &w) {
  if (w.out_of_time()) return 0;
  // the cost is one more coordinate after every row
  std::vector<std::vector<Entry>> lines(w.n);
  for (int j = 0; j < w.n; ++j) {
    if (!w.col_alive[j] || w.lower[j] == w.upper[j]) continue;
    lines[j] = w.cols[j];
    if (w.cost[j] != 0) lines[j].push_back({w.m, w.cost[j]});
  }
  int count = 0;
  for (const ParallelGroup &g : find_parallel(lines, w.col_alive)) {
    int base = g.members[0];
    double base_factor = 1;  // base = base_factor * members[0]
    for (size_t k = 1; k < g.members.size(); ++k) {
      const int o = g.members[k];
      const double f = g.factors[k] / base_factor;  // o = f * base
      if (!w.col_alive[base] || !w.col_alive[o]) continue;
      if (!merge(w, base, o, f)) continue;
      ++count;
      // the survivor carries on as the group's base
      if (!w.col_alive[base]) {
        base = o;
        base_factor = g.factors[k];
      }
    }
  }
  w.counts->merged_cols += count;
  return count;
}

}  // namespace tarvo::presolve
