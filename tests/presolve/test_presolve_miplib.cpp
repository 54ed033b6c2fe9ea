// The integer presolve on MIPLIB 3 models: the presolved model, written and
// read back, has an LP relaxation between the original relaxation and the
// known integer optimum (presolve may tighten the relaxation but must never
// cut off the optimum).
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <map>
#include <sstream>

#include "test_support.hpp"

namespace {

struct Known {
  double optimum = 0, relaxation = 0;
};

std::map<std::string, Known> known() {
  std::map<std::string, Known> out;
  std::ifstream in(std::string(TARVO_DATA_DIR) + "/miplib3/optimal.csv");
  std::string line;
  std::getline(in, line);
  while (std::getline(in, line)) {
    std::istringstream ls(line);
    std::string name, opt, lp, status;
    std::getline(ls, name, ','), std::getline(ls, opt, ','), std::getline(ls, lp, ','), std::getline(ls, status, ',');
    if (status.rfind("optimal", 0) != 0 || opt.empty() || lp.empty()) continue;
    out[name] = {std::strtod(opt.c_str(), nullptr), std::strtod(lp.c_str(), nullptr)};
  }
  return out;
}

double relaxation(pTVmodel model) {
  TVsetModelIntParameter(model, TV_IPARAM_NLP_SOLVE_AS_LP, 1);
  int status = -1;
  EXPECT_EQ(TVoptimize(model, TV_METHOD_DSIMPLEX, &status), 0);
  EXPECT_EQ(status, TV_STATUS_BASIC_OPTIMAL);
  double obj = 0;
  TVgetInfo(model, TV_DINFO_POBJ, &obj);
  return obj;
}

TEST(PresolveMiplib, ReducedRelaxationLiesBetweenTheRelaxationAndTheOptimum) {
  const std::map<std::string, Known> k = known();
  if (k.empty()) GTEST_SKIP() << "miplib3 data not found under " << TARVO_DATA_DIR;
  const char *models[] = {"p0033", "p0201", "p0282", "p0548", "mod008", "stein27", "lseu", "misc03", "bell5",
                          "egout", "enigma", "flugpl", "gt2", "khb05250", "vpm1", "vpm2", "dcmulti", "fixnet6",
                          "rgn", "pk1", "pp08a", "qnet1", "misc06", "lseu", "mod010", "bell3a", "gesa2", "blend2"};
  int checked = 0;
  for (const char *name : models) {
    auto it = k.find(name);
    const std::string path = std::string(TARVO_DATA_DIR) + "/miplib3/" + name + ".mps.gz";
    if (it == k.end() || !std::ifstream(path)) continue;
    tvtest::EnvHandle env;
    tvtest::ModelHandle model(env);
    ASSERT_EQ(TVreadMPSFile(model, path.c_str(), 1), 0) << name;
    const std::string out = tvtest::temp_path(std::string(name) + "_reduced.mps");
    ASSERT_EQ(TVwriteReducedMPSFile(model, out.c_str(), 0), 0) << name;
    tvtest::ModelHandle reduced(env);
    ASSERT_EQ(TVreadMPSFile(reduced, out.c_str(), 0), 0) << name;
    std::remove(out.c_str());
    const double r0 = relaxation(model), r1 = relaxation(reduced);
    const double tol = 1e-6 * std::max(1.0, std::fabs(it->second.optimum));
    EXPECT_NEAR(r0, it->second.relaxation, 1e-3 * std::max(1.0, std::fabs(r0))) << name;
    EXPECT_GE(r1, r0 - tol) << name;
    EXPECT_LE(r1, it->second.optimum + tol) << name;
    ++checked;
  }
  EXPECT_GT(checked, 10);
}

}  // namespace
