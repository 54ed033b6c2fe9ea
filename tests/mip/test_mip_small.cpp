// Small integer programs through the public header, checked against optima
// found by enumeration in the test: knapsacks, covering, general integers,
// equality knapsacks, random pure integer programs, infeasible and unbounded
// models, fractional integer bounds, sets and semicontinuous columns.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "lp_fixture.hpp"
#include "mip_check.hpp"
#include "mip_fixture.hpp"

namespace {

using lpfix::Lp;
using mipfix::brute_force;
using mipfix::load_mip;
using mipfix::Solved;
using mipfix::solve;

class MipSmall : public ::testing::Test {
 protected:
  tvtest::EnvHandle env;
  tvtest::ModelHandle model{env};
};

Lp knapsack(int sense) {
  Lp lp;
  lp.sense = sense;
  lp.c = {10, 13, 7, 8, 4};
  lp.b = {14};
  lp.types = "L";
  lp.rows = {{4, 6, 3, 5, 2}};
  lp.lower = {0, 0, 0, 0, 0};
  lp.upper = {1, 1, 1, 1, 1};
  if (sense == TV_MIN)
    for (double &c : lp.c) c = -c;
  return lp;
}

TEST_F(MipSmall, KnapsackReachesTheEnumeratedOptimumInBothSenses) {
  for (int sense : {TV_MAX, TV_MIN}) {
    tvtest::ModelHandle mdl(env);
    const Lp lp = knapsack(sense);
    load_mip(mdl, lp, "BBBBB");
    const Solved s = solve(mdl);
    ASSERT_EQ(s.code, 0);
    EXPECT_EQ(s.status, TV_STATUS_OPTIMAL);
    EXPECT_NEAR(s.obj, brute_force(lp, "BBBBB"), 1e-9);
    EXPECT_NEAR(mipcheck::verify_incumbent(mdl), s.obj, 1e-9);
    EXPECT_NEAR(s.bound, s.obj, 1e-6 * (1 + std::fabs(s.obj)));
  }
}

TEST_F(MipSmall, SetCoverAndEqualityKnapsackWithGeneralIntegers) {
  // covering: 5 elements, 6 subsets
  Lp cover;
  cover.sense = TV_MIN;
  cover.c = {3, 2, 4, 2, 5, 1};
  cover.b = {1, 1, 1, 1, 1};
  cover.types = "GGGGG";
  cover.rows = {{1, 1, 0, 0, 1, 0}, {0, 1, 1, 0, 0, 0}, {1, 0, 1, 1, 0, 0}, {0, 0, 0, 1, 1, 1},
                {1, 0, 0, 0, 1, 1}};
  cover.lower.assign(6, 0);
  cover.upper.assign(6, 1);
  load_mip(model, cover, "BBBBBB");
  Solved s = solve(model);
  ASSERT_EQ(s.code, 0);
  EXPECT_EQ(s.status, TV_STATUS_OPTIMAL);
  EXPECT_NEAR(s.obj, brute_force(cover, "BBBBBB"), 1e-9);
  mipcheck::verify_incumbent(model);

  // 3x + 5y + 7z = 38 with small general integers, fewest items
  tvtest::ModelHandle eq(env);
  Lp e;
  e.sense = TV_MIN;
  e.c = {1, 1, 1};
  e.b = {38};
  e.types = "E";
  e.rows = {{3, 5, 7}};
  e.lower = {0, 0, 0};
  e.upper = {9, 9, 9};
  load_mip(eq, e, "III");
  s = solve(eq);
  ASSERT_EQ(s.code, 0);
  EXPECT_EQ(s.status, TV_STATUS_OPTIMAL);
  EXPECT_NEAR(s.obj, brute_force(e, "III"), 1e-9);
  mipcheck::verify_incumbent(eq);
}

TEST_F(MipSmall, RandomPureIntegerProgramsMatchEnumeration) {
  std::mt19937 rng(12345);
  std::uniform_int_distribution<int> coef(-4, 6), rhs(3, 15), ub(1, 3);
  for (int trial = 0; trial < 40; ++trial) {
    tvtest::ModelHandle mdl(env);
    Lp lp;
    const int n = 5, m = 3;
    lp.sense = trial % 2 ? TV_MAX : TV_MIN;
    for (int j = 0; j < n; ++j) {
      lp.c.push_back(coef(rng));
      lp.lower.push_back(0);
      lp.upper.push_back(ub(rng));
    }
    lp.rows.assign(m, std::vector<double>(n));
    for (int i = 0; i < m; ++i) {
      for (int j = 0; j < n; ++j) lp.rows[i][j] = coef(rng);
      lp.b.push_back(i == 2 ? -rhs(rng) / 3 : rhs(rng));
      lp.types += i == 2 ? 'G' : 'L';
    }
    const std::string vt(n, 'I');
    load_mip(mdl, lp, vt);
    const Solved s = solve(mdl);
    const double best = brute_force(lp, vt);
    ASSERT_EQ(s.code, 0) << "trial " << trial;
    if (std::isnan(best)) {
      EXPECT_EQ(s.status, TV_STATUS_INFEASIBLE) << "trial " << trial;
    } else {
      EXPECT_EQ(s.status, TV_STATUS_OPTIMAL) << "trial " << trial;
      EXPECT_NEAR(s.obj, best, 1e-7) << "trial " << trial;
      mipcheck::verify_incumbent(mdl);
    }
  }
}

TEST_F(MipSmall, MixedProgramKeepsContinuousColumnsFree) {
  // max 5x + 4y + 3w, 2x + 3y + w <= 5.5, 4x + y + 2w <= 11, x, y integer, w continuous <= 1.5
  Lp lp;
  lp.sense = TV_MAX;
  lp.c = {5, 4, 3};
  lp.b = {5.5, 11};
  lp.types = "LL";
  lp.rows = {{2, 3, 1}, {4, 1, 2}};
  lp.lower = {0, 0, 0};
  lp.upper = {TV_INFINITY, TV_INFINITY, 1.5};
  load_mip(model, lp, "IIC");
  const Solved s = solve(model);
  ASSERT_EQ(s.code, 0);
  EXPECT_EQ(s.status, TV_STATUS_OPTIMAL);
  // x = 2, y = 0, w = 1.5 (row 1: 5.5, row 2: 11) gives 14.5
  EXPECT_NEAR(s.obj, 14.5, 1e-7);
  mipcheck::verify_incumbent(model);
}

TEST_F(MipSmall, InfeasibleModelsAndFractionalIntegerBounds) {
  Lp lp;
  lp.sense = TV_MIN;
  lp.c = {1, 1};
  lp.b = {7};
  lp.types = "E";
  lp.rows = {{2, 4}};
  lp.lower = {0, 0};
  lp.upper = {10, 10};
  load_mip(model, lp, "II");  // 2x + 4y = 7 has no integer point, the relaxation has many
  Solved s = solve(model);
  EXPECT_EQ(s.code, 0);
  EXPECT_EQ(s.status, TV_STATUS_INFEASIBLE);
  double x[2];
  EXPECT_EQ(TVgetMIPPrimalSolution(model, x), 2009);

  tvtest::ModelHandle frac(env);
  Lp f;
  f.sense = TV_MAX;
  f.c = {1};
  f.b = {10};
  f.types = "L";
  f.rows = {{1}};
  f.lower = {0.5};
  f.upper = {0.7};
  load_mip(frac, f, "I");
  s = solve(frac);
  EXPECT_EQ(s.code, 0);
  EXPECT_EQ(s.status, TV_STATUS_INFEASIBLE);

  tvtest::ModelHandle inside(env);
  f.upper = {2.5};
  load_mip(inside, f, "I");
  s = solve(inside);
  EXPECT_EQ(s.status, TV_STATUS_OPTIMAL);
  EXPECT_NEAR(s.obj, 2, 1e-9);
}

TEST_F(MipSmall, UnboundedRelaxationWithIntegerPointsIsUnbounded) {
  Lp lp;
  lp.sense = TV_MAX;
  lp.c = {1, 1};
  lp.b = {0.5};
  lp.types = "L";
  lp.rows = {{1, -1}};
  lp.lower = {0, 0};
  lp.upper = {TV_INFINITY, TV_INFINITY};
  load_mip(model, lp, "II");
  const Solved s = solve(model);
  EXPECT_EQ(s.code, 0);
  EXPECT_EQ(s.status, TV_STATUS_UNBOUNDED);
}

TEST_F(MipSmall, FreeIntegerColumnsAndHugeBigM) {
  // min x + y/2 + 1000z, y <= 1e6 z, x + y >= 2.5, x >= -40 free integer, z binary
  Lp lp;
  lp.sense = TV_MIN;
  lp.c = {1, 0.5, 1000};
  lp.b = {0, 2.5, 40};
  lp.types = "LGL";
  lp.rows = {{0, 1, -1e6}, {1, 1, 0}, {-1, 0, 0}};
  lp.lower = {-TV_INFINITY, 0, 0};
  lp.upper = {TV_INFINITY, TV_INFINITY, 1};
  load_mip(model, lp, "ICB");
  const Solved s = solve(model);
  ASSERT_EQ(s.code, 0);
  EXPECT_EQ(s.status, TV_STATUS_OPTIMAL);
  // z = 0 forces y = 0 and x >= 3 (x >= -40): objective 3
  EXPECT_NEAR(s.obj, 3, 1e-6);
  mipcheck::verify_incumbent(model);
}

TEST_F(MipSmall, ModelWithoutIntegersIsSolvedAsAnLp) {
  std::string log;
  TVsetModelLogfunc(model, tvtest::collect_model_log, &log);
  TVsetModelIntParameter(model, TV_IPARAM_MIP_PRINTLEVEL, 1);
  lpfix::load(model, lpfix::textbook());
  const Solved s = solve(model);
  EXPECT_EQ(s.code, 0);
  EXPECT_EQ(s.status, TV_STATUS_OPTIMAL);
  EXPECT_NEAR(s.obj, 10.5, 1e-7);  // the textbook LP's optimum
  EXPECT_NE(log.find("\n\nThe problem is an LP.\n\n"), std::string::npos);
}

TEST_F(MipSmall, Sos1AllowsOneNonzeroMember) {
  // max 2a + 3b + c, a + b + c <= 5, each in [0, 4]; only one may be nonzero: b = 4
  Lp lp;
  lp.sense = TV_MAX;
  lp.c = {2, 3, 1};
  lp.b = {5};
  lp.types = "L";
  lp.rows = {{1, 1, 1}};
  lp.lower = {0, 0, 0};
  lp.upper = {4, 4, 4};
  lpfix::load(model, lp);
  const int start[] = {0, 3}, cols[] = {0, 1, 2};
  ASSERT_EQ(TVloadSETSData(model, 1, "\x01", nullptr, start, cols), 0);
  const Solved s = solve(model);
  ASSERT_EQ(s.code, 0);
  EXPECT_EQ(s.status, TV_STATUS_OPTIMAL);
  EXPECT_NEAR(s.obj, 12, 1e-7);
  double x[3];
  ASSERT_EQ(TVgetMIPPrimalSolution(model, x), 0);
  EXPECT_NEAR(x[1], 4, 1e-7);
  EXPECT_NEAR(x[0] + x[2], 0, 1e-7);
}

TEST_F(MipSmall, Sos2PiecewiseLinearUsesAdjacentBreakpoints) {
  // breakpoints (0,0) (1,1) (2,4) (3,4) in weights l0..l3; x = 1 fixed; max y.
  // Mixing (0,0) and (2,4) would give y = 2; adjacent weights give y = 1.
  Lp lp;
  lp.sense = TV_MAX;
  lp.c = {0, 0, 0, 0, 0, 1};  // l0..l3, x, y
  lp.b = {1, 0, 0, 1};
  lp.types = "EEEE";
  lp.rows = {{1, 1, 1, 1, 0, 0}, {0, 1, 2, 3, -1, 0}, {0, 1, 4, 4, 0, -1}, {0, 0, 0, 0, 1, 0}};
  lp.lower = {0, 0, 0, 0, 0, 0};
  lp.upper = {1, 1, 1, 1, 3, 10};
  lpfix::load(model, lp);
  const int start[] = {0, 4}, cols[] = {0, 1, 2, 3};
  ASSERT_EQ(TVloadSETSData(model, 1, "\x02", nullptr, start, cols), 0);
  const Solved s = solve(model);
  ASSERT_EQ(s.code, 0);
  EXPECT_EQ(s.status, TV_STATUS_OPTIMAL);
  EXPECT_NEAR(s.obj, 1, 1e-7);
}

TEST_F(MipSmall, LongSos2SetIsGrayEncodedAndStillInterpolatesAdjacentBreakpoints) {
  // 12 breakpoints (k, Y[k]) of a zigzag; with x fixed between two of them,
  // max and min y must both be the interpolation of those two. Any code of
  // the Gray encoding that admitted non-adjacent weights would do better.
  const double Y[12] = {0, 9, 1, 8, 2, 7, 3, 6, 4, 5, 0, 10};
  for (double xfix : {0.5, 3.25, 6.0, 9.75, 10.5}) {
    for (int sense : {TV_MAX, TV_MIN}) {
      tvtest::ModelHandle mdl(env);
      Lp lp;
      lp.sense = sense;
      lp.c.assign(14, 0.0);
      lp.c[13] = 1;  // l0..l11, x, y
      lp.b = {1, 0, 0, xfix};
      lp.types = "EEEE";
      lp.rows.assign(4, std::vector<double>(14, 0.0));
      for (int k = 0; k < 12; ++k) {
        lp.rows[0][k] = 1;
        lp.rows[1][k] = k;
        lp.rows[2][k] = Y[k];
      }
      lp.rows[1][12] = -1;
      lp.rows[2][13] = -1;
      lp.rows[3][12] = 1;
      lp.lower.assign(14, 0.0);
      lp.upper.assign(14, 1.0);
      lp.upper[12] = 11;
      lp.upper[13] = 10;
      lpfix::load(mdl, lp);
      std::vector<int> cols(12);
      for (int k = 0; k < 12; ++k) cols[k] = k;
      const int start[] = {0, 12};
      ASSERT_EQ(TVloadSETSData(mdl, 1, "\x02", nullptr, start, cols.data()), 0);
      std::string log;
      TVsetModelLogfunc(mdl, tvtest::collect_model_log, &log);
      const Solved s = solve(mdl);
      ASSERT_EQ(s.code, 0);
      ASSERT_EQ(s.status, TV_STATUS_OPTIMAL) << xfix;
      const int k = std::min(10, static_cast<int>(std::floor(xfix)));
      const double t = xfix - k, want = (1 - t) * Y[k] + t * Y[k + 1];
      EXPECT_NEAR(s.obj, want, 1e-6) << "x = " << xfix << " sense " << sense;
      EXPECT_NE(log.find("\nSwitching to gray-encoding of SOS2 variables.."), std::string::npos);
      mipcheck::verify_incumbent(mdl);
    }
  }
}

TEST_F(MipSmall, SemicontinuousColumnIsZeroOrWithinItsRange) {
  // max x with x <= 1.5 and x in {0} or [2, 5]: 0; then min x with x >= 1: 2
  Lp lp;
  lp.sense = TV_MAX;
  lp.c = {1};
  lp.b = {1.5};
  lp.types = "L";
  lp.rows = {{1}};
  lp.lower = {0};
  lp.upper = {5};
  lpfix::load(model, lp);
  const int var[] = {0};
  const double lo[] = {2}, up[] = {5};
  ASSERT_EQ(TVloadSemiContData(model, 1, var, lo, up), 0);
  Solved s = solve(model);
  ASSERT_EQ(s.code, 0);
  EXPECT_EQ(s.status, TV_STATUS_OPTIMAL);
  EXPECT_NEAR(s.obj, 0, 1e-7);

  tvtest::ModelHandle other(env);
  lp.sense = TV_MIN;
  lp.types = "G";
  lp.b = {1};
  lpfix::load(other, lp);
  ASSERT_EQ(TVloadSemiContData(other, 1, var, lo, up), 0);
  s = solve(other);
  ASSERT_EQ(s.code, 0);
  EXPECT_NEAR(s.obj, 2, 1e-7);
}

}  // namespace

namespace {

class MipRows : public ::testing::Test {
 protected:
  tvtest::EnvHandle env;
  tvtest::ModelHandle model{env};
};

TEST_F(MipRows, IndicatorRowsHoldOnlyWhileTheirSwitchTakesItsValue) {
  // max 3x + 2y; x + y <= 10; x <= 2 when z = 1; y <= 3 when z = 0.
  // z = 0 frees x: x = 10 (30); z = 1 gives 6 + 16 = 22; with both rows always on only 12.
  lpfix::Lp lp;
  lp.sense = TV_MAX;
  lp.c = {3, 2, 0};
  lp.b = {10, 2, 3};
  lp.types = "LLL";
  lp.rows = {{1, 1, 0}, {1, 0, 0}, {0, 1, 0}};
  lp.lower = {0, 0, 0};
  lp.upper = {20, 20, 1};
  mipfix::load_mip(model, lp, "CCB");
  const int rows[] = {1, 2}, vars[] = {2, 2}, values[] = {1, 0};
  ASSERT_EQ(TVloadIndData(model, 2, rows, vars, values), 0);
  const mipfix::Solved s = mipfix::solve(model);
  ASSERT_EQ(s.code, 0);
  EXPECT_EQ(s.status, TV_STATUS_OPTIMAL);
  EXPECT_NEAR(s.obj, 30, 1e-6);
  double x[3];
  ASSERT_EQ(TVgetMIPPrimalSolution(model, x), 0);
  EXPECT_NEAR(x[2], 0, 1e-9);
  EXPECT_LE(x[1], 3 + 1e-6);
}

TEST_F(MipRows, AllDifferentGroupTakesDistinctValues) {
  // min x1 + 2 x2 + 3 x3 with x in [1, 3] all different: x = (3, 2, 1), 10
  lpfix::Lp lp;
  lp.sense = TV_MIN;
  lp.c = {1, 2, 3};
  lp.b = {100};
  lp.types = "L";
  lp.rows = {{1, 1, 1}};
  lp.lower = {1, 1, 1};
  lp.upper = {3, 3, 3};
  mipfix::load_mip(model, lp, "III");
  const int lo[] = {1}, up[] = {3}, start[] = {0, 3}, vars[] = {0, 1, 2};
  ASSERT_EQ(TVloadALLDIFFData(model, 1, lo, up, start, vars), 0);
  const mipfix::Solved s = mipfix::solve(model);
  ASSERT_EQ(s.code, 0);
  EXPECT_EQ(s.status, TV_STATUS_OPTIMAL);
  EXPECT_NEAR(s.obj, 10, 1e-7);
}

}  // namespace

namespace {

struct Collected {
  std::vector<double> objs;
  std::vector<std::vector<double>> points;
};

int collect(pTVmodel, void *data, double obj, double *x) {
  auto *c = static_cast<Collected *>(data);
  c->objs.push_back(obj);
  c->points.emplace_back(x, x + 5);
  return 0;
}

TEST(MipKBest, SolutionsAreDistinctOrderedAndTheBestOnes) {
  tvtest::EnvHandle env;
  tvtest::ModelHandle model(env);
  lpfix::Lp lp;
  lp.sense = TV_MAX;
  lp.c = {10, 13, 7, 8, 4};
  lp.b = {14};
  lp.types = "L";
  lp.rows = {{4, 6, 3, 5, 2}};
  lp.lower.assign(5, 0);
  lp.upper.assign(5, 1);
  mipfix::load_mip(model, lp, "BBBBB");
  Collected got;
  EXPECT_EQ(TVgetKBestMIPSols(model, nullptr, collect, &got, 4), 2009);  // nothing solved yet
  ASSERT_EQ(mipfix::solve(model).status, TV_STATUS_OPTIMAL);
  ASSERT_EQ(TVgetKBestMIPSols(model, nullptr, collect, &got, 4), 0);
  ASSERT_EQ(got.objs.size(), 4u);
  // the four best objective values by enumeration of all 32 points
  std::vector<double> all;
  for (int mask = 0; mask < 32; ++mask) {
    double w = 0, v = 0;
    for (int j = 0; j < 5; ++j)
      if (mask >> j & 1) w += lp.rows[0][j], v += lp.c[j];
    if (w <= 14) all.push_back(v);
  }
  std::sort(all.rbegin(), all.rend());
  for (int k = 0; k < 4; ++k) EXPECT_NEAR(got.objs[k], all[k], 1e-9) << k;
  for (int a = 0; a < 4; ++a)
    for (int b = a + 1; b < 4; ++b) EXPECT_NE(got.points[a], got.points[b]);
  int rows = 0;
  TVgetInfo(model, TV_IINFO_NUM_CONS, &rows);
  EXPECT_EQ(rows, 1);  // the host's model keeps its rows
}

}  // namespace
