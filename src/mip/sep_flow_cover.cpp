// Flow cover cuts. A row side is relaxed to a single-node flow set
//   sum_{N1} f_j - sum_{N2} f_j <= b,  0 <= f_j <= c_j x_j,  x_j binary,
// where f_j is a continuous column with a variable upper bound y <= u x
// (f = |a| y) or a binary column alone (f = |a| x); other columns go to the
// bound that relaxes the row. A cover C1 of N1 with excess
// lambda = sum_{C1} c_j - b > 0 gives the flow cover inequality
//   sum_{C1} f_j + sum_{C1} (c_j - lambda)^+ (1 - x_j)
//     <= b + lambda * sum_{L2} x_j + sum_{N2 \ L2} f_j
// for any L2 of N2, chosen here term by term for the most violation.
#include <algorithm>
#include <cmath>

#include "mip/separators.hpp"

namespace tarvo::mip {

namespace {
constexpr double kInf = 1e30;
constexpr int kMaxRowLength = 1000;
constexpr double kMinExcess = 1e-3;

struct FlowItem {
  int flow_col;   // column carrying the flow (the binary itself for a binary item)
  double a;       // f = a * column value, a > 0
  int bin;        // binary switching it
  double cap;     // f <= cap * x_bin
  double f, xb;   // LP values
};

// Variable upper bounds y <= u x of each continuous column with lower bound 0,
// from two-entry rows y - u x <= 0; the one with the least LP slack is kept.
struct Vub {
  int bin = -1;
  double u = 0;
};

std::vector<Vub> variable_upper_bounds(const SepInput &in) {
  const MipProblem &p = in.prob;
  std::vector<Vub> vub(p.n);
  std::vector<double> slack(p.n, kInf);
  for (int i = 0; i < p.m; ++i) {
    if (p.row_start[i + 1] - p.row_start[i] != 2) continue;
    const int s = p.row_start[i];
    for (int k = 0; k < 2; ++k) {
      const int y = p.row_index[s + k], x = p.row_index[s + 1 - k];
      const double ay = p.row_value[s + k], ax = p.row_value[s + 1 - k];
      if (p.is_int[y] || p.col_lo[y] != 0.0 || !p.is_binary(x)) continue;
      // ay y + ax x <= up with up = 0 (or >= lo = 0 with the signs turned)
      for (double side : {1.0, -1.0}) {
        const double b = side > 0 ? p.row_up[i] : -p.row_lo[i];
        if (b != 0.0 || side * ay <= 0 || side * ax >= 0) continue;
        const double u = std::min(-ax / ay, p.col_up[y]);
        const double sl = u * in.x[x] - in.x[y];
        if (sl < slack[y]) slack[y] = sl, vub[y] = {x, u};
      }
    }
  }
  return vub;
}

bool flow_cover_of_side(const SepInput &in, const std::vector<Vub> &vub, const int *idx, const double *val, int len,
                        double side, double b, Cut &out) {
  const MipProblem &p = in.prob;
  const ExtendedVars &e = in.ext;
  std::vector<FlowItem> n1, n2;
  for (int q = 0; q < len; ++q) {
    const int j = idx[q];
    const double a = side * val[q];
    if (a == 0.0) continue;
    FlowItem it;
    if (p.is_binary(j)) {
      it = {j, std::fabs(a), j, std::fabs(a), std::fabs(a) * in.x[j], in.x[j]};
    } else if (!p.is_int[j] && vub[j].bin >= 0) {
      const int x = vub[j].bin;
      it = {j, std::fabs(a), x, std::fabs(a) * vub[j].u, std::fabs(a) * in.x[j], in.x[x]};
    } else {
      const double bound = a > 0 ? e.lo[j] : e.up[j];
      if (std::fabs(bound) >= kInf) return false;
      b -= a * bound;
      continue;
    }
    (a > 0 ? n1 : n2).push_back(it);
  }
  // without a continuous flow the set is a knapsack, which the covers handle
  const auto continuous = [&](const FlowItem &it) { return it.flow_col != it.bin; };
  if (n1.size() < 2 || !std::isfinite(b) ||
      (std::none_of(n1.begin(), n1.end(), continuous) && std::none_of(n2.begin(), n2.end(), continuous)))
    return false;
  // cover: switched-on items first, then by capacity, until the capacities pass b
  std::sort(n1.begin(), n1.end(), [](const FlowItem &s, const FlowItem &t) {
    return s.xb != t.xb ? s.xb > t.xb : s.cap > t.cap;
  });
  const double eps = 1e-9 * (1 + std::fabs(b));
  double total = 0;
  size_t take = 0;
  while (take < n1.size() && total <= b + eps) total += n1[take++].cap;
  const double lambda = total - b;
  if (lambda <= eps) return false;
  double cmax = 0;
  for (size_t t = 0; t < take; ++t) cmax = std::max(cmax, n1[t].cap);
  if (cmax <= lambda + eps) return false;  // no (c_j - lambda)^+ term: the row itself
  // a tiny excess gives coefficients lambda far below the others: a badly scaled cut
  if (lambda < kMinExcess * cmax) return false;
  out.index.clear();
  out.value.clear();
  double rhs = b;
  for (size_t t = 0; t < take; ++t) {
    const FlowItem &it = n1[t];
    out.index.push_back(it.flow_col);
    out.value.push_back(it.a);
    const double extra = std::max(0.0, it.cap - lambda);
    if (extra > 0) {  // + extra * (1 - x)
      out.index.push_back(it.bin);
      out.value.push_back(-extra);
      rhs -= extra;
    }
  }
  for (const FlowItem &it : n2) {
    if (lambda * it.xb < it.f) {  // L2: - lambda x
      out.index.push_back(it.bin);
      out.value.push_back(-lambda);
    } else {  // - f
      out.index.push_back(it.flow_col);
      out.value.push_back(-it.a);
    }
  }
  out.rhs = rhs;
  out.tag = "FLOW";
  if (!tidy_cut(out, p, in.safety)) return false;
  out.efficacy = cut_efficacy(out, in.x);
  return out.efficacy >= in.safety.min_efficacy;
}

}  // namespace

void separate_flow_covers(const SepInput &in, std::vector<Cut> &out) {
  const std::vector<Vub> vub = variable_upper_bounds(in);
  separate_row_sides(in, kMaxRowLength, out,
                     [&](const int *idx, const double *val, int len, double side, double b, Cut &cut) {
                       return flow_cover_of_side(in, vub, idx, val, len, side, b, cut);
                     });
}

}  // namespace tarvo::mip
