// Inverse of a discrete distribution function by galloping from a guess and
// bisecting the bracket: at most about 2 log2(range) evaluations.
#pragma once

#include <cmath>

namespace tarvo::stoc {

template <class Cdf>
double smallest_reaching(double lo, double hi, double guess, double u, Cdf &&cdf) {
  if (!(guess >= lo)) guess = lo;
  if (!(guess <= hi)) guess = hi;
  guess = std::floor(guess);
  double good, bad;  // cdf(good) >= u; bad < good with cdf(bad) < u, or lo - 1
  if (cdf(guess) >= u) {
    good = guess;
    double step = 1;
    for (;;) {
      double probe = good - step;
      if (probe < lo) {
        bad = lo - 1;
        break;
      }
      if (cdf(probe) >= u) {
        good = probe;
        step *= 2;
      } else {
        bad = probe;
        break;
      }
    }
  } else {
    bad = guess;
    double step = 1;
    for (;;) {
      double probe = bad + step;
      if (probe >= hi) {
        probe = hi;
        if (cdf(probe) >= u || probe == bad + 1) {
          good = probe;
          break;
        }
        // cdf(hi) below u only by rounding: hi is the answer.
        good = hi;
        break;
      }
      if (cdf(probe) >= u) {
        good = probe;
        break;
      }
      bad = probe;
      step *= 2;
    }
  }
  while (good - bad > 1) {
    double mid = std::floor(bad + (good - bad) / 2);
    if (cdf(mid) >= u)
      good = mid;
    else
      bad = mid;
  }
  return good;
}

}  // namespace tarvo::stoc
