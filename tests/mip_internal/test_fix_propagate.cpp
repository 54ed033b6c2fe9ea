// Fix-and-propagate on small problems written here: with an unlimited budget
// the backtracking search is complete (finds a point on every feasible
// instance, reports none on an infeasible one), and whatever it calls complete
// satisfies every row.
#include <gtest/gtest.h>

#include <random>

#include "mip/fix_propagate.hpp"
#include "mip/mip_problem.hpp"

namespace {

using tarvo::mip::FixOrder;
using tarvo::mip::FixPropagateOptions;
using tarvo::mip::MipProblem;

// Binary problem lo <= A x <= up from dense rows.
MipProblem binary_problem(const std::vector<std::vector<double>> &rows, const std::vector<double> &lo,
                          const std::vector<double> &up) {
  MipProblem p;
  p.m = static_cast<int>(rows.size());
  p.n = static_cast<int>(rows[0].size());
  p.c.assign(p.n, 0.0);
  p.col_lo.assign(p.n, 0.0);
  p.col_up.assign(p.n, 1.0);
  p.is_int.assign(p.n, 1);
  p.row_lo = lo;
  p.row_up = up;
  p.col_start.assign(p.n + 1, 0);
  for (int j = 0; j < p.n; ++j) {
    for (int i = 0; i < p.m; ++i)
      if (rows[i][j] != 0) p.col_index.push_back(i), p.col_value.push_back(rows[i][j]);
    p.col_start[j + 1] = static_cast<int>(p.col_index.size());
  }
  p.build_rows();
  return p;
}

bool feasible(const MipProblem &p, const std::vector<double> &x) {
  const auto v = tarvo::mip::check_point(p, x.data(), 1e-9);
  return v.bound <= 1e-9 && v.row <= 1e-9 && v.integrality <= 1e-9;
}

// Random set-partitioning rows with a planted partition among decoy columns,
// and a random fractional point: every order finds a partition when it may
// backtrack without limit; what it returns as complete is a partition.
TEST(FixAndPropagate, UnlimitedBacktrackingFindsAPartitionInEveryOrder) {
  std::mt19937 rng(5);
  int needed_backtracks = 0;
  for (int trial = 0; trial < 60; ++trial) {
    const int m = 8, n = 24;
    std::vector<std::vector<double>> rows(m, std::vector<double>(n, 0.0));
    // planted partition: each row dealt to one of the first four columns
    for (int i = 0; i < m; ++i) rows[i][rng() % 4] = 1;
    for (int j = 4; j < n; ++j)
      for (int i = 0; i < m; ++i) rows[i][j] = rng() % 3 == 0;
    std::vector<double> ones(m, 1.0);
    const MipProblem p = binary_problem(rows, ones, ones);
    std::vector<double> point(n);
    for (double &v : point) v = (rng() % 100) / 100.0;
    for (FixOrder order : {FixOrder::kRaisedFirst, FixOrder::kDecidedFirst, FixOrder::kLocksFirst}) {
      FixPropagateOptions opt;
      opt.order = order;
      opt.max_backtracks = 1 << 20;
      opt.work_limit = 1e12;
      const auto r = tarvo::mip::fix_and_propagate(p, p.col_lo, p.col_up, point, 1e-6, opt);
      EXPECT_TRUE(r.complete) << "trial " << trial;
      if (r.complete) {
        EXPECT_TRUE(feasible(p, r.rounding)) << "trial " << trial;
      }
      needed_backtracks += r.backtracks > 0;
    }
  }
  EXPECT_GT(needed_backtracks, 0);  // the instances exercise the backtracking
}

// With a small backtrack budget, restarts that decide the failing columns
// first complete instances the budget alone leaves unsolved, and never report
// a point that breaks a row.
TEST(FixAndPropagate, RestartsOnFailingColumnsCompleteMoreInstances) {
  std::mt19937 rng(9);
  int plain = 0, restarted = 0;
  for (int trial = 0; trial < 80; ++trial) {
    const int m = 12, n = 40;
    std::vector<std::vector<double>> rows(m, std::vector<double>(n, 0.0));
    for (int i = 0; i < m; ++i) rows[i][rng() % 5] = 1;  // planted partition over the first five
    for (int j = 5; j < n; ++j)
      for (int i = 0; i < m; ++i) rows[i][j] = rng() % 4 == 0;
    std::vector<double> ones(m, 1.0);
    const MipProblem p = binary_problem(rows, ones, ones);
    std::vector<double> point(n);
    for (double &v : point) v = (rng() % 100) / 100.0;
    FixPropagateOptions opt;
    opt.order = FixOrder::kRaisedFirst;
    opt.max_backtracks = 3;
    opt.work_limit = 1e12;
    const auto a = tarvo::mip::fix_and_propagate(p, p.col_lo, p.col_up, point, 1e-6, opt);
    opt.restarts = 30;
    const auto b = tarvo::mip::fix_and_propagate(p, p.col_lo, p.col_up, point, 1e-6, opt);
    plain += a.complete;
    restarted += b.complete;
    if (b.complete) {
      EXPECT_TRUE(feasible(p, b.rounding)) << "trial " << trial;
    }
  }
  EXPECT_GT(restarted, plain);
}

// An odd cycle of equations x0+x1 = x1+x2 = x0+x2 = 1 has no binary solution:
// the search must say so rather than hand back a rounding, and with
// conflicts allowed it still gives a rounding of every column.
TEST(FixAndPropagate, InfeasibleRowsAreNeverReportedComplete) {
  const MipProblem p = binary_problem({{1, 1, 0}, {0, 1, 1}, {1, 0, 1}}, {1, 1, 1}, {1, 1, 1});
  FixPropagateOptions opt;
  opt.max_backtracks = 1000;
  const auto r = tarvo::mip::fix_and_propagate(p, p.col_lo, p.col_up, {0.5, 0.5, 0.5}, 1e-6, opt);
  EXPECT_FALSE(r.complete);
  opt.allow_conflicts = true;
  const auto s = tarvo::mip::fix_and_propagate(p, p.col_lo, p.col_up, {0.9, 0.2, 0.6}, 1e-6, opt);
  EXPECT_FALSE(s.complete);
  ASSERT_EQ(s.rounding.size(), 3u);
  for (double v : s.rounding) EXPECT_TRUE(v == 0.0 || v == 1.0);
  EXPECT_GT(s.conflicts, 0);
}

// A general integer with a preferred value beyond the rows' reach: 3 x0 + x1
// + y <= 7 with x1 >= 2 and x0 in [0, 10] preferred at 4 must come down to 1,
// the most the row leaves; the continuous y keeps its value.
TEST(FixAndPropagate, PreferredValuesGiveWayToTheRows) {
  MipProblem p = binary_problem({{3, 1, 1}}, {-1e30}, {7});
  p.col_up = {10, 10, 5};
  p.col_lo = {0, 2, 0};
  p.is_int = {1, 1, 0};
  const std::vector<double> point{1.6, 2.0, 0.3};
  const std::vector<double> prefer{4, 2, 0};
  FixPropagateOptions opt;
  opt.prefer = &prefer;
  opt.max_backtracks = 10;
  const auto r = tarvo::mip::fix_and_propagate(p, p.col_lo, p.col_up, point, 1e-6, opt);
  ASSERT_TRUE(r.complete);
  EXPECT_EQ(r.rounding[0], 1.0);
  EXPECT_EQ(r.rounding[1], 2.0);
  EXPECT_EQ(r.rounding[2], 0.3);
  EXPECT_TRUE(feasible(p, r.rounding));
}

}  // namespace

namespace {

// A few rows over every column (each fix re-reads a row of 20,000 entries):
// a deadline already past stops the run after a handful of fixes instead of
// the 4e8 reads a full pass costs, whatever the work limit says.
TEST(FixAndPropagate, StopsAtItsDeadlineOnLongRows) {
  const int m = 3, n = 20000;
  std::vector<std::vector<double>> rows(m, std::vector<double>(n, 1.0));
  const MipProblem p = binary_problem(rows, std::vector<double>(m, 0.0), std::vector<double>(m, n / 2.0));
  const std::vector<double> point(n, 0.5);
  FixPropagateOptions opt;
  opt.order = FixOrder::kDecidedFirst;
  opt.work_limit = 1e15;
  opt.deadline = 0;  // long past
  const auto r = tarvo::mip::fix_and_propagate(p, p.col_lo, p.col_up, point, 1e-6, opt);
  EXPECT_FALSE(r.complete);
  EXPECT_LT(r.fixed, 1000);
  EXPECT_LE(tarvo::mip::fixing_work_limit(p, 12), 2e8);  // heuristics cap their own budgets too
}

}  // namespace
