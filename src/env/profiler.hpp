// Per-model profiler table: call counts and accumulated seconds of solver
// phases, items 12000 to 12499. Solvers record through profiler_add; hosts
// read with TVgetProfilerInfo.
#pragma once

#include "model/model.hpp"

namespace tarvo::base {

inline constexpr int kProfilerFirstItem = 12000;
inline constexpr int kProfilerLastItem = 12499;

// Profiling is on when the model's switch is set or TV_IPARAM_PROFILER_LEVEL is positive.
bool profiling_on(const Model &model);

// Records one call of phase `item` lasting `seconds`. Does nothing while
// profiling is off or for an item outside the range; a negative or NaN
// duration counts as a call of 0 seconds, so the totals stay meaningful.
void profiler_add(Model *model, int item, double seconds);

// Forgets every recorded phase (the table disappears, as if profiling had been off).
void profiler_clear(Model *model);

// Reads one phase; 2009 for an item outside the range or when nothing was
// ever recorded for this model (profiling was off).
int profiler_get(const Model &model, int item, int *calls, double *seconds);

}  // namespace tarvo::base
