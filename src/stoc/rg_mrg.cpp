// Type 1 generator: the combined multiple-recursive generator MRG32k3a kept
// in doubles. Multipliers are split in two factors and every partial product
// is reduced at once, so each intermediate stays below 2^53 and is exact.
#include <cmath>

#include "stoc/rg_engines.hpp"

namespace tarvo::stoc {
namespace {

constexpr double kM1 = 4294967087.0;
constexpr double kM2 = 4294944443.0;

// v mod M for a whole 0 <= v < 2^53: the same value as fmod, without its
// slow general path. The quotient estimate is off by at most one, q * M
// stays below 2^53 so the subtraction is exact, and one correction fixes r.
template <double M>
double reduce(double v) {
  double q = static_cast<double>(static_cast<long long>(v * (1.0 / M)));
  double r = v - q * M;
  r += r < 0 ? M : 0.0;
  r -= r >= M ? M : 0.0;
  return r;
}

// (f1 * f2 * x) mod M for 0 <= x < 2^33, exact in doubles.
template <double M>
double mul_mod(double f1, double f2, double x) {
  return reduce<M>(f2 * reduce<M>(f1 * x));
}

template <double M>
double sub_mod(double a, double b) {
  double d = a - b;
  return d < 0 ? d + M : d;
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
  double p1 = sub_mod<kM1>(mul_mod<kM1>(2235, 628, s.x1[k2]), mul_mod<kM1>(101341, 8, s.x1[k3]));
  double p2 = sub_mod<kM2>(mul_mod<kM2>(7759, 68, s.x2[k1]), mul_mod<kM2>(1013, 1353, s.x2[k3]));
  s.x1[k3] = p1;
  s.x2[k3] = p2;
  s.newest = k3;
  double d = p1 - p2;
  if (d <= 0) d += kM1;
  return d / kM1;
}

}  // namespace tarvo::stoc
