// Accuracy check of the current factors against the kept B: solves B x = b and
// B^T y = c for fixed test vectors and returns the larger relative residual
// |r|_1 / (|b|_1 + |B|_1 |x|_1), the B^T side measured with |B|_inf.
#include <algorithm>
#include <cmath>
#include <vector>

#include "xlu/lu_internal.hpp"

namespace tarvo::xlu::detail {

double residual_test(Work& W) {
  const int m = W.m;
  if (m == 0) return 0.0;
  std::vector<double> b(static_cast<std::size_t>(m)), x(b.size()), r(b.size());
  for (int i = 0; i < m; ++i) b[i] = (i % 3 == 1 ? -1.0 : 1.0) * (1.0 + (i % 7) / 7.0);

  dense_ftran(W, b.data(), x.data());
  r = b;
  for (int j = 0; j < m; ++j)
    for (int p = W.B.begin[j]; p < W.B.end[j]; ++p) r[W.B.index[p]] -= W.B.value[p] * x[j];
  double nr = 0.0, nb = 0.0, nx = 0.0;
  for (int i = 0; i < m; ++i) {
    nr += std::fabs(r[i]);
    nb += std::fabs(b[i]);
    nx += std::fabs(x[i]);
  }
  const double f = nr / (nb + b_norm1(W) * nx);

  // b now plays c (indexed by positions); r becomes the residual of B^T y = c.
  dense_btran(W, b.data(), x.data());
  double nr2 = 0.0, ny = 0.0;
  for (int j = 0; j < m; ++j) {
    double s = b[j];
    for (int p = W.B.begin[j]; p < W.B.end[j]; ++p) s -= W.B.value[p] * x[W.B.index[p]];
    nr2 += std::fabs(s);
  }
  for (int i = 0; i < m; ++i) ny += std::fabs(x[i]);
  const double g = nr2 / (nb + b_norminf(W) * ny);
  const double worst = std::max(f, g);
  return std::isfinite(worst) ? worst : INFINITY;
}

namespace {

// r = a - B x into the update scratch; with kList the rows it touches are
// listed once each (for a sparse x), else the caller sweeps all of r.
template <bool kList>
int column_residual_into(Work& W, double* r, int* rows, double& amax, double& bmax, double& x1) {
  int* mark = W.mark.data();
  const int st = kList ? W.next_stamp() : 0;
  int nrows = 0;
  auto touch = [&](int i) {
    if (!kList || mark[i] == st) return;
    mark[i] = st;
    rows[nrows++] = i;
  };
  for (int k = 0; k < W.kept_col_nz; ++k) {
    const int i = W.kept_col_index[k];
    touch(i);
    r[i] += W.kept_col_value[k];
    amax = std::max(amax, std::fabs(W.kept_col_value[k]));
  }
  for (int k = 0; k < W.kept_x_nz; ++k) {
    const int j = W.kept_x_pat[k];
    const double x = W.kept_x_val[k];
    x1 += std::fabs(x);
    for (int p = W.B.begin[j]; p < W.B.end[j]; ++p) {
      const int i = W.B.index[p];
      touch(i);
      r[i] -= W.B.value[p] * x;
      bmax = std::max(bmax, std::fabs(W.B.value[p]));
    }
  }
  return nrows;
}

}  // namespace

// The column an update is about to bring in: a (row space) against B x with x
// by positions. Sparse in x, so the cost is that of the columns x touches: the
// residual gathers in the update scratch (zero between calls); a sparse x
// lists the rows it touches so that only those are read and cleared again.
double kept_column_residual(Work& W) {
  if (!W.valid || !W.kept || W.kept_bad) return W.kept_bad ? INFINITY : 0.0;
  double* r = W.uw.data();
  int* rows = W.upat.data();
  double amax = 0.0, bmax = 0.0, x1 = 0.0, rmax = 0.0;
  auto take = [&](int i) {
    rmax = std::max(rmax, std::fabs(r[i]));
    r[i] = 0.0;
  };
  // past a tenth of m the marks cost more than a sweep of all rows
  if (W.kept_x_nz <= W.m / 10) {
    const int nrows = column_residual_into<true>(W, r, rows, amax, bmax, x1);
    for (int k = 0; k < nrows; ++k) take(rows[k]);
  } else {
    column_residual_into<false>(W, r, rows, amax, bmax, x1);
    for (int i = 0; i < W.m; ++i) take(i);
  }
  const double scale = amax + bmax * x1;
  if (!std::isfinite(rmax)) return INFINITY;
  return scale > 0.0 ? rmax / scale : 0.0;
}

}  // namespace tarvo::xlu::detail
