// The seven uniform generators behind a generator object: their states, seed
// functions and single draws. Each draw is exact integer or exactly rounded
// double arithmetic, so a seed gives the same stream on every machine.
#pragma once

#include <array>
#include <cstdint>

namespace tarvo::stoc {

// Type 1: combined multiple-recursive generator in double precision. pair[r]
// is the newest (x1, x2) pair, pair[(r+1)%3] the one before, pair[(r+2)%3]
// the oldest.
struct MrgState {
  double x1[3] = {0, 0, 0};
  double x2[3] = {0, 0, 0};
  int newest = 0;
};
void mrg_seed(MrgState &s, std::uint32_t seed);
double mrg_draw(MrgState &s);

// Type 2: multiplicative congruential generator modulo 2^31 - 1.
struct LcgState {
  std::uint32_t x = 0;
};
void lcg_seed(LcgState &s, std::uint32_t seed);
double lcg_draw(LcgState &s);

// Type 3: two congruential streams combined through a 32-entry shuffle table.
struct ShuffleState {
  std::int64_t x = 1;
  std::int64_t y = 123456789;  // set at creation only; seeding keeps it
  std::int64_t last = 0;
  std::array<std::int64_t, 32> table{};
};
void shuffle_seed(ShuffleState &s, std::int32_t seed);
double shuffle_draw(ShuffleState &s);

// Type 4: subtractive generator on integers modulo 10^9 (1-based table).
struct SubtractiveState {
  std::array<std::int64_t, 56> table{};
  int next = 0;
  int nextp = 31;
};
void subtractive_seed(SubtractiveState &s, std::int32_t seed);
double subtractive_draw(SubtractiveState &s);

// Type 5: lagged subtraction modulo 1 on a table of 55 doubles.
struct LaggedState {
  std::array<double, 55> table{};
  int index = 0;
};
void lagged_seed(LaggedState &s, std::uint32_t seed);
double lagged_draw(LaggedState &s);

// Type 6: the 32-bit Mersenne twister.
struct TwisterState {
  std::array<std::uint32_t, 624> mt{};
  int index = 625;  // 625: never seeded
};
void twister_seed(TwisterState &s, std::uint32_t seed);
// Seeds from a key of several words (distinct keys give unrelated streams).
void twister_seed_key(TwisterState &s, const std::uint32_t *key, int length);
std::uint32_t twister_next(TwisterState &s);
inline constexpr double kTwisterScale = 2.3283064365386963e-10;  // 2^-32
inline constexpr std::uint32_t kTwisterDefaultSeed = 5489u;

}  // namespace tarvo::stoc
