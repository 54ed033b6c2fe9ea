// The queue of open nodes: a binary heap of node indices ordered by the
// active node-selection rule, and the deferred list of the local-branching
// window. Changing the rule re-orders the heap in place.
#pragma once

#include <functional>
#include <set>
#include <vector>

#include "mip/node_pool.hpp"

namespace tarvo::mip {

enum class NodeRule { kDepthFirst = 1, kWorstBound = 2, kBestBound = 3, kBestEstimate = 5, kWorstEstimate = 7 };

// What the comparators need beyond the two nodes.
struct QueueContext {
  double global_bound = -1e30;
  double incumbent = 1e30;      // minimisation form, 1e30 none
  double rel_opt_tol = 1e-6;
  int branch_dir = 0;           // TV_IPARAM_MIP_BRANCHDIR
  const std::vector<double> *incumbent_x = nullptr;
};

class NodeQueue {
 public:
  static constexpr int kInitialCapacity = 32001;
  NodeQueue(NodePool &pool, const QueueContext &ctx, NodeRule rule, int window = 0);

  void push(int node);
  int pop();                  // -1 when empty (after refilling from the deferred list)
  void remove(int node);
  void set_rule(NodeRule rule);
  // Re-orders the heap under the active rule (after its context changed).
  void resort();
  NodeRule rule() const { return rule_; }
  bool empty() const { return heap_.empty() && deferred_.empty(); }
  int size() const { return static_cast<int>(heap_.size() + deferred_.size()); }
  int capacity() const { return capacity_; }
  // Smallest bound over every open node (heap and deferred), 1e30 when none.
  double min_bound() const;
  // True when every open node carries all bits of `flag` (false when none is open).
  bool all_flagged(std::uint8_t flag) const;
  // Drops every node whose bound is at or above `cutoff`; returns how many
  // and the smallest bound among them in *min_dropped.
  int prune(double cutoff, double *min_dropped);
  // The key of the local-branching window (distance from the incumbent).
  void set_key(std::function<int(const Node &)> key) { key_ = std::move(key); }
  // True when a should be popped before b under the active rule.
  bool before(const Node &a, const Node &b) const;
  const std::vector<int> &heap() const { return heap_; }

 private:
  void sift_up(int pos);
  void sift_down(int pos);
  void place(int pos, int node);
  bool refill();
  void track(int node);
  void untrack(int node);

  NodePool &pool_;
  const QueueContext &ctx_;
  NodeRule rule_;
  std::vector<int> heap_;
  std::vector<int> deferred_;
  std::vector<int> keys_;  // keys of the deferred nodes
  int capacity_ = kInitialCapacity;
  int window_ = 0, limit_ = 0;
  std::function<int(const Node &)> key_;
  // bounds of every open node, so the least is at hand at each node
  std::multiset<double> bounds_;
  std::vector<std::multiset<double>::iterator> bound_entry_;  // by node index
};

}  // namespace tarvo::mip
