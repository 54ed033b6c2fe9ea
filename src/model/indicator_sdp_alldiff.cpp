// The less common constraint kinds: indicator constraints (a binary variable
// switching a row), positive-semidefinite blocks (variables placed in the
// packed lower triangle of a symmetric matrix) and all-different groups.
#include <algorithm>
#include <climits>
#include <vector>

#include "model/member_lists.hpp"
#include "model/model_state.hpp"
#include "common/boundary.hpp"
#include "common/error_codes.hpp"

namespace tarvo::base {
namespace {

// ---- indicator constraints ----

bool binary_column(const ModelData &d, int j) {
  char t = d.vtype[j];
  return t == 'B' || (t == 'I' && d.lower[j] == 0.0 && d.upper[j] == 1.0);
}

int load_indicators(Model *model, int count, const int *rows, const int *vars, const int *values) {
  if (count == 0) return 0;
  if (count < 0) return err::kBadInput;
  ModelData &d = model->data;
  if (!d.indicators.row.empty()) return err::kAlreadyLoaded;
  if (d.vtype.empty()) return err::kNotSupported;
  if (!rows || !vars || !values) return err::kNullArgument;
  std::vector<char> switched(d.m, 0);
  for (int t = 0; t < count; ++t) {
    int i = rows[t], j = vars[t];
    if (i < 0 || i >= d.m) return err::kIndexOutOfRange;
    if (switched[i]) return err::kDuplicateIndex;
    switched[i] = 1;
    if (j < 0 || j >= d.n) return err::kIndexOutOfRange;
    if (!binary_column(d, j)) return err::kBadVariableType;
  }
  IndicatorData ind;
  ind.row.assign(rows, rows + count);
  ind.var.assign(vars, vars + count);
  ind.value.assign(values, values + count);
  ind.rhs.resize(count);
  ind.ctype.resize(count);
  for (int t = 0; t < count; ++t) {
    ind.rhs[t] = d.b[rows[t]];
    ind.ctype[t] = d.ctype[rows[t]];
  }
  d.indicators = std::move(ind);
  // The class of the problem does not change, the solution does.
  reset_solution_statuses(model);
  discard_mip_record(model);
  free_solver_memory(model);
  return 0;
}

// ---- positive-semidefinite blocks ----

long long packed_size(long long d) { return d * (d + 1) / 2; }

int load_posd(Model *model, int count, const int *dims, const int *starts, const int *rowpos, const int *colpos,
              const int *vars) {
  if (count == 0) return 0;
  if (count < 0) return err::kBadInput;
  if (!dims || !starts || !rowpos || !colpos || !vars) return err::kNullArgument;
  ModelData &d = model->data;
  if (!starts_ordered(count, starts)) return err::kBadColumnLength;
  for (int k = 0; k < count; ++k)
    if (dims[k] < 0 || packed_size(dims[k]) > INT_MAX) return err::kValueOutOfRange;
  PosdData posd;
  posd.dim.assign(dims, dims + count);
  copy_groups(count, starts, rowpos, posd.start, posd.rowpos);
  copy_groups(count, starts, colpos, posd.start, posd.colpos);
  copy_groups(count, starts, vars, posd.start, posd.var);
  posd.packed.resize(count);
  std::vector<char> used(d.n, 0);
  for (int k = 0; k < count; ++k) {
    std::vector<int> &cells = posd.packed[k];
    cells.assign(packed_size(dims[k]), -1);
    for (int p = posd.start[k]; p < posd.start[k + 1]; ++p) {
      int i = posd.rowpos[p], j = posd.colpos[p], v = posd.var[p];
      if (j < 0 || j > i || i >= dims[k] || v < 0 || v >= d.n) return err::kIndexOutOfRange;
      if (used[v]) return err::kDuplicateIndex;
      used[v] = 1;
      int cell = i * (i + 1) / 2 + j;
      // A second variable at the same position would silently replace the first.
      if (cells[cell] >= 0) return err::kDuplicateIndex;
      cells[cell] = v;
    }
  }
  d.posd = std::move(posd);
  after_load_reset(model);
  return 0;
}

int get_posd(const Model &model, int *count, int *dims, int *starts, int *rowpos, int *colpos, int *vars) {
  if (!model_available(model)) return err::kNotAvailable;
  const PosdData &p = model.data.posd;
  if (p.dim.empty()) return err::kNotAvailable;
  if (count) *count = static_cast<int>(p.dim.size());
  if (dims) std::copy(p.dim.begin(), p.dim.end(), dims);
  if (starts) std::copy(p.start.begin(), p.start.end(), starts);
  if (rowpos) std::copy(p.rowpos.begin(), p.rowpos.end(), rowpos);
  if (colpos) std::copy(p.colpos.begin(), p.colpos.end(), colpos);
  if (vars) std::copy(p.var.begin(), p.var.end(), vars);
  return 0;
}

// ---- all-different groups ----

int load_alldiff(Model *model, int count, const int *lower, const int *upper, const int *starts, const int *vars) {
  if (count == 0) return 0;
  if (count < 0) return err::kBadInput;
  if (!lower || !upper || !starts || !vars) return err::kNullArgument;
  ModelData &d = model->data;
  if (!starts_ordered(count, starts)) return err::kBadColumnLength;
  std::vector<char> grouped(d.n, 0);
  for (int p = starts[0]; p < starts[count]; ++p) {
    int j = vars[p];
    if (j < 0 || j >= d.n) return err::kIndexOutOfRange;
    if (grouped[j]) return err::kDuplicateIndex;
    grouped[j] = 1;
  }
  AllDiffData groups;
  groups.lower.assign(lower, lower + count);
  groups.upper.assign(upper, upper + count);
  copy_groups(count, starts, vars, groups.start, groups.member);
  std::vector<char> types = d.vtype;
  if (types.empty()) types.assign(std::max(d.n, d.col_capacity), 'C');
  d.alldiff = std::move(groups);
  // Members take integer values within their group's range.
  for (int k = 0; k < count; ++k)
    for (int p = d.alldiff.start[k]; p < d.alldiff.start[k + 1]; ++p) {
      int j = d.alldiff.member[p];
      if (types[j] == 'C') types[j] = 'I';
      d.lower[j] = std::max(d.lower[j], static_cast<double>(lower[k]));
      d.upper[j] = std::min(d.upper[j], static_cast<double>(upper[k]));
    }
  d.vtype = std::move(types);
  // (A nonlinear model narrows the bounds of its instruction list's copy too,
  // once instruction lists keep their own bounds.)
  after_load_reset(model);
  return 0;
}

int get_alldiff(const Model &model, int *count, int *lower, int *upper, int *starts, int *vars) {
  if (!model_available(model)) return err::kNotAvailable;
  const AllDiffData &g = model.data.alldiff;
  if (g.lower.empty()) return err::kNotAvailable;
  if (count) *count = static_cast<int>(g.lower.size());
  if (lower) std::copy(g.lower.begin(), g.lower.end(), lower);
  if (upper) std::copy(g.upper.begin(), g.upper.end(), upper);
  if (starts) std::copy(g.start.begin(), g.start.end(), starts);
  if (vars) std::copy(g.member.begin(), g.member.end(), vars);
  return 0;
}

}  // namespace
}  // namespace tarvo::base

using namespace tarvo::base;

extern "C" {

TVAPI int TVloadIndData(pTVmodel model, int nEntries, const int *rows, const int *vars, const int *values) {
  if (!live(model)) return tarvo::err::kNullArgument;
  return tarvo::guarded([&] { return load_indicators(model, nEntries, rows, vars, values); });
}

TVAPI int TVloadPOSDData(pTVmodel model, int nBlocks, const int *dims, const int *starts, const int *rowPos,
                         const int *colPos, const int *vars) {
  if (!live(model)) return tarvo::err::kNullArgument;
  return tarvo::guarded([&] { return load_posd(model, nBlocks, dims, starts, rowPos, colPos, vars); });
}

TVAPI int TVloadALLDIFFData(pTVmodel model, int nGroups, const int *lowerValues, const int *upperValues,
                            const int *starts, const int *vars) {
  if (!live(model)) return tarvo::err::kNullArgument;
  return tarvo::guarded([&] { return load_alldiff(model, nGroups, lowerValues, upperValues, starts, vars); });
}

TVAPI int TVgetPOSDData(pTVmodel model, int *nBlocks, int *dims, int *starts, int *rowPos, int *colPos,
                        int *vars) {
  if (!live(model)) return tarvo::err::kNullArgument;
  return tarvo::guarded([&] { return get_posd(*model, nBlocks, dims, starts, rowPos, colPos, vars); });
}

TVAPI int TVgetALLDIFFData(pTVmodel model, int *nGroups, int *lowerValues, int *upperValues, int *starts,
                           int *vars) {
  if (!live(model)) return tarvo::err::kNullArgument;
  return tarvo::guarded([&] { return get_alldiff(*model, nGroups, lowerValues, upperValues, starts, vars); });
}

}  // extern "C"
