// Cones and special ordered sets: loading and reading back, the checks that
// refuse bad input without touching what is loaded, and the add, delete,
// modify and state operations.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "test_support.hpp"

using namespace tvtest;

namespace {

// Three rows and eight continuous columns.
struct Loaded : ::testing::Test {
  EnvHandle env;
  ModelHandle model{env};

  void SetUp() override {
    std::vector<double> c(8, 1.0), v(8, 1.0);
    const double b[3] = {1, 2, 3};
    const int start[9] = {0, 1, 2, 3, 4, 5, 6, 7, 8}, rows[8] = {0, 1, 2, 0, 1, 2, 0, 1};
    ASSERT_EQ(TVloadLPData(model, 3, 8, 1, 0.0, c.data(), b, "LLL", 8, start, nullptr, v.data(), rows, nullptr,
                           nullptr),
              0);
  }
  void TearDown() override { expect_consistent(); }
  void expect_consistent() {
    char why[256];
    EXPECT_EQ(TVcheckModelConsistency(model, why), 0) << why;
  }
  int model_status() {
    int s = -1;
    EXPECT_EQ(TVgetIntInfo(model, TV_IINFO_MODEL_STATUS, &s), 0);
    return s;
  }
};

struct Cone {
  char type;
  double alpha;
  std::vector<int> cols;
  bool operator==(const Cone &o) const { return type == o.type && alpha == o.alpha && cols == o.cols; }
};

struct Cones : Loaded {
  // Q {0}, R {1,2}, P {3,4,5} with alpha 0.25.
  void load_three() {
    const int starts[4] = {0, 1, 3, 6}, cols[6] = {0, 1, 2, 3, 4, 5};
    const double alphas[3] = {0, 0, 0.25};
    ASSERT_EQ(TVloadConeData(model, 3, "QRP", alphas, starts, cols), 0);
  }
  std::vector<Cone> cones() {
    int count = -1;
    EXPECT_EQ(TVgetDimensions(model, nullptr, nullptr, &count, nullptr, nullptr, nullptr, nullptr, nullptr,
                              nullptr, nullptr, nullptr),
              0);
    std::vector<Cone> all;
    for (int k = 0; k < count; ++k) {
      Cone c{' ', -1, std::vector<int>(8)};
      int nnz = 0;
      EXPECT_EQ(TVgetConeDatai(model, k, &c.type, &c.alpha, &nnz, c.cols.data()), 0);
      c.cols.resize(nnz);
      all.push_back(c);
    }
    return all;
  }
  std::string name(int k) {
    char text[64] = "x";
    int rc = TVgetConeNamei(model, k, text);
    return rc == 0 ? text : "#" + std::to_string(rc);
  }
};

TEST_F(Cones, LoadedConesReadBackAsGiven) {
  load_three();
  std::vector<Cone> want = {{'Q', 0, {0}}, {'R', 0, {1, 2}}, {'P', 0.25, {3, 4, 5}}};
  EXPECT_EQ(cones(), want);
  int nnz = -1;
  EXPECT_EQ(TVgetDimensions(model, nullptr, nullptr, nullptr, nullptr, nullptr, &nnz, nullptr, nullptr, nullptr,
                            nullptr, nullptr),
            0);
  EXPECT_EQ(nnz, 6);
  char type;
  EXPECT_EQ(TVgetConeDatai(model, 3, &type, nullptr, nullptr, nullptr), 2012);
  EXPECT_EQ(TVgetConeDatai(model, -1, &type, nullptr, nullptr, nullptr), 2012);
}

TEST_F(Cones, BadConesAreRefusedAndTheLoadedOnesStay) {
  load_three();
  const std::vector<Cone> before = cones();
  const double nan = std::numeric_limits<double>::quiet_NaN();
  struct Case {
    const char *types;
    std::vector<int> starts, cols;
    bool alphas;
    int code;
  } cases[] = {
      {"X", {0, 1}, {6}, true, 2004},         {"P", {0, 3}, {5, 6, 7}, false, 2004},
      {"QQ", {0, 1, 1}, {6}, true, 2050},     {"R", {0, 1}, {6}, true, 2050},
      {"E", {0, 2}, {6, 7}, true, 2050},      {"E", {0, 4}, {4, 5, 6, 7}, true, 2050},
      {"Q", {0, 1}, {8}, true, 2049},         {"Q", {0, 1}, {-1}, true, 2049},
      {"QQ", {0, 1, 2}, {6, 6}, true, 2049},  {"R", {0, 2}, {7, 7}, true, 2049},
  };
  const double alphas[2] = {0.5, 0.5};
  for (const Case &c : cases) {
    int count = static_cast<int>(c.starts.size()) - 1;
    EXPECT_EQ(TVloadConeData(model, count, c.types, c.alphas ? alphas : nullptr, c.starts.data(), c.cols.data()),
              c.code)
        << c.types;
    EXPECT_EQ(cones(), before) << "a refused load keeps the cones already loaded";
  }
  const int starts[2] = {0, 1}, cols[1] = {6};
  const double bad_alpha[1] = {nan};
  EXPECT_EQ(TVloadConeData(model, 1, "Q", bad_alpha, starts, cols), 2047);
  EXPECT_EQ(TVloadConeData(model, 1, nullptr, nullptr, starts, cols), 2010);
  EXPECT_EQ(TVloadConeData(model, 1, "Q", nullptr, nullptr, cols), 2010);
  EXPECT_EQ(TVloadConeData(model, 1, "Q", nullptr, starts, nullptr), 2010);
  EXPECT_EQ(TVloadConeData(model, 0, nullptr, nullptr, nullptr, nullptr), 0);
  EXPECT_EQ(cones(), before);
}

TEST_F(Cones, ANewLoadReplacesConesAndTheirNames) {
  load_three();
  char a[] = "a", b[] = "b", c[] = "c";
  char *names[3] = {a, b, c};
  ASSERT_EQ(TVloadNameData(model, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, names), 0);
  EXPECT_EQ(name(2), "c");
  // Column 0 was in the old cones; the new load may use it again.
  const int starts[2] = {0, 2}, cols[2] = {0, 7};
  ASSERT_EQ(TVloadConeData(model, 1, "R", nullptr, starts, cols), 0);
  EXPECT_EQ(cones(), (std::vector<Cone>{{'R', 0, {0, 7}}}));
  int k = 5;
  EXPECT_EQ(TVgetConeIndex(model, "a", &k), 2009) << "the names of the old cones are gone";
}

TEST_F(Cones, AddedConesAreAppendedWithTheirNames) {
  const int starts1[2] = {0, 1}, cols1[1] = {0};
  ASSERT_EQ(TVloadConeData(model, 1, "Q", nullptr, starts1, cols1), 0);
  char n1[] = "first", n2[] = "second";
  char *names[2] = {n1, n2};
  const int starts[3] = {0, 3, 5}, cols[5] = {1, 2, 3, 4, 5};
  const double alphas[2] = {0.75, 0};
  ASSERT_EQ(TVaddCones(model, 2, "PR", alphas, names, starts, cols), 0);
  EXPECT_EQ(cones(), (std::vector<Cone>{{'Q', 0, {0}}, {'P', 0.75, {1, 2, 3}}, {'R', 0, {4, 5}}}));
  EXPECT_EQ(name(0), "");
  EXPECT_EQ(name(2), "second");
  int k = -1;
  EXPECT_EQ(TVgetConeIndex(model, "second", &k), 0);
  EXPECT_EQ(k, 2);

  const int taken_starts[2] = {0, 2}, taken[2] = {6, 5};
  EXPECT_EQ(TVaddCones(model, 1, "R", nullptr, nullptr, taken_starts, taken), 2049) << "column 5 is in cone 2";
  const int p_starts[2] = {0, 3}, p_cols[3] = {6, 7, 0};
  EXPECT_EQ(TVaddCones(model, 1, "P", nullptr, nullptr, p_starts, p_cols), 2004);
  EXPECT_EQ(cones().size(), 3u);
  // Unnamed additions to a named model get empty names.
  const int q_starts[2] = {0, 1}, q_cols[1] = {6};
  ASSERT_EQ(TVaddCones(model, 1, "Q", nullptr, nullptr, q_starts, q_cols), 0);
  EXPECT_EQ(name(3), "");
  EXPECT_EQ(name(1), "first");
}

TEST_F(Cones, DeletedConesCloseUpWithTheirNames) {
  load_three();
  char a[] = "a", b[] = "b", c[] = "c";
  char *names[3] = {a, b, c};
  ASSERT_EQ(TVloadNameData(model, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, names), 0);
  const int out_of_range[1] = {3}, twice[2] = {1, 1};
  EXPECT_EQ(TVdeleteCones(model, 1, out_of_range), 2012);
  EXPECT_EQ(TVdeleteCones(model, 2, twice), 2032);
  EXPECT_EQ(TVdeleteCones(model, 1, nullptr), 2010);
  EXPECT_EQ(cones().size(), 3u);

  const int ends[2] = {2, 0};
  ASSERT_EQ(TVdeleteCones(model, 2, ends), 0);
  EXPECT_EQ(cones(), (std::vector<Cone>{{'R', 0, {1, 2}}}));
  EXPECT_EQ(name(0), "b");
  int k = -1;
  EXPECT_EQ(TVgetConeIndex(model, "b", &k), 0);
  EXPECT_EQ(k, 0);
  // The freed columns can join a cone again.
  const int starts[2] = {0, 3}, cols[3] = {0, 3, 4};
  EXPECT_EQ(TVaddCones(model, 1, "E", nullptr, nullptr, starts, cols), 0);

  const int both[2] = {0, 1};
  ASSERT_EQ(TVdeleteCones(model, 2, both), 0);
  EXPECT_TRUE(cones().empty());
  EXPECT_EQ(TVgetConeDatai(model, 0, nullptr, nullptr, nullptr, nullptr), 2009);
}

TEST_F(Cones, ModifyReplacesOneConeAndLeavesTheOthers) {
  load_three();
  const double x[8] = {};
  ASSERT_EQ(TVloadPrimalSolution(model, TV_STATUS_OPTIMAL, x), 0);
  const int grow[3] = {2, 6, 7};
  ASSERT_EQ(TVmodifyCone(model, 'Q', 1, 3, grow, 0), 0);
  EXPECT_EQ(cones(), (std::vector<Cone>{{'Q', 0, {0}}, {'Q', 0, {2, 6, 7}}, {'P', 0.25, {3, 4, 5}}}));
  EXPECT_EQ(model_status(), TV_STATUS_LOADED);
  const int shrink[3] = {5, 4, 3};
  ASSERT_EQ(TVmodifyCone(model, 'P', 2, 3, shrink, 0.5), 0);
  EXPECT_EQ(cones()[2], (Cone{'P', 0.5, {5, 4, 3}}));

  const std::vector<Cone> before = cones();
  const int others[2] = {1, 0}, two[2] = {1, 6};
  EXPECT_EQ(TVmodifyCone(model, 'R', 1, 2, others, 0), 2049) << "column 0 is in cone 0";
  EXPECT_EQ(TVmodifyCone(model, 'R', 3, 2, two, 0), 2012);
  EXPECT_EQ(TVmodifyCone(model, 'X', 1, 2, two, 0), 2004);
  EXPECT_EQ(TVmodifyCone(model, 'E', 1, 2, two, 0), 2050);
  EXPECT_EQ(TVmodifyCone(model, 'R', 1, 2, nullptr, 0), 2010);
  EXPECT_EQ(TVmodifyCone(model, 'P', 2, 3, shrink, std::nan("")), 2047);
  EXPECT_EQ(cones(), before);
}

struct Set {
  int type, cardinality;
  std::vector<int> cols;
  bool operator==(const Set &o) const { return type == o.type && cardinality == o.cardinality && cols == o.cols; }
};

struct Sets : Loaded {
  // Type 1 {0}, type 2 {1,2}, type 4 {3,4,5} with cardinality 2.
  void load_three() {
    const char types[3] = {1, 2, 4};
    const int cards[3] = {0, 0, 2}, starts[4] = {0, 1, 3, 6}, cols[6] = {0, 1, 2, 3, 4, 5};
    ASSERT_EQ(TVloadSETSData(model, 3, types, cards, starts, cols), 0);
  }
  std::vector<Set> sets() {
    int count = 0, total = 0;
    int rc = TVgetSETSData(model, &count, &total, nullptr, nullptr, nullptr, nullptr, nullptr);
    if (rc == 2009) return {};
    EXPECT_EQ(rc, 0);
    std::vector<Set> all;
    for (int k = 0; k < count; ++k) {
      char type = 0;
      Set s{0, -1, std::vector<int>(8)};
      int size = -1;
      EXPECT_EQ(TVgetSETSDatai(model, k, &type, &s.cardinality, &size, s.cols.data()), 0);
      s.type = type;
      s.cols.resize(size);
      all.push_back(s);
    }
    return all;
  }
};

TEST_F(Sets, LoadedSetsReadBackAsGiven) {
  load_three();
  EXPECT_EQ(sets(), (std::vector<Set>{{1, 0, {0}}, {2, 0, {1, 2}}, {4, 2, {3, 4, 5}}}));
  int count = 0, total = 0, cards[3], sizes[3], starts[4], cols[6];
  char types[3];
  ASSERT_EQ(TVgetSETSData(model, &count, &total, types, cards, sizes, starts, cols), 0);
  EXPECT_EQ(count, 3);
  EXPECT_EQ(total, 6);
  EXPECT_EQ(types[2], 4);
  EXPECT_EQ(cards[2], 2);
  EXPECT_EQ(sizes[1], 2);
  EXPECT_EQ(std::vector<int>(starts, starts + 4), (std::vector<int>{0, 1, 3, 6}));
  EXPECT_EQ(cols[5], 5);
  EXPECT_EQ(TVgetSETSDatai(model, 3, nullptr, nullptr, nullptr, nullptr), 2012);

  const char again[1] = {1};
  const int s[2] = {0, 1}, c[1] = {7};
  EXPECT_EQ(TVloadSETSData(model, 1, again, nullptr, s, c), 2030);
}

TEST_F(Sets, BadSetsAreRefused) {
  struct Case {
    int type;
    std::vector<int> cols;
    int cardinality;
    int code;
  } cases[] = {
      {1, {}, 0, 2050},     {3, {}, 0, 2050},      {2, {4}, 0, 2050},     {4, {1}, -1, 2047},
      {5, {1}, 0, 2004},    {'1', {1}, 0, 2004},   {1, {3, 3}, 0, 2049},  {2, {0, 8}, 0, 2049},
  };
  for (const Case &c : cases) {
    // A good set first: the bad one must not leave it behind.
    const char types[2] = {1, static_cast<char>(c.type)};
    const int cards[2] = {0, c.cardinality};
    std::vector<int> cols = {7};
    cols.insert(cols.end(), c.cols.begin(), c.cols.end());
    const int starts[3] = {0, 1, static_cast<int>(cols.size())};
    EXPECT_EQ(TVloadSETSData(model, 2, types, cards, starts, cols.data()), c.code) << "type " << c.type;
    EXPECT_TRUE(sets().empty());
  }
  const char card_type[1] = {4};
  const int starts[2] = {0, 1}, cols[1] = {2};
  EXPECT_EQ(TVloadSETSData(model, 1, card_type, nullptr, starts, cols), 2010) << "type 4 needs cardinalities";
  EXPECT_EQ(TVloadSETSData(model, 1, nullptr, nullptr, starts, cols), 2010);
  EXPECT_EQ(TVloadSETSData(model, 1, card_type, nullptr, nullptr, cols), 2010);
  EXPECT_TRUE(sets().empty());

  // A column may be in several sets, just not twice in one.
  const char two[2] = {1, 1};
  const int s2[3] = {0, 1, 2}, c2[2] = {3, 3};
  EXPECT_EQ(TVloadSETSData(model, 2, two, nullptr, s2, c2), 0);
}

TEST_F(Sets, AddDeleteAndModifyKeepTheListsInStep) {
  const char first[1] = {2};
  const int s1[2] = {0, 2}, c1[2] = {0, 1};
  ASSERT_EQ(TVaddSETS(model, 1, first, nullptr, s1, c1), 0);
  const char more[2] = {4, 1};
  const int cards[2] = {3, 9}, s2[3] = {0, 3, 4}, c2[4] = {2, 3, 4, 5};
  ASSERT_EQ(TVaddSETS(model, 2, more, cards, s2, c2), 0);
  EXPECT_EQ(sets(), (std::vector<Set>{{2, 0, {0, 1}}, {4, 3, {2, 3, 4}}, {1, 9, {5}}}));

  const int bad_index[1] = {3}, twice[2] = {0, 0}, middle[1] = {1};
  EXPECT_EQ(TVdeleteSETS(model, 1, bad_index), 2012);
  EXPECT_EQ(TVdeleteSETS(model, 2, twice), 2032);
  ASSERT_EQ(TVdeleteSETS(model, 1, middle), 0);
  EXPECT_EQ(sets(), (std::vector<Set>{{2, 0, {0, 1}}, {1, 9, {5}}}));
  expect_consistent();

  const int members[3] = {7, 6, 5};
  ASSERT_EQ(TVmodifySET(model, 3, 0, 3, members), 0);
  EXPECT_EQ(sets()[0], (Set{3, 0, {7, 6, 5}}));
  EXPECT_EQ(sets()[1], (Set{1, 9, {5}}));
  const int dup[2] = {6, 6};
  EXPECT_EQ(TVmodifySET(model, 2, 0, 2, dup), 2049);
  EXPECT_EQ(TVmodifySET(model, 2, 0, 1, members), 2050);
  EXPECT_EQ(TVmodifySET(model, 9, 0, 1, members), 2004);
  EXPECT_EQ(TVmodifySET(model, 1, 2, 1, members), 2012);
  EXPECT_EQ(TVmodifySET(model, 1, 0, 1, nullptr), 2010);
  EXPECT_EQ(sets()[0], (Set{3, 0, {7, 6, 5}}));

  const int both[2] = {1, 0};
  ASSERT_EQ(TVdeleteSETS(model, 2, both), 0);
  EXPECT_TRUE(sets().empty());
  // With no sets left a fresh load is accepted.
  ASSERT_EQ(TVloadSETSData(model, 1, first, nullptr, s1, c1), 0);
}

TEST_F(Sets, StateOfASetChecksItsArguments) {
  EXPECT_EQ(TVsetSETSStatei(model, 0, 1), 2012) << "no sets yet";
  load_three();
  const double x[8] = {};
  ASSERT_EQ(TVloadPrimalSolution(model, TV_STATUS_OPTIMAL, x), 0);
  EXPECT_EQ(TVsetSETSStatei(model, 3, 0), 2012);
  EXPECT_EQ(TVsetSETSStatei(model, -1, 0), 2012);
  EXPECT_EQ(TVsetSETSStatei(model, 0, 2), 2025);
  EXPECT_EQ(TVsetSETSStatei(nullptr, 0, 0), 2010);
  EXPECT_EQ(model_status(), TV_STATUS_OPTIMAL) << "refused calls change nothing";
  EXPECT_EQ(TVsetSETSStatei(model, 2, 1), 0);
  EXPECT_EQ(model_status(), TV_STATUS_LOADED);
  expect_consistent();
  // Sets added after the first state change get their own flags.
  const char type[1] = {1};
  const int s[2] = {0, 1}, c[1] = {7};
  ASSERT_EQ(TVaddSETS(model, 1, type, nullptr, s, c), 0);
  EXPECT_EQ(TVsetSETSStatei(model, 3, 0), 0);
}

TEST_F(Loaded, ChangingTheSetsOrConesResetsTheSolution) {
  const double x[8] = {};
  const char type[1] = {1};
  const int s[2] = {0, 1}, c[1] = {0};
  ASSERT_EQ(TVloadPrimalSolution(model, TV_STATUS_OPTIMAL, x), 0);
  ASSERT_EQ(TVloadSETSData(model, 1, type, nullptr, s, c), 0);
  EXPECT_EQ(model_status(), TV_STATUS_LOADED);
  int primal = -1;
  EXPECT_EQ(TVgetIntInfo(model, TV_IINFO_PRIMAL_STATUS, &primal), 0);
  EXPECT_EQ(primal, TV_STATUS_UNKNOWN);
  ASSERT_EQ(TVloadPrimalSolution(model, TV_STATUS_OPTIMAL, x), 0);
  ASSERT_EQ(TVloadConeData(model, 1, "Q", nullptr, s, c), 0);
  EXPECT_EQ(model_status(), TV_STATUS_LOADED);
  ASSERT_EQ(TVloadPrimalSolution(model, TV_STATUS_OPTIMAL, x), 0);
  const int zero[1] = {0};
  ASSERT_EQ(TVdeleteCones(model, 1, zero), 0);
  EXPECT_EQ(model_status(), TV_STATUS_LOADED);
}

TEST(ConeSetQueries, NeedALoadedModelHoldingTheData) {
  EnvHandle env;
  ModelHandle model(env);
  int count = 0;
  EXPECT_EQ(TVgetSETSData(model, &count, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr), 2009);
  EXPECT_EQ(TVgetSETSDatai(model, 0, nullptr, nullptr, nullptr, nullptr), 2009);
  EXPECT_EQ(TVgetConeDatai(model, 0, nullptr, nullptr, nullptr, nullptr), 2009);
  EXPECT_EQ(TVgetConeDatai(nullptr, 0, nullptr, nullptr, nullptr, nullptr), 2010);
  EXPECT_EQ(TVdeleteCones(model, 1, &count), 2012);
}

}  // namespace
