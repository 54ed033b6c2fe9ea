// Node-selection rule switches of the tree (crowding, the switches of rules
// 4 and 6) and the reordering or restart of a stalled search.
#include "mip/tree_search.hpp"

#include <algorithm>
#include <cmath>

#include "common/clock.hpp"
#include "tarvo.h"

namespace tarvo::mip {

namespace {
// LPs without a better bound or incumbent after which the tree counts as stalled.
constexpr double kStallLps = 20000;
}  // namespace

// Crowding switch: too many open nodes make the search dive (worst bound)
// until the queue has shrunk well below the threshold.
void TreeSearch::switch_rules() {
  const int t = set_.anodes_switch;
  if (t < 0) return;
  const int active = queue_->size();
  if (!crowded_ && active > t) {
    crowded_ = true;
    queue_->set_rule(NodeRule::kWorstBound);
  } else if (crowded_ && 10.0 * active < std::max(9.0 * t, std::min(t / 2.0, 1000.0))) {
    crowded_ = false;
    queue_->set_rule(base_rule_);
  }
}

void TreeSearch::set_base_rule(NodeRule rule, int marker) {
  base_rule_ = rule;
  marker_ = marker;
  branches_at_switch_ = out_.branches;
  lps_at_switch_ = out_.lps;
  if (!crowded_) queue_->set_rule(rule);
}

// Best bound proves, best estimate and worst bound find solutions: a large
// tree with a stubborn gap turns to the latter for a while, and comes back
// when that stops paying.
void TreeSearch::switch_node_rule() {
  if ((set_.node_rule != 4 && set_.node_rule != 6) || crowded_) return;
  const bool user_z = set_.cutoff_mode == 2 && set_.cutoff < 1e30;
  if (!inc_.has_incumbent() && !user_z) return;
  const double z = inc_.has_incumbent() ? inc_.incumbent_objective() : set_.cutoff;
  const double gap = std::fabs(z - current_bound()) / (std::fabs(z) + 1);
  const double active = queue_->size(), records = pool_.in_use();
  const double since_branches = out_.branches - branches_at_switch_;
  const double since_switch = out_.lps - lps_at_switch_;
  const double since_progress = out_.lps - std::max(lps_at_switch_, lps_at_improvement_);
  if (marker_ == 3) {
    if (since_branches < 2001 || !(gap > 0.005 || records > 200000 || active > 20000)) return;
    bool go = records > 500000 && active > 7500;
    if (!go) {
      const bool crowded = gap > 1e-4 ? active >= 5001 || records >= 100001 : active >= 20001;
      const double quiet = records < 300001 || active <= 10000 ? 10000 : 4000;
      go = crowded && since_switch >= 1000 && since_progress >= quiet;
    }
    if (!go) return;
    const bool small = active <= 5000 && pool_.reserved() <= 100000;
    set_base_rule(small ? NodeRule::kBestEstimate : NodeRule::kWorstBound, 5);
    log_.text(3, "\nNode selection switched to %s", small ? "best estimate" : "worst bound");
  } else if (marker_ == 5 && inc_.has_incumbent() && since_branches > 5000) {
    const double span = std::max(static_cast<double>(nint_), 10000.0);
    if (since_switch <= span && since_progress <= span) return;
    set_base_rule(NodeRule::kBestBound, 3);
    log_.text(3, "\nNode selection switched to %s", "best bound");
  }
}

// Stalled: no better bound and no new incumbent for a while (longer after
// each reordering).
bool TreeSearch::reorder_due() {
  if (set_.reorder_level <= 0 || reorders_ >= set_.reorder_level || (set_.reorder_mode & 3) == 0) return false;
  const double b = current_bound();
  if (b > progress_bound_ + 1e-6 * std::max(1.0, std::fabs(b))) {
    progress_bound_ = b;
    lps_at_progress_ = out_.lps;
    return false;
  }
  if (out_.lps - std::max(lps_at_progress_, lps_at_improvement_) < kStallLps * (reorders_ + 1)) return false;
  ++reorders_;
  lps_at_progress_ = out_.lps;
  log_.text(2, "\nReordering the tree (%d of %d, mode %d)", reorders_, set_.reorder_level, set_.reorder_mode);
  if (set_.reorder_mode & 2) {
    restart_ = true;
  } else {
    // the comparators read the global bound and the incumbent: a heap built
    // under old values is out of order
    qctx_.global_bound = current_bound();
    queue_->resort();
  }
  return true;
}

// Every open node goes; the root comes back with the global bounds as they
// are now (tightened by reduced costs) and the least open bound.
void TreeSearch::restart_from_root() {
  restart_ = false;
  if (queue_->empty()) return;  // nothing left to search again
  double least = 1e30;
  queue_->prune(-1e300, &least);
  fix_global_by_root_costs();
  const int r = pool_.allocate();
  pool_[r].bound = std::max(root_obj_, std::min(least, cur_bound_));
  queue_->push(r);
}

}  // namespace tarvo::mip
