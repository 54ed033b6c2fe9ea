// Small dense symmetric linear algebra for correlation matrices: Cholesky
// factor and the symmetric eigen-decomposition (Householder reduction to
// tridiagonal form and the implicit QL method). Matrices are row-major n x n.
#pragma once

#include <vector>

namespace tarvo::stoc {

using Matrix = std::vector<double>;

// Lower factor L with A = L L^T; false when A is not positive definite.
bool cholesky_lower(const Matrix &a, int n, Matrix &l);

// Eigenvalues ascending in `values`, eigenvector i in column i of `vectors`.
// False if the QL iteration did not converge (it always does in practice).
bool symmetric_eigen(const Matrix &a, int n, std::vector<double> &values, Matrix &vectors);

// V diag(f(values)) V^T.
template <class F>
Matrix eigen_rebuild(const std::vector<double> &values, const Matrix &vectors, int n, F &&f) {
  Matrix out(static_cast<std::size_t>(n) * n, 0.0);
  for (int k = 0; k < n; ++k) {
    double w = f(values[k]);
    if (w == 0) continue;
    for (int i = 0; i < n; ++i) {
      double vi = vectors[i * n + k] * w;
      if (vi == 0) continue;
      for (int j = 0; j < n; ++j) out[i * n + j] += vi * vectors[j * n + k];
    }
  }
  return out;
}

double frobenius_distance(const Matrix &a, const Matrix &b);

}  // namespace tarvo::stoc
