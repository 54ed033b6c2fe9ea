// Loading variable types and names. Types are checked as a whole before any
// bound is touched, so a refused type array leaves the bounds as they were;
// semicontinuous types are handed to the semicontinuous loader.
#include <algorithm>
#include <cstring>
#include <new>
#include <string>
#include <vector>

#include "model/model_state.hpp"
#include "model/variable_types.hpp"
#include "common/boundary.hpp"
#include "common/error_codes.hpp"

namespace tarvo::base {
namespace {

// Variables typed S go to the semicontinuous store with their current bounds
// (the store takes the lower bound as the variable's lower value and holds
// the column's own lower bound at 0).
int hand_over_semicontinuous(Model *model, const std::vector<int> &vars) {
  const ModelData &d = model->data;
  std::vector<double> lower(vars.size()), upper(vars.size());
  for (size_t k = 0; k < vars.size(); ++k) {
    lower[k] = d.lower[vars[k]];
    upper[k] = d.upper[vars[k]];
  }
  return TVloadSemiContData(model, static_cast<int>(vars.size()), vars.data(), lower.data(), upper.data());
}

void drop_types(Model *model) {
  model->data.vtype.clear();
  mark_statistics_stale(model);
  if (!model->data.has_instructions) classify_model(model);
}

int load_var_types(Model *model, char *types) {
  ModelData &d = model->data;
  if (!types) {
    drop_types(model);
    return 0;
  }
  // Check everything first: a B with impossible bounds or an unknown letter
  // must not leave earlier binaries with clamped bounds.
  std::vector<int> semicontinuous;
  for (int j = 0; j < d.n; ++j) {
    switch (types[j]) {
      case 'C':
      case 'I':
        break;
      case 'B':
        if (d.lower[j] > 1 || d.upper[j] < 0) {
          drop_types(model);
          return err::kValueOutOfRange;
        }
        break;
      case 'S':
        semicontinuous.push_back(j);
        break;
      default:
        drop_types(model);
        return err::kBadVariableType;
    }
  }
  if (!semicontinuous.empty() && !d.semicont.var.empty()) {
    drop_types(model);
    return err::kAlreadyLoaded;
  }
  std::vector<char> stored(std::max(d.n, d.col_capacity), 'C');
  for (int j = 0; j < d.n; ++j) {
    bool semi = false;
    normalise_variable_type(d, j, &types[j], &semi);  // cannot fail after the checks above
    stored[j] = semi ? 'C' : types[j];
  }
  d.vtype = std::move(stored);
  if (!semicontinuous.empty()) {
    if (int code = hand_over_semicontinuous(model, semicontinuous)) {
      drop_types(model);
      return code;
    }
  }
  // The external solver bridge takes types once bridges exist; nothing to pass yet.
  mark_statistics_stale(model);
  if (!d.has_instructions) classify_model(model);
  return 0;
}

// Builds a name pool: names back to back with terminators, in at least
// `extra` spare bytes or the old capacity when that is larger (the rest stays
// zero). A null entry is an empty name.
NamePool build_pool(char **names, int count, size_t old_capacity, size_t extra, int offset_slots) {
  size_t total = 0;
  for (int i = 0; i < count; ++i) total += (names[i] ? std::strlen(names[i]) : 0) + 1;
  NamePool pool;
  pool.pool.assign(std::max(old_capacity, total + extra), '\0');
  pool.offsets.assign(offset_slots, 0);
  size_t at = 0;
  for (int i = 0; i < count; ++i) {
    pool.offsets[i] = static_cast<int>(at);
    const char *name = names[i] ? names[i] : "";
    size_t len = std::strlen(name);
    std::memcpy(pool.pool.data() + at, name, len);
    at += len + 1;
  }
  // A spare offset slot points past the pool so that it never reads as a name.
  for (int i = count; i < offset_slots; ++i) pool.offsets[i] = static_cast<int>(pool.pool.size());
  return pool;
}

int load_names(Model *model, const char *title, const char *objName, const char *rhsName, const char *rangeName,
               const char *boundName, char **conNames, char **varNames, char **coneNames) {
  ModelData &d = model->data;
  try {
    if (title) d.title = title;
    if (objName) d.objname = objName;
    if (rhsName) d.rhsname = rhsName;
    if (rangeName) d.rangename = rangeName;
    if (boundName) d.boundname = boundName;
    if (conNames && d.m > 0) d.connames = build_pool(conNames, d.m, d.connames.pool.size(), 1, d.m + 1);
    if (varNames && d.n > 0) d.varnames = build_pool(varNames, d.n, d.varnames.pool.size(), 0, d.n);
    if (coneNames && d.ncones > 0) d.conenames = build_pool(coneNames, d.ncones, 0, 1, d.ncones + 1);
  } catch (const std::bad_alloc &) {
    mark_names_stale(model);  // whatever was loaded so far stays
    return err::kNoMemory;
  }
  mark_names_stale(model);
  return 0;
}

}  // namespace
}  // namespace tarvo::base

using namespace tarvo::base;

extern "C" {

TVAPI int TVloadVarType(pTVmodel model, char *varTypes) {
  if (!live(model)) return tarvo::err::kNullArgument;
  return tarvo::guarded([&] { return load_var_types(model, varTypes); });
}

TVAPI int TVloadNameData(pTVmodel model, const char *title, const char *objName, const char *rhsName,
                         const char *rangeName, const char *boundName, char **conNames, char **varNames,
                         char **coneNames) {
  if (!live(model)) return tarvo::err::kNullArgument;
  return tarvo::guarded([&] {
    return load_names(model, title, objName, rhsName, rangeName, boundName, conNames, varNames, coneNames);
  });
}

}  // extern "C"
