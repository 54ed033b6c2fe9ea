// Information read from inside callbacks: items of the running phase come
// from the solver's current values (the progress record, and the MIP record
// during the integer phase); everything else is answered by TVgetInfo.
#include <climits>
#include <cmath>

#include "env/callback_dispatch.hpp"
#include "common/boundary.hpp"
#include "common/error_codes.hpp"

using namespace tarvo::base;

namespace {

constexpr int kRouteToInfo = -1;

int put_int(void *value, double v) {
  int *out = static_cast<int *>(value);
  if (std::isnan(v))
    *out = 0;
  else if (v <= INT_MIN)
    *out = INT_MIN;
  else if (v >= INT_MAX)
    *out = INT_MAX;
  else
    *out = static_cast<int>(v);
  return 0;
}

int put_double(void *value, double v) {
  *static_cast<double *>(value) = v;
  return 0;
}

bool continuous_location(int loc) {
  return loc == TVLOC_PRIMAL || loc == TVLOC_DUAL || loc == TVLOC_CONIC || loc == TVLOC_BARRIER ||
         loc == TVLOC_SLP;
}

bool integer_location(int loc) { return loc == TVLOC_MIP || loc == TVLOC_MIP_REDUCED; }

// The iteration item that counts the running solver's own iterations.
int own_iteration_item(int loc) {
  if (loc == TVLOC_PRIMAL || loc == TVLOC_DUAL) return TV_IINFO_SIM_ITER;
  if (loc == TVLOC_CONIC || loc == TVLOC_BARRIER) return TV_IINFO_BAR_ITER;
  return TV_IINFO_NLP_ITER;
}

// Current values (11700-11713) of any phase that keeps a progress record.
int current_item(const Model &model, int item, void *value) {
  const ProgressRecord &p = model.progress;
  switch (item) {
    case TV_DINFO_SUB_OBJ: return put_double(value, p.sub_obj);
    case TV_DINFO_SUB_PINF: return put_double(value, p.sub_pinf);
    case TV_DINFO_CUR_OBJ: return put_double(value, p.obj);
    case TV_IINFO_CUR_ITER: return put_int(value, p.iter);
    case TV_DINFO_CUR_BEST_BOUND: return put_double(value, p.bestbound);
    case TV_IINFO_CUR_STATUS: return put_int(value, p.status);
    case TV_IINFO_CUR_LP_COUNT: return put_int(value, p.lp_count);
    case TV_IINFO_CUR_BRANCH_COUNT: return put_int(value, p.branch_count);
    case TV_IINFO_CUR_ACTIVE_COUNT: return put_int(value, p.active_count);
    case TV_IINFO_CUR_NLP_COUNT: return put_int(value, p.nlp_count);
    case TV_IINFO_CUR_MIP_COUNT: return put_int(value, p.mip_count);
    case TV_IINFO_CUR_CUT_COUNT: return put_int(value, p.cut_count);
    case TV_DINFO_CUR_ITER: return put_double(value, p.iter);
    case TV_DINFO_CUR_TIME: return put_double(value, progress_elapsed(model));
    default: return kRouteToInfo;
  }
}

// The basic solver's own values during the continuous phases.
int continuous_item(const Model &model, int location, int item, void *value) {
  const ProgressRecord &p = model.progress;
  switch (item) {
    case TV_DINFO_POBJ: return put_double(value, p.obj);
    case TV_DINFO_DOBJ: return put_double(value, p.dobj);
    case TV_DINFO_PINFEAS: return put_double(value, p.pinf);
    case TV_DINFO_DINFEAS: return put_double(value, p.dinf);
    default: return item == own_iteration_item(location) ? put_int(value, p.iter) : kRouteToInfo;
  }
}

// The integer items of a running search come from its MIP record; the
// objective is readable as soon as an incumbent exists, before the status
// says so.
int integer_item(const Model &model, int item, void *value) {
  const ProgressRecord &p = model.progress;
  if (item == TV_DINFO_PINFEAS && p.location >= 0) return put_double(value, p.pinf);
  if (item == TV_IINFO_MIP_NUM_TOTAL_CUTS && p.location >= 0) return put_int(value, p.cut_count);
  if (!model.mip) return kRouteToInfo;
  const MipRecord &r = *model.mip;
  switch (item) {
    case TV_DINFO_MIP_OBJ: return r.num_solutions > 0 ? put_double(value, r.obj) : kRouteToInfo;
    case TV_DINFO_MIP_BESTBOUND: return put_double(value, r.bestbound);
    case TV_IINFO_MIP_SIM_ITER: return put_int(value, r.sim_iter);
    case TV_IINFO_MIP_BAR_ITER: return put_int(value, r.bar_iter);
    case TV_IINFO_MIP_NLP_ITER: return put_int(value, r.nlp_iter);
    case TV_IINFO_MIP_BRANCHCOUNT: return put_int(value, r.branch_count);
    case TV_IINFO_MIP_NEWIPSOL: return put_int(value, r.num_solutions);
    case TV_IINFO_MIP_LPCOUNT: return put_int(value, r.lp_count);
    case TV_IINFO_MIP_ACTIVENODES: return put_int(value, r.active_nodes);
    default: return kRouteToInfo;
  }
}

int callback_info(Model *model, int location, int item, void *value) {
  if (!value) return 0;  // as TVgetInfo: nothing wanted
  // The global solver, IIS/IUS analysis and branch-and-price report through
  // the model's own records.
  if (location != TVLOC_GOP && location != TVLOC_IIS && location != TVLOC_BNP) {
    int rc = kRouteToInfo;
    if (model->progress.location >= 0) rc = current_item(*model, item, value);
    if (rc == kRouteToInfo && model->progress.location >= 0 && continuous_location(location))
      rc = continuous_item(*model, location, item, value);
    if (rc == kRouteToInfo && integer_location(location)) rc = integer_item(*model, item, value);
    if (rc != kRouteToInfo) return rc;
  }
  return TVgetInfo(model, item, value);
}

bool mip_callback_item(int item) {
  return (item >= TV_IINFO_MIP_STATUS && item <= TV_IINFO_MIP_NUM_TOTAL_CUTS) ||
         item == TV_IINFO_MIP_SOLSTATUS_LAST_BRANCH || item == TV_DINFO_MIP_SOLOBJVAL_LAST_BRANCH ||
         (item >= 11362 && item <= 11364) || item == TV_DINFO_PINFEAS;
}

}  // namespace

extern "C" {

TVAPI int TVgetCallbackInfo(pTVmodel model, int location, int item, void *value) {
  if (!live(model)) return tarvo::err::kNullArgument;
  return tarvo::guarded([&] { return callback_info(model, location, item, value); });
}

TVAPI int TVgetMIPCallbackInfo(pTVmodel model, int item, void *value) {
  if (!live(model)) return tarvo::err::kNullArgument;
  if (!mip_callback_item(item)) return tarvo::err::kNotAvailable;
  return tarvo::guarded([&] { return callback_info(model, TVLOC_MIP, item, value); });
}

// The quick-report path reads the same current values.
TVAPI int TVgetProgressInfo(pTVmodel model, int location, int item, void *value) {
  if (!live(model)) return tarvo::err::kNullArgument;
  return tarvo::guarded([&] { return callback_info(model, location, item, value); });
}

}  // extern "C"
