// Test helpers for the LU kernel: column-wise sparse matrices, generators of
// random and LP-like bases, products and residuals.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <random>
#include <utility>
#include <vector>

#include "xlu/xlu.hpp"

namespace lutest {

struct Basis {
  int m = 0;
  std::vector<std::vector<std::pair<int, double>>> cols;

  explicit Basis(int dim = 0) : m(dim), cols(static_cast<std::size_t>(dim)) {}
  void add(int i, int j, double v) { cols[j].push_back({i, v}); }

  // Compressed form for factorize().
  struct Csc {
    std::vector<int> begin, end, index;
    std::vector<double> value;
  };
  Csc csc() const {
    Csc c;
    for (int j = 0; j < m; ++j) {
      c.begin.push_back(static_cast<int>(c.index.size()));
      for (auto& e : cols[j]) {
        c.index.push_back(e.first);
        c.value.push_back(e.second);
      }
      c.end.push_back(static_cast<int>(c.index.size()));
    }
    if (c.index.empty()) {  // keep data() non-null
      c.index.push_back(0);
      c.value.push_back(0.0);
    }
    return c;
  }
  int factorize(tarvo::xlu::Factor& f) const {
    Csc c = csc();
    return f.factorize(c.begin.data(), c.end.data(), c.index.data(), c.value.data());
  }
  // y = B x (x by positions, y by rows)
  std::vector<double> times(const std::vector<double>& x) const {
    std::vector<double> y(m, 0.0);
    for (int j = 0; j < m; ++j)
      for (auto& e : cols[j]) y[e.first] += e.second * x[j];
    return y;
  }
  // c = B^T y (y by rows, c by positions)
  std::vector<double> ttimes(const std::vector<double>& y) const {
    std::vector<double> c(m, 0.0);
    for (int j = 0; j < m; ++j)
      for (auto& e : cols[j]) c[j] += e.second * y[e.first];
    return c;
  }
  std::int64_t nnz() const {
    std::int64_t n = 0;
    for (auto& c : cols) n += static_cast<std::int64_t>(c.size());
    return n;
  }
};

inline double max_abs(const std::vector<double>& v) {
  double r = 0.0;
  for (double x : v) r = std::max(r, std::fabs(x));
  return r;
}

// |a - b|_inf / max(1, |b|_inf)
inline double rel_diff(const std::vector<double>& a, const std::vector<double>& b) {
  double d = 0.0;
  for (std::size_t i = 0; i < a.size(); ++i) d = std::max(d, std::fabs(a[i] - b[i]));
  return d / std::max(1.0, max_abs(b));
}

// Random sparse matrix with a permuted diagonal of magnitude >= 1 (so it is
// structurally and, in practice, numerically nonsingular).
inline Basis random_basis(int m, double density, std::uint32_t seed) {
  std::mt19937 rng(seed);
  std::uniform_real_distribution<double> val(-1.0, 1.0);
  std::uniform_int_distribution<int> row(0, m - 1);
  std::vector<int> perm(m);
  for (int i = 0; i < m; ++i) perm[i] = i;
  std::shuffle(perm.begin(), perm.end(), rng);
  Basis B(m);
  const int per_col = std::max(0, static_cast<int>(density * m) - 1);
  for (int j = 0; j < m; ++j) {
    std::vector<int> rows{perm[j]};
    for (int k = 0; k < per_col; ++k) rows.push_back(row(rng));
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    for (int i : rows) {
      double v = val(rng);
      if (i == perm[j]) v = (v < 0 ? -1.0 : 1.0) * (1.0 + 2.0 * std::fabs(v));
      B.add(i, j, v);
    }
  }
  return B;
}

// LP-like basis: a share of slack columns, the rest short structural columns
// with one guaranteed entry in a row no slack covers.
inline Basis lp_basis(int m, double slack_share, int col_len, std::uint32_t seed) {
  std::mt19937 rng(seed);
  std::uniform_real_distribution<double> val(-1.0, 1.0);
  std::uniform_int_distribution<int> row(0, m - 1);
  std::vector<int> perm(m);
  for (int i = 0; i < m; ++i) perm[i] = i;
  std::shuffle(perm.begin(), perm.end(), rng);
  const int nslack = static_cast<int>(slack_share * m);
  Basis B(m);
  std::vector<int> order(m);
  for (int j = 0; j < m; ++j) order[j] = j;
  std::shuffle(order.begin(), order.end(), rng);
  for (int k = 0; k < m; ++k) {
    const int j = order[k];
    if (k < nslack) {
      B.add(perm[k], j, 1.0);
      continue;
    }
    std::vector<int> rows{perm[k]};
    for (int t = 1; t < col_len; ++t) rows.push_back(row(rng));
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    for (int i : rows) B.add(i, j, i == perm[k] ? 2.0 + val(rng) : val(rng));
  }
  return B;
}

inline std::vector<double> random_vector(int m, std::uint32_t seed) {
  std::mt19937 rng(seed);
  std::uniform_real_distribution<double> val(-1.0, 1.0);
  std::vector<double> v(m);
  for (auto& x : v) x = val(rng);
  return v;
}

// Solve B x = b through the dense interface.
inline std::vector<double> solve(tarvo::xlu::Factor& f, std::vector<double> b) {
  f.ftran_dense(b.data());
  return b;
}
inline std::vector<double> solve_t(tarvo::xlu::Factor& f, std::vector<double> c) {
  f.btran_dense(c.data());
  return c;
}

// Relative residuals of B x = b and B^T y = c for random right-hand sides.
inline double ftran_residual(tarvo::xlu::Factor& f, const Basis& B, std::uint32_t seed) {
  auto b = random_vector(B.m, seed);
  auto x = solve(f, b);
  auto bx = B.times(x);
  return rel_diff(bx, b) / std::max(1.0, max_abs(x));
}
inline double btran_residual(tarvo::xlu::Factor& f, const Basis& B, std::uint32_t seed) {
  auto c = random_vector(B.m, seed);
  auto y = solve_t(f, c);
  auto bty = B.ttimes(y);
  return rel_diff(bty, c) / std::max(1.0, max_abs(y));
}

// Vector helpers
inline tarvo::xlu::Vector to_vector(const std::vector<double>& d) {
  tarvo::xlu::Vector v(static_cast<int>(d.size()));
  for (int i = 0; i < static_cast<int>(d.size()); ++i) {
    if (d[i] != 0.0) {
      v.array[i] = d[i];
      v.index[v.count++] = i;
    }
  }
  return v;
}
inline std::vector<double> dense_of(const tarvo::xlu::Vector& v) { return v.array; }

}  // namespace lutest
