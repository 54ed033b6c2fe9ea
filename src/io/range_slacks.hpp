// Ranged rows as the readers store them: the row becomes an equation and a
// bounded slack column "slk%05d" carries the width of the range (numbers
// taken by the model's own columns are skipped).
#pragma once

#include <vector>

#include "tarvo.h"

namespace tarvo::io {

struct RangeSlacks {
  std::vector<int> row;
  std::vector<double> coef, upper;  // slack coefficient in the row, slack upper bound
  std::vector<int> retype;          // rows to turn into equations
  bool empty() const { return row.empty(); }
};

// Appends the slack columns (lower bound 0) and retypes the rows; a return code.
int add_range_slacks(pTVmodel model, const RangeSlacks &slacks);

}  // namespace tarvo::io
