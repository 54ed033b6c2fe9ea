// Light presolve of a node before its LP: bound propagation from the bounds
// the node's path imposes. It runs on a propagator that holds the global
// bounds, so a node costs the rows its changes wake up, not a pass over the
// whole problem; the trail is undone afterwards.
#pragma once

#include <memory>
#include <vector>

#include "mip/bound_propagation.hpp"
#include "mip/node_pool.hpp"

namespace tarvo::mip {

class ConflictPool;

class NodePresolve {
 public:
  // `max_pass`: propagate until nothing changes (bounded by a larger budget)
  // instead of one sweep's worth of work.
  NodePresolve(const MipProblem &p, double int_tol, bool max_pass);
  ~NodePresolve();

  // Propagates the node bounds `path` (each already within the global bounds
  // `glo`/`gup`). False when the node has no solution. Otherwise *tightened
  // lists the integer columns whose bounds the rows imply beyond the path's.
  bool run(const std::vector<double> &glo, const std::vector<double> &gup, const std::vector<BoundChange> &path,
           std::vector<BoundChange> *tightened);
  // Proofs applied after the path's bounds (null: none); the pool outlives this object.
  void set_conflicts(ConflictPool *pool) { conflicts_ = pool; }
  long long columns_tightened() const { return tightened_total_; }
  long long nodes_pruned() const { return pruned_total_; }

 private:
  void rebase(const std::vector<double> &glo, const std::vector<double> &gup);

  const MipProblem &p_;
  double int_tol_;
  double budget_;
  std::unique_ptr<BoundPropagator> prop_;
  ConflictPool *conflicts_ = nullptr;
  std::vector<double> base_lo_, base_up_;
  std::vector<char> seen_;
  long long tightened_total_ = 0, pruned_total_ = 0;
};

}  // namespace tarvo::mip
