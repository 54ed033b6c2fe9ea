// Adding rows and columns: where the data lands, the defaults, what a kept
// solution and basis look like afterwards, and refusals that leave the model
// exactly as it was.
#include <cmath>
#include <limits>

#include "modify_fixture.hpp"

#if __has_include("model/model.hpp")
#include "model/model.hpp"
#define TARVO_WHITE_BOX 1
#endif

using namespace tvtest;

namespace {

int info(pTVmodel model, int item) {
  int value = -1;
  EXPECT_EQ(TVgetInfo(model, item, &value), 0);
  return value;
}

}  // namespace

TEST(AddConstraints, NewRowsReachTheirColumnsWithTypesAndRightHandSides) {
  SmallLp lp;
  Snapshot before = snapshot(lp);
  int starts[] = {0, 2, 2};
  int cols[] = {3, 0};
  double vals[] = {5, 6}, rhs[] = {7, 8};
  ASSERT_EQ(TVaddConstraints(lp, 2, "LN", nullptr, starts, vals, cols, rhs), 0);
  EXPECT_CONSISTENT(lp);
  Snapshot after = snapshot(lp);
  EXPECT_EQ(after.m, 5);
  EXPECT_EQ(after.nz, before.nz + 2);
  EXPECT_EQ(after.ctype, "GELLN");
  EXPECT_EQ(after.b, (std::vector<double>{1, 2, 9, 7, 8}));
  auto expected = before.entries;
  expected[{3, 3}] = 5;
  expected[{3, 0}] = 6;
  EXPECT_EQ(after.entries, expected);
  EXPECT_EQ(info(lp, TV_IINFO_MODEL_STATUS), TV_STATUS_LOADED);

  // Without types or right-hand sides a row is an equality with rhs 0.
  ASSERT_EQ(TVaddConstraints(lp, 1, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr), 0);
  Snapshot more = snapshot(lp);
  EXPECT_EQ(more.ctype.back(), 'E');
  EXPECT_EQ(more.b.back(), 0.0);
  EXPECT_CONSISTENT(lp);
}

TEST(AddConstraints, RefusalsLeaveTheModelUntouched) {
  SmallLp lp;
  const Snapshot before = snapshot(lp);
  int starts[] = {0, 2};
  int good[] = {0, 1}, outside[] = {0, 4}, negative[] = {-1, 1}, twice[] = {1, 1};
  double vals[] = {1, 2}, nan_vals[] = {1, std::nan("")}, nan_rhs[] = {std::nan("")};
  int backwards[] = {2, 0};
  struct Case {
    const char *what;
    int code;
    int rc;
  } cases[] = {
      {"bad type", 2004, TVaddConstraints(lp, 1, "X", nullptr, starts, vals, good, nullptr)},
      {"column beyond n", 2012, TVaddConstraints(lp, 1, "E", nullptr, starts, vals, outside, nullptr)},
      {"negative column", 2012, TVaddConstraints(lp, 1, "E", nullptr, starts, vals, negative, nullptr)},
      {"column twice", 2032, TVaddConstraints(lp, 1, "E", nullptr, starts, vals, twice, nullptr)},
      {"no values", 2010, TVaddConstraints(lp, 1, "E", nullptr, starts, nullptr, good, nullptr)},
      {"no columns", 2010, TVaddConstraints(lp, 1, "E", nullptr, starts, vals, nullptr, nullptr)},
      {"NaN value", 2047, TVaddConstraints(lp, 1, "E", nullptr, starts, nan_vals, good, nullptr)},
      {"NaN rhs", 2047, TVaddConstraints(lp, 1, "E", nullptr, nullptr, nullptr, nullptr, nan_rhs)},
      {"starts decrease", 2048, TVaddConstraints(lp, 1, "E", nullptr, backwards, vals, good, nullptr)},
      {"negative count", 2025, TVaddConstraints(lp, -1, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr)},
      {"null model", 2010, TVaddConstraints(nullptr, 1, "E", nullptr, starts, vals, good, nullptr)},
  };
  for (const Case &c : cases) {
    EXPECT_EQ(c.rc, c.code) << c.what;
    EXPECT_CONSISTENT(lp);
    EXPECT_EQ(snapshot(lp), before) << c.what;
  }
  EXPECT_EQ(TVaddConstraints(lp, 0, "X", nullptr, nullptr, nullptr, nullptr, nullptr), 0) << "nothing to add";
}

TEST(AddConstraints, NamesExtendThePoolAndStayFindable) {
  SmallLp lp;
  char *named[] = {const_cast<char *>("cap")};
  ASSERT_EQ(TVaddConstraints(lp, 1, "L", named, nullptr, nullptr, nullptr, nullptr), 0);
  EXPECT_CONSISTENT(lp);
  Snapshot s = snapshot(lp);
  EXPECT_EQ(s.rownames, (std::vector<std::string>{"", "", "", "cap"})) << "earlier rows get empty names";
  int i = -1;
  EXPECT_EQ(TVgetConstraintIndex(lp, "cap", &i), 0);
  EXPECT_EQ(i, 3);
  int pool = -1;
  TVgetDimensions(lp, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &pool, nullptr);
  EXPECT_EQ(pool, 3 + 4) << "three empty names and \"cap\" with terminators";

  // A model with names gives an unnamed addition an empty name.
  ASSERT_EQ(TVaddConstraints(lp, 1, "G", nullptr, nullptr, nullptr, nullptr, nullptr), 0);
  char *more[] = {const_cast<char *>("demand"), nullptr};
  ASSERT_EQ(TVaddConstraints(lp, 2, "GG", more, nullptr, nullptr, nullptr, nullptr), 0);
  EXPECT_CONSISTENT(lp);
  s = snapshot(lp);
  EXPECT_EQ(s.rownames, (std::vector<std::string>{"", "", "", "cap", "", "demand", ""}));
  EXPECT_EQ(TVgetConstraintIndex(lp, "demand", &i), 0);
  EXPECT_EQ(i, 5);
}

TEST(AddConstraints, NamesLoadedBeforeAreKept) {
  SmallLp lp;
  char *rows[] = {const_cast<char *>("a"), const_cast<char *>("bb"), const_cast<char *>("ccc")};
  char *cols[] = {const_cast<char *>("x"), const_cast<char *>("y"), const_cast<char *>("z"), const_cast<char *>("w")};
  ASSERT_EQ(TVloadNameData(lp, "t", nullptr, nullptr, nullptr, nullptr, rows, cols, nullptr), 0);
  char *added[] = {const_cast<char *>("dddd")};
  ASSERT_EQ(TVaddConstraints(lp, 1, "E", added, nullptr, nullptr, nullptr, nullptr), 0);
  char *vadded[] = {const_cast<char *>("v")};
  ASSERT_EQ(TVaddVariables(lp, 1, nullptr, vadded, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr), 0);
  EXPECT_CONSISTENT(lp);
  Snapshot s = snapshot(lp);
  EXPECT_EQ(s.rownames, (std::vector<std::string>{"a", "bb", "ccc", "dddd"}));
  EXPECT_EQ(s.colnames, (std::vector<std::string>{"x", "y", "z", "w", "v"}));
  int pools[2] = {-1, -1};
  TVgetDimensions(lp, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &pools[0], &pools[1],
                  nullptr);
  EXPECT_EQ(pools[0], 10);
  EXPECT_EQ(pools[1], 14);
}

TEST(AddConstraints, NewRowsEnterAKeptBasisAsBasicSlacks) {
  SmallLp lp;
  double x[] = {1, 0.5, 1, 1}, duals[] = {0.5, 1, 0}, slacks[] = {-0.5, 0, 6}, red[] = {0, 0, 0, 0};
  ASSERT_EQ(TVloadSolution(lp, TV_STATUS_OPTIMAL, x, duals, slacks, red), 0);
  int cst[] = {0, 1, -1, -1}, rst[] = {-1, -1, 2};
  ASSERT_EQ(TVloadBasis(lp, cst, rst), 0);
  int starts[] = {0, 2};
  int cols[] = {0, 2};
  double vals[] = {2, 3}, rhs[] = {10};
  ASSERT_EQ(TVaddConstraints(lp, 1, "L", nullptr, starts, vals, cols, rhs), 0);
  EXPECT_CONSISTENT(lp);
  EXPECT_EQ(info(lp, TV_IINFO_BASIC_STATUS), TV_STATUS_LOADED);
  EXPECT_EQ(info(lp, TV_IINFO_PRIMAL_STATUS), TV_STATUS_UNKNOWN);
  EXPECT_EQ(row_basis(lp, 4, 4), (std::vector<int>{-1, -1, 2, 3})) << "the new row is basic with its own index";
  std::vector<double> slack(4), dual(4);
  ASSERT_EQ(TVgetSlacks(lp, slack.data()), 0);
  ASSERT_EQ(TVgetDualSolution(lp, dual.data()), 0);
  EXPECT_DOUBLE_EQ(slack[3], 10 - (2 * 1 + 3 * 1)) << "slack is b - a.x at the kept point";
  EXPECT_EQ(dual[3], 0.0);
  EXPECT_EQ(slack[0], -0.5) << "old rows keep their values";
}

TEST(AddVariables, NewColumnsCarryEntriesCostsAndBounds) {
  SmallLp lp;
  Snapshot before = snapshot(lp);
  int starts[] = {0, 2, 2};
  int rows[] = {2, 0};
  double vals[] = {7, 8}, c[] = {-1, -2}, lo[] = {-3, -1e40}, up[] = {3, 1e40};
  ASSERT_EQ(TVaddVariables(lp, 2, nullptr, nullptr, starts, nullptr, vals, rows, c, lo, up), 0);
  EXPECT_CONSISTENT(lp);
  Snapshot after = snapshot(lp);
  EXPECT_EQ(after.n, 6);
  EXPECT_EQ(after.c, (std::vector<double>{1, 2, 3, 4, -1, -2}));
  EXPECT_EQ(after.lower[4], -3);
  EXPECT_EQ(after.lower[5], -1e30) << "clamped";
  EXPECT_EQ(after.upper[5], 1e30) << "clamped";
  auto expected = before.entries;
  expected[{2, 4}] = 7;
  expected[{0, 4}] = 8;
  EXPECT_EQ(after.entries, expected);
  EXPECT_EQ(after.vtype, "CCCCCC") << "no type array is created without types";

  // Defaults: cost 0, bounds [0, 1e30]; explicit lengths leave part of a range unused.
  int starts2[] = {0, 3};
  int lengths[] = {1};
  int rows2[] = {1, 99, 99};
  double vals2[] = {4, 0, 0};
  ASSERT_EQ(TVaddVariables(lp, 1, nullptr, nullptr, starts2, lengths, vals2, rows2, nullptr, nullptr, nullptr), 0);
  double cost = -1, lower = -1, upper = -1;
  int nnz = -1, row = -1;
  double value = 0;
  ASSERT_EQ(TVgetLPVariableDataj(lp, 6, nullptr, &cost, &lower, &upper, &nnz, &row, &value), 0);
  EXPECT_EQ(cost, 0);
  EXPECT_EQ(lower, 0);
  EXPECT_EQ(upper, 1e30);
  EXPECT_EQ(nnz, 1);
  EXPECT_EQ(row, 1);
  EXPECT_EQ(value, 4);
  EXPECT_CONSISTENT(lp);
}

TEST(AddVariables, TypesCreateTheTypeArrayAndFollowTheBinaryRule) {
  SmallLp lp;
  double lo[] = {-2, 0, 0}, up[] = {5, 7, 1e30};
  ASSERT_EQ(TVaddVariables(lp, 3, "BIC", nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, lo, up), 0);
  EXPECT_CONSISTENT(lp);
  Snapshot s = snapshot(lp);
  EXPECT_EQ(s.vtype, "CCCCBIC");
  EXPECT_EQ(s.lower[4], 0) << "a binary column lives in [0, 1]";
  EXPECT_EQ(s.upper[4], 1);
  EXPECT_EQ(s.upper[5], 7) << "integer bounds stay";
  ASSERT_EQ(TVaddVariables(lp, 1, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr), 0);
  EXPECT_EQ(snapshot(lp).vtype, "CCCCBICC") << "untyped additions to a typed model are continuous";

  const Snapshot kept = snapshot(lp);
  double two[] = {2};
  EXPECT_EQ(TVaddVariables(lp, 1, "S", nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr), 2024);
  EXPECT_EQ(TVaddVariables(lp, 1, "x", nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr), 2024);
  EXPECT_EQ(TVaddVariables(lp, 1, "B", nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, two, nullptr), 2047)
      << "a binary column cannot have lower bound 2";
  EXPECT_EQ(snapshot(lp), kept);
  EXPECT_CONSISTENT(lp);
}

TEST(AddVariables, RefusalsComeBeforeAnyChange) {
  SmallLp lp;
  const Snapshot before = snapshot(lp);
  int starts[] = {0, 2};
  int outside[] = {0, 3}, twice[] = {1, 1}, good[] = {0, 1};
  double vals[] = {1, 1}, nan_vals[] = {std::nan(""), 1}, nan_one[] = {std::nan("")};
  int long_len[] = {3}, backwards[] = {1, 0};
  struct Case {
    const char *what;
    int code;
    int rc;
  } cases[] = {
      {"row beyond m", 2012,
       TVaddVariables(lp, 1, nullptr, nullptr, starts, nullptr, vals, outside, nullptr, nullptr, nullptr)},
      {"row twice", 2032, TVaddVariables(lp, 1, nullptr, nullptr, starts, nullptr, vals, twice, nullptr, nullptr, nullptr)},
      {"length beyond range", 2050,
       TVaddVariables(lp, 1, nullptr, nullptr, starts, long_len, vals, good, nullptr, nullptr, nullptr)},
      {"starts decrease", 2048,
       TVaddVariables(lp, 1, nullptr, nullptr, backwards, nullptr, vals, good, nullptr, nullptr, nullptr)},
      {"no row indices", 2010,
       TVaddVariables(lp, 1, nullptr, nullptr, starts, nullptr, vals, nullptr, nullptr, nullptr, nullptr)},
      {"NaN entry", 2047,
       TVaddVariables(lp, 1, nullptr, nullptr, starts, nullptr, nan_vals, good, nullptr, nullptr, nullptr)},
      {"NaN cost", 2047,
       TVaddVariables(lp, 1, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nan_one, nullptr, nullptr)},
      {"NaN bound", 2047,
       TVaddVariables(lp, 1, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nan_one)},
      {"negative count", 2025,
       TVaddVariables(lp, -2, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr)},
  };
  for (const Case &c : cases) {
    EXPECT_EQ(c.rc, c.code) << c.what;
    EXPECT_CONSISTENT(lp);
    EXPECT_EQ(snapshot(lp), before) << c.what;
  }
}

TEST(AddVariables, NewColumnsJoinAKeptSolutionAtABound) {
  SmallLp lp;
  double x[] = {1, 0.5, 1, 1}, duals[] = {0.5, 1, 0}, slacks[] = {-0.5, 0, 6}, red[] = {0, 0, 0, 0};
  ASSERT_EQ(TVloadSolution(lp, TV_STATUS_OPTIMAL, x, duals, slacks, red), 0);
  int cst[] = {0, 1, -1, -1}, rst[] = {-1, -1, 2};
  ASSERT_EQ(TVloadBasis(lp, cst, rst), 0);
  int starts[] = {0, 1, 2, 2};
  int rows[] = {0, 1};
  double vals[] = {3, 2}, c[] = {1, 5, 0}, lo[] = {2, -1e30, -1e30}, up[] = {5, 4, 1e30};
  ASSERT_EQ(TVaddVariables(lp, 3, nullptr, nullptr, starts, nullptr, vals, rows, c, lo, up), 0);
  EXPECT_CONSISTENT(lp);
  std::vector<double> xs(7), rc(7), sl(3);
  ASSERT_EQ(TVgetPrimalSolution(lp, xs.data()), 0);
  ASSERT_EQ(TVgetReducedCosts(lp, rc.data()), 0);
  ASSERT_EQ(TVgetSlacks(lp, sl.data()), 0);
  EXPECT_EQ(xs[4], 2) << "at its lower bound";
  EXPECT_EQ(xs[5], 4) << "no lower bound: at its upper bound";
  EXPECT_EQ(xs[6], 0) << "free: at zero";
  EXPECT_EQ(col_basis(lp, 7, 3), (std::vector<int>{0, 1, -1, -1, -1, -2, -3}));
  EXPECT_DOUBLE_EQ(rc[4], 1 - 0.5 * 3) << "c - y.a";
  EXPECT_DOUBLE_EQ(rc[5], 5 - 1 * 2);
  EXPECT_DOUBLE_EQ(sl[0], -0.5 - 3 * 2) << "the row activity includes the new column's value";
  EXPECT_DOUBLE_EQ(sl[1], 0 - 2 * 4);
  EXPECT_EQ(info(lp, TV_IINFO_BASIC_STATUS), TV_STATUS_LOADED);
}

TEST(AddToEmptyModel, AnUnloadedModelIsBuiltUpByAdditions) {
  EnvHandle env;
  ModelHandle model(env);
  double c[] = {1, 2}, up[] = {4, 1e30};
  ASSERT_EQ(TVaddVariables(model, 2, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, c, nullptr, up), 0);
  int starts[] = {0, 2};
  int cols[] = {0, 1};
  double vals[] = {1, 1}, rhs[] = {3};
  ASSERT_EQ(TVaddConstraints(model, 1, "G", nullptr, starts, vals, cols, rhs), 0);
  EXPECT_CONSISTENT(model);
  Snapshot s = snapshot(model);
  EXPECT_EQ(s.m, 1);
  EXPECT_EQ(s.n, 2);
  EXPECT_EQ(s.nz, 2);
  EXPECT_EQ(s.upper, (std::vector<double>{4, 1e30}));
  EXPECT_EQ(info(model, TV_IINFO_MODEL_STATUS), TV_STATUS_LOADED);
  EXPECT_EQ(TVloadLPData(model, 0, 0, 1, 0, nullptr, nullptr, nullptr, 0, starts, nullptr, nullptr, nullptr, nullptr,
                         nullptr),
            2030)
      << "it now counts as loaded";
}

TEST(MatrixRoom, EmptySpacesAndCapacitiesNeverChangeTheData) {
  SmallLp lp;
  const Snapshot before = snapshot(lp);
  int need[] = {3, 0, 5, 1};
  ASSERT_EQ(TVaddEmptySpacesAcolumns(lp, need), 0);
  EXPECT_CONSISTENT(lp);
  EXPECT_EQ(snapshot(lp), before);
  EXPECT_EQ(TVaddEmptySpacesAcolumns(lp, nullptr), 2010);
  ASSERT_EQ(TVsetProbAllocSizes(lp, 1000, 500, 20000, 10, 10, 4096), 0);
  EXPECT_EQ(snapshot(lp), before);
  // Asking for less than is in use keeps what is in use.
  ASSERT_EQ(TVsetProbAllocSizes(lp, 0, 0, 0, 0, 0, 0), 0);
  ASSERT_EQ(TVsetProbNameAllocSizes(lp, 0, 0), 0);
  EXPECT_CONSISTENT(lp);
  EXPECT_EQ(snapshot(lp), before);
  int starts[] = {0, 4};
  int cols[] = {0, 1, 2, 3};
  double vals[] = {1, 1, 1, 1};
  ASSERT_EQ(TVaddConstraints(lp, 1, "L", nullptr, starts, vals, cols, nullptr), 0);
  EXPECT_CONSISTENT(lp);
  EXPECT_EQ(snapshot(lp).nz, before.nz + 4);
  EXPECT_EQ(TVsetProbAllocSizes(nullptr, -1, -1, -1, -1, -1, -1), 2010);
}

#ifdef TARVO_WHITE_BOX

TEST(MatrixRoomWhiteBox, RowCapacityGrowsAheadOfTheCount) {
  SmallLp lp;
  tvModel *m = lp;
  ASSERT_EQ(m->data.row_capacity, 3);
  ASSERT_EQ(TVaddConstraints(lp, 1, "E", nullptr, nullptr, nullptr, nullptr, nullptr), 0);
  EXPECT_EQ(m->data.row_capacity, 104);
  ASSERT_EQ(TVaddVariables(lp, 1, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr), 0);
  EXPECT_EQ(m->data.col_capacity, 105);
}

TEST(MatrixRoomWhiteBox, ColumnsWithRoomStayWhereTheyAre) {
  SmallLp lp;
  tvModel *m = lp;
  int need[] = {0, 2, 0, 0};
  ASSERT_EQ(TVaddEmptySpacesAcolumns(lp, need), 0);
  // Column 1 got its room; columns 0 and 1 did not move, the later ones shifted by 2.
  EXPECT_EQ(m->data.start[0], 0);
  EXPECT_EQ(m->data.start[1], 2);
  EXPECT_EQ(m->data.start[2], 6);
  EXPECT_EQ(m->data.start[4], 9);
  std::vector<int> before(m->data.start.begin(), m->data.start.begin() + 5);
  int starts[] = {0, 1};
  int cols[] = {1};
  double vals[] = {9};
  ASSERT_EQ(TVaddConstraints(lp, 1, "L", nullptr, starts, vals, cols, nullptr), 0);
  std::vector<int> after(m->data.start.begin(), m->data.start.begin() + 5);
  EXPECT_EQ(after, before) << "the gap held enough room, nothing moved";
  EXPECT_CONSISTENT(lp);
}

#endif
