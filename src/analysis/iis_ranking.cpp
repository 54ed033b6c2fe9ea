// Priorities and block decomposition for the IIS analysis.
#include "analysis/iis_ranking.hpp"

#include <algorithm>
#include <numeric>
#include <queue>

namespace tarvo::analysis {
namespace {

std::vector<int> row_counts(const base::ModelData &d) {
  std::vector<int> cnt(d.m, 0);
  for (int j = 0; j < d.n; ++j)
    for (int k = d.start[j]; k < d.start[j] + d.length[j]; ++k) cnt[d.rowidx[k]]++;
  return cnt;
}

int find(std::vector<int> &parent, int x) {
  while (parent[x] != x) x = parent[x] = parent[parent[x]];
  return x;
}

}  // namespace

void rank_by_nonzeros(const base::ModelData &d, const ElasticLp &lp, std::vector<int> &ids) {
  const std::vector<int> rc = row_counts(d);
  auto weight = [&](int id) {
    const int k = lp.index(id);
    return lp.kind(id) == MemberKind::kRow ? rc[k] : d.length[k];
  };
  std::stable_sort(ids.begin(), ids.end(), [&](int a, int b) { return weight(a) > weight(b); });
}

void rank_by_triangular_form(const base::ModelData &d, const ElasticLp &lp, std::vector<int> &ids) {
  // Greedy peeling: repeatedly take the row with the fewest columns not yet
  // covered; its place in that sequence is its rank.
  const int m = d.m, n = d.n;
  std::vector<std::vector<int>> rows_of(n);
  std::vector<int> open = row_counts(d);
  for (int j = 0; j < n; ++j)
    for (int k = d.start[j]; k < d.start[j] + d.length[j]; ++k) rows_of[j].push_back(d.rowidx[k]);
  std::vector<std::vector<int>> cols_of(m);
  for (int j = 0; j < n; ++j)
    for (int i : rows_of[j]) cols_of[i].push_back(j);
  using Entry = std::pair<int, int>;  // (open columns, row)
  std::priority_queue<Entry, std::vector<Entry>, std::greater<>> heap;
  for (int i = 0; i < m; ++i) heap.push({open[i], i});
  std::vector<int> rank(m, 0);
  std::vector<char> done(m, 0), covered(n, 0);
  int next = 0;
  while (!heap.empty()) {
    const auto [cnt, i] = heap.top();
    heap.pop();
    if (done[i] || cnt != open[i]) continue;  // stale entry
    done[i] = 1;
    rank[i] = next++;
    for (int j : cols_of[i]) {
      if (covered[j]) continue;
      covered[j] = 1;
      for (int r : rows_of[j])
        if (!done[r]) heap.push({--open[r], r});
    }
  }
  std::stable_sort(ids.begin(), ids.end(), [&](int a, int b) {
    const bool ra = lp.kind(a) == MemberKind::kRow, rb = lp.kind(b) == MemberKind::kRow;
    if (ra != rb) return ra;
    return ra && rank[lp.index(a)] > rank[lp.index(b)];
  });
}

int independent_blocks(const base::ModelData &d, const ElasticLp &lp, std::vector<int> &block) {
  const int m = d.m, n = d.n;
  // Union-find over rows (0..m-1) and columns (m..m+n-1).
  std::vector<int> parent(m + n);
  std::iota(parent.begin(), parent.end(), 0);
  for (int j = 0; j < n; ++j)
    for (int k = d.start[j]; k < d.start[j] + d.length[j]; ++k) {
      const int a = find(parent, d.rowidx[k]), b = find(parent, m + j);
      if (a != b) parent[a] = b;
    }
  std::vector<int> number(m + n, -1);
  int blocks = 0;
  for (int i = 0; i < m; ++i) {
    const int r = find(parent, i);
    if (number[r] < 0) number[r] = blocks++;
  }
  block.assign(lp.members(), -1);
  for (int id = 0; id < lp.members(); ++id) {
    const int k = lp.index(id);
    const int root = find(parent, lp.kind(id) == MemberKind::kRow ? k : m + k);
    block[id] = number[root];
  }
  return blocks;
}

}  // namespace tarvo::analysis
