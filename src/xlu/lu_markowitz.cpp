// Markowitz search with threshold pivoting over the active submatrix. Columns
// and rows are scanned by increasing count; an entry is a candidate when it
// reaches rel_pivot_tol times its column maximum and exceeds the column's
// absolute tolerance. The search stops num_candidates lines after the first
// candidate, or as soon as no unseen line can beat the best cost. A column
// whose maximum is below its tolerance is handed back as dependent. The rook
// rule also asks the pivot to reach rel_pivot_tol times the largest entry of
// its row; that row maximum is computed only for a candidate that would win.
// With condition control (min_rcond > 0) a pivot smaller than the threshold
// times the largest pivot so far is a fallback like a rook-failed one.
// A row without an entry passing the column test is parked (left out of the
// search) until its count or the maximum of one of its columns changes.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

#include "xlu/lu_internal.hpp"

namespace tarvo::xlu::detail {

int markowitz(Work& W, int& r_out, int& c_out) {
  if (W.nactive == 0) return 0;
  const double rel = W.opt.rel_pivot_tol;
  const int ncand = W.opt.num_candidates < 1 ? 1 : W.opt.num_candidates;
  const File& AC = W.AC;
  const File& AR = W.AR;
  std::int64_t best = std::numeric_limits<std::int64_t>::max();
  double best_ratio = 0.0;
  int br = -1, bc = -1;
  int examined = 0;
  const int maxcount = W.bump_size;

  const bool rook = W.opt.pivot_rule == 1;
  auto row_max = [&](int i) {
    double mx = 0.0;
    for (int q = AR.begin[i]; q < AR.end[i]; ++q) {
      const int j = AR.index[q];
      W.work += AC.length(j);
      for (int p = AC.begin[j]; p < AC.end[j]; ++p)
        if (AC.index[p] == i) {
          mx = std::max(mx, std::fabs(AC.value[p]));
          break;
        }
    }
    return mx;
  };
  // Condition control: pivots under this magnitude are taken only as a fallback.
  const double weak_below = W.rcond_threshold > 0.0 ? W.rcond_threshold * W.pivot_max : 0.0;
  // Best pivot by the column test alone: taken when no entry passes the rook
  // test or the condition control.
  std::int64_t fb_cost = std::numeric_limits<std::int64_t>::max();
  int fr = -1, fc = -1;
  double fb_abs = 0.0;
  auto consider = [&](int i, int j, double a, double cmax, std::int64_t cost) {
    const double ratio = a / cmax;
    if (cost < best || (cost == best && ratio > best_ratio)) {
      const bool weak = a < weak_below;
      if (rook || weak) {
        if (cost < fb_cost || (cost == fb_cost && a > fb_abs)) {
          fb_cost = cost;
          fb_abs = a;
          fr = i;
          fc = j;
        }
        if (weak || a < rel * row_max(i)) return;
      }
      best = cost;
      best_ratio = ratio;
      br = i;
      bc = j;
    }
  };

  for (int cnt = 1; cnt <= maxcount; ++cnt) {
    for (int j = W.chead[cnt]; j >= 0; j = W.cnext[j]) {
      const double cmax = W.colmax[j];
      const double tol = column_tol(W, j);
      if (cmax <= tol) {
        c_out = j;
        return 2;
      }
      const double thr = rel * cmax;
      W.work += AC.length(j);
      for (int p = AC.begin[j]; p < AC.end[j]; ++p) {
        const double a = std::fabs(AC.value[p]);
        if (a < thr || a <= tol) continue;
        const int i = AC.index[p];
        const std::int64_t cost =
            static_cast<std::int64_t>(cnt - 1) * (AR.length(i) - 1);
        consider(i, j, a, cmax, cost);
      }
      ++examined;
      if ((bc >= 0 || (fc >= 0 && examined >= 4 * ncand)) && (examined >= ncand ||
                      best <= static_cast<std::int64_t>(cnt - 1) * (cnt - 1)))
        goto done;
    }
    for (int i = W.rhead[cnt], next; i >= 0; i = next) {
      next = W.rnext[i];
      bool acceptable = false, pruned = false;
      for (int q = AR.begin[i]; q < AR.end[i]; ++q) {
        const int j = AR.index[q];
        const std::int64_t cost =
            static_cast<std::int64_t>(AC.length(j) - 1) * (cnt - 1);
        if (cost > best) {  // cannot win: spare the search of column j
          pruned = true;
          continue;
        }
        W.work += AC.length(j);
        const double cmax = W.colmax[j];
        const double tol = column_tol(W, j);
        if (cmax <= tol) continue;  // the column pass will drop it
        double a = 0.0;
        for (int p = AC.begin[j]; p < AC.end[j]; ++p) {
          if (AC.index[p] == i) {
            a = std::fabs(AC.value[p]);
            break;
          }
        }
        if (a < rel * cmax || a <= tol) continue;
        acceptable = true;
        consider(i, j, a, cmax, cost);
      }
      if (!acceptable) {
        // Rescanning it at every pivot made the search quadratic on large bumps.
        if (!pruned) park_row(W, i);
        continue;
      }
      ++examined;
      if ((bc >= 0 || (fc >= 0 && examined >= 4 * ncand)) && (examined >= ncand ||
                      best <= static_cast<std::int64_t>(cnt - 1) * cnt))
        goto done;
    }
    // Every line not seen yet has count > cnt in both directions.
    if ((bc >= 0 && best <= static_cast<std::int64_t>(cnt) * cnt) || (fc >= 0 && examined >= 4 * ncand)) goto done;
  }
done:
  if (bc < 0 && fc >= 0) {
    br = fr;
    bc = fc;
    if (fb_abs < weak_below) W.rcond_threshold = fb_abs / W.pivot_max;
  }
  if (bc < 0) {
    // Only reachable when no listed column has an acceptable entry.
    for (int cnt = 1; cnt <= maxcount; ++cnt) {
      if (W.chead[cnt] >= 0) {
        c_out = W.chead[cnt];
        return 2;
      }
    }
    return 0;
  }
  r_out = br;
  c_out = bc;
  return 1;
}

}  // namespace tarvo::xlu::detail
