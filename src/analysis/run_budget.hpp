// What one IIS or IUS analysis may spend and has spent: the iteration and
// time limits of the whole run, the progress callback at location 15 before
// each filter step, and the counters the final block reports.
#pragma once

#include "model/model.hpp"
#include "simplex/lp_solver.hpp"

namespace tarvo::analysis {

class RunBudget {
 public:
  // Limits from TV_IPARAM/TV_DPARAM_IIS_ITER_LIMIT and TV_IPARAM_IIS_TIME_LIMIT.
  explicit RunBudget(base::Model *model);

  // Called before every filter step: 0 to go on, 2023 when the host asked to
  // stop, 2017 when it asked for the time limit or the time is up.
  int before_step();
  // Limits for the next solve: what is left of the run's.
  simplex::LpLimits limits() const;
  // Books a finished solve; 0, or the code of the limit it hit (2016, 2017),
  // 2023 for an interrupt, 2019 for a numerical failure, 2001 for memory.
  int after_solve(const simplex::LpSolver &lp, simplex::LpStatus status);

  // Books a finished integer test: its simplex iterations and its stop code
  // (0, or a limit, interrupt or failure code of the integer solver).
  int after_mip(double iterations, int code);

  double iterations() const { return iterations_; }
  int solves() const { return solves_; }
  int mip_solves() const { return mip_solves_; }
  void count_mip_solve() { ++mip_solves_; }
  double seconds() const;
  // True once a limit (not a failure) ended the run.
  bool limit_hit() const { return limit_hit_; }

 private:
  base::Model *model_;
  double start_ = 0, iter_limit_ = -1, time_limit_ = -1;
  double iterations_ = 0;
  int solves_ = 0, mip_solves_ = 0;
  bool limit_hit_ = false;
};

}  // namespace tarvo::analysis
