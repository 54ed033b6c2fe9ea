// Shape families on a half line or the unit interval: beta, gamma (with the
// exponential and chi-square as special cases), F, Student's t, Weibull and
// Pareto. Upper tails come from complements, never from 1 - cdf.
#include <cmath>

#include "common/error_codes.hpp"
#include "stoc/distributions.hpp"
#include "stoc/probability_functions.hpp"

namespace tarvo::stoc {
namespace {

constexpr double kInfinity = 1e30;

double finite_or_big(double v) { return std::isfinite(v) ? v : (v > 0 ? kInfinity : -kInfinity); }

int eval_gamma(double scale, double shape, int func, double x, double *result) {
  if (func == kInverse) {
    if (x == 0)
      *result = 0;
    else if (x == 1)
      *result = kInfinity;
    else
      *result = scale * sf::gamma_quantile(shape, x);
    return 0;
  }
  if (x < 0) {
    *result = 0;
    return 0;
  }
  const double y = x / scale;
  switch (func) {
    case kDensity: *result = finite_or_big(sf::gamma_density(shape, y) / scale); return 0;
    case kDistribution: *result = sf::gamma_p(shape, y); return 0;
    default:
      // f'(x) = f(x) ((shape - 1) / x - 1 / scale)
      if (x == 0) return err::kNotSupported;
      *result = sf::gamma_density(shape, y) / scale * ((shape - 1) / x - 1 / scale);
      return 0;
  }
}

int eval_beta(double a, double b, int func, double x, double *result) {
  if (func == kInverse) {
    if (x == 0 || x == 1)
      *result = x;
    else
      *result = sf::ibeta_quantile(a, b, x, nullptr);
    return 0;
  }
  switch (func) {
    case kDensity: *result = finite_or_big(sf::beta_density(a, b, x)); return 0;
    case kDistribution: *result = x <= 0 ? 0.0 : (x >= 1 ? 1.0 : sf::ibeta(a, b, x)); return 0;
    default:
      if (x <= 0 || x >= 1) return err::kNotSupported;
      *result = sf::beta_density(a, b, x) * ((a - 1) / x - (b - 1) / (1 - x));
      return 0;
  }
}

int eval_f(double d1, double d2, int func, double x, double *result) {
  const double a = d1 / 2, b = d2 / 2;
  if (func == kInverse) {
    if (x == 0) {
      *result = 0;
    } else if (x == 1) {
      *result = kInfinity;
    } else {
      double cy = 0;
      double y = sf::ibeta_quantile(a, b, x, &cy);
      *result = cy > 0 ? finite_or_big(d2 * y / (d1 * cy)) : kInfinity;
    }
    return 0;
  }
  if (x <= 0) {
    *result = (func == kDensity && x == 0) ? (d1 < 2 ? kInfinity : (d1 == 2 ? 1.0 : 0.0)) : 0.0;
    return 0;
  }
  const double den = d1 * x + d2;
  const double y = d1 * x / den, cy = d2 / den;
  switch (func) {
    case kDensity:
      // dy/dx = d1 d2 / den^2
      *result = finite_or_big(sf::beta_density(a, b, y) * d1 * d2 / (den * den));
      return 0;
    case kDistribution: *result = y <= 0.5 ? sf::ibeta(a, b, y) : sf::ibetac(b, a, cy); return 0;
    default: return err::kNotSupported;
  }
}

int eval_t(double nu, int func, double x, double *result) {
  if (func == kInverse) {
    if (x == 0 || x == 1) {
      *result = x == 0 ? -kInfinity : kInfinity;
      return 0;
    }
    if (x == 0.5) {
      *result = 0;
      return 0;
    }
    // Lower tail mass q = min(u, 1 - u) = I_w(nu/2, 1/2) / 2 with w = nu / (nu + t^2).
    const double q = x < 0.5 ? x : 1.0 - x;
    double cw = 0;
    double w = sf::ibeta_quantile(nu / 2, 0.5, 2 * q, &cw);
    double t = w > 0 ? std::sqrt(nu * cw / w) : kInfinity;
    *result = x < 0.5 ? -finite_or_big(t) : finite_or_big(t);
    return 0;
  }
  const double t2 = x * x;
  switch (func) {
    case kDensity: {
      double logf = std::lgamma((nu + 1) / 2) - std::lgamma(nu / 2) - 0.5 * std::log(nu * M_PI) -
                    (nu + 1) / 2 * std::log1p(t2 / nu);
      *result = std::exp(logf);
      return 0;
    }
    case kDistribution: {
      // Tail mass by whichever incomplete beta keeps its argument accurate.
      double tail = t2 < nu ? 0.5 * sf::ibetac(0.5, nu / 2, t2 / (nu + t2))
                            : 0.5 * sf::ibeta(nu / 2, 0.5, nu / (nu + t2));
      *result = x < 0 ? tail : 1.0 - tail;
      return 0;
    }
    default: {
      double logf = std::lgamma((nu + 1) / 2) - std::lgamma(nu / 2) - 0.5 * std::log(nu * M_PI) -
                    (nu + 1) / 2 * std::log1p(t2 / nu);
      *result = -std::exp(logf) * (nu + 1) * x / (nu + t2);
      return 0;
    }
  }
}

int eval_weibull(double lambda, double k, int func, double x, double *result) {
  if (lambda == 0) {  // point mass at 0
    if (func == kInverse) *result = 0;
    if (func == kDistribution) *result = x < 0 ? 0.0 : 1.0;
    if (func == kDensity) *result = x == 0 ? kPointMassDensity : 0.0;
    return 0;
  }
  if (func == kInverse) {
    *result = x == 1 ? kInfinity : finite_or_big(lambda * std::pow(-std::log1p(-x), 1.0 / k));
    return 0;
  }
  if (x < 0) {
    *result = 0;
    return 0;
  }
  const double y = x / lambda;
  const double yk = std::pow(y, k);
  switch (func) {
    case kDensity:
      if (x == 0)
        *result = k < 1 ? kInfinity : (k == 1 ? 1.0 / lambda : 0.0);
      else
        *result = k / lambda * std::pow(y, k - 1) * std::exp(-yk);
      return 0;
    case kDistribution: *result = -std::expm1(-yk); return 0;
    default:
      if (x == 0) return err::kNotSupported;
      *result = k / (lambda * lambda) * std::pow(y, k - 2) * std::exp(-yk) * ((k - 1) - k * yk);
      return 0;
  }
}

int eval_pareto(double xm, double alpha, int func, double x, double *result) {
  if (func == kInverse) {
    *result = x == 1 ? kInfinity : finite_or_big(xm * std::exp(-std::log1p(-x) / alpha));
    return 0;
  }
  if (x < xm) {
    *result = 0;
    return 0;
  }
  switch (func) {
    case kDensity: *result = alpha / x * std::exp(alpha * std::log(xm / x)); return 0;
    case kDistribution: *result = -std::expm1(alpha * std::log(xm / x)); return 0;
    default: *result = -alpha * (alpha + 1) / (x * x) * std::exp(alpha * std::log(xm / x)); return 0;
  }
}

}  // namespace

int eval_shape_family(int type, const double *p, int func, double x, double *result) {
  switch (type) {
    case kGamma:
      if (p[0] <= 0) return err::kBadScale;
      if (p[1] <= 0) return err::kBadShape;
      return eval_gamma(p[0], p[1], func, x, result);
    case kExponential:
      if (p[0] <= 0) return err::kBadDistrParams;
      return eval_gamma(1.0 / p[0], 1.0, func, x, result);
    case kChiSquare:
      if (p[0] <= 0) return err::kBadDistrParams;
      return eval_gamma(2.0, p[0] / 2, func, x, result);
    case kBeta:
      if (p[0] <= 0 || p[1] <= 0) return err::kBadShape;
      return eval_beta(p[0], p[1], func, x, result);
    case kFDistribution:
      if (p[0] <= 0 || p[1] <= 0) return err::kBadDistrParams;
      return eval_f(p[0], p[1], func, x, result);
    case kStudentsT:
      if (p[0] <= 0) return err::kBadDistrParams;
      return eval_t(p[0], func, x, result);
    case kWeibull:
      if (p[1] <= 0) return err::kBadShape;
      if (p[0] < 0) return err::kBadScale;
      return eval_weibull(p[0], p[1], func, x, result);
    default:  // Pareto
      if (p[0] <= 0) return err::kBadScale;
      if (p[1] <= 0) return err::kBadShape;
      return eval_pareto(p[0], p[1], func, x, result);
  }
}

}  // namespace tarvo::stoc
