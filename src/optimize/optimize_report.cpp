// The solution report printed at the end of TVoptimize when a log function is
// installed and the LP print level asks for it.
#include <algorithm>
#include <cmath>

#include "model/model.hpp"
#include "params/param_store.hpp"

namespace tarvo::base {

void print_solution_report(Model *model, int method) {
  if (!model->hooks.logfunc || model->parent) return;
  if (model->params.integer(TV_IPARAM_LP_PRINTLEVEL) < 1) return;
  log_model(model, 1, "\n");
  const SolutionRecord *s = model->solution.get();
  if (!s) {
    log_model(model, 1, "\nError in retrieving solution stats.\n");
    return;
  }
  double gap = std::fabs(s->pobj - s->dobj);
  const double best = std::min(s->time_to_best, s->seconds);
  const double calls = static_cast<double>(s->factorizations);
  log_model(model, 1, "\nUsed Method        = %d ", s->used_method >= 0 ? s->used_method : method);
  log_model(model, 1, "\nUsed Time          = %u ", static_cast<unsigned>(s->elapsed_time));
  log_model(model, 1, "\nTime to Best       = %.2f (%.2f%%)", best, s->seconds > 0 ? 100.0 * best / s->seconds : 100.0);
  log_model(model, 1, "\nRefactors (ok,stb) = %u (%.2f,%.2f) ", static_cast<unsigned>(s->factorizations),
            calls > 0 ? 100.0 * s->factor_ok / calls : 100.0, calls > 0 ? 100.0 * s->factor_stable / calls : 100.0);
  log_model(model, 1, "\nSimplex   Iters    = %u ", static_cast<unsigned>(s->sim_iter));
  log_model(model, 1, "\nBarrier   Iters    = %u ", static_cast<unsigned>(s->bar_iter));
  log_model(model, 1, "\nNonlinear Iters    = %u ", static_cast<unsigned>(s->nlp_iter));
  log_model(model, 1, "\nPrimal Status      = %u ", static_cast<unsigned>(s->primal_status));
  log_model(model, 1, "\nDual   Status      = %u ", static_cast<unsigned>(s->dual_status));
  log_model(model, 1, "\nBasis  Status      = %u ", static_cast<unsigned>(s->basis_status));
  log_model(model, 1, "\nPrimal Objective   = %.22g ", s->pobj);
  log_model(model, 1, "\nDual   Objective   = %.22g ", s->dobj);
  log_model(model, 1, "\nDuality Gap        = %e ", gap);
  log_model(model, 1, "\nPrimal Infeas      = %e ", s->pinfeas);
  log_model(model, 1, "\nDual   Infeas      = %e ", s->dinfeas);
  switch (s->model_status) {
    case 1: log_model(model, 1, "\nSolution is optimal.\n"); break;
    case 2: log_model(model, 1, "\nBasic solution is optimal.\n"); break;
    case 3: log_model(model, 1, "\nModel is infeasible.\n"); break;
    case 4: log_model(model, 1, "\nModel is unbounded.\n"); break;
    case 5: log_model(model, 1, "\nSolution is feasible.\n"); break;
    case 6: log_model(model, 1, "\nModel is infeasible or unbounded.\n"); break;
    case 8: log_model(model, 1, "\nSolution is locally optimal.\n"); break;
    case 9: log_model(model, 1, "\nModel is locally infeasible.\n"); break;
    case 10: log_model(model, 1, "\nStopped at cutoff objective.\n"); break;
    default: log_model(model, 1, "\nModel status is unknown (%d).\n", s->model_status); break;
  }
}

}  // namespace tarvo::base
