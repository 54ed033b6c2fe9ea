// The best basis of a solve (kept when TV_IPARAM_LP_UMODE bit 4 is set): how
// progress is ranked across phases and methods, and that numerical errors in a
// row bring back the best basis instead of the fallback.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "netlib_model.hpp"
#include "simplex/glp.hpp"

using namespace tarvo::simplex;

namespace {

// A factorised optimal basis of the model, with the best-basis record on.
void solve_kept(Glp &g, const tarvo::base::ModelData &d, int refactor_freq = 200) {
  LpOptions opt;
  opt.refactor_freq = refactor_freq;
  build_glp(g, d, opt);
  g.recovery.keep_best = true;
  RunControl rc;
  ASSERT_EQ(run_methods(g, rc, false), kRunOk);
  ASSERT_EQ(g.xstat, XSTAT_OPT);
}

TEST(BestBasis, ProgressRanksFeasibilityFirstThenTheMeasureOfTheSameKindOfRun) {
  NetlibModel l;
  if (!l.load("sc50a")) GTEST_SKIP() << "netlib data not found";
  Glp g;
  solve_kept(g, l.data());
  forget_best_basis(g);
  auto seen = [&](ProgressKind kind, double measure) {
    g.iterations += 10;  // looks are spaced out
    const double before = g.recovery.best_iteration;
    note_progress(g, kind, measure);
    return g.recovery.best_iteration != before;
  };
  EXPECT_TRUE(seen(kPrimalPhase1, 5.0));
  EXPECT_FALSE(seen(kPrimalPhase1, 7.0)) << "a larger infeasibility sum is no progress";
  EXPECT_FALSE(seen(kPrimalPhase1, 5.0)) << "neither is the same one";
  EXPECT_TRUE(seen(kPrimalPhase1, 3.0));
  EXPECT_TRUE(seen(kDualPhase1, 100.0)) << "another kind of run at the same level counts";
  // the optimal basis is at level 0: nothing of a phase 1 replaces it
  EXPECT_TRUE(seen(kPrimalPhase2, 1e9));
  EXPECT_EQ(g.recovery.best.level, 0);
  EXPECT_FALSE(seen(kPrimalPhase1, -1e9));
  EXPECT_FALSE(seen(kDualPhase1, -1e9));
  // looks closer than the spacing are skipped
  const double at = g.recovery.best_iteration;
  note_progress(g, kPrimalPhase2, -1e30);
  EXPECT_EQ(g.recovery.best_iteration, at);
  // and nothing is kept without the option
  forget_best_basis(g);
  g.recovery.keep_best = false;
  note_progress(g, kPrimalPhase1, 1.0);
  EXPECT_FALSE(g.recovery.best_saved());
}

// The restore a numerical error asks for: the best basis with the option,
// the fallback (the last one factorised) without it.
TEST(BestBasis, RestoreRequestPutsBackTheBestBasisInsteadOfTheFallback) {
  NetlibModel l;
  if (!l.load("sc50a")) GTEST_SKIP() << "netlib data not found";
  for (const bool keep : {true, false}) {
    Glp g;
    solve_kept(g, l.data());
    g.recovery.keep_best = keep;
    forget_best_basis(g);
    g.iterations += 100;
    note_progress(g, kDualPhase2, -objective_value(g));  // the optimum, by the dual's measure
    const std::vector<int> best = g.recovery.best_head;
    EXPECT_EQ(best.empty(), !keep);
    // the slack basis, factorised, becomes the fallback
    slack_basis(g);
    ASSERT_EQ(refactor(g), 0);
    const std::vector<int> fallback = g.recovery.head;
    ASSERT_NE(fallback, g.recovery.best_head);
    // a pivot that goes wrong twice more after the first error
    for (int err = 0; err < 3; ++err) {
      g.wfact = WFACT_NUMERR;
      g.factored = false;
      ASSERT_EQ(refactor(g), 0);
    }
    if (keep) {
      EXPECT_EQ(g.head, best);
      EXPECT_EQ(g.recovery.best_restores, 1);
    } else {
      EXPECT_EQ(g.head, fallback);
      EXPECT_EQ(g.recovery.restores, 1);
    }
    // the header is whole again and the solve goes on to the optimum from it
    for (int p = 0; p < g.m; ++p) EXPECT_EQ(g.where[g.head[p]], p);
    RunControl rc;
    rc.perturb = false;
    g.iterations = 0;
    ASSERT_EQ(run_methods(g, rc, false), kRunOk);
    EXPECT_EQ(g.xstat, XSTAT_OPT);
    if (keep) {
      EXPECT_EQ(g.iterations, 0) << "the best basis was optimal already";
    }
  }
}

// End to end: a forced numerical error on three pivots in a row in the middle
// of a solve; the run goes back to the best basis and still ends optimal.
TEST(BestBasis, ForcedNumericalErrorsMidSolveRestoreTheBestBasis) {
  int exercised = 0;
  for (const char *name : {"sc50a", "share2b", "scagr7"}) {
    NetlibModel l;
    if (!l.load(name)) GTEST_SKIP() << "netlib data not found";
    Glp clean;
    solve_kept(clean, l.data(), 20);
    const double optimum = objective_value(clean);
    const double clean_iterations = clean.iterations;
    for (const bool primal : {false, true})
      for (const bool keep : {true, false}) {
        Glp g;
        LpOptions opt;
        opt.refactor_freq = 20;
        build_glp(g, l.data(), opt);
        g.recovery.keep_best = keep;
        int fired = 0;
        const double at = std::floor(clean_iterations / 2);
        g.numerical_fault = [&](const Glp &w) {
          if (fired >= 3 || w.iterations < at || w.lu.num_updates() == 0) return false;
          ++fired;
          return true;
        };
        RunControl rc;
        ASSERT_EQ(run_methods(g, rc, primal), kRunOk) << name;
        EXPECT_EQ(g.xstat, XSTAT_OPT) << name;
        EXPECT_NEAR(objective_value(g), optimum, 1e-7 * (1 + std::fabs(optimum))) << name;
        if (fired < 3) continue;  // the run ended before the errors could repeat
        ++exercised;
        EXPECT_EQ(g.recovery.best_restores, keep ? 1 : 0) << name << (primal ? " primal" : " dual");
        if (!keep) {
          EXPECT_GE(g.recovery.restores, 1) << name;
        }
      }
  }
  EXPECT_GE(exercised, 6) << "the forced errors rarely came three in a row";
}

}  // namespace
