// Looking names up: one hash table per kind of name, built on first use and
// dropped whenever names change.
#include <cstring>

#include "model/model_state.hpp"
#include "common/boundary.hpp"
#include "common/error_codes.hpp"

namespace tarvo::base {
namespace {

int build_index(NameIndex &index, const NamePool &names, int count) {
  index.index.clear();
  index.index.reserve(static_cast<size_t>(count) * 2);
  for (int i = 0; i < count; ++i) {
    const char *name = names.name(i);
    if (*name) index.index.emplace(name, i);  // the first of duplicate names wins
  }
  index.built = true;
  return 0;
}

int lookup(Model *model, NameIndex &index, const NamePool &names, int count, const char *name, int *out,
           int unknown_code) {
  if (!model || !out) return err::kNullArgument;
  *out = -1;
  if (!name) return err::kNullArgument;
  if (!names.present() || count == 0) return err::kNotAvailable;
  if (!index.built) {
    try {
      build_index(index, names, count);
    } catch (const std::bad_alloc &) {
      index.invalidate();
      return err::kNoMemory;
    }
  }
  auto it = index.index.find(name);
  if (it == index.index.end()) return unknown_code;
  *out = it->second;
  return 0;
}

}  // namespace
}  // namespace tarvo::base

using namespace tarvo::base;

extern "C" {

TVAPI int TVgetVariableIndex(pTVmodel model, const char *name, int *j) {
  if (!live(model)) return tarvo::err::kNullArgument;
  return tarvo::guarded(
      [&] { return lookup(model, model->var_index, model->data.varnames, model->data.n, name, j, 2068); });
}

TVAPI int TVgetConstraintIndex(pTVmodel model, const char *name, int *i) {
  if (!live(model)) return tarvo::err::kNullArgument;
  return tarvo::guarded(
      [&] { return lookup(model, model->con_index, model->data.connames, model->data.m, name, i, 2069); });
}

TVAPI int TVgetConeIndex(pTVmodel model, const char *name, int *k) {
  if (!live(model)) return tarvo::err::kNullArgument;
  return tarvo::guarded(
      [&] { return lookup(model, model->cone_index, model->data.conenames, model->data.ncones, name, k, 2009); });
}

}  // extern "C"
