// Probing on binaries: each binary is set to 0 and to 1 in turn and the
// bounds of the columns sharing a row with it are propagated one row deep.
// A side that leaves some row unsatisfiable fixes the binary the other way;
// a bound implied by both sides holds for the problem. Rows of binaries
// that admit at most one at 1 are collected as cliques on the way.
#include <algorithm>
#include <cmath>
#include <unordered_map>

#include "presolve/work_problem.hpp"

namespace tarvo::presolve {
namespace {

constexpr int kMaxProbes = 2000;

bool binary(const WorkProblem &w, int j) { return w.is_int(j) && w.lower[j] == 0 && w.upper[j] == 1; }

// Implied bounds of the neighbours of j with j fixed at v; false when a row of
// j becomes unsatisfiable.
bool propagate(const WorkProblem &w, RowActivities &acts, int j, double v,
               std::unordered_map<int, std::pair<double, double>> *bounds) {
  for (const Entry &rj : w.cols[j]) {
    const int i = rj.index;
    Activity act = acts.of(i);
    RowActivities::without(&act, rj.value, w.lower[j], w.upper[j]);
    const double rl = w.row_lower[i] - rj.value * v, ru = w.row_upper[i] - rj.value * v;
    const bool has_l = w.row_lower[i] > -kInf, has_u = w.row_upper[i] < kInf;
    if ((has_u && act.lowest() > ru + 1e-6) || (has_l && act.highest() < rl - 1e-6)) return false;
    if (w.rows[i].size() > 50) continue;
    for (const Entry &e : w.rows[i]) {
      const int k = e.index;
      if (k == j) continue;
      const double a = e.value, l = w.lower[k], u = w.upper[k];
      const double kmin = a > 0 ? l : u, kmax = a > 0 ? u : l;
      if (std::fabs(kmin) >= kInf || std::fabs(kmax) >= kInf) continue;
      const double rest_min = act.min - a * kmin, rest_max = act.max - a * kmax;
      double lo = l, hi = u;
      if (has_u && act.ninf_min == 0) {
        const double t = (ru - rest_min) / a;
        if (a > 0) hi = std::fmin(hi, t); else lo = std::fmax(lo, t);
      }
      if (has_l && act.ninf_max == 0) {
        const double t = (rl - rest_max) / a;
        if (a > 0) lo = std::fmax(lo, t); else hi = std::fmin(hi, t);
      }
      if (w.is_int(k)) lo = std::ceil(lo - 1e-6), hi = std::floor(hi + 1e-6);
      auto it = bounds->find(k);
      if (it == bounds->end()) it = bounds->emplace(k, std::make_pair(l, u)).first;
      it->second.first = std::fmax(it->second.first, lo);
      it->second.second = std::fmin(it->second.second, hi);
      if (it->second.first > it->second.second + 1e-6) return false;
    }
  }
  return true;
}

void collect_cliques(const WorkProblem &w, Result *res) {
  for (int i = 0; i < w.m; ++i) {
    if (!w.row_alive[i] || w.rows[i].size() < 2 || w.row_upper[i] >= kInf) continue;
    // sum a x <= b over binaries with a > 0: a clique when any two exceed b
    double smallest = kInf;
    bool ok = true;
    for (const Entry &e : w.rows[i]) {
      if (!binary(w, e.index) || e.value <= 0) { ok = false; break; }
      smallest = std::fmin(smallest, e.value);
    }
    if (!ok) continue;
    // the two smallest coefficients decide
    double second = kInf;
    int seen_min = 0;
    for (const Entry &e : w.rows[i]) {
      if (e.value == smallest && !seen_min) { seen_min = 1; continue; }
      second = std::fmin(second, e.value);
    }
    if (smallest + second <= w.row_upper[i] + 1e-9) continue;
    std::vector<std::pair<int, int>> clique;
    for (const Entry &e : w.rows[i]) clique.push_back({e.index, 1});
    res->cliques.push_back(std::move(clique));
    ++res->counts.cliques;
  }
}

}  // namespace

int probe_binaries(WorkProblem &w, Result *res) {
  collect_cliques(w, res);
  int count = 0, probes = 0;
  RowActivities acts(w);
  std::unordered_map<int, std::pair<double, double>> down, up;
  for (int j = 0; j < w.n && probes < kMaxProbes && !w.infeasible; ++j) {
    if (!w.col_alive[j] || !binary(w, j) || w.cols[j].empty()) continue;
    if (w.out_of_time()) break;
    ++probes;
    down.clear();
    up.clear();
    const bool down_ok = propagate(w, acts, j, 0, &down), up_ok = propagate(w, acts, j, 1, &up);
    if (!down_ok && !up_ok) {
      w.infeasible = true;
      break;
    }
    if (!down_ok || !up_ok) {
      acts.invalidate_column(j);
      w.fix_col(j, down_ok ? 0.0 : 1.0, down_ok ? kLower : kUpper);
      ++w.counts->probing_fixed;
      ++count;
      continue;
    }
    // bounds implied by both sides
    for (const auto &[k, b0] : down) {
      auto it = up.find(k);
      if (it == up.end() || !w.col_alive[k]) continue;
      const double lo = std::fmin(b0.first, it->second.first), hi = std::fmax(b0.second, it->second.second);
      const double margin = w.is_int(k) ? 0.5 : 1e-3;
      const bool raise = lo > w.lower[k] + margin && std::fabs(lo) < 1e9;
      const bool lower = hi < w.upper[k] - margin && std::fabs(hi) < 1e9;
      if (raise || lower) acts.invalidate_column(k);
      if (raise) w.lower[k] = lo, ++count, ++w.counts->bounds_tightened;
      if (lower) w.upper[k] = hi, ++count, ++w.counts->bounds_tightened;
    }
  }
  return count;
}

void find_implied_integers(WorkProblem &w, Result *res) {
  // a continuous column with coefficient +-1 in an equation whose other
  // columns are integers with integer coefficients and an integral side
  for (int j = 0; j < w.n; ++j) {
    if (!w.col_alive[j] || w.is_int(j) || w.cols[j].empty()) continue;
    bool found = false;
    for (const Entry &c : w.cols[j]) {
      const int i = c.index;
      if (std::fabs(c.value) != 1 || w.row_lower[i] != w.row_upper[i]) continue;
      if (w.row_lower[i] != std::floor(w.row_lower[i])) continue;
      bool ok = true;
      for (const Entry &e : w.rows[i])
        if (e.index != j && (!w.is_int(e.index) || e.value != std::floor(e.value))) { ok = false; break; }
      if (ok) { found = true; break; }
    }
    if (found) {
      res->implied_integer.push_back(j);
      ++res->counts.implied_integers;
    }
  }
}

}  // namespace tarvo::presolve
