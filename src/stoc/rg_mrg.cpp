// Type 1 generator: the combined multiple-recursive generator MRG32k3a, its
// state kept in doubles. The recurrence is exact modular arithmetic, done in
// 64-bit integers; the output is d / m1 in double precision.
#include <cmath>
#include <cstdint>

#include "stoc/rg_engines.hpp"

namespace tarvo::stoc {
namespace {

constexpr double kM1 = 4294967087.0;
constexpr std::int64_t kIntM1 = 4294967087;
constexpr std::int64_t kIntM2 = 4294944443;

// (a * x - b * y) mod m in [0, m). The state holds whole numbers below 2^32,
// so the products fit in 64 bits and the result equals the double-precision
// recurrence with every partial product reduced, at integer speed.
template <std::int64_t M>
std::int64_t combine(std::int64_t a, double x, std::int64_t b, double y) {
  std::int64_t r = (a * static_cast<std::int64_t>(x) - b * static_cast<std::int64_t>(y)) % M;
  return r < 0 ? r + M : r;
}

}  // namespace

void mrg_seed(MrgState &s, std::uint32_t seed) {
  double x = static_cast<double>(seed);
  s.x1[0] = 2;
  if (x > 67108864.0) {  // 2^26
    x *= 1.0 / 67108864.0;
    s.x2[0] = 26;
  } else {
    s.x2[0] = 1;
  }
  if (x > 32768.0) s.x2[0] += 15;
  x *= 1.0 / 32768.0;
  if (x < 1.0 / 32768.0) {
    x *= 32768.0;
    s.x1[1] = 15;
  } else {
    s.x1[1] = 1;
  }
  s.x2[1] = (x > 0 && x < 1073741824.0) ? std::trunc(x) : 1;
  double f = std::trunc((x - std::trunc(x)) * 1073741824.0);
  s.x1[2] = f > 0 ? f : 1;
  s.x2[2] = f < 64 ? 6 : 1;
  s.newest = 0;
}

double mrg_draw(MrgState &s) {
  const int k1 = s.newest;            // x[k-1]
  const int k2 = (s.newest + 1) % 3;  // x[k-2]
  const int k3 = (s.newest + 2) % 3;  // x[k-3], replaced
  const auto p1 = static_cast<double>(combine<kIntM1>(1403580, s.x1[k2], 810728, s.x1[k3]));
  const auto p2 = static_cast<double>(combine<kIntM2>(527612, s.x2[k1], 1370589, s.x2[k3]));
  s.x1[k3] = p1;
  s.x2[k3] = p2;
  s.newest = k3;
  double d = p1 - p2;
  if (d <= 0) d += kM1;
  return d / kM1;
}

}  // namespace tarvo::stoc
