// Quadratic terms: what the loader keeps and how it groups it, the appends and
// row deletions, the checks that refuse bad terms, and the queries.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "test_support.hpp"

using namespace tvtest;

namespace {

struct Term {
  int row, col1, col2;
  double coef;
  bool operator==(const Term &o) const {
    return row == o.row && col1 == o.col1 && col2 == o.col2 && coef == o.coef;
  }
};

// Three rows (L, E, G) and five columns.
struct Quadratic : ::testing::Test {
  EnvHandle env;
  ModelHandle model{env};

  void SetUp() override {
    const double c[5] = {1, 2, 3, 4, 5}, b[3] = {10, 20, 30}, v[5] = {1, 1, 1, 1, 1};
    const int start[6] = {0, 1, 2, 3, 4, 5}, rows[5] = {0, 1, 2, 0, 1};
    ASSERT_EQ(TVloadLPData(model, 3, 5, 1, 0.0, c, b, "LEG", 5, start, nullptr, v, rows, nullptr, nullptr), 0);
  }
  void TearDown() override { expect_consistent(); }

  void expect_consistent() {
    char why[256];
    EXPECT_EQ(TVcheckModelConsistency(model, why), 0) << why;
  }
  int load(const std::vector<Term> &t) { return call(TVloadQCData, t); }
  int add(const std::vector<Term> &t) { return call(TVaddQCterms, t); }
  int call(int (*f)(pTVmodel, int, const int *, const int *, const int *, const double *),
           const std::vector<Term> &t) {
    std::vector<int> r, c1, c2;
    std::vector<double> q;
    for (const Term &x : t) {
      r.push_back(x.row);
      c1.push_back(x.col1);
      c2.push_back(x.col2);
      q.push_back(x.coef);
    }
    return f(model, static_cast<int>(t.size()), r.data(), c1.data(), c2.data(), q.data());
  }
  std::vector<Term> stored() {
    int count = 0;
    EXPECT_EQ(TVgetIntInfo(model, TV_IINFO_NUM_QC_NONZ, &count), 0);
    std::vector<int> r(count), c1(count), c2(count);
    std::vector<double> q(count);
    if (count == 0) {
      EXPECT_EQ(TVgetQCData(model, r.data(), c1.data(), c2.data(), q.data()), 2009);
      return {};
    }
    EXPECT_EQ(TVgetQCData(model, r.data(), c1.data(), c2.data(), q.data()), 0);
    std::vector<Term> t;
    for (int k = 0; k < count; ++k) t.push_back({r[k], c1[k], c2[k], q[k]});
    return t;
  }
  int status(int item) {
    int value = -1;
    EXPECT_EQ(TVgetIntInfo(model, item, &value), 0);
    return value;
  }
};

TEST_F(Quadratic, LoadGroupsTermsByRowWithTheObjectiveFirstAndSkipsZeros) {
  ASSERT_EQ(load({{2, 0, 0, 1}, {-1, 1, 1, 2}, {0, 2, 2, 0.0}, {-1, 3, 1, 4}, {2, 4, 0, 5}, {0, 0, 3, 6}}), 0);
  std::vector<Term> want = {{-1, 1, 1, 2}, {-1, 3, 1, 4}, {0, 0, 3, 6}, {2, 0, 0, 1}, {2, 4, 0, 5}};
  EXPECT_EQ(stored(), want);
  int nqc = -1;
  EXPECT_EQ(TVgetDimensions(model, nullptr, nullptr, nullptr, nullptr, &nqc, nullptr, nullptr, nullptr, nullptr,
                            nullptr, nullptr),
            0);
  EXPECT_EQ(nqc, 5);

  // One row at a time, in the stored order; a row without terms has none.
  int nnz = -1, c1[5], c2[5];
  double q[5];
  ASSERT_EQ(TVgetQCDatai(model, -1, &nnz, c1, c2, q), 0);
  EXPECT_EQ(nnz, 2);
  EXPECT_EQ(c1[1], 3);
  EXPECT_EQ(q[1], 4);
  ASSERT_EQ(TVgetQCDatai(model, 2, &nnz, nullptr, c2, nullptr), 0);
  EXPECT_EQ(nnz, 2);
  EXPECT_EQ(c2[0], 0);
  ASSERT_EQ(TVgetQCDatai(model, 1, &nnz, c1, c2, q), 0);
  EXPECT_EQ(nnz, 0);
  EXPECT_EQ(TVgetQCDatai(model, 3, &nnz, c1, c2, q), 2012);
  EXPECT_EQ(TVgetQCDatai(model, -2, &nnz, c1, c2, q), 2012);
}

TEST_F(Quadratic, BadTermsAreRefusedAndTheLoadedTermsStay) {
  const std::vector<Term> good = {{0, 1, 2, 3.5}};
  ASSERT_EQ(load(good), 0);
  const double nan = std::numeric_limits<double>::quiet_NaN(), inf = std::numeric_limits<double>::infinity();
  struct Case {
    Term term;
    int code;
  } cases[] = {{{3, 0, 0, 1}, 2052},  {{-2, 0, 0, 1}, 2052}, {{0, 5, 0, 1}, 2049},
               {{0, 0, -1, 1}, 2049}, {{0, 0, 0, nan}, 2047}, {{-1, 0, 0, inf}, 2047}};
  for (const Case &c : cases) {
    // The bad term comes after a good one: nothing of the call may stick.
    EXPECT_EQ(load({{-1, 0, 0, 1}, c.term}), c.code) << c.term.row << "," << c.term.col1 << "," << c.term.col2;
    EXPECT_EQ(add({{-1, 0, 0, 1}, c.term}), c.code);
    EXPECT_EQ(stored(), good);
    expect_consistent();
  }
  const int r[1] = {0}, k[1] = {0};
  const double q[1] = {1};
  EXPECT_EQ(TVloadQCData(model, 1, nullptr, k, k, q), 2010);
  EXPECT_EQ(TVloadQCData(model, 1, r, k, nullptr, q), 2010);
  EXPECT_EQ(TVaddQCterms(model, 1, r, k, k, nullptr), 2010);
  EXPECT_EQ(TVloadQCData(model, -1, r, k, k, q), 2053);
  EXPECT_EQ(TVloadQCData(nullptr, 1, r, k, k, q), 2010);
  EXPECT_EQ(TVloadQCData(model, 0, nullptr, nullptr, nullptr, nullptr), 0);
  EXPECT_EQ(stored(), good);
}

TEST_F(Quadratic, LoadReplacesTheTermsAndAddKeepsRowsTogether) {
  ASSERT_EQ(load({{2, 0, 0, 1}, {-1, 1, 1, 2}}), 0);
  ASSERT_EQ(load({{0, 3, 3, 7}}), 0);
  EXPECT_EQ(stored(), (std::vector<Term>{{0, 3, 3, 7}}));
  ASSERT_EQ(add({{2, 4, 4, 1}, {0, 1, 1, 2}, {-1, 0, 0, 3}, {0, 2, 2, 0.0}}), 0);
  EXPECT_EQ(stored(), (std::vector<Term>{{-1, 0, 0, 3}, {0, 3, 3, 7}, {0, 1, 1, 2}, {2, 4, 4, 1}}));
}

TEST_F(Quadratic, DeleteRemovesEveryTermOfTheListedRows) {
  ASSERT_EQ(load({{2, 0, 0, 1}, {-1, 1, 1, 2}, {0, 2, 2, 3}, {2, 1, 0, 4}, {-1, 0, 0, 5}}), 0);
  const std::vector<Term> before = stored();
  const int bad_high[1] = {3}, bad_low[1] = {-2}, twice[2] = {0, 0};
  EXPECT_EQ(TVdeleteQCterms(model, 1, bad_high), 2012);
  EXPECT_EQ(TVdeleteQCterms(model, 1, bad_low), 2012);
  EXPECT_EQ(TVdeleteQCterms(model, 2, twice), 2032);
  EXPECT_EQ(TVdeleteQCterms(model, 1, nullptr), 2010);
  EXPECT_EQ(stored(), before);

  const int obj_and_last[2] = {2, -1};
  ASSERT_EQ(TVdeleteQCterms(model, 2, obj_and_last), 0);
  EXPECT_EQ(stored(), (std::vector<Term>{{0, 2, 2, 3}}));
  expect_consistent();
  const int first[1] = {0};
  ASSERT_EQ(TVdeleteQCterms(model, 1, first), 0);
  EXPECT_TRUE(stored().empty());
}

TEST_F(Quadratic, ChangesResetTheSolutionButDeletingNothingKeepsIt) {
  const double x[5] = {0, 0, 0, 0, 0};
  ASSERT_EQ(TVloadPrimalSolution(model, TV_STATUS_OPTIMAL, x), 0);
  ASSERT_EQ(load({{0, 1, 1, 1}}), 0);
  EXPECT_EQ(status(TV_IINFO_MODEL_STATUS), TV_STATUS_LOADED);
  EXPECT_EQ(status(TV_IINFO_PRIMAL_STATUS), TV_STATUS_UNKNOWN);

  ASSERT_EQ(TVloadPrimalSolution(model, TV_STATUS_OPTIMAL, x), 0);
  const int no_terms[1] = {1};
  ASSERT_EQ(TVdeleteQCterms(model, 1, no_terms), 0);
  EXPECT_EQ(status(TV_IINFO_MODEL_STATUS), TV_STATUS_OPTIMAL) << "row 1 had no terms: nothing changed";
  ASSERT_EQ(add({{-1, 2, 2, 1}}), 0);
  EXPECT_EQ(status(TV_IINFO_MODEL_STATUS), TV_STATUS_LOADED);

  ASSERT_EQ(TVloadPrimalSolution(model, TV_STATUS_OPTIMAL, x), 0);
  const int objective[1] = {-1};
  ASSERT_EQ(TVdeleteQCterms(model, 1, objective), 0);
  EXPECT_EQ(status(TV_IINFO_MODEL_STATUS), TV_STATUS_LOADED);
}

TEST_F(Quadratic, ConesExcludeQuadraticTerms) {
  const int starts[2] = {0, 2}, cols[2] = {0, 1};
  ASSERT_EQ(TVloadConeData(model, 1, "Q", nullptr, starts, cols), 0);
  EXPECT_EQ(load({{0, 1, 1, 1}}), 2030);
  EXPECT_EQ(add({{0, 1, 1, 1}}), 2030);
  EXPECT_TRUE(stored().empty());
}

TEST_F(Quadratic, TermsFollowTheRowsWhenConstraintsAreDeleted) {
  ASSERT_EQ(load({{0, 1, 1, 1}, {2, 3, 3, 2}, {-1, 4, 4, 3}}), 0);
  const int first[1] = {0};
  ASSERT_EQ(TVdeleteConstraints(model, 1, first), 0);
  EXPECT_EQ(stored(), (std::vector<Term>{{-1, 4, 4, 3}, {1, 3, 3, 2}}));
}

TEST(QuadraticQueries, NeedALoadedModelHoldingTerms) {
  EnvHandle env;
  ModelHandle model(env);
  int r[1], c1[1], c2[1], nnz;
  double q[1] = {1};
  EXPECT_EQ(TVgetQCData(model, r, c1, c2, q), 2009);
  EXPECT_EQ(TVgetQCDatai(model, -1, &nnz, c1, c2, q), 2009);
  EXPECT_EQ(TVgetQCData(nullptr, r, c1, c2, q), 2010);
  // An empty model has no columns for a term to name.
  r[0] = -1;
  c1[0] = c2[0] = 0;
  EXPECT_EQ(TVloadQCData(model, 1, r, c1, c2, q), 2049);
  char why[256];
  EXPECT_EQ(TVcheckModelConsistency(model, why), 0) << why;
}

}  // namespace
