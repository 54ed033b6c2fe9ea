// Repair of a target correlation matrix that is not positive definite: a
// diagonal shift, alternating projections with Dykstra's correction, and
// Newton's method on the dual of the nearest-correlation-matrix problem,
// tried in that order as selected by a bit mask.
#pragma once

#include "stoc/dense_linalg.hpp"

namespace tarvo::stoc {

struct NcmOptions {
  int methods = 5;  // 1 diagonal shift, 2 alternating projections, 4 Newton
  int iteration_limit = 100;
  double tolerance = 1e-7;
  double max_distance = 1e30;  // Frobenius distance allowed from the target
  double shift_increment = 1e-6;
  double shift_max = 0.01;
};

inline constexpr int kNcmShift = 1;
inline constexpr int kNcmProjections = 2;
inline constexpr int kNcmNewton = 4;

// Leaves a positive definite unit-diagonal matrix in `c`; false when no
// selected method reached one within the limits (c is then unchanged).
bool repair_correlation(Matrix &c, int n, const NcmOptions &opt);

// The individual methods: each returns a unit-diagonal positive
// semidefinite approximation of `target` (not yet checked for definiteness).
bool ncm_alternating_projections(const Matrix &target, int n, const NcmOptions &opt, Matrix &out);
bool ncm_newton(const Matrix &target, int n, const NcmOptions &opt, Matrix &out);

}  // namespace tarvo::stoc
