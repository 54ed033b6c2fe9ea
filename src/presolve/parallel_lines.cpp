// Parallel vectors by hashing: each vector is sorted, scaled so that its
// first entry is 1, and hashed on its pattern and rounded values; candidates
// with equal hashes are then compared entry by entry.
#include "presolve/parallel_lines.hpp"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace tarvo::presolve {
namespace {

uint64_t mix(uint64_t h, uint64_t v) {
  h ^= v + 0x9e3779b97f4a7c15ULL + (h << 6) + (h >> 2);
  return h;
}

uint64_t hash_line(const std::vector<Entry> &sorted) {
  uint64_t h = sorted.size();
  const double first = sorted[0].value;
  for (const Entry &e : sorted) {
    h = mix(h, static_cast<uint64_t>(e.index));
    // values rounded to 1e-9 relative precision survive small perturbations
    const double q = e.value / first;
    h = mix(h, static_cast<uint64_t>(static_cast<int64_t>(std::llround(q * 1e9))));
  }
  return h;
}

bool parallel(const std::vector<Entry> &a, const std::vector<Entry> &b, double *factor) {
  if (a.size() != b.size()) return false;
  const double f = b[0].value / a[0].value;
  for (size_t k = 0; k < a.size(); ++k) {
    if (a[k].index != b[k].index) return false;
    if (std::fabs(b[k].value - f * a[k].value) > 1e-12 * std::fmax(1.0, std::fabs(b[k].value))) return false;
  }
  *factor = f;
  return true;
}

}  // namespace

std::vector<ParallelGroup> find_parallel(const std::vector<std::vector<Entry>> &lines, const std::vector<char> &alive) {
  const int count = static_cast<int>(lines.size());
  auto by_index = [](const Entry &a, const Entry &b) { return a.index < b.index; };
  // lines already in index order are read in place; the others are sorted copies
  std::vector<std::vector<Entry>> copies;
  std::vector<int> copy_of(count, -1);
  std::vector<std::pair<uint64_t, int>> keyed;
  for (int k = 0; k < count; ++k) {
    if (!alive[k] || lines[k].empty()) continue;
    if (!std::is_sorted(lines[k].begin(), lines[k].end(), by_index)) {
      copy_of[k] = static_cast<int>(copies.size());
      copies.push_back(lines[k]);
      std::sort(copies.back().begin(), copies.back().end(), by_index);
    }
    keyed.push_back({0, k});
  }
  auto line = [&](int k) -> const std::vector<Entry> & { return copy_of[k] < 0 ? lines[k] : copies[copy_of[k]]; };
  for (auto &kk : keyed) kk.first = hash_line(line(kk.second));
  std::sort(keyed.begin(), keyed.end());
  std::vector<ParallelGroup> groups;
  std::vector<char> taken(count, 0);
  for (size_t lo = 0, hi = 0; lo < keyed.size(); lo = hi) {
    hi = lo + 1;
    while (hi < keyed.size() && keyed[hi].first == keyed[lo].first) ++hi;
    if (hi - lo < 2) continue;
    for (size_t p = lo; p < hi; ++p) {
      const int a = keyed[p].second;
      if (taken[a]) continue;
      ParallelGroup g;
      g.members.push_back(a);
      g.factors.push_back(1.0);
      for (size_t q = p + 1; q < hi; ++q) {
        const int b = keyed[q].second;
        double f;
        if (!taken[b] && parallel(line(a), line(b), &f)) {
          g.members.push_back(b);
          g.factors.push_back(f);
          taken[b] = 1;
        }
      }
      if (g.members.size() > 1) groups.push_back(std::move(g));
    }
  }
  std::sort(groups.begin(), groups.end(),
            [](const ParallelGroup &a, const ParallelGroup &b) { return a.members[0] < b.members[0]; });
  return groups;
}

}  // namespace tarvo::presolve
