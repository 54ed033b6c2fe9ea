// The pre-relaxation heuristic for pure binary models: single-level probing,
// then a local search on a weighted-infeasibility objective with one-change
// (flip) and two-change (swap) moves; row weights grow while a row stays
// violated, which steers the search toward feasibility.
#include <algorithm>
#include <cmath>
#include <numeric>
#include <random>

#include "common/error_codes.hpp"
#include "common/clock.hpp"
#include "mip/heur_common.hpp"
#include "mip/heur_prerelax.hpp"
#include "tarvo.h"

namespace tarvo::mip {
namespace {

constexpr double kWeightGrowth = 2.0;
constexpr int kMaxPasses = 50;

class LocalSearch {
 public:
  LocalSearch(const MipProblem &p, const std::vector<double> &lo, const std::vector<double> &up)
      : p_(p), lo_(lo), up_(up), x_(p.n, 0.0), act_(p.m, 0.0), weight_(p.m, 1.0) {}

  // Binaries start at the rounded x0 within their bounds; fixed columns at their value.
  void start_from(const std::vector<double> &x0) {
    for (int j = 0; j < p_.n; ++j) x_[j] = movable(j) ? std::clamp(std::round(x0[j]), lo_[j], up_[j]) : lo_[j];
    std::fill(act_.begin(), act_.end(), 0.0);
    for (int j = 0; j < p_.n; ++j)
      for (int k = p_.col_start[j]; k < p_.col_start[j + 1]; ++k) act_[p_.col_index[k]] += p_.col_value[k] * x_[j];
  }
  double violation(int i, double a) const {
    const double tol = 1e-9 * (1 + std::fabs(a));
    if (a > p_.row_up[i] + tol) return a - p_.row_up[i];
    if (a < p_.row_lo[i] - tol) return p_.row_lo[i] - a;
    return 0;
  }
  // Change of the score (objective plus weighted violation) when column j flips.
  double flip_gain(int j) const {
    const double d = x_[j] > 0.5 ? -1.0 : 1.0;
    double g = p_.c[j] * d * obj_scale_;
    for (int k = p_.col_start[j]; k < p_.col_start[j + 1]; ++k) {
      const int i = p_.col_index[k];
      g += weight_[i] * (violation(i, act_[i] + d * p_.col_value[k]) - violation(i, act_[i]));
    }
    return g;
  }
  void flip(int j) {
    const double d = x_[j] > 0.5 ? -1.0 : 1.0;
    x_[j] = 1 - x_[j];
    for (int k = p_.col_start[j]; k < p_.col_start[j + 1]; ++k) act_[p_.col_index[k]] += d * p_.col_value[k];
  }
  bool movable(int j) const { return lo_[j] != up_[j]; }
  double total_violation() const {
    double v = 0;
    for (int i = 0; i < p_.m; ++i) v += violation(i, act_[i]);
    return v;
  }
  void grow_weights() {
    for (int i = 0; i < p_.m; ++i)
      if (violation(i, act_[i]) > 0) weight_[i] *= kWeightGrowth;
  }
  const std::vector<double> &point() const { return x_; }

  // Improving flips in `order` until none improves or the budget is spent.
  bool one_change(const std::vector<int> &order, double &budget, int visit_limit) {
    bool any = false;
    for (int visit = 0; visit < visit_limit && budget > 0; ++visit) {
      bool moved = false;
      for (int j : order) {
        if (--budget <= 0) break;
        if (movable(j) && flip_gain(j) < -1e-12) {
          flip(j);
          moved = any = true;
        }
      }
      if (!moved) break;
    }
    return any;
  }
  // Improving swaps of a column at 1 with one at 0.
  bool two_change(const std::vector<int> &order, double &budget) {
    bool any = false;
    for (int a : order) {
      if (budget <= 0) break;
      if (!movable(a) || x_[a] < 0.5) continue;
      const double ga = flip_gain(a);
      flip(a);
      int best = -1;
      double best_gain = -ga - 1e-12;
      for (int b : order) {
        if (--budget <= 0) break;
        if (b == a || !movable(b) || x_[b] > 0.5) continue;
        const double gb = flip_gain(b);
        if (gb < best_gain) {
          best_gain = gb;
          best = b;
        }
      }
      if (best >= 0) {
        flip(best);
        any = true;
      } else {
        flip(a);
      }
    }
    return any;
  }
  double obj_scale_ = 1.0;

 private:
  const MipProblem &p_;
  const std::vector<double> &lo_, &up_;
  std::vector<double> x_;
  std::vector<double> act_, weight_;
};

// Fixes a binary whose one value empties some row's activity range (each row
// looked at alone). Returns the number fixed.
int probe(const MipProblem &p, std::vector<double> &lo, std::vector<double> &up) {
  std::vector<double> minact(p.m, 0.0), maxact(p.m, 0.0);
  for (int j = 0; j < p.n; ++j)
    for (int k = p.col_start[j]; k < p.col_start[j + 1]; ++k) {
      const double a = p.col_value[k];
      minact[p.col_index[k]] += std::min(a * lo[j], a * up[j]);
      maxact[p.col_index[k]] += std::max(a * lo[j], a * up[j]);
    }
  int fixed = 0;
  for (int j = 0; j < p.n; ++j) {
    if (lo[j] == up[j]) continue;
    for (int v = 0; v <= 1 && lo[j] != up[j]; ++v) {
      bool bad = false;
      for (int k = p.col_start[j]; k < p.col_start[j + 1] && !bad; ++k) {
        const int i = p.col_index[k];
        const double a = p.col_value[k];
        // activity range with column j at v
        const double mn = minact[i] - std::min(0.0, a) + a * v, mx = maxact[i] - std::max(0.0, a) + a * v;
        bad = mn > p.row_up[i] + 1e-9 * (1 + std::fabs(p.row_up[i])) ||
              mx < p.row_lo[i] - 1e-9 * (1 + std::fabs(p.row_lo[i]));
      }
      if (!bad) continue;
      const double keep = 1 - v;
      for (int k = p.col_start[j]; k < p.col_start[j + 1]; ++k) {
        const int i = p.col_index[k];
        const double a = p.col_value[k];
        minact[i] += a * keep - std::min(0.0, a);
        maxact[i] += a * keep - std::max(0.0, a);
      }
      lo[j] = up[j] = keep;
      ++fixed;
    }
  }
  return fixed;
}

std::vector<int> variable_order(const MipProblem &p, int seq, unsigned seed) {
  std::vector<int> order(p.n);
  std::iota(order.begin(), order.end(), 0);
  if (seq == 1) {
    std::mt19937 gen(seed);
    std::shuffle(order.begin(), order.end(), gen);
  } else if (seq != 0) {
    // the solver's order: the columns that weigh most on the objective first
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return std::fabs(p.c[a]) > std::fabs(p.c[b]); });
  }
  return order;
}

}  // namespace

int pre_relax_heuristic(const MipProblem &p, const base::ParamValues &params, SolutionSink &sink, MipLog &log,
                        double deadline) {
  const int level = params.integer(TV_IPARAM_MIP_PREHEU_LEVEL);
  const int pre_level = params.integer(TV_IPARAM_MIP_PREHEU_PRE_LEVEL);
  const int print = params.integer(TV_IPARAM_MIP_PREHEU_PRINT_LEVEL);
  const double t0 = common::wall_seconds();
  log.text(1, "\nStarted TVPreRelaxMIP (nPreRelaxLevel:%d, nPreLevel:%d)", level, pre_level);
  int code = 0;
  int ints = 0;
  for (int j = 0; j < p.n; ++j) ints += p.is_int[j];
  for (int j = 0; j < p.n && code == 0; ++j) {
    if (p.is_int[j] && !p.is_binary(j) && p.col_lo[j] != p.col_up[j]) {
      log.text(1, "\nWarning: PreRlxHeu does not support GIN variables!\n");
      code = err::kNotSupported;
    } else if (!p.is_int[j] && p.col_lo[j] != p.col_up[j]) {
      log.text(1, "\nModel has illegal continuous variables\n");
      code = err::kNotSupported;
    }
  }
  if (code == 0 && (level < 1 || level > 3)) {
    log.text(1, "\nHeuristic level must be from 1 to 3\n");
    code = err::kParamOutOfRange;
  }
  if (code != 0) {
    log.text(1, "\nTerminated TVPreRelaxMIP (error:%d)", code);
    return code;
  }
  std::vector<double> lo = p.col_lo, up = p.col_up;
  log.text(1, "\nOri. size (m, n, nz,  nip): %6d, %6d, %8d,  %6u", p.m, p.n, p.col_start[p.n],
           static_cast<unsigned>(ints));
  if (pre_level > 0) {
    const double tp = common::wall_seconds();
    // each probing round may enable more fixings; the presolve level bounds the rounds
    for (int round = 0; round < pre_level && probe(p, lo, up) > 0; ++round) {
    }
    int free_cols = 0;
    for (int j = 0; j < p.n; ++j) free_cols += lo[j] != up[j];
    log.text(1, "\nNew  size (m, n, nz,  nip): %6u, %6u, %8u,  %6d\n", static_cast<unsigned>(p.m),
             static_cast<unsigned>(free_cols), static_cast<unsigned>(p.col_start[p.n]), free_cols);
    log.text(1, "\nTime Consumed in probing: %.2f (sec.)\n", common::wall_seconds() - tp);
  }
  log.text(1, "\nMIP pre_relax heuristic of level %d begins...\n\n", level);
  LocalSearch ls(p, lo, up);
  std::vector<double> x0(p.n);
  for (int j = 0; j < p.n; ++j) x0[j] = sink.has_incumbent() ? sink.incumbent()[j] : (p.c[j] < 0 ? up[j] : lo[j]);
  ls.start_from(x0);
  double cmax = 0;
  for (double c : p.c) cmax = std::max(cmax, std::fabs(c));
  ls.obj_scale_ = cmax > 0 ? 0.5 / cmax : 0.0;  // a unit of violation outweighs any single cost
  const std::vector<int> order = variable_order(p, params.integer(TV_IPARAM_MIP_PREHEU_VAR_SEQ), 17);
  double budget = std::max(1.0, static_cast<double>(params.integer(TV_IPARAM_MIP_PREHEU_TC_ITERLIM)));
  const int visits = std::max(1, params.integer(TV_IPARAM_MIP_PREHEU_DFE_VSTLIM));
  bool found = false;
  auto try_submit = [&]() {
    if (ls.total_violation() > 0) return;
    const std::vector<double> x = ls.point();
    if (!sink.submit(x, kTagHeuristic)) return;
    found = true;
    log.text(1, "\nFOUND MIP solution in PRERELAX HEU,  Original Objvalue  : %e  (*P)\n",
             log.user(objective_of(p, x.data())));
  };
  const int passes = level == 3 ? kMaxPasses : 1;
  for (int pass = 1; pass <= passes && budget > 0 && common::wall_seconds() < deadline; ++pass) {
    if (level >= 2) {
      if (print > 0 || pass == 1) log.text(1, "\n\nBegin Two-Change Heuristic...\n");
      ls.two_change(order, budget);
    }
    if (print > 0 || pass == 1) log.text(1, "\nBegin One-Change Heuristic...\n");
    ls.one_change(order, budget, visits);
    try_submit();
    if (level == 3) log.text(1, "\n Pass %d ----- Obj Val = %f\n", pass, log.user(objective_of(p, ls.point().data())));
    ls.grow_weights();
  }
  log.text(1, "\nTotal elapsed time for Pre_Relax heuristic: %.2lf seconds\n\n", common::wall_seconds() - t0);
  log.text(1, "\nTerminated TVPreRelaxMIP (error:%d)", 0);
  (void)found;
  return 0;
}

}  // namespace tarvo::mip
