// The simplex main entry used by the optimize dispatcher: builds or reuses the
// work object, runs the dual or primal simplex with the switch loop, and
// writes the unscaled solution into the model's solution record.
#pragma once

#include <memory>

#include "model/model.hpp"

namespace tarvo::simplex {

struct LpResult {
  int xstat = 0;       // XSTAT_... of the last run
  int run_code = 0;    // internal code: 0 ok, 2 out of memory, 3 numerical, 9 interrupt
  double iterations = 0;
  bool warm = false;   // started from a kept or stored basis
  bool scaled = false;
  int method = 0;            // method of the last pass (TV_METHOD_PSIMPLEX or TV_METHOD_DSIMPLEX)
  long long factorizations = 0, factor_ok = 0, factor_stable = 0;
  double seconds = 0;        // into the solve phase when the run ended
};

// method 1 primal, anything else dual. cold: discard any kept work object.
LpResult run_simplex(base::Model &model, int method, bool cold, int scale_override);

// Installs x, duals, slacks, reduced costs, basis and objective from the work
// object into model.solution (which must exist). Returns false without a work object.
bool install_solution(base::Model &model);

// A fresh work object for the model holding the given basis (column then row
// statuses), so that the next solve re-optimises warm from it; null when the
// basis does not fit.
std::unique_ptr<base::SolverWork> work_with_basis(base::Model &model, const int *colStatus,
                                            const int *rowStatus);

}  // namespace tarvo::simplex
