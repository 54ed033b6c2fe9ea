#include "mip/node_presolve.hpp"

#include <algorithm>

#include "mip/conflict_pool.hpp"

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

bool NodePresolve::run(const std::vector<double> &glo, const std::vector<double> &gup,
                       const std::vector<BoundChange> &path, std::vector<BoundChange> *tightened) {
  tightened->clear();
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
