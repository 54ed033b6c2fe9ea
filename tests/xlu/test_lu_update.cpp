// Basis updates: long Forrest-Tomlin and product-form sequences checked against
// the true basis and a fresh factorisation, the update limit, and refused
// updates (dependent or NaN entering column) that must leave the factors intact.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

#include "lu_test_util.hpp"

using lutest::Basis;
using tarvo::xlu::Factor;
using tarvo::xlu::Options;
using tarvo::xlu::Vector;

namespace {

struct Sim {
  Basis B;
  Factor f;
  std::mt19937 rng;
  Sim(Basis b, Options o, std::uint32_t seed)
      : B(std::move(b)), f(B.m, B.m, B.nnz(), o.max_updates), rng(seed) {
    EXPECT_EQ(f.set_options(o), 0);
    EXPECT_EQ(B.factorize(f), 0);
  }

  std::vector<std::pair<int, double>> random_column() {
    std::uniform_int_distribution<int> row(0, B.m - 1);
    std::uniform_real_distribution<double> val(-1.0, 1.0);
    std::vector<std::pair<int, double>> col;
    if (rng() % 4 == 0) {
      col.push_back({row(rng), 1.0});  // a slack
      return col;
    }
    std::vector<int> rows;
    const int len = 2 + static_cast<int>(rng() % 5);
    for (int k = 0; k < len; ++k) rows.push_back(row(rng));
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    for (int i : rows) col.push_back({i, val(rng) + (val(rng) > 0 ? 1.0 : -1.0)});
    return col;
  }

  // One simplex-like exchange; returns the update code.
  int step() {
    auto col = random_column();
    Vector v(B.m);
    for (auto& e : col) {
      v.array[e.first] = e.second;
      v.index[v.count++] = e.first;
    }
    EXPECT_EQ(f.ftran(v, true), 0);
    double xmax = 0.0;
    for (int k = 0; k < v.count; ++k) xmax = std::max(xmax, std::fabs(v.array[v.index[k]]));
    std::vector<int> cand;
    for (int k = 0; k < v.count; ++k)
      if (std::fabs(v.array[v.index[k]]) >= 0.1 * xmax) cand.push_back(v.index[k]);
    if (cand.empty()) return -1;
    const int p = cand[rng() % cand.size()];
    const int rc = f.update(p);
    if (rc == 0) B.cols[p] = col;
    return rc;
  }

  double residual(std::uint32_t seed) {
    return std::max(lutest::ftran_residual(f, B, seed), lutest::btran_residual(f, B, seed + 1));
  }
};

}  // namespace

TEST(LuUpdate, LongForrestTomlinSequenceMatchesFreshFactorisation) {
  Options o;
  o.max_updates = 400;
  Sim s(lutest::lp_basis(2000, 0.5, 4, 5), o, 17);
  int done = 0;
  for (int t = 0; t < 300; ++t) {
    const int rc = s.step();
    if (rc == -1) continue;
    ASSERT_EQ(rc, 0) << "update " << t;
    ++done;
    if (t % 50 == 49) {
      EXPECT_LT(s.residual(t), 1e-10) << "after " << done << " updates";
    }
  }
  EXPECT_EQ(s.f.num_updates(), done);
  EXPECT_GT(s.f.pnz(), 0);
  EXPECT_LT(s.f.last_update_mismatch(), 1e-8);
  // The same answers as a factorisation of the updated basis from scratch.
  Factor fresh(2000);
  ASSERT_EQ(s.B.factorize(fresh), 0);
  auto b = lutest::random_vector(2000, 3);
  EXPECT_LT(lutest::rel_diff(lutest::solve(s.f, b), lutest::solve(fresh, b)), 1e-9);
  EXPECT_LT(lutest::rel_diff(lutest::solve_t(s.f, b), lutest::solve_t(fresh, b)), 1e-9);
  EXPECT_GT(s.f.cond2est(), 0.0);
  EXPECT_NEAR(std::log10(s.f.cond2est()), std::log10(fresh.cond2est()), 1.0);
  EXPECT_LT(s.f.residual_test(), 1e-12);
}

TEST(LuUpdate, DenseBasesAndBothUpdateKernelsAgree) {
  // spvtol_update 0 forces the dense row elimination, 1 the sparse one.
  Options dense_upd, sparse_upd;
  dense_upd.spvtol_update = 0.0;
  sparse_upd.spvtol_update = 1.0;
  Sim a(lutest::random_basis(150, 0.1, 3), dense_upd, 9);
  Sim b(lutest::random_basis(150, 0.1, 3), sparse_upd, 9);
  for (int t = 0; t < 80; ++t) {
    const int ra = a.step(), rb = b.step();
    ASSERT_EQ(ra, rb);
  }
  EXPECT_GT(a.f.stats().update_dense, 0);
  EXPECT_GT(b.f.stats().update_sparse, 0);
  EXPECT_LT(a.residual(1), 1e-10);
  EXPECT_LT(b.residual(1), 1e-10);
  auto v = lutest::random_vector(150, 4);
  EXPECT_LT(lutest::rel_diff(lutest::solve(a.f, v), lutest::solve(b.f, v)), 1e-10);
}

TEST(LuUpdate, ProductFormSequenceStaysAccurate) {
  Options o;
  o.update_type = 0;
  o.max_updates = 200;
  Sim s(lutest::lp_basis(1000, 0.5, 4, 6), o, 23);
  int done = 0;
  for (int t = 0; t < 150; ++t) {
    const int rc = s.step();
    if (rc == -1) continue;
    ASSERT_EQ(rc, 0) << t;
    ++done;
  }
  EXPECT_EQ(s.f.num_updates(), done);
  EXPECT_LT(s.residual(5), 1e-10);
  EXPECT_GT(s.f.pnz(), 0);
  EXPECT_GT(s.f.rcond(), 0.0);
}

TEST(LuUpdate, UpdatedColumnSolvesToItsUnitVector) {
  for (int type : {0, 1}) {
    Options o;
    o.update_type = type;
    Sim s(lutest::random_basis(60, 0.1, 14), o, 2);
    for (int t = 0; t < 20; ++t) ASSERT_EQ(s.step(), 0);
    // Every basic column solves to its own unit vector.
    for (int j = 0; j < 60; j += 7) {
      Vector v(60);
      for (auto& e : s.B.cols[j]) {
        v.array[e.first] = e.second;
        v.index[v.count++] = e.first;
      }
      ASSERT_EQ(s.f.ftran(v), 0);
      for (int i = 0; i < 60; ++i) EXPECT_NEAR(v.array[i], i == j ? 1.0 : 0.0, 1e-10);
    }
  }
}

TEST(LuUpdate, UpdateLimitAsksForRefactorisation) {
  Options o;
  o.max_updates = 5;
  Sim s(lutest::lp_basis(300, 0.5, 4, 7), o, 3);
  int ok = 0;
  while (ok < 5) {
    const int rc = s.step();
    if (rc == 0) ++ok;
    else ASSERT_EQ(rc, -1);
  }
  const Basis before = s.B;
  EXPECT_EQ(s.step(), tarvo::xlu::kOutOfSpace);
  EXPECT_EQ(s.f.num_updates(), 5);
  // Refused: the factors still describe the basis before the attempt.
  s.B = before;
  EXPECT_LT(s.residual(8), 1e-11);
  // Refactorisation resets the count.
  ASSERT_EQ(s.B.factorize(s.f), 0);
  EXPECT_EQ(s.f.num_updates(), 0);
  EXPECT_EQ(s.f.pnz(), 0);
  // A limit raised after the factorisation is honoured (the pivot order is
  // compacted when its slots run out).
  o.max_updates = 60;
  ASSERT_EQ(s.f.set_options(o), 0);
  for (ok = 0; ok < 50;) {
    const int rc = s.step();
    ASSERT_TRUE(rc == 0 || rc == -1) << rc;
    ok += rc == 0;
  }
  EXPECT_LT(s.residual(9), 1e-10);
}

TEST(LuUpdate, RepairedSingularFactorisationCanBeUpdated) {
  // Slack basis with column 3 empty: repaired with the unit column of row 3,
  // then a real column enters there.
  Basis B(20);
  for (int j = 0; j < 20; ++j)
    if (j != 3) {
      B.add(j, j, 1.0);
      if (j > 0) B.add(j - 1, j, 0.5);
    }
  Factor f(20);
  ASSERT_EQ(B.factorize(f), tarvo::xlu::kSingular);
  ASSERT_EQ(f.dependent_positions(), std::vector<int>{3});
  Vector v(20);
  v.array[3] = 2.0;
  v.array[7] = 1.0;
  v.index[0] = 3;
  v.index[1] = 7;
  v.count = 2;
  ASSERT_EQ(f.ftran(v, true), 0);
  ASSERT_EQ(f.update(3), 0);
  B.add(3, 3, 2.0);
  B.add(7, 3, 1.0);
  EXPECT_LT(lutest::ftran_residual(f, B, 1), 1e-12);
  EXPECT_LT(lutest::btran_residual(f, B, 2), 1e-12);
}

TEST(LuUpdate, DependentEnteringColumnIsRefusedAndFactorsStayIntact) {
  for (int type : {0, 1}) {
    Options o;
    o.update_type = type;
    Sim s(lutest::random_basis(80, 0.08, 31), o, 4);
    for (int t = 0; t < 10; ++t) ASSERT_EQ(s.step(), 0);
    // Entering column equal to basic column 3: x = e_3, so leaving 10 is singular.
    Vector v(80);
    for (auto& e : s.B.cols[3]) {
      v.array[e.first] = e.second;
      v.index[v.count++] = e.first;
    }
    ASSERT_EQ(s.f.ftran(v, true), 0);
    EXPECT_EQ(s.f.update(10), tarvo::xlu::kSingular) << type;
    EXPECT_EQ(s.f.num_updates(), 10);
    EXPECT_LT(s.residual(2), 1e-11);
    // The kept column is still there: leaving 3 itself is a valid exchange.
    EXPECT_EQ(s.f.update(3), 0);
    EXPECT_LT(s.residual(3), 1e-11);
    // NaN entering column: refused, nothing changes.
    Vector n(80);
    n.array[5] = std::numeric_limits<double>::quiet_NaN();
    n.index[0] = 5;
    n.count = 1;
    ASSERT_EQ(s.f.ftran(n, true), 0);
    EXPECT_EQ(s.f.update(5), tarvo::xlu::kSingular);
    EXPECT_LT(s.residual(4), 1e-11);
    // Without a kept column there is nothing to update with.
    Factor g(80);
    ASSERT_EQ(s.B.factorize(g), 0);
    EXPECT_EQ(g.update(0), tarvo::xlu::kInvalidInput);
  }
}

TEST(LuUpdate, NearlyDependentPivotFailsTheStabilityTest) {
  // Entering column = column 3 + 1e-15 * e_r: x_10 is ~1e-15 relative to x_3.
  Sim s(lutest::random_basis(50, 0.1, 12), Options{}, 6);
  Vector v(50);
  for (auto& e : s.B.cols[3]) {
    v.array[e.first] = e.second;
    v.index[v.count++] = e.first;
  }
  const int r = s.B.cols[10][0].first;
  if (v.array[r] == 0.0) v.index[v.count++] = r;
  v.array[r] += 1e-15;
  ASSERT_EQ(s.f.ftran(v, true), 0);
  EXPECT_EQ(s.f.update(10), tarvo::xlu::kSingular);
  EXPECT_LT(s.residual(1), 1e-12);
}

// A copy taken mid-sequence is what strong branching returns to after every
// trial: it must solve with the basis of the moment it was taken, however
// the original went on, and take further updates of its own (both update
// kinds keep state beyond the fresh factors).
TEST(LuUpdate, CopiedFactorsSolveWithTheirBasisAndUpdateOnTheirOwn) {
  for (int type : {0, 1}) {
    Options o;
    o.update_type = type;
    o.max_updates = 200;
    Sim s(lutest::lp_basis(600, 0.5, 4, 31), o, 41);
    for (int t = 0; t < 20; ++t) s.step();
    Factor saved(0);
    ASSERT_EQ(saved.copy_from(s.f), 0);
    const Basis at_save = s.B;
    const int updates_at_save = s.f.num_updates();
    for (int t = 0; t < 40; ++t) s.step();
    ASSERT_NE(s.B.cols, at_save.cols);
    // back to the saved state
    ASSERT_EQ(s.f.copy_from(saved), 0);
    s.B = at_save;
    EXPECT_EQ(s.f.num_updates(), updates_at_save) << "type " << type;
    EXPECT_LT(s.residual(7), 1e-10) << "type " << type;
    // a different continuation from the restored factors
    s.rng.seed(97);
    for (int t = 0; t < 40; ++t) ASSERT_NE(s.step(), 1) << "type " << type << " update " << t;
    EXPECT_LT(s.residual(9), 1e-10) << "type " << type;
    // the saved copy is untouched by what the restored factors did
    Factor fresh(600);
    ASSERT_EQ(at_save.factorize(fresh), 0);
    const auto b = lutest::random_vector(600, 5);
    EXPECT_LT(lutest::rel_diff(lutest::solve(saved, b), lutest::solve(fresh, b)), 1e-9) << "type " << type;
  }
}
