// Norms and condition figures. rcond is the cheap indicator min|d|/max|d| over
// the U diagonal, times the worst relative pivot of the product-form etas; it
// is kept through updates. The condition estimates multiply a norm of the kept
// B by a Hager-Higham estimate of the matching norm of B^-1 (at most five
// FTRAN/BTRAN pairs plus Higham's alternating test vector).
#include <algorithm>
#include <cmath>
#include <vector>

#include "xlu/lu_internal.hpp"

namespace tarvo::xlu::detail {

namespace {
void rcond_from_extremes(Work& W) {
  double r = W.m == 0 ? 1.0 : (W.diag_max > 0.0 ? W.diag_min / W.diag_max : 0.0);
  if (!W.ft) r *= W.pf_rcond;
  W.rcond_cache = r;
}
}  // namespace

void recompute_rcond(Work& W) {
  double dmin = INFINITY, dmax = 0.0;
  int nmin = 0, nmax = 0;
  for (int a = 0; a < W.m; ++a) {
    const double d = std::fabs(W.diag[a]);
    if (d < dmin) {
      dmin = d;
      nmin = 0;
    }
    if (d == dmin) ++nmin;
    if (d > dmax) {
      dmax = d;
      nmax = 0;
    }
    if (d == dmax) ++nmax;
  }
  W.diag_min = dmin;
  W.diag_max = dmax;
  W.diag_nmin = nmin;
  W.diag_nmax = nmax;
  rcond_from_extremes(W);
}

// Counting the diagonals at each extreme keeps this O(1) unless the only one
// at an extreme leaves (slack bases have many equal diagonals).
void rcond_after_update(Work& W, double old_value, double new_value) {
  const double o = std::fabs(old_value), n = std::fabs(new_value);
  if ((o == W.diag_min && --W.diag_nmin == 0) || (o == W.diag_max && --W.diag_nmax == 0)) {
    recompute_rcond(W);
    return;
  }
  if (n < W.diag_min) {
    W.diag_min = n;
    W.diag_nmin = 1;
  } else if (n == W.diag_min) {
    ++W.diag_nmin;
  }
  if (n > W.diag_max) {
    W.diag_max = n;
    W.diag_nmax = 1;
  } else if (n == W.diag_max) {
    ++W.diag_nmax;
  }
  rcond_from_extremes(W);
}

void refresh_rcond(Work& W) { rcond_from_extremes(W); }

double b_norm1(const Work& W) {
  double best = 0.0;
  for (int j = 0; j < W.m; ++j) {
    double s = 0.0;
    for (int p = W.B.begin[j]; p < W.B.end[j]; ++p) s += std::fabs(W.B.value[p]);
    best = std::max(best, s);
  }
  return best;
}

double b_norminf(const Work& W) {
  std::vector<double> rows(static_cast<std::size_t>(W.m), 0.0);
  for (int j = 0; j < W.m; ++j)
    for (int p = W.B.begin[j]; p < W.B.end[j]; ++p) rows[W.B.index[p]] += std::fabs(W.B.value[p]);
  double best = 0.0;
  for (double s : rows) best = std::max(best, s);
  return best;
}

double inverse_norm1_estimate(Work& W, bool transposed) {
  const int m = W.m;
  if (m == 0) return 0.0;
  std::vector<double> x(static_cast<std::size_t>(m), 1.0 / m), y(x.size()), z(x.size());
  // A^-1 is B^-1 (rows -> positions) or, transposed, B^-T (positions -> rows).
  auto apply = [&](const double* in, double* out) {
    if (transposed) dense_btran(W, in, out);
    else dense_ftran(W, in, out);
  };
  auto apply_t = [&](const double* in, double* out) {
    if (transposed) dense_ftran(W, in, out);
    else dense_btran(W, in, out);
  };
  double est = 0.0;
  int last_j = -1;
  for (int iter = 0; iter < 5; ++iter) {
    apply(x.data(), y.data());
    double ny = 0.0;
    for (double v : y) ny += std::fabs(v);
    if (!std::isfinite(ny)) return INFINITY;
    if (iter > 0 && ny <= est) break;
    est = ny;
    for (int i = 0; i < m; ++i) z[i] = y[i] >= 0.0 ? 1.0 : -1.0;
    apply_t(z.data(), y.data());
    int j = 0;
    double zmax = -1.0, ztx = 0.0;
    for (int i = 0; i < m; ++i) {
      ztx += y[i] * x[i];
      if (std::fabs(y[i]) > zmax) {
        zmax = std::fabs(y[i]);
        j = i;
      }
    }
    if (iter > 0 && (zmax <= ztx || j == last_j)) break;
    last_j = j;
    std::fill(x.begin(), x.end(), 0.0);
    x[j] = 1.0;
  }
  // Higham's test vector guards against unlucky sign patterns.
  for (int i = 0; i < m; ++i)
    x[i] = (i % 2 ? -1.0 : 1.0) * (1.0 + (m > 1 ? static_cast<double>(i) / (m - 1) : 0.0));
  apply(x.data(), y.data());
  double ny = 0.0;
  for (double v : y) ny += std::fabs(v);
  return std::max(est, 2.0 * ny / (3.0 * m));
}

}  // namespace tarvo::xlu::detail
