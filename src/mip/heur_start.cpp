// Start points, the objective-free heuristic and the fast enumeration solver.
#include "mip/heur_start.hpp"

#include <algorithm>
#include <cmath>

#include "common/clock.hpp"
#include "mip/enumeration.hpp"
#include "mip/heur_common.hpp"
#include "mip/heur_prerelax.hpp"
#include "mip/sub_mip.hpp"
#include "tarvo.h"

namespace tarvo::mip {
namespace {

// Work budget of the fast enumeration, in column and nonzero visits.
constexpr double kFastEnumerationWork = 2e7;
constexpr double kUnlimitedSearchBranches = 20000;  // bound of a completion search without a time limit

// Budget of a start-point completion by TV_IPARAM_MIP_USE_PARTIALSOL_LEVEL.
double completion_branches(int level) { return level >= 3 ? 5000.0 : 500.0; }

void log_point(MipLog &log, const MipProblem &p, const std::vector<double> &x, double int_tol, bool feasible) {
  const Violation v = check_point(p, x.data(), int_tol);
  log.text(1, "%s objective: %g, infeasibility: %.1e, integer infeasibility: %.1e",
           feasible ? "\nStartpoint info:" : "\nStartpoint info (not feasible):", log.user(objective_of(p, x.data())),
           std::max(v.bound, v.row), v.integrality);
}

// The incumbent line of a solution found before the tree (which logs the later ones).
bool announce(bool accepted, const Incumbent &inc, MipLog &log, double start) {
  if (!accepted) return false;
  LogCounters c;
  c.has_incumbent = true;
  c.incumbent = inc.incumbent_objective();
  c.elapsed = common::wall_seconds() - start;
  // the user's own start point carries no finder's tag
  log.incumbent_line(c, inc.last_tag().empty() ? kSrcNone : source_code(inc.last_tag().c_str()));
  return true;
}

// Fixes the integer columns listed in `cols` at the rounded values (clamped to
// their bounds) and searches the rest; true when the sink took a solution.
bool complete_partial(const MipProblem &p, const base::ParamValues &params, const std::vector<int> &cols,
                      const std::vector<double> &values, Incumbent &inc, MipLog &log, double deadline) {
  const int level = params.integer(TV_IPARAM_MIP_USE_PARTIALSOL_LEVEL);
  if (level <= 0) return false;
  SubMipSpec s;
  s.lo = p.col_lo;
  s.up = p.col_up;
  int fixed = 0;
  for (size_t k = 0; k < cols.size(); ++k) {
    const int j = cols[k];
    if (j < 0 || j >= p.n || !p.is_int[j] || !std::isfinite(values[k])) continue;
    const double v = std::clamp(std::round(values[k]), p.col_lo[j], p.col_up[j]);
    s.lo[j] = s.up[j] = v;
    ++fixed;
  }
  if (fixed == 0) return false;
  // level 1 completes only over the continuous columns: every integer must be given
  if (level == 1 && fixed_integer_share(p, s) < 1.0) return false;
  log.text(1, "\nfixing ints from partial startpoint (%d columns)", fixed);
  s.branch_limit = deadline < 1e29 ? completion_branches(level) * 4 : completion_branches(level);
  const double now = common::wall_seconds();
  s.deadline = deadline < 1e29 ? now + 0.1 * (deadline - now) : 1e30;
  const SubMipResult r = solve_sub_mip(p, params, s);
  return announce(r.found && inc.submit(r.x, kTagSubSearch), inc, log, now);
}

void start_points(const base::ModelData &d, const MipProblem &p, const base::ParamValues &params, Incumbent &inc,
                  MipLog &log, double deadline) {
  const int n = std::min(d.n, p.n);
  const double int_tol = params.dbl(TV_DPARAM_MIP_INTTOL);
  const std::vector<double> *full = nullptr;
  if (static_cast<int>(d.mip_start_point.size()) >= d.n && d.n > 0)
    full = &d.mip_start_point;
  else if (static_cast<int>(d.start_point.size()) >= d.n && d.n > 0)
    full = &d.start_point;
  if (full) {
    std::vector<double> x(full->begin(), full->begin() + n);
    if (p.n == d.n) {
      const bool ok = announce(inc.submit(x, ""), inc, log, common::wall_seconds());
      log_point(log, p, x, int_tol, ok || point_feasible(p, x, int_tol, 1e-6));
      if (ok) return;
    } else {
      log.text(1, "\nStartpoint info (not feasible): the working model has %d added columns", p.n - d.n);
    }
    std::vector<int> cols(n);
    for (int j = 0; j < n; ++j) cols[j] = j;
    if (complete_partial(p, params, cols, x, inc, log, deadline)) return;
  }
  const base::PartialPoint *part = d.mip_partial_start.present ? &d.mip_partial_start
                                   : d.partial_start.present    ? &d.partial_start
                                                                : nullptr;
  if (!part) return;
  std::vector<int> cols;
  std::vector<double> values;
  for (size_t k = 0; k < part->index.size() && k < part->value.size(); ++k)
    if (part->index[k] >= 0 && part->index[k] < n) {
      cols.push_back(part->index[k]);
      values.push_back(part->value[k]);
    }
  if (!complete_partial(p, params, cols, values, inc, log, deadline))
    log.text(1, "\nWarning: Failed to load initial point as MIP start point, errorcode:%d", 0);
}

// Searches for any solution with the objective dropped; a proof that none
// exists ends the solve.
PreTreeOutcome objective_free(const MipProblem &p, const base::ParamValues &params, Incumbent &inc, MipLog &log,
                              double deadline) {
  PreTreeOutcome out;
  log.text(1, "\nStarting heu with objective replaced off 0.0 \n");
  log.text(1, " Presolving MIP without objective function...");
  log.text(1, "\n(Infeasible solution means problem is infeasible.\n Feasible solutions is converged to a solution for "
              "original problem )");
  SubMipSpec s;
  s.lo = p.col_lo;
  s.up = p.col_up;
  s.zero_objective = true;
  const double now = common::wall_seconds();
  s.deadline = deadline < 1e29 ? now + 0.25 * (deadline - now) : 1e30;
  s.branch_limit = deadline < 1e29 ? -1 : kUnlimitedSearchBranches;
  const SubMipResult r = solve_sub_mip(p, params, s);
  if (r.found) {
    announce(inc.submit(r.x, kTagSubSearch), inc, log, now);
    const Violation v = check_point(p, r.x.data(), params.dbl(TV_DPARAM_MIP_INTTOL));
    log.text(1, "\n\nObjvalue                         : %e  (current solution)", log.user(r.objective));
    log.text(1, "\nInfeasibility of solution        : %2.1e", std::max(v.bound, v.row));
    log.text(1, "\nInteger infeasibility of solution: %2.1e\n\n", v.integrality);
  } else if (r.exhausted) {
    log.text(1, "\nProblem found infeasible");
    out.solved = out.infeasible = true;
  }
  log.text(1, "\nEnd of heu \n");
  return out;
}

PreTreeOutcome fast_enumeration(const MipProblem &p, const base::ParamValues &params, Incumbent &inc, MipLog &log,
                                double deadline) {
  PreTreeOutcome out;
  const bool only = params.integer(TV_IPARAM_MIP_SOLVERTYPE) == 2;
  const double now = common::wall_seconds();
  EnumerationLimits lim;
  // as a heuristic it stops by its node budget, so that it takes the same path whatever the machine's load
  lim.deadline = deadline;
  lim.node_limit = only ? -1 : std::max(1000.0, kFastEnumerationWork / (p.n + p.col_start[p.n] + 1.0));
  // the user's branch limit bounds the enumeration's nodes too
  const int branch_limit = params.integer(TV_IPARAM_MIP_BRANCH_LIMIT);
  if (branch_limit >= 0) lim.node_limit = lim.node_limit < 0 ? branch_limit : std::min<double>(lim.node_limit, branch_limit);
  log.text(2, "\nStarted fast enumeration solver, (time_lim:%g)", lim.deadline < 1e29 ? lim.deadline - now : -1.0);
  const int before = inc.solutions();
  const EnumerationResult r = enumerate_binary(p, p.col_lo, p.col_up, inc, lim);
  announce(inc.solutions() > before, inc, log, now);
  int status = TV_STATUS_UNKNOWN;
  if (r.complete) status = inc.has_incumbent() ? TV_STATUS_OPTIMAL : TV_STATUS_INFEASIBLE;
  else if (inc.has_incumbent()) status = TV_STATUS_FEASIBLE;
  log.text(2, "\nTerminated fast enumeration solver, MIPstat:%d, err:%d", status, 0);
  out.solved = r.complete;
  out.infeasible = r.complete && !inc.has_incumbent();
  return out;
}

}  // namespace

PreTreeOutcome pre_tree_heuristics(const base::ModelData &d, const MipProblem &p, const base::ParamValues &params,
                                   Incumbent &inc, MipLog &log, double deadline) {
  inc.set_store_capacity(params.integer(TV_IPARAM_MIP_MAXNUM_MIP_SOL_STORAGE));
  start_points(d, p, params, inc, log, deadline);
  const int solver_type = params.integer(TV_IPARAM_MIP_SOLVERTYPE);
  const bool heuristics = params.integer(TV_IPARAM_MIP_HEULEVEL) > 0;
  if (solver_type != 1 && (solver_type == 2 || (heuristics && params.integer(TV_IPARAM_MIP_ENUM_HEUMODE) != 0)) &&
      enumeration_accepts(p)) {
    const PreTreeOutcome out = fast_enumeration(p, params, inc, log, deadline);
    if (out.solved) return out;
  } else if (solver_type == 2) {
    log.text(1, "\nThe enumeration solver takes pure binary models only: branch and bound is used.");
  }
  // -1 leaves the pre-relaxation heuristic to the solver, which does not run it by default
  const int prerelax = params.integer(TV_IPARAM_MIP_PREHEU_LEVEL);
  if (prerelax > 0 || prerelax < -1) {
    const int before = inc.solutions();
    pre_relax_heuristic(p, params, inc, log, deadline);
    announce(inc.solutions() > before, inc, log, common::wall_seconds());
  }
  if (params.integer(TV_IPARAM_MIP_HEU_DROP_OBJ) == 1 && !inc.has_incumbent() &&
      params.integer(TV_IPARAM_MIP_HEULEVEL) > 0)
    return objective_free(p, params, inc, log, deadline);
  return {};
}

}  // namespace tarvo::mip
