// Sensitivity ranges from the optimal basis of the last simplex run: how far
// each cost and each right-hand side may move with the basis staying optimal.
#pragma once

#include <vector>

#include "model/model.hpp"

namespace tarvo::io {

struct Ranges {
  std::vector<double> cost_decrease, cost_increase;  // per column, 1e30 for no limit
  std::vector<double> rhs_decrease, rhs_increase;    // per row
};

// 0, or 2009 when there is no optimal basis to range on.
int compute_ranges(base::Model *model, Ranges *out);

}  // namespace tarvo::io
