// The profiler table of a model and TVgetProfilerInfo. The table is created
// by the first recording while profiling is on; a phase never entered reads
// as 0 calls and 0 seconds.
#include "env/profiler.hpp"

#include <cmath>

#include "common/boundary.hpp"
#include "common/error_codes.hpp"

namespace tarvo::base {

bool profiling_on(const Model &model) {
  return model.profiling || model.params.integer(TV_IPARAM_PROFILER_LEVEL) > 0;
}

void profiler_add(Model *model, int item, double seconds) {
  if (!model || item < kProfilerFirstItem || item > kProfilerLastItem || !profiling_on(*model)) return;
  if (model->profiler.empty()) model->profiler.resize(kProfilerLastItem - kProfilerFirstItem + 1);
  ProfilerSlot &slot = model->profiler[item - kProfilerFirstItem];
  ++slot.calls;
  if (seconds > 0 && std::isfinite(seconds)) slot.seconds += seconds;
}

void profiler_clear(Model *model) {
  if (model) model->profiler.clear();
}

int profiler_get(const Model &model, int item, int *calls, double *seconds) {
  if (item < kProfilerFirstItem || item > kProfilerLastItem) return err::kNotAvailable;
  if (model.profiler.empty()) return err::kNotAvailable;
  const ProfilerSlot &slot = model.profiler[item - kProfilerFirstItem];
  if (calls) *calls = slot.calls;
  if (seconds) *seconds = slot.seconds;
  return 0;
}

}  // namespace tarvo::base

using namespace tarvo::base;

extern "C" {

TVAPI int TVgetProfilerInfo(pTVmodel model, int item, int *calls, double *seconds) {
  if (!live(model)) return tarvo::err::kNullArgument;
  return tarvo::guarded([&] { return profiler_get(*model, item, calls, seconds); });
}

}  // extern "C"
