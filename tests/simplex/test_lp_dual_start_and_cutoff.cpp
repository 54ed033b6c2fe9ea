// The dual simplex from a dual infeasible start: every phase mode reaches the
// same verdict, including optima that sit beyond an artificial box, unbounded
// LPs, and netlib models whose slack basis is far from dual feasible; the
// phases as the log shows them, boxes that do not suffice and dual rays that
// only a box stops. And the objective cutoff, which must stop the run early
// even while it is perturbed.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <string>
#include <vector>

#include "lp_fixture.hpp"
#include "test_support.hpp"

namespace {

using lpfix::Lp;
constexpr double kInf = TV_INFINITY;
const int kModes[] = {0, 1, 2, 3};

int solve_dual(pTVmodel model, int mode, double box, int *status) {
  EXPECT_EQ(TVsetModelIntParameter(model, TV_IPARAM_SPLEX_DUAL_PHASE, mode), 0);
  EXPECT_EQ(TVsetModelDouParameter(model, TV_DPARAM_LP_BNDINF, box), 0);
  return TVoptimize(model, TV_METHOD_DSIMPLEX, status);
}

// max x + y: x <= 5e6 through a row, y <= 3e7 through another; the optimum
// lies far outside any 1e6 box, so a box left binding must be cleaned up.
Lp far_optimum() {
  Lp lp;
  lp.sense = TV_MAX;
  lp.c = {1, 1};
  lp.b = {5e6, 3e7};
  lp.types = "LL";
  lp.rows = {{1, 0}, {0, 1}};
  lp.lower = {0, -kInf};
  lp.upper = {kInf, kInf};
  return lp;
}

TEST(DualPhase, OptimumBeyondTheArtificialBoxIsReachedInEveryMode) {
  for (int mode : kModes)
    for (double box : {1e15, 1e6, 10.0}) {
      tvtest::EnvHandle env;
      tvtest::ModelHandle model(env);
      lpfix::load(model, far_optimum());
      int status = -1;
      ASSERT_EQ(solve_dual(model, mode, box, &status), 0);
      ASSERT_EQ(status, TV_STATUS_BASIC_OPTIMAL) << "mode " << mode << " box " << box;
      std::vector<double> x(2);
      ASSERT_EQ(TVgetPrimalSolution(model, x.data()), 0);
      EXPECT_NEAR(x[0], 5e6, 1e-3) << "mode " << mode << " box " << box;
      EXPECT_NEAR(x[1], 3e7, 1e-3) << "mode " << mode << " box " << box;
      double obj = 0;
      ASSERT_EQ(TVgetInfo(model, TV_DINFO_POBJ, &obj), 0);
      EXPECT_NEAR(obj, 3.5e7, 1e-3) << "mode " << mode << " box " << box;
    }
}

TEST(DualPhase, UnboundedAndInfeasibleVerdictsSurviveTheBoxes) {
  // max x + y with x - y <= 1 and free y: unbounded along (1, 1)
  Lp unbounded;
  unbounded.sense = TV_MAX;
  unbounded.c = {1, 1};
  unbounded.b = {1};
  unbounded.types.assign(1, 'L');  // (a one-letter literal trips a false -Wrestrict in g++ 12)
  unbounded.rows = {{1, -1}};
  unbounded.lower = {0, -kInf};
  unbounded.upper = {kInf, kInf};
  // x + y >= 4 and x + y <= 3 with a cost that is dual infeasible at the start
  Lp infeasible;
  infeasible.sense = TV_MIN;
  infeasible.c = {-1, 2};
  infeasible.b = {4, 3};
  infeasible.types = "GL";
  infeasible.rows = {{1, 1}, {1, 1}};
  infeasible.lower = {0, 0};
  infeasible.upper = {kInf, kInf};
  for (int mode : kModes) {
    for (const Lp *lp : {&unbounded, &infeasible}) {
      tvtest::EnvHandle env;
      tvtest::ModelHandle model(env);
      lpfix::load(model, *lp);
      int status = -1;
      ASSERT_EQ(solve_dual(model, mode, 1e6, &status), 0);
      if (lp == &unbounded)
        EXPECT_TRUE(status == TV_STATUS_UNBOUNDED || status == TV_STATUS_INFORUNB) << "mode " << mode << ": " << status;
      else
        EXPECT_TRUE(status == TV_STATUS_INFEASIBLE || status == TV_STATUS_INFORUNB) << "mode " << mode << ": " << status;
    }
  }
}

// A small LP solved by the dual simplex with settings, its log collected.
struct Outcome {
  int code = -1, status = -1;
  double objective = 0;
  std::string log;
};

struct Setting {
  int id;
  double value;
  bool dbl = false;
};

Outcome solve_lp(const Lp &lp, const std::vector<Setting> &settings) {
  tvtest::EnvHandle env;
  tvtest::ModelHandle model(env);
  lpfix::load(model, lp);
  Outcome r;
  TVsetModelLogfunc(model, tvtest::collect_model_log, &r.log);
  TVsetModelIntParameter(model, TV_IPARAM_LP_PRELEVEL, 0);
  for (const Setting &s : settings)
    EXPECT_EQ(s.dbl ? TVsetModelDouParameter(model, s.id, s.value)
                    : TVsetModelIntParameter(model, s.id, static_cast<int>(s.value)),
              0);
  r.code = TVoptimize(model, TV_METHOD_DSIMPLEX, &r.status);
  TVgetInfo(model, TV_DINFO_POBJ, &r.objective);
  return r;
}

bool logged(const Outcome &r, const char *line) { return r.log.find(line) != std::string::npos; }

// min -x0 - 2 x1 + x2 with x0 free, x1 >= 0 unbounded above, x2 <= 3 without
// a lower bound: three columns whose costs push them to an infinite bound at
// the slack basis. x1 <= 5 and x2 >= x0 - 6 make the optimum -16.
Lp wrong_signed_columns() {
  Lp lp;
  lp.c = {-1, -2, 1};
  lp.b = {10, 2, -6, 5};
  lp.types = "LLGL";
  lp.rows = {{1, 1, 1}, {1, -1, 0}, {-1, 0, 1}, {0, 1, 0}};
  lp.lower = {-kInf, 0, -kInf};
  lp.upper = {kInf, kInf, 3};
  return lp;
}

const std::vector<Setting> kPhaseTrace = {{TV_IPARAM_LP_PRTFG, 1}, {TV_IPARAM_LP_PRINTLEVEL, 2}};

TEST(DualPhaseLog, PhaseOneOnBoxesThenPhaseTwo) {
  for (int mode : {0, 1, 2, 3}) {
    std::vector<Setting> s = kPhaseTrace;
    s.push_back({TV_IPARAM_SPLEX_DUAL_PHASE, static_cast<double>(mode)});
    const Outcome r = solve_lp(wrong_signed_columns(), s);
    ASSERT_EQ(r.code, 0) << mode;
    ASSERT_EQ(r.status, TV_STATUS_BASIC_OPTIMAL) << mode;
    EXPECT_NEAR(r.objective, -16.0, 1e-9) << mode;
    const size_t p1 = r.log.find("\nPhase 1 started:"), p2 = r.log.find("\nPhase 2 started:");
    switch (mode) {
      case 2:  // single phase: boxes on, taken off at the end
        EXPECT_EQ(p1, std::string::npos) << r.log;
        EXPECT_NE(p2, std::string::npos) << r.log;
        break;
      case 3:  // the starting phase is kept to the end
        EXPECT_NE(p1, std::string::npos) << r.log;
        EXPECT_EQ(p2, std::string::npos) << r.log;
        break;
      default:
        ASSERT_NE(p1, std::string::npos) << r.log;
        ASSERT_NE(p2, std::string::npos) << r.log;
        EXPECT_LT(p1, p2);
    }
  }
}

TEST(DualPhaseLog, DualFeasibleStartSkipsPhaseOneUnlessAsked) {
  // min 3x + 2y + 4z over x, y, z >= 0: the slack basis is dual feasible
  Lp feasible = lpfix::textbook();
  feasible.sense = TV_MIN;
  feasible.b = {4, 5, 7};
  feasible.types = "GLL";
  feasible.rows = {{1, 1, 2}, {2, 0, 3}, {2, 1, 3}};
  std::vector<Setting> s = kPhaseTrace;
  Outcome r = solve_lp(feasible, s);
  ASSERT_EQ(r.status, TV_STATUS_BASIC_OPTIMAL);
  EXPECT_NEAR(r.objective, 8.0, 1e-9);  // y = 4
  EXPECT_FALSE(logged(r, "\nPhase 1 started:")) << r.log;
  EXPECT_TRUE(logged(r, "\nPhase 2 started:")) << r.log;
  s.push_back({TV_IPARAM_SPLEX_DUAL_PHASE, 1});
  r = solve_lp(feasible, s);
  ASSERT_EQ(r.status, TV_STATUS_BASIC_OPTIMAL);
  const size_t p1 = r.log.find("\nPhase 1 started:"), p2 = r.log.find("\nPhase 2 started:");
  ASSERT_NE(p1, std::string::npos) << r.log;
  ASSERT_NE(p2, std::string::npos) << r.log;
  EXPECT_LT(p1, p2);
}

// far_optimum with boxes of 10: both columns sit at their box at the end of
// phase 1; cost shifting takes over and the optimum is still found.
TEST(DualPhaseLog, BoxesThatDoNotSufficeGiveWayToCostShifting) {
  const Lp lp = far_optimum();
  for (int mode : {1, 2}) {
    std::vector<Setting> s = kPhaseTrace;
    s.push_back({TV_IPARAM_SPLEX_DUAL_PHASE, static_cast<double>(mode)});
    s.push_back({TV_DPARAM_LP_BNDINF, 10, true});
    s.push_back({TV_IPARAM_LP_DPSWITCH, 0});  // the dual must finish on its own
    const Outcome r = solve_lp(lp, s);
    ASSERT_EQ(r.code, 0);
    ASSERT_EQ(r.status, TV_STATUS_BASIC_OPTIMAL) << mode;
    EXPECT_NEAR(r.objective, 3.5e7, 1e-3) << mode;
    EXPECT_TRUE(logged(r, "\nWarning: some nonbasics are at artificial bounds. (stat = ")) << r.log;
  }
}

// A row that only a column beyond its box could satisfy is no proof of
// infeasibility: min x with x free and x >= 1e8, boxes of 1e3.
TEST(DualPhaseLog, RayBlockedOnlyByABoxIsNotAVerdict) {
  Lp lp;
  lp.c = {1, 0};
  lp.b = {1e8, 1};
  lp.types = "GL";
  lp.rows = {{1, 0}, {0, 1}};
  lp.lower = {-kInf, -kInf};
  lp.upper = {kInf, kInf};
  for (int mode : {0, 1, 2, 3}) {
    const Outcome r = solve_lp(lp, {{TV_IPARAM_SPLEX_DUAL_PHASE, static_cast<double>(mode)},
                                    {TV_DPARAM_LP_BNDINF, 1e3, true},
                                    {TV_IPARAM_LP_DPSWITCH, 0},
                                    {TV_IPARAM_LP_PRINTLEVEL, 2}});
    ASSERT_EQ(r.code, 0) << mode;
    ASSERT_EQ(r.status, TV_STATUS_BASIC_OPTIMAL) << mode;
    EXPECT_NEAR(r.objective, 1e8, 1e-6) << mode;
    // the run itself must not have claimed infeasibility (the verdict check would catch it)
    EXPECT_FALSE(logged(r, "ignoring infeasibility signal")) << r.log;
  }
}

double netlib_optimum(const std::string &name) {
  std::ifstream in(std::string(TARVO_DATA_DIR) + "/netlib/optimal.csv");
  std::string line;
  while (std::getline(in, line)) {
    const auto comma = line.find(',');
    if (comma != std::string::npos && line.substr(0, comma) == name) return std::stod(line.substr(comma + 1));
  }
  return NAN;
}

// Models whose slack basis is badly dual infeasible (free and one-sided
// columns with wrong-signed costs).
TEST(DualPhase, NetlibModelsReachTheirOptimumInEveryMode) {
  for (const char *name : {"cycle", "pilot4", "perold", "stocfor1", "scfxm1", "etamacro", "grow7"}) {
    const double ref = netlib_optimum(name);
    if (std::isnan(ref)) GTEST_SKIP() << "netlib data not found under " << TARVO_DATA_DIR;
    for (int mode : kModes) {
      tvtest::EnvHandle env;
      tvtest::ModelHandle model(env);
      const std::string path = std::string(TARVO_DATA_DIR) + "/netlib/" + name + ".mps.gz";
      ASSERT_EQ(TVreadMPSFile(model, path.c_str(), 1), 0) << name;
      int status = -1;
      ASSERT_EQ(solve_dual(model, mode, 1e15, &status), 0) << name;
      ASSERT_EQ(status, TV_STATUS_BASIC_OPTIMAL) << name << " mode " << mode;
      double obj = 0;
      ASSERT_EQ(TVgetInfo(model, TV_DINFO_POBJ, &obj), 0);
      EXPECT_NEAR(obj, ref, 1e-6 * (1 + std::fabs(ref))) << name << " mode " << mode;
    }
  }
}

// The dual objective of 25fv47 rises through -1100 about half-way through the
// run (slack start): a cutoff there must end the run near that point, not
// after the perturbation is finally removed at the optimum.
TEST(DualCutoff, ACutoffBetterThanTheOptimumStopsTheRunEarly) {
  const double ref = netlib_optimum("25fv47");
  if (std::isnan(ref)) GTEST_SKIP() << "netlib data not found under " << TARVO_DATA_DIR;
  const std::string path = std::string(TARVO_DATA_DIR) + "/netlib/25fv47.mps.gz";
  int plain_iterations = 0;
  for (bool cutoff : {false, true}) {
    tvtest::EnvHandle env;
    tvtest::ModelHandle model(env);
    ASSERT_EQ(TVreadMPSFile(model, path.c_str(), 1), 0);
    if (cutoff) {
      ASSERT_EQ(TVsetModelIntParameter(model, TV_IPARAM_SOLVER_USECUTOFFVAL, 1), 0);
      ASSERT_EQ(TVsetModelDouParameter(model, TV_DPARAM_SOLVER_CUTOFFVAL, ref - 1.2 * std::fabs(ref)), 0);
    }
    int status = -1;
    ASSERT_EQ(TVoptimize(model, TV_METHOD_DSIMPLEX, &status), 0);
    int iterations = 0;
    ASSERT_EQ(TVgetInfo(model, TV_IINFO_SIM_ITER, &iterations), 0);
    if (!cutoff) {
      ASSERT_EQ(status, TV_STATUS_BASIC_OPTIMAL);
      plain_iterations = iterations;
    } else {
      EXPECT_EQ(status, TV_STATUS_CUTOFF);
      EXPECT_LT(iterations, 0.8 * plain_iterations) << "the cutoff took effect only at the end";
    }
  }
}

// The LU settings come from the parameters: loose and tight pivoting, eta
// updates and refactorisation after every update all reach the same optimum.
TEST(LuSettings, EverySettingSolvesToTheSameOptimum) {
  const double ref = netlib_optimum("pilot4");
  if (std::isnan(ref)) GTEST_SKIP() << "netlib data not found under " << TARVO_DATA_DIR;
  const std::string path = std::string(TARVO_DATA_DIR) + "/netlib/pilot4.mps.gz";
  struct Setting {
    int param;
    double value;
    bool integer;
  } settings[] = {{TV_DPARAM_LU_EPS_PIVREL, 0.1, false}, {TV_DPARAM_LU_EPS_PIVREL, 0.9, false},
                  {TV_IPARAM_LU_UPDATE_TYPE, 0, true},    {TV_IPARAM_LU_MAX_UPDATES, 1, true},
                  {TV_IPARAM_LU_NUM_CANDITS, 1, true},    {TV_DPARAM_LU_SPVTOL_FTRAN, 0.0, false}};
  for (const Setting &s : settings) {
    tvtest::EnvHandle env;
    tvtest::ModelHandle model(env);
    ASSERT_EQ(TVreadMPSFile(model, path.c_str(), 1), 0);
    if (s.integer)
      ASSERT_EQ(TVsetModelIntParameter(model, s.param, static_cast<int>(s.value)), 0);
    else
      ASSERT_EQ(TVsetModelDouParameter(model, s.param, s.value), 0);
    int status = -1;
    ASSERT_EQ(TVoptimize(model, TV_METHOD_FREE, &status), 0) << s.param;
    ASSERT_EQ(status, TV_STATUS_BASIC_OPTIMAL) << s.param;
    double obj = 0;
    ASSERT_EQ(TVgetInfo(model, TV_DINFO_POBJ, &obj), 0);
    EXPECT_NEAR(obj, ref, 1e-6 * (1 + std::fabs(ref))) << s.param << " = " << s.value;
  }
}

// The back-end choices act on the kernel: its figures (fill, condition of U)
// printed at LU print level 1 change with them, and the optimum does not.
TEST(LuSettings, BackEndChoicesReachTheKernel) {
  const double ref = netlib_optimum("pilot4");
  if (std::isnan(ref)) GTEST_SKIP() << "netlib data not found under " << TARVO_DATA_DIR;
  const std::string path = std::string(TARVO_DATA_DIR) + "/netlib/pilot4.mps.gz";
  struct Pair {
    int param;
    double value;
  };
  auto lu_blocks = [&](std::vector<Pair> extra) {
    tvtest::EnvHandle env;
    tvtest::ModelHandle model(env);
    std::string log;
    EXPECT_EQ(TVreadMPSFile(model, path.c_str(), 1), 0);
    TVsetModelLogfunc(model, tvtest::collect_model_log, &log);
    EXPECT_EQ(TVsetModelIntParameter(model, TV_IPARAM_LU_PRINT_LEVEL, 1), 0);
    for (const Pair &p : extra) {
      if (p.param == TV_DPARAM_LU_INI_RCOND)
        EXPECT_EQ(TVsetModelDouParameter(model, p.param, p.value), 0);
      else
        EXPECT_EQ(TVsetModelIntParameter(model, p.param, static_cast<int>(p.value)), 0);
    }
    int status = -1;
    EXPECT_EQ(TVoptimize(model, TV_METHOD_FREE, &status), 0);
    EXPECT_EQ(status, TV_STATUS_BASIC_OPTIMAL);
    double obj = 0;
    EXPECT_EQ(TVgetInfo(model, TV_DINFO_POBJ, &obj), 0);
    EXPECT_NEAR(obj, ref, 1e-6 * (1 + std::fabs(ref)));
    // the kernel's figures, without the simplex's other lines
    std::string figures;
    for (const char *key : {"LNZ (BASICLU_LNZ)", "UNZ (BASICLU_UNZ)", "Condest U (BASICLU_CONDEST_U)"})
      for (std::size_t at = log.find(key); at != std::string::npos; at = log.find(key, at + 1))
        figures += log.substr(at, log.find('\n', at) - at) + ";";
    EXPECT_FALSE(figures.empty());
    return figures;
  };
  const std::string plain = lu_blocks({});
  EXPECT_NE(lu_blocks({{TV_IPARAM_LU_CORE, 4}, {TV_DPARAM_LU_INI_RCOND, 0.5}}), plain);
  EXPECT_NE(lu_blocks({{TV_IPARAM_LU_PIVMOD, 2}, {TV_DPARAM_LU_INI_RCOND, 0.5}}), plain);
  EXPECT_NE(lu_blocks({{TV_IPARAM_LU_CORE, 3}, {TV_IPARAM_LP_RATRANGE, 1}}), plain);
  // without the back-end that reads them, the settings change nothing
  EXPECT_EQ(lu_blocks({{TV_IPARAM_LP_RATRANGE, 1}, {TV_DPARAM_LU_INI_RCOND, 0.5}}), plain);
}

}  // namespace
