// Dual proofs: when a node's LP is empty or cannot beat the cutoff, its
// multipliers combine the LP rows (and the objective row) into a single
// inequality that the node's bounds violate. Relaxed with the global bounds
// it holds for every solution worth finding, so it can prune other nodes in
// bound propagation without solving their LPs.
#pragma once

#include <vector>

#include "mip/mip_problem.hpp"
#include "simplex/lp_solver.hpp"

namespace tarvo::mip {

// sum value[k] x[index[k]] <= rhs, over integer columns only.
struct ProofRow {
  std::vector<int> index;
  std::vector<double> value;
  double rhs = 0;
};

// Bounds a proof is relaxed with (global: valid for the whole search) and
// the bounds it must be violated by (local: the node's).
struct ProofBox {
  const std::vector<double> &glo, &gup;
  const std::vector<double> &llo, &lup;
};

struct ProofLimits {
  int max_len = 100;         // longer proofs are rarely violated by other nodes
  double max_range = 1e6;    // largest over smallest coefficient kept
};

// Longest proof worth keeping for a problem of n columns.
int proof_length_limit(int n);

// Combines the rows of `lp` with multipliers `mult` (row i taken as
// mult_i a_i x <= mult_i times its upper bound, or lower bound for a negative
// multiplier; rows without that bound are left out) and, when `cost` is not
// null, the row cost^T x <= obj_rhs. Continuous columns and negligible
// coefficients are replaced by their global bounds. True (and *out filled)
// when the result is short, numerically sane and violated by the local box.
bool combine_proof(const simplex::LpSolver &lp, const std::vector<double> &mult, const std::vector<double> *cost,
                   double obj_rhs, const std::vector<char> &is_int, const ProofBox &box, const ProofLimits &lim,
                   ProofRow *out);

// The proof of the last solve of `lp` (bounds of the node in its columns):
// from the infeasibility multipliers when it was empty, from the duals and
// the objective row c^T x + constant <= cutoff when it was cut off.
bool dual_proof_from_lp(const simplex::LpSolver &lp, const MipProblem &p, double cutoff,
                        const std::vector<double> &glo, const std::vector<double> &gup, const ProofLimits &lim,
                        ProofRow *out);

}  // namespace tarvo::mip
