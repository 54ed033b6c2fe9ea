// Reading names back: the five single names, the whole constraint and
// variable name pools with pointers into the caller's copy, and one name of
// a variable, constraint or cone.
#include <cstring>

#include "model/query_rules.hpp"
#include "model/statistics.hpp"
#include "common/boundary.hpp"
#include "common/error_codes.hpp"

namespace tarvo::base {
namespace {

void copy_single(const std::string &from, char *to) {
  if (to) std::memcpy(to, from.c_str(), from.size() + 1);
}

// Copies the pool up to the end of its furthest name into `pool` and points
// each of `ptrs` at its name there. Pointers alone cannot be served (they
// would point into the model) and are left alone.
int copy_pool(const NamePool &names, int count, char **ptrs, char *pool) {
  if (!pool) return 0;
  if (!names.present()) return err::kNotAvailable;
  int extent = name_pool_extent(names, count);
  std::memcpy(pool, names.pool.data(), extent);
  if (ptrs)
    for (int i = 0; i < count; ++i) ptrs[i] = pool + names.offsets[i];
  return 0;
}

int get_name_data(Model *model, char *title, char *objName, char *rhsName, char *rangeName, char *boundName,
                  char **conNamePtrs, char *conNamePool, char **varNamePtrs, char *varNamePool) {
  if (!data_readable(*model)) return err::kNotAvailable;
  const ModelData &d = model->data;
  copy_single(d.title, title);
  copy_single(d.objname, objName);
  copy_single(d.rhsname, rhsName);
  copy_single(d.rangename, rangeName);
  copy_single(d.boundname, boundName);
  // Both pools are served even when one of them is missing; the call then reports 2009.
  int con = copy_pool(d.connames, d.m, conNamePtrs, conNamePool);
  int var = copy_pool(d.varnames, d.n, varNamePtrs, varNamePool);
  return con ? con : var;
}

int get_one_name(Model *model, const NamePool &names, int count, int index, char *name) {
  if (!name) return err::kNullArgument;
  name[0] = '\0';
  if (model->phase_marker < 0 || model->lent_to_workers || !names.present()) return err::kNotAvailable;
  if (index < 0 || index >= count) return err::kIndexOutOfRange;
  std::strcpy(name, names.name(index));
  return 0;
}

}  // namespace
}  // namespace tarvo::base

using namespace tarvo::base;

extern "C" {

TVAPI int TVgetNameData(pTVmodel model, char *title, char *objName, char *rhsName, char *rangeName,
                        char *boundName, char **conNamePtrs, char *conNamePool, char **varNamePtrs,
                        char *varNamePool) {
  if (!live(model)) return tarvo::err::kNullArgument;
  return tarvo::guarded([&] {
    return get_name_data(model, title, objName, rhsName, rangeName, boundName, conNamePtrs, conNamePool,
                         varNamePtrs, varNamePool);
  });
}

TVAPI int TVgetVariableNamej(pTVmodel model, int j, char *name) {
  if (!live(model)) return tarvo::err::kNullArgument;
  return tarvo::guarded([&] { return get_one_name(model, model->data.varnames, model->data.n, j, name); });
}

TVAPI int TVgetConstraintNamei(pTVmodel model, int i, char *name) {
  if (!live(model)) return tarvo::err::kNullArgument;
  return tarvo::guarded([&] { return get_one_name(model, model->data.connames, model->data.m, i, name); });
}

TVAPI int TVgetConeNamei(pTVmodel model, int k, char *name) {
  if (!live(model)) return tarvo::err::kNullArgument;
  return tarvo::guarded(
      [&] { return get_one_name(model, model->data.conenames, model->data.ncones, k, name); });
}

}  // extern "C"
