// Row-wise copy and the feasibility check of candidate points.
#include "mip/mip_problem.hpp"

#include <algorithm>
#include <cmath>

namespace tarvo::mip {

void MipProblem::build_rows() {
  row_start.assign(m + 1, 0);
  const int nz = col_start.empty() ? 0 : col_start[n];
  for (int k = 0; k < nz; ++k) row_start[col_index[k] + 1]++;
  for (int i = 0; i < m; ++i) row_start[i + 1] += row_start[i];
  row_index.assign(nz, 0);
  row_value.assign(nz, 0.0);
  std::vector<int> fill(row_start.begin(), row_start.end() - 1);
  for (int j = 0; j < n; ++j)
    for (int k = col_start[j]; k < col_start[j + 1]; ++k) {
      const int at = fill[col_index[k]]++;
      row_index[at] = j;
      row_value[at] = col_value[k];
    }
}

Violation check_point(const MipProblem &p, const double *x, double int_tol) {
  Violation v;
  for (int j = 0; j < p.n; ++j) {
    if (!std::isfinite(x[j])) {
      v.bound = INFINITY;
      continue;
    }
    v.bound = std::max({v.bound, p.col_lo[j] - x[j], x[j] - p.col_up[j]});
    if (p.is_int[j]) v.integrality = std::max(v.integrality, std::fabs(x[j] - std::round(x[j])));
  }
  for (int i = 0; i < p.m; ++i) {
    double a = 0;
    for (int k = p.row_start[i]; k < p.row_start[i + 1]; ++k) a += p.row_value[k] * x[p.row_index[k]];
    v.row = std::max({v.row, p.row_lo[i] - a, a - p.row_up[i]});
  }
  (void)int_tol;
  return v;
}

double objective_of(const MipProblem &p, const double *x) {
  double s = p.obj_constant;
  for (int j = 0; j < p.n; ++j) s += p.c[j] * x[j];
  return s;
}

}  // namespace tarvo::mip
