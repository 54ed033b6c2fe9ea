// Parallel vectors by hashing: each vector is sorted, scaled so that its
// first entry is 1, and hashed on its pattern and rounded values; candidates
// with equal hashes are then compared entry by entry.
#include "presolve/parallel_lines.hpp"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <unordered_map>

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
  std::vector<std::vector<Entry>> sorted(count);
  std::unordered_map<uint64_t, std::vector<int>> buckets;
  for (int k = 0; k < count; ++k) {
    if (!alive[k] || lines[k].empty()) continue;
    sorted[k] = lines[k];
    std::sort(sorted[k].begin(), sorted[k].end(), [](const Entry &a, const Entry &b) { return a.index < b.index; });
    buckets[hash_line(sorted[k])].push_back(k);
  }
  std::vector<ParallelGroup> groups;
  std::vector<char> taken(count, 0);
  for (auto &bucket : buckets) {
    std::vector<int> &ids = bucket.second;
    if (ids.size() < 2) continue;
    std::sort(ids.begin(), ids.end());
    for (size_t p = 0; p < ids.size(); ++p) {
      if (taken[ids[p]]) continue;
      ParallelGroup g;
      g.members.push_back(ids[p]);
      g.factors.push_back(1.0);
      for (size_t q = p + 1; q < ids.size(); ++q) {
        double f;
        if (!taken[ids[q]] && parallel(sorted[ids[p]], sorted[ids[q]], &f)) {
          g.members.push_back(ids[q]);
          g.factors.push_back(f);
          taken[ids[q]] = 1;
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
