// Integer programs whose rows differ in scale by many orders of magnitude:
// the cut separators aggregate such rows, and what is round-off in one row's
// units decides a cut in another's. Optima are derived by hand in the tests.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "lp_fixture.hpp"
#include "mip_check.hpp"
#include "mip_fixture.hpp"

namespace {

using lpfix::Lp;
using mipfix::brute_force;
using mipfix::load_mip;
using mipfix::Solved;
using mipfix::solve;

// Columns x3, x5, x9 integer, x8 continuous in [0, 1]:
//   4e-6 x3 + 1e-6 x9 >= -2.39e-5          (4 x3 + x9 >= -23.9)
//   x8 + 3 x9 >= 12.249368304181246
//   -4e6 x3 + 4e6 x5 + 2e6 x8 = 40906850.342046328
// The equation leaves x5 - x3 = 10 with x8 = 0.4534..., so 3 x9 >= 11.79...
// asks x9 >= 4; x3 = -7 needs x9 >= 5 by the first row. The optimum is
// 8 * 3 + 3 * 5 = 39 (x3 = -6, x5 = 4, x9 = 4 gives 44).
Lp scaled_rows() {
  Lp lp;
  lp.sense = TV_MIN;
  lp.c = {0, 8, 0, 3};
  lp.rows = {{4e-6, 0, 0, 1e-6}, {0, 0, 1, 3}, {-4e6, 4e6, 2e6, 0}};
  lp.b = {-2.39e-5, 12.249368304181246, 40906850.342046328};
  lp.types = "GGE";
  lp.lower = {-7, -6, 0, -4};
  lp.upper = {8, 8, 1, 5};
  return lp;
}

TEST(MipRowScales, AggregatingRowsOfScale1e6And1e_6KeepsTheOptimum) {
  // A multiplier of 1e-12 on the big equation used to drop its slack from
  // the aggregation: worth 4e-5 against a row whose slack range is 2e-5.
  struct Setting {
    int presolve, cuts;
  };
  for (const Setting st : {Setting{-1, -1}, Setting{0, -1}, Setting{0, TV_MIP_GOMORY_CUTS}}) {
    tvtest::EnvHandle env;
    tvtest::ModelHandle model(env);
    load_mip(model, scaled_rows(), "IICI");
    TVsetModelIntParameter(model, TV_IPARAM_MIP_PRINTLEVEL, 0);
    TVsetModelDouParameter(model, TV_DPARAM_MIP_RELOPTTOL, 1e-10);
    if (st.presolve >= 0) TVsetModelIntParameter(model, TV_IPARAM_MIP_PRELEVEL, st.presolve);
    if (st.cuts >= 0) TVsetModelIntParameter(model, TV_IPARAM_MIP_CUTLEVEL_TOP, st.cuts);
    const Solved s = solve(model);
    ASSERT_EQ(s.code, 0);
    ASSERT_EQ(s.status, TV_STATUS_OPTIMAL) << "presolve " << st.presolve << " cuts " << st.cuts;
    EXPECT_NEAR(s.obj, 39, 1e-6);
    EXPECT_NEAR(mipcheck::verify_incumbent(model), 39, 1e-6);
  }
}

// Two equality knapsacks over general integers, one row scaled by 1e7 and
// the other by 1e-5: most branches are infeasible, and the node LPs must
// prove it though the rows' multipliers differ by 1e12.
// A pure integer program solved without presolve, cuts and heuristics (presolve
// would rescale the rows, cuts and heuristics close the tree before the nodes
// matter), checked against enumeration: optimal, and proved so.
void expect_tree_proves_optimum(const Lp &lp, const std::string &vtypes) {
  const double best = brute_force(lp, vtypes);
  ASSERT_FALSE(std::isnan(best));
  tvtest::EnvHandle env;
  tvtest::ModelHandle model(env);
  load_mip(model, lp, vtypes);
  TVsetModelIntParameter(model, TV_IPARAM_MIP_PRINTLEVEL, 0);
  TVsetModelDouParameter(model, TV_DPARAM_MIP_RELOPTTOL, 1e-10);
  TVsetModelIntParameter(model, TV_IPARAM_MIP_PRELEVEL, 0);
  TVsetModelIntParameter(model, TV_IPARAM_MIP_CUTLEVEL_TOP, 0);
  TVsetModelIntParameter(model, TV_IPARAM_MIP_CUTLEVEL_TREE, 0);
  TVsetModelIntParameter(model, TV_IPARAM_MIP_HEULEVEL, 0);
  const Solved s = solve(model);
  ASSERT_EQ(s.code, 0);
  ASSERT_EQ(s.status, TV_STATUS_OPTIMAL);
  EXPECT_NEAR(s.obj, best, 1e-6);
  EXPECT_NEAR(s.bound, best, 1e-6);
}

TEST(MipRowScales, InfeasibleNodesOfEqualitiesScaled1e7And1e_5AreProvedSo) {
  // multipliers of the two rows differ by 1e12: a share of the largest as
  // rounding level zeroed the big row's and voided every proof
  Lp lp;
  lp.sense = TV_MIN;
  lp.c = {0, 0, 0, 0, 0, 19};
  lp.rows = {{3.4e8, 3.8e8, 2e8, 2.8e8, 7e7, 1.7e8}, {7.2e-4, 1.2e-3, 2.7e-4, 5.4e-4, 0, 1.2e-4}};
  lp.b = {6.07e9, 0.01329};
  lp.types = "EE";
  lp.lower = {0, 7, 0, 0, 0, 0};
  lp.upper = {6, 7, 7, 3, 5, 7};
  expect_tree_proves_optimum(lp, "IIIIII");
}

TEST(MipRowScales, InfeasibilityOfARowScaled1e_5IsMeasuredInItsOwnUnits) {
  // the node proofs use row 1 with a multiplier near 3e4: an allowance of
  // 1e-7 per unit of it on the unscaled row swallowed them, in the row's
  // scaled units they hold with room
  Lp lp;
  lp.sense = TV_MIN;
  lp.c = {0, 0, 0, 0, 0, 12, 18, 13};
  lp.rows = {{6.9e-4, 7.8e-4, 0, 2.7e-4, 4.8e-4, 9.6e-4, 9e-4, 4.5e-4},
             {0, 0, 0, 3.9e-5, 1.8e-5, 0, 3e-6, 2.5e-5},
             {2.5e6, 3.2e6, 2.3e6, 0, 0, 2.1e6, 1.9e6, 0}};
  lp.b = {0.01725, 0.000397 - 6 * 2.6e-5, 60500000};
  lp.types = "EEE";
  lp.lower = {0, 0, 0, 0, 0, 0, 0, 0};
  lp.upper = {8, 9, 8, 4, 2, 4, 8, 4};
  expect_tree_proves_optimum(lp, "IIIIIIII");
}

}  // namespace
