// TVgetHistogram: weighted frequencies of values over equal-width bins plus
// two open-ended bins, printed through the model log as a bar chart.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "common/error_codes.hpp"
#include "model/model.hpp"
#include "common/boundary.hpp"
#include "env/live_handles.hpp"

namespace tarvo::stoc {
namespace {

constexpr int kBarWidth = 50;

int default_bins(int n) { return std::clamp(static_cast<int>(std::ceil(std::sqrt(n))), 1, 50); }

int histogram(base::Model *model, int n, const double *values, const double *weights, double lower,
              double upper, int *nbins, int *counts, double *freqs, double *left, double *right) {
  if (!model || !values || !nbins) return err::kNullArgument;
  if (n < 1) return err::kBadInput;
  double total = 0;
  for (int i = 0; i < n; ++i) {
    if (!std::isfinite(values[i])) return err::kBadInput;
    double w = weights ? weights[i] : 1.0;
    if (!(w >= 0) || !std::isfinite(w)) return err::kBadInput;
    total += w;
  }
  if (!(total > 0)) return err::kBadInput;
  if (std::isnan(lower) || std::isnan(upper)) return err::kBadInput;
  if (lower >= upper) {
    lower = *std::min_element(values, values + n);
    upper = *std::max_element(values, values + n);
    if (lower == upper) upper = lower + 1;
  }
  const int inner = *nbins >= 1 ? std::min(*nbins, 1000000) : default_bins(n);
  const int bins = inner + 2;  // [-inf, lower) first, (upper, inf] last
  std::vector<int> count(static_cast<std::size_t>(bins), 0);
  std::vector<double> mass(static_cast<std::size_t>(bins), 0.0);
  const double width = (upper - lower) / inner;
  for (int i = 0; i < n; ++i) {
    double v = values[i];
    int b;
    if (v < lower)
      b = 0;
    else if (v > upper)
      b = bins - 1;
    else
      b = 1 + std::min(inner - 1, static_cast<int>((v - lower) / width));
    ++count[b];
    mass[b] += (weights ? weights[i] : 1.0) / total;
  }
  *nbins = bins;
  const int on = model->params.integer(TV_IPARAM_STOC_PRINT_LEVEL) >= 1 ? 1 : 0;
  base::log_model(model, on, "\nHistogram of scenario objectives\n\n");
  for (int b = 0; b < bins; ++b) {
    double lo = b == 0 ? -1e30 : lower + (b - 1) * width;
    double hi = b == bins - 1 ? 1e30 : (b == bins - 2 ? upper : lower + b * width);
    if (counts) counts[b] = count[b];
    if (freqs) freqs[b] = mass[b];
    if (left) left[b] = lo;
    if (right) right[b] = hi;
    if (b == 0 || b == bins - 1) {
      char bound[32];
      std::snprintf(bound, sizeof bound, "%g", b == 0 ? lower : upper);
      base::log_model(model, on, "%06d [%13s,%13s] : ", b, b == 0 ? "-INF" : bound, b == 0 ? bound : "+INF");
    } else
      base::log_model(model, on, "%06d [%13g,%13g] : ", b, lo, hi);
    std::string bar(static_cast<std::size_t>(std::lround(mass[b] * kBarWidth)), '*');
    base::log_model(model, on, "%s (%g)\n", bar.c_str(), mass[b]);
  }
  return 0;
}

}  // namespace
}  // namespace tarvo::stoc

extern "C" {

TVAPI int TVgetHistogram(pTVmodel model, int numValues, const double *values, const double *weights,
                         double lower, double upper, int *numBins, int *binCounts,
                         double *binFrequencies, double *binLower, double *binUpper) {
  if (!tarvo::base::live(model)) return tarvo::err::kNullArgument;
  return tarvo::guarded([&] {
    return tarvo::stoc::histogram(model, numValues, values, weights, lower, upper, numBins, binCounts,
                                  binFrequencies, binLower, binUpper);
  });
}

}  // extern "C"
