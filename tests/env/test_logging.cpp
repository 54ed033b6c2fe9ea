// Model and environment log writers as a host sees them: which lines reach
// which function, what the writers return, and when text goes to stdout.
#include <gtest/gtest.h>

#include <string>
#include <vector>

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

namespace {

std::vector<std::string> g_calls;
void record_call(pTVmodel, const char *text, void *) { g_calls.push_back(text); }
void record_env_call(pTVenv, const char *text, void *) { g_calls.push_back(text); }

// Solves a small LP cold, changes a cost and solves again warm, so that both
// the optimisation and the re-optimisation lines are written.
std::string solve_twice(pTVmodel model) {
  const double c[2] = {1, 2}, b[1] = {4}, values[2] = {1, 1};
  const int starts[3] = {0, 1, 2}, rows[2] = {0, 0};
  EXPECT_EQ(TVloadLPData(model, 1, 2, TV_MIN, 0, c, b, "G", 2, starts, nullptr, values, rows, nullptr, nullptr), 0);
  TVsetModelIntParameter(model, TV_IPARAM_LP_PRINTLEVEL, 1);
  int status = 0, col = 0;
  double cost = 3;
  EXPECT_EQ(TVoptimize(model, TV_METHOD_FREE, &status), 0);
  EXPECT_EQ(TVmodifyObjective(model, 1, &col, &cost), 0);
  EXPECT_EQ(TVoptimize(model, TV_METHOD_FREE, &status), 0);
  std::string all;
  for (const std::string &call : g_calls) all += call;
  return all;
}

}  // namespace

// A host that prefixes every call (a timestamp, a tag) needs one whole line per
// call; the default keeps the pieces exactly as the solvers write them.
TEST(LogMode, LineModeHandsOneCompleteLinePerCall) {
  EnvHandle env;
  ModelHandle pieces(env), lines(env);
  g_calls.clear();
  TVsetModelLogfunc(pieces, record_call, nullptr);
  const std::string piece_text = solve_twice(pieces);
  EXPECT_NE(piece_text.find("\nReoptimizing model ("), std::string::npos) << piece_text;
  EXPECT_NE(piece_text.find("bhash:"), std::string::npos) << "pieces mode keeps the texts as they are";
  bool some_piece_starts_with_newline = false;
  for (const std::string &call : g_calls) some_piece_starts_with_newline |= !call.empty() && call[0] == '\n';
  EXPECT_TRUE(some_piece_starts_with_newline);

  g_calls.clear();
  TVsetModelLogfunc(lines, record_call, nullptr);
  ASSERT_EQ(TVsetModelLogMode(lines, TV_LOGMODE_LINES), 0);
  const std::string line_text = solve_twice(lines);
  ASSERT_GT(g_calls.size(), 5u);
  for (const std::string &call : g_calls) {
    ASSERT_GE(call.size(), 2u) << "no empty lines";
    EXPECT_EQ(call.find('\n'), call.size() - 1) << "exactly one line feed, at the end: [" << call << "]";
    EXPECT_NE(call[call.size() - 2], ' ') << "no trailing blanks: [" << call << "]";
  }
  EXPECT_NE(line_text.find("Reoptimizing model (rows:1, cols:2"), std::string::npos) << line_text;
  EXPECT_NE(line_text.find("Finished solving, status:2"), std::string::npos);
  EXPECT_EQ(line_text.find("bh:"), std::string::npos) << line_text;
  EXPECT_EQ(line_text.find("bhash"), std::string::npos);

  EXPECT_EQ(TVsetModelLogMode(lines, 2), 2024);
  EXPECT_EQ(TVsetModelLogMode(nullptr, TV_LOGMODE_LINES), 2010);
  ASSERT_EQ(TVsetModelLogMode(lines, TV_LOGMODE_PIECES), 0);
  g_calls.clear();
  TVlogmod(lines, 1, "\nfirst\nsecond");
  ASSERT_EQ(g_calls.size(), 1u) << "back to pieces";
  EXPECT_EQ(g_calls[0], "\nfirst\nsecond");
}

TEST(LogMode, EnvironmentLineMode) {
  EnvHandle env;
  TVsetEnvLogfunc(env, record_env_call, nullptr);
  ASSERT_EQ(TVsetEnvLogMode(env, TV_LOGMODE_LINES), 0);
  g_calls.clear();
  TVlogenv(env, 1, "\n\nalpha %d  \nbeta\n", 1);
  ASSERT_EQ(g_calls.size(), 2u);
  EXPECT_EQ(g_calls[0], "alpha 1\n");
  EXPECT_EQ(g_calls[1], "beta\n");
  EXPECT_EQ(TVsetEnvLogMode(env, -1), 2024);
}
