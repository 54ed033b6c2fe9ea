#include "mip/node_presolve.hpp"

#include <algorithm>

#include "mip/conflict_graph.hpp"
#include "mip/conflict_pool.hpp"
#include "mip/objective_propagation.hpp"

namespace tarvo::mip {

NodePresolve::NodePresolve(const MipProblem &p, double int_tol, bool max_pass)
    : p_(p), int_tol_(int_tol), seen_(p.n, 0) {
  // a node LP costs many sweeps over the matrix; propagation gets a small share of that
  const double nz = std::max<double>(1000.0, p.col_start.empty() ? 0.0 : p.col_start[p.n]);
  budget_ = (max_pass ? 4.0 : 1.0) * nz;
}

NodePresolve::~NodePresolve() = default;

void NodePresolve::rebase(const std::vector<double> &glo, const std::vector<double> &gup) {
  if (prop_ && glo == base_lo_ && gup == base_up_) return;
  base_lo_ = glo;
  base_up_ = gup;
  prop_ = std::make_unique<BoundPropagator>(p_, glo, gup, int_tol_);
}

bool NodePresolve::propagate_objective(double cutoff) {
  if (!objective_) {
    // built with the first cutoff: many searches never have one
    graph_ = std::make_unique<ConflictGraph>(p_);
    objective_ = std::make_unique<ObjectivePropagator>(p_, *graph_, int_tol_);
  }
  BoundPropagator &prop = *prop_;
  // each round fixes columns; the rows' answer may raise the bound again
  for (int round = 0; round < 8; ++round) {
    bool ok = objective_->propagate(prop.lower(), prop.upper(), cutoff, &obj_changes_);
    obj_tightened_ += static_cast<long long>(obj_changes_.size());
    for (size_t k = 0; ok && k < obj_changes_.size(); ++k)
      ok = prop.tighten(obj_changes_[k].col, obj_changes_[k].lo, obj_changes_[k].up);
    if (!ok) {
      // what is left holds no point below the cutoff: that is the node's bound
      pruned_bound_ = cutoff;
      ++obj_pruned_;
      return false;
    }
    if (obj_changes_.empty()) break;
  }
  return true;
}

bool NodePresolve::run(const std::vector<double> &glo, const std::vector<double> &gup,
                       const std::vector<BoundChange> &path, double cutoff, std::vector<BoundChange> *tightened) {
  tightened->clear();
  pruned_bound_ = 1e30;
  rebase(glo, gup);
  BoundPropagator &prop = *prop_;
  const std::size_t mark = prop.mark();
  prop.set_work_limit(prop.work() + budget_);
  bool ok = true;
  for (const BoundChange &c : path)
    if (!prop.tighten(c.col, c.lo, c.up)) {
      ok = false;
      break;
    }
  if (ok && conflicts_ && conflicts_->size() > 0) ok = conflicts_->propagate(prop, prop.sides_changed_since(mark));
  if (ok && cutoff < 1e30) ok = propagate_objective(cutoff);
  if (ok) {
    const std::vector<int> changed = prop.changed_since(mark);
    for (int j : changed) {
      if (!p_.is_int[j] || seen_[j]) continue;
      seen_[j] = 1;
      tightened->push_back({j, prop.lower()[j], prop.upper()[j]});
    }
    for (const BoundChange &c : *tightened) seen_[c.col] = 0;
    // a path column the rows did not move is not news
    tightened->erase(std::remove_if(tightened->begin(), tightened->end(),
                                    [&](const BoundChange &c) {
                                      for (const BoundChange &b : path)
                                        if (b.col == c.col) return c.lo <= b.lo && c.up >= b.up;
                                      return c.lo <= glo[c.col] && c.up >= gup[c.col];
                                    }),
                     tightened->end());
    tightened_total_ += static_cast<long long>(tightened->size());
  } else {
    ++pruned_total_;
  }
  prop.undo(mark);
  return ok;
}

}  // namespace tarvo::mip
