// Type 1 generator: the combined multiple-recursive generator MRG32k3a kept
// in doubles. Multipliers are split in two factors and every partial product
// is reduced at once, so each intermediate stays below 2^53 and is exact.
#include <cmath>

#include "stoc/rg_engines.hpp"

namespace tarvo::stoc {
namespace {

constexpr double kM1 = 4294967087.0;
constexpr double kM2 = 4294944443.0;

// (f1 * f2 * x) mod m for 0 <= x < 2^33, exact in doubles.
double mul_mod(double f1, double f2, double x, double m) {
  double t = std::fmod(f1 * x, m);
  return std::fmod(f2 * t, m);
}

double sub_mod(double a, double b, double m) {
  double d = a - b;
  return d < 0 ? d + m : d;
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
  double p1 = sub_mod(mul_mod(2235, 628, s.x1[k2], kM1), mul_mod(101341, 8, s.x1[k3], kM1), kM1);
  double p2 = sub_mod(mul_mod(7759, 68, s.x2[k1], kM2), mul_mod(1013, 1353, s.x2[k3], kM2), kM2);
  s.x1[k3] = p1;
  s.x2[k3] = p2;
  s.newest = k3;
  double d = p1 - p2;
  if (d <= 0) d += kM1;
  return d / kM1;
}

}  // namespace tarvo::stoc
