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

bool cardinality_of_side(const SepInput &in, NeighbourMarks &marks, const int *idx, const double *val, int len,
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
  // the first literal of each group is its lightest: items come sorted
  std::vector<int> group_of;
  std::vector<double> group_weight(side_clique_partition(ks, marks, group_of), -1.0);
  for (size_t t = 0; t < items.size(); ++t)
    if (group_weight[group_of[t]] < 0) group_weight[group_of[t]] = items[t].w;
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
  NeighbourMarks marks(graph);
  separate_row_sides(in, kMaxRowLength, out,
                     [&](const int *idx, const double *val, int len, double side, double b, Cut &cut) {
                       return cardinality_of_side(in, marks, idx, val, len, side, b, cut);
                     });
}

}  // namespace tarvo::mip
