// Deleting rows, columns and matrix entries: survivors keep their data in
// order, references from the optional data follow the renumbering, and bad
// index lists are refused before anything changes.
#include <cmath>

#include "modify_fixture.hpp"

using namespace tvtest;

namespace {

char *str(const char *s) { return const_cast<char *>(s); }

void name_small_lp(pTVmodel model) {
  char *rows[] = {str("r0"), str("r1"), str("r2")};
  char *cols[] = {str("x0"), str("x1"), str("x2"), str("x3")};
  ASSERT_EQ(TVloadNameData(model, "small", nullptr, nullptr, nullptr, nullptr, rows, cols, nullptr), 0);
}

struct Term {
  int row, col1, col2;
  double coef;
  bool operator==(const Term &) const = default;
};

std::vector<Term> quadratic_terms(pTVmodel model) {
  int count = 0;
  TVgetDimensions(model, nullptr, nullptr, nullptr, nullptr, &count, nullptr, nullptr, nullptr, nullptr, nullptr,
                  nullptr);
  std::vector<int> rows(count + 1), c1(count + 1), c2(count + 1);
  std::vector<double> coef(count + 1);
  std::vector<Term> terms;
  if (count == 0) return terms;
  EXPECT_EQ(TVgetQCData(model, rows.data(), c1.data(), c2.data(), coef.data()), 0);
  for (int t = 0; t < count; ++t) terms.push_back({rows[t], c1[t], c2[t], coef[t]});
  return terms;
}

}  // namespace

TEST(DeleteConstraints, SurvivingRowsMoveUpWithTheirDataAndNames) {
  SmallLp lp;
  name_small_lp(lp);
  int gone[] = {2, 0};
  ASSERT_EQ(TVdeleteConstraints(lp, 2, gone), 0);
  EXPECT_CONSISTENT(lp);
  Snapshot s = snapshot(lp);
  EXPECT_EQ(s.m, 1);
  EXPECT_EQ(s.ctype, "E");
  EXPECT_EQ(s.b, (std::vector<double>{2}));
  EXPECT_EQ(s.nz, 2);
  EXPECT_EQ(s.entries, (std::map<std::pair<int, int>, double>{{{0, 1}, 2}, {{0, 2}, 1}}));
  EXPECT_EQ(s.rownames, (std::vector<std::string>{"r1"}));
  int i = -1;
  EXPECT_EQ(TVgetConstraintIndex(lp, "r1", &i), 0);
  EXPECT_EQ(i, 0);
  EXPECT_NE(TVgetConstraintIndex(lp, "r2", &i), 0) << "a deleted row's name is gone";
  // The model keeps working: a row added now takes the next index.
  char *added[] = {str("r9")};
  ASSERT_EQ(TVaddConstraints(lp, 1, "L", added, nullptr, nullptr, nullptr, nullptr), 0);
  EXPECT_EQ(TVgetConstraintIndex(lp, "r9", &i), 0);
  EXPECT_EQ(i, 1);
  EXPECT_CONSISTENT(lp);
}

TEST(DeleteConstraints, BadListsAreRefusedWholesale) {
  SmallLp lp;
  const Snapshot before = snapshot(lp);
  int twice[] = {0, 0}, beyond[] = {1, 3}, negative[] = {-1};
  EXPECT_EQ(TVdeleteConstraints(lp, 2, twice), 2032);
  EXPECT_EQ(TVdeleteConstraints(lp, 2, beyond), 2012) << "row m is outside the model";
  EXPECT_EQ(TVdeleteConstraints(lp, 1, negative), 2012);
  EXPECT_EQ(TVdeleteConstraints(lp, 1, nullptr), 2010);
  EXPECT_EQ(TVdeleteConstraints(lp, -1, twice), 2025);
  EXPECT_EQ(TVdeleteConstraints(nullptr, 1, twice), 2010);
  EXPECT_EQ(TVdeleteConstraints(lp, 0, nullptr), 0);
  EXPECT_CONSISTENT(lp);
  EXPECT_EQ(snapshot(lp), before);
}

TEST(DeleteConstraints, QuadraticRowsAndIndicatorsFollowTheRows) {
  SmallLp lp;
  int qrows[] = {-1, 0, 2, 2}, q1[] = {0, 1, 2, 3}, q2[] = {0, 1, 2, 3};
  double qc[] = {1, 2, 3, 4};
  ASSERT_EQ(TVloadQCData(lp, 4, qrows, q1, q2, qc), 0);
  char types[] = "BCCC";
  ASSERT_EQ(TVloadVarType(lp, types), 0);
  int irow[] = {2}, ivar[] = {0}, ival[] = {1};
  ASSERT_EQ(TVloadIndData(lp, 1, irow, ivar, ival), 0);
  int gone[] = {0};
  ASSERT_EQ(TVdeleteConstraints(lp, 1, gone), 0);
  EXPECT_CONSISTENT(lp);
  EXPECT_EQ(quadratic_terms(lp), (std::vector<Term>{{-1, 0, 0, 1}, {1, 2, 2, 3}, {1, 3, 3, 4}}))
      << "row 0's term is dropped, row 2's terms now belong to row 1";
  int nnz = -1;
  ASSERT_EQ(TVgetQCDatai(lp, 1, &nnz, nullptr, nullptr, nullptr), 0);
  EXPECT_EQ(nnz, 2);
  // Deleting the indicator's row removes the indicator; the model stays sound.
  int also[] = {1};
  ASSERT_EQ(TVdeleteConstraints(lp, 1, also), 0);
  EXPECT_CONSISTENT(lp);
  EXPECT_EQ(quadratic_terms(lp), (std::vector<Term>{{-1, 0, 0, 1}}));
}

TEST(DeleteVariables, SurvivingColumnsKeepEntriesBoundsTypesAndNames) {
  SmallLp lp;
  name_small_lp(lp);
  char types[] = "ICBC";
  double up[] = {1};
  int col[] = {2};
  ASSERT_EQ(TVmodifyUpperBounds(lp, 1, col, up), 0);
  ASSERT_EQ(TVloadVarType(lp, types), 0);
  int gone[] = {3, 1};
  ASSERT_EQ(TVdeleteVariables(lp, 2, gone), 0);
  EXPECT_CONSISTENT(lp);
  Snapshot s = snapshot(lp);
  EXPECT_EQ(s.n, 2);
  EXPECT_EQ(s.c, (std::vector<double>{1, 3}));
  EXPECT_EQ(s.lower, (std::vector<double>{0, 0})) << "the binary rule clamped x2 to [0, 1]";
  EXPECT_EQ(s.upper, (std::vector<double>{10, 1}));
  EXPECT_EQ(s.vtype, "IB");
  EXPECT_EQ(s.colnames, (std::vector<std::string>{"x0", "x2"}));
  EXPECT_EQ(s.entries, (std::map<std::pair<int, int>, double>{{{0, 0}, 1}, {{2, 0}, 1}, {{1, 1}, 1}, {{2, 1}, 1}}));
  EXPECT_EQ(s.nz, 4);
  int j = -1;
  EXPECT_EQ(TVgetVariableIndex(lp, "x2", &j), 0);
  EXPECT_EQ(j, 1);
  // Columns added after a deletion land behind the survivors.
  int starts[] = {0, 1};
  int rows[] = {1};
  double vals[] = {6};
  ASSERT_EQ(TVaddVariables(lp, 1, nullptr, nullptr, starts, nullptr, vals, rows, nullptr, nullptr, nullptr), 0);
  EXPECT_CONSISTENT(lp);
  EXPECT_EQ(snapshot(lp).entries.at({1, 2}), 6);
}

TEST(DeleteVariables, BadListsAreRefusedWholesale) {
  SmallLp lp;
  const Snapshot before = snapshot(lp);
  int twice[] = {1, 2, 1}, beyond[] = {4}, negative[] = {-1};
  EXPECT_EQ(TVdeleteVariables(lp, 3, twice), 2032);
  EXPECT_EQ(TVdeleteVariables(lp, 1, beyond), 2012);
  EXPECT_EQ(TVdeleteVariables(lp, 1, negative), 2012);
  EXPECT_EQ(TVdeleteVariables(lp, 1, nullptr), 2010);
  EXPECT_CONSISTENT(lp);
  EXPECT_EQ(snapshot(lp), before);
}

TEST(DeleteVariables, OptionalDataIsRenumberedOrDropped) {
  SmallLp lp;
  int qrows[] = {-1, 1, 0}, q1[] = {0, 1, 3}, q2[] = {2, 2, 3};
  double qc[] = {1, 2, 3};
  ASSERT_EQ(TVloadQCData(lp, 3, qrows, q1, q2, qc), 0);
  // Set 0 (type 1) keeps x3; set 1 (type 2) would keep one member and goes.
  char stypes[] = {1, 2};
  int sstarts[] = {0, 2, 4}, scols[] = {1, 3, 0, 1};
  ASSERT_EQ(TVloadSETSData(lp, 2, stypes, nullptr, sstarts, scols), 0);
  int scvar[] = {2};
  double sclo[] = {1}, scup[] = {5};
  ASSERT_EQ(TVloadSemiContData(lp, 1, scvar, sclo, scup), 0);
  double start[] = {1, 2, 3, 4};
  ASSERT_EQ(TVloadVarStartPoint(lp, start), 0);
  ASSERT_EQ(TVloadMIPVarStartPoint(lp, start), 0);
  int pcols[] = {3, 1, 0};
  double pvals[] = {30, 10, 0};
  ASSERT_EQ(TVloadVarStartPointPartial(lp, 3, pcols, pvals), 0);
  int prio[] = {5, 6, 7, 8};
  ASSERT_EQ(TVloadVarPriorities(lp, prio), 0);

  int gone[] = {1};
  ASSERT_EQ(TVdeleteVariables(lp, 1, gone), 0);
  EXPECT_CONSISTENT(lp);
  EXPECT_EQ(quadratic_terms(lp), (std::vector<Term>{{-1, 0, 1, 1}, {0, 2, 2, 3}}));

  int nsets = -1, total = -1;
  char st[4];
  int sizes[4], starts[4], cols[4];
  ASSERT_EQ(TVgetSETSData(lp, &nsets, &total, st, nullptr, sizes, starts, cols), 0);
  EXPECT_EQ(nsets, 1);
  EXPECT_EQ(total, 1);
  EXPECT_EQ(st[0], 1);
  EXPECT_EQ(cols[0], 2) << "x3 is now column 2";

  int nsc = -1, scv[2];
  double scl[2], scu[2];
  ASSERT_EQ(TVgetSemiContData(lp, &nsc, scv, scl, scu), 0);
  EXPECT_EQ(nsc, 1);
  EXPECT_EQ(scv[0], 1);
  EXPECT_EQ(scl[0], 1);
  EXPECT_EQ(scu[0], 5);

  double x[3];
  ASSERT_EQ(TVgetVarStartPoint(lp, x), 0);
  EXPECT_EQ(std::vector<double>(x, x + 3), (std::vector<double>{1, 3, 4}));
  ASSERT_EQ(TVgetMIPVarStartPoint(lp, x), 0);
  EXPECT_EQ(std::vector<double>(x, x + 3), (std::vector<double>{1, 3, 4}));
  int np = -1, pc[3];
  double pv[3];
  ASSERT_EQ(TVgetVarStartPointPartial(lp, &np, pc, pv), 0);
  ASSERT_EQ(np, 2);
  EXPECT_EQ(pc[0], 2);
  EXPECT_EQ(pv[0], 30);
  EXPECT_EQ(pc[1], 0);
  EXPECT_EQ(pv[1], 0);

  // Deleting the last member of a set and every partial entry leaves no dangling data.
  int more[] = {2, 0};
  ASSERT_EQ(TVdeleteVariables(lp, 2, more), 0);
  EXPECT_CONSISTENT(lp);
  EXPECT_EQ(TVgetSETSData(lp, &nsets, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr), 2009);
  EXPECT_EQ(TVgetVarStartPointPartial(lp, &np, pc, pv), 2009);
  EXPECT_EQ(quadratic_terms(lp), std::vector<Term>{});
}

TEST(DeleteVariables, ConesLosingNeededMembersGo) {
  SmallLp lp;
  ASSERT_EQ(TVaddVariables(lp, 1, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr), 0);
  char ctypes[] = "QE";
  int cstarts[] = {0, 2, 5}, ccols[] = {0, 1, 2, 3, 4};
  char *names[] = {str("q"), str("e")};
  ASSERT_EQ(TVaddCones(lp, 2, ctypes, nullptr, names, cstarts, ccols), 0);
  int gone[] = {0};
  ASSERT_EQ(TVdeleteVariables(lp, 1, gone), 0);
  EXPECT_CONSISTENT(lp);
  int ncones = -1;
  TVgetDimensions(lp, nullptr, nullptr, &ncones, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                  nullptr);
  EXPECT_EQ(ncones, 2) << "Q keeps one member, E keeps its three";
  char type;
  int nnz = -1, cols[4];
  ASSERT_EQ(TVgetConeDatai(lp, 0, &type, nullptr, &nnz, cols), 0);
  EXPECT_EQ(nnz, 1);
  EXPECT_EQ(cols[0], 0);
  int gone2[] = {2};  // old x3, a member of the E cone
  ASSERT_EQ(TVdeleteVariables(lp, 1, gone2), 0);
  EXPECT_CONSISTENT(lp);
  TVgetDimensions(lp, nullptr, nullptr, &ncones, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                  nullptr);
  EXPECT_EQ(ncones, 1) << "an E cone needs exactly three members";
  char name[16];
  ASSERT_EQ(TVgetConeNamei(lp, 0, name), 0);
  EXPECT_STREQ(name, "q");
}

TEST(Delete, KeptSolutionArraysShrinkWithTheModel) {
  SmallLp lp;
  double x[] = {1, 0.5, 1, 1}, duals[] = {0.5, 1, 0}, slacks[] = {-0.5, 0, 6}, red[] = {7, 8, 9, 10};
  ASSERT_EQ(TVloadSolution(lp, TV_STATUS_OPTIMAL, x, duals, slacks, red), 0);
  int cst[] = {0, 1, -1, -1}, rst[] = {-1, -1, 2};
  ASSERT_EQ(TVloadBasis(lp, cst, rst), 0);
  int col[] = {1}, row[] = {0};
  ASSERT_EQ(TVdeleteVariables(lp, 1, col), 0);
  ASSERT_EQ(TVdeleteConstraints(lp, 1, row), 0);
  EXPECT_CONSISTENT(lp);
  std::vector<double> xs(3), rc(3), du(2), sl(2);
  ASSERT_EQ(TVgetPrimalSolution(lp, xs.data()), 0);
  ASSERT_EQ(TVgetReducedCosts(lp, rc.data()), 0);
  ASSERT_EQ(TVgetDualSolution(lp, du.data()), 0);
  ASSERT_EQ(TVgetSlacks(lp, sl.data()), 0);
  EXPECT_EQ(xs, (std::vector<double>{1, 1, 1}));
  EXPECT_EQ(rc, (std::vector<double>{7, 9, 10}));
  EXPECT_EQ(du, (std::vector<double>{1, 0}));
  EXPECT_EQ(sl, (std::vector<double>{0, 6}));
  EXPECT_EQ(col_basis(lp, 3, 2), (std::vector<int>{0, -1, -1}));
  EXPECT_EQ(row_basis(lp, 3, 2), (std::vector<int>{-1, 2}));
}

TEST(DeleteAj, RemovesListedEntriesOfOneColumn) {
  SmallLp lp;
  Snapshot before = snapshot(lp);
  int rows[] = {2, 1};  // row 1 holds no entry in column 0: ignored
  ASSERT_EQ(TVdeleteAj(lp, 0, 2, rows), 0);
  EXPECT_CONSISTENT(lp);
  Snapshot after = snapshot(lp);
  before.entries.erase({2, 0});
  EXPECT_EQ(after.entries, before.entries);
  EXPECT_EQ(after.nz, 6);
  int bad_row[] = {3};
  EXPECT_EQ(TVdeleteAj(lp, 0, 1, bad_row), 2012);
  EXPECT_EQ(TVdeleteAj(lp, 4, 1, rows), 2012);
  EXPECT_EQ(TVdeleteAj(lp, 0, 1, nullptr), 2010);
  EXPECT_CONSISTENT(lp);
  EXPECT_EQ(snapshot(lp), after);
  // The freed room is reused by a later entry without trouble.
  int r[] = {1};
  double v[] = {5};
  ASSERT_EQ(TVmodifyAj(lp, 0, 1, r, v), 0);
  EXPECT_EQ(snapshot(lp).entries.at({1, 0}), 5);
  EXPECT_CONSISTENT(lp);
}
