// The integer presolve between the working copy and the tree: the reduced
// problem the tree searches instead of the working copy, and the way back
// (every reduced solution is postsolved and checked on the working copy
// before anyone sees it).
#pragma once

#include <memory>
#include <vector>

#include "mip/cutpool.hpp"
#include "mip/incumbent.hpp"
#include "mip/mip_log.hpp"
#include "mip/mip_settings.hpp"
#include "mip/orbital_fixing.hpp"
#include "mip/pseudo_costs.hpp"
#include "mip/tree_search.hpp"
#include "mip/working_problem.hpp"
#include "presolve/presolve.hpp"

namespace tarvo::mip {

// The working copy as the presolve engine's problem, and back.
presolve::LinearProblem linear_problem_of(const MipProblem &p);
void mip_problem_of(const presolve::LinearProblem &r, MipProblem *out);
// A point of the presolved problem mapped back to the problem presolve started from.
std::vector<double> postsolved(const presolve::Result &r, const std::vector<double> &x);

class PresolvedMip {
 public:
  // Presolves w with TV_IPARAM_MIP_PRELEVEL, the fill limit and what is left
  // of the time limit (`start`: wall-clock start of the solve). 0 or 2001.
  // `incumbent`: the best value known so far (minimisation form, 1e30: none).
  int run(base::Model *model, const WorkingProblem &w, const MipSettings &set, double start,
          double incumbent = 1e30);
  // The tree searches reduced() instead of the working copy.
  bool active() const { return reduced_ != nullptr; }
  // Presolve found the model infeasible or fixed every column.
  bool settled() const { return outcome_ == presolve::Outcome::kInfeasible || outcome_ == presolve::Outcome::kSolved; }
  // Presolve decided the model on its own (infeasible, or every column
  // fixed): *t describes a finished search, a solved model's point went to inc.
  bool decided(Incumbent &inc, MipLog &log, TreeOutcome *t);
  WorkingProblem &reduced() { return *reduced_; }
  // The incumbent of the reduced problem (threshold = cutoff).
  Incumbent &reduced_incumbent() { return *reduced_inc_; }
  // Maps the reduced incumbent to the working copy and offers it to `inc`;
  // false when the point fails the check there or is no improvement.
  bool lift_into(Incumbent &inc, const char *tag);
  // A user start point of the working copy offered to the reduced incumbent.
  void offer_start(const std::vector<double> &x);
  // Branching priorities of the user's columns for the reduced columns.
  const std::vector<int> *priorities(const std::vector<int> &user);
  // Working-copy column of each reduced column.
  const std::vector<int> &col_origin() const { return result_.col_origin; }
  // The same, -1 for a column that stands for more than its origin (parallel
  // columns merged into it): its bounds are not its origin's.
  std::vector<int> bound_origin() const;
  // The presolve's record (reductions and their undo steps).
  const presolve::Result &result() const { return result_; }
  // Reduced solutions that failed the check on the working copy.
  int lift_failures() const { return failures_; }

 private:
  presolve::Outcome outcome_ = presolve::Outcome::kUnchanged;
  presolve::Result result_;
  const WorkingProblem *orig_ = nullptr;
  std::unique_ptr<WorkingProblem> reduced_;
  std::unique_ptr<Incumbent> reduced_inc_;
  std::vector<int> priority_;
  double int_tol_ = 1e-6;
  int failures_ = 0;
};

// A column a presolve took out, as c0 + c1 * x_col (col -1: the constant c0).
struct ColumnReplacement {
  bool known = false;
  double c0 = 0, c1 = 0;
  int col = -1;
};
// The columns presolve `r` fixed or replaced by one other column (fixings,
// binaries found equal or complementary, doubleton equations), by column of
// the problem it started from (n columns).
std::vector<ColumnReplacement> column_replacements(const presolve::Result &r, int n);
// Cut c over a searched problem's columns (`origin` maps them to the problem
// both presolves started from, -1 for a column that stands for more than its
// origin) rewritten over the columns of the new problem (`to`, -1: gone). A
// gone column goes to the right-hand side when fixed, or is replaced by the
// column the presolve expressed it with; false when neither.
bool carry_cut(const PoolCut &c, const std::vector<int> &origin, const std::vector<int> &to,
               const std::vector<ColumnReplacement> &rep, PoolCut *out);

// The problems one solve searches in turn: the first presolve's, then after
// each root restart the problem that presolve started from with the root's
// integer bounds, presolved again. Every presolve stays alive for the lifting
// of the points its search found.
class RestartChain {
 public:
  RestartChain(base::Model *model, const WorkingProblem &w, const MipSettings &set, double start,
               PresolvedMip &first);
  // The problem the current presolve started from (columns of the working copy).
  const WorkingProblem &base() const { return bases_.empty() ? w_ : *bases_.back(); }
  // The settings of the search of round `round` (0 first): restarts left to it.
  MipSettings settings(int round) const;
  // The symmetry of the latest restarted problem (null: none).
  OrbitalFixing *orbital() const { return orbital_.get(); }
  // Tightens base() by the global bounds lo/up the search over `from` ended its
  // root with, presolves the result into *next, and maps over to its columns
  // the pseudo-costs pc, the reduced-cost rules of the roots so far, and the
  // cuts of `pool` in the LP whose columns all survive (or were fixed).
  // `incumbent`: the best value known (minimisation form, 1e30: none). 0 or
  // the presolve's error.
  int restart(const PresolvedMip &from, const std::vector<double> &lo, const std::vector<double> &up,
              const PseudoCosts &pc, const RootCostFixing &rules, const CutPool *pool, double incumbent,
              PresolvedMip **next, RestartCarry *carry);
  // Reduced solutions of every presolve that failed their check.
  int lift_failures() const;

 private:
  base::Model *model_;
  const WorkingProblem &w_;
  const MipSettings &set_;
  double start_;
  PresolvedMip &first_;
  std::vector<std::unique_ptr<WorkingProblem>> bases_;
  std::vector<std::unique_ptr<PresolvedMip>> pres_;
  std::unique_ptr<OrbitalFixing> orbital_;
};

// The whole serial solve once more with the integer presolve off: the answer
// when a reduced solution did not survive the check on the original model.
int solve_without_presolve(base::Model *model, int *status);

}  // namespace tarvo::mip
