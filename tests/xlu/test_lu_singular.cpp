// Rank detection on structurally and numerically singular bases, the repaired
// factorisation that replaces dependent columns by unit columns, and the
// condition figures on well and badly conditioned matrices.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "lu_test_util.hpp"

using lutest::Basis;
using tarvo::xlu::Factor;
using tarvo::xlu::Options;

namespace {

// B with each dependent column replaced by the unit column of its uncovered row.
Basis repaired(const Basis& B, const Factor& f) {
  Basis R = B;
  const auto& dep = f.dependent_positions();
  const auto& unc = f.uncovered_rows();
  EXPECT_EQ(dep.size(), unc.size());
  for (std::size_t k = 0; k < dep.size() && k < unc.size(); ++k) {
    R.cols[dep[k]].clear();
    R.add(unc[k], dep[k], 1.0);
  }
  return R;
}

void expect_repair_is_exact(const Basis& B, Factor& f) {
  Basis R = repaired(B, f);
  EXPECT_LT(lutest::ftran_residual(f, R, 11), 1e-12);
  EXPECT_LT(lutest::btran_residual(f, R, 12), 1e-12);
  Factor g(B.m);
  EXPECT_EQ(R.factorize(g), 0) << "repaired basis must be nonsingular";
}

}  // namespace

TEST(LuSingular, DuplicateColumnsLoseOneRank) {
  Basis B = lutest::random_basis(60, 0.1, 5);
  B.cols[17] = B.cols[42];
  Factor f(60);
  ASSERT_EQ(B.factorize(f), tarvo::xlu::kSingular);
  EXPECT_EQ(f.rank(), 59);
  ASSERT_EQ(f.dependent_positions().size(), 1u);
  const int d = f.dependent_positions()[0];
  EXPECT_TRUE(d == 17 || d == 42) << d;
  expect_repair_is_exact(B, f);
}

TEST(LuSingular, ZeroColumnsAndEmptyRowsAreReported) {
  // Slack basis with columns 3 and 7 empty; rows 3 and 7 then have no entry.
  Basis B(10);
  for (int j = 0; j < 10; ++j)
    if (j != 3 && j != 7) B.add(j, j, 1.0);
  Factor f(10);
  ASSERT_EQ(B.factorize(f), tarvo::xlu::kSingular);
  EXPECT_EQ(f.rank(), 8);
  EXPECT_EQ(f.dependent_positions(), (std::vector<int>{3, 7}));
  EXPECT_EQ(f.uncovered_rows(), (std::vector<int>{3, 7}));
  expect_repair_is_exact(B, f);
  // A structurally singular pattern: two columns confined to one row.
  Basis S(4);
  S.add(0, 0, 1.0);
  S.add(0, 1, 2.0);
  S.add(1, 2, 1.0);
  S.add(2, 2, 1.0);
  S.add(3, 3, 1.0);
  S.add(2, 3, 1.0);
  Factor g(4);
  ASSERT_EQ(S.factorize(g), tarvo::xlu::kSingular);
  EXPECT_EQ(g.rank(), 3);
  expect_repair_is_exact(S, g);
}

TEST(LuSingular, NumericallyDependentColumnsAreFoundInTheBump) {
  // Column 9 = column 2 - 3 * column 5 (+ a perturbation below the tolerance),
  // inside a coupled block so that the singleton passes cannot see it.
  for (double eps : {0.0, 1e-13}) {
    Basis B = lutest::random_basis(40, 0.3, 21);
    std::vector<double> c(40, 0.0);
    for (auto& e : B.cols[2]) c[e.first] += e.second;
    for (auto& e : B.cols[5]) c[e.first] -= 3.0 * e.second;
    B.cols[9].clear();
    for (int i = 0; i < 40; ++i)
      if (c[i] != 0.0) B.add(i, 9, c[i] + (i == 0 ? eps : 0.0));
    Factor f(40);
    ASSERT_EQ(B.factorize(f), tarvo::xlu::kSingular) << eps;
    EXPECT_EQ(f.rank(), 39);
    ASSERT_EQ(f.dependent_positions().size(), 1u);
    const int d = f.dependent_positions()[0];
    EXPECT_TRUE(d == 2 || d == 5 || d == 9) << d;
    expect_repair_is_exact(B, f);
  }
  // A perturbation well above the tolerance keeps full rank.
  Basis B = lutest::random_basis(40, 0.3, 21);
  std::vector<double> c(40, 0.0);
  for (auto& e : B.cols[2]) c[e.first] += e.second;
  B.cols[9].clear();
  for (int i = 0; i < 40; ++i)
    if (c[i] != 0.0 || i == 0) B.add(i, 9, c[i] + (i == 0 ? 1e-3 : 0.0));
  Factor f(40);
  EXPECT_EQ(B.factorize(f), 0);
}

TEST(LuSingular, RankDeficiencyOfSeveralColumnsInALargeBasis) {
  Basis B = lutest::lp_basis(3000, 0.5, 5, 8);
  // Three copies and one empty column: rank drops by four.
  B.cols[100] = B.cols[200];
  B.cols[101] = B.cols[201];
  B.cols[102] = B.cols[200];
  B.cols[103].clear();
  Factor f(3000);
  ASSERT_EQ(B.factorize(f), tarvo::xlu::kSingular);
  EXPECT_EQ(f.rank(), 3000 - 4);
  EXPECT_EQ(f.dependent_positions().size(), 4u);
  expect_repair_is_exact(B, f);
}

namespace {
// A Hilbert block of order h coupled to a slack part.
Basis hilbert_basis(int h, int m) {
  Basis B(m);
  for (int j = 0; j < m; ++j) {
    if (j < h) {
      for (int i = 0; i < h; ++i) B.add(i, j, 1.0 / (i + j + 1));
    } else {
      B.add(j, j, 1.0);
      B.add(j % h, j, 0.5);
    }
  }
  return B;
}
}  // namespace

TEST(LuSingular, HilbertBlocksSolveWhileRegularAndLoseRankWhenNot) {
  // Order 10 (condition ~1e13): still regular, solved to backward accuracy.
  Basis B = hilbert_basis(10, 30);
  Factor f(30);
  ASSERT_EQ(B.factorize(f), 0);
  EXPECT_LT(f.residual_test(), 1e-13);
  EXPECT_LT(lutest::ftran_residual(f, B, 4), 1e-10);
  EXPECT_GT(f.cond2est(), 1e12);
  EXPECT_GT(f.cond4est(), 1e12);
  EXPECT_LT(f.rcond(), 1e-6);
  // Order 14 (condition ~1e18): numerically singular; the repaired basis is exact.
  Basis S = hilbert_basis(14, 30);
  Factor g(30);
  ASSERT_EQ(S.factorize(g), tarvo::xlu::kSingular);
  EXPECT_LT(g.rank(), 30);
  EXPECT_GE(g.rank(), 30 - 6);
  expect_repair_is_exact(S, g);
}

TEST(LuSingular, ConditionEstimatesOrderWellAndBadlyConditionedBases) {
  // Exact answer on a diagonal matrix: cond1 = condinf = max/min.
  Basis D(20);
  for (int j = 0; j < 20; ++j) D.add(j, j, j == 4 ? 1e-6 : 1.0 + j);
  Factor fd(20);
  ASSERT_EQ(D.factorize(fd), 0);
  EXPECT_NEAR(fd.cond2est(), 20.0 / 1e-6, 1e-3 * 20.0 / 1e-6);
  EXPECT_NEAR(fd.cond4est(), 20.0 / 1e-6, 1e-3 * 20.0 / 1e-6);
  EXPECT_NEAR(fd.rcond(), 1e-6 / 20.0, 1e-12);

  Basis good = lutest::random_basis(200, 0.03, 3);
  Factor fg(200);
  ASSERT_EQ(good.factorize(fg), 0);
  // An upper bidiagonal matrix with -2 off the diagonal: ||B^-1|| ~ 2^(m-1).
  Basis bad(40);
  for (int j = 0; j < 40; ++j) {
    bad.add(j, j, 1.0);
    if (j > 0) bad.add(j - 1, j, -2.0);
  }
  Factor fb(40);
  ASSERT_EQ(bad.factorize(fb), 0);
  EXPECT_LT(fg.cond2est(), 1e6);
  EXPECT_GT(fb.cond2est(), 1e11);
  EXPECT_GT(fb.cond4est(), 1e11);
  EXPECT_GT(fb.cond2est(), 1e4 * fg.cond2est());
  // The estimate never exceeds the true 1-norm condition (2^40-ish here).
  EXPECT_LE(fb.cond2est(), 3.0 * std::pow(2.0, 40));
  // Cached values are stable until the factors change.
  EXPECT_EQ(fb.cond2est(), fb.cond2est());
}

TEST(LuSingular, RcondFollowsTheDiagonalThroughUpdates) {
  // On a diagonal basis an entering v*e_p makes v the new diagonal of pair p,
  // so rcond must equal min|d|/max|d| of the current diagonal at every step.
  const int m = 12;
  std::vector<double> d(m, 1.0);
  d[2] = 0.5;
  d[5] = 4.0;
  Basis B(m);
  for (int j = 0; j < m; ++j) B.add(j, j, d[j]);
  Factor f(m);
  ASSERT_EQ(B.factorize(f), 0);
  const std::pair<int, double> steps[] = {{2, 1.0}, {5, -2.0}, {7, 8.0}, {7, 1.0},
                                           {0, 0.01}, {0, 3.0}, {3, -0.25}};
  for (auto [p, v] : steps) {
    tarvo::xlu::Vector e(m);
    e.array[p] = v;
    e.index[0] = p;
    e.count = 1;
    ASSERT_EQ(f.ftran(e, true), 0);
    ASSERT_EQ(f.update(p), 0);
    d[p] = v;
    double lo = 1e300, hi = 0.0;
    for (double x : d) {
      lo = std::min(lo, std::fabs(x));
      hi = std::max(hi, std::fabs(x));
    }
    EXPECT_DOUBLE_EQ(f.rcond(), lo / hi) << "after replacing " << p;
  }
}
