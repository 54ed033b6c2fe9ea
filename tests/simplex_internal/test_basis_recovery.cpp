// Ways back from a singular basis (the fallback basis, the rollback of the
// last pivots, slacks for dependent columns), the triangular crash basis, and
// the bucket filing of partial pricing method 3.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "netlib_model.hpp"
#include "simplex/glp.hpp"
#include "simplex/primal.hpp"
#include "tarvo.h"

using namespace tarvo::simplex;

namespace {

// min -2x0 - x1 - 1.5x2 st x0 - x1 + x2 <= 2, x0 + x1 + x2 <= 4, x1 <= 3, x >= 0:
// x2 is a dearer copy of x0, so the optimum (-7) keeps it nonbasic, and
// bringing it in next to x0 makes the basis singular.
struct TwinLp {
  pTVenv env = nullptr;
  pTVmodel model = nullptr;
  TwinLp() {
    int code = 0;
    env = TVcreateEnv(&code, nullptr);
    model = TVcreateModel(env, &code);
    double c[] = {-2, -1, -1.5}, b[] = {2, 4, 3}, lo[] = {0, 0, 0}, up[] = {TV_INFINITY, TV_INFINITY, TV_INFINITY};
    int start[] = {0, 2, 5, 7}, idx[] = {0, 1, 0, 1, 2, 0, 1};
    double val[] = {1, 1, -1, 1, 1, 1, 1};
    EXPECT_EQ(TVloadLPData(model, 3, 3, TV_MIN, 0, c, b, "LLL", 7, start, nullptr, val, idx, lo, up), 0);
  }
  ~TwinLp() {
    TVdeleteModel(&model);
    TVdeleteEnv(&env);
  }
};

void solve_to_optimum(Glp &g) {
  RunControl rc;
  ASSERT_EQ(run_methods(g, rc, false), kRunOk);
  ASSERT_EQ(g.xstat, XSTAT_OPT);
}

// Pivots x2 in next to the basic x0 in place of a basic slack.
void make_singular(Glp &g) {
  ASSERT_EQ(g.state[0], kBasic);
  ASSERT_NE(g.state[2], kBasic);
  int r = -1;
  for (int p = 0; p < g.m; ++p)
    if (g.head[p] >= g.n) r = p;
  ASSERT_GE(r, 0);
  pivot_basis(g, r, 2, kAtLower, 1.0);
  g.factored = false;
  g.wfact = WFACT_NUMERR;
}

TEST(BasisRecovery, EachMethodRepairsASingularBasisAndTheSolveFinishes) {
  for (int method : {1, 2, 3}) {
    TwinLp lp;
    Glp g;
    LpOptions opt;
    opt.basis_recovery = method;
    build_glp(g, lp.model->data, opt);
    solve_to_optimum(g);
    const std::vector<int> fallback = g.recovery.head;
    ASSERT_FALSE(fallback.empty());
    const int repairs = g.singular_repairs;
    const int freq = g.refactor_freq;
    make_singular(g);
    ASSERT_EQ(refactor(g), 0) << "method " << method;
    switch (method) {
      case 1:  // back to the fallback basis: the last one factorised
        EXPECT_EQ(g.head, fallback);
        EXPECT_EQ(g.recovery.restores, 1);
        break;
      case 3:  // the pivots since that factorisation undone, the injected one with them
        EXPECT_EQ(g.head, fallback);
        EXPECT_EQ(g.recovery.rollbacks, 1);
        break;
      default:  // a slack took the dependent column's place
        EXPECT_EQ(g.singular_repairs, repairs + 1);
        EXPECT_TRUE(g.state[0] != kBasic || g.state[2] != kBasic);
        break;
    }
    EXPECT_EQ(g.refactor_freq, freq - 10);
    // the header stays consistent and the solve ends at the optimum
    int basic = 0;
    for (int j = 0; j < g.n + g.m; ++j) basic += g.state[j] == kBasic;
    EXPECT_EQ(basic, g.m);
    for (int p = 0; p < g.m; ++p) EXPECT_EQ(g.where[g.head[p]], p);
    compute_primal(g);
    solve_to_optimum(g);
    EXPECT_NEAR(objective_value(g), -7.0, 1e-9) << "method " << method;
  }
}

TEST(BasisRecovery, RecoveryKeepsTheRefactorisationIntervalAtOrAboveItsFloor) {
  TwinLp lp;
  Glp g;
  LpOptions opt;
  opt.refactor_freq = 55;
  build_glp(g, lp.model->data, opt);
  solve_to_optimum(g);
  make_singular(g);
  ASSERT_EQ(refactor(g), 0);
  EXPECT_EQ(g.refactor_freq, 55);  // 45 would be below the floor
  // a user's interval below the floor is never raised
  Glp h;
  opt.refactor_freq = 1;
  build_glp(h, lp.model->data, opt);
  solve_to_optimum(h);
  EXPECT_EQ(h.refactor_freq, 1);
}

// The stricter threshold after a singular basis starts from the kernel's
// setting, not from a lower one in use at the time, and becomes the new ceiling.
TEST(BasisRecovery, SingularBasisRaisesTheCeilingOfTheLuThreshold) {
  TwinLp lp;
  Glp g;
  build_glp(g, lp.model->data, LpOptions{});
  solve_to_optimum(g);
  const double upper = g.lu.rel_pivot_tol();
  g.lu_threshold.upper = upper;
  g.lu_threshold.low = true;
  g.lu.set_rel_pivot_tol(0.2 * upper);
  make_singular(g);
  ASSERT_EQ(refactor(g), 0);
  EXPECT_DOUBLE_EQ(g.lu.rel_pivot_tol(), upper + 0.02);
  EXPECT_DOUBLE_EQ(g.lu_threshold.upper, upper + 0.02);
  EXPECT_FALSE(g.lu_threshold.low);
}

TEST(BasisRecovery, RollbackWithoutHistoryIsRefused) {
  TwinLp lp;
  Glp g;
  build_glp(g, lp.model->data, LpOptions{});
  EXPECT_FALSE(rollback_to_factorization(g));
  EXPECT_FALSE(restore_fallback(g));  // nothing saved yet
}

TEST(CrashBasis, TriangularStartReachesTheSameOptimum) {
  for (const char *name : {"afiro", "sc50a", "adlittle", "share2b"}) {
    NetlibModel l;
    if (!l.load(name)) GTEST_SKIP() << "netlib data not found";
    double objective[2] = {0, 0};
    for (int crash = 0; crash < 2; ++crash) {
      Glp g;
      build_glp(g, l.data(), LpOptions{});
      if (crash) {
        EXPECT_GT(crash_basis(g), 0) << name;
        // triangular by construction: factorised without any repair
        ASSERT_EQ(refactor(g), 0);
        EXPECT_EQ(g.singular_repairs, 0) << name;
        EXPECT_EQ(crash_basis(g), 0) << "crash only replaces a slack basis";
      }
      RunControl rc;
      ASSERT_EQ(run_methods(g, rc, crash == 1), kRunOk);
      ASSERT_EQ(g.xstat, XSTAT_OPT) << name;
      objective[crash] = objective_value(g);
    }
    EXPECT_NEAR(objective[0], objective[1], 1e-7 * (1 + std::fabs(objective[0]))) << name;
  }
}

TEST(PartialPricing, BucketsFollowTheMagnitudeOfTheReducedCost) {
  EXPECT_EQ(bucket_of(1.0), 19);          // 1 = 0.5 * 2^1
  EXPECT_EQ(bucket_of(0.75), 20);         // 0.75 * 2^0
  EXPECT_EQ(bucket_of(1024.0), 9);        // 0.5 * 2^11
  EXPECT_EQ(bucket_of(3e10), 1);          // beyond the top
  EXPECT_EQ(bucket_of(1e6), 1);           // 2^20 clamps to the first bucket
  EXPECT_EQ(bucket_of(2e-6), 45);         // below the bottom
  EXPECT_EQ(bucket_of(0.0), 45);
  EXPECT_EQ(bucket_of(1e-4), 33);         // 0.8192 * 2^-13
  PrimalState ps;
  ps.buckets.filed.assign(4, 0);
  file_candidate(ps, 2, 1.0);
  file_candidate(ps, 2, 1000.0);  // filed once only
  file_candidate(ps, 7, 1.0);     // out of range: ignored
  EXPECT_EQ(ps.buckets.bucket[19].size(), 1u);
  EXPECT_TRUE(ps.buckets.bucket[10].empty());
}

}  // namespace
