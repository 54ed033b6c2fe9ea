// Loading a starting basis: statuses checked against the bounds, a refused
// basis keeping the previous one, and forgetting a basis.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "test_support.hpp"

using namespace tvtest;

namespace {

std::string consistency(pTVmodel model) {
  char why[256] = "";
  int code = TVcheckModelConsistency(model, why);
  return code == 0 ? "" : std::to_string(code) + ": " + why;
}

int info(pTVmodel model, int item) {
  int value = -99;
  EXPECT_EQ(TVgetInfo(model, item, &value), 0);
  return value;
}

// Columns: 0 boxed [0,10], 1 only an upper bound, 2 only a lower bound, 3 free.
class LoadBasis : public ::testing::Test {
 protected:
  EnvHandle env;
  ModelHandle model{env};
  std::vector<int> cols{0, -2, -1, -3};
  std::vector<int> rows{1, -1};

  void SetUp() override {
    std::vector<double> c{1, 1, 1, 1}, b{4, 1}, lower{0, -1e30, 0, -1e30}, upper{10, 5, 1e30, 1e30};
    std::vector<int> start{0, 2, 3, 4, 5};
    std::vector<int> rowidx{0, 1, 0, 1, 0};
    std::vector<double> value{1, 1, 2, 3, 1};
    ASSERT_EQ(TVloadLPData(model, 2, 4, TV_MIN, 0, c.data(), b.data(), "LG", 5, start.data(), nullptr,
                           value.data(), rowidx.data(), lower.data(), upper.data()),
              0);
  }

  std::pair<std::vector<int>, std::vector<int>> basis() {
    std::vector<int> c(4, -99), r(2, -99);
    EXPECT_EQ(TVgetBasis(model, c.data(), r.data()), 0);
    return {c, r};
  }
};

TEST_F(LoadBasis, TheLoadedBasisIsWhatTheQueriesReturn) {
  ASSERT_EQ(TVloadBasis(model, cols.data(), rows.data()), 0);
  EXPECT_EQ(consistency(model), "");
  auto [c, r] = basis();
  EXPECT_EQ(c, cols);
  EXPECT_EQ(r, rows);
  EXPECT_EQ(info(model, TV_IINFO_BASIC_STATUS), TV_STATUS_LOADED);
  EXPECT_EQ(info(model, TV_IINFO_MODEL_STATUS), TV_STATUS_LOADED) << "a basis alone solves nothing";
  double x[4];
  EXPECT_EQ(TVgetPrimalSolution(model, x), 2009);
}

TEST_F(LoadBasis, AColumnStatusMustFitTheColumnsBounds) {
  ASSERT_EQ(TVloadBasis(model, cols.data(), rows.data()), 0);
  struct Case {
    int col, status, code;
  };
  const Case cases[] = {
      {1, TV_BASTYPE_ATLO, 2042},  // no finite lower bound
      {2, TV_BASTYPE_ATUP, 2042},  // no finite upper bound
      {0, TV_BASTYPE_FNUL, 2042},  // not free
      {0, -5, 2015},
      {3, TV_BASTYPE_FNUL, 0},
      {3, TV_BASTYPE_SBAS, 0},
      {0, TV_BASTYPE_ATLO, 0},
      {0, TV_BASTYPE_ATUP, 0},
      {2, 17, 0},  // any value from 0 up is basic
  };
  for (const Case &k : cases) {
    SCOPED_TRACE("column " + std::to_string(k.col) + " status " + std::to_string(k.status));
    std::vector<int> c = cols;
    c[k.col] = k.status;
    EXPECT_EQ(TVloadBasis(model, c.data(), rows.data()), k.code);
    EXPECT_EQ(consistency(model), "");
    // A refused basis leaves the last accepted one in place.
    std::vector<int> want = k.code == 0 ? c : cols;
    EXPECT_EQ(basis().first, want);
    if (k.code == 0) {
      ASSERT_EQ(TVloadBasis(model, cols.data(), rows.data()), 0);
    }
  }
}

TEST_F(LoadBasis, ARowCannotSitAtAnUpperBound) {
  for (int status : {TV_BASTYPE_ATUP, -5, -100}) {
    std::vector<int> r = rows;
    r[1] = status;
    EXPECT_EQ(TVloadBasis(model, cols.data(), r.data()), 2015) << status;
  }
  for (int status : {TV_BASTYPE_ATLO, TV_BASTYPE_FNUL, TV_BASTYPE_SBAS, 0, 5}) {
    std::vector<int> r = rows;
    r[1] = status;
    EXPECT_EQ(TVloadBasis(model, cols.data(), r.data()), 0) << status;
    EXPECT_EQ(basis().second, r);
  }
  EXPECT_EQ(consistency(model), "");
}

TEST_F(LoadBasis, AMissingArrayForgetsTheBasis) {
  ASSERT_EQ(TVloadBasis(model, cols.data(), rows.data()), 0);
  EXPECT_EQ(TVloadBasis(model, nullptr, rows.data()), 0);
  std::vector<int> c(4), r(2);
  EXPECT_EQ(TVgetBasis(model, c.data(), r.data()), 2009);
  EXPECT_EQ(info(model, TV_IINFO_BASIC_STATUS), TV_STATUS_UNLOADED);
  EXPECT_EQ(consistency(model), "");

  // A basic-optimal solution without its basis is still optimal.
  std::vector<double> x{0, 0, 0, 0};
  ASSERT_EQ(TVloadPrimalSolution(model, TV_STATUS_BASIC_OPTIMAL, x.data()), 0);
  ASSERT_EQ(TVloadBasis(model, cols.data(), rows.data()), 0);
  EXPECT_EQ(TVloadBasis(model, cols.data(), nullptr), 0);
  EXPECT_EQ(info(model, TV_IINFO_PRIMAL_STATUS), TV_STATUS_OPTIMAL);
  EXPECT_EQ(info(model, TV_IINFO_MODEL_STATUS), TV_STATUS_OPTIMAL);
  EXPECT_EQ(info(model, TV_IINFO_BASIC_STATUS), TV_STATUS_UNLOADED);
  EXPECT_EQ(consistency(model), "");
}

TEST_F(LoadBasis, ForgettingWithoutASolutionChangesNothing) {
  EXPECT_EQ(TVloadBasis(model, nullptr, nullptr), 0);
  int status = 0;
  EXPECT_EQ(TVgetInfo(model, TV_IINFO_BASIC_STATUS, &status), 2009);
  EXPECT_EQ(info(model, TV_IINFO_MODEL_STATUS), TV_STATUS_LOADED);
  EXPECT_EQ(consistency(model), "");
}

TEST_F(LoadBasis, NeedsALoadedModel) {
  EXPECT_EQ(TVloadBasis(nullptr, cols.data(), rows.data()), 2010);
  ModelHandle empty(env);
  EXPECT_EQ(TVloadBasis(empty, cols.data(), rows.data()), 2031);
  EXPECT_EQ(consistency(empty), "");
}

}  // namespace
