// Buffered Mersenne twister on OpenMP threads (see rg_parallel.hpp).
#include "stoc/rg_parallel.hpp"

#include <algorithm>

namespace tarvo::stoc {

void parallel_setup(ParallelTwister &p, int threads, int buffer_size) {
  p.threads = std::max(1, threads);
  p.streams = std::max(kMinStreams, p.threads);
  long long size = buffer_size > 0 ? buffer_size : kDefaultBufferSize;
  size = std::max<long long>(size, p.streams);
  p.per_stream = static_cast<int>(size / p.streams);
  p.states.assign(static_cast<std::size_t>(p.streams), TwisterState{});
  // Only whole slices are used, so every buffered value comes from a known stream.
  p.buffer.assign(static_cast<std::size_t>(p.streams) * static_cast<std::size_t>(p.per_stream), 0.0);
  p.position = p.buffer.size();
  p.seeded = false;
}

void parallel_seed(ParallelTwister &p, std::uint32_t seed) {
  const int streams = p.streams;
#pragma omp parallel for num_threads(p.threads) schedule(static)
  for (int k = 0; k < streams; ++k) {
    const std::uint32_t key[2] = {seed, static_cast<std::uint32_t>(k)};
    twister_seed_key(p.states[static_cast<std::size_t>(k)], key, 2);
  }
  p.seeded = true;
  parallel_fill(p);
}

void parallel_fill(ParallelTwister &p) {
  if (!p.seeded) {
    parallel_seed(p, kTwisterDefaultSeed);
    return;
  }
  const int streams = p.streams;
  const std::size_t per = static_cast<std::size_t>(p.per_stream);
#pragma omp parallel for num_threads(p.threads) schedule(static)
  for (int k = 0; k < streams; ++k) {
    TwisterState &state = p.states[static_cast<std::size_t>(k)];
    double *out = p.buffer.data() + static_cast<std::size_t>(k) * per;
    for (std::size_t i = 0; i < per; ++i) out[i] = twister_next(state) * kTwisterScale;
  }
  p.position = 0;
}

double parallel_draw(ParallelTwister &p) {
  if (p.position >= p.buffer.size()) parallel_fill(p);
  return p.buffer[p.position++];
}

}  // namespace tarvo::stoc
