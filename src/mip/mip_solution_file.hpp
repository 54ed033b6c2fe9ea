// A plain text file of the installed MIP solution: status, objective, then
// one line per column with its name (or index) and value.
#pragma once

#include "model/model.hpp"

namespace tarvo::mip {

// 0, 2009 without a readable MIP solution, 2002 when the file cannot be written.
int write_mip_solution(const base::Model &model, const char *path);

}  // namespace tarvo::mip
