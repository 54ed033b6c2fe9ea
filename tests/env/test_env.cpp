// Environment life cycle, version and platform facts, external libraries and
// the environment log, through the public header.
#include <gtest/gtest.h>

#include <cstring>
#include <thread>
#include <vector>

#include "test_support.hpp"

using namespace tvtest;

TEST(Environment, CreateAndDeleteClearsTheHandle) {
  int code = -1;
  pTVenv env = TVcreateEnv(&code, const_cast<char *>("any text"));
  ASSERT_NE(env, nullptr);
  EXPECT_EQ(code, 0);
  EXPECT_EQ(TVdeleteEnv(&env), 0);
  EXPECT_EQ(env, nullptr);
  EXPECT_EQ(TVdeleteEnv(&env), 2010);  // the handle now holds null
  EXPECT_EQ(TVdeleteEnv(nullptr), 2010);
  EXPECT_NE(TVcreateEnv(nullptr, nullptr), nullptr) << "the code pointer is optional";
}

TEST(Environment, DeletingAnEnvironmentDeletesItsModels) {
  int code;
  pTVenv env = TVcreateEnv(&code, nullptr);
  pTVmodel a = TVcreateModel(env, &code);
  pTVmodel b = TVcreateModel(env, &code);
  pTVmodel c = TVcreateModel(env, &code);
  ASSERT_TRUE(a && b && c);
  pTVmodel list[3] = {nullptr, nullptr, nullptr};
  ASSERT_EQ(TVgetEnvModelList(env, list), 0);
  EXPECT_EQ(list[0], a);
  EXPECT_EQ(list[1], b);
  EXPECT_EQ(list[2], c);
  EXPECT_EQ(TVdeleteEnv(&env), 0);  // the sanitizer run proves the models are freed
  EXPECT_EQ(env, nullptr);
}

TEST(Environment, SeveralEnvironmentsDeleteInAnyOrder) {
  int code;
  pTVenv first = TVcreateEnv(&code, nullptr);
  pTVenv second = TVcreateEnv(&code, nullptr);
  ASSERT_TRUE(first && second);
  EXPECT_EQ(TVdeleteEnv(&first), 0);
  EXPECT_EQ(TVdeleteEnv(&second), 0);
}

TEST(Environment, ConcurrentCreationAndDeletion) {
  std::vector<std::thread> threads;
  std::atomic<int> failures{0};
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([&failures] {
      for (int k = 0; k < 25; ++k) {
        int code;
        pTVenv env = TVcreateEnv(&code, nullptr);
        if (!env) {
          ++failures;
          continue;
        }
        std::vector<pTVmodel> models;
        for (int j = 0; j < 3; ++j) models.push_back(TVcreateModel(env, &code));
        if (TVdeleteModel(&models[1]) != 0) ++failures;
        int count = 0;
        if (TVgetEnvModelCount(env, &count) != 0 || count != 2) ++failures;
        if (TVdeleteEnv(&env) != 0) ++failures;
      }
    });
  }
  // Models of one environment created and deleted from several threads at once.
  EnvHandle shared;
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([&failures, &shared] {
      for (int k = 0; k < 50; ++k) {
        int code;
        pTVmodel m = TVcreateModel(shared, &code);
        if (!m || TVdeleteModel(&m) != 0) ++failures;
      }
    });
  }
  for (auto &th : threads) th.join();
  EXPECT_EQ(failures.load(), 0);
  int count = -1;
  EXPECT_EQ(TVgetEnvModelCount(shared, &count), 0);
  EXPECT_EQ(count, 0);
}

TEST(Environment, VersionTexts) {
  EXPECT_EQ(TVgetVersionInfo(nullptr, nullptr), 0);
  char version[64] = {0};
  EXPECT_EQ(TVgetVersionInfo(version, nullptr), 0);
  EXPECT_STREQ(version, "16.0.7099.090");
  char build[1024] = {0};
  EXPECT_EQ(TVgetVersionInfo(nullptr, build), 0);
  std::string b(build);
  EXPECT_EQ(std::count(b.begin(), b.end(), '\n'), 2) << b;
  EXPECT_NE(b.find("Barrier Solver Version "), std::string::npos);
  EXPECT_NE(b.find("Nonlinear Solver Version "), std::string::npos);
#if defined(__linux__) && defined(__x86_64__)
  EXPECT_NE(b.find("Platform Linux 64x86 (D)"), std::string::npos) << b;
#endif
  EnvHandle env;
  ModelHandle model(env);
  int value = 0;
  EXPECT_EQ(TVgetModelIntParameter(model, TV_IPARAM_VER_NUMBER, &value), 0);
  EXPECT_EQ(value, 1600);
  EXPECT_EQ(TVgetEnvIntParameter(env, TV_IPARAM_VER_BUILD, &value), 0);
  EXPECT_EQ(value, 7099);
  EXPECT_EQ(TVsetModelIntParameter(model, TV_IPARAM_VER_MAJOR, 17), 2011);
}

TEST(Environment, PlatformLetterAndBuildDescriptions) {
  char text[64] = {0};
  char letter = 0;
  EXPECT_EQ(TVgetLibArch(text, &letter), 0);
  EXPECT_EQ(TVgetLibArch(nullptr, nullptr), 0);
#if defined(__linux__) && defined(__x86_64__)
  EXPECT_EQ(letter, 'D');
  EXPECT_STREQ(text, "Linux 64x86");
  char name[256];
  ASSERT_EQ(TVgetPlatformSpecificDllName(9, name), 0);
  EXPECT_STREQ(name, "libtarvoexpr.so");
#endif
  EnvHandle env;
  char info[2048] = {0};
  TVgetCComInfo(env, info, 0);
  std::string shorter(info);
  EXPECT_NE(shorter.find(" on "), std::string::npos);
  EXPECT_EQ(shorter.find('\n'), std::string::npos);
  TVgetCComInfo(env, info, 1);
  std::string longer(info);
  for (const char *key : {"Compiler          : ", "Version           : ", "OS                : ",
                          "Arch              : ", "Supports AVX2     : ", "Built with AVX2   : "})
    EXPECT_NE(longer.find(key), std::string::npos) << key;
  TVgetCComInfo(nullptr, info, 0);  // does nothing
  EXPECT_EQ(TVgetParamCount(env, 0), 463);
  EXPECT_EQ(TVgetParamCount(env, 1), 463);
  EXPECT_EQ(TVgetParamCount(nullptr, 0), 0);
}

TEST(ExternalLibraries, KindsOutsideTheRangeAreUnknown) {
  EnvHandle env;
  std::string log;
  TVsetEnvLogfunc(env, collect_env_log, &log);
  EXPECT_EQ(TVsetXSolverLibrary(env, 0, TARVO_TEST_PLUGIN), 2091);
  EXPECT_EQ(TVsetXSolverLibrary(env, 100, TARVO_TEST_PLUGIN), 2091);
  EXPECT_EQ(log, "");
  char buf[256];
  EXPECT_EQ(TVgetXSolverLibrary(env, 2, buf), 2009);  // nothing was stored
  EXPECT_EQ(TVsetXSolverLibrary(nullptr, 2, TARVO_TEST_PLUGIN), 2010);
}

TEST(ExternalLibraries, RealLoadingAndItsLogLines) {
  EnvHandle env;
  std::string log;
  TVsetEnvLogfunc(env, collect_env_log, &log);
  EXPECT_EQ(TVsetXSolverLibrary(env, 2, TARVO_TEST_PLUGIN), 0);
  EXPECT_EQ(log, std::string("\nSet external library #2 'xdll=") + TARVO_TEST_PLUGIN + "'\n");
  char buf[256] = {0};
  EXPECT_EQ(TVgetXSolverLibrary(env, 2, buf), 0);
  EXPECT_STREQ(buf, TARVO_TEST_PLUGIN);
  log.clear();
  EXPECT_EQ(TVsetXSolverLibrary(env, 4, "/nonexistent/libnothing.so"), 2080);
  EXPECT_EQ(log, "\nError 2080: Failed to set external library #4 'xdll=/nonexistent/libnothing.so'\n");
  EXPECT_EQ(TVgetXSolverLibrary(env, 4, buf), 2009);
  EXPECT_EQ(TVgetXSolverLibrary(env, 3, buf), 2029);   // kind without a query
  EXPECT_EQ(TVgetXSolverLibrary(env, 17, buf), 2029);  // outside 2 to 16
  EXPECT_EQ(TVgetXSolverLibrary(env, 2, nullptr), 2010);
  EXPECT_EQ(TVsetXSolverLibrary(env, 50, nullptr), 2081);  // no default name for kind 50
  EXPECT_EQ(TVgetPlatformSpecificDllName(50, buf), 2009);
  EXPECT_EQ(TVgetPlatformSpecificDllName(0, buf), 2009);
  EXPECT_EQ(TVgetPlatformSpecificDllName(100, buf), 2009);
}

TEST(ExternalLibraries, QuietWhenThePrintLevelIsZero) {
  EnvHandle env;
  std::string log;
  TVsetEnvLogfunc(env, collect_env_log, &log);
  for (int id : {TV_IPARAM_LP_PRINTLEVEL, TV_IPARAM_MIP_PRINTLEVEL, TV_IPARAM_NLP_PRINTLEVEL})
    ASSERT_EQ(TVsetEnvIntParameter(env, id, 0), 0);
  EXPECT_EQ(TVsetXSolverLibrary(env, 2, TARVO_TEST_PLUGIN), 0);
  EXPECT_EQ(log, "");
}

TEST(EnvironmentLog, RoutingOfEnvironmentLines) {
  EnvHandle env;
  EXPECT_EQ(TVlogenv(env, 0, "never %d", 1), 0);
  testing::internal::CaptureStdout();
  int n = TVlogenv(nullptr, 8, "important %d\n", 8);
  TVlogenv(env, 1, "quiet line\n");  // no log function, log level 0: dropped
  std::string out = testing::internal::GetCapturedStdout();
  EXPECT_EQ(n, 12);
  EXPECT_EQ(out, "important 8\n");
  std::string log;
  EXPECT_EQ(TVsetEnvLogfunc(env, collect_env_log, &log), 0);
  EXPECT_EQ(TVlogenv(env, 1, "%s-%d", "abc", 5), 5);
  EXPECT_EQ(log, "abc-5");
  EXPECT_EQ(TVsetEnvLogfunc(nullptr, collect_env_log, &log), 2010);
}

TEST(EnvironmentLog, NegativeLibraryLogLevelPrintsToStandardOutput) {
  EnvHandle env;
  ASSERT_EQ(TVsetEnvIntParameter(env, TV_IPARAM_XSOLVER_LOG_LEVEL, -1), 0);
  testing::internal::CaptureStdout();
  TVlogenv(env, 1, "shown");
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "shown");
}

TEST(Environment, ExitFunctionAndLogModel) {
  EnvHandle env;
  EXPECT_EQ(TVsetEnvExitFunc(nullptr, nullptr, nullptr), 2010);
  EXPECT_EQ(TVsetEnvExitFunc(env, nullptr, nullptr), 0);
  EXPECT_EQ(TVgetEnvLogModel(env), nullptr);
  ModelHandle quiet(env);
  ModelHandle talking(env);
  std::string log;
  TVsetModelLogfunc(talking, collect_model_log, &log);
  EXPECT_EQ(TVgetEnvLogModel(env), talking.model);
  EXPECT_EQ(TVgetEnvLogModel(nullptr), nullptr);
  EXPECT_EQ(TVgetMirelEnv(env), nullptr);
}
