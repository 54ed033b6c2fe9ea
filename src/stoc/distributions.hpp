// Univariate distributions of the sample objects: the type catalogue and the
// evaluation of density, distribution function, inverse and density
// derivative for the built-in types.
#pragma once

namespace tarvo::stoc {

enum DistrType : int {
  kBinomial = 701,
  kDiscreteTable = 702,
  kDiscreteBlock = 703,
  kNegativeBinomial = 704,
  kGeometric = 705,
  kPoisson = 706,
  kLogarithmic = 707,
  kHyperGeometric = 708,
  kUserDefined = 712,
  kBeta = 801,
  kCauchy = 802,
  kChiSquare = 803,
  kExponential = 804,
  kFDistribution = 805,
  kGamma = 806,
  kGumbel = 807,
  kLaplace = 808,
  kLognormal = 809,
  kLogistic = 810,
  kNormal = 811,
  kPareto = 812,
  kStablePareto = 813,
  kStudentsT = 814,
  kTriangular = 815,
  kUniform = 816,
  kWeibull = 817,
  kWilcoxon = 818,
  kBetaBinomial = 819,
  kSymStable = 820,
};

enum FuncType : int { kUserFunc = 0, kDensity = 1, kDistribution = 2, kInverse = 3, kDerivative = 4 };

inline constexpr int kMaxParams = 5;
inline constexpr double kUnset = 1e30;
inline constexpr double kPointMassDensity = 1e30;

bool is_known_type(int type);
bool is_table_type(int type);     // 702, 703
bool is_discrete_type(int type);  // 701 to 708
// Name used by the stochastic file reader; "UNKNOWN" for other codes.
const char *distribution_name(int type);
// Number of parameters a built-in type needs (0 for table and user types).
int required_params(int type);

// Evaluates a built-in parametric type (not the table or user types).
// The result is 0 on any error.
int eval_builtin(int type, const double *params, int func, double x, double *result);

// Families, called by eval_builtin after the parameters are known to be set.
int eval_location_scale(int type, const double *params, int func, double x, double *result);
int eval_shape_family(int type, const double *params, int func, double x, double *result);
int eval_discrete(int type, const double *params, int func, double x, double *result);
int eval_sym_stable(const double *params, int func, double x, double *result);

// Smallest integer k in [lo, hi] with cdf(k) >= u, for a nondecreasing cdf;
// starts near `guess` and needs O(log) evaluations.
template <class Cdf>
double smallest_reaching(double lo, double hi, double guess, double u, Cdf &&cdf);

}  // namespace tarvo::stoc

#include "stoc/discrete_search.hpp"
