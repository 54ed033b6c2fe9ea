// The lazy statistics block of a model: counts by variable type, constraint
// type and bound kind, set memberships and coefficient extremes, recomputed
// on the first request after the data changed.
#pragma once

#include "model/model.hpp"

namespace tarvo::base {

// The model's statistics, recomputed first when stale. A model bound to an
// external solver keeps the block it has (the bridge owns the data then).
const Statistics &current_statistics(Model *model);

// Computes the block from the data alone (no caching).
Statistics compute_statistics(const ModelData &data);

// Length of a name pool up to the end of its furthest name, 0 without names:
// the size of the buffer a host needs for the whole pool.
int name_pool_extent(const NamePool &names, int count);

}  // namespace tarvo::base
