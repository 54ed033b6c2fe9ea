// The integer feasibility test: the switched-on rows and bounds become a
// MipProblem with a zero objective, so the first integer point ends the
// search (solution limit 1) and a search that closes its tree without one
// proves the part infeasible. Rows switched off are left out of the problem.
#include "analysis/mip_oracle.hpp"

#include <algorithm>
#include <cmath>

#include "env/callback_dispatch.hpp"
#include "common/error_codes.hpp"
#include "common/clock.hpp"
#include "mip/incumbent.hpp"
#include "mip/mip_log.hpp"
#include "mip/mip_settings.hpp"
#include "mip/tree_search.hpp"

namespace tarvo::analysis {
namespace {

constexpr double kInf = 1e30;
// Candidate points are checked against the rows as the integer solver checks its incumbents.
constexpr double kPointFeasTol = 1e-6;

struct Built {
  mip::MipProblem prob;
  base::ModelData lp;  // the same rows for the node LP (activity bounds set after load)
  bool empty_domain = false;
};

void build(const base::ModelData &d, const MipTestInput &in, double int_tol, Built *b) {
  const int n = d.n;
  std::vector<int> slot(d.m, -1);
  int m = 0;
  for (int i = 0; i < d.m; ++i)
    if ((*in.row_lo)[i] > -kInf || (*in.row_up)[i] < kInf) slot[i] = m++;
  mip::MipProblem &p = b->prob;
  p.m = m;
  p.n = n;
  p.c.assign(n, 0.0);
  p.col_lo = *in.col_lo;
  p.col_up = *in.col_up;
  p.is_int = *in.is_int;
  p.row_lo.resize(m);
  p.row_up.resize(m);
  for (int i = 0; i < d.m; ++i)
    if (slot[i] >= 0) {
      p.row_lo[slot[i]] = (*in.row_lo)[i];
      p.row_up[slot[i]] = (*in.row_up)[i];
    }
  for (int j = 0; j < n; ++j) {
    if (!p.is_int[j]) continue;
    // An integer column takes integral bounds; none left means no integer point.
    if (p.col_lo[j] > -kInf) p.col_lo[j] = std::ceil(p.col_lo[j] - int_tol);
    if (p.col_up[j] < kInf) p.col_up[j] = std::floor(p.col_up[j] + int_tol);
    if (p.col_lo[j] > p.col_up[j]) b->empty_domain = true;
  }
  p.col_start.assign(n + 1, 0);
  p.col_index.clear();
  p.col_value.clear();
  for (int j = 0; j < n; ++j) {
    for (int k = d.start[j]; k < d.start[j] + d.length[j]; ++k)
      if (slot[d.rowidx[k]] >= 0 && d.value[k] != 0) {
        p.col_index.push_back(slot[d.rowidx[k]]);
        p.col_value.push_back(d.value[k]);
      }
    p.col_start[j + 1] = static_cast<int>(p.col_index.size());
  }
  p.build_rows();

  base::ModelData &a = b->lp;
  a.m = m;
  a.n = n;
  a.sense = TV_MIN;
  a.b.assign(m + 1, 0.0);
  a.ctype.assign(m + 1, 'N');
  a.c.assign(n, 0.0);
  a.lower = p.col_lo;
  a.upper = p.col_up;
  a.start = p.col_start;
  a.length.resize(n);
  for (int j = 0; j < n; ++j) a.length[j] = p.col_start[j + 1] - p.col_start[j];
  a.rowidx = p.col_index;
  a.value = p.col_value;
  a.nz = static_cast<int>(a.rowidx.size());
}

}  // namespace

MipVerdict MipOracle::test(const MipTestInput &in) {
  stop_code_ = 0;
  x_.clear();
  budget_.count_mip_solve();
  Built b;
  build(model_->data, in, int_tol_, &b);
  if (b.empty_domain) return MipVerdict::kInfeasible;
  if (b.prob.m == 0) {  // only bounds: the value nearest zero satisfies them
    x_.resize(b.prob.n);
    for (int j = 0; j < b.prob.n; ++j) x_[j] = std::clamp(0.0, b.prob.col_lo[j], b.prob.col_up[j]);
    return MipVerdict::kFeasible;
  }

  mip::MipSettings set = mip::MipSettings::from_params(model_->params, 1);
  set.print_level = 0;
  set.solution_limit = 1;  // any integer point answers the question
  set.use_cutoff = false;
  set.cutoff = kInf;
  set.last_sol_time_limit = -1;
  // The user's branch limit bounds each test when set; otherwise the analysis's own.
  if (!(set.branch_limit >= 0)) set.branch_limit = max_nodes_;
  const simplex::LpLimits left = budget_.limits();
  set.time_limit = left.time_limit;
  set.iter_limit = left.iter_limit;

  mip::Incumbent inc(b.prob, set.int_tol, kPointFeasTol);
  mip::MipLog log(model_, 0, 1);
  simplex::LpSolver lp;
  lp.load(b.lp, simplex::LpOptions::from_params(model_->params));
  for (int i = 0; i < b.prob.m; ++i) lp.set_row_bounds(i, b.prob.row_lo[i], b.prob.row_up[i]);
  mip::MipContext ctx{b.prob, lp, model_->params, inc};
  ctx.seed = 1;
  mip::TreeHooks hooks;
  // The host may stop the analysis at every log point of the search.
  hooks.poll = [this](const mip::LogCounters &) { return budget_.before_step(); };
  hooks.on_incumbent = [](const mip::LogCounters &) { return 0; };
  mip::TreeSearch tree(ctx, set, inc, log, hooks, common::wall_seconds(), nullptr);
  const mip::TreeOutcome t = tree.run();

  budget_.after_mip(t.iterations, inc.has_incumbent() ? 0 : t.code);
  if (inc.has_incumbent()) {
    x_ = inc.incumbent();
    return MipVerdict::kFeasible;
  }
  if (t.code != 0) {
    stop_code_ = t.code;
    return MipVerdict::kStop;
  }
  if (t.complete) return MipVerdict::kInfeasible;
  // An unfinished search without a reason has no verdict to give.
  stop_code_ = err::kNumerical;
  return MipVerdict::kStop;
}

}  // namespace tarvo::analysis
