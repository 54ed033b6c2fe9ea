// Bound propagation and probing never cut off a known optimum, the rounding
// penalties of the branching rules bound the true cost of each child, and the
// enumeration solver's hook is honoured (or skipped) as TV_IPARAM_MIP_SOLVERTYPE says.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>
#include <utility>
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

// Strong branching, at the root and below the strong-branching depth alike,
// leaves the node as it found it (basis, objective, point; nothing left to
// re-optimise) and its child bounds are what re-solving each child from the
// node's basis by a fresh factorisation gives: equal where the trial ran to
// its optimum, never above it where it stopped early. A fix it reports must
// have an empty other side.
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
  const std::pair<bool, double> runs[] = {{false, 1e9}, {false, 5.0}, {true, 1e9}, {true, 5.0}};
  for (const auto &[deep, iter_limit] : runs) {
    MipSettings set;
    set.strong_num = 1000;  // every candidate gets its trials
    PseudoCosts pc(p.n);
    BranchInput in{p, lp, set, pc};
    in.node_obj = root;
    in.sb_iter_limit = deep ? 0 : iter_limit;
    in.depth = deep ? set.strong_level + 1 : 0;
    in.deep_trials = deep ? 1000 : 0;
    in.deep_iter_limit = deep ? iter_limit : 0;
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

// Reliability branching: trial solves only where a leading candidate's
// pseudo-costs are not yet trusted, then at least the configured number; below
// the strong-branching depth none, and an untrusted column is scored at least
// by its rounding penalties while a trusted one keeps its pseudo-costs alone.
TEST_P(ModelParam, TrialSolvesAndPenaltiesOnlyForUntrustedPseudoCosts) {
  mip_test::MipModel mm;
  LOAD_OR_SKIP(mm, GetParam());
  const MipProblem &p = mm.prob;
  tarvo::simplex::LpSolver &lp = mm.lp;
  const std::vector<double> x = lp.x();
  const std::vector<int> frac = fractional_columns(p, x, 1e-6);
  if (frac.size() < 2) GTEST_SKIP() << "too few fractional columns";
  MipSettings set;
  PseudoCosts pc(p.n);
  for (int j = 0; j < p.n; ++j)
    for (int t = 0; t < 2; ++t) {  // two tiny observations per direction
      pc.record(j, false, 0.5, 1e-7);
      pc.record(j, true, 0.5, 1e-7);
    }
  BranchInput in{p, lp, set, pc};
  in.node_obj = lp.objective();
  in.depth = set.strong_level + 1;
  in.reliable = 2;
  const BranchDecision deep_trusted = choose_branch(in, x, frac);
  EXPECT_EQ(deep_trusted.trial_solves, 0);
  EXPECT_LE(deep_trusted.down_gain, 1e-6);
  EXPECT_LE(deep_trusted.up_gain, 1e-6);
  in.reliable = 3;  // no column has three observations per direction
  const BranchDecision deep = choose_branch(in, x, frac);
  ASSERT_GE(deep.col, 0);
  EXPECT_EQ(deep.trial_solves, 0);
  const double f = deep.value - std::floor(deep.value);
  double pd, pu;
  ASSERT_TRUE(rounding_penalties(lp, deep.col, f, &pd, &pu));
  EXPECT_GE(deep.down_gain, pd - 1e-9 * (1 + pd));
  EXPECT_GE(deep.up_gain, pu - 1e-9 * (1 + pu));
  in.depth = 0;
  in.reliable = 2;
  const BranchDecision trusted = choose_branch(in, x, frac);
  EXPECT_EQ(trusted.trial_solves, 0);
  EXPECT_FALSE(trusted.strong);
  EXPECT_GE(trusted.col, 0);
  in.reliable = 3;
  const BranchDecision untrusted = choose_branch(in, x, frac);
  if (untrusted.infeasible || !untrusted.fixes.empty()) return;
  EXPECT_GE(untrusted.trial_solves, 2 * std::min<int>(set.strong_num, static_cast<int>(frac.size())));
  // deeper, trials stay within their count, teach the pseudo-costs of what
  // they tried, and skip the trusted columns
  PseudoCosts fresh(p.n);
  BranchInput deep_in{p, lp, set, fresh};
  deep_in.node_obj = lp.objective();
  deep_in.depth = set.strong_level + 1;
  deep_in.reliable = 1;
  deep_in.deep_trials = 2;
  deep_in.deep_iter_limit = 1e9;
  const BranchDecision first = choose_branch(deep_in, x, frac);
  EXPECT_GT(first.trial_solves, 0);
  EXPECT_LE(first.trial_solves, 4);
  if (first.infeasible || !first.fixes.empty()) return;
  EXPECT_TRUE(first.strong);
  EXPECT_EQ(fresh.reliability(first.col), 1);
  for (int j : frac) fresh.record(j, false, 0.5, 1e-7), fresh.record(j, true, 0.5, 1e-7);
  EXPECT_EQ(choose_branch(deep_in, x, frac).trial_solves, 0);
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

// At the fixed point no single row may still tighten a bound by more than the
// propagator's own step (half a unit on integers): rows whose slack exceeds
// every entry's range are passed over, which must not hide a tightening.
TEST(Propagation, FixedPointLeavesNoRowThatStillTightens) {
  std::mt19937 rng(11);
  for (int trial = 0; trial < 200; ++trial) {
    MipProblem p;
    p.m = 3;
    p.n = 5;
    p.c.assign(p.n, 0.0);
    p.is_int.resize(p.n);
    p.col_lo.resize(p.n);
    p.col_up.resize(p.n);
    for (int j = 0; j < p.n; ++j) {
      p.is_int[j] = rng() % 2;
      p.col_lo[j] = static_cast<double>(rng() % 3);
      p.col_up[j] = rng() % 5 == 0 ? 1e30 : p.col_lo[j] + 1 + rng() % 8;
    }
    p.col_start.assign(1, 0);
    for (int j = 0; j < p.n; ++j) {
      for (int i = 0; i < p.m; ++i)
        if (rng() % 3 != 0) {
          p.col_index.push_back(i);
          p.col_value.push_back(static_cast<double>(static_cast<int>(rng() % 9) - 4) + 0.5);
        }
      p.col_start.push_back(static_cast<int>(p.col_index.size()));
    }
    for (int i = 0; i < p.m; ++i) {
      const double r = static_cast<double>(rng() % 30);
      p.row_lo.push_back(rng() % 2 ? -1e30 : -r);
      p.row_up.push_back(rng() % 2 ? 1e30 : r);
    }
    p.build_rows();
    BoundPropagator prop(p, p.col_lo, p.col_up, 1e-6);
    if (!prop.propagate_all()) continue;
    const std::vector<double> &lo = prop.lower(), &up = prop.upper();
    for (int i = 0; i < p.m; ++i) {
      double min_act = 0, max_act = 0;
      bool min_fin = true, max_fin = true;
      for (int k = p.row_start[i]; k < p.row_start[i + 1]; ++k) {
        const double a = p.row_value[k];
        const int j = p.row_index[k];
        const double lp = a > 0 ? lo[j] : up[j], hp = a > 0 ? up[j] : lo[j];
        if (std::fabs(lp) >= 1e30) min_fin = false; else min_act += a * lp;
        if (std::fabs(hp) >= 1e30) max_fin = false; else max_act += a * hp;
      }
      for (int k = p.row_start[i]; k < p.row_start[i + 1]; ++k) {
        const double a = p.row_value[k];
        const int j = p.row_index[k];
        const double step = p.is_int[j] ? 0.5 + 1e-6 : 1e-5 * std::max(1.0, std::fabs(up[j]));
        const double lp = a > 0 ? lo[j] : up[j], hp = a > 0 ? up[j] : lo[j];
        if (p.row_up[i] < 1e30 && min_fin) {
          // a x_j <= row_up - (min_act - a lp)
          const double v = (p.row_up[i] - (min_act - a * lp)) / a;
          if (a > 0) EXPECT_GE(v, up[j] - step) << "trial " << trial << " row " << i << " col " << j;
          else EXPECT_LE(v, lo[j] + step) << "trial " << trial << " row " << i << " col " << j;
        }
        if (p.row_lo[i] > -1e30 && max_fin) {
          const double v = (p.row_lo[i] - (max_act - a * hp)) / a;
          if (a > 0) EXPECT_LE(v, lo[j] + step) << "trial " << trial << " row " << i << " col " << j;
          else EXPECT_GE(v, up[j] - step) << "trial " << trial << " row " << i << " col " << j;
        }
      }
    }
  }
}

}  // namespace
