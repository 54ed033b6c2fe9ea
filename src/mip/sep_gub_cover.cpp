// GUB cover cuts: the binaries of a knapsack row side are partitioned into
// cliques of the conflict graph (at most one literal of a group is true).
// Each group offers one "item": its literals of weight at least a threshold,
// worth the threshold. Groups whose thresholds together exceed the capacity
// form a cover; at most |C|-1 of them can then have such a literal true
// ("GUB1"). Extended by the heavy literals of the other groups ("GUB2").
#include <algorithm>
#include <cmath>

#include "mip/conflict_graph.hpp"
#include "mip/knapsack_side.hpp"

namespace tarvo::mip {

namespace {
constexpr int kMaxRowLength = 500;

using Lit = KnapsackLiteral;

struct Group {
  std::vector<Lit> lits;  // heaviest first
  double threshold = 0;   // weight of the lightest literal taken
  double value = 0;       // LP value of the literals of weight >= threshold
};

bool gub_cover_of_side(const SepInput &in, NeighbourMarks &marks, const int *idx, const double *val, int len,
                       double side, double rhs, Cut &out) {
  KnapsackSide ks;
  if (!knapsack_of_side(in, idx, val, len, side, rhs, false, ks)) return false;
  std::vector<Lit> &lits = ks.lits;
  const double cap = ks.cap;
  if (lits.size() < 3 || cap < 0) return false;
  // clique partition, heaviest literals first
  std::sort(lits.begin(), lits.end(), [](const Lit &a, const Lit &b) { return a.w > b.w; });
  std::vector<int> group_of;
  std::vector<Group> groups(side_clique_partition(ks, marks, group_of));
  for (size_t t = 0; t < lits.size(); ++t) groups[group_of[t]].lits.push_back(lits[t]);
  bool merged = false;
  for (const Group &gr : groups) merged |= gr.lits.size() > 1;
  if (!merged || groups.size() < 2) return false;  // no GUB: the plain covers do this
  // each group takes every literal with positive LP value (most violation);
  // a group at zero offers its heaviest literal
  for (Group &gr : groups) {
    gr.threshold = gr.lits.front().w;
    gr.value = 0;
    for (const Lit &l : gr.lits)
      if (l.v > 1e-9) gr.threshold = l.w;
    for (const Lit &l : gr.lits)
      if (l.w >= gr.threshold) gr.value += l.v;
  }
  std::vector<int> order(groups.size());
  for (size_t t = 0; t < groups.size(); ++t) order[t] = static_cast<int>(t);
  std::sort(order.begin(), order.end(), [&](int p, int q) {
    return (1 - groups[p].value) * groups[q].threshold < (1 - groups[q].value) * groups[p].threshold;
  });
  const double eps = 1e-9 * (1 + std::fabs(cap));
  double w = 0;
  std::vector<int> cover;
  for (int t : order) {
    if (w > cap + eps) break;
    cover.push_back(t);
    w += groups[t].threshold;
  }
  if (w <= cap + eps || cover.size() < 2) return false;
  out.index.clear();
  out.value.clear();
  out.rhs = static_cast<double>(cover.size()) - 1;
  std::vector<char> in_cover(groups.size(), 0);
  double max_threshold = 0;
  for (int t : cover) {
    in_cover[t] = 1;
    max_threshold = std::max(max_threshold, groups[t].threshold);
    for (const Lit &l : groups[t].lits)
      if (l.w >= groups[t].threshold) add_literal(out, l.lit, 1.0);
  }
  // Extended GUB cover: a literal of another group at least as heavy as every
  // cover threshold can stand in for any cover group, so it joins with
  // coefficient 1 (one literal per group at most, the groups being cliques).
  bool extended = false;
  for (size_t t = 0; t < groups.size(); ++t) {
    if (in_cover[t]) continue;
    for (const Lit &l : groups[t].lits)
      if (l.w >= max_threshold) {
        add_literal(out, l.lit, 1.0);
        extended = true;
      }
  }
  return accept_cut(in, extended ? "GUB2" : "GUB1", out);
}

}  // namespace

void separate_gub_covers(const SepInput &in, const ConflictGraph &graph, std::vector<Cut> &out) {
  if (graph.cliques() == 0) return;
  NeighbourMarks marks(graph);
  separate_row_sides(in, kMaxRowLength, out,
                     [&](const int *idx, const double *val, int len, double side, double b, Cut &cut) {
                       return gub_cover_of_side(in, marks, idx, val, len, side, b, cut);
                     });
}

}  // namespace tarvo::mip
