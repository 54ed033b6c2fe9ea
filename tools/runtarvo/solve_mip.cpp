// runtarvo's integer path: the MIP limits and gap, TVsolveMIP, and the
// summary (status, objective, bound, gap, nodes), also as one JSON line.
#include "solve_mip.hpp"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <string>

namespace runtarvo {
namespace {

int info_int(pTVmodel model, int item) {
  int v = 0;
  return TVgetInfo(model, item, &v) == 0 ? v : 0;
}

}  // namespace

bool has_integers(pTVmodel model) {
  for (int item : {TV_IINFO_NUM_BIN, TV_IINFO_NUM_INT, TV_IINFO_NUM_VARS_SCONT, TV_IINFO_NUM_VARS_SOS1,
                   TV_IINFO_NUM_VARS_SOS2, TV_IINFO_NUM_VARS_SOS3, TV_IINFO_NUM_VARS_CARD})
    if (info_int(model, item) > 0) return true;
  return false;
}

int solve_mip_and_report(pTVenv env, pTVmodel model, const Options &opts, Outcome *out) {
  if (opts.time_limit >= 0) TVsetModelDouParameter(model, TV_DPARAM_MIP_TIMLIM, opts.time_limit);
  if (opts.iter_limit >= 0) TVsetModelDouParameter(model, TV_DPARAM_MIP_ITRLIM, opts.iter_limit);
  if (opts.mip_gap >= 0) TVsetModelDouParameter(model, TV_DPARAM_MIP_RELOPTTOL, std::max(opts.mip_gap, 1e-10));
  if (opts.node_limit >= 0) TVsetModelIntParameter(model, TV_IPARAM_MIP_BRANCH_LIMIT, static_cast<int>(opts.node_limit));
  if (opts.threads >= 0) TVsetModelIntParameter(model, TV_IPARAM_MIP_NUM_THREADS, opts.threads);
  if (opts.print_level >= 0) TVsetModelIntParameter(model, TV_IPARAM_MIP_PRINTLEVEL, opts.print_level);
  int status = TV_STATUS_UNKNOWN;
  const auto t0 = std::chrono::steady_clock::now();
  const int code = TVsolveMIP(model, &status);
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
  double obj = 0, bound = 0;
  const bool has_obj = TVgetInfo(model, TV_DINFO_MIP_OBJ, &obj) == 0 && std::isfinite(obj) && std::fabs(obj) < 1e30;
  const bool has_bound = TVgetInfo(model, TV_DINFO_MIP_BESTBOUND, &bound) == 0 && std::fabs(bound) < 1e30;
  const int branches = info_int(model, TV_IINFO_MIP_BRANCHCOUNT);
  const int lps = info_int(model, TV_IINFO_MIP_LPCOUNT);
  double gap = -1;
  if (has_obj && has_bound) gap = std::fabs(obj - bound) / std::max({1.0, std::fabs(obj), std::fabs(bound)});
  char message[256] = {0};
  if (code != 0) TVgetErrorMessage(env, code, message);
  const char *text = status == TV_STATUS_OPTIMAL      ? "optimal"
                     : status == TV_STATUS_FEASIBLE   ? "feasible"
                     : status == TV_STATUS_INFEASIBLE ? "infeasible"
                     : status == TV_STATUS_UNBOUNDED  ? "unbounded"
                                                      : "unknown";
  std::printf("\n\nStatus     : %d (%s)\n", status, text);
  if (has_obj) std::printf("Objective  : %.12g\n", obj);
  if (has_bound) std::printf("Bound      : %.12g\n", bound);
  if (gap >= 0) std::printf("Gap        : %.3e\n", gap);
  std::printf("Nodes      : %d (LPs %d)\nTime       : %.3f s\n", branches, lps, seconds);
  if (code != 0) std::printf("Error      : %d (%s)\n", code, message);
  out->solved = true;
  out->mip = true;
  out->status = status;
  out->status_text = text;
  out->has_objective = has_obj;
  out->objective = obj;
  out->has_bound = has_bound;
  out->bound = bound;
  out->has_gap = gap >= 0;
  out->gap = gap;
  out->nodes = branches;
  out->lps = lps;
  out->seconds = seconds;
  // A limit that leaves an incumbent still answers the question (with its gap).
  const bool answered = status == TV_STATUS_OPTIMAL || status == TV_STATUS_INFEASIBLE ||
                        status == TV_STATUS_UNBOUNDED || (status == TV_STATUS_FEASIBLE && has_obj);
  const bool soft_stop = code == 2016 || code == 2017 || code == 2023 || code == 2037;
  if (code != 0 && !(soft_stop && answered)) {
    out->fail(soft_stop ? kExitStopped : kExitSolverError, code, message);
  } else if (!answered) {
    out->fail(kExitStopped, code, std::string("the search ended with status ") + text);
  } else if (code != 0) {
    out->error = code;  // the limit is reported, the incumbent answers
    out->message = message;
  }
  return out->exit_code;
}

}  // namespace runtarvo
