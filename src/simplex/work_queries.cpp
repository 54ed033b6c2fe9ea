// What the optimize dispatcher may read from a kept simplex work object: the
// facts its solution check needs, the basis hash, a condition estimate, a
// consistency count of the basis bookkeeping, and solves with the basis
// (TVdoFTRAN, TVdoBTRAN) in the model's unscaled space.
#include <algorithm>
#include <cmath>
#include <vector>

#include "common/error_codes.hpp"
#include "simplex/glp.hpp"
#include "simplex/trace.hpp"

namespace tarvo::simplex {

base::SolverWork::Facts Glp::facts() const {
  Facts f;
  f.has_basis = have_basis;
  f.m = m;
  f.n = n;
  f.primal_tol = ptol;
  f.dual_tol = dtol;
  if (static_cast<int>(row_scale.size()) == m && static_cast<int>(col_scale.size()) == n) {
    f.row_scale = &row_scale;
    f.col_scale = &col_scale;
  }
  return f;
}

double Glp::internal_violation() const {
  double v = 0;
  const int nt = static_cast<int>(std::min({x.size(), lower.size(), upper.size()}));
  for (int j = 0; j < nt; ++j) v = std::max({v, lower[j] - x[j], x[j] - upper[j]});
  return v;
}

unsigned long long Glp::basis_hash() const { return have_basis ? simplex::basis_hash(*this) : 0; }

double Glp::condition_estimate() {
  if (!factored || m == 0 || !lu.valid() || lu.dim() != m) return 1.0;
  const double c = lu.cond2est();
  return std::isfinite(c) && c >= 1 ? c : 1.0;
}

int Glp::basis_errors(int *basic) const {
  const int nt = n + m;
  int errors = 0;
  *basic = 0;
  if (static_cast<int>(head.size()) != m || static_cast<int>(state.size()) != nt ||
      static_cast<int>(where.size()) != nt)
    return 1;
  std::vector<char> seen(nt, 0);
  for (int p = 0; p < m; ++p) {
    const int j = head[p];
    if (j < 0 || j >= nt || seen[j]) {
      ++errors;
      continue;
    }
    seen[j] = 1;
    if (state[j] != kBasic || where[j] != p) ++errors;
  }
  for (int j = 0; j < nt; ++j) *basic += state[j] == kBasic;
  if (*basic != m) ++errors;
  return errors;
}

// FTRAN: the input is indexed by rows, the result by basic positions.
// BTRAN: the input by basic positions, the result by rows.
int Glp::basis_solve(bool forward, const int *inCount, const int *inIndex, const double *inValue, int *outCount,
                     int *outIndex, double *outValue) {
  Glp *g = this;
  if (!g->have_basis) return err::kNotAvailable;
  const int m = g->m;
  if (!inCount || !outCount || !outIndex || !outValue) return err::kNullArgument;
  const int nz = *inCount;
  if (nz < 0 || nz > m) return err::kIndexOutOfRange;
  if (nz > 0 && (!inIndex || !inValue)) return err::kNullArgument;
  for (int k = 0; k < nz; ++k)
    if (inIndex[k] < 0 || inIndex[k] >= m) return err::kIndexOutOfRange;
  if (!g->factored || g->wfact != WFACT_NO) {
    if (refactor(*g) != 0) return err::kNumerical;
  }
  // The scaled basis is B' = R B D with D the column scale of a basic
  // structural and 1/r_i for the slack (unit column e_i) of row i.
  std::vector<double> v(m, 0.0);
  auto basis_scale = [&](int p) {
    int j = g->head[p];
    return j < g->n ? g->col_scale[j] : 1.0 / g->row_scale[j - g->n];
  };
  if (forward) {
    // B x = a  <=>  B' (S^-1 x) = R a
    for (int k = 0; k < nz; ++k) v[inIndex[k]] += inValue[k] * g->row_scale[inIndex[k]];
    g->lu.ftran_dense(v.data(), false);
    for (int p = 0; p < m; ++p) v[p] *= basis_scale(p);
  } else {
    // y^T B = c^T  <=>  (R^-1 y)^T B' = (S c)^T
    for (int k = 0; k < nz; ++k) v[inIndex[k]] += inValue[k] * basis_scale(inIndex[k]);
    g->lu.btran_dense(v.data());
    for (int i = 0; i < m; ++i) v[i] *= g->row_scale[i];
  }
  int c = 0;
  for (int i = 0; i < m; ++i)
    if (v[i] != 0.0) {
      outIndex[c] = i;
      outValue[c++] = v[i];
    }
  *outCount = c;
  return 0;
}


}  // namespace tarvo::simplex
