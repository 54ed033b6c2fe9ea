// Block structure and the block solver on small random block MIPs, checked
// against enumeration: the bound never passes the optimum, solutions are
// feasible, and without linking rows the blocks' optima are the optimum.
#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "common/clock.hpp"
#include "mip/block_solver.hpp"
#include "mip/block_structure.hpp"
#include "mip/incumbent.hpp"
#include "mip/working_problem.hpp"
#include "dense_problem.hpp"
#include "params/param_values.hpp"
#include "params/param_table.hpp"
#include "tarvo.h"

namespace {

using tarvo::mip::MipProblem;

// `blocks` blocks of `width` integer columns in [0, 2] with two rows each,
// and `linking` rows over every column; rows random but satisfied by a
// random point, so that the problem is feasible.
MipProblem random_block_mip(std::mt19937 &rng, int blocks, int width, int linking) {
  std::uniform_int_distribution<int> coef(-3, 5), val(0, 2), cost(-6, 6);
  const int n = blocks * width;
  std::vector<double> point(n);
  for (double &v : point) v = val(rng);
  std::vector<std::vector<double>> rows;
  std::vector<double> lo, up;
  auto add_row = [&](const std::vector<int> &cols) {
    std::vector<double> row(n, 0.0);
    double act = 0;
    for (int j : cols) {
      row[j] = coef(rng);
      if (row[j] == 0) row[j] = 1;
      act += row[j] * point[j];
    }
    // one-sided rows with a little slack at the point
    rows.push_back(row);
    lo.push_back(-1e30);
    up.push_back(act + val(rng));
  };
  for (int b = 0; b < blocks; ++b)
    for (int r = 0; r < 2; ++r) {
      std::vector<int> cols;
      for (int k = 0; k < width; ++k) cols.push_back(b * width + k);
      add_row(cols);
    }
  for (int r = 0; r < linking; ++r) {
    std::vector<int> cols(n);
    for (int j = 0; j < n; ++j) cols[j] = j;
    add_row(cols);
  }
  std::vector<double> c(n);
  for (double &v : c) v = cost(rng);
  return mip_test::dense_problem(rows, lo, up, std::vector<double>(n, 0.0), std::vector<double>(n, 2.0),
                                 std::vector<char>(n, 1), c);
}

// Binary problem over n columns with rows <= up.
MipProblem binary(const std::vector<std::vector<double>> &rows, const std::vector<double> &up, std::vector<double> c) {
  const int n = static_cast<int>(c.size());
  return mip_test::dense_problem(rows, std::vector<double>(rows.size(), -1e30), up, std::vector<double>(n, 0.0),
                                 std::vector<double>(n, 1.0), std::vector<char>(n, 1), std::move(c));
}

struct Solved {
  tarvo::mip::BlockTryResult result;
  double lp_bound = 0;
  bool has_incumbent = false;
  double incumbent = 1e30;
};

Solved run_blocks(const MipProblem &p) {
  Solved s;
  tarvo::base::ParamValues params;
  params.reset_to_defaults(tarvo::base::params::kModelScope);
  tarvo::base::ModelData data;
  tarvo::mip::problem_to_lp_data(p, &data);
  tarvo::simplex::LpSolver lp;
  lp.load(data, tarvo::simplex::LpOptions{});
  for (int i = 0; i < p.m; ++i) lp.set_row_bounds(i, p.row_lo[i], p.row_up[i]);
  if (lp.solve(TV_METHOD_DSIMPLEX, {}) != tarvo::simplex::LpStatus::kOptimal) return s;
  s.lp_bound = lp.objective();
  tarvo::mip::Incumbent inc(p, 1e-6, 1e-6);
  tarvo::mip::MipContext ctx{p, lp, params, inc};
  ctx.deadline = tarvo::common::wall_seconds() + 60;
  s.result = tarvo::mip::try_block_solver(ctx);
  s.has_incumbent = inc.has_incumbent();
  s.incumbent = inc.incumbent_objective();
  return s;
}

TEST(BlockStructure, FindsBlocksAndTheLinkingRows) {
  std::mt19937 rng(5);
  const MipProblem p = random_block_mip(rng, 3, 4, 1);
  const tarvo::mip::BlockStructure b = tarvo::mip::find_blocks(p);
  ASSERT_EQ(b.blocks(), 3);
  EXPECT_EQ(b.linking_rows, std::vector<int>{6});
  for (int k = 0; k < 3; ++k) {
    EXPECT_EQ(b.cols[k].size(), 4u);
    EXPECT_EQ(b.rows[k], (std::vector<int>{2 * k, 2 * k + 1}));
  }
  // one block only (every row over every column, nothing to set aside): no structure
  const MipProblem one = binary({{1, 1, 1}, {1, 2, 1}}, {2, 3}, {-1, -1, -1});
  EXPECT_EQ(tarvo::mip::find_blocks(one).blocks(), 0);
}

TEST(BlockStructure, ColumnsInNoRowFormABlockOfTheirOwn) {
  // x0 + x1 <= 1, x2 + x3 <= 1, x4 and x5 in no row
  const MipProblem p = binary({{1, 1, 0, 0, 0, 0}, {0, 0, 1, 1, 0, 0}}, {1, 1}, std::vector<double>(6, -1.0));
  const tarvo::mip::BlockStructure b = tarvo::mip::find_blocks(p);
  ASSERT_EQ(b.blocks(), 3);
  EXPECT_TRUE(b.linking_rows.empty());
  EXPECT_EQ(b.cols[2], (std::vector<int>{4, 5}));
  EXPECT_TRUE(b.rows[2].empty());
  const Solved s = run_blocks(p);
  EXPECT_TRUE(s.result.found);
  EXPECT_NEAR(s.incumbent, -4.0, 1e-9);
  EXPECT_NEAR(s.result.bound, -4.0, 1e-9);
}

TEST(BlockSolver, WithoutLinkingRowsTheBlockOptimaAreTheOptimum) {
  std::mt19937 rng(11);
  for (int trial = 0; trial < 12; ++trial) {
    const MipProblem p = random_block_mip(rng, 3, 3, 0);
    const double opt = mip_test::enumerated_optimum(p);
    const Solved s = run_blocks(p);
    ASSERT_TRUE(s.result.structure) << trial;
    ASSERT_TRUE(s.result.found) << trial;
    EXPECT_NEAR(s.incumbent, opt, 1e-6) << trial;
    EXPECT_NEAR(s.result.bound, opt, 1e-6) << trial;
  }
}

TEST(BlockSolver, LagrangianBoundIsValidAndAtLeastTheLpBound) {
  std::mt19937 rng(23);
  int found = 0, above_lp = 0;
  for (int trial = 0; trial < 20; ++trial) {
    const MipProblem p = random_block_mip(rng, 3, 3, 1 + trial % 2);
    const double opt = mip_test::enumerated_optimum(p);
    const Solved s = run_blocks(p);
    ASSERT_TRUE(s.result.structure) << trial;
    ASSERT_GT(s.result.bound, -1e29) << trial;
    EXPECT_LE(s.result.bound, opt + 1e-6) << trial;
    // the multipliers are the LP's duals: the relaxation with integral blocks is no weaker
    EXPECT_GE(s.result.bound, s.lp_bound - 1e-6) << trial;
    above_lp += s.result.bound > s.lp_bound + 1e-6;
    if (s.result.found) {
      ++found;
      EXPECT_GE(s.incumbent, opt - 1e-6) << trial;
      EXPECT_NEAR(s.result.objective, s.incumbent, 1e-9) << trial;
    }
  }
  // the greedy completion respects the linking capacity often enough to matter
  EXPECT_GE(found, 5);
  EXPECT_GE(above_lp, 1);
}

}  // namespace
