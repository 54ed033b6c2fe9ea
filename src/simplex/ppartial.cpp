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

// Largest improving reduced cost of the first segment that has one, scanning
// at most all columns once from the rotating start.
int choose_partial(const Glp &g, PrimalState &ps) {
  const int nt = g.n + g.m;
  if (nt == 0) return -1;
  const int len = segment_length(nt, ps.partial_method);
  int start = ps.segment_start % nt;
  int best = -1;
  double best_v = 0;
  for (int scanned = 0; scanned < nt;) {
    int stop = std::min(nt - scanned, len);
    for (int k = 0; k < stop; ++k) {
      int j = start + k;
      if (j >= nt) j -= nt;
      double v = improvement(g, ps, j);
      if (v > best_v) {
        best_v = v;
        best = j;
      }
    }
    scanned += stop;
    start = (start + stop) % nt;
    if (best >= 0) break;
  }
  ps.segment_start = start;
  return best;
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

int choose_devex(const Glp &g, const PrimalState &ps) {
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

}  // namespace

int choose_entering(Glp &g, PrimalState &ps, bool randomised) {
  if (randomised) return choose_random(g, ps);
  return ps.pricing == kDevexPricing ? choose_devex(g, ps) : choose_partial(g, ps);
}

}  // namespace tarvo::simplex
