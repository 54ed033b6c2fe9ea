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
  // At most `capacity` proofs with `max_nonzeros` coefficients in all, over `n` columns.
  ConflictPool(int n, int capacity, long long max_nonzeros);

  void add(ProofRow &&row);
  int size() const { return static_cast<int>(entries_.size()); }
  const ProofRow &proof(int k) const { return entries_[k].row; }

  // Tightens the propagator's bounds by the proofs that the bound sides
  // `moved` (as BoundPropagator::sides_changed_since gives them) raise the
  // least activity of: the only ones a proof valid for the whole search can
  // newly act on (the rows follow through the propagator). False when a
  // proof cannot hold.
  bool propagate(BoundPropagator &prop, const std::vector<int> &moved);

  long long added() const { return added_; }
  long long prunes() const { return prunes_; }
  // Proofs that almost never tighten or prune cost more than they save: once
  // `kTrialApplies` applications have passed, a pool where fewer than
  // `kMinEffectShare` of them acted retires for good (it empties and takes no
  // more proofs). Checked again after every further `kTrialApplies`.
  static constexpr long long kTrialApplies = 100000;
  static constexpr double kMinEffectShare = 0.002;
  bool retired() const { return retired_; }

 private:
  struct Entry {
    ProofRow row;
    long long last_use;  // propagate() call in which it last pruned or tightened
  };
  // 0: nothing, 1: tightened, -1: no solution
  int apply(const Entry &e, BoundPropagator &prop);
  // Drops the idle half of the proofs (a batch keeps the column index cheap).
  void evict();
  void index(int k);
  // Counts the applications of one propagate() call and retires the pool when they do not pay.
  void tally(long long applies, long long effects);

  int capacity_;
  long long max_nonzeros_, nonzeros_ = 0;
  std::vector<Entry> entries_;
  // proofs by side: 2*j those with a positive coefficient on column j (a
  // raised lower bound tightens them), 2*j+1 those with a negative one
  std::vector<std::vector<int>> by_side_;
  std::vector<long long> seen_;           // per proof: the call that last queued it
  long long calls_ = 0, added_ = 0, prunes_ = 0;
  long long applies_ = 0, effects_ = 0, next_check_ = kTrialApplies;
  bool retired_ = false;
};

}  // namespace tarvo::mip
