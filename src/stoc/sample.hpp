// The sample object behind pTVsample: one univariate distribution (built-in,
// tabulated or user-defined), its points, its correlation-induced points and
// the generator it draws from.
#pragma once

#include <array>
#include <memory>
#include <vector>

#include "env/env.hpp"
#include "stoc/distributions.hpp"
#include "tarvo.h"

namespace tarvo::stoc {

// The target of the last correlation induction a sample took part in.
struct CorrelationRecord {
  int type = 0;                          // TV_CORR_PEARSON, _KENDALL or _SPEARMAN
  std::vector<const void *> members;     // identities of the samples, in order
  std::vector<int> rows, cols;           // given target entries, rows > cols
  std::vector<double> values;            // in the target's own type
  std::vector<double> pearson;           // the dense matrix used, after repair
};

}  // namespace tarvo::stoc

struct tvSample {
  tarvo::base::Env *env = nullptr;
  bool listed = false;  // linked into the environment's sample list
  int type = 0;
  std::array<double, tarvo::stoc::kMaxParams> params{};
  int param_count = 0;  // one more than the highest index set
  pTVrandom rg = nullptr;  // not owned
  std::vector<double> points;
  int method = -1;
  bool keep_points = false;
  std::vector<double> ci_points;
  std::vector<double> table_probs, table_values, table_cdf;
  bool table_values_loaded = false;
  int default_table_length = 5000;
  TVuserDistr_t user = nullptr;
  void *user_data = nullptr;
  std::vector<tvSample *> args;  // argument samples of a user function (not owned)
  tvSample *arg_of = nullptr;    // the sample this one is an argument of
  double running_max = 0;
  double support_lo = 1e30, support_hi = 1e30;
  std::shared_ptr<tarvo::stoc::CorrelationRecord> correlation;
};

namespace tarvo::stoc {

using Sample = ::tvSample;

// Creates a sample; `listed` links it into the environment's list so that
// deleting the environment deletes it.
Sample *create_sample(base::Env *env, int type, bool listed);
void delete_sample(Sample *s);

// Density, distribution function, inverse or derivative of the sample's
// distribution (table, user or built-in).
int eval_sample(Sample &s, int func, double x, double *result);
// The same on the loaded table with linear interpolation between its points.
int eval_sample_interpolated(Sample &s, int func, double x, double *result);
int call_user(Sample &s, int func, const double *args, int nargs, double *result);
int load_table(Sample &s, int length, const double *probs, const double *values);

// Generator liveness: samples keep a plain pointer to their generator, so the
// generator is looked up before use in case the host disposed of it.
void register_generator(const void *g);
void unregister_generator(const void *g);
bool generator_alive(const void *g);

int generate_sample(Sample &s, int method, int size);

}  // namespace tarvo::stoc
