// Node records, their free lists, and the packing of node bases.
#include "mip/node_pool.hpp"

#include <algorithm>

#include "simplex/glp.hpp"

namespace tarvo::mip {
namespace {

constexpr std::uint8_t kPackLower = 0, kPackBasic = 1, kPackUpper = 2, kPackOther = 3;

std::uint8_t pack_state(signed char s) {
  switch (s) {
    case simplex::kBasic: return kPackBasic;
    case simplex::kAtLower: return kPackLower;
    case simplex::kAtUpper: return kPackUpper;
    default: return kPackOther;
  }
}

template <class T>
int store_in(std::vector<T> &store, std::vector<int> &free_list, T &&item) {
  if (!free_list.empty()) {
    const int h = free_list.back();
    free_list.pop_back();
    store[h] = std::move(item);
    return h;
  }
  store.push_back(std::move(item));
  return static_cast<int>(store.size()) - 1;
}

signed char unpack_state(std::uint8_t v) {
  return v == kPackBasic ? simplex::kBasic : v == kPackUpper ? simplex::kAtUpper
         : v == kPackLower ? simplex::kAtLower : simplex::kFreeZero;
}

}  // namespace

bool pack_basis(const simplex::LpBasis &b, int cols, int rows, const std::vector<int> &row_cuts, unsigned epoch,
                PackedBasis *out) {
  const int total = cols + rows;
  const int cut_rows = static_cast<int>(row_cuts.size());
  if (static_cast<int>(b.state.size()) != total + cut_rows) return false;
  out->cols = cols;
  out->rows = rows;
  out->epoch = epoch;
  out->bits.assign((total + 3) / 4, 0);
  out->cuts.clear();
  int basic = 0;
  for (int k = 0; k < total; ++k) {
    const std::uint8_t v = pack_state(b.state[k]);
    basic += v == kPackBasic;
    out->bits[k >> 2] |= static_cast<std::uint8_t>(v << ((k & 3) * 2));
  }
  for (int r = 0; r < cut_rows; ++r) {
    const std::uint8_t v = pack_state(b.state[total + r]);
    if (v == kPackBasic)
      ++basic;
    else
      out->cuts.emplace_back(row_cuts[r], v);
  }
  std::sort(out->cuts.begin(), out->cuts.end());
  return basic == rows + cut_rows;
}

bool unpack_basis(const PackedBasis &p, const std::vector<double> &col_lo, const std::vector<double> &col_up,
                  const std::vector<int> &row_cuts, simplex::LpBasis *out) {
  const int total = p.cols + p.rows;
  out->state.assign(total + row_cuts.size(), simplex::kBasic);
  for (int k = 0; k < total; ++k) {
    signed char s = unpack_state((p.bits[k >> 2] >> ((k & 3) * 2)) & 3);
    if (k < p.cols && k < static_cast<int>(col_lo.size())) {
      const bool lo_inf = col_lo[k] <= -1e30, up_inf = col_up[k] >= 1e30;
      if (s == simplex::kAtUpper && up_inf) s = lo_inf ? simplex::kFreeZero : simplex::kAtLower;
      if (s == simplex::kAtLower && lo_inf) s = up_inf ? simplex::kFreeZero : simplex::kAtUpper;
    }
    out->state[k] = s;
  }
  // cut rows: nonbasic as stored, every other basic (rows added since enter with basic slacks)
  size_t placed = 0;
  for (size_t r = 0; r < row_cuts.size(); ++r) {
    const auto it = std::lower_bound(p.cuts.begin(), p.cuts.end(), std::make_pair(row_cuts[r], std::uint8_t{0}));
    if (it == p.cuts.end() || it->first != row_cuts[r]) continue;
    out->state[total + r] = unpack_state(it->second);
    ++placed;
  }
  return placed == p.cuts.size();
}

NodePool::NodePool(int capacity) { nodes_.reserve(capacity > 0 ? capacity : 1); }

int NodePool::allocate() {
  ++in_use_;
  if (!free_.empty()) {
    const int i = free_.back();
    free_.pop_back();
    nodes_[i] = Node{};
    return i;
  }
  if (nodes_.size() == nodes_.capacity()) ++grows_;
  nodes_.emplace_back();
  return static_cast<int>(nodes_.size()) - 1;
}

void NodePool::release(int index) {
  Node &nd = nodes_[index];
  if (nd.changes >= 0) {
    change_store_[nd.changes].clear();
    change_store_[nd.changes].shrink_to_fit();
    free_changes_.push_back(nd.changes);
  }
  if (nd.basis >= 0) {
    basis_store_[nd.basis].bits.clear();
    basis_store_[nd.basis].bits.shrink_to_fit();
    free_bases_.push_back(nd.basis);
  }
  nd.changes = nd.basis = -1;
  nd.flags = 0;
  free_.push_back(index);
  --in_use_;
}

void NodePool::drop_basis(int index) {
  Node &nd = nodes_[index];
  if (nd.basis < 0) return;
  basis_store_[nd.basis].bits.clear();
  basis_store_[nd.basis].bits.shrink_to_fit();
  free_bases_.push_back(nd.basis);
  nd.basis = -1;
}

int NodePool::store_changes(std::vector<BoundChange> &&changes) {
  return store_in(change_store_, free_changes_, std::move(changes));
}

int NodePool::store_basis(PackedBasis &&basis) { return store_in(basis_store_, free_bases_, std::move(basis)); }

}  // namespace tarvo::mip
