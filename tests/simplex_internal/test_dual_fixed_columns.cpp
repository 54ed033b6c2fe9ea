// Fixed columns in the dual simplex: the ratio test must never let one enter,
// also while phase-1 boxes change other columns' bounds (scagr7, israel and
// e226 start in phase 1 from the slack basis) and after they come off.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "netlib_model.hpp"
#include "simplex/glp.hpp"

using namespace tarvo::simplex;

namespace {

TEST(DualFixedColumns, NeverEnterAndKeepTheOptimum) {
  for (const std::string name : {"afiro", "scagr7", "e226", "israel", "boeing2", "stocfor1", "scsd1", "share2b"}) {
    NetlibModel l;
    if (!l.load(name)) GTEST_SKIP() << "netlib data not found";
    Glp first;
    build_glp(first, l.data(), LpOptions());
    RunControl rc;
    ASSERT_EQ(dual_simplex(first, rc), kRunOk) << name;
    ASSERT_EQ(first.xstat, XSTAT_OPT) << name;
    // every fifth column fixed at its optimal value: the optimum stays
    Glp g;
    build_glp(g, l.data(), LpOptions());
    std::vector<int> fixed;
    for (int j = 0; j < g.n; j += 5) {
      g.lower[j] = g.upper[j] = first.x[j];
      if (g.state[j] != kBasic) place_nonbasic(g, j);
      fixed.push_back(j);
    }
    ASSERT_EQ(dual_simplex(g, rc), kRunOk) << name;
    EXPECT_EQ(g.xstat, XSTAT_OPT) << name;
    const double z = objective_value(first);
    EXPECT_NEAR(objective_value(g), z, 1e-7 * (1.0 + std::fabs(z))) << name;
    for (int j : fixed) EXPECT_NE(g.state[j], kBasic) << name << " column " << j;
  }
}

}  // namespace
