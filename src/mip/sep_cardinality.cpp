// Cardinality cuts: a knapsack row side over binaries (others at the bound
// that weakens it least, negative weights complemented) admits at most k
// items, k being how many of the lightest fit; so sum of the items <= k. The
// items of one clique of the conflict graph count once together, so each
// clique is weighed by its lightest member and the bound is taken over cliques.
#include <algorithm>
#include <cmath>

#include "mip/conflict_graph.hpp"
#include "mip/knapsack_side.hpp"

namespace tarvo::mip {

namespace {
constexpr int kMaxRowLength = 500;

bool cardinality_of_side(const SepInput &in, const ConflictGraph &g, const int *idx, const double *val, int len,
                         double side, double rhs, Cut &out) {
  KnapsackSide ks;
  if (!knapsack_of_side(in, idx, val, len, side, rhs, false, ks)) return false;
  std::vector<KnapsackLiteral> &items = ks.lits;
  const double cap = ks.cap;
  if (items.size() < 3 || cap < 0) return false;
  double lp_sum = 0;
  for (const KnapsackLiteral &it : items) lp_sum += it.v;
  // lightest first; each literal joins the first group it conflicts with entirely
  std::sort(items.begin(), items.end(), [](const KnapsackLiteral &p, const KnapsackLiteral &q) { return p.w < q.w; });
  std::vector<std::vector<int>> groups;
  std::vector<double> group_weight;
  for (const KnapsackLiteral &it : items) {
    bool placed = false;
    for (size_t t = 0; t < groups.size() && !placed; ++t) {
      if (std::all_of(groups[t].begin(), groups[t].end(), [&](int l) { return g.adjacent(l, it.lit); })) {
        groups[t].push_back(it.lit);
        placed = true;
      }
    }
    if (!placed) {
      groups.push_back({it.lit});
      group_weight.push_back(it.w);  // the lightest member: items come sorted
    }
  }
  std::sort(group_weight.begin(), group_weight.end());
  const double eps = 1e-9 * (1 + std::fabs(cap));
  double w = 0;
  int k = 0;
  while (k < static_cast<int>(group_weight.size()) && w + group_weight[k] <= cap + eps) w += group_weight[k++];
  if (k >= static_cast<int>(items.size()) || lp_sum <= k + 1e-6) return false;
  out.index.clear();
  out.value.clear();
  out.rhs = k;
  for (const KnapsackLiteral &it : items) add_literal(out, it.lit, 1.0);
  return accept_cut(in, "CARD", out);
}

}  // namespace

void separate_cardinality(const SepInput &in, const ConflictGraph &graph, std::vector<Cut> &out) {
  separate_row_sides(in, kMaxRowLength, out,
                     [&](const int *idx, const double *val, int len, double side, double b, Cut &cut) {
                       return cardinality_of_side(in, graph, idx, val, len, side, b, cut);
                     });
}

}  // namespace tarvo::mip
