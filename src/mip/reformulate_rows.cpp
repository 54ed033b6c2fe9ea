// Indicator and all-different reformulations. An indicator row holds only
// while its binary takes the given value: the row is widened by a big-M
// multiple of the binary (an equality or range gets one row per side). An
// all-different group gets value binaries y_jv with sum_v y_jv = 1,
// x_j = sum_v v*y_jv and sum_j y_jv <= 1 for every value.
#include "mip/reformulation.hpp"

#include <algorithm>
#include <cmath>

#include "common/error_codes.hpp"
#include "mip/reformulation_builder.hpp"

namespace tarvo::mip {

int reformulate_indicators(const base::ModelData &d, double bigm, Builder &b) {
  MipProblem &p = b.p;
  const int count = static_cast<int>(d.indicators.row.size());
  if (count == 0) return 0;
  const int n_old = static_cast<int>(b.extra_in_old.size());
  std::vector<std::vector<std::pair<int, double>>> rows(p.m);
  for (int j = 0; j < n_old; ++j)
    for (int k = p.col_start[j]; k < p.col_start[j + 1]; ++k) rows[p.col_index[k]].push_back({j, p.col_value[k]});
  for (int t = 0; t < count; ++t) {
    const int i = d.indicators.row[t], z = d.indicators.var[t];
    const bool on_one = d.indicators.value[t] != 0;
    if (i < 0 || i >= p.m || z < 0 || z >= n_old) return err::kIndexOutOfRange;
    // activity range of the row without the switch column, infinite bounds at the big-M
    double lo_act = 0, up_act = 0;
    for (auto [j, a] : rows[i]) {
      if (j == z) continue;
      const double l = p.col_lo[j] > -1e30 ? p.col_lo[j] : -bigm, u = p.col_up[j] < 1e30 ? p.col_up[j] : bigm;
      lo_act += a > 0 ? a * l : a * u;
      up_act += a > 0 ? a * u : a * l;
    }
    const double lo = p.row_lo[i], up = p.row_up[i];
    const double m_up = up < 1e30 ? std::max(0.0, up_act - up) : 0;
    const double m_lo = lo > -1e30 ? std::max(0.0, lo - lo_act) : 0;
    // on_one: a x <= up + M (1 - z); otherwise a x <= up + M z (and likewise for lo)
    if (up < 1e30) {
      b.add_to_old_row(z, i, on_one ? m_up : -m_up);
      p.row_up[i] = on_one ? up + m_up : up;
      p.row_lo[i] = -1e30;
    }
    if (lo > -1e30) {
      std::vector<std::pair<int, double>> side = rows[i];
      bool has_z = false;
      for (auto &e : side)
        if (e.first == z) {
          e.second += on_one ? -m_lo : m_lo;
          has_z = true;
        }
      if (!has_z) side.push_back({z, on_one ? -m_lo : m_lo});
      if (up < 1e30)
        b.add_row(side, on_one ? lo - m_lo : lo, 1e30);
      else {
        b.add_to_old_row(z, i, on_one ? -m_lo : m_lo);
        p.row_lo[i] = on_one ? lo - m_lo : lo;
      }
    }
  }
  return 0;
}

int reformulate_alldiff(const base::ModelData &d, Builder &b) {
  const AllDiffGroups &g = d.alldiff;
  const int groups = static_cast<int>(g.lower.size());
  for (int k = 0; k < groups; ++k) {
    const int vlo = g.lower[k], vhi = g.upper[k];
    if (vhi < vlo || static_cast<long long>(vhi) - vlo > 100000) return err::kBadInput;
    const int values = vhi - vlo + 1;
    std::vector<std::vector<std::pair<int, double>>> per_value(values);
    for (int q = g.start[k]; q < g.start[k + 1]; ++q) {
      const int j = g.member[q];
      std::vector<std::pair<int, double>> one, link{{j, -1.0}};
      for (int v = 0; v < values; ++v) {
        const int y = b.add_binary();
        one.push_back({y, 1.0});
        link.push_back({y, static_cast<double>(vlo + v)});
        per_value[v].push_back({y, 1.0});
      }
      b.add_row(one, 1, 1);
      b.add_row(link, 0, 0);
    }
    for (auto &terms : per_value) b.add_row(terms, -1e30, 1);
  }
  return 0;
}

}  // namespace tarvo::mip
