// The files of the IIS and IUS records: TARVO text (the default) and the
// MPS export of the same small model, chosen by the file name's extension.
#pragma once

#include "model/model.hpp"

namespace tarvo::analysis {

// TARVO text files; the model holds the record.
int write_iis_file(base::Model *model, const char *file);
int write_ius_file(base::Model *model, const char *file);

// The same sets as MPS files (a zero objective for the IIS).
int write_iis_mps(base::Model *model, const char *file);
int write_ius_mps(base::Model *model, const char *file);

}  // namespace tarvo::analysis
