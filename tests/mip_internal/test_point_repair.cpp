// Candidates the incumbent takes are cleaned: integers exact, columns inside
// their bounds, rows within the tolerance, re-solving the continuous columns
// when clipping breaks a row; what cannot be cleaned is refused.
#include <gtest/gtest.h>

#include "mip/incumbent.hpp"
#include "mip/point_repair.hpp"
#include "dense_problem.hpp"

namespace {

using tarvo::mip::MipProblem;

double row_violation(const MipProblem &p, const std::vector<double> &x) {
  return tarvo::mip::check_point(p, x.data(), 0).row;
}

TEST(PointRepair, RoundsIntegersAndClipsColumnsIntoTheirBounds) {
  // 2 x + y <= 10 (x integer in [0,3], y in [0,4])
  const MipProblem p = mip_test::dense_problem({{2, 1}}, {-1e30}, {10}, {0, 0}, {3, 4}, {1, 0}, {-1, -1});
  tarvo::mip::Incumbent inc(p, 1e-6, 1e-6);
  ASSERT_TRUE(inc.submit({2 + 4e-7, 4 + 4e-6}, "(*H) "));
  EXPECT_EQ(inc.incumbent()[0], 2.0);
  EXPECT_EQ(inc.incumbent()[1], 4.0);
  EXPECT_EQ(inc.incumbent_objective(), -6.0);
}

TEST(PointRepair, ClippingThatBreaksARowIsRepairedOverTheContinuousColumns) {
  // 1000 y1 + y2 = 500.5 with y1 <= 0.5: y1 just above its bound keeps the
  // row, clipped alone it breaks it by 1.4e-3; y2 must move up instead
  const MipProblem p = mip_test::dense_problem({{1000, 1, 0}}, {500.5}, {500.5}, {0, 0, 0}, {0.5, 10, 2}, {0, 0, 1}, {0, 1, 1});
  tarvo::mip::Incumbent inc(p, 1e-6, 1e-6);
  ASSERT_TRUE(inc.submit({0.5 + 1.4e-6, 0.5 - 1.4e-3, 1}, "(*AH)"));
  const std::vector<double> &x = inc.incumbent();
  EXPECT_LE(x[0], 0.5);
  EXPECT_EQ(x[2], 1.0);
  EXPECT_LE(row_violation(p, x), 1e-9);
  EXPECT_NEAR(x[1], 0.5, 1e-9);
}

TEST(PointRepair, AnIntegerPointWhoseRoundingBreaksARowIsRefused) {
  // sum x - sum z <= -1.8e-5 over ten x and ten z: each within 1e-6 of an
  // integer, but rounding all of them adds up to a violation of 1.8e-5
  std::vector<double> row, x;
  for (int k = 0; k < 20; ++k) {
    row.push_back(k < 10 ? 1 : -1);
    x.push_back(k < 10 ? 1 - 9e-7 : 1 + 9e-7);
  }
  const MipProblem p = mip_test::dense_problem({row}, {-1e30}, {-1.8e-5}, std::vector<double>(20, 0), std::vector<double>(20, 2),
                            std::vector<char>(20, 1), std::vector<double>(20, 0));
  tarvo::mip::Incumbent inc(p, 1e-6, 1e-6);
  EXPECT_FALSE(inc.submit(x, "(*H) "));
  EXPECT_FALSE(inc.has_incumbent());
  x.assign(20, 0);
  x[10] = 1;
  EXPECT_TRUE(inc.submit(x, "(*H) "));
}

TEST(PointRepair, RepairNeverInventsFeasibility) {
  // x + y >= 3 with y <= 1 and x integer <= 1: nothing is feasible, and a
  // point just outside the bounds is not pulled into one
  const MipProblem p = mip_test::dense_problem({{1, 1}}, {3}, {1e30}, {0, 0}, {1, 1}, {1, 0}, {1, 1});
  tarvo::mip::Incumbent inc(p, 1e-6, 1e-6);
  EXPECT_FALSE(inc.submit({1, 2}, "(*H) "));
  std::vector<double> x = {1, 1 + 1e-6};
  EXPECT_FALSE(tarvo::mip::clean_point(p, x, 1e-6));
}

}  // namespace
