// The process-wide debug log function: once set it stays for the whole
// process, so these checks run in an executable of their own.
#include <gtest/gtest.h>

#include "test_support.hpp"

using namespace tvtest;

static std::string g_debug;

TEST(DebugLog, ReceivesLinesWithoutEnvironmentLogFunction) {
  EXPECT_EQ(TVsetDbgLogfunc(nullptr, nullptr), 2010);
  ASSERT_EQ(TVsetDbgLogfunc(collect_env_log, &g_debug), 0);
  EnvHandle env;
  g_debug.clear();
  TVlogenv(nullptr, 1, "to debug %d", 1);
  TVlogenv(env, 1, " and %d", 2);
  TVlogenv(env, 0, " never");
  EXPECT_EQ(g_debug, "to debug 1 and 2");
  std::string own;
  TVsetEnvLogfunc(env, collect_env_log, &own);
  TVlogenv(env, 1, "own");
  EXPECT_EQ(own, "own");
  EXPECT_EQ(g_debug, "to debug 1 and 2");
}

TEST(DebugLog, EnvironmentsDeletedInAnyOrderAreAllFoundInTheActiveList) {
  ASSERT_EQ(TVsetDbgLogfunc(collect_env_log, &g_debug), 0);
  g_debug.clear();
  int code;
  pTVenv a = TVcreateEnv(&code, nullptr);
  pTVenv b = TVcreateEnv(&code, nullptr);
  pTVenv c = TVcreateEnv(&code, nullptr);
  EXPECT_EQ(TVdeleteEnv(&b), 0);
  EXPECT_EQ(TVdeleteEnv(&a), 0);
  EXPECT_EQ(TVdeleteEnv(&c), 0);
  EXPECT_EQ(g_debug.find("was not found in active env list"), std::string::npos) << g_debug;
}
