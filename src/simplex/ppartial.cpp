// Primal pricing entry: the improving amount of a nonbasic variable, partial
// pricing over rotating segments of the columns, and the dispatch to Devex.
#include <algorithm>
#include <cmath>

#include "simplex/primal.hpp"

namespace tarvo::simplex {

double improvement(const Glp &g, const PrimalState &ps, int j) {
  signed char st = g.state[j];
  if (st == kBasic || ps.rejected[j] || g.lower[j] == g.upper[j]) return 0.0;
  double dj = g.d[j];
  if ((st == kAtLower || st == kFreeZero) && dj < -g.dtol) return -dj;
  if ((st == kAtUpper || st == kFreeZero) && dj > g.dtol) return dj;
  return 0.0;
}

namespace {

// Segment length of partial method 1 (few long segments) and 2 (more, shorter).
int segment_length(int nt, int method) {
  int parts = method == 1 ? 4 : 16;
  return std::max(std::min(nt, 500), nt / parts);
}

// Keeps the best `cap` entries of an overfull list and counts merges past the
// fill factor; too many of them ask for a refactorisation.
void after_merge(Glp &g, PrimalState &ps, std::size_t cap) {
  PartialList &L = ps.partial;
  if (static_cast<double>(L.cand.size()) > L.merge_fact * static_cast<double>(cap)) {
    const long long limit =
        L.merge_limit > 0 ? L.merge_limit : static_cast<long long>(std::min(g.refactor_freq, 200)) * g.m;
    if (++L.overfull > limit && g.wfact == WFACT_NO) {
      g.wfact = WFACT_MAXDMERGE;
      L.overfull = 0;
    }
  }
  if (L.cand.size() <= cap) return;
  auto by_gain = [&](int a, int b) { return improvement(g, ps, a) > improvement(g, ps, b); };
  std::nth_element(L.cand.begin(), L.cand.begin() + static_cast<std::ptrdiff_t>(cap), L.cand.end(), by_gain);
  for (std::size_t k = cap; k < L.cand.size(); ++k) L.listed[L.cand[k]] = 0;
  L.cand.resize(cap);
}

// Prices the candidate list, then merges in the next segment (more of them
// while nothing improves, every column once at most) and takes the largest
// improving reduced cost.
int choose_partial(Glp &g, PrimalState &ps) {
  const int nt = g.n + g.m;
  if (nt == 0) return -1;
  PartialList &L = ps.partial;
  if (static_cast<int>(L.listed.size()) != nt) {
    L.listed.assign(nt, 0);
    L.cand.clear();
  }
  int best = -1;
  double best_v = 0;
  std::size_t keep = 0;
  for (int j : L.cand) {
    const double v = improvement(g, ps, j);
    if (v == 0.0) {
      L.listed[j] = 0;
      continue;
    }
    L.cand[keep++] = j;
    if (v > best_v) {
      best_v = v;
      best = j;
    }
  }
  L.cand.resize(keep);
  const int len = segment_length(nt, ps.partial_method);
  int start = ps.segment_start % nt;
  int scanned = 0;
  while (scanned < nt) {
    const int stop = std::min(nt - scanned, len);
    const std::size_t before = L.cand.size();
    for (int k = 0; k < stop; ++k) {
      int j = start + k;
      if (j >= nt) j -= nt;
      if (L.listed[j]) continue;
      const double v = improvement(g, ps, j);
      if (v <= 0) continue;
      L.cand.push_back(j);
      L.listed[j] = 1;
      if (v > best_v) {
        best_v = v;
        best = j;
      }
    }
    scanned += stop;
    start = (start + stop) % nt;
    if (L.cand.size() > before) after_merge(g, ps, static_cast<std::size_t>(len));
    if (best >= 0) break;
  }
  if (scanned >= nt) {
    ++g.stats.full_prices;
    if (best < 0)
      trace_event(g, kTracePricing, " ppart candid list empty, fiter=%d, scanned-full=%d.", static_cast<int>(g.iterations),
                  static_cast<int>(g.stats.full_prices));
  }
  ps.segment_start = start;
  return best;
}

int choose_bucketed(Glp &g, PrimalState &ps);

// Refills the buckets from a full scan and takes the best of the first one.
int choose_bucketed_full(Glp &g, PrimalState &ps) {
  ++g.stats.full_prices;
  const int nt = g.n + g.m;
  int best = -1;
  double best_v = 0;
  for (int j = 0; j < nt; ++j) {
    const double v = improvement(g, ps, j);
    if (v <= 0) continue;
    file_candidate(ps, j, v);
    if (v > best_v) {
      best_v = v;
      best = j;
    }
  }
  ps.buckets.primed = best >= 0;
  return best;
}

// Method 3: the best column of the first bucket that still holds an improving
// one; stale entries leave their bucket as they are met. With every bucket
// empty a full scan files all improving columns.
int choose_bucketed(Glp &g, PrimalState &ps) {
  PricingBuckets &pb = ps.buckets;
  const int nt = g.n + g.m;
  if (static_cast<int>(pb.filed.size()) != nt) pb.filed.assign(nt, 0);
  for (int pass = 0; pass < 2; ++pass) {
    for (int b = 1; b <= PricingBuckets::kCount; ++b) {
      std::vector<int> &list = pb.bucket[b];
      int best = -1;
      double best_v = 0;
      std::size_t keep = 0;
      for (int j : list) {
        const double v = improvement(g, ps, j);
        if (v == 0.0) {
          pb.filed[j] = 0;
          continue;
        }
        list[keep++] = j;
        if (v > best_v) {
          best_v = v;
          best = j;
        }
      }
      list.resize(keep);
      if (best >= 0) return best;
    }
    if (pass == 1 || pb.primed) break;
    ++g.stats.full_prices;
    for (int j = 0; j < nt; ++j) {
      const double v = improvement(g, ps, j);
      if (v > 0) file_candidate(ps, j, v);
    }
    pb.primed = true;
  }
  // primed buckets ran dry: one more full scan decides
  pb.primed = false;
  return choose_bucketed_full(g, ps);
}

// Uniform choice among all improving columns (reservoir sampling).
int choose_random(const Glp &g, PrimalState &ps) {
  int pick = -1, seen = 0;
  for (int j = 0; j < g.n + g.m; ++j) {
    if (improvement(g, ps, j) == 0.0) continue;
    ++seen;
    ps.seed = ps.seed * 1664525u + 1013904223u;
    if ((ps.seed >> 8) % static_cast<std::uint32_t>(seen) == 0) pick = j;
  }
  return pick;
}

int choose_devex(Glp &g, const PrimalState &ps) {
  ++g.stats.full_prices;
  int best = -1;
  double best_score = 0;
  for (int j = 0; j < g.n + g.m; ++j) {
    double v = improvement(g, ps, j);
    if (v == 0.0) continue;
    double score = v * v / ps.devex[j];
    if (score > best_score) {
      best_score = score;
      best = j;
    }
  }
  return best;
}

// Free columns enter first: once basic they never leave.
int choose_free(const Glp &g, const PrimalState &ps) {
  int best = -1;
  double best_v = 0;
  for (int j : ps.free_cols) {
    const double v = improvement(g, ps, j);
    if (v > best_v) {
      best_v = v;
      best = j;
    }
  }
  return best;
}

}  // namespace

int bucket_of(double r) {
  if (!(r >= 3.051758e-06)) return PricingBuckets::kCount;
  if (r >= 17179500000.0) return 1;
  int e = 0;
  std::frexp(r, &e);
  return std::clamp(20 - e, 1, PricingBuckets::kCount);
}

void file_candidate(PrimalState &ps, int j, double r) {
  PricingBuckets &pb = ps.buckets;
  if (j < 0 || j >= static_cast<int>(pb.filed.size()) || pb.filed[j]) return;
  pb.filed[j] = 1;
  pb.bucket[bucket_of(r)].push_back(j);
}

int choose_entering(Glp &g, PrimalState &ps, bool randomised) {
  if (randomised) return choose_random(g, ps);
  if (ps.free_first && !ps.free_cols.empty()) {
    const int f = choose_free(g, ps);
    if (f >= 0) return f;
  }
  if (ps.pricing == kDevexPricing) return choose_devex(g, ps);
  return ps.partial_method == 3 ? choose_bucketed(g, ps) : choose_partial(g, ps);
}

}  // namespace tarvo::simplex
