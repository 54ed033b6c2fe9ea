// MIPLIB 3 models that the tree solves in seconds reach the reference optima
// of optimal.csv, with the integer presolve at its default and off, and every
// reported incumbent passes the independent check against the model as read.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <functional>
#include <tuple>
#include <map>
#include <sstream>
#include <string>

#include "mip_check.hpp"
#include "mip_fixture.hpp"

namespace {

std::map<std::string, double> reference_optima() {
  std::map<std::string, double> out;
  std::ifstream in(std::string(TARVO_DATA_DIR) + "/miplib3/optimal.csv");
  std::string line;
  std::getline(in, line);
  while (std::getline(in, line)) {
    std::istringstream ls(line);
    std::string name, obj;
    if (std::getline(ls, name, ',') && std::getline(ls, obj, ',')) out[name] = std::strtod(obj.c_str(), nullptr);
  }
  return out;
}

// Solves MIPLIB 3 model `name` with the settings `tune` makes and checks the
// answer against the reference optimum and the model itself.
void expect_reference_optimum(const std::string &name, const std::function<void(pTVmodel)> &tune) {
  const auto optima = reference_optima();
  if (optima.empty()) GTEST_SKIP() << "no MIPLIB 3 data under " << TARVO_DATA_DIR;
  ASSERT_TRUE(optima.count(name)) << name;
  tvtest::EnvHandle env;
  tvtest::ModelHandle model(env);
  const std::string path = std::string(TARVO_DATA_DIR) + "/miplib3/" + name + ".mps.gz";
  ASSERT_EQ(TVreadMPSFile(model, path.c_str(), 1), 0) << path;
  TVsetModelDouParameter(model, TV_DPARAM_MIP_TIMLIM, 120);
  tune(model);
  const mipfix::Solved s = mipfix::solve(model);
  ASSERT_EQ(s.code, 0) << name;
  ASSERT_EQ(s.status, TV_STATUS_OPTIMAL) << name;
  const double ref = optima.at(name);
  EXPECT_NEAR(s.obj, ref, 1e-6 * std::max(1.0, std::fabs(ref))) << name;
  EXPECT_NEAR(mipcheck::verify_incumbent(model), s.obj, 1e-6 * std::max(1.0, std::fabs(ref)));
  EXPECT_LE(std::fabs(s.obj - s.bound) / std::max(1.0, std::fabs(s.obj)), 1e-6 + 1e-12);
}

const char *const kQuickSet[] = {"p0033", "p0201",   "p0282", "enigma", "flugpl",
                                 "mod008", "stein27", "lseu",  "egout",  "misc03"};

class Miplib : public ::testing::TestWithParam<const char *> {};
class MiplibPresolveOff : public ::testing::TestWithParam<const char *> {};

TEST_P(Miplib, ReachesTheReferenceOptimum) {
  expect_reference_optimum(GetParam(), [](pTVmodel) {});
}
TEST_P(MiplibPresolveOff, ReachesTheReferenceOptimum) {
  expect_reference_optimum(GetParam(), [](pTVmodel model) { TVsetModelIntParameter(model, TV_IPARAM_MIP_PRELEVEL, 0); });
}

INSTANTIATE_TEST_SUITE_P(Fast, Miplib,
                         ::testing::ValuesIn(kQuickSet),
                         [](const auto &info) { return std::string(info.param); });
INSTANTIATE_TEST_SUITE_P(Fast, MiplibPresolveOff,
                         ::testing::ValuesIn(kQuickSet),
                         [](const auto &info) { return std::string(info.param); });

// Every branching rule on its own (no cuts, no heuristics to help) reaches the optimum.
class MiplibBranchRule : public ::testing::TestWithParam<std::tuple<const char *, int>> {};

TEST_P(MiplibBranchRule, ReachesTheReferenceOptimum) {
  const int rule = std::get<1>(GetParam());
  if (rule == 4 && std::string(std::get<0>(GetParam())) == "lseu")
    GTEST_SKIP() << "the maximum-coefficient rule needs a minute on lseu (benchmark material)";
  expect_reference_optimum(std::get<0>(GetParam()), [rule](pTVmodel model) {
    TVsetModelIntParameter(model, TV_IPARAM_MIP_BRANCHRULE, rule);
    TVsetModelIntParameter(model, TV_IPARAM_MIP_CUTLEVEL_TOP, 0);
    TVsetModelIntParameter(model, TV_IPARAM_MIP_HEULEVEL, 0);
  });
}

INSTANTIATE_TEST_SUITE_P(Rules, MiplibBranchRule,
                         ::testing::Combine(::testing::Values("p0033", "p0201", "lseu", "stein27", "egout"),
                                            ::testing::Range(0, 6)),
                         [](const auto &info) {
                           return std::string(std::get<0>(info.param)) + "_rule" +
                                  std::to_string(std::get<1>(info.param));
                         });

// With strong branching at the root only, every deeper node gets the short
// trial solves of its untrusted leaders; their fixes and pruning must keep
// the optimum.
class MiplibDeepTrials : public ::testing::TestWithParam<const char *> {};

TEST_P(MiplibDeepTrials, ReachesTheReferenceOptimum) {
  expect_reference_optimum(GetParam(), [](pTVmodel model) {
    TVsetModelIntParameter(model, TV_IPARAM_MIP_STRONGBRANCHLEVEL, 0);
    TVsetModelIntParameter(model, TV_IPARAM_MIP_CUTLEVEL_TOP, 0);
    TVsetModelIntParameter(model, TV_IPARAM_MIP_HEULEVEL, 0);
  });
}

INSTANTIATE_TEST_SUITE_P(Fast, MiplibDeepTrials, ::testing::Values("p0033", "p0201", "lseu", "stein27", "egout"),
                         [](const auto &info) { return std::string(info.param); });

}  // namespace

namespace {

// With the optimum itself as the user cutoff nothing strictly better exists:
// the search must prove that (infeasible), not give up as unknown on leaves
// whose integral point merely ties the cutoff.
class MiplibCutoffAtOptimum : public ::testing::TestWithParam<const char *> {};

TEST_P(MiplibCutoffAtOptimum, ProvesNothingBetterExists) {
  const auto optima = reference_optima();
  if (optima.empty()) GTEST_SKIP() << "no MIPLIB 3 data under " << TARVO_DATA_DIR;
  const std::string name = GetParam();
  tvtest::EnvHandle env;
  tvtest::ModelHandle model(env);
  const std::string path = std::string(TARVO_DATA_DIR) + "/miplib3/" + name + ".mps.gz";
  ASSERT_EQ(TVreadMPSFile(model, path.c_str(), 1), 0) << path;
  TVsetModelDouParameter(model, TV_DPARAM_MIP_TIMLIM, 120);
  TVsetModelIntParameter(model, TV_IPARAM_MIP_HEULEVEL, 0);
  TVsetModelIntParameter(model, TV_IPARAM_MIP_USECUTOFFOBJ, 1);
  TVsetModelDouParameter(model, TV_DPARAM_MIP_CUTOFFOBJ, optima.at(name));
  const mipfix::Solved s = mipfix::solve(model);
  ASSERT_EQ(s.code, 0) << name;
  EXPECT_EQ(s.status, TV_STATUS_INFEASIBLE) << name;
}

INSTANTIATE_TEST_SUITE_P(Fast, MiplibCutoffAtOptimum, ::testing::Values("vpm2", "p0201", "stein27"),
                         [](const auto &info) { return std::string(info.param); });

// A user cutoff just above the optimum (no heuristics): every node is
// propagated against it, which must prune and fix only worse points.
class MiplibCutoffAboveOptimum : public ::testing::TestWithParam<const char *> {};

TEST_P(MiplibCutoffAboveOptimum, ReachesTheReferenceOptimum) {
  const auto optima = reference_optima();
  if (optima.empty()) GTEST_SKIP() << "no MIPLIB 3 data under " << TARVO_DATA_DIR;
  const double ref = optima.at(GetParam());
  expect_reference_optimum(GetParam(), [ref](pTVmodel model) {
    TVsetModelIntParameter(model, TV_IPARAM_MIP_HEULEVEL, 0);
    TVsetModelIntParameter(model, TV_IPARAM_MIP_USECUTOFFOBJ, 1);
    TVsetModelDouParameter(model, TV_DPARAM_MIP_CUTOFFOBJ, ref + 1e-5 * std::max(1.0, std::fabs(ref)));
  });
}

INSTANTIATE_TEST_SUITE_P(Fast, MiplibCutoffAboveOptimum, ::testing::Values("lseu", "mod008", "p0282"),
                         [](const auto &info) { return std::string(info.param); });

}  // namespace
