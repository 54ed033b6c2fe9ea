// Block detection by connected components of columns over the non-linking rows.
#include "mip/block_structure.hpp"

#include <algorithm>
#include <numeric>

namespace tarvo::mip {
namespace {

constexpr int kMaxThresholds = 16;  // row lengths tried as the linking cut-off

int find_root(std::vector<int> &parent, int j) {
  while (parent[j] != j) {
    parent[j] = parent[parent[j]];
    j = parent[j];
  }
  return j;
}

// Blocks when the rows with length >= min_linking_length link; empty when
// they do not qualify.
BlockStructure split(const MipProblem &p, int min_linking_length, double max_block_share) {
  BlockStructure b;
  std::vector<int> parent(p.n);
  std::iota(parent.begin(), parent.end(), 0);
  std::vector<char> in_row(p.n, 0);
  for (int i = 0; i < p.m; ++i) {
    const int len = p.row_start[i + 1] - p.row_start[i];
    if (len >= min_linking_length) {
      b.linking_rows.push_back(i);
      continue;
    }
    if (len == 0) continue;
    const int first = find_root(parent, p.row_index[p.row_start[i]]);
    for (int k = p.row_start[i]; k < p.row_start[i + 1]; ++k) {
      const int j = p.row_index[k];
      in_row[j] = 1;
      const int r = find_root(parent, j);
      if (r != first) parent[r] = first;
    }
  }
  std::vector<int> block_of_root(p.n, -1);
  int loose = -1;  // the block of the columns in no row
  for (int j = 0; j < p.n; ++j) {
    int *slot;
    if (!in_row[j]) {
      slot = &loose;
    } else {
      slot = &block_of_root[find_root(parent, j)];
    }
    if (*slot < 0) {
      *slot = b.blocks();
      b.cols.emplace_back();
      b.rows.emplace_back();
    }
    b.cols[*slot].push_back(j);
  }
  for (int i = 0; i < p.m; ++i) {
    const int len = p.row_start[i + 1] - p.row_start[i];
    if (len >= min_linking_length || len == 0) continue;
    b.rows[block_of_root[find_root(parent, p.row_index[p.row_start[i]])]].push_back(i);
  }
  size_t largest = 0;
  for (const auto &c : b.cols) largest = std::max(largest, c.size());
  if (b.blocks() < 2 || static_cast<double>(largest) > max_block_share * p.n) return BlockStructure{};
  return b;
}

}  // namespace

BlockStructure find_blocks(const MipProblem &p, double max_block_share, double max_linking_share) {
  if (p.n < 2) return {};
  std::vector<int> lengths;
  for (int i = 0; i < p.m; ++i) lengths.push_back(p.row_start[i + 1] - p.row_start[i]);
  std::sort(lengths.begin(), lengths.end(), std::greater<>());
  lengths.erase(std::unique(lengths.begin(), lengths.end()), lengths.end());
  const double max_linking = std::max(2.0, max_linking_share * p.m);
  int tries = 0;
  BlockStructure b = split(p, p.n + 1, max_block_share);
  for (size_t t = 0; b.blocks() == 0 && t < lengths.size() && tries < kMaxThresholds; ++t, ++tries) {
    if (lengths[t] <= 1) break;
    int linking = 0;
    for (int i = 0; i < p.m; ++i) linking += p.row_start[i + 1] - p.row_start[i] >= lengths[t];
    if (linking > max_linking) break;
    b = split(p, lengths[t], max_block_share);
  }
  return b;
}

MipProblem block_problem(const MipProblem &p, const BlockStructure &b, int block, const std::vector<double> &cost,
                         const std::vector<int> &extra_rows, const std::vector<double> &lo,
                         const std::vector<double> &up) {
  MipProblem q;
  const std::vector<int> &cols = b.cols[block];
  std::vector<int> local(p.n, -1);
  for (size_t k = 0; k < cols.size(); ++k) local[cols[k]] = static_cast<int>(k);
  q.n = static_cast<int>(cols.size());
  std::vector<std::vector<std::pair<int, double>>> entries(q.n);
  auto add_row = [&](int i, double row_lo, double row_up) {
    bool any = false;
    for (int k = p.row_start[i]; k < p.row_start[i + 1]; ++k)
      if (local[p.row_index[k]] >= 0) {
        entries[local[p.row_index[k]]].emplace_back(q.m, p.row_value[k]);
        any = true;
      }
    if (!any) return;
    q.row_lo.push_back(row_lo);
    q.row_up.push_back(row_up);
    ++q.m;
  };
  for (int i : b.rows[block]) add_row(i, p.row_lo[i], p.row_up[i]);
  for (size_t e = 0; e < extra_rows.size(); ++e) add_row(extra_rows[e], lo[e], up[e]);
  q.col_start.assign(1, 0);
  for (int k = 0; k < q.n; ++k) {
    const int j = cols[k];
    q.c.push_back(cost[j]);
    q.col_lo.push_back(p.col_lo[j]);
    q.col_up.push_back(p.col_up[j]);
    q.is_int.push_back(p.is_int[j]);
    for (const auto &[row, v] : entries[k]) {
      q.col_index.push_back(row);
      q.col_value.push_back(v);
    }
    q.col_start.push_back(static_cast<int>(q.col_index.size()));
  }
  q.build_rows();
  return q;
}

}  // namespace tarvo::mip
