// Changing constraint and variable types of a loaded model. Variable types
// follow the same rules as the type loader: binary bounds are clamped and
// semicontinuous columns are handed to the semicontinuous store.
#include <algorithm>
#include <unordered_map>

#include "model/model_state.hpp"
#include "model/modify_internal.hpp"
#include "model/variable_types.hpp"
#include "common/boundary.hpp"
#include "common/error_codes.hpp"

namespace tarvo::base {
namespace {

bool valid_row_type(char t) { return t == 'E' || t == 'G' || t == 'L' || t == 'N'; }

int modify_row_types(Model *model, int k, const int *rows, const char *types) {
  ModelData &d = model->data;
  for (int t = 0; t < k; ++t)
    if (rows[t] < 0 || rows[t] >= d.m) return err::kIndexOutOfRange;
  for (int t = 0; t < k; ++t)
    if (!valid_row_type(types[t])) return err::kParamOutOfRange;
  bool changed = false;
  for (int t = 0; t < k; ++t) {
    const int i = rows[t];
    if (d.ctype[i] == types[t]) continue;
    d.ctype[i] = types[t];
    changed = true;
    if (model->work && !model->work->flip_row_type(i, types[t])) free_solver_memory(model);
  }
  if (!changed) return 0;
  // A quadratic term in an equality row makes the model non-convex.
  QuadraticData &q = d.qc;
  if (!q.coef.empty()) {
    q.not_convex = false;
    for (int r : q.row)
      if (r >= 0 && d.ctype[r] == 'E') q.not_convex = true;
  }
  change_epilogue(model, model->work != nullptr);
  return 0;
}

int modify_col_types(Model *model, int k, const int *cols, const char *types) {
  ModelData &d = model->data;
  for (int t = 0; t < k; ++t)
    if (cols[t] < 0 || cols[t] >= d.n) return err::kIndexOutOfRange;
  std::vector<char> sc(d.n, 0);
  for (int v : d.semicont.var) sc[v] = 1;
  {
    // Rehearse the list on the bounds it would produce, so that a refusal
    // leaves the model untouched.
    std::unordered_map<int, std::pair<double, double>> bounds;
    std::vector<char> sc_seen = sc;
    for (int t = 0; t < k; ++t) {
      const int j = cols[t];
      auto it = bounds.find(j);
      auto [lo, up] = it != bounds.end() ? it->second : std::make_pair(d.lower[j], d.upper[j]);
      switch (types[t]) {
        case 'C':
        case 'I':
          break;
        case 'B':
          if (lo > 1 || up < 0) return err::kValueOutOfRange;
          lo = std::max(lo, 0.0);
          up = std::min(up, 1.0);
          break;
        case 'S':
          if (!sc_seen[j]) lo = 0.0;
          sc_seen[j] = 1;
          break;
        default:
          return err::kBadVariableType;
      }
      bounds[j] = {lo, up};
    }
  }
  if (d.vtype.empty()) d.vtype.assign(std::max(d.n, d.col_capacity), 'C');
  for (int t = 0; t < k; ++t) {
    const int j = cols[t];
    char type = types[t];
    bool semicontinuous = false;
    normalise_variable_type(d, j, &type, &semicontinuous);
    if (semicontinuous) {
      type = 'C';
      if (!sc[j]) {
        d.semicont.var.push_back(j);
        d.semicont.lower.push_back(d.lower[j]);
        d.lower[j] = 0.0;
        sc[j] = 1;
      }
    }
    d.vtype[j] = type;
  }
  change_epilogue(model, false);
  return 0;
}

}  // namespace
}  // namespace tarvo::base

using namespace tarvo::base;

extern "C" {

TVAPI int TVmodifyConstraintType(pTVmodel model, int nCons, const int *cons, const char *conTypes) {
  if (!live(model)) return tarvo::err::kNullArgument;
  if (nCons == 0) return 0;
  if (nCons < 0) return tarvo::err::kBadInput;
  if (!cons || !conTypes) return tarvo::err::kNullArgument;
  return tarvo::guarded([&] { return modify_row_types(model, nCons, cons, conTypes); });
}

TVAPI int TVmodifyVariableType(pTVmodel model, int nVars, const int *vars, const char *varTypes) {
  if (!live(model)) return tarvo::err::kNullArgument;
  if (nVars == 0) return 0;
  if (nVars < 0) return tarvo::err::kBadInput;
  if (!vars || !varTypes) return tarvo::err::kNullArgument;
  return tarvo::guarded([&] { return modify_col_types(model, nVars, vars, varTypes); });
}

}  // extern "C"
