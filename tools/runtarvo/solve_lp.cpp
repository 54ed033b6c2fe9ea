// runtarvo's solve step: applies --method, limits and print level, calls
// TVoptimize, prints a short summary and, with --json, one JSON object.
#include "solve_lp.hpp"

#include "solve_mip.hpp"

#include <chrono>
#include <cmath>
#include <cstdio>
#include <string>

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

int solve_and_report(pTVenv env, pTVmodel model, const Options &opts) {
  if (has_integers(model)) return solve_mip_and_report(env, model, opts);
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
  if (opts.json) {
    std::printf("{\"status\": %d, \"status_text\": \"%s\", \"objective\": ", status, status_text(status));
    if (has_obj)
      std::printf("%.17g", obj);
    else
      std::printf("null");
    std::printf(", \"iterations\": %d, \"time\": %.6f, \"error\": %d}\n", iters, seconds, code);
  }
  return 0;
}

}  // namespace runtarvo
