// Registration of the host's hooks on a model: progress and integer-solver
// callbacks and the function-evaluation routines of nonlinear models.
// A hook set during a solve takes effect at the solver's next call.
#include <vector>

#include "env/callback_dispatch.hpp"
#include "common/boundary.hpp"
#include "common/error_codes.hpp"

using namespace tarvo::base;

namespace {

// Flags of the rows whose gradients the host computes: m+1 bytes, the last
// one for the objective (row -1). Rows outside -1..m-1 are skipped. Without a
// function or without a list the flags are dropped.
int set_gradcalc(Model *model, TVgradcalc_t func, void *userData, int nRows, const int *rows, bool full_partial) {
  std::vector<char> flags;
  if (func && rows && nRows > 0) {
    const int m = model->data.m;
    flags.assign(static_cast<size_t>(m) + 1, 0);
    for (int k = 0; k < nRows; ++k) {
      int r = rows[k];
      if (r == -1)
        flags[m] = 1;
      else if (r >= 0 && r < m)
        flags[r] = 1;
    }
  }
  // Nothing is changed until the flags exist, so an allocation failure leaves
  // the previous registration in place.
  ModelHooks &h = model->hooks;
  h.gradcalc = func;
  h.gradcalc_data = userData;
  h.gradcalc_full_partial = full_partial;
  h.gradcalc_rows.swap(flags);
  return 0;
}

}  // namespace

extern "C" {

TVAPI int TVsetCallback(pTVmodel model, TVcallback_t func, void *userData) {
  if (!live(model)) return tarvo::err::kNullArgument;
  model->hooks.callback = func;
  model->hooks.callback_data = userData;
  return 0;
}

TVAPI int TVsetMIPCallback(pTVmodel model, TVmipCallback_t func, void *userData) {
  if (!live(model)) return tarvo::err::kNullArgument;
  model->hooks.mip_callback = func;
  model->hooks.mip_callback_data = userData;
  return 0;
}

TVAPI int TVsetMIPCallbackInsMIPSol(pTVmodel model, TVinsMIPSol_t func, void *userData) {
  if (!live(model)) return tarvo::err::kNullArgument;
  model->hooks.ins_mip_sol = func;
  model->hooks.ins_mip_sol_data = userData;
  return 0;
}

TVAPI int TVsetMIPCallbackInsMIPObj(pTVmodel model, TVinsMIPObj_t func, void *userData) {
  if (!live(model)) return tarvo::err::kNullArgument;
  model->hooks.ins_mip_obj = func;
  model->hooks.ins_mip_obj_data = userData;
  return 0;
}

TVAPI int TVsetGOPCallback(pTVmodel model, TVgopCallback_t func, void *userData) {
  if (!live(model)) return tarvo::err::kNullArgument;
  model->hooks.gop_callback = func;
  model->hooks.gop_callback_data = userData;
  return 0;
}

TVAPI int TVsetFDECallback(pTVmodel model, TVfdeCallback_t func, void *userData) {
  if (!live(model)) return tarvo::err::kNullArgument;
  model->hooks.fde = func;
  model->hooks.fde_data = userData;
  return 0;
}

// All ones installs the library's own evaluator; the value is kept as the
// marker that the nonlinear evaluator recognises (is_builtin_funcalc).
TVAPI int TVsetFuncalc(pTVmodel model, TVfuncalc_t func, void *userData) {
  if (!live(model)) return tarvo::err::kNullArgument;
  model->hooks.funcalc = func;
  model->hooks.funcalc_data = userData;
  return 0;
}

TVAPI int TVsetGradcalc(pTVmodel model, TVgradcalc_t func, void *userData, int nRows, const int *rows) {
  if (!live(model)) return tarvo::err::kNullArgument;
  return tarvo::guarded([&] { return set_gradcalc(model, func, userData, nRows, rows, false); });
}

TVAPI int TVsetGradcalcFullPartial(pTVmodel model, TVgradcalc_t func, void *userData, int nRows, const int *rows) {
  if (!live(model)) return tarvo::err::kNullArgument;
  return tarvo::guarded([&] { return set_gradcalc(model, func, userData, nRows, rows, true); });
}

TVAPI int TVsetHessdccalc(pTVmodel model, TVhessdccalc_t func, void *userData) {
  if (!live(model)) return tarvo::err::kNullArgument;
  model->hooks.hessdccalc = func;
  model->hooks.hessdccalc_data = func ? userData : nullptr;
  return 0;
}

// All ones installs the library's internal relay (is_builtin_usercalc).
TVAPI int TVsetUsercalc(pTVmodel model, TVusercalc_t func, void *userData) {
  if (!live(model)) return tarvo::err::kNullArgument;
  model->hooks.usercalc = func;
  model->hooks.usercalc_data = userData;
  return 0;
}

}  // extern "C"
