// Setting and getting parameter values. Classic parameters are checked by the
// rule of their own setter (mostly the record's limits, a few stricter or
// looser, some with side effects on the model); item-table and stochastic
// values follow the record: scope, type, then range.
#include "params/param_store.hpp"

#include <cmath>
#include <cstring>
#include "common/error_codes.hpp"

namespace tarvo::base {
namespace {

using params::Store;

bool in_scope(const ParamTarget &t, const TVparamRecord &rec) {
  unsigned need = t.model ? params::kModelScope : params::kEnvScope;
  return (rec.cls & need) != 0;
}

int version_value(int id) {
  switch (id) {
    case TV_IPARAM_VER_MAJOR: return 16;
    case TV_IPARAM_VER_MINOR: return 0;
    case TV_IPARAM_VER_BUILD: return 7099;
    case TV_IPARAM_VER_REVISION: return 90;
    default: return 1600;
  }
}

// The limits a classic setter accepts. Most follow the record; the owners of
// a few parameters state their own.
bool classic_accepts(const TVparamRecord &rec, double v) {
  if (std::isnan(v)) return false;
  switch (rec.id) {
    case TV_DPARAM_MIP_INTTOL: return v > 1e-10 && v < 0.5;
    case TV_IPARAM_MULTITHREAD_MODE: return v >= -1;
    case TV_IPARAM_SPLEX_REFACFRQ: return v > 0 || v == rec.dfl;
    default: break;
  }
  return (v >= rec.min && v <= rec.max) || v == rec.dfl;
}

void classic_limits(const TVparamRecord &rec, double *lo, double *hi) {
  *lo = rec.min;
  *hi = rec.max;
  switch (rec.id) {
    case TV_DPARAM_MIP_INTTOL: *lo = 1e-10; *hi = 0.5; break;
    case TV_IPARAM_MULTITHREAD_MODE: *lo = -1; *hi = 2147483647.0; break;
    case TV_IPARAM_SPLEX_REFACFRQ: *lo = 1; break;
    default: break;
  }
}

int set_objective_sense(ParamTarget t, int sense) {
  if (sense != TV_MIN && sense != TV_MAX) return err::kBadObjSense;
  Model *m = t.model;
  if (m->data.sense != sense) free_solver_memory(m);
  m->data.sense = sense;
  return 0;
}

// Item-table rule: record found, scope, type, range (the default is always accepted).
int item_set(ParamTarget t, const TVparamRecord *rec, double v, unsigned type) {
  if (!rec) return err::kBadParamId;
  if (!in_scope(t, *rec)) return err::kCannotSetParam;
  if (rec->type != type) return err::kCannotSetParam;
  if (std::isnan(v)) return err::kParamOutOfRange;
  if (!((v >= rec->min && v <= rec->max) || v == rec->dfl)) return err::kParamOutOfRange;
  t.values->store(static_cast<int>(rec - params::records()), v);
  return 0;
}

int item_get(ParamTarget t, const TVparamRecord *rec, double *v, unsigned type) {
  if (!rec) return err::kBadParamId;
  if (!in_scope(t, *rec)) return err::kNotAvailable;
  if (rec->type != type) return err::kNotAvailable;
  *v = t.values->val[rec - params::records()];
  return 0;
}

int to_int(double d) {
  if (d >= 2147483647.0) return 2147483647;
  if (d <= -2147483648.0) return -2147483647 - 1;
  return static_cast<int>(d);
}

}  // namespace

int classic_set(ParamTarget t, int id, const void *value) {
  const TVparamRecord *rec = params::find(id);
  if (!rec) return err::kCannotSetParam;
  int slot = params::special_int_slot(id);
  if (params::store_of(*rec) != Store::Classic && slot < 0) return err::kCannotSetParam;
  if (params::is_version(id)) return err::kCannotSetParam;
  if (!in_scope(t, *rec)) return err::kCannotSetParam;
  bool integer = rec->type == params::kInt || slot >= 0;
  double v = integer ? static_cast<double>(*static_cast<const int *>(value))
                     : *static_cast<const double *>(value);
  if (id == TV_IPARAM_OBJSENSE) {
    if (!t.model) return err::kCannotSetParam;
    return set_objective_sense(t, static_cast<int>(v));
  }
  if (!classic_accepts(*rec, v)) return err::kParamOutOfRange;
  if (slot >= 0) {
    t.values->special_int[slot] = static_cast<int>(v);
    return 0;
  }
  t.values->store(static_cast<int>(rec - params::records()), v);
  return 0;
}

int classic_get(ParamTarget t, int id, void *value) {
  const TVparamRecord *rec = params::find(id);
  if (!rec) return err::kCannotSetParam;
  int slot = params::special_int_slot(id);
  if (params::store_of(*rec) != Store::Classic && slot < 0) return err::kCannotSetParam;
  if (!in_scope(t, *rec)) return err::kNotAvailable;
  if (params::is_version(id)) {
    *static_cast<int *>(value) = version_value(id);
    return 0;
  }
  if (id == TV_IPARAM_OBJSENSE && t.model) {
    *static_cast<int *>(value) = t.model->data.sense;
    return 0;
  }
  if (slot >= 0) {
    *static_cast<int *>(value) = t.values->special_int[slot];
  } else if (rec->type == params::kInt) {
    *static_cast<int *>(value) = to_int(t.values->val[rec - params::records()]);
  } else {
    *static_cast<double *>(value) = t.values->val[rec - params::records()];
  }
  return 0;
}

int stoc_param_set(ParamTarget t, const TVparamRecord &rec, double value, unsigned type) {
  return item_set(t, &rec, value, type);
}

int stoc_param_get(ParamTarget t, const TVparamRecord &rec, double *value, unsigned type) {
  return item_get(t, &rec, value, type);
}

static bool classic_of_type(const TVparamRecord *rec, unsigned type) {
  if (!rec) return false;
  if (type == params::kInt && params::special_int_slot(rec->id) >= 0) return true;
  return params::store_of(*rec) == Store::Classic && rec->type == type;
}

int param_set_int(ParamTarget t, int id, int value) {
  const TVparamRecord *rec = params::find(id);
  if (classic_of_type(rec, params::kInt)) return classic_set(t, id, &value);
  if (rec && params::store_of(*rec) == Store::Stochastic) return stoc_param_set(t, *rec, value, params::kInt);
  return item_set(t, rec, value, params::kInt);
}

int param_set_double(ParamTarget t, int id, double value) {
  const TVparamRecord *rec = params::find(id);
  if (classic_of_type(rec, params::kDouble)) return classic_set(t, id, &value);
  if (rec && params::store_of(*rec) == Store::Stochastic)
    return stoc_param_set(t, *rec, value, params::kDouble);
  return item_set(t, rec, value, params::kDouble);
}

int param_get_int(ParamTarget t, int id, int *value) {
  const TVparamRecord *rec = params::find(id);
  if (classic_of_type(rec, params::kInt)) return classic_get(t, id, value);
  double d = 0;
  int code = rec && params::store_of(*rec) == Store::Stochastic ? stoc_param_get(t, *rec, &d, params::kInt)
                                                                 : item_get(t, rec, &d, params::kInt);
  if (code == 0) *value = to_int(d);
  return code;
}

int param_get_double(ParamTarget t, int id, double *value) {
  const TVparamRecord *rec = params::find(id);
  if (classic_of_type(rec, params::kDouble)) return classic_get(t, id, value);
  if (rec && params::store_of(*rec) == Store::Stochastic)
    return stoc_param_get(t, *rec, value, params::kDouble);
  return item_get(t, rec, value, params::kDouble);
}

int param_range_int(int id, int *lo, int *hi) {
  const TVparamRecord *rec = params::find(id);
  if (!rec) return err::kBadParamId;
  if (rec->type != params::kInt && params::special_int_slot(id) < 0) return err::kCannotSetParam;
  double l, h;
  if (classic_of_type(rec, params::kInt)) {
    classic_limits(*rec, &l, &h);
  } else {
    l = rec->min;
    h = rec->max;
  }
  if (lo) *lo = to_int(l);
  if (hi) *hi = to_int(h);
  return 0;
}

int param_range_double(int id, double *lo, double *hi) {
  const TVparamRecord *rec = params::find(id);
  if (!rec) return err::kBadParamId;
  if (rec->type != params::kDouble) return err::kCannotSetParam;
  double l = rec->min, h = rec->max;
  if (classic_of_type(rec, params::kDouble)) classic_limits(*rec, &l, &h);
  if (lo) *lo = l;
  if (hi) *hi = h;
  return 0;
}

}  // namespace tarvo::base
