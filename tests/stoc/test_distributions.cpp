// Densities, distribution functions and inverses against mpmath references,
// round trips, the cut-off and point-mass conventions, and parameter errors.
#include <cmath>
#include <limits>

#include "reference_values.hpp"
#include "stoc_fixture.hpp"

using namespace stoc_test;

namespace {

bool is_discrete(int type) { return type < 800 || type == TV_DIST_BETA_BINOMIAL; }

}  // namespace

TEST_F(StocTest, DistributionsMatchReferenceValues) {
  int checked = 0;
  for (const auto &row : stoc_ref::kDistributions) {
    Sample s(env, row.type, {row.params[0], row.params[1], row.params[2]});
    ASSERT_NE(s.s, nullptr) << row.type;
    int rc = -1;
    double got = s.eval(row.func, row.x, &rc);
    ASSERT_EQ(rc, 0) << "type " << row.type << " func " << row.func << " x " << row.x;
    if (row.func == TV_CDFINV && is_discrete(row.type)) {
      EXPECT_EQ(got, row.expected) << "type " << row.type << " u " << row.x;
    } else {
      const double tol = row.func == TV_CDFINV ? 1e-7 : 1e-9;
      EXPECT_NEAR(got, row.expected, tol * std::fabs(row.expected))
          << "type " << row.type << " func " << row.func << " x " << row.x;
    }
    ++checked;
  }
  EXPECT_GT(checked, 300);
}

TEST_F(StocTest, InverseUndoesTheDistributionFunction) {
  struct Case {
    int type;
    std::initializer_list<double> params;
    double lo, hi;
  };
  const Case cases[] = {
      {TV_DIST_NORMAL, {-3, 0.25}, -4.9, -1.1},   {TV_DIST_LOGNORMAL, {0, 1}, 0.01, 60},
      {TV_DIST_GAMMA, {1.5, 0.8}, 1e-4, 40},      {TV_DIST_GAMMA, {3, 40}, 40, 250},
      {TV_DIST_BETA, {0.6, 3}, 1e-5, 0.95},       {TV_DIST_F_DISTRIBUTION, {3, 7}, 0.01, 50},
      {TV_DIST_STUDENTS_T, {1.5}, -40, 40},       {TV_DIST_WEIBULL, {3, 0.6}, 1e-3, 300},
      {TV_DIST_PARETO, {2, 1.2}, 2.01, 1e4},      {TV_DIST_CAUCHY, {1, 3}, -1e4, 1e4},
      {TV_DIST_GUMBEL, {0, 1}, -2, 30},           {TV_DIST_LAPLACE, {1, 2}, -40, 60},
      {TV_DIST_LOGISTIC, {0, 1}, -25, 30},        {TV_DIST_CHI_SQUARE, {7}, 0.05, 80},
      {TV_DIST_EXPONENTIAL, {3}, 1e-6, 10},       {TV_DIST_TRIANGULAR, {-1, 5, 4}, -0.9, 4.9},
  };
  for (const auto &c : cases) {
    Sample s(env, c.type, c.params);
    for (int i = 0; i <= 40; ++i) {
      double x = c.lo + (c.hi - c.lo) * i / 40.0;
      double u = s.eval(TV_CDF, x);
      if (u <= 0 || u >= 1) continue;
      double back = s.eval(TV_CDFINV, u);
      // Where the distribution function is flat to rounding, compare in u.
      double slope = s.eval(TV_PDF, x);
      double tol = 1e-9 * std::fabs(x) + 4e-16 * std::max(u, 1e-300) / std::max(slope, 1e-300) + 1e-12;
      EXPECT_NEAR(back, x, tol) << "type " << c.type << " x " << x;
    }
  }
}

TEST_F(StocTest, DiscreteInverseIsTheSmallestReachingValue) {
  Sample bin(env, TV_DIST_BINOMIAL, {30, 0.4});
  Sample poi(env, TV_DIST_POISSON, {7.5});
  for (const Sample *s : {&bin, &poi}) {
    for (int k = 0; k < 25; ++k) {
      double f = s->eval(TV_CDF, k);
      EXPECT_EQ(s->eval(TV_CDFINV, f), k);
      EXPECT_EQ(s->eval(TV_CDFINV, std::nextafter(f, 2.0)), k + 1);
    }
  }
  EXPECT_EQ(bin.eval(TV_CDFINV, 0.0), 0);
  EXPECT_EQ(bin.eval(TV_CDFINV, 1.0), 30);
  EXPECT_EQ(bin.eval(TV_PDF, 2.5), 0.0);
  EXPECT_EQ(bin.eval(TV_CDF, 2.5), bin.eval(TV_CDF, 2.0));
}

TEST_F(StocTest, CutOffsAndPointMasses) {
  const double c = 8.199980227013494;
  Sample n(env, TV_DIST_NORMAL, {2, 3});
  EXPECT_EQ(n.eval(TV_CDFINV, 0.0), 2 - c * 3);
  EXPECT_EQ(n.eval(TV_CDFINV, 1.0), 2 + c * 3);
  EXPECT_EQ(n.eval(TV_CDF, 2 - 8.3 * 3), 0.0);
  EXPECT_EQ(n.eval(TV_CDF, 2 + 8.3 * 3), 1.0);
  EXPECT_EQ(n.eval(TV_PDF, 2 + 8.3 * 3), 0.0);
  EXPECT_GT(n.eval(TV_PDF, 2 + 8.1 * 3), 0.0);
  Sample point(env, TV_DIST_NORMAL, {2, 0});
  EXPECT_EQ(point.eval(TV_CDF, 1.999), 0.0);
  EXPECT_EQ(point.eval(TV_CDF, 2.0), 1.0);
  EXPECT_EQ(point.eval(TV_PDF, 2.0), 1e30);
  EXPECT_EQ(point.eval(TV_PDF, 2.5), 0.0);
  EXPECT_EQ(point.eval(TV_CDFINV, 0.3), 2.0);
  Sample cauchy(env, TV_DIST_CAUCHY, {0, 1});
  EXPECT_EQ(cauchy.eval(TV_CDF, -17841242.0), 0.0);
  EXPECT_EQ(cauchy.eval(TV_CDF, 17841242.0), 1.0);
  EXPECT_EQ(cauchy.eval(TV_CDFINV, 0.5), 0.0);
  Sample gumbel(env, TV_DIST_GUMBEL, {0, 1});
  EXPECT_EQ(gumbel.eval(TV_CDF, -3.65), 0.0);
  EXPECT_GT(gumbel.eval(TV_CDF, -3.6), 0.0);
  EXPECT_EQ(gumbel.eval(TV_CDF, 34.4), 1.0);
  EXPECT_EQ(gumbel.eval(TV_CDFINV, 0.0), -3.643261368614092);
  Sample laplace(env, TV_DIST_LAPLACE, {0, 1});
  EXPECT_EQ(laplace.eval(TV_CDF, 35.3), 1.0);
  Sample logistic(env, TV_DIST_LOGISTIC, {0, 1});
  EXPECT_EQ(logistic.eval(TV_CDF, -34.6), 0.0);
  Sample uni(env, TV_DIST_UNIFORM, {4, 4});
  EXPECT_EQ(uni.eval(TV_CDFINV, 0.7), 4.0);
  EXPECT_EQ(uni.eval(TV_CDF, 3.9), 0.0);
  EXPECT_EQ(uni.eval(TV_CDF, 4.0), 1.0);
  Sample weibull(env, TV_DIST_WEIBULL, {0, 2});
  EXPECT_EQ(weibull.eval(TV_CDFINV, 0.9), 0.0);
}

TEST_F(StocTest, SpecialCasesEvaluateAsGamma) {
  Sample e(env, TV_DIST_EXPONENTIAL, {0.5});
  Sample g(env, TV_DIST_GAMMA, {2.0, 1.0});
  Sample chi(env, TV_DIST_CHI_SQUARE, {6});
  Sample g3(env, TV_DIST_GAMMA, {2.0, 3.0});
  for (double x : {0.1, 1.0, 5.0, 30.0}) {
    EXPECT_DOUBLE_EQ(e.eval(TV_CDF, x), g.eval(TV_CDF, x));
    EXPECT_DOUBLE_EQ(chi.eval(TV_PDF, x), g3.eval(TV_PDF, x));
    EXPECT_NEAR(e.eval(TV_CDF, x), -std::expm1(-0.5 * x), 1e-15);
  }
}

TEST_F(StocTest, DensityDerivatives) {
  Sample n(env, TV_DIST_NORMAL, {1, 2});
  Sample logistic(env, TV_DIST_LOGISTIC, {0, 1.5});
  Sample g(env, TV_DIST_GAMMA, {2, 3});
  for (const Sample *s : {&n, &logistic, &g}) {
    for (double x : {0.3, 1.7, 4.0}) {
      const double h = 1e-5;
      double numeric = (s->eval(TV_PDF, x + h) - s->eval(TV_PDF, x - h)) / (2 * h);
      EXPECT_NEAR(s->eval(TV_PDFDIFF, x), numeric, 1e-7);
    }
  }
  int rc = 0;
  Sample bin(env, TV_DIST_BINOMIAL, {5, 0.5});
  bin.eval(TV_PDFDIFF, 1, &rc);
  EXPECT_EQ(rc, 2029);
}

TEST_F(StocTest, ParameterErrorsUseTheCatalogueCodes) {
  struct Case {
    int type;
    std::initializer_list<double> params;
    int func;
    double x;
    int code;
  };
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const Case cases[] = {
      {TV_DIST_NORMAL, {0, -1}, TV_CDF, 0, 2346},      {TV_DIST_LOGNORMAL, {0, 0}, TV_CDF, 1, 2346},
      {TV_DIST_UNIFORM, {2, 1}, TV_CDF, 1, 2348},      {TV_DIST_TRIANGULAR, {0, 1, 2}, TV_PDF, 0.5, 2348},
      {TV_DIST_TRIANGULAR, {1, 2, 0}, TV_PDF, 1, 2348}, {TV_DIST_BETA, {0, 1}, TV_CDF, 0.5, 2343},
      {TV_DIST_GAMMA, {0, 1}, TV_CDF, 1, 2342},        {TV_DIST_GAMMA, {1, -1}, TV_CDF, 1, 2343},
      {TV_DIST_EXPONENTIAL, {0}, TV_CDF, 1, 2348},     {TV_DIST_CHI_SQUARE, {-2}, TV_CDF, 1, 2348},
      {TV_DIST_F_DISTRIBUTION, {1, 0}, TV_CDF, 1, 2348}, {TV_DIST_STUDENTS_T, {0}, TV_CDF, 1, 2348},
      {TV_DIST_WEIBULL, {1, 0}, TV_CDF, 1, 2343},      {TV_DIST_WEIBULL, {-1, 1}, TV_CDF, 1, 2342},
      {TV_DIST_PARETO, {0, 1}, TV_CDF, 1, 2342},       {TV_DIST_PARETO, {1, 0}, TV_CDF, 1, 2343},
      {TV_DIST_CAUCHY, {0, -1}, TV_CDF, 1, 2342},      {TV_DIST_GUMBEL, {0, -1}, TV_CDF, 1, 2342},
      {TV_DIST_LAPLACE, {0, -1}, TV_CDF, 1, 2342},     {TV_DIST_LOGISTIC, {0, -1}, TV_CDF, 1, 2342},
      {TV_DIST_BINOMIAL, {-1, 0.5}, TV_CDF, 1, 2348},  {TV_DIST_BINOMIAL, {4, 1.5}, TV_CDF, 1, 2348},
      {TV_DIST_GEOMETRIC, {0}, TV_CDF, 1, 2348},       {TV_DIST_GEOMETRIC, {1.1}, TV_CDF, 1, 2348},
      {TV_DIST_POISSON, {-1}, TV_CDF, 1, 2348},        {TV_DIST_HYPER_GEOMETRIC, {10, 11, 2}, TV_CDF, 1, 2348},
      {TV_DIST_NORMAL, {0}, TV_CDF, 0, 2393},          {TV_DIST_TRIANGULAR, {0, 1}, TV_CDF, 0, 2393},
      {TV_DIST_NORMAL, {0, 1}, TV_CDFINV, 1.5, 2344},  {TV_DIST_NORMAL, {0, 1}, TV_CDFINV, -0.1, 2344},
      {TV_DIST_NORMAL, {0, 1}, TV_CDFINV, nan, 2344},  {TV_DIST_NORMAL, {0, 1}, TV_CDF, nan, 2347},
      {TV_DIST_NORMAL, {0, 1}, 9, 0.5, 2029},          {TV_DIST_WILCOXON, {5}, TV_CDF, 1, 2029},
      {TV_DIST_STABLE_PARETIAN, {1, 1, 1, 1}, TV_CDF, 1, 2029},
  };
  for (const auto &c : cases) {
    Sample s(env, c.type, c.params);
    int rc = 0;
    double r = s.eval(c.func, c.x, &rc);
    EXPECT_EQ(rc, c.code) << "type " << c.type;
    EXPECT_EQ(r, 0.0) << "type " << c.type;
  }
}

TEST_F(StocTest, SampleParametersAndCreation) {
  int code = 0;
  EXPECT_EQ(TVsampCreate(env, 9999, &code), nullptr);
  EXPECT_EQ(code, 2341);
  EXPECT_EQ(TVsampCreate(nullptr, TV_DIST_NORMAL, &code), nullptr);
  EXPECT_EQ(code, 2010);
  Sample s(env, TV_DIST_NORMAL);
  EXPECT_EQ(s.code, 0);
  double v = 0;
  EXPECT_EQ(TVsampGetDistrParam(s, 0, &v), 0);
  EXPECT_EQ(v, 1e30);
  EXPECT_EQ(TVsampSetDistrParam(s, 5, 1.0), 2012);
  EXPECT_EQ(TVsampSetDistrParam(s, -1, 1.0), 2012);
  EXPECT_EQ(TVsampSetDistrParam(s, 1, std::nan("")), 2347);
  EXPECT_EQ(TVsampSetDistrParam(s, 3, 4.0), 0);
  int narg = 0;
  EXPECT_EQ(TVsampGetInfo(s, TV_IINFO_DIST_NARG, &narg), 0);
  EXPECT_EQ(narg, 4);
  EXPECT_EQ(TVsampGetDistrParam(s, 3, &v), 0);
  EXPECT_EQ(v, 4.0);
  EXPECT_EQ(TVsampEvalDistr(nullptr, 1, 0, &v), 2010);
  EXPECT_EQ(TVsampEvalDistr(s, 1, 0, nullptr), 2010);
}

TEST_F(StocTest, DiscreteTables) {
  Sample t(env, TV_DIST_DISCRETE);
  int rc = 0;
  t.eval(TV_CDF, 1, &rc);
  EXPECT_EQ(rc, 2380);
  const double probs[4] = {0.1, 0.2, 0.3, 0.4};
  const double values[4] = {-5, 0, 2.5, 10};
  int len = 0;
  double back[4];
  EXPECT_EQ(TVsampGetDiscretePdfTable(t, &len, back, nullptr), 2009);
  ASSERT_EQ(TVsampLoadDiscretePdfTable(t, 4, probs, nullptr), 0);
  EXPECT_EQ(TVsampGetDiscretePdfTable(t, &len, nullptr, back), 2009);  // values never loaded
  ASSERT_EQ(TVsampLoadDiscretePdfTable(t, 4, probs, values), 0);
  EXPECT_EQ(TVsampGetDiscretePdfTable(t, &len, back, nullptr), 0);
  EXPECT_EQ(len, 4);
  EXPECT_DOUBLE_EQ(back[2], 0.3);
  EXPECT_DOUBLE_EQ(t.eval(TV_PDF, 2.7), 0.3);  // index truncated
  EXPECT_DOUBLE_EQ(t.eval(TV_CDF, 1.2), 0.3);
  EXPECT_EQ(t.eval(TV_CDF, 3), 1.0);
  EXPECT_EQ(t.eval(TV_CDFINV, 0.05), 0);
  EXPECT_EQ(t.eval(TV_CDFINV, 0.35), 2);
  EXPECT_EQ(t.eval(TV_CDFINV, 1.0), 3);
  // Linear interpolation through (value, cumulative probability).
  double r = 0;
  EXPECT_EQ(TVsampEvalDistrLI(t, TV_CDF, 1.25, &r), 0);
  EXPECT_DOUBLE_EQ(r, 0.3 + 0.5 * 0.3);
  EXPECT_EQ(TVsampEvalDistrLI(t, TV_CDFINV, 0.45, &r), 0);
  EXPECT_DOUBLE_EQ(r, 1.25);
  EXPECT_EQ(TVsampEvalDistrLI(t, TV_PDF, 5, &r), 0);
  EXPECT_DOUBLE_EQ(r, 0.4 / 7.5);
  // Bad tables leave the loaded one in place.
  const double negative[2] = {-0.1, 1.1};
  const double short_sum[2] = {0.3, 0.3};
  EXPECT_EQ(TVsampLoadDiscretePdfTable(t, 2, negative, nullptr), 2344);
  EXPECT_EQ(TVsampLoadDiscretePdfTable(t, 2, short_sum, nullptr), 2340);
  EXPECT_EQ(TVsampLoadDiscretePdfTable(t, 2, nullptr, nullptr), 2010);
  EXPECT_DOUBLE_EQ(t.eval(TV_PDF, 3), 0.4);
  Sample n(env, TV_DIST_NORMAL, {0, 1});
  EXPECT_EQ(TVsampLoadDiscretePdfTable(n, 4, probs, values), 2341);
  EXPECT_EQ(TVsampGetDiscretePdfTable(n, &len, nullptr, nullptr), 2341);
}

TEST_F(StocTest, SymmetricStableMatchesCharacteristicFunctionInversion) {
  // ref/stable.py: {alpha, x, density, cdf} for location 0, scale 1.
  const double rows[][4] = {
      {0.7, 0.3, 0.29741108515807954, 0.6081995019454857},
      {0.7, 1.0, 0.1170272082078936, 0.73995088657968226},
      {0.7, 2.5, 0.036928784096877446, 0.83772925558060414},
      {0.7, 12.0, 0.0033565722045918691, 0.93889722281529911},
      {0.7, -40.0, 0.00046409559024884062, 0.027178294723822424},
      {1.3, 0.3, 0.28146814945276223, 0.58692773169381027},
      {1.3, 1.0, 0.18937998964286152, 0.75451524239939884},
      {1.3, 2.5, 0.048435625474564869, 0.91075200790727265},
      {1.3, 12.0, 0.0011513959663408208, 0.98965090504929654},
      {1.3, -40.0, 6.9199295706714301e-5, 0.0021166856928230449},
      {1.8, 0.3, 0.2759822276343808, 0.58420809883162357},
      {1.8, 1.0, 0.2141887121050686, 0.75871479212089944},
      {1.8, 2.5, 0.055768273206596137, 0.94972854787562651},
      {1.8, 12.0, 0.00017189152569841569, 0.99890582921462183},
      {1.8, -40.0, 5.4425206819203243e-6, 0.00012034219453139319},
  };
  for (const auto &r : rows) {
    // Scaled and shifted: x = 2 + 3 z.
    Sample s(env, TV_DIST_SYM_STABLE, {2, 3, r[0]});
    const double x = 2 + 3 * r[1];
    EXPECT_NEAR(s.eval(TV_PDF, x), r[2] / 3, 1e-9 * r[2] / 3) << r[0] << " " << r[1];
    EXPECT_NEAR(s.eval(TV_CDF, x), r[3], 1e-9 * r[3]) << r[0] << " " << r[1];
    EXPECT_NEAR(s.eval(TV_CDFINV, r[3]), x, 1e-7 * std::fabs(x)) << r[0] << " " << r[1];
  }
  // Index 2 is the normal with deviation scale * sqrt(2), index 1 the Cauchy.
  Sample two(env, TV_DIST_SYM_STABLE, {0, 1, 2}), n(env, TV_DIST_NORMAL, {0, std::sqrt(2.0)});
  Sample one(env, TV_DIST_SYM_STABLE, {0, 1, 1}), c(env, TV_DIST_CAUCHY, {0, 1});
  for (double x : {-3.0, 0.4, 5.0}) {
    EXPECT_NEAR(two.eval(TV_CDF, x), n.eval(TV_CDF, x), 1e-15);
    EXPECT_NEAR(one.eval(TV_PDF, x), c.eval(TV_PDF, x), 1e-15);
  }
  int rc = 0;
  Sample bad(env, TV_DIST_SYM_STABLE, {0, 1, 2.5});
  bad.eval(TV_CDF, 0, &rc);
  EXPECT_EQ(rc, 2343);
}
