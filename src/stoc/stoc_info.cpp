// Information items of stochastic programs (TVgetStocInfo). The stochastic
// store does not exist yet, so every item is unavailable; once it does, its
// statistics (expected values, scenario counts, iteration counts) answer here.
#include "model/model.hpp"
#include "common/boundary.hpp"
#include "common/error_codes.hpp"

using tarvo::base::live;

extern "C" {

TVAPI int TVgetStocInfo(pTVmodel model, int item, void *result) {
  (void)item;
  (void)result;
  if (!live(model)) return tarvo::err::kNullArgument;
  return tarvo::err::kNotAvailable;
}

}  // extern "C"
