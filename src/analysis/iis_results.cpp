// Queries of the IIS and IUS records: counts and index lists, sufficient
// members first; every out-argument is optional.
#include <algorithm>

#include "common/error_codes.hpp"
#include "model/model_state.hpp"
#include "common/boundary.hpp"
#include "env/live_handles.hpp"

namespace tarvo::analysis {
namespace {

void put_list(int suf, const std::vector<int> &list, int *nSuf, int *nAll, int *out) {
  if (nSuf) *nSuf = suf;
  if (nAll) *nAll = static_cast<int>(list.size());
  if (out) std::copy(list.begin(), list.end(), out);
}

int get_iis(base::Model *model, int *nSuf_r, int *nIIS_r, int *aiCons, int *nSuf_c, int *nIIS_c, int *aiVars,
            int *anBnds) {
  if (model->status == TV_STATUS_UNLOADED || !model->iis) return err::kNotAvailable;
  const base::IisRecord &r = *model->iis;
  put_list(r.suf_rows, r.rows, nSuf_r, nIIS_r, aiCons);
  if (model->params.integer(TV_IPARAM_IIS_GETMODE) == 1) {
    put_list(r.suf_ints, r.ints, nSuf_c, nIIS_c, aiVars);
    return err::kOk;
  }
  put_list(r.suf_cols, r.cols, nSuf_c, nIIS_c, aiVars);
  if (anBnds) std::copy(r.bound_type.begin(), r.bound_type.end(), anBnds);
  return err::kOk;
}

}  // namespace
}  // namespace tarvo::analysis

extern "C" {

TVAPI int TVgetIIS(pTVmodel model, int *nSuf_r, int *nIIS_r, int *aiCons, int *nSuf_c, int *nIIS_c, int *aiVars,
                   int *anBnds) {
  if (!tarvo::base::live(model)) return tarvo::err::kNullArgument;
  return tarvo::guarded(
      [&] { return tarvo::analysis::get_iis(model, nSuf_r, nIIS_r, aiCons, nSuf_c, nIIS_c, aiVars, anBnds); });
}

TVAPI int TVgetIISInts(pTVmodel model, int *nSuf_xnt, int *nIIS_xnt, int *aiVars) {
  if (!tarvo::base::live(model)) return tarvo::err::kNullArgument;
  return tarvo::guarded([&] {
    if (model->status == TV_STATUS_UNLOADED || !model->iis) return tarvo::err::kNotAvailable;
    tarvo::analysis::put_list(model->iis->suf_ints, model->iis->ints, nSuf_xnt, nIIS_xnt, aiVars);
    return 0;
  });
}

TVAPI int TVgetIISSETs(pTVmodel model, int *nSuf_set, int *nIIS_set, int *aiSets) {
  if (!tarvo::base::live(model)) return tarvo::err::kNullArgument;
  return tarvo::guarded([&] {
    if (model->status == TV_STATUS_UNLOADED || !model->iis) return tarvo::err::kNotAvailable;
    tarvo::analysis::put_list(model->iis->suf_sets, model->iis->sets, nSuf_set, nIIS_set, aiSets);
    return 0;
  });
}

TVAPI int TVgetIUS(pTVmodel model, int *nSuf, int *nIUS, int *aiVars) {
  if (!tarvo::base::live(model)) return tarvo::err::kNullArgument;
  return tarvo::guarded([&] {
    if (model->status == TV_STATUS_UNLOADED || !model->ius) return tarvo::err::kNotAvailable;
    tarvo::analysis::put_list(model->ius->suf_cols, model->ius->cols, nSuf, nIUS, aiVars);
    return 0;
  });
}

}  // extern "C"
