// Reading the problem back: the linear core as a whole, one column, one row,
// and the variable types. The matrix is handed out compacted (no gaps between
// columns), so a host can size its arrays from nz and n alone.
#include <algorithm>

#include "model/query_rules.hpp"
#include "common/boundary.hpp"
#include "common/error_codes.hpp"

namespace tarvo::base {
namespace {

char variable_type(const ModelData &d, int j) { return d.vtype.empty() ? 'C' : d.vtype[j]; }

int get_lp_data(Model *model, int *objSense, double *objConst, double *c, double *b, char *conTypes,
                int *colStarts, int *colLengths, double *values, int *rowIndices, double *lower, double *upper) {
  if (!data_readable(*model)) return err::kNotAvailable;
  const ModelData &d = model->data;
  const int m = d.m, n = d.n;
  if (objSense) *objSense = d.sense;
  if (objConst) *objConst = d.obj_constant;
  if (c) std::copy_n(d.c.data(), n, c);
  if (b) std::copy_n(d.b.data(), m, b);
  if (conTypes) std::copy_n(d.ctype.data(), m, conTypes);
  if (lower) std::copy_n(d.lower.data(), n, lower);
  if (upper) std::copy_n(d.upper.data(), n, upper);
  int pos = 0;
  for (int j = 0; j < n; ++j) {
    if (colStarts) colStarts[j] = pos;
    if (colLengths) colLengths[j] = d.length[j];
    if (values) std::copy_n(d.value.data() + d.start[j], d.length[j], values + pos);
    if (rowIndices) std::copy_n(d.rowidx.data() + d.start[j], d.length[j], rowIndices + pos);
    pos += d.length[j];
  }
  if (colStarts) colStarts[n] = pos;
  return 0;
}

int get_column(Model *model, int j, char *varType, double *c, double *lower, double *upper, int *nnz,
               int *rowIndices, double *values) {
  if (!data_readable(*model)) return err::kNotAvailable;
  const ModelData &d = model->data;
  if (j < 0 || j >= d.n) return err::kIndexOutOfRange;
  if (varType) *varType = variable_type(d, j);
  if (c) *c = d.c[j];
  if (lower) *lower = d.lower[j];
  if (upper) *upper = d.upper[j];
  if (nnz) *nnz = d.length[j];
  if (rowIndices) std::copy_n(d.rowidx.data() + d.start[j], d.length[j], rowIndices);
  if (values) std::copy_n(d.value.data() + d.start[j], d.length[j], values);
  return 0;
}

// The matrix is stored by column, so a row is gathered by one scan over all
// columns; entries come out in increasing column order.
int get_row(Model *model, int i, char *conType, double *rhs, int *nnz, int *colIndices, double *values) {
  if (!data_readable(*model)) return err::kNotAvailable;
  const ModelData &d = model->data;
  if (i < 0 || i >= d.m) return err::kIndexOutOfRange;
  if (conType) *conType = d.ctype[i];
  if (rhs) *rhs = d.b[i];
  int count = 0;
  for (int j = 0; j < d.n; ++j) {
    const int *first = d.rowidx.data() + d.start[j];
    const int *last = first + d.length[j];
    const int *hit = std::find(first, last, i);
    if (hit == last) continue;
    if (colIndices) colIndices[count] = j;
    if (values) values[count] = d.value[hit - d.rowidx.data()];
    ++count;
  }
  if (nnz) *nnz = count;
  return 0;
}

// Rows carry nonlinear terms only through instruction lists, which this
// model store does not hold yet; the flag is therefore 0.
int get_constraint(Model *model, int i, char *conType, char *isNonlinear, double *rhs) {
  if (!data_readable(*model)) return err::kNotAvailable;
  const ModelData &d = model->data;
  if (i < 0 || i >= d.m) return err::kIndexOutOfRange;
  if (conType) *conType = d.ctype[i];
  if (isNonlinear) *isNonlinear = 0;
  if (rhs) *rhs = d.b[i];
  return 0;
}

int get_var_types(Model *model, char *varTypes) {
  const ModelData &d = model->data;
  if (!varTypes && d.n > 0) return err::kNullArgument;
  if (!data_readable(*model)) return err::kNotAvailable;
  for (int j = 0; j < d.n; ++j) varTypes[j] = variable_type(d, j);
  return 0;
}

}  // namespace
}  // namespace tarvo::base

using namespace tarvo::base;

extern "C" {

TVAPI int TVgetLPData(pTVmodel model, int *objSense, double *objConst, double *c, double *b, char *conTypes,
                      int *colStarts, int *colLengths, double *values, int *rowIndices, double *lower,
                      double *upper) {
  if (!live(model)) return tarvo::err::kNullArgument;
  return tarvo::guarded([&] {
    return get_lp_data(model, objSense, objConst, c, b, conTypes, colStarts, colLengths, values, rowIndices, lower,
                       upper);
  });
}

TVAPI int TVgetLPVariableDataj(pTVmodel model, int j, char *varType, double *c, double *lower, double *upper,
                               int *nnz, int *rowIndices, double *values) {
  if (!live(model)) return tarvo::err::kNullArgument;
  return tarvo::guarded([&] { return get_column(model, j, varType, c, lower, upper, nnz, rowIndices, values); });
}

TVAPI int TVgetLPConstraintDatai(pTVmodel model, int i, char *conType, double *rhs, int *nnz, int *colIndices,
                                 double *values) {
  if (!live(model)) return tarvo::err::kNullArgument;
  return tarvo::guarded([&] { return get_row(model, i, conType, rhs, nnz, colIndices, values); });
}

TVAPI int TVgetConstraintDatai(pTVmodel model, int i, char *conType, char *isNonlinear, double *rhs) {
  if (!live(model)) return tarvo::err::kNullArgument;
  return tarvo::guarded([&] { return get_constraint(model, i, conType, isNonlinear, rhs); });
}

TVAPI int TVgetVarType(pTVmodel model, char *varTypes) {
  if (!live(model)) return tarvo::err::kNullArgument;
  return tarvo::guarded([&] { return get_var_types(model, varTypes); });
}

}  // extern "C"
