// Simplex settings that change the path but never the answer: forced
// refactorisation with each basis recovery method, a singular starting basis,
// the crash basis, the pricing and perturbation options, and basis polishing.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <string>
#include <vector>

#include "lp_fixture.hpp"
#include "test_support.hpp"

namespace {

struct Setting {
  int id;
  double value;
  bool dbl = false;
};

struct Outcome {
  int code = -1, status = -1, iterations = 0;
  double objective = 0;
  std::string log;
};

const char *const kModels[] = {"afiro", "sc50a", "adlittle", "share2b", "scagr7", "boeing2"};

double published(const std::string &name) {
  std::ifstream in(std::string(TARVO_DATA_DIR) + "/netlib/optimal.csv");
  std::string line;
  while (std::getline(in, line))
    if (line.compare(0, name.size() + 1, name + ",") == 0) return std::strtod(line.c_str() + name.size() + 1, nullptr);
  return NAN;
}

Outcome solve(const std::string &name, int method, const std::vector<Setting> &settings) {
  tvtest::EnvHandle env;
  tvtest::ModelHandle model(env);
  Outcome r;
  const std::string path = std::string(TARVO_DATA_DIR) + "/netlib/" + name + ".mps.gz";
  if ((r.code = TVreadMPSFile(model, path.c_str(), 1)) != 0) return r;
  TVsetModelLogfunc(model, tvtest::collect_model_log, &r.log);
  TVsetModelIntParameter(model, TV_IPARAM_LP_PRINTLEVEL, 1);
  TVsetModelIntParameter(model, TV_IPARAM_LP_PRELEVEL, 0);
  for (const Setting &s : settings) {
    const int rc = s.dbl ? TVsetModelDouParameter(model, s.id, s.value)
                         : TVsetModelIntParameter(model, s.id, static_cast<int>(s.value));
    EXPECT_EQ(rc, 0) << s.id;
  }
  r.code = TVoptimize(model, method, &r.status);
  TVgetInfo(model, TV_DINFO_POBJ, &r.objective);
  TVgetInfo(model, TV_IINFO_SIM_ITER, &r.iterations);
  return r;
}

void expect_published(const std::string &name, const Outcome &r, const char *what) {
  const double ref = published(name);
  EXPECT_EQ(r.code, 0) << name << " " << what;
  EXPECT_EQ(r.status, TV_STATUS_BASIC_OPTIMAL) << name << " " << what;
  EXPECT_NEAR(r.objective, ref, 1e-6 * std::max(1.0, std::fabs(ref))) << name << " " << what;
}

bool have_data() { return static_cast<bool>(std::ifstream(std::string(TARVO_DATA_DIR) + "/netlib/afiro.mps.gz")); }

TEST(EngineOptions, RefactorisingEveryPivotWithEachRecoveryMethodKeepsTheOptimum) {
  if (!have_data()) GTEST_SKIP() << "netlib data not found";
  for (const char *name : kModels)
    for (int method : {TV_METHOD_PSIMPLEX, TV_METHOD_DSIMPLEX})
      for (int recovery : {1, 2, 3}) {
        Outcome r = solve(name, method,
                          {{TV_IPARAM_SPLEX_REFACFRQ, 1}, {TV_IPARAM_LP_BASRECOV_METHOD, static_cast<double>(recovery)}});
        expect_published(name, r, "refactor every pivot");
        // about one factorisation per pivot (bound flips count as iterations without one)
        unsigned refactors = 0;
        const size_t at = r.log.find("\nRefactors (ok,stb) = ");
        ASSERT_NE(at, std::string::npos);
        std::sscanf(r.log.c_str() + at, "\nRefactors (ok,stb) = %u", &refactors);
        EXPECT_GT(2 * refactors, static_cast<unsigned>(r.iterations)) << name;
      }
}

TEST(EngineOptions, CrashPricingAndPerturbationSettingsKeepTheOptimum) {
  if (!have_data()) GTEST_SKIP() << "netlib data not found";
  const std::vector<std::vector<Setting>> variants = {
      {{TV_IPARAM_LP_XMODE, 13}},                                 // slack start, no crash
      {{TV_IPARAM_LP_PPARTIAL, 3}, {TV_IPARAM_SPLEX_PPRICING, 0}},  // 45 buckets
      {{TV_IPARAM_LP_PPARTIAL, -1}, {TV_IPARAM_SPLEX_PPRICING, 0}},
      {{TV_IPARAM_LP_OPRFREE, 0}},
      {{TV_IPARAM_LP_UMODE, 30}, {TV_DPARAM_LP_PERTFACT, 1e-5, true}},
      {{TV_IPARAM_LP_DPSWITCH, 0}},
      {{TV_IPARAM_LP_PRATIO, 0}},
      {{TV_IPARAM_LP_PRATIO, 3}},
      {{TV_DPARAM_LP_PIV_ZEROTOL, 1e-7, true}, {TV_DPARAM_LP_MAX_PIVTOL, 1e-6, true}},
  };
  for (const char *name : kModels)
    for (int method : {TV_METHOD_PSIMPLEX, TV_METHOD_DSIMPLEX})
      for (size_t v = 0; v < variants.size(); ++v)
        expect_published(name, solve(name, method, variants[v]), ("variant " + std::to_string(v)).c_str());
}

TEST(EngineOptions, PolishingKeepsTheOptimumAndSaysSo) {
  if (!have_data()) GTEST_SKIP() << "netlib data not found";
  for (const char *name : kModels) {
    Outcome r = solve(name, TV_METHOD_DSIMPLEX, {{TV_IPARAM_LP_DYNOBJMODE, 1}, {TV_IPARAM_LP_PRINTLEVEL, 2}});
    expect_published(name, r, "polished");
    EXPECT_NE(r.log.find("\nStarting to polish optimal basis (solve=1    , objval="), std::string::npos) << name;
  }
}

// Two identical columns loaded both basic: the first factorisation finds the
// basis singular and a slack takes the place of the dependent column.
TEST(EngineOptions, SingularStartingBasisIsRepaired) {
  tvtest::EnvHandle env;
  tvtest::ModelHandle model(env);
  lpfix::Lp lp = lpfix::textbook();
  for (auto &row : lp.rows) row.push_back(row[0]);  // x3 = copy of x0, a little dearer
  lp.c.push_back(2.5);
  lp.lower.push_back(0);
  lp.upper.push_back(TV_INFINITY);
  lpfix::load(model, lp);
  std::string log;
  TVsetModelLogfunc(model, tvtest::collect_model_log, &log);
  TVsetModelIntParameter(model, TV_IPARAM_LP_PRINTLEVEL, 1);
  TVsetModelIntParameter(model, TV_IPARAM_LP_PRTFG, 64);
  TVsetModelIntParameter(model, TV_IPARAM_LP_PRELEVEL, 0);
  int cstat[] = {0, -1, -1, 1}, rstat[] = {2, -1, -1};
  ASSERT_EQ(TVloadBasis(model, cstat, rstat), 0);
  int status = -1;
  ASSERT_EQ(TVoptimize(model, TV_METHOD_PSIMPLEX, &status), 0);
  EXPECT_EQ(status, TV_STATUS_BASIC_OPTIMAL);
  double obj = 0;
  TVgetInfo(model, TV_DINFO_POBJ, &obj);
  EXPECT_NEAR(obj, 10.5, 1e-9);
  EXPECT_NE(log.find("LU factorz returned CLU_SINGULAR"), std::string::npos) << log;
  EXPECT_NE(log.find(" : pivoted-in 1 artificial vars"), std::string::npos) << log;
  lpfix::expect_consistent(model);
}

}  // namespace
