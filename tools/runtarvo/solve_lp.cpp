// runtarvo's solve step: applies --method, limits and print level, calls
// TVoptimize, prints a short summary and records the outcome.
#include "solve_lp.hpp"

#include <chrono>
#include <cmath>
#include <cstdio>
#include <string>

#include "solve_mip.hpp"

namespace runtarvo {
namespace {

// Display texts of the model statuses, as the library prints them.
const char *status_text(int status) {
  static const char *const kTexts[] = {"N/A",
                                       "OPTIMAL",
                                       "BASIC OPTIMAL",
                                       "INFEASIBLE",
                                       "UNBOUNDED",
                                       "FEASIBLE",
                                       "INFEASIBLE OR UNBOUNDED",
                                       "NEAR OPTIMAL",
                                       "LOCAL OPTIMAL",
                                       "LOCAL INFEASIBLE",
                                       "CUTOFF",
                                       "NUMERICAL ERROR",
                                       "UNKNOWN",
                                       "UNLOADED",
                                       "LOADED",
                                       "BOUNDED"};
  return status >= 0 && status <= 15 ? kTexts[status] : "UNKNOWN";
}

}  // namespace

int solve_and_report(pTVenv env, pTVmodel model, const Options &opts, Outcome *out) {
  if (has_integers(model)) return solve_mip_and_report(env, model, opts, out);
  if (opts.time_limit >= 0) TVsetModelDouParameter(model, TV_DPARAM_SOLVER_TIMLMT, opts.time_limit);
  if (opts.iter_limit >= 0) TVsetModelDouParameter(model, TV_DPARAM_LP_ITRLMT, opts.iter_limit);
  if (opts.threads >= 0) TVsetModelIntParameter(model, TV_IPARAM_NUM_THREADS, opts.threads);
  if (opts.print_level >= 0) TVsetModelIntParameter(model, TV_IPARAM_LP_PRINTLEVEL, opts.print_level);
  int status = TV_STATUS_UNKNOWN;
  auto t0 = std::chrono::steady_clock::now();
  int code = TVoptimize(model, opts.method, &status);
  double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
  double obj = 0;
  bool has_obj = TVgetInfo(model, TV_DINFO_POBJ, &obj) == 0 && std::isfinite(obj) &&
                 (status == TV_STATUS_BASIC_OPTIMAL || status == TV_STATUS_OPTIMAL || status == TV_STATUS_FEASIBLE ||
                  status == TV_STATUS_CUTOFF || code == 2016 || code == 2017);
  int iters = 0;
  TVgetInfo(model, TV_IINFO_SIM_ITER, &iters);
  char message[256] = {0};
  if (code != 0) TVgetErrorMessage(env, code, message);
  std::printf("\nStatus     : %d (%s)\n", status, status_text(status));
  if (has_obj) std::printf("Objective  : %.12g\n", obj);
  std::printf("Iterations : %d\nTime       : %.3f s\n", iters, seconds);
  if (code != 0) std::printf("Error      : %d (%s)\n", code, message);
  out->solved = true;
  out->status = status;
  out->status_text = status_text(status);
  out->has_objective = has_obj;
  out->objective = obj;
  out->iterations = iters;
  out->seconds = seconds;
  // A final model status is the answer; limits leave the question open.
  const bool final_status = status == TV_STATUS_OPTIMAL || status == TV_STATUS_BASIC_OPTIMAL ||
                            status == TV_STATUS_INFEASIBLE || status == TV_STATUS_UNBOUNDED ||
                            status == TV_STATUS_INFORUNB;
  if (code == 2016 || code == 2017 || code == 2023) out->fail(kExitStopped, code, message);
  else if (code != 0) out->fail(kExitSolverError, code, message);
  else if (!final_status) out->fail(kExitStopped, 0, std::string("the solve ended with status ") + status_text(status));
  return out->exit_code;
}

}  // namespace runtarvo
