// Discrete parametric types: binomial, negative binomial, geometric,
// Poisson, logarithmic, hypergeometric and beta-binomial. Evaluation is at
// the integer part of x; the inverse is the smallest k whose distribution
// function reaches u, found from a normal-approximation guess.
#include <algorithm>
#include <cmath>
#include <memory>

#include <boost/math/distributions/binomial.hpp>
#include <boost/math/distributions/hypergeometric.hpp>
#include <boost/math/distributions/negative_binomial.hpp>
#include <boost/math/distributions/poisson.hpp>

#include "common/error_codes.hpp"
#include "stoc/boost_policy.hpp"
#include "stoc/distributions.hpp"
#include "stoc/probability_functions.hpp"

namespace tarvo::stoc {
namespace {

namespace bm = boost::math;

constexpr double kBigCount = 9007199254740992.0;  // 2^53: every integer below is exact
// Types whose distribution function is a sum of terms (logarithmic,
// beta-binomial, hypergeometric) accept parameters that keep the sum below
// this many terms, so every evaluation ends in bounded time.
constexpr double kMaxTerms = 1e7;

bool is_whole(double v) { return std::floor(v) == v; }

// Support and the first two moments, for the inverse's starting guess.
struct Shape {
  double lo, hi, mean, sd;
};

struct Discrete {
  virtual ~Discrete() = default;
  virtual double pmf(double k) const = 0;  // k whole and inside the support
  virtual double cdf(double k) const = 0;
  virtual Shape shape() const = 0;
};

struct Binomial final : Discrete {
  bm::binomial_distribution<double, MathPolicy> d;
  double n, p;
  Binomial(double n_, double p_) : d(n_, p_), n(n_), p(p_) {}
  double pmf(double k) const override { return bm::pdf(d, k); }
  double cdf(double k) const override { return k >= n ? 1.0 : bm::cdf(d, k); }
  Shape shape() const override { return {0, n, n * p, std::sqrt(n * p * (1 - p))}; }
};

struct NegativeBinomial final : Discrete {
  bm::negative_binomial_distribution<double, MathPolicy> d;
  double r, p;
  NegativeBinomial(double r_, double p_) : d(r_, p_), r(r_), p(p_) {}
  double pmf(double k) const override { return bm::pdf(d, k); }
  double cdf(double k) const override { return bm::cdf(d, k); }
  Shape shape() const override {
    return {0, kBigCount, r * (1 - p) / p, std::sqrt(r * (1 - p)) / p};
  }
};

struct Geometric final : Discrete {
  double p;
  explicit Geometric(double p_) : p(p_) {}
  double pmf(double k) const override { return p * std::exp(k * std::log1p(-p)); }
  double cdf(double k) const override { return -std::expm1((k + 1) * std::log1p(-p)); }
  Shape shape() const override {
    double guess = 0;  // the closed form below is exact up to rounding
    return {0, kBigCount, guess, 0};
  }
};

struct Poisson final : Discrete {
  bm::poisson_distribution<double, MathPolicy> d;
  double lambda;
  explicit Poisson(double l) : d(l), lambda(l) {}
  double pmf(double k) const override { return bm::pdf(d, k); }
  double cdf(double k) const override { return bm::cdf(d, k); }
  Shape shape() const override { return {0, kBigCount, lambda, std::sqrt(lambda)}; }
};

struct HyperGeometric final : Discrete {
  bm::hypergeometric_distribution<double, MathPolicy> d;
  double total, good, draws;
  HyperGeometric(double N, double K, double n)
      : d(static_cast<unsigned>(K), static_cast<unsigned>(n), static_cast<unsigned>(N)),
        total(N), good(K), draws(n) {}
  double pmf(double k) const override { return bm::pdf(d, static_cast<unsigned>(k)); }
  double cdf(double k) const override {
    Shape s = shape();
    if (k >= s.hi) return 1.0;
    return bm::cdf(d, static_cast<unsigned>(k));
  }
  Shape shape() const override {
    double lo = std::max(0.0, draws + good - total), hi = std::min(draws, good);
    double mean = draws * good / total;
    double var = total > 1 ? mean * (total - good) / total * (total - draws) / (total - 1) : 0;
    return {lo, hi, mean, std::sqrt(var)};
  }
};

// Summed types: the distribution function adds probabilities from the
// lower end of the support; the count of terms is bounded by the caller.
struct Logarithmic final : Discrete {
  double p, norm;
  explicit Logarithmic(double p_) : p(p_), norm(-1.0 / std::log1p(-p_)) {}
  double pmf(double k) const override { return norm * std::exp(k * std::log(p)) / k; }
  double cdf(double k) const override {
    double term = norm * p, sum = 0;  // term = pmf(j)
    for (double j = 1; j <= k; ++j) {
      sum += term;
      if (term < sum * 1e-17 * (1 - p)) break;  // the rest sums below term / (1 - p)
      term *= p * j / (j + 1);
    }
    return std::min(sum, 1.0);
  }
  Shape shape() const override {
    double mean = norm * p / (1 - p);
    double var = norm * p * (1 - norm * p) / ((1 - p) * (1 - p));
    return {1, kBigCount, mean, std::sqrt(std::max(var, 0.0))};
  }
};

struct BetaBinomial final : Discrete {
  double n, a, b, log_norm;
  BetaBinomial(double n_, double a_, double b_) : n(n_), a(a_), b(b_) {
    log_norm = std::lgamma(a + b) - std::lgamma(a) - std::lgamma(b) - std::lgamma(n + a + b) +
               std::lgamma(n + 1);
  }
  double pmf(double k) const override {
    return std::exp(log_norm - std::lgamma(k + 1) - std::lgamma(n - k + 1) + std::lgamma(k + a) +
                    std::lgamma(n - k + b));
  }
  double cdf(double k) const override {
    if (k >= n) return 1.0;
    // Sum from the nearer end of the support.
    const double mean = n * a / (a + b);
    if (k <= mean) {
      double sum = 0;
      for (double j = 0; j <= k; ++j) sum += pmf(j);
      return std::min(sum, 1.0);
    }
    double tail = 0;
    for (double j = k + 1; j <= n; ++j) tail += pmf(j);
    return std::max(0.0, 1.0 - tail);
  }
  Shape shape() const override {
    double mean = n * a / (a + b);
    double var = n * a * b * (a + b + n) / ((a + b) * (a + b) * (a + b + 1));
    return {0, n, mean, std::sqrt(var)};
  }
};

int check(int type, const double *p) {
  switch (type) {
    case kBinomial:
      if (p[0] < 0 || !is_whole(p[0]) || p[0] > kBigCount || p[1] < 0 || p[1] > 1)
        return err::kBadDistrParams;
      return 0;
    case kNegativeBinomial:
      if (p[0] <= 0 || p[1] <= 0 || p[1] > 1) return err::kBadDistrParams;
      return 0;
    case kGeometric:
      if (p[0] <= 0 || p[0] > 1) return err::kBadDistrParams;
      return 0;
    case kPoisson:
      if (p[0] < 0 || p[0] > 1e15) return err::kBadDistrParams;
      return 0;
    case kLogarithmic:
      if (p[0] <= 0 || p[0] >= 1) return err::kBadDistrParams;
      // Summation length grows like 1 / (1 - p).
      if (40.0 / -std::log(p[0]) > kMaxTerms) return err::kBadDistrParams;
      return 0;
    case kHyperGeometric:
      if (!is_whole(p[0]) || !is_whole(p[1]) || !is_whole(p[2]) || p[0] < 1 || p[0] > kMaxTerms ||
          p[1] < 0 || p[1] > p[0] || p[2] < 0 || p[2] > p[0])
        return err::kBadDistrParams;
      return 0;
    default:  // beta-binomial
      if (p[1] <= 0 || p[2] <= 0) return err::kBadShape;
      if (p[0] < 0 || !is_whole(p[0]) || p[0] > kMaxTerms) return err::kBadDistrParams;
      return 0;
  }
}

// Degenerate members: a point mass at `*at`.
bool point_mass(int type, const double *p, double *at) {
  switch (type) {
    case kBinomial:
      if (p[0] == 0 || p[1] == 0) return *at = 0, true;
      if (p[1] == 1) return *at = p[0], true;
      return false;
    case kNegativeBinomial:
    case kGeometric:
      if (p[type == kGeometric ? 0 : 1] == 1) return *at = 0, true;
      return false;
    case kPoisson:
      if (p[0] == 0) return *at = 0, true;
      return false;
    case kHyperGeometric:
      if (p[2] == 0 || p[1] == 0) return *at = 0, true;
      if (p[1] == p[0]) return *at = p[2], true;
      if (p[2] == p[0]) return *at = p[1], true;
      return false;
    case kBetaBinomial:
      if (p[0] == 0) return *at = 0, true;
      return false;
    default: return false;
  }
}

}  // namespace

int eval_discrete(int type, const double *p, int func, double x, double *result) {
  if (int code = check(type, p); code != 0) return code;
  if (func == kDerivative) return err::kNotSupported;
  double at = 0;
  if (point_mass(type, p, &at)) {
    if (func == kInverse)
      *result = at;
    else if (func == kDensity)
      *result = x == at ? 1.0 : 0.0;
    else
      *result = x < at ? 0.0 : 1.0;
    return 0;
  }
  std::unique_ptr<Discrete> d;
  switch (type) {
    case kBinomial: d = std::make_unique<Binomial>(p[0], p[1]); break;
    case kNegativeBinomial: d = std::make_unique<NegativeBinomial>(p[0], p[1]); break;
    case kGeometric: d = std::make_unique<Geometric>(p[0]); break;
    case kPoisson: d = std::make_unique<Poisson>(p[0]); break;
    case kLogarithmic: d = std::make_unique<Logarithmic>(p[0]); break;
    case kHyperGeometric: d = std::make_unique<HyperGeometric>(p[0], p[1], p[2]); break;
    default: d = std::make_unique<BetaBinomial>(p[0], p[1], p[2]); break;
  }
  const Shape s = d->shape();
  if (func == kInverse) {
    if (x == 0) {
      *result = s.lo;
      return 0;
    }
    double guess;
    if (type == kGeometric) {
      guess = std::ceil(std::log1p(-x) / std::log1p(-p[0])) - 1;
    } else {
      // Normal approximation with the continuity correction.
      double z = x >= 1 ? 8.0 : sf::normal_quantile(x);
      guess = s.mean + z * s.sd - 0.5;
    }
    const double cap = type == kLogarithmic ? std::min(s.hi, kMaxTerms) : s.hi;
    *result = smallest_reaching(s.lo, cap, guess, x, [&](double k) { return d->cdf(k); });
    return 0;
  }
  const double k = std::floor(x);
  if (func == kDensity) {
    *result = (k != x || k < s.lo || k > s.hi) ? 0.0 : d->pmf(k);
    return 0;
  }
  if (k < s.lo) {
    *result = 0;
  } else if (k >= s.hi) {
    *result = 1;
  } else {
    if (type == kLogarithmic && k > kMaxTerms) {
      *result = 1;  // the remaining mass is below the double precision of 1
      return 0;
    }
    *result = d->cdf(k);
  }
  return 0;
}

}  // namespace tarvo::stoc
