// Exported entries of the integer solver.
#include "base/error_codes.hpp"
#include "base/param_store.hpp"
#include "common/boundary.hpp"
#include "mip/mip_driver.hpp"

using namespace tarvo;

namespace {

// The concurrent entry: strategy check, thread count; one tree per model.
int solve_mip_cc(base::Model *model, int *status) {
  const int strategy = model->params.integer(TV_IPARAM_MIP_CONCURRENT_STRATEGY);
  if (strategy < -1 || strategy > 1) return err::kNotSupported;
  int threads = model->params.integer(TV_IPARAM_MIP_NUM_THREADS);
  if (threads < 2) threads = model->params.integer(TV_IPARAM_NUM_THREADS);
  if (threads < 2) base::log_model(model, 1, "\nConcurrent threads is %d, switching to serial MIP solver.", threads);
  return mip::solve_mip_serial(model, status);
}

}  // namespace

extern "C" {

TVAPI int TVsolveMIP(pTVmodel model, int *status) {
  if (!model) return err::kNullArgument;
  return guarded([&] { return mip::solve_mip(model, status); });
}

TVAPI int TVsolveMIPSerial(pTVmodel model, int *status) {
  if (!model) return err::kNullArgument;
  return guarded([&] { return mip::solve_mip_serial(model, status); });
}

TVAPI int TVsolveMIPCC(pTVmodel model, int *status) {
  if (!model) return err::kNullArgument;
  return guarded([&] { return solve_mip_cc(model, status); });
}

}  // extern "C"
