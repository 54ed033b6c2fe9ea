// Sample objects: creation and deletion (with the environment's list), the
// evaluation of tabulated and user-defined distributions, and the
// registry of live generators that samples refer to.
#include "stoc/sample.hpp"

#include <algorithm>
#include <cmath>
#include <mutex>
#include <unordered_set>

#include "common/error_codes.hpp"

namespace tarvo::stoc {
namespace {

std::mutex g_registry_lock;
std::unordered_set<const void *> &live_generators() {
  static std::unordered_set<const void *> set;
  return set;
}

void release_listed_sample(void *s) { delete_sample(static_cast<Sample *>(s)); }

}  // namespace

void register_generator(const void *g) {
  std::lock_guard<std::mutex> hold(g_registry_lock);
  live_generators().insert(g);
}

void unregister_generator(const void *g) {
  std::lock_guard<std::mutex> hold(g_registry_lock);
  live_generators().erase(g);
}

bool generator_alive(const void *g) {
  std::lock_guard<std::mutex> hold(g_registry_lock);
  return live_generators().count(g) != 0;
}

Sample *create_sample(base::Env *env, int type, bool listed) {
  auto s = std::make_unique<Sample>();
  s->env = env;
  s->type = type;
  s->params.fill(kUnset);
  if (listed && env) {
    std::lock_guard<std::mutex> hold(env->lock);
    env->samples.push_back(s.get());
    env->release_sample = release_listed_sample;
    s->listed = true;
  }
  return s.release();
}

void delete_sample(Sample *s) {
  if (!s) return;
  if (s->listed && s->env) {
    std::lock_guard<std::mutex> hold(s->env->lock);
    auto &list = s->env->samples;
    list.erase(std::remove(list.begin(), list.end(), static_cast<void *>(s)), list.end());
  }
  if (s->arg_of) {
    auto &siblings = s->arg_of->args;
    siblings.erase(std::remove(siblings.begin(), siblings.end(), s), siblings.end());
  }
  for (Sample *a : s->args) a->arg_of = nullptr;
  delete s;
}

int call_user(Sample &s, int func, const double *args, int nargs, double *result) {
  *result = 0;
  if (!s.user) return err::kUserFuncNotSet;
  const int expected = s.args.empty() ? 1 : static_cast<int>(s.args.size());
  if (nargs != expected) return err::kUserCallIncompatible;
  double out = 0;
  int code = s.user(&s, func, args, nargs, &out, s.user_data);
  if (code != 0) return code;
  if (std::isnan(out)) return err::kBadValue;
  *result = out;
  return 0;
}

int load_table(Sample &s, int length, const double *probs, const double *values) {
  if (length < 1) length = s.default_table_length;
  double sum = 0;
  for (int i = 0; i < length; ++i) {
    if (!(probs[i] >= 0 && probs[i] <= 1)) return err::kBadProbability;
    sum += probs[i];
  }
  if (std::fabs(sum - 1.0) > 1e-6) return err::kBadStochasticCdf;
  if (values)
    for (int i = 0; i < length; ++i)
      if (!std::isfinite(values[i])) return err::kBadValue;
  std::vector<double> p(probs, probs + length), cdf(static_cast<std::size_t>(length));
  double run = 0;
  for (int i = 0; i < length; ++i) {
    p[i] /= sum;  // removes the rounding of the caller's sum
    run += p[i];
    cdf[i] = run;
  }
  cdf.back() = 1.0;
  std::vector<double> v;
  if (values) v.assign(values, values + length);
  s.table_probs.swap(p);
  s.table_cdf.swap(cdf);
  s.table_values.swap(v);
  s.table_values_loaded = values != nullptr;
  return 0;
}

namespace {

int eval_table(Sample &s, int func, double x, double *result) {
  *result = 0;
  if (s.table_probs.empty()) return err::kNoDiscreteTable;
  const auto n = static_cast<long long>(s.table_probs.size());
  if (func == kInverse) {
    if (!(x >= 0 && x <= 1)) return err::kBadProbability;
    auto it = std::lower_bound(s.table_cdf.begin(), s.table_cdf.end(), x);
    *result = static_cast<double>(std::min<long long>(it - s.table_cdf.begin(), n - 1));
    return 0;
  }
  if (std::isnan(x)) return err::kBadValue;
  if (func == kDerivative) return err::kNotSupported;
  if (x < 0) return 0;
  const double k = std::trunc(x);
  if (func == kDensity) {
    *result = k < static_cast<double>(n) ? s.table_probs[static_cast<std::size_t>(k)] : 0.0;
  } else {
    *result = k >= static_cast<double>(n - 1) ? 1.0 : s.table_cdf[static_cast<std::size_t>(k)];
  }
  return 0;
}

}  // namespace

int eval_sample(Sample &s, int func, double x, double *result) {
  *result = 0;
  if (is_table_type(s.type)) return eval_table(s, func, x, result);
  if (s.type == kUserDefined) {
    if (func < kDensity || func > kDerivative) return err::kNotSupported;
    if (!s.user) return err::kUserFuncNotSet;
    if (!s.args.empty()) return err::kUserCallIncompatible;
    return call_user(s, func, &x, 1, result);
  }
  return eval_builtin(s.type, s.params.data(), func, x, result);
}

int eval_sample_interpolated(Sample &s, int func, double x, double *result) {
  *result = 0;
  if (s.table_probs.empty()) return err::kNoDiscreteTable;
  if (func < kDensity || func > kInverse) return err::kNotSupported;
  const std::size_t n = s.table_probs.size();
  auto value = [&](std::size_t k) {
    return s.table_values_loaded ? s.table_values[k] : static_cast<double>(k);
  };
  for (std::size_t k = 1; k < n; ++k)
    if (!(value(k) > value(k - 1))) return err::kBadInput;  // needs increasing points
  // The distribution function runs linearly through (value(k), cdf(k)).
  if (func == kInverse) {
    if (!(x >= 0 && x <= 1)) return err::kBadProbability;
    auto it = std::lower_bound(s.table_cdf.begin(), s.table_cdf.end(), x);
    std::size_t k = std::min<std::size_t>(static_cast<std::size_t>(it - s.table_cdf.begin()), n - 1);
    if (k == 0 || x <= s.table_cdf[0]) {
      *result = value(0);
      return 0;
    }
    double f0 = s.table_cdf[k - 1], f1 = s.table_cdf[k];
    double t = f1 > f0 ? (x - f0) / (f1 - f0) : 1.0;
    *result = value(k - 1) + t * (value(k) - value(k - 1));
    return 0;
  }
  if (std::isnan(x)) return err::kBadValue;
  if (x < value(0)) return 0;
  if (x >= value(n - 1)) {
    *result = func == kDistribution ? 1.0 : 0.0;
    return 0;
  }
  std::size_t k = 1;
  {
    std::size_t lo = 1, hi = n - 1;  // first k with value(k) > x
    while (lo < hi) {
      std::size_t mid = (lo + hi) / 2;
      if (value(mid) > x)
        hi = mid;
      else
        lo = mid + 1;
    }
    k = lo;
  }
  double x0 = value(k - 1), x1 = value(k);
  double f0 = s.table_cdf[k - 1], f1 = s.table_cdf[k];
  double slope = (f1 - f0) / (x1 - x0);
  *result = func == kDistribution ? f0 + (x - x0) * slope : slope;
  return 0;
}

}  // namespace tarvo::stoc
