// Light presolve of a node before its LP: bound propagation from the bounds
// the node's path imposes. It runs on a propagator that holds the global
// bounds, so a node costs the rows its changes wake up, not a pass over the
// whole problem; the trail is undone afterwards. Rows whose binaries fall
// into cliques, and with a cutoff the objective, then take part with their
// clique-strengthened activity (clique_row.hpp).
#pragma once

#include <memory>
#include <vector>

#include "mip/bound_propagation.hpp"
#include "mip/node_pool.hpp"

namespace tarvo::mip {

class ConflictPool;
class ConflictGraph;
class CliqueRow;

class NodePresolve {
 public:
  // `max_pass`: propagate until nothing changes (bounded by a larger budget)
  // instead of one sweep's worth of work.
  NodePresolve(const MipProblem &p, double int_tol, bool max_pass);
  ~NodePresolve();

  // Propagates the node bounds `path` (each already within the global bounds
  // `glo`/`gup`) and, below 1e30, the row c x < cutoff. False when the node
  // has no solution better than the cutoff. Otherwise *tightened lists the
  // integer columns whose bounds are implied beyond the path's.
  bool run(const std::vector<double> &glo, const std::vector<double> &gup, const std::vector<BoundChange> &path,
           double cutoff, std::vector<BoundChange> *tightened);
  // A bound on the objective of the node last pruned: the cutoff when the
  // objective row took part in the proof, else 1e30 (no solution at all).
  double pruned_bound() const { return pruned_bound_; }
  // Proofs applied after the path's bounds (null: none); the pool outlives this object.
  void set_conflicts(ConflictPool *pool) { conflicts_ = pool; }
  long long columns_tightened() const { return tightened_total_; }
  long long nodes_pruned() const { return pruned_total_; }
  // Of those, the bounds the clique rows (objective included) implied and the nodes they pruned.
  long long clique_tightened() const { return clique_tightened_; }
  long long clique_pruned() const { return clique_pruned_; }

 private:
  void rebase(const std::vector<double> &glo, const std::vector<double> &gup);
  void build_clique_rows();
  // Alternates the clique rows with the plain rows their bounds wake up;
  // false when the node is empty.
  bool propagate_cliques(double cutoff);

  const MipProblem &p_;
  double int_tol_;
  double budget_;
  std::unique_ptr<BoundPropagator> prop_;
  ConflictPool *conflicts_ = nullptr;
  std::vector<double> base_lo_, base_up_;
  std::vector<char> seen_;
  long long tightened_total_ = 0, pruned_total_ = 0;
  bool clique_rows_built_ = false;
  std::unique_ptr<ConflictGraph> graph_;
  // row sides a x <= b of the problem, and the objective (its b is the cutoff)
  std::vector<CliqueRow> rows_;
  std::vector<double> rows_b_;
  std::unique_ptr<CliqueRow> objective_;
  std::vector<BoundChange> changes_;
  double pruned_bound_ = 1e30;
  long long clique_tightened_ = 0, clique_pruned_ = 0;
};

}  // namespace tarvo::mip
