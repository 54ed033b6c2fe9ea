// Entry of the integer solver for the dispatcher and the exported calls:
// builds the working problem from the model, runs the tree and installs the
// MIP solution record.
#pragma once

#include "mip/mip_settings.hpp"
#include "model/model.hpp"

namespace tarvo::mip {

// The body of TVsolveMIPSerial; *status (may be null) gets the MIP status.
// `restarts` (may be null: the defaults) replaces the root-restart policy.
int solve_mip_serial(base::Model *model, int *status, const RestartPolicy *restarts = nullptr);
// The body of TVsolveMIP: thread decision, then the serial or concurrent run.
int solve_mip(base::Model *model, int *status);

}  // namespace tarvo::mip
