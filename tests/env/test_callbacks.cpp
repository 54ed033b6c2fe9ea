// Callback registrations and callback information as a host sees them
// outside a solve. The dispatcher that calls the hooks has its own white-box
// test (tests/env_internal).
#include <gtest/gtest.h>

#include <vector>

#include "test_support.hpp"

using namespace tvtest;

namespace {

int progress_cb(pTVmodel, int, void *) { return 0; }
int gradcalc(pTVmodel, void *, int, const double *, const double *, const double *, int, int, const int *,
             double *) {
  return 0;
}

void expect_consistent(pTVmodel model) {
  char why[256] = "";
  EXPECT_EQ(TVcheckModelConsistency(model, why), 0) << why;
}

}  // namespace

TEST(Registrations, NeedAModel) {
  const int rows[] = {-1};
  EXPECT_EQ(TVsetCallback(nullptr, progress_cb, nullptr), 2010);
  EXPECT_EQ(TVsetMIPCallback(nullptr, nullptr, nullptr), 2010);
  EXPECT_EQ(TVsetMIPCallbackInsMIPSol(nullptr, nullptr, nullptr), 2010);
  EXPECT_EQ(TVsetMIPCallbackInsMIPObj(nullptr, nullptr, nullptr), 2010);
  EXPECT_EQ(TVsetGOPCallback(nullptr, nullptr, nullptr), 2010);
  EXPECT_EQ(TVsetFDECallback(nullptr, nullptr, nullptr), 2010);
  EXPECT_EQ(TVsetFuncalc(nullptr, nullptr, nullptr), 2010);
  EXPECT_EQ(TVsetGradcalc(nullptr, gradcalc, nullptr, 1, rows), 2010);
  EXPECT_EQ(TVsetGradcalcFullPartial(nullptr, gradcalc, nullptr, 1, rows), 2010);
  EXPECT_EQ(TVsetHessdccalc(nullptr, nullptr, nullptr), 2010);
  EXPECT_EQ(TVsetUsercalc(nullptr, nullptr, nullptr), 2010);
  EXPECT_EQ(TVgetCallbackInfo(nullptr, TVLOC_DUAL, TV_IINFO_MODEL_STATUS, nullptr), 2010);
  EXPECT_EQ(TVgetMIPCallbackInfo(nullptr, TV_IINFO_MIP_STATUS, nullptr), 2010);
  EXPECT_EQ(TVgetProgressInfo(nullptr, TVLOC_DUAL, TV_IINFO_MODEL_STATUS, nullptr), 2010);
}

TEST(Registrations, RowListsOutsideTheModelAreSkipped) {
  EnvHandle env;
  ModelHandle model(env);
  // A model without rows: only the objective (-1) is a valid row.
  const int rows[] = {-5, -1, 0, 1000000};
  EXPECT_EQ(TVsetGradcalc(model, gradcalc, nullptr, 4, rows), 0);
  expect_consistent(model);
  EXPECT_EQ(TVsetGradcalcFullPartial(model, gradcalc, nullptr, -3, nullptr), 0);
  expect_consistent(model);
}

TEST(CallbackInfo, OutsideASolveTheModelAnswers) {
  EnvHandle env;
  ModelHandle model(env);
  for (int location : {TVLOC_PRIMAL, TVLOC_DUAL, TVLOC_MIP, TVLOC_GOP, TVLOC_IIS, TVLOC_BNP}) {
    int status = -1, quick = -1;
    EXPECT_EQ(TVgetCallbackInfo(model, location, TV_IINFO_MODEL_STATUS, &status), 0) << location;
    EXPECT_EQ(TVgetProgressInfo(model, location, TV_IINFO_MODEL_STATUS, &quick), 0) << location;
    EXPECT_EQ(status, TV_STATUS_UNLOADED) << location;
    EXPECT_EQ(quick, TV_STATUS_UNLOADED) << location;
    // No solver runs, so there are no current simplex values either.
    double pinf = 0, want = 0;
    int code = TVgetInfo(model, TV_DINFO_PINFEAS, &want);
    EXPECT_EQ(TVgetCallbackInfo(model, location, TV_DINFO_PINFEAS, &pinf), code) << location;
    EXPECT_EQ(pinf, want) << location;
  }
  // A null value pointer is "nothing wanted", as for TVgetInfo.
  EXPECT_EQ(TVgetCallbackInfo(model, TVLOC_DUAL, TV_IINFO_MODEL_STATUS, nullptr), 0);
  expect_consistent(model);
}

TEST(CallbackInfo, MIPCallbackInfoAcceptsOnlyTheIntegerSearchItems) {
  EnvHandle env;
  ModelHandle model(env);
  std::vector<int> accepted = {TV_DINFO_PINFEAS, TV_IINFO_MIP_SOLSTATUS_LAST_BRANCH,
                               TV_DINFO_MIP_SOLOBJVAL_LAST_BRANCH, 11362, 11363, 11364};
  for (int item = TV_IINFO_MIP_STATUS; item <= TV_IINFO_MIP_NUM_TOTAL_CUTS; ++item) accepted.push_back(item);
  for (int item : accepted) {
    double value[2] = {0, 0};
    EXPECT_EQ(TVgetMIPCallbackInfo(model, item, value), TVgetCallbackInfo(model, TVLOC_MIP, item, value)) << item;
  }
  for (int item : {TV_DINFO_POBJ, TV_IINFO_MODEL_STATUS, TV_IINFO_MIP_GUB_COVER_CUTS, 11349, 11352, 11361, 11365,
                   TV_DINFO_CUR_OBJ}) {
    double value = 0;
    EXPECT_EQ(TVgetMIPCallbackInfo(model, item, &value), 2009) << item;
    EXPECT_EQ(TVgetMIPCallbackInfo(model, item, nullptr), 2009) << item;
  }
  expect_consistent(model);
}
