#include "mip/node_presolve.hpp"

#include <algorithm>
#include <cmath>

#include "mip/conflict_graph.hpp"
#include "mip/conflict_pool.hpp"
#include "mip/clique_row.hpp"

namespace tarvo::mip {

namespace {
// clique partition work of the rows, in node budgets
constexpr double kPartitionWork = 20.0;
}  // namespace

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

// Built with the first node: the graph costs a pass over the rows.
void NodePresolve::build_clique_rows() {
  clique_rows_built_ = true;
  graph_ = std::make_unique<ConflictGraph>(p_);
  double work = kPartitionWork * budget_;
  std::vector<int> cols;
  std::vector<double> a;
  // the objective goes in even without cliques: the plain bound of c x < cutoff is news to the rows
  for (int i = 0; i < p_.m && graph_->cliques() > 0; ++i) {
    cols.assign(p_.row_index.begin() + p_.row_start[i], p_.row_index.begin() + p_.row_start[i + 1]);
    for (double side : {1.0, -1.0}) {
      const double b = side > 0 ? p_.row_up[i] : -p_.row_lo[i];
      if (!(std::fabs(b) < 1e30) || work <= 0) continue;
      a.clear();
      for (int k = p_.row_start[i]; k < p_.row_start[i + 1]; ++k) a.push_back(side * p_.row_value[k]);
      CliqueRow row(p_, cols, a, *graph_, &work);
      // a row that is one clique says no more than its plain bound
      if (row.cliques() == 0 || (row.cliques() == 1 && row.grouped() == row.size())) continue;
      rows_.push_back(std::move(row));
      rows_b_.push_back(b);
    }
  }
  cols.clear();
  a.clear();
  for (int j = 0; j < p_.n; ++j)
    if (p_.c[j] != 0) {
      cols.push_back(j);
      a.push_back(p_.c[j]);
    }
  objective_ = std::make_unique<CliqueRow>(p_, cols, a, *graph_, &work);
}

bool NodePresolve::propagate_cliques(double cutoff) {
  if (!clique_rows_built_) build_clique_rows();
  BoundPropagator &prop = *prop_;
  const bool with_objective = objective_ && cutoff < 1e30;
  if (rows_.empty() && !with_objective) return true;
  const int count = static_cast<int>(rows_.size()) + (with_objective ? 1 : 0);
  double work = 0;
  bool cutoff_used = false;  // bounds from the objective: what follows holds only below the cutoff
  // each round's bounds wake the plain rows, whose answer may tighten the clique rows again
  for (int round = 0; round < 8 && work < budget_; ++round) {
    bool changed = false;
    for (int r = 0; r < count && work < budget_; ++r) {
      const bool is_obj = r == static_cast<int>(rows_.size());
      CliqueRow &row = is_obj ? *objective_ : rows_[r];
      const double b = is_obj ? cutoff - p_.obj_constant : rows_b_[r];
      work += row.size();
      bool ok = row.propagate(prop.lower(), prop.upper(), b, int_tol_, &changes_);
      cutoff_used = cutoff_used || (is_obj && (!ok || !changes_.empty()));
      clique_tightened_ += static_cast<long long>(changes_.size());
      for (size_t k = 0; ok && k < changes_.size(); ++k)
        ok = prop.tighten(changes_[k].col, changes_[k].lo, changes_[k].up);
      if (!ok) {
        // with the objective's help the node holds no point below the cutoff: that is its bound
        if (cutoff_used) pruned_bound_ = cutoff;
        ++clique_pruned_;
        return false;
      }
      changed = changed || !changes_.empty();
    }
    if (!changed) break;
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
  if (ok) ok = propagate_cliques(cutoff);
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
