// Correlation measures (see correlation_measures.hpp).
#include "stoc/correlation_measures.hpp"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace tarvo::stoc {
namespace {

constexpr double kPi = 3.14159265358979323846;

// Pairs of equal values among n sorted entries: sum of t (t - 1) / 2.
template <class Equal>
double tied_pairs(std::size_t n, Equal &&equal) {
  double ties = 0, run = 1;
  for (std::size_t i = 1; i < n; ++i) {
    if (equal(i - 1, i)) {
      ++run;
    } else {
      ties += run * (run - 1) / 2;
      run = 1;
    }
  }
  return ties + run * (run - 1) / 2;
}

// Sorts v by merge sort and returns the number of inversions.
double count_swaps(std::vector<double> &v) {
  std::vector<double> buffer(v.size());
  double swaps = 0;
  for (std::size_t width = 1; width < v.size(); width *= 2) {
    for (std::size_t lo = 0; lo < v.size(); lo += 2 * width) {
      std::size_t mid = std::min(lo + width, v.size()), hi = std::min(lo + 2 * width, v.size());
      std::size_t i = lo, j = mid, k = lo;
      while (i < mid && j < hi) {
        if (v[j] < v[i]) {
          swaps += static_cast<double>(mid - i);
          buffer[k++] = v[j++];
        } else {
          buffer[k++] = v[i++];
        }
      }
      while (i < mid) buffer[k++] = v[i++];
      while (j < hi) buffer[k++] = v[j++];
    }
    v.swap(buffer);
  }
  return swaps;
}

}  // namespace

double pearson(const std::vector<double> &x, const std::vector<double> &y) {
  const std::size_t n = x.size();
  if (n < 2) return 0;
  double mx = 0, my = 0;
  for (std::size_t i = 0; i < n; ++i) {
    mx += x[i];
    my += y[i];
  }
  mx /= n;
  my /= n;
  double sxy = 0, sxx = 0, syy = 0;
  for (std::size_t i = 0; i < n; ++i) {
    double dx = x[i] - mx, dy = y[i] - my;
    sxy += dx * dy;
    sxx += dx * dx;
    syy += dy * dy;
  }
  if (sxx <= 0 || syy <= 0) return 0;
  return std::clamp(sxy / std::sqrt(sxx * syy), -1.0, 1.0);
}

std::vector<double> mid_ranks(const std::vector<double> &x) {
  const std::size_t n = x.size();
  std::vector<std::size_t> order(n);
  std::iota(order.begin(), order.end(), std::size_t{0});
  std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) { return x[a] < x[b]; });
  std::vector<double> rank(n);
  for (std::size_t i = 0; i < n;) {
    std::size_t j = i;
    while (j + 1 < n && x[order[j + 1]] == x[order[i]]) ++j;
    double r = (static_cast<double>(i) + static_cast<double>(j)) / 2 + 1;
    for (std::size_t k = i; k <= j; ++k) rank[order[k]] = r;
    i = j + 1;
  }
  return rank;
}

double spearman(const std::vector<double> &x, const std::vector<double> &y) {
  return pearson(mid_ranks(x), mid_ranks(y));
}

double kendall(const std::vector<double> &x, const std::vector<double> &y) {
  const std::size_t n = x.size();
  if (n < 2) return 0;
  std::vector<std::size_t> order(n);
  std::iota(order.begin(), order.end(), std::size_t{0});
  std::sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
    return x[a] < x[b] || (x[a] == x[b] && y[a] < y[b]);
  });
  const double n0 = static_cast<double>(n) * (static_cast<double>(n) - 1) / 2;
  const double ties_x = tied_pairs(n, [&](std::size_t a, std::size_t b) { return x[order[a]] == x[order[b]]; });
  const double ties_xy = tied_pairs(n, [&](std::size_t a, std::size_t b) {
    return x[order[a]] == x[order[b]] && y[order[a]] == y[order[b]];
  });
  std::vector<double> ys(n);
  for (std::size_t i = 0; i < n; ++i) ys[i] = y[order[i]];
  const double swaps = count_swaps(ys);  // ys is sorted afterwards
  const double ties_y = tied_pairs(n, [&](std::size_t a, std::size_t b) { return ys[a] == ys[b]; });
  const double denominator = std::sqrt((n0 - ties_x) * (n0 - ties_y));
  if (denominator <= 0) return 0;
  const double numerator = n0 - ties_x - ties_y + ties_xy - 2 * swaps;
  return std::clamp(numerator / denominator, -1.0, 1.0);
}

double correlation(int type, const std::vector<double> &x, const std::vector<double> &y) {
  switch (type) {
    case 1: return kendall(x, y);
    case 2: return spearman(x, y);
    default: return pearson(x, y);
  }
}

double to_pearson(int type, double value) {
  switch (type) {
    case 1: return std::sin(kPi * value / 2);
    case 2: return 2 * std::sin(kPi * value / 6);
    default: return value;
  }
}

}  // namespace tarvo::stoc
