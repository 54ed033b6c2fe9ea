// Location-scale families (normal, lognormal, Cauchy, Gumbel, Laplace,
// logistic) and the bounded uniform and triangular types. Beyond fixed
// cut-offs of z the distribution functions are exactly 0 or 1 and the
// inverse at u = 0 or 1 returns the cut-off point instead of an infinity.
#include <cmath>

#include "common/error_codes.hpp"
#include "stoc/distributions.hpp"
#include "stoc/probability_functions.hpp"

namespace tarvo::stoc {
namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kSqrt2Pi = 2.50662827463100050242;

struct Cutoffs {
  double low, high;
};

Cutoffs cutoffs(int type) {
  switch (type) {
    case kNormal:
    case kLognormal: return {-8.199980227013494, 8.199980227013494};
    case kCauchy: return {-17841241.161529936, 17841241.161529936};
    case kGumbel: return {-3.643261368614092, 34.35820154965546};
    case kLaplace: return {-35.23192357547063, 35.23192357547063};
    default: return {-34.538776394910684, 34.538776394910684};  // logistic
  }
}

// Standard member (location 0, scale 1) of a family.
double std_density(int type, double z) {
  switch (type) {
    case kNormal:
    case kLognormal: return std::exp(-0.5 * z * z) / kSqrt2Pi;
    case kCauchy: return 1.0 / (kPi * (1.0 + z * z));
    case kGumbel: return std::exp(-(z + std::exp(-z)));
    case kLaplace: return 0.5 * std::exp(-std::fabs(z));
    default: {
      double e = std::exp(-std::fabs(z));
      return e / ((1.0 + e) * (1.0 + e));
    }
  }
}

// d/dz of the standard density.
double std_density_slope(int type, double z) {
  double f = std_density(type, z);
  switch (type) {
    case kNormal: return -z * f;
    case kCauchy: return -2.0 * z * kPi * f * f;
    case kGumbel: return f * (std::exp(-z) - 1.0);
    case kLaplace: return z > 0 ? -f : (z < 0 ? f : 0.0);
    default: return -f * std::tanh(0.5 * z);  // logistic
  }
}

double std_cdf(int type, double z) {
  switch (type) {
    case kNormal:
    case kLognormal: return sf::normal_cdf(z);
    case kCauchy: return std::atan2(1.0, -z) / kPi;  // no cancellation in the lower tail
    case kGumbel: return std::exp(-std::exp(-z));
    case kLaplace: return z < 0 ? 0.5 * std::exp(z) : 1.0 - 0.5 * std::exp(-z);
    default: return z < 0 ? std::exp(z) / (1.0 + std::exp(z)) : 1.0 / (1.0 + std::exp(-z));
  }
}

// 0 < u < 1.
double std_quantile(int type, double u) {
  switch (type) {
    case kNormal:
    case kLognormal: return sf::normal_quantile(u);
    case kCauchy:
      if (u == 0.5) return 0.0;
      return u < 0.5 ? -1.0 / std::tan(kPi * u) : 1.0 / std::tan(kPi * (1.0 - u));
    case kGumbel: return -std::log(-std::log(u));
    case kLaplace: return u < 0.5 ? std::log(2.0 * u) : -std::log(2.0 * (1.0 - u));
    default: return std::log(u) - std::log1p(-u);  // logistic
  }
}

int eval_family(int type, double loc, double scale, int func, double x, double *result) {
  const Cutoffs cut = cutoffs(type);
  const bool log_scale = type == kLognormal;
  if (func == kInverse) {
    double z;
    if (scale == 0)
      z = 0;
    else if (x == 0)
      z = cut.low;
    else if (x == 1)
      z = cut.high;
    else
      z = std_quantile(type, x);
    double v = loc + scale * z;
    *result = log_scale ? std::exp(v) : v;
    return 0;
  }
  if (log_scale && x <= 0) {
    *result = 0;
    return 0;
  }
  const double t = log_scale ? std::log(x) : x;
  if (scale == 0) {  // point mass at the location
    if (func == kDistribution)
      *result = t < loc ? 0.0 : 1.0;
    else if (func == kDensity)
      *result = t == loc ? kPointMassDensity : 0.0;
    else
      *result = 0;
    return 0;
  }
  const double z = (t - loc) / scale;
  const bool gaussian = type == kNormal || type == kLognormal;
  switch (func) {
    case kDensity:
      if (gaussian && std::fabs(z) > cut.high) {
        *result = 0;
      } else {
        *result = std_density(type, z) / (log_scale ? scale * x : scale);
      }
      return 0;
    case kDistribution:
      if (z < cut.low)
        *result = 0;
      else if (z > cut.high)
        *result = 1;
      else
        *result = std_cdf(type, z);
      return 0;
    default:  // derivative of the density
      if (log_scale) {
        // f(x) = phi(z) / (s x): f' = -f (1 + z / s) / x.
        if (std::fabs(z) > cut.high) {
          *result = 0;
          return 0;
        }
        double f = std_density(type, z) / (scale * x);
        *result = -f * (1.0 + z / scale) / x;
        return 0;
      }
      if (gaussian && std::fabs(z) > cut.high) {
        *result = 0;
        return 0;
      }
      *result = std_density_slope(type, z) / (scale * scale);
      return 0;
  }
}

int eval_uniform(double a, double b, int func, double x, double *result) {
  if (a > b) return err::kBadDistrParams;
  if (func == kInverse) {
    *result = a == b ? a : (x == 1 ? b : a + x * (b - a));
    return 0;
  }
  if (a == b) {
    if (func == kDistribution) *result = x < a ? 0.0 : 1.0;
    if (func == kDensity) *result = x == a ? kPointMassDensity : 0.0;
    return 0;
  }
  switch (func) {
    case kDensity: *result = (x < a || x > b) ? 0.0 : 1.0 / (b - a); break;
    case kDistribution: *result = x <= a ? 0.0 : (x >= b ? 1.0 : (x - a) / (b - a)); break;
    default: *result = 0; break;
  }
  return 0;
}

int eval_triangular(double a, double b, double c, int func, double x, double *result) {
  if (a > b || a > c || c > b) return err::kBadDistrParams;
  if (a == b) return eval_uniform(a, b, func, x, result);
  const double w = b - a;
  if (func == kInverse) {
    const double split = (c - a) / w;
    *result = x <= split ? a + std::sqrt(x * w * (c - a)) : b - std::sqrt((1.0 - x) * w * (b - c));
    return 0;
  }
  switch (func) {
    case kDensity:
      if (x < a || x > b)
        *result = 0;
      else if (x < c)
        *result = 2.0 * (x - a) / (w * (c - a));
      else if (x == c)
        *result = 2.0 / w;
      else
        *result = 2.0 * (b - x) / (w * (b - c));
      return 0;
    case kDistribution:
      if (x <= a)
        *result = 0;
      else if (x >= b)
        *result = 1;
      else if (x <= c)
        *result = (x - a) * (x - a) / (w * (c - a));
      else
        *result = 1.0 - (b - x) * (b - x) / (w * (b - c));
      return 0;
    default:
      if (x < a || x > b || x == c)
        *result = 0;
      else
        *result = x < c ? 2.0 / (w * (c - a)) : -2.0 / (w * (b - c));
      return 0;
  }
}

}  // namespace

int eval_location_scale(int type, const double *p, int func, double x, double *result) {
  switch (type) {
    case kUniform: return eval_uniform(p[0], p[1], func, x, result);
    case kTriangular: return eval_triangular(p[0], p[1], p[2], func, x, result);
    case kNormal:
      if (p[1] < 0) return err::kBadStdDev;
      break;
    case kLognormal:
      if (p[1] <= 0) return err::kBadStdDev;
      break;
    default:
      if (p[1] < 0) return err::kBadScale;
      break;
  }
  if (!std::isfinite(p[0]) || !std::isfinite(p[1])) return err::kBadDistrParams;
  return eval_family(type, p[0], p[1], func, x, result);
}

}  // namespace tarvo::stoc
