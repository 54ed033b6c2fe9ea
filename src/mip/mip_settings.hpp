// The integer solver's options snapshot: every parameter the tree reads,
// taken once per solve so that the search never looks at the live store.
#pragma once

#include "params/param_values.hpp"

namespace tarvo::mip {

// Root restarts of one solve: the share of the integer columns free before
// the root that the root must fix, and the most restarts.
struct RestartPolicy {
  double share = 0.1;
  // from inside the tree: this share fixed after a new solution, within tree_nodes nodes of the root
  double tree_share = 0.1;
  double tree_nodes = 1000;
  double tree_work_share = 1.0;  // ... and while the tree took at most this share of the simplex iterations before it
  int max_restarts = 2;
  bool keep_cuts = true;   // the root's cuts over surviving columns seed the new root
  bool light_root = true;  // the new root runs the rounding heuristics only (when a solution is known)
};

struct MipSettings {
  double int_tol = 1e-6, rel_int_tol = 8e-6;
  double rel_opt_tol = 1e-6, per_opt_tol = 1e-5, abs_opt_tol = 0;
  double loose_tol_after = 100;     // seconds after which per_opt_tol applies, <0 never
  double time_limit = -1;           // seconds of the whole solve, <0 none
  double last_sol_time_limit = -1;  // seconds without a new incumbent, <0 none
  double iter_limit = -1;           // simplex iterations of the whole solve
  double branch_limit = -1;
  int solution_limit = -1;
  double cutoff = 1e30;             // user cutoff in minimisation form
  bool use_cutoff = true;
  int cutoff_mode = 1;              // TV_IPARAM_MIP_USECUTOFFOBJ: 2 also counts as an incumbent for rule switches
  double min_abs_step = 0;
  double redcost_fix_root = 0.9, redcost_fix_tree = 0.9;
  // Dual proofs of pruned nodes tighten later nodes' bounds. Where they
  // rarely act (their cost is a third of the node rate on some models) the
  // pool retires itself.
  bool conflict_analysis = true;
  int tree_prelevel = 686;          // TV_IPARAM_MIP_PRELEVEL_TREE: what runs before a node's LP
  int node_rule = 0, branch_rule = 0, branch_dir = 0, branch_prio = 0;
  int strong_level = 10, strong_num = 3;
  int pseudo_rule = 0;
  double pseudo_weight = 6.25;
  int anodes_switch = 50000;
  int local_branch = 0;
  int reorder_level = 10, reorder_mode = 1;  // tree reorderings allowed, and what one does
  int solver_type = 0;              // 0 solver decides, 1 branch and bound only, 2 enumeration only
  int top_method = 0, reopt_method = 0;
  bool keep_basis = true;
  int print_level = 2;
  int heu_level = 3;
  int cut_freq = 10, cut_depth = 5;
  double lbigm = 1e5, delta = 1e-6;
  // Root restarts: the search leaves its root to be presolved again when the
  // root fixed at least restart.share of the integer columns free before it;
  // max_restarts: restarts still allowed to this search (the driver counts
  // them down from restart.max_restarts).
  RestartPolicy restart;
  int max_restarts = 0;

  // sense: +1 minimisation, -1 maximisation (the cutoff is given in the user's sense)
  static MipSettings from_params(const base::ParamValues &p, int sense);
};

}  // namespace tarvo::mip
