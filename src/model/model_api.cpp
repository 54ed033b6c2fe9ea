// Exported operations on the model object: create, delete, copy, the links to
// environment and master model, and the dimension and bound queries.
#include <cstring>

#include "model/model.hpp"
#include "common/boundary.hpp"
#include "common/error_codes.hpp"

using namespace tarvo::base;

namespace {

bool data_available(const Model *model) {
  return model->status != TV_STATUS_UNLOADED && model->phase_marker >= 0;
}

}  // namespace

extern "C" {

TVAPI pTVmodel TVcreateModel(pTVenv env, int *errorCode) {
  if (!live(env) || !errorCode) {
    if (errorCode) *errorCode = tarvo::err::kNullArgument;
    return nullptr;
  }
  return tarvo::guarded_value<pTVmodel>(errorCode, nullptr, [&] { return create_model(env, errorCode); });
}

TVAPI int TVdeleteModel(pTVmodel *model) {
  if (!model || !*model) return 0;
  // Already freed (also by TVdeleteEnv): refused, the caller's copy untouched.
  if (!live(*model)) return tarvo::err::kNullArgument;
  return tarvo::guarded([&] {
    int code = delete_model(*model);
    if (code == 0) *model = nullptr;
    return code;
  });
}

TVAPI pTVmodel TVcopyModel(pTVmodel source, int *errorCode) {
  if (!live(source) || !source->env) {
    if (errorCode) *errorCode = tarvo::err::kNullArgument;
    return nullptr;
  }
  Model *copy = nullptr;
  int code = tarvo::guarded([&] {
    int rc = 0;
    copy = create_model(source->env, &rc);
    if (rc != 0) return rc;
    copy->params = source->params;
    copy->data = source->data;
    copy->master = source->master;
    copy->status = source->status == TV_STATUS_UNLOADED ? TV_STATUS_UNLOADED : TV_STATUS_LOADED;
    return 0;
  });
  if (code != 0 && copy) {
    delete_model(copy);
    copy = nullptr;
  }
  if (errorCode) *errorCode = code;
  return copy;
}

TVAPI int TVcopyParam(pTVmodel source, pTVmodel target, int mode) {
  if (!live(source) || !live(target) || !source->env || !target->env) return tarvo::err::kNullArgument;
  if (mode > 0) return 0;
  target->params = source->params;
  target->params.marker = tarvo::base::params::kModelScope;
  return 0;
}

TVAPI pTVmodel TVgetMasterModel(pTVmodel model) {
  if (!live(model)) return nullptr;
  if (model->master) return model->master;
  if (model->parent) return model->parent->master;
  return nullptr;
}

TVAPI int TVgetModelEnv(pTVmodel model, pTVenv *env) {
  if (!live(model)) return tarvo::err::kNotAvailable;
  if (!env) return tarvo::err::kNullArgument;
  *env = model->env;
  return 0;
}

TVAPI int TVgetEnvModelCount(pTVenv env, int *count) {
  if (!live(env)) return tarvo::err::kNotAvailable;
  if (!count) return tarvo::err::kNullArgument;
  std::lock_guard<std::mutex> hold(env->lock);
  *count = static_cast<int>(env->models.size());
  return 0;
}

TVAPI int TVgetEnvModelList(pTVenv env, pTVmodel *models) {
  if (!live(env)) return tarvo::err::kNotAvailable;
  if (!models) return tarvo::err::kNullArgument;
  std::lock_guard<std::mutex> hold(env->lock);
  for (size_t i = 0; i < env->models.size(); ++i) models[i] = env->models[i];
  return 0;
}

TVAPI int TVgetDimensions(pTVmodel model, int *nVars, int *nCons, int *nCones, int *nAnnz, int *nQCnnz,
                          int *nConennz, int *nNLPnnz, int *nNLPobjnnz, int *nVarNamelen,
                          int *nConNamelen, int *nConeNamelen) {
  if (!live(model)) return tarvo::err::kNullArgument;
  if (!data_available(model)) return tarvo::err::kNotAvailable;
  const ModelData &d = model->data;
  if (nVars) *nVars = d.n;
  if (nCons) *nCons = d.m;
  if (nCones) *nCones = d.ncones;
  if (nAnnz) *nAnnz = d.nz;
  if (nQCnnz) *nQCnnz = d.nqc_nz;
  if (nConennz) *nConennz = d.ncone_nz;
  if (nNLPnnz) *nNLPnnz = d.nnl_con;
  if (nNLPobjnnz) *nNLPobjnnz = d.nnl_obj;
  if (nVarNamelen) *nVarNamelen = d.varnames.used_length();
  if (nConNamelen) *nConNamelen = d.connames.used_length();
  if (nConeNamelen) *nConeNamelen = d.conenames.used_length();
  return 0;
}

static int bound_query(pTVmodel model, int j, double *out, bool lower) {
  if (!out) return tarvo::err::kNullArgument;
  if (!data_available(model) || model->lent_to_workers) return tarvo::err::kNotAvailable;
  if (j < 0 || j >= model->data.n) return tarvo::err::kIndexOutOfRange;
  *out = lower ? model->data.lower[j] : model->data.upper[j];
  return 0;
}

TVAPI int TVgetLowerBoundj(pTVmodel model, int j, double *lower) {
  return live(model) ? bound_query(model, j, lower, true) : 2010;
}
TVAPI int TVgetUpperBoundj(pTVmodel model, int j, double *upper) {
  return live(model) ? bound_query(model, j, upper, false) : 2010;
}

}  // extern "C"
