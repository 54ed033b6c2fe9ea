// Simplex settings that change the path but never the answer: forced
// refactorisation with each basis recovery method, a singular starting basis,
// the crash basis, the pricing and perturbation options, basis polishing, the
// dual ratio-test variants and partial pricing, and sifting.
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
  bool on_env = false;  // an environment parameter
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
    const int rc = s.on_env ? TVsetEnvIntParameter(env, s.id, static_cast<int>(s.value))
                   : s.dbl  ? TVsetModelDouParameter(model, s.id, s.value)
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
      {{TV_IPARAM_LP_UMODE, 16}},  // fixed tolerances, no pre-perturbation
      {{TV_IPARAM_LP_DPSWITCH, 0}},
      {{TV_IPARAM_LP_PRATIO, 0}},
      {{TV_IPARAM_LP_PRATIO, 3}},
      {{TV_IPARAM_LP_UMODE, 22 + 32}},  // lexicographic ratio test instead of bound perturbation
      {{TV_IPARAM_SPLEX_PPRICING, 0}, {TV_IPARAM_LP_MAXMERGE, 1}, {TV_DPARAM_LP_MERGEFACT, 0.0, true}},
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

bool logged(const Outcome &r, const char *line) { return r.log.find(line) != std::string::npos; }

// Box-heavy and degenerate models where bound flips and ratio-test ties matter.
const char *const kRatioModels[] = {"boeing2", "sctap1", "scagr7", "share2b", "bore3d", "recipe"};

TEST(DualOptions, EveryRatioTestVariantReachesTheOptimum) {
  if (!have_data()) GTEST_SKIP() << "netlib data not found";
  int differ = 0;
  for (const char *name : kRatioModels) {
    const Outcome base = solve(name, TV_METHOD_DSIMPLEX, {});
    expect_published(name, base, "default");
    const std::vector<std::vector<Setting>> variants = {
        {{TV_IPARAM_LP_DRATIO, 0}}, {{TV_IPARAM_LP_DRATIO, 2}}, {{TV_IPARAM_LP_DRATIO, 3}},
        {{TV_IPARAM_LP_XMODE, 4}},  // no bound flipping
        {{TV_DPARAM_LP_PIV_BIGTOL, 1e-2, true}},
    };
    for (size_t v = 0; v < variants.size(); ++v) {
      const Outcome r = solve(name, TV_METHOD_DSIMPLEX, variants[v]);
      expect_published(name, r, ("ratio variant " + std::to_string(v)).c_str());
      differ += r.iterations != base.iterations;
    }
  }
  EXPECT_GT(differ, 0) << "the ratio-test settings never changed the path";
}

TEST(DualOptions, PartialPricingMethodsReachTheOptimum) {
  if (!have_data()) GTEST_SKIP() << "netlib data not found";
  int differ = 0;
  for (const char *name : {"scfxm1", "ship04s", "sctap2", "bandm"}) {
    const Outcome full = solve(name, TV_METHOD_DSIMPLEX, {{TV_IPARAM_SPLEX_DPRICING, 0}});
    expect_published(name, full, "Dantzig, full scan");
    for (int method : {1, 2, 3}) {
      const Outcome r = solve(name, TV_METHOD_DSIMPLEX,
                                     {{TV_IPARAM_SPLEX_DPRICING, 0}, {TV_IPARAM_LP_DPARTIAL, static_cast<double>(method)}});
      expect_published(name, r, ("partial method " + std::to_string(method)).c_str());
      differ += r.iterations != full.iterations;
    }
  }
  EXPECT_GT(differ, 0) << "TV_IPARAM_LP_DPARTIAL never changed the path";
}

TEST(DualOptions, PerturbationSizeAndPrePerturbation) {
  if (!have_data()) GTEST_SKIP() << "netlib data not found";
  const std::vector<Setting> trace = {{TV_IPARAM_LP_PRTFG, 16}, {TV_IPARAM_LP_PRINTLEVEL, 2}};
  std::vector<Setting> pre = trace;
  pre.push_back({TV_IPARAM_LP_UMODE, 22 + 8});
  const Outcome with = solve("degen2", TV_METHOD_DSIMPLEX, pre);
  expect_published("degen2", with, "pre-perturbed");
  EXPECT_TRUE(logged(with, "\nDual pre-perturbation...")) << with.log;
  const Outcome without = solve("degen2", TV_METHOD_DSIMPLEX, trace);
  expect_published("degen2", without, "default");
  EXPECT_FALSE(logged(without, "\nDual pre-perturbation..."));
  std::vector<Setting> big = pre;
  big.push_back({TV_DPARAM_LP_PERTFACT, 1e-3, true});
  const Outcome larger = solve("degen2", TV_METHOD_DSIMPLEX, big);
  expect_published("degen2", larger, "larger perturbation");
  EXPECT_NE(larger.iterations, with.iterations) << "TV_DPARAM_LP_PERTFACT did not change the path";
}

// UMODE bit 1 draws the perturbation values from the environment's seed: the
// path then depends on the seed, and without the bit it does not.
TEST(EngineOptions, RandomPerturbationValuesFollowTheSeed) {
  if (!have_data()) GTEST_SKIP() << "netlib data not found";
  for (const int umode : {22, 23}) {
    std::vector<int> iterations;
    for (const int seed : {1, 2, 3}) {
      const std::vector<Setting> s = {{TV_IPARAM_LP_UMODE, static_cast<double>(umode)},
                                      {TV_IPARAM_DEFAULT_SEED, static_cast<double>(seed), false, true}};
      const Outcome r = solve("degen2", TV_METHOD_PSIMPLEX, s);
      expect_published("degen2", r, umode == 23 ? "random perturbation" : "fixed perturbation");
      iterations.push_back(r.iterations);
    }
    const bool all_same = iterations[0] == iterations[1] && iterations[1] == iterations[2];
    if (umode == 22)
      EXPECT_TRUE(all_same) << "the seed changed the path without UMODE bit 1";
    else
      EXPECT_FALSE(all_same) << "the seed never changed the path with UMODE bit 1";
  }
}

// The statistics block counts pivot rows priced row-wise (sparse) and
// column-wise (dense): without XMODE bit 4 none is sparse.
TEST(DualOptions, KernelSettingsChooseHowPivotRowsArePriced) {
  if (!have_data()) GTEST_SKIP() << "netlib data not found";
  auto sparse_rows = [](const Outcome &r) {
    const size_t at = r.log.find("\npivrow (s/d)        = ");
    if (at == std::string::npos) return -1;
    int sparse = -1, dense = -1;
    std::sscanf(r.log.c_str() + at, "\npivrow (s/d)        = %d/%d", &sparse, &dense);
    return sparse;
  };
  const std::vector<Setting> stats = {{TV_IPARAM_LP_PRTFG, 1}};
  std::vector<Setting> dense_only = stats, reserve = stats;
  dense_only.push_back({TV_IPARAM_LP_XMODE, 8});
  reserve.push_back({TV_IPARAM_LP_PALLOC, 300});
  reserve.push_back({TV_IPARAM_LP_PCOLAL_FACTOR, 1});
  const Outcome base = solve("scfxm1", TV_METHOD_DSIMPLEX, stats);
  expect_published("scfxm1", base, "default kernels");
  EXPECT_GT(sparse_rows(base), 0) << base.log;
  const Outcome dense = solve("scfxm1", TV_METHOD_DSIMPLEX, dense_only);
  expect_published("scfxm1", dense, "dense pricing");
  EXPECT_EQ(sparse_rows(dense), 0) << dense.log;
  const Outcome tight = solve("scfxm1", TV_METHOD_DSIMPLEX, reserve);
  expect_published("scfxm1", tight, "reserved storage, 1 % density");
  EXPECT_LT(sparse_rows(tight), sparse_rows(base));
}

// fit1d has 24 rows and 1026 columns: with a small working set sifting makes
// several passes, and the primal simplex finishes from the last one.
TEST(Sprint, SiftingPassesEndAtTheOptimum) {
  if (!have_data()) GTEST_SKIP() << "netlib data not found";
  const std::vector<Setting> small_set = {{TV_DPARAM_LP_BIGM, 1, true}, {TV_IPARAM_LP_SPRINT_COLFACT, 3},
                                          {TV_IPARAM_LP_PRTFG, 1},      {TV_IPARAM_LP_PRINTLEVEL, 1}};
  for (int sub : {0, 2}) {
    std::vector<Setting> s = small_set;
    s.push_back({TV_IPARAM_LP_SPRINT_SUB, static_cast<double>(sub)});
    const Outcome r = solve("fit1d", TV_METHOD_SPRINT, s);
    expect_published("fit1d", r, "sprint");
    int passes = 0;
    const size_t at = r.log.find("\nSprint: ");
    ASSERT_NE(at, std::string::npos) << r.log;
    std::sscanf(r.log.c_str() + at, "\nSprint: %d passes", &passes);
    EXPECT_GT(passes, 1);
  }
  // one pass, and the bit of TV_IPARAM_LP_XMODE instead of the method
  std::vector<Setting> s = small_set;
  s.push_back({TV_IPARAM_LP_SPRINT_MAXPASS, 1});
  s.push_back({TV_IPARAM_LP_XMODE, 12 + 16});
  const Outcome r = solve("fit1d", TV_METHOD_PSIMPLEX, s);
  expect_published("fit1d", r, "one sprint pass");
  EXPECT_TRUE(logged(r, "\nSprint: 1 passes")) << r.log;
  // with the default working set (at least TV_DPARAM_LP_BIGM columns) there is nothing to sift
  const Outcome plain = solve("fit1d", TV_METHOD_SPRINT, {{TV_IPARAM_LP_PRTFG, 1}, {TV_IPARAM_LP_PRINTLEVEL, 1}});
  expect_published("fit1d", plain, "sprint, default size");
  EXPECT_FALSE(logged(plain, "\nSprint: "));
}

}  // namespace

// UMODE bit 32: the anti-degeneracy step of the primal is the lexicographic
// ratio test, started up front by bit 16 or when degeneracy piles up, and no
// bound is ever perturbed.
TEST(PrimalOptions, LexicographicRatioTestReplacesTheBoundPerturbation) {
  if (!have_data()) GTEST_SKIP() << "netlib data not found";
  const std::vector<Setting> trace = {{TV_IPARAM_LP_PRTFG, 16}, {TV_IPARAM_LP_PRINTLEVEL, 2}};
  for (const char *name : {"degen2", "scagr7", "share2b"}) {
    for (const int umode : {22 + 32, 6 + 32}) {  // with and without the up-front step
      std::vector<Setting> lex = trace;
      lex.push_back({TV_IPARAM_LP_UMODE, static_cast<double>(umode)});
      lex.push_back({TV_IPARAM_SPLEX_PPRICING, 0});
      const Outcome r = solve(name, TV_METHOD_PSIMPLEX, lex);
      expect_published(name, r, "lexicographic");
      EXPECT_FALSE(logged(r, "perturbation(")) << name << " perturbed bounds under the lexicographic test";
      if (umode & 16) {
        EXPECT_TRUE(logged(r, "starting   lexicographic ratio test(1)")) << name;
      }
    }
  }
  const Outcome plain = solve("degen2", TV_METHOD_PSIMPLEX, trace);
  expect_published("degen2", plain, "bound perturbation");
  EXPECT_TRUE(logged(plain, "starting   perturbation(1)"));
  EXPECT_FALSE(logged(plain, "lexicographic"));
}

// Beale's example cycles under Dantzig's rule with the textbook tie-break;
// the lexicographic test (and every other setting) must end at -1/20.
TEST(PrimalOptions, CyclingExampleEndsAtItsOptimum) {
  lpfix::Lp lp;
  lp.c = {-0.75, 150, -0.02, 6};
  lp.b = {0, 0, 1};
  lp.types = "LLL";
  lp.rows = {{0.25, -60, -0.04, 9}, {0.5, -90, -0.02, 3}, {0, 0, 1, 0}};
  lp.lower = {0, 0, 0, 0};
  lp.upper = {TV_INFINITY, TV_INFINITY, TV_INFINITY, TV_INFINITY};
  for (const int umode : {0, 32, 16 + 32, 22 + 32})
    for (const int ratio : {0, 1}) {
      tvtest::EnvHandle env;
      tvtest::ModelHandle model(env);
      lpfix::load(model, lp);
      TVsetModelIntParameter(model, TV_IPARAM_LP_UMODE, umode);
      TVsetModelIntParameter(model, TV_IPARAM_LP_PRATIO, ratio);
      TVsetModelIntParameter(model, TV_IPARAM_SPLEX_PPRICING, 0);
      TVsetModelIntParameter(model, TV_IPARAM_LP_XMODE, 13);  // slack start: the cycling path
      int status = -1;
      ASSERT_EQ(TVoptimize(model, TV_METHOD_PSIMPLEX, &status), 0) << umode;
      EXPECT_EQ(status, TV_STATUS_BASIC_OPTIMAL) << umode;
      double obj = 0, x[4] = {};
      TVgetInfo(model, TV_DINFO_POBJ, &obj);
      EXPECT_NEAR(obj, -0.05, 1e-9) << "umode " << umode << " pratio " << ratio;
      TVgetPrimalSolution(model, x);
      EXPECT_NEAR(x[0], 0.04, 1e-9);
      EXPECT_NEAR(x[2], 1.0, 1e-9);
    }
}

// Partial pricing merges the candidates of each new segment into its list;
// merges that overfill it (TV_DPARAM_LP_MERGEFACT) more often than
// TV_IPARAM_LP_MAXMERGE ask for a refactorisation with their own reason.
TEST(PrimalOptions, OverfullPartialPricingListsAskForARefactorisation) {
  if (!have_data()) GTEST_SKIP() << "netlib data not found";
  const std::vector<Setting> base = {{TV_IPARAM_SPLEX_PPRICING, 0}, {TV_IPARAM_LP_PRTFG, 2}, {TV_IPARAM_LP_PRINTLEVEL, 2}};
  for (const char *name : {"fit1d", "scagr7", "boeing2"}) {
    std::vector<Setting> tight = base;
    tight.push_back({TV_IPARAM_LP_MAXMERGE, 2});
    tight.push_back({TV_DPARAM_LP_MERGEFACT, 0.0, true});
    const Outcome r = solve(name, TV_METHOD_PSIMPLEX, tight);
    expect_published(name, r, "merge limit 2");
    EXPECT_TRUE(logged(r, ":WFACT_MAXDMERGE (#cnt:1)")) << name;
    // a fill factor of 1 counts only merges beyond the capacity
    std::vector<Setting> loose = base;
    loose.push_back({TV_IPARAM_LP_MAXMERGE, 2});
    loose.push_back({TV_DPARAM_LP_MERGEFACT, 1.0, true});
    const Outcome l = solve(name, TV_METHOD_PSIMPLEX, loose);
    expect_published(name, l, "fill factor 1");
    const Outcome d = solve(name, TV_METHOD_PSIMPLEX, base);
    expect_published(name, d, "default merge limit");
    EXPECT_FALSE(logged(d, "WFACT_MAXDMERGE")) << name;
  }
}
