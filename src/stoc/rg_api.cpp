// C entry points of the random generators: validate, guard, forward.
#include <algorithm>
#include <cmath>

#include "common/error_codes.hpp"
#include "common/boundary.hpp"
#include "stoc/generator.hpp"
#include "stoc/sample.hpp"
#include "env/live_handles.hpp"

using namespace tarvo;
using tarvo::stoc::Generator;

namespace {

pTVrandom create(pTVenv env, int type, bool threaded) {
  if (!env) return nullptr;
  int code = 0;
  return guarded_value<pTVrandom>(&code, nullptr, [&]() -> pTVrandom {
    int threads = threaded ? env->params.integer(TV_IPARAM_SAMP_NUM_THREADS) : 1;
    int buffer = env->params.integer(TV_IPARAM_SAMP_RG_BUFFER_SIZE);
    auto g = stoc::make_generator(env, type, threads, buffer);
    if (!g) return nullptr;
    stoc::register_generator(g.get());
    return g.release();
  });
}

}  // namespace

extern "C" {

TVAPI pTVrandom TVcreateRG(pTVenv env, int type) {
  if (!tarvo::base::live(env)) return nullptr;
  return create(env, type, false);
}

TVAPI pTVrandom TVcreateRGMT(pTVenv env, int type) {
  if (!tarvo::base::live(env)) return nullptr;
  return create(env, type, true);
}

TVAPI int TVsetRGSeed(pTVrandom rg, int seed) {
  if (!rg) return err::kNullArgument;
  return guarded([&] {
    stoc::seed_generator(*rg, seed);
    return 0;
  });
}

TVAPI double TVgetDoubleRV(pTVrandom rg) {
  if (!rg) return -1.0;
  try {
    return stoc::draw_uniform(*rg);
  } catch (...) {
    return -1.0;  // only a failed buffer allocation can throw
  }
}

TVAPI int TVgetInt32RV(pTVrandom rg, int low, int high) {
  if (!rg) return low;
  try {
    return stoc::draw_integer(*rg, low, high);
  } catch (...) {
    return low;
  }
}

TVAPI unsigned int TVgetInitSeed(pTVrandom rg) { return rg ? rg->init_seed : 0u; }

TVAPI int TVgetRGNumThreads(pTVrandom rg, int *numThreads) {
  if (!rg || !numThreads) return err::kNullArgument;
  *numThreads = rg->threads;
  return 0;
}

TVAPI int TVsetDistrRG(pTVrandom rg, int distType) {
  if (!rg) return err::kNullArgument;
  if (!stoc::is_known_type(distType)) return err::kBadDistribution;
  return guarded([&] {
    // The generator's own sample is not listed in the environment: the
    // generator outlives environments and frees it itself.
    stoc::Sample *s = stoc::create_sample(rg->env, distType, false);
    s->rg = rg;
    if (rg->distribution) stoc::delete_sample(rg->distribution);
    rg->distribution = s;
    return 0;
  });
}

TVAPI int TVsetDistrParamRG(pTVrandom rg, int index, double value) {
  if (!rg || !rg->distribution) return err::kNullArgument;
  if (index < 0 || index >= stoc::kMaxParams) return err::kIndexOutOfRange;
  if (std::isnan(value)) return err::kBadValue;
  rg->distribution->params[static_cast<std::size_t>(index)] = value;
  rg->distribution->param_count = std::max(rg->distribution->param_count, index + 1);
  return 0;
}

TVAPI int TVgetDistrRV(pTVrandom rg, double *value) {
  if (!rg || !value) return err::kNullArgument;
  *value = 0;
  if (!rg->distribution) return err::kNotAvailable;
  return guarded([&] {
    double u = stoc::draw_uniform(*rg);
    return stoc::eval_sample(*rg->distribution, stoc::kInverse, u, value);
  });
}

TVAPI int TVfillRGBuffer(pTVrandom rg) {
  if (!rg) return err::kNullArgument;
  return guarded([&] { return stoc::refill_buffer(*rg) ? 0 : static_cast<int>(err::kNotAvailable); });
}

TVAPI double *TVgetRGBufferPtr(pTVrandom rg, int *size) {
  if (size) *size = 0;
  if (!rg || !rg->parallel) return nullptr;
  if (size) *size = static_cast<int>(rg->parallel->buffer.size());
  return rg->parallel->buffer.data();
}

TVAPI int TVdisposeRG(pTVrandom *rg) {
  if (!rg) return err::kNullArgument;
  if (!*rg) return 0;
  stoc::unregister_generator(*rg);
  stoc::release_generator(*rg);
  *rg = nullptr;
  return 0;
}

}  // extern "C"
