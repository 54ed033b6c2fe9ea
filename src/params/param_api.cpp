// Exported parameter setters, getters and range queries.
#include "params/param_store.hpp"
#include "common/boundary.hpp"
#include "common/error_codes.hpp"

using namespace tarvo::base;

extern "C" {

TVAPI int TVsetModelIntParameter(pTVmodel model, int id, int value) {
  if (!live(model)) return tarvo::err::kNullArgument;
  return tarvo::guarded([&] { return param_set_int(ParamTarget::of(model), id, value); });
}

TVAPI int TVsetEnvIntParameter(pTVenv env, int id, int value) {
  if (!live(env)) return tarvo::err::kNullArgument;
  return tarvo::guarded([&] { return param_set_int(ParamTarget::of(env), id, value); });
}

TVAPI int TVsetModelDouParameter(pTVmodel model, int id, double value) {
  if (!live(model)) return tarvo::err::kNullArgument;
  return tarvo::guarded([&] { return param_set_double(ParamTarget::of(model), id, value); });
}

TVAPI int TVsetEnvDouParameter(pTVenv env, int id, double value) {
  if (!live(env)) return tarvo::err::kNullArgument;
  return tarvo::guarded([&] { return param_set_double(ParamTarget::of(env), id, value); });
}

TVAPI int TVgetModelIntParameter(pTVmodel model, int id, int *value) {
  if (!live(model) || !value) return tarvo::err::kNullArgument;
  return param_get_int(ParamTarget::of(model), id, value);
}

TVAPI int TVgetEnvIntParameter(pTVenv env, int id, int *value) {
  if (!live(env) || !value) return tarvo::err::kNullArgument;
  return param_get_int(ParamTarget::of(env), id, value);
}

TVAPI int TVgetModelDouParameter(pTVmodel model, int id, double *value) {
  if (!live(model) || !value) return tarvo::err::kNullArgument;
  return param_get_double(ParamTarget::of(model), id, value);
}

TVAPI int TVgetEnvDouParameter(pTVenv env, int id, double *value) {
  if (!live(env) || !value) return tarvo::err::kNullArgument;
  return param_get_double(ParamTarget::of(env), id, value);
}

TVAPI int TVsetModelParameter(pTVmodel model, int id, void *value) {
  if (!live(model) || !value) return tarvo::err::kNullArgument;
  return tarvo::guarded([&] { return classic_set(ParamTarget::of(model), id, value); });
}

TVAPI int TVsetEnvParameter(pTVenv env, int id, void *value) {
  if (!live(env) || !value) return tarvo::err::kNullArgument;
  return tarvo::guarded([&] { return classic_set(ParamTarget::of(env), id, value); });
}

TVAPI int TVgetModelParameter(pTVmodel model, int id, void *value) {
  if (!live(model) || !value) return tarvo::err::kNullArgument;
  return classic_get(ParamTarget::of(model), id, value);
}

TVAPI int TVgetEnvParameter(pTVenv env, int id, void *value) {
  if (!live(env) || !value) return tarvo::err::kNullArgument;
  return classic_get(ParamTarget::of(env), id, value);
}

TVAPI int TVgetIntParameterRange(pTVmodel model, int id, int *minValue, int *maxValue) {
  if (minValue) *minValue = 0;
  if (maxValue) *maxValue = 0;
  if (!live(model)) return tarvo::err::kNullArgument;
  return param_range_int(id, minValue, maxValue);
}

TVAPI int TVgetDouParameterRange(pTVmodel model, int id, double *minValue, double *maxValue) {
  if (minValue) *minValue = 0;
  if (maxValue) *maxValue = 0;
  if (!live(model)) return tarvo::err::kNullArgument;
  return param_range_double(id, minValue, maxValue);
}

}  // extern "C"
