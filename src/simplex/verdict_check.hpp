// Certificates behind the infeasible and unbounded verdicts of the simplex,
// verified on the unscaled model: a verdict whose certificate fails is not
// given, the driver keeps solving instead.
#pragma once

#include <vector>

#include "model/model.hpp"
#include "simplex/glp.hpp"

namespace tarvo::simplex {

// Farkas test of row multipliers y' (scaled row space, dimension m): y^T (A x + s)
// is 0 for every solution, so when its range over the bounds of x and of the row
// activities s stays away from 0 by more than tol * ||y||_1, every point of the
// box violates some row by more than tol. Either sign of y is accepted.
bool farkas_certifies(const Glp &g, const base::ModelData &d, const std::vector<double> &y_scaled, double tol);

// Primal ray test of a direction dz' (scaled, dimension n+m): A dx + ds = 0,
// moves only towards infinite bounds, and strictly improves the objective.
bool primal_ray_certifies(const Glp &g, const base::ModelData &d, const std::vector<double> &dz_scaled);

// The current point of g satisfies the unscaled rows and bounds (violation
// within 10 tol, within tol in scaled units, or at the rounding level).
bool point_feasible(const Glp &g, const base::ModelData &d, double tol);

// The certificate the last run left in g.ray for its verdict (XSTAT_INF or
// XSTAT_UNB); other exits need none.
bool verdict_certified(const Glp &g, const base::ModelData &d, double feastol);

}  // namespace tarvo::simplex
