// Factorisation of nonsingular bases: exact factors on small matrices,
// no fill on triangular structure, accurate solves on random sparse matrices,
// and refusal of malformed input.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "lu_test_util.hpp"

using lutest::Basis;
using tarvo::xlu::Factor;
using tarvo::xlu::Factors;
using tarvo::xlu::Options;

namespace {

// Dense (small) check that B(row_perm, col_perm) == L * U.
double factor_error(const Basis& B, const Factors& F) {
  const int m = B.m;
  std::vector<double> A(m * m, 0.0), L(m * m, 0.0), U(m * m, 0.0);
  std::vector<int> rpos(m), cpos(m);
  for (int k = 0; k < m; ++k) {
    rpos[F.row_perm[k]] = k;
    cpos[F.col_perm[k]] = k;
  }
  for (int j = 0; j < m; ++j)
    for (auto& e : B.cols[j]) A[rpos[e.first] * m + cpos[j]] += e.second;
  for (int k = 0; k < m; ++k) {
    L[k * m + k] = 1.0;
    for (int q = F.l_begin[k]; q < F.l_begin[k + 1]; ++q) {
      EXPECT_GT(F.l_index[q], k) << "L not strictly lower";
      L[F.l_index[q] * m + k] = F.l_value[q];
    }
    for (int q = F.u_begin[k]; q < F.u_begin[k + 1]; ++q) {
      EXPECT_LE(F.u_index[q], k) << "U not upper";
      U[F.u_index[q] * m + k] = F.u_value[q];
    }
  }
  double err = 0.0;
  for (int i = 0; i < m; ++i)
    for (int j = 0; j < m; ++j) {
      double s = 0.0;
      for (int k = 0; k < m; ++k) s += L[i * m + k] * U[k * m + j];
      err = std::max(err, std::fabs(s - A[i * m + j]));
    }
  return err;
}

}  // namespace

TEST(LuFactorize, TriangularAndPermutedStructureFactorsWithoutFill) {
  const int m = 200;
  // Upper triangular, lower triangular and a permuted mix: all singleton passes.
  for (int kind = 0; kind < 3; ++kind) {
    Basis B(m);
    for (int j = 0; j < m; ++j) {
      const int pj = kind == 2 ? (j * 37) % m : j;
      B.add(pj, j, 2.0 + (j % 5));
      if (j > 0 && kind == 0) B.add(j - 1, j, -1.0);
      if (j + 1 < m && kind == 1) B.add(j + 1, j, 0.5);
      if (kind == 2 && j > 3) B.add((j * 37 - 37 + m) % m, j, 0.25);
      if (kind == 2 && j > 10) B.add(((j - 7) * 37) % m, j, -0.3);
    }
    Factor f(m);
    ASSERT_EQ(B.factorize(f), 0) << kind;
    EXPECT_EQ(f.rank(), m);
    EXPECT_EQ(f.lnz() + f.unz(), B.nnz() - m) << "fill appeared, kind " << kind;
    EXPECT_EQ(f.info().bump_size, 0) << kind;
    EXPECT_LT(lutest::ftran_residual(f, B, 1), 1e-14);
    EXPECT_LT(lutest::btran_residual(f, B, 2), 1e-14);
    EXPECT_LT(f.residual_test(), 1e-14);
  }
  // Identity: rcond 1, no off-diagonal entries, solves are copies.
  Basis I(50);
  for (int j = 0; j < 50; ++j) I.add(j, j, 1.0);
  Factor f(50);
  ASSERT_EQ(I.factorize(f), 0);
  EXPECT_EQ(f.lnz() + f.unz(), 0);
  EXPECT_DOUBLE_EQ(f.rcond(), 1.0);
  auto b = lutest::random_vector(50, 3);
  EXPECT_EQ(lutest::solve(f, b), b);
}

TEST(LuFactorize, ExportedFactorsReproduceTheMatrix) {
  for (std::uint32_t seed = 1; seed <= 6; ++seed) {
    const int m = 12 + 5 * static_cast<int>(seed);
    Basis B = lutest::random_basis(m, 0.25, seed);
    Factor f(m);
    ASSERT_EQ(B.factorize(f), 0);
    Factors F;
    ASSERT_EQ(f.get_factors(F), 0);
    EXPECT_LT(factor_error(B, F), 1e-12) << "seed " << seed;
  }
}

TEST(LuFactorize, RandomSparseMatricesSolveAccurately) {
  struct Case {
    int m;
    double density;
  } cases[] = {{1, 1.0}, {2, 1.0}, {30, 0.2}, {100, 0.05}, {400, 0.02}, {1500, 0.003}, {150, 0.6}};
  std::uint32_t seed = 10;
  for (const Case& c : cases) {
    Basis B = lutest::random_basis(c.m, c.density, ++seed);
    for (int mode = 0; mode <= 2; ++mode) {
      Factor f(c.m);
      Options o;
      o.mode = mode;
      ASSERT_EQ(f.set_options(o), 0);
      ASSERT_EQ(B.factorize(f), 0) << "m=" << c.m << " mode " << mode;
      EXPECT_EQ(f.rank(), c.m);
      EXPECT_LT(lutest::ftran_residual(f, B, seed), 1e-12) << "m=" << c.m << " mode " << mode;
      EXPECT_LT(lutest::btran_residual(f, B, seed + 7), 1e-12) << "m=" << c.m << " mode " << mode;
      EXPECT_LT(f.residual_test(), 1e-13);
    }
  }
}

TEST(LuFactorize, DenseBumpUsesTheDenseTailAndStaysAccurate) {
  Basis B = lutest::random_basis(120, 0.7, 77);
  Factor f(120);
  ASSERT_EQ(B.factorize(f), 0);
  EXPECT_GT(f.info().dense_size, 0);
  EXPECT_LT(lutest::ftran_residual(f, B, 5), 1e-12);
  Options o;
  o.mode = 1;  // sparse Markowitz only
  ASSERT_EQ(f.set_options(o), 0);
  ASSERT_EQ(B.factorize(f), 0);
  EXPECT_EQ(f.info().dense_size, 0);
  EXPECT_LT(lutest::ftran_residual(f, B, 5), 1e-12);
}

TEST(LuFactorize, LpLikeBasesAreMostlySingletons) {
  Basis B = lutest::lp_basis(20000, 0.7, 4, 99);
  Factor f(20000, 20000, B.nnz(), 100);
  ASSERT_EQ(B.factorize(f), 0);
  EXPECT_LT(f.info().bump_size, 20000 / 4);
  EXPECT_LT(lutest::ftran_residual(f, B, 3), 1e-12);
  EXPECT_LT(lutest::btran_residual(f, B, 4), 1e-12);
}

TEST(LuFactorize, DuplicateEntriesAreSummedAndZerosIgnored) {
  // Column 0 is given as (0: 1) + (0: 2) and an explicit zero at row 1.
  int begin[2] = {0, 3}, end[2] = {3, 5};
  int index[5] = {0, 0, 1, 0, 1};
  double value[5] = {1.0, 2.0, 0.0, 1.0, 4.0};
  Factor f(2);
  ASSERT_EQ(f.factorize(begin, end, index, value), 0);
  std::vector<double> b = {3.0, 4.0};  // B = [3 1; 0 4] -> x = (2/3, 1)
  auto x = lutest::solve(f, b);
  EXPECT_NEAR(x[0], 2.0 / 3.0, 1e-15);
  EXPECT_NEAR(x[1], 1.0, 1e-15);
  EXPECT_EQ(f.unz(), 1);
}

// Repeats and zeros are merged in columns of every length, also in a column
// that lists more entries than B has rows.
TEST(LuFactorize, RepeatedRowsAreSummedInShortAndLongColumns) {
  const int m = 30;
  lutest::Basis B = lutest::random_basis(m, 0.2, 17);
  lutest::Basis given(m);
  for (int j = 0; j < m; ++j) {
    for (auto [i, v] : B.cols[j]) {
      if (j % 3 == 0) {  // split in two entries
        given.add(i, j, 0.25 * v);
        given.add(i, j, 0.75 * v);
      } else {
        given.add(i, j, v);
      }
      if (j % 4 == 1) given.add(i, j, 0.0);
    }
  }
  Factor f(m);
  const auto g = given.csc();
  ASSERT_EQ(f.factorize(g.begin.data(), g.end.data(), g.index.data(), g.value.data()), 0);
  EXPECT_LT(lutest::ftran_residual(f, B, 3), 1e-12);
  EXPECT_LT(lutest::btran_residual(f, B, 4), 1e-12);

  // 2 x 2, column 0 given with four entries (more than m, fewer than the
  // pairwise length): B = [3 1; 0 4].
  int begin[2] = {0, 4}, end[2] = {4, 6};
  int index[6] = {0, 1, 0, 1, 0, 1};
  double value[6] = {1.0, 2.0, 2.0, -2.0, 1.0, 4.0};
  Factor small(2);
  ASSERT_EQ(small.factorize(begin, end, index, value), 0);
  auto x = lutest::solve(small, {3.0, 4.0});
  EXPECT_NEAR(x[0], 2.0 / 3.0, 1e-15);
  EXPECT_NEAR(x[1], 1.0, 1e-15);
}

TEST(LuFactorize, MalformedInputIsRefusedAndLeavesNoFactors) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  int begin[2] = {0, 1}, end[2] = {1, 2};
  int good_index[2] = {0, 1};
  double good_value[2] = {1.0, 1.0};
  Factor f(2);
  ASSERT_EQ(f.factorize(begin, end, good_index, good_value), 0);

  int bad_index[2] = {0, 2};
  EXPECT_EQ(f.factorize(begin, end, bad_index, good_value), tarvo::xlu::kInvalidInput);
  EXPECT_FALSE(f.valid());
  std::vector<double> x = {1.0, 1.0};
  EXPECT_EQ(f.ftran_dense(x.data()), tarvo::xlu::kInvalidInput);
  int neg_index[2] = {-1, 1};
  EXPECT_EQ(f.factorize(begin, end, neg_index, good_value), tarvo::xlu::kInvalidInput);
  double nan_value[2] = {1.0, nan};
  EXPECT_EQ(f.factorize(begin, end, good_index, nan_value), tarvo::xlu::kInvalidInput);
  double inf_value[2] = {inf, 1.0};
  EXPECT_EQ(f.factorize(begin, end, good_index, inf_value), tarvo::xlu::kInvalidInput);
  int back_end[2] = {1, 0};
  EXPECT_EQ(f.factorize(begin, back_end, good_index, good_value), tarvo::xlu::kInvalidInput);
  EXPECT_EQ(f.factorize(nullptr, end, good_index, good_value), tarvo::xlu::kInvalidInput);
  // A good matrix afterwards factorises normally again.
  ASSERT_EQ(f.factorize(begin, end, good_index, good_value), 0);
  EXPECT_TRUE(f.valid());
}

TEST(LuFactorize, OptionsRejectNanAndOutOfRange) {
  Factor f(3);
  const double nan = std::numeric_limits<double>::quiet_NaN();
  EXPECT_EQ(f.set_rel_pivot_tol(nan), tarvo::xlu::kInvalidInput);
  EXPECT_EQ(f.set_rel_pivot_tol(0.0), tarvo::xlu::kInvalidInput);
  EXPECT_EQ(f.set_rel_pivot_tol(1.5), tarvo::xlu::kInvalidInput);
  EXPECT_DOUBLE_EQ(f.rel_pivot_tol(), 0.5);
  EXPECT_EQ(f.set_rel_pivot_tol(0.9), 0);
  EXPECT_DOUBLE_EQ(f.rel_pivot_tol(), 0.9);
  Options o;
  o.abs_pivot_tol = nan;
  EXPECT_EQ(f.set_options(o), tarvo::xlu::kInvalidInput);
  o = Options{};
  o.max_updates = 0;
  EXPECT_EQ(f.set_options(o), tarvo::xlu::kInvalidInput);
  o = Options{};
  o.update_type = 2;
  EXPECT_EQ(f.set_options(o), tarvo::xlu::kInvalidInput);
  EXPECT_DOUBLE_EQ(f.options().rel_pivot_tol, 0.9);
}

TEST(LuFactorize, EmptyDimensionFactorisesTrivially) {
  Factor f(0);
  EXPECT_EQ(f.factorize(nullptr, nullptr, nullptr, nullptr), 0);
  EXPECT_EQ(f.rank(), 0);
  EXPECT_EQ(f.ftran_dense(nullptr), 0);
  EXPECT_EQ(f.btran_dense(nullptr), 0);
}
