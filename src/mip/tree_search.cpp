// Root phases and node loop of the branch-and-bound search. Nodes are solved
// warm by the dual simplex: a child of the node just solved starts from the
// basis in the LP (plunging), a node taken from the queue from its parent's
// packed basis.
#include "mip/tree_search.hpp"

#include <algorithm>
#include <cmath>
#include <numeric>

#include "common/error_codes.hpp"
#include "common/clock.hpp"
#include "tarvo.h"
#include "mip/block_solver.hpp"
#include "mip/conflict_pool.hpp"
#include "mip/cutpool.hpp"
#include "mip/node_presolve.hpp"
#include "mip/working_problem.hpp"
#include "presolve/presolve.hpp"

namespace tarvo::mip {

namespace {

using simplex::LpStatus;

// MIP print level from which the closing log lists the cuts added per class.
constexpr int kCutStatisticsLevel = 2;
// Parked cuts come back into a node LP when violated by this efficacy, at
// most this many per round and this many rounds per node.
constexpr double kPoolEfficacy = 1e-4;
constexpr int kPoolCutsPerRound = 50, kPoolRounds = 3;

NodeRule rule_of(int r) {
  switch (r) {
    case 1: return NodeRule::kDepthFirst;
    case 2: return NodeRule::kWorstBound;
    case 5:
    case 6: return NodeRule::kBestEstimate;
    default: return NodeRule::kBestBound;
  }
}

int lp_method(int m) { return m == TV_METHOD_PSIMPLEX ? TV_METHOD_PSIMPLEX : TV_METHOD_DSIMPLEX; }

}  // namespace

double TreeSearch::objective_step(const MipProblem &p) {
  // every cost on an integer column a multiple of one rational step and no
  // cost on a free continuous column: improving solutions differ by at least
  // that step. Costs with few decimals (cents, quarters) are common.
  constexpr long long kMaxDenominator = 1000, kMaxScale = 1000000;
  long long scale = 1;
  std::vector<double> costs;
  for (int j = 0; j < p.n; ++j) {
    const double c = p.c[j];
    if (c == 0) continue;
    if (!p.is_int[j]) {
      if (p.col_lo[j] == p.col_up[j]) continue;
      return 0;
    }
    const double a = std::fabs(c);
    if (a > 1e9 || a < 1e-6) return 0;
    long long d = 1;
    while (d <= kMaxDenominator && std::fabs(a * d - std::round(a * d)) > 1e-12 * std::max(1.0, a * d)) ++d;
    if (d > kMaxDenominator) return 0;
    scale = std::lcm(scale, d);
    if (scale > kMaxScale) return 0;
    costs.push_back(a);
  }
  long long g = 0;
  for (double a : costs) {
    const double v = a * static_cast<double>(scale);
    if (v > 1e15) return 0;
    g = std::gcd(g, std::llround(v));
  }
  return static_cast<double>(g) / static_cast<double>(scale);
}

TreeSearch::TreeSearch(MipContext &ctx, const MipSettings &set, Incumbent &inc, MipLog &log, TreeHooks hooks,
                       double start, const std::vector<int> *priority)
    : ctx_(ctx),
      p_(ctx.prob),
      lp_(ctx.lp),
      set_(set),
      inc_(inc),
      log_(log),
      hooks_(std::move(hooks)),
      priority_(priority),
      start_(start),
      pc_(ctx.prob.n),
      cuts_(ctx.prob) {
  deadline_ = set.time_limit >= 0 ? start + set.time_limit : 1e30;
  ctx_.deadline = deadline_;
  step_ = std::max(objective_step(p_), set.min_abs_step);
  glo_ = p_.col_lo;
  gup_ = p_.col_up;
  touched_.assign(p_.n, 0);
  qctx_.rel_opt_tol = set.rel_opt_tol;
  qctx_.branch_dir = set.branch_dir;
  qctx_.incumbent_x = &inc_.incumbent();
  // until a first solution exists the solver's own choice backtracks depth first, which reaches
  // integer points sooner; best bound takes over with the first incumbent
  base_rule_ = set.node_rule == 0 ? NodeRule::kDepthFirst : rule_of(set.node_rule);
  marker_ = base_rule_ == NodeRule::kBestEstimate ? 5 : 3;
  for (int j = 0; j < p_.n; ++j) nint_ += p_.is_int[j] != 0;
  branched_.assign(p_.n, 0);
  if (set.tree_prelevel & presolve::kSimple)
    node_pre_ = std::make_unique<NodePresolve>(p_, set.int_tol, (set.tree_prelevel & presolve::kLifting) != 0);
  if (node_pre_ && set.conflict_analysis) {
    const long long nz = p_.col_start.empty() ? 0 : p_.col_start[p_.n];
    conflicts_ = std::make_unique<ConflictPool>(p_.n, 1000, std::max<long long>(20000, 2 * nz));
    node_pre_->set_conflicts(conflicts_.get());
  }
  queue_ = std::make_unique<NodeQueue>(pool_, qctx_, base_rule_, set.local_branch);
  // local-branching key: how far the node's bounds push the integers away from the incumbent
  queue_->set_key([this](const Node &nd) {
    if (!inc_.has_incumbent() || nd.changes < 0) return 0;
    const std::vector<double> &z = inc_.incumbent();
    double dist = 0;
    for (const BoundChange &c : pool_.changes(nd.changes)) {
      if (!p_.is_int[c.col]) continue;
      const double v = std::clamp(z[c.col], glo_[c.col], gup_[c.col]);
      if (v < c.lo - set_.int_tol) dist += c.lo - v;
      if (v > c.up + set_.int_tol) dist += v - c.up;
    }
    return static_cast<int>(std::min(dist, 1e9));
  });
  last_incumbent_time_ = start;
  ctx_.pseudo = &pc_;
  inc_.on_improve([this](const char *tag) { new_incumbent(tag); });
}

TreeSearch::~TreeSearch() { inc_.on_improve(nullptr); }

// The value a node must stay below to be worth solving: the incumbent less
// the objective step (exact) or less the gap tolerance, whichever is lower,
// and the user's cutoff.
double TreeSearch::cutoff() const {
  double c = std::min(set_.cutoff, outside_cutoff_);
  if (const double z = best_known(); z < 1e30) {
    const double exact = exact_cutoff(z);
    double tol = z - set_.rel_opt_tol * std::max(1.0, std::fabs(z));
    if (set_.abs_opt_tol > 0) tol = std::min(tol, z - set_.abs_opt_tol);
    c = std::min(c, std::min(exact, tol));
  }
  return c;
}

// Below this value a node may hold a solution better than z by a whole objective step.
double TreeSearch::exact_cutoff(double z) const {
  return step_ > 0 ? z - step_ + 1e-6 * std::max(1.0, std::min(step_, std::fabs(z))) : z;
}

// A node pruned within the gap tolerance (not by the objective step) may
// still hold a slightly better solution: its bound stays in the final bound.
void TreeSearch::note_pruned(double bound) {
  const double z = best_known();
  if (z >= 1e30) return;
  if (bound < exact_cutoff(z)) tol_pruned_bound_ = std::min(tol_pruned_bound_, bound);
}

LogCounters TreeSearch::counters() {
  LogCounters c;
  c.branches = out_.branches;
  c.nodes = queue_->size();
  c.lps = out_.lps;
  c.bound = current_bound();
  c.has_incumbent = best_known() < 1e30;
  c.incumbent = best_known();
  c.elapsed = common::wall_seconds() - start_;
  c.lp_time = out_.lp_time;
  return c;
}

double TreeSearch::current_bound() const {
  double b = std::min({queue_->min_bound(), cur_bound_, unsafe_bound_, tol_pruned_bound_});
  const double z = best_known();
  b = std::min(b, z);
  if (b >= 1e30) b = z < 1e30 ? z : out_.root_bound;
  // a new root after a restart may prove less than the tree before it did (fewer cuts)
  return std::max({b, out_.root_bound, std::min(prior_bound_, z)});
}

void TreeSearch::new_incumbent(const char *tag) {
  last_incumbent_time_ = common::wall_seconds();
  lps_at_improvement_ = out_.lps;
  qctx_.incumbent = inc_.incumbent_objective();
  if (set_.node_rule == 0 && base_rule_ != NodeRule::kBestBound) {
    base_rule_ = NodeRule::kBestBound;
    if (!crowded_) queue_->set_rule(base_rule_);
  }
  lp_.set_cutoff(cutoff());
  int code = source_code(tag);
  if (tag && *tag == '\0') code = cur_code_;
  if (tag && std::string(tag) == "SB") code = kSrcStrongBranch;
  if (tag && std::string(tag) == "U") code = kSrcNone;  // the host's own point
  double dropped = 1e30;
  queue_->prune(cutoff(), &dropped);
  note_pruned(dropped);
  fix_global_by_root_costs();
  fixings_grew_ = true;
  const LogCounters c = counters();
  log_.incumbent_line(c, code);
  if (hooks_.on_incumbent && !stop_code_) stop_code_ = hooks_.on_incumbent(c);
  if (!stop_code_ && set_.solution_limit > 0 && inc_.solutions() >= set_.solution_limit) stop_code_ = -1;
  stop_if_optimal();
}

// Root reduced costs bound every solution: a column at a bound whose cost
// times its distance from that bound exceeds the gap cannot move that far.
void TreeSearch::fix_global_by_root_costs() {
  // a user cutoff bounds the solutions sought as an incumbent does
  if (root_rc_.empty() || cutoff() >= 1e30 || set_.redcost_fix_root <= 0) return;
  const double gap = cutoff() - root_obj_;
  if (!(gap >= 0)) return;
  for (int j = 0; j < p_.n; ++j) {
    if (!p_.is_int[j]) continue;
    const double d = root_rc_[j] * set_.redcost_fix_root;
    if (d > 1e-7 && root_x_[j] <= glo_[j] + 1e-9 && glo_[j] > -1e30) {
      const double up = glo_[j] + std::floor(gap / d + 1e-9);
      if (up < gup_[j]) gup_[j] = up;
    } else if (d < -1e-7 && root_x_[j] >= gup_[j] - 1e-9 && gup_[j] < 1e30) {
      const double lo = gup_[j] - std::floor(gap / -d + 1e-9);
      if (lo > glo_[j]) glo_[j] = lo;
    }
  }
  // the earlier root LPs' rules (they take the last LP's too)
  root_fix_.apply(cutoff(), glo_, gup_);
}

void TreeSearch::note_root_lp() {
  if (set_.redcost_fix_root <= 0 || lp_.status() != simplex::LpStatus::kOptimal) return;
  // the rules hold for the whole search only when the LP's bounds do
  for (int j = 0; j < p_.n; ++j)
    if (lp_.col_lower(j) > glo_[j] || lp_.col_upper(j) < gup_[j]) return;
  if (root_fix_.empty() && p_.n > 0) root_fix_.reset(p_.n);
  root_fix_.record(lp_.objective(), lp_.reduced_costs(), lp_.x(), lp_.col_lowers(), lp_.col_uppers(), p_.is_int,
                   set_.redcost_fix_root);
}

void TreeSearch::learn_conflict() {
  if (!conflicts_ || conflicts_->retired()) return;
  ProofRow proof;
  ProofLimits lim;
  lim.max_len = proof_length_limit(p_.n);
  if (dual_proof_from_lp(lp_, p_, cutoff(), glo_, gup_, lim, &proof)) conflicts_->add(std::move(proof));
}

bool TreeSearch::presolve_node() {
  if (!node_pre_ || cur_changes_.empty()) return true;
  std::vector<BoundChange> implied;
  if (!node_pre_->run(glo_, gup_, cur_changes_, cutoff(), &implied)) {
    note_pruned(node_pre_->pruned_bound());
    return false;
  }
  bool ok = true;
  for (const BoundChange &c : implied) ok = apply_change(c) && ok;
  return ok;
}

void TreeSearch::fix_local_by_costs(double obj) {
  if (cutoff() >= 1e30 || set_.redcost_fix_tree <= 0 || !(set_.tree_prelevel & presolve::kDualReductions)) return;
  const double gap = cutoff() - obj;
  if (!(gap >= 0)) return;
  const std::vector<double> &rc = lp_.reduced_costs();
  const std::vector<double> &x = lp_.x();
  for (int j = 0; j < p_.n; ++j) {
    if (!p_.is_int[j]) continue;
    const double d = rc[j] * set_.redcost_fix_tree;
    const double lo = lp_.col_lower(j), up = lp_.col_upper(j);
    if (lo == up) continue;
    if (d > 1e-7 && x[j] <= lo + 1e-9 && lo > -1e30) {
      const double nu = lo + std::floor(gap / d + 1e-9);
      if (nu < up) apply_change({j, lo, nu});
    } else if (d < -1e-7 && x[j] >= up - 1e-9 && up < 1e30) {
      const double nl = up - std::floor(gap / -d + 1e-9);
      if (nl > lo) apply_change({j, nl, up});
    }
  }
}

// Tightens column c.col in the LP and in the path of the node in hand.
bool TreeSearch::apply_change(const BoundChange &c) {
  const double lo = std::max(c.lo, glo_[c.col]), up = std::min(c.up, gup_[c.col]);
  lp_.set_col_bounds(c.col, lo, up);
  if (!touched_[c.col]) {
    touched_[c.col] = 1;
    touched_list_.push_back(c.col);
  }
  bool found = false;
  for (BoundChange &b : cur_changes_)
    if (b.col == c.col) {
      b.lo = lo;
      b.up = up;
      found = true;
      break;
    }
  if (!found) cur_changes_.push_back({c.col, lo, up});
  return lo <= up;
}

std::vector<BoundChange> TreeSearch::path_with(const BoundChange &c) const {
  std::vector<BoundChange> path = cur_changes_;
  for (BoundChange &b : path)
    if (b.col == c.col) {
      b = c;
      return path;
    }
  path.push_back(c);
  return path;
}

std::vector<BoundChange> TreeSearch::path_with(const BoundChange &c, const std::vector<BoundChange> &extra) const {
  std::vector<BoundChange> path = path_with(c);
  for (const BoundChange &e : extra) {
    auto it = std::find_if(path.begin(), path.end(), [&](const BoundChange &b) { return b.col == e.col; });
    if (it != path.end())
      *it = e;
    else
      path.push_back(e);
  }
  return path;
}

void TreeSearch::orbit_changes(int j, double f, std::vector<BoundChange> *out) {
  out->clear();
  if (!orbital_ || !p_.is_int[j]) return;
  const std::vector<int> &orbit = orbital_->orbit(j, lp_.col_lowers().data(), lp_.col_uppers().data());
  for (int i : orbit) {
    // orbit members share j's bounds at this node
    if (!p_.is_int[i] || lp_.col_upper(i) <= f) continue;
    out->push_back({i, lp_.col_lower(i), f});
  }
  orbital_->count_fixings(static_cast<long long>(out->size()));
}

bool TreeSearch::switch_to(const std::vector<BoundChange> &changes) {
  for (int j : touched_list_) {
    lp_.set_col_bounds(j, glo_[j], gup_[j]);
    touched_[j] = 0;
  }
  touched_list_.clear();
  cur_changes_.clear();
  bool ok = true;
  for (const BoundChange &c : changes) ok = apply_change(c) && ok;
  return ok;
}

void TreeSearch::record_pseudo_cost(const Node &nd, double obj) {
  if (nd.branch_var < 0 || nd.parent_obj <= -1e30) return;
  const double f = nd.weight;
  if (nd.dir == kDirDown)
    pc_.record(nd.branch_var, false, f, std::max(0.0, obj - nd.parent_obj));
  else if (nd.dir == kDirUp)
    pc_.record(nd.branch_var, true, 1 - f, std::max(0.0, obj - nd.parent_obj));
}

// Trial pivots are kept in proportion to the node LPs' (half of theirs after
// a first allowance): where the LPs are expensive against the tree, pseudo-
// costs are trusted sooner, down to one observation per direction once the
// trials have had their share.
int TreeSearch::reliability_threshold() const {
  constexpr int kMostTrials = 4, kFewestTrials = 1;
  const double allowed = 0.5 * out_.effort.node + 20000;
  if (out_.effort.trial >= allowed) return kFewestTrials;
  const double unused = 1 - out_.effort.trial / allowed;
  return kFewestTrials + static_cast<int>(std::ceil((kMostTrials - kFewestTrials) * unused));
}

// A trial stopped early bounds its child by a dual value far below the
// child's own: scores then rank candidates by how fast their LPs move, not
// by what they gain. With twice a node LP's pivots (plus 10) l152lav and
// misc07 needed 4.5 and 1.25 times the nodes of this limit.
double TreeSearch::trial_iteration_limit() const { return std::clamp(4 * avg_node_iters_ + 50, 50.0, 1000.0); }

// Below the strong-branching depth the untrusted leaders get trial solves
// (as many as strong branching's least count, two to four) about as long as
// a node LP, so that a node costs a few node LPs at most, and their pivots
// stay within half of the node LPs' over the search.
void TreeSearch::deep_trial_plan(BranchInput &in) const {
  if (out_.effort.deep >= 0.5 * out_.effort.node + 5000) return;
  in.deep_trials = std::clamp(set_.strong_num, 2, 4);
  in.deep_iter_limit = std::clamp(avg_node_iters_ + 10, 10.0, 500.0);
}

simplex::LpBasis TreeSearch::slack_basis() const {
  simplex::LpBasis b;
  b.state.assign(lp_.cols() + lp_.rows(), simplex::kBasic);
  for (int j = 0; j < lp_.cols(); ++j) {
    const bool lo = lp_.col_lower(j) > -1e30, up = lp_.col_upper(j) < 1e30;
    b.state[j] = lo ? simplex::kAtLower : up ? simplex::kAtUpper : simplex::kFreeZero;
  }
  return b;
}

// The node LP solved by a new solver over the problem's rows (the pool's cuts
// left out: a relaxation, so an empty or cut-off answer holds for the node).
// True when the node may hold something; a usable basis goes back to the LP.
bool TreeSearch::fresh_verdict(const simplex::LpLimits &lim) {
  base::ModelData data;
  problem_to_lp_data(p_, &data);
  simplex::LpSolver fresh;
  fresh.load(data, simplex::LpOptions::from_params(ctx_.params));
  for (int i = 0; i < p_.m; ++i) fresh.set_row_bounds(i, p_.row_lo[i], p_.row_up[i]);
  for (int j = 0; j < p_.n; ++j) fresh.set_col_bounds(j, lp_.col_lower(j), lp_.col_upper(j));
  if (cutoff() < 1e30) fresh.set_cutoff(cutoff());
  const LpStatus st = fresh.solve(TV_METHOD_DSIMPLEX, lim);
  out_.iterations += fresh.iterations();
  if (st == LpStatus::kInfeasible || st == LpStatus::kCutoff) return false;
  if (st == LpStatus::kOptimal && lp_.rows() == p_.m) {
    lp_.set_basis(fresh.basis());
    lp_.solve(TV_METHOD_DSIMPLEX, lim);
  }
  return true;
}

bool TreeSearch::solve_with_fallbacks(const simplex::LpLimits &lim) {
  lp_.solve(lp_method(set_.reopt_method), lim);
  if (lp_.status() != LpStatus::kNumerical && lp_.status() != LpStatus::kInfeasibleOrUnbounded) return true;
  // no verdict from the warm start: the primal simplex from the same bounds
  // usually has one, and a dropped node would leave the search unproven
  out_.iterations += lp_.iterations();
  lp_.solve(TV_METHOD_PSIMPLEX, lim);
  if (lp_.status() == LpStatus::kNumerical) {
    // last resort: cold from the slack basis
    out_.iterations += lp_.iterations();
    lp_.set_basis(slack_basis());
    lp_.solve(TV_METHOD_DSIMPLEX, lim);
  }
  return lp_.status() != LpStatus::kNumerical || fresh_verdict(lim);
}

bool TreeSearch::solve_node_lp(double *seconds) {
  const double pivots_before = out_.iterations;
  const bool refactor_due = basis_installed_;
  basis_installed_ = false;
  simplex::LpLimits lim;
  // Devex: node bases change by jumps, exact norms would cost m solves each
  // (steepest edge measured slower here on vpm2 and misc07 side by side).
  // The weights carry on from node to node: the reference framework's upkeep
  // measured slower per node (mas76) and no better over MIPLIB.
  lim.dual_pricing = 3;
  lim.devex_carry_weights = true;
  lim.keep_factors = true;
  const double now = common::wall_seconds();
  if (deadline_ < 1e30) lim.time_limit = std::max(0.0, deadline_ - now);
  if (set_.iter_limit >= 0) lim.iter_limit = std::max(0.0, set_.iter_limit - out_.iterations);
  // cuts slack in the basis the node starts from age; long idle ones leave the LP
  if (cuts_.get()) {
    update_cut_activity(ctx_, *cuts_.get());
    park_idle_cuts(ctx_, *cuts_.get(), refactor_due);
  }
  bool empty = !solve_with_fallbacks(lim);
  // parked cuts the node's point violates come back, a few rounds at most
  for (int round = 0; round < kPoolRounds && !empty && cuts_.get() && lp_.status() == LpStatus::kOptimal; ++round) {
    if (cuts_.get()->unpark_violated(lp_.x().data(), kPoolEfficacy, kPoolCutsPerRound) == 0) break;
    out_.iterations += lp_.iterations();
    cuts_.get()->flush_to_lp(lp_);
    empty = !solve_with_fallbacks(lim);
  }
  out_.iterations += lp_.iterations();
  out_.effort.node += out_.iterations - pivots_before;
  out_.lps += 1;
  *seconds = common::wall_seconds() - now;
  out_.lp_time += *seconds;
  return !empty;
}

// Node dives may spend a share of the pivots the tree spent on its own LPs
// (a larger one while no solution is known) beyond a first allowance: on long
// searches unbounded dives took a third of the time and slowed the nodes.
double TreeSearch::dive_budget() const {
  constexpr double kShare = 0.1, kShareNoIncumbent = 0.3, kAllowance = 20000;
  const double share = inc_.has_incumbent() ? kShare : kShareNoIncumbent;
  return kAllowance + share * (out_.effort.node + out_.effort.trial) - heur_iters_;
}

// Cut passes run at every cut_freq-th node solved down to the cut depth:
// passes at every shallow node, or deeper, grow the node LPs faster than
// they raise the bound (MIPLIB 3 measurements).
bool TreeSearch::cut_passes_due(unsigned depth) const {
  if (set_.cut_depth < 0 || static_cast<long long>(depth) > set_.cut_depth) return false;
  return set_.cut_freq > 0 && static_cast<long long>(out_.nodes_solved) % set_.cut_freq == 0;
}

// The optimality test of the gap between the incumbent and the best bound.
bool TreeSearch::optimal_now() {
  const double z = best_known(), b = current_bound();
  if (z >= 1e30) return false;
  const double tol = common::wall_seconds() - start_ > set_.loose_tol_after && set_.loose_tol_after >= 0
                         ? set_.per_opt_tol
                         : set_.rel_opt_tol;
  if (relative_gap(b, z) <= tol) return true;
  return set_.abs_opt_tol > 0 && std::fabs(b - z) <= set_.abs_opt_tol;
}

bool TreeSearch::limits_hit() {
  if (stop_code_) return true;
  const double now = common::wall_seconds();
  if (now >= deadline_) {
    stop_code_ = err::kTimeLimit;
    return true;
  }
  if (set_.branch_limit >= 0 && out_.branches >= set_.branch_limit) {
    stop_code_ = err::kBranchLimit;
    return true;
  }
  if (set_.iter_limit >= 0 && out_.iterations >= set_.iter_limit) {
    stop_code_ = err::kIterationLimit;
    return true;
  }
  if (set_.last_sol_time_limit >= 0 && inc_.has_incumbent() && now - last_incumbent_time_ >= set_.last_sol_time_limit) {
    out_.lsol_stop = true;
    stop_code_ = err::kTimeLimit;
    return true;
  }
  return false;
}

void TreeSearch::periodic_line(bool force) {
  const double now = common::wall_seconds();
  if (!force && now - last_line_ < 1.0) return;
  last_line_ = now;
  const LogCounters c = counters();
  if (log_.on()) log_.tree_line(c, force ? kSrcFinal : kSrcNone);
  if (hooks_.poll && !stop_code_) stop_code_ = hooks_.poll(c);
  if (!force && !stop_code_) take_offers();
}

void TreeSearch::stop_if_optimal() {
  if (!stop_code_ && optimal_now()) {
    log_.text(1, "\nUser optimality tolerance satisfied.\n");
    stop_code_ = -2;
  }
}

int TreeSearch::solve_root() {
  if (set_.top_method == TV_METHOD_BARRIER || set_.top_method == TV_METHOD_NLP || set_.top_method == 6) {
    log_.text(1, "Given topopt solver can not be used on given problem.\n");
    return err::kUnknownSolver;
  }
  simplex::LpLimits lim;
  if (deadline_ < 1e30) lim.time_limit = std::max(0.0, deadline_ - common::wall_seconds());
  if (set_.iter_limit >= 0) lim.iter_limit = std::max(0.0, set_.iter_limit - out_.iterations);
  const double t0 = common::wall_seconds(), pivots_before = out_.iterations;
  LpStatus st = lp_.solve(set_.top_method == TV_METHOD_PSIMPLEX ? TV_METHOD_PSIMPLEX : TV_METHOD_DSIMPLEX, lim);
  // an undecided verdict is settled by the primal simplex, whose phase 1 tells infeasible from unbounded
  if (st == LpStatus::kInfeasibleOrUnbounded || st == LpStatus::kNumerical) {
    out_.iterations += lp_.iterations();
    st = lp_.solve(TV_METHOD_PSIMPLEX, lim);
  }
  out_.iterations += lp_.iterations();
  out_.effort.root = out_.iterations - pivots_before;
  out_.lps += 1;
  out_.lp_time += common::wall_seconds() - t0;
  switch (st) {
    case LpStatus::kOptimal: return 0;
    case LpStatus::kInfeasible:
    case LpStatus::kCutoff: out_.state = kStateInfeasible; return -1;
    case LpStatus::kUnbounded:
    case LpStatus::kInfeasibleOrUnbounded: out_.state = kStateUnbounded; return -1;
    case LpStatus::kTimeLimit: return err::kTimeLimit;
    case LpStatus::kIterLimit: return err::kIterationLimit;
    case LpStatus::kInterrupted: return err::kUserInterrupt;
    case LpStatus::kOutOfMemory: return err::kNoMemory;
    default:
      log_.text(1, "Solver failed at the root node.\n");
      return err::kNumerical;
  }
}

bool TreeSearch::pack_node_basis(PackedBasis *out) const {
  static const std::vector<int> kNoCuts;
  const CutPool *pool = cuts_.get();
  if (pool && !pool->in_step_with(lp_)) return false;
  return pack_basis(lp_.basis(), p_.n, p_.m, pool ? pool->lp_cuts() : kNoCuts, pool ? pool->epoch() : 0, out);
}

// The cuts binding in a stored basis come back into the LP first (they left
// it while idle elsewhere in the tree); cut rows not in the basis enter with
// their slacks basic. A basis that does not fit leaves the LP's own.
void TreeSearch::install_basis(const PackedBasis &pb) {
  static const std::vector<int> kNoCuts;
  CutPool *pool = cuts_.get();
  if (pb.cols != lp_.cols() || pb.rows != p_.m) return;
  if (pool) {
    if (pb.epoch != pool->epoch() || !pool->in_step_with(lp_)) return;
    bool missing = false;
    for (const auto &[k, state] : pb.cuts)
      if (pool->cut(k).lp_row < 0) {
        pool->unpark(k);
        missing = true;
      }
    if (missing) pool->flush_to_lp(lp_);
  } else if (!pb.cuts.empty() || lp_.rows() != p_.m) {
    return;
  }
  simplex::LpBasis b;
  if (unpack_basis(pb, lp_.col_lowers(), lp_.col_uppers(), pool ? pool->lp_cuts() : kNoCuts, &b) && lp_.set_basis(b))
    basis_installed_ = true;
}

int TreeSearch::push_child(int parent, const Node &proto, std::vector<BoundChange> &&changes,
                           const PackedBasis *basis) {
  const int before = pool_.reserved();
  const int k = pool_.allocate();
  if (pool_.reserved() != before)
    log_.text(2, "\nIncrease node pool size from =%u to %u \n\n", static_cast<unsigned>(before),
              static_cast<unsigned>(pool_.reserved()));
  Node &nd = pool_[k];
  nd = proto;
  nd.parent = parent;
  nd.changes = pool_.store_changes(std::move(changes));
  if (basis) {
    PackedBasis copy = *basis;
    pool_[k].basis = pool_.store_basis(std::move(copy));
  }
  queue_->push(k);
  return k;
}

TreeOutcome TreeSearch::run() {
  lp_.clear_cutoff();
  if (best_known() < 1e30) {  // a start point came in before the search, or a solution before a restart
    qctx_.incumbent = best_known();
    if (set_.node_rule == 0) {
      base_rule_ = NodeRule::kBestBound;
      queue_->set_rule(base_rule_);
    }
  }
  if (cutoff() < 1e30) lp_.set_cutoff(cutoff());
  take_offers();  // a start point
  seed_root_cuts();
  log_.text(1, "\n-------------------------BEGIN ROOT OPTIMIZATION----------------------\n");
  const int root = solve_root();
  log_.text(1, "\n-------------------------END   ROOT OPTIMIZATION----------------------\n");
  if (root != 0) {
    if (root > 0) out_.code = root;
    out_.bound = out_.root_bound;
    if (out_.state == kStateInfeasible) finish_without_better();
    return out_;
  }
  root_obj_ = lp_.objective();
  out_.root_bound = root_obj_;
  cur_bound_ = root_obj_;
  log_.text(2, "\nInitial continuous objective: %f\n", log_.user(root_obj_));
  note_root_lp();
  probe_root();
  if (out_.state == kStateInfeasible || out_.state == kStateFinished || lp_.status() == LpStatus::kInfeasible ||
      lp_.status() == LpStatus::kCutoff) {
    // probing emptied the problem (or left nothing better than the incumbent)
    finish_without_better();
    return out_;
  }
  if (lp_.status() != LpStatus::kOptimal) {
    out_.code = lp_.status() == LpStatus::kTimeLimit ? err::kTimeLimit : err::kNumerical;
    out_.bound = out_.root_bound;
    return out_;
  }
  root_obj_ = std::max(root_obj_, lp_.objective());
  out_.root_bound = root_obj_;
  cur_bound_ = root_obj_;
  // cut loop and heuristics at the root
  ctx_.root = true;
  ctx_.depth = 0;
  ctx_.nodes = 0;
  note_root_lp();
  CutLoopResult cr;
  cr.status = lp_.status();
  ctx_.root_lp_solved = [](void *self) { static_cast<TreeSearch *>(self)->note_root_lp(); };
  ctx_.root_lp_data = this;
  if (cuts_.get()) {
    const double t0 = common::wall_seconds();
    cr = root_cut_loop(ctx_, *cuts_.get());
    log_.text(3, "\nRoot cut loop: %d passes, %d cuts, bound %g, %.2f s (ends at %.2f s)", cr.rounds, cr.cuts_added,
              log_.user(cr.bound), common::wall_seconds() - t0, common::wall_seconds() - start_);
  }
  ctx_.root_lp_solved = nullptr;
  ctx_.root_lp_data = nullptr;
  if (cr.status == LpStatus::kInfeasible || cr.status == LpStatus::kCutoff) {
    finish_without_better();
    return out_;
  }
  if (lp_.status() == LpStatus::kOptimal) {
    root_obj_ = std::max(root_obj_, lp_.objective());
    out_.root_bound = root_obj_;
    cur_bound_ = root_obj_;
  }
  root_rc_ = lp_.reduced_costs();
  root_x_ = lp_.x();
  note_root_lp();
  if (ctx_.params.integer(TV_IPARAM_MIP_BNB_TRY_BNP) == 1 && !ctx_.sub_mip && lp_.status() == LpStatus::kOptimal)
    try_blocks();
  if (set_.heu_level != 0 && lp_.status() == LpStatus::kOptimal) root_heuristics(ctx_);
  // a root heuristic's incumbent can leave the root LP past the cutoff: no node can beat it
  if (lp_.status() == LpStatus::kCutoff && best_known() < 1e30) {
    finish_without_better();
    return out_;
  }
  if (lp_.status() != LpStatus::kOptimal) {
    double secs;
    solve_node_lp(&secs);
    if (lp_.status() != LpStatus::kOptimal) {
      out_.code = lp_.status() == LpStatus::kTimeLimit ? err::kTimeLimit : err::kNumerical;
      out_.bound = out_.root_bound;
      return out_;
    }
  }
  fix_global_by_root_costs();
  if (optimal_now()) {
    log_.text(1, "\nUser optimality tolerance satisfied.");
    out_.complete = true;
    out_.bound = std::min(out_.root_bound, best_known());
    return out_;
  }
  if (restart_due()) {
    out_.restart = true;
    out_.bound = current_bound();
    return out_;
  }
  log_.text(1, "\nStarted %s B&B search", "master");
  nodes_at_root_ = out_.nodes_solved;
  tree_start_ = solve_iterations(ctx_);
  fixings_grew_ = false;
  search();
  log_.text(1, "\nTerminated %s B&B search", "master");
  // the cuts of every class the solve added, root and tree
  if (cuts_.get() && ctx_.print_level >= kCutStatisticsLevel) report_cut_statistics(ctx_, *cuts_.get());
  if (orbital_ && orbital_->branchings() > 0)
    log_.text(3, "\nOrbital fixing: %lld bounds tightened in %lld branchings", orbital_->fixings(),
              orbital_->branchings());
  return out_;
}

// Nothing better than the best known solution is left (or no solution at
// all): the search is complete, and its bound is that solution's value, also
// when the solution came from before a restart.
void TreeSearch::finish_without_better() {
  const double z = best_known();
  out_.state = z < 1e30 ? kStateFinished : kStateInfeasible;
  out_.complete = true;
  out_.bound = z < 1e30 ? z : 1e30;
}

void TreeSearch::continue_from(const TreeOutcome &prior, double known, RestartCarry carry) {
  out_.lps = prior.lps;
  out_.branches = prior.branches;
  out_.iterations = prior.iterations;
  out_.nodes_solved = prior.nodes_solved;
  out_.lp_time = prior.lp_time;
  known_obj_ = known;
  prior_bound_ = prior.bound;
  pc_ = std::move(carry.pc);
  seed_cuts_ = std::move(carry.cuts);
  root_fix_ = std::move(carry.rules);
}

// The carried cuts enter the pool (within its root capacity) and the LP before the root solve.
void TreeSearch::seed_root_cuts() {
  CutPool *pool = cuts_.get();
  if (!pool || seed_cuts_.empty()) return;
  const int capacity = static_cast<int>(std::floor(ctx_.params.dbl(TV_DPARAM_MIP_ADDCUTPER) * p_.m));
  for (const PoolCut &c : seed_cuts_) {
    const int sense = c.sense == 'G' ? -1 : c.sense == 'L' ? 1 : 0;
    pool->add(capacity, sense, 0.0, c.value.data(), c.index.data(), static_cast<int>(c.index.size()), c.rhs,
              c.tag.c_str());
  }
  seed_cuts_.clear();
  pool->flush_to_lp(lp_);
}

// Integer columns free in the problem and, of those, fixed by the global bounds.
int TreeSearch::global_fixings(int *free_before) const {
  int fixed = 0;
  *free_before = 0;
  for (int j = 0; j < p_.n; ++j) {
    if (!p_.is_int[j] || p_.col_up[j] - p_.col_lo[j] < 0.5) continue;
    ++*free_before;
    if (gup_[j] - glo_[j] < 0.5) ++fixed;
  }
  return fixed;
}

// Columns the root fixed (probing, reduced costs) leave the problem only
// through a new presolve, which then also drops the rows they settle and
// finds what else follows; the price is a second root.
bool TreeSearch::restart_due() {
  if (set_.max_restarts <= 0 || stop_code_ != 0) return false;
  int free_before = 0;
  const int fixed = global_fixings(&free_before);
  if (fixed == 0 || fixed < set_.restart.share * free_before) {
    log_.text(3, "\nRoot fixings: %d of %d integer columns", fixed, free_before);
    return false;
  }
  log_.text(1, "\nRestarting the search: %d of %d integer columns fixed at the root", fixed, free_before);
  return true;
}

// A much better solution found early in the search lets the root's reduced
// costs fix many more columns than they did at the root. While the tree is
// young, what it would lose is little next to a smaller problem with a root
// of its own; later the open nodes hold too much work.
bool TreeSearch::tree_restart_due() {
  if (!fixings_grew_) return false;
  fixings_grew_ = false;
  if (set_.max_restarts <= 0 || stop_code_ != 0) return false;
  if (out_.nodes_solved - nodes_at_root_ > set_.restart.tree_nodes) return false;
  // a tree that already took more work than the solve before it loses more
  // than a new root would save (counted in iterations, not seconds: the
  // choice must not depend on the machine's load)
  if (solve_iterations(ctx_) - tree_start_ > set_.restart.tree_work_share * tree_start_) return false;
  int free_before = 0;
  const int fixed = global_fixings(&free_before);
  if (fixed == 0 || fixed < set_.restart.tree_share * free_before) {
    log_.text(3, "\nTree fixings: %d of %d integer columns after %.0f nodes", fixed, free_before,
              out_.nodes_solved - nodes_at_root_);
    return false;
  }
  log_.text(1, "\nRestarting the search: %d of %d integer columns fixed after %.0f nodes", fixed, free_before,
            out_.nodes_solved - nodes_at_root_);
  return true;
}

// The block-structure try: its bound is a floor of the search's bound, its
// solution goes through the incumbent like any heuristic's.
void TreeSearch::try_blocks() {
  log_.text(1, "\nTry BNP solver...\n");
  const BlockTryResult b = try_block_solver(ctx_);
  if (b.bound > -1e29 && b.bound < 1e29) {
    log_.text(1, "BNP solver found a lower bound of %f.\n", log_.user(b.bound));
    // a floor under every node's bound; the root LP value stays as it is,
    // since reduced-cost fixing prices distances from that value only
    out_.root_bound = std::max(out_.root_bound, b.bound);
    cur_bound_ = std::max(cur_bound_, b.bound);
  }
  if (b.found) log_.text(1, "BNP solver found a feasible solution of %f.\n", log_.user(b.objective));
}

// The per-node trace of the high print levels.
void TreeSearch::trace_node(int index, const Node &nd) {
  if (nd.branch_var < 0)
    log_.text(12, "\nCurrent nnum=%6u pnum=%6d  j=%6d TOP   bound=%e", static_cast<unsigned>(index), nd.parent,
              nd.branch_var, log_.user(nd.bound));
  else
    log_.text(12, "\nCurrent nnum=%6u pnum=%6d  j=%6u dir=%c bound=%e ninf=%u", static_cast<unsigned>(index),
              nd.parent, static_cast<unsigned>(nd.branch_var), nd.dir == kDirDown ? 'D' : 'U', log_.user(nd.bound),
              static_cast<unsigned>(std::max<int>(0, nd.ninf)));
}

void TreeSearch::search() {
  int cur = pool_.allocate();
  {
    Node &r = pool_[cur];
    r.bound = root_obj_;
  }
  trace_node(cur, pool_[cur]);
  bool lp_ready = true;  // the root LP is solved
  bool first = true;
  std::vector<double> x;
  int reps = 0;          // re-solves of the node in hand after fixings
  bool cuts_done = false;  // the node in hand had its cut passes
  double node_secs = 0;
  while (true) {
    if (cur < 0) {
      reps = 0;
      cuts_done = false;
      if (restart_) restart_from_root();
      if (queue_->empty()) break;
      if (tree_restart_due()) {
        out_.restart = true;
        break;
      }
      qctx_.global_bound = cur_bound_;
      if (base_rule_ == NodeRule::kDepthFirst && set_.node_rule == 0 && !crowded_ && ++pops_ % 128 == 0) {
        // depth first gets stuck in bad subtrees: now and then restart from the best bound
        queue_->set_rule(NodeRule::kBestBound);
        cur = queue_->pop();
        queue_->set_rule(NodeRule::kDepthFirst);
      } else {
        cur = queue_->pop();
      }
      if (cur < 0) break;
      if ((pool_[cur].flags & kBenignError) && (queue_->empty() || queue_->all_flagged(kBenignError))) {
        log_.text(1, "All active nodes are benign-error flagged.\n");
        break;  // the node goes back to the queue below; its bound stays open
      }
      const Node &nd = pool_[cur];
      cur_bound_ = nd.bound;
      if (nd.bound >= cutoff()) {
        note_pruned(nd.bound);
        pool_.release(cur);
        cur = -1;
        continue;
      }
      const std::vector<BoundChange> path = nd.changes >= 0 ? pool_.changes(nd.changes) : std::vector<BoundChange>{};
      const int prev_changes = static_cast<int>(cur_changes_.size());
      const bool ok = switch_to(path);
      trace_node(cur, nd);
      log_.text(12, "\nApplied node specific modifications, current:%d, prev:%d, num_infeas:%d",
                static_cast<int>(path.size()), prev_changes, static_cast<int>(nd.ninf));
      if (nd.basis >= 0) {
        install_basis(pool_.basis(nd.basis));
      } else {
        log_.text(4, "\n no basic on this node \n");
      }
      if (!ok) {
        pool_.release(cur);
        cur = -1;
        continue;
      }
      lp_ready = false;
    }
    if (limits_hit()) break;
    switch_rules();
    switch_node_rule();
    reorder_due();
    periodic_line(false);
    // the gap is tested at every node rather than with the periodic line, so
    // that where the search stops does not depend on the clock
    stop_if_optimal();
    if (stop_code_) break;

    Node &nd = pool_[cur];
    if (!lp_ready) {
      if (reps == 0 && !presolve_node()) {
        log_.text(11, "Node is %s", "inf");
        out_.nodes_solved += 1;
        pool_.release(cur);
        cur = -1;
        continue;
      }
      if (!solve_node_lp(&node_secs)) {
        out_.nodes_solved += 1;
        pool_.release(cur);
        cur = -1;
        continue;
      }
      avg_node_iters_ = 0.9 * avg_node_iters_ + 0.1 * lp_.iterations();
    }
    lp_ready = false;
    const LpStatus st = lp_.status();
    out_.nodes_solved += 1;
    if (st == LpStatus::kTimeLimit) {
      stop_code_ = err::kTimeLimit;
      break;
    }
    if (st == LpStatus::kIterLimit) {
      stop_code_ = err::kIterationLimit;
      break;
    }
    if (st == LpStatus::kInterrupted) {
      stop_code_ = err::kUserInterrupt;
      break;
    }
    if (st == LpStatus::kOutOfMemory) {
      stop_code_ = err::kNoMemory;
      break;
    }
    if (st == LpStatus::kInfeasible || st == LpStatus::kCutoff) {
      log_.text(11, "Node is %s", st == LpStatus::kInfeasible ? "inf" : "cutoff");
      learn_conflict();
      pool_.release(cur);
      cur = -1;
      continue;
    }
    if (st != LpStatus::kOptimal && !(nd.flags & kBenignError) && !first) {
      // no trustworthy verdict: flagged and tried once more later, from the basis the LP holds then
      nd.flags |= kBenignError;
      pool_.drop_basis(cur);
      if (nd.changes < 0 && !cur_changes_.empty()) nd.changes = pool_.store_changes(std::vector<BoundChange>(cur_changes_));
      queue_->push(cur);
      cur = -1;
      continue;
    }
    if (st != LpStatus::kOptimal) {
      // no verdict twice: the subtree is dropped but its bound is kept
      unsafe_bound_ = std::min(unsafe_bound_, nd.bound);
      pool_.release(cur);
      cur = -1;
      continue;
    }
    const double obj = std::max(lp_.objective(), first ? -1e30 : nd.bound);
    if (!first && reps == 0) record_pseudo_cost(nd, lp_.objective());
    first = false;
    cur_bound_ = obj;
    if (obj >= cutoff()) {
      log_.text(11, "Node is %s", "cutoff");
      learn_conflict();
      note_pruned(obj);
      pool_.release(cur);
      cur = -1;
      continue;
    }
    x = lp_.x();
    x.resize(p_.n);
    std::vector<int> frac = fractional_columns(p_, x, set_.int_tol);
    if (frac.empty()) {
      cur_code_ = kSrcTree;
      // a feasible point refused as no better than the incumbent or the user cutoff closes its node
      if (!inc_.submit(x, "") && !inc_.last_point_feasible() &&
          !(inc_.has_incumbent() && obj >= inc_.incumbent_objective() - 1e-9)) {
        // integral but rejected by the full check (tolerances): keep branching is impossible, record the bound
        unsafe_bound_ = std::min(unsafe_bound_, obj);
      }
      pool_.release(cur);
      cur = -1;
      continue;
    }
    // node heuristics and cuts at their frequency
    ctx_.root = nd.depth == 0;
    ctx_.depth = static_cast<int>(nd.depth);
    ctx_.nodes = out_.lps;
    ctx_.branches = out_.branches;
    if (set_.heu_level != 0 && (nd.depth % 8 == 0)) {
      ctx_.dive_iterations = dive_budget();
      const double before = lp_.total_iterations();
      node_heuristics(ctx_);
      heur_iters_ += lp_.total_iterations() - before;
      if (stop_code_) break;
      if (lp_.status() != LpStatus::kOptimal) {  // a heuristic left the LP changed: solve again
        lp_ready = false;
        continue;
      }
    }
    if (!cuts_done && cuts_.get() && nd.depth > 0 && cut_passes_due(nd.depth)) {
      // the node is evaluated again from the LP the passes leave
      cuts_done = true;
      const double before = lp_.total_iterations();
      node_cut_loop(ctx_, *cuts_.get());
      const double pivots = lp_.total_iterations() - before;
      out_.iterations += pivots;
      out_.effort.node += pivots;
      reps = std::max(reps, 1);
      lp_ready = true;
      continue;
    }
    fix_local_by_costs(obj);
    // branching
    BranchInput in{p_, lp_, set_, pc_};
    in.priority = priority_;
    in.depth = static_cast<int>(nd.depth);
    in.node_obj = obj;
    in.cutoff = cutoff();
    in.sb_iter_limit = trial_iteration_limit();
    in.reliable = reliability_threshold();
    deep_trial_plan(in);
    in.deadline = deadline_;
    in.branched = &branched_;
    BranchDecision bd = choose_branch(in, x, frac);
    out_.iterations += bd.trial_iterations;
    (in.depth > set_.strong_level ? out_.effort.deep : out_.effort.trial) += bd.trial_iterations;
    out_.lps += bd.trial_solves;
    if (bd.trial_solves > 0)
      log_.text(11, "\nSB completed, b_index=%d, max_tc=%d, lift=%d mfn=%d cmfn=%d bs=%e mfs=%e ", bd.col,
                bd.trial_solves / 2, static_cast<int>(bd.fixes.size()), static_cast<int>(frac.size()),
                static_cast<int>(bd.infeasible), log_.user(std::max(bd.down_bound, bd.up_bound)),
                log_.user(std::min(bd.down_bound, bd.up_bound)));
    if (bd.infeasible) {
      pool_.release(cur);
      cur = -1;
      continue;
    }
    if (!bd.fixes.empty() && reps < 20) {
      bool ok = true;
      for (const BoundChange &c : bd.fixes) ok = apply_change(c) && ok;
      ++reps;
      if (!ok) {
        pool_.release(cur);
        cur = -1;
        continue;
      }
      lp_ready = false;
      continue;
    }
    if (bd.col < 0) {
      // nothing to branch on after the fixings: take the first fractional column
      bd.col = frac[0];
      bd.value = x[bd.col];
      bd.down_bound = bd.up_bound = obj;
    }
    out_.branches += 1;
    const int j = bd.col;
    ++branched_[j];
    const double v = bd.value;
    const double f = v - std::floor(v);
    double est = 0;
    for (int k : frac) {
      const double fk = x[k] - std::floor(x[k]);
      est += std::min(pc_.unit(k, false) * fk, pc_.unit(k, true) * (1 - fk));
    }
    Node down, up;
    for (Node *c : {&down, &up}) {
      c->tree = nd.tree;
      c->depth = nd.depth + 1;
      c->ninf = static_cast<std::int16_t>(std::min<size_t>(frac.size(), 32767));
      c->weight = static_cast<float>(f);
      c->estimate_inc = static_cast<float>(est);
      c->branch_var = j;
      c->parent_obj = obj;
    }
    down.bound = std::max(obj, bd.down_bound);
    down.branch_value = std::floor(v);
    down.dir = kDirDown;
    up.bound = std::max(obj, bd.up_bound);
    up.branch_value = std::ceil(v);
    up.dir = kDirUp;
    const BoundChange dch{j, lp_.col_lower(j), std::floor(v)};
    const BoundChange uch{j, std::ceil(v), lp_.col_upper(j)};
    std::vector<BoundChange> down_extra;  // orbital fixing of the down child
    orbit_changes(j, std::floor(v), &down_extra);
    // which child is dived into
    bool up_first;
    if (set_.branch_dir == 1)
      up_first = true;
    else if (set_.branch_dir == 2)
      up_first = false;
    else if (inc_.has_incumbent() && set_.branch_dir == 3)
      up_first = inc_.incumbent()[j] >= std::ceil(v);
    else if (!inc_.has_incumbent())
      up_first = f >= 0.5;  // dive towards the rounded value: integer points come sooner
    else
      up_first = bd.up_gain <= bd.down_gain;
    Node &dive = up_first ? up : down;
    Node &other = up_first ? down : up;
    const BoundChange &dive_ch = up_first ? uch : dch;
    const BoundChange &other_ch = up_first ? dch : uch;
    const double cut = cutoff();
    PackedBasis packed;
    const bool have_basis = set_.keep_basis && pack_node_basis(&packed);
    static const std::vector<BoundChange> kNone;
    const std::vector<BoundChange> &dive_extra = up_first ? kNone : down_extra;
    const std::vector<BoundChange> &other_extra = up_first ? down_extra : kNone;
    if (other.bound < cut) push_child(cur, other, path_with(other_ch, other_extra), have_basis ? &packed : nullptr);
    // plunge into the preferred child while it stays promising
    const double qbest = queue_->empty() ? dive.bound : std::min(queue_->min_bound(), dive.bound);
    const bool plunge = dive.bound < cut &&
                        (!inc_.has_incumbent() || set_.node_rule == 1 ||
                         dive.bound <= qbest + 0.5 * (std::min(cut, inc_.incumbent_objective()) - qbest));
    if (dive.bound < cut && !plunge)
      push_child(cur, dive, path_with(dive_ch, dive_extra), have_basis ? &packed : nullptr);
    const Node dive_copy = dive;
    pool_.release(cur);
    cur = -1;
    if (plunge) {
      cur = pool_.allocate();
      pool_[cur] = dive_copy;
      cur_bound_ = dive_copy.bound;
      reps = 0;
      cuts_done = false;
      bool ok = apply_change(dive_ch);
      for (const BoundChange &c : dive_extra) ok = apply_change(c) && ok;
      if (!ok) {
        pool_.release(cur);
        cur = -1;
      }
    }
  }
  if (cur >= 0) {
    // stopped with a node in hand: its bound stays open
    queue_->push(cur);
  }
  const bool gap_closed = stop_code_ == -2;
  if (stop_code_ < 0) stop_code_ = 0;  // solution limit or gap closed: an ordinary end
  out_.code = stop_code_;
  out_.open_nodes = queue_->size();
  // a subtree dropped without a verdict leaves the search unproven below its bound
  out_.complete = gap_closed || (queue_->empty() && stop_code_ == 0 && cur < 0 && unsafe_bound_ >= cutoff());
  out_.bound = current_bound();
  if (out_.complete && !gap_closed) {
    out_.bound = std::min(unsafe_bound_, tol_pruned_bound_);
    out_.bound = std::min(out_.bound, best_known());
  }
  periodic_line(true);
}

}  // namespace tarvo::mip
