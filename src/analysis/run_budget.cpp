// Limits, counters and the progress callback shared by the IIS and IUS runs.
#include "analysis/run_budget.hpp"

#include <algorithm>

#include "env/callback_dispatch.hpp"
#include "common/error_codes.hpp"
#include "common/clock.hpp"

namespace tarvo::analysis {

RunBudget::RunBudget(base::Model *model) : model_(model), start_(common::wall_seconds()) {
  const int ilim = model->params.integer(TV_IPARAM_IIS_ITER_LIMIT);
  const double dlim = model->params.dbl(TV_DPARAM_IIS_ITER_LIMIT);
  if (ilim >= 0) iter_limit_ = ilim;
  if (dlim >= 0) iter_limit_ = iter_limit_ >= 0 ? std::min(iter_limit_, dlim) : dlim;
  const int tlim = model->params.integer(TV_IPARAM_IIS_TIME_LIMIT);
  if (tlim >= 0) time_limit_ = tlim;
}

double RunBudget::seconds() const { return common::wall_seconds() - start_; }

int RunBudget::before_step() {
  base::ProgressRecord &p = base::progress(model_);
  p.iter = iterations_;
  p.lp_count = solves_;
  p.mip_count = mip_solves_;
  const base::ProgressResult r = base::dispatch_progress(model_, TVLOC_IIS, -1.0, true);
  if (r.stop()) {
    limit_hit_ = true;
    return r.answer > 0 ? err::kTimeLimit : err::kUserInterrupt;
  }
  if (time_limit_ >= 0 && seconds() >= time_limit_) {
    limit_hit_ = true;
    return err::kTimeLimit;
  }
  if (iter_limit_ >= 0 && iterations_ >= iter_limit_) {
    limit_hit_ = true;
    return err::kIterationLimit;
  }
  return err::kOk;
}

simplex::LpLimits RunBudget::limits() const {
  simplex::LpLimits l;
  if (iter_limit_ >= 0) l.iter_limit = std::max(0.0, iter_limit_ - iterations_);
  if (time_limit_ >= 0) l.time_limit = std::max(0.0, time_limit_ - seconds());
  return l;
}

int RunBudget::after_solve(const simplex::LpSolver &lp, simplex::LpStatus status) {
  using simplex::LpStatus;
  iterations_ += lp.iterations();
  ++solves_;
  switch (status) {
    case LpStatus::kIterLimit: limit_hit_ = true; return err::kIterationLimit;
    case LpStatus::kTimeLimit: limit_hit_ = true; return err::kTimeLimit;
    case LpStatus::kInterrupted: limit_hit_ = true; return err::kUserInterrupt;
    case LpStatus::kOutOfMemory: return err::kNoMemory;
    case LpStatus::kNumerical: return err::kNumerical;
    default: return err::kOk;
  }
}

int RunBudget::after_mip(double iterations, int code) {
  iterations_ += iterations;
  if (code == err::kIterationLimit || code == err::kTimeLimit || code == err::kUserInterrupt ||
      code == err::kBranchLimit)
    limit_hit_ = true;
  return code;
}

}  // namespace tarvo::analysis
