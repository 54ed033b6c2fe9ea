// Paired (and tripled) FTRAN: the shared pass must give exactly what separate solves
// give, keep the first column for the update, fall back to two solves when
// either vector is sparse, and refuse bad arguments without leaving the
// workspace dirty. Also the dense transposed solves against the sparse ones,
// and the result lists of the dense kernels.
#include <gtest/gtest.h>

#include <random>

#include "lu_test_util.hpp"

using lutest::Basis;
using tarvo::xlu::Factor;
using tarvo::xlu::Options;
using tarvo::xlu::Vector;

namespace {

Options dense_options() {
  Options o;
  o.spvtol_ftran = o.spvtol_btran = 0.0;  // every solve takes the dense kernels
  o.max_updates = 200;
  return o;
}

std::vector<std::pair<int, double>> random_column(int m, std::mt19937& rng) {
  std::uniform_int_distribution<int> row(0, m - 1);
  std::uniform_real_distribution<double> val(-1.0, 1.0);
  std::vector<std::pair<int, double>> col;
  const int len = 2 + static_cast<int>(rng() % 6);
  for (int k = 0; k < len; ++k) col.push_back({row(rng), 1.0 + val(rng)});
  std::sort(col.begin(), col.end());
  col.erase(std::unique(col.begin(), col.end(), [](auto& a, auto& b) { return a.first == b.first; }),
            col.end());
  return col;
}

Vector column_vector(int m, const std::vector<std::pair<int, double>>& col) {
  Vector v(m);
  for (auto& e : col) {
    v.array[e.first] = e.second;
    v.index[v.count++] = e.first;
  }
  return v;
}

// Largest entry of x: a stable pivot position for the exchange.
int pivot_position(const Vector& x) {
  int best = -1;
  double big = 0.0;
  for (int k = 0; k < x.count; ++k) {
    const int i = x.index[k];
    if (std::fabs(x.array[i]) > big) big = std::fabs(x.array[i]), best = i;
  }
  return best;
}

// The index list names every nonzero of the array exactly once and nothing
// else: the simplex walks results by their lists alone.
::testing::AssertionResult lists_its_nonzeros(const Vector& v) {
  const int m = v.size();
  if (v.count < 0 || v.count > m) return ::testing::AssertionFailure() << "count " << v.count;
  std::vector<char> seen(static_cast<std::size_t>(m), 0);
  for (int k = 0; k < v.count; ++k) {
    const int i = v.index[k];
    if (i < 0 || i >= m || seen[i]) return ::testing::AssertionFailure() << "index " << i << " bad or twice";
    if (v.array[i] == 0.0) return ::testing::AssertionFailure() << "index " << i << " listed but zero";
    seen[i] = 1;
  }
  for (int i = 0; i < m; ++i)
    if (v.array[i] != 0.0 && !seen[i]) return ::testing::AssertionFailure() << "nonzero " << i << " not listed";
  return ::testing::AssertionSuccess();
}

// Solves the dense right-hand side `times` times through `solve`, so that
// the density history of that kind of solve turns dense.
template <class Solve>
void repeat_dense(int times, const std::vector<double>& rhs, Solve solve) {
  for (int t = 0; t < times; ++t) {
    Vector d = lutest::to_vector(rhs);
    ASSERT_EQ(solve(d), 0);
  }
}

// Factors B twice alike: a shared pass in one against separate solves in the other.
bool factor_both(Basis& B, const Options& o, Factor& f1, Factor& f2) {
  return f1.set_options(o) == 0 && f2.set_options(o) == 0 && B.factorize(f1) == 0 && B.factorize(f2) == 0;
}

}  // namespace

TEST(LuSolvePair, DenseResultsListExactlyTheirNonzerosThroughUpdates) {
  // Dense sweeps list the result pattern as they go; updates leave voids in
  // the U order that the lists must step over.
  const int m = 500;
  Basis B = lutest::lp_basis(m, 0.5, 4, 51);
  Factor f(m, m, B.nnz(), 200);
  ASSERT_EQ(f.set_options(dense_options()), 0);
  ASSERT_EQ(B.factorize(f), 0);
  std::mt19937 rng(52);
  int exchanges = 0;
  for (int t = 0; t < 60; ++t) {
    const auto col = random_column(m, rng);
    Vector a = column_vector(m, col), b = column_vector(m, random_column(m, rng));
    if (t % 2 == 0) {
      ASSERT_EQ(f.ftran_pair(a, b), 0);
      ASSERT_TRUE(lists_its_nonzeros(b)) << "step " << t;
    } else {
      ASSERT_EQ(f.ftran(a, true), 0);
    }
    ASSERT_TRUE(lists_its_nonzeros(a)) << "step " << t;
    // a dense transposed solve (inner products in L) and rows of the inverse
    // (mostly the thin scatter form)
    Vector y = lutest::to_vector(lutest::random_vector(m, 200 + t)), r(m);
    ASSERT_EQ(f.btran(y), 0);
    ASSERT_TRUE(lists_its_nonzeros(y)) << "step " << t;
    ASSERT_EQ(f.row_of_inverse(t % m, r), 0);
    ASSERT_TRUE(lists_its_nonzeros(r)) << "step " << t;
    const int p = pivot_position(a);
    if (p < 0 || f.update(p) != 0) continue;
    B.cols[p] = col;
    ++exchanges;
  }
  EXPECT_GT(exchanges, 40);
  EXPECT_GT(f.stats().ftran_dense, 60);
  EXPECT_LT(lutest::ftran_residual(f, B, 53), 1e-10);
}

TEST(LuSolvePair, SparseColumnIsNotPulledIntoADensePass) {
  // Dense second vectors of late must not drag a one-entry entering column
  // through a whole dense pass.
  const int m = 2000;
  Basis B = lutest::lp_basis(m, 0.7, 3, 54);
  Factor f(m);
  ASSERT_EQ(B.factorize(f), 0);
  const auto dense_rhs = lutest::random_vector(m, 55);
  repeat_dense(20, dense_rhs, [&](Vector& d) { return f.ftran(d); });
  std::vector<double> e(m, 0.0);
  e[7] = 1.5;
  Vector a = lutest::to_vector(e), b = lutest::to_vector(dense_rhs);
  EXPECT_FALSE(f.pair_shares_pass(a.count, b.count));
  const auto sparse_before = f.stats().ftran_sparse;
  ASSERT_EQ(f.ftran_pair(a, b), 0);
  EXPECT_EQ(f.stats().ftran_sparse, sparse_before + 1);
  EXPECT_LT(lutest::rel_diff(B.times(a.array), e), 1e-13);
  EXPECT_LT(lutest::rel_diff(B.times(b.array), dense_rhs), 1e-12);
  EXPECT_TRUE(lists_its_nonzeros(a));
  EXPECT_TRUE(lists_its_nonzeros(b));
  // once entering columns run dense too, the pair shares the pass
  repeat_dense(30, dense_rhs, [&](Vector& d) { return f.ftran(d, true); });
  EXPECT_TRUE(f.pair_shares_pass(a.count, b.count));
}

TEST(LuSolvePair, BoundFlipsKeepTheirOwnDensityHistory) {
  // Dense flips must not send the sparse edge-weight solves through the dense
  // kernels, nor dense edge-weight solves the sparse flips; the results are
  // those of plain solves either way.
  const int m = 2000;
  Basis B = lutest::lp_basis(m, 0.7, 3, 56);
  Factor f(m);
  ASSERT_EQ(B.factorize(f), 0);
  const auto dense_rhs = lutest::random_vector(m, 57);
  std::vector<double> e(m, 0.0);
  e[11] = -0.5;
  const auto solves_sparse = [&](bool flips) {
    Vector v = lutest::to_vector(e);
    const auto before = f.stats().ftran_sparse;
    EXPECT_EQ(flips ? f.ftran_flips(v) : f.ftran(v), 0);
    EXPECT_LT(lutest::rel_diff(B.times(v.array), e), 1e-13);
    EXPECT_TRUE(lists_its_nonzeros(v));
    return f.stats().ftran_sparse == before + 1;
  };
  repeat_dense(20, dense_rhs, [&](Vector& d) {
    const int rc = f.ftran_flips(d);
    EXPECT_LT(lutest::rel_diff(B.times(d.array), dense_rhs), 1e-12);
    return rc;
  });
  EXPECT_TRUE(solves_sparse(false));
  EXPECT_FALSE(solves_sparse(true));
  for (int t = 0; t < 40; ++t) {
    Vector d = lutest::to_vector(dense_rhs);
    ASSERT_EQ(f.ftran(d), 0);
    Vector s = lutest::to_vector(e);
    ASSERT_EQ(f.ftran_flips(s), 0);
  }
  EXPECT_TRUE(solves_sparse(true));
  EXPECT_FALSE(solves_sparse(false));
}

TEST(LuSolvePair, SharedPassEqualsTwoSolvesThroughUpdates) {
  const int m = 600;
  Basis B = lutest::lp_basis(m, 0.3, 6, 41);
  const Options o = dense_options();
  Factor paired(m, m, B.nnz(), o.max_updates), single(m, m, B.nnz(), o.max_updates);
  ASSERT_TRUE(factor_both(B, o, paired, single));
  std::mt19937 rng(7);
  int exchanges = 0;
  for (int t = 0; t < 120; ++t) {
    const auto col = random_column(m, rng);
    Vector a1 = column_vector(m, col), a2 = column_vector(m, col);
    Vector b1 = lutest::to_vector(lutest::random_vector(m, 100 + t)), b2 = b1;
    ASSERT_TRUE(paired.pair_shares_pass(a1.count, b1.count));
    ASSERT_EQ(paired.ftran_pair(a1, b1), 0);
    ASSERT_EQ(single.ftran(a2, true), 0);
    ASSERT_EQ(single.ftran(b2), 0);
    // bitwise: the shared pass performs each vector's operations in order
    ASSERT_EQ(a1.array, a2.array) << "step " << t;
    ASSERT_EQ(b1.array, b2.array) << "step " << t;
    ASSERT_EQ(a1.count, a2.count);
    ASSERT_EQ(b1.count, b2.count);
    const int p = pivot_position(a1);
    ASSERT_GE(p, 0);
    const int rc1 = paired.update(p), rc2 = single.update(p);
    ASSERT_EQ(rc1, rc2);
    if (rc1 != 0) continue;
    B.cols[p] = col;
    ++exchanges;
  }
  EXPECT_GT(exchanges, 100);
  EXPECT_EQ(paired.num_updates(), exchanges);
  EXPECT_EQ(paired.stats().ftran_dense, single.stats().ftran_dense);
  // the updated factors solve with the true basis
  EXPECT_LT(lutest::ftran_residual(paired, B, 5), 1e-10);
  EXPECT_LT(lutest::btran_residual(paired, B, 6), 1e-10);
}

TEST(LuSolvePair, SparseVectorsRunAsTwoSolves) {
  const int m = 2000;
  Basis B = lutest::lp_basis(m, 0.7, 3, 43);
  Factor f(m);
  Options o;
  o.spvtol_ftran = 0.5;
  ASSERT_EQ(f.set_options(o), 0);
  ASSERT_EQ(B.factorize(f), 0);
  std::vector<double> e1(m, 0.0), e2(m, 0.0);
  e1[3] = 1.0;
  e2[1500] = -2.0;
  Vector a = lutest::to_vector(e1), b = lutest::to_vector(e2);
  EXPECT_FALSE(f.pair_shares_pass(a.count, b.count));
  ASSERT_EQ(f.ftran_pair(a, b), 0);
  EXPECT_EQ(f.stats().ftran_sparse, 2);
  EXPECT_LT(lutest::rel_diff(B.times(a.array), e1), 1e-13);
  EXPECT_LT(lutest::rel_diff(B.times(b.array), e2), 1e-13);
  // `a` was kept for the update
  const int p = pivot_position(a);
  ASSERT_EQ(f.update(p), 0);
}

TEST(LuSolvePair, BadArgumentsAreRefusedAndLeaveTheWorkspaceClean) {
  const int m = 300;
  Basis B = lutest::random_basis(m, 0.02, 44);
  Factor f(m);
  Vector a(m), b(m), short_vec(m - 1);
  EXPECT_EQ(f.ftran_pair(a, b), tarvo::xlu::kInvalidInput);  // no factors yet
  ASSERT_EQ(f.set_options(dense_options()), 0);
  ASSERT_EQ(B.factorize(f), 0);
  const auto rhs = lutest::random_vector(m, 45);
  a = lutest::to_vector(rhs);
  EXPECT_EQ(f.ftran_pair(a, short_vec), tarvo::xlu::kInvalidInput);
  EXPECT_EQ(f.ftran_pair(a, a), tarvo::xlu::kInvalidInput);
  // nothing of the refused calls leaks into the next solve
  Vector b2 = lutest::to_vector(rhs);
  a = lutest::to_vector(rhs);
  ASSERT_EQ(f.ftran_pair(a, b2), 0);
  EXPECT_LT(lutest::rel_diff(B.times(a.array), rhs), 1e-12);
  EXPECT_EQ(a.array, b2.array);
}

TEST(LuSolvePair, DenseTransposedSolveMatchesSparseAfterUpdates) {
  // The dense U^T and L^T sweeps must agree with the sparse ones, also once
  // row etas are in the file.
  const int m = 800;
  Basis B = lutest::lp_basis(m, 0.4, 5, 46);
  Options dense = dense_options(), sparse;
  sparse.spvtol_ftran = sparse.spvtol_btran = 1.0;
  Factor fd(m), fs(m);
  ASSERT_EQ(fd.set_options(dense), 0);
  ASSERT_EQ(fs.set_options(sparse), 0);
  ASSERT_EQ(B.factorize(fd), 0);
  ASSERT_EQ(B.factorize(fs), 0);
  std::mt19937 rng(47);
  for (int t = 0; t < 30; ++t) {
    const auto col = random_column(m, rng);
    Vector x = column_vector(m, col), y = column_vector(m, col);
    ASSERT_EQ(fd.ftran(x, true), 0);
    ASSERT_EQ(fs.ftran(y, true), 0);
    const int p = pivot_position(x);
    if (fd.update(p) != 0 || fs.update(p) != 0) continue;
    B.cols[p] = col;
  }
  for (int i : {0, 11, m / 2, m - 1}) {
    Vector rd(m), rs(m);
    ASSERT_EQ(fd.row_of_inverse(i, rd), 0);
    ASSERT_EQ(fs.row_of_inverse(i, rs), 0);
    EXPECT_LT(lutest::rel_diff(rd.array, rs.array), 1e-12);
    std::vector<double> ei(m, 0.0);
    ei[i] = 1.0;
    EXPECT_LT(lutest::rel_diff(B.ttimes(rd.array), ei), 1e-11);
  }
  EXPECT_GT(fd.stats().binvi_dense, 0);
  EXPECT_GT(fs.stats().binvi_sparse, 0);
}

TEST(LuSolvePair, TripleEqualsThreeSolvesThroughUpdates) {
  // The third lane stands for the bound flips' column: it must come out as
  // its own solve before the pair would, and leave the same statistics.
  const int m = 500;
  Basis B = lutest::lp_basis(m, 0.3, 6, 61);
  const Options o = dense_options();
  Factor shared(m, m, B.nnz(), o.max_updates), single(m, m, B.nnz(), o.max_updates);
  ASSERT_TRUE(factor_both(B, o, shared, single));
  std::mt19937 rng(62);
  int exchanges = 0;
  for (int t = 0; t < 100; ++t) {
    const auto col = random_column(m, rng);
    Vector a1 = column_vector(m, col), a2 = a1;
    Vector b1 = lutest::to_vector(lutest::random_vector(m, 300 + t)), b2 = b1;
    // a sparse third vector too: the pass is dense for all lanes alike
    Vector c1 = t % 3 == 0 ? column_vector(m, random_column(m, rng)) : lutest::to_vector(lutest::random_vector(m, 600 + t));
    Vector c2 = c1;
    ASSERT_TRUE(shared.triple_shares_pass(a1.count, b1.count, c1.count));
    ASSERT_EQ(shared.ftran_triple(a1, b1, c1), 0);
    ASSERT_EQ(single.ftran_flips(c2), 0);
    ASSERT_EQ(single.ftran(a2, true), 0);
    ASSERT_EQ(single.ftran(b2), 0);
    for (auto* v : {&a1, &b1, &c1}) ASSERT_TRUE(lists_its_nonzeros(*v)) << "step " << t;
    ASSERT_EQ(a1.array, a2.array) << "step " << t;
    ASSERT_EQ(b1.array, b2.array) << "step " << t;
    ASSERT_EQ(c1.array, c2.array) << "step " << t;
    // `a` is the one kept for the update
    const int p = pivot_position(a1);
    ASSERT_GE(p, 0);
    const int rc1 = shared.update(p), rc2 = single.update(p);
    ASSERT_EQ(rc1, rc2);
    if (rc1 != 0) continue;
    B.cols[p] = col;
    ++exchanges;
  }
  EXPECT_GT(exchanges, 80);
  EXPECT_EQ(shared.stats().ftran_dense, single.stats().ftran_dense);
  EXPECT_LT(lutest::ftran_residual(shared, B, 63), 1e-10);
}

TEST(LuSolvePair, TripleFallsBackAndRefusesBadArguments) {
  const int m = 2000;
  Basis B = lutest::lp_basis(m, 0.7, 3, 64);
  Factor f(m);
  Options o;
  o.spvtol_ftran = 0.5;
  ASSERT_EQ(f.set_options(o), 0);
  ASSERT_EQ(B.factorize(f), 0);
  const auto rhs = lutest::random_vector(m, 65);
  std::vector<double> e(m, 0.0);
  e[9] = 2.0;
  Vector a = lutest::to_vector(rhs), b = lutest::to_vector(rhs), c = lutest::to_vector(e), short_vec(m - 1);
  EXPECT_EQ(f.ftran_triple(a, b, short_vec), tarvo::xlu::kInvalidInput);
  EXPECT_EQ(f.ftran_triple(a, b, a), tarvo::xlu::kInvalidInput);
  // a one-entry third vector keeps its sparse solve; the dense pair still shares
  EXPECT_FALSE(f.triple_shares_pass(a.count, b.count, c.count));
  ASSERT_EQ(f.ftran_triple(a, b, c), 0);
  EXPECT_EQ(f.stats().ftran_sparse, 1);
  EXPECT_LT(lutest::rel_diff(B.times(a.array), rhs), 1e-12);
  EXPECT_EQ(a.array, b.array);
  EXPECT_LT(lutest::rel_diff(B.times(c.array), e), 1e-13);
  ASSERT_EQ(f.update(pivot_position(a)), 0);
}
