// Conflict graph from the rows: in a row side sum a_j x_j <= b (other columns
// at the bound that weakens it least, binaries with a negative coefficient
// complemented) any two binaries whose weights together exceed the capacity
// conflict; the binaries heavier than half the capacity form one clique.
#include "mip/conflict_graph.hpp"

#include <algorithm>
#include <cmath>

namespace tarvo::mip {

namespace {
constexpr double kInf = 1e30;
constexpr size_t kMaxRowLength = 5000;
}  // namespace

ConflictGraph::ConflictGraph(const MipProblem &p) : cliques_of_(2 * static_cast<size_t>(p.n)) {
  std::vector<std::pair<double, int>> items;  // weight, literal
  for (int i = 0; i < p.m; ++i) {
    const int len = p.row_start[i + 1] - p.row_start[i];
    if (len < 2 || static_cast<size_t>(len) > kMaxRowLength) continue;
    for (double side : {1.0, -1.0}) {
      const double b = side > 0 ? p.row_up[i] : -p.row_lo[i];
      if (std::fabs(b) >= kInf) continue;
      double cap = b;
      bool ok = true;
      items.clear();
      for (int q = p.row_start[i]; q < p.row_start[i + 1] && ok; ++q) {
        const int j = p.row_index[q];
        const double a = side * p.row_value[q];
        if (p.is_binary(j)) {
          if (a > 0)
            items.emplace_back(a, 2 * j);
          else if (a < 0)
            items.emplace_back(-a, 2 * j + 1), cap -= a;
          continue;
        }
        const double bound = a > 0 ? p.col_lo[j] : p.col_up[j];
        if (std::fabs(bound) >= kInf)
          ok = false;
        else
          cap -= a * bound;
      }
      if (!ok || items.size() < 2 || cap < 0) continue;
      std::vector<int> clique;
      const double eps = 1e-9 * (1 + std::fabs(cap));
      for (const auto &[w, lit] : items)
        if (w > cap / 2 + eps) clique.push_back(lit);
      if (clique.size() >= 2) add_clique(std::move(clique));
    }
  }
}

void ConflictGraph::add_clique(std::vector<int> lits) {
  std::sort(lits.begin(), lits.end());
  lits.erase(std::unique(lits.begin(), lits.end()), lits.end());
  const int id = static_cast<int>(cliques_.size());
  for (int l : lits) cliques_of_[l].push_back(id);
  cliques_.push_back(std::move(lits));
}

bool ConflictGraph::adjacent(int a, int b) const {
  if (a == b) return false;
  if ((a ^ 1) == b) return true;  // x_j and 1 - x_j
  const auto &ca = cliques_of_[a], &cb = cliques_of_[b];
  const auto &shorter = ca.size() < cb.size() ? ca : cb;
  const int other = ca.size() < cb.size() ? b : a;
  for (int c : shorter)
    if (std::binary_search(cliques_[c].begin(), cliques_[c].end(), other)) return true;
  return false;
}

}  // namespace tarvo::mip
