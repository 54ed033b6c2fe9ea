#include "mip/root_cost_fixing.hpp"

#include <algorithm>
#include <cmath>

namespace tarvo::mip {

void RootCostFixing::reset(int n) {
  up_rules_.assign(n, {});
  lo_rules_.assign(n, {});
  rules_ = 0;
}

void RootCostFixing::insert(std::vector<Rule> &list, Rule r, bool upper) {
  auto stronger = [upper](double a, double b) { return upper ? a <= b : a >= b; };
  for (const Rule &o : list)
    if (o.cutoff >= r.cutoff && stronger(o.bound, r.bound)) return;
  const size_t before = list.size();
  list.erase(std::remove_if(list.begin(), list.end(),
                            [&](const Rule &o) { return r.cutoff >= o.cutoff && stronger(r.bound, o.bound); }),
             list.end());
  list.push_back(r);
  // full: the weakest bound leaves (the last LP's rule in the tree covers it)
  if (static_cast<int>(list.size()) > kMaxRules) {
    auto weakest = std::max_element(list.begin(), list.end(), [&](const Rule &a, const Rule &b) {
      return upper ? a.bound < b.bound : a.bound > b.bound;
    });
    list.erase(weakest);
  }
  rules_ += static_cast<long long>(list.size()) - static_cast<long long>(before);
}

void RootCostFixing::record(double z, const std::vector<double> &d, const std::vector<double> &x,
                            const std::vector<double> &lo, const std::vector<double> &up,
                            const std::vector<char> &is_int, double scale) {
  if (scale <= 0 || !std::isfinite(z)) return;
  const int n = static_cast<int>(up_rules_.size());
  for (int j = 0; j < n; ++j) {
    if (!is_int[j] || lo[j] >= up[j]) continue;
    const double dj = d[j] * scale;
    const bool at_lo = dj > 1e-7 && x[j] <= lo[j] + 1e-9 && lo[j] > -1e30;
    const bool at_up = dj < -1e-7 && x[j] >= up[j] - 1e-9 && up[j] < 1e30;
    if (!at_lo && !at_up) continue;
    const double span = up[j] - lo[j];  // +inf-like for an open other side
    const double a = std::fabs(dj);
    // x moves at most t from its bound once the cutoff lies below z + a (t + 1)
    // (the same rounding slack as the fixing with the last LP)
    for (int t = 0; t < kMaxRules && t < span; ++t) {
      const double cut = z + a * (t + 1 - 1e-9);
      if (at_lo)
        insert(up_rules_[j], {cut, lo[j] + t}, true);
      else
        insert(lo_rules_[j], {cut, up[j] - t}, false);
    }
  }
}

int RootCostFixing::apply(double cutoff, std::vector<double> &lo, std::vector<double> &up) const {
  if (rules_ == 0) return 0;
  int tightened = 0;
  const int n = static_cast<int>(up_rules_.size());
  for (int j = 0; j < n; ++j) {
    for (const Rule &r : up_rules_[j])
      if (cutoff < r.cutoff && r.bound < up[j]) {
        up[j] = r.bound;
        ++tightened;
      }
    for (const Rule &r : lo_rules_[j])
      if (cutoff < r.cutoff && r.bound > lo[j]) {
        lo[j] = r.bound;
        ++tightened;
      }
  }
  return tightened;
}

RootCostFixing RootCostFixing::remapped(const std::vector<int> &from) const {
  RootCostFixing out;
  out.reset(static_cast<int>(from.size()));
  for (size_t j = 0; j < from.size(); ++j) {
    const int k = from[j];
    if (k < 0 || k >= static_cast<int>(up_rules_.size())) continue;
    out.up_rules_[j] = up_rules_[k];
    out.lo_rules_[j] = lo_rules_[k];
    out.rules_ += static_cast<long long>(up_rules_[k].size() + lo_rules_[k].size());
  }
  return out;
}

}  // namespace tarvo::mip
