// Bound flips in the dual simplex: the basics the iterations carry must stay
// those the factors give for the nonbasic values, also when a flip moves most
// basics at once (fit1p: boxed columns that are dense in few rows).
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "netlib_model.hpp"
#include "simplex/glp.hpp"

using namespace tarvo::simplex;

namespace {

TEST(DualFlips, CarriedBasicsMatchTheRecomputedOnes) {
  NetlibModel l;
  if (!l.load("fit1p")) GTEST_SKIP() << "netlib data not found";
  for (const int limit : {20, 80, 300}) {
    Glp g;
    LpOptions opt;
    opt.refactor_freq = 1000;  // no fresh values between the pivots
    build_glp(g, l.data(), opt);
    RunControl rc;
    rc.iter_limit = limit;
    ASSERT_EQ(dual_simplex(g, rc), kRunOk);
    ASSERT_EQ(g.xstat, XSTAT_ITERLIM) << limit;
    ASSERT_GT(g.lu.num_updates(), 0) << limit;
    const std::vector<double> carried = g.x;
    compute_primal(g);
    double worst = 0.0;
    for (int p = 0; p < g.m; ++p) {
      const int j = g.head[p];
      worst = std::max(worst, std::fabs(carried[j] - g.x[j]) / (1.0 + std::fabs(g.x[j])));
    }
    EXPECT_LT(worst, 1e-8) << "after " << limit << " iterations";
  }
}

}  // namespace
