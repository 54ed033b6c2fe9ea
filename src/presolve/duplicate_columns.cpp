// Duplicate columns of a problem: columns whose entries (and, when asked,
// costs) are multiples of each other.
#include "presolve/parallel_lines.hpp"
#include "presolve/presolve.hpp"

namespace tarvo::presolve {

std::vector<std::vector<int>> duplicate_columns(const LinearProblem &p, bool with_cost) {
  std::vector<std::vector<Entry>> cols(p.n);
  std::vector<char> alive(p.n, 1);
  for (int j = 0; j < p.n; ++j) {
    for (int k = p.start[j]; k < p.start[j + 1]; ++k)
      if (p.value[k] != 0) cols[j].push_back({p.index[k], p.value[k]});
    // the cost is one more coordinate, placed after every row
    if (with_cost && p.cost[j] != 0) cols[j].push_back({p.m, p.cost[j]});
  }
  std::vector<std::vector<int>> groups;
  for (const ParallelGroup &g : find_parallel(cols, alive)) groups.push_back(g.members);
  return groups;
}

}  // namespace tarvo::presolve
