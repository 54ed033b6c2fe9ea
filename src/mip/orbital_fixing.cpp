// Orbits of the node's symmetry subgroup for orbital fixing (see orbital_fixing.hpp).
#include "mip/orbital_fixing.hpp"

#include <algorithm>

namespace tarvo::mip {

OrbitalFixing::OrbitalFixing(int n, std::vector<Generator> generators, bool whole_group)
    : gens_(std::move(generators)), moved_(n, 0), sets_(n), whole_group_(whole_group) {
  for (const Generator &g : gens_)
    for (const auto &m : g) moved_[m.first] = 1;
}

const std::vector<int> &OrbitalFixing::orbit(int j, const double *lo, const double *up) {
  orbit_.clear();
  if (j < 0 || j >= static_cast<int>(moved_.size()) || !moved_[j]) return orbit_;
  keeps_.assign(gens_.size(), 1);
  for (std::size_t g = 0; g < gens_.size(); ++g) {
    for (const auto &m : gens_[g])
      if (lo[m.first] != lo[m.second] || up[m.first] != up[m.second]) {
        keeps_[g] = 0;
        break;
      }
    if (!keeps_[g] && whole_group_) return orbit_;
  }
  for (std::size_t g = 0; g < gens_.size(); ++g) {
    if (!keeps_[g]) continue;
    for (const auto &m : gens_[g]) {
      if (sets_.find(m.first) == sets_.find(m.second)) continue;
      sets_.unite(m.first, m.second);
      touched_.push_back(m.first);
      touched_.push_back(m.second);
    }
  }
  const int r = sets_.find(j);
  for (int v : touched_)
    if (v != j && sets_.find(v) == r) orbit_.push_back(v);
  // only columns joined above can have left their own set
  for (int v : touched_) sets_.up[v] = v;
  touched_.clear();
  std::sort(orbit_.begin(), orbit_.end());
  orbit_.erase(std::unique(orbit_.begin(), orbit_.end()), orbit_.end());
  if (!orbit_.empty()) ++branchings_;
  return orbit_;
}

}  // namespace tarvo::mip
