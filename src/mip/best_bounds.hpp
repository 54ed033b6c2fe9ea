// Column bounds that every feasible point of a model keeps: the declared
// bounds tightened by propagation over the rows (and the rows the special
// structures are rewritten into), integer bounds rounded inwards.
#pragma once

#include <vector>

#include "model/model.hpp"

namespace tarvo::mip {

// Fills lo and up with n values. 0, or 2009 when the model is proven to
// have no feasible point (the bounds cross), or the working copy's error.
int best_bounds(const base::Model &model, std::vector<double> *lo, std::vector<double> *up);

}  // namespace tarvo::mip
