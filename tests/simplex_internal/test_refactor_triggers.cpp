// Refactorisation besides the update count: on inaccurate updates (the kernel's
// factors made coarse on purpose) and on growth of the factors through updates
// (TV_IPARAM_LP_PALLOC), both without changing the answer.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "netlib_model.hpp"
#include "simplex/glp.hpp"

using namespace tarvo::simplex;

namespace {

struct Outcome {
  int code = -1, xstat = XSTAT_NA, factorizations = 0, accuracy_refactors = 0;
  double objective = 0, iterations = 0;
};

Outcome solve(const tarvo::base::ModelData &d, const LpOptions &opt) {
  Glp g;
  build_glp(g, d, opt);
  RunControl rc;
  Outcome r;
  r.code = run_methods(g, rc, false);
  r.xstat = g.xstat;
  r.factorizations = g.factorizations;
  r.accuracy_refactors = g.accuracy_refactors;
  r.objective = objective_value(g);
  r.iterations = g.total_iterations + g.iterations;
  return r;
}

}  // namespace

TEST(RefactorTriggers, InaccurateUpdatesAskForAFreshFactorisation) {
  NetlibModel l;
  if (!l.load("scagr25")) GTEST_SKIP() << "netlib data not found";
  const Outcome exact = solve(l.data(), LpOptions{});
  ASSERT_EQ(exact.code, kRunOk);
  ASSERT_EQ(exact.xstat, XSTAT_OPT);
  EXPECT_EQ(exact.accuracy_refactors, 0) << "accurate factors must not trip the checks";

  // Factor entries below 1e-3 dropped: the solves drift, and the checks on
  // the updates see it long before the update count runs out.
  LpOptions coarse;
  coarse.lu.drop_tol = 1e-3;
  const Outcome r = solve(l.data(), coarse);
  EXPECT_GT(r.accuracy_refactors, 0);
  EXPECT_GT(r.factorizations, exact.factorizations);
}

TEST(RefactorTriggers, GrowthRoomOfTheFactorsSetsTheRefactorisationInterval) {
  NetlibModel l;
  if (!l.load("scfxm2")) GTEST_SKIP() << "netlib data not found";
  const Outcome dflt = solve(l.data(), LpOptions{});
  LpOptions tight;
  tight.palloc = 1;  // the factors may grow by 1% before a new factorisation
  const Outcome small = solve(l.data(), tight);
  LpOptions roomy;
  roomy.palloc = 1000000;  // growth never forces one: only the update count does
  roomy.refactor_freq = 100;
  const Outcome large = solve(l.data(), roomy);
  for (const Outcome *r : {&dflt, &small, &large}) {
    ASSERT_EQ(r->code, kRunOk);
    ASSERT_EQ(r->xstat, XSTAT_OPT);
    EXPECT_NEAR(r->objective, dflt.objective, 1e-7 * (1 + std::fabs(dflt.objective)));
  }
  EXPECT_GT(small.factorizations, 2 * dflt.factorizations);
  // with unlimited room the interval is exactly the update count
  EXPECT_LE(large.factorizations, static_cast<int>(large.iterations / 100) + 12);
}

// The drift of the updated basics against fresh values shortens the update
// sequence when the updates went wrong, judged against the magnitude of the
// basics: beside values of 1e10 a carried error of 10 is rounding (the
// artificial boxes of the dual phase 1 give such values), an error of 1e7 is not.
TEST(RefactorTriggers, DriftOfTheUpdatedBasicsIsJudgedAgainstTheirMagnitude) {
  NetlibModel l;
  if (!l.load("afiro")) GTEST_SKIP() << "netlib data not found";
  tarvo::base::ModelData d = l.data();
  for (int i = 0; i < d.m; ++i) d.b[i] *= 1e10;
  Glp g;
  build_glp(g, d, LpOptions{});
  RunControl rc;
  ASSERT_EQ(run_methods(g, rc, false), kRunOk);
  ASSERT_EQ(g.xstat, XSTAT_OPT);
  g.factored = false;
  ASSERT_EQ(refactor(g), 0);
  compute_primal(g);
  double xmax = 0;
  int small = 0;
  for (int p = 0; p < g.m; ++p) {
    const double v = std::fabs(g.x[g.head[p]]);
    xmax = std::max(xmax, v);
    if (v < std::fabs(g.x[g.head[small]])) small = p;
  }
  ASSERT_GT(xmax, 1e9);
  const int freq = g.refactor_freq;
  g.x[g.head[small]] += 1e-9 * xmax;
  compute_primal_checked(g);
  EXPECT_EQ(g.refactor_freq, freq) << "rounding-sized drift";
  g.x[g.head[small]] += 1e-3 * xmax;
  compute_primal_checked(g);
  EXPECT_LT(g.refactor_freq, freq) << "a real loss of accuracy";
}
