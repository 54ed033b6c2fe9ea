// Model and environment log writers as a host sees them: which lines reach
// which function, what the writers return, and when text goes to stdout.
#include <gtest/gtest.h>

#include <string>

#include "test_support.hpp"

using namespace tvtest;

namespace {

void expect_consistent(pTVmodel model) {
  char why[256] = "";
  EXPECT_EQ(TVcheckModelConsistency(model, why), 0) << why;
}

struct ModelLogSeen {
  pTVmodel model = nullptr;
  std::string text;
  int calls = 0;
};

void record_model_log(pTVmodel model, const char *text, void *data) {
  auto *seen = static_cast<ModelLogSeen *>(data);
  seen->model = model;
  seen->text += text;
  ++seen->calls;
}

struct EnvLogSeen {
  pTVenv env = nullptr;
  std::string text;
};

void record_env_log(pTVenv env, const char *text, void *data) {
  auto *seen = static_cast<EnvLogSeen *>(data);
  seen->env = env;
  seen->text += text;
}

}  // namespace

TEST(ModelLog, LinesReachTheHostFunctionWithItsModelAndUserData) {
  EnvHandle env;
  ModelHandle model(env);
  ModelLogSeen seen;
  ASSERT_EQ(TVsetModelLogfunc(model, record_model_log, &seen), 0);
  EXPECT_EQ(TVlogmod(model, 1, "\nIter %d obj %.1f", 7, 2.5), 15);
  EXPECT_EQ(seen.text, "\nIter 7 obj 2.5");
  EXPECT_EQ(seen.model, model.model);
  // The switch is the solver's print-level test: 0 writes nothing.
  EXPECT_EQ(TVlogmod(model, 0, "hidden"), 0);
  EXPECT_EQ(seen.calls, 1);
  expect_consistent(model);
}

TEST(ModelLog, LongLinesArriveWholeAndBadCallsWriteNothing) {
  EnvHandle env;
  ModelHandle model(env);
  ModelLogSeen seen;
  EXPECT_EQ(TVsetModelLogfunc(nullptr, record_model_log, &seen), 2010);
  TVsetModelLogfunc(model, record_model_log, &seen);
  std::string big(10000, 'x');
  EXPECT_EQ(TVlogmod(model, 1, "<%s>", big.c_str()), 10002);
  EXPECT_EQ(seen.text, "<" + big + ">");
  EXPECT_EQ(TVlogmod(nullptr, 1, "x"), 0);
  EXPECT_EQ(TVlogmod(model, 1, nullptr), -1);
  EXPECT_EQ(seen.calls, 1);
}

TEST(ModelLog, RemovingTheFunctionSilencesTheModel) {
  EnvHandle env;
  ModelHandle model(env);
  ModelLogSeen seen;
  TVsetModelLogfunc(model, record_model_log, &seen);
  ASSERT_EQ(TVsetModelLogfunc(model, nullptr, &seen), 0);
  EXPECT_EQ(TVlogmod(model, 1, "gone %d", 1), 0);
  EXPECT_EQ(seen.calls, 0);
  EXPECT_EQ(TVgetEnvLogModel(env), nullptr);
  expect_consistent(model);
}

TEST(ModelLog, FailureWarningsFollowTheEffectivePrintLevel) {
  EnvHandle env;
  ModelHandle model(env);
  ModelLogSeen seen;
  TVsetModelLogfunc(model, record_model_log, &seen);
  const std::string missing = temp_path("no_such_dir/none.par");
  const std::string warning = "\nWarning: " + message(2002) + " (error:2002)";

  for (int id : {TV_IPARAM_LP_PRINTLEVEL, TV_IPARAM_MIP_PRINTLEVEL, TV_IPARAM_NLP_PRINTLEVEL})
    ASSERT_EQ(TVsetModelIntParameter(model, id, 0), 0);
  EXPECT_EQ(TVreadModelParameter(model, missing.c_str()), 2002);
  EXPECT_EQ(seen.text.find("Warning"), std::string::npos) << seen.text;

  // Any one of the three levels is enough.
  ASSERT_EQ(TVsetModelIntParameter(model, TV_IPARAM_NLP_PRINTLEVEL, 1), 0);
  seen.text.clear();
  EXPECT_EQ(TVreadModelParameter(model, missing.c_str()), 2002);
  EXPECT_NE(seen.text.find(warning), std::string::npos) << seen.text;
  expect_consistent(model);
}

TEST(EnvLog, LinesReachTheEnvironmentFunction) {
  EnvHandle env;
  EnvLogSeen seen;
  ASSERT_EQ(TVsetEnvLogfunc(env, record_env_log, &seen), 0);
  EXPECT_EQ(TVlogenv(env, 1, "%s-%d", "env", 3), 5);
  EXPECT_EQ(seen.text, "env-3");
  EXPECT_EQ(seen.env, env.env);
  EXPECT_EQ(TVlogenv(env, 0, "never"), 0);
  EXPECT_EQ(seen.text, "env-3");
  EXPECT_EQ(TVsetEnvLogfunc(nullptr, record_env_log, &seen), 2010);
  // Without it, lines of importance 8 go to stdout.
  ASSERT_EQ(TVsetEnvLogfunc(env, nullptr, nullptr), 0);
  testing::internal::CaptureStdout();
  TVlogenv(env, 8, "out");
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "out");
  EXPECT_EQ(seen.text, "env-3");
}

TEST(EnvLog, WithoutFunctionsOnlyImportanceEightOrExternalLoggingPrints) {
  EnvHandle env;
  testing::internal::CaptureStdout();
  EXPECT_EQ(TVlogenv(env, 1, "quiet"), 5);
  EXPECT_EQ(TVlogenv(env, 8, "[loud %d]", 8), 8);
  EXPECT_EQ(TVlogenv(nullptr, 8, "[no env]"), 8);
  EXPECT_EQ(TVlogenv(nullptr, 1, "[dropped]"), 9);
  ASSERT_EQ(TVsetEnvIntParameter(env, TV_IPARAM_XSOLVER_LOG_LEVEL, -1), 0);
  EXPECT_EQ(TVlogenv(env, 1, "[steps]"), 7);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "[loud 8][no env][steps]");
}
