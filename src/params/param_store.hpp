// Typed setters and getters of parameters, for environments and models alike.
// The identifier and the setter's type decide the store: classic groups,
// stochastic store or item table.
#pragma once

#include "model/model.hpp"

namespace tarvo::base {

struct ParamTarget {
  Env *env = nullptr;
  Model *model = nullptr;  // null for an environment target
  ParamValues *values = nullptr;

  static ParamTarget of(Env *e) { return {e, nullptr, &e->params}; }
  static ParamTarget of(Model *m) { return {m->env, m, &m->params}; }
};

int param_set_int(ParamTarget t, int id, int value);
int param_set_double(ParamTarget t, int id, double value);
int param_get_int(ParamTarget t, int id, int *value);
int param_get_double(ParamTarget t, int id, double *value);

// The classic parameters' own setters and getters (value of the record's type).
int classic_set(ParamTarget t, int id, const void *value);
int classic_get(ParamTarget t, int id, void *value);

// Limits of a parameter: the classic setter's rule or the record's range.
int param_range_int(int id, int *lo, int *hi);
int param_range_double(int id, double *lo, double *hi);

// Stochastic store (values of identifiers 6600 to 6649).
int stoc_param_set(ParamTarget t, const TVparamRecord &rec, double value, unsigned type);
int stoc_param_get(ParamTarget t, const TVparamRecord &rec, double *value, unsigned type);

}  // namespace tarvo::base
