// Cut loops: the root loop of separation passes with its progress test, pool
// limit and time limit, and the short loop at tree nodes. Separators are
// dispatched by the bits of the cut level masks.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "common/clock.hpp"
#include "mip/conflict_graph.hpp"
#include "mip/context_log.hpp"
#include "mip/cutpool.hpp"
#include "mip/separators.hpp"
#include "tarvo.h"

namespace tarvo::mip {

namespace {

constexpr double kMaxParallelism = 0.98;
// Dense cuts fill the LU factors and slow every later LP: a pass takes only a
// few cuts above the first density, and none are made above the second.
// After a pass that did not move the bound a pass takes more: on a
// dual-degenerate optimal face the sparse classes mostly move the LP to
// another optimal vertex and the dense tableau cuts are what lifts the bound;
// with five a pass the stall test ended the loop before the bound moved on
// some vertices and not on others. Idle dense cuts age out of the LP quickly,
// so they do not pile up.
constexpr double kDensity = 0.1, kMaxDensity = 1.0;
constexpr int kDenseAllowance = 500;
constexpr int kDensePerPass = 5, kDensePerStalledPass = 20;
// Dense Gomory cuts built per dense cut a pass takes: the choice among them
// by parallelism needs a few more than it takes.
constexpr int kDenseChoice = 8;
// A dense cut idle for this many re-optimisations leaves the LP: kept, it
// would slow every LP of the tree while holding no part of the bound.
constexpr int kDenseMaxAge = 2;
// The root loop stops on a budget of work, not of time: under load a time
// share gave a different number of passes, hence another root point and
// another first incumbent, from run to run. Work counts the entries the
// separators scan plus, per simplex pivot, the LP's rows and columns; the
// budget is a fixed amount (some seconds of separation-bound passes) plus a
// multiple of the root LP's own work, so that larger models get more. Only
// the solve's own deadline stops it by the clock. A heuristic's sub-MIP
// keeps a share of its time left: its whole search runs against a short
// clock, and a longer cut loop would take the time its tree needs.
constexpr double kRootLoopWork = 3e8;
constexpr double kRootWorkMultiple = 3;
constexpr double kSubMipTimeShare = 0.2;
constexpr int kRestartedRootPasses = 5;
constexpr int kNever = 1 << 30;
constexpr int kBasisFallback = 10;  // candidates below which the tableau rows' flow covers are sought
constexpr int kDisjunctiveFallback = 20;  // and below which lift-and-project cuts are
constexpr double kDisjunctiveIterations = 10000;  // their simplex iterations in one loop

int dense_nnz(const MipProblem &p) { return kDenseAllowance + static_cast<int>(kDensity * p.n); }
int max_cut_nnz(const MipProblem &p) { return kDenseAllowance + static_cast<int>(kMaxDensity * p.n); }

struct LoopLimits {
  int mask = 0;
  int max_passes = 0;
  int capacity = 0;      // pool size the loop may reach
  int max_aggr = 5;
  int max_per_pass = 0;
  double min_efficacy = 1e-4;
  double deadline = 1e30;
  double work_budget = 1e30;  // units of lp_work and SepInput::work
  bool root = true;
};

// Work of an LP solve in the loop's units: each pivot reads about a row and a column of the LP.
double lp_work(const MipContext &ctx, double pivots) {
  return pivots * (static_cast<double>(ctx.lp.rows()) + ctx.prob.n);
}

int aggregation_limit(int param, bool root) {
  if (param >= 0) return param;
  return root ? 5 : 3;
}

// Runs the separators of the mask on the current LP point.
// `cglp_iterations` counts the simplex iterations of the loop's cut-generating LPs.
// `dense_per_pass` is the number of dense cuts the pass will take.
void separate(MipContext &ctx, CutPool &pool, const LoopLimits &lim, int pass, int dense_per_pass,
              double &cglp_iterations, double &work, std::vector<Cut> &cands) {
  ExtendedVars ext;
  ext.build(ctx.prob, pool, ctx.lp);
  CutSafety safety;
  safety.min_efficacy = lim.min_efficacy;
  SepInput in{ctx.prob, ctx.lp, pool, ext, ctx.lp.x().data(), ctx.params.dbl(TV_DPARAM_MIP_INTTOL),
              lim.max_aggr, lim.max_per_pass, safety, max_cut_nnz(ctx.prob), lim.deadline,
              (lim.mask & TV_MIP_LIFT_CUTS) != 0, dense_nnz(ctx.prob), kDenseChoice * dense_per_pass, &work};
  const double gbnd = ctx.lp.objective();
  if (lim.mask & TV_MIP_GOMORY_CUTS) {
    context_log(ctx, 7, "\nSearching for Gomory cuts (numcutpass:%d numcut:%d, gbnd:%g)", pass, pool.size(), gbnd);
    separate_gomory(in, cands);
    if (lim.max_aggr > 0 || lim.root) separate_cmir(in, cands);
    context_log(ctx, 7, "\nDone searching for Gomory cuts (numcutpass:%d numcut:%d, gbnd:%g)", pass,
                static_cast<int>(cands.size()), gbnd);
  }
  context_log(ctx, 7, "\nStart find_cuts (maxcut:%d, cut_tol:%g, gbnd:%g)", lim.max_per_pass, lim.min_efficacy,
              gbnd);
  const size_t before = cands.size();
  // one log line per class that found candidates
  auto found = [&](const char *label, size_t from, const char *tag) {
    int count = 0;
    for (size_t k = from; k < cands.size(); ++k) count += !tag || std::strcmp(cands[k].tag, tag) == 0;
    if (count > 0)
      context_log(ctx, 7, "\nfind_cuts added %d %s (cut_tol:%g, gbnd:%g)", count, label, lim.min_efficacy, gbnd);
  };
  if (lim.mask & TV_MIP_GUB_COVER_CUTS) {
    const size_t at = cands.size();
    separate_gub_covers(in, pool.conflict_graph(), cands);
    found("GUB_COVERS_CUTS", at, nullptr);
  }
  if (lim.mask & (TV_MIP_DISAGG_CUTS | TV_MIP_PLAN_LOC_CUTS)) {
    const size_t at = cands.size();
    separate_disaggregation(in, lim.mask & TV_MIP_DISAGG_CUTS, lim.mask & TV_MIP_PLAN_LOC_CUTS, cands);
    found("DISAGRE_ROW_CUTS.I", at, "DISAGG");
    found("PLANT_LOC_CUTS", at, "PLANLOC");
  }
  if (lim.mask & TV_MIP_FLOW_COVER_CUTS) {
    const size_t at = cands.size();
    separate_flow_covers(in, cands);
    separate_flow_paths(in, cands);
    found("FLOW_COVERS_CUTS", at, nullptr);
  }
  if (lim.mask & TV_MIP_LIFT_CUTS) {
    const size_t at = cands.size();
    separate_lifted_flow_covers(in, cands);
    found("FLOW_COVERS_CUTS.III", at, nullptr);
  }
  if (lim.mask & TV_MIP_KNAPSUR_COVER_CUTS) separate_knapsack_covers(in, cands);
  if (lim.mask & TV_MIP_SOFT_KNAP_CUTS) {
    const size_t at = cands.size();
    separate_soft_knapsacks(in, cands);
    found("SOFT_KNAP_CUTS", at, nullptr);
  }
  if (lim.mask & TV_MIP_CARDGUB_CUTS) separate_cardinality(in, pool.conflict_graph(), cands);
  if (lim.mask & TV_MIP_LP_ROUND_CUTS) {
    const size_t at = cands.size();
    separate_lp_rounding(in, cands);
    found("LP_ROUND_CUTS", at, nullptr);
  }
  // Lift-and-project cuts cost an LP each and, being deep, crowd the cheaper
  // classes out of the pool: they serve when the other classes run dry, and
  // within an iteration budget of the loop.
  if ((lim.mask & TV_MIP_DISJUN_CUTS) && static_cast<int>(cands.size()) < kDisjunctiveFallback &&
      cglp_iterations < kDisjunctiveIterations) {
    DisjunctiveLimits dl;
    if (!lim.root) {
      dl.max_disjunctions = 1;
      dl.max_support = 100;
      dl.max_rows = 200;
    }
    cglp_iterations += separate_disjunctive(in, dl, cands);
  }
  // the root LP value is a global bound; a node's is not, and the pool is global
  if ((lim.mask & TV_MIP_OBJ_CUT) && lim.root) separate_objective_cut(in, gbnd, cands);
  if (lim.mask & TV_MIP_LATTICE_CUTS) separate_zerohalf(in, cands);
  if (lim.mask & (TV_MIP_GCD_CUTS | TV_MIP_COEF_REDC_CUTS))
    separate_row_tightening(in, lim.mask & TV_MIP_GCD_CUTS, lim.mask & TV_MIP_COEF_REDC_CUTS, cands);
  // clique cuts are not tied to a bit of the mask
  separate_cliques(in, pool.conflict_graph(), cands);
  separate_implied_bounds(in, pool.implied_bounds(), cands);
  // The tableau rows' flow covers are weak next to the cuts of the rows
  // themselves and crowd them out of the pool: they serve when the other
  // classes run dry.
  if ((lim.mask & TV_MIP_BASIS_CUTS) && static_cast<int>(cands.size()) < kBasisFallback) {
    const size_t at = cands.size();
    separate_tableau_flow_covers(in, cands);
    found("FLOW_COVERS_CUTS.III", at, nullptr);
  }
  context_log(ctx, 7, "\nEnd find_cuts (ncutsf:%d, gbd:%g)", static_cast<int>(cands.size() - before), gbnd);
}

// Chooses efficient, mutually non-parallel cuts and puts them in the pool;
// -1 when the pool is full and nothing could be made room for.
int select_and_add(MipContext &ctx, CutPool &pool, const LoopLimits &lim, std::vector<Cut> &cands,
                   int dense_per_pass) {
  std::sort(cands.begin(), cands.end(), [](const Cut &a, const Cut &b) { return a.efficacy > b.efficacy; });
  std::vector<double> scratch(ctx.prob.n, 0.0);
  std::vector<const Cut *> chosen;
  int added = 0;
  const int dense = dense_nnz(ctx.prob);
  int dense_taken = 0;
  for (const Cut &c : cands) {
    if (added >= lim.max_per_pass) break;
    if (c.efficacy < lim.min_efficacy) break;
    // the objective cut is dense by nature and a single row
    const bool is_dense = static_cast<int>(c.index.size()) > dense && class_of_tag(c.tag) != CutClass::kObj;
    if (is_dense && dense_taken >= dense_per_pass) continue;
    bool parallel = false;
    for (const Cut *o : chosen)
      if (cut_parallelism(c, *o, scratch) > kMaxParallelism) {
        parallel = true;
        break;
      }
    if (parallel) continue;
    int at = pool.add(lim.capacity, 1, 0.0, c.value.data(), c.index.data(), static_cast<int>(c.index.size()),
                      c.rhs, c.tag, c.from_basis);
    if (at < 0 && lim.root) {
      const int freed = pool.delete_slack_cuts(ctx.lp);
      if (freed > 0) {
        context_log(ctx, 1, "\n WARNING: The cut pool is empty, deleting cuts with slack num=%u ",
                    static_cast<unsigned>(freed));
        at = pool.add(lim.capacity, 1, 0.0, c.value.data(), c.index.data(), static_cast<int>(c.index.size()),
                      c.rhs, c.tag, c.from_basis);
      }
    }
    if (at < 0) {
      context_log(ctx, 1, "\n WARNING: The cut pool is empty, try and increase TV_DPARAM_MIP_ADDCUTPER");
      return added > 0 ? added : -1;
    }
    chosen.push_back(&c);
    added++;
    dense_taken += is_dense;
  }
  return added;
}

simplex::LpStatus resolve(MipContext &ctx) {
  simplex::LpLimits limits;
  const double left = ctx.deadline - common::wall_seconds();
  if (ctx.deadline < 1e29) limits.time_limit = std::max(0.0, left);
  return ctx.lp.solve(TV_METHOD_DSIMPLEX, limits);
}

// Passes of separation and re-optimisation until the bound stalls or a limit holds.
CutLoopResult run_loop(MipContext &ctx, CutPool &pool, const LoopLimits &lim) {
  CutLoopResult res;
  const double loop_start = common::wall_seconds();
  res.status = ctx.lp.status();
  if (res.status == simplex::LpStatus::kOptimal) res.bound = ctx.lp.objective();
  const int max_nonimp = std::max(1, ctx.params.integer(TV_IPARAM_MIP_MAXNONIMP_CUTPASS));
  const double objtol = ctx.params.dbl(TV_DPARAM_MIP_ADDCUTOBJTOL);
  const int inactive_limit = std::max(1, ctx.params.integer(TV_IPARAM_MIP_MAKECUT_INACTIVE_COUNT));
  double ratio = 1e-3;  // halved every pass: later passes must make smaller steps to count
  int nonimp = 0;
  bool stalled = false;  // the last pass left the bound where it was
  // tailing off: the last kStallPasses passes together moved the bound by
  // less than kStallShare of what the loop has gained so far (a thinner share
  // kept the root trickling one or two cuts a pass for dozens of passes)
  constexpr int kStallPasses = 10;
  constexpr double kStallShare = 3e-3;
  const double z_start = ctx.lp.objective();
  std::vector<double> history;
  double cglp_iterations = 0;
  double work = 0;
  for (int pass = 1; pass <= lim.max_passes; ++pass) {
    if (res.status != simplex::LpStatus::kOptimal) break;
    if (common::wall_seconds() >= lim.deadline) {
      if (lim.root) context_log(ctx, 1, "\n WARNING: The time limit for adding cuts have run out \n");
      break;
    }
    const double z_old = ctx.lp.objective();
    std::vector<Cut> cands;
    const int dense_per_pass = stalled ? kDensePerStalledPass : kDensePerPass;
    separate(ctx, pool, lim, pass, dense_per_pass, cglp_iterations, work, cands);
    // Cuts that held no part of the bound for long leave before the new ones
    // come in: the LP keeps its basis, and the pool has room again.
    if (lim.root) pool.drop_aged_cuts(ctx.lp, inactive_limit, dense_nnz(ctx.prob), kDenseMaxAge);
    const int added = select_and_add(ctx, pool, lim, cands, dense_per_pass);
    if (added <= 0) {
      // rows deleted to make room leave the LP's results behind its rows
      if (static_cast<int>(ctx.lp.duals().size()) != ctx.lp.rows()) {
        res.status = resolve(ctx);
        if (res.status == simplex::LpStatus::kOptimal) res.bound = ctx.lp.objective();
      }
      break;
    }
    pool.flush_to_lp(ctx.lp);
    res.cuts_added += added;
    res.rounds = pass;
    res.status = resolve(ctx);
    work += lp_work(ctx, ctx.lp.iterations());
    if (ctx.cut_pass_line) ctx.cut_pass_line(ctx.log_data, pass, res.cuts_added);
    if (res.status != simplex::LpStatus::kOptimal) break;
    if (!lim.root) update_cut_activity(ctx, pool);
    if (lim.root) pool.age_cuts(ctx.lp);
    if (lim.root && ctx.root_lp_solved) ctx.root_lp_solved(ctx.root_lp_data);
    const double z_new = ctx.lp.objective();
    res.bound = z_new;
    if (lim.root)
      context_log(ctx, 3, "\nCut pass %d: bound %.10g, %d cuts, %.0f pivots, work %.0f, %.2f s into the loop", pass,
                  z_new, added, ctx.lp.iterations(), work, common::wall_seconds() - loop_start);
    stalled = std::fabs(z_new - z_old) <= std::min(objtol, ratio) * (std::fabs(z_old) + 1);
    if (stalled && ++nonimp >= max_nonimp) break;
    history.push_back(z_new);
    if (static_cast<int>(history.size()) > kStallPasses) {
      const double recent = z_new - history[history.size() - 1 - kStallPasses];
      if (recent <= kStallShare * (z_new - z_start)) break;
    }
    ratio *= 0.5;
    if (work >= lim.work_budget) {
      context_log(ctx, 3, "\nCut loop work budget %.0f spent", lim.work_budget);
      break;
    }
  }
  return res;
}

}  // namespace

CutLoopResult root_cut_loop(MipContext &ctx, CutPool &pool) {
  LoopLimits lim;
  lim.mask = ctx.params.integer(TV_IPARAM_MIP_CUTLEVEL_TOP);
  if (lim.mask == 0 || ctx.lp.status() != simplex::LpStatus::kOptimal || !pool.in_step_with(ctx.lp)) {
    CutLoopResult r;
    r.status = ctx.lp.status();
    if (r.status == simplex::LpStatus::kOptimal) r.bound = ctx.lp.objective();
    return r;
  }
  lim.max_passes = ctx.params.integer(TV_IPARAM_MIP_MAXCUTPASS_TOP);
  // after a restart the carried cuts hold most of the first root's bound: a few passes add what the fixings allow
  if (ctx.light_root) lim.max_passes = std::min(lim.max_passes, kRestartedRootPasses);
  lim.capacity = static_cast<int>(std::floor(ctx.params.dbl(TV_DPARAM_MIP_ADDCUTPER) * ctx.prob.m));
  lim.max_aggr = aggregation_limit(ctx.params.integer(TV_IPARAM_MIP_AGGCUTLIM_TOP), true);
  lim.max_per_pass = std::min(500, std::max(50, ctx.prob.m));
  lim.root = true;
  lim.work_budget = ctx.root_cut_work >= 0
                        ? ctx.root_cut_work
                        : kRootLoopWork + kRootWorkMultiple * lp_work(ctx, ctx.lp.total_iterations());
  double cut_time = ctx.params.dbl(TV_DPARAM_MIP_CUTTIMLIM);
  if (cut_time < 0 && ctx.params.integer(TV_IPARAM_MIP_CUTTIMLIM) >= 0)
    cut_time = ctx.params.integer(TV_IPARAM_MIP_CUTTIMLIM);
  const double now = common::wall_seconds();
  lim.deadline = ctx.deadline;
  if (cut_time >= 0)
    lim.deadline = std::min(lim.deadline, now + cut_time);
  else if (ctx.sub_mip && ctx.deadline < 1e29)
    lim.deadline = std::min(lim.deadline, now + kSubMipTimeShare * (ctx.deadline - now));
  context_log(ctx, 7, "\nStart cuts loop (cutlevel:%d numcut:%d, gbnd:%g)", lim.mask, pool.size(),
              ctx.lp.objective());
  CutLoopResult r = run_loop(ctx, pool, lim);
  // the tree keeps no dense cut that holds no part of the bound
  if (r.status == simplex::LpStatus::kOptimal && pool.drop_aged_cuts(ctx.lp, kNever, dense_nnz(ctx.prob), 1) > 0) {
    r.status = resolve(ctx);
    if (r.status == simplex::LpStatus::kOptimal) r.bound = ctx.lp.objective();
  }
  context_log(ctx, 7, "\nEnd cuts loop (numcutpass:%d numcut:%d, gbnd:%g)", r.rounds, pool.size(),
              ctx.lp.objective());
  pool.mark_root_end();
  return r;
}

CutLoopResult node_cut_loop(MipContext &ctx, CutPool &pool) {
  CutLoopResult r;
  r.status = ctx.lp.status();
  if (r.status == simplex::LpStatus::kOptimal) r.bound = ctx.lp.objective();
  pool.mark_root_end();
  LoopLimits lim;
  lim.mask = ctx.params.integer(TV_IPARAM_MIP_CUTLEVEL_TREE);
  if (lim.mask == 0 || r.status != simplex::LpStatus::kOptimal || !pool.in_step_with(ctx.lp)) return r;
  lim.max_passes = ctx.params.integer(TV_IPARAM_MIP_MAXCUTPASS_TREE);
  lim.capacity = pool.root_size() +
                 static_cast<int>(std::floor(ctx.params.dbl(TV_DPARAM_MIP_ADDCUTPER_TREE) * ctx.prob.m));
  // a full pool takes nothing more in the tree: separating would be wasted work
  if (pool.size() >= lim.capacity) return r;
  lim.max_aggr = aggregation_limit(ctx.params.integer(TV_IPARAM_MIP_AGGCUTLIM_TREE), false);
  lim.max_per_pass = std::min(20, std::max(5, ctx.prob.m / 50));
  lim.min_efficacy = 1e-3;
  lim.root = false;
  lim.deadline = ctx.deadline;
  return run_loop(ctx, pool, lim);
}

int update_cut_activity(MipContext &ctx, CutPool &pool) {
  // Slack cuts stay switched on in the tree: node LPs holding cut rows made
  // free ended in numerical failures of the dual simplex (lseu), and each such
  // node leaves an unproven bound behind.
  constexpr bool kNoDeactivation = true;
  return pool.update_activity(ctx.lp, ctx.params.integer(TV_IPARAM_MIP_MAKECUT_INACTIVE_COUNT), kNoDeactivation);
}

int park_idle_cuts(MipContext &ctx, CutPool &pool, bool refactor_due) {
  // Every row change rebuilds the LP and its factors: while plunging on a
  // factored basis idle cuts leave in batches, before a fresh basis any do.
  constexpr int kMinBatch = 10;
  constexpr double kBatchShare = 0.1;
  const int batch = refactor_due ? 1 : std::max(kMinBatch, static_cast<int>(kBatchShare * ctx.lp.rows()));
  return pool.park_idle_cuts(ctx.lp, std::max(1, ctx.params.integer(TV_IPARAM_MIP_MAKECUT_INACTIVE_COUNT)), batch);
}

namespace {
struct StatLine {
  CutClass cls;
  const char *format;
};
constexpr StatLine kStatLines[] = {
    {CutClass::kGub, "\n Gub cuts added             :%u"},
    {CutClass::kFlow, "\n Flow cuts added            :%u"},
    {CutClass::kPFlow, "\n PFlow cuts added           :%u"},
    {CutClass::kLift, "\n Lift cuts added            :%u"},
    {CutClass::kPlanLoc, "\n Planloc cuts added         :%u"},
    {CutClass::kDisagg, "\n Disagg cuts added          :%u"},
    {CutClass::kCover, "\n Cover cuts added           :%u"},
    {CutClass::kLattice, "\n Lattice cuts added          :%u"},
    {CutClass::kCoef, "\n Coef cuts added            :%u"},
    {CutClass::kGcd, "\n Gcd cuts added             :%u"},
    {CutClass::kObj, "\n Obj cuts added             :%u"},
    {CutClass::kCard, "\n Cardinality cuts added     :%u"},
    {CutClass::kDisjun, "\n DISJUN cuts added          :%u"},
    {CutClass::kSoftKnap, "\n Soft Knapsack cuts added    :%u"},
    {CutClass::kLpRound, "\n LP Rounding cuts added    :%u"},
    {CutClass::kClique, "\n Clique cuts added          :%u"},
};
}  // namespace

void report_cut_statistics(MipContext &ctx, const CutPool &pool) {
  for (const StatLine &s : kStatLines) {
    context_log(ctx, 1, s.format, pool.count(s.cls));
    // classes with variants built on tableau rows have a line of their own for those
    if (s.cls == CutClass::kLift) {
      char line[96];
      std::snprintf(line, sizeof line, "%s (basis)", s.format);
      context_log(ctx, 1, line, pool.count_basis(s.cls));
    }
  }
  context_log(ctx, 1, "\n Gomory cuts added          :%d", static_cast<int>(pool.count(CutClass::kGomory)));
  context_log(ctx, 1, "\n MIR cuts added             :%d", static_cast<int>(pool.count(CutClass::kMir)));
}

}  // namespace tarvo::mip
