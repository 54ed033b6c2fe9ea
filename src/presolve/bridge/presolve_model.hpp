// Conversions between the model store and the presolve engine's problem.
#pragma once

#include "model/model.hpp"
#include "presolve/presolve.hpp"

namespace tarvo::base {

// The model's linear part as min (sense * c)'x with row ranges; integrality
// flags when `with_types` and the model has types.
presolve::LinearProblem problem_of(const ModelData &d, bool with_types = false);

// Loads a problem (minimisation) into an empty model. With `names_from` and
// `map`, rows and columns take the names of their originals.
int load_problem(Model *model, const presolve::LinearProblem &p, const Model *names_from,
                 const presolve::Result *map);

// Loads the reduced problem of `r` into the empty model `into`, in the
// objective sense of `from` (whose names the rows and columns keep), with
// integer types when the problem has integer flags.
int load_reduced(const Model &from, const presolve::Result &r, Model *into);

// The integer presolve of `p` (the MIP driver's working copy as a
// minimisation) for the MIP driver (presolve_mip.cpp). The driver passes its
// state; `ontop` selects TV_IPARAM_MIP_PRELEVEL (root) or
// TV_IPARAM_MIP_PRELEVEL_TREE. On return result->outcome says what happened;
// for kReduced, result->reduced is the problem to solve (minimisation, with
// result->reduced.integer flags and result->reduced.offset the constant) and presolve::postsolve maps its
// solution back (primal values; duals and basis for the LP relaxation).
// result->implied_integer and result->cliques are for the tree.
struct MipState {
  double objective = 1e30, cutoff = 1e30, time_limit = -1;
  int status = TV_STATUS_UNKNOWN;
};
int mip_presolve(Model *model, const presolve::LinearProblem &p, bool ontop, const MipState &state,
                 presolve::Result *result);

}  // namespace tarvo::base
