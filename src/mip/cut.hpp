// A candidate cut and the variable space separators work in: the columns of
// the problem followed by the slacks of the LP rows (s_i = -a_i x), each with
// its global bounds, so that every cut derived here is valid in the whole tree.
#pragma once

#include <string>
#include <vector>

#include "mip/mip_problem.hpp"

namespace tarvo::simplex {
class LpSolver;
}

namespace tarvo::mip {

class CutPool;

// sum value[k] * x[index[k]] <= rhs over the problem's columns.
struct Cut {
  std::vector<int> index;
  std::vector<double> value;
  double rhs = 0;
  const char *tag = "";
  double efficacy = 0;  // violation / norm at the point it was separated from
  bool from_basis = false;  // built on a row of the optimal tableau (counted apart)
};

// Columns 0..n-1 and the slacks n..n+rows-1 of the node LP's rows.
struct ExtendedVars {
  int n = 0, rows = 0;
  std::vector<double> lo, up, x;
  std::vector<char> is_int;
  std::vector<char> known;  // false for LP rows neither in the problem nor in the pool

  // Builds the space from the problem's global bounds, the pool's cuts and the LP point.
  void build(const MipProblem &prob, const CutPool &pool, const simplex::LpSolver &lp);
};

// Row a_i of LP row i over the columns, its slack being s_i = -a_i x; views
// into the problem or the pool, valid while neither changes. False when row i
// is neither a problem row nor a pooled cut.
struct SlackRow {
  const int *index = nullptr;
  const double *value = nullptr;
  int len = 0;
};
bool slack_row(const MipProblem &prob, const CutPool &pool, int i, SlackRow &row);

// Appends coef * s_i over the columns: the slack of LP row i is s_i = -a_i x.
// False when row i is neither a problem row nor a pooled cut.
bool append_slack_row(const MipProblem &prob, const CutPool &pool, int i, double coef, std::vector<int> &index,
                      std::vector<double> &value);

// Limits every generated cut must pass before it reaches the pool.
struct CutSafety {
  double max_dynamism = 1e6;   // largest ratio of coefficient magnitudes
  double max_abs = 1e9;        // largest coefficient after scaling
  double min_efficacy = 1e-4;
};

// Makes the cut numerically safe: merges duplicate columns, relaxes
// coefficients below max|a|/max_dynamism into the right-hand side with the
// column's global bounds (rejecting the cut when that bound is infinite),
// rejects non-finite data and scales so the largest coefficient is one.
// False when the cut must not be used.
bool tidy_cut(Cut &cut, const MipProblem &prob, const CutSafety &safety);
// Violation divided by the Euclidean norm of the coefficients at x (n values).
double cut_efficacy(const Cut &cut, const double *x);
double cut_activity(const Cut &cut, const double *x);
// Cosine of the angle between two cuts; `dense` is a zero scratch array of size n.
double cut_parallelism(const Cut &a, const Cut &b, std::vector<double> &dense);
// Turns a dense column vector into a cut, dropping exact zeros.
void dense_to_cut(const std::vector<double> &dense, double rhs, Cut &cut);

}  // namespace tarvo::mip
