// The distribution type table: names, parameter counts and kinds, and the
// evaluation entry that checks the parameters are set before a family runs.
#include <cmath>

#include "common/error_codes.hpp"
#include "stoc/distributions.hpp"

namespace tarvo::stoc {
namespace {

struct TypeRecord {
  int code;
  const char *name;
  int params;
};

constexpr TypeRecord kTypes[] = {
    {kBinomial, "BINOMIAL", 2},         {kDiscreteTable, "DISCRETE", 0},
    {kDiscreteBlock, "DISCRETE", 0},    {kNegativeBinomial, "NEGATIVE_BINOMIAL", 2},
    {kGeometric, "GEOMETRIC", 1},       {kPoisson, "POISSON", 1},
    {kLogarithmic, "LOGARITHMIC", 1},   {kHyperGeometric, "HYPER_GEOMETRIC", 3},
    {kUserDefined, "USER", 0},          {kBeta, "BETA", 2},
    {kCauchy, "CAUCHY", 2},             {kChiSquare, "CHI_SQUARE", 1},
    {kExponential, "EXPONENTIAL", 1},   {kFDistribution, "F_DISTRIBUTION", 2},
    {kGamma, "GAMMA", 2},               {kGumbel, "GUMBEL", 2},
    {kLaplace, "LAPLACE", 2},           {kLognormal, "LOGNORMAL", 2},
    {kLogistic, "LOGISTIC", 2},         {kNormal, "NORMAL", 2},
    {kPareto, "PARETO", 2},             {kStablePareto, "STABLE_PARETIAN", 4},
    {kStudentsT, "STUDENTS_T", 1},      {kTriangular, "TRIANGULAR", 3},
    {kUniform, "UNIFORM", 2},           {kWeibull, "WEIBULL", 2},
    {kWilcoxon, "WILCOXON", 1},         {kBetaBinomial, "BETA_BINOMIAL", 3},
    {kSymStable, "SYM_STABLE", 3},
};

const TypeRecord *find(int type) {
  for (const auto &r : kTypes)
    if (r.code == type) return &r;
  return nullptr;
}

}  // namespace

bool is_known_type(int type) { return find(type) != nullptr; }
bool is_table_type(int type) { return type == kDiscreteTable || type == kDiscreteBlock; }
bool is_discrete_type(int type) { return type >= kBinomial && type <= kHyperGeometric; }

const char *distribution_name(int type) {
  const TypeRecord *r = find(type);
  return r ? r->name : "UNKNOWN";
}

int required_params(int type) {
  const TypeRecord *r = find(type);
  return r ? r->params : 0;
}

int eval_builtin(int type, const double *params, int func, double x, double *result) {
  *result = 0;
  if (!is_known_type(type)) return err::kBadDistribution;
  for (int i = 0; i < required_params(type); ++i)
    if (params[i] == kUnset) return err::kDistrParamNotSet;
  for (int i = 0; i < required_params(type); ++i)
    if (!std::isfinite(params[i])) return err::kBadDistrParams;
  if (func < kDensity || func > kDerivative) return err::kNotSupported;
  if (func == kInverse) {
    if (!(x >= 0 && x <= 1)) return err::kBadProbability;
  } else if (std::isnan(x)) {
    return err::kBadValue;
  }
  int code;
  switch (type) {
    case kStablePareto:
    case kWilcoxon:
      return err::kNotSupported;
    case kSymStable:
      code = eval_sym_stable(params, func, x, result);
      break;
    case kNormal:
    case kLognormal:
    case kCauchy:
    case kGumbel:
    case kLaplace:
    case kLogistic:
    case kUniform:
    case kTriangular:
      code = eval_location_scale(type, params, func, x, result);
      break;
    case kBeta:
    case kGamma:
    case kExponential:
    case kChiSquare:
    case kFDistribution:
    case kStudentsT:
    case kWeibull:
    case kPareto:
      code = eval_shape_family(type, params, func, x, result);
      break;
    default:
      if (!is_discrete_type(type) && type != kBetaBinomial) return err::kNotSupported;
      code = eval_discrete(type, params, func, x, result);
      break;
  }
  if (code != 0) *result = 0;
  return code;
}

}  // namespace tarvo::stoc
