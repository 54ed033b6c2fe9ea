// Integer problems: a covering row inside a clique. When the binaries of a
// row "sum x >= 1" (all coefficients 1) are all in a row "sum x <= 1", the
// first row already takes the clique's one, so the clique's other binaries
// are 0. Set-partitioning models are full of such pairs once presolve has
// removed some columns; the two rows then become duplicates.
#include <algorithm>

#include "presolve/work_problem.hpp"

namespace tarvo::presolve {
namespace {

constexpr long kMaxWork = 20000000;  // row entries read per call

bool binary(const WorkProblem &w, int j) { return w.is_int(j) && w.lower[j] == 0 && w.upper[j] == 1; }

// Whether row i reads "sum x (side) 1" over binaries with unit coefficients,
// on its lower side (covering) or its upper side (clique).
bool unit_row(const WorkProblem &w, int i, bool lower_side) {
  if (!w.row_alive[i] || (lower_side ? w.row_lower[i] : w.row_upper[i]) != 1) return false;
  for (const Entry &e : w.rows[i])
    if (w.col_alive[e.index] && (e.value != 1 || !binary(w, e.index))) return false;
  return true;
}

}  // namespace

int fix_outside_covered_cliques(WorkProblem &w) {
  if (!w.options.mip || w.out_of_time()) return 0;
  std::vector<char> clique(w.m, 0);
  for (int i = 0; i < w.m; ++i) clique[i] = unit_row(w, i, false);
  std::vector<int> mark(w.n, -1);
  long work = 0;
  int count = 0;
  for (int i = 0; i < w.m && work < kMaxWork; ++i) {
    if (!unit_row(w, i, true)) continue;
    if ((i & 255) == 0 && w.out_of_time()) break;
    // the covering row's live columns, marked; its shortest column holds every candidate clique
    int size = 0, shortest = -1;
    for (const Entry &e : w.rows[i]) {
      if (!w.col_alive[e.index]) continue;
      mark[e.index] = i;
      ++size;
      if (shortest < 0 || w.cols[e.index].size() < w.cols[shortest].size()) shortest = e.index;
    }
    if (size == 0) continue;
    work += static_cast<long>(w.rows[i].size());
    for (const Entry &c : std::vector<Entry>(w.cols[shortest])) {
      const int k = c.index;
      if (k == i || !clique[k] || !w.row_alive[k] || w.rows[k].size() <= static_cast<size_t>(size)) continue;
      work += static_cast<long>(w.rows[k].size());
      int inside = 0;
      for (const Entry &e : w.rows[k]) inside += w.col_alive[e.index] && mark[e.index] == i;
      if (inside < size) continue;
      for (const Entry &e : w.rows[k])
        if (w.col_alive[e.index] && mark[e.index] != i) {
          w.fix_col(e.index, 0.0, kLower, true);
          ++count;
        }
      if (!w.col_alive[shortest]) break;
    }
  }
  w.purge_dead_entries();
  w.counts->clique_fixed += count;
  return count;
}

}  // namespace tarvo::presolve
