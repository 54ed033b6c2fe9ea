// Clique cuts: greedy maximal cliques of the conflict graph over the literals
// with positive LP value, heaviest first; a clique whose literals sum to more
// than one gives sum of literals <= 1.
#include <algorithm>
#include <cmath>
#include <set>

#include "mip/conflict_graph.hpp"
#include "mip/separators.hpp"

namespace tarvo::mip {

namespace {
constexpr int kMaxCandidates = 1000;
constexpr int kMaxStarts = 200;
}  // namespace

void separate_cliques(const SepInput &in, const ConflictGraph &g, std::vector<Cut> &out) {
  auto value = [&](int lit) { return lit & 1 ? 1 - in.x[lit >> 1] : in.x[lit >> 1]; };
  std::vector<std::pair<double, int>> cand;
  for (int l = 0; l < g.literals(); ++l)
    if (!g.cliques_of(l).empty() && value(l) > 1e-6) cand.emplace_back(-value(l), l);
  std::sort(cand.begin(), cand.end());
  if (static_cast<int>(cand.size()) > kMaxCandidates) cand.resize(kMaxCandidates);
  std::set<std::vector<int>> seen;
  // The greedy keeps the candidates adjacent to every member so far (in
  // candidate order) and filters them by the neighbours of each new member:
  // a pairwise test per candidate and member took a tenth of the root on
  // large set-partitioning models.
  NeighbourMarks marks(g);
  std::vector<std::pair<double, int>> rem, next;
  auto keep_neighbours = [&](int lit, const std::vector<std::pair<double, int>> &from,
                             std::vector<std::pair<double, int>> &to) {
    marks.mark(lit);
    to.clear();
    for (const auto &e : from)
      if (marks.marked(e.second) && (e.second >> 1) != (lit >> 1)) to.push_back(e);
  };
  int starts = 0;
  for (const auto &[neg_v, s] : cand) {
    if (starts >= kMaxStarts || static_cast<int>(out.size()) >= in.max_cuts) break;
    if (std::fabs(-neg_v - std::round(-neg_v)) <= in.int_tol) continue;
    starts++;
    std::vector<int> clique{s};
    double sum = -neg_v;
    keep_neighbours(s, cand, rem);
    while (!rem.empty()) {
      const auto [nv, l] = rem.front();
      clique.push_back(l);
      sum += -nv;
      keep_neighbours(l, rem, next);
      rem.swap(next);
    }
    if (sum <= 1 + 1e-4 || clique.size() < 3) continue;
    std::sort(clique.begin(), clique.end());
    if (!seen.insert(clique).second) continue;
    Cut cut;
    cut.rhs = 1;
    for (int l : clique) {
      cut.index.push_back(l >> 1);
      cut.value.push_back(l & 1 ? -1.0 : 1.0);
      if (l & 1) cut.rhs -= 1;
    }
    cut.tag = "CLIQUE";
    if (!tidy_cut(cut, in.prob, in.safety)) continue;
    cut.efficacy = cut_efficacy(cut, in.x);
    if (cut.efficacy >= in.safety.min_efficacy) out.push_back(std::move(cut));
  }
}

}  // namespace tarvo::mip
