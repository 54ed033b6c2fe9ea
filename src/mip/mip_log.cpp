// Text of the MIP log line and its header.
#include "mip/mip_log.hpp"

#include <algorithm>
#include <cmath>
#include <cstdarg>
#include <cstring>

#include "tarvo.h"

namespace tarvo::mip {

const char *source_tag(int code) {
  switch (code) {
    case 2: return "(*K)";
    case 3: return "(*SB)";
    case 4: return "(*SRH)";
    case 5: return "(*T)";
    case 6: return "(*C)";
    case 7: return "(*AH)";
    case 8: return "(*AB)";
    case 9: return "(*SE)";
    case 10: return "(*SBB)";
    case 11: return "(*AHI)";
    case 12: return "(*FP)";
    case 20: return "(CAT)";
    case kSrcHeuristic: return "(*H) ";
    default: return "";
  }
}

int source_code(const char *tag) {
  static constexpr int kCodes[] = {2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 20};
  if (tag)
    for (int code : kCodes)
      if (std::strcmp(tag, source_tag(code)) == 0) return code;
  return kSrcHeuristic;
}

double relative_gap(double bound, double incumbent) {
  if (incumbent >= 1e30) return 1e30;
  if (bound >= incumbent) return 0;
  return std::fabs(incumbent - bound) / std::max({1.0, std::fabs(incumbent), std::fabs(bound)});
}

void log_cut_table(base::Model *model, int print_level, int top_mask, int tree_mask) {
  if (print_level <= 4) return;
  static const struct {
    const char *name;
    int bit;
  } kClasses[] = {{"TV_MIP_GUB_COVER_CUTS", TV_MIP_GUB_COVER_CUTS},   {"TV_MIP_FLOW_COVER_CUTS", TV_MIP_FLOW_COVER_CUTS},
                  {"TV_MIP_LIFT_CUTS", TV_MIP_LIFT_CUTS},             {"TV_MIP_PLAN_LOC_CUTS", TV_MIP_PLAN_LOC_CUTS},
                  {"TV_MIP_DISAGG_CUTS", TV_MIP_DISAGG_CUTS},         {"TV_MIP_KNAPSUR_COVER_CUTS", TV_MIP_KNAPSUR_COVER_CUTS},
                  {"TV_MIP_LATTICE_CUTS", TV_MIP_LATTICE_CUTS},       {"TV_MIP_GOMORY_CUTS", TV_MIP_GOMORY_CUTS},
                  {"TV_MIP_COEF_REDC_CUTS", TV_MIP_COEF_REDC_CUTS},   {"TV_MIP_GCD_CUTS", TV_MIP_GCD_CUTS},
                  {"TV_MIP_OBJ_CUT", TV_MIP_OBJ_CUT},                 {"TV_MIP_BASIS_CUTS", TV_MIP_BASIS_CUTS},
                  {"TV_MIP_CARDGUB_CUTS", TV_MIP_CARDGUB_CUTS},       {"TV_MIP_DISJUN_CUTS", TV_MIP_DISJUN_CUTS},
                  {"TV_MIP_SOFT_KNAP_CUTS", TV_MIP_SOFT_KNAP_CUTS},   {"TV_MIP_LP_ROUND_CUTS", TV_MIP_LP_ROUND_CUTS}};
  base::log_model(model, 1, "\n%-26s %8s %8s %8s", "CUT TYPE", "ROOT", "TREE", "BITMASK");
  for (const auto &k : kClasses)
    base::log_model(model, 1, "\n%-26s %8s %8s %8d", k.name, (top_mask & k.bit) ? "Enabled" : "Disabled",
                    (tree_mask & k.bit) ? "Enabled" : "Disabled", k.bit);
  base::log_model(model, 1, "\n%-26s %8d %8d %8s", "CURRENT SETTING", top_mask, tree_mask, "");
}

void MipLog::text(int level, const char *format, ...) {
  if (level_ < level) return;
  va_list args;
  va_start(args, format);
  base::log_model_v(model_, 1, format, args);
  va_end(args);
}

void MipLog::header_if_due() {
  if (lines_ % 25 == 0)
    base::log_model(model_, 1,
                    "\n\n#BRANCHs  #NODEs    #LPs    BEST BOUND      BEST  IP     RGAP    TIME  OPTIME\n"
                    "(CUTPASS) (NUMCUT)            (SUMFP)                                   (CODE)\n");
  ++lines_;
}

void MipLog::tree_line(const LogCounters &c, int code) {
  if (!on()) return;
  header_if_due();
  const unsigned br = static_cast<unsigned>(c.branches), nd = static_cast<unsigned>(c.nodes),
                 lp = static_cast<unsigned>(c.lps);
  const double shown_bound = c.has_incumbent ? std::min(c.bound, c.incumbent) : c.bound;
  if (c.has_incumbent)
    base::log_model(model_, 1, "\n %8u %6u %8u  % e  % e %2.1e  %.2f  %.2f %s %s", br, nd, lp, user(shown_bound),
                    user(c.incumbent), relative_gap(shown_bound, c.incumbent), c.elapsed, c.lp_time,
                    source_tag(code), "");
  else
    base::log_model(model_, 1, "\n %8u %6u %8u  % e                           %.2f  %.2f %s", br, nd, lp,
                    user(shown_bound), c.elapsed, c.lp_time, source_tag(code));
}

void MipLog::incumbent_line(const LogCounters &c, int code) {
  if (!on()) return;
  header_if_due();
  const double shown_bound = std::min(c.bound, c.incumbent);
  base::log_model(model_, 1, "\n %8u %6u %8u  % e  % e %2.1e  %.2f  %s %s", static_cast<unsigned>(c.branches),
                  static_cast<unsigned>(c.nodes), static_cast<unsigned>(c.lps), user(shown_bound),
                  user(c.incumbent), relative_gap(shown_bound, c.incumbent), c.elapsed, source_tag(code), "");
}

}  // namespace tarvo::mip
