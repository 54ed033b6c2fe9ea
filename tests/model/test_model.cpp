// The model object: creation, deletion, the environment's model list, copies
// and the queries that need loaded data.
#include <gtest/gtest.h>

#include "test_support.hpp"

using namespace tvtest;

TEST(Model, FreshModelIsUnloadedAndHoldsNoData) {
  EnvHandle env;
  ModelHandle model(env);
  ASSERT_NE(model.model, nullptr);
  int n = -1;
  EXPECT_EQ(TVgetDimensions(model, &n, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                            nullptr, nullptr),
            2009);
  EXPECT_EQ(n, -1);
  double bound = 0;
  EXPECT_EQ(TVgetLowerBoundj(model, 0, &bound), 2009);
  EXPECT_EQ(TVgetUpperBoundj(model, 0, &bound), 2009);
  EXPECT_EQ(TVgetLowerBoundj(nullptr, 0, &bound), 2010);
  EXPECT_EQ(TVgetDimensions(nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                            nullptr, nullptr, nullptr),
            2010);
  pTVenv owner = nullptr;
  EXPECT_EQ(TVgetModelEnv(model, &owner), 0);
  EXPECT_EQ(owner, env.env);
  EXPECT_EQ(TVgetMasterModel(model), nullptr);
  EXPECT_EQ(TVgetMasterModel(nullptr), nullptr);
}

TEST(Model, CreationNeedsAnEnvironmentAndACodePointer) {
  int code = 0;
  EXPECT_EQ(TVcreateModel(nullptr, &code), nullptr);
  EXPECT_EQ(code, 2010);
  EnvHandle env;
  EXPECT_EQ(TVcreateModel(env, nullptr), nullptr);
  int count = -1;
  TVgetEnvModelCount(env, &count);
  EXPECT_EQ(count, 0) << "a refused creation leaves nothing in the list";
}

TEST(Model, DeletingTheMiddleModelKeepsTheOthersInOrder) {
  EnvHandle env;
  int code;
  pTVmodel a = TVcreateModel(env, &code);
  pTVmodel b = TVcreateModel(env, &code);
  pTVmodel c = TVcreateModel(env, &code);
  EXPECT_EQ(TVdeleteModel(&b), 0);
  EXPECT_EQ(b, nullptr);
  int count = 0;
  EXPECT_EQ(TVgetEnvModelCount(env, &count), 0);
  EXPECT_EQ(count, 2);
  pTVmodel list[2] = {nullptr, nullptr};
  EXPECT_EQ(TVgetEnvModelList(env, list), 0);
  EXPECT_EQ(list[0], a);
  EXPECT_EQ(list[1], c);
  pTVmodel none = nullptr;
  EXPECT_EQ(TVdeleteModel(&none), 0);
  EXPECT_EQ(TVdeleteModel(nullptr), 0);
  EXPECT_EQ(TVgetEnvModelCount(nullptr, &count), 2009);
  EXPECT_EQ(TVgetEnvModelCount(env, nullptr), 2010);
  EXPECT_EQ(TVgetEnvModelList(nullptr, list), 2009);
  EXPECT_EQ(TVgetEnvModelList(env, nullptr), 2010);
  EXPECT_EQ(TVgetModelEnv(nullptr, nullptr), 2009);
  TVdeleteModel(&a);
  TVdeleteModel(&c);
}

TEST(Model, ParametersAreCopiedFromTheEnvironmentAtCreation) {
  EnvHandle env;
  ASSERT_EQ(TVsetEnvIntParameter(env, TV_IPARAM_LP_PRINTLEVEL, 4), 0);
  ModelHandle model(env);
  ASSERT_EQ(TVsetEnvIntParameter(env, TV_IPARAM_LP_PRINTLEVEL, 1), 0);
  int level = 0;
  EXPECT_EQ(TVgetModelIntParameter(model, TV_IPARAM_LP_PRINTLEVEL, &level), 0);
  EXPECT_EQ(level, 4) << "later environment changes do not reach existing models";
}

TEST(Model, CopyParamReplacesEveryValueOnlyInMode0) {
  EnvHandle env;
  ModelHandle source(env), target(env);
  ASSERT_EQ(TVsetModelIntParameter(source, TV_IPARAM_LP_PRINTLEVEL, 5), 0);
  ASSERT_EQ(TVsetModelDouParameter(source, TV_DPARAM_GA_CXOVER_PROB, 0.25), 0);
  EXPECT_EQ(TVcopyParam(source, target, 1), 0);
  int level = 0;
  TVgetModelIntParameter(target, TV_IPARAM_LP_PRINTLEVEL, &level);
  EXPECT_EQ(level, 2);
  EXPECT_EQ(TVcopyParam(source, target, 0), 0);
  TVgetModelIntParameter(target, TV_IPARAM_LP_PRINTLEVEL, &level);
  EXPECT_EQ(level, 5);
  double prob = 0;
  TVgetModelDouParameter(target, TV_DPARAM_GA_CXOVER_PROB, &prob);
  EXPECT_EQ(prob, 0.25);
  EXPECT_EQ(TVcopyParam(nullptr, target, 0), 2010);
  EXPECT_EQ(TVcopyParam(source, nullptr, 0), 2010);
}

TEST(Model, CopyModelLivesInTheSameEnvironmentWithTheSameSettings) {
  EnvHandle env;
  ModelHandle source(env);
  ASSERT_EQ(TVsetModelIntParameter(source, TV_IPARAM_OBJSENSE, TV_MAX), 0);
  ASSERT_EQ(TVsetModelIntParameter(source, TV_IPARAM_SPLEX_REFACFRQ, 77), 0);
  int code = -1;
  pTVmodel copy = TVcopyModel(source, &code);
  ASSERT_NE(copy, nullptr);
  EXPECT_EQ(code, 0);
  int value = 0;
  TVgetModelIntParameter(copy, TV_IPARAM_SPLEX_REFACFRQ, &value);
  EXPECT_EQ(value, 77);
  TVgetModelIntParameter(copy, TV_IPARAM_OBJSENSE, &value);
  EXPECT_EQ(value, TV_MAX);
  pTVenv owner = nullptr;
  TVgetModelEnv(copy, &owner);
  EXPECT_EQ(owner, env.env);
  int count = 0;
  TVgetEnvModelCount(env, &count);
  EXPECT_EQ(count, 2);
  EXPECT_EQ(TVdeleteModel(&copy), 0);
  EXPECT_EQ(TVcopyModel(nullptr, &code), nullptr);
  EXPECT_EQ(code, 2010);
}
