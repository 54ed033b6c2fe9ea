// Lexicographic optimisation over the model's objective pool.
#pragma once

#include "model/model.hpp"

namespace tarvo::mip {

bool has_objective_pool(const base::Model &model);
// Solves the pool's objectives in rank order; the last pass's solution is installed.
int solve_lexicographic(base::Model *model, int *status);

}  // namespace tarvo::mip
