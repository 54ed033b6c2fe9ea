// Costs and matrix values have no infinite meaning: every way into the model
// refuses them, so that no solve can report an optimum with a NaN objective.
// Bounds and right-hand sides keep their rule (beyond 1e30 means absent).
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "test_support.hpp"

using namespace tvtest;

namespace {

const double kInf = std::numeric_limits<double>::infinity();

// min x0 + 2 x1  s.t.  x0 + x1 >= 4, x >= 0: optimum 4 at x0 = 4.
struct TwoColumnLp {
  double c[2] = {1, 2}, b[1] = {4}, values[2] = {1, 1}, constant = 0;
  double lower[2] = {0, 0}, upper[2] = {kInf, kInf};
  int starts[3] = {0, 1, 2}, rows[2] = {0, 0};
  char types[2] = "G";
  int load(pTVmodel m) {
    return TVloadLPData(m, 1, 2, TV_MIN, constant, c, b, types, 2, starts, nullptr, values, rows, lower, upper);
  }
};

int status_of(pTVmodel m) {
  int status = -1;
  TVgetInfo(m, TV_IINFO_MODEL_STATUS, &status);
  return status;
}

}  // namespace

TEST(InfiniteValues, LoadingRefusesInfiniteCostsAndMatrixValues) {
  EnvHandle env;
  struct Case {
    const char *what;
    void (*apply)(TwoColumnLp &);
  } cases[] = {
      {"cost +inf", [](TwoColumnLp &lp) { lp.c[0] = kInf; }},
      {"cost -inf", [](TwoColumnLp &lp) { lp.c[1] = -kInf; }},
      {"objective constant inf", [](TwoColumnLp &lp) { lp.constant = -kInf; }},
      {"matrix value +inf", [](TwoColumnLp &lp) { lp.values[0] = kInf; }},
      {"matrix value -inf", [](TwoColumnLp &lp) { lp.values[1] = -kInf; }},
  };
  for (const Case &k : cases) {
    SCOPED_TRACE(k.what);
    ModelHandle m(env);
    TwoColumnLp lp;
    k.apply(lp);
    EXPECT_EQ(lp.load(m), 2047);
    EXPECT_EQ(status_of(m), TV_STATUS_UNLOADED) << "a refused load leaves a cleared model";
    int status = -1;
    EXPECT_NE(TVoptimize(m, TV_METHOD_FREE, &status), 0);
  }
}

TEST(InfiniteValues, InfiniteBoundsAndRightHandSidesStillMeanAbsent) {
  EnvHandle env;
  ModelHandle m(env);
  TwoColumnLp lp;
  lp.lower[1] = -kInf;
  lp.upper[1] = 3;
  ASSERT_EQ(lp.load(m), 0);
  double u = 0;
  ASSERT_EQ(TVgetUpperBoundj(m, 0, &u), 0);
  EXPECT_EQ(u, TV_INFINITY);
  // A second row x0 - x1 <= +inf is no restriction at all.
  int starts[2] = {0, 2}, cols[2] = {0, 1};
  double vals[2] = {1, -1}, rhs[1] = {kInf};
  ASSERT_EQ(TVaddConstraints(m, 1, "L", nullptr, starts, vals, cols, rhs), 0);
  // x1 is free below, so min x0 + 2 x1 with x0 + x1 >= 4 is unbounded; bound it.
  double zero[1] = {0};
  int one[1] = {1};
  ASSERT_EQ(TVmodifyLowerBounds(m, 1, one, zero), 0);
  int status = -1;
  ASSERT_EQ(TVoptimize(m, TV_METHOD_FREE, &status), 0);
  double obj = 0;
  ASSERT_EQ(TVgetInfo(m, TV_DINFO_POBJ, &obj), 0);
  EXPECT_NEAR(obj, 4.0, 1e-9);
}

TEST(InfiniteValues, AdditionsAndChangesRefuseInfiniteCostsAndValues) {
  EnvHandle env;
  ModelHandle m(env);
  TwoColumnLp lp;
  ASSERT_EQ(lp.load(m), 0);
  int starts[2] = {0, 1}, row0[1] = {0}, col0[1] = {0};
  double finite[1] = {1}, inf[1] = {kInf}, minus_inf[1] = {-kInf};
  EXPECT_EQ(TVaddVariables(m, 1, nullptr, nullptr, starts, nullptr, inf, row0, finite, nullptr, nullptr), 2047);
  EXPECT_EQ(TVaddVariables(m, 1, nullptr, nullptr, starts, nullptr, finite, row0, minus_inf, nullptr, nullptr), 2047);
  EXPECT_EQ(TVaddConstraints(m, 1, "L", nullptr, starts, inf, col0, finite), 2047);
  EXPECT_EQ(TVmodifyObjective(m, 1, col0, inf), 2024);
  EXPECT_EQ(TVmodifyAj(m, 0, 1, row0, minus_inf), 2024);
  double pool[2] = {1, kInf};
  EXPECT_EQ(TVaddObjPool(m, pool, TV_MIN, 1, -1), 2047);
  int n = 0, rows = 0;
  TVgetDimensions(m, &n, &rows, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr);
  EXPECT_EQ(n, 2);
  EXPECT_EQ(rows, 1);

  int status = -1;
  ASSERT_EQ(TVoptimize(m, TV_METHOD_FREE, &status), 0);
  double obj = 0;
  ASSERT_EQ(TVgetInfo(m, TV_DINFO_POBJ, &obj), 0);
  EXPECT_NEAR(obj, 4.0, 1e-9) << "the refused changes left the model as loaded";
}
