// Type 6: the 32-bit Mersenne twister MT19937 with the standard seeding,
// twist and tempering, plus the standard seeding from a key, which the
// parallel buffer uses to give every stream its own state.
#include "stoc/rg_engines.hpp"

namespace tarvo::stoc {
namespace {

constexpr int kN = 624;
constexpr int kM = 397;
constexpr std::uint32_t kMatrixA = 0x9908b0dfu;
constexpr std::uint32_t kUpper = 0x80000000u;
constexpr std::uint32_t kLower = 0x7fffffffu;

void twist(std::array<std::uint32_t, 624> &mt) {
  auto mix = [](std::uint32_t hi, std::uint32_t lo, std::uint32_t far) {
    std::uint32_t y = (hi & kUpper) | (lo & kLower);
    return far ^ (y >> 1) ^ ((y & 1u) ? kMatrixA : 0u);
  };
  int k = 0;
  for (; k < kN - kM; ++k) mt[k] = mix(mt[k], mt[k + 1], mt[k + kM]);
  for (; k < kN - 1; ++k) mt[k] = mix(mt[k], mt[k + 1], mt[k + kM - kN]);
  mt[kN - 1] = mix(mt[kN - 1], mt[0], mt[kM - 1]);
}

}  // namespace

void twister_seed(TwisterState &s, std::uint32_t seed) {
  auto &mt = s.mt;
  mt[0] = seed;
  for (int i = 1; i < kN; ++i)
    mt[i] = 1812433253u * (mt[i - 1] ^ (mt[i - 1] >> 30)) + static_cast<std::uint32_t>(i);
  s.index = kN;
}

void twister_seed_key(TwisterState &s, const std::uint32_t *key, int length) {
  twister_seed(s, 19650218u);
  auto &mt = s.mt;
  int i = 1, j = 0;
  for (int k = kN > length ? kN : length; k > 0; --k) {
    mt[i] = (mt[i] ^ ((mt[i - 1] ^ (mt[i - 1] >> 30)) * 1664525u)) + key[j] + static_cast<std::uint32_t>(j);
    ++i;
    ++j;
    if (i >= kN) {
      mt[0] = mt[kN - 1];
      i = 1;
    }
    if (j >= length) j = 0;
  }
  for (int k = kN - 1; k > 0; --k) {
    mt[i] = (mt[i] ^ ((mt[i - 1] ^ (mt[i - 1] >> 30)) * 1566083941u)) - static_cast<std::uint32_t>(i);
    ++i;
    if (i >= kN) {
      mt[0] = mt[kN - 1];
      i = 1;
    }
  }
  mt[0] = 0x80000000u;
  s.index = kN;
}

std::uint32_t twister_next(TwisterState &s) {
  if (s.index >= kN) {
    if (s.index > kN) twister_seed(s, kTwisterDefaultSeed);
    twist(s.mt);
    s.index = 0;
  }
  std::uint32_t y = s.mt[s.index++];
  y ^= y >> 11;
  y ^= (y << 7) & 0x9d2c5680u;
  y ^= (y << 15) & 0xefc60000u;
  y ^= y >> 18;
  return y;
}

}  // namespace tarvo::stoc
