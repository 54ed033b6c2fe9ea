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

#include "mip/flow_set.hpp"

namespace tarvo::mip {

namespace {
constexpr int kMaxRowLength = 1000;
constexpr double kMinExcess = 1e-3;

bool flow_cover_of_side(const SepInput &in, const std::vector<Vub> &vub, const int *idx, const double *val, int len,
                        double side, double b, Cut &out) {
  const MipProblem &p = in.prob;
  FlowSet set;
  if (!make_flow_set(in, vub, idx, val, len, side, b, false, set)) return false;
  b = set.b;
  std::vector<FlowItem> n1, n2;
  for (const FlowItem &it : set.items) (it.inflow ? n1 : n2).push_back(it);
  // without a continuous flow the set is a knapsack, which the covers handle
  const auto continuous = [&](const FlowItem &it) { return it.col != it.bin; };
  if (n1.size() < 2 || !std::isfinite(b) ||
      (std::none_of(n1.begin(), n1.end(), continuous) && std::none_of(n2.begin(), n2.end(), continuous)))
    return false;
  // cover: switched-on items first, then by capacity, until the capacities pass b
  std::sort(n1.begin(), n1.end(), [](const FlowItem &s, const FlowItem &t) {
    return s.x != t.x ? s.x > t.x : s.cap > t.cap;
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
  out.rhs = b;
  for (size_t t = 0; t < take; ++t) {
    const FlowItem &it = n1[t];
    add_flow_term(it, 1.0, out);
    const double extra = std::max(0.0, it.cap - lambda);
    if (extra > 0) {  // + extra * (1 - x)
      add_switch_term(it, -extra, out);
      out.rhs -= extra;
    }
  }
  for (const FlowItem &it : n2) {
    if (lambda * it.x < it.y)  // L2: - lambda x
      add_switch_term(it, -lambda, out);
    else  // - f
      add_flow_term(it, -1.0, out);
  }
  out.tag = "FLOW";
  if (!tidy_cut(out, p, in.safety)) return false;
  out.efficacy = cut_efficacy(out, in.x);
  return out.efficacy >= in.safety.min_efficacy;
}

}  // namespace

void separate_flow_covers(const SepInput &in, std::vector<Cut> &out) {
  const std::vector<Vub> vub = variable_upper_bounds(in.prob, in.x);
  separate_row_sides(in, kMaxRowLength, out,
                     [&](const int *idx, const double *val, int len, double side, double b, Cut &cut) {
                       return flow_cover_of_side(in, vub, idx, val, len, side, b, cut);
                     });
}

}  // namespace tarvo::mip
