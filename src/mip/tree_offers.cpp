// What the host offers the running tree through the solution-insertion
// callbacks: points over its own columns and objective values.
#include "mip/tree_search.hpp"

#include <algorithm>
#include <cmath>

#include "common/clock.hpp"
#include "mip/heur_common.hpp"
#include "tarvo.h"

namespace tarvo::mip {

using simplex::LpStatus;

bool TreeSearch::submit_user_point(const std::vector<double> &xu) {
  const int nu = hooks_.user_cols < 0 ? p_.n : hooks_.user_cols;
  if (static_cast<int>(xu.size()) < nu) return false;
  std::vector<double> x(p_.n, 0.0);
  std::copy(xu.begin(), xu.begin() + nu, x.begin());
  if (nu == p_.n) return inc_.submit(x, "U");
  // auxiliary columns of the reformulations: an LP over them with the user's
  // columns fixed, then rounded up (indicators only need to cover their member)
  LpSnapshot snap(lp_);
  for (int j = 0; j < nu; ++j) lp_.set_col_bounds(j, x[j], x[j]);
  simplex::LpLimits lim;
  lim.time_limit = seconds_left(deadline_);
  bool ok = false;
  if (lp_.solve(TV_METHOD_DSIMPLEX, lim) == LpStatus::kOptimal) {
    std::vector<double> y = lp_.x();
    y.resize(p_.n);
    for (int j = nu; j < p_.n; ++j)
      if (p_.is_int[j]) y[j] = std::min(gup_[j], std::ceil(y[j] - set_.int_tol));
    snap.restore();
    ok = inc_.submit(y, "U");
  } else {
    snap.restore();
  }
  return ok;
}

void TreeSearch::take_offers() {
  base::MipOffer *o = hooks_.offer;
  if (!o) return;
  if (o->objective) {
    o->objective = false;
    if (o->obj < outside_cutoff_) {
      outside_cutoff_ = o->obj;
      lp_.set_cutoff(cutoff());
      double dropped = 1e30;
      queue_->prune(cutoff(), &dropped);
      note_pruned(dropped);
    }
  }
  if (o->solution) {
    o->solution = false;
    std::vector<double> x;
    x.swap(o->x);
    submit_user_point(x);
  }
}

}  // namespace tarvo::mip
