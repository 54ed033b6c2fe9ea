// Types 4 and 5: the subtractive generators. Type 4 is the classic integer
// method modulo 10^9; type 5 runs the same idea on doubles modulo 1 with lags
// 24 and 31 and hands out the table entries 1 to 54 between refills.
#include <cmath>
#include <cstdlib>

#include "stoc/rg_engines.hpp"

namespace tarvo::stoc {
namespace {

constexpr std::int64_t kBig = 1000000000;
constexpr std::int64_t kSeedConstant = 161803398;

void lagged_refill(std::array<double, 55> &t) {
  for (int i = 0; i < 24; ++i) {
    t[i] -= t[i + 31];
    if (t[i] < 0) t[i] += 1.0;
  }
  for (int i = 24; i < 55; ++i) {
    t[i] -= t[i - 24];
    if (t[i] < 0) t[i] += 1.0;
  }
}

}  // namespace

void subtractive_seed(SubtractiveState &s, std::int32_t seed) {
  auto &ma = s.table;
  std::int64_t mj = std::llabs(kSeedConstant - std::llabs(static_cast<std::int64_t>(seed))) % kBig;
  ma[0] = 0;  // the table runs 1..55
  ma[55] = mj;
  std::int64_t mk = 1;
  for (int i = 1; i <= 54; ++i) {
    int ii = (21 * i) % 55;
    ma[ii] = mk;
    mk = mj - mk;
    if (mk < 0) mk += kBig;
    mj = ma[ii];
  }
  for (int k = 0; k < 4; ++k)
    for (int i = 1; i <= 55; ++i) {
      ma[i] -= ma[1 + (i + 30) % 55];
      if (ma[i] < 0) ma[i] += kBig;
    }
  s.next = 0;
  s.nextp = 31;
}

double subtractive_draw(SubtractiveState &s) {
  if (++s.next == 56) s.next = 1;
  if (++s.nextp == 56) s.nextp = 1;
  std::int64_t mj = s.table[s.next] - s.table[s.nextp];
  if (mj < 0) mj += kBig;
  s.table[s.next] = mj;
  return static_cast<double>(mj) * 1e-9;
}

void lagged_seed(LaggedState &s, std::uint32_t seed) {
  s.table.fill(0.0);
  s.index = 0;
  double x = static_cast<double>(seed) / 2147483647.0;
  if (x >= 1.0) x = std::fmod(x, 1.0);  // seeds from 2^31 - 1 up would leave [0, 1)
  auto &t = s.table;
  t[54] = x;
  double mj = x;
  double mk = 1e-9;
  for (int i = 1; i <= 54; ++i) {
    int ii = (21 * i) % 55;
    t[ii] = mk;
    mk = mj - mk;
    if (mk < 0) mk += 1.0;
    mj = t[ii];
  }
  for (int k = 0; k < 3; ++k) lagged_refill(t);
  s.index = 0;
}

double lagged_draw(LaggedState &s) {
  if (++s.index == 55) {
    lagged_refill(s.table);
    s.index = 1;
  }
  return s.table[s.index];
}

}  // namespace tarvo::stoc
