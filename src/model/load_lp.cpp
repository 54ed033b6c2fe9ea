// Loading the linear core (objective, right-hand sides, row types, the
// column-wise matrix and bounds). The input is checked in a fixed order so that
// hosts and readers get the same code for the same fault; after any failure the
// model is cleared, never half-loaded.
#include <algorithm>
#include <cmath>
#include <new>
#include <vector>

#include "model/model_state.hpp"
#include "common/boundary.hpp"
#include "common/error_codes.hpp"

namespace tarvo::base {
namespace {

constexpr double kInfinity = 1e30;

struct LPInput {
  int m, n, sense;
  double constant;
  const double *c, *b;
  const char *types;
  int nz;
  const int *start, *length;
  const double *values;
  const int *rowidx;
  const double *lower, *upper;
};

bool valid_row_type(char t) { return t == 'E' || t == 'G' || t == 'L' || t == 'N'; }

// Arrays the counts require. Each missing one clears the model.
int missing_array(const LPInput &in) {
  if (!in.c && in.n > 0) return err::kNullArgument;
  if (!in.b && in.m > 0) return err::kNullArgument;
  if (!in.types && in.m > 0) return err::kNullArgument;
  if (!in.rowidx && in.nz > 0) return err::kNullArgument;
  if (!in.values && in.nz > 0) return err::kNullArgument;
  if (!in.start) return err::kNullArgument;
  return 0;
}

// Walks each column, moving the first entry of every row down to the next free
// slot of the column and adding later entries of the same row into it. Columns
// keep their starts, so a merged column leaves a gap before the next one.
int merge_columns(ModelData &d) {
  std::vector<int> first(static_cast<size_t>(d.m) + 1, 0);  // position+1 of the row's entry in this column
  long long merged = 0;
  for (int j = 0; j < d.n; ++j) {
    const int begin = d.start[j], end = begin + d.length[j];
    int next = begin;
    for (int p = begin; p < end; ++p) {
      const int i = d.rowidx[p];
      if (i < 0 || i >= d.m) return err::kIndexOutOfRange;
      // NaN or infinity would spread through every solver that touches the column.
      if (!std::isfinite(d.value[p])) return err::kValueOutOfRange;
      if (first[i] == 0) {
        d.rowidx[next] = i;
        d.value[next] = d.value[p];
        first[i] = next + 1;
        ++next;
      } else {
        d.value[first[i] - 1] += d.value[p];
      }
    }
    d.length[j] = next - begin;
    merged += d.length[j];
    for (int p = begin; p < next; ++p) first[d.rowidx[p]] = 0;
  }
  // The stored count is the merged one, so that the lengths always add up to nz.
  d.nz = static_cast<int>(merged);
  return 0;
}

int build_core(const LPInput &in, ModelData &d) {
  const int m = in.m, n = in.n, nn = std::max(n, 1);
  d.m = m;
  d.n = n;
  d.nz = in.nz;
  d.row_capacity = m;
  d.col_capacity = nn;
  const int storage = in.start[n];
  if (storage < in.nz) return err::kBadNonzeroCount;
  d.storage = storage;

  if (in.sense != TV_MIN && in.sense != TV_MAX) return err::kBadObjSense;
  // Costs have no infinite meaning (unlike bounds); an infinite one would turn
  // every objective value into NaN.
  if (!std::isfinite(in.constant)) return err::kValueOutOfRange;
  d.sense = in.sense;
  d.obj_constant = in.constant;

  d.c.assign(nn, 0.0);
  for (int j = 0; j < n; ++j) {
    if (!std::isfinite(in.c[j])) return err::kValueOutOfRange;
    d.c[j] = in.c[j];
  }
  d.b.assign(static_cast<size_t>(m) + 1, 0.0);
  for (int i = 0; i < m; ++i) {
    if (std::isnan(in.b[i])) return err::kValueOutOfRange;
    d.b[i] = in.b[i];
  }

  d.ctype.assign(static_cast<size_t>(m) + 1, '\0');
  for (int i = 0; i < m; ++i) {
    if (!valid_row_type(in.types[i])) return err::kBadConstraintType;
    d.ctype[i] = in.types[i];
  }

  // A negative first start would make the column walk read before the arrays.
  if (in.start[0] < 0) return err::kBadColumnStarts;
  d.start.assign(static_cast<size_t>(nn) + 1, storage);
  std::copy(in.start, in.start + n + 1, d.start.begin());
  d.rowidx.assign(static_cast<size_t>(storage) + 1, 0);
  d.value.assign(static_cast<size_t>(storage) + 1, 0.0);
  // With nz = 0 the caller may pass no matrix arrays at all.
  if (in.rowidx) std::copy(in.rowidx, in.rowidx + storage, d.rowidx.begin());
  if (in.values) std::copy(in.values, in.values + storage, d.value.begin());

  d.length.assign(nn, 0);
  long long total = 0;
  for (int j = 0; j < n; ++j) {
    const long long room = static_cast<long long>(d.start[j + 1]) - d.start[j];
    if (in.length) {
      if (in.length[j] < 0 || in.length[j] > room) return err::kBadColumnLength;
      d.length[j] = in.length[j];
    } else {
      if (room < 0) return err::kBadColumnStarts;
      d.length[j] = static_cast<int>(room);
    }
    total += d.length[j];
  }
  if (total != in.nz) return err::kBadNonzeroCount;

  if (int code = merge_columns(d)) return code;

  d.lower.assign(nn, 0.0);
  d.upper.assign(nn, kInfinity);
  for (int j = 0; j < n; ++j) {
    if (in.lower) {
      if (std::isnan(in.lower[j])) return err::kValueOutOfRange;
      d.lower[j] = std::max(in.lower[j], -kInfinity);
    }
    if (in.upper) {
      if (std::isnan(in.upper[j])) return err::kValueOutOfRange;
      d.upper[j] = std::min(in.upper[j], kInfinity);
    }
  }
  return 0;
}

// A new linear core replaces every per-row and per-column array. What does not
// depend on the dimensions (the five single names, the nonlinear program) stays.
void install_core(Model *model, ModelData &fresh) {
  ModelData &old = model->data;
  fresh.title = std::move(old.title);
  fresh.objname = std::move(old.objname);
  fresh.rhsname = std::move(old.rhsname);
  fresh.rangename = std::move(old.rangename);
  fresh.boundname = std::move(old.boundname);
  fresh.has_instructions = old.has_instructions;
  fresh.nnl_con = old.nnl_con;
  fresh.nnl_obj = old.nnl_obj;
  model->data = std::move(fresh);
  free_solver_memory(model);
  model->solution.reset();
  model->mip.reset();
  mark_names_stale(model);
  mark_statistics_stale(model);
  model->status = TV_STATUS_LOADED;
  if (!model->data.has_instructions) classify_model(model);
}

int load_lp(Model *model, const LPInput &in) {
  if (int code = missing_array(in)) {
    clear_model_data(model);
    return code;
  }
  int code;
  ModelData fresh;
  try {
    code = build_core(in, fresh);
  } catch (const std::bad_alloc &) {
    code = err::kNoMemory;
  }
  if (code != 0) {
    clear_model_data(model);
    return code;
  }
  install_core(model, fresh);
  return 0;
}

}  // namespace
}  // namespace tarvo::base

using namespace tarvo::base;

extern "C" {

TVAPI int TVloadLPData(pTVmodel model, int nCons, int nVars, int objSense, double objConst, const double *c,
                       const double *b, const char *conTypes, int nAnnz, const int *colStarts,
                       const int *colLengths, const double *values, const int *rowIndices, const double *lower,
                       const double *upper) {
  if (!live(model)) return tarvo::err::kNullArgument;
  // Negative counts cannot describe any arrays; refuse before touching the model.
  if (nCons < 0 || nVars < 0 || nAnnz < 0) return tarvo::err::kInconsistentData;
  if (model->data.m > 0 || model->data.n > 0) return tarvo::err::kAlreadyLoaded;
  LPInput in{nCons, nVars, objSense, objConst, c, b, conTypes, nAnnz, colStarts, colLengths, values, rowIndices,
             lower, upper};
  return tarvo::guarded([&] { return load_lp(model, in); });
}

}  // extern "C"
