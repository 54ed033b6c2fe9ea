#include "simplex/dual_ratio_walk.hpp"

#include <algorithm>
#include <functional>

namespace tarvo::simplex {
namespace {

constexpr double kInf = 1e30;  // the simplex's infinite bound

// One group of the walk: the candidates reachable within `tmax`, with the
// slope they take off when they flip and the largest pivot among them.
struct WalkGroup {
  double reduction = 0;
  bool unboxed = false;
  int best = -1;
  void add(const Candidate &c, int t, const std::vector<Candidate> &cands, const double *lower, const double *upper) {
    if (lower && lower[c.j] > -kInf && upper[c.j] < kInf)
      reduction += c.absval * (upper[c.j] - lower[c.j]);
    else
      unboxed = true;
    if (best < 0 || c.absval > cands[best].absval) best = t;
  }
  bool flips(double slope, double ptol) const { return !unboxed && slope - reduction > ptol; }
};

// The walk over cands[from..) in exact-ratio order drawn from two heaps
// (exact ratio; relaxed ratio with lazy deletion): O(k + c log k) for c
// breakpoints passed.
int heap_walk(std::vector<Candidate> &cands, std::size_t from, double slope, const double *lower, const double *upper,
              double ptol, std::vector<int> &flips, WalkScratch &ws) {
  // heap entries carry their key: no indirection in the comparisons
  const auto later = std::greater<std::pair<double, int>>();
  const int k = static_cast<int>(cands.size());
  ws.by_exact.clear();
  ws.by_ratio.clear();
  for (int t = static_cast<int>(from); t < k; ++t) {
    ws.by_exact.push_back({cands[t].exact, t});
    ws.by_ratio.push_back({cands[t].ratio, t});
  }
  std::make_heap(ws.by_exact.begin(), ws.by_exact.end(), later);
  std::make_heap(ws.by_ratio.begin(), ws.by_ratio.end(), later);
  ws.taken.assign(k, 0);
  while (!ws.by_exact.empty()) {
    while (ws.taken[ws.by_ratio.front().second]) {
      std::pop_heap(ws.by_ratio.begin(), ws.by_ratio.end(), later);
      ws.by_ratio.pop_back();
    }
    const double tmax = ws.by_ratio.front().first;
    WalkGroup grp;
    const std::size_t group_start = flips.size();
    while (!ws.by_exact.empty() && ws.by_exact.front().first <= tmax) {
      const int t = ws.by_exact.front().second;
      std::pop_heap(ws.by_exact.begin(), ws.by_exact.end(), later);
      ws.by_exact.pop_back();
      ws.taken[t] = 1;
      grp.add(cands[t], t, cands, lower, upper);
      flips.push_back(cands[t].j);  // provisionally: dropped again below if the group does not flip
    }
    if (grp.best < 0) break;
    if (grp.flips(slope, ptol)) {
      slope -= grp.reduction;
      continue;
    }
    flips.resize(group_start);
    return cands[grp.best].j;
  }
  return -1;
}

}  // namespace

// Bound-flipping walk over the breakpoints in order of their exact ratio:
// while the slope stays positive after passing a group of boxed candidates
// (those reachable within the smallest relaxed ratio left) the group flips;
// otherwise the largest pivot of the group enters. Long pivot rows of boxed
// columns pass a handful of breakpoints among tens of thousands: the first
// group costs one linear pass, the next ones are walked in the few smallest
// ratios (selected, then sorted), and only a walk beyond those builds heaps.
int bound_flipping_walk(std::vector<Candidate> &cands, double slope, const double *lower, const double *upper,
                        double ptol, std::vector<int> &flips, WalkScratch &ws) {
  flips.clear();
  {
    double tmax = kInf;
    for (const Candidate &c : cands) tmax = std::min(tmax, c.ratio);
    WalkGroup grp;
    for (std::size_t t = 0; t < cands.size(); ++t)
      if (cands[t].exact <= tmax) grp.add(cands[t], static_cast<int>(t), cands, lower, upper);
    if (grp.best < 0) return -1;
    if (!grp.flips(slope, ptol)) return cands[grp.best].j;
    slope -= grp.reduction;
    std::size_t w = 0;
    for (std::size_t t = 0; t < cands.size(); ++t) {
      if (cands[t].exact <= tmax)
        flips.push_back(cands[t].j);
      else
        cands[w++] = cands[t];
    }
    cands.resize(w);
  }
  constexpr std::size_t kChunk = 64;
  const std::size_t k = cands.size();
  const std::size_t chunk = std::min(k, kChunk);
  auto by_exact = [](const Candidate &a, const Candidate &b) { return a.exact < b.exact; };
  if (chunk < k) std::nth_element(cands.begin(), cands.begin() + chunk, cands.end(), by_exact);
  std::sort(cands.begin(), cands.begin() + chunk, by_exact);
  // beyond the chunk: its smallest exact ratio (cands[chunk]) and relaxed ratio
  double rest_ratio = kInf;
  for (std::size_t t = chunk; t < k; ++t) rest_ratio = std::min(rest_ratio, cands[t].ratio);
  ws.suffix_min.assign(chunk + 1, rest_ratio);
  for (std::size_t t = chunk; t-- > 0;) ws.suffix_min[t] = std::min(ws.suffix_min[t + 1], cands[t].ratio);
  std::size_t start = 0;
  while (start < chunk) {
    const double tmax = ws.suffix_min[start];
    WalkGroup grp;
    std::size_t end = start;
    for (; end < chunk && cands[end].exact <= tmax; ++end) grp.add(cands[end], static_cast<int>(end), cands, lower, upper);
    if (end == chunk && chunk < k && cands[chunk].exact <= tmax) break;  // the group reaches past the chunk
    if (end == start) return -1;
    if (!grp.flips(slope, ptol)) return cands[grp.best].j;
    slope -= grp.reduction;
    for (std::size_t t = start; t < end; ++t) flips.push_back(cands[t].j);
    start = end;
  }
  if (start >= k) return -1;
  return heap_walk(cands, start, slope, lower, upper, ptol, flips, ws);
}

}  // namespace tarvo::simplex
