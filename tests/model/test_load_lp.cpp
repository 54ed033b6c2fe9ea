// Loading the linear core: what a loaded model holds, the order in which bad
// input is diagnosed, and the cleared model every failure leaves behind.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "test_support.hpp"

using namespace tvtest;

namespace {

const double kNaN = std::numeric_limits<double>::quiet_NaN();

// A 3-row, 4-column problem in four-vector form with a gap after column 1.
struct LP {
  int m = 3, n = 4, sense = TV_MIN;
  double constant = 2.5;
  std::vector<double> c{1, -2, 0, 4};
  std::vector<double> b{10, 20, 30};
  std::string types = "LGE";
  int nz = 6;
  std::vector<int> start{0, 2, 5, 6, 7};
  std::vector<int> length{2, 2, 1, 1};
  std::vector<int> rowidx{0, 2, 0, 1, -7, 2, 1};  // position 4 is the gap
  std::vector<double> value{1, 2, 3, 4, 99, 5, 6};
  std::vector<double> lower{0, -1, -1e40, 3};
  std::vector<double> upper{5, 1e40, 1e30, 3};
  bool with_lengths = true, with_lower = true, with_upper = true;

  int load(pTVmodel model) const {
    return TVloadLPData(model, m, n, sense, constant, c.data(), b.data(), types.data(), nz, start.data(),
                        with_lengths ? length.data() : nullptr, value.data(), rowidx.data(),
                        with_lower ? lower.data() : nullptr, with_upper ? upper.data() : nullptr);
  }
};

std::string consistency(pTVmodel model) {
  char why[256] = "";
  int code = TVcheckModelConsistency(model, why);
  return code == 0 ? "" : std::to_string(code) + ": " + why;
}

bool is_cleared(pTVmodel model) {
  int n = -1;
  return TVgetDimensions(model, &n, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                         nullptr, nullptr) == 2009;
}

struct Dims {
  int n = -1, m = -1, nz = -1;
};

Dims dims(pTVmodel model) {
  Dims d;
  EXPECT_EQ(TVgetDimensions(model, &d.n, &d.m, nullptr, &d.nz, nullptr, nullptr, nullptr, nullptr, nullptr,
                            nullptr, nullptr),
            0);
  return d;
}

double lower_of(pTVmodel model, int j) {
  double v = kNaN;
  EXPECT_EQ(TVgetLowerBoundj(model, j, &v), 0);
  return v;
}

double upper_of(pTVmodel model, int j) {
  double v = kNaN;
  EXPECT_EQ(TVgetUpperBoundj(model, j, &v), 0);
  return v;
}

struct Column {
  std::vector<int> rows;
  std::vector<double> values;
};

Column column(pTVmodel model, int j) {
  Column col;
  int nnz = -1;
  col.rows.assign(8, -1);
  col.values.assign(8, kNaN);
  EXPECT_EQ(TVgetLPVariableDataj(model, j, nullptr, nullptr, nullptr, nullptr, &nnz, col.rows.data(),
                                 col.values.data()),
            0);
  col.rows.resize(nnz > 0 ? nnz : 0);
  col.values.resize(nnz > 0 ? nnz : 0);
  return col;
}

class LoadLP : public ::testing::Test {
 protected:
  EnvHandle env;
  ModelHandle model{env};
};

TEST_F(LoadLP, LoadedModelHoldsTheGivenProblem) {
  LP lp;
  ASSERT_EQ(lp.load(model), 0);
  EXPECT_EQ(consistency(model), "");
  Dims d = dims(model);
  EXPECT_EQ(d.n, 4);
  EXPECT_EQ(d.m, 3);
  EXPECT_EQ(d.nz, 6);
  int status = 0;
  EXPECT_EQ(TVgetInfo(model, TV_IINFO_MODEL_STATUS, &status), 0);
  EXPECT_EQ(status, TV_STATUS_LOADED);

  int sense = 0;
  double constant = 0;
  std::vector<double> c(4), b(3);
  char types[4] = {0};
  std::vector<int> lengths(4);
  ASSERT_EQ(TVgetLPData(model, &sense, &constant, c.data(), b.data(), types, nullptr, lengths.data(), nullptr,
                        nullptr, nullptr, nullptr),
            0);
  EXPECT_EQ(sense, TV_MIN);
  EXPECT_EQ(constant, 2.5);
  EXPECT_EQ(c, lp.c);
  EXPECT_EQ(b, lp.b);
  EXPECT_EQ(std::string(types, 3), "LGE");
  EXPECT_EQ(lengths, lp.length);

  Column col1 = column(model, 1);
  EXPECT_EQ(col1.rows, (std::vector<int>{0, 1}));
  EXPECT_EQ(col1.values, (std::vector<double>{3, 4}));
}

TEST_F(LoadLP, BoundsAreClampedToInfinityAndDefaultWhenMissing) {
  LP lp;
  ASSERT_EQ(lp.load(model), 0);
  EXPECT_EQ(lower_of(model, 2), -1e30) << "-1e40 is stored as -1e30";
  EXPECT_EQ(upper_of(model, 1), 1e30) << "1e40 is stored as 1e30";
  EXPECT_EQ(lower_of(model, 3), 3);
  EXPECT_EQ(upper_of(model, 3), 3);

  ModelHandle other(env);
  lp.with_lower = lp.with_upper = false;
  ASSERT_EQ(lp.load(other), 0);
  for (int j = 0; j < 4; ++j) {
    EXPECT_EQ(lower_of(other, j), 0);
    EXPECT_EQ(upper_of(other, j), 1e30);
  }
  EXPECT_EQ(consistency(other), "");
}

TEST_F(LoadLP, TheModelKeepsItsOwnCopyOfTheArrays) {
  LP lp;
  ASSERT_EQ(lp.load(model), 0);
  lp.lower[0] = 42;
  lp.value[0] = 42;
  lp.c[0] = 42;
  EXPECT_EQ(lower_of(model, 0), 0);
  EXPECT_EQ(column(model, 0).values[0], 1);
}

TEST_F(LoadLP, DuplicateRowsInAColumnAreMergedWithoutMovingColumns) {
  LP lp;
  // Column 0 holds row 2 twice (1 and 3) and row 0 once.
  lp.nz = 7;
  lp.start = {0, 3, 5, 6, 7};
  lp.length = {3, 2, 1, 1};
  lp.rowidx = {2, 0, 2, 0, 1, 2, 1};
  lp.value = {1, 7, 3, 3, 4, 5, 6};
  ASSERT_EQ(lp.load(model), 0) << "nz counts the entries before merging";
  EXPECT_EQ(consistency(model), "");
  Column col0 = column(model, 0);
  EXPECT_EQ(col0.rows, (std::vector<int>{2, 0}));
  EXPECT_EQ(col0.values, (std::vector<double>{4, 7}));
  EXPECT_EQ(dims(model).nz, 6) << "the stored count is the merged one";
  std::vector<int> lengths(4);
  ASSERT_EQ(TVgetLPData(model, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, lengths.data(), nullptr,
                        nullptr, nullptr, nullptr),
            0);
  EXPECT_EQ(lengths, (std::vector<int>{2, 2, 1, 1}));
  EXPECT_EQ(column(model, 1).rows, (std::vector<int>{0, 1})) << "the next column is untouched";
}

TEST_F(LoadLP, LengthsDefaultToTheDistanceBetweenStarts) {
  LP lp;
  lp.with_lengths = false;
  lp.nz = 7;  // the gap slot of column 1 now belongs to it
  lp.rowidx[4] = 2;
  ASSERT_EQ(lp.load(model), 0);
  EXPECT_EQ(column(model, 1).rows, (std::vector<int>{0, 1, 2}));
  EXPECT_EQ(consistency(model), "");
}

TEST_F(LoadLP, AnEmptyProblemLoads) {
  int start = 0;
  ASSERT_EQ(TVloadLPData(model, 0, 0, TV_MIN, 0, nullptr, nullptr, nullptr, 0, &start, nullptr, nullptr, nullptr,
                         nullptr, nullptr),
            0);
  Dims d = dims(model);
  EXPECT_EQ(d.n, 0);
  EXPECT_EQ(d.m, 0);
  EXPECT_EQ(d.nz, 0);
  EXPECT_EQ(consistency(model), "");
  // Nothing is held yet, so a real problem may follow.
  ASSERT_EQ(LP().load(model), 0);
  EXPECT_EQ(dims(model).n, 4);
}

TEST_F(LoadLP, ColumnsWithoutEntriesNeedNoMatrixArrays) {
  std::vector<double> c{1, 1};
  std::vector<int> start{0, 4, 8};  // room reserved for later additions
  std::vector<int> length{0, 0};
  ASSERT_EQ(TVloadLPData(model, 0, 2, TV_MAX, 0, c.data(), nullptr, nullptr, 0, start.data(), length.data(), nullptr,
                         nullptr, nullptr, nullptr),
            0);
  EXPECT_EQ(dims(model).n, 2);
  EXPECT_EQ(consistency(model), "");
}

TEST_F(LoadLP, ASecondLoadIsRefusedAndKeepsTheFirstProblem) {
  LP lp;
  ASSERT_EQ(lp.load(model), 0);
  LP other;
  other.m = 1;
  other.n = 1;
  other.nz = 0;
  other.start = {0, 0};
  EXPECT_EQ(other.load(model), 2030);
  Dims d = dims(model);
  EXPECT_EQ(d.n, 4);
  EXPECT_EQ(d.m, 3);
  EXPECT_EQ(upper_of(model, 0), 5);
  EXPECT_EQ(consistency(model), "");
}

TEST_F(LoadLP, NegativeCountsAreRefusedBeforeAnythingIsTouched) {
  LP lp;
  ASSERT_EQ(lp.load(model), 0);
  LP bad;
  bad.n = -1;
  EXPECT_EQ(bad.load(model), 2005) << "refused before the already-loaded check";
  EXPECT_EQ(dims(model).n, 4) << "the loaded problem survives";
  ModelHandle fresh(env);
  bad = LP();
  bad.nz = -3;
  EXPECT_EQ(bad.load(fresh), 2005);
  bad = LP();
  bad.m = -1;
  EXPECT_EQ(bad.load(fresh), 2005);
  EXPECT_TRUE(is_cleared(fresh));
  EXPECT_EQ(consistency(fresh), "");
  EXPECT_EQ(LP().load(nullptr), 2010);
}

// One fault per case, in the order the loader checks them.
struct Fault {
  const char *what;
  int code;
  std::function<void(LP &)> apply;
  bool solo = false;  // changes the shape of the input so much that other faults may vanish
};

const std::vector<Fault> &faults() {
  static const std::vector<Fault> list = {
      {"objective missing", 2010, [](LP &lp) { lp.c.clear(); }},
      {"right-hand side missing", 2010, [](LP &lp) { lp.b.clear(); }},
      {"row types missing", 2010, [](LP &lp) { lp.types.clear(); }},
      {"row indices missing", 2010, [](LP &lp) { lp.rowidx.clear(); }},
      {"values missing", 2010, [](LP &lp) { lp.value.clear(); }},
      {"column starts missing", 2010, [](LP &lp) { lp.start.clear(); }},
      {"starts end before nz entries", 2053, [](LP &lp) { lp.nz = 8; }},
      {"objective sense 0", 2007, [](LP &lp) { lp.sense = 0; }},
      {"objective constant NaN", 2047, [](LP &lp) { lp.constant = kNaN; }},
      {"objective coefficient NaN", 2047, [](LP &lp) { lp.c[3] = kNaN; }},
      {"right-hand side NaN", 2047, [](LP &lp) { lp.b[1] = kNaN; }},
      {"row type X", 2004, [](LP &lp) { lp.types[2] = 'X'; }},
      {"negative first start", 2048, [](LP &lp) { lp.start[0] = -1; }},
      {"length above the room", 2050, [](LP &lp) { lp.length[2] = 2; }},
      {"negative length", 2050, [](LP &lp) { lp.length[0] = -1; }},
      {"decreasing starts without lengths", 2048,
       [](LP &lp) {
         lp.with_lengths = false;
         lp.start = {0, 3, 2, 6, 7};
         lp.nz = 7;
       },
       true},
      {"lengths not adding up to nz", 2053, [](LP &lp) { lp.length[3] = 0; }},
      {"row index beyond m", 2012, [](LP &lp) { lp.rowidx[1] = 3; }},
      {"negative row index", 2012, [](LP &lp) { lp.rowidx[0] = -1; }},
      {"matrix value NaN", 2047, [](LP &lp) { lp.value[3] = kNaN; }},
      {"lower bound NaN", 2047, [](LP &lp) { lp.lower[1] = kNaN; }},
      {"upper bound NaN", 2047, [](LP &lp) { lp.upper[2] = kNaN; }},
  };
  return list;
}

// Null arrays are passed as null pointers, not as empty vectors.
int load_with_nulls(const LP &lp, pTVmodel model) {
  return TVloadLPData(model, lp.m, lp.n, lp.sense, lp.constant, lp.c.empty() ? nullptr : lp.c.data(),
                      lp.b.empty() ? nullptr : lp.b.data(), lp.types.empty() ? nullptr : lp.types.data(), lp.nz,
                      lp.start.empty() ? nullptr : lp.start.data(), lp.with_lengths ? lp.length.data() : nullptr,
                      lp.value.empty() ? nullptr : lp.value.data(), lp.rowidx.empty() ? nullptr : lp.rowidx.data(),
                      lp.lower.data(), lp.upper.data());
}

TEST_F(LoadLP, EachFaultHasItsCodeAndLeavesAClearedModel) {
  for (const Fault &f : faults()) {
    SCOPED_TRACE(f.what);
    ModelHandle m(env);
    LP lp;
    f.apply(lp);
    EXPECT_EQ(load_with_nulls(lp, m), f.code);
    EXPECT_TRUE(is_cleared(m));
    EXPECT_EQ(consistency(m), "");
    EXPECT_EQ(LP().load(m), 0) << "a cleared model takes a new problem";
    EXPECT_EQ(consistency(m), "");
  }
}

TEST_F(LoadLP, OfTwoFaultsTheEarlierCheckDecides) {
  const std::vector<Fault> &list = faults();
  // Pairs (earlier, later) whose codes differ.
  for (size_t a = 0; a < list.size(); ++a)
    for (size_t b = a + 1; b < list.size(); ++b) {
      if (list[a].code == list[b].code || list[a].solo || list[b].solo) continue;
      SCOPED_TRACE(std::string(list[a].what) + " + " + list[b].what);
      LP lp;
      list[b].apply(lp);
      list[a].apply(lp);
      ModelHandle m(env);
      EXPECT_EQ(load_with_nulls(lp, m), list[a].code);
      EXPECT_EQ(consistency(m), "");
    }
}

TEST_F(LoadLP, AFailedLoadDropsEverythingLoadedBefore) {
  int start = 0;
  ASSERT_EQ(TVloadLPData(model, 0, 0, TV_MIN, 0, nullptr, nullptr, nullptr, 0, &start, nullptr, nullptr, nullptr,
                         nullptr, nullptr),
            0);
  ASSERT_EQ(TVloadNameData(model, "title", nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr), 0);
  LP lp;
  lp.sense = 3;
  EXPECT_EQ(lp.load(model), 2007);
  EXPECT_TRUE(is_cleared(model));
  EXPECT_EQ(consistency(model), "");
}

}  // namespace
