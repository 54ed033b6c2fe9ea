// Small LPs written out in full: statuses, objective, and primal/dual solutions
// checked against the model (feasibility, dual signs, complementarity), for
// both simplex methods; limits, callbacks, warm starts and basis solves.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "lp_fixture.hpp"
#include "test_support.hpp"

namespace {

constexpr double kInf = TV_INFINITY;

using lpfix::Lp;
using lpfix::load;
using lpfix::textbook;
using lpfix::expect_consistent;

// Optimality conditions of the reported solution against the LP data.
void expect_optimal_solution(pTVmodel model, const Lp &lp, double tol = 1e-7) {
  const int m = static_cast<int>(lp.b.size()), n = static_cast<int>(lp.c.size());
  std::vector<double> x(n), y(m), d(n), s(m);
  ASSERT_EQ(TVgetPrimalSolution(model, x.data()), 0);
  ASSERT_EQ(TVgetDualSolution(model, y.data()), 0);
  ASSERT_EQ(TVgetReducedCosts(model, d.data()), 0);
  ASSERT_EQ(TVgetSlacks(model, s.data()), 0);
  const double sg = lp.sense;  // signs below are for minimisation
  double obj = 0, dobj_rows = 0;
  for (int j = 0; j < n; ++j) {
    obj += lp.c[j] * x[j];
    EXPECT_GE(x[j], lp.lower[j] - tol);
    EXPECT_LE(x[j], lp.upper[j] + tol);
    double r = lp.c[j];
    for (int i = 0; i < m; ++i) r -= lp.rows[i][j] * y[i];
    EXPECT_NEAR(r, d[j], tol * (1 + std::fabs(lp.c[j]))) << "reduced cost " << j;
    double rm = sg * d[j];
    if (x[j] > lp.lower[j] + 1e-6) {
      EXPECT_LE(rm, tol) << "column " << j;
    }
    if (x[j] < lp.upper[j] - 1e-6) {
      EXPECT_GE(rm, -tol) << "column " << j;
    }
  }
  for (int i = 0; i < m; ++i) {
    double act = 0;
    for (int j = 0; j < n; ++j) act += lp.rows[i][j] * x[j];
    EXPECT_NEAR(s[i], lp.b[i] - act, 1e-7 * (1 + std::fabs(lp.b[i])));
    double ym = sg * y[i];
    switch (lp.types[i]) {
      case 'L':
        EXPECT_LE(act, lp.b[i] + tol);
        EXPECT_LE(ym, tol);
        break;
      case 'G':
        EXPECT_GE(act, lp.b[i] - tol);
        EXPECT_GE(ym, -tol);
        break;
      case 'E': EXPECT_NEAR(act, lp.b[i], tol); break;
      default: EXPECT_NEAR(ym, 0.0, tol); break;
    }
    if (std::fabs(act - lp.b[i]) > 1e-6) {
      EXPECT_NEAR(y[i], 0.0, tol) << "row " << i;
    }
    dobj_rows += y[i] * lp.b[i];
  }
  double reported = 0;
  ASSERT_EQ(TVgetInfo(model, TV_DINFO_POBJ, &reported), 0);
  EXPECT_NEAR(reported, obj, 1e-7 * (1 + std::fabs(obj)));
  (void)dobj_rows;
}

class BothMethods : public ::testing::TestWithParam<int> {
 protected:
  tvtest::EnvHandle env;
  tvtest::ModelHandle model{env};
  int solve(int *status) {
    int code = TVoptimize(model, GetParam(), status);
    expect_consistent(model);
    return code;
  }
};

TEST_P(BothMethods, SolvesMixedConstraintLpToVerifiedOptimum) {
  Lp lp = textbook();
  load(model, lp);
  int status = -1;
  ASSERT_EQ(solve(&status), 0);
  EXPECT_EQ(status, TV_STATUS_BASIC_OPTIMAL);
  double obj = 0;
  TVgetInfo(model, TV_DINFO_POBJ, &obj);
  EXPECT_NEAR(obj, 10.5, 1e-9);
  expect_optimal_solution(model, lp);
}

TEST_P(BothMethods, HandlesEqualityGreaterFreeRowsAndBoxes) {
  Lp lp;
  lp.c = {1, -2, 3, 0.5, 0};
  lp.b = {2, -1, 10, 0};
  lp.types = "EGLN";
  lp.rows = {{1, 1, 0, 1, 0}, {1, -1, 1, 0, 0}, {2, 1, 1, 1, 0}, {1, 1, 1, 1, 0}};
  lp.lower = {-kInf, 0, -2, 0, -1};  // x0 free, x4 an empty boxed column
  lp.upper = {kInf, 3, 2, 1, 1};
  load(model, lp);
  int status = -1;
  ASSERT_EQ(solve(&status), 0);
  ASSERT_EQ(status, TV_STATUS_BASIC_OPTIMAL);
  expect_optimal_solution(model, lp);
}

TEST_P(BothMethods, ReportsInfeasibleModels) {
  Lp lp;
  lp.c = {1, 1};
  lp.b = {1, 3};
  lp.types = "LG";
  lp.rows = {{1, 1}, {1, 1}};
  lp.lower = {0, 0};
  lp.upper = {kInf, kInf};
  load(model, lp);
  int status = -1;
  EXPECT_EQ(solve(&status), 0);
  EXPECT_EQ(status, TV_STATUS_INFEASIBLE);
}

TEST_P(BothMethods, ReportsUnboundedModels) {
  Lp lp;
  lp.c = {-1, -1};
  lp.b = {1};
  lp.types = "L";
  lp.rows = {{1, -1}};
  lp.lower = {0, 0};
  lp.upper = {kInf, kInf};
  load(model, lp);
  int status = -1;
  EXPECT_EQ(solve(&status), 0);
  EXPECT_EQ(status, TV_STATUS_UNBOUNDED);
}

TEST_P(BothMethods, DegenerateCyclingProneLpEndsOptimal) {
  // Beale's example: Dantzig's rule with naive ties cycles on it.
  Lp lp;
  lp.c = {-0.75, 150, -0.02, 6};
  lp.b = {0, 0, 1};
  lp.types = "LLL";
  lp.rows = {{0.25, -60, -0.04, 9}, {0.5, -90, -0.02, 3}, {0, 0, 1, 0}};
  lp.lower = {0, 0, 0, 0};
  lp.upper = {kInf, kInf, kInf, kInf};
  load(model, lp);
  int status = -1;
  ASSERT_EQ(solve(&status), 0);
  EXPECT_EQ(status, TV_STATUS_BASIC_OPTIMAL);
  double obj = 0;
  TVgetInfo(model, TV_DINFO_POBJ, &obj);
  EXPECT_NEAR(obj, -0.05, 1e-9);
  expect_optimal_solution(model, lp);
}

TEST_P(BothMethods, DuplicateColumnsAndWideCoefficientRange) {
  Lp lp;
  lp.c = {1, 1, 2e-4, 3e4};
  lp.b = {1, 1e-4, 2e4};
  lp.types = "GGL";
  lp.rows = {{1, 1, 0, 0}, {0, 0, 1e-4, 1e-8}, {1e4, 1e4, 0, 1}};
  lp.lower = {0, 0, 0, 0};
  lp.upper = {kInf, kInf, kInf, kInf};
  load(model, lp);
  int status = -1;
  ASSERT_EQ(solve(&status), 0);
  ASSERT_EQ(status, TV_STATUS_BASIC_OPTIMAL);
  double obj = 0;
  TVgetInfo(model, TV_DINFO_POBJ, &obj);
  EXPECT_NEAR(obj, 1.0 + 2e-4, 1e-9);
  expect_optimal_solution(model, lp, 1e-6);
}

TEST_P(BothMethods, SingularStartingStructureIsRepaired) {
  // Two identical rows and identical columns loaded as the starting basis.
  Lp lp;
  lp.c = {-1, -1, -1};
  lp.b = {4, 4, 6};
  lp.types = "LLL";
  lp.rows = {{1, 1, 1}, {1, 1, 1}, {1, 1, 3}};
  lp.lower = {0, 0, 0};
  lp.upper = {kInf, kInf, kInf};
  load(model, lp);
  int cols[3] = {0, 1, -1}, rows[3] = {-1, -1, 2};
  ASSERT_EQ(TVloadBasis(model, cols, rows), 0);
  int status = -1;
  ASSERT_EQ(solve(&status), 0);
  EXPECT_EQ(status, TV_STATUS_BASIC_OPTIMAL);
  double obj = 0;
  TVgetInfo(model, TV_DINFO_POBJ, &obj);
  EXPECT_NEAR(obj, -4.0, 1e-9);
  expect_optimal_solution(model, lp);
}

INSTANTIATE_TEST_SUITE_P(Simplex, BothMethods, ::testing::Values(TV_METHOD_PSIMPLEX, TV_METHOD_DSIMPLEX));

class LpControls : public ::testing::Test {
 protected:
  tvtest::EnvHandle env;
  tvtest::ModelHandle model{env};
};

// A chain LP that needs one pivot per column from the slack basis.
Lp chain(int n) {
  Lp lp;
  lp.c.assign(n, -1.0);
  lp.b.assign(n, 1.0);
  lp.types.assign(n, 'L');
  lp.rows.assign(n, std::vector<double>(n, 0.0));
  for (int i = 0; i < n; ++i) {
    lp.rows[i][i] = 1;
    if (i + 1 < n) lp.rows[i][i + 1] = 1;
    lp.b[i] = 1 + i;
  }
  lp.lower.assign(n, 0.0);
  lp.upper.assign(n, kInf);
  return lp;
}

TEST_F(LpControls, ResolvingUnchangedModelTakesNoIterations) {
  Lp lp = chain(12);
  load(model, lp);
  int status = -1, iters = -1;
  ASSERT_EQ(TVoptimize(model, 0, &status), 0);
  TVgetInfo(model, TV_IINFO_SIM_ITER, &iters);
  EXPECT_GT(iters, 0);
  ASSERT_EQ(TVoptimize(model, 0, &status), 0);
  TVgetInfo(model, TV_IINFO_SIM_ITER, &iters);
  EXPECT_EQ(status, TV_STATUS_BASIC_OPTIMAL);
  EXPECT_EQ(iters, 0);
  expect_optimal_solution(model, lp);
}

TEST_F(LpControls, BoundChangeIsReoptimisedWarmAndCorrectly) {
  Lp lp = chain(12);
  load(model, lp);
  int status = -1, cold = 0, warm = 0;
  ASSERT_EQ(TVoptimize(model, 0, &status), 0);
  TVgetInfo(model, TV_IINFO_SIM_ITER, &cold);
  int j = 5;
  double ub = 0.25;
  ASSERT_EQ(TVmodifyUpperBounds(model, 1, &j, &ub), 0);
  lp.upper[5] = ub;
  ASSERT_EQ(TVoptimize(model, 0, &status), 0);
  EXPECT_EQ(status, TV_STATUS_BASIC_OPTIMAL);
  TVgetInfo(model, TV_IINFO_SIM_ITER, &warm);
  EXPECT_LT(warm, cold);
  expect_optimal_solution(model, lp);
  int i = 3;
  double rhs = 0.5;
  ASSERT_EQ(TVmodifyRHS(model, 1, &i, &rhs), 0);
  lp.b[3] = rhs;
  ASSERT_EQ(TVoptimize(model, 2, &status), 0);
  EXPECT_EQ(status, TV_STATUS_BASIC_OPTIMAL);
  expect_optimal_solution(model, lp);
  expect_consistent(model);
}

TEST_F(LpControls, IterationLimitKeepsBestBasisAndReturns2016) {
  Lp lp = chain(30);
  load(model, lp);
  ASSERT_EQ(TVsetModelDouParameter(model, TV_DPARAM_LP_ITRLMT, 3), 0);
  int status = -1, iters = -1;
  EXPECT_EQ(TVoptimize(model, 2, &status), 2016);
  EXPECT_EQ(status, TV_STATUS_LOADED);
  TVgetInfo(model, TV_IINFO_SIM_ITER, &iters);
  EXPECT_LE(iters, 3);
  std::vector<int> cols(30), rows(30);
  EXPECT_EQ(TVgetBasis(model, cols.data(), rows.data()), 0);
  expect_consistent(model);
  ASSERT_EQ(TVsetModelDouParameter(model, TV_DPARAM_LP_ITRLMT, -1), 0);
  EXPECT_EQ(TVoptimize(model, 2, &status), 0);
  EXPECT_EQ(status, TV_STATUS_BASIC_OPTIMAL);
  expect_optimal_solution(model, lp);
}

int stop_at_once(pTVmodel, int, void *data) {
  ++*static_cast<int *>(data);
  return -1;
}

TEST_F(LpControls, CallbackStopReturns2023) {
  Lp lp = chain(30);
  load(model, lp);
  int calls = 0;
  ASSERT_EQ(TVsetCallback(model, stop_at_once, &calls), 0);
  int status = -1;
  EXPECT_EQ(TVoptimize(model, 2, &status), 2023);
  EXPECT_GT(calls, 0);
  EXPECT_NE(status, TV_STATUS_BASIC_OPTIMAL);
  expect_consistent(model);
}

TEST_F(LpControls, ModelsWithoutRowsOrColumnsAreSolvedDirectly) {
  double c[2] = {1, -1}, lo[2] = {-1, -3}, up[2] = {2, 5};
  int start[3] = {0, 0, 0};
  int idx[1] = {0};
  double val[1] = {0};
  ASSERT_EQ(TVloadLPData(model, 0, 2, TV_MIN, 0, c, nullptr, nullptr, 0, start, nullptr, val, idx, lo, up), 0);
  int status = -1;
  ASSERT_EQ(TVoptimize(model, 0, &status), 0);
  EXPECT_EQ(status, TV_STATUS_BASIC_OPTIMAL);
  double x[2], obj;
  TVgetPrimalSolution(model, x);
  TVgetInfo(model, TV_DINFO_POBJ, &obj);
  EXPECT_EQ(x[0], -1);
  EXPECT_EQ(x[1], 5);
  EXPECT_EQ(obj, -6);
  up[1] = kInf;
  int one = 1;
  ASSERT_EQ(TVmodifyUpperBounds(model, 1, &one, &up[1]), 0);
  ASSERT_EQ(TVoptimize(model, 0, &status), 0);
  EXPECT_EQ(status, TV_STATUS_UNBOUNDED);
  expect_consistent(model);
}

TEST_F(LpControls, IntegerModelsAndUnknownMethodsAreRefused) {
  Lp lp = textbook();
  load(model, lp);
  int status = -1;
  EXPECT_EQ(TVoptimize(model, 7, &status), 2006);
  char types[] = "CIC";
  ASSERT_EQ(TVloadVarType(model, types), 0);
  EXPECT_EQ(TVoptimize(model, TV_METHOD_DSIMPLEX, &status), 2006);
  EXPECT_EQ(TVoptimize(nullptr, 0, &status), 2010);
  expect_consistent(model);
}

TEST_F(LpControls, RestartRequestLastsOneCall) {
  Lp lp = chain(8);
  load(model, lp);
  int status = -1, value = -1, iters = 0;
  ASSERT_EQ(TVoptimize(model, 0, &status), 0);
  ASSERT_EQ(TVsetModelIntParameter(model, TV_IPARAM_SOLVER_RESTART, 1), 0);
  ASSERT_EQ(TVoptimize(model, 0, &status), 0);
  TVgetInfo(model, TV_IINFO_SIM_ITER, &iters);
  EXPECT_GT(iters, 0);  // cold again
  TVgetModelIntParameter(model, TV_IPARAM_SOLVER_RESTART, &value);
  EXPECT_EQ(value, 0);
}

TEST_F(LpControls, FtranAndBtranSolveWithTheFinalBasis) {
  Lp lp = textbook();
  load(model, lp);
  int cnt = 1, idx[3] = {0}, ocnt = 0, oidx[3];
  double val[3] = {1}, oval[3];
  EXPECT_EQ(TVdoFTRAN(model, &cnt, idx, val, &ocnt, oidx, oval), 2009);
  int status;
  ASSERT_EQ(TVoptimize(model, 0, &status), 0);
  int bad = 4;
  EXPECT_EQ(TVdoBTRAN(model, &bad, idx, val, &ocnt, oidx, oval), 2012);
  // B x = e_1, then check B x by rebuilding B from the basis header.
  std::vector<int> cols(3), rows(3);
  ASSERT_EQ(TVgetBasis(model, cols.data(), rows.data()), 0);
  std::vector<std::vector<double>> B(3, std::vector<double>(3, 0.0));
  for (int j = 0; j < 3; ++j)
    if (cols[j] >= 0)
      for (int i = 0; i < 3; ++i) B[i][cols[j]] = lp.rows[i][j];
  for (int i = 0; i < 3; ++i)
    if (rows[i] >= 0) B[i][rows[i]] = 1.0;
  for (int e = 0; e < 3; ++e) {
    idx[0] = e;
    val[0] = 1.0;
    cnt = 1;
    ASSERT_EQ(TVdoFTRAN(model, &cnt, idx, val, &ocnt, oidx, oval), 0);
    std::vector<double> xs(3, 0.0);
    for (int k = 0; k < ocnt; ++k) xs[oidx[k]] = oval[k];
    for (int i = 0; i < 3; ++i) {
      double s = 0;
      for (int p = 0; p < 3; ++p) s += B[i][p] * xs[p];
      EXPECT_NEAR(s, i == e ? 1.0 : 0.0, 1e-12);
    }
    ASSERT_EQ(TVdoBTRAN(model, &cnt, idx, val, &ocnt, oidx, oval), 0);
    std::vector<double> ys(3, 0.0);
    for (int k = 0; k < ocnt; ++k) ys[oidx[k]] = oval[k];
    for (int p = 0; p < 3; ++p) {
      double s = 0;
      for (int i = 0; i < 3; ++i) s += ys[i] * B[i][p];
      EXPECT_NEAR(s, p == e ? 1.0 : 0.0, 1e-12);
    }
  }
}

TEST_F(LpControls, CutoffBetterThanOptimumStopsWithStatus10) {
  Lp lp = chain(10);
  load(model, lp);
  ASSERT_EQ(TVsetModelIntParameter(model, TV_IPARAM_SOLVER_USECUTOFFVAL, 1), 0);
  ASSERT_EQ(TVsetModelDouParameter(model, TV_DPARAM_SOLVER_CUTOFFVAL, -1e3), 0);
  int status = -1;
  // The optimum (about -30) is worse than the cutoff, so the dual bound passes it.
  EXPECT_EQ(TVoptimize(model, 2, &status), 0);
  EXPECT_EQ(status, TV_STATUS_CUTOFF);
  expect_consistent(model);
}

TEST_F(LpControls, SolutionReportGoesToTheLog) {
  Lp lp = textbook();
  load(model, lp);
  std::string log;
  ASSERT_EQ(TVsetModelLogfunc(model, tvtest::collect_model_log, &log), 0);
  ASSERT_EQ(TVsetModelIntParameter(model, TV_IPARAM_LP_PRINTLEVEL, 1), 0);
  int status;
  ASSERT_EQ(TVoptimize(model, 0, &status), 0);
  EXPECT_NE(log.find("\nPrimal Objective   = 10.5 "), std::string::npos) << log;
  EXPECT_NE(log.find("\nBasic solution is optimal.\n"), std::string::npos);
}

}  // namespace
