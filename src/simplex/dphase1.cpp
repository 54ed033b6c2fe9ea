// Dual phase 1 on the bounded auxiliary problem: every variable gets a small
// box around zero (free [-1000, 1000], one-sided [0, 1] or [-1, 0], boxed and
// fixed [0, 0]) and the dual simplex solves that problem from the current
// basis. Its optimal basis has reduced costs with the signs the true bounds
// need whenever the LP is dual feasible; the true bounds then come back and
// phase 2 starts without cost shifts. The single-phase alternative puts big
// artificial boxes on the infinite bounds that block dual feasibility.
#include <cmath>

#include "simplex/glp.hpp"

namespace tarvo::simplex {
namespace {

constexpr double kFreeBox = 1000.0;

// Nonbasic state a reduced cost asks for under the given bounds.
void place_by_reduced_cost(Glp &g, int j) {
  const double l = g.lower[j], u = g.upper[j], d = g.d[j];
  if (l <= -kInf && u >= kInf)
    g.state[j] = kFreeZero;
  else if (l <= -kInf)
    g.state[j] = kAtUpper;
  else if (u >= kInf)
    g.state[j] = kAtLower;
  else
    g.state[j] = d >= 0 ? kAtLower : kAtUpper;
  place_nonbasic(g, j);
}

}  // namespace

int count_unboxed_dual_infeasibilities(const Glp &g) {
  int count = 0;
  for (int j = 0; j < g.n + g.m; ++j) {
    const signed char st = g.state[j];
    const double l = g.lower[j], u = g.upper[j], d = g.d[j];
    if (st == kBasic || l == u || (l > -kInf && u < kInf)) continue;
    if ((l <= -kInf && d > g.dtol) || (u >= kInf && d < -g.dtol)) ++count;
  }
  return count;
}

int dual_phase1(Glp &g, const RunControl &rc) {
  const int nt = g.n + g.m;
  std::vector<double> lower = g.lower, upper = g.upper;
  for (int j = 0; j < nt; ++j) {
    const double l = lower[j], u = upper[j];
    if (l == u || (l > -kInf && u < kInf)) {
      g.lower[j] = g.upper[j] = 0.0;
    } else if (l <= -kInf && u >= kInf) {
      g.lower[j] = -kFreeBox;
      g.upper[j] = kFreeBox;
    } else if (l > -kInf) {
      g.lower[j] = 0.0;
      g.upper[j] = 1.0;
    } else {
      g.lower[j] = -1.0;
      g.upper[j] = 0.0;
    }
  }
  for (int j = 0; j < nt; ++j)
    if (g.state[j] != kBasic) place_by_reduced_cost(g, j);
  compute_primal(g);
  RunControl sub = rc;
  sub.in_phase1 = true;
  sub.use_cutoff = false;
  const int code = dual_simplex(g, sub);
  g.lower = std::move(lower);
  g.upper = std::move(upper);
  // the auxiliary problem's end state says nothing about the LP: phase 2 decides
  if (g.xstat != XSTAT_ITERLIM && g.xstat != XSTAT_TIMELIM && g.xstat != XSTAT_CTRLC) g.xstat = XSTAT_CONT;
  if (code != kRunOk) return code;
  if (g.factored && g.wfact == WFACT_NO) compute_dual(g);
  for (int j = 0; j < nt; ++j)
    if (g.state[j] != kBasic) place_by_reduced_cost(g, j);
  return kRunOk;
}

void add_artificial_boxes(Glp &g, double box, std::vector<int> &boxed) {
  boxed.clear();
  for (int j = 0; j < g.n + g.m; ++j) {
    const signed char st = g.state[j];
    const double l = g.lower[j], u = g.upper[j], d = g.d[j];
    if (st == kBasic || l == u || (l > -kInf && u < kInf)) continue;
    if (u >= kInf && d < -g.dtol) {
      g.upper[j] = (l > -kInf ? l : 0.0) + box;
      if (l <= -kInf) g.lower[j] = -box;
    } else if (l <= -kInf && d > g.dtol) {
      g.lower[j] = (u < kInf ? u : 0.0) - box;
      if (u >= kInf) g.upper[j] = box;
    } else {
      continue;
    }
    boxed.push_back(j);
    place_by_reduced_cost(g, j);
  }
}

bool remove_artificial_boxes(Glp &g, const std::vector<int> &boxed, const std::vector<double> &lower,
                             const std::vector<double> &upper) {
  bool at_box = false;
  for (int j : boxed) {
    const bool was_at_lower = g.state[j] == kAtLower, was_at_upper = g.state[j] == kAtUpper;
    const bool artificial_lower = lower[j] <= -kInf, artificial_upper = upper[j] >= kInf;
    g.lower[j] = lower[j];
    g.upper[j] = upper[j];
    if (g.state[j] == kBasic) continue;
    if ((was_at_lower && artificial_lower) || (was_at_upper && artificial_upper)) at_box = true;
    place_by_reduced_cost(g, j);
  }
  return at_box;
}

}  // namespace tarvo::simplex

