// Every netlib LP reaches an optimal basis with the published objective, with
// the default method and with the primal and the dual simplex chosen explicitly.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "test_support.hpp"

namespace {

struct NetlibCase {
  std::string name;
  double objective;
};

std::vector<NetlibCase> netlib_cases() {
  std::vector<NetlibCase> out;
  std::ifstream in(std::string(TARVO_DATA_DIR) + "/netlib/optimal.csv");
  std::string line;
  std::getline(in, line);
  while (std::getline(in, line)) {
    std::istringstream ls(line);
    NetlibCase c;
    std::string obj;
    if (!std::getline(ls, c.name, ',') || !std::getline(ls, obj)) continue;
    c.objective = std::strtod(obj.c_str(), nullptr);
    out.push_back(c);
  }
  return out;
}

struct SolveOutcome {
  int code = -1, status = -1;
  double objective = 0;
};

SolveOutcome solve(const std::string &name, int method) {
  tvtest::EnvHandle env;
  tvtest::ModelHandle model(env);
  SolveOutcome r;
  std::string path = std::string(TARVO_DATA_DIR) + "/netlib/" + name + ".mps.gz";
  r.code = TVreadMPSFile(model, path.c_str(), 1);
  if (r.code != 0) return r;
  TVsetModelDouParameter(model, TV_DPARAM_SOLVER_TIMLMT, 300);
  r.code = TVoptimize(model, method, &r.status);
  TVgetInfo(model, TV_DINFO_POBJ, &r.objective);
  char reason[1024] = {0};
  EXPECT_EQ(TVcheckModelConsistency(model, reason), 0) << reason;
  return r;
}

class Netlib : public ::testing::TestWithParam<int> {};

// Each method is its own CTest case, so the three sweeps run side by side.
TEST_P(Netlib, EveryModelReachesThePublishedOptimum) {
  const int method = GetParam();
  if (netlib_cases().empty()) GTEST_SKIP() << "netlib data not found under " << TARVO_DATA_DIR;
  for (const NetlibCase &c : netlib_cases()) {
    SolveOutcome r = solve(c.name, method);
    EXPECT_EQ(r.code, 0) << c.name;
    EXPECT_EQ(r.status, TV_STATUS_BASIC_OPTIMAL) << c.name;
    EXPECT_NEAR(r.objective, c.objective, 1e-6 * std::max(1.0, std::fabs(c.objective))) << c.name;
  }
}

INSTANTIATE_TEST_SUITE_P(Methods, Netlib, ::testing::Values(TV_METHOD_FREE, TV_METHOD_PSIMPLEX, TV_METHOD_DSIMPLEX));

}  // namespace
