// Loading a starting basis. The statuses are checked against the bounds before
// anything is stored, so a refused basis leaves the previous one in place; a
// fresh simplex work object takes the basis directly for a warm start.
#include <memory>
#include <vector>

#include "model/model_state.hpp"
#include "common/boundary.hpp"
#include "common/error_codes.hpp"

namespace tarvo::base {
namespace {

constexpr double kInfinity = 1e30;

void forget_basis(Model *model) {
  SolutionRecord *s = model->solution.get();
  if (!s) return;
  free_solver_memory(model);
  s->colbasis.clear();
  s->rowbasis.clear();
  s->basis_status = TV_STATUS_UNLOADED;
  if (s->primal_status == TV_STATUS_BASIC_OPTIMAL) {
    s->primal_status = TV_STATUS_OPTIMAL;
    s->model_status = TV_STATUS_OPTIMAL;
  }
}

int check_column_status(const ModelData &d, int j, int status) {
  switch (status) {
    case -1:
      return d.lower[j] > -kInfinity ? 0 : 2042;
    case -2:
      return d.upper[j] < kInfinity ? 0 : 2042;
    case -3:
      return d.lower[j] <= -kInfinity && d.upper[j] >= kInfinity ? 0 : 2042;
    case -4:
      return 0;
    default:
      return status >= 0 ? 0 : 2015;
  }
}

int check_row_status(int status) { return status >= 0 || status == -1 || status == -3 || status == -4 ? 0 : 2015; }

// A fresh work object takes the basis in place when it has one basic entry per
// row; otherwise the work object is released and the next solve starts cold.
int offer_to_work(Model *model, const int *col, const int *row, int rows) {
  if (!model->work) return 0;
  if (!model->work->fresh()) {
    free_solver_memory(model);
    return 0;
  }
  long long basic = 0;
  for (int j = 0; j < model->data.n; ++j) basic += col[j] >= 0;
  for (int i = 0; i < rows; ++i) basic += row[i] >= 0;
  if (basic != rows) {
    free_solver_memory(model);
    if (model->solution) model->solution->basis_status = TV_STATUS_UNLOADED;
    return err::kBadBasis;
  }
  if (!model->work->install_basis(col, row)) free_solver_memory(model);
  return 0;
}

int load_basis(Model *model, const int *col, const int *row) {
  ModelData &d = model->data;
  if ((!col && d.n > 0) || (!row && d.m > 0)) {
    forget_basis(model);
    return 0;
  }
  const int rows = counted_rows(*model);
  if (!row && rows > 0) return err::kNullArgument;  // cut rows counted but no statuses for them
  if (int code = offer_to_work(model, col, row, rows)) return code;

  std::vector<int> colbasis, rowbasis;
  if (col) colbasis.assign(col, col + d.n);
  if (row) rowbasis.assign(row, row + rows);
  int code = 0;
  for (int j = 0; j < d.n && code == 0; ++j) code = check_column_status(d, j, colbasis[j]);
  for (int i = 0; i < rows && code == 0; ++i) code = check_row_status(rowbasis[i]);
  if (code != 0) {
    // The work object may already hold the refused basis: make the next solve start fresh.
    free_solver_memory(model);
    return code;
  }
  if (!model->solution) {
    model->solution = std::make_unique<SolutionRecord>();
    model->solution->model_status = model->status;
  }
  model->solution->colbasis = std::move(colbasis);
  model->solution->rowbasis = std::move(rowbasis);
  model->solution->basis_status = TV_STATUS_LOADED;
  // The external solver bridge takes the basis once bridges exist.
  return 0;
}

}  // namespace
}  // namespace tarvo::base

using namespace tarvo::base;

extern "C" {

TVAPI int TVloadBasis(pTVmodel model, const int *colStatus, const int *rowStatus) {
  if (!live(model)) return tarvo::err::kNullArgument;
  // A basis of a model without data has nothing to refer to.
  if (model->status == TV_STATUS_UNLOADED) return tarvo::err::kNotLoaded;
  return tarvo::guarded([&] { return load_basis(model, colStatus, rowStatus); });
}

}  // extern "C"
