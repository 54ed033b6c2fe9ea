// Open nodes of the branch-and-bound tree: fixed-size records addressed by
// index, with the bound changes of the path from the root and the parent's
// packed basis kept beside them under handles.
#pragma once

#include <cstdint>
#include <vector>

#include "simplex/lp_solver.hpp"

namespace tarvo::mip {

struct BoundChange {
  int col;
  double lo, up;
};

enum NodeDir : std::uint8_t { kDirRoot = 0, kDirDown = 1, kDirUp = 2 };
// kBenignError: the node's relaxation had no verdict once; it waits for another try.
enum NodeFlag : std::uint8_t { kInQueue = 2, kPriority = 4, kBenignError = 8 };

struct Node {
  std::uint32_t tree = 0;
  std::uint32_t depth = 0;
  double bound = -1e30;        // lower bound of the subtree (the parent's value or a trial solve's)
  double parent_obj = -1e30;   // the parent's relaxation value, for the pseudo-costs
  std::int16_t ninf = 0;       // integer infeasibilities of the parent's point
  float weight = 0;            // fractionality of the branching variable
  float estimate_inc = 0;      // bound + estimate_inc estimates the best integer value below
  double branch_value = 0;     // the bound this node imposes on branch_var
  int branch_var = -1;
  int heap_pos = -1;
  std::uint8_t dir = kDirRoot;
  std::uint8_t flags = 0;
  int parent = -1;
  int changes = -1;            // handle of the bound changes, -1 none
  int basis = -1;              // handle of the packed basis, -1 none
  double estimate() const { return bound + estimate_inc; }
};

// A basis packed 2 bits per entry (columns, then the problem's rows): at
// lower 0, basic 1, at upper 2, other nonbasic 3. Cut rows come and go in the
// node LP, so they are kept by cut index, and only those whose slack is
// nonbasic (the others are basic); `epoch` is the pool's numbering they use.
struct PackedBasis {
  std::vector<std::uint8_t> bits;
  std::vector<std::pair<int, std::uint8_t>> cuts;  // (cut index, packed state), by index
  int cols = 0, rows = 0;
  unsigned epoch = 0;
};
// Packs `b` over `cols` columns, `rows` problem rows and the cut rows after
// them, held by the cuts `row_cuts` (in row order). False when the basis
// does not have exactly one basic entry per row: such a basis is not stored.
bool pack_basis(const simplex::LpBasis &b, int cols, int rows, const std::vector<int> &row_cuts, unsigned epoch,
                PackedBasis *out);
// Unpacks into the LP's terms for an LP whose cut rows are held by
// `row_cuts`; a nonbasic state at an infinite bound moves to the other bound
// (free: kFreeZero). False when the shapes differ or a cut with a nonbasic
// slack in `p` has no row.
bool unpack_basis(const PackedBasis &p, const std::vector<double> &col_lo, const std::vector<double> &col_up,
                  const std::vector<int> &row_cuts, simplex::LpBasis *out);

class NodePool {
 public:
  explicit NodePool(int capacity = 1024);
  int allocate();                       // index of a fresh record
  void release(int index);              // frees the record and what it holds
  Node &operator[](int index) { return nodes_[index]; }
  const Node &operator[](int index) const { return nodes_[index]; }
  int in_use() const { return in_use_; }
  int capacity() const { return static_cast<int>(nodes_.size()); }
  // Records the array holds before it must be enlarged.
  int reserved() const { return static_cast<int>(nodes_.capacity()); }
  // Number of times the record array was enlarged (for the log).
  int grow_count() const { return grows_; }

  int store_changes(std::vector<BoundChange> &&changes);
  const std::vector<BoundChange> &changes(int handle) const { return change_store_[handle]; }
  int store_basis(PackedBasis &&basis);
  // Frees the node's stored basis (it is then solved from the basis the LP holds).
  void drop_basis(int index);
  const PackedBasis &basis(int handle) const { return basis_store_[handle]; }

 private:
  std::vector<Node> nodes_;
  std::vector<int> free_;
  std::vector<std::vector<BoundChange>> change_store_;
  std::vector<int> free_changes_;
  std::vector<PackedBasis> basis_store_;
  std::vector<int> free_bases_;
  int in_use_ = 0, grows_ = 0;
};

}  // namespace tarvo::mip
