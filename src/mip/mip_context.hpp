// What the tree offers to cut separation and primal heuristics at a node:
// the problem, the node LP (through the narrow LP interface), the incumbent
// and the limits. Cuts and heuristics plug in through the calls at the end
// of this header; the tree never knows an individual separator or heuristic.
#pragma once

#include <memory>
#include <vector>

#include "params/param_values.hpp"
#include "mip/mip_problem.hpp"
#include "simplex/lp_solver.hpp"

namespace tarvo::mip {

// The incumbent and the one door through which new solutions come in.
class SolutionSink {
 public:
  virtual ~SolutionSink() = default;
  // Checks x (n values of the MipProblem) and installs it when feasible and
  // better; `tag` names the finder in the log (the heuristics' code tags).
  virtual bool submit(const std::vector<double> &x, const char *tag) = 0;
  virtual bool has_incumbent() const = 0;
  virtual double incumbent_objective() const = 0;  // +1e30 when none
  virtual const std::vector<double> &incumbent() const = 0;
  // Submitted points must be strictly better than this value (a cutoff), +1e30 when none.
  virtual double threshold() const { return 1e30; }
  // The solution store: feasible solutions kept besides the incumbent, best first.
  virtual int stored_count() const { return 0; }
  virtual const std::vector<double> &stored(int) const { return incumbent(); }
};

struct HeuristicState;  // the heuristics' schedule within one solve (heuristics.hpp)
class PseudoCosts;

struct MipContext {
  const MipProblem &prob;
  simplex::LpSolver &lp;            // the node LP: prob's rows first, then the cuts in the LP
  const base::ParamValues &params;  // read-only: solvers never write parameters
  SolutionSink &sink;
  double deadline = 1e30;           // wall-clock seconds (common::wall_seconds) to stop by
  int depth = 0;
  double nodes = 0;
  bool root = true;
  unsigned seed = 0;                // for randomised choices, fixed per tree
  double branches = 0;
  bool sub_mip = false;             // a heuristic's sub-MIP: no sub-MIP heuristics of its own
  bool light_root = false;          // a root after a restart with a solution known: rounding only
  std::shared_ptr<HeuristicState> heur{};
  const PseudoCosts *pseudo = nullptr;  // the tree's, for pseudo-cost diving; may be null
  double dive_iterations = 1e30;     // LP pivots node dives may still spend (the tree's budget)
  double root_cut_work = -1;         // work budget of the root cut loop; below 0 its own rule
  int print_level = 0;
  void (*log)(void *data, const char *line) = nullptr;  // complete lines, may be null
  void *log_data = nullptr;
  // The tree's cut-pass log line after each re-optimisation of a cut pass
  // (pass number, cuts added so far); may be null.
  void (*cut_pass_line)(void *data, int pass, int cuts) = nullptr;
  // Each root cut pass's LP solved to optimality (may be null).
  void (*root_lp_solved)(void *data) = nullptr;
  void *root_lp_data = nullptr;
};

// The cut pool lives with the tree; cuts and loops are defined in their own files.
class CutPool;
std::unique_ptr<CutPool> make_cut_pool(const MipProblem &prob);
void delete_cut_pool(CutPool *pool);
struct CutPoolDeleter {
  void operator()(CutPool *p) const { delete_cut_pool(p); }
};

struct CutLoopResult {
  simplex::LpStatus status = simplex::LpStatus::kNotSolved;  // of the last LP solve
  int cuts_added = 0;
  int rounds = 0;
  double bound = -1e30;  // LP value after the last pass solved to optimality (a valid bound)
};

// Root cut loop: passes of separation, adding cuts to ctx.lp and re-solving,
// until the bound stalls or a limit is hit. The LP is solved on entry.
CutLoopResult root_cut_loop(MipContext &ctx, CutPool &pool);
// A short loop at a tree node (the LP is solved on entry); the tree chooses the nodes.
CutLoopResult node_cut_loop(MipContext &ctx, CutPool &pool);
// Primal heuristics at the root (after the cut loop) and at tree nodes; every
// solution goes through ctx.sink.
void root_heuristics(MipContext &ctx);
void node_heuristics(MipContext &ctx);
// The solve's simplex iterations so far: its own LP's and the heuristics'
// sub-MIPs'. The measure of work by which its effort is shared out.
double solve_iterations(const MipContext &ctx);
// Activity management of the pooled cuts after a node basis is loaded or the
// node LP re-optimised: binding inactive cuts come back, slack ones age.
// Returns the number re-activated.
int update_cut_activity(MipContext &ctx, CutPool &pool);
// Cuts slack for TV_IPARAM_MIP_MAKECUT_INACTIVE_COUNT re-optimisations leave
// the node LP (they stay in the pool); `refactor_due`: the LP's basis is to
// be factorised anyway. Returns how many left.
int park_idle_cuts(MipContext &ctx, CutPool &pool, bool refactor_due);
// Node cut loops append rows: a basis stored before that is padded with basic
// slacks for the new rows (call before LpSolver::set_basis).
void pad_basis(simplex::LpBasis &basis, int cols, int rows);
// Log lines of the cut and heuristic statistics at the end of the solve.
void report_cut_statistics(MipContext &ctx, const CutPool &pool);

}  // namespace tarvo::mip
