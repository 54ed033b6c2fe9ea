// Orbits of the node subgroup used by orbital fixing: generators that move a
// column to one with other bounds at the node drop out of the subgroup, or
// switch the whole-group form off.
#include <gtest/gtest.h>

#include <vector>

#include "mip/orbital_fixing.hpp"

namespace {

using tarvo::mip::OrbitalFixing;

// Columns 0..3 under (0 1) and (1 2); column 3 is alone; 4 and 5 swap.
std::vector<OrbitalFixing::Generator> generators() { return {{{0, 1}, {1, 0}}, {{1, 2}, {2, 1}}, {{4, 5}, {5, 4}}}; }

TEST(OrbitalFixing, SubgroupKeepingTheNodeBounds) {
  OrbitalFixing of(6, generators(), false);
  std::vector<double> lo(6, 0), up(6, 1);
  EXPECT_EQ(of.orbit(0, lo.data(), up.data()), (std::vector<int>{1, 2}));
  EXPECT_EQ(of.orbit(2, lo.data(), up.data()), (std::vector<int>{0, 1}));
  EXPECT_TRUE(of.orbit(3, lo.data(), up.data()).empty());
  // column 1 fixed at the node: neither generator through it keeps the bounds
  up[1] = 0;
  EXPECT_TRUE(of.orbit(0, lo.data(), up.data()).empty());
  EXPECT_EQ(of.orbit(4, lo.data(), up.data()), (std::vector<int>{5}));
  // column 0 fixed instead: (1 2) still acts
  up[1] = 1;
  lo[0] = up[0] = 1;
  EXPECT_EQ(of.orbit(1, lo.data(), up.data()), (std::vector<int>{2}));
  EXPECT_EQ(of.branchings(), 4);
}

TEST(OrbitalFixing, WholeGroupFormActsOnlyWhileEveryGeneratorKeepsTheBounds) {
  OrbitalFixing of(6, generators(), true);
  std::vector<double> lo(6, 0), up(6, 1);
  EXPECT_EQ(of.orbit(1, lo.data(), up.data()), (std::vector<int>{0, 2}));
  up[5] = 0;  // a generator far from column 1 breaks
  EXPECT_TRUE(of.orbit(1, lo.data(), up.data()).empty());
}

}  // namespace
