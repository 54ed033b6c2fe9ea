#include "mip/flow_set.hpp"

#include <algorithm>
#include <cmath>

namespace tarvo::mip {

namespace {
constexpr double kInf = 1e30;
}

std::vector<Vub> variable_upper_bounds(const MipProblem &p, const double *x) {
  std::vector<Vub> vub(p.n);
  std::vector<double> slack(p.n, kInf);
  for (int i = 0; i < p.m; ++i) {
    if (p.row_start[i + 1] - p.row_start[i] != 2) continue;
    const int s = p.row_start[i];
    for (int k = 0; k < 2; ++k) {
      const int y = p.row_index[s + k], z = p.row_index[s + 1 - k];
      const double ay = p.row_value[s + k], az = p.row_value[s + 1 - k];
      if (p.is_int[y] || p.col_lo[y] != 0.0 || !p.is_binary(z)) continue;
      // ay y + az z <= 0 (or >= 0 with the signs turned)
      for (double side : {1.0, -1.0}) {
        const double b = side > 0 ? p.row_up[i] : -p.row_lo[i];
        if (b != 0.0 || side * ay <= 0 || side * az >= 0) continue;
        const double u = std::min(-az / ay, p.col_up[y]);
        const double sl = u * x[z] - x[y];
        if (sl < slack[y]) slack[y] = sl, vub[y] = {z, u};
      }
    }
  }
  return vub;
}

bool make_flow_set(const SepInput &in, const std::vector<Vub> &vub, const int *idx, const double *val, int len,
                   double side, double b, bool keep_bounded, FlowSet &out) {
  const MipProblem &p = in.prob;
  const ExtendedVars &e = in.ext;
  out.items.clear();
  for (int q = 0; q < len; ++q) {
    const int j = idx[q];
    const double a = side * val[q];
    if (a == 0.0) continue;
    if (!e.known[j]) return false;
    const double abs_a = std::fabs(a);
    const bool column = j < p.n;  // else the slack of an LP row
    if (column && p.is_binary(j)) {
      out.items.push_back({j, abs_a, 0.0, j, abs_a, abs_a * e.x[j], e.x[j], a > 0});
    } else if (column && !p.is_int[j] && vub[j].bin >= 0) {
      const int z = vub[j].bin;
      out.items.push_back({j, abs_a, 0.0, z, abs_a * vub[j].u, abs_a * e.x[j], e.x[z], a > 0});
    } else if (!keep_bounded) {
      const double bound = a > 0 ? e.lo[j] : e.up[j];
      if (std::fabs(bound) >= kInf) return false;
      b -= a * bound;
    } else if (e.lo[j] > -kInf) {  // a v = a lo + a (v - lo)
      const double cap = e.up[j] < kInf ? abs_a * (e.up[j] - e.lo[j]) : kInf;
      out.items.push_back({j, abs_a, e.lo[j], -1, cap, abs_a * (e.x[j] - e.lo[j]), 1.0, a > 0});
      b -= a * e.lo[j];
    } else if (e.up[j] < kInf) {   // a v = a up - a (up - v)
      out.items.push_back({j, -abs_a, e.up[j], -1, kInf, abs_a * (e.up[j] - e.x[j]), 1.0, a < 0});
      b -= a * e.up[j];
    } else {
      return false;
    }
  }
  out.b = b;
  return std::isfinite(b);
}

void add_flow_term(const FlowItem &it, double coef, Cut &cut) {
  cut.index.push_back(it.col);
  cut.value.push_back(coef * it.a);
  cut.rhs += coef * it.a * it.shift;
}

void add_switch_term(const FlowItem &it, double coef, Cut &cut) {
  if (it.bin < 0) {
    cut.rhs -= coef;
    return;
  }
  cut.index.push_back(it.bin);
  cut.value.push_back(coef);
}

}  // namespace tarvo::mip
