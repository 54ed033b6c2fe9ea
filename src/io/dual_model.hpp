// The part of the explicit LP dual's layout that the dual solve needs to map
// bases back: which primal rows get a second dual column for their range.
#pragma once

#include <functional>

#include "model/model.hpp"

namespace tarvo::io {

// Whether row i of the primal has a range that the dual must price on its
// own: 0 when not (no range, a zero, NaN or infinite one, an infinite
// right-hand side, a free row); otherwise *far_end is the end of the row
// interval opposite to b, and the result is +1 when that is the upper end,
// -1 when it is the lower end. The extra dual columns ("YR_") come after the
// bound columns, one per such row, in row order.
int range_column_side(const base::ModelData &d, int i, double *far_end);

// Builds the explicit dual of `model` with the objective sense asked for in a
// temporary model and hands it to `use` (a writer); its code is returned.
int with_dual_model(pTVmodel model, int objSense, const std::function<int(pTVmodel)> &use);

}  // namespace tarvo::io
