// What a host sees of a simplex run: the compact iteration log and the traced
// lines, the values callbacks read while the simplex runs, and the figures of
// the solution report and TVgetInfo.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "lp_fixture.hpp"
#include "test_support.hpp"

namespace {

using lpfix::Lp;

std::vector<std::string> lines_of(const std::string &log) {
  std::vector<std::string> out;
  std::istringstream in(log);
  std::string line;
  while (std::getline(in, line)) out.push_back(line);
  return out;
}

// The line that starts with `prefix` (empty when none).
std::string line_starting(const std::string &log, const std::string &prefix) {
  for (const std::string &l : lines_of(log))
    if (l.compare(0, prefix.size(), prefix) == 0) return l;
  return "";
}

bool netlib_path(const std::string &name, std::string *path) {
  *path = std::string(TARVO_DATA_DIR) + "/netlib/" + name + ".mps.gz";
  return static_cast<bool>(std::ifstream(*path));
}

class Trace : public ::testing::Test {
 protected:
  tvtest::EnvHandle env;
  tvtest::ModelHandle model{env};
  std::string log;
  void SetUp() override {
    ASSERT_EQ(TVsetModelLogfunc(model, tvtest::collect_model_log, &log), 0);
    ASSERT_EQ(TVsetModelIntParameter(model, TV_IPARAM_LP_PRELEVEL, 0), 0);
  }
  double info(int item) {
    double v = 0;
    EXPECT_EQ(TVgetInfo(model, item, &v), 0);
    return v;
  }
  int int_info(int item) {
    int v = -7;
    EXPECT_EQ(TVgetInfo(model, item, &v), 0);
    return v;
  }
};

TEST_F(Trace, CompactLogHasHeaderStartAndMarkedFinalLine) {
  lpfix::load(model, lpfix::textbook());
  ASSERT_EQ(TVsetModelIntParameter(model, TV_IPARAM_LP_PRINTLEVEL, 2), 0);
  int status = -1;
  ASSERT_EQ(TVoptimize(model, TV_METHOD_PSIMPLEX, &status), 0);
  ASSERT_EQ(status, TV_STATUS_BASIC_OPTIMAL);
  EXPECT_EQ(line_starting(log, "        Iter"),
            "        Iter Deg(%)           Prim obj          Prim inf          Dual inf    Ninf         Time   Ph")
      << log;
  // the first line: the slack basis with all three columns attractive
  const std::string first = line_starting(log, "           0   0.00 ");
  ASSERT_FALSE(first.empty()) << log;
  EXPECT_EQ(first.substr(38, 44), "      0.000000e+00      9.000000e+00       3");
  // the last line carries the optimal mark, the iterations and the objective
  const std::string last = line_starting(log, "*");
  ASSERT_FALSE(last.empty()) << log;
  char expected[128];
  std::snprintf(expected, sizeof expected, "*%11d", int_info(TV_IINFO_SIM_ITER));
  EXPECT_EQ(last.substr(0, 12), expected);
  EXPECT_EQ(last.substr(12, 70), "   0.00       1.050000e+01      0.000000e+00      0.000000e+00       0");
  EXPECT_EQ(last.substr(last.size() - 4), " Ph2");

  // no log at print level 1, and none for the detail trace style either
  log.clear();
  ASSERT_EQ(TVsetModelIntParameter(model, TV_IPARAM_LP_PRINTLEVEL, 1), 0);
  ASSERT_EQ(TVsetModelIntParameter(model, TV_IPARAM_SOLVER_RESTART, 1), 0);
  ASSERT_EQ(TVoptimize(model, TV_METHOD_PSIMPLEX, &status), 0);
  EXPECT_EQ(log.find("Iter Deg(%)"), std::string::npos);
}

TEST_F(Trace, DetailTraceHeadersExitLinesAndStatisticsBlock) {
  lpfix::load(model, lpfix::textbook());
  ASSERT_EQ(TVsetModelIntParameter(model, TV_IPARAM_LP_PRINTLEVEL, 1), 0);
  ASSERT_EQ(TVsetModelIntParameter(model, TV_IPARAM_LP_PRTFG, 1 | 2 | 64), 0);
  int status = -1;
  ASSERT_EQ(TVoptimize(model, TV_METHOD_DSIMPLEX, &status), 0);
  ASSERT_EQ(status, TV_STATUS_BASIC_OPTIMAL);
  EXPECT_EQ(line_starting(log, "Entering dual simplex."),
            "Entering dual simplex.  (LP=1, m=3, n=3, nonz=8, nint=0, xstat = 1, time:0, tlim:-1, ilim:-1, shifts=0, "
            "nfixbas:0)")
      << log;
  EXPECT_EQ(line_starting(log, "Tolerances:"),
            "Tolerances: reps=1.000000e-07, ceps=1.000000e-07, pvteps=1.000000e-08 (0), bigM=1.000000e+06, "
            "mkweps=1.000000e-06, scal:1, lptool:7, prtfg:67")
      << log;
  EXPECT_EQ(line_starting(log, "Parameters:"),
            "Parameters: dprice=1, dphase=0, dratio=1, dpswitch=1, time:0, tlim:-1, ilim:-1, pord:2");
  EXPECT_EQ(line_starting(log, "Scale:1,  minoc"), "Scale:1,  minoc=1.000000e+00,  maxoc=3.000000e+00,  avgoc=1.875000e+00");
  // the detail header, then the exit line with the objective of the model's sense
  EXPECT_FALSE(line_starting(log, "D  #Fct    #Iter    #Pinf  #Dinf #Degit").empty()) << log;
  const std::string exit = line_starting(log, "D     ");
  EXPECT_FALSE(exit.empty());
  EXPECT_NE(log.find(" :*optimal value = 10.50000000     , xstat:2, LP:1"), std::string::npos) << log;
  EXPECT_NE(log.find(" : new wfact(1):WFACT_INIT (#cnt:1)"), std::string::npos) << log;
  EXPECT_NE(log.find(":Saved current basis as the fallback basis, top:"), std::string::npos) << log;
  for (const char *stat : {"\niters/fact          = ", "\npivrow (s/d)        = ", "\ncalls to nrdcdiff   = ",
                           "\nlnonz               = ", "\ncutoff flag2 count  = "})
    EXPECT_NE(log.find(stat), std::string::npos) << stat;
}

// Values read from inside the callback while the simplex runs are the run's
// own; the last call sees exactly what TVgetInfo reports afterwards.
struct Seen {
  int calls = 0, live = 0;
  double pobj = 0, pinf = 0, dinf = 0;
  int iter = -1;
};

int watch(pTVmodel model, int loc, void *data) {
  Seen &s = *static_cast<Seen *>(data);
  if (loc != TVLOC_PRIMAL && loc != TVLOC_DUAL) return 0;
  ++s.calls;
  TVgetCallbackInfo(model, loc, TV_DINFO_POBJ, &s.pobj);
  TVgetCallbackInfo(model, loc, TV_DINFO_PINFEAS, &s.pinf);
  TVgetCallbackInfo(model, loc, TV_DINFO_DINFEAS, &s.dinf);
  TVgetCallbackInfo(model, loc, TV_IINFO_SIM_ITER, &s.iter);
  if (s.pinf < 1e30 && s.pobj < 1e30) ++s.live;
  return 0;
}

TEST_F(Trace, CallbackInfoIsLiveAndEndsOnTheReportedSolution) {
  std::string path;
  if (!netlib_path("adlittle", &path)) GTEST_SKIP() << "netlib data not found";
  ASSERT_EQ(TVreadMPSFile(model, path.c_str(), 1), 0);
  ASSERT_EQ(TVsetModelDouParameter(model, TV_DPARAM_CALLBACKFREQ, 0.0), 0);
  for (int method : {TV_METHOD_PSIMPLEX, TV_METHOD_DSIMPLEX}) {
    Seen seen;
    ASSERT_EQ(TVsetCallback(model, watch, &seen), 0);
    ASSERT_EQ(TVsetModelIntParameter(model, TV_IPARAM_SOLVER_RESTART, 1), 0);
    int status = -1;
    ASSERT_EQ(TVoptimize(model, method, &status), 0);
    ASSERT_EQ(status, TV_STATUS_BASIC_OPTIMAL);
    EXPECT_GT(seen.calls, 10);
    EXPECT_EQ(seen.live, seen.calls) << "objective or infeasibility unset during the run";
    EXPECT_DOUBLE_EQ(seen.pobj, info(TV_DINFO_POBJ));
    EXPECT_DOUBLE_EQ(seen.pinf, info(TV_DINFO_PINFEAS));
    EXPECT_DOUBLE_EQ(seen.dinf, info(TV_DINFO_DINFEAS));
    EXPECT_EQ(seen.iter, int_info(TV_IINFO_SIM_ITER));
    EXPECT_EQ(int_info(TV_IINFO_METHOD), method);
  }
}

TEST_F(Trace, ReportShowsTheRunsFiguresAndPivotHistogram) {
  std::string path;
  if (!netlib_path("sc50a", &path)) GTEST_SKIP() << "netlib data not found";
  ASSERT_EQ(TVreadMPSFile(model, path.c_str(), 1), 0);
  ASSERT_EQ(TVsetModelIntParameter(model, TV_IPARAM_LP_PRINTLEVEL, 1), 0);
  ASSERT_EQ(TVsetModelIntParameter(model, TV_IPARAM_PROFILER_LEVEL, 512), 0);
  ASSERT_EQ(TVsetModelIntParameter(model, TV_IPARAM_SPLEX_REFACFRQ, 5), 0);
  int status = -1;
  ASSERT_EQ(TVoptimize(model, TV_METHOD_FREE, &status), 0);
  ASSERT_EQ(status, TV_STATUS_BASIC_OPTIMAL);
  EXPECT_EQ(int_info(TV_IINFO_METHOD), TV_METHOD_DSIMPLEX);
  const int iters = int_info(TV_IINFO_SIM_ITER);
  ASSERT_GT(iters, 10);
  // refactorisations every five updates, all fine
  unsigned refactors = 0;
  double ok = 0, stable = 0;
  const std::string line = line_starting(log, "Refactors (ok,stb) = ");
  ASSERT_EQ(std::sscanf(line.c_str(), "Refactors (ok,stb) = %u (%lf,%lf)", &refactors, &ok, &stable), 3) << log;
  EXPECT_GE(refactors, static_cast<unsigned>(iters / 5));
  EXPECT_EQ(ok, 100.0);
  EXPECT_NE(log.find("\nUsed Method        = 2 "), std::string::npos);
  double best = -1, share = -1;
  const std::string tb = line_starting(log, "Time to Best       = ");
  ASSERT_EQ(std::sscanf(tb.c_str(), "Time to Best       = %lf (%lf%%)", &best, &share), 2);
  EXPECT_GE(share, 0.0);
  EXPECT_LE(share, 100.0);
  // every column and row falls into one bin of its histogram
  ASSERT_NE(log.find("\nHistogram of pivot activity for current session.\n"), std::string::npos) << log;
  for (const char *title : {"Col pivot act.", "Row pivot act."}) {
    const size_t at = log.find(title);
    ASSERT_NE(at, std::string::npos) << title;
    int size = 0;
    ASSERT_EQ(std::sscanf(log.c_str() + at + std::string(title).size(), " (piv_act: n=%d", &size), 1);
    EXPECT_EQ(size, std::string(title)[0] == 'C' ? 48 : 50);
    int total = 0;
    size_t p = log.find('\n', at);
    for (int b = 0; b < 10; ++b, p = log.find('\n', p + 1)) {
      double lo, hi;
      int count = 0;
      ASSERT_EQ(std::sscanf(log.c_str() + p, "\n  [%lf, %lf) %d", &lo, &hi, &count), 3) << log.substr(p, 40);
      total += count;
    }
    EXPECT_EQ(total, size);
  }
  // with the primal, the method reported is the primal
  ASSERT_EQ(TVsetModelIntParameter(model, TV_IPARAM_SOLVER_RESTART, 1), 0);
  ASSERT_EQ(TVoptimize(model, TV_METHOD_PSIMPLEX, &status), 0);
  EXPECT_EQ(int_info(TV_IINFO_METHOD), TV_METHOD_PSIMPLEX);
}

}  // namespace
