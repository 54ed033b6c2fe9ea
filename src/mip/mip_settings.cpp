// Reads the integer solver's parameters into its options snapshot.
#include "mip/mip_settings.hpp"

#include <algorithm>

#include "tarvo.h"

namespace tarvo::mip {

MipSettings MipSettings::from_params(const base::ParamValues &p, int sense) {
  MipSettings s;
  s.int_tol = p.dbl(TV_DPARAM_MIP_INTTOL);
  s.rel_int_tol = p.dbl(TV_DPARAM_MIP_RELINTTOL);
  s.rel_opt_tol = p.dbl(TV_DPARAM_MIP_RELOPTTOL);
  s.per_opt_tol = std::max(s.rel_opt_tol, p.dbl(TV_DPARAM_MIP_PEROPTTOL));
  s.abs_opt_tol = p.dbl(TV_DPARAM_MIP_ABSOPTTOL);
  s.loose_tol_after = p.dbl(TV_DPARAM_MIP_AOPTTIMLIM);
  s.time_limit = p.dbl(TV_DPARAM_MIP_TIMLIM);
  const double solver_limit = p.dbl(TV_DPARAM_SOLVER_TIMLMT);
  if (solver_limit >= 0 && (s.time_limit < 0 || solver_limit < s.time_limit)) s.time_limit = solver_limit;
  s.last_sol_time_limit = p.dbl(TV_DPARAM_MIP_LSOLTIMLIM);
  s.iter_limit = p.dbl(TV_DPARAM_MIP_ITRLIM);
  s.branch_limit = p.integer(TV_IPARAM_MIP_BRANCH_LIMIT);
  s.solution_limit = p.integer(TV_IPARAM_MIP_SOLLIM);
  s.cutoff_mode = p.integer(TV_IPARAM_MIP_USECUTOFFOBJ);
  s.use_cutoff = s.cutoff_mode != 0;
  const double cutoff = p.dbl(TV_DPARAM_MIP_CUTOFFOBJ);
  if (s.use_cutoff && cutoff < 1e30 && cutoff > -1e30) s.cutoff = sense * cutoff;
  s.min_abs_step = p.dbl(TV_DPARAM_MIP_MINABSOBJSTEP);
  s.redcost_fix_root = p.dbl(TV_DPARAM_MIP_REDCOSTFIX_CUTOFF);
  s.redcost_fix_tree = p.dbl(TV_DPARAM_MIP_REDCOSTFIX_CUTOFF_TREE);
  s.tree_prelevel = p.integer(TV_IPARAM_MIP_PRELEVEL_TREE);
  s.node_rule = p.integer(TV_IPARAM_MIP_NODESELRULE);
  s.branch_rule = p.integer(TV_IPARAM_MIP_BRANCHRULE);
  s.branch_dir = p.integer(TV_IPARAM_MIP_BRANCHDIR);
  s.branch_prio = p.integer(TV_IPARAM_MIP_BRANCH_PRIO);
  s.strong_level = p.integer(TV_IPARAM_MIP_STRONGBRANCHLEVEL);
  s.strong_num = p.integer(TV_IPARAM_MIP_STRONGBRANCHDONUM);
  s.pseudo_rule = p.integer(TV_IPARAM_MIP_PSEUDOCOST_RULE);
  s.pseudo_weight = p.dbl(TV_DPARAM_MIP_PSEUDOCOST_WEIGT);
  s.anodes_switch = p.integer(TV_IPARAM_MIP_ANODES_SWITCH_DF);
  s.local_branch = p.integer(TV_IPARAM_MIP_LOCALBRANCHNUM);
  s.reorder_level = p.integer(TV_IPARAM_MIP_TREEREORDERLEVEL);
  s.reorder_mode = p.integer(TV_IPARAM_MIP_TREEREORDERMODE);
  s.solver_type = p.integer(TV_IPARAM_MIP_SOLVERTYPE);
  s.top_method = p.integer(TV_IPARAM_MIP_TOPOPT);
  s.reopt_method = p.integer(TV_IPARAM_MIP_REOPT);
  s.keep_basis = p.integer(TV_IPARAM_MIP_KEEPINMEM) != 0;
  s.print_level = p.integer(TV_IPARAM_MIP_PRINTLEVEL);
  s.heu_level = p.integer(TV_IPARAM_MIP_HEULEVEL);
  s.cut_freq = p.integer(TV_IPARAM_MIP_CUTFREQ);
  s.cut_depth = p.integer(TV_IPARAM_MIP_CUTDEPTH);
  s.lbigm = p.dbl(TV_DPARAM_MIP_LBIGM);
  s.delta = p.dbl(TV_DPARAM_MIP_DELTA);
  return s;
}

}  // namespace tarvo::mip
