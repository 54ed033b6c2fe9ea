// A small deterministic generator for library chores that need reproducible
// random numbers (default priority files and the like): splitmix64 seeding
// and a xorshift64* stream. Not for sampling: the stochastic subsystem has its own.
#pragma once

#include <cstdint>

namespace tarvo::base {

class SimpleRandom {
 public:
  explicit SimpleRandom(std::uint64_t seed);

  std::uint64_t next();
  // Uniform whole number in [0, bound), bound > 0; unbiased.
  std::uint64_t below(std::uint64_t bound);
  // Uniform whole number in [lo, hi], lo <= hi.
  long long between(long long lo, long long hi);

 private:
  std::uint64_t state_;
};

}  // namespace tarvo::base
