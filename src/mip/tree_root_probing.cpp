// Root phases around the relaxation: the enumeration solver of pure binary
// problems before it, probing on the binaries after it.
#include "mip/tree_search.hpp"

#include <algorithm>
#include <cmath>

#include "common/clock.hpp"
#include "mip/bound_propagation.hpp"
#include "mip/heur_common.hpp"
#include "tarvo.h"

namespace tarvo::mip {

namespace {
// Binaries probed in one pass of the root probe loop, and its passes.
constexpr int kMaxProbes = 2000;
constexpr int kProbePasses = 2;
}  // namespace

using simplex::LpStatus;

// Probing: each unfixed binary is set to 0 and to 1 in turn and the rows
// propagated; a side that empties fixes the binary the other way, and a
// bound that both sides imply holds for every solution.
void TreeSearch::probe_root() {
  const int nnz = p_.col_start.empty() ? 0 : p_.col_start[p_.n];
  log_.text(2, "\nStarted probe_bound_loop (maxiter:%d, add_cuts:%d)..", kProbePasses, 0);
  BoundPropagator prop(p_, glo_, gup_, set_.int_tol);
  prop.set_work_limit(20.0 * nnz + 2e5);
  bool feasible = prop.propagate_all();
  int nfix = 0;
  std::vector<int> order;
  const std::vector<double> &x = lp_.x();
  for (int j = 0; j < p_.n; ++j)
    if (p_.is_binary(j) && glo_[j] < gup_[j]) order.push_back(j);
  // fractional binaries first: their probes tell the most about the relaxation
  std::stable_partition(order.begin(), order.end(), [&](int j) { return is_fractional(x[j], set_.int_tol); });
  if (static_cast<int>(order.size()) > kMaxProbes) order.resize(kMaxProbes);
  std::vector<char> seen(p_.n, 0);
  std::vector<int> touched;
  std::vector<double> lo0(p_.n), up0(p_.n);
  for (int pass = 0; pass < kProbePasses && feasible; ++pass) {
    const int before = nfix;
    for (int j : order) {
      if (prop.work() > 20.0 * nnz + 2e5 || common::wall_seconds() > deadline_) break;
      if (prop.lower()[j] == prop.upper()[j]) continue;
      const size_t mark = prop.mark();
      const bool ok0 = prop.tighten(j, 0, 0);
      touched.clear();
      for (int k : prop.changed_since(mark)) {
        if (seen[k]) continue;
        seen[k] = 1;
        touched.push_back(k);
        lo0[k] = prop.lower()[k];
        up0[k] = prop.upper()[k];
      }
      prop.undo(mark);
      const bool ok1 = prop.tighten(j, 1, 1);
      std::vector<BoundChange> implied;
      if (ok0 && ok1) {
        for (int k : touched) {
          if (k == j) continue;
          const double l = std::min(lo0[k], prop.lower()[k]), u = std::max(up0[k], prop.upper()[k]);
          if (l > glo_[k] || u < gup_[k]) implied.push_back({k, l, u});
        }
      }
      for (int k : touched) seen[k] = 0;
      prop.undo(mark);
      if (!ok0 && !ok1) {
        feasible = false;
        break;
      }
      bool fixed_ok = true;
      if (!ok0 || !ok1) {
        fixed_ok = prop.tighten(j, ok0 ? 0 : 1, ok0 ? 0 : 1);
        ++nfix;
      }
      for (const BoundChange &c : implied) fixed_ok = fixed_ok && prop.tighten(c.col, c.lo, c.up);
      nfix += static_cast<int>(implied.size());
      if (!fixed_ok) {
        feasible = false;
        break;
      }
    }
    if (nfix == before) break;
  }
  int lp_status = static_cast<int>(lp_.status());
  if (!feasible) {
    // no point of the problem (better than the incumbent) exists
    lp_status = static_cast<int>(LpStatus::kInfeasible);
  } else if (nfix > 0) {
    for (int j = 0; j < p_.n; ++j)
      if (prop.lower()[j] > glo_[j] || prop.upper()[j] < gup_[j]) {
        glo_[j] = std::max(glo_[j], prop.lower()[j]);
        gup_[j] = std::min(gup_[j], prop.upper()[j]);
        lp_.set_col_bounds(j, glo_[j], gup_[j]);
      }
    double secs;
    solve_node_lp(&secs);
    lp_status = static_cast<int>(lp_.status());
  }
  log_.text(2, "\nTerminated probe_bound_loop (lp_status:%d, nfix:%d)..", lp_status, nfix);
  if (!feasible) out_.state = inc_.has_incumbent() ? kStateFinished : kStateInfeasible;
}


}  // namespace tarvo::mip
