// Sub-MIPs: reduction by the fixed columns and a limited search by the tree.
#include "mip/sub_mip.hpp"

#include <algorithm>
#include <cmath>

#include "common/error_codes.hpp"
#include "common/clock.hpp"
#include "mip/cutpool.hpp"
#include "mip/heur_common.hpp"
#include "mip/mip_presolve_call.hpp"
#include "mip/tree_search.hpp"
#include "mip/working_problem.hpp"
#include "simplex/lp_solver.hpp"
#include "tarvo.h"

namespace tarvo::mip {
namespace {

constexpr double kPresolveTimeShare = 0.2;  // of a sub-MIP's time its presolve may take

struct Reduced {
  MipProblem prob;
  std::vector<int> keep;   // full column of each sub column
  std::vector<double> fixed_value;  // value of every full column that is fixed
  std::vector<char> fixed;
  bool infeasible = false;
};

bool row_holds(double activity, double lo, double up) {
  const double tol = 1e-6;
  if (lo > -1e30 && activity < lo - tol * (1 + std::fabs(lo))) return false;
  if (up < 1e30 && activity > up + tol * (1 + std::fabs(up))) return false;
  return true;
}

// Appends one row of the sub problem from full-space entries; a row left
// without free columns is only checked.
void add_row(const MipProblem &p, const std::vector<int> &sub_col, Reduced &r, const int *index, const double *value,
             int len, double lo, double up, std::vector<std::vector<std::pair<int, double>>> &cols) {
  (void)p;
  double shift = 0;
  int free_count = 0;
  for (int k = 0; k < len; ++k) {
    if (r.fixed[index[k]])
      shift += value[k] * r.fixed_value[index[k]];
    else
      ++free_count;
  }
  if (free_count == 0) {
    if (!row_holds(shift, lo, up)) r.infeasible = true;
    return;
  }
  const int row = r.prob.m++;
  r.prob.row_lo.push_back(lo > -1e30 ? lo - shift : -1e30);
  r.prob.row_up.push_back(up < 1e30 ? up - shift : 1e30);
  for (int k = 0; k < len; ++k)
    if (!r.fixed[index[k]]) cols[sub_col[index[k]]].emplace_back(row, value[k]);
}

Reduced reduce(const MipProblem &p, const SubMipSpec &s) {
  Reduced r;
  r.fixed.assign(p.n, 0);
  r.fixed_value.assign(p.n, 0.0);
  std::vector<int> sub_col(p.n, -1);
  MipProblem &q = r.prob;
  for (int j = 0; j < p.n; ++j) {
    double lo = std::max(p.col_lo[j], s.lo[j]), up = std::min(p.col_up[j], s.up[j]);
    if (p.is_int[j]) {
      if (lo > -1e30) lo = std::ceil(lo - 1e-9);
      if (up < 1e30) up = std::floor(up + 1e-9);
    }
    if (!(lo <= up + 1e-9)) {
      r.infeasible = true;
      return r;
    }
    if (up - lo <= 1e-12) {
      r.fixed[j] = 1;
      r.fixed_value[j] = lo;
      q.obj_constant += s.zero_objective ? 0.0 : p.c[j] * lo;
      continue;
    }
    sub_col[j] = q.n++;
    r.keep.push_back(j);
    q.c.push_back(s.zero_objective ? 0.0 : p.c[j]);
    q.col_lo.push_back(lo);
    q.col_up.push_back(up);
    q.is_int.push_back(p.is_int[j]);
  }
  if (!s.zero_objective) q.obj_constant += p.obj_constant;
  std::vector<std::vector<std::pair<int, double>>> cols(q.n);
  for (int i = 0; i < p.m && !r.infeasible; ++i)
    add_row(p, sub_col, r, p.row_index.data() + p.row_start[i], p.row_value.data() + p.row_start[i],
            p.row_start[i + 1] - p.row_start[i], p.row_lo[i], p.row_up[i], cols);
  if (!s.row_index.empty() && !r.infeasible)
    add_row(p, sub_col, r, s.row_index.data(), s.row_value.data(), static_cast<int>(s.row_index.size()), s.row_lo,
            s.row_up, cols);
  q.col_start.assign(1, 0);
  for (const auto &col : cols) {
    for (const auto &[row, value] : col) {
      q.col_index.push_back(row);
      q.col_value.push_back(value);
    }
    q.col_start.push_back(static_cast<int>(q.col_index.size()));
  }
  q.build_rows();
  return r;
}

void set_param(base::ParamValues &prm, int id, double v) {
  const int slot = base::params::special_int_slot(id);
  if (slot >= 0) prm.special_int[slot] = static_cast<int>(v);
  const int pos = base::params::position(id);
  if (pos >= 0) prm.store(pos, v);
}

}  // namespace

double fixed_integer_share(const MipProblem &p, const SubMipSpec &spec) {
  int ints = 0, fixed = 0;
  for (int j = 0; j < p.n; ++j) {
    if (!p.is_int[j]) continue;
    ++ints;
    if (std::min(p.col_up[j], spec.up[j]) - std::max(p.col_lo[j], spec.lo[j]) < 0.5) ++fixed;
  }
  return ints == 0 ? 0.0 : static_cast<double>(fixed) / ints;
}

// The tree on q as it is.
SubMipResult search_tree(const MipProblem &q, const base::ParamValues &params, const SubMipSpec &spec) {
  SubMipResult res;
  const double start = common::wall_seconds();
  if (spec.deadline <= start) {
    res.code = err::kTimeLimit;
    return res;
  }
  res.kept_columns = q.n;
  base::ParamValues prm = params;
  set_param(prm, TV_IPARAM_MIP_PRINTLEVEL, 0);
  set_param(prm, TV_IPARAM_MIP_HEU_DROP_OBJ, 0);
  if (!spec.zero_objective && spec.cutoff < 1e30) {
    // A search for improvements keeps to the simple heuristics: the pump
    // ignores the cutoff (what it finds is mostly turned away) and the dives'
    // LPs fall outside the tree's iteration limit. The pump still runs when
    // its parameter asks for it.
    const int fp_mode = prm.integer(TV_IPARAM_MIP_FP_MODE);
    if (fp_mode == -1 || fp_mode == 1) set_param(prm, TV_IPARAM_MIP_FP_MODE, 0);
    set_param(prm, TV_IPARAM_MIP_HEULEVEL, std::min(prm.integer(TV_IPARAM_MIP_HEULEVEL), 1));
  }
  if (!spec.use_cuts) {
    set_param(prm, TV_IPARAM_MIP_CUTLEVEL_TOP, 0);
    set_param(prm, TV_IPARAM_MIP_CUTLEVEL_TREE, 0);
  } else if (prm.integer(TV_IPARAM_MIP_USE_CUTS_HEU) == -1) {
    // lift-and-project LPs fall outside the sub-MIP's iteration budget and
    // cost more than the rest of its cut loop: they run only when asked for
    set_param(prm, TV_IPARAM_MIP_CUTLEVEL_TOP, prm.integer(TV_IPARAM_MIP_CUTLEVEL_TOP) & ~TV_MIP_DISJUN_CUTS);
    set_param(prm, TV_IPARAM_MIP_CUTLEVEL_TREE, prm.integer(TV_IPARAM_MIP_CUTLEVEL_TREE) & ~TV_MIP_DISJUN_CUTS);
  }
  MipSettings set = MipSettings::from_params(prm, 1);
  set.print_level = 0;
  set.time_limit = spec.deadline < 1e29 ? spec.deadline - start : -1;
  set.branch_limit = spec.branch_limit;
  set.iter_limit = spec.iter_limit;
  set.last_sol_time_limit = -1;
  set.solution_limit = spec.zero_objective ? 1 : spec.solution_limit;
  set.cutoff = spec.zero_objective ? 1e30 : spec.cutoff;
  set.use_cutoff = true;

  base::ModelData data;
  problem_to_lp_data(q, &data);
  simplex::LpSolver lp;
  lp.load(data, simplex::LpOptions::from_params(prm));
  for (int i = 0; i < q.m; ++i) lp.set_row_bounds(i, q.row_lo[i], q.row_up[i]);
  Incumbent inc(q, set.int_tol, 1e-6);
  inc.set_threshold(set.cutoff);
  MipContext ctx{q, lp, prm, inc};
  ctx.sub_mip = true;
  ctx.seed = 7;
  MipLog log(nullptr, 0, 1);
  TreeOutcome t;
  {
    TreeSearch tree(ctx, set, inc, log, TreeHooks{}, start, nullptr);
    t = tree.run();
    if (spec.use_cuts && tree.cut_pool()) res.cuts = static_cast<int>(tree.cut_pool()->total());
  }
  if (spec.use_cuts) res.cut_capacity = static_cast<int>(std::floor(prm.dbl(TV_DPARAM_MIP_ADDCUTPER) * q.m));
  res.code = t.code;
  res.branches = t.branches;
  res.iterations = t.iterations;
  res.exhausted = t.complete && t.code == 0;
  // a complete search of an empty region proves nothing about a bound below the cutoff
  res.bound = t.complete && t.code == 0 ? (inc.has_incumbent() ? inc.incumbent_objective() : set.cutoff) : t.bound;
  if (!inc.has_incumbent()) return res;
  res.x = inc.incumbent();
  res.objective = inc.incumbent_objective();
  res.found = true;
  return res;
}

// The MIP presolve first: fixings make sub-MIPs far smaller than the
// columns they keep (probing, dominated columns, implied bounds); the
// reduced problem's solution comes back through postsolve and is checked
// and cleaned on q before it counts.
SubMipResult search_problem(const MipProblem &q, const base::ParamValues &params, const SubMipSpec &spec) {
  const int level = params.integer(TV_IPARAM_MIP_PRELEVEL);
  const double now = common::wall_seconds();
  if (level <= 0 || q.n == 0 || spec.deadline <= now) return search_tree(q, params, spec);
  presolve::Options opt;
  opt.mip = true;
  opt.level = level;
  opt.fill_limit = params.integer(TV_IPARAM_MIP_PRE_ELIM_FILL);
  opt.feastol = params.dbl(TV_DPARAM_SOLVER_FEASTOL);
  if (spec.deadline < 1e29) opt.time_limit = kPresolveTimeShare * (spec.deadline - now);
  presolve::Result r;
  if (presolve::run(linear_problem_of(q), opt, &r) != 0) return search_tree(q, params, spec);
  const double int_tol = params.dbl(TV_DPARAM_MIP_INTTOL);
  // returns whether the point is feasible for q, better than the cutoff or not
  auto lift = [&](const std::vector<double> &small, SubMipResult &res) {
    const std::vector<double> x = postsolved(r, small);
    Incumbent check(q, int_tol, 1e-6);
    check.set_threshold(spec.zero_objective ? 1e30 : spec.cutoff);
    res.found = check.submit(x, "");
    if (res.found) {
      res.x = check.incumbent();
      res.objective = check.incumbent_objective();
      return true;
    }
    Incumbent feasible(q, int_tol, 1e-6);
    return feasible.submit(x, "");
  };
  SubMipResult res;
  res.kept_columns = r.reduced.n;
  switch (r.outcome) {
    case presolve::Outcome::kInfeasible:
      res.exhausted = true;
      res.bound = 1e30;
      return res;
    case presolve::Outcome::kSolved:
      // presolve's point is an optimum of the region: when it is no better
      // than the cutoff, the region holds nothing better either
      res.exhausted = lift({}, res);
      res.bound = res.found ? res.objective : -1e30;
      return res;
    case presolve::Outcome::kReduced: {
      MipProblem small;
      mip_problem_of(r.reduced, &small);
      res = search_tree(small, params, spec);
      if (!res.found) return res;
      const std::vector<double> sx = res.x;
      lift(sx, res);
      // a point the postsolve could not bring back: the search on q decides
      if (!res.found && seconds_left(spec.deadline) > 0) return search_tree(q, params, spec);
      return res;
    }
    default:
      return search_tree(q, params, spec);
  }
}

SubMipResult solve_sub_mip(const MipProblem &p, const base::ParamValues &params, const SubMipSpec &spec) {
  SubMipResult none;
  if (static_cast<int>(spec.lo.size()) < p.n || static_cast<int>(spec.up.size()) < p.n) return none;
  if (spec.deadline <= common::wall_seconds()) {
    none.code = err::kTimeLimit;
    return none;
  }
  Reduced r = reduce(p, spec);
  if (r.infeasible) {
    none.exhausted = true;
    return none;
  }
  SubMipResult res = search_problem(r.prob, params, spec);
  if (!res.found) return res;
  std::vector<double> sub_x;
  sub_x.swap(res.x);
  res.x = r.fixed_value;
  for (int k = 0; k < r.prob.n; ++k) res.x[r.keep[k]] = sub_x[k];
  res.objective = objective_of(p, res.x.data());
  return res;
}

}  // namespace tarvo::mip
