// Installing a solution or a status computed outside the library (by an
// external solver or a previous run): the loaded values replace the solution
// record as a whole, and what the values imply (objective, row slacks, primal
// infeasibility) is derived here so that queries see a coherent record.
#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

#include "model/model_state.hpp"
#include "common/boundary.hpp"
#include "common/error_codes.hpp"

namespace tarvo::base {
namespace {

bool valid_solution_status(int status) { return status >= 1 && status <= 13 && status != 9; }

bool valid_loaded_status(int status) { return (status >= 1 && status <= 8) || (status >= 10 && status <= 12) || status == 14; }

bool valid_error_code(int code) { return code == 0 || (code >= 2001 && code <= 2750); }

bool has_nan(const double *v, int count) {
  if (!v) return false;
  for (int k = 0; k < count; ++k)
    if (std::isnan(v[k])) return true;
  return false;
}

double objective_at(const ModelData &d, const double *x) {
  double value = d.obj_constant;
  for (int j = 0; j < d.n; ++j) value += d.c[j] * x[j];
  return value;
}

// Row slacks b - Ax for every row (cut rows, not held by the model, get 0).
std::vector<double> slacks_at(const ModelData &d, const double *x, int rows) {
  std::vector<double> slack(rows, 0.0);
  std::copy(d.b.begin(), d.b.begin() + d.m, slack.begin());
  for (int j = 0; j < d.n; ++j)
    for (int p = d.start[j]; p < d.start[j] + d.length[j]; ++p) slack[d.rowidx[p]] -= d.value[p] * x[j];
  return slack;
}

// Largest violation of a bound or a row at x, judged from the row slacks.
double infeasibility_at(const ModelData &d, const double *x, const std::vector<double> &slack) {
  double worst = 0;
  for (int j = 0; j < d.n; ++j) worst = std::max({worst, d.lower[j] - x[j], x[j] - d.upper[j]});
  for (int i = 0; i < d.m; ++i) {
    switch (d.ctype[i]) {
      case 'E':
        worst = std::max(worst, std::fabs(slack[i]));
        break;
      case 'L':
        worst = std::max(worst, -slack[i]);
        break;
      case 'G':
        worst = std::max(worst, slack[i]);
        break;
      default:
        break;
    }
  }
  return worst;
}

int load_solution(Model *model, int status, const double *x, const double *duals, const double *slacks,
                  const double *redcosts) {
  if (!valid_solution_status(status)) return err::kBadInput;
  const ModelData &d = model->data;
  const int rows = counted_rows(*model);
  if (has_nan(x, d.n) || has_nan(duals, rows) || has_nan(slacks, rows) || has_nan(redcosts, d.n)) return err::kValueOutOfRange;
  auto rec = std::make_unique<SolutionRecord>();
  rec->model_status = status;
  rec->primal_status = status;
  rec->dual_status = duals ? status : TV_STATUS_UNLOADED;
  rec->basis_status = TV_STATUS_UNLOADED;
  if (x) {
    rec->x.assign(x, x + d.n);
    std::vector<double> implied = slacks_at(d, x, rows);
    rec->pobj = objective_at(d, x);
    rec->pinfeas = infeasibility_at(d, x, implied);
    rec->slack = slacks ? std::vector<double>(slacks, slacks + rows) : std::move(implied);
  } else if (slacks) {
    rec->slack.assign(slacks, slacks + rows);
  }
  if (duals) {
    rec->dual.assign(duals, duals + rows);
    // A loaded solution carries no dual bound of its own.
    rec->dobj = rec->pobj;
  }
  if (redcosts) rec->redcost.assign(redcosts, redcosts + d.n);
  model->solution = std::move(rec);
  return 0;
}

int load_model_status(Model *model, int status, int code) {
  if (!valid_error_code(code) || !valid_loaded_status(status)) return err::kBadInput;
  model->last_error = code;
  if (!model->solution) model->solution = std::make_unique<SolutionRecord>();
  model->solution->model_status = status;
  return 0;
}

}  // namespace
}  // namespace tarvo::base

using namespace tarvo::base;

extern "C" {

TVAPI int TVloadModelStatus(pTVmodel model, int *status, int *errorCode) {
  if (!live(model) || !status || !errorCode) return tarvo::err::kNullArgument;
  if (model->status == TV_STATUS_UNLOADED) return tarvo::err::kNotLoaded;
  return tarvo::guarded([&] { return load_model_status(model, *status, *errorCode); });
}

TVAPI int TVloadPrimalSolution(pTVmodel model, int status, const double *x) {
  if (!live(model)) return tarvo::err::kNullArgument;
  if (model->status == TV_STATUS_UNLOADED) return tarvo::err::kNotLoaded;
  return tarvo::guarded([&] { return load_solution(model, status, x, nullptr, nullptr, nullptr); });
}

TVAPI int TVloadSolution(pTVmodel model, int status, const double *x, const double *duals, const double *slacks,
                         const double *reducedCosts) {
  if (!live(model)) return tarvo::err::kNullArgument;
  if (model->status == TV_STATUS_UNLOADED) return tarvo::err::kNotLoaded;
  return tarvo::guarded([&] { return load_solution(model, status, x, duals, slacks, reducedCosts); });
}

}  // extern "C"
