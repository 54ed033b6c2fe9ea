// The Markowitz search on large bumps: rows without an acceptable pivot must
// not make the search quadratic, and the bookkeeping that keeps them out of
// the search must not lose them (dense tail, dependent columns). Also the
// condition-controlled choice among acceptable pivots.
#include <gtest/gtest.h>

#include <cmath>

#include "lu_test_util.hpp"

using lutest::Basis;
using tarvo::xlu::Factor;
using tarvo::xlu::Options;

namespace {

// K diagonal copies of a random sparse block whose first `weak` rows are
// scaled down by 1e-3: their entries fail the column threshold test while the
// other rows of their columns are still active.
Basis weak_row_blocks(int K, int b, int weak, std::uint32_t seed) {
  const Basis blk = lutest::random_basis(b, 0.08, seed);
  Basis B(K * b);
  for (int k = 0; k < K; ++k)
    for (int j = 0; j < b; ++j)
      for (auto& e : blk.cols[j]) B.add(k * b + e.first, k * b + j, e.first < weak ? 1e-3 * e.second : e.second);
  return B;
}

std::int64_t factor_work_of(const Basis& B, int mode) {
  Options o;
  o.mode = mode;
  Factor f(B.m);
  EXPECT_EQ(f.set_options(o), 0);
  EXPECT_EQ(B.factorize(f), 0);
  EXPECT_LT(lutest::ftran_residual(f, B, 5), 1e-10);
  EXPECT_LT(lutest::btran_residual(f, B, 6), 1e-10);
  return f.factor_work();
}

}  // namespace

TEST(LuPivotSearch, WorkGrowsLinearlyWithCopiesOfBlocksWithWeakRows) {
  // Rescanning the weak rows at every pivot made 64 copies cost about 64 times
  // more per copy than one copy.
  const std::int64_t one = factor_work_of(weak_row_blocks(1, 80, 30, 11), 1);
  const std::int64_t many = factor_work_of(weak_row_blocks(64, 80, 30, 11), 1);
  EXPECT_LT(many, 4 * 64 * one) << "one copy " << one << ", 64 copies " << many;
}

TEST(LuPivotSearch, WeakRowsAreNeitherLostNorMisreportedInAnyMode) {
  // Weak rows, a dense block that triggers the dense tail, and one column that
  // is a multiple of another: every mode finds rank m-1, reports the same
  // dependent column and solves the repaired matrix.
  const int b = 120;
  Basis B = weak_row_blocks(1, b, 40, 3);
  std::mt19937 rng(8);
  std::uniform_real_distribution<double> val(0.5, 1.0);
  for (int j = 60; j < 100; ++j)
    for (int i = 60; i < 100; ++i)
      if ((i + j) % 3 != 0) B.add(i, j, val(rng));
  B.cols[110] = B.cols[70];
  for (auto& e : B.cols[110]) e.second *= -2.0;
  for (int mode = 0; mode <= 2; ++mode) {
    Options o;
    o.mode = mode;
    Factor f(B.m);
    ASSERT_EQ(f.set_options(o), 0);
    EXPECT_EQ(B.factorize(f), tarvo::xlu::kSingular) << "mode " << mode;
    EXPECT_EQ(f.rank(), B.m - 1) << "mode " << mode;
    ASSERT_EQ(f.dependent_positions().size(), 1u);
    const int dep = f.dependent_positions()[0];
    EXPECT_TRUE(dep == 70 || dep == 110) << "mode " << mode << " dependent " << dep;
    Basis R = B;
    R.cols[dep] = {{f.uncovered_rows()[0], 1.0}};
    EXPECT_LT(lutest::ftran_residual(f, R, 1), 1e-10) << "mode " << mode;
    EXPECT_LT(lutest::btran_residual(f, R, 2), 1e-10) << "mode " << mode;
    if (mode == 2) {
      EXPECT_GT(f.info().dense_size, 0);
    }
  }
}

TEST(LuPivotSearch, ConditionControlAvoidsTinyPivotsWhenAStableOneExists) {
  // Columns of two entries: a small one (1e-4) in a short row and 1 in a
  // longer one. The loose threshold accepts the small entries, whose rows are
  // cheaper; condition control takes the unit entries, which cost more fill
  // but keep min|pivot|/max|pivot| at the threshold or above.
  const int m = 60;
  Basis B(m);
  for (int j = 0; j < m / 2; ++j) {
    B.add(j, j, 1e-4);               // row j: short
    B.add(m / 2 + j, j, 1.0);
    B.add(m / 2 + (j + 1) % (m / 2), j, 0.5);
  }
  for (int j = m / 2; j < m; ++j) {
    B.add(j - m / 2, j, 1.0);
    B.add(j, j, 3.0);
    B.add(m / 2 + (j + 3) % (m / 2), j, 0.25);
  }
  auto rcond_with = [&](double min_rcond) {
    Options o;
    o.rel_pivot_tol = 1e-5;
    o.mode = 1;
    o.min_rcond = min_rcond;
    Factor f(m);
    EXPECT_EQ(f.set_options(o), 0);
    EXPECT_EQ(B.factorize(f), 0);
    EXPECT_LT(lutest::ftran_residual(f, B, 4), 1e-9);
    return f.rcond();
  };
  const double loose = rcond_with(0.0);
  const double controlled = rcond_with(0.01);
  EXPECT_LT(loose, 1e-3);
  EXPECT_GT(controlled, 10 * loose);
  Options bad;
  bad.min_rcond = std::nan("");
  Factor f(m);
  EXPECT_NE(f.set_options(bad), 0);
  bad.min_rcond = 1.5;
  EXPECT_NE(f.set_options(bad), 0);
}
