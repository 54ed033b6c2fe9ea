// Dense symmetric kernels (see dense_linalg.hpp). The eigen solver follows
// the classic tred2/tql2 pair; every iteration count is bounded.
#include "stoc/dense_linalg.hpp"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace tarvo::stoc {

bool cholesky_lower(const Matrix &a, int n, Matrix &l) {
  l.assign(static_cast<std::size_t>(n) * n, 0.0);
  for (int j = 0; j < n; ++j) {
    double d = a[j * n + j];
    for (int k = 0; k < j; ++k) d -= l[j * n + k] * l[j * n + k];
    if (!(d > 0)) return false;
    double djj = std::sqrt(d);
    l[j * n + j] = djj;
    for (int i = j + 1; i < n; ++i) {
      double s = a[i * n + j];
      for (int k = 0; k < j; ++k) s -= l[i * n + k] * l[j * n + k];
      l[i * n + j] = s / djj;
    }
  }
  return true;
}

namespace {

void tridiagonalize(Matrix &V, int n, std::vector<double> &d, std::vector<double> &e) {
  auto v = [&](int i, int j) -> double & { return V[static_cast<std::size_t>(i) * n + j]; };
  for (int j = 0; j < n; ++j) d[j] = v(n - 1, j);
  for (int i = n - 1; i > 0; --i) {
    double scale = 0, h = 0;
    for (int k = 0; k < i; ++k) scale += std::fabs(d[k]);
    if (scale == 0) {
      e[i] = d[i - 1];
      for (int j = 0; j < i; ++j) {
        d[j] = v(i - 1, j);
        v(i, j) = 0;
        v(j, i) = 0;
      }
    } else {
      for (int k = 0; k < i; ++k) {
        d[k] /= scale;
        h += d[k] * d[k];
      }
      double f = d[i - 1];
      double g = std::sqrt(h);
      if (f > 0) g = -g;
      e[i] = scale * g;
      h -= f * g;
      d[i - 1] = f - g;
      for (int j = 0; j < i; ++j) e[j] = 0;
      for (int j = 0; j < i; ++j) {
        f = d[j];
        v(j, i) = f;
        g = e[j] + v(j, j) * f;
        for (int k = j + 1; k <= i - 1; ++k) {
          g += v(k, j) * d[k];
          e[k] += v(k, j) * f;
        }
        e[j] = g;
      }
      f = 0;
      for (int j = 0; j < i; ++j) {
        e[j] /= h;
        f += e[j] * d[j];
      }
      double hh = f / (h + h);
      for (int j = 0; j < i; ++j) e[j] -= hh * d[j];
      for (int j = 0; j < i; ++j) {
        f = d[j];
        g = e[j];
        for (int k = j; k <= i - 1; ++k) v(k, j) -= (f * e[k] + g * d[k]);
        d[j] = v(i - 1, j);
        v(i, j) = 0;
      }
    }
    d[i] = h;
  }
  for (int i = 0; i < n - 1; ++i) {
    v(n - 1, i) = v(i, i);
    v(i, i) = 1;
    double h = d[i + 1];
    if (h != 0) {
      for (int k = 0; k <= i; ++k) d[k] = v(k, i + 1) / h;
      for (int j = 0; j <= i; ++j) {
        double g = 0;
        for (int k = 0; k <= i; ++k) g += v(k, i + 1) * v(k, j);
        for (int k = 0; k <= i; ++k) v(k, j) -= g * d[k];
      }
    }
    for (int k = 0; k <= i; ++k) v(k, i + 1) = 0;
  }
  for (int j = 0; j < n; ++j) {
    d[j] = v(n - 1, j);
    v(n - 1, j) = 0;
  }
  v(n - 1, n - 1) = 1;
  e[0] = 0;
}

bool diagonalize(Matrix &V, int n, std::vector<double> &d, std::vector<double> &e) {
  auto v = [&](int i, int j) -> double & { return V[static_cast<std::size_t>(i) * n + j]; };
  for (int i = 1; i < n; ++i) e[i - 1] = e[i];
  e[n - 1] = 0;
  double f = 0, tst1 = 0;
  const double eps = std::ldexp(1.0, -52);
  for (int l = 0; l < n; ++l) {
    tst1 = std::max(tst1, std::fabs(d[l]) + std::fabs(e[l]));
    int m = l;
    while (m < n - 1 && std::fabs(e[m]) > eps * tst1) ++m;
    if (m > l) {
      int iterations = 0;
      do {
        if (++iterations > 100) return false;
        double g = d[l];
        double p = (d[l + 1] - g) / (2 * e[l]);
        double r = std::hypot(p, 1.0);
        if (p < 0) r = -r;
        d[l] = e[l] / (p + r);
        d[l + 1] = e[l] * (p + r);
        double dl1 = d[l + 1];
        double h = g - d[l];
        for (int i = l + 2; i < n; ++i) d[i] -= h;
        f += h;
        p = d[m];
        double c = 1, c2 = 1, c3 = 1, el1 = e[l + 1], s = 0, s2 = 0;
        for (int i = m - 1; i >= l; --i) {
          c3 = c2;
          c2 = c;
          s2 = s;
          g = c * e[i];
          h = c * p;
          r = std::hypot(p, e[i]);
          e[i + 1] = s * r;
          s = e[i] / r;
          c = p / r;
          p = c * d[i] - s * g;
          d[i + 1] = h + s * (c * g + s * d[i]);
          for (int k = 0; k < n; ++k) {
            h = v(k, i + 1);
            v(k, i + 1) = s * v(k, i) + c * h;
            v(k, i) = c * v(k, i) - s * h;
          }
        }
        p = -s * s2 * c3 * el1 * e[l] / dl1;
        e[l] = s * p;
        d[l] = c * p;
      } while (std::fabs(e[l]) > eps * tst1);
    }
    d[l] += f;
    e[l] = 0;
  }
  return true;
}

}  // namespace

bool symmetric_eigen(const Matrix &a, int n, std::vector<double> &values, Matrix &vectors) {
  Matrix V = a;
  std::vector<double> d(static_cast<std::size_t>(n)), e(static_cast<std::size_t>(n));
  if (n == 0) {
    values.clear();
    vectors.clear();
    return true;
  }
  tridiagonalize(V, n, d, e);
  if (!diagonalize(V, n, d, e)) return false;
  std::vector<int> order(static_cast<std::size_t>(n));
  std::iota(order.begin(), order.end(), 0);
  std::sort(order.begin(), order.end(), [&](int x, int y) { return d[x] < d[y]; });
  values.resize(static_cast<std::size_t>(n));
  vectors.assign(static_cast<std::size_t>(n) * n, 0.0);
  for (int k = 0; k < n; ++k) {
    values[k] = d[order[k]];
    for (int i = 0; i < n; ++i) vectors[i * n + k] = V[i * n + order[k]];
  }
  return true;
}

double frobenius_distance(const Matrix &a, const Matrix &b) {
  double s = 0;
  for (std::size_t i = 0; i < a.size(); ++i) s += (a[i] - b[i]) * (a[i] - b[i]);
  return std::sqrt(s);
}

}  // namespace tarvo::stoc
