// The smaller loaders: variable types, names, priorities (and their files),
// start points, solutions and model statuses, and the objective pool.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

#include "test_support.hpp"

using namespace tvtest;

namespace {

const double kNaN = std::numeric_limits<double>::quiet_NaN();

std::string consistency(pTVmodel model) {
  char why[256] = "";
  int code = TVcheckModelConsistency(model, why);
  return code == 0 ? "" : std::to_string(code) + ": " + why;
}

// Two rows (L, E) over three columns:
//   row 0: x0 + 2 x1 <= 4      row 1: 3 x0 + x2 = 5
class Loaded : public ::testing::Test {
 protected:
  EnvHandle env;
  ModelHandle model{env};
  std::vector<double> lower{0.5, -3, 2}, upper{0.5, 7, 9};

  void SetUp() override {
    std::vector<double> c{1, 2, 3}, b{4, 5};
    std::vector<int> start{0, 2, 3, 4};
    std::vector<int> rowidx{0, 1, 0, 1};
    std::vector<double> value{1, 3, 2, 1};
    ASSERT_EQ(TVloadLPData(model, 2, 3, TV_MIN, 10, c.data(), b.data(), "LE", 4, start.data(), nullptr,
                           value.data(), rowidx.data(), lower.data(), upper.data()),
              0);
  }

  void name_all() {
    char *cons[] = {const_cast<char *>("r0"), const_cast<char *>("r1")};
    char *vars[] = {const_cast<char *>("x"), const_cast<char *>("yy"), const_cast<char *>("zzz")};
    ASSERT_EQ(TVloadNameData(model, "demo", "cost", nullptr, nullptr, nullptr, cons, vars, nullptr), 0);
  }

  std::pair<double, double> bounds(int j) {
    double lo = kNaN, up = kNaN;
    EXPECT_EQ(TVgetLowerBoundj(model, j, &lo), 0);
    EXPECT_EQ(TVgetUpperBoundj(model, j, &up), 0);
    return {lo, up};
  }

  std::string types() {
    char t[4] = {0};
    EXPECT_EQ(TVgetVarType(model, t), 0);
    return std::string(t, 3);
  }
};

// ---- variable types ----

TEST_F(Loaded, BinaryTypesClampTheBoundsOrTurnContinuous) {
  char t[] = "BBI";
  ASSERT_EQ(TVloadVarType(model, t), 0);
  EXPECT_EQ(std::string(t), "CBI") << "a binary fixed at 0.5 becomes continuous, in the caller's array too";
  EXPECT_EQ(types(), "CBI");
  EXPECT_EQ(bounds(1), std::make_pair(0.0, 1.0));
  EXPECT_EQ(bounds(0), std::make_pair(0.5, 0.5));
  EXPECT_EQ(consistency(model), "");
}

TEST_F(Loaded, ARefusedTypeArrayLeavesTheBoundsAlone) {
  char out_of_range[] = "CBB";  // column 2 has lower bound 2
  EXPECT_EQ(TVloadVarType(model, out_of_range), 2047);
  EXPECT_EQ(bounds(1), std::make_pair(-3.0, 7.0)) << "the binary before the fault was not clamped";
  EXPECT_EQ(types(), "CCC") << "the type array is gone";
  char unknown[] = "CBX";
  EXPECT_EQ(TVloadVarType(model, unknown), 2041);
  EXPECT_EQ(bounds(1), std::make_pair(-3.0, 7.0));
  EXPECT_EQ(std::string(unknown), "CBX");
  EXPECT_EQ(consistency(model), "");

  char good[] = "IIC";
  ASSERT_EQ(TVloadVarType(model, good), 0);
  EXPECT_EQ(TVloadVarType(model, nullptr), 0);
  EXPECT_EQ(types(), "CCC") << "null removes every type";
  EXPECT_EQ(TVloadVarType(nullptr, good), 2010);
  EXPECT_EQ(consistency(model), "");
}

TEST_F(Loaded, SemicontinuousTypesGoToTheSemicontinuousStore) {
  char t[] = "CSI";
  ASSERT_EQ(TVloadVarType(model, t), 0);
  EXPECT_EQ(types(), "CCI") << "stored as continuous";
  int count = 0, var = -1;
  double lo = 0, up = 0;
  ASSERT_EQ(TVgetSemiContData(model, &count, &var, &lo, &up), 0);
  EXPECT_EQ(count, 1);
  EXPECT_EQ(var, 1);
  EXPECT_EQ(lo, -3);
  EXPECT_EQ(up, 7);
  EXPECT_EQ(bounds(1), std::make_pair(0.0, 7.0));
  EXPECT_EQ(consistency(model), "");

  char again[] = "CSC";
  EXPECT_EQ(TVloadVarType(model, again), 2030) << "semicontinuous data is already loaded";
  EXPECT_EQ(types(), "CCC");
  EXPECT_EQ(consistency(model), "");
}

// ---- names ----

int pool_lengths(pTVmodel model, int *var_len, int *con_len) {
  return TVgetDimensions(model, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, var_len,
                         con_len, nullptr);
}

TEST_F(Loaded, LoadedNamesCanBeLookedUp) {
  name_all();
  int j = -1, i = -1;
  EXPECT_EQ(TVgetVariableIndex(model, "yy", &j), 0);
  EXPECT_EQ(j, 1);
  EXPECT_EQ(TVgetConstraintIndex(model, "r1", &i), 0);
  EXPECT_EQ(i, 1);
  int var_len = 0, con_len = 0;
  ASSERT_EQ(pool_lengths(model, &var_len, &con_len), 0);
  EXPECT_EQ(var_len, 2 + 3 + 4);
  EXPECT_EQ(con_len, 3 + 3);
  char title[64] = "", obj[64] = "", rhs[64] = "?";
  ASSERT_EQ(TVgetNameData(model, title, obj, rhs, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr), 0);
  EXPECT_STREQ(title, "demo");
  EXPECT_STREQ(obj, "cost");
  EXPECT_STREQ(rhs, "");
  EXPECT_EQ(consistency(model), "");
}

TEST_F(Loaded, ReloadedNamesReplaceTheOldOnes) {
  name_all();
  int j = -1;
  ASSERT_EQ(TVgetVariableIndex(model, "zzz", &j), 0);  // builds the lookup table
  char *vars[] = {const_cast<char *>("a"), const_cast<char *>("b"), nullptr};
  ASSERT_EQ(TVloadNameData(model, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, vars, nullptr), 0);
  EXPECT_EQ(TVgetVariableIndex(model, "zzz", &j), 2068) << "the old lookup table is not used any more";
  EXPECT_EQ(TVgetVariableIndex(model, "b", &j), 0);
  EXPECT_EQ(j, 1);
  char name[64] = "?";
  EXPECT_EQ(TVgetVariableNamej(model, 2, name), 0);
  EXPECT_STREQ(name, "") << "a null name is an empty one";
  int var_len = 0, con_len = 0;
  ASSERT_EQ(pool_lengths(model, &var_len, &con_len), 0);
  EXPECT_EQ(var_len, 2 + 2 + 1);
  EXPECT_EQ(con_len, 6) << "constraint names untouched";
  char title[64] = "";
  ASSERT_EQ(TVgetNameData(model, title, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr), 0);
  EXPECT_STREQ(title, "demo") << "a single name not given is kept";
  EXPECT_EQ(TVloadNameData(nullptr, "t", nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr), 2010);
  EXPECT_EQ(consistency(model), "");
}

TEST_F(Loaded, ConeNamesNeedCones) {
  char *cones[] = {const_cast<char *>("k0")};
  ASSERT_EQ(TVloadNameData(model, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, cones), 0);
  int k = -1;
  EXPECT_EQ(TVgetConeIndex(model, "k0", &k), 2009) << "a model without cones keeps no cone names";
  const int starts[] = {0, 2}, cols[] = {1, 2};
  ASSERT_EQ(TVloadConeData(model, 1, "Q", nullptr, starts, cols), 0);
  ASSERT_EQ(TVloadNameData(model, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, cones), 0);
  EXPECT_EQ(TVgetConeIndex(model, "k0", &k), 0);
  EXPECT_EQ(k, 0);
  int len = 0;
  ASSERT_EQ(TVgetDimensions(model, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                            nullptr, &len),
            0);
  EXPECT_EQ(len, 3);
  EXPECT_EQ(consistency(model), "");
}

// ---- priorities ----

class Priorities : public Loaded {
 protected:
  std::string path = temp_path("prio.pri");
  std::string log;
  void TearDown() override { std::remove(path.c_str()); }

  std::string written(int mode = 1) {
    EXPECT_EQ(TVwriteVarPriorities(model, path.c_str(), mode), 0);
    return read_file(path);
  }

  static std::vector<int> numbers(const std::string &text) {
    std::istringstream in(text);
    std::vector<int> out;
    std::string name;
    int value;
    while (in >> name >> value) out.push_back(value);
    return out;
  }
};

std::string line(const std::string &name, int width, int priority) {
  char buf[128];
  std::snprintf(buf, sizeof buf, "  %-*s    %12d\n", width, name.c_str(), priority);
  return buf;
}

std::string unnamed_line(int number, int priority) {
  char buf[128];
  std::snprintf(buf, sizeof buf, "  C%-7d    %12d\n", number, priority);
  return buf;
}

TEST_F(Priorities, WrittenFileLayout) {
  name_all();
  int prio[] = {5, 0, 7};
  ASSERT_EQ(TVloadVarPriorities(model, prio), 0);
  EXPECT_EQ(written(), line("x", 13, 5) + line("yy", 13, 0) + line("zzz", 13, 7));

  char *vars[] = {const_cast<char *>("a_rather_long_name"), const_cast<char *>(""), const_cast<char *>("c")};
  ASSERT_EQ(TVloadNameData(model, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, vars, nullptr), 0);
  EXPECT_EQ(written(), line("a_rather_long_name", 23, 5) + unnamed_line(2, 0) + line("c", 23, 7))
      << "an unnamed variable is written by its 1-based number";
  EXPECT_EQ(unnamed_line(2, 0), "  C2                     0\n");
}

TEST_F(Priorities, WithoutPrioritiesADefaultIsWrittenReproducibly) {
  EXPECT_EQ(TVwriteVarPriorities(model, path.c_str(), 1), 2009);
  std::vector<int> perm = numbers(written(0));
  std::vector<int> sorted = perm;
  std::sort(sorted.begin(), sorted.end());
  EXPECT_EQ(sorted, (std::vector<int>{1, 2, 3})) << "mode 0 writes each of 1..n once";
  EXPECT_EQ(numbers(written(0)), perm) << "the same seed every time";
  std::vector<int> random = numbers(written(-4));
  ASSERT_EQ(random.size(), 3u);
  for (int v : random) {
    EXPECT_GE(v, 0);
    EXPECT_LE(v, 4);
  }
  EXPECT_EQ(numbers(written(-4)), random);
}

TEST_F(Priorities, NegativeEntriesAreSkippedAndReported) {
  int first[] = {4, 4, 4};
  ASSERT_EQ(TVloadVarPriorities(model, first), 0);
  int prio[] = {1, -2, 3};
  EXPECT_EQ(TVloadVarPriorities(model, prio), 2012);
  EXPECT_EQ(numbers(written()), (std::vector<int>{1, 4, 3})) << "the others are still taken";
  EXPECT_EQ(TVloadVarPriorities(model, nullptr), 0);
  EXPECT_EQ(TVwriteVarPriorities(model, path.c_str(), 1), 2009) << "null removes the priorities";
  EXPECT_EQ(consistency(model), "");
}

TEST_F(Priorities, ReadingTakesNamedPositivePriorities) {
  name_all();
  write_file(path, "yy 4\n  zzz   9 x -1\n");
  ASSERT_EQ(TVreadVarPriorities(model, path.c_str()), 0);
  EXPECT_EQ(numbers(written()), (std::vector<int>{0, 4, 9}));
  // What is written reads back to the same priorities.
  std::string text = written();
  int zero[] = {0, 0, 0};
  ASSERT_EQ(TVloadVarPriorities(model, zero), 0);
  ASSERT_EQ(TVreadVarPriorities(model, path.c_str()), 0);
  EXPECT_EQ(written(), text);
  EXPECT_EQ(consistency(model), "");
}

TEST_F(Priorities, AFaultyFileKeepsThePreviousPrioritiesAndIsLogged) {
  name_all();
  ASSERT_EQ(TVsetModelLogfunc(model, collect_model_log, &log), 0);
  int prio[] = {1, 2, 3};
  ASSERT_EQ(TVloadVarPriorities(model, prio), 0);

  write_file(path, "x 5\nnope 3\n");
  EXPECT_EQ(TVreadVarPriorities(model, path.c_str()), 2068);
  EXPECT_EQ(log, "\nWarning: " + message(2068) + " (token:'nope', error:2068)");
  EXPECT_EQ(numbers(written()), (std::vector<int>{1, 2, 3}));

  write_file(path, "x 5 yy four\n");
  EXPECT_EQ(TVreadVarPriorities(model, path.c_str()), 2025) << "a name without a whole number";
  write_file(path, "x 5 yy\n");
  EXPECT_EQ(TVreadVarPriorities(model, path.c_str()), 2025);
  EXPECT_EQ(numbers(written()), (std::vector<int>{1, 2, 3}));

  log.clear();
  std::string missing = temp_path("no_such_dir") + "/p.pri";
  EXPECT_EQ(TVreadVarPriorities(model, missing.c_str()), 2002);
  EXPECT_NE(log.find("error:2002)"), std::string::npos);
  EXPECT_EQ(TVwriteVarPriorities(model, missing.c_str(), 1), 2002);
  EXPECT_EQ(TVreadVarPriorities(model, nullptr), 2010);
  EXPECT_EQ(consistency(model), "");
}

TEST_F(Priorities, ReadingNeedsVariableNames) {
  write_file(path, "x 5\n");
  EXPECT_EQ(TVreadVarPriorities(model, path.c_str()), 2009);
}

TEST_F(Priorities, TheDefaultFileNameIsUsedForAnEmptyName) {
  ASSERT_EQ(TVsetModelLogfunc(model, collect_model_log, &log), 0);
  char cwd[4096];
  ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);
  std::string dir = temp_path("prio_dir");
  ASSERT_EQ(mkdir(dir.c_str(), 0700), 0);
  ASSERT_EQ(chdir(dir.c_str()), 0);
  int rc = TVwriteVarPriorities(model, "", 0);
  std::string text = read_file("tarvo.pri");
  std::remove("tarvo.pri");
  ASSERT_EQ(chdir(cwd), 0);
  rmdir(dir.c_str());
  EXPECT_EQ(rc, 0);
  EXPECT_EQ(numbers(text).size(), 3u);
  EXPECT_EQ(log, "\nExported variable priorities as 'tarvo.pri'");
}

// ---- start points ----

TEST_F(Loaded, FullStartPointsRoundTripAndAreChecked) {
  std::vector<double> x{1, 2, 3}, mip{7, 8, 9}, out(3, 0);
  EXPECT_EQ(TVgetVarStartPoint(model, out.data()), 2009);
  ASSERT_EQ(TVloadVarStartPoint(model, x.data()), 0);
  ASSERT_EQ(TVloadMIPVarStartPoint(model, mip.data()), 0);
  EXPECT_EQ(TVgetVarStartPoint(model, out.data()), 0);
  EXPECT_EQ(out, x);
  EXPECT_EQ(TVgetMIPVarStartPoint(model, out.data()), 0);
  EXPECT_EQ(out, mip) << "the two start points are separate";

  std::vector<double> bad{1, kNaN, 3};
  EXPECT_EQ(TVloadVarStartPoint(model, bad.data()), 2047);
  EXPECT_EQ(TVgetVarStartPoint(model, out.data()), 0);
  EXPECT_EQ(out, x) << "a refused point keeps the previous one";

  EXPECT_EQ(TVloadVarStartPoint(model, nullptr), 0);
  EXPECT_EQ(TVgetVarStartPoint(model, out.data()), 2009);
  EXPECT_EQ(TVgetMIPVarStartPoint(model, out.data()), 0);
  EXPECT_EQ(TVgetVarStartPoint(model, nullptr), 2010);
  EXPECT_EQ(consistency(model), "");
}

TEST_F(Loaded, PartialStartPointsRoundTripAndABadIndexLeavesNone) {
  int cols[] = {2, 0};
  double vals[] = {5, 6};
  int count = -1, got_cols[2] = {-1, -1};
  double got_vals[2] = {0, 0};
  ASSERT_EQ(TVloadVarStartPointPartial(model, 2, cols, vals), 0);
  ASSERT_EQ(TVgetVarStartPointPartial(model, &count, got_cols, got_vals), 0);
  EXPECT_EQ(count, 2);
  EXPECT_EQ(got_cols[0], 2);
  EXPECT_EQ(got_vals[1], 6);
  EXPECT_EQ(TVgetMIPVarStartPointPartial(model, &count, nullptr, nullptr), 2009);

  ASSERT_EQ(TVloadMIPVarStartPointPartial(model, 1, cols, vals), 0);
  EXPECT_EQ(TVgetMIPVarStartPointPartial(model, &count, nullptr, nullptr), 0);
  EXPECT_EQ(count, 1);

  int bad[] = {0, 3};
  EXPECT_EQ(TVloadVarStartPointPartial(model, 2, bad, vals), 2012);
  EXPECT_EQ(TVgetVarStartPointPartial(model, &count, nullptr, nullptr), 2009);
  EXPECT_EQ(TVloadMIPVarStartPointPartial(model, 1, nullptr, vals), 2010);
  EXPECT_EQ(TVgetMIPVarStartPointPartial(model, &count, nullptr, nullptr), 0) << "unchanged by a null array";
  EXPECT_EQ(TVloadMIPVarStartPointPartial(model, 0, nullptr, nullptr), 0);
  EXPECT_EQ(TVgetMIPVarStartPointPartial(model, &count, nullptr, nullptr), 2009) << "count 0 removes it";
  EXPECT_EQ(consistency(model), "");
}

// ---- solutions and statuses ----

TEST_F(Loaded, ALoadedSolutionDerivesSlacksAndObjective) {
  std::vector<double> x{1, 1, 2}, duals{0.5, -1}, rc{0, 0, 1};
  ASSERT_EQ(TVloadSolution(model, TV_STATUS_OPTIMAL, x.data(), duals.data(), nullptr, rc.data()), 0);
  EXPECT_EQ(consistency(model), "");
  std::vector<double> got(3, kNaN), slacks(2, kNaN), got_duals(2, kNaN);
  ASSERT_EQ(TVgetPrimalSolution(model, got.data()), 0);
  EXPECT_EQ(got, x);
  ASSERT_EQ(TVgetSlacks(model, slacks.data()), 0);
  EXPECT_EQ(slacks, (std::vector<double>{4 - 3, 5 - 5})) << "slack = b - Ax";
  ASSERT_EQ(TVgetDualSolution(model, got_duals.data()), 0);
  EXPECT_EQ(got_duals, duals);
  double obj = 0;
  ASSERT_EQ(TVgetObjective(model, &obj), 0);
  EXPECT_EQ(obj, 10 + 1 + 2 + 6);
  int status = 0;
  ASSERT_EQ(TVgetInfo(model, TV_IINFO_MODEL_STATUS, &status), 0);
  EXPECT_EQ(status, TV_STATUS_OPTIMAL);
  ASSERT_EQ(TVgetInfo(model, TV_IINFO_PRIMAL_STATUS, &status), 0);
  EXPECT_EQ(status, TV_STATUS_OPTIMAL);
  double pinf = -1;
  ASSERT_EQ(TVgetInfo(model, TV_DINFO_PINFEAS, &pinf), 0);
  EXPECT_DOUBLE_EQ(pinf, 0.5) << "x0 = 1 lies above its upper bound 0.5";
}

TEST_F(Loaded, APrimalSolutionReplacesTheRecordAsAWhole) {
  std::vector<double> x{1, 1, 2}, duals{0.5, -1};
  ASSERT_EQ(TVloadSolution(model, TV_STATUS_OPTIMAL, x.data(), duals.data(), nullptr, nullptr), 0);
  std::vector<double> y{0.5, 0, 3};
  ASSERT_EQ(TVloadPrimalSolution(model, TV_STATUS_FEASIBLE, y.data()), 0);
  std::vector<double> got(3), got_duals(2);
  ASSERT_EQ(TVgetPrimalSolution(model, got.data()), 0);
  EXPECT_EQ(got, y);
  EXPECT_EQ(TVgetDualSolution(model, got_duals.data()), 2009) << "no duals were given this time";
  int status = 0;
  ASSERT_EQ(TVgetInfo(model, TV_IINFO_MODEL_STATUS, &status), 0);
  EXPECT_EQ(status, TV_STATUS_FEASIBLE);
  EXPECT_EQ(consistency(model), "");
}

TEST_F(Loaded, SolutionLoadersRefuseBadStatusesAndNaN) {
  std::vector<double> x{1, 1, 2};
  ASSERT_EQ(TVloadPrimalSolution(model, TV_STATUS_OPTIMAL, x.data()), 0);
  for (int status : {0, 9, 14, -1}) {
    EXPECT_EQ(TVloadPrimalSolution(model, status, x.data()), 2025) << status;
    EXPECT_EQ(TVloadSolution(model, status, x.data(), nullptr, nullptr, nullptr), 2025) << status;
  }
  std::vector<double> bad{1, kNaN, 2};
  EXPECT_EQ(TVloadPrimalSolution(model, TV_STATUS_FEASIBLE, bad.data()), 2047);
  std::vector<double> bad_duals{kNaN, 0};
  EXPECT_EQ(TVloadSolution(model, TV_STATUS_FEASIBLE, x.data(), bad_duals.data(), nullptr, nullptr), 2047);
  int status = 0;
  ASSERT_EQ(TVgetInfo(model, TV_IINFO_MODEL_STATUS, &status), 0);
  EXPECT_EQ(status, TV_STATUS_OPTIMAL) << "refused loads keep the previous record";
  std::vector<double> got(3);
  ASSERT_EQ(TVgetPrimalSolution(model, got.data()), 0);
  EXPECT_EQ(got, x);

  ModelHandle empty(env);
  EXPECT_EQ(TVloadPrimalSolution(empty, TV_STATUS_OPTIMAL, x.data()), 2031);
  EXPECT_EQ(TVloadSolution(nullptr, TV_STATUS_OPTIMAL, x.data(), nullptr, nullptr, nullptr), 2010);
  EXPECT_EQ(consistency(model), "");
  EXPECT_EQ(consistency(empty), "");
}

TEST_F(Loaded, ModelStatusAndErrorCodeAreChecked) {
  int status = TV_STATUS_INFEASIBLE, code = 2019;
  ASSERT_EQ(TVloadModelStatus(model, &status, &code), 0);
  int got = 0;
  ASSERT_EQ(TVgetInfo(model, TV_IINFO_MODEL_STATUS, &got), 0);
  EXPECT_EQ(got, TV_STATUS_INFEASIBLE);
  for (int bad_code : {2000, 2751, -1, 1}) {
    code = bad_code;
    EXPECT_EQ(TVloadModelStatus(model, &status, &code), 2025) << bad_code;
  }
  code = 0;
  for (int bad_status : {0, 9, 13, 15}) {
    status = bad_status;
    EXPECT_EQ(TVloadModelStatus(model, &status, &code), 2025) << bad_status;
  }
  status = TV_STATUS_LOADED;
  EXPECT_EQ(TVloadModelStatus(model, &status, &code), 0);
  EXPECT_EQ(TVloadModelStatus(model, nullptr, &code), 2010);
  EXPECT_EQ(TVloadModelStatus(model, &status, nullptr), 2010);
  ASSERT_EQ(TVgetInfo(model, TV_IINFO_MODEL_STATUS, &got), 0);
  EXPECT_EQ(got, TV_STATUS_LOADED);
  EXPECT_EQ(consistency(model), "");
}

// ---- objective pool ----

class Pool : public Loaded {
 protected:
  std::vector<double> c{1, 1, 1};

  double param(int index, int item) {
    double v = kNaN;
    EXPECT_EQ(TVgetObjPoolParam(model, index, item, &v), 0);
    return v;
  }
};

TEST_F(Pool, AddingChecksRankSenseAndTolerance) {
  EXPECT_EQ(TVaddObjPool(model, c.data(), TV_MIN, 0, 0.1), 2024);
  EXPECT_EQ(TVaddObjPool(model, c.data(), 0, 1, 0.1), 2024);
  EXPECT_EQ(TVaddObjPool(model, c.data(), TV_MIN, 1, 1), 2024);
  EXPECT_EQ(TVaddObjPool(model, c.data(), TV_MIN, 1, -0.5), 2024);
  EXPECT_EQ(TVaddObjPool(model, c.data(), TV_MIN, 1, kNaN), 2024);
  EXPECT_EQ(TVaddObjPool(model, nullptr, TV_MIN, 1, 0.1), 2010);
  std::vector<double> bad{1, kNaN, 1};
  EXPECT_EQ(TVaddObjPool(model, bad.data(), TV_MIN, 1, 0.1), 2047);
  double dummy;
  EXPECT_EQ(TVgetObjPoolParam(model, 0, TV_DINFO_OBJWEIGHT, &dummy), 2009) << "nothing was added";

  ASSERT_EQ(TVsetModelDouParameter(model, TV_DPARAM_MIP_RELOPTTOL, 1e-4), 0);
  ASSERT_EQ(TVaddObjPool(model, c.data(), TV_MAX, 2, -1), 0);
  EXPECT_EQ(param(0, TV_DINFO_OBJRELTOL), 1e-4) << "-1 takes the model's relative tolerance";
  ASSERT_EQ(TVaddObjPool(model, c.data(), TV_MIN, 1, 0), 0);
  EXPECT_EQ(param(1, TV_DINFO_OBJRELTOL), 2.220446049250313e-16);
  EXPECT_EQ(param(0, TV_IINFO_OBJSENSE), TV_MAX);
  EXPECT_EQ(param(0, TV_IINFO_OBJRANK), 2);
  EXPECT_EQ(param(0, TV_DINFO_OBJWEIGHT), 1);
  EXPECT_EQ(param(0, TV_DINFO_OBJABSTOL), 0);
  EXPECT_EQ(consistency(model), "");
}

TEST_F(Pool, QuadraticModelsHaveNoPool) {
  int row = -1, col = 0;
  double coef = 1;
  ASSERT_EQ(TVloadQCData(model, 1, &row, &col, &col, &coef), 0);
  EXPECT_EQ(TVaddObjPool(model, c.data(), TV_MIN, 1, 0.1), 2029);
}

TEST_F(Pool, AddedObjectivesAreLoggedAtPrintLevelThree) {
  std::string log;
  ASSERT_EQ(TVsetModelLogfunc(model, collect_model_log, &log), 0);
  ASSERT_EQ(TVsetModelIntParameter(model, TV_IPARAM_LP_PRINTLEVEL, 2), 0);
  ASSERT_EQ(TVsetModelIntParameter(model, TV_IPARAM_MIP_PRINTLEVEL, 2), 0);
  ASSERT_EQ(TVaddObjPool(model, c.data(), TV_MIN, 1, 0.5), 0);
  EXPECT_EQ(log, "");
  ASSERT_EQ(TVsetModelIntParameter(model, TV_IPARAM_LP_PRINTLEVEL, 3), 0);
  ASSERT_EQ(TVaddObjPool(model, c.data(), TV_MAX, 4, 0.01), 0);
  EXPECT_EQ(log, "\nAdded obj 1, rank:4, wgt:1, abstol:0, reltol:0.01, sense:-1");
}

TEST_F(Pool, RemovingMovesTheLastEntryIntoTheGap) {
  EXPECT_EQ(TVremObjPool(model, 0), 2009) << "no pool yet";
  for (int rank : {1, 2, 3}) ASSERT_EQ(TVaddObjPool(model, c.data(), TV_MIN, rank, 0.1), 0);
  ASSERT_EQ(TVremObjPool(model, 0), 0);
  EXPECT_EQ(param(0, TV_IINFO_OBJRANK), 3);
  EXPECT_EQ(param(1, TV_IINFO_OBJRANK), 2);
  EXPECT_EQ(TVremObjPool(model, 2), 2012);
  EXPECT_EQ(TVremObjPool(model, -1), 2012);
  ASSERT_EQ(TVremObjPool(model, 1), 0);
  ASSERT_EQ(TVremObjPool(model, 0), 0);
  EXPECT_EQ(TVremObjPool(model, 0), 2087) << "the pool exists but is empty";
  EXPECT_EQ(TVsetObjPoolName(model, 0, "a"), 2087);
  ASSERT_EQ(TVfreeObjPool(model), 0);
  EXPECT_EQ(TVremObjPool(model, 0), 2009);
  EXPECT_EQ(TVfreeObjPool(nullptr), 2010);
  EXPECT_EQ(consistency(model), "");
}

TEST_F(Pool, NamesAreShortAndUnique) {
  EXPECT_EQ(TVsetObjPoolName(model, 0, "a"), 2009);
  ASSERT_EQ(TVaddObjPool(model, c.data(), TV_MIN, 1, 0.1), 0);
  ASSERT_EQ(TVaddObjPool(model, c.data(), TV_MIN, 2, 0.1), 0);
  EXPECT_EQ(TVsetObjPoolName(model, 0, nullptr), 2010);
  EXPECT_EQ(TVsetObjPoolName(model, 0, std::string(33, 'n').c_str()), 2061);
  EXPECT_EQ(TVsetObjPoolName(model, 0, std::string(32, 'n').c_str()), 0);
  EXPECT_EQ(TVsetObjPoolName(model, 1, std::string(32, 'n').c_str()), 2025) << "already names entry 0";
  EXPECT_EQ(TVsetObjPoolName(model, 0, std::string(32, 'n').c_str()), 0) << "renaming to its own name is fine";
  EXPECT_EQ(TVsetObjPoolName(model, 5, "b"), 2012);
}

TEST_F(Pool, ParametersAndTheTypedInformationView) {
  ASSERT_EQ(TVaddObjPool(model, c.data(), TV_MIN, 1, 0.1), 0);
  EXPECT_EQ(TVsetObjPoolParam(model, 0, TV_DINFO_OBJWEIGHT, 2.5), 0);
  EXPECT_EQ(TVsetObjPoolParam(model, 0, TV_DINFO_OBJABSTOL, 1e-3), 0);
  EXPECT_EQ(TVsetObjPoolParam(model, 0, TV_DINFO_OBJRELTOL, 0), 0);
  EXPECT_EQ(TVsetObjPoolParam(model, 0, TV_IINFO_OBJRANK, 7), 0);
  EXPECT_EQ(TVsetObjPoolParam(model, 0, TV_IINFO_OBJSENSE, TV_MAX), 0);
  EXPECT_EQ(param(0, TV_DINFO_OBJWEIGHT), 2.5);
  EXPECT_EQ(param(0, TV_DINFO_OBJABSTOL), 1e-3);
  EXPECT_EQ(param(0, TV_DINFO_OBJRELTOL), 2.220446049250313e-16);
  EXPECT_EQ(param(0, TV_IINFO_OBJRANK), 7);
  EXPECT_EQ(param(0, TV_IINFO_OBJSENSE), TV_MAX);

  struct Bad {
    int item;
    double value;
  };
  for (Bad b : {Bad{TV_DINFO_OBJWEIGHT, kNaN}, Bad{TV_DINFO_OBJABSTOL, -1}, Bad{TV_DINFO_OBJABSTOL, kNaN},
                Bad{TV_DINFO_OBJRELTOL, 1}, Bad{TV_IINFO_OBJRANK, 0}, Bad{TV_IINFO_OBJRANK, 1.5},
                Bad{TV_IINFO_OBJSENSE, 0}})
    EXPECT_EQ(TVsetObjPoolParam(model, 0, b.item, b.value), 2024) << b.item << " " << b.value;
  EXPECT_EQ(param(0, TV_IINFO_OBJRANK), 7) << "refused values change nothing";
  EXPECT_EQ(TVsetObjPoolParam(model, 0, TV_IINFO_NUM_VARS, 1), 2074);
  double v;
  EXPECT_EQ(TVgetObjPoolParam(model, 0, TV_IINFO_NUM_VARS, &v), 2074);
  EXPECT_EQ(TVgetObjPoolParam(model, 1, TV_DINFO_OBJWEIGHT, &v), 2012);
  EXPECT_EQ(TVgetObjPoolParam(model, 0, TV_DINFO_OBJWEIGHT, nullptr), 2010);

  int rank = 3;
  ASSERT_EQ(TVsetObjPoolInfo(model, 0, TV_IINFO_OBJRANK, &rank), 0);
  EXPECT_EQ(param(0, TV_IINFO_OBJRANK), 3);
  double weight = 0.25;
  ASSERT_EQ(TVsetObjPoolInfo(model, 0, TV_DINFO_OBJWEIGHT, &weight), 0);
  int sense = 0;
  ASSERT_EQ(TVgetObjPoolInfo(model, 0, TV_IINFO_OBJSENSE, &sense), 0);
  EXPECT_EQ(sense, TV_MAX);
  double got = 0;
  ASSERT_EQ(TVgetObjPoolInfo(model, 0, TV_DINFO_OBJWEIGHT, &got), 0);
  EXPECT_EQ(got, 0.25);
  EXPECT_EQ(TVgetObjPoolInfo(model, 0, TV_IINFO_NUM_VARS, &got), 2009);
  EXPECT_EQ(TVgetObjPoolInfo(model, 0, TV_DINFO_OBJWEIGHT, nullptr), 2010);
}

TEST_F(Pool, StoredSolutionsAreCountedAndLoadedByIndex) {
  EXPECT_EQ(TVloadSolutionAt(model, 0, 0), 2009);
  ASSERT_EQ(TVaddObjPool(model, c.data(), TV_MIN, 1, 0.1), 0);
  int count = -1;
  ASSERT_EQ(TVgetObjPoolNumSol(model, 0, &count), 0);
  EXPECT_EQ(count, 0);
  EXPECT_EQ(TVgetObjPoolNumSol(model, 1, &count), 2012);
  EXPECT_EQ(TVgetObjPoolNumSol(model, 0, nullptr), 2010);
  EXPECT_EQ(TVloadSolutionAt(model, 0, 0), 2012) << "the objective has no stored solution";
  EXPECT_EQ(TVloadSolutionAt(model, 1, 0), 2012);
}

TEST_F(Pool, ThePoolFollowsAChangeOfVariableTypes) {
  ASSERT_EQ(TVaddObjPool(model, c.data(), TV_MIN, 5, 0.1), 0);
  char t[] = "CIC";
  ASSERT_EQ(TVloadVarType(model, t), 0);
  EXPECT_EQ(param(0, TV_IINFO_OBJRANK), 5) << "the objective is still reachable in the integer model";
  ASSERT_EQ(TVaddObjPool(model, c.data(), TV_MIN, 6, 0.1), 0);
  EXPECT_EQ(param(1, TV_IINFO_OBJRANK), 6);
  ASSERT_EQ(TVloadVarType(model, nullptr), 0);
  EXPECT_EQ(param(0, TV_IINFO_OBJRANK), 5);
  EXPECT_EQ(param(1, TV_IINFO_OBJRANK), 6);
  EXPECT_EQ(consistency(model), "");
}

}  // namespace
