// The buffered Mersenne twister: many independent twister streams, each
// filling its own slice of one buffer on OpenMP threads. Stream k is seeded
// from the key (seed, k), so the buffer holds the same values whatever the
// thread count.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "stoc/rg_engines.hpp"

namespace tarvo::stoc {

struct ParallelTwister {
  int threads = 1;
  int streams = 0;
  int per_stream = 0;
  std::vector<TwisterState> states;
  std::vector<double> buffer;
  std::size_t position = 0;
  bool seeded = false;
};

inline constexpr int kMinStreams = 4096;
inline constexpr int kDefaultBufferSize = 65536;

// Sizes the streams and the buffer; buffer_size 0 means the default.
void parallel_setup(ParallelTwister &p, int threads, int buffer_size);
// Seeds every stream and fills the buffer.
void parallel_seed(ParallelTwister &p, std::uint32_t seed);
void parallel_fill(ParallelTwister &p);
double parallel_draw(ParallelTwister &p);

}  // namespace tarvo::stoc
