// Information items: statistics of the loaded problem, solution and MIP
// items, the typed companions, and routing to the stochastic store and the
// profiler.
#include <gtest/gtest.h>

#include <map>
#include <memory>

#include "test_support.hpp"

#if __has_include("model/model.hpp")
#include "model/model.hpp"
#define TARVO_WHITE_BOX 1
#endif

using namespace tvtest;

namespace {

void expect_consistent(pTVmodel model) {
  char why[256];
  EXPECT_EQ(TVcheckModelConsistency(model, why), 0) << why;
}

int int_info(pTVmodel model, int item) {
  int v = -12345;
  EXPECT_EQ(TVgetIntInfo(model, item, &v), 0) << item;
  return v;
}

// Rows L, E, G, N; columns of every bound kind: x0 [0,inf) LB, x1 (-inf,4] UB,
// x2 binary LUB, x3 free, x4 fixed at 3, x5 integer [0,10] LUB.
void load_mixed(pTVmodel model) {
  const double c[] = {1, 1, 1, 1, 1, 1}, b[] = {1, 2, 3, 0};
  const int starts[] = {0, 2, 3, 4, 5, 6, 7}, rows[] = {0, 1, 1, 2, 3, 0, 2};
  const double vals[] = {0.5, -8, 2, 1, 1, 1, -0.25};
  const double lo[] = {0, -1e30, 0, -1e30, 3, 0}, up[] = {1e30, 4, 1, 1e30, 3, 10};
  ASSERT_EQ(TVloadLPData(model, 4, 6, TV_MIN, 0, c, b, "LEGN", 7, starts, nullptr, vals, rows, lo, up), 0);
  char types[] = "CCBCCI";
  ASSERT_EQ(TVloadVarType(model, types), 0);
}

TEST(QueryInfo, FreshModelAnswersItsStatusOnly) {
  EnvHandle env;
  ModelHandle model(env);
  int status = 0, n = -1;
  EXPECT_EQ(TVgetInfo(model, TV_IINFO_MODEL_STATUS, &status), 0);
  EXPECT_EQ(status, TV_STATUS_UNLOADED);
  EXPECT_EQ(TVgetInfo(model, TV_IINFO_NUM_VARS, &n), 2009);
  EXPECT_EQ(TVgetInfo(model, TV_IINFO_NUM_BIN, &n), 2009);
  EXPECT_EQ(n, -1);
  EXPECT_EQ(TVgetInfo(model, TV_IINFO_NUM_VARS, nullptr), 0) << "a null result is no error";
  EXPECT_EQ(TVgetInfo(nullptr, TV_IINFO_NUM_VARS, &n), 2010);
  double pinf = 0, obj = -1;
  EXPECT_EQ(TVgetInfo(model, TV_DINFO_PINFEAS, &pinf), 2009);
  EXPECT_EQ(pinf, 1e30);
  EXPECT_EQ(TVgetInfo(model, TV_DINFO_POBJ, &obj), 2009);
  EXPECT_EQ(obj, -1);
}

TEST(QueryInfo, StatisticsCountTheLoadedProblemAndFollowChanges) {
  EnvHandle env;
  ModelHandle model(env);
  load_mixed(model);
  const int sc[] = {5};
  const double sl[] = {2}, su[] = {8};
  ASSERT_EQ(TVloadSemiContData(model, 1, sc, sl, su), 0);
  const char set_types[] = {1, 2, 1};
  const int set_starts[] = {0, 2, 4, 6}, set_cols[] = {0, 1, 1, 3, 1, 2};
  ASSERT_EQ(TVloadSETSData(model, 3, set_types, nullptr, set_starts, set_cols), 0);
  const std::map<int, int> want = {
      {TV_IINFO_NUM_CONS, 4},         {TV_IINFO_NUM_VARS, 6},          {TV_IINFO_NUM_NONZ, 7},
      {TV_IINFO_NUM_BIN, 1},          {TV_IINFO_NUM_INT, 1},           {TV_IINFO_NUM_CONT, 4},
      {TV_IINFO_NUM_CONS_L, 1},       {TV_IINFO_NUM_CONS_E, 1},        {TV_IINFO_NUM_CONS_G, 1},
      {TV_IINFO_NUM_CONS_N, 1},       {TV_IINFO_NUM_CONS_R, 0},        {TV_IINFO_NUM_VARS_LB, 1},
      {TV_IINFO_NUM_VARS_UB, 1},      {TV_IINFO_NUM_VARS_LUB, 2},      {TV_IINFO_NUM_VARS_FR, 1},
      {TV_IINFO_NUM_VARS_FX, 1},      {TV_IINFO_NUM_VARS_SCONT, 1},    {TV_IINFO_NUM_VARS_SOS1, 3},
      {TV_IINFO_NUM_VARS_SOS2, 2},    {TV_IINFO_INST_VARNDX_MIN_COEF, 5}, {TV_IINFO_INST_CONNDX_MIN_COEF, 2},
      {TV_IINFO_INST_VARNDX_MAX_COEF, 0}, {TV_IINFO_INST_CONNDX_MAX_COEF, 1},
  };
  for (auto [item, value] : want) EXPECT_EQ(int_info(model, item), value) << item;
  double coef = 0;
  ASSERT_EQ(TVgetDouInfo(model, TV_DINFO_INST_VAL_MIN_COEF, &coef), 0);
  EXPECT_EQ(coef, 0.25);

  // The block is recomputed after a change.
  const int row[] = {0}, col[] = {3}, ivar[] = {0};
  const double up[] = {7};
  ASSERT_EQ(TVmodifyConstraintType(model, 1, row, "G"), 0);
  ASSERT_EQ(TVmodifyUpperBounds(model, 1, col, up), 0);
  ASSERT_EQ(TVmodifyVariableType(model, 1, ivar, "I"), 0);
  EXPECT_EQ(int_info(model, TV_IINFO_NUM_CONS_G), 2);
  EXPECT_EQ(int_info(model, TV_IINFO_NUM_VARS_FR), 0);
  EXPECT_EQ(int_info(model, TV_IINFO_NUM_VARS_UB), 2);
  EXPECT_EQ(int_info(model, TV_IINFO_NUM_INT), 2);
  expect_consistent(model);
}

TEST(QueryInfo, SolutionItemsComeFromTheRecord) {
  EnvHandle env;
  ModelHandle model(env);
  load_mixed(model);
  EXPECT_EQ(int_info(model, TV_IINFO_MODEL_STATUS), TV_STATUS_LOADED) << "no record: the model's own status";
  int v = 0;
  EXPECT_EQ(TVgetIntInfo(model, TV_IINFO_PRIMAL_STATUS, &v), 2009);
  const double x[] = {1, 4, 0, 0, 3, 0};
  ASSERT_EQ(TVloadPrimalSolution(model, TV_STATUS_FEASIBLE, x), 0);
  EXPECT_EQ(int_info(model, TV_IINFO_MODEL_STATUS), TV_STATUS_FEASIBLE);
  EXPECT_EQ(int_info(model, TV_IINFO_DUAL_STATUS), TV_STATUS_UNLOADED);
  EXPECT_EQ(int_info(model, TV_IINFO_SIM_ITER), 0);
  double obj = 0;
  ASSERT_EQ(TVgetInfo(model, TV_DINFO_POBJ, &obj), 0);
  EXPECT_DOUBLE_EQ(obj, 8.0);
  // The last error code is kept by the model itself.
  int status = TV_STATUS_OPTIMAL, code = 2019;
  ASSERT_EQ(TVloadModelStatus(model, &status, &code), 0);
  EXPECT_EQ(int_info(model, TV_IINFO_ERR_OPTIM), 2019);
  expect_consistent(model);
}

TEST(QueryInfo, TypedCompanionsNeverWriteTheWrongWidth) {
  EnvHandle env;
  ModelHandle model(env);
  load_mixed(model);
  double wide = -1;
  ASSERT_EQ(TVgetDouInfo(model, TV_IINFO_NUM_VARS, &wide), 0);
  EXPECT_EQ(wide, 6.0) << "an integer item widens losslessly";
  struct {
    int value = -1;
    int guard = 0x5a5a5a5a;  // a double written into `value` would spill here
  } slot;
  EXPECT_EQ(TVgetIntInfo(model, TV_DINFO_INST_VAL_MAX_COEF, &slot.value), 2025);
  EXPECT_EQ(slot.value, -1);
  EXPECT_EQ(slot.guard, 0x5a5a5a5a);
}

TEST(QueryInfo, UnknownItemsAreRoutedToStochasticsThenProfiler) {
  EnvHandle env;
  ModelHandle model(env);
  load_mixed(model);
  double d = -1;
  int i = -1;
  EXPECT_EQ(TVgetInfo(model, 99999, &d), 2009);
  EXPECT_EQ(TVgetInfo(model, TV_DINFO_STOC_EVPI, &d), 2009);
  EXPECT_EQ(TVgetIntInfo(model, TV_IINFO_STOC_NUM_STAGES, &i), 2009);
  EXPECT_EQ(TVgetInfo(model, 12001, &d), 2009) << "profiling is off";
  EXPECT_EQ(d, -1);
  EXPECT_EQ(TVgetStocInfo(nullptr, TV_DINFO_STOC_EVPI, &d), 2010);
  EXPECT_EQ(TVgetProfilerInfo(nullptr, 12000, &i, &d), 2010);
  EXPECT_EQ(TVgetProfilerInfo(model, 12000, &i, &d), 2009);
  EXPECT_EQ(i, -1);
}

#ifdef TARVO_WHITE_BOX
TEST(QueryInfo, MipItemsFollowTheStatusRule) {
  EnvHandle env;
  ModelHandle model(env);
  load_mixed(model);
  model.model->mip = std::make_unique<tarvo::base::MipRecord>();
  tarvo::base::MipRecord &r = *model.model->mip;
  r.status = TV_STATUS_UNKNOWN;
  r.obj = 42;
  r.sim_iter = 3e10;  // counters saturate rather than wrap
  r.num_solutions = 1;
  double d = -1;
  EXPECT_EQ(int_info(model, TV_IINFO_MIP_STATUS), TV_STATUS_UNKNOWN);
  EXPECT_EQ(TVgetInfo(model, TV_DINFO_MIP_OBJ, &d), 2009);
  EXPECT_EQ(int_info(model, TV_IINFO_MIP_SIM_ITER), 2147483647);
  r.num_solutions = 2;
  EXPECT_EQ(int_info(model, TV_IINFO_MIP_STATUS), TV_STATUS_FEASIBLE);
  ASSERT_EQ(TVgetInfo(model, TV_DINFO_MIP_OBJ, &d), 0);
  EXPECT_EQ(d, 42);
  r.finished = true;
  r.status = TV_STATUS_CUTOFF;
  EXPECT_EQ(int_info(model, TV_IINFO_MIP_STATUS), TV_STATUS_CUTOFF);
  EXPECT_EQ(TVgetInfo(model, TV_DINFO_MIP_OBJ, &d), 2009);
}

TEST(QueryInfo, ProfilerTableAnswersOnceTimersAreRecorded) {
  EnvHandle env;
  ModelHandle model(env);
  load_mixed(model);
  ASSERT_EQ(TVsetModelIntParameter(model, TV_IPARAM_PROFILER_LEVEL, 1), 0);
  model.model->profiler.resize(500);  // what a solver's first recording creates
  model.model->profiler[7] = {3, 1.5};
  int calls = -1;
  double secs = -1;
  ASSERT_EQ(TVgetProfilerInfo(model, 12007, &calls, &secs), 0);
  EXPECT_EQ(calls, 3);
  EXPECT_EQ(secs, 1.5);
  ASSERT_EQ(TVgetProfilerInfo(model, 12008, nullptr, &secs), 0);
  EXPECT_EQ(secs, 0) << "a phase never entered";
  EXPECT_EQ(TVgetProfilerInfo(model, 12500, &calls, &secs), 2009);
  double via_info = 0;
  ASSERT_EQ(TVgetInfo(model, 12007, &via_info), 0);
  EXPECT_EQ(via_info, 1.5) << "TVgetInfo reads a phase as its seconds";
}
#else
TEST(QueryInfo, WhiteBoxChecksNeedTheSourceTree) { GTEST_SKIP() << "src/ is not on the include path"; }
#endif

}  // namespace
