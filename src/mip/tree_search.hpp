// The branch-and-bound search over a MipProblem: the root phases (relaxation,
// cut loop, heuristics, reduced-cost fixing) and the node loop with plunging,
// reliability branching, pruning against the cutoff and the limits.
#pragma once

#include <algorithm>
#include <functional>
#include <memory>
#include <vector>

#include "model/model.hpp"
#include "mip/branching.hpp"
#include "mip/cut_pool_holder.hpp"
#include "mip/cutpool.hpp"
#include "mip/incumbent.hpp"
#include "mip/mip_log.hpp"
#include "mip/mip_settings.hpp"
#include "mip/node_queue.hpp"
#include "mip/orbital_fixing.hpp"
#include "mip/root_cost_fixing.hpp"

namespace tarvo::mip {

class NodePresolve;
class ConflictPool;

enum SearchState : int { kStateNone = 0, kStateUnbounded = 1, kStateInfeasible = 2, kStateIncumbent = 3,
                         kStateFinished = 4 };

// What the driver offers the tree: the host poll (0, 2023 or 2017) at log
// lines, and the notice of a new incumbent (0 or 2023 when the host stops).
// A poll may leave a host's offer (a point over the first `user_cols`
// columns, or an objective value in minimisation form) in `offer`; the tree
// takes it before its next node.
struct TreeHooks {
  std::function<int(const LogCounters &)> poll;
  std::function<int(const LogCounters &)> on_incumbent;
  base::MipOffer *offer = nullptr;
  int user_cols = -1;
};

// Simplex pivots of one search by what they were spent on (a search after a
// restart counts afresh). The strong-branching allowance is measured against
// `node`, so every node LP counts there, whatever its outcome.
struct TreeEffort {
  double root = 0;   // the root LP's first solve
  double node = 0;   // node LPs with their fallbacks, returning cuts and node cut passes
  double trial = 0;  // strong-branching trials down to the strong-branching depth
  double deep = 0;   // trial solves below it
};

struct TreeOutcome {
  int code = 0;               // 0 or 2016, 2017, 2023, 2037, 2001, 2006, 2019
  int state = kStateNone;
  bool complete = false;      // the whole tree was searched
  bool lsol_stop = false;     // stopped by the time since the last solution
  double bound = -1e30;       // minimisation form
  double root_bound = -1e30;
  double lps = 0, branches = 0, open_nodes = 0, iterations = 0, nodes_solved = 0;
  double lp_time = 0;
  TreeEffort effort;
  bool restart = false;       // left after the root: enough integer columns fixed to presolve again
};

// What a search hands the search after a restart, over the new columns.
struct RestartCarry {
  PseudoCosts pc;              // learnt pseudo-costs
  std::vector<PoolCut> cuts;   // root cuts over surviving columns, for the new root LP
  RootCostFixing rules;        // reduced-cost rules of the earlier roots
};

class TreeSearch {
 public:
  TreeSearch(MipContext &ctx, const MipSettings &set, Incumbent &inc, MipLog &log, TreeHooks hooks, double start,
             const std::vector<int> *priority);
  ~TreeSearch();
  TreeOutcome run();
  // Orbital fixing in the down children (null: none); the object outlives the search.
  void set_orbital_fixing(OrbitalFixing *of) { orbital_ = of; }
  // The tree's cut pool (its cuts hold for the whole problem).
  const CutPool *cut_pool() const { return cuts_.get(); }
  // Dual proofs of pruned nodes kept for node presolve (null when off).
  const ConflictPool *conflict_pool() const { return conflicts_.get(); }
  // A search that follows a restart: the counters (and so the limits) go on
  // from `prior` and its bound stays a floor of this search's, a solution of
  // value `known` (minimisation form, 1e30: none) exists outside this
  // problem, and `carry` seeds branching, the root LP and the reduced-cost
  // fixing (valid for this problem's solutions better than `known`).
  void continue_from(const TreeOutcome &prior, double known, RestartCarry carry);
  // Reduced-cost rules of every optimal root LP of this search and those before it.
  const RootCostFixing &root_cost_fixing() const { return root_fix_; }
  // Global bounds after the root (for a restart) and the learnt pseudo-costs.
  const std::vector<double> &global_lower() const { return glo_; }
  const std::vector<double> &global_upper() const { return gup_; }
  const PseudoCosts &pseudo_costs() const { return pc_; }
  // Objective step of the problem (all improving solutions differ by a multiple), 0 when none.
  static double objective_step(const MipProblem &p);

 private:
  int solve_root();
  void search();
  // Solves the node LP (with retries when the warm solve has no verdict);
  // false when the node is proven empty without the LP saying so.
  bool solve_node_lp(double *seconds);
  // One warm solve of the node LP and, without a verdict, the primal simplex,
  // the slack basis and a fresh LP in turn; false as solve_node_lp.
  bool solve_with_fallbacks(const simplex::LpLimits &lim);
  bool fresh_verdict(const simplex::LpLimits &lim);
  // Packs the LP's basis for a child node; false when it cannot be stored.
  bool pack_node_basis(PackedBasis *out) const;
  // Loads a node's stored basis into the LP, its binding cuts back in the LP.
  void install_basis(const PackedBasis &pb);
  simplex::LpBasis slack_basis() const;
  // Re-applies the global bounds intersected with `changes` to the LP; false when empty.
  bool switch_to(const std::vector<BoundChange> &changes);
  bool apply_change(const BoundChange &c);
  // The path of the node in hand with column c.col's bounds replaced by c.
  std::vector<BoundChange> path_with(const BoundChange &c) const;
  // The same with the further changes `extra` (columns other than c.col).
  std::vector<BoundChange> path_with(const BoundChange &c, const std::vector<BoundChange> &extra) const;
  // Orbital fixing: the bounds x_i <= f for the orbit of column j branched down to f.
  void orbit_changes(int j, double f, std::vector<BoundChange> *out);
  double cutoff() const;
  // The best solution value known: the incumbent's or one found outside this problem.
  double best_known() const { return std::min(inc_.incumbent_objective(), known_obj_); }
  // The root fixed enough integer columns for a restart (logs it).
  bool restart_due();
  // Early in the search a new solution let the root's reduced costs fix enough for a restart (logs it).
  bool tree_restart_due();
  int global_fixings(int *free_before) const;
  void seed_root_cuts();
  void finish_without_better();
  void note_pruned(double bound);
  double exact_cutoff(double z) const;
  void new_incumbent(const char *tag);
  void fix_global_by_root_costs();
  // Keeps the fixing rules of the root LP in hand when it is optimal over the global bounds.
  void note_root_lp();
  void fix_local_by_costs(double obj);
  // Node presolve before the node's first LP; false when the node is empty.
  bool presolve_node();
  // Stores the dual proof of the node whose LP was just found empty or cut off.
  void learn_conflict();
  void record_pseudo_cost(const Node &nd, double obj);
  // Trial solves a column needs before its pseudo-costs are trusted.
  int reliability_threshold() const;
  double trial_iteration_limit() const;
  // Count and pivot limit of the trial solves below the strong-branching depth.
  void deep_trial_plan(BranchInput &in) const;
  // Pivots the node dives may still spend.
  double dive_budget() const;
  bool limits_hit();
  bool cut_passes_due(unsigned depth) const;
  bool optimal_now();
  void switch_rules();
  // Rules 4 and 6: best bound to best estimate or worst bound and back.
  void switch_node_rule();
  void set_base_rule(NodeRule rule, int marker);
  // A stalled search re-sorts its open nodes or restarts from the root.
  bool reorder_due();
  void restart_from_root();
  void take_offers();
  // Completes the auxiliary columns of a point over the user's columns and submits it.
  bool submit_user_point(const std::vector<double> &x);
  // Bound propagation with probing on the binaries after the root relaxation.
  void probe_root();
  // The enumeration solver of pure binary problems; true when it settled the problem.
  LogCounters counters();
  void periodic_line(bool force);
  void stop_if_optimal();  // stops the search once the gap is within the tolerances
  void trace_node(int index, const Node &nd);
  void try_blocks();
  double current_bound() const;
  int push_child(int parent, const Node &proto, std::vector<BoundChange> &&changes, const PackedBasis *basis);

  MipContext &ctx_;
  const MipProblem &p_;
  simplex::LpSolver &lp_;
  const MipSettings &set_;
  Incumbent &inc_;
  MipLog &log_;
  TreeHooks hooks_;
  const std::vector<int> *priority_;
  double start_, deadline_;
  double step_ = 0;
  std::vector<double> glo_, gup_;          // global bounds
  std::vector<char> touched_;
  std::vector<int> touched_list_;
  std::vector<BoundChange> cur_changes_;
  NodePool pool_;
  QueueContext qctx_;
  std::unique_ptr<NodeQueue> queue_;
  PseudoCosts pc_;
  CutPoolHolder cuts_;
  // root data for reduced-cost fixing with later incumbents
  double root_obj_ = -1e30;
  std::vector<double> root_rc_, root_x_;
  RootCostFixing root_fix_;              // rules of every optimal root LP
  double unsafe_bound_ = 1e30;   // smallest bound of nodes dropped without proof
  double tol_pruned_bound_ = 1e30;  // smallest bound of nodes pruned within the gap tolerance
  double cur_bound_ = -1e30;     // bound of the node in hand (nothing known before the root)
  TreeOutcome out_;
  int stop_code_ = 0;
  double last_line_ = 0, last_incumbent_time_ = 0;
  double avg_node_iters_ = 0;
  double heur_iters_ = 0;               // pivots of node heuristics on the node LP
  int cur_code_ = kSrcTree;
  bool basis_installed_ = false;        // the next node LP starts from a basis to factorise anyway
  NodeRule base_rule_ = NodeRule::kBestBound;
  bool crowded_ = false;
  long long pops_ = 0;
  int marker_ = 3;                      // rule marker: 1 crowding, 3 best bound, 5 switched away
  double branches_at_switch_ = 0, lps_at_switch_ = 0, lps_at_improvement_ = 0;
  int reorders_ = 0;
  double lps_at_progress_ = 0, progress_bound_ = -1e30;
  bool restart_ = false;
  bool fixings_grew_ = false;           // a new incumbent ran the root reduced-cost fixing
  double nodes_at_root_ = 0;            // nodes solved before this search's tree began
  double tree_start_ = 0;               // the solve's simplex iterations when this search's tree began
  double outside_cutoff_ = 1e30;        // an objective value the host says is reachable
  double known_obj_ = 1e30;             // a solution value found before a restart
  double prior_bound_ = -1e30;          // the bound the searches before a restart proved
  std::vector<PoolCut> seed_cuts_;      // cuts carried over a restart, for the root LP
  int nint_ = 0;
  std::vector<int> branched_;           // branchings per column
  OrbitalFixing *orbital_ = nullptr;
  std::unique_ptr<NodePresolve> node_pre_;  // null when the tree level asks for none
  std::unique_ptr<ConflictPool> conflicts_;
};

}  // namespace tarvo::mip
