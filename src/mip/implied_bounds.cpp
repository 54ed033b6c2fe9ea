// Single-row implications of fixing a binary: the least activity of the rest
// of the row bounds every other column.
#include "mip/implied_bounds.hpp"

#include <algorithm>
#include <cmath>

namespace tarvo::mip {

namespace {
constexpr double kInf = 1e30;
constexpr int kMaxRowLength = 200;
}  // namespace

std::vector<ImpliedBound> find_implied_bounds(const MipProblem &p, size_t limit) {
  std::vector<ImpliedBound> out;
  std::vector<double> lowest;  // least contribution per entry
  for (int i = 0; i < p.m && out.size() < limit; ++i) {
    const int s = p.row_start[i], e = p.row_start[i + 1];
    if (e - s < 3 || e - s > kMaxRowLength) continue;  // two-entry rows are their own implications
    for (double side : {1.0, -1.0}) {
      const double b = side > 0 ? p.row_up[i] : -p.row_lo[i];
      if (std::fabs(b) >= kInf) continue;
      double minact = 0;
      bool finite = true;
      lowest.assign(e - s, 0.0);
      for (int q = s; q < e; ++q) {
        const int j = p.row_index[q];
        const double a = side * p.row_value[q];
        const double v = a > 0 ? p.col_lo[j] : p.col_up[j];
        if (std::fabs(v) >= kInf) {
          finite = false;
          break;
        }
        lowest[q - s] = a * v;
        minact += a * v;
      }
      if (!finite) continue;
      for (int qy = s; qy < e && out.size() < limit; ++qy) {
        const int y = p.row_index[qy];
        if (!p.is_binary(y)) continue;
        const double ay = side * p.row_value[qy];
        for (int v = 0; v <= 1; ++v) {
          const double act_v = minact - lowest[qy - s] + ay * v;
          if (act_v > b + 1e-9 * (1 + std::fabs(b))) continue;  // y = v is impossible: no implication needed
          for (int q = s; q < e && out.size() < limit; ++q) {
            if (q == qy) continue;
            const int k = p.row_index[q];
            if (p.is_binary(k)) continue;  // binary pairs are conflicts, kept by the conflict graph
            const double a = side * p.row_value[q];
            const double room = b - (act_v - lowest[q - s]);
            const double range = p.col_up[k] - p.col_lo[k];
            if (!(range < kInf) || range <= 0) continue;
            const double margin = 1e-6 * (1 + range);
            if (a > 0) {
              double u = room / a;
              if (p.is_int[k]) u = std::floor(u + 1e-9);
              if (u < p.col_up[k] - margin && u >= p.col_lo[k]) out.push_back({y, v, k, true, u});
            } else {
              double l = room / a;
              if (p.is_int[k]) l = std::ceil(l - 1e-9);
              if (l > p.col_lo[k] + margin && l <= p.col_up[k]) out.push_back({y, v, k, false, l});
            }
          }
        }
      }
    }
  }
  return out;
}

}  // namespace tarvo::mip
