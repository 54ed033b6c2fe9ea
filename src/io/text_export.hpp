// What the two algebraic text exports (MERLO and MPX) share: cleaned names,
// the row-wise view of the matrix, and the quadratic terms of each row.
#pragma once

#include <string>
#include <vector>

#include "model/model.hpp"

namespace tarvo::io {

// The name with blanks, tabs, line ends and + - < > = ! . ] replaced by '_'.
std::string clean_name(const std::string &name);

struct TextView {
  explicit TextView(const base::ModelData &d);
  std::vector<std::string> row, col;                         // cleaned names
  std::vector<std::vector<std::pair<int, double>>> entries;  // per row: (column, value)
  std::vector<std::vector<int>> quad;                        // per row (index m the objective): term positions
};

// 0 when the model can be exported; 2009 when it is not loaded.
int export_ready(const base::Model &model);

}  // namespace tarvo::io
