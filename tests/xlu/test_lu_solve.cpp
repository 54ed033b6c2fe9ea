// FTRAN/BTRAN through the sparse and the dense kernels: same answers, correct
// patterns, statistics that count the kernel used, and the sparse-vector
// interfaces a simplex uses (arrays in, row of the inverse).
#include <gtest/gtest.h>

#include <cmath>

#include "lu_test_util.hpp"

using lutest::Basis;
using tarvo::xlu::Factor;
using tarvo::xlu::Options;
using tarvo::xlu::Vector;

namespace {

Options with_thresholds(double t) {
  Options o;
  o.spvtol_ftran = o.spvtol_btran = t;
  return o;
}

// A unit-vector rhs gives a sparse result on an LP-like basis.
Vector unit(int m, int i, double v = 1.0) {
  Vector u(m);
  u.array[i] = v;
  u.index[0] = i;
  u.count = 1;
  return u;
}

void expect_pattern_covers(const Vector& v) {
  std::vector<char> listed(v.size(), 0);
  for (int k = 0; k < v.count; ++k) listed[v.index[k]] = 1;
  for (int i = 0; i < v.size(); ++i)
    if (v.array[i] != 0.0) {
      EXPECT_TRUE(listed[i]) << "value outside the pattern at " << i;
    }
}

}  // namespace

TEST(LuSolve, SparseAndDenseKernelsAgreeOnFtranAndBtran) {
  const int m = 3000;
  Basis B = lutest::lp_basis(m, 0.6, 4, 31);
  Factor sparse(m), dense(m);
  ASSERT_EQ(sparse.set_options(with_thresholds(1.0)), 0);
  ASSERT_EQ(dense.set_options(with_thresholds(0.0)), 0);
  ASSERT_EQ(B.factorize(sparse), 0);
  ASSERT_EQ(B.factorize(dense), 0);
  for (int t = 0; t < 40; ++t) {
    const int i = (t * 977) % m;
    Vector a = unit(m, i, 1.0 + t), b = unit(m, i, 1.0 + t);
    ASSERT_EQ(sparse.ftran(a), 0);
    ASSERT_EQ(dense.ftran(b), 0);
    expect_pattern_covers(a);
    expect_pattern_covers(b);
    EXPECT_LT(lutest::rel_diff(a.array, b.array), 1e-14);
    std::vector<double> e(m, 0.0);
    e[i] = 1.0 + t;
    EXPECT_LT(lutest::rel_diff(B.times(a.array), e), 1e-13);

    Vector c = unit(m, i), d = unit(m, i);
    ASSERT_EQ(sparse.btran(c), 0);
    ASSERT_EQ(dense.btran(d), 0);
    expect_pattern_covers(c);
    EXPECT_LT(lutest::rel_diff(c.array, d.array), 1e-14);
    std::vector<double> ei(m, 0.0);
    ei[i] = 1.0;
    EXPECT_LT(lutest::rel_diff(B.ttimes(c.array), ei), 1e-13);
  }
  EXPECT_EQ(sparse.stats().ftran_sparse, 40);
  EXPECT_EQ(sparse.stats().btran_sparse, 40);
  EXPECT_EQ(dense.stats().ftran_dense, 40);
  EXPECT_EQ(dense.stats().btran_dense, 40);
}

TEST(LuSolve, DenseRightHandSideGoesDenseAndStaysCorrect) {
  const int m = 500;
  Basis B = lutest::random_basis(m, 0.01, 8);
  Factor f(m);
  ASSERT_EQ(B.factorize(f), 0);
  Vector v(m);
  auto b = lutest::random_vector(m, 9);
  v.array = b;
  v.count = -1;  // pattern unknown
  ASSERT_EQ(f.ftran(v), 0);
  expect_pattern_covers(v);
  EXPECT_LT(lutest::rel_diff(B.times(v.array), b), 1e-12);
  EXPECT_EQ(f.stats().ftran_dense, 1);
}

TEST(LuSolve, ArrayInterfacesAndRowOfInverse) {
  const int m = 400;
  Basis B = lutest::lp_basis(m, 0.5, 5, 12);
  Factor f(m);
  ASSERT_EQ(B.factorize(f), 0);
  // Sparse arrays in; duplicates add up.
  int idx[3] = {5, 77, 5};
  double val[3] = {1.0, -2.0, 0.5};
  Vector out(m);
  ASSERT_EQ(f.ftran(3, idx, val, out), 0);
  std::vector<double> b(m, 0.0);
  b[5] = 1.5;
  b[77] = -2.0;
  EXPECT_LT(lutest::rel_diff(B.times(out.array), b), 1e-13);
  ASSERT_EQ(f.btran(3, idx, val, out), 0);
  EXPECT_LT(lutest::rel_diff(B.ttimes(out.array), b), 1e-13);

  // Row p of B^-1: r^T B = e_p^T.
  for (int p : {0, 17, m - 1}) {
    ASSERT_EQ(f.row_of_inverse(p, out), 0);
    expect_pattern_covers(out);
    auto c = B.ttimes(out.array);
    std::vector<double> ep(m, 0.0);
    ep[p] = 1.0;
    EXPECT_LT(lutest::rel_diff(c, ep), 1e-13);
  }
  EXPECT_EQ(f.stats().binvi_sparse + f.stats().binvi_dense, 3);

  // Bad arguments: wrong size, index out of range, count above m.
  Vector small(m - 1);
  EXPECT_EQ(f.ftran(small), tarvo::xlu::kInvalidInput);
  EXPECT_EQ(f.btran(small), tarvo::xlu::kInvalidInput);
  int bad[1] = {m};
  EXPECT_EQ(f.ftran(1, bad, val, out), tarvo::xlu::kInvalidInput);
  EXPECT_EQ(f.ftran(m + 1, idx, val, out), tarvo::xlu::kInvalidInput);
  EXPECT_EQ(f.row_of_inverse(m, out), tarvo::xlu::kInvalidInput);
  EXPECT_EQ(f.row_of_inverse(-1, out), tarvo::xlu::kInvalidInput);
  // The factors are untouched by refused calls.
  EXPECT_LT(lutest::ftran_residual(f, B, 2), 1e-13);
}

TEST(LuSolve, WorkspaceIsCleanAcrossManyMixedCalls) {
  // Stale values left in the workspace would leak into later results.
  const int m = 800;
  Basis B = lutest::lp_basis(m, 0.4, 6, 44);
  Factor f(m);
  ASSERT_EQ(B.factorize(f), 0);
  for (int t = 0; t < 60; ++t) {
    const int i = (t * 131) % m;
    if (t % 3 == 0) {
      Vector v = unit(m, i);
      ASSERT_EQ(f.ftran(v), 0);
      std::vector<double> e(m, 0.0);
      e[i] = 1.0;
      EXPECT_LT(lutest::rel_diff(B.times(v.array), e), 1e-13);
    } else if (t % 3 == 1) {
      EXPECT_LT(lutest::btran_residual(f, B, t), 1e-13);
    } else {
      EXPECT_LT(lutest::ftran_residual(f, B, t), 1e-13);
    }
  }
}

// A BTRAN off the sparse path runs L' by rows (skipping zeros) while its
// results stay thin and by inner products once they fill up: both forms must
// solve B' y = c, and agree on the same right-hand side.
TEST(LuSolve, BtranByRowsAndByInnerProductsAgree) {
  const int m = 2000;
  Basis B = lutest::lp_basis(m, 0.5, 5, 77);
  Factor f(m);
  ASSERT_EQ(f.set_options(with_thresholds(0.0)), 0);  // never the sparse search
  ASSERT_EQ(B.factorize(f), 0);
  auto thin_then_full = [&](int i) {
    Vector c = unit(m, i, 2.0);
    EXPECT_EQ(f.btran(c), 0);
    expect_pattern_covers(c);
    std::vector<double> e(m, 0.0);
    e[i] = 2.0;
    EXPECT_LT(lutest::rel_diff(B.ttimes(c.array), e), 1e-12) << "row " << i;
    return c.array;
  };
  std::vector<std::vector<double>> first;
  for (int t = 0; t < 20; ++t) first.push_back(thin_then_full((t * 389) % m));
  // full right-hand sides push the running density up
  for (int t = 0; t < 40; ++t) {
    Vector v = lutest::to_vector(lutest::random_vector(m, 100 + t));
    ASSERT_EQ(f.btran(v), 0);
  }
  for (int t = 0; t < 20; ++t)
    EXPECT_LT(lutest::rel_diff(thin_then_full((t * 389) % m), first[t]), 1e-12) << "rhs " << t;
  EXPECT_EQ(f.stats().btran_sparse, 0);
}
