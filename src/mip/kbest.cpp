// The k-best enumeration: each step adds a contra-cut that excludes the 0/1
// assignment of the current MIP solution and solves again, so that the next
// solution found is the best among the rest.
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "common/error_codes.hpp"
#include "model/query_rules.hpp"
#include "common/boundary.hpp"
#include "mip/binary_expansion.hpp"
#include "mip/mip_driver.hpp"
#include "mip/mip_solution_file.hpp"
#include "env/live_handles.hpp"

using namespace tarvo;

namespace {

bool binary_bounds(const base::ModelData &d, int j) {
  const bool integer = !d.vtype.empty() && (d.vtype[j] == 'I' || d.vtype[j] == 'B');
  return integer && d.lower[j] == 0.0 && d.upper[j] == 1.0;
}

bool has_general_integers(const base::ModelData &d) {
  for (int j = 0; j < d.n; ++j)
    if (!d.vtype.empty() && d.vtype[j] == 'I' && !(d.lower[j] >= 0 && d.upper[j] <= 1)) return true;
  return false;
}

const base::MipRecord *readable(base::Model *model) {
  if (!model->mip || !base::status_has_solution(base::mip_reported_status(*model->mip))) return nullptr;
  if (static_cast<int>(model->mip->x.size()) != model->data.n) return nullptr;
  return model->mip.get();
}

// One step: the contra-cut of the installed solution, then a new solve.
// *found is false when no cut can be formed or no further solution exists.
int next_best(base::Model *model, int *status, bool *found) {
  *found = false;
  const base::MipRecord *r = readable(model);
  if (!r) return err::kNotAvailable;
  const base::ModelData &d = model->data;
  if (has_general_integers(d)) {
    base::log_model(model, 1, "\nWarning: cannot move to the next MIP solution, model has general integers...");
    return err::kNotSupported;
  }
  std::vector<int> cols;
  std::vector<double> vals;
  int ones = 0;
  for (int j = 0; j < d.n; ++j) {
    if (!binary_bounds(d, j)) continue;
    const bool one = std::fabs(r->x[j] - 1.0) <= 0.1;
    cols.push_back(j);
    vals.push_back(one ? -1.0 : 1.0);
    ones += one;
  }
  if (cols.empty()) return 0;
  const double rhs = 1.0 - ones;
  base::log_model(model, 1, "\nAdded a new contra-cut to move to the next solution, nnz:%d, rhs:%g...",
                  static_cast<int>(cols.size()), rhs);
  const int starts[2] = {0, static_cast<int>(cols.size())};
  int code = TVaddConstraints(model, 1, "G", nullptr, starts, vals.data(), cols.data(), &rhs);
  if (code != 0) return code;
  base::log_model(model, 1, "\nSolving for next MIP solution...");
  int st = TV_STATUS_UNKNOWN;
  code = mip::solve_mip_serial(model, &st);
  if (status) *status = st;
  *found = (st == TV_STATUS_OPTIMAL || st == TV_STATUS_FEASIBLE) && readable(model);
  return code;
}

void save_solution(base::Model *model, const char *prefix, unsigned k) {
  char name[1024];
  std::snprintf(name, sizeof name, "%s_%u.sol", prefix, k);
  base::log_model(model, 1, "\nSaving next best MIP solution as '%s'...", name);
  mip::write_mip_solution(*model, name);
}

int kbest(base::Model *model, const char *prefix, TVmipCallback_t cb, void *data, int wanted) {
  if (wanted < 0) return err::kBadInput;
  if (!readable(model)) return err::kNotAvailable;
  // the enumeration adds rows to a copy, with general integers as binaries
  // (the contra-cuts exclude 0/1 assignments), so the host's model stays as loaded
  mip::BinaryExpansion e;
  int code = mip::expand_general_integers(model, has_general_integers(model->data), &e);
  if (code != 0 && e.model) TVdeleteModel(&e.model);
  if (code == err::kNotSupported && has_general_integers(model->data))
    base::log_model(model, 1, "\nWarning: cannot move to the next MIP solution, model has general integers...");
  if (!e.model) return code;
  base::Model *copy = e.model;
  if (!readable(copy)) {  // the expanded model lost the solution (truncated bounds)
    TVdeleteModel(&copy);
    return 0;
  }
  int delivered = 0;
  auto deliver = [&]() {
    std::vector<double> x = e.collapse(copy->mip->x);
    ++delivered;
    if (prefix) save_solution(copy, prefix, static_cast<unsigned>(delivered));
    return cb ? cb(model, data, copy->mip->obj, x.data()) : 0;
  };
  if (wanted > 0 && deliver() != 0) wanted = delivered;
  for (int pass = 1; delivered < wanted; ++pass) {
    base::log_model(copy, 1, "\nPass #%d, mip_obj_threshold: %g...", pass, copy->mip->obj);
    // no later solution beats this one: the heuristics stop when they reach it
    TVsetModelDouParameter(copy, TV_DPARAM_MIP_OBJ_THRESHOLD, copy->mip->obj);
    int st = 0;
    bool found = false;
    code = next_best(copy, &st, &found);
    if (!found) break;
    if (deliver() != 0) break;
  }
  TVdeleteModel(&copy);
  return code == err::kNotAvailable || code == err::kTimeLimit ? 0 : code;
}

}  // namespace

extern "C" {

TVAPI int TVgetKBestMIPSols(pTVmodel model, const char *prefix, TVmipCallback_t callback, void *userData,
                            int nLimit) {
  if (!tarvo::base::live(model)) return err::kNullArgument;
  return guarded([&] { return kbest(model, prefix, callback, userData, nLimit); });
}

TVAPI int TVgetNextBestMIPSol(pTVmodel model, int *status) {
  if (!tarvo::base::live(model)) return err::kNullArgument;
  return guarded([&] {
    bool found = false;
    return next_best(model, status, &found);
  });
}

}  // extern "C"
