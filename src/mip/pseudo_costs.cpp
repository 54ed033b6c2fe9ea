// Pseudo-cost bookkeeping and the branching score.
#include "mip/pseudo_costs.hpp"

#include <algorithm>

namespace tarvo::mip {

void PseudoCosts::record(int j, bool up, double distance, double delta) {
  if (distance <= 1e-9 || !(delta >= 0) || delta > 1e20) return;
  const double g = delta / distance;
  sum_[2 * j + up] += g;
  count_[2 * j + up] += 1;
  total_sum_[up] += g;
  total_count_[up] += 1;
}

double PseudoCosts::unit(int j, bool up) const {
  const int c = count_[2 * j + up];
  if (c > 0) return sum_[2 * j + up] / c;
  return total_count_[up] > 0 ? total_sum_[up] / total_count_[up] : 1.0;
}

PseudoCosts PseudoCosts::remapped(const std::vector<int> &from) const {
  PseudoCosts out(static_cast<int>(from.size()));
  for (size_t j = 0; j < from.size(); ++j) {
    const int k = from[j];
    if (k < 0 || 2 * static_cast<size_t>(k) + 1 >= sum_.size()) continue;
    for (int up = 0; up < 2; ++up) {
      out.sum_[2 * j + up] = sum_[2 * k + up];
      out.count_[2 * j + up] = count_[2 * k + up];
    }
  }
  for (int up = 0; up < 2; ++up) {
    out.total_sum_[up] = total_sum_[up];
    out.total_count_[up] = total_count_[up];
  }
  return out;
}

double branch_score(double down, double up, int rule, double weight, double reference) {
  const double lo = std::min(down, up), hi = std::max(down, up);
  double wmin, wmax;
  if (rule == 1) {
    wmin = 6.25;
    wmax = 0;
  } else if (rule == 2) {
    wmin = 0;
    wmax = 6.25;
  } else {
    wmax = 6.25 / std::max(weight, 1.0);
    wmin = weight * wmax;
  }
  double score = wmin * lo + wmax * hi;
  if (rule != 1 && rule != 2) {
    if (lo > reference) score += 2 * wmax * hi;
    const double mean = 0.5 * (down + up);
    if (down > 0.2 * mean && up > 0.2 * mean) score += mean * 18.75 / std::max(wmin, wmax);
  }
  return score;
}

}  // namespace tarvo::mip
