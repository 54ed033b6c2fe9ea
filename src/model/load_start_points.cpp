// Start points for the continuous and the integer solvers, full and partial,
// and the queries that return them. Values are checked before they replace
// anything: a NaN start would poison the first iterate of every solver.
#include <algorithm>
#include <cmath>
#include <vector>

#include "model/model_state.hpp"
#include "common/boundary.hpp"
#include "common/error_codes.hpp"

namespace tarvo::base {
namespace {

bool has_nan(const double *x, int count) {
  for (int k = 0; k < count; ++k)
    if (std::isnan(x[k])) return true;
  return false;
}

int load_full(Model *model, std::vector<double> &point, const double *x) {
  const ModelData &d = model->data;
  if (!x) {
    point.clear();
    return 0;
  }
  if (has_nan(x, d.n)) return err::kValueOutOfRange;
  std::vector<double> copy(std::max(d.n, d.col_capacity), 0.0);
  std::copy(x, x + d.n, copy.begin());
  point = std::move(copy);
  return 0;
}

// The previous partial list is gone whatever the outcome; a list with a bad
// index is not kept either.
int load_partial(Model *model, PartialPoint &point, int count, const int *cols, const double *x) {
  const ModelData &d = model->data;
  if (count > 0 && (!cols || !x)) return err::kNullArgument;
  point = PartialPoint{};
  if (count == 0) return 0;
  if (count < 0) return err::kIndexOutOfRange;
  for (int k = 0; k < count; ++k)
    if (cols[k] < 0 || cols[k] >= d.n) return err::kIndexOutOfRange;
  if (has_nan(x, count)) return err::kValueOutOfRange;
  point.index.assign(cols, cols + count);
  point.value.assign(x, x + count);
  point.present = true;
  return 0;
}

int get_full(const Model *model, const std::vector<double> &point, double *x) {
  if (!x) return err::kNullArgument;
  if (!model_available(*model) || point.empty()) return err::kNotAvailable;
  std::copy(point.begin(), point.begin() + model->data.n, x);
  return 0;
}

int get_partial(const Model *model, const PartialPoint &point, int *count, int *cols, double *x) {
  if (!count) return err::kNullArgument;
  if (!model_available(*model) || !point.present) return err::kNotAvailable;
  *count = static_cast<int>(point.index.size());
  if (cols) std::copy(point.index.begin(), point.index.end(), cols);
  if (x) std::copy(point.value.begin(), point.value.end(), x);
  return 0;
}

}  // namespace
}  // namespace tarvo::base

using namespace tarvo::base;

extern "C" {

// The presolved copy and the instruction list's initial values would take the
// point too; neither is kept by the model yet.
TVAPI int TVloadVarStartPoint(pTVmodel model, const double *x) {
  if (!live(model)) return tarvo::err::kNullArgument;
  return tarvo::guarded([&] { return load_full(model, model->data.start_point, x); });
}

TVAPI int TVloadMIPVarStartPoint(pTVmodel model, const double *x) {
  if (!live(model)) return tarvo::err::kNullArgument;
  return tarvo::guarded([&] { return load_full(model, model->data.mip_start_point, x); });
}

TVAPI int TVloadVarStartPointPartial(pTVmodel model, int nCols, const int *cols, const double *x) {
  if (!live(model)) return tarvo::err::kNullArgument;
  return tarvo::guarded([&] { return load_partial(model, model->data.partial_start, nCols, cols, x); });
}

TVAPI int TVloadMIPVarStartPointPartial(pTVmodel model, int nCols, const int *cols, const double *x) {
  if (!live(model)) return tarvo::err::kNullArgument;
  return tarvo::guarded([&] { return load_partial(model, model->data.mip_partial_start, nCols, cols, x); });
}

TVAPI int TVgetVarStartPoint(pTVmodel model, double *x) {
  if (!live(model)) return tarvo::err::kNullArgument;
  return get_full(model, model->data.start_point, x);
}

TVAPI int TVgetMIPVarStartPoint(pTVmodel model, double *x) {
  if (!live(model)) return tarvo::err::kNullArgument;
  return get_full(model, model->data.mip_start_point, x);
}

TVAPI int TVgetVarStartPointPartial(pTVmodel model, int *nCols, int *cols, double *x) {
  if (!live(model)) return tarvo::err::kNullArgument;
  return get_partial(model, model->data.partial_start, nCols, cols, x);
}

TVAPI int TVgetMIPVarStartPointPartial(pTVmodel model, int *nCols, int *cols, double *x) {
  if (!live(model)) return tarvo::err::kNullArgument;
  return get_partial(model, model->data.mip_partial_start, nCols, cols, x);
}

}  // extern "C"
