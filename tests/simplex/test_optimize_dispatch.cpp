// The branches of TVoptimize around the simplex: the explicit dual, the
// concurrent runner, total decomposition, the warm re-optimisation header,
// method validation and the parameters a call must leave as it found them.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "lp_fixture.hpp"
#include "test_support.hpp"

namespace {

constexpr double kInf = TV_INFINITY;

using lpfix::Lp;
using lpfix::load;
using lpfix::textbook;
using lpfix::expect_consistent;

double objective(pTVmodel model) {
  double obj = 0;
  EXPECT_EQ(TVgetInfo(model, TV_DINFO_POBJ, &obj), 0);
  return obj;
}

int iterations(pTVmodel model) {
  int it = -1;
  TVgetInfo(model, TV_IINFO_SIM_ITER, &it);
  return it;
}

int int_param(pTVmodel model, int id) {
  int v = -7;
  EXPECT_EQ(TVgetModelIntParameter(model, id, &v), 0);
  return v;
}

// Largest violation of rows and bounds by the reported primal solution.
double violation(pTVmodel model, const Lp &lp) {
  const int m = static_cast<int>(lp.b.size()), n = static_cast<int>(lp.c.size());
  std::vector<double> x(n);
  EXPECT_EQ(TVgetPrimalSolution(model, x.data()), 0);
  double worst = 0;
  for (int j = 0; j < n; ++j) worst = std::max({worst, lp.lower[j] - x[j], x[j] - lp.upper[j]});
  for (int i = 0; i < m; ++i) {
    double act = 0;
    for (int j = 0; j < n; ++j) act += lp.rows[i][j] * x[j];
    if (lp.types[i] == 'L' || lp.types[i] == 'E') worst = std::max(worst, act - lp.b[i]);
    if (lp.types[i] == 'G' || lp.types[i] == 'E') worst = std::max(worst, lp.b[i] - act);
  }
  return worst;
}

// Every kind of row and bound: equality, >=, <=, free row; a free column, a
// box [2, 5] (both bound multipliers in the dual), a fixed column, a column
// with a negative upper bound only, and one fixed at zero.
Lp mixed_lp() {
  Lp lp;
  lp.c = {1, -2, 3, 0.5, 1, -1, 2};
  lp.b = {4, -1, 12, 0, 3};
  lp.types = "EGLNL";
  lp.rows = {{1, 1, 0, 1, 0, 0, 1},
             {1, -1, 1, 0, 1, 0, 0},
             {2, 1, 1, 1, 0, -1, 1},
             {1, 1, 1, 1, 1, 1, 1},
             {0, 1, 0, 0, 1, 1, 0}};
  lp.lower = {-kInf, 2, -2, 1, -kInf, 0, 0};
  lp.upper = {kInf, 5, 2, 1, -0.5, 4, 0};
  return lp;
}

// Independent copies of small LPs along the diagonal.
Lp block_diagonal(const std::vector<Lp> &parts) {
  Lp lp;
  int n = 0;
  for (const Lp &p : parts) n += static_cast<int>(p.c.size());
  int col = 0;
  for (const Lp &p : parts) {
    lp.c.insert(lp.c.end(), p.c.begin(), p.c.end());
    lp.b.insert(lp.b.end(), p.b.begin(), p.b.end());
    lp.lower.insert(lp.lower.end(), p.lower.begin(), p.lower.end());
    lp.upper.insert(lp.upper.end(), p.upper.begin(), p.upper.end());
    lp.types += p.types;
    for (const auto &row : p.rows) {
      std::vector<double> wide(n, 0.0);
      for (size_t j = 0; j < row.size(); ++j) wide[col + j] = row[j];
      lp.rows.push_back(wide);
    }
    col += static_cast<int>(p.c.size());
  }
  return lp;
}

Lp shifted_textbook(double rhs_scale, double cost_scale) {
  Lp lp = textbook();
  lp.sense = TV_MIN;
  for (double &v : lp.b) v *= rhs_scale;
  for (double &v : lp.c) v *= -cost_scale;
  return lp;
}

class Dispatch : public ::testing::Test {
 protected:
  tvtest::EnvHandle env;
  tvtest::ModelHandle model{env};
  std::string log;
  void listen(int level = 1) {
    ASSERT_EQ(TVsetModelLogfunc(model, tvtest::collect_model_log, &log), 0);
    ASSERT_EQ(TVsetModelIntParameter(model, TV_IPARAM_LP_PRINTLEVEL, level), 0);
  }
  bool logged(const std::string &text) const { return log.find(text) != std::string::npos; }
  int count(const std::string &text) const {
    int k = 0;
    for (size_t p = log.find(text); p != std::string::npos; p = log.find(text, p + 1)) ++k;
    return k;
  }
  // The optimum of `lp` by a plain serial solve in a model of its own.
  double reference(const Lp &lp) {
    tvtest::ModelHandle other(env);
    load(other, lp);
    int status = -1;
    EXPECT_EQ(TVoptimize(other, 0, &status), 0);
    EXPECT_EQ(status, TV_STATUS_BASIC_OPTIMAL);
    return objective(other);
  }
};

// --- explicit dual ---

TEST_F(Dispatch, ExplicitDualReachesThePrimalOptimumWithAPrimalBasis) {
  Lp lp = mixed_lp();
  const double want = reference(lp);
  for (int method : {TV_METHOD_FREE, TV_METHOD_PSIMPLEX, TV_METHOD_DSIMPLEX}) {
    SCOPED_TRACE(method);
    tvtest::ModelHandle m(env);
    std::string text;
    load(m, lp);
    TVsetModelLogfunc(m, tvtest::collect_model_log, &text);
    TVsetModelIntParameter(m, TV_IPARAM_LP_PRINTLEVEL, 1);
    ASSERT_EQ(TVsetModelIntParameter(m, TV_IPARAM_PROB_TO_SOLVE, 2), 0);
    int status = -1;
    ASSERT_EQ(TVoptimize(m, method, &status), 0);
    EXPECT_EQ(status, TV_STATUS_BASIC_OPTIMAL);
    EXPECT_NEAR(objective(m), want, 1e-9);
    EXPECT_LT(violation(m, lp), 1e-9);
    EXPECT_NE(text.find("\nConstructing the explicit dual model..."), std::string::npos);
    EXPECT_NE(text.find("\n\nConstructing a primal basis from the explicit dual...\n"), std::string::npos);
    // the dual's pivots count: the warm primal re-solve alone would show few or none
    EXPECT_GT(iterations(m), 0);
    std::vector<int> cols(lp.c.size()), rows(lp.b.size());
    ASSERT_EQ(TVgetBasis(m, cols.data(), rows.data()), 0);
    int basic = 0;
    for (int v : cols) basic += v >= 0;
    for (int v : rows) basic += v >= 0;
    EXPECT_EQ(basic, static_cast<int>(lp.b.size()));
    EXPECT_EQ(int_param(m, TV_IPARAM_LP_SCALE), -1);
    EXPECT_EQ(int_param(m, TV_IPARAM_LP_PRELEVEL), 254);
    expect_consistent(m);
  }
}

TEST_F(Dispatch, ExplicitDualOfAMaximisationAndWarmStartFromThePrimalBasis) {
  Lp lp = textbook();
  load(model, lp);
  listen();
  int status = -1;
  ASSERT_EQ(TVoptimize(model, 0, &status), 0);
  ASSERT_EQ(TVsetModelIntParameter(model, TV_IPARAM_PROB_TO_SOLVE, 2), 0);
  log.clear();
  ASSERT_EQ(TVoptimize(model, 0, &status), 0);
  EXPECT_EQ(status, TV_STATUS_BASIC_OPTIMAL);
  EXPECT_NEAR(objective(model), 10.5, 1e-9);
  // the optimal primal basis maps onto an optimal dual basis: nothing to pivot
  EXPECT_TRUE(logged("\nComputed a dual basis from the primal basis...\n")) << log;
  EXPECT_EQ(iterations(model), 0);
  expect_consistent(model);
}

TEST_F(Dispatch, SmallModelsDoNotGoThroughTheDualUnlessAsked) {
  Lp lp = mixed_lp();
  load(model, lp);
  listen();
  int status = -1;
  ASSERT_EQ(TVoptimize(model, 0, &status), 0);
  EXPECT_EQ(status, TV_STATUS_BASIC_OPTIMAL);
  EXPECT_FALSE(logged("explicit dual")) << log;
  ASSERT_EQ(TVsetModelIntParameter(model, TV_IPARAM_PROB_TO_SOLVE, 1), 0);
  ASSERT_EQ(TVoptimize(model, 0, &status), 0);
  EXPECT_FALSE(logged("explicit dual")) << log;
}

TEST_F(Dispatch, DualVerdictsAreTranslatedForThePrimal) {
  // An unbounded primal has an infeasible dual: the primal must never be
  // called infeasible for it; with IUSOL the primal re-solve gives the exact word.
  Lp unbounded;
  unbounded.c = {-1, -1};
  unbounded.b = {1};
  unbounded.types = "L";
  unbounded.rows = {{1, -1}};
  unbounded.lower = {0, 0};
  unbounded.upper = {kInf, kInf};
  load(model, unbounded);
  ASSERT_EQ(TVsetModelIntParameter(model, TV_IPARAM_PROB_TO_SOLVE, 2), 0);
  int status = -1;
  ASSERT_EQ(TVoptimize(model, 0, &status), 0);
  EXPECT_TRUE(status == TV_STATUS_UNBOUNDED || status == TV_STATUS_INFORUNB) << status;
  expect_consistent(model);
  ASSERT_EQ(TVsetModelIntParameter(model, TV_IPARAM_SOLVER_IUSOL, 1), 0);
  ASSERT_EQ(TVoptimize(model, 0, &status), 0);
  EXPECT_EQ(status, TV_STATUS_UNBOUNDED);
  EXPECT_EQ(int_param(model, TV_IPARAM_SOLVER_IUSOL), 1);
  expect_consistent(model);

  tvtest::ModelHandle other(env);
  Lp infeasible = unbounded;
  infeasible.c = {1, 1};
  infeasible.b = {1, 3};
  infeasible.types = "LG";
  infeasible.rows = {{1, 1}, {1, 1}};
  load(other, infeasible);
  ASSERT_EQ(TVsetModelIntParameter(other, TV_IPARAM_PROB_TO_SOLVE, 2), 0);
  ASSERT_EQ(TVoptimize(other, 0, &status), 0);
  EXPECT_TRUE(status == TV_STATUS_INFEASIBLE || status == TV_STATUS_INFORUNB) << status;
  if (status != TV_STATUS_INFEASIBLE) {
    EXPECT_NE(TVgetBasis(other, nullptr, nullptr), 0);
  }
  expect_consistent(other);
}

TEST_F(Dispatch, RangeRowsAreNotLostOnTheWayThroughTheDual) {
  // Without the upper end of 2 <= x + y <= 4 the LP is unbounded, so a dual
  // that dropped the range would give the wrong verdict; asked for, the
  // ranged model really goes through the explicit dual.
  const char *text =
      "NAME RANGED\nROWS\n N COST\n G R1\nCOLUMNS\n X COST -1.0 R1 1.0\n Y COST -1.0 R1 1.0\n"
      "RHS\n RHS R1 2.0\nRANGES\n RNG R1 2.0\nENDATA\n";
  const std::string path = tvtest::temp_path("ranged_dual.mps");
  tvtest::write_file(path, text);
  ASSERT_EQ(TVreadMPSFile(model, path.c_str(), 0), 0);
  std::remove(path.c_str());
  listen();
  ASSERT_EQ(TVsetModelIntParameter(model, TV_IPARAM_PROB_TO_SOLVE, 2), 0);
  int status = -1;
  ASSERT_EQ(TVoptimize(model, 0, &status), 0);
  EXPECT_EQ(status, TV_STATUS_BASIC_OPTIMAL);
  EXPECT_NEAR(objective(model), -4.0, 1e-9);
  EXPECT_TRUE(logged("\nConstructing the explicit dual model...")) << log;
  EXPECT_TRUE(logged("\n\nConstructing a primal basis from the explicit dual...\n")) << log;
  expect_consistent(model);
}

TEST_F(Dispatch, NetlibModelThroughTheExplicitDual) {
  const std::string path = std::string(TARVO_DATA_DIR) + "/netlib/afiro.mps.gz";
  if (TVreadMPSFile(model, path.c_str(), 1) != 0) GTEST_SKIP() << "no netlib data";
  ASSERT_EQ(TVsetModelIntParameter(model, TV_IPARAM_PROB_TO_SOLVE, 2), 0);
  int status = -1;
  ASSERT_EQ(TVoptimize(model, 0, &status), 0);
  EXPECT_EQ(status, TV_STATUS_BASIC_OPTIMAL);
  EXPECT_NEAR(objective(model), -464.7531428571428, 1e-6);
  expect_consistent(model);
}

// --- concurrent runner ---

TEST_F(Dispatch, ConcurrentRunFindsTheOptimumAndReportsEveryThread) {
  Lp lp = mixed_lp();
  const double want = reference(lp);
  load(model, lp);
  listen();
  for (int threads : {2, 3}) {
    SCOPED_TRACE(threads);
    log.clear();
    ASSERT_EQ(TVsetModelIntParameter(model, TV_IPARAM_NUM_THREADS, threads), 0);
    ASSERT_EQ(TVsetModelIntParameter(model, TV_IPARAM_SOLVER_RESTART, 1), 0);
    int status = -1;
    ASSERT_EQ(TVoptimize(model, 0, &status), 0);
    EXPECT_EQ(status, TV_STATUS_BASIC_OPTIMAL);
    EXPECT_NEAR(objective(model), want, 1e-9);
    EXPECT_LT(violation(model, lp), 1e-9);
    EXPECT_TRUE(logged("\nWarning: Concurrent runs will use default strategies..\n"));
    EXPECT_TRUE(logged("\nConcurrent LP run started..\n"));
    EXPECT_TRUE(logged("\n\nConcurrent run terminated..\n"));
    EXPECT_EQ(count("\nThread-id:"), threads);
    EXPECT_TRUE(logged("\n\nConcurrent  workload: "));
    // the copies stay silent: no solver header reaches the caller's log
    EXPECT_FALSE(logged("Optimizing model")) << log;
    expect_consistent(model);
  }
  // The winner's basis came back: a serial re-solve starts from it.
  ASSERT_EQ(TVsetModelIntParameter(model, TV_IPARAM_NUM_THREADS, 1), 0);
  int status = -1;
  ASSERT_EQ(TVoptimize(model, 0, &status), 0);
  EXPECT_EQ(status, TV_STATUS_BASIC_OPTIMAL);
  EXPECT_EQ(iterations(model), 0);
  EXPECT_EQ(int_param(model, TV_IPARAM_SOLVER_RESTART), 0);
}

TEST_F(Dispatch, ConcurrentRunOnANetlibModel) {
  const std::string path = std::string(TARVO_DATA_DIR) + "/netlib/sc50a.mps.gz";
  if (TVreadMPSFile(model, path.c_str(), 1) != 0) GTEST_SKIP() << "no netlib data";
  ASSERT_EQ(TVsetModelIntParameter(model, TV_IPARAM_NUM_THREADS, 4), 0);
  int status = -1;
  ASSERT_EQ(TVoptimize(model, 0, &status), 0);
  EXPECT_EQ(status, TV_STATUS_BASIC_OPTIMAL);
  EXPECT_NEAR(objective(model), -64.5750770585645, 1e-6);
  expect_consistent(model);
}

TEST_F(Dispatch, ThreadModesTheModelCannotUseAreRefused) {
  load(model, textbook());
  listen();
  int status = -1;
  // one LP thread with barrier threads: the runner falls back to the serial solve
  ASSERT_EQ(TVsetModelIntParameter(model, TV_IPARAM_IPM_NUM_THREADS, 2), 0);
  ASSERT_EQ(TVoptimize(model, 0, &status), 0);
  EXPECT_EQ(status, TV_STATUS_BASIC_OPTIMAL);
  EXPECT_TRUE(logged("\nConcurrent threads is 1, switching to serial solver.")) << log;
  ASSERT_EQ(TVsetModelIntParameter(model, TV_IPARAM_NUM_THREADS, 2), 0);
  ASSERT_EQ(TVsetModelIntParameter(model, TV_IPARAM_MULTITHREAD_MODE, 2), 0);
  EXPECT_EQ(TVoptimize(model, 0, &status), 2029);  // parallel only: the simplex has no parallel mode
  ASSERT_EQ(TVsetModelIntParameter(model, TV_IPARAM_MULTITHREAD_MODE, 4), 0);
  EXPECT_EQ(TVoptimize(model, TV_METHOD_BARRIER, &status), 2029);
  EXPECT_EQ(int_param(model, TV_IPARAM_IPM_NUM_THREADS), 2);
  // decomposition runs its blocks in parallel; a concurrent-only mode cannot
  ASSERT_EQ(TVsetModelIntParameter(model, TV_IPARAM_DECOMPOSITION_TYPE, 2), 0);
  EXPECT_EQ(TVoptimize(model, 0, &status), 2029);
  expect_consistent(model);
}

// --- total decomposition ---

TEST_F(Dispatch, BlockDiagonalLpIsSolvedBlockByBlock) {
  Lp lp = block_diagonal({shifted_textbook(1, 1), mixed_lp(), shifted_textbook(3, 0.5)});
  const double want = reference(lp);
  load(model, lp);
  listen();
  ASSERT_EQ(TVsetModelIntParameter(model, TV_IPARAM_DECOMPOSITION_TYPE, 2), 0);
  int status = -1;
  ASSERT_EQ(TVoptimize(model, 0, &status), 0);
  EXPECT_EQ(status, TV_STATUS_BASIC_OPTIMAL);
  EXPECT_NEAR(objective(model), want, 1e-9);
  EXPECT_LT(violation(model, lp), 1e-9);
  EXPECT_TRUE(logged("\nLP has been decomposed into 3 independent blocks..\n")) << log;
  EXPECT_TRUE(logged("\nConsolidating the solution to the original LP model..\n"));
  EXPECT_TRUE(logged("\nReoptimizing the original LP with consolidated basis."));
  EXPECT_GT(iterations(model), 0);  // the blocks' pivots are counted
  expect_consistent(model);

  // The same with two threads: the blocks run side by side, silently.
  log.clear();
  ASSERT_EQ(TVsetModelIntParameter(model, TV_IPARAM_NUM_THREADS, 2), 0);
  ASSERT_EQ(TVsetModelIntParameter(model, TV_IPARAM_SOLVER_RESTART, 1), 0);
  ASSERT_EQ(TVoptimize(model, 0, &status), 0);
  EXPECT_EQ(status, TV_STATUS_BASIC_OPTIMAL);
  EXPECT_NEAR(objective(model), want, 1e-9);
  EXPECT_TRUE(logged("\nLP has been decomposed into 3 independent blocks..\n")) << log;
  expect_consistent(model);
}

TEST_F(Dispatch, ConnectedLpIsSolvedWithoutDecomposition) {
  Lp lp = mixed_lp();
  load(model, lp);
  listen();
  ASSERT_EQ(TVsetModelIntParameter(model, TV_IPARAM_DECOMPOSITION_TYPE, 2), 0);
  int status = -1;
  ASSERT_EQ(TVoptimize(model, 0, &status), 0);
  EXPECT_EQ(status, TV_STATUS_BASIC_OPTIMAL);
  EXPECT_FALSE(logged("decomposed")) << log;
}

TEST_F(Dispatch, InfeasibleBlockMakesTheWholeModelInfeasible) {
  Lp bad;
  bad.c = {1, 1};
  bad.b = {1, 3};
  bad.types = "LG";
  bad.rows = {{1, 1}, {1, 1}};
  bad.lower = {0, 0};
  bad.upper = {kInf, kInf};
  load(model, block_diagonal({textbook(), bad}));
  ASSERT_EQ(TVsetModelIntParameter(model, TV_IPARAM_DECOMPOSITION_TYPE, 2), 0);
  int status = -1;
  ASSERT_EQ(TVoptimize(model, 0, &status), 0);
  EXPECT_EQ(status, TV_STATUS_INFEASIBLE);
  expect_consistent(model);
}

TEST_F(Dispatch, DecompositionOfAQuadraticModelIsRefused) {
  load(model, textbook());
  int qrow[1] = {-1}, qcol1[1] = {0}, qcol2[1] = {0};
  double qval[1] = {1.0};
  ASSERT_EQ(TVloadQCData(model, 1, qrow, qcol1, qcol2, qval), 0);
  ASSERT_EQ(TVsetModelIntParameter(model, TV_IPARAM_DECOMPOSITION_TYPE, 2), 0);
  int status = -1;
  EXPECT_EQ(TVoptimize(model, 0, &status), 2029);
  EXPECT_EQ(status, TV_STATUS_UNKNOWN);
  expect_consistent(model);
}

// --- warm re-optimisation, methods and parameters ---

TEST_F(Dispatch, SecondSolveReoptimisesWarmFromTheSameBasis) {
  load(model, mixed_lp());
  listen();
  int status = -1;
  ASSERT_EQ(TVoptimize(model, 0, &status), 0);
  EXPECT_TRUE(logged("\nOptimizing model (rows:"));  // of the presolved copy
  EXPECT_FALSE(logged("Reoptimizing model"));
  log.clear();
  ASSERT_EQ(TVoptimize(model, 0, &status), 0);
  EXPECT_EQ(status, TV_STATUS_BASIC_OPTIMAL);
  const size_t at = log.find("\nReoptimizing model (rows:5, cols:7, nnz:");
  ASSERT_NE(at, std::string::npos) << log;
  // no pivot: the basis hash is the same before and after
  const size_t bh = log.find("bh:", at), end = log.find(',', bh);
  ASSERT_NE(bh, std::string::npos);
  const std::string hash = log.substr(bh + 3, end - bh - 3);
  EXPECT_TRUE(logged("\nReopt exit status=2, (#pivots=0), bhash:" + hash)) << log;
  EXPECT_TRUE(logged(" (r)\n"));
  EXPECT_EQ(iterations(model), 0);
}

TEST_F(Dispatch, MethodsOutsideTheLpWrapperAreRefused) {
  load(model, textbook());
  int status = -1;
  EXPECT_EQ(TVoptimize(model, 14, &status), 2029);
  for (int method : {-1, 4, 5, 10, 12, 13, 15}) EXPECT_EQ(TVoptimize(model, method, &status), 2006) << method;
  EXPECT_EQ(TVoptimize(model, TV_METHOD_SPRINT, &status), 0);
  EXPECT_EQ(status, TV_STATUS_BASIC_OPTIMAL);
  int error = 0;
  EXPECT_EQ(TVoptimize(model, 13, &status), 2006);
  EXPECT_EQ(TVgetInfo(model, TV_IINFO_ERR_OPTIM, &error), 0);
  EXPECT_EQ(error, 2006);
  expect_consistent(model);
}

TEST_F(Dispatch, CallParametersAreLeftAsFound) {
  load(model, mixed_lp());
  ASSERT_EQ(TVsetModelIntParameter(model, TV_IPARAM_LP_SCALE, 2), 0);
  ASSERT_EQ(TVsetModelIntParameter(model, TV_IPARAM_LP_PRELEVEL, 8192 + 2), 0);
  ASSERT_EQ(TVsetModelIntParameter(model, TV_IPARAM_SOLVER_RESTART, 1), 0);
  ASSERT_EQ(TVsetModelIntParameter(model, TV_IPARAM_PROB_TO_SOLVE, 2), 0);
  int status = -1;
  ASSERT_EQ(TVoptimize(model, 0, &status), 0);
  EXPECT_EQ(status, TV_STATUS_BASIC_OPTIMAL);
  EXPECT_EQ(int_param(model, TV_IPARAM_LP_SCALE), 2);
  EXPECT_EQ(int_param(model, TV_IPARAM_LP_PRELEVEL), 8192 + 2);
  EXPECT_EQ(int_param(model, TV_IPARAM_SOLVER_RESTART), 0);  // a cold start lasts one call
  EXPECT_EQ(int_param(model, TV_IPARAM_PROB_TO_SOLVE), 2);
  expect_consistent(model);
}

// Settings a solve makes for itself (presolve off in the low-memory setting,
// no presolve and no scaling for the re-solve after the explicit dual) are
// the solver's own: a host reading its parameters from a callback during the
// solve sees the values it set.
TEST_F(Dispatch, HostSeesItsOwnParametersWhileTheSolveRuns) {
  struct Seen {
    int calls = 0, wrong = 0;
  } seen;
  auto cb = [](pTVmodel m, int, void *data) -> int {
    auto *s = static_cast<Seen *>(data);
    int pre = -1, scale = -1;
    TVgetModelIntParameter(m, TV_IPARAM_LP_PRELEVEL, &pre);
    TVgetModelIntParameter(m, TV_IPARAM_LP_SCALE, &scale);
    ++s->calls;
    if (pre != 8192 + 2 || scale != 2) ++s->wrong;
    return 0;
  };
  load(model, mixed_lp());
  ASSERT_EQ(TVsetModelIntParameter(model, TV_IPARAM_LP_SCALE, 2), 0);
  ASSERT_EQ(TVsetModelIntParameter(model, TV_IPARAM_LP_PRELEVEL, 8192 + 2), 0);
  ASSERT_EQ(TVsetModelIntParameter(model, TV_IPARAM_PROB_TO_SOLVE, 2), 0);
  ASSERT_EQ(TVsetModelDouParameter(model, TV_DPARAM_CALLBACKFREQ, 0.0), 0);
  ASSERT_EQ(TVsetCallback(model, cb, &seen), 0);
  int status = -1;
  ASSERT_EQ(TVoptimize(model, 0, &status), 0);
  EXPECT_EQ(status, TV_STATUS_BASIC_OPTIMAL);
  EXPECT_GT(seen.calls, 0);
  EXPECT_EQ(seen.wrong, 0);
  EXPECT_EQ(int_param(model, TV_IPARAM_LP_PRELEVEL), 8192 + 2);
  EXPECT_EQ(int_param(model, TV_IPARAM_LP_SCALE), 2);
}

}  // namespace
