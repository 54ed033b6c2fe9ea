// Reliability branching: candidates are ranked by pseudo-cost score; the
// unreliable ones among the best are evaluated by trial dual simplex solves
// of both children from the node's basis, whose results also teach the
// pseudo-costs and may fix columns or prove the node empty.
#include "mip/branching.hpp"

#include <algorithm>
#include <cmath>

#include "common/clock.hpp"
#include "tarvo.h"

namespace tarvo::mip {
namespace {

struct Trial {
  bool empty = false;  // infeasible or cut off
  bool valid = false;  // bound usable
  double bound = 0;
};

// How many candidates get trial solves at a node and how far each may pivot.
struct TrialPlan {
  int max_trials = 0;
  int least_trials = 0;  // tried even when trusted
  int lookahead = 0;     // trials without a new leader before the search stops
  double iter_limit = 0;
  bool stop_on_winner = false;  // stop once the leader's trial score beats the next estimate
  // dual pricing: steepest edge with the node's exact norms, which its restore
  // point brings back; Devex where m solves for the norms would cost more
  // than the short trials themselves
  int pricing = 1;
};

// The node's LP state the trial solves return to: its factored basis when
// the LP can save one (a copy per trial instead of a factorisation), else
// the bare basis.
struct NodeState {
  simplex::LpBasis basis;
  simplex::LpRestorePoint point;
  bool saved = false;
  void put_back(simplex::LpSolver &lp) {
    if (!(saved && lp.restore(point))) lp.set_basis(basis);
  }
};

// Solves the node LP with column j's bounds replaced by [lo, up], then puts
// the bounds and the node's state back.
Trial trial_solve(BranchInput &in, NodeState &start, int j, double lo, double up, const TrialPlan &plan,
                  double *iters) {
  simplex::LpSolver &lp = in.lp;
  const double old_lo = lp.col_lower(j), old_up = lp.col_upper(j);
  lp.set_col_bounds(j, lo, up);
  simplex::LpLimits lim;
  lim.dual_pricing = plan.pricing;
  lim.devex_carry_weights = true;  // as the node solves do
  lim.iter_limit = plan.iter_limit;
  lim.keep_factors = true;
  lim.time_limit = std::max(0.0, in.deadline - common::wall_seconds());
  const simplex::LpStatus st = lp.solve(TV_METHOD_DSIMPLEX, lim);
  *iters += lp.iterations();
  Trial t;
  using S = simplex::LpStatus;
  if (st == S::kInfeasible || st == S::kCutoff) {
    t.empty = true;
  } else if (st == S::kOptimal || st == S::kIterLimit) {
    // the dual simplex keeps dual feasibility: its objective bounds the child
    t.valid = true;
    t.bound = std::max(in.node_obj, lp.objective());
    if (st == S::kOptimal && t.bound >= in.cutoff) t.empty = true;
  }
  lp.set_col_bounds(j, old_lo, old_up);
  start.put_back(lp);
  return t;
}

// Candidates ranked by the rules that need no trial solves: a primary key
// and a tie-break, both larger first.
struct Ranked {
  std::vector<double> key, tie;
};

}  // namespace

bool rounding_penalties(simplex::LpSolver &lp, int j, double f, double *down, double *up) {
  // one buffer for the few hundred rows a node asks for
  thread_local std::vector<int> index;
  thread_local std::vector<double> value;
  if (!lp.tableau_row(j, index, value)) return false;
  const std::vector<double> &rc = lp.reduced_costs();
  const std::vector<double> &duals = lp.duals();
  const std::vector<double> &x = lp.x();
  const std::vector<double> &act = lp.row_activity();
  const int n = lp.cols();
  double rate_down = 1e30, rate_up = 1e30;  // cheapest objective change per unit of x_j
  for (size_t t = 0; t < index.size(); ++t) {
    const int k = index[t];
    const double a = value[t];
    if (std::fabs(a) < 1e-9) continue;
    // every listed position is nonbasic
    double v, lo, hi, d;
    if (k < n) {
      v = x[k];
      lo = lp.col_lower(k);
      hi = lp.col_upper(k);
      d = std::fabs(rc[k]);
    } else {
      // the slack of row i is -a_i x
      const int i = k - n;
      v = -act[i];
      lo = -lp.row_upper(i);
      hi = -lp.row_lower(i);
      d = std::fabs(duals[i]);
    }
    if (hi - lo < 1e-9) continue;  // fixed: it cannot move
    const bool can_rise = v < hi - 1e-9, can_fall = v > lo + 1e-9;
    // x_j moves by -a per unit of v_k
    const double rate = d / std::fabs(a);
    if ((can_rise && a > 0) || (can_fall && a < 0)) rate_down = std::min(rate_down, rate);
    if ((can_rise && a < 0) || (can_fall && a > 0)) rate_up = std::min(rate_up, rate);
  }
  // no pivot can move x_j that way: the child is empty, priced as very costly
  *down = rate_down >= 1e30 ? 1e20 : f * rate_down;
  *up = rate_up >= 1e30 ? 1e20 : (1 - f) * rate_up;
  return true;
}

std::vector<int> fractional_columns(const MipProblem &p, const std::vector<double> &x, double int_tol) {
  std::vector<int> out;
  for (int j = 0; j < p.n; ++j)
    if (p.is_int[j] && std::fabs(x[j] - std::round(x[j])) > int_tol) out.push_back(j);
  return out;
}

BranchDecision choose_branch(BranchInput &in, const std::vector<double> &x, const std::vector<int> &all) {
  BranchDecision d;
  if (all.empty()) return d;
  std::vector<int> cand = all;
  // priorities: only the candidates of the highest priority class compete
  if (in.priority && !in.priority->empty() && in.set.branch_prio != 3) {
    int best = -2147483647;
    for (int j : cand) best = std::max(best, (*in.priority)[j]);
    cand.erase(std::remove_if(cand.begin(), cand.end(), [&](int j) { return (*in.priority)[j] != best; }),
               cand.end());
  }
  if (in.set.branch_prio == 4) {
    bool any_bin = false;
    for (int j : cand) any_bin |= in.prob.is_binary(j);
    if (any_bin)
      cand.erase(std::remove_if(cand.begin(), cand.end(), [&](int j) { return !in.prob.is_binary(j); }),
                 cand.end());
  }
  const int k = static_cast<int>(cand.size());
  std::vector<double> down(k), up(k), score(k);
  double reference = 0;
  for (int i = 0; i < k; ++i) {
    const int j = cand[i];
    const double f = x[j] - std::floor(x[j]);
    down[i] = in.pc.unit(j, false) * f;
    up[i] = in.pc.unit(j, true) * (1 - f);
    reference += std::min(down[i], up[i]);
  }
  reference /= k;
  Ranked rank{std::vector<double>(k, 0.0), std::vector<double>(k, 0.0)};
  const int rule = in.set.branch_rule;
  int penalty_rows = 200;
  for (int i = 0; i < k; ++i) {
    const int j = cand[i];
    const double f = x[j] - std::floor(x[j]);
    switch (rule) {
      case 2:  // maximum infeasibility
        rank.key[i] = std::min(f, 1 - f);
        break;
      case 1:    // basis rounding: the penalties where they say more than the pseudo-costs
      case 3: {  // pseudo reduced costs only
        double pd, pu;
        // a tableau row costs a solve with the basis: a few hundred per node at most
        if (penalty_rows-- > 0 && rounding_penalties(in.lp, j, f, &pd, &pu)) {
          down[i] = rule == 1 ? std::max(down[i], pd) : pd;
          up[i] = rule == 1 ? std::max(up[i], pu) : pu;
        }
        rank.key[i] = branch_score(down[i], up[i], in.set.pseudo_rule, in.set.pseudo_weight, reference);
        break;
      }
      case 4:  // maximum objective coefficient, the more fractional on ties
        rank.key[i] = std::fabs(in.prob.c[j]);
        rank.tie[i] = std::min(f, 1 - f);
        break;
      case 5:  // the columns branched on before, most often first
        rank.key[i] = in.branched ? (*in.branched)[j] : 0;
        rank.tie[i] = branch_score(down[i], up[i], in.set.pseudo_rule, in.set.pseudo_weight, reference);
        break;
      default: {
        // below the strong-branching depth no trial solve checks a column
        // whose pseudo-costs are still mostly other columns' average: its
        // rounding penalties (one dual step each way) bound it from below
        double pd, pu;
        if (in.depth > in.set.strong_level && in.pc.reliability(j) < in.reliable && penalty_rows-- > 0 &&
            rounding_penalties(in.lp, j, f, &pd, &pu)) {
          down[i] = std::max(down[i], pd);
          up[i] = std::max(up[i], pu);
        }
        rank.key[i] = branch_score(down[i], up[i], in.set.pseudo_rule, in.set.pseudo_weight, reference);
      }
    }
    score[i] = rank.key[i];
  }
  std::vector<int> order(k);
  for (int i = 0; i < k; ++i) order[i] = i;
  std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
    return rank.key[a] != rank.key[b] ? rank.key[a] > rank.key[b] : rank.tie[a] > rank.tie[b];
  });

  int best = order[0];
  std::vector<char> trusted(k, 0);
  // trial solves belong to the solver's own rule; the named rules rank alone
  const bool shallow = in.depth <= in.set.strong_level;
  TrialPlan plan;
  if (in.set.branch_rule == 0 && in.set.strong_num > 0) {
    if (shallow) {
      plan.max_trials = std::max(in.set.strong_num, 8);
      plan.least_trials = in.set.strong_num;
      plan.lookahead = 4;
      plan.iter_limit = in.sb_iter_limit;
    } else if (in.deep_trials > 0) {
      // deeper, only the untrusted leaders are tried, cheaply, and a trial
      // that beats every untried estimate ends the search
      plan.max_trials = in.deep_trials;
      plan.lookahead = 2;
      plan.iter_limit = in.deep_iter_limit;
      plan.stop_on_winner = true;
      plan.pricing = 3;
    }
  }
  bool strong_here = plan.max_trials > 0;
  if (strong_here) {
    // reliability branching: where the leading candidates' pseudo-costs are
    // all trusted, trial solves would only confirm them
    bool unreliable = false;
    for (int pos = 0; pos < std::min(k, std::max(plan.max_trials, 8)) && !unreliable; ++pos)
      unreliable = in.pc.reliability(cand[order[pos]]) < in.reliable;
    strong_here = unreliable;
  }
  if (strong_here) {
    if (plan.pricing == 1) {
      // a pass without pivots leaves the node's basis with exact steepest-edge
      // norms (computed here only when the node LP was not priced that way)
      simplex::LpLimits exact;
      exact.dual_pricing = 1;
      exact.time_limit = std::max(0.0, in.deadline - common::wall_seconds());
      in.lp.solve(TV_METHOD_DSIMPLEX, exact);
    }
    NodeState start;
    start.basis = in.lp.basis();
    start.saved = in.lp.save(start.point);
    int tried = 0, since_best = 0;
    double best_score = -1;
    const double gap_cap = in.cutoff < 1e30 ? in.cutoff - in.node_obj : 1e30;
    for (int pos = 0; pos < k && tried < plan.max_trials && since_best < plan.lookahead; ++pos) {
      const int i = order[pos];
      const int j = cand[i];
      if (in.pc.reliability(j) >= in.reliable && tried >= plan.least_trials) continue;
      if (plan.stop_on_winner && tried > 0 && best_score >= score[i]) break;
      if (common::wall_seconds() > in.deadline) break;
      const double v = x[j];
      const double lo = in.lp.col_lower(j), upb = in.lp.col_upper(j);
      Trial td = trial_solve(in, start, j, lo, std::floor(v), plan, &d.trial_iterations);
      Trial tu = trial_solve(in, start, j, std::ceil(v), upb, plan, &d.trial_iterations);
      d.trial_solves += 2;
      ++tried;
      if (td.empty && tu.empty) {
        d.infeasible = true;
        return d;
      }
      const double f = v - std::floor(v);
      if (td.valid && !td.empty) in.pc.record(j, false, f, td.bound - in.node_obj);
      if (tu.valid && !tu.empty) in.pc.record(j, true, 1 - f, tu.bound - in.node_obj);
      if (td.empty) {
        d.fixes.push_back({j, std::ceil(v), upb});
        continue;
      }
      if (tu.empty) {
        d.fixes.push_back({j, lo, std::floor(v)});
        continue;
      }
      // a stopped trial counts with its truncated bound: that favours columns
      // whose children solve within the limit, which keeps node LPs short.
      // Floored by the estimate instead, node LPs took twice the pivots on
      // some models and trees grew on others, though they shrank where deep
      // trials taught near-zero gains.
      const double gd = td.valid ? std::min(td.bound - in.node_obj, gap_cap) : down[i];
      const double gu = tu.valid ? std::min(tu.bound - in.node_obj, gap_cap) : up[i];
      down[i] = gd;
      up[i] = gu;
      trusted[i] = 1;
      score[i] = branch_score(gd, gu, in.set.pseudo_rule, in.set.pseudo_weight, reference);
      if (score[i] > best_score) {
        best_score = score[i];
        best = i;
        since_best = 0;
        d.down_bound = td.valid ? td.bound : in.node_obj;
        d.up_bound = tu.valid ? tu.bound : in.node_obj;
      } else {
        ++since_best;
      }
    }
    if (!d.fixes.empty()) return d;
    // an untried candidate whose trusted pseudo-cost score beats every trial wins
    for (int i = 0; i < k; ++i)
      if (!trusted[i] && in.pc.reliability(cand[i]) >= in.reliable && score[i] > best_score) {
        best_score = score[i];
        best = i;
        d.down_bound = d.up_bound = in.node_obj;
      }
    d.strong = trusted[best] != 0;
  }
  d.col = cand[best];
  d.value = x[d.col];
  d.down_gain = down[best];
  d.up_gain = up[best];
  if (!d.strong) d.down_bound = d.up_bound = in.node_obj;
  d.down_bound = std::max(d.down_bound, in.node_obj);
  d.up_bound = std::max(d.up_bound, in.node_obj);
  return d;
}

}  // namespace tarvo::mip
