// Display names of rows and columns in the analysis logs and files: the
// model's own names, or the generated "R%07d" and "C%07d".
#pragma once

#include <string>

#include "model/model.hpp"

namespace tarvo::analysis {

std::string row_name(const base::Model &model, int i);
std::string col_name(const base::Model &model, int j);

}  // namespace tarvo::analysis
