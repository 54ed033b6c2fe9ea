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
  int starts = 0;
  for (const auto &[neg_v, s] : cand) {
    if (starts >= kMaxStarts || static_cast<int>(out.size()) >= in.max_cuts) break;
    if (std::fabs(-neg_v - std::round(-neg_v)) <= in.int_tol) continue;
    starts++;
    std::vector<int> clique{s};
    double sum = -neg_v;
    for (const auto &entry : cand) {
      const double nv = entry.first;
      const int l = entry.second;  // a plain local: lambdas below capture it
      if (l == s || (l >> 1) == (s >> 1)) continue;
      if (std::any_of(clique.begin(), clique.end(), [&](int c) { return (c >> 1) == (l >> 1); })) continue;
      if (std::all_of(clique.begin(), clique.end(), [&](int c) { return g.adjacent(c, l); })) {
        clique.push_back(l);
        sum += -nv;
      }
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
