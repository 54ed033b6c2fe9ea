// The filters that shrink an infeasible candidate set to an irreducible one.
// Each works on members already switched on in the working model; members
// outside the candidate list stay as they are.
#pragma once

#include <functional>
#include <vector>

#include "analysis/elastic_lp.hpp"

namespace tarvo::analysis {

enum class FilterEvent { kDeleted, kKept, kAdded, kSkipped, kSensitivityDropped };

struct FilterEnv {
  ElasticLp &lp;
  bool sensitivity = false;  // drop zero-sensitivity members after infeasible solves
  std::function<void(FilterEvent, int)> trace = [](FilterEvent, int) {};
};

// Methods as TV_IPARAM_IIS_METHOD (1..6). Precondition: every member of `cand`
// is switched on and the switched-on part is infeasible. On return the members
// proven necessary are appended to `necessary` and stay on; `cand` keeps the
// members left undecided by a stop (empty after a full run), which stay on
// too, so the switched-on part is infeasible in every case. Returns 0 or the
// stop code.
int run_filter(int method, FilterEnv &env, std::vector<int> &cand, std::vector<int> &necessary);

// The elastic filter without its final deletion pass: enforces violated
// members until the enforced ones alone are infeasible and switches the
// others off. Used as a supplementary filter ahead of another method.
int elastic_prefilter(FilterEnv &env, std::vector<int> &cand);

// The sensitivity filter: after an infeasible elastic solve, switches off the
// members of `cand` with zero sensitivity and confirms the rest is still
// infeasible (re-enabling them when it is not). Removes dropped ones from
// `cand`; returns 0 or a stop code.
int sensitivity_filter(FilterEnv &env, std::vector<int> &cand);

}  // namespace tarvo::analysis
