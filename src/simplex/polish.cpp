// Basis polishing: an optimal basis is moved within the optimal face towards
// a nicer one. Nonbasic variables with a nonzero reduced cost are held at
// their bounds (so every point the primal reaches stays optimal), a temporary
// objective pushes structural basics to their bounds (slacks take their place:
// sparser factors) and integer columns to their bounds, and the true objective
// is restored afterwards; a basis that does not come back optimal, or (on
// request) is worse conditioned, is dropped for the one polishing started from.
#include <algorithm>
#include <cmath>

#include "simplex/glp.hpp"

namespace tarvo::simplex {
namespace {

constexpr int kModeIntegers = 1;   // integer columns to their bounds
constexpr int kModeSlacks = 2;     // structural basics to their bounds
constexpr int kModeCondition = 4;  // keep only a basis conditioned no worse
constexpr double kSameObjective = 1e-7;  // relative change that still counts as the same optimum

int basic_slacks(const Glp &g) {
  int k = 0;
  for (int p = 0; p < g.m; ++p) k += g.head[p] >= g.n;
  return k;
}

// Temporary cost of structural j: towards its nearer finite bound.
double polish_cost(const Glp &g, int j, double factor) {
  const double lo = g.lower[j], up = g.upper[j];
  if (lo <= -kInf && up >= kInf) return 0.0;
  if (up >= kInf) return factor;
  if (lo <= -kInf) return -factor;
  return g.x[j] - lo <= up - g.x[j] ? factor : -factor;
}

}  // namespace

bool polish_basis(Glp &g, const RunControl &rc, const PolishSettings &ps) {
  if (g.xstat != XSTAT_OPT || g.m == 0) return false;
  int mode = ps.mode & (kModeIntegers | kModeSlacks | kModeCondition);
  if ((mode & (kModeIntegers | kModeSlacks)) == 0) mode |= kModeSlacks;
  if ((mode & kModeIntegers) && ps.integer_cols == nullptr) mode &= ~kModeIntegers;
  const int nt = g.n + g.m;
  const std::vector<int> head0 = g.head;
  const std::vector<signed char> state0 = g.state;
  const std::vector<double> lower0 = g.lower, upper0 = g.upper, cost0 = g.cost;
  const double objective0 = objective_value(g);
  const double rcond0 = g.factored && g.m > 0 ? g.lu.rcond() : 1.0;
  const int slacks0 = basic_slacks(g);
  int held = 0;
  for (int j = 0; j < nt; ++j) {
    if (g.state[j] == kBasic || std::fabs(g.d[j]) <= g.dtol) continue;
    g.lower[j] = g.upper[j] = g.x[j];
    ++held;
  }
  if (g.model && g.trace_cfg.warnings) {
    double rhs1 = 0;
    for (double b : g.model->data.b) rhs1 += std::fabs(b);
    base::log_model(g.model, 1,
                    "\nStarting to polish optimal basis (solve=%-5d, objval=%16.7f, objc=%12g, #vio=%d) |rhs1|=%16.7f",
                    g.model->lp_solves, g.sense * objective0 + g.objective_constant, ps.factor, held, rhs1);
  }
  for (int j = 0; j < nt; ++j) {
    double c = 0;
    if (j < g.n && (mode & kModeSlacks)) c = polish_cost(g, j, ps.factor);
    if (j < g.n && (mode & kModeIntegers) && (*ps.integer_cols)[j]) c = polish_cost(g, j, ps.factor);
    g.cost[j] = c;
  }
  std::fill(g.shift.begin(), g.shift.end(), 0.0);
  RunControl inner = rc;
  inner.perturb = false;
  inner.use_cutoff = false;
  inner.iter_limit = g.iterations + ps.iteration_limit;
  if (rc.iter_limit >= 0) inner.iter_limit = std::min(inner.iter_limit, rc.iter_limit);
  const int code = primal_simplex(g, inner);
  g.lower = lower0;
  g.upper = upper0;
  g.cost = cost0;
  std::fill(g.shift.begin(), g.shift.end(), 0.0);
  for (int j = 0; j < nt; ++j)
    if (g.state[j] != kBasic) place_nonbasic(g, j);
  // back on the true objective: the moves kept optimality in exact terms;
  // degenerate steps may leave reduced costs to clean up
  bool kept = code == kRunOk && refactor(g) == 0;
  if (kept) {
    compute_primal(g);
    compute_dual(g);
    int bad_p = 0, bad_d = 0;
    primal_infeasibility(g, &bad_p);
    dual_infeasibility(g, &bad_d);
    if (bad_p + bad_d > 0) {
      g.xstat = XSTAT_CONT;
      RunControl finish = rc;
      finish.perturb = false;
      kept = run_methods(g, finish, bad_p == 0) == kRunOk && g.xstat == XSTAT_OPT;
    }
  }
  if (kept) kept = std::fabs(objective_value(g) - objective0) <= kSameObjective * (1.0 + std::fabs(objective0));
  if (kept && (mode & kModeCondition) && g.lu.rcond() < rcond0) kept = false;
  if (kept && (mode & kModeSlacks) && basic_slacks(g) < slacks0) kept = false;
  if (!kept) {
    g.head = head0;
    g.nonbasic_rows.states_changed();  // states change without a pivot
    g.state = state0;
    for (int j = 0; j < nt; ++j) g.where[j] = -1;
    for (int p = 0; p < g.m; ++p) g.where[g.head[p]] = p;
    for (int j = 0; j < nt; ++j)
      if (g.state[j] != kBasic) place_nonbasic(g, j);
    g.factored = false;
    if (refactor(g) != 0) return false;
    compute_primal(g);
    compute_dual(g);
  }
  g.xstat = XSTAT_OPT;
  g.weights_exact = false;
  trace_event(g, kTraceRecovery, " polished basis %s, basic slacks %d -> %d", kept ? "kept" : "dropped", slacks0,
              basic_slacks(g));
  return kept;
}

}  // namespace tarvo::simplex
