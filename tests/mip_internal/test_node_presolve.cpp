// The node presolve: what a node's bound changes imply through the rows, with
// the propagator's state restored between nodes and after a change of the
// global bounds.
#include <gtest/gtest.h>

#include <vector>

#include "mip/node_presolve.hpp"

namespace {

using namespace tarvo::mip;

// x0 + x1 + x2 <= 1 (binaries), x2 + y >= 2 with y integer in [0, 5],
// and 2 x3 + z <= 3 with z continuous in [0, 10] (nothing integer to imply).
MipProblem packing_problem() {
  MipProblem p;
  p.m = 3;
  p.n = 6;
  p.c.assign(6, 1);
  p.col_lo = {0, 0, 0, 0, 0, 0};
  p.col_up = {1, 1, 1, 1, 5, 10};
  p.is_int = {1, 1, 1, 1, 1, 0};
  // columns: x0 x1 x2 x3 y z
  p.col_start = {0, 1, 2, 4, 5, 6, 7};
  p.col_index = {0, 0, 0, 1, 2, 1, 2};
  p.col_value = {1, 1, 1, 1, 2, 1, 1};
  p.row_lo = {-1e30, 2, -1e30};
  p.row_up = {1, 1e30, 3};
  p.build_rows();
  return p;
}

const BoundChange *find(const std::vector<BoundChange> &v, int col) {
  for (const BoundChange &c : v)
    if (c.col == col) return &c;
  return nullptr;
}

TEST(NodePresolve, PathBoundsImplyIntegerBoundsAndEmptyNodesAreFound) {
  const MipProblem p = packing_problem();
  NodePresolve pre(p, 1e-6, false);
  std::vector<BoundChange> implied;
  // x0 = 1 empties the rest of the packing row, and x2 = 0 asks y >= 2
  ASSERT_TRUE(pre.run(p.col_lo, p.col_up, {{0, 1, 1}}, 1e30, &implied));
  ASSERT_NE(find(implied, 1), nullptr);
  EXPECT_EQ(find(implied, 1)->up, 0);
  ASSERT_NE(find(implied, 2), nullptr);
  EXPECT_EQ(find(implied, 2)->up, 0);
  ASSERT_NE(find(implied, 4), nullptr);
  EXPECT_EQ(find(implied, 4)->lo, 2);
  EXPECT_EQ(find(implied, 0), nullptr);  // the path's own change is not news
  EXPECT_EQ(find(implied, 5), nullptr);  // continuous columns stay with the LP
  // two members of the packing row at 1: no solution below this node
  EXPECT_FALSE(pre.run(p.col_lo, p.col_up, {{0, 1, 1}, {1, 1, 1}}, 1e30, &implied));
  EXPECT_EQ(pre.nodes_pruned(), 1);
  // the earlier nodes left nothing behind: x3 = 1 implies only z <= 1, nothing integer
  ASSERT_TRUE(pre.run(p.col_lo, p.col_up, {{3, 1, 1}}, 1e30, &implied));
  EXPECT_TRUE(implied.empty());
}

TEST(NodePresolve, TighterGlobalBoundsAreTakenUp) {
  const MipProblem p = packing_problem();
  NodePresolve pre(p, 1e-6, true);
  std::vector<BoundChange> implied;
  std::vector<double> lo = p.col_lo, up = p.col_up;
  up[4] = 1;  // y <= 1 globally: x2 = 0 leaves x2 + y >= 2 out of reach
  EXPECT_FALSE(pre.run(lo, up, {{2, 0, 0}}, 1e30, &implied));
  // x1 = 1 forces x2 = 0 through the packing row: the same dead end one step on
  EXPECT_FALSE(pre.run(lo, up, {{1, 1, 1}}, 1e30, &implied));
  // back to the old globals the same node is fine
  ASSERT_TRUE(pre.run(p.col_lo, p.col_up, {{2, 0, 0}}, 1e30, &implied));
  ASSERT_NE(find(implied, 4), nullptr);
  EXPECT_EQ(find(implied, 4)->lo, 2);
}

}  // namespace
