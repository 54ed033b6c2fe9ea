#include "mip/clique_row.hpp"

#include <algorithm>
#include <cmath>
#include <unordered_map>

namespace tarvo::mip {

namespace {
constexpr double kInf = 1e30;
}  // namespace

CliqueRow::CliqueRow(const MipProblem &p, std::vector<int> cols, std::vector<double> a, const ConflictGraph &g,
                     double *work_left)
    : p_(p), cols_(std::move(cols)), a_(std::move(a)), group_(cols_.size(), -1) {
  auto literal = [&](int k) { return a_[k] < 0 ? 2 * cols_[k] : 2 * cols_[k] + 1; };
  std::unordered_map<int, int> open;  // literal -> entry, for binaries not yet grouped
  std::vector<int> order;
  for (int k = 0; k < size(); ++k)
    if (a_[k] != 0 && p.is_binary(cols_[k]) && !g.cliques_of(literal(k)).empty()) {
      open[literal(k)] = k;
      order.push_back(k);
    }
  // the heaviest literals first: their cliques decide most of the bound
  std::stable_sort(order.begin(), order.end(), [&](int x, int y) { return std::fabs(a_[x]) > std::fabs(a_[y]); });
  // each group is the open part of one clique of the graph: the one holding
  // the most weight among the clique memberships of the group's first entry
  std::vector<int> members;
  for (int k : order) {
    const int lit = literal(k);
    if (!open.count(lit) || *work_left <= 0) continue;
    int best = -1;
    double best_weight = 0;
    for (int q : g.cliques_of(lit)) {
      double weight = 0;
      for (int l : g.clique(q))
        if (auto it = open.find(l); it != open.end()) weight += std::fabs(a_[it->second]);
      *work_left -= static_cast<double>(g.clique(q).size());
      if (weight > best_weight) best_weight = weight, best = q;
    }
    members.clear();
    if (best >= 0)
      for (int l : g.clique(best))
        if (auto it = open.find(l); it != open.end()) members.push_back(it->second);
    if (members.size() < 2) continue;  // alone: the plain bound serves
    for (int e : members) {
      open.erase(literal(e));
      group_[e] = static_cast<int>(members_.size());
    }
    grouped_ += static_cast<int>(members.size());
    members_.push_back(members);
  }
  sum_.resize(members_.size());
}

double CliqueRow::min_activity(const std::vector<double> &lo, const std::vector<double> &up) {
  double act = 0;
  scale_ = 0;
  for (Summary &s : sum_) s = {0.0, 0.0, 0.0, -1, 0};  // an all-zero group adds 0
  for (int k = 0; k < size(); ++k) {
    const double a = a_[k];
    const int j = cols_[k];
    if (a == 0) continue;
    const int g = group_[k];
    if (g < 0) {
      const double b = a > 0 ? lo[j] : up[j];
      if (std::fabs(b) >= kInf) return -kInf;
      act += a * b;
      scale_ += std::fabs(a * b);
      continue;
    }
    const double w = -std::fabs(a);
    if (a > 0) {
      act += a;
      scale_ += a;
    }
    const bool one = a < 0 ? lo[j] > 0.5 : up[j] < 0.5;
    const bool zero = a < 0 ? up[j] < 0.5 : lo[j] > 0.5;
    Summary &s = sum_[g];
    if (one) {
      s.fixed += w;
      ++s.ones;
    } else if (!zero) {
      if (w < s.best) {
        s.second = s.best;
        s.best = w;
        s.best_entry = k;
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

bool CliqueRow::propagate(const std::vector<double> &lo, const std::vector<double> &up, double b, double int_tol,
                          std::vector<BoundChange> *out) {
  out->clear();
  if (!(std::fabs(b) < kInf)) return true;
  const double act = min_activity(lo, up);
  if (act <= -kInf) return true;
  // rounding in the sum must never cut off a point within the side
  const double margin = 1e-9 * (1.0 + scale_ + std::fabs(b));
  if (act > b + margin) return false;
  const double slack = b + margin - act;
  for (int k = 0; k < size(); ++k) {
    const double a = a_[k];
    const int j = cols_[k];
    if (a == 0 || !p_.is_int[j] || lo[j] >= up[j]) continue;
    const int g = group_[k];
    if (g < 0) {
      // the column's own distance from its cheap bound, as in any row
      if (a > 0) {
        const double nu = lo[j] + std::floor(slack / a + int_tol);
        if (nu < up[j]) out->push_back({j, lo[j], nu});
      } else {
        const double nl = up[j] - std::floor(slack / -a + int_tol);
        if (nl > lo[j]) out->push_back({j, nl, up[j]});
      }
      continue;
    }
    const Summary &s = sum_[g];
    if (s.ones > 0) continue;  // the clique's own row clears the rest
    // the literal at 1 replaces the group's cheapest by its own weight; the
    // cheapest at 0 leaves the next one
    bool literal_one = false, literal_zero = false;
    if (-std::fabs(a) - s.best > slack)
      literal_zero = true;
    else if (k == s.best_entry && s.second - s.best > slack)
      literal_one = true;
    if (!literal_one && !literal_zero) continue;
    const bool x_one = (a < 0) == literal_one;
    out->push_back(x_one ? BoundChange{j, 1.0, up[j]} : BoundChange{j, lo[j], 0.0});
  }
  return true;
}

}  // namespace tarvo::mip
