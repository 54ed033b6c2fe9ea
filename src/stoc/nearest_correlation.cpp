// Nearest correlation matrix (see nearest_correlation.hpp). The Newton method
// minimises theta(y) = 1/2 ||(G + diag y)_+||^2 - sum(y), solving each Newton
// system by conjugate gradients with the generalised Jacobian, and a
// backtracking line search; the projections method follows Higham's
// algorithm with Dykstra's correction.
#include "stoc/nearest_correlation.hpp"

#include <algorithm>
#include <cmath>

namespace tarvo::stoc {
namespace {

Matrix psd_part(const Matrix &a, int n, double floor_value) {
  std::vector<double> values;
  Matrix vectors;
  if (!symmetric_eigen(a, n, values, vectors)) return a;
  return eigen_rebuild(values, vectors, n, [&](double l) { return std::max(l, floor_value); });
}

// D^-1/2 A D^-1/2: unit diagonal, definiteness kept.
void unit_diagonal(Matrix &a, int n) {
  std::vector<double> s(static_cast<std::size_t>(n));
  for (int i = 0; i < n; ++i) s[i] = a[i * n + i] > 0 ? 1.0 / std::sqrt(a[i * n + i]) : 1.0;
  for (int i = 0; i < n; ++i)
    for (int j = 0; j < n; ++j) a[i * n + j] *= s[i] * s[j];
  for (int i = 0; i < n; ++i) a[i * n + i] = 1.0;
}

// (A + delta I) / (1 + delta) for the smallest delta, in steps of the
// increment up to the maximum, that makes A factorable.
bool shift_until_definite(Matrix &a, int n, const NcmOptions &opt) {
  Matrix l;
  if (cholesky_lower(a, n, l)) return true;
  const double inc = opt.shift_increment > 0 ? opt.shift_increment : 1e-6;
  std::vector<double> values;
  Matrix vectors;
  if (!symmetric_eigen(a, n, values, vectors)) return false;
  double delta = inc * (std::floor(std::max(0.0, -values.front()) / inc) + 1);
  for (int tries = 0; tries < 16 && delta <= opt.shift_max; ++tries, delta += inc) {
    Matrix b = a;
    for (int i = 0; i < n; ++i) b[i * n + i] += delta;
    for (double &v : b) v /= 1 + delta;
    for (int i = 0; i < n; ++i) b[i * n + i] = 1.0;
    if (cholesky_lower(b, n, l)) {
      a.swap(b);
      return true;
    }
  }
  return false;
}

}  // namespace

bool ncm_alternating_projections(const Matrix &target, int n, const NcmOptions &opt, Matrix &out) {
  Matrix y = target, ds(target.size(), 0.0), x;
  for (int it = 0; it < std::max(1, opt.iteration_limit); ++it) {
    Matrix r = y;
    for (std::size_t k = 0; k < r.size(); ++k) r[k] -= ds[k];
    x = psd_part(r, n, 0.0);
    for (std::size_t k = 0; k < r.size(); ++k) ds[k] = x[k] - r[k];
    Matrix previous = y;
    y = x;
    for (int i = 0; i < n; ++i) y[i * n + i] = 1.0;
    const double norm = std::max(1e-300, frobenius_distance(y, Matrix(y.size(), 0.0)));
    double change = std::max(frobenius_distance(y, x), frobenius_distance(y, previous)) / norm;
    if (change < opt.tolerance) break;
  }
  // A unit-diagonal projection onto the semidefinite cone ends the sweep.
  out = psd_part(y, n, 0.0);
  unit_diagonal(out, n);
  return true;
}

bool ncm_newton(const Matrix &target, int n, const NcmOptions &opt, Matrix &out) {
  const std::size_t nn = static_cast<std::size_t>(n) * n;
  std::vector<double> y(static_cast<std::size_t>(n), 0.0);
  for (int i = 0; i < n; ++i) y[i] = 1.0 - target[i * n + i];
  std::vector<double> lambda;
  Matrix P;
  auto decompose = [&](const std::vector<double> &yy) {
    Matrix x = target;
    for (int i = 0; i < n; ++i) x[i * n + i] += yy[i];
    return symmetric_eigen(x, n, lambda, P);
  };
  auto theta = [&](const std::vector<double> &yy) {
    double s = 0;
    for (double l : lambda) s += l > 0 ? l * l : 0.0;
    double t = 0;
    for (double v : yy) t += v;
    return 0.5 * s - t;
  };
  auto gradient = [&]() {
    std::vector<double> f(static_cast<std::size_t>(n), -1.0);
    for (int i = 0; i < n; ++i)
      for (int k = 0; k < n; ++k)
        if (lambda[k] > 0) f[i] += P[i * n + k] * P[i * n + k] * lambda[k];
    return f;
  };
  if (!decompose(y)) return false;
  double value = theta(y);
  std::vector<double> f = gradient();
  Matrix omega(nn), m(nn);
  for (int it = 0; it < std::max(1, opt.iteration_limit); ++it) {
    double fnorm = 0;
    for (double v : f) fnorm += v * v;
    if (std::sqrt(fnorm) <= opt.tolerance) break;
    for (int i = 0; i < n; ++i)
      for (int j = 0; j < n; ++j) {
        double li = lambda[i], lj = lambda[j];
        double pi = std::max(li, 0.0), pj = std::max(lj, 0.0);
        omega[i * n + j] = li == lj ? (li > 0 ? 1.0 : 0.0) : (pi - pj) / (li - lj);
      }
    // Generalised Jacobian times h: diag(P (Omega o (P^T diag(h) P)) P^T), plus a
    // small regularisation that keeps the system positive definite.
    auto jacobian = [&](const std::vector<double> &h, std::vector<double> &out_h) {
      for (int a = 0; a < n; ++a)
        for (int b = a; b < n; ++b) {
          double s = 0;
          for (int k = 0; k < n; ++k) s += P[k * n + a] * h[k] * P[k * n + b];
          m[a * n + b] = m[b * n + a] = s * omega[a * n + b];
        }
      for (int i = 0; i < n; ++i) {
        double s = 0;
        for (int a = 0; a < n; ++a) {
          double pa = P[i * n + a];
          if (pa == 0) continue;
          double t = 0;
          for (int b = 0; b < n; ++b) t += m[a * n + b] * P[i * n + b];
          s += pa * t;
        }
        out_h[i] = s + 1e-10 * h[i];
      }
    };
    std::vector<double> d(static_cast<std::size_t>(n), 0.0), r(static_cast<std::size_t>(n)),
        p(static_cast<std::size_t>(n)), q(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) r[i] = -f[i];
    p = r;
    double rr = fnorm;
    const double cg_tol = std::min(1e-2, std::sqrt(fnorm)) * std::sqrt(fnorm);
    for (int cg = 0; cg < 2 * n + 10 && std::sqrt(rr) > cg_tol; ++cg) {
      jacobian(p, q);
      double pq = 0;
      for (int i = 0; i < n; ++i) pq += p[i] * q[i];
      if (!(pq > 0)) break;
      double alpha = rr / pq;
      for (int i = 0; i < n; ++i) {
        d[i] += alpha * p[i];
        r[i] -= alpha * q[i];
      }
      double rr_new = 0;
      for (double v : r) rr_new += v * v;
      for (int i = 0; i < n; ++i) p[i] = r[i] + rr_new / rr * p[i];
      rr = rr_new;
    }
    double slope = 0;
    for (int i = 0; i < n; ++i) slope += f[i] * d[i];
    if (!(slope < 0)) {  // not a descent direction: fall back to the gradient
      for (int i = 0; i < n; ++i) d[i] = -f[i];
      slope = -fnorm;
    }
    double step = 1;
    std::vector<double> trial(static_cast<std::size_t>(n));
    bool moved = false;
    for (int ls = 0; ls < 30; ++ls, step *= 0.5) {
      for (int i = 0; i < n; ++i) trial[i] = y[i] + step * d[i];
      if (!decompose(trial)) return false;
      double v = theta(trial);
      if (v <= value + 1e-4 * step * slope) {
        y = trial;
        value = v;
        moved = true;
        break;
      }
    }
    if (!moved) {
      if (!decompose(y)) return false;
      break;
    }
    f = gradient();
  }
  out = eigen_rebuild(lambda, P, n, [](double l) { return std::max(l, 0.0); });
  unit_diagonal(out, n);
  return true;
}

bool repair_correlation(Matrix &c, int n, const NcmOptions &opt) {
  Matrix l;
  if (cholesky_lower(c, n, l)) return true;
  const int order[3] = {kNcmShift, kNcmProjections, kNcmNewton};
  for (int method : order) {
    if (!(opt.methods & method)) continue;
    Matrix candidate = c;
    bool ok;
    if (method == kNcmShift) {
      ok = shift_until_definite(candidate, n, opt);
    } else {
      ok = method == kNcmProjections ? ncm_alternating_projections(c, n, opt, candidate)
                                     : ncm_newton(c, n, opt, candidate);
      // The nearest matrix lies on the boundary of the cone; a small shift
      // makes it factorable.
      ok = ok && shift_until_definite(candidate, n, opt);
    }
    if (ok && frobenius_distance(candidate, c) <= opt.max_distance) {
      c.swap(candidate);
      return true;
    }
  }
  return false;
}

}  // namespace tarvo::stoc
