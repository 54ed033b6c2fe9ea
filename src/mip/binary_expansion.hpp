// Rewrites of integer models into other variable domains on a copy of the
// model: general integers as sums of binaries (for the k-best search, whose
// contra-cuts need 0/1 columns) and binaries as -1/+1 columns.
#pragma once

#include <vector>

#include "model/model.hpp"

namespace tarvo::mip {

// A copy of `model` that keeps the log functions and the MIP solution record,
// for solver passes that must leave the host's model as loaded. Null with
// *code set on failure.
base::Model *copy_for_solve(base::Model *model, int *code);

// Where each user column went in the binary copy: kept columns by index,
// a general integer x_j as x_j = offset_j + sum_k 2^k b_(first_j + k).
struct BinaryExpansion {
  base::Model *model = nullptr;  // the copy; the caller deletes it
  std::vector<int> kept;         // user column -> column of the copy, -1 when expanded
  std::vector<int> first, bits;  // per user column: first binary and count
  std::vector<double> offset;
  // The user's point of a point of the copy.
  std::vector<double> collapse(const std::vector<double> &xb) const;
};

// Builds the binary copy and, when `solve`, solves it from the expanded MIP
// solution of the model (when one is installed). 2029 for a continuous model
// or one whose special structure cannot be carried over.
int expand_general_integers(base::Model *model, bool solve, BinaryExpansion *out);

}  // namespace tarvo::mip
