// Dual Devex: it must reach the steepest-edge optimum in a comparable number of
// pivots, its weights never fall below the framework's 1, and weights that
// drifted far above the exact framework norm get a fresh framework.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "netlib_model.hpp"
#include "simplex/glp.hpp"

using namespace tarvo::simplex;

namespace {

struct Solved {
  double objective = 0;
  double iterations = 0;
};

Solved solve(const NetlibModel &l, int pricing, Glp &g) {
  build_glp(g, l.data(), LpOptions{});
  RunControl rc;
  rc.dual_pricing = pricing;
  EXPECT_EQ(dual_simplex(g, rc), kRunOk);
  EXPECT_EQ(g.xstat, XSTAT_OPT);
  return {objective_value(g), g.iterations};
}

}  // namespace

TEST(DualDevex, ReachesTheSteepestEdgeOptimumWithWeightsOfAtLeastOne) {
  for (const char *name : {"afiro", "sc105", "adlittle", "share2b", "israel", "scagr25", "bandm"}) {
    NetlibModel l;
    if (!l.load(name)) GTEST_SKIP() << "netlib data not found";
    Glp dse, devex;
    const Solved a = solve(l, 1, dse);
    const Solved b = solve(l, 3, devex);
    EXPECT_NEAR(b.objective, a.objective, 1e-7 * (1 + std::fabs(a.objective))) << name;
    EXPECT_LE(b.iterations, 2.0 * a.iterations + 20) << name;
    EXPECT_GE(*std::min_element(devex.weight.begin(), devex.weight.end()), 1.0) << name;
  }
}

TEST(DualDevex, DriftedWeightsGetAFreshFramework) {
  NetlibModel l;
  if (!l.load("sc105")) GTEST_SKIP() << "netlib data not found";
  Glp g;
  build_glp(g, l.data(), LpOptions{});
  RunControl rc;
  rc.dual_pricing = 3;
  rc.iter_limit = 5;
  ASSERT_EQ(dual_simplex(g, rc), kRunOk);
  ASSERT_EQ(g.devex_ref.size(), static_cast<std::size_t>(g.n + g.m));
  // weights far above any framework norm: a single one may be a misestimate,
  // three pivots in a row on worn weights must bring a fresh framework
  std::fill(g.weight.begin(), g.weight.end(), 1e8);
  rc.iter_limit = 3;
  g.iterations = 0;
  ASSERT_EQ(dual_simplex(g, rc), kRunOk);
  ASSERT_EQ(g.iterations, 3);
  EXPECT_LT(*std::max_element(g.weight.begin(), g.weight.end()), 1e8);
  for (int p = 0; p < g.m; ++p) EXPECT_TRUE(g.devex_ref[g.head[p]]) << "position " << p;
}
