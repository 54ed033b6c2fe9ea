// Sampling methods, user-function samples, the keep flag, correlation
// induction and the histogram, through the public header.
#include <algorithm>
#include <cmath>
#include <numeric>
#include <string>
#include <vector>

#include "stoc_fixture.hpp"

using namespace stoc_test;

namespace {

std::vector<double> points_of(pTVsample s) {
  int n = 0;
  double *p = nullptr;
  TVsampGetPointsPtr(s, &n, &p);
  return std::vector<double>(p, p + n);
}

std::vector<double> ci_points_of(pTVsample s) {
  int n = 0;
  EXPECT_EQ(TVsampGetCIPoints(s, &n, nullptr), 0);
  std::vector<double> out(static_cast<std::size_t>(n));
  TVsampGetCIPoints(s, &n, out.data());
  return out;
}

}  // namespace

TEST_F(StocTest, MonteCarloAppliesTheInverseToEachDraw) {
  Generator g(env, 6, 11), twin(env, 6, 11);
  Sample s(env, TV_DIST_LOGNORMAL, {0.5, 0.3});
  TVsampSetRG(s, g);
  ASSERT_EQ(TVsampGenerate(s, TV_MONTECARLO, 50), 0);
  auto p = points_of(s);
  ASSERT_EQ(p.size(), 50u);
  for (double x : p) EXPECT_DOUBLE_EQ(x, s.eval(TV_CDFINV, TVgetDoubleRV(twin)));
}

TEST_F(StocTest, LatinHypercubePutsOnePointInEachStratum) {
  for (int method : {TV_LATINSQUARE, TV_LATINANTITHETIC}) {
    Generator g(env, 1, 5);
    Sample s(env, TV_DIST_UNIFORM, {0, 1});
    TVsampSetRG(s, g);
    const int n = 1001;
    ASSERT_EQ(TVsampGenerate(s, method, n), 0);
    std::vector<int> hits(n, 0);
    for (double x : points_of(s)) ++hits[std::min(n - 1, static_cast<int>(x * n))];
    EXPECT_TRUE(std::all_of(hits.begin(), hits.end(), [](int h) { return h == 1; })) << method;
  }
  // The strata are in the probability scale: one point per 1/n of mass.
  Generator g(env, 6, 8);
  Sample s(env, TV_DIST_NORMAL, {0, 1});
  TVsampSetRG(s, g);
  ASSERT_EQ(TVsampGenerate(s, TV_LATINSQUARE, 200), 0);
  std::vector<int> hits(200, 0);
  for (double x : points_of(s)) ++hits[std::min(199, static_cast<int>(s.eval(TV_CDF, x) * 200))];
  EXPECT_EQ(std::count(hits.begin(), hits.end(), 1), 200);
}

TEST_F(StocTest, AntitheticPairsAreMirrored) {
  Generator g(env, 6, 3);
  Sample s(env, TV_DIST_UNIFORM, {0, 1});
  TVsampSetRG(s, g);
  ASSERT_EQ(TVsampGenerate(s, TV_ANTITHETIC, 2), 0);
  auto p = points_of(s);
  EXPECT_NEAR(p[0] + p[1], 1.0, 1e-15);
  ASSERT_EQ(TVsampGenerate(s, TV_ANTITHETIC, 7), 0);
  p = points_of(s);
  for (int i = 0; i + 1 < 6; i += 2) EXPECT_NEAR(p[i] + p[i + 1], 1.0, 1e-15);
  Sample n(env, TV_DIST_NORMAL, {3, 2});
  TVsampSetRG(n, g);
  ASSERT_EQ(TVsampGenerate(n, TV_ANTITHETIC, 100), 0);
  p = points_of(n);
  for (int i = 0; i < 100; i += 2) EXPECT_NEAR(p[i] + p[i + 1], 6.0, 1e-9);
  // Latin antithetic pairs mirror within the strata of the pair.
  Sample u(env, TV_DIST_UNIFORM, {0, 1});
  TVsampSetRG(u, g);
  ASSERT_EQ(TVsampGenerate(u, TV_LATINANTITHETIC, 10), 0);
  p = points_of(u);
  for (int i = 0; i < 10; i += 2) {
    double a = p[i] * 10 - std::floor(p[i] * 10), b = p[i + 1] * 10 - std::floor(p[i + 1] * 10);
    EXPECT_NEAR(a + b, 1.0, 1e-9);
  }
}

TEST_F(StocTest, GenerationNeedsASeededGenerator) {
  Sample s(env, TV_DIST_NORMAL, {0, 1});
  EXPECT_EQ(TVsampGenerate(s, 0, 10), 2352);
  EXPECT_EQ(TVsampSetRG(s, nullptr), 2010);
  Generator unseeded(env, 6, 0);
  TVsampSetRG(s, unseeded);
  EXPECT_EQ(TVsampGenerate(s, 0, 10), 2366);
  TVsetRGSeed(unseeded, 3);
  EXPECT_EQ(TVsampGenerate(s, 4, 10), 2335);
  EXPECT_EQ(TVsampGenerate(s, 0, 0), 2358);
  EXPECT_EQ(TVsampGenerate(nullptr, 0, 10), 2010);
  int size = -1;
  TVsampGetInfo(s, TV_IINFO_SAMP_SIZE, &size);
  EXPECT_EQ(size, 0);
  // A disposed generator is no longer used.
  pTVrandom gone = TVcreateRG(env, 6);
  TVsetRGSeed(gone, 1);
  TVsampSetRG(s, gone);
  TVdisposeRG(&gone);
  EXPECT_EQ(TVsampGenerate(s, 0, 10), 2352);
}

TEST_F(StocTest, FailedGenerationKeepsThePreviousPoints) {
  Generator g(env, 6, 17);
  Sample s(env, TV_DIST_NORMAL, {0, 1});
  TVsampSetRG(s, g);
  ASSERT_EQ(TVsampGenerate(s, 0, 20), 0);
  auto before = points_of(s);
  TVsampSetDistrParam(s, 1, -1);
  EXPECT_EQ(TVsampGenerate(s, 0, 30), 2346);
  EXPECT_EQ(points_of(s), before);
}

TEST_F(StocTest, KeepFlagAndRunningMaximum) {
  Generator g(env, 6, 21);
  Sample s(env, TV_DIST_NORMAL, {0, 1});
  TVsampSetRG(s, g);
  ASSERT_EQ(TVsampGenerate(s, 0, 100), 0);
  auto first = points_of(s);
  double maxabs = 0;
  TVsampGetInfo(s, TV_DINFO_SAMP_MAXABS, &maxabs);
  double expected = 0;
  for (double x : first) expected = std::max(expected, std::fabs(x));
  EXPECT_EQ(maxabs, expected);
  TVsampSetKeepPoints(s, 1);
  ASSERT_EQ(TVsampGenerate(s, 0, 100), 0);
  EXPECT_EQ(points_of(s), first);
  ASSERT_EQ(TVsampGenerate(s, 0, 101), 0);
  EXPECT_NE(points_of(s)[0], first[0]);
  TVsampSetKeepPoints(s, 0);
  ASSERT_EQ(TVsampGenerate(s, 0, 101), 0);
  double mean = 0, sd = 0;
  TVsampGetInfo(s, TV_DINFO_SAMP_MEAN, &mean);
  TVsampGetInfo(s, TV_DINFO_SAMP_STD, &sd);
  EXPECT_NEAR(mean, 0, 0.4);
  EXPECT_NEAR(sd, 1, 0.3);
}

TEST_F(StocTest, LoadedPointsAreCopiedAndChecked) {
  Sample s(env, TV_DIST_NORMAL, {0, 1});
  double pts[3] = {1, -7, 2};
  EXPECT_EQ(TVsampLoadPoints(s, 3, pts), 0);
  pts[0] = 99;
  auto p = points_of(s);
  EXPECT_EQ(p, (std::vector<double>{1, -7, 2}));
  double bad[2] = {1, std::nan("")};
  EXPECT_EQ(TVsampLoadPoints(s, 2, bad), 2347);
  EXPECT_EQ(TVsampLoadPoints(s, 0, pts), 2358);
  EXPECT_EQ(points_of(s).size(), 3u);
  double maxabs = 0;
  TVsampGetInfo(s, TV_DINFO_SAMP_MAXABS, &maxabs);
  EXPECT_EQ(maxabs, 7.0);
}

namespace {

int sum_of_args(pTVsample, int func, const double *args, int nargs, double *result, void *calls) {
  ++*static_cast<int *>(calls);
  if (func != TV_USER_FUNC) return 2029;
  *result = 0;
  for (int i = 0; i < nargs; ++i) *result += args[i];
  return 0;
}

int exponential_user(pTVsample, int func, const double *args, int nargs, double *result, void *) {
  if (nargs != 1) return 2389;
  if (func == TV_CDFINV) *result = -std::log1p(-args[0]);
  else if (func == TV_CDF) *result = -std::expm1(-args[0]);
  else *result = std::exp(-args[0]);
  return 0;
}

}  // namespace

TEST_F(StocTest, UserFunctionSamplesCombineTheirArguments) {
  Generator g(env, 6, 41);
  Sample total(env, TV_DIST_USER), a(env, TV_DIST_UNIFORM, {0, 1}), b(env, TV_DIST_NORMAL, {10, 1});
  TVsampSetRG(total, g);
  ASSERT_EQ(TVsampAddUserFuncArg(total, a), 0);
  ASSERT_EQ(TVsampAddUserFuncArg(total, b), 0);
  EXPECT_EQ(TVsampAddUserFuncArg(total, a), 2387);
  EXPECT_EQ(TVsampAddUserFuncArg(a, total), 2389);  // only user samples take arguments
  EXPECT_EQ(TVsampGenerate(total, TV_LATINSQUARE, 40), 2388);
  int calls = 0;
  ASSERT_EQ(TVsampSetUserDistr(total, sum_of_args, &calls), 0);
  ASSERT_EQ(TVsampGenerate(total, TV_LATINSQUARE, 40), 0);
  EXPECT_EQ(calls, 40);
  auto t = points_of(total), pa = points_of(a), pb = points_of(b);
  ASSERT_EQ(pa.size(), 40u);
  for (int i = 0; i < 40; ++i) EXPECT_DOUBLE_EQ(t[i], pa[i] + pb[i]);
  double args[2] = {1, 2}, r = 0;
  EXPECT_EQ(TVsampEvalUserDistr(total, TV_USER_FUNC, args, 2, &r), 0);
  EXPECT_EQ(r, 3.0);
  EXPECT_EQ(TVsampEvalUserDistr(total, TV_USER_FUNC, args, 1, &r), 2389);
  int rc = 0;
  total.eval(TV_CDF, 1.0, &rc);
  EXPECT_EQ(rc, 2389);
}

TEST_F(StocTest, UserDistributionIsSampledThroughItsInverse) {
  Generator g(env, 6, 43), twin(env, 6, 43);
  Sample u(env, TV_DIST_USER);
  int rc = 0;
  u.eval(TV_CDF, 1.0, &rc);
  EXPECT_EQ(rc, 2056);
  ASSERT_EQ(TVsampSetUserDistr(u, exponential_user, nullptr), 0);
  EXPECT_NEAR(u.eval(TV_CDF, 1.0), 1 - std::exp(-1.0), 1e-15);
  TVsampSetRG(u, g);
  ASSERT_EQ(TVsampGenerate(u, TV_MONTECARLO, 5), 0);
  for (double x : points_of(u)) EXPECT_DOUBLE_EQ(x, -std::log1p(-TVgetDoubleRV(twin)));
  Sample n(env, TV_DIST_NORMAL, {0, 1});
  EXPECT_EQ(TVsampSetUserDistr(n, exponential_user, nullptr), 2389);
}

TEST_F(StocTest, DiscreteTableSamplesAreIndices) {
  Generator g(env, 6, 47);
  Sample t(env, TV_DIST_DISCRETE);
  const double probs[3] = {0.5, 0.25, 0.25};
  const double values[3] = {1, -20, 3};
  TVsampLoadDiscretePdfTable(t, 3, probs, values);
  TVsampSetRG(t, g);
  ASSERT_EQ(TVsampGenerate(t, TV_LATINSQUARE, 8), 0);
  auto p = points_of(t);
  EXPECT_EQ(std::count(p.begin(), p.end(), 0.0), 4);
  EXPECT_EQ(std::count(p.begin(), p.end(), 1.0), 2);
  double maxabs = 0;
  TVsampGetInfo(t, TV_DINFO_SAMP_MAXABS, &maxabs);
  EXPECT_EQ(maxabs, 20.0);
}

class Correlation : public StocTest {
 protected:
  Generator g{env, 6, 1031};
  Sample a{env, TV_DIST_NORMAL, {0, 1}}, b{env, TV_DIST_GAMMA, {2, 2}}, c{env, TV_DIST_UNIFORM, {-1, 1}};
  pTVsample all[3] = {a, b, c};
  void generate(int n) {
    for (pTVsample s : all) {
      TVsampSetRG(s, g);
      ASSERT_EQ(TVsampGenerate(s, TV_LATINSQUARE, n), 0);
    }
  }
  std::vector<double> achieved(int type, int induced = 1) {
    int nz = 0;
    std::vector<double> v(3);
    std::vector<int> r(3), col(3);
    EXPECT_EQ(TVsampGetCorrelationMatrix(all, 3, induced, type, &nz, r.data(), col.data(), v.data()), 0);
    EXPECT_EQ(nz, 3);
    EXPECT_EQ(r, (std::vector<int>{1, 2, 2}));
    EXPECT_EQ(col, (std::vector<int>{0, 0, 1}));
    return v;
  }
};

TEST_F(Correlation, SpearmanTargetIsReached) {
  generate(1000);
  const int rows[3] = {1, 2, 2}, cols[3] = {0, 0, 1};
  const double target[3] = {0.7, -0.3, 0.2};
  ASSERT_EQ(TVsampInduceCorrelation(all, 3, TV_CORR_SPEARMAN, 3, rows, cols, target), 0);
  auto got = achieved(TV_CORR_SPEARMAN);
  for (int k = 0; k < 3; ++k) EXPECT_NEAR(got[k], target[k], 0.05);
  // The induced points are a re-ordering of the points.
  for (pTVsample s : all) {
    auto p = points_of(s), q = ci_points_of(s);
    std::sort(p.begin(), p.end());
    std::sort(q.begin(), q.end());
    EXPECT_EQ(p, q);
  }
  double diff = 1;
  ASSERT_EQ(TVsampGetCorrDiff(all, 3, TV_CORRDIFF_MAXABS, &diff), 0);
  EXPECT_LT(diff, 0.05);
  EXPECT_NEAR(diff, std::max({std::fabs(got[0] - 0.7), std::fabs(got[1] + 0.3), std::fabs(got[2] - 0.2)}), 1e-12);
  // The original points keep their (near zero) correlation.
  auto original = achieved(TV_CORR_SPEARMAN, 0);
  for (double v : original) EXPECT_LT(std::fabs(v), 0.1);
}

TEST_F(Correlation, KendallAndPearsonTargets) {
  generate(600);
  const int rows[2] = {1, 2}, cols[2] = {0, 1};
  const double tau[2] = {0.5, -0.4};
  ASSERT_EQ(TVsampInduceCorrelation(all, 3, TV_CORR_KENDALL, 2, rows, cols, tau), 0);
  auto got = achieved(TV_CORR_KENDALL);
  EXPECT_NEAR(got[0], 0.5, 0.05);
  EXPECT_NEAR(got[2], -0.4, 0.05);
  // The matrix used is the Pearson conversion sin(pi tau / 2).
  auto used = achieved(TV_CORR_TARGET);
  EXPECT_NEAR(used[0], std::sin(M_PI * 0.25), 1e-12);
  EXPECT_NEAR(used[1], 0.0, 1e-12);
  const double rho[1] = {0.6};
  ASSERT_EQ(TVsampInduceCorrelation(all, 3, TV_CORR_PEARSON, 1, rows, cols, rho), 0);
  EXPECT_NEAR(achieved(TV_CORR_PEARSON)[0], 0.6, 0.06);
}

TEST_F(Correlation, SpearmanOfOneBecomesPearsonOne) {
  generate(300);
  const int rows[1] = {1}, cols[1] = {0};
  const double one[1] = {1.0};
  ASSERT_EQ(TVsampInduceCorrelation(all, 2, TV_CORR_SPEARMAN, 1, rows, cols, one), 0);
  int nz = 0;
  double used = 0;
  ASSERT_EQ(TVsampGetCorrelationMatrix(all, 2, 1, TV_CORR_TARGET, &nz, nullptr, nullptr, &used), 0);
  EXPECT_NEAR(used, 1.0, 1e-5);  // 2 sin(pi/6), moved just inside by the repair
  double spearman = 0;
  TVsampGetCorrelationMatrix(all, 2, 1, TV_CORR_SPEARMAN, &nz, nullptr, nullptr, &spearman);
  EXPECT_GT(spearman, 0.99);
}

TEST_F(Correlation, InvalidTargetsAreRepairedToTheNearestCorrelationMatrix) {
  generate(500);
  // Higham's example: the nearest correlation matrix of [1 1 0; 1 1 1; 0 1 1]
  // has off-diagonal entries 0.7607, 0.1573, 0.7607.
  const int rows[3] = {1, 2, 2}, cols[3] = {0, 0, 1};
  const double target[3] = {1.0, 0.0, 1.0};
  for (int method : {4, 2}) {
    TVsetEnvIntParameter(env, TV_IPARAM_SAMP_NCM_METHOD, method);
    TVsetEnvIntParameter(env, TV_IPARAM_SAMP_NCM_ITERLIM, 2000);
    TVsetEnvDouParameter(env, TV_DPARAM_SAMP_NCM_OPTTOL, 1e-10);
    ASSERT_EQ(TVsampInduceCorrelation(all, 3, TV_CORR_PEARSON, 3, rows, cols, target), 0) << method;
    auto used = achieved(TV_CORR_TARGET);
    EXPECT_NEAR(used[0], 0.7607, 2e-4) << method;
    EXPECT_NEAR(used[1], 0.1573, 2e-4) << method;
    EXPECT_NEAR(used[2], 0.7607, 2e-4) << method;
  }
  // The diagonal shift alone cannot move that far within its maximum.
  TVsetEnvIntParameter(env, TV_IPARAM_SAMP_NCM_METHOD, 1);
  EXPECT_EQ(TVsampInduceCorrelation(all, 3, TV_CORR_PEARSON, 3, rows, cols, target), 2025);
  // A slightly indefinite target is within its reach.
  const double nearly[3] = {0.9, 0.9, 0.62};
  EXPECT_EQ(TVsampInduceCorrelation(all, 3, TV_CORR_PEARSON, 3, rows, cols, nearly), 0);
  // A distance limit below the needed move makes the repair fail.
  TVsetEnvIntParameter(env, TV_IPARAM_SAMP_NCM_METHOD, 4);
  TVsetEnvDouParameter(env, TV_DPARAM_SAMP_NCM_CUTOBJ, 0.1);
  EXPECT_EQ(TVsampInduceCorrelation(all, 3, TV_CORR_PEARSON, 3, rows, cols, target), 2025);
}

TEST_F(Correlation, BadInputLeavesSamplesUnchanged) {
  const int rows[1] = {1}, cols[1] = {0};
  const double v[1] = {0.5};
  EXPECT_EQ(TVsampInduceCorrelation(all, 3, TV_CORR_SPEARMAN, 1, rows, cols, v), 2369);
  generate(100);
  EXPECT_EQ(TVsampInduceCorrelation(all, 3, 3, 1, rows, cols, v), 2361);
  EXPECT_EQ(TVsampInduceCorrelation(all, 3, TV_CORR_TARGET, 1, rows, cols, v), 2361);
  const int bad_row[1] = {3};
  EXPECT_EQ(TVsampInduceCorrelation(all, 3, 0, 1, bad_row, cols, v), 2012);
  const double too_big[1] = {1.5};
  EXPECT_EQ(TVsampInduceCorrelation(all, 3, 0, 1, rows, cols, too_big), 2025);
  const double nan[1] = {std::nan("")};
  EXPECT_EQ(TVsampInduceCorrelation(all, 3, 0, 1, rows, cols, nan), 2025);
  EXPECT_EQ(TVsampInduceCorrelation(nullptr, 3, 0, 1, rows, cols, v), 2010);
  EXPECT_EQ(TVsampInduceCorrelation(all, 3, 0, 1, nullptr, cols, v), 2010);
  ASSERT_EQ(TVsampGenerate(c, TV_LATINSQUARE, 50), 0);
  EXPECT_EQ(TVsampInduceCorrelation(all, 3, 0, 1, rows, cols, v), 2025);  // sizes differ
  int n = 0;
  EXPECT_EQ(TVsampGetCIPoints(a, &n, nullptr), 2379);
  double diff = 0;
  EXPECT_EQ(TVsampGetCorrDiff(all, 2, 0, &diff), 2379);
  // More samples than points.
  Sample tiny1(env, TV_DIST_NORMAL, {0, 1}), tiny2(env, TV_DIST_NORMAL, {0, 1}), tiny3(env, TV_DIST_NORMAL, {0, 1});
  double two[2] = {1, 2};
  pTVsample tiny[3] = {tiny1, tiny2, tiny3};
  for (pTVsample s : tiny) TVsampLoadPoints(s, 2, two);
  EXPECT_EQ(TVsampInduceCorrelation(tiny, 3, 0, 1, rows, cols, v), 2025);
}

TEST_F(StocTest, HistogramCountsAndPrints) {
  tvtest::ModelHandle model(env);
  std::string log;
  TVsetModelLogfunc(model, tvtest::collect_model_log, &log);
  const double values[8] = {-5, 0.1, 0.2, 0.6, 0.9, 1.0, 3, 0.5};
  const double weights[8] = {1, 1, 1, 1, 1, 1, 1, 1};
  int bins = 2;
  int counts[4];
  double freq[4], lo[4], hi[4];
  ASSERT_EQ(TVgetHistogram(model, 8, values, weights, 0, 1, &bins, counts, freq, lo, hi), 0);
  EXPECT_EQ(bins, 4);
  EXPECT_EQ(std::vector<int>(counts, counts + 4), (std::vector<int>{1, 2, 4, 1}));
  EXPECT_DOUBLE_EQ(freq[2], 0.5);
  EXPECT_EQ(lo[2], 0.5);
  EXPECT_EQ(hi[2], 1.0);
  EXPECT_NE(log.find("\nHistogram of scenario objectives\n\n"), std::string::npos);
  EXPECT_NE(log.find("000002 [          0.5,            1] : "), std::string::npos) << log;
  EXPECT_NE(log.find("000000 [         -INF,            0] : "), std::string::npos) << log;
  const double negative[8] = {1, 1, 1, -1, 1, 1, 1, 1};
  EXPECT_EQ(TVgetHistogram(model, 8, values, negative, 0, 1, &bins, counts, freq, lo, hi), 2025);
  EXPECT_EQ(TVgetHistogram(model, 0, values, nullptr, 0, 1, &bins, nullptr, nullptr, nullptr, nullptr), 2025);
  EXPECT_EQ(TVgetHistogram(nullptr, 8, values, nullptr, 0, 1, &bins, nullptr, nullptr, nullptr, nullptr), 2010);
}

TEST_F(StocTest, DeletingTheEnvironmentDeletesItsSamples) {
  // Samples left attached are freed with the environment (leaks show under ASan).
  pTVenv local = nullptr;
  int code = 0;
  local = TVcreateEnv(&code, nullptr);
  pTVsample s = TVsampCreate(local, TV_DIST_NORMAL, &code);
  pTVsample arg = TVsampCreate(local, TV_DIST_NORMAL, &code);
  pTVsample user = TVsampCreate(local, TV_DIST_USER, &code);
  ASSERT_EQ(TVsampAddUserFuncArg(user, arg), 0);
  ASSERT_NE(s, nullptr);
  TVsampDelete(&arg);  // the user sample forgets it
  EXPECT_EQ(arg, nullptr);
  int nargs = -1;
  TVsampGetInfo(user, TV_IINFO_SAMP_NUSERARGS, &nargs);
  EXPECT_EQ(nargs, 0);
  EXPECT_EQ(TVdeleteEnv(&local), 0);
}
