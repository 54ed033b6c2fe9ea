// Conversions between the model store and the presolve engine's problem.
#pragma once

#include "base/model.hpp"
#include "presolve/presolve.hpp"

namespace tarvo::base {

// The model's linear part as min (sense * c)'x with row ranges; integrality
// flags when `with_types` and the model has types.
presolve::LinearProblem problem_of(const ModelData &d, bool with_types = false);

// Loads a problem (minimisation) into an empty model. With `names_from` and
// `map`, rows and columns take the names of their originals.
int load_problem(Model *model, const presolve::LinearProblem &p, const Model *names_from,
                 const presolve::Result *map);

}  // namespace tarvo::base
