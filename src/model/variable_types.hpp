// The rules a variable type imposes on its column, shared by the type loader,
// the type modifier and the column additions.
#pragma once

#include "model/model.hpp"

namespace tarvo::base {

// Applies the rule of `*type` to column j. C and I are taken as they are. B
// needs a lower bound of at most 1 and an upper bound of at least 0 (else
// 2047), clamps the bounds into [0, 1] and turns into C when they are then
// equal (*type is rewritten). S sets *semicontinuous and leaves the bounds;
// the caller stores C and records the variable as semicontinuous. Any other
// character gives 2041 and changes nothing.
int normalise_variable_type(ModelData &data, int j, char *type, bool *semicontinuous);

}  // namespace tarvo::base
