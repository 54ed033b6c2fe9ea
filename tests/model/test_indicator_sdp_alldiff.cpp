// Semicontinuous variables, indicator constraints, semidefinite blocks and
// all-different groups: what their loaders store and change in the model,
// the checks that refuse bad input, and the queries.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "test_support.hpp"

using namespace tvtest;

namespace {

// Three rows (L, E, G) and six columns with bounds [0, 10] except column 5, [-3, 4].
struct Special : ::testing::Test {
  EnvHandle env;
  ModelHandle model{env};

  void SetUp() override {
    const double c[6] = {1, 1, 1, 1, 1, 1}, b[3] = {5, 6, 7}, v[6] = {1, 1, 1, 1, 1, 1};
    const double lo[6] = {0, 0, 0, 0, 0, -3}, up[6] = {10, 10, 10, 10, 10, 4};
    const int start[7] = {0, 1, 2, 3, 4, 5, 6}, rows[6] = {0, 1, 2, 0, 1, 2};
    ASSERT_EQ(TVloadLPData(model, 3, 6, 1, 0.0, c, b, "LEG", 6, start, nullptr, v, rows, lo, up), 0);
  }
  void TearDown() override { expect_consistent(); }
  void expect_consistent() {
    char why[256];
    EXPECT_EQ(TVcheckModelConsistency(model, why), 0) << why;
  }
  std::pair<double, double> bounds(int j) {
    double lo = -1, up = -1;
    EXPECT_EQ(TVgetLowerBoundj(model, j, &lo), 0);
    EXPECT_EQ(TVgetUpperBoundj(model, j, &up), 0);
    return {lo, up};
  }
  int model_status() {
    int s = -1;
    EXPECT_EQ(TVgetIntInfo(model, TV_IINFO_MODEL_STATUS, &s), 0);
    return s;
  }
  void set_types(const char *types) {
    std::string t = types;
    ASSERT_EQ(TVloadVarType(model, t.data()), 0);
  }
};

using SemiCont = Special;

TEST_F(SemiCont, LoadMovesTheRangeIntoTheListAndHoldsTheLowerBoundAtZero) {
  const int vars[2] = {5, 1};
  const double lower[2] = {2, 1.5}, upper[2] = {8, 1e40};
  ASSERT_EQ(TVloadSemiContData(model, 2, vars, lower, upper), 0);
  EXPECT_EQ(bounds(5), std::make_pair(0.0, 8.0));
  EXPECT_EQ(bounds(1), std::make_pair(0.0, 1e30)) << "upper values are clamped like every bound";
  int count = 0, got[2];
  double lo[2], up[2];
  ASSERT_EQ(TVgetSemiContData(model, &count, got, lo, up), 0);
  EXPECT_EQ(count, 2);
  EXPECT_EQ(got[0], 5);
  EXPECT_EQ(got[1], 1);
  EXPECT_EQ(lo[0], 2);
  EXPECT_EQ(up[0], 8);
  ASSERT_EQ(TVgetSemiContData(model, nullptr, nullptr, lo, nullptr), 0);
  EXPECT_EQ(lo[1], 1.5);
  EXPECT_EQ(TVloadSemiContData(model, 2, vars, lower, upper), 2030);
}

TEST_F(SemiCont, BadEntriesAreRefusedAndTheBoundsStay) {
  const double lower[2] = {1, 1}, upper[2] = {5, 5};
  const int out_of_range[2] = {0, 6}, twice[2] = {2, 2}, good[2] = {0, 2};
  EXPECT_EQ(TVloadSemiContData(model, 2, out_of_range, lower, upper), 2049);
  EXPECT_EQ(TVloadSemiContData(model, 2, twice, lower, upper), 2032);
  EXPECT_EQ(TVloadSemiContData(model, 2, good, nullptr, upper), 2010);
  EXPECT_EQ(TVloadSemiContData(model, 2, good, lower, nullptr), 2010);
  const double nan_upper[2] = {5, std::nan("")};
  EXPECT_EQ(TVloadSemiContData(model, 2, good, lower, nan_upper), 2047);
  EXPECT_EQ(bounds(5), std::make_pair(-3.0, 4.0));
  EXPECT_EQ(bounds(2), std::make_pair(0.0, 10.0));
  EXPECT_EQ(TVgetSemiContData(model, nullptr, nullptr, nullptr, nullptr), 2009);
}

TEST_F(SemiCont, ModifyAndDeleteWorkOnTheListedVariables) {
  const int vars[3] = {0, 3, 4};
  const double lower[3] = {1, 2, 3}, upper[3] = {5, 6, 7};
  ASSERT_EQ(TVloadSemiContData(model, 3, vars, lower, upper), 0);
  const int one[1] = {3}, plain[1] = {1}, twice[2] = {0, 0}, bad[1] = {6};
  const double lo[2] = {2.5, 2.5}, up[2] = {9, 9};
  ASSERT_EQ(TVmodifySemiContVars(model, 1, one, lo, up), 0);
  EXPECT_EQ(bounds(3), std::make_pair(0.0, 9.0));
  EXPECT_EQ(TVmodifySemiContVars(model, 1, plain, lo, up), 2012) << "column 1 is not semicontinuous";
  EXPECT_EQ(TVmodifySemiContVars(model, 2, twice, lo, up), 2032);
  EXPECT_EQ(TVmodifySemiContVars(model, 1, bad, lo, up), 2049);
  EXPECT_EQ(bounds(1), std::make_pair(0.0, 10.0));

  EXPECT_EQ(TVdeleteSemiContVars(model, 1, plain), 2012);
  EXPECT_EQ(TVdeleteSemiContVars(model, 1, bad), 2012);
  EXPECT_EQ(TVdeleteSemiContVars(model, 2, twice), 2032);
  const int first_two[2] = {3, 0};
  ASSERT_EQ(TVdeleteSemiContVars(model, 2, first_two), 0);
  int count = 0, left[3];
  double l[3], u[3];
  ASSERT_EQ(TVgetSemiContData(model, &count, left, l, u), 0);
  ASSERT_EQ(count, 1);
  EXPECT_EQ(left[0], 4);
  EXPECT_EQ(l[0], 3);
  EXPECT_EQ(u[0], 7);
  const int last[1] = {4};
  ASSERT_EQ(TVdeleteSemiContVars(model, 1, last), 0);
  EXPECT_EQ(TVgetSemiContData(model, &count, left, l, u), 2009);
  // With the list empty a new load is accepted.
  EXPECT_EQ(TVloadSemiContData(model, 1, last, lower, upper), 0);
}

using Indicators = Special;

TEST_F(Indicators, NeedBinaryVariablesAndOneIndicatorPerRow) {
  const int rows[2] = {0, 2}, vars[2] = {0, 1}, values[2] = {1, 0};
  EXPECT_EQ(TVloadIndData(model, 2, rows, vars, values), 2029) << "the model has no variable types";
  set_types("BICCIC");
  // Column 1 is integer with bounds [0, 10]: not a switch.
  EXPECT_EQ(TVloadIndData(model, 2, rows, vars, values), 2041);
  const double one[1] = {1};
  const int col1[1] = {1};
  ASSERT_EQ(TVmodifyUpperBounds(model, 1, col1, one), 0);

  const int bad_row[1] = {3}, bad_var[1] = {6}, cont[1] = {2}, same_row[2] = {1, 1};
  EXPECT_EQ(TVloadIndData(model, 1, bad_row, vars, values), 2012);
  EXPECT_EQ(TVloadIndData(model, 1, rows, bad_var, values), 2012);
  EXPECT_EQ(TVloadIndData(model, 1, rows, cont, values), 2041);
  EXPECT_EQ(TVloadIndData(model, 2, same_row, vars, values), 2032);
  EXPECT_EQ(TVloadIndData(model, 2, rows, vars, nullptr), 2010);
  expect_consistent();

  const double x[6] = {};
  ASSERT_EQ(TVloadPrimalSolution(model, TV_STATUS_OPTIMAL, x), 0);
  ASSERT_EQ(TVloadIndData(model, 2, rows, vars, values), 0);
  EXPECT_EQ(model_status(), TV_STATUS_LOADED);
  EXPECT_EQ(TVloadIndData(model, 2, rows, vars, values), 2030);
}

using Semidefinite = Special;

TEST_F(Semidefinite, BlocksReadBackAsGiven) {
  // A 2x2 block with all three cells and a 3x3 block with two.
  const int dims[2] = {2, 3}, starts[3] = {0, 3, 5};
  const int rowpos[5] = {0, 1, 1, 2, 1}, colpos[5] = {0, 0, 1, 0, 1}, vars[5] = {0, 1, 2, 3, 4};
  ASSERT_EQ(TVloadPOSDData(model, 2, dims, starts, rowpos, colpos, vars), 0);
  int count = 0, d[2], s[3], r[5], c[5], v[5];
  ASSERT_EQ(TVgetPOSDData(model, &count, d, s, r, c, v), 0);
  EXPECT_EQ(count, 2);
  EXPECT_EQ(std::vector<int>(d, d + 2), std::vector<int>(dims, dims + 2));
  EXPECT_EQ(std::vector<int>(s, s + 3), std::vector<int>(starts, starts + 3));
  EXPECT_EQ(std::vector<int>(r, r + 5), std::vector<int>(rowpos, rowpos + 5));
  EXPECT_EQ(std::vector<int>(c, c + 5), std::vector<int>(colpos, colpos + 5));
  EXPECT_EQ(std::vector<int>(v, v + 5), std::vector<int>(vars, vars + 5));
  EXPECT_EQ(TVgetPOSDData(model, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr), 0);
}

TEST_F(Semidefinite, EntriesOutsideTheLowerTriangleOrSharedAreRefused) {
  const int dims[1] = {3}, starts[2] = {0, 2}, vars[2] = {0, 1};
  struct Case {
    int r0, c0, r1, c1;
    std::vector<int> vars;
    int code;
  } cases[] = {
      {0, 0, 0, 1, {0, 1}, 2012},  // above the diagonal
      {0, 0, 3, 0, {0, 1}, 2012},  // row outside the block
      {0, 0, 1, -1, {0, 1}, 2012},
      {0, 0, 1, 0, {0, 6}, 2012},  // not a column
      {0, 0, 1, 0, {4, 4}, 2032},  // one variable in two cells
      {1, 0, 1, 0, {0, 1}, 2032},  // two variables in one cell
  };
  for (const Case &c : cases) {
    const int rowpos[2] = {c.r0, c.r1}, colpos[2] = {c.c0, c.c1};
    EXPECT_EQ(TVloadPOSDData(model, 1, dims, starts, rowpos, colpos, c.vars.data()), c.code)
        << c.r1 << "," << c.c1;
  }
  const int rowpos[2] = {0, 1}, colpos[2] = {0, 0}, negative[1] = {-1}, backwards[2] = {2, 0};
  EXPECT_EQ(TVloadPOSDData(model, 1, negative, starts, rowpos, colpos, vars), 2047);
  EXPECT_EQ(TVloadPOSDData(model, 1, dims, backwards, rowpos, colpos, vars), 2050);
  EXPECT_EQ(TVloadPOSDData(model, 1, dims, starts, rowpos, nullptr, vars), 2010);
  EXPECT_EQ(TVgetPOSDData(model, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr), 2009);
}

using AllDifferent = Special;

TEST_F(AllDifferent, MembersBecomeIntegersWithinTheGroupRange) {
  set_types("CCBCCC");
  const double x[6] = {};
  ASSERT_EQ(TVloadPrimalSolution(model, TV_STATUS_OPTIMAL, x), 0);
  const int lower[2] = {1, -5}, upper[2] = {4, 20}, starts[3] = {0, 2, 4}, vars[4] = {0, 3, 5, 2};
  ASSERT_EQ(TVloadALLDIFFData(model, 2, lower, upper, starts, vars), 0);
  EXPECT_EQ(bounds(0), std::make_pair(1.0, 4.0));
  EXPECT_EQ(bounds(5), std::make_pair(-3.0, 4.0)) << "the tighter bound of column and group is kept";
  EXPECT_EQ(bounds(2), std::make_pair(0.0, 1.0));
  EXPECT_EQ(bounds(1), std::make_pair(0.0, 10.0)) << "columns outside the groups are untouched";
  char types[7] = {};
  ASSERT_EQ(TVgetVarType(model, types), 0);
  EXPECT_EQ(std::string(types, 6), "ICBICI");
  EXPECT_EQ(model_status(), TV_STATUS_LOADED);

  int count = 0, lo[2], up[2], s[3], v[4];
  ASSERT_EQ(TVgetALLDIFFData(model, &count, lo, up, s, v), 0);
  EXPECT_EQ(count, 2);
  EXPECT_EQ(lo[1], -5);
  EXPECT_EQ(up[0], 4);
  EXPECT_EQ(std::vector<int>(s, s + 3), std::vector<int>(starts, starts + 3));
  EXPECT_EQ(std::vector<int>(v, v + 4), std::vector<int>(vars, vars + 4));
}

TEST_F(AllDifferent, AModelWithoutTypesGetsThemAndBadMembersChangeNothing) {
  const int lower[1] = {0}, upper[1] = {3}, starts[2] = {0, 2};
  const int twice[2] = {1, 1}, outside[2] = {1, 6};
  EXPECT_EQ(TVloadALLDIFFData(model, 1, lower, upper, starts, twice), 2032);
  EXPECT_EQ(TVloadALLDIFFData(model, 1, lower, upper, starts, outside), 2012);
  EXPECT_EQ(TVloadALLDIFFData(model, 1, lower, nullptr, starts, twice), 2010);
  EXPECT_EQ(bounds(1), std::make_pair(0.0, 10.0));
  EXPECT_EQ(TVgetALLDIFFData(model, nullptr, nullptr, nullptr, nullptr, nullptr), 2009);
  const int vars[2] = {4, 1};
  ASSERT_EQ(TVloadALLDIFFData(model, 1, lower, upper, starts, vars), 0);
  char types[7] = {};
  ASSERT_EQ(TVgetVarType(model, types), 0);
  EXPECT_EQ(std::string(types, 6), "CICCIC");
  EXPECT_EQ(bounds(4), std::make_pair(0.0, 3.0));
}

TEST(SpecialQueries, NeedALoadedModel) {
  EnvHandle env;
  ModelHandle model(env);
  EXPECT_EQ(TVgetSemiContData(model, nullptr, nullptr, nullptr, nullptr), 2009);
  EXPECT_EQ(TVgetPOSDData(model, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr), 2009);
  EXPECT_EQ(TVgetALLDIFFData(model, nullptr, nullptr, nullptr, nullptr, nullptr), 2009);
  EXPECT_EQ(TVgetALLDIFFData(nullptr, nullptr, nullptr, nullptr, nullptr, nullptr), 2010);
  EXPECT_EQ(TVloadIndData(nullptr, 1, nullptr, nullptr, nullptr), 2010);
}

}  // namespace
