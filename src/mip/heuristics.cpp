// Schedule of the primal heuristics at the root and at tree nodes, driven by
// the heuristic level, the pump mode and the time budget parameters.
#include <algorithm>
#include <cmath>
#include <iterator>

#include "common/clock.hpp"
#include "mip/context_log.hpp"
#include "mip/enumeration.hpp"
#include "mip/heuristics.hpp"
#include "mip/mip_concurrent.hpp"
#include "mip/mip_log.hpp"
#include "tarvo.h"

namespace tarvo::mip {

namespace {

constexpr int kNodeDiveFrequency = 10;
// Tree RINS: steps of the share of integer columns its regions free beyond
// the disagreeing ones, and the most it frees.
constexpr double kRinsFreeStep = 0.1, kRinsMostFreeShare = 0.5;
constexpr double kMinNodeDiveIterations = 500;  // a dive shorter than this rarely reaches a leaf
constexpr int kRootFixPropagateRuns = 6;
constexpr int kNodeFixPropagateRuns = 2;
// Sub-MIP weight (branches and share of the time left) of RENS while no solution is known.
constexpr double kFirstSolutionWeight = 2.0;
constexpr double kRensFreeShares[] = {0.0, 0.1, 0.25};  // integer columns left free by the widened RENS
constexpr int kPumpRoundCap = 10000;  // bound on rounds when the pump has no iteration limit
constexpr int kMaxPumpThreads = 4;    // pumps run at once at most
constexpr int kNodeEnumerationFree = 24;      // free binaries up to which a node is enumerated
constexpr double kNodeEnumerationNodes = 1 << 14;
constexpr double kFirstTreeRins = 100;  // branches before the first RINS in the tree
constexpr double kRootEnumerationWork = 1e7;  // column and nonzero visits of the root enumeration
// Simplex iterations of a unit-weight sub-MIP per iteration of the root LP and its cut loop.
constexpr double kSubIterationsPerRoot = 10.0;
// Relative root gap from which improvement searches get their full budget;
// below it the budget shrinks with the gap, down to the smallest share.
constexpr double kFullEffortGap = 0.01;
constexpr double kSmallestGapShare = 0.1;
constexpr int kRootImproveRounds = 10;  // rounds of root improvement searches while they improve

double int_tol(const MipContext &ctx) { return ctx.params.dbl(TV_DPARAM_MIP_INTTOL); }

// One log line per root heuristic phase: where the root's time goes and what it found.
void phase_line(const MipContext &ctx, const char *phase) {
  const double z = ctx.sink.has_incumbent() ? ctx.sink.incumbent_objective() : 1e30;
  context_log(ctx, 3, "\nRoot heuristics: %-14s done at %7.2f s, incumbent %g", phase,
              common::wall_seconds() - ctx.heur->start, z);
}

// The advanced heuristics stop early once the incumbent is within the
// relative tolerance of the target objective.
bool target_reached(const MipContext &ctx) {
  const double target = ctx.params.dbl(TV_DPARAM_MIP_OBJ_THRESHOLD);
  if (!ctx.sink.has_incumbent() || target <= -1e30) return false;
  const double z = ctx.sink.incumbent_objective();
  return z - target <= ctx.params.dbl(TV_DPARAM_MIP_RELOPTTOL) * std::max(1.0, std::fabs(z));
}

void run_rounding(MipContext &ctx) {
  const std::vector<double> x = ctx.lp.x();
  const Locks locks(ctx.prob);
  if (simple_rounding(ctx, x, locks, int_tol(ctx)) || zi_rounding(ctx, x, int_tol(ctx))) return;
  activity_rounding(ctx, x, int_tol(ctx));
}

// Mode 1 of TV_IPARAM_MIP_HEU_MODE paces heuristics by time alone; the
// other modes decide by counted work (simplex iterations, branches), so that
// a solve takes the same path on a busy machine as on an idle one.
bool time_paced(const MipContext &ctx) { return ctx.params.integer(TV_IPARAM_MIP_HEU_MODE) == 1; }

// Limits of one sub-MIP: branches grow with the level and `weight`, and the
// tree's iterations with the effort the root took, so that a sub-MIP as
// large as the problem cannot outlast the root by far. Mode 0 caps them by a
// share of the time left (of the elapsed time without a limit), at least the
// minimum heuristic time: on large models the work budgets alone let the
// root heuristics take most of a short time limit. Mode 1 stops by time
// only, mode 2 by the work budgets only.
SubMipBudget sub_budget(const MipContext &ctx, int level, double weight) {
  SubMipBudget b;
  const int mode = ctx.params.integer(TV_IPARAM_MIP_HEU_MODE);
  b.branches = mode == 1 ? -1 : 100.0 * std::max(level, 2) * weight;
  const double now = common::wall_seconds();
  const double started = ctx.heur ? ctx.heur->start : now;
  double share = ctx.deadline < 1e29 ? 0.05 * weight * (ctx.deadline - now) : 5.0 * weight + 0.05 * (now - started);
  share = std::max(share, ctx.params.dbl(TV_DPARAM_MIP_HEUMINTIMLIM));
  b.deadline = mode == 2 ? ctx.deadline : std::min(ctx.deadline, now + share);
  if (mode != 1) {
    const double root = ctx.heur ? ctx.heur->root_iterations : 0.0;
    b.iterations = std::max(2.0 * (ctx.prob.m + ctx.prob.n), kSubIterationsPerRoot * weight * root);
  }
  const int cuts = ctx.params.integer(TV_IPARAM_MIP_USE_CUTS_HEU);
  b.use_cuts = cuts == 1 || (cuts == -1 && weight >= 2);
  return b;
}

// RENS while no solution is known: the first solution is handed over at once
// (RINS and the tree improve on it), and the time share is twice the branch
// budget's weight so that a loaded machine does not cut the search short.
SubMipBudget first_solution_budget(const MipContext &ctx, int level) {
  SubMipBudget b = sub_budget(ctx, level, kFirstSolutionWeight);
  b.solutions = 1;
  const double now = common::wall_seconds();
  if (b.deadline < ctx.deadline) b.deadline = std::min(ctx.deadline, now + 2 * (b.deadline - now));
  if (b.iterations >= 0) b.iterations *= 2;
  return b;
}

// Sub-MIPs in the tree take at most a tenth of the work so far (simplex
// iterations of the solve's own LP and of the sub-MIPs since the root
// heuristics began) beyond the budget of one unit-weight sub-MIP; paced by
// time, a tenth of the time so far beyond a second. The minimum heuristic
// time is granted either way.
bool sub_time_left(const MipContext &ctx) {
  if (!ctx.heur) return false;
  const HeuristicState &st = *ctx.heur;
  const double min_seconds = ctx.params.dbl(TV_DPARAM_MIP_HEUMINTIMLIM);
  if (min_seconds > 0 && st.sub_seconds <= min_seconds) return true;
  if (time_paced(ctx)) return st.sub_seconds <= 0.1 * (common::wall_seconds() - st.start) + 1.0;
  const double own = std::max(0.0, ctx.lp.total_iterations() - st.root_iterations);
  const double allowance = std::max(2.0 * (ctx.prob.m + ctx.prob.n), kSubIterationsPerRoot * st.root_iterations);
  return st.sub_iterations <= allowance + 0.1 * (own + st.sub_iterations);
}

// The enumeration solver over the node's bounds of a pure binary model when
// few columns are free (TV_IPARAM_MIP_ENUM_HEUMODE 2 and 4 in the tree, 3
// and 4 with the cut rows).
void node_enumeration(MipContext &ctx) {
  const int mode = ctx.params.integer(TV_IPARAM_MIP_ENUM_HEUMODE);
  if (!ctx.heur || !ctx.heur->pure_binary || (mode != 2 && mode != 4)) return;
  int free_count = 0;
  for (int j = 0; j < ctx.prob.n && free_count <= kNodeEnumerationFree; ++j)
    free_count += ctx.lp.col_lower(j) != ctx.lp.col_upper(j);
  if (free_count > kNodeEnumerationFree) return;
  EnumerationLimits lim;
  lim.deadline = ctx.deadline;
  lim.node_limit = kNodeEnumerationNodes;
  if (mode == 4 && ctx.lp.rows() > ctx.prob.m) {
    const MipProblem q = with_cut_rows(ctx);
    enumerate_binary(q, ctx.lp.col_lowers(), ctx.lp.col_uppers(), ctx.sink, lim);
  } else {
    enumerate_binary(ctx.prob, ctx.lp.col_lowers(), ctx.lp.col_uppers(), ctx.sink, lim);
  }
}

// After the root cut loop (TV_IPARAM_MIP_ENUM_HEUMODE 3 and 4) the cut rows
// strengthen the enumeration's propagation.
void root_enumeration_with_cuts(MipContext &ctx) {
  const int mode = ctx.params.integer(TV_IPARAM_MIP_ENUM_HEUMODE);
  if (!ctx.heur->pure_binary || (mode != 3 && mode != 4) || ctx.lp.rows() <= ctx.prob.m) return;
  const MipProblem q = with_cut_rows(ctx);
  EnumerationLimits lim;
  lim.deadline = ctx.deadline;
  lim.node_limit = std::max(1000.0, kRootEnumerationWork / (q.n + q.col_start[q.n] + 1.0));
  enumerate_binary(q, ctx.lp.col_lowers(), ctx.lp.col_uppers(), ctx.sink, lim);
}

int local_branch_window(const MipContext &ctx) {
  const int k = ctx.params.integer(TV_IPARAM_MIP_LOCALBRANCHNUM);
  return k > 0 ? k : 10;
}

// The incumbent is within the optimality tolerances of the bound: the tree
// stops at once, so a search for better solutions has nothing to win.
bool gap_closed(const MipContext &ctx, double bound) {
  if (!ctx.sink.has_incumbent()) return false;
  const double z = ctx.sink.incumbent_objective();
  if (relative_gap(bound, z) <= ctx.params.dbl(TV_DPARAM_MIP_RELOPTTOL)) return true;
  const double abs_tol = ctx.params.dbl(TV_DPARAM_MIP_ABSOPTTOL);
  return abs_tol > 0 && z - bound <= abs_tol;
}

// Improvement searches at the root: the closer the incumbent is to the
// bound, the less a sub-MIP can win, so its branches and iterations shrink
// with the gap (down to a tenth) and it is skipped once the gap is closed.
SubMipBudget improvement_budget(const MipContext &ctx, int level, double weight, double bound) {
  SubMipBudget b = sub_budget(ctx, level, weight);
  const double gap = relative_gap(bound, ctx.sink.incumbent_objective());
  const double share = std::clamp(gap / kFullEffortGap, kSmallestGapShare, 1.0);
  if (b.branches >= 0) b.branches = std::ceil(share * b.branches);
  if (b.iterations >= 0) b.iterations = std::max(2.0 * (ctx.prob.m + ctx.prob.n), share * b.iterations);
  return b;
}

// RENS around the root point, widened while its region holds no (better)
// solution: first by the integral columns the LP does not price out, then
// by the cheapest of the rest. `plain_first` starts with the plain region
// (all integral columns fixed). True when a solution came in.
template <class Budget>
bool widened_rens(MipContext &ctx, const std::vector<double> &root_x, Budget budget, bool plain_first) {
  bool exhausted = !plain_first;  // the narrower region was searched before
  if (plain_first && rens(ctx, root_x, budget(), nullptr, 0, &exhausted)) return true;
  const std::vector<double> rc = ctx.lp.reduced_costs();
  for (double share : kRensFreeShares) {
    if (!exhausted || seconds_left(ctx.deadline) <= 0) break;
    if (rens(ctx, root_x, budget(), &rc, share, &exhausted)) return true;
  }
  return false;
}

// RENS, RINS and local branching after the root heuristics.
void root_neighbourhoods(MipContext &ctx, const std::vector<double> &root_x, int level, bool rens_done,
                         double bound) {
  HeuristicState &st = *ctx.heur;
  auto worth = [&] { return !target_reached(ctx) && !gap_closed(ctx, bound) && seconds_left(ctx.deadline) > 0; };
  if (!rens_done && worth()) {
    if (ctx.sink.has_incumbent()) {
      // the widened regions share one budget: their searches are costly where nothing better is near
      const SubMipBudget b = improvement_budget(ctx, level, 2.0, bound);
      widened_rens(ctx, root_x, [&] { return b; }, true);
    } else
      rens(ctx, root_x, sub_budget(ctx, level, 2.0));
    phase_line(ctx, "RENS");
  }
  if (!ctx.sink.has_incumbent()) return;
  // each new incumbent opens a new RINS region: the searches repeat while
  // they improve, all within the budget of one double-weight search
  const SubMipBudget rounds = improvement_budget(ctx, level, 2.0, bound);
  const double iterations_before = st.sub_iterations;
  auto iterations_left = [&] { return rounds.iterations - (st.sub_iterations - iterations_before); };
  auto budget = [&](double weight) {
    SubMipBudget b = improvement_budget(ctx, level, weight, bound);
    b.deadline = std::min(b.deadline, rounds.deadline);
    if (b.iterations >= 0) b.iterations = std::min(b.iterations, iterations_left());
    return b;
  };
  auto rounds_left = [&] {
    return seconds_left(rounds.deadline) > 0 && (rounds.iterations < 0 || iterations_left() > 0);
  };
  for (int round = 0; round < kRootImproveRounds && worth() && rounds_left(); ++round) {
    bool rins_exhausted = false;
    bool improved = rins(ctx, root_x, budget(1.0), &rins_exhausted);
    phase_line(ctx, "RINS");
    // where the incumbent agrees with the root point on every integral column
    // the RINS region lies within RENS's: a wider one around the root point
    // is searched instead
    if (!improved && rins_exhausted && worth()) {
      const SubMipBudget b = budget(1.0);
      improved = widened_rens(ctx, root_x, [&] { return b; }, false);
      phase_line(ctx, "widened RENS");
    }
    // local branching searches the whole problem around the incumbent, the
    // tree's own work: as in the tree it follows a RINS that found nothing,
    // and with half a budget
    if (!improved && worth()) {
      improved = local_branching(ctx, local_branch_window(ctx), budget(0.5));
      phase_line(ctx, "local branching");
    }
    if (!improved) break;
  }
  st.last_improved_obj = ctx.sink.incumbent_objective();
}

void search_neighbourhoods(MipContext &ctx, int level);

// RINS at tree nodes with a back-off after failures, local branching when a
// new incumbent came in since the last search, and polishing every
// TV_IPARAM_MIP_POLISH_NUM_BRANCH_NEXT branches.
void node_neighbourhoods(MipContext &ctx, int level) {
  if (!ctx.heur || !ctx.sink.has_incumbent() || !sub_time_left(ctx)) return;
  // the node LP is handed back as the dives hand it back: its cutoff as before, solved again
  LpSnapshot snap(ctx.lp);
  search_neighbourhoods(ctx, level);
}

void search_neighbourhoods(MipContext &ctx, int level) {
  HeuristicState &st = *ctx.heur;
  if (ctx.branches >= st.next_polish) {
    st.next_polish = ctx.branches + std::max(1, ctx.params.integer(TV_IPARAM_MIP_POLISH_NUM_BRANCH_NEXT));
    SubMipBudget b = sub_budget(ctx, level, 1.0);
    if (ctx.params.integer(TV_IPARAM_MIP_HEU_MODE) != 1)
      b.branches = ctx.params.integer(TV_IPARAM_MIP_POLISH_MAX_BRANCH_COUNT);
    polish(ctx, ctx.params.dbl(TV_DPARAM_MIP_POLISH_ALPHA_TARGET), st.rng, b);
    return;
  }
  if (ctx.branches < st.next_rins) return;
  const double before = ctx.sink.incumbent_objective();
  const std::vector<double> x = ctx.lp.x();
  // Deep nodes agree with the incumbent almost everywhere: their regions are
  // searched out in a branch or two. While that happens the next regions
  // keep a growing share of the agreed columns free (the cheapest by reduced
  // cost); a region that stops at its limits unfound shrinks them again.
  const std::vector<double> rc = ctx.lp.reduced_costs();
  bool exhausted = false;
  bool improved = rins(ctx, x, sub_budget(ctx, level, 1.0), &exhausted, &rc, st.rins_free_share);
  // a region grown after running dry was too small to count as a failure
  const bool grown = !improved && exhausted && st.rins_free_share < kRinsMostFreeShare;
  if (!improved)
    st.rins_free_share = exhausted ? std::min(kRinsMostFreeShare, st.rins_free_share + kRinsFreeStep)
                                   : std::max(0.0, st.rins_free_share - kRinsFreeStep);
  if (!improved && before < st.last_improved_obj) {
    improved = local_branching(ctx, local_branch_window(ctx), sub_budget(ctx, level, 1.0));
    st.last_improved_obj = before;
  }
  if (improved || !grown) st.rins_failures = improved ? 0 : std::min(st.rins_failures + 1, 6);
  st.next_rins = ctx.branches + 50.0 * (1 << st.rins_failures);
}

// Dive budget: LP iterations grow with the level and the LP size; the time
// share is a tenth of what is left, at least the minimum heuristic time.
DiveLimits dive_limits(const MipContext &ctx, int level, bool root) {
  DiveLimits lim;
  const int mode = ctx.params.integer(TV_IPARAM_MIP_HEU_MODE);
  const double size = 2.0 * (ctx.prob.m + ctx.prob.n);
  lim.max_lp_iterations = mode == 1 ? 1e30 : std::max(500.0, (root ? 1.0 : 0.2) * level * size);
  lim.max_depth = ctx.prob.n + 1;
  lim.deadline = ctx.deadline;
  if (mode != 2 && ctx.deadline < 1e29) {
    const double now = common::wall_seconds();
    const double share = std::max(ctx.params.dbl(TV_DPARAM_MIP_HEUMINTIMLIM), 0.1 * (ctx.deadline - now));
    lim.deadline = std::min(ctx.deadline, now + share);
  }
  return lim;
}

// Pumps running at once with TV_IPARAM_MIP_PARA_FP and several MIP threads:
// the first pump, then second-variant pumps with their own seeds (or, with
// TV_IPARAM_MIP_PARA_FP_MODE 1, other variants each).
std::vector<PumpSettings> parallel_pump_set(const MipContext &ctx, const PumpSettings &first) {
  std::vector<PumpSettings> pumps;
  if (ctx.params.integer(TV_IPARAM_MIP_PARA_FP) != 1) return pumps;
  const int threads = std::min(mip_thread_count(ctx.params), kMaxPumpThreads);
  if (threads < 2) return pumps;
  pumps.push_back(first);
  for (int t = 1; t < threads; ++t) {
    PumpSettings s = first;
    s.random_rounding = true;
    s.seed = first.seed + t;
    if (ctx.params.integer(TV_IPARAM_MIP_PARA_FP_MODE) == 1) {
      const int variant = (ctx.params.integer(TV_IPARAM_MIP_FP_HEU_MODE) + t) % 6;
      s.weight = ctx.params.dbl(TV_DPARAM_MIP_FP_WEIGHT);
      s.flip_base = PumpSettings{}.flip_base;
      apply_pump_variant(variant, s);
    }
    pumps.push_back(s);
  }
  return pumps;
}

void run_pumps(MipContext &ctx) {
  const int mode = ctx.params.integer(TV_IPARAM_MIP_FP_MODE);
  if (mode == 0) return;
  if (mode != 3 && ctx.sink.has_incumbent()) return;
  const double now = common::wall_seconds();
  double limit = ctx.params.dbl(TV_DPARAM_MIP_FP_TIMLIM);
  if (limit < 0) limit = 1e30;
  if (ctx.deadline < 1e29) limit = std::min(limit, 0.25 * std::max(0.0, ctx.deadline - now));
  const int rounds = ctx.params.integer(TV_IPARAM_MIP_FP_ITRLIM);
  PumpSettings s;
  s.max_rounds = rounds < 0 ? kPumpRoundCap : rounds;
  s.weight = ctx.params.dbl(TV_DPARAM_MIP_FP_WEIGHT);
  s.seed = ctx.seed;
  // the distance LPs change costs only, so the primal simplex serves unless the dual is asked for
  s.method = ctx.params.integer(TV_IPARAM_MIP_FP_OPT_METHOD) == 2 ? TV_METHOD_DSIMPLEX : TV_METHOD_PSIMPLEX;
  s.project = ctx.params.integer(TV_IPARAM_MIP_FP_PROJECTION) == 1;
  apply_pump_variant(ctx.params.integer(TV_IPARAM_MIP_FP_HEU_MODE), s);
  s.deadline = std::min(ctx.deadline, now + limit);
  const double gbnd = ctx.lp.objective();
  if (const std::vector<PumpSettings> pumps = parallel_pump_set(ctx, s); !pumps.empty()) {
    // both variants start together, each within the first pump's time limit
    context_log(ctx, 2, "\nStarted FP (time_limit:%.2f)..", limit);
    context_log(ctx, 2, "\nStarted FP2 (time_limit:%.2f)..", limit);
    parallel_pumps(ctx, pumps);
    context_log(ctx, 2, "\nTerminated FP (best_obj:%g, best_bound:%g)..", ctx.sink.incumbent_objective(), gbnd);
    context_log(ctx, 2, "\nTerminated FP2 (best_obj:%g, best_bound:%g)..", ctx.sink.incumbent_objective(), gbnd);
    return;
  }
  context_log(ctx, 2, "\nStarted FP (time_limit:%.2f)..", limit);
  feasibility_pump(ctx, s);
  context_log(ctx, 2, "\nTerminated FP (best_obj:%g, best_bound:%g)..", ctx.sink.incumbent_objective(), gbnd);
  if (mode != 3 && ctx.sink.has_incumbent()) return;
  const double now2 = common::wall_seconds();
  double limit2 = limit;
  if (ctx.deadline < 1e29) limit2 = std::min(limit2, 0.25 * std::max(0.0, ctx.deadline - now2));
  context_log(ctx, 2, "\nStarted FP2 (time_limit:%.2f)..", limit2);
  s.random_rounding = true;
  s.seed = ctx.seed + 1;
  s.deadline = std::min(ctx.deadline, now2 + limit2);
  feasibility_pump(ctx, s);
  context_log(ctx, 2, "\nTerminated FP2 (best_obj:%g, best_bound:%g)..", ctx.sink.incumbent_objective(), gbnd);
}

}  // namespace

void root_heuristics(MipContext &ctx) {
  const int level = ctx.params.integer(TV_IPARAM_MIP_HEULEVEL);
  if (level <= 0 || ctx.lp.status() != simplex::LpStatus::kOptimal) return;
  if (!ctx.heur) {
    ctx.heur = std::make_shared<HeuristicState>();
    ctx.heur->start = common::wall_seconds();
    ctx.heur->rng = ctx.seed * 2654435761u + 1;
    ctx.heur->next_polish = std::max(1, ctx.params.integer(TV_IPARAM_MIP_POLISH_NUM_BRANCH_NEXT));
    ctx.heur->pure_binary = enumeration_accepts(ctx.prob);
    ctx.heur->next_rins = kFirstTreeRins;  // the root has just had its RINS
    ctx.heur->root_iterations = ctx.lp.total_iterations();
  }
  const std::vector<double> root_x = ctx.lp.x();
  const double bound = ctx.lp.objective();
  root_enumeration_with_cuts(ctx);
  context_log(ctx, 4, "\nRunning rounding heuristics...");
  run_rounding(ctx);
  phase_line(ctx, "rounding");
  context_log(ctx, 4, " Done.");
  if (level < 2 || ctx.light_root || target_reached(ctx) || gap_closed(ctx, bound)) return;
  context_log(ctx, 4, "\nStart rounding heu (best_obj:%g, gbnd:%g)", ctx.sink.incumbent_objective(),
              ctx.lp.objective());
  {
    // nearest rounding completed over the continuous columns
    LpSnapshot snap(ctx.lp);
    complete_by_lp(ctx, ctx.lp.x(), kTagHeuristic);
  }
  phase_line(ctx, "complete by LP");
  fix_propagate_heuristic(ctx, ctx.lp.x(), level >= 3 ? kRootFixPropagateRuns : kRootFixPropagateRuns / 2);
  phase_line(ctx, "fix-propagate");
  // without a solution yet RENS comes before the pumps: the sub-MIP around the
  // cut loop's point is where a first solution is most often found
  bool rens_done = false;
  if (!ctx.sub_mip && !ctx.sink.has_incumbent() && seconds_left(ctx.deadline) > 0) {
    widened_rens(ctx, root_x, [&] { return first_solution_budget(ctx, level); }, true);
    rens_done = true;
  }
  phase_line(ctx, "first RENS");
  run_pumps(ctx);
  phase_line(ctx, "pumps");
  const Locks locks(ctx.prob);
  // Once a solution is known the dives share one dive's time: on large
  // models a dive re-solves the LP at every depth and runs to its time
  // limit, four of them took most of the root. A dive that ends early leaves
  // its time to the next. Without a solution each dive keeps its own share.
  const DiveRule rules[] = {DiveRule::kCoefficient, DiveRule::kFractional, DiveRule::kVectorLength,
                            DiveRule::kGuided};
  const int dives = static_cast<int>(std::size(rules));
  const DiveLimits shared = dive_limits(ctx, level, true);
  for (int k = 0; k < dives; ++k) {
    if (target_reached(ctx) || gap_closed(ctx, bound) || seconds_left(ctx.deadline) <= 0) break;
    DiveLimits lim = dive_limits(ctx, level, true);
    if (ctx.sink.has_incumbent() && shared.deadline < ctx.deadline) {
      const double now = common::wall_seconds();
      const double share = std::max(0.0, shared.deadline - now) / (dives - k);
      lim.deadline = std::min(lim.deadline, now + std::max(share, ctx.params.dbl(TV_DPARAM_MIP_HEUMINTIMLIM)));
    }
    dive(ctx, rules[k], locks, lim);
    phase_line(ctx, "dive");
  }
  if (!ctx.sub_mip && seconds_left(ctx.deadline) > 0) root_neighbourhoods(ctx, root_x, level, rens_done, bound);
  phase_line(ctx, "neighbourhoods");
}

double solve_iterations(const MipContext &ctx) {
  return ctx.lp.total_iterations() + (ctx.heur ? ctx.heur->sub_iterations : 0.0);
}

void node_heuristics(MipContext &ctx) {
  const int level = ctx.params.integer(TV_IPARAM_MIP_HEULEVEL);
  if (level <= 0 || ctx.lp.status() != simplex::LpStatus::kOptimal) return;
  run_rounding(ctx);
  node_enumeration(ctx);
  if (level < 2 || target_reached(ctx)) return;
  if (!ctx.sub_mip) node_neighbourhoods(ctx, level);
  if (ctx.lp.status() != simplex::LpStatus::kOptimal) return;
  const long long node = static_cast<long long>(ctx.nodes);
  // until a first solution is known the node's own point guides fix-and-propagate
  if (!ctx.sink.has_incumbent() && node % kNodeDiveFrequency == kNodeDiveFrequency / 2)
    fix_propagate_heuristic(ctx, ctx.lp.x(), kNodeFixPropagateRuns);
  if (ctx.lp.status() != simplex::LpStatus::kOptimal) return;
  if (node % kNodeDiveFrequency != 0 || ctx.dive_iterations <= 0) return;
  static constexpr DiveRule kRotation[] = {DiveRule::kGuided, DiveRule::kCoefficient, DiveRule::kPseudoCost,
                                           DiveRule::kVectorLength, DiveRule::kFractional};
  DiveRule rule = kRotation[(node / kNodeDiveFrequency) % 5];
  if (rule == DiveRule::kGuided && !ctx.sink.has_incumbent()) rule = DiveRule::kCoefficient;
  const Locks locks(ctx.prob);
  DiveLimits lim = dive_limits(ctx, level, false);
  lim.max_lp_iterations = std::min(lim.max_lp_iterations, std::max(ctx.dive_iterations, kMinNodeDiveIterations));
  dive(ctx, rule, locks, lim);
}

}  // namespace tarvo::mip
