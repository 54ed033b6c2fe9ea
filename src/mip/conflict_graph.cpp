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

void NeighbourMarks::mark(int lit) {
  if (++stamp_ == 0) {  // wrapped: old marks could read as new
    std::fill(mark_.begin(), mark_.end(), 0);
    stamp_ = 1;
  }
  for (int c : g_.cliques_of(lit))
    for (int b : g_.clique(c)) mark_[b] = stamp_;
}

int clique_partition(NeighbourMarks &marks, const std::vector<int> &lits, std::vector<int> &group) {
  const int k = static_cast<int>(lits.size());
  group.assign(k, -1);
  int groups = 0;
  std::vector<int> cand, next;  // later unplaced positions adjacent to every member so far, in order
  for (int s = 0; s < k; ++s) {
    if (group[s] >= 0) continue;
    group[s] = groups;
    cand.clear();
    for (int t = s + 1; t < k; ++t)
      if (group[t] < 0) cand.push_back(t);
    int member = s;
    while (!cand.empty()) {
      marks.mark(lits[member]);
      next.clear();
      for (int t : cand)
        if (marks.marked(lits[t])) next.push_back(t);
      cand.swap(next);
      if (cand.empty()) break;
      member = cand.front();
      group[member] = groups;
      cand.erase(cand.begin());
    }
    ++groups;
  }
  return groups;
}

}  // namespace tarvo::mip
