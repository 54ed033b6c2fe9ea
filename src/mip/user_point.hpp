// Checks of a point against the user's own model (bounds, rows, integrality),
// for start points, offers and the rounded MIP solution.
#pragma once

#include <vector>

#include "model/model.hpp"

namespace tarvo::mip {

struct UserPointCheck {
  double objective = 0;       // with the objective constant, in the user's sense
  double infeasibility = 0;   // largest violation of a bound or row
  double integrality = 0;     // largest distance of an integer column from an integer
};

UserPointCheck check_user_point(const base::ModelData &d, const std::vector<double> &x);

}  // namespace tarvo::mip
