// The working copy the tree solves: the user's data in minimisation form,
// with special structures rewritten as binaries and rows, and the MipProblem
// view of it. Columns and rows of the user's model come first.
#pragma once

#include <string>
#include <vector>

#include "model/model.hpp"
#include "mip/mip_problem.hpp"

namespace tarvo::mip {

struct WorkingProblem {
  base::ModelData data;   // minimisation form, sense 1
  MipProblem prob;
  int user_n = 0, user_m = 0;
  int sense = 1;          // of the user's model
  bool bounds_conflict = false;  // an integer column has no integer value within its bounds
  bool bigm_raised = false;      // the reformulations needed more than TV_DPARAM_MIP_LBIGM
  std::vector<std::string> notes;  // log lines of the reformulation
};

// The LP data of a problem (one-sided rows; the node LP takes the exact
// activity bounds afterwards).
void problem_to_lp_data(const MipProblem &p, base::ModelData *out);

// Builds the working copy; `lbigm` bounds the big-M coefficients of the
// reformulations (raised with a note when a bound involved is larger).
// The LP data of a MipProblem (minimisation, one-sided row types; the exact
// row bounds are set on the LP after loading).
void problem_to_lp_data(const MipProblem &p, base::ModelData *out);

int build_working_problem(const base::ModelData &d, double lbigm, double int_tol, WorkingProblem *out);

}  // namespace tarvo::mip
