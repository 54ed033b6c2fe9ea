// Deterministic generator for reproducible library chores (see the header).
#include "common/simple_random.hpp"

namespace tarvo::base {

SimpleRandom::SimpleRandom(std::uint64_t seed) {
  // splitmix64 spreads small seeds over the whole state; xorshift needs a non-zero one.
  std::uint64_t z = seed + 0x9E3779B97F4A7C15ull;
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  z ^= z >> 31;
  state_ = z ? z : 0x2545F4914F6CDD1Dull;
}

std::uint64_t SimpleRandom::next() {
  state_ ^= state_ >> 12;
  state_ ^= state_ << 25;
  state_ ^= state_ >> 27;
  return state_ * 0x2545F4914F6CDD1Dull;
}

std::uint64_t SimpleRandom::below(std::uint64_t bound) {
  // Reject the top sliver that would make small remainders more likely.
  std::uint64_t limit = UINT64_MAX - UINT64_MAX % bound;
  std::uint64_t r;
  do r = next();
  while (r >= limit);
  return r % bound;
}

long long SimpleRandom::between(long long lo, long long hi) {
  std::uint64_t span = static_cast<std::uint64_t>(hi) - static_cast<std::uint64_t>(lo);
  if (span == UINT64_MAX) return static_cast<long long>(next());
  return static_cast<long long>(static_cast<std::uint64_t>(lo) + below(span + 1));
}

}  // namespace tarvo::base
