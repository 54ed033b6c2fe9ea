// runtarvo's integer path: the MIP limits and gap, TVsolveMIP, and the
// summary (status, objective, bound, gap, nodes), also as one JSON line.
#include "solve_mip.hpp"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>

namespace runtarvo {
namespace {

int info_int(pTVmodel model, int item) {
  int v = 0;
  return TVgetInfo(model, item, &v) == 0 ? v : 0;
}

void print_number(double v, bool present) {
  if (present && std::isfinite(v) && std::fabs(v) < 1e30)
    std::printf("%.17g", v);
  else
    std::printf("null");
}

}  // namespace

bool has_integers(pTVmodel model) {
  for (int item : {TV_IINFO_NUM_BIN, TV_IINFO_NUM_INT, TV_IINFO_NUM_VARS_SCONT, TV_IINFO_NUM_VARS_SOS1,
                   TV_IINFO_NUM_VARS_SOS2, TV_IINFO_NUM_VARS_SOS3, TV_IINFO_NUM_VARS_CARD})
    if (info_int(model, item) > 0) return true;
  return false;
}

int solve_mip_and_report(pTVenv env, pTVmodel model, const Options &opts) {
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
  const bool has_obj = TVgetInfo(model, TV_DINFO_MIP_OBJ, &obj) == 0;
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
  if (opts.json) {
    std::printf("{\"status\": %d, \"status_text\": \"%s\", \"objective\": ", status, text);
    print_number(obj, has_obj);
    std::printf(", \"bound\": ");
    print_number(bound, has_bound);
    std::printf(", \"gap\": ");
    print_number(gap, gap >= 0);
    std::printf(", \"nodes\": %d, \"lps\": %d, \"time\": %.6f, \"error\": %d}\n", branches, lps, seconds, code);
  }
  return 0;
}

}  // namespace runtarvo
