// The integer presolve inside TVsolveMIP: verdicts presolve reaches alone,
// the level switch, and programs with planted reducible structure solved with
// presolve on and off.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>

#include "lp_fixture.hpp"
#include "mip_check.hpp"
#include "mip_fixture.hpp"

namespace {

using lpfix::Lp;
using mipfix::Solved;

using MipPresolve = mipfix::LoggedModel;

TEST_F(MipPresolve, EveryColumnFixedIsSolvedInPresolve) {
  Lp lp;
  lp.sense = TV_MAX;
  lp.c = {3, -2, 5};
  lp.b = {4, 1};
  lp.types = "LG";
  lp.rows = {{1, 1, 1}, {1, 0, -1}};
  lp.lower = {2, 1, 0};
  lp.upper = {2, 1, 0};
  mipfix::load_mip(model, lp, "III");
  const Solved s = mipfix::solve(model);
  ASSERT_EQ(s.code, 0);
  EXPECT_EQ(s.status, TV_STATUS_OPTIMAL);
  EXPECT_DOUBLE_EQ(s.obj, 4);
  EXPECT_DOUBLE_EQ(mipcheck::verify_incumbent(model), 4);
  EXPECT_NE(log.find("(*P-)"), std::string::npos) << log;
}

TEST_F(MipPresolve, ParityOfAnEquationProvesInfeasibility) {
  // 2x + 4y = 3 has no integer solution; the relaxation is feasible
  Lp lp;
  lp.c = {1, 1, 1};
  lp.b = {3, 10};
  lp.types = "EL";
  lp.rows = {{2, 4, 0}, {1, 1, 1}};
  lp.lower = {0, 0, 0};
  lp.upper = {5, 5, 5};
  mipfix::load_mip(model, lp, "IIC");
  const Solved s = mipfix::solve(model);
  ASSERT_EQ(s.code, 0);
  EXPECT_EQ(s.status, TV_STATUS_INFEASIBLE);
  EXPECT_NE(log.find("Problem found infeasible in MIP presolving."), std::string::npos) << log;
}

TEST_F(MipPresolve, LevelZeroSkipsPresolveWithoutALine) {
  Lp lp;
  lp.c = {-5, -4, -3};
  lp.b = {5, 11};
  lp.types = "LL";
  lp.rows = {{2, 3, 1}, {4, 1, 2}};
  lp.lower = {0, 0, 0};
  lp.upper = {10, 10, 10};
  mipfix::load_mip(model, lp, "III");
  TVsetModelIntParameter(model, TV_IPARAM_MIP_PRELEVEL, 0);
  const Solved off = mipfix::solve(model);
  EXPECT_EQ(log.find("Starting mip_pre"), std::string::npos);
  TVsetModelIntParameter(model, TV_IPARAM_MIP_PRELEVEL, 3070);
  log.clear();
  const Solved on = mipfix::solve(model);
  EXPECT_NE(log.find("Starting mip_pre"), std::string::npos);
  ASSERT_EQ(off.status, TV_STATUS_OPTIMAL);
  ASSERT_EQ(on.status, TV_STATUS_OPTIMAL);
  EXPECT_DOUBLE_EQ(on.obj, off.obj);
  EXPECT_DOUBLE_EQ(on.obj, mipfix::brute_force(lp, "III"));
}

// Mixed programs with parallel columns (integer and continuous), dominated
// twins, binary equations and equations inside longer rows: presolve on and
// off agree, and every reported point passes the check on the model as given.
TEST_F(MipPresolve, PlantedStructureGivesTheAnswerWithoutPresolve) {
  std::mt19937 rng(2024);
  std::uniform_int_distribution<int> coef(-3, 4), pick(0, 1);
  int optimal = 0;
  for (int trial = 0; trial < 30; ++trial) {
    Lp lp;
    lp.sense = trial % 2 ? TV_MAX : TV_MIN;
    const int n = 10, m = 5;
    std::string vt;
    for (int j = 0; j < n; ++j) {
      lp.c.push_back(coef(rng));
      lp.lower.push_back(0);
      lp.upper.push_back(j < 6 ? 1 : 3 + pick(rng));
      vt += j == 8 ? 'C' : j < 6 ? 'B' : 'I';
    }
    lp.rows.assign(m + 2, std::vector<double>(n, 0.0));
    for (int i = 0; i < m; ++i) {
      for (int j = 0; j < 7; ++j) lp.rows[i][j] = pick(rng) ? coef(rng) : 0;
      lp.rows[i][7] = 2 * lp.rows[i][6];  // column 7 = 2 * column 6
      lp.rows[i][9] = lp.rows[i][8];      // column 9 = column 8 (one continuous)
      lp.b.push_back(4 + coef(rng));
      lp.types += i % 2 ? 'G' : 'L';
      if (lp.types.back() == 'G') lp.b.back() = -lp.b.back();
    }
    lp.c[7] = 2 * lp.c[6];
    lp.c[9] = lp.c[8] + (trial % 3 == 0 ? 0 : 1);  // parallel or dominated
    lp.rows[m][0] = lp.rows[m][1] = 1;              // x0 + x1 = 1
    lp.b.push_back(1);
    lp.types += 'E';
    lp.rows[m + 1][0] = lp.rows[m + 1][1] = 2;      // holds 2 (x0 + x1)
    lp.rows[m + 1][2] = lp.rows[m + 1][8] = 1;
    lp.b.push_back(4);
    lp.types += 'L';
    tvtest::ModelHandle mdl(env);
    mipfix::load_mip(mdl, lp, vt);
    TVsetModelIntParameter(mdl, TV_IPARAM_MIP_PRELEVEL, 0);
    const Solved off = mipfix::solve(mdl);
    TVsetModelIntParameter(mdl, TV_IPARAM_MIP_PRELEVEL, 3070);
    const Solved on = mipfix::solve(mdl);
    ASSERT_EQ(on.code, 0) << trial;
    ASSERT_EQ(on.status, off.status) << trial;
    if (on.status != TV_STATUS_OPTIMAL) continue;
    ++optimal;
    EXPECT_NEAR(on.obj, off.obj, 1e-6 * std::max(1.0, std::fabs(off.obj))) << trial;
    EXPECT_NEAR(mipcheck::verify_incumbent(mdl), on.obj, 1e-6 * std::max(1.0, std::fabs(on.obj))) << trial;
  }
  EXPECT_GT(optimal, 15);
}

// Maximisation with an objective constant, a fixed column, a dominated pair
// and a user start point: the reported objective counts the constant once
// and the start point (an optimum) survives the presolve as the incumbent.
TEST_F(MipPresolve, ConstantSenseAndStartPointMapBack) {
  // max 3x0 + 2x1 + x2 + 5x3 + 7 s.t. x0 + x1 + x2 <= 4, x0 + x1 + x3 <= 5,
  // x3 fixed at 1, x2 costs less than x1 with the same rows
  const double c[] = {3, 2, 1, 5}, b[] = {4, 5}, lo[] = {0, 0, 0, 1}, up[] = {3, 3, 3, 1};
  const char types[] = "LL";
  // column-wise: x0 in rows 0,1; x1 in rows 0,1; x2 in row 0; x3 in row 1
  const int start[] = {0, 2, 4, 5, 6}, index[] = {0, 1, 0, 1, 0, 1, 0};
  const double value[] = {1, 1, 1, 1, 1, 1, 0};
  ASSERT_EQ(TVloadLPData(model, 2, 4, TV_MAX, 7.0, c, b, types, 6, start, nullptr, value, index, lo, up), 0);
  char vt[] = "IIII";
  ASSERT_EQ(TVloadVarType(model, vt), 0);
  // x0 = 3, x1 = 1, x3 = 1: 9 + 2 + 5 + 7 = 23, the optimum
  const double x0[] = {3, 1, 0, 1};
  ASSERT_EQ(TVloadMIPVarStartPoint(model, x0), 0);
  const Solved s = mipfix::solve(model);
  ASSERT_EQ(s.code, 0);
  ASSERT_EQ(s.status, TV_STATUS_OPTIMAL);
  EXPECT_DOUBLE_EQ(s.obj, 23);
  EXPECT_DOUBLE_EQ(mipcheck::verify_incumbent(model), 23);
  EXPECT_NE(log.find("Startpoint info: objective: 23"), std::string::npos) << log;
  EXPECT_NE(log.find("Starting mip_pre"), std::string::npos) << log;
}

}  // namespace
