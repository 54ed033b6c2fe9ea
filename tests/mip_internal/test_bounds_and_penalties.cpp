// Bound propagation and probing never cut off a known optimum, the rounding
// penalties of the branching rules bound the true cost of each child, and the
// enumeration solver's hook is honoured (or skipped) as TV_IPARAM_MIP_SOLVERTYPE says.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "mip/bound_propagation.hpp"
#include "mip/branching.hpp"
#include "mip_fixture.hpp"

namespace {

using namespace tarvo::mip;

class ModelParam : public ::testing::TestWithParam<const char *> {};

TEST_P(ModelParam, PropagationAndProbingKeepTheKnownOptimum) {
  mip_test::MipModel mm;
  LOAD_OR_SKIP(mm, GetParam());
  ASSERT_FALSE(mm.optimum.empty());
  const MipProblem &p = mm.prob;
  BoundPropagator prop(p, p.col_lo, p.col_up, 1e-6);
  ASSERT_TRUE(prop.propagate_all());
  auto contains_optimum = [&](const char *when) {
    for (int j = 0; j < p.n; ++j) {
      const double v = mm.optimum[j], tol = 1e-6 * (1 + std::fabs(v));
      ASSERT_GE(v, prop.lower()[j] - tol) << when << " column " << j;
      ASSERT_LE(v, prop.upper()[j] + tol) << when << " column " << j;
    }
  };
  contains_optimum("after propagation");
  const std::vector<double> lo = prop.lower(), up = prop.upper();
  // every binary fixed at its optimal value stays feasible; the other value
  // may empty the problem, and both probes are undone exactly
  int emptied = 0;
  for (int j = 0; j < p.n; ++j) {
    if (!p.is_binary(j) || lo[j] == up[j]) continue;
    const double v = std::round(mm.optimum[j]);
    const size_t mark = prop.mark();
    ASSERT_TRUE(prop.tighten(j, v, v)) << "column " << j;
    contains_optimum("while probing");
    prop.undo(mark);
    emptied += !prop.tighten(j, 1 - v, 1 - v);
    prop.undo(mark);
    ASSERT_EQ(prop.lower(), lo);
    ASSERT_EQ(prop.upper(), up);
  }
  (void)emptied;
}

TEST_P(ModelParam, RoundingPenaltiesNeverExceedTheChildBounds) {
  mip_test::MipModel mm;
  LOAD_OR_SKIP(mm, GetParam());
  const MipProblem &p = mm.prob;
  const std::vector<double> x = mm.lp.x();
  const double root = mm.lp.objective();
  const std::vector<int> frac = fractional_columns(p, x, 1e-6);
  int checked = 0;
  for (int j : frac) {
    if (checked == 12) break;
    const double f = x[j] - std::floor(x[j]);
    double down = 0, up = 0;
    ASSERT_TRUE(rounding_penalties(mm.lp, j, f, &down, &up)) << "column " << j;
    EXPECT_GE(down, 0);
    EXPECT_GE(up, 0);
    const tarvo::simplex::LpBasis start = mm.lp.basis();
    const double lo = mm.lp.col_lower(j), hi = mm.lp.col_upper(j);
    for (int side = 0; side < 2; ++side) {
      if (side == 0)
        mm.lp.set_col_bounds(j, lo, std::floor(x[j]));
      else
        mm.lp.set_col_bounds(j, std::ceil(x[j]), hi);
      const auto st = mm.lp.solve(TV_METHOD_DSIMPLEX, {});
      if (st == mip_test::LpStatus::kOptimal) {
        const double gain = mm.lp.objective() - root, pen = side == 0 ? down : up;
        EXPECT_LE(pen, gain + 1e-6 * (1 + std::fabs(root))) << "column " << j << (side ? " up" : " down");
      }
      mm.lp.set_col_bounds(j, lo, hi);
      mm.lp.set_basis(start);
    }
    mm.lp.solve(TV_METHOD_DSIMPLEX, {});
    ++checked;
  }
  EXPECT_GT(checked, 0);
}

// Strong branching leaves the node as it found it (basis, objective, point;
// nothing left to re-optimise) and its child bounds are what re-solving each
// child from the node's basis by a fresh factorisation gives: equal where the
// trial ran to its optimum, never above it where it stopped early. A fix it
// reports must have an empty other side.
TEST_P(ModelParam, StrongBranchingRestoresTheNodeAndBoundsItsChildren) {
  mip_test::MipModel mm;
  LOAD_OR_SKIP(mm, GetParam());
  const MipProblem &p = mm.prob;
  tarvo::simplex::LpSolver &lp = mm.lp;
  const std::vector<double> x = lp.x();
  const double root = lp.objective();
  const std::vector<int> frac = fractional_columns(p, x, 1e-6);
  if (frac.empty()) GTEST_SKIP() << "integral relaxation";
  const tarvo::simplex::LpBasis node = lp.basis();
  auto child_by_refactoring = [&](int j, double lo, double up) {
    const double old_lo = lp.col_lower(j), old_up = lp.col_upper(j);
    lp.set_col_bounds(j, lo, up);
    lp.set_basis(node);
    const auto st = lp.solve(TV_METHOD_DSIMPLEX, {});
    const double z = st == mip_test::LpStatus::kOptimal ? lp.objective() : 1e30;
    lp.set_col_bounds(j, old_lo, old_up);
    lp.set_basis(node);
    lp.solve(TV_METHOD_DSIMPLEX, {});
    return z;
  };
  for (double iter_limit : {1e9, 5.0}) {
    MipSettings set;
    set.strong_num = 1000;  // every candidate gets its trials
    PseudoCosts pc(p.n);
    BranchInput in{p, lp, set, pc};
    in.node_obj = root;
    in.sb_iter_limit = iter_limit;
    in.reliable = 1000;
    const BranchDecision d = choose_branch(in, x, frac);
    EXPECT_EQ(lp.basis().state, node.state);
    EXPECT_NEAR(lp.objective(), root, 1e-9 * (1 + std::fabs(root)));
    for (int k = 0; k < p.n; ++k) ASSERT_NEAR(lp.x()[k], x[k], 1e-9 * (1 + std::fabs(x[k]))) << "column " << k;
    ASSERT_EQ(lp.solve(TV_METHOD_DSIMPLEX, {}), mip_test::LpStatus::kOptimal);
    EXPECT_EQ(lp.iterations(), 0) << "limit " << iter_limit;
    EXPECT_GT(d.trial_solves, 0);
    const double tol = 1e-6 * (1 + std::fabs(root));
    for (const BoundChange &c : d.fixes) {
      // the side the fix removes is empty
      const bool kept_up = c.lo > lp.col_lower(c.col);
      const double removed = kept_up ? child_by_refactoring(c.col, lp.col_lower(c.col), c.lo - 1)
                                     : child_by_refactoring(c.col, c.up + 1, lp.col_upper(c.col));
      EXPECT_GE(removed, 1e29) << "column " << c.col;
    }
    if (d.infeasible || !d.fixes.empty() || !d.strong) continue;
    const int j = d.col;
    const double down = child_by_refactoring(j, lp.col_lower(j), std::floor(d.value));
    const double up = child_by_refactoring(j, std::ceil(d.value), lp.col_upper(j));
    EXPECT_LE(d.down_bound, down + tol) << "column " << j << " limit " << iter_limit;
    EXPECT_LE(d.up_bound, up + tol) << "column " << j << " limit " << iter_limit;
    if (iter_limit > 1e8) {
      EXPECT_NEAR(d.down_bound, down, tol) << "column " << j;
      EXPECT_NEAR(d.up_bound, up, tol) << "column " << j;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Miplib3, ModelParam, ::testing::Values("p0033", "lseu", "egout", "p0201", "stein27"),
                         [](const auto &info) { return std::string(info.param); });

TEST(Propagation, RowsTightenIntegersAndDetectEmptyDomains) {
  // x + y <= 3.5 and 2x - z >= 1 with x, y integer, z continuous, all >= 0
  MipProblem p;
  p.m = 2;
  p.n = 3;
  p.c = {1, 1, 1};
  p.col_lo = {0, 0, 0};
  p.col_up = {1e30, 1e30, 1e30};
  p.is_int = {1, 1, 0};
  p.col_start = {0, 2, 3, 4};
  p.col_index = {0, 1, 0, 1};
  p.col_value = {1, 2, 1, -1};
  p.row_lo = {-1e30, 1};
  p.row_up = {3.5, 1e30};
  p.build_rows();
  BoundPropagator prop(p, p.col_lo, p.col_up, 1e-6);
  ASSERT_TRUE(prop.propagate_all());
  EXPECT_EQ(prop.lower()[0], 1);
  EXPECT_EQ(prop.upper()[0], 3);
  EXPECT_EQ(prop.upper()[1], 2);
  EXPECT_NEAR(prop.upper()[2], 5, 1e-6);
  EXPECT_GE(prop.upper()[2], 5);  // continuous bounds are never tighter than the truth
  const size_t mark = prop.mark();
  EXPECT_FALSE(prop.tighten(1, 3, 3));  // y = 3 leaves x <= 0.5, but x >= 1
  prop.undo(mark);
  EXPECT_TRUE(prop.tighten(0, 3, 3));
  EXPECT_EQ(prop.upper()[1], 0);
}

}  // namespace
