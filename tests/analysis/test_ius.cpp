// IUS analysis through the public header: the reported columns are checked
// by fixing the others at a feasible point and solving again.
#include <gtest/gtest.h>

#include <string>

#include "lp_description.hpp"
#include "tarvo.h"
#include "test_support.hpp"

using iistest::LpDescription;

namespace {

constexpr double kInf = TV_INFINITY;

LpDescription chain() {  // min -x with x <= y <= z and z unbounded above; w is bounded noise
  LpDescription s(4, 0, kInf);
  s.c = {-1, 0, 0, -1};
  s.upper[3] = 7;
  s.add({{0, 1}, {1, -1}}, 'L', 0);
  s.add({{1, 1}, {2, -1}}, 'L', 0);
  s.add({{3, 1}, {0, 1}}, 'G', 1);
  return s;
}

LpDescription shortcut() {  // min -x - y, x - y <= 1: y alone carries the ray
  LpDescription s(2, 0, kInf);
  s.c = {-1, -1};
  s.add({{0, 1}, {1, -1}}, 'L', 1);
  return s;
}

LpDescription maximised_pair() {  // max x + y with x = y and a bounded column
  LpDescription s(3, 0, kInf);
  s.sense = TV_MAX;
  s.c = {1, 1, 3};
  s.upper[2] = 4;
  s.add({{0, 1}, {1, -1}}, 'E', 0);
  s.add({{2, 1}, {0, 1}}, 'G', 1);
  return s;
}

LpDescription free_columns() {  // min x0 - 2 x1 with free columns tied by a row
  LpDescription s(3, -kInf, kInf);
  s.c = {1, -2, 0};
  s.add({{0, 1}, {1, -1}, {2, 1}}, 'E', 2);
  s.add({{2, 1}}, 'L', 10);
  s.add({{2, 1}}, 'G', -10);
  return s;
}

struct Host {
  tvtest::EnvHandle env;
  tvtest::ModelHandle model{env};
  std::string log;
  explicit Host(const LpDescription &s) {
    EXPECT_EQ(iistest::load(model, s), 0);
    TVsetModelIntParameter(model, TV_IPARAM_IIS_PRINT_LEVEL, 2);
    TVsetModelLogfunc(model, tvtest::collect_model_log, &log);
  }
};

TEST(IusFinder, UnboundedModelsGiveMinimalUnboundedSets) {
  int which = 0;
  for (LpDescription (*make)() : {chain, shortcut, maximised_pair, free_columns}) {
    SCOPED_TRACE(which++);
    const LpDescription s = make();
    Host h(s);
    ASSERT_EQ(TVfindIUS(h.model, 0), 0);
    EXPECT_EQ(iistest::check_ius(h.env, h.model, s), "") << h.log;
    EXPECT_NE(h.log.find("IUS final results"), std::string::npos);
  }
}

TEST(IusFinder, ChainNeedsEveryLink) {
  Host h(chain());
  ASSERT_EQ(TVfindIUS(h.model, 2), 0);
  int suf = -1, total = -1, cols[4];
  ASSERT_EQ(TVgetIUS(h.model, &suf, &total, cols), 0);
  EXPECT_EQ(suf, 0);
  EXPECT_EQ(total, 3);
  int n = 0;
  ASSERT_EQ(TVgetInfo(h.model, TV_IINFO_NUM_IUS_COLS, &n), 0);
  EXPECT_EQ(n, 3);
}

TEST(IusFinder, SufficientLevelReportsAnUnboundedSupport) {
  const LpDescription s = chain();
  Host h(s);
  ASSERT_EQ(TVfindIUS(h.model, 8), 0);
  int suf = -1, total = -1;
  ASSERT_EQ(TVgetIUS(h.model, &suf, &total, nullptr), 0);
  EXPECT_EQ(suf, total);
  EXPECT_EQ(iistest::check_ius(h.env, h.model, s), "");
}

TEST(IusFinder, BoundedAndInfeasibleModelsHaveNoIus) {
  LpDescription bounded = chain();
  bounded.upper[2] = 5;
  LpDescription infeasible = shortcut();
  infeasible.add({{0, 1}}, 'G', 3);
  infeasible.add({{0, 1}}, 'L', 2);
  for (const LpDescription &s : {bounded, infeasible}) {
    Host h(s);
    ASSERT_EQ(TVfindIUS(h.model, 0), 0);
    int total = -1;
    ASSERT_EQ(TVgetIUS(h.model, nullptr, &total, nullptr), 0);
    EXPECT_EQ(total, 0);
  }
}

TEST(IusFinder, BadInputAndWrittenModel) {
  tvtest::EnvHandle env;
  tvtest::ModelHandle model(env);
  EXPECT_EQ(TVfindIUS(nullptr, 0), 2010);
  EXPECT_EQ(TVgetIUS(nullptr, nullptr, nullptr, nullptr), 2010);
  EXPECT_EQ(TVfindIUS(model, 0), 2031);
  EXPECT_EQ(TVgetIUS(model, nullptr, nullptr, nullptr), 2009);
  ASSERT_EQ(iistest::load(model, chain()), 0);
  EXPECT_EQ(TVwriteIUS(model, tvtest::temp_path("none.ius").c_str()), 2009);
  ASSERT_EQ(TVfindIUS(model, 0), 0);
  const std::string path = tvtest::temp_path("written.ius.mps");
  ASSERT_EQ(TVwriteIUS(model, path.c_str()), 0);
  tvtest::ModelHandle back(env);
  ASSERT_EQ(TVreadMPSFile(back, path.c_str(), 0), 0);
  int n = 0, status = 0;
  TVgetInfo(back, TV_IINFO_NUM_VARS, &n);
  EXPECT_EQ(n, 3);
  ASSERT_EQ(TVoptimize(back, TV_METHOD_FREE, &status), 0);
  EXPECT_TRUE(status == TV_STATUS_UNBOUNDED || status == TV_STATUS_INFORUNB) << status;
  std::remove(path.c_str());
  // Other names get TARVO text, with each column's role noted.
  const std::string text_path = tvtest::temp_path("written.ius");
  ASSERT_EQ(TVwriteIUS(model, text_path.c_str()), 0);
  const std::string text = tvtest::read_file(text_path);
  EXPECT_NE(text.find("necessary column."), std::string::npos) << text;
  tvtest::ModelHandle text_back(env);
  ASSERT_EQ(TVreadTARVOFile(text_back, text_path.c_str()), 0) << text;
  TVgetInfo(text_back, TV_IINFO_NUM_VARS, &n);
  EXPECT_EQ(n, 3);
  ASSERT_EQ(TVoptimize(text_back, TV_METHOD_FREE, &status), 0);
  EXPECT_TRUE(status == TV_STATUS_UNBOUNDED || status == TV_STATUS_INFORUNB) << status << text;
  std::remove(text_path.c_str());
}

}  // namespace
