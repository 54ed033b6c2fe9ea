// Special structures rewritten with binaries and big-M rows so that the tree
// sees only integer columns and linear rows: SOS1, SOS2, SOS3 and cardinality
// sets, semicontinuous columns, indicator rows and all-different groups. Auxiliary columns and rows are appended
// after the user's, so dropping them restores the user's shape.
#pragma once

#include "model/model.hpp"

namespace tarvo::mip {

struct WorkingProblem;
struct Builder;
using AllDiffGroups = base::AllDiffData;

// Appends the auxiliary columns and rows to out->prob (column-wise; the
// row-wise copy is built afterwards) and writes the log notes.
int reformulate_special(const base::ModelData &d, double lbigm, WorkingProblem *out);
// The parts of reformulate_special that rewrite rows.
int reformulate_indicators(const base::ModelData &d, double bigm, Builder &b);
int reformulate_alldiff(const base::ModelData &d, Builder &b);

}  // namespace tarvo::mip
