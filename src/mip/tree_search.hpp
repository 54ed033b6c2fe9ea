// The branch-and-bound search over a MipProblem: the root phases (relaxation,
// cut loop, heuristics, reduced-cost fixing) and the node loop with plunging,
// reliability branching, pruning against the cutoff and the limits.
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "mip/branching.hpp"
#include "mip/cut_pool_holder.hpp"
#include "mip/incumbent.hpp"
#include "mip/mip_log.hpp"
#include "mip/mip_settings.hpp"
#include "mip/node_queue.hpp"

namespace tarvo::mip {

enum SearchState : int { kStateNone = 0, kStateUnbounded = 1, kStateInfeasible = 2, kStateIncumbent = 3,
                         kStateFinished = 4 };

// What the driver offers the tree: the host poll (0, 2023 or 2017) at log
// lines, and the notice of a new incumbent (0 or 2023 when the host stops).
struct TreeHooks {
  std::function<int(const LogCounters &)> poll;
  std::function<int(const LogCounters &)> on_incumbent;
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
};

class TreeSearch {
 public:
  TreeSearch(MipContext &ctx, const MipSettings &set, Incumbent &inc, MipLog &log, TreeHooks hooks, double start,
             const std::vector<int> *priority);
  ~TreeSearch();
  TreeOutcome run();
  // The tree's cut pool (its cuts hold for the whole problem).
  const CutPool *cut_pool() const { return cuts_.get(); }
  // Objective step of the problem (all improving solutions differ by a multiple), 0 when none.
  static double objective_step(const MipProblem &p);

 private:
  int solve_root();
  void search();
  bool solve_node_lp(double *seconds);
  // Re-applies the global bounds intersected with `changes` to the LP; false when empty.
  bool switch_to(const std::vector<BoundChange> &changes);
  bool apply_change(const BoundChange &c);
  // The path of the node in hand with column c.col's bounds replaced by c.
  std::vector<BoundChange> path_with(const BoundChange &c) const;
  double cutoff() const;
  void note_pruned(double bound);
  double exact_cutoff(double z) const;
  void new_incumbent(const char *tag);
  void fix_global_by_root_costs();
  void fix_local_by_costs(double obj);
  void record_pseudo_cost(const Node &nd, double obj);
  bool limits_hit();
  bool cut_passes_due(unsigned depth) const;
  bool optimal_now();
  void switch_rules();
  LogCounters counters();
  void periodic_line(bool force);
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
  double unsafe_bound_ = 1e30;   // smallest bound of nodes dropped without proof
  double tol_pruned_bound_ = 1e30;  // smallest bound of nodes pruned within the gap tolerance
  double cur_bound_ = 1e30;      // bound of the node in hand
  TreeOutcome out_;
  int stop_code_ = 0;
  double last_line_ = 0, last_incumbent_time_ = 0;
  double avg_node_iters_ = 0;
  int cur_code_ = kSrcTree;
  NodeRule base_rule_ = NodeRule::kBestBound;
  bool crowded_ = false;
  long long pops_ = 0;
};

}  // namespace tarvo::mip
