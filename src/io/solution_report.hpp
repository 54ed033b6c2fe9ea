// Solution files: the full report (with optional ranging sections) and the
// short column listing, written from the model's solution through the public
// queries.
#pragma once

#include <cstdio>
#include <string>

#include "model/model.hpp"

namespace tarvo::io {

// Kinds of TVwriteSolutionOfType: 0-2 full report (2 with ranging), 3 short
// LP listing, 4 short MIP listing.
int write_solution(base::Model *model, const char *file_name, int type);

// The kind written for a TV_IPARAM_SOL_REPORT_STYLE value: 1 the short
// listing (MIP form when an integer solution exists), 2 the report with
// ranging, anything else the plain report.
int solution_type_for_style(const base::Model &model, int style);

// Basis status names padded to 15 characters, as the files write them.
const char *basis_status_name(int status);
// The status of a name written by basis_status_name (blanks ignored); false when unknown.
bool parse_basis_status(const std::string &name, int *status);

}  // namespace tarvo::io
