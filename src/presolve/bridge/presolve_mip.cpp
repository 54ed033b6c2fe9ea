// The integer presolve entry of the MIP driver: options from the integer
// parameters (root or tree level), the driver's log lines around the engine,
// and the outcome message.
#include <cstdio>

#include "presolve/bridge/presolve_model.hpp"

namespace tarvo::base {

int mip_presolve(Model *model, const presolve::LinearProblem &p, bool ontop, const MipState &state,
                 presolve::Result *result) {
  const int level = model->params.integer(ontop ? TV_IPARAM_MIP_PRELEVEL : TV_IPARAM_MIP_PRELEVEL_TREE);
  presolve::Options opt;
  opt.mip = true;
  opt.level = level;
  opt.fill_limit = model->params.integer(TV_IPARAM_MIP_PRE_ELIM_FILL);
  opt.time_limit = state.time_limit;
  opt.feastol = model->params.dbl(TV_DPARAM_SOLVER_FEASTOL);
  const bool talk = model->params.integer(TV_IPARAM_MIP_PRINTLEVEL) >= 1;
  const bool table = talk && model->params.integer(TV_IPARAM_MIP_PREPRINTLEVEL) >= 1;
  if (level <= 0) {
    // level 0: no presolve and no line about it
    *result = presolve::Result{};
    result->outcome = presolve::Outcome::kUnchanged;
    return 0;
  }
  if (talk) {
    log_model(model, 1, "\nStarting mip_pre: pnp.level:%d, pnp.{timlim:%g, max_fill:%d, ontop:%d}", level,
              opt.time_limit, opt.fill_limit, ontop ? 1 : 0);
    log_model(model, 1, "\nSolver state    : model:0x%p, mip.{obj:%e, status:%d, cutoff:%e, timlim:%g}",
              static_cast<void *>(model), state.objective, state.status, state.cutoff, state.time_limit);
  }
  if (table) opt.log = [model](const std::string &line) { log_model(model, 1, "%s", line.c_str()); };
  if (int code = presolve::run(p, opt, result)) return code;
  if (!talk) return 0;
  const presolve::Result &r = *result;
  switch (r.outcome) {
    case presolve::Outcome::kInfeasible: log_model(model, 1, "Problem found infeasible in MIP presolving.\n"); break;
    case presolve::Outcome::kUnbounded: log_model(model, 1, "Problem found unbounded in MIP presolving.\n"); break;
    case presolve::Outcome::kNumerical: log_model(model, 1, "Problem found to have numerical errors.\n"); break;
    case presolve::Outcome::kUnchanged: log_model(model, 1, "Model not changed.\n"); break;
    case presolve::Outcome::kSolved:
      log_model(model, 1, "Model solved to optimality in MIP presolve.\n");
      log_model(model, 1, "Optimal obj value found in MIP presolve=%f \n\n",
                (model->data.sense == TV_MAX ? -1 : 1) * r.reduced.offset);
      break;
    case presolve::Outcome::kReduced: {
      int nint = 0, nint_new = 0;
      for (char f : p.integer) nint += f != 0;
      for (char f : r.reduced.integer) nint_new += f != 0;
      log_model(model, 1, "\nOri. size (m, n, nz,  nip): %6d, %6d, %8d,  %6u", r.orig_m, r.orig_n, r.orig_nz,
                static_cast<unsigned>(nint));
      log_model(model, 1, "\nNew  size (m, n, nz,  nip): %6u, %6u, %8u,  %6d\n", static_cast<unsigned>(r.reduced.m),
                static_cast<unsigned>(r.reduced.n), static_cast<unsigned>(r.reduced.nonzeros()), nint_new);
      log_model(model, 1, "\nTime Consumed in probing: %.2f (sec.)\n", r.probing_seconds);
      break;
    }
  }
  return 0;
}

}  // namespace tarvo::base
