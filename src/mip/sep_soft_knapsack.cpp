// Soft-knapsack cuts: a knapsack row over binaries whose capacity can be
// exceeded by paying with continuous columns, sum a_j x_j <= b + s with s >= 0
// (overtime, backlog, slack supply). For a cover C with excess
// lambda = a(C) - b > 0 the continuous cover inequality
//   sum_{j in C} min(a_j, lambda) (1 - x_j) + s >= lambda
// holds: either some j with a_j >= lambda is out of the knapsack, or the items
// left out are all smaller than lambda and s pays the rest.
#include <algorithm>
#include <cmath>

#include "mip/knapsack_side.hpp"

namespace tarvo::mip {

namespace {
constexpr int kMaxRowLength = 300;

bool soft_cover_of_side(const SepInput &in, const int *idx, const double *val, int len, double side, double rhs,
                        Cut &out) {
  KnapsackSide ks;
  if (!knapsack_of_side(in, idx, val, len, side, rhs, true, ks)) return false;
  std::vector<KnapsackLiteral> &items = ks.lits;
  const double b = ks.cap;
  if (ks.stretch.empty() || items.size() < 2 || b < 0) return false;
  double s_val = 0;
  for (const StretchTerm &st : ks.stretch) s_val += st.w * (in.x[st.col] - st.lo);
  // cheapest items to leave out first: small (1 - v) per unit of weight
  std::sort(items.begin(), items.end(),
            [](const KnapsackLiteral &p, const KnapsackLiteral &q) { return (1 - p.v) * q.w < (1 - q.v) * p.w; });
  const double eps = 1e-9 * (1 + std::fabs(b));
  double weight = 0, best_viol = 1e-6 * (1 + std::fabs(b));
  int best = -1;
  double best_lambda = 0;
  for (size_t k = 0; k < items.size(); ++k) {
    weight += items[k].w;
    const double lambda = weight - b;
    if (lambda <= eps) continue;
    double lhs = s_val;
    for (size_t t = 0; t <= k; ++t) lhs += std::min(items[t].w, lambda) * (1 - items[t].v);
    if (lambda - lhs > best_viol) {
      best_viol = lambda - lhs;
      best = static_cast<int>(k);
      best_lambda = lambda;
    }
  }
  if (best < 0) return false;
  // as sum coef x <= rhs: sum m * literal - sum w (x - lo) <= sum m - lambda
  out.index.clear();
  out.value.clear();
  out.rhs = -best_lambda;
  for (int t = 0; t <= best; ++t) {
    const double m = std::min(items[t].w, best_lambda);
    add_literal(out, items[t].lit, m);
    out.rhs += m;
  }
  for (const StretchTerm &st : ks.stretch) {
    out.index.push_back(st.col);
    out.value.push_back(-st.w);
    out.rhs -= st.w * st.lo;
  }
  return accept_cut(in, "SOFTKNAP", out);
}

}  // namespace

void separate_soft_knapsacks(const SepInput &in, std::vector<Cut> &out) {
  separate_row_sides(in, kMaxRowLength, out,
                     [&](const int *idx, const double *val, int len, double side, double b, Cut &cut) {
                       return soft_cover_of_side(in, idx, val, len, side, b, cut);
                     });
}

}  // namespace tarvo::mip
