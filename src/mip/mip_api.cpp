// Exported entries of the integer solver.
#include "common/error_codes.hpp"
#include "params/param_store.hpp"
#include "common/boundary.hpp"
#include "mip/mip_concurrent.hpp"
#include "mip/mip_driver.hpp"
#include "env/live_handles.hpp"

using namespace tarvo;

extern "C" {

TVAPI int TVsolveMIP(pTVmodel model, int *status) {
  if (!tarvo::base::live(model)) return err::kNullArgument;
  return guarded([&] { return mip::solve_mip(model, status); });
}

TVAPI int TVsolveMIPSerial(pTVmodel model, int *status) {
  if (!tarvo::base::live(model)) return err::kNullArgument;
  return guarded([&] { return mip::solve_mip_serial(model, status); });
}

TVAPI int TVsolveMIPCC(pTVmodel model, int *status) {
  if (!tarvo::base::live(model)) return err::kNullArgument;
  return guarded([&] { return mip::solve_mip_concurrent(model, status); });
}

}  // extern "C"
