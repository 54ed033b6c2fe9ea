// Solution access: the values, statuses and basis of the last continuous
// solve and of the best integer solution, copied into the caller's arrays.
// Every query follows one availability rule and never writes partial results.
#include <algorithm>
#include <vector>

#include "model/query_rules.hpp"
#include "common/boundary.hpp"
#include "common/error_codes.hpp"

namespace tarvo::base {
namespace {

// Copies `count` entries; an array the record does not hold (or holds too
// short) is not available. Nothing is written on failure.
template <class T>
int copy_out(const std::vector<T> &from, int count, T *to) {
  if (count <= 0) return 0;
  if (static_cast<int>(from.size()) < count) return err::kNotAvailable;
  std::copy_n(from.data(), count, to);
  return 0;
}

// Which array of a record a value query reads.
enum class Values { kPrimal, kDual, kSlack, kReducedCost };

int value_count(const Model &model, Values which) {
  switch (which) {
    case Values::kDual: return counted_rows(model);
    case Values::kSlack: return model.data.m;
    default: return model.data.n;
  }
}

const std::vector<double> &values_of(const SolutionRecord &s, Values which, bool second_set) {
  switch (which) {
    case Values::kPrimal: return second_set ? s.ipm_x : s.x;
    case Values::kDual: return second_set ? s.ipm_dual : s.dual;
    case Values::kSlack: return second_set ? s.ipm_slack : s.slack;
    default: return second_set ? s.ipm_redcost : s.redcost;
  }
}

const std::vector<double> &values_of(const MipRecord &r, Values which) {
  switch (which) {
    case Values::kPrimal: return r.x;
    case Values::kDual: return r.dual;
    case Values::kSlack: return r.slack;
    default: return r.redcost;
  }
}

// The record a value query may read: loaded, outside a rebuilding callback,
// a solution whose model status is not "infeasible or unbounded" and whose
// primal status is available.
const SolutionRecord *readable_values(const Model &model) {
  if (!model_available(model) || !model.solution) return nullptr;
  const SolutionRecord &s = *model.solution;
  if (s.model_status == TV_STATUS_INFORUNB || s.primal_status == TV_STATUS_UNLOADED) return nullptr;
  return &s;
}

int get_values(Model *model, Values which, double *out) {
  int count = value_count(*model, which);
  if (!out && count > 0) return err::kNullArgument;
  const SolutionRecord *s = readable_values(*model);
  if (!s) return err::kNotAvailable;
  return copy_out(values_of(*s, which, false), count, out);
}

int get_cone_reduced_costs(Model *model, double *out) {
  int n = model->data.n;
  if (!out && n > 0) return err::kNullArgument;
  const SolutionRecord *s = readable_values(*model);
  if (!s) return err::kNotAvailable;
  if (model->data.ncones == 0) {
    std::fill_n(out, n, 0.0);
    return 0;
  }
  return copy_out(s->redcost_cone, n, out);
}

// Both wanted arrays are checked before either is written.
int copy_basis(const std::vector<int> &cols, const std::vector<int> &rows, int n, int nrows, int *colStatus,
               int *rowStatus) {
  if ((colStatus && static_cast<int>(cols.size()) < n) || (rowStatus && static_cast<int>(rows.size()) < nrows))
    return err::kNotAvailable;
  if (colStatus) std::copy_n(cols.data(), n, colStatus);
  if (rowStatus) std::copy_n(rows.data(), nrows, rowStatus);
  return 0;
}

int get_basis(Model *model, int *colStatus, int *rowStatus) {
  if (!model_available(*model) || !model->solution) return err::kNotAvailable;
  const SolutionRecord &s = *model->solution;
  if (s.basis_status == TV_STATUS_UNLOADED) return err::kNotAvailable;
  return copy_basis(s.colbasis, s.rowbasis, model->data.n, counted_rows(*model), colStatus, rowStatus);
}

// Kinds 11 to 14 read the basic solution, 15 to 18 the interior-point set
// (or the basic set for quadratic models and under the alternative switch).
int get_solution_kind(Model *model, int which, double *out) {
  if (which < 11 || which > 18) return err::kIndexOutOfRange;
  static constexpr Values kOrder[4] = {Values::kPrimal, Values::kDual, Values::kSlack, Values::kReducedCost};
  Values kind = kOrder[(which - 11) % 4];
  int count = value_count(*model, kind);
  if (!out && count > 0) return err::kNullArgument;
  if (!model_available(*model) || !model->solution) return err::kNotAvailable;
  const SolutionRecord &s = *model->solution;
  bool second_set = false;
  if (which <= 14) {
    if (s.basis_status == TV_STATUS_UNLOADED || model->alt_solution_switch) return err::kNotAvailable;
  } else if (model->data.qc.empty() && !model->alt_solution_switch) {
    if (s.dual_status == TV_STATUS_UNLOADED) return err::kNotAvailable;
    second_set = true;
  }
  return copy_out(values_of(s, kind, second_set), count, out);
}

int get_objective(Model *model, double *objective) {
  if (!objective) return err::kNullArgument;
  if (!model_available(*model) || !model->solution) return err::kNotAvailable;
  if (model->solution->model_status == TV_STATUS_INFORUNB) return err::kNotAvailable;
  *objective = model->solution->pobj;
  return 0;
}

int get_solution_status(Model *model, int *status) {
  if (!status) return err::kNullArgument;
  if (!model_available(*model) || !model->solution) return err::kNotAvailable;
  *status = model->solution->primal_status;
  return 0;
}

// The best integer solution is readable when its reported status carries one.
const MipRecord *readable_mip(const Model &model) {
  if (!model_available(model) || !model.mip) return nullptr;
  if (!status_has_solution(mip_reported_status(*model.mip))) return nullptr;
  return model.mip.get();
}

int get_mip_solution(Model *model, double *objective, double *x) {
  const MipRecord *r = readable_mip(*model);
  if (!r) return err::kNotAvailable;
  if (x) {
    int code = copy_out(r->x, model->data.n, x);
    if (code) return code;
  }
  if (objective) *objective = r->obj;
  return 0;
}

int get_mip_status(Model *model, int *status) {
  if (!status) return err::kNullArgument;
  if (!model_available(*model) || !model->mip) return err::kNotAvailable;
  *status = mip_reported_status(*model->mip);
  return 0;
}

int get_mip_values(Model *model, Values which, double *out) {
  int count = value_count(*model, which);
  if (!out && count > 0) return err::kNullArgument;
  const MipRecord *r = readable_mip(*model);
  if (!r) return err::kNotAvailable;
  return copy_out(values_of(*r, which), count, out);
}

int get_mip_basis(Model *model, int *colStatus, int *rowStatus) {
  const MipRecord *r = readable_mip(*model);
  if (!r) return err::kNotAvailable;
  return copy_basis(r->colbasis, r->rowbasis, model->data.n, counted_rows(*model), colStatus, rowStatus);
}

}  // namespace
}  // namespace tarvo::base

using namespace tarvo::base;

extern "C" {

TVAPI int TVgetPrimalSolution(pTVmodel model, double *x) {
  if (!live(model)) return tarvo::err::kNullArgument;
  return tarvo::guarded([&] { return get_values(model, Values::kPrimal, x); });
}

TVAPI int TVgetDualSolution(pTVmodel model, double *duals) {
  if (!live(model)) return tarvo::err::kNullArgument;
  return tarvo::guarded([&] { return get_values(model, Values::kDual, duals); });
}

TVAPI int TVgetSlacks(pTVmodel model, double *slacks) {
  if (!live(model)) return tarvo::err::kNullArgument;
  return tarvo::guarded([&] { return get_values(model, Values::kSlack, slacks); });
}

TVAPI int TVgetReducedCosts(pTVmodel model, double *reducedCosts) {
  if (!live(model)) return tarvo::err::kNullArgument;
  return tarvo::guarded([&] { return get_values(model, Values::kReducedCost, reducedCosts); });
}

TVAPI int TVgetReducedCostsCone(pTVmodel model, double *reducedCosts) {
  if (!live(model)) return tarvo::err::kNullArgument;
  return tarvo::guarded([&] { return get_cone_reduced_costs(model, reducedCosts); });
}

TVAPI int TVgetBasis(pTVmodel model, int *colStatus, int *rowStatus) {
  if (!live(model)) return tarvo::err::kNullArgument;
  return tarvo::guarded([&] { return get_basis(model, colStatus, rowStatus); });
}

TVAPI int TVgetSolution(pTVmodel model, int which, double *values) {
  if (!live(model)) return tarvo::err::kNullArgument;
  return tarvo::guarded([&] { return get_solution_kind(model, which, values); });
}

TVAPI int TVgetObjective(pTVmodel model, double *objective) {
  if (!live(model)) return tarvo::err::kNullArgument;
  return tarvo::guarded([&] { return get_objective(model, objective); });
}

TVAPI int TVgetSolutionStatus(pTVmodel model, int *status) {
  if (!live(model)) return tarvo::err::kNullArgument;
  return tarvo::guarded([&] { return get_solution_status(model, status); });
}

TVAPI int TVgetMIPSolution(pTVmodel model, double *objective, double *x) {
  if (!live(model)) return tarvo::err::kNullArgument;
  return tarvo::guarded([&] { return get_mip_solution(model, objective, x); });
}

TVAPI int TVgetMIPSolutionStatus(pTVmodel model, int *status) {
  if (!live(model)) return tarvo::err::kNullArgument;
  return tarvo::guarded([&] { return get_mip_status(model, status); });
}

TVAPI int TVgetMIPPrimalSolution(pTVmodel model, double *x) {
  if (!live(model)) return tarvo::err::kNullArgument;
  return tarvo::guarded([&] { return get_mip_values(model, Values::kPrimal, x); });
}

TVAPI int TVgetMIPDualSolution(pTVmodel model, double *duals) {
  if (!live(model)) return tarvo::err::kNullArgument;
  return tarvo::guarded([&] { return get_mip_values(model, Values::kDual, duals); });
}

TVAPI int TVgetMIPReducedCosts(pTVmodel model, double *reducedCosts) {
  if (!live(model)) return tarvo::err::kNullArgument;
  return tarvo::guarded([&] { return get_mip_values(model, Values::kReducedCost, reducedCosts); });
}

TVAPI int TVgetMIPSlacks(pTVmodel model, double *slacks) {
  if (!live(model)) return tarvo::err::kNullArgument;
  return tarvo::guarded([&] { return get_mip_values(model, Values::kSlack, slacks); });
}

TVAPI int TVgetMIPBasis(pTVmodel model, int *colStatus, int *rowStatus) {
  if (!live(model)) return tarvo::err::kNullArgument;
  return tarvo::guarded([&] { return get_mip_basis(model, colStatus, rowStatus); });
}

}  // extern "C"
