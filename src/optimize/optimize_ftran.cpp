// TVdoFTRAN and TVdoBTRAN: solves with the basis kept by the last simplex run,
// taking and returning sparse vectors in the model's unscaled space.
#include "model/model.hpp"
#include "common/boundary.hpp"
#include "common/error_codes.hpp"

namespace tarvo::base {
namespace {

int solve_with_basis(Model *model, bool forward, int *inCount, int *inIndex, double *inValue, int *outCount,
                     int *outIndex, double *outValue) {
  if (!model->work) return err::kNotAvailable;
  return model->work->basis_solve(forward, inCount, inIndex, inValue, outCount, outIndex, outValue);
}

}  // namespace
}  // namespace tarvo::base

using namespace tarvo::base;

extern "C" TVAPI int TVdoFTRAN(pTVmodel model, int *inCount, int *inIndex, double *inValue, int *outCount,
                               int *outIndex, double *outValue) {
  if (!live(model)) return tarvo::err::kNullArgument;
  return tarvo::guarded([&] { return solve_with_basis(model, true, inCount, inIndex, inValue, outCount, outIndex, outValue); });
}

extern "C" TVAPI int TVdoBTRAN(pTVmodel model, int *inCount, int *inIndex, double *inValue, int *outCount,
                               int *outIndex, double *outValue) {
  if (!live(model)) return tarvo::err::kNullArgument;
  return tarvo::guarded([&] { return solve_with_basis(model, false, inCount, inIndex, inValue, outCount, outIndex, outValue); });
}
