// IIS analysis through the public header: every reported set is checked by
// solving its sub-model independently, for every filter method and norm.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "lp_description.hpp"
#include "tarvo.h"
#include "test_support.hpp"

using iistest::LpDescription;

namespace {

constexpr double kInf = TV_INFINITY;

LpDescription two_rows() {  // x >= 2 and x <= 1
  LpDescription s(1, -kInf, kInf);
  s.add({{0, 1}}, 'G', 2);
  s.add({{0, 1}}, 'L', 1);
  return s;
}

LpDescription row_against_bounds() {  // x + y >= 10 with x <= 3, y <= 4
  LpDescription s(3, 0, kInf);
  s.upper = {3, 4, 100};
  s.add({{0, 1}, {1, 1}}, 'G', 10);
  s.add({{0, 1}, {2, 1}}, 'L', 50);
  s.add({{1, 2}, {2, -1}}, 'L', 20);
  return s;
}

LpDescription cycle_with_distractors() {  // x1-x2 >= 1, x2-x3 >= 1, x3-x1 >= 1 among feasible rows
  LpDescription s(6, -10, 10);
  s.add({{3, 1}, {4, 1}}, 'L', 5);
  s.add({{0, 1}, {1, -1}}, 'G', 1);
  s.add({{4, 1}, {5, 2}}, 'G', -3);
  s.add({{1, 1}, {2, -1}}, 'G', 1);
  s.add({{0, 1}, {3, 1}, {5, 1}}, 'E', 2);
  s.add({{2, 1}, {0, -1}}, 'G', 1);
  s.add({{3, 1}, {5, -1}}, 'G', -4);
  return s;
}

// Supply 10 at node 0 must reach node 3 through arcs of capacity 3, 2, 2.
LpDescription infeasible_flow() {
  // arcs: 0->1 (x0), 0->2 (x1), 1->3 (x2), 2->3 (x3), 1->2 (x4)
  LpDescription s(5, 0, kInf);
  s.upper = {3, 2, 6, 6, 5};
  s.add({{0, 1}, {1, 1}}, 'E', 10);              // node 0 sends 10
  s.add({{0, 1}, {2, -1}, {4, -1}}, 'E', 0);     // node 1
  s.add({{1, 1}, {3, -1}, {4, 1}}, 'E', 0);      // node 2
  s.add({{2, 1}, {3, 1}}, 'E', 10);              // node 3 receives 10
  return s;
}

// Two conflicts that do not share a column.
LpDescription two_conflicts() {
  LpDescription s(4, 0, 10);
  s.add({{0, 1}, {1, 1}}, 'G', 8);
  s.add({{0, 1}, {1, 1}}, 'L', 5);
  s.add({{2, 1}, {3, -1}}, 'G', 3);
  s.add({{2, 1}}, 'L', 1);
  s.add({{0, 1}, {2, 1}}, 'L', 20);
  return s;
}

struct Host {
  tvtest::EnvHandle env;
  tvtest::ModelHandle model{env};
  std::string log;
  explicit Host(const LpDescription &s, int print_level = 0) {
    EXPECT_EQ(iistest::load(model, s), 0);
    TVsetModelIntParameter(model, TV_IPARAM_IIS_PRINT_LEVEL, print_level);
    TVsetModelLogfunc(model, tvtest::collect_model_log, &log);
  }
};

struct Case {
  const char *name;
  LpDescription (*make)();
};

const Case kCases[] = {{"two_rows", two_rows},
                       {"row_against_bounds", row_against_bounds},
                       {"cycle", cycle_with_distractors},
                       {"flow", infeasible_flow},
                       {"two_conflicts", two_conflicts}};

class EveryMethod : public ::testing::TestWithParam<int> {};

TEST_P(EveryMethod, RowsAloneAreInfeasibleAndIrreducible) {
  for (const Case &c : kCases) {
    const LpDescription s = c.make();
    Host h(s);
    TVsetModelIntParameter(h.model, TV_IPARAM_IIS_METHOD, GetParam());
    ASSERT_EQ(TVfindIIS(h.model, 1), 0) << c.name;
    int nbounds = -1;
    TVgetIIS(h.model, nullptr, nullptr, nullptr, nullptr, &nbounds, nullptr, nullptr);
    EXPECT_EQ(nbounds, 0) << c.name << ": level 1 analyses rows only";
    EXPECT_EQ(iistest::check_iis(h.env, h.model, s, false), "") << c.name;
  }
}

TEST_P(EveryMethod, RowsAndBoundsAreInfeasibleAndIrreducible) {
  for (const Case &c : kCases) {
    const LpDescription s = c.make();
    Host h(s);
    TVsetModelIntParameter(h.model, TV_IPARAM_IIS_METHOD, GetParam());
    ASSERT_EQ(TVfindIIS(h.model, 3), 0) << c.name;
    int suf_r = -1, suf_c = -1;
    TVgetIIS(h.model, &suf_r, nullptr, nullptr, &suf_c, nullptr, nullptr, nullptr);
    EXPECT_EQ(suf_r + suf_c, 0) << c.name << ": a full run leaves nothing undecided";
    EXPECT_EQ(iistest::check_iis(h.env, h.model, s, true), "") << c.name;
  }
}

INSTANTIATE_TEST_SUITE_P(Methods, EveryMethod, ::testing::Values(0, 1, 2, 3, 4, 5, 6));

TEST(IisFinder, ContradictoryPairIsTheWholeIis) {
  Host h(two_rows());
  ASSERT_EQ(TVfindIIS(h.model, 0), 0);
  int suf = -1, nrows = -1, rows[2] = {-1, -1};
  ASSERT_EQ(TVgetIIS(h.model, &suf, &nrows, rows, nullptr, nullptr, nullptr, nullptr), 0);
  EXPECT_EQ(suf, 0);
  ASSERT_EQ(nrows, 2);
  EXPECT_EQ(rows[0] + rows[1], 1);
}

TEST(IisFinder, EveryNormGivesAnIrreducibleSet) {
  for (int norm = 0; norm <= 4; ++norm)
    for (int sfilter : {0, 1}) {
      const LpDescription s = row_against_bounds();
      Host h(s);
      TVsetModelIntParameter(h.model, TV_IPARAM_IIS_INFEAS_NORM, norm);
      TVsetModelIntParameter(h.model, TV_IPARAM_IIS_USE_SFILTER, sfilter);
      TVsetModelIntParameter(h.model, TV_IPARAM_IIS_USE_EFILTER, norm == 1);
      ASSERT_EQ(TVfindIIS(h.model, 3), 0) << norm;
      EXPECT_EQ(iistest::check_iis(h.env, h.model, s, true), "") << "norm " << norm;
    }
}

TEST(IisFinder, RankingAndBlockOptionsKeepTheSetIrreducible) {
  for (int bits : {32, 64, 128, 64 | 128}) {
    const LpDescription s = two_conflicts();
    Host h(s);
    ASSERT_EQ(TVfindIIS(h.model, 3 | bits), 0) << bits;
    EXPECT_EQ(iistest::check_iis(h.env, h.model, s, true), "") << bits;
  }
}

TEST(IisFinder, SufficientOnlyLevelReportsAnInfeasibleSet) {
  const LpDescription s = cycle_with_distractors();
  Host h(s);
  ASSERT_EQ(TVfindIIS(h.model, 4), 0);
  int suf = -1, nrows = -1;
  std::vector<int> rows(s.rows.size());
  ASSERT_EQ(TVgetIIS(h.model, &suf, &nrows, rows.data(), nullptr, nullptr, nullptr, nullptr), 0);
  EXPECT_EQ(suf, nrows);
  iistest::Part p;
  p.rows.assign(rows.begin(), rows.begin() + nrows);
  EXPECT_EQ(iistest::solve_part(h.env, s, p), iistest::Outcome::kInfeasible);
}

TEST(IisFinder, LogShowsHeaderPhasesAndFinalBlock) {
  Host h(row_against_bounds(), 3);
  ASSERT_EQ(TVfindIIS(h.model, 3), 0);
  for (const char *line : {"IIS finder version ..........: 9.0.16", "Analysis method .............: Deletion Filter",
                           "Searching for necessary constraints.", "Searching for necessary variable bounds.",
                           "IIS final results", "Number of necessary  rows   =        1",
                           "Number of necessary  bounds =        2", "DF kept row 0"})
    EXPECT_NE(h.log.find(line), std::string::npos) << line;
}

// Integer models: 2x + 2y = 3 has no integer solution but a continuous one.
LpDescription parity_mip() {
  LpDescription s(3, 0, 5);
  s.add({{0, 2}, {1, 2}}, 'E', 3);
  s.add({{0, 1}, {2, 1}}, 'L', 4);
  s.add({{1, 1}, {2, 1}}, 'L', 9);
  s.vtype = "IIC";
  return s;
}

TEST(IisFinder, IntegerModelWithFeasibleRelaxationKeepsIntegrality) {
  const LpDescription s = parity_mip();
  Host h(s, 1);
  ASSERT_EQ(TVfindIIS(h.model, 1), 0);
  EXPECT_NE(h.log.find("Continuous model is not infeasible"), std::string::npos);
  EXPECT_EQ(iistest::check_iis(h.env, h.model, s, false, false), "");
}

TEST(IisFinder, IntegralityRestrictionsAsCandidates) {
  const LpDescription s = parity_mip();
  for (int method = 1; method <= 6; ++method) {
    Host h(s);
    TVsetModelIntParameter(h.model, TV_IPARAM_IIS_METHOD, method);
    ASSERT_EQ(TVfindIIS(h.model, 1 | 16), 0) << method;
    int suf = -1, nints = -1, ints[3];
    ASSERT_EQ(TVgetIISInts(h.model, &suf, &nints, ints), 0);
    EXPECT_EQ(nints, 2) << method;
    EXPECT_EQ(iistest::check_iis(h.env, h.model, s, false, true), "") << method;
    // The integrality view of TVgetIIS.
    TVsetModelIntParameter(h.model, TV_IPARAM_IIS_GETMODE, 1);
    int ncols = -1;
    TVgetIIS(h.model, nullptr, nullptr, nullptr, nullptr, &ncols, nullptr, nullptr);
    EXPECT_EQ(ncols, 2);
  }
}

TEST(IisFinder, IntegerModelWithInfeasibleRelaxationIsAnalysedContinuously) {
  LpDescription s = two_conflicts();
  s.vtype = "IIII";
  Host h(s, 1);
  ASSERT_EQ(TVfindIIS(h.model, 1), 0);
  EXPECT_NE(h.log.find("Continuous model is infeasible"), std::string::npos);
  EXPECT_EQ(iistest::check_iis(h.env, h.model, s, false, false), "");
}

// --- bad input, limits and the state left behind ---

TEST(IisFinder, RefusesNullUnloadedAndAnswersNothingBeforeARun) {
  tvtest::EnvHandle env;
  tvtest::ModelHandle model(env);
  EXPECT_EQ(TVfindIIS(nullptr, 0), 2010);
  EXPECT_EQ(TVgetIIS(nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr), 2010);
  EXPECT_EQ(TVfindIIS(model, 0), 2031);
  EXPECT_EQ(TVgetIIS(model, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr), 2009);
  ASSERT_EQ(iistest::load(model, two_rows()), 0);
  EXPECT_EQ(TVgetIIS(model, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr), 2009);
  EXPECT_EQ(TVgetIISInts(model, nullptr, nullptr, nullptr), 2009);
  EXPECT_EQ(TVgetIISSETs(model, nullptr, nullptr, nullptr), 2009);
  EXPECT_EQ(TVwriteIIS(model, tvtest::temp_path("none.iis").c_str()), 2009);
  EXPECT_EQ(TVwriteIIS(model, nullptr), 2010);
}

TEST(IisFinder, FeasibleModelEndsWithoutAnIis) {
  LpDescription s(2, 0, 10);
  s.add({{0, 1}, {1, 1}}, 'L', 5);
  Host h(s, 1);
  ASSERT_EQ(TVfindIIS(h.model, 3), 0);
  int nrows = -1, ncols = -1;
  ASSERT_EQ(TVgetIIS(h.model, nullptr, &nrows, nullptr, nullptr, &ncols, nullptr, nullptr), 0);
  EXPECT_EQ(nrows + ncols, 0);
  EXPECT_NE(h.log.find("Augmented model is not infeasible"), std::string::npos);
}

TEST(IisFinder, SetsAreDroppedAndNamedAsTheCause) {
  // x + y >= 1.5 in [0,1]^2 is infeasible only under an SOS1 set {x, y}.
  LpDescription s(2, 0, 1);
  s.add({{0, 1}, {1, 1}}, 'G', 1.5);
  Host h(s, 1);
  const char type = 1;  // SOS1
  const int starts[2] = {0, 2}, cols[2] = {0, 1};
  ASSERT_EQ(TVloadSETSData(h.model, 1, &type, nullptr, starts, cols), 0);
  ASSERT_EQ(TVfindIIS(h.model, 1), 0);
  EXPECT_NE(h.log.find("Dropping all SOS/CARD/SC/ALLDIFF from the model temporarily."), std::string::npos);
  EXPECT_NE(h.log.find("SOS/CARD/SC are the cause of infeasibility"), std::string::npos);
  int nrows = -1;
  ASSERT_EQ(TVgetIIS(h.model, nullptr, &nrows, nullptr, nullptr, nullptr, nullptr, nullptr), 0);
  EXPECT_EQ(nrows, 0);
  // With a conflict of its own the relaxed model is analysed.
  LpDescription t = s;
  t.add({{0, 1}, {1, 1}}, 'L', 1.0);
  Host g(t, 1);
  ASSERT_EQ(TVloadSETSData(g.model, 1, &type, nullptr, starts, cols), 0);
  ASSERT_EQ(TVfindIIS(g.model, 1), 0);
  EXPECT_NE(g.log.find("Isolating an IIS for relaxed model"), std::string::npos);
  EXPECT_EQ(iistest::check_iis(g.env, g.model, t, false), "");
}

TEST(IisFinder, StartsFromTheBasisOfAnEarlierSolve) {
  const LpDescription s = cycle_with_distractors();
  Host h(s);
  int status = 0;
  ASSERT_EQ(TVoptimize(h.model, TV_METHOD_FREE, &status), 0);
  ASSERT_EQ(status, TV_STATUS_INFEASIBLE);
  for (int method = 1; method <= 6; ++method) {
    TVsetModelIntParameter(h.model, TV_IPARAM_IIS_METHOD, method);
    ASSERT_EQ(TVfindIIS(h.model, 3), 0);
    EXPECT_EQ(iistest::check_iis(h.env, h.model, s, true), "") << method;
  }
}

int solve_file(pTVenv env, const std::string &path, int drop_row, int open_col, bool lower);

TEST(IisFinder, CrossingBoundsAreTheirOwnIis) {
  LpDescription s(2, 0, 10);
  s.lower[1] = 5;
  s.upper[1] = 3;
  s.add({{0, 1}, {1, 1}}, 'L', 20);
  tvtest::EnvHandle env;
  tvtest::ModelHandle model(env);
  if (iistest::load(model, s) != 0) GTEST_SKIP() << "the loader refuses crossing bounds";
  TVsetModelIntParameter(model, TV_IPARAM_IIS_PRINT_LEVEL, 0);
  ASSERT_EQ(TVfindIIS(model, 3), 0);
  int nrows = -1, ncols = -1, col = -1, type = -2;
  ASSERT_EQ(TVgetIIS(model, nullptr, &nrows, nullptr, nullptr, &ncols, &col, &type), 0);
  EXPECT_EQ(nrows, 0);
  ASSERT_EQ(ncols, 1);
  EXPECT_EQ(col, 1);
  EXPECT_EQ(type, 0);
  const std::string path = tvtest::temp_path("crossing.iis");
  ASSERT_EQ(TVwriteIIS(model, path.c_str()), 0);
  EXPECT_EQ(solve_file(env, path, -1, -1, false), TV_STATUS_INFEASIBLE) << tvtest::read_file(path);
  std::remove(path.c_str());
}

TEST(IisFinder, UnsupportedNormAndMethodCombinations) {
  Host h(two_rows());
  TVsetModelIntParameter(h.model, TV_IPARAM_IIS_METHOD, 3);
  TVsetModelIntParameter(h.model, TV_IPARAM_IIS_INFEAS_NORM, 2);
  EXPECT_EQ(TVfindIIS(h.model, 1), 2029);
  TVsetModelIntParameter(h.model, TV_IPARAM_IIS_METHOD, 6);
  TVsetModelIntParameter(h.model, TV_IPARAM_IIS_INFEAS_NORM, 4);
  EXPECT_EQ(TVfindIIS(h.model, 1), 2029);
  // L-infinity on a quadratic model.
  int row = -1, col = 0;
  double q = 1.0;
  ASSERT_EQ(TVloadQCData(h.model, 1, &row, &col, &col, &q), 0);
  TVsetModelIntParameter(h.model, TV_IPARAM_IIS_METHOD, 1);
  TVsetModelIntParameter(h.model, TV_IPARAM_IIS_INFEAS_NORM, 2);
  EXPECT_EQ(TVfindIIS(h.model, 1), 2029);
  // A quadratic objective leaves the feasible set linear.
  TVsetModelIntParameter(h.model, TV_IPARAM_IIS_INFEAS_NORM, 0);
  EXPECT_EQ(TVfindIIS(h.model, 1), 0);
}

int stop_with(pTVmodel, int location, void *data) {
  EXPECT_EQ(location, TVLOC_IIS);
  int *calls = static_cast<int *>(data);
  return ++calls[0] >= calls[1] ? calls[2] : 0;
}

TEST(IisFinder, CallbackStopsWithAConsistentPartialRecord) {
  for (int answer : {-1, 1}) {
    const LpDescription s = cycle_with_distractors();
    Host h(s);
    int state[3] = {0, 3, answer};
    TVsetCallback(h.model, stop_with, state);
    EXPECT_EQ(TVfindIIS(h.model, 1), answer < 0 ? 2023 : 2017);
    int nrows = -1;
    std::vector<int> rows(s.rows.size());
    ASSERT_EQ(TVgetIIS(h.model, nullptr, &nrows, rows.data(), nullptr, nullptr, nullptr, nullptr), 0);
    iistest::Part p;
    p.rows.assign(rows.begin(), rows.begin() + nrows);
    EXPECT_EQ(iistest::solve_part(h.env, s, p), iistest::Outcome::kInfeasible) << "partial set must stay infeasible";
  }
}

TEST(IisFinder, IterationLimitGivesPartialResult) {
  const LpDescription s = cycle_with_distractors();
  Host h(s, 1);
  ASSERT_EQ(TVfindIIS(h.model, 1), 0);
  int full = 0;
  ASSERT_EQ(TVgetInfo(h.model, TV_IINFO_IIS_SIM_ITER, &full), 0);
  ASSERT_GT(full, 1);
  // Every limit below the full run stops it somewhere: the record must then
  // be partial but infeasible, and bit 256 turns the stop into an answer.
  for (int limit = 1; limit < full; ++limit) {
    TVsetModelIntParameter(h.model, TV_IPARAM_IIS_ITER_LIMIT, limit);
    h.log.clear();
    const int code = TVfindIIS(h.model, 1);
    EXPECT_EQ(code, 2016) << limit;
    EXPECT_NE(h.log.find("IIS (partial) results"), std::string::npos) << limit;
    int nrows = -1;
    std::vector<int> rows(s.rows.size());
    ASSERT_EQ(TVgetIIS(h.model, nullptr, &nrows, rows.data(), nullptr, nullptr, nullptr, nullptr), 0);
    if (nrows == 0) continue;  // stopped before the model was known to be infeasible
    iistest::Part p;
    p.rows.assign(rows.begin(), rows.begin() + nrows);
    EXPECT_EQ(iistest::solve_part(h.env, s, p), iistest::Outcome::kInfeasible) << limit;
    EXPECT_EQ(TVfindIIS(h.model, 1 | 256), 0) << limit;
  }
}

TEST(IisFinder, LeavesModelParametersAndStatusAsBefore) {
  const LpDescription s = row_against_bounds();
  Host h(s);
  const int ids[] = {TV_IPARAM_IIS_METHOD, TV_IPARAM_IIS_INFEAS_NORM, TV_IPARAM_IIS_ANALYZE_LEVEL,
                     TV_IPARAM_IIS_USE_SFILTER, TV_IPARAM_IIS_PRINT_LEVEL};
  TVsetModelIntParameter(h.model, TV_IPARAM_IIS_METHOD, 0);
  std::vector<int> before, after;
  for (int id : ids) {
    int v = 0;
    TVgetModelIntParameter(h.model, id, &v);
    before.push_back(v);
  }
  int status_before = 0, status_after = 0;
  TVgetInfo(h.model, TV_IINFO_MODEL_STATUS, &status_before);
  std::vector<double> lo_before(3), lo_after(3);
  ASSERT_EQ(TVfindIIS(h.model, 3), 0);
  for (int id : ids) {
    int v = 0;
    TVgetModelIntParameter(h.model, id, &v);
    after.push_back(v);
  }
  EXPECT_EQ(before, after);
  TVgetInfo(h.model, TV_IINFO_MODEL_STATUS, &status_after);
  EXPECT_EQ(status_before, status_after);
  // The model's own data still solves as before: infeasible.
  int status = 0;
  ASSERT_EQ(TVoptimize(h.model, TV_METHOD_FREE, &status), 0);
  EXPECT_EQ(status, TV_STATUS_INFEASIBLE);
}

TEST(IisFinder, ModelChangeDiscardsTheRecord) {
  Host h(two_rows());
  ASSERT_EQ(TVfindIIS(h.model, 1), 0);
  int row = 1;
  double rhs = 5;
  ASSERT_EQ(TVmodifyRHS(h.model, 1, &row, &rhs), 0);
  EXPECT_EQ(TVgetIIS(h.model, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr), 2009);
}

TEST(IisFinder, WrittenIisReadsBackAsAnInfeasibleModel) {
  for (int level : {1, 3}) {
    Host h(row_against_bounds());
    ASSERT_EQ(TVfindIIS(h.model, level), 0);
    const std::string path = tvtest::temp_path("written.iis.mps");
    ASSERT_EQ(TVwriteIIS(h.model, path.c_str()), 0);
    tvtest::ModelHandle back(h.env);
    ASSERT_EQ(TVreadMPSFile(back, path.c_str(), 0), 0) << tvtest::read_file(path);
    int m = 0, status = 0;
    TVgetInfo(back, TV_IINFO_NUM_CONS, &m);
    EXPECT_EQ(m, 1);
    ASSERT_EQ(TVoptimize(back, TV_METHOD_FREE, &status), 0);
    EXPECT_EQ(status, TV_STATUS_INFEASIBLE) << level;
    std::remove(path.c_str());
  }
}

// The TARVO text file holds exactly the set: read back on its own it is
// infeasible, and dropping any row or opening any finite bound of it (the
// DUMMY objective column aside) makes it feasible.
int solve_file(pTVenv env, const std::string &path, int drop_row, int open_col, bool lower) {
  tvtest::ModelHandle m(env);
  if (TVreadTARVOFile(m, path.c_str()) != 0) return -1;
  if (drop_row >= 0) TVdeleteConstraints(m, 1, &drop_row);
  if (open_col >= 0) {
    const double v = lower ? -kInf : kInf;
    (lower ? TVmodifyLowerBounds : TVmodifyUpperBounds)(m, 1, &open_col, &v);
  }
  int status = 0, nint = 0;
  TVgetInfo(m, TV_IINFO_NUM_INT, &nint);
  int bin = 0;
  TVgetInfo(m, TV_IINFO_NUM_BIN, &bin);
  const int code = nint + bin > 0 ? TVsolveMIP(m, &status) : TVoptimize(m, TV_METHOD_FREE, &status);
  return code == 0 ? status : -code;
}

std::string check_iis_file(pTVenv env, const std::string &path) {
  if (solve_file(env, path, -1, -1, false) != TV_STATUS_INFEASIBLE) return "the file's model is not infeasible";
  tvtest::ModelHandle m(env);
  if (TVreadTARVOFile(m, path.c_str()) != 0) return "unreadable";
  int rows = 0, cols = 0;
  TVgetInfo(m, TV_IINFO_NUM_CONS, &rows);
  TVgetInfo(m, TV_IINFO_NUM_VARS, &cols);
  auto feasible = [](int st) { return st == TV_STATUS_OPTIMAL || st == TV_STATUS_BASIC_OPTIMAL || st == TV_STATUS_FEASIBLE; };
  for (int i = 0; i < rows; ++i)
    if (!feasible(solve_file(env, path, i, -1, false))) return "row " + std::to_string(i) + " is not necessary";
  for (int j = 0; j < cols; ++j) {
    char name[256] = "";
    double lo = 0, up = 0;
    TVgetVariableNamej(m, j, name);
    if (std::string(name) == "DUMMY") continue;
    TVgetLPVariableDataj(m, j, nullptr, nullptr, &lo, &up, nullptr, nullptr, nullptr);
    if (lo > -kInf && !feasible(solve_file(env, path, -1, j, true))) return std::string("lower bound of ") + name;
    if (up < kInf && !feasible(solve_file(env, path, -1, j, false))) return std::string("upper bound of ") + name;
  }
  return "";
}

TEST(IisFinder, TarvoTextFileHoldsExactlyTheSet) {
  for (const Case &c : kCases) {
    Host h(c.make());
    ASSERT_EQ(TVfindIIS(h.model, 3), 0) << c.name;
    const std::string path = tvtest::temp_path("exact.iis");
    ASSERT_EQ(TVwriteIIS(h.model, path.c_str()), 0) << c.name;
    const std::string text = tvtest::read_file(path);
    EXPECT_EQ(text.rfind("! ----", 0), 0u) << text;
    EXPECT_NE(text.find("MINIMIZE  DUMMY"), std::string::npos) << text;
    EXPECT_EQ(check_iis_file(h.env, path), "") << c.name << "\n" << text;
    std::remove(path.c_str());
  }
}

// Eight binaries whose doubled sum must be odd, among feasible side rows: the
// relaxation is feasible, and only the integer solver proves a subset
// infeasible. With integrality as candidates every restriction is necessary.
LpDescription binary_parity() {
  LpDescription s(10, 0, 1);
  std::map<int, double> even;
  for (int j = 0; j < 8; ++j) even[j] = 2;
  s.add(even, 'E', 7);
  s.add({{0, 1}, {8, 1}}, 'L', 3);
  s.add({{8, 1}, {9, -1}}, 'G', -1);
  s.add({{5, 1}, {6, 1}, {9, 1}}, 'L', 4);
  s.upper[8] = s.upper[9] = 5;
  s.vtype = std::string(8, 'B') + "CC";
  return s;
}

TEST(IisFinder, IntegerSetsComeFromTheIntegerSolver) {
  const LpDescription s = binary_parity();
  for (int method : {1, 2, 4}) {
    Host h(s, 1);
    TVsetModelIntParameter(h.model, TV_IPARAM_IIS_METHOD, method);
    ASSERT_EQ(TVfindIIS(h.model, 1 | 16), 0) << method;
    int nrows = 0, nints = 0;
    TVgetIIS(h.model, nullptr, &nrows, nullptr, nullptr, nullptr, nullptr, nullptr);
    TVgetIISInts(h.model, nullptr, &nints, nullptr);
    EXPECT_EQ(nrows, 1) << method;
    EXPECT_EQ(nints, 8) << method;
    EXPECT_EQ(iistest::check_iis(h.env, h.model, s, false, true), "") << method;
    int mips = 0;
    TVgetInfo(h.model, TV_IINFO_IIS_MIPCOUNT, &mips);
    EXPECT_GT(mips, 0);
  }
  // Rows only: integrality stays in force, and the written file keeps it.
  Host h(s, 1);
  ASSERT_EQ(TVfindIIS(h.model, 1), 0);
  EXPECT_NE(h.log.find("Continuous model is not infeasible"), std::string::npos);
  EXPECT_EQ(iistest::check_iis(h.env, h.model, s, false, false), "");
  const std::string path = tvtest::temp_path("parity.iis");
  ASSERT_EQ(TVwriteIIS(h.model, path.c_str()), 0);
  EXPECT_EQ(solve_file(h.env, path, -1, -1, false), TV_STATUS_INFEASIBLE) << tvtest::read_file(path);
  std::remove(path.c_str());
}

TEST(IisFinder, InfeasibleNetworkFromSampleSet) {
  const std::string path = std::string(TARVO_DATA_DIR) + "/sample/galenet.mps";
  tvtest::EnvHandle env;
  tvtest::ModelHandle model(env);
  if (TVreadMPSFile(model, path.c_str(), 0) != 0) GTEST_SKIP() << "sample models missing: " << path;
  TVsetModelIntParameter(model, TV_IPARAM_IIS_PRINT_LEVEL, 0);
  for (int method = 1; method <= 6; ++method) {
    TVsetModelIntParameter(model, TV_IPARAM_IIS_METHOD, method);
    ASSERT_EQ(TVfindIIS(model, 3), 0) << method;
    int nrows = -1, ncols = -1;
    TVgetIIS(model, nullptr, &nrows, nullptr, nullptr, &ncols, nullptr, nullptr);
    EXPECT_GT(nrows + ncols, 0) << method;
  }
}

}  // namespace

// Netlib models cut off below their optimum: the IIS is the cut with rows
// and bounds that certify the bound, found by every method.
class NetlibCut : public ::testing::TestWithParam<int> {};

TEST_P(NetlibCut, EveryMethodIsolatesAnIrreducibleSet) {
  struct Model {
    const char *name;
    double optimum;
  };
  for (const Model &mdl : {Model{"afiro", -464.7531428571428}, Model{"sc50a", -64.5750770585645}}) {
    const std::string path = std::string(TARVO_DATA_DIR) + "/netlib/" + mdl.name + ".mps.gz";
    tvtest::EnvHandle env;
    tvtest::ModelHandle read(env);
    if (TVreadMPSFile(read, path.c_str(), 0) != 0) GTEST_SKIP() << "netlib models missing: " << path;
    LpDescription s = iistest::description_from_model(read);
    std::map<int, double> cut;
    for (int j = 0; j < s.n; ++j)
      if (s.c[j] != 0) cut[j] = s.c[j];
    s.add(cut, 'L', mdl.optimum - 1.0);
    tvtest::ModelHandle model(env);
    ASSERT_EQ(iistest::load(model, s), 0);
    TVsetModelIntParameter(model, TV_IPARAM_IIS_PRINT_LEVEL, 0);
    TVsetModelIntParameter(model, TV_IPARAM_IIS_METHOD, GetParam());
    ASSERT_EQ(TVfindIIS(model, 3), 0) << mdl.name;
    EXPECT_EQ(iistest::check_iis(env, model, s, true), "") << mdl.name;
    int nrows = 0;
    std::vector<int> rows(s.rows.size());
    TVgetIIS(model, nullptr, &nrows, rows.data(), nullptr, nullptr, nullptr, nullptr);
    EXPECT_NE(std::find(rows.begin(), rows.begin() + nrows, static_cast<int>(s.rows.size()) - 1),
              rows.begin() + nrows)
        << mdl.name << ": the cut belongs to every IIS";
  }
}

INSTANTIATE_TEST_SUITE_P(Methods, NetlibCut, ::testing::Values(1, 2, 3, 4, 5, 6));
