#include "mip/objective_propagation.hpp"

#include <algorithm>
#include <cmath>

namespace tarvo::mip {

namespace {
constexpr double kInf = 1e30;
// partition work (clique entries read) per nonzero of the problem
constexpr double kPartitionWorkPerNz = 20.0;

int literal_of(const MipProblem &p, int j) { return p.c[j] < 0 ? 2 * j : 2 * j + 1; }
}  // namespace

ObjectivePropagator::ObjectivePropagator(const MipProblem &p, const ConflictGraph &g, double int_tol)
    : p_(p), int_tol_(int_tol), group_(p.n, -1) {
  std::vector<int> cols;
  for (int j = 0; j < p.n; ++j)
    if (p.c[j] != 0 && p.is_binary(j) && !g.cliques_of(literal_of(p, j)).empty()) cols.push_back(j);
  // the dearest literals first: their cliques decide most of the bound
  std::stable_sort(cols.begin(), cols.end(), [&](int a, int b) { return std::fabs(p.c[a]) > std::fabs(p.c[b]); });
  std::vector<char> open(p.n, 0);
  for (int j : cols) open[j] = 1;
  const double nz = p.col_start.empty() ? 0.0 : p.col_start[p.n];
  const double limit = kPartitionWorkPerNz * (nz + p.n);
  double work = 0;
  // each group is the open part of one clique of the graph: the one holding
  // the most cost among the clique memberships of the group's first column
  auto open_member = [&](int lit) { return open[lit / 2] && lit == literal_of(p, lit / 2); };
  for (int j : cols) {
    if (!open[j] || work > limit) continue;
    const int lit = literal_of(p, j);
    int best = -1;
    double best_cost = 0;
    for (int q : g.cliques_of(lit)) {
      double cost = 0;
      for (int l : g.clique(q))
        if (open_member(l)) cost += std::fabs(p.c[l / 2]);
      work += static_cast<double>(g.clique(q).size());
      if (cost > best_cost) best_cost = cost, best = q;
    }
    std::vector<int> members;
    if (best >= 0)
      for (int l : g.clique(best))
        if (open_member(l)) members.push_back(l / 2);
    if (members.size() < 2) continue;  // alone: the plain row bound serves
    for (int k : members) {
      open[k] = 0;
      group_[k] = static_cast<int>(members_.size());
    }
    members_.push_back(std::move(members));
  }
  cliques_ = static_cast<int>(members_.size());
  sum_.resize(members_.size());
}

double ObjectivePropagator::min_activity(const std::vector<double> &lo, const std::vector<double> &up) {
  double act = p_.obj_constant;
  scale_ = std::fabs(act);
  for (Summary &s : sum_) s = {0.0, 0.0, 0.0, -1, 0};  // an all-zero group costs 0
  for (int j = 0; j < p_.n; ++j) {
    const double c = p_.c[j];
    if (c == 0) continue;
    const int g = group_[j];
    if (g < 0) {
      const double b = c > 0 ? lo[j] : up[j];
      if (std::fabs(b) >= kInf) return -kInf;
      act += c * b;
      scale_ += std::fabs(c * b);
      continue;
    }
    const double w = -std::fabs(c);
    if (c > 0) {
      act += c;
      scale_ += c;
    }
    const bool one = c < 0 ? lo[j] > 0.5 : up[j] < 0.5;
    const bool zero = c < 0 ? up[j] < 0.5 : lo[j] > 0.5;
    Summary &s = sum_[g];
    if (one) {
      s.fixed += w;
      ++s.ones;
    } else if (!zero) {
      if (w < s.best) {
        s.second = s.best;
        s.best = w;
        s.best_col = j;
      } else if (w < s.second) {
        s.second = w;
      }
    }
  }
  for (const Summary &s : sum_) {
    const double part = s.ones > 0 ? s.fixed : s.best;
    act += part;
    scale_ += std::fabs(part);
  }
  return act;
}

bool ObjectivePropagator::propagate(const std::vector<double> &lo, const std::vector<double> &up, double cutoff,
                                    std::vector<BoundChange> *out) {
  out->clear();
  if (!(cutoff < kInf)) return true;
  const double act = min_activity(lo, up);
  if (act <= -kInf) return true;
  // rounding in the sum must never cut off a point below the cutoff
  const double margin = 1e-9 * (1.0 + scale_ + std::fabs(cutoff));
  if (act > cutoff + margin) return false;
  const double slack = cutoff + margin - act;
  for (int j = 0; j < p_.n; ++j) {
    const double c = p_.c[j];
    if (c == 0 || !p_.is_int[j] || lo[j] >= up[j]) continue;
    const int g = group_[j];
    if (g < 0) {
      // the column's own distance from its cheap bound, as in any row
      if (c > 0) {
        const double nu = lo[j] + std::floor(slack / c + int_tol_);
        if (nu < up[j]) out->push_back({j, lo[j], nu});
      } else {
        const double nl = up[j] - std::floor(slack / -c + int_tol_);
        if (nl > lo[j]) out->push_back({j, nl, up[j]});
      }
      continue;
    }
    const Summary &s = sum_[g];
    if (s.ones > 0) continue;  // the rows close the rest of the clique
    // the literal at 1 replaces the group's cheapest by its own weight; the
    // cheapest at 0 leaves the next one
    bool literal_one = false, literal_zero = false;
    if (-std::fabs(c) - s.best > slack)
      literal_zero = true;
    else if (j == s.best_col && s.second - s.best > slack)
      literal_one = true;
    if (!literal_one && !literal_zero) continue;
    const bool x_one = (c < 0) == literal_one;
    out->push_back(x_one ? BoundChange{j, 1.0, up[j]} : BoundChange{j, lo[j], 0.0});
  }
  return true;
}

}  // namespace tarvo::mip
