// The generator object behind pTVrandom: one of seven uniform generators,
// its seed, an optional attached sample for TVgetDistrRV, and for the
// buffered twister the streams and buffer.
#pragma once

#include <cstdint>
#include <memory>

#include "env/env.hpp"
#include "stoc/rg_engines.hpp"
#include "stoc/rg_parallel.hpp"

struct tvSample;

struct tvRandom {
  tarvo::base::Env *env = nullptr;
  int type = 6;
  std::uint32_t init_seed = 0;  // 0: never seeded
  bool engine_seeded = false;   // types 1 to 5 start from the default seed when unseeded
  int threads = 1;
  tarvo::stoc::MrgState mrg;
  tarvo::stoc::LcgState lcg;
  tarvo::stoc::ShuffleState shuffle;
  tarvo::stoc::SubtractiveState subtractive;
  tarvo::stoc::LaggedState lagged;
  tarvo::stoc::TwisterState twister;
  std::unique_ptr<tarvo::stoc::ParallelTwister> parallel;  // type 6 on several threads
  tvSample *distribution = nullptr;                         // owned
};

namespace tarvo::stoc {

using Generator = ::tvRandom;

inline constexpr int kMaxGeneratorType = 6;

// Builds a generator of `type` (-1 means 6); null for an unknown type.
// threads > 1 makes a type-6 generator buffered; other types use one thread.
std::unique_ptr<Generator> make_generator(base::Env *env, int type, int threads, int buffer_size);
void seed_generator(Generator &g, std::int32_t seed);
// One uniform draw, serialised with every other shared draw of the process.
double draw_uniform(Generator &g);
// min(low + trunc(u (high - low + 1)), high); low when low >= high (no draw).
int draw_integer(Generator &g, int low, int high);
// Refills the buffer of a buffered twister under the draw lock; false for
// other generators.
bool refill_buffer(Generator &g);
void release_generator(Generator *g);

}  // namespace tarvo::stoc
