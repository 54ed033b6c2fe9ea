// A bounded store of dual proofs that node presolve applies to each node's
// bounds. Proofs that have not pruned or tightened anything for a long time
// make room for new ones.
#pragma once

#include <vector>

#include "mip/bound_propagation.hpp"
#include "mip/dual_proof.hpp"

namespace tarvo::mip {

class ConflictPool {
 public:
  // At most `capacity` proofs with `max_nonzeros` coefficients in all.
  ConflictPool(int capacity, long long max_nonzeros);

  void add(ProofRow &&row);
  int size() const { return static_cast<int>(entries_.size()); }
  const ProofRow &proof(int k) const { return entries_[k].row; }

  // Tightens the propagator's bounds by every proof (the rows follow through
  // the propagator); false when a proof cannot hold within them.
  bool propagate(BoundPropagator &prop);

  long long added() const { return added_; }
  long long prunes() const { return prunes_; }

 private:
  struct Entry {
    ProofRow row;
    long long last_use;  // propagate() call in which it last pruned or tightened
  };
  // 0: nothing, 1: tightened, -1: no solution
  int apply(const Entry &e, BoundPropagator &prop);
  void evict_one();

  int capacity_;
  long long max_nonzeros_, nonzeros_ = 0;
  std::vector<Entry> entries_;
  long long calls_ = 0, added_ = 0, prunes_ = 0;
};

}  // namespace tarvo::mip
