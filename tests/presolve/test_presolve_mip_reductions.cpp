// The integer reductions one at a time on small problems built so that each
// must fire, next to a near twin where it must not, and the postsolve of the
// merged columns and subtracted rows.
#include <gtest/gtest.h>

#include <cmath>
#include <tuple>
#include <vector>

#include "presolve/work_problem.hpp"

namespace {

using namespace tarvo::presolve;

// Dense rows to the engine's column-wise form.
LinearProblem dense(const std::vector<std::vector<double>> &a, std::vector<double> rl, std::vector<double> ru,
                    std::vector<double> cost, std::vector<double> lo, std::vector<double> up,
                    std::vector<char> integer) {
  LinearProblem p;
  p.m = static_cast<int>(a.size());
  p.n = static_cast<int>(cost.size());
  p.start.assign(1, 0);
  for (int j = 0; j < p.n; ++j) {
    for (int i = 0; i < p.m; ++i)
      if (a[i][j] != 0) p.index.push_back(i), p.value.push_back(a[i][j]);
    p.start.push_back(static_cast<int>(p.index.size()));
  }
  p.row_lower = std::move(rl), p.row_upper = std::move(ru);
  p.cost = std::move(cost), p.lower = std::move(lo), p.upper = std::move(up);
  p.integer = std::move(integer);
  return p;
}

struct Work {
  UndoStack stack;
  Counters counts;
  WorkProblem w;
  explicit Work(const LinearProblem &p, int level = 3070) {
    w.options.mip = true;
    w.options.level = level;
    w.stack = &stack;
    w.counts = &counts;
    w.load(p);
  }
};

TEST(PresolveMipReductions, DominatedColumnGoesToItsBoundOnlyWhenTheDominatorIsFreeToRise) {
  // min x0 + 2 x1, x0 + x1 >= 3 (and a row that caps x0 in some cases)
  const double inf = kInf;
  {  // x0 dominates x1 and nothing stops x0 from rising: x1 = 0
    Work t(dense({{1, 1}}, {3}, {inf}, {1, 2}, {0, 0}, {inf, 5}, {0, 0}));
    EXPECT_EQ(fix_dominated_columns(t.w), 1);
    EXPECT_FALSE(t.w.col_alive[1]);
    EXPECT_TRUE(t.w.col_alive[0]);
  }
  {  // x0's upper bound 10 is implied by x0 + x1 <= 10: it still counts as free
    Work t(dense({{1, 1}, {1, 1}}, {3, -inf}, {inf, 10}, {1, 2}, {0, 0}, {10, 5}, {0, 0}));
    EXPECT_EQ(fix_dominated_columns(t.w), 1);
    EXPECT_FALSE(t.w.col_alive[1]);
  }
  {  // x0 <= 1 binds, but x1 >= 2 follows from the row: x0 goes to 1 instead
    Work t(dense({{1, 1}}, {3}, {inf}, {1, 2}, {0, 0}, {1, 5}, {0, 0}));
    EXPECT_EQ(fix_dominated_columns(t.w), 1);
    EXPECT_FALSE(t.w.col_alive[0]);
    EXPECT_DOUBLE_EQ(t.w.row_lower[0], 2);
  }
  {  // x0 + x1 >= 0.5 holds with x0 at its upper bound alone, and x1 costs: x1 = 0
    Work t(dense({{1, 1}}, {0.5}, {inf}, {1, 2}, {0, 0}, {1, 5}, {0, 0}));
    EXPECT_EQ(fix_dominated_columns(t.w), 1);
    EXPECT_FALSE(t.w.col_alive[1]);
    EXPECT_TRUE(t.w.col_alive[0]);
  }
  {  // each column is better in one place (x0 in the objective, x1 in row 1): none
    Work t(dense({{1, 1}, {-1, 1}}, {3, -1}, {inf, inf}, {1, 2}, {0, 0}, {4, 4}, {0, 0}));
    EXPECT_EQ(fix_dominated_columns(t.w), 0);
  }
  {  // different types: no dominance
    Work t(dense({{1, 1}}, {3}, {inf}, {1, 2}, {0, 0}, {inf, 5}, {1, 0}));
    EXPECT_EQ(fix_dominated_columns(t.w), 0);
  }
  {  // an equation with different coefficients: no dominance
    Work t(dense({{1, 1}, {1, 2}}, {3, 4}, {inf, 4}, {1, 2}, {0, 0}, {inf, 5}, {0, 0}));
    EXPECT_EQ(fix_dominated_columns(t.w), 0);
  }
}

TEST(PresolveMipReductions, ParallelColumnsMergeWhenEverySumSplits) {
  const double inf = kInf;
  // column 1 = 2 * column 0, cost included
  auto problem = [&](std::vector<char> integer, double u0, double u1) {
    return dense({{1, 2}, {3, 6}}, {1, -inf}, {inf, 20}, {1, 2}, {0, 0}, {u0, u1}, std::move(integer));
  };
  {  // two integers, factor 2, the base 1 wide: every integer y = x0 + 2 x1 splits
    Work t(problem({1, 1}, 1, 3));
    EXPECT_EQ(merge_parallel_columns(t.w), 1);
    EXPECT_EQ(t.w.live_cols, 1);
    const int kept = t.w.col_alive[0] ? 0 : 1;
    // bounds of y in the units of the survivor
    EXPECT_TRUE(t.w.is_int(kept));
  }
  {  // a binary base with factor 3 leaves gaps (y = 2 has no split): no merge
    auto p = dense({{1, 3}}, {1}, {inf}, {1, 3}, {0, 0}, {1, 3}, {1, 1});
    Work t(p);
    EXPECT_EQ(merge_parallel_columns(t.w), 0);
  }
  {  // continuous base 2 wide, integer partner with factor 2: merges, y continuous
    Work t(problem({0, 1}, 2, 3));
    EXPECT_EQ(merge_parallel_columns(t.w), 1);
    EXPECT_FALSE(t.w.is_int(0));
  }
  {  // continuous base 1 wide, integer partner with factor 2: no merge
    Work t(problem({0, 1}, 1, 3));
    EXPECT_EQ(merge_parallel_columns(t.w), 0);
  }
  {  // costs not in proportion: not parallel
    auto p = dense({{1, 2}}, {1}, {inf}, {1, 3}, {0, 0}, {4, 4}, {0, 0});
    Work t(p);
    EXPECT_EQ(merge_parallel_columns(t.w), 0);
  }
}

// Every value of the merged column splits back into values within the
// original bounds, of the original types, with the same sum.
TEST(PresolveMipReductions, MergedColumnsSplitBackExactly) {
  const double inf = kInf;
  struct Case {
    double f, l0, u0, l1, u1;
    char i0, i1;
  };
  const Case cases[] = {{2, 0, 1, 0, 3, 1, 1},  {-2, 0, 1, -1, 3, 1, 1}, {3, 0, 2, 0, 4, 1, 1},
                        {2, 0, 2.5, 0, 3, 0, 1}, {0.5, 0, 4, 0, 2, 1, 0}, {-1, -2, inf, 0, 5, 0, 0},
                        {1, 0, 1, 0, 1, 1, 1}};
  for (const Case &c : cases) {
    // a ranged row locks both directions, so dual fixing leaves the pair alone
    auto p = dense({{1, c.f}}, {-100}, {100}, {1, c.f}, {c.l0, c.l1}, {c.u0, c.u1}, {c.i0, c.i1});
    Result res;
    Options o;
    o.mip = true;
    o.level = kDualReductions;
    ASSERT_EQ(run(p, o, &res), 0);
    ASSERT_EQ(res.counts.merged_cols, 1) << c.f;
    ASSERT_EQ(res.reduced.n, 1);
    const double lo = res.reduced.lower[0], hi = std::fmin(res.reduced.upper[0], lo + 12);
    const double step = res.reduced.integer[0] ? 1 : 0.25;
    const int kept = res.col_origin[0], other = 1 - kept;
    const double factor = kept == 0 ? c.f : 1 / c.f;  // other column = factor * kept
    for (double y = lo; y <= hi + 1e-12; y += step) {
      Solution small, full;
      small.x = {y};
      small.y = {0};
      small.col_status = {kBasic};
      small.row_status = {kBasic};
      postsolve(res, small, &full);
      const double x0 = full.x[0], x1 = full.x[1];
      EXPECT_NEAR(full.x[kept] + factor * full.x[other], y, 1e-9) << c.f << " y=" << y;
      EXPECT_GE(x0, c.l0 - 1e-9) << c.f << " y=" << y;
      EXPECT_LE(x0, c.u0 + 1e-9) << c.f << " y=" << y;
      EXPECT_GE(x1, c.l1 - 1e-9) << c.f << " y=" << y;
      EXPECT_LE(x1, c.u1 + 1e-9) << c.f << " y=" << y;
      if (c.i0) EXPECT_EQ(x0, std::round(x0)) << c.f << " y=" << y;
      if (c.i1) EXPECT_EQ(x1, std::round(x1)) << c.f << " y=" << y;
    }
  }
}

TEST(PresolveMipReductions, SimilarRowLosesTheEquationItContains) {
  const double inf = kInf;
  // row 0: x0 + x1 + x2 = 1; row 1: 2x0 + 2x1 + 2x2 + x3 <= 3 -> x3 <= 1
  auto p = dense({{1, 1, 1, 0}, {2, 2, 2, 1}, {1, 2, 0, 1}}, {1, -inf, -inf}, {1, 3, 3}, {1, 1, 1, 1}, {0, 0, 0, 0},
                 {1, 1, 1, 1}, {1, 1, 1, 1});
  Work t(p);
  EXPECT_EQ(subtract_similar_rows(t.w), 1);  // row 2 is not a multiple on x0..x2
  EXPECT_EQ(t.w.rows[1].size(), 1u);
  EXPECT_DOUBLE_EQ(t.w.row_upper[1], 1);
  EXPECT_EQ(t.w.rows[2].size(), 3u);
  // dual back: y0 = y0' - 2 y1'
  Result res;
  res.orig_m = 3, res.orig_n = 4;
  res.stack = t.stack;
  for (int i = 0; i < 3; ++i) res.row_origin.push_back(i);
  for (int j = 0; j < 4; ++j) res.col_origin.push_back(j);
  Solution small, full;
  small.x = {1, 0, 0, 1};
  small.y = {5, -1, 0};
  small.col_status.assign(4, kLower);
  small.row_status.assign(3, kBasic);
  postsolve(res, small, &full);
  EXPECT_DOUBLE_EQ(full.y[0], 7);
  EXPECT_DOUBLE_EQ(full.y[1], -1);
}

TEST(PresolveMipReductions, IntegerDoubletonNeedsTheBinaryRowsBitAndAnIntegralMultiplier) {
  const double inf = kInf;
  // x0 + x1 = 1 over binaries, and a row that uses both
  auto p = dense({{1, 1, 0}, {3, 1, 1}}, {1, -inf}, {1, 3}, {1, 2, 1}, {0, 0, 0}, {1, 1, 5}, {1, 1, 0});
  {
    Work t(p);
    EXPECT_EQ(substitute_doubletons(t.w), 1);
    EXPECT_EQ(t.counts.integer_doubletons, 1);
  }
  {
    Work t(p, kSimple | kElimination);
    EXPECT_EQ(substitute_doubletons(t.w), 0);
  }
  {  // 2 x0 + 3 x1 = 3: neither multiplier is integral
    auto q = dense({{2, 3, 0}, {3, 1, 1}}, {3, -inf}, {3, 3}, {1, 2, 1}, {0, 0, 0}, {3, 3, 5}, {1, 1, 0});
    Work t(q);
    EXPECT_EQ(substitute_doubletons(t.w), 0);
  }
}

}  // namespace

namespace {

// Every 0/1 point of the work problem's live rows, as feasible or not.
std::vector<char> feasible_points(const WorkProblem &w) {
  std::vector<char> ok(std::size_t{1} << w.n, 1);
  for (std::size_t mask = 0; mask < ok.size(); ++mask)
    for (int i = 0; i < w.m && ok[mask]; ++i) {
      if (!w.row_alive[i]) continue;
      double a = 0;
      for (const Entry &e : w.rows[i]) a += e.value * static_cast<double>((mask >> e.index) & 1);
      ok[mask] = a >= w.row_lower[i] - 1e-9 && a <= w.row_upper[i] + 1e-9;
    }
  return ok;
}

TEST(PresolveMipReductions, LiftingRaisesACoefficientTheClosedNeighbourhoodAllows) {
  const double inf = kInf;
  const std::vector<double> cost(3, 1), lo(3, 0), up(3, 1);
  const std::vector<char> bin(3, 1);
  {  // x0 shares a packing row with x1 and with x2: x0 = 1 leaves the rest at 0
    Work t(dense({{1, 1, 0}, {1, 0, 1}, {1, 1, 1}}, {-inf, -inf, -inf}, {1, 1, 2}, cost, lo, up, bin));
    EXPECT_EQ(lift_coefficients(t.w), 1);
    EXPECT_EQ(t.w.coef(2, 0), 2);
    EXPECT_EQ(t.w.row_upper[2], 2);
  }
  {  // the same row written as >=: the coefficient falls to -2
    Work t(dense({{1, 1, 0}, {1, 0, 1}, {-1, -1, -1}}, {-inf, -inf, -2}, {1, 1, inf}, cost, lo, up, bin));
    EXPECT_EQ(lift_coefficients(t.w), 1);
    EXPECT_EQ(t.w.coef(2, 0), -2);
  }
  {  // only x1 is excluded: x0 = 1 still lets x2 reach the side
    Work t(dense({{1, 1, 0}, {0, 0, 0}, {1, 1, 1}}, {-inf, -inf, -inf}, {1, 1, 2}, cost, lo, up, bin));
    EXPECT_EQ(lift_coefficients(t.w), 0);
    EXPECT_EQ(t.w.coef(2, 0), 1);
  }
  {  // no lifting without the bit's integer data
    Work t(dense({{1, 1, 0}, {1, 0, 1}, {1, 1, 1}}, {-inf, -inf, -inf}, {1, 1, 2}, cost, lo, up, {}));
    EXPECT_EQ(lift_coefficients(t.w), 0);
  }
}

TEST(PresolveMipReductions, LiftingKeepsEveryIntegerPoint) {
  // random knapsack rows over 8 binaries next to random packing rows
  std::uint32_t seed = 12345;
  auto next = [&seed](int k) {
    seed = seed * 1664525u + 1013904223u;
    return static_cast<int>((seed >> 8) % static_cast<std::uint32_t>(k));
  };
  const int n = 8;
  int lifted = 0;
  for (int trial = 0; trial < 60; ++trial) {
    std::vector<std::vector<double>> a;
    std::vector<double> rl, ru;
    for (int p = 0; p < 3; ++p) {  // packing rows of 2-3 members
      std::vector<double> row(n, 0);
      for (int k = 0; k < 2 + next(2); ++k) row[next(n)] = 1;
      a.push_back(row), rl.push_back(-kInf), ru.push_back(1);
    }
    for (int r = 0; r < 2; ++r) {  // one-sided knapsacks, either way round
      std::vector<double> row(n, 0);
      double sum = 0;
      for (int j = 0; j < n; ++j)
        if (next(3) > 0) row[j] = 1 + next(6), sum += row[j];
      const double b = std::floor(sum * (0.3 + 0.1 * next(5)));
      if (next(2)) {
        for (double &v : row) v = -v;
        a.push_back(row), rl.push_back(-b), ru.push_back(kInf);
      } else {
        a.push_back(row), rl.push_back(-kInf), ru.push_back(b);
      }
    }
    Work t(dense(a, rl, ru, std::vector<double>(n, 1), std::vector<double>(n, 0), std::vector<double>(n, 1),
                 std::vector<char>(n, 1)));
    const std::vector<char> before = feasible_points(t.w);
    lifted += lift_coefficients(t.w);
    EXPECT_EQ(feasible_points(t.w), before) << "trial " << trial;
  }
  EXPECT_GT(lifted, 0);  // the sample must exercise the reduction
}

}  // namespace

namespace {

TEST(PresolveMipReductions, EquationSlackLeavesItsRangeAndCostToTheRow) {
  // min x0 + x1 + 2 s,  x0 + 2 x1 - s = 1,  s in [1, 3], x in [0, 5]
  // (s is not implied free: x0 + 2 x1 - 1 reaches -1 and 14)
  const LinearProblem p = dense({{1, 2, -1}}, {1}, {1}, {1, 1, 2}, {0, 0, 1}, {5, 5, 3}, {1, 1, 0});
  Work t(p);
  EXPECT_EQ(substitute_free_columns(t.w), 1);
  EXPECT_FALSE(t.w.col_alive[2]);
  EXPECT_EQ(t.w.row_lower[0], 2);  // 1 + s over s in [1, 3]
  EXPECT_EQ(t.w.row_upper[0], 4);
  EXPECT_EQ(t.w.cost[0], 3);  // s = x0 + 2 x1 - 1 carries its cost 2 over
  EXPECT_EQ(t.w.cost[1], 5);
  EXPECT_EQ(t.w.offset, -2);
  // the postsolve: x0 = 0, x1 = 1 with the row at its lower side gives s = 1 at its lower bound
  Result r;
  Options opt;
  opt.mip = true;
  opt.level = kSimple | kElimination;
  ASSERT_EQ(run(p, opt, &r), 0);
  ASSERT_EQ(r.outcome, Outcome::kReduced);
  Solution small, full;
  small.x.assign(r.reduced.n, 0.0);
  for (int k = 0; k < r.reduced.n; ++k)
    if (r.col_origin[k] == 1) small.x[k] = 1;
  small.y.assign(r.reduced.m, 0.0);
  small.col_status.assign(r.reduced.n, kLower);
  small.row_status.assign(r.reduced.m, kLower);
  postsolve(r, small, &full);
  EXPECT_DOUBLE_EQ(full.x[2], 1);
  EXPECT_EQ(full.col_status[2], kLower);
  EXPECT_DOUBLE_EQ(full.y[0], -2);  // the reduced row's dual 0 plus c / a: s's reduced cost 2 + y is 0
}

}  // namespace

namespace {

TEST(PresolveMipReductions, SingleLockRowBecomesTightOnlyWhereTheMoveAlwaysReachesIt) {
  const double inf = kInf;
  {  // x0 <= y0, x1 <= y1, y0 + y1 <= 1: y0 costs nothing, so x0 = y0; y1
     // (cost -1, only up-lock the last row) makes that row y0 + y1 = 1
    Work t(dense({{1, 0, -1, 0}, {0, 1, 0, -1}, {0, 0, 1, 1}}, {-inf, -inf, -inf}, {0, 0, 1}, {1, 2, 0, -1},
                 {0, 0, 0, 0}, {1, 1, 1, 1}, {1, 1, 1, 1}));
    EXPECT_EQ(bind_single_lock_rows(t.w), 2);
    EXPECT_EQ(t.w.row_lower[0], 0);
    EXPECT_EQ(t.w.row_lower[1], -inf);  // y1 goes up, away from this row
    EXPECT_EQ(t.w.row_lower[2], 1);
  }
  {  // x0 <= 2 y0: y0 = x0 / 2 need not be integral
    Work t(dense({{1, -2}}, {-inf}, {0}, {1, 0}, {0, 0}, {1, 1}, {1, 1}));
    EXPECT_EQ(bind_single_lock_rows(t.w), 0);
  }
  {  // y0 has two down-locks (x0 <= y0, x1 <= y0)
    Work t(dense({{1, 0, -1}, {0, 1, -1}}, {-inf, -inf}, {0, 0}, {1, 1, 1}, {0, 0, 0}, {1, 1, 1}, {1, 1, 1}));
    EXPECT_EQ(bind_single_lock_rows(t.w), 0);
  }
  {  // continuous y0 >= x0 - 0.5 may sit at its bound 0 with the row slack
    Work t(dense({{1, -1}}, {-inf}, {0.5}, {-1, 1}, {0, 0}, {1, 1}, {1, 0}));
    EXPECT_EQ(bind_single_lock_rows(t.w), 0);
    // with y0 >= x0 + 0.5 the row always stops y0 above 0
    Work u(dense({{1, -1}}, {-inf}, {-0.5}, {-1, 1}, {0, 0}, {1, 2}, {1, 0}));
    EXPECT_EQ(bind_single_lock_rows(u.w), 1);
  }
}

}  // namespace

namespace {

// min c'x, x0 + x1 + s >= 2 (or x0 + x1 + 2 s >= 3): s (>= 0, no upper
// bound) caps the row's dual, which prices x0 and x1.
TEST(PresolveDualBounds, ColumnIsFixedOnlyWhenItsReducedCostKeepsItsSignWithoutItsOwnBound) {
  const double inf = kInf;
  auto lp = [](std::vector<double> cost, double s_coef, std::vector<char> integer) {
    return dense({{1, 1, s_coef}}, {s_coef == 1 ? 2.0 : 3.0}, {kInf}, std::move(cost), {0, 0, 0}, {5, 5, kInf},
                 std::move(integer));
  };
  {  // y <= 1: x0 (cost 3) strictly, x1 (cost 1) weakly dominated
    Work t(lp({3, 1, 1}, 1, {}));
    t.w.options.mip = false;
    EXPECT_EQ(fix_by_dual_bounds(t.w), 2);
    EXPECT_FALSE(t.w.col_alive[0]);
    EXPECT_FALSE(t.w.col_alive[1]);
    EXPECT_TRUE(t.w.col_alive[2]);  // its own bound is all that prices s
  }
  {  // x1 cheaper than the cap: its reduced cost takes both signs
    Work t(lp({3, 0.5, 1}, 1, {}));
    t.w.options.mip = false;
    EXPECT_EQ(fix_by_dual_bounds(t.w), 1);
    EXPECT_TRUE(t.w.col_alive[1]);
  }
  {  // two unbounded twins: each caps the dual for the other, so only one may go
    Work t(dense({{1, 1}}, {2}, {inf}, {1, 1}, {0, 0}, {inf, inf}, {}));
    t.w.options.mip = false;
    EXPECT_EQ(fix_by_dual_bounds(t.w), 1);
    EXPECT_NE(t.w.col_alive[0], t.w.col_alive[1]);
  }
  {  // integer s: x0 + 2 s >= 3 with x0 = 1, s = 1 (cost 3.5) beats s = 2 (cost 4);
     // an integer column gives the box nothing
    Work t(lp({1.5, 9, 2}, 2, {1, 1, 1}));
    EXPECT_EQ(fix_by_dual_bounds(t.w), 0);
    // a continuous s does cap the dual (y <= 1), and x0 = 0, s = 1.5 is optimal
    Work u(lp({1.5, 9, 2}, 2, {1, 1, 0}));
    EXPECT_EQ(fix_by_dual_bounds(u.w), 2);
    EXPECT_TRUE(u.w.col_alive[2]);
  }
}

}  // namespace

namespace {

TEST(PresolveMipReductions, ProbingSeesALongEquationEmptiedByTheProbe) {
  // x0 + x1 + ... + x60 = 1 and x1 + ... + x60 = 1: x0 = 1 leaves the second
  // row without a column that can be 1, so x0 = 0
  const int n = 61;
  std::vector<std::vector<double>> a(2, std::vector<double>(n, 1.0));
  a[1][0] = 0;
  Work t(dense(a, {1, 1}, {1, 1}, std::vector<double>(n, 1.0), std::vector<double>(n, 0.0),
               std::vector<double>(n, 1.0), std::vector<char>(n, 1)));
  Result r;
  EXPECT_GE(probe_binaries(t.w, &r), 1);
  EXPECT_FALSE(t.w.col_alive[0]);
  EXPECT_EQ(t.w.counts->probing_fixed, 1);
  EXPECT_FALSE(t.w.infeasible);
}

}  // namespace

namespace {

TEST(PresolveMipReductions, CliqueHoldingACoveringRowLosesItsOtherBinaries) {
  const double inf = kInf;
  auto model = [&](std::vector<double> clique, double x2_upper) {
    // x0 + x1 >= 1 and clique . x <= 1 over binaries (x2 up to x2_upper)
    return dense({{1, 1, 0, 0}, clique}, {1, -inf}, {inf, 1}, {1, 1, 1, 1}, {0, 0, 0, 0}, {1, 1, x2_upper, 1},
                 {1, 1, 1, 1});
  };
  {
    Work t(model({1, 1, 1, 1}, 1));
    EXPECT_EQ(fix_outside_covered_cliques(t.w), 2);
    EXPECT_TRUE(t.w.col_alive[0] && t.w.col_alive[1]);
    EXPECT_FALSE(t.w.col_alive[2] || t.w.col_alive[3]);
  }
  for (auto [clique, x2_upper] : {std::pair<std::vector<double>, double>{{1, 0, 1, 1}, 1},  // x1 outside the clique
                                  {{1, 1, 2, 1}, 1},                                         // not a unit row
                                  {{1, 1, 1, 1}, 2}}) {                                      // x2 not binary
    Work t(model(clique, x2_upper));
    EXPECT_EQ(fix_outside_covered_cliques(t.w), 0);
  }
  {  // x0 (in two loose rows besides) is outside the clique x1 + x2 + x3 <= 1:
     // x0 = x2 = 1 is feasible
    Work t(dense({{1, 1, 0, 0}, {0, 1, 1, 1}, {1, 0, 2, 0}, {1, 0, 0, 2}}, {1, -inf, -inf, -inf}, {inf, 1, 5, 5},
                 {1, 1, 1, 1}, {0, 0, 0, 0}, {1, 1, 1, 1}, {1, 1, 1, 1}));
    EXPECT_EQ(fix_outside_covered_cliques(t.w), 0);
  }
}

}  // namespace

namespace {

TEST(PresolveMipReductions, IntegerSingletonLeavesOnlyAnEquationThatKeepsItIntegral) {
  // x0 + 2 x1 + x2 + d = 4 (d integer in [0, 4], a singleton; x binary, also
  // in a loose row): d = 4 - ... is integral
  auto model = [](double d_coef, char x2_integer, double rhs) {
    return dense({{1, 2, 1, d_coef}, {1, 1, 1, 0}}, {rhs, -kInf}, {rhs, 3}, {1, 1, 1, 3}, {0, 0, 0, 0},
                 {1, 1, 1, 4}, {1, 1, x2_integer, 1});
  };
  {
    Work t(model(1, 1, 4));
    EXPECT_EQ(substitute_free_columns(t.w), 1);
    EXPECT_FALSE(t.w.col_alive[3]);
  }
  for (auto [d_coef, x2_integer, rhs] : {std::tuple<double, char, double>{2, 1, 4},  // d = (4 - ...) / 2
                                         {1, 0, 4},                                  // x2 continuous
                                         {1, 1, 3.5}}) {                             // fractional side
    Work t(model(d_coef, x2_integer, rhs));
    EXPECT_EQ(substitute_free_columns(t.w), 0) << d_coef << " " << int(x2_integer) << " " << rhs;
    EXPECT_TRUE(t.w.col_alive[3]);
  }
}

}  // namespace
