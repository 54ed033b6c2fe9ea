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

}  // namespace tarvo::xlu::detail
