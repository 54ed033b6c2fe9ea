// Changing values and types of a loaded model: the stored data, what happens
// to a kept solution and basis, and refusals that change nothing.
#include <cmath>
#include <memory>

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

// SmallLp with an optimal solution and a loaded basis.
struct SolvedLp : SmallLp {
  SolvedLp() {
    double x[] = {10, 0, 1, 1}, duals[] = {0.5, 1, 0}, slacks[] = {-9, 1, -3}, red[] = {0, 0, 0, 0};
    EXPECT_EQ(TVloadSolution(*this, TV_STATUS_OPTIMAL, x, duals, slacks, red), 0);
    int cst[] = {-2, -1, 0, -1}, rst[] = {1, 2, -1};
    EXPECT_EQ(TVloadBasis(*this, cst, rst), 0);
  }
};

}  // namespace

TEST(ModifyValues, RightHandSidesAndCostsAreStored) {
  SmallLp lp;
  int rows[] = {2, 0, 2};
  double b[] = {4, -1, 5};
  ASSERT_EQ(TVmodifyRHS(lp, 3, rows, b), 0);
  int cols[] = {3};
  double c[] = {-7};
  ASSERT_EQ(TVmodifyObjective(lp, 1, cols, c), 0);
  EXPECT_CONSISTENT(lp);
  Snapshot s = snapshot(lp);
  EXPECT_EQ(s.b, (std::vector<double>{-1, 2, 5})) << "a row listed twice takes its last value";
  EXPECT_EQ(s.c, (std::vector<double>{1, 2, 3, -7}));

  const Snapshot before = s;
  int beyond[] = {3}, negative[] = {-1};
  double nan[] = {std::nan("")};
  EXPECT_EQ(TVmodifyRHS(lp, 1, beyond, b), 2012);
  EXPECT_EQ(TVmodifyRHS(lp, 1, rows, nan), 2024);
  EXPECT_EQ(TVmodifyRHS(lp, 1, nullptr, b), 2010);
  EXPECT_EQ(TVmodifyObjective(lp, 1, negative, c), 2012);
  EXPECT_EQ(TVmodifyObjective(lp, 1, cols, nan), 2024);
  EXPECT_EQ(TVmodifyObjective(nullptr, 1, cols, c), 2010);
  EXPECT_EQ(TVmodifyRHS(lp, 0, nullptr, nullptr), 0);
  EXPECT_CONSISTENT(lp);
  EXPECT_EQ(snapshot(lp), before);
}

TEST(ModifyValues, ChangingACostResetsTheSolutionStatus) {
  SolvedLp lp;
  int cols[] = {0};
  double c[] = {2};
  ASSERT_EQ(TVmodifyObjective(lp, 1, cols, c), 0);
  EXPECT_EQ(info(lp, TV_IINFO_MODEL_STATUS), TV_STATUS_LOADED);
  EXPECT_EQ(info(lp, TV_IINFO_PRIMAL_STATUS), TV_STATUS_UNKNOWN);
  EXPECT_CONSISTENT(lp);
}

TEST(ModifyValues, TheObjectiveConstantShiftsTheReportedObjectiveOnly) {
  SolvedLp lp;
  double obj = 0;
  ASSERT_EQ(TVgetObjective(lp, &obj), 0);
  const double solved = obj;
  ASSERT_EQ(TVmodifyObjConstant(lp, 5), 0);
  ASSERT_EQ(TVgetObjective(lp, &obj), 0);
  EXPECT_DOUBLE_EQ(obj, solved + 5);
  EXPECT_EQ(info(lp, TV_IINFO_PRIMAL_STATUS), TV_STATUS_OPTIMAL) << "the solution stays valid";
  ASSERT_EQ(TVmodifyObjConstant(lp, 2), 0);
  ASSERT_EQ(TVgetObjective(lp, &obj), 0);
  EXPECT_DOUBLE_EQ(obj, solved + 2);
  EXPECT_EQ(TVmodifyObjConstant(lp, std::nan("")), 2024);
  EXPECT_EQ(TVmodifyObjConstant(lp, INFINITY), 2024);
  EXPECT_EQ(TVmodifyObjConstant(nullptr, 1), 2010);
  EXPECT_EQ(snapshot(lp).constant, 2);
  EXPECT_CONSISTENT(lp);
}

TEST(ModifyBounds, AnUnchangedBoundLeavesTheSolutionAlone) {
  SolvedLp lp;
  int cols[] = {0, 1};
  double lo[] = {0, 0}, up[] = {10, 1e40};
  ASSERT_EQ(TVmodifyLowerBounds(lp, 2, cols, lo), 0);
  ASSERT_EQ(TVmodifyUpperBounds(lp, 2, cols, up), 0) << "1e40 is stored as 1e30, which x1 already has";
  EXPECT_EQ(info(lp, TV_IINFO_MODEL_STATUS), TV_STATUS_OPTIMAL);
  EXPECT_EQ(info(lp, TV_IINFO_PRIMAL_STATUS), TV_STATUS_OPTIMAL);
  double changed[] = {1, 0};
  ASSERT_EQ(TVmodifyLowerBounds(lp, 2, cols, changed), 0);
  EXPECT_EQ(info(lp, TV_IINFO_MODEL_STATUS), TV_STATUS_LOADED);
  EXPECT_EQ(info(lp, TV_IINFO_PRIMAL_STATUS), TV_STATUS_UNKNOWN);
  EXPECT_EQ(info(lp, TV_IINFO_BASIC_STATUS), TV_STATUS_LOADED);
  EXPECT_EQ(snapshot(lp).lower[0], 1);
  EXPECT_CONSISTENT(lp);
}

TEST(ModifyBounds, NonbasicColumnsFollowTheirBounds) {
  SolvedLp lp;  // column statuses -2, -1, basic, -1; x3 is fixed at 1
  auto basis = [&] { return col_basis(lp, 4, 3); };
  int c0[] = {0}, c1[] = {1}, c2[] = {2}, c3[] = {3};
  double zero[] = {0}, three[] = {3}, minf[] = {-1e30}, pinf[] = {1e30}, four[] = {4};

  ASSERT_EQ(TVmodifyLowerBounds(lp, 1, c3, zero), 0);
  EXPECT_EQ(basis()[3], TV_BASTYPE_ATUP) << "a fixed column whose lower bound drops sits at its upper bound";
  ASSERT_EQ(TVmodifyUpperBounds(lp, 1, c3, pinf), 0);
  EXPECT_EQ(basis()[3], TV_BASTYPE_ATLO) << "no upper bound left: at the lower one";

  ASSERT_EQ(TVmodifyLowerBounds(lp, 1, c1, minf), 0);
  EXPECT_EQ(basis()[1], TV_BASTYPE_FNUL) << "both bounds gone: free at zero";
  ASSERT_EQ(TVmodifyUpperBounds(lp, 1, c1, three), 0);
  EXPECT_EQ(basis()[1], TV_BASTYPE_ATUP);
  ASSERT_EQ(TVmodifyLowerBounds(lp, 1, c1, minf), 0) << "unchanged: nothing to adjust";
  ASSERT_EQ(TVmodifyUpperBounds(lp, 1, c1, pinf), 0);
  EXPECT_EQ(basis()[1], TV_BASTYPE_FNUL);
  ASSERT_EQ(TVmodifyLowerBounds(lp, 1, c1, zero), 0);
  EXPECT_EQ(basis()[1], TV_BASTYPE_ATLO) << "a free column that gains a lower bound sits on it";

  ASSERT_EQ(TVmodifyUpperBounds(lp, 1, c0, pinf), 0);
  EXPECT_EQ(basis()[0], TV_BASTYPE_ATLO);
  ASSERT_EQ(TVmodifyLowerBounds(lp, 1, c0, minf), 0);
  EXPECT_EQ(basis()[0], TV_BASTYPE_FNUL);
  ASSERT_EQ(TVmodifyUpperBounds(lp, 1, c0, four), 0);
  EXPECT_EQ(basis()[0], TV_BASTYPE_ATUP) << "a free column that gains an upper bound sits on it";

  ASSERT_EQ(TVmodifyLowerBounds(lp, 1, c2, zero), 0);
  EXPECT_EQ(basis()[2], 0) << "basic columns stay basic";
  EXPECT_EQ(info(lp, TV_IINFO_BASIC_STATUS), TV_STATUS_LOADED);
  EXPECT_CONSISTENT(lp);
}

TEST(ModifyBounds, RefusalsAndClamping) {
  SmallLp lp;
  int sc[] = {2};
  double sclo[] = {1}, scup[] = {4};
  ASSERT_EQ(TVloadSemiContData(lp, 1, sc, sclo, scup), 0);
  const Snapshot before = snapshot(lp);
  int cols[] = {0, 2}, beyond[] = {4};
  double lo[] = {1, 2}, nan[] = {std::nan(""), 0};
  EXPECT_EQ(TVmodifyLowerBounds(lp, 2, cols, lo), 2047) << "x2 is semicontinuous";
  EXPECT_EQ(TVmodifyLowerBounds(lp, 1, beyond, lo), 2012);
  EXPECT_EQ(TVmodifyUpperBounds(lp, 1, beyond, lo), 2012);
  EXPECT_EQ(TVmodifyLowerBounds(lp, 1, cols, nan), 2024);
  EXPECT_EQ(TVmodifyUpperBounds(lp, 1, cols, nan), 2024);
  EXPECT_EQ(TVmodifyUpperBounds(lp, 1, cols, nullptr), 2010);
  EXPECT_CONSISTENT(lp);
  EXPECT_EQ(snapshot(lp), before);
  double up[] = {7};
  EXPECT_EQ(TVmodifyUpperBounds(lp, 1, sc, up), 0) << "a semicontinuous upper bound may change";
  double huge[] = {-1e40, 1e40};
  int both[] = {0, 0};
  ASSERT_EQ(TVmodifyLowerBounds(lp, 1, both, huge), 0);
  ASSERT_EQ(TVmodifyUpperBounds(lp, 1, both, huge + 1), 0);
  Snapshot s = snapshot(lp);
  EXPECT_EQ(s.lower[0], -1e30);
  EXPECT_EQ(s.upper[0], 1e30);
  EXPECT_EQ(s.upper[2], 7);
  EXPECT_CONSISTENT(lp);
}

TEST(ModifyAj, ChangesExistingEntriesAndAddsMissingOnes) {
  SmallLp lp;
  Snapshot before = snapshot(lp);
  int rows[] = {2, 1, 1};
  double vals[] = {-4, 6, 7};
  ASSERT_EQ(TVmodifyAj(lp, 0, 3, rows, vals), 0);
  EXPECT_CONSISTENT(lp);
  Snapshot s = snapshot(lp);
  before.entries[{2, 0}] = -4;
  before.entries[{1, 0}] = 7;
  EXPECT_EQ(s.entries, before.entries) << "row 1 was added once and took the last value";
  EXPECT_EQ(s.nz, 8);
  // Entries added to the first column of a packed matrix push the others along intact.
  int r[] = {1, 2};
  double v[] = {3, 3};
  ASSERT_EQ(TVmodifyAj(lp, 1, 2, r, v), 0);
  EXPECT_CONSISTENT(lp);
  before.entries[{1, 1}] = 3;
  before.entries[{2, 1}] = 3;
  EXPECT_EQ(snapshot(lp).entries, before.entries);

  const Snapshot kept = snapshot(lp);
  int beyond[] = {3};
  double nan[] = {std::nan("")};
  EXPECT_EQ(TVmodifyAj(lp, 0, 1, beyond, vals), 2012);
  EXPECT_EQ(TVmodifyAj(lp, 4, 1, rows, vals), 2012);
  EXPECT_EQ(TVmodifyAj(lp, -1, 1, rows, vals), 2012);
  EXPECT_EQ(TVmodifyAj(lp, 0, 1, rows, nan), 2024);
  EXPECT_EQ(TVmodifyAj(lp, 0, 1, nullptr, vals), 2010);
  EXPECT_CONSISTENT(lp);
  EXPECT_EQ(snapshot(lp), kept);
}

TEST(ModifyTypes, ConstraintTypesChangeOrAreRefused) {
  SmallLp lp;
  int rows[] = {0, 2};
  ASSERT_EQ(TVmodifyConstraintType(lp, 2, rows, "NG"), 0);
  EXPECT_EQ(snapshot(lp).ctype, "NEG");
  const Snapshot before = snapshot(lp);
  int beyond[] = {3};
  EXPECT_EQ(TVmodifyConstraintType(lp, 2, rows, "LX"), 2024) << "no row changes when one type is bad";
  EXPECT_EQ(TVmodifyConstraintType(lp, 1, beyond, "L"), 2012);
  EXPECT_EQ(TVmodifyConstraintType(lp, 1, rows, nullptr), 2010);
  EXPECT_CONSISTENT(lp);
  EXPECT_EQ(snapshot(lp), before);
}

TEST(ModifyTypes, VariableTypesFollowTheLoaderRules) {
  SmallLp lp;
  int cols[] = {1, 2};
  ASSERT_EQ(TVmodifyVariableType(lp, 2, cols, "IB"), 0);
  EXPECT_CONSISTENT(lp);
  Snapshot s = snapshot(lp);
  EXPECT_EQ(s.vtype, "CIBC") << "the type array is created with C for the others";
  EXPECT_EQ(s.lower[2], 0) << "a binary column lives in [0, 1]";
  EXPECT_EQ(s.upper[2], 1);

  int c3[] = {3}, both[] = {0, 3}, beyond[] = {4};
  double two[] = {2};
  ASSERT_EQ(TVmodifyLowerBounds(lp, 1, c3, two), 0);
  const Snapshot raised = snapshot(lp);
  EXPECT_EQ(TVmodifyVariableType(lp, 2, both, "IB"), 2047) << "x3 has lower bound 2";
  EXPECT_EQ(TVmodifyVariableType(lp, 1, c3, "Z"), 2041);
  EXPECT_EQ(TVmodifyVariableType(lp, 1, beyond, "C"), 2012);
  EXPECT_CONSISTENT(lp);
  EXPECT_EQ(snapshot(lp), raised) << "a refused list changes no column";

  // A semicontinuous type is stored as C with the column's bounds as its range.
  int c0[] = {0};
  ASSERT_EQ(TVmodifyVariableType(lp, 1, c0, "S"), 0);
  EXPECT_CONSISTENT(lp);
  int count = 0, var = -1;
  double sclo = -1, scup = -1;
  ASSERT_EQ(TVgetSemiContData(lp, &count, &var, &sclo, &scup), 0);
  EXPECT_EQ(count, 1);
  EXPECT_EQ(var, 0);
  EXPECT_EQ(scup, 10);
  EXPECT_EQ(snapshot(lp).vtype[0], 'C');
  // A binary column with equal bounds after clamping becomes continuous.
  double one[] = {1};
  ASSERT_EQ(TVmodifyLowerBounds(lp, 1, c3, one), 0);
  double up[] = {1};
  ASSERT_EQ(TVmodifyUpperBounds(lp, 1, c3, up), 0);
  ASSERT_EQ(TVmodifyVariableType(lp, 1, c3, "B"), 0);
  EXPECT_EQ(snapshot(lp).vtype[3], 'C');
  EXPECT_CONSISTENT(lp);
}

#ifdef TARVO_WHITE_BOX

namespace {

// A work object that records what it is offered and accepts or refuses it.
struct RecordingWork : tarvo::base::SolverWork {
  bool accept;
  int *calls;
  RecordingWork(bool a, int *c) : accept(a), calls(c) {}
  bool update_rhs(int, double) override { return ++*calls, accept; }
  bool update_cost(int, double) override { return ++*calls, accept; }
  bool update_bounds(int, double, double) override { return ++*calls, accept; }
  bool flip_row_type(int, char) override { return ++*calls, accept; }
};

}  // namespace

TEST(ModifyWarmStart, AcceptedChangesKeepTheWorkObjectAndRefusalsReleaseIt) {
  SmallLp lp;
  tvModel *m = lp;
  int calls = 0;
  int rows[] = {0, 1};
  double b[] = {3, 4};
  m->work = std::make_unique<RecordingWork>(true, &calls);
  ASSERT_EQ(TVmodifyRHS(lp, 2, rows, b), 0);
  EXPECT_EQ(calls, 2);
  EXPECT_NE(m->work, nullptr);
  ASSERT_EQ(TVmodifyConstraintType(lp, 1, rows, "L"), 0);
  EXPECT_NE(m->work, nullptr);
  m->work = std::make_unique<RecordingWork>(false, &calls);
  ASSERT_EQ(TVmodifyObjective(lp, 2, rows, b), 0);
  EXPECT_EQ(m->work, nullptr) << "a refused update releases the work object";
  m->work = std::make_unique<RecordingWork>(true, &calls);
  ASSERT_EQ(TVaddConstraints(lp, 1, "E", nullptr, nullptr, nullptr, nullptr, nullptr), 0);
  EXPECT_EQ(m->work, nullptr) << "structural changes always release it";
}

#endif
