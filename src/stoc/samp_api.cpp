// C entry points of the sample objects and of correlation induction:
// validate, guard, forward.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "common/error_codes.hpp"
#include "common/boundary.hpp"
#include "stoc/correlation_induction.hpp"
#include "stoc/correlation_measures.hpp"
#include "stoc/generator.hpp"
#include "stoc/sample.hpp"
#include "env/live_handles.hpp"

using namespace tarvo;
using tarvo::stoc::Sample;

namespace {

int copy_points(const std::vector<double> &from, int *size, double *points) {
  if (!size && !points) return err::kNullArgument;
  if (size) *size = static_cast<int>(from.size());
  if (points && !from.empty()) std::memcpy(points, from.data(), from.size() * sizeof(double));
  return 0;
}

stoc::NcmOptions ncm_options(const base::Env *env) {
  stoc::NcmOptions opt;
  if (!env) return opt;
  opt.methods = env->params.integer(TV_IPARAM_SAMP_NCM_METHOD);
  opt.iteration_limit = env->params.integer(TV_IPARAM_SAMP_NCM_ITERLIM);
  opt.tolerance = env->params.dbl(TV_DPARAM_SAMP_NCM_OPTTOL);
  opt.max_distance = env->params.dbl(TV_DPARAM_SAMP_NCM_CUTOBJ);
  opt.shift_increment = env->params.dbl(TV_DPARAM_SAMP_CDSINC);
  opt.shift_max = env->params.dbl(TV_DPARAM_SAMP_CDSMAX);
  return opt;
}

double moment_info(const std::vector<double> &x, int item) {
  const double n = static_cast<double>(x.size());
  double mean = 0;
  for (double v : x) mean += v;
  mean /= n;
  if (item == TV_DINFO_SAMP_MEAN) return mean;
  double m2 = 0, m3 = 0, m4 = 0;
  for (double v : x) {
    double d = v - mean;
    m2 += d * d;
    m3 += d * d * d;
    m4 += d * d * d * d;
  }
  if (item == TV_DINFO_SAMP_STD) return n > 1 ? std::sqrt(m2 / (n - 1)) : 0.0;
  m2 /= n;
  m3 /= n;
  m4 /= n;
  if (m2 <= 0) return 0;
  return item == TV_DINFO_SAMP_SKEWNESS ? m3 / std::pow(m2, 1.5) : m4 / (m2 * m2) - 3.0;
}

// True when `candidate` is `s` or reachable from it through argument links.
bool reaches(const Sample *s, const Sample *candidate, int depth) {
  if (s == candidate) return true;
  if (depth > 64) return true;  // treat absurd nesting as a cycle
  for (const Sample *a : s->args)
    if (reaches(a, candidate, depth + 1)) return true;
  return false;
}

}  // namespace

extern "C" {

TVAPI pTVsample TVsampCreate(pTVenv env, int distType, int *errorCode) {
  int scratch = 0;
  int *code = errorCode ? errorCode : &scratch;
  *code = 0;
  if (!tarvo::base::live(env)) {
    *code = err::kNullArgument;
    return nullptr;
  }
  if (!stoc::is_known_type(distType)) {
    *code = err::kBadDistribution;
    return nullptr;
  }
  return guarded_value<pTVsample>(code, nullptr, [&] { return stoc::create_sample(env, distType, true); });
}

TVAPI int TVsampDelete(pTVsample *sample) {
  if (!sample) return err::kNullArgument;
  if (!*sample) return 0;
  stoc::delete_sample(*sample);
  *sample = nullptr;
  return 0;
}

TVAPI int TVsampSetDistrParam(pTVsample sample, int index, double value) {
  if (!sample) return err::kNullArgument;
  if (index < 0 || index >= stoc::kMaxParams) return err::kIndexOutOfRange;
  if (std::isnan(value)) return err::kBadValue;
  sample->params[static_cast<std::size_t>(index)] = value;
  sample->param_count = std::max(sample->param_count, index + 1);
  return 0;
}

TVAPI int TVsampGetDistrParam(pTVsample sample, int index, double *value) {
  if (!sample || !value) return err::kNullArgument;
  if (index < 0 || index >= stoc::kMaxParams) return err::kIndexOutOfRange;
  *value = sample->params[static_cast<std::size_t>(index)];
  return 0;
}

TVAPI int TVsampSetRG(pTVsample sample, pTVrandom rg) {
  if (!sample || !rg) return err::kNullArgument;
  sample->rg = rg;
  return 0;
}

TVAPI int TVsampEvalDistr(pTVsample sample, int funcType, double x, double *result) {
  if (!sample || !result) return err::kNullArgument;
  *result = 0;
  return guarded([&] { return stoc::eval_sample(*sample, funcType, x, result); });
}

TVAPI int TVsampEvalDistrLI(pTVsample sample, int funcType, double x, double *result) {
  if (!sample || !result) return err::kNullArgument;
  *result = 0;
  return guarded([&] { return stoc::eval_sample_interpolated(*sample, funcType, x, result); });
}

TVAPI int TVsampEvalUserDistr(pTVsample sample, int funcType, const double *args, int nargs,
                              double *result) {
  if (!sample || !result || (!args && nargs > 0)) return err::kNullArgument;
  *result = 0;
  if (sample->type != stoc::kUserDefined) return err::kUserCallIncompatible;
  return guarded([&] { return stoc::call_user(*sample, funcType, args, nargs, result); });
}

TVAPI int TVsampSetUserDistr(pTVsample sample, TVuserDistr_t func, void *userData) {
  if (!sample) return err::kNullArgument;
  if (sample->type != stoc::kUserDefined) return err::kUserCallIncompatible;
  sample->user = func;
  sample->user_data = userData;
  return 0;
}

TVAPI int TVsampAddUserFuncArg(pTVsample sample, pTVsample argSample) {
  if (!sample || !argSample) return err::kNullArgument;
  if (sample->type != stoc::kUserDefined) return err::kUserCallIncompatible;
  if (argSample->arg_of) return err::kArgAlreadyAssigned;
  if (reaches(argSample, sample, 0)) return err::kBadInput;  // would make a cycle
  return guarded([&] {
    sample->args.push_back(argSample);
    argSample->arg_of = sample;
    return 0;
  });
}

TVAPI int TVsampSetKeepPoints(pTVsample sample, int keep) {
  if (!sample) return err::kNullArgument;
  sample->keep_points = keep != 0;
  return 0;
}

TVAPI int TVsampGenerate(pTVsample sample, int method, int size) {
  if (!sample) return err::kNullArgument;
  return guarded([&] { return stoc::generate_sample(*sample, method, size); });
}

TVAPI int TVsampGetPointsPtr(pTVsample sample, int *size, double **points) {
  if (!sample || !size || !points) return err::kNullArgument;
  *size = static_cast<int>(sample->points.size());
  *points = sample->points.empty() ? nullptr : sample->points.data();
  return 0;
}

TVAPI int TVsampGetPoints(pTVsample sample, int *size, double *points) {
  if (!sample) return err::kNullArgument;
  return copy_points(sample->points, size, points);
}

TVAPI int TVsampLoadPoints(pTVsample sample, int size, const double *points) {
  if (!sample || !points) return err::kNullArgument;
  if (size < 1) return err::kBadSampleSize;
  for (int i = 0; i < size; ++i)
    if (!std::isfinite(points[i])) return err::kBadValue;
  return guarded([&] {
    std::vector<double> copy(points, points + size);
    for (double v : copy) sample->running_max = std::max(sample->running_max, std::fabs(v));
    sample->points.swap(copy);
    sample->ci_points.clear();
    sample->method = -1;
    return 0;
  });
}

TVAPI int TVsampGetCIPointsPtr(pTVsample sample, int *size, double **points) {
  if (!sample || !size || !points) return err::kNullArgument;
  if (sample->ci_points.empty()) return err::kNoCorrelation;
  *size = static_cast<int>(sample->ci_points.size());
  *points = sample->ci_points.data();
  return 0;
}

TVAPI int TVsampGetCIPoints(pTVsample sample, int *size, double *points) {
  if (!sample) return err::kNullArgument;
  if (sample->ci_points.empty()) return err::kNoCorrelation;
  return copy_points(sample->ci_points, size, points);
}

TVAPI int TVsampLoadDiscretePdfTable(pTVsample sample, int length, const double *probabilities,
                                     const double *values) {
  if (!sample || !probabilities) return err::kNullArgument;
  if (!stoc::is_discrete_type(sample->type)) return err::kBadDistribution;
  return guarded([&] { return stoc::load_table(*sample, length, probabilities, values); });
}

TVAPI int TVsampGetDiscretePdfTable(pTVsample sample, int *length, double *probabilities, double *values) {
  if (!sample) return err::kNullArgument;
  if (!stoc::is_discrete_type(sample->type)) return err::kBadDistribution;
  if (probabilities && sample->table_probs.empty()) return err::kNotAvailable;
  if (values && !sample->table_values_loaded) return err::kNotAvailable;
  const std::size_t n = sample->table_probs.size();
  if (length) *length = static_cast<int>(n);
  if (probabilities && n) std::memcpy(probabilities, sample->table_probs.data(), n * sizeof(double));
  if (values && n) std::memcpy(values, sample->table_values.data(), n * sizeof(double));
  return 0;
}

TVAPI int TVsampGetInfo(pTVsample sample, int item, void *result) {
  if (!sample || !result) return err::kNullArgument;
  auto *as_int = static_cast<int *>(result);
  auto *as_double = static_cast<double *>(result);
  switch (item) {
    case TV_IINFO_DIST_TYPE: *as_int = sample->type; return 0;
    case TV_IINFO_DIST_NARG: *as_int = sample->param_count; return 0;
    case TV_IINFO_SAMP_SIZE: *as_int = static_cast<int>(sample->points.size()); return 0;
    case TV_IINFO_SAMP_VARCONTROL_METHOD: *as_int = sample->method; return 0;
    case TV_IINFO_SAMP_NUSERARGS: *as_int = static_cast<int>(sample->args.size()); return 0;
    case TV_IINFO_SAMP_CI_SIZE: *as_int = static_cast<int>(sample->ci_points.size()); return 0;
    case TV_DINFO_SAMP_MAXABS: *as_double = sample->running_max; return 0;
    case TV_DINFO_SAMP_MEAN:
    case TV_DINFO_SAMP_STD:
    case TV_DINFO_SAMP_SKEWNESS:
    case TV_DINFO_SAMP_KURTOSIS:
      if (sample->points.empty()) return err::kNoSamplePoints;
      *as_double = moment_info(sample->points, item);
      return 0;
    default: return err::kBadParamId;
  }
}

TVAPI int TVsampInduceCorrelation(pTVsample *samples, int numSamples, int corrType, int numTargets,
                                  const int *rows, const int *cols, const double *values) {
  if (!samples) return err::kNullArgument;
  if (corrType < TV_CORR_PEARSON || corrType > TV_CORR_SPEARMAN) return err::kBadCorrelationType;
  return guarded([&] {
    stoc::Target target{corrType, numTargets, rows, cols, values};
    const base::Env *env = numSamples > 0 && samples[0] ? samples[0]->env : nullptr;
    return stoc::induce_correlation(samples, numSamples, target, ncm_options(env));
  });
}

TVAPI int TVsampGetCorrelationMatrix(pTVsample *samples, int numSamples, int induced, int corrType,
                                     int *numEntries, int *rows, int *cols, double *values) {
  if (!samples) return err::kNullArgument;
  return guarded([&] {
    return stoc::correlation_matrix(samples, numSamples, induced != 0, corrType, numEntries, rows, cols, values);
  });
}

TVAPI int TVsampGetCorrDiff(pTVsample *samples, int numSamples, int measure, double *difference) {
  if (!samples || !difference) return err::kNullArgument;
  return guarded([&] { return stoc::correlation_difference(samples, numSamples, measure, difference); });
}

}  // extern "C"
