// The problem the branch-and-bound tree works on: a minimisation over columns
// with bounds and integrality, rows with activity bounds, column- and row-wise.
// Reformulations and presolve produce it from the user's model; cuts,
// heuristics and branching read it and never change it.
#pragma once

#include <vector>

namespace tarvo::mip {

struct MipProblem {
  int m = 0, n = 0;
  double obj_constant = 0;          // added to c^T x
  std::vector<double> c;            // minimisation costs (the user's negated for a maximisation)
  std::vector<double> col_lo, col_up;
  std::vector<double> row_lo, row_up;  // activity bounds, +-1e30 for none
  std::vector<char> is_int;         // 1 for integer columns (binaries included)
  // Column-wise matrix.
  std::vector<int> col_start, col_index;
  std::vector<double> col_value;
  // Row-wise copy of the same matrix.
  std::vector<int> row_start, row_index;
  std::vector<double> row_value;

  bool is_binary(int j) const { return is_int[j] && col_lo[j] == 0.0 && col_up[j] == 1.0; }
  // Fills the row-wise copy from the column-wise matrix.
  void build_rows();
};

// Largest violation of bounds, rows and integrality (within int_tol) by x;
// the check every candidate incumbent passes before it is accepted.
struct Violation {
  double bound = 0, row = 0, integrality = 0;
};
Violation check_point(const MipProblem &p, const double *x, double int_tol);
double objective_of(const MipProblem &p, const double *x);

}  // namespace tarvo::mip
