// Comparators of the node-selection rules with their tie-breaks, the heap
// operations and the local-branching window.
#include "mip/node_queue.hpp"

#include <algorithm>
#include <cmath>

namespace tarvo::mip {
namespace {

// Siblings guided by the incumbent: the child whose range holds the
// incumbent's value of the branching variable comes first. 0 when undecided.
int incumbent_guided(const Node &a, const Node &b, const QueueContext &c) {
  if (a.branch_var < 0 || a.branch_var != b.branch_var || a.parent != b.parent || !c.incumbent_x) return 0;
  if (c.incumbent_x->empty() || (c.branch_dir != 3 && c.branch_dir != 0)) return 0;
  const double v = (*c.incumbent_x)[a.branch_var];
  auto holds = [v](const Node &nd) { return nd.dir == kDirDown ? v <= nd.branch_value : v >= nd.branch_value; };
  if (holds(a) != holds(b)) return holds(a) ? 1 : -1;
  return 0;
}

int direction_preference(const Node &a, const Node &b, int branch_dir) {
  const int first = branch_dir == 1 ? kDirUp : branch_dir == 2 ? kDirDown : 0;
  if (!first || a.dir == b.dir) return 0;
  if (a.dir == first) return 1;
  if (b.dir == first) return -1;
  return 0;
}

}  // namespace

NodeQueue::NodeQueue(NodePool &pool, const QueueContext &ctx, NodeRule rule, int window)
    : pool_(pool), ctx_(ctx), rule_(rule), window_(window), limit_(window) {
  heap_.reserve(capacity_);
}

bool NodeQueue::before(const Node &a, const Node &b) const {
  const QueueContext &c = ctx_;
  const bool priority_first = rule_ == NodeRule::kWorstBound || rule_ == NodeRule::kBestEstimate ||
                              rule_ == NodeRule::kWorstEstimate;
  if (priority_first && (a.flags & kPriority) != (b.flags & kPriority)) return (a.flags & kPriority) != 0;
  auto ties = [&]() {
    if (int g = incumbent_guided(a, b, c)) return g > 0;
    if (rule_ == NodeRule::kBestBound) {
      // prefer deep nodes among near-best bounds so that plunges finish
      if (a.depth > b.depth + 10) return true;
      if (b.depth > a.depth + 10) return false;
    }
    const int fewer = std::min(a.ninf, b.ninf) >= 25 ? 15 : 5;
    if (a.ninf + fewer <= b.ninf) return true;
    if (b.ninf + fewer <= a.ninf) return false;
    if (int d = direction_preference(a, b, c.branch_dir)) return d > 0;
    return std::fabs(a.weight) > std::fabs(b.weight);
  };
  switch (rule_) {
    case NodeRule::kDepthFirst:
      if (a.depth != b.depth) return a.depth > b.depth;
      if (a.bound != b.bound) return a.bound < b.bound;
      return ties();
    case NodeRule::kWorstBound: {
      const double t = c.rel_opt_tol * (std::fabs(c.global_bound) + 1);
      if (c.incumbent < 1e30) {
        const double m = std::max(1e-6, std::min(1e-4, c.rel_opt_tol)) * (std::fabs(c.incumbent) + 1) * 50;
        const bool a_dead = a.bound >= c.incumbent - m, b_dead = b.bound >= c.incumbent - m;
        if (a_dead != b_dead) return b_dead;
      }
      if (std::fabs(a.bound - b.bound) > t) return a.bound > b.bound;
      if (a.depth != b.depth) return a.depth > b.depth;
      if (int d = direction_preference(a, b, c.branch_dir)) return d > 0;
      return std::fabs(a.weight) > std::fabs(b.weight);
    }
    case NodeRule::kBestEstimate:
    case NodeRule::kWorstEstimate: {
      const double ea = a.estimate(), eb = b.estimate();
      if (ea != eb) return rule_ == NodeRule::kBestEstimate ? ea < eb : ea > eb;
      if (a.depth != b.depth) return a.depth > b.depth;
      if (int d = direction_preference(a, b, c.branch_dir)) return d > 0;
      return std::fabs(a.weight) > std::fabs(b.weight);
    }
    case NodeRule::kBestBound:
    default: {
      const double t = (std::max(std::fabs(a.bound), std::fabs(b.bound)) + 1) * std::min(1e-8, c.rel_opt_tol);
      if (std::fabs(a.bound - b.bound) > t) return a.bound < b.bound;
      return ties();
    }
  }
}

void NodeQueue::place(int pos, int node) {
  heap_[pos] = node;
  pool_[node].heap_pos = pos;
}

void NodeQueue::sift_up(int pos) {
  const int node = heap_[pos];
  while (pos > 0) {
    const int parent = (pos - 1) / 2;
    if (!before(pool_[node], pool_[heap_[parent]])) break;
    place(pos, heap_[parent]);
    pos = parent;
  }
  place(pos, node);
}

void NodeQueue::sift_down(int pos) {
  const int count = static_cast<int>(heap_.size());
  const int node = heap_[pos];
  for (;;) {
    int child = 2 * pos + 1;
    if (child >= count) break;
    if (child + 1 < count && before(pool_[heap_[child + 1]], pool_[heap_[child]])) ++child;
    if (!before(pool_[heap_[child]], pool_[node])) break;
    place(pos, heap_[child]);
    pos = child;
  }
  place(pos, node);
}

void NodeQueue::track(int node) {
  if (node >= static_cast<int>(bound_entry_.size())) bound_entry_.resize(node + 1 + node / 2);
  bound_entry_[node] = bounds_.insert(pool_[node].bound);
}

void NodeQueue::untrack(int node) { bounds_.erase(bound_entry_[node]); }

void NodeQueue::push(int node) {
  Node &nd = pool_[node];
  nd.flags |= kInQueue;
  track(node);
  if (limit_ > 0 && key_ && ctx_.incumbent < 1e30) {
    const int key = key_(nd);
    if (key > limit_) {
      nd.heap_pos = -1 - static_cast<int>(deferred_.size());
      deferred_.push_back(node);
      keys_.push_back(key);
      return;
    }
  }
  if (static_cast<int>(heap_.size()) >= capacity_) {
    capacity_ = 2 * capacity_ + 1;
    heap_.reserve(capacity_);
  }
  heap_.push_back(node);
  sift_up(static_cast<int>(heap_.size()) - 1);
}

bool NodeQueue::refill() {
  if (deferred_.empty()) return false;
  const int smallest = *std::min_element(keys_.begin(), keys_.end());
  limit_ = window_ + smallest;
  const bool all = limit_ > std::max(4 * window_, 20);
  if (all) limit_ = 0;
  std::vector<int> keep, keep_keys;
  for (size_t k = 0; k < deferred_.size(); ++k) {
    if (all || keys_[k] <= limit_) {
      heap_.push_back(deferred_[k]);
      sift_up(static_cast<int>(heap_.size()) - 1);
    } else {
      pool_[deferred_[k]].heap_pos = -1 - static_cast<int>(keep.size());
      keep.push_back(deferred_[k]);
      keep_keys.push_back(keys_[k]);
    }
  }
  deferred_.swap(keep);
  keys_.swap(keep_keys);
  return !heap_.empty();
}

int NodeQueue::pop() {
  if (heap_.empty() && !refill()) return -1;
  const int top = heap_[0];
  remove(top);
  return top;
}

void NodeQueue::remove(int node) {
  Node &nd = pool_[node];
  const int pos = nd.heap_pos;
  nd.flags &= static_cast<std::uint8_t>(~kInQueue);
  nd.heap_pos = -1;
  untrack(node);
  if (pos < 0) {
    const int k = -1 - pos;
    const int last = static_cast<int>(deferred_.size()) - 1;
    if (k != last) {
      deferred_[k] = deferred_[last];
      keys_[k] = keys_[last];
      pool_[deferred_[k]].heap_pos = -1 - k;
    }
    deferred_.pop_back();
    keys_.pop_back();
    return;
  }
  const int last = static_cast<int>(heap_.size()) - 1;
  if (pos != last) {
    const int moved = heap_[last];
    place(pos, moved);
    heap_.pop_back();
    sift_down(pos);
    sift_up(pool_[moved].heap_pos);
  } else {
    heap_.pop_back();
  }
}

void NodeQueue::set_rule(NodeRule rule) {
  if (rule == rule_) return;
  rule_ = rule;
  resort();
}

void NodeQueue::resort() {
  for (int pos = static_cast<int>(heap_.size()) / 2 - 1; pos >= 0; --pos) sift_down(pos);
}

double NodeQueue::min_bound() const { return bounds_.empty() ? 1e30 : std::min(1e30, *bounds_.begin()); }

bool NodeQueue::all_flagged(std::uint8_t flag) const {
  if (empty()) return false;
  for (int node : heap_)
    if ((pool_[node].flags & flag) != flag) return false;
  for (int node : deferred_)
    if ((pool_[node].flags & flag) != flag) return false;
  return true;
}

int NodeQueue::prune(double cutoff, double *min_dropped) {
  std::vector<int> doomed;
  for (int node : heap_)
    if (pool_[node].bound >= cutoff) doomed.push_back(node);
  for (int node : deferred_)
    if (pool_[node].bound >= cutoff) doomed.push_back(node);
  for (int node : doomed) {
    *min_dropped = std::min(*min_dropped, pool_[node].bound);
    remove(node);
    pool_.release(node);
  }
  return static_cast<int>(doomed.size());
}

}  // namespace tarvo::mip
