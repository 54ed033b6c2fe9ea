// Types 2 and 3: the multiplicative congruential generator modulo 2^31 - 1
// and the combined congruential generator with a Bays-Durham shuffle. The
// modular products are computed exactly in 64-bit integers.
#include <algorithm>

#include "stoc/rg_engines.hpp"

namespace tarvo::stoc {
namespace {

constexpr std::uint64_t kLcgModulus = 2147483647u;  // 2^31 - 1
constexpr std::uint64_t kLcgMultiplier = 742938285u;

constexpr std::int64_t kM1 = 2147483563;
constexpr std::int64_t kM2 = 2147483399;
constexpr std::int64_t kA1 = 40014;
constexpr std::int64_t kA2 = 40692;
constexpr std::int64_t kTableDivisor = 1 + (kM1 - 1) / 32;

}  // namespace

void lcg_seed(LcgState &s, std::uint32_t seed) {
  std::uint64_t x = seed;
  if (x >= 2147483648u) x -= kLcgModulus;
  x %= kLcgModulus;
  // A state of zero would repeat zero for ever.
  s.x = x == 0 ? 1u : static_cast<std::uint32_t>(x);
}

double lcg_draw(LcgState &s) {
  s.x = static_cast<std::uint32_t>(s.x * kLcgMultiplier % kLcgModulus);
  return s.x * 4.656612875e-10;
}

void shuffle_seed(ShuffleState &s, std::int32_t seed) {
  std::int64_t x = seed >= 1 ? seed : (seed < 0 ? -static_cast<std::int64_t>(seed) : 1);
  x %= kM1;
  if (x == 0) x = 1;
  for (int j = 39; j >= 0; --j) {
    x = kA1 * x % kM1;
    if (j < 32) s.table[j] = x;
  }
  s.x = x;
  s.last = s.table[0];
}

double shuffle_draw(ShuffleState &s) {
  s.x = kA1 * s.x % kM1;
  s.y = kA2 * s.y % kM2;
  const auto j = static_cast<std::size_t>(s.last / kTableDivisor);
  std::int64_t out = s.table[j] - s.y;
  s.table[j] = s.x;
  if (out <= 0) out += kM1 - 1;
  s.last = out;
  return std::min(static_cast<double>(out) * 4.656613057391769e-10, 0.99999988);
}

}  // namespace tarvo::stoc
