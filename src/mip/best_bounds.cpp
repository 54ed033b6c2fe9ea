// Best bounds by propagation over the working copy, and TVgetBestBounds.
#include "mip/best_bounds.hpp"

#include <algorithm>

#include "common/error_codes.hpp"
#include "env/live_handles.hpp"
#include "common/boundary.hpp"
#include "mip/bound_propagation.hpp"
#include "mip/working_problem.hpp"

namespace tarvo::mip {

int best_bounds(const base::Model &model, std::vector<double> *lo, std::vector<double> *up) {
  const base::ModelData &d = model.data;
  const double int_tol = model.params.dbl(TV_DPARAM_MIP_INTTOL);
  WorkingProblem w;
  const int code = build_working_problem(d, model.params.dbl(TV_DPARAM_MIP_LBIGM), int_tol, &w);
  if (code != 0) return code;
  if (w.bounds_conflict) return err::kNotAvailable;
  // only linear rows limit their columns: quadratic rows drop out, and with
  // nonlinear instructions any row may be nonlinear
  for (int i = 0; i < d.m; ++i) {
    const bool quadratic = i < static_cast<int>(d.qc.is_quadratic_row.size()) && d.qc.is_quadratic_row[i];
    if (quadratic || d.has_instructions) {
      w.prob.row_lo[i] = -1e30;
      w.prob.row_up[i] = 1e30;
    }
  }
  BoundPropagator prop(w.prob, w.prob.col_lo, w.prob.col_up, int_tol);
  // a budget of passes over the matrix keeps huge models quick
  prop.set_work_limit(50.0 * (w.prob.col_start.empty() ? 0 : w.prob.col_start[w.prob.n]) + 1e5);
  if (!prop.propagate_all()) return err::kNotAvailable;
  lo->assign(prop.lower().begin(), prop.lower().begin() + d.n);
  up->assign(prop.upper().begin(), prop.upper().begin() + d.n);
  return 0;
}

}  // namespace tarvo::mip

using namespace tarvo;

extern "C" {

TVAPI int TVgetBestBounds(pTVmodel model, double *bestLower, double *bestUpper) {
  if (!tarvo::base::live(model)) return err::kNullArgument;
  if (!bestLower && !bestUpper) return err::kNullArgument;
  return guarded([&] {
    if (model->status == TV_STATUS_UNLOADED) return static_cast<int>(err::kNotLoaded);
    std::vector<double> lo, up;
    const int code = mip::best_bounds(*model, &lo, &up);
    if (code != 0) return code;
    if (bestLower) std::copy(lo.begin(), lo.end(), bestLower);
    if (bestUpper) std::copy(up.begin(), up.end(), bestUpper);
    return 0;
  });
}

}  // extern "C"
