// GUB cover cuts: the binaries of a knapsack row side are partitioned into
// cliques of the conflict graph (at most one literal of a group is true).
// Each group offers one "item": its literals of weight at least a threshold,
// worth the threshold. Groups whose thresholds together exceed the capacity
// form a cover; at most |C|-1 of them can then have such a literal true.
#include <algorithm>
#include <cmath>

#include "mip/conflict_graph.hpp"
#include "mip/separators.hpp"

namespace tarvo::mip {

namespace {
constexpr double kInf = 1e30;
constexpr int kMaxRowLength = 500;

struct Lit {
  int lit;       // 2j for x_j, 2j+1 for 1 - x_j
  double w;      // weight, positive
  double v;      // LP value of the literal
};

struct Group {
  std::vector<Lit> lits;  // heaviest first
  double threshold = 0;   // weight of the lightest literal taken
  double value = 0;       // LP value of the literals of weight >= threshold
};

bool gub_cover_of_side(const SepInput &in, const ConflictGraph &g, const int *idx, const double *val, int len,
                       double side, double rhs, Cut &out) {
  const ExtendedVars &e = in.ext;
  std::vector<Lit> lits;
  double cap = rhs;
  for (int q = 0; q < len; ++q) {
    const int j = idx[q];
    const double a = side * val[q];
    if (a == 0.0) continue;
    if (in.prob.is_binary(j)) {
      if (a > 0) {
        lits.push_back({2 * j, a, in.x[j]});
      } else {
        lits.push_back({2 * j + 1, -a, 1 - in.x[j]});
        cap -= a;
      }
      continue;
    }
    const double bound = a > 0 ? e.lo[j] : e.up[j];
    if (std::fabs(bound) >= kInf) return false;
    cap -= a * bound;
  }
  if (lits.size() < 3 || cap < 0) return false;
  // clique partition, heaviest literals first
  std::sort(lits.begin(), lits.end(), [](const Lit &a, const Lit &b) { return a.w > b.w; });
  std::vector<Group> groups;
  std::vector<char> placed(lits.size(), 0);
  bool merged = false;
  for (size_t s = 0; s < lits.size(); ++s) {
    if (placed[s]) continue;
    Group gr;
    gr.lits.push_back(lits[s]);
    placed[s] = 1;
    for (size_t t = s + 1; t < lits.size(); ++t) {
      if (placed[t]) continue;
      const int l = lits[t].lit;
      if (std::all_of(gr.lits.begin(), gr.lits.end(), [&](const Lit &m) { return g.adjacent(m.lit, l); })) {
        gr.lits.push_back(lits[t]);
        placed[t] = 1;
      }
    }
    merged |= gr.lits.size() > 1;
    groups.push_back(std::move(gr));
  }
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
  double r = static_cast<double>(cover.size()) - 1;
  for (int t : cover)
    for (const Lit &l : groups[t].lits) {
      if (l.w < groups[t].threshold) continue;
      out.index.push_back(l.lit >> 1);
      out.value.push_back(l.lit & 1 ? -1.0 : 1.0);
      if (l.lit & 1) r -= 1;
    }
  out.rhs = r;
  out.tag = "GUB1";
  if (!tidy_cut(out, in.prob, in.safety)) return false;
  out.efficacy = cut_efficacy(out, in.x);
  return out.efficacy >= in.safety.min_efficacy;
}

}  // namespace

void separate_gub_covers(const SepInput &in, const ConflictGraph &graph, std::vector<Cut> &out) {
  if (graph.cliques() == 0) return;
  separate_row_sides(in, kMaxRowLength, out,
                     [&](const int *idx, const double *val, int len, double side, double b, Cut &cut) {
                       return gub_cover_of_side(in, graph, idx, val, len, side, b, cut);
                     });
}

}  // namespace tarvo::mip
