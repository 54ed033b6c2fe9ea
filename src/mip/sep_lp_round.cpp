// LP-rounding cuts: the rows binding at the LP point, weighted by the moduli
// of their dual multipliers (each on the side it binds), summed into one
// inequality, which is scaled and rounded down by the MIR function (the
// Chvatal-Gomory rounding where every column is integer). Besides the sum
// over all rows, the rows around each of the most fractional columns make a
// base of their own, so a pass yields cuts of different directions.
#include <algorithm>
#include <cmath>

#include "common/clock.hpp"
#include "mip/cutpool.hpp"
#include "mip/separators.hpp"
#include "simplex/lp_solver.hpp"

namespace tarvo::mip {

namespace {
constexpr double kInf = 1e30;
constexpr double kDualZero = 1e-9;   // multipliers below do not count a row as binding
constexpr int kLocalBases = 20;      // fractional columns whose rows make a base each
constexpr double kMinFrac = 0.01;

// Multiplier and side of each LP row that binds with a nonzero dual: the row
// enters as side * a x <= side-bound, weighted by |dual|.
struct Weighted {
  int row;
  double weight, side;
};

std::vector<Weighted> binding_rows(const SepInput &in) {
  const ExtendedVars &e = in.ext;
  const auto &dual = in.lp.duals();
  std::vector<Weighted> out;
  for (int i = 0; i < e.rows && i < static_cast<int>(dual.size()); ++i) {
    const int k = e.n + i;
    if (!e.known[k] || std::fabs(dual[i]) <= kDualZero) continue;
    // slack s = -a x: s at its lower bound means a x at its upper
    const double to_lo = e.x[k] - e.lo[k], to_up = e.up[k] - e.x[k];
    const double side = to_lo <= to_up ? 1.0 : -1.0;
    if ((side > 0 && e.lo[k] <= -kInf) || (side < 0 && e.up[k] >= kInf)) continue;
    out.push_back({i, std::fabs(dual[i]), side});
  }
  return out;
}

// sum of weight * side * a_i x <= weight * side * bound_i over the given rows.
bool combine(const SepInput &in, const std::vector<Weighted> &rows, std::vector<double> &dense,
             std::vector<int> &idx, std::vector<double> &val, MirBase &base) {
  const ExtendedVars &e = in.ext;
  std::fill(dense.begin(), dense.end(), 0.0);
  base.index.clear();
  base.value.clear();
  base.rhs = 0;
  for (const Weighted &w : rows) {
    const int k = e.n + w.row;
    idx.clear();
    val.clear();
    // w * side * a x = w * side * (-s)
    if (!append_slack_row(in.prob, in.pool, w.row, w.weight * w.side, idx, val)) return false;
    for (size_t q = 0; q < idx.size(); ++q) dense[idx[q]] -= val[q];
    base.rhs += w.weight * (w.side > 0 ? -e.lo[k] : e.up[k]);
  }
  // the weights have the scale of the objective: bring the largest coefficient to one
  double big = 0;
  for (int j = 0; j < e.n; ++j) big = std::max(big, std::fabs(dense[j]));
  if (!(big > 0) || !std::isfinite(big)) return false;
  for (int j = 0; j < e.n; ++j)
    if (dense[j] != 0.0) {
      base.index.push_back(j);
      base.value.push_back(dense[j] / big);
    }
  base.rhs /= big;
  return std::isfinite(base.rhs);
}

}  // namespace

void separate_lp_rounding(const SepInput &in, std::vector<Cut> &out) {
  const MipProblem &p = in.prob;
  const std::vector<Weighted> rows = binding_rows(in);
  if (rows.empty()) return;
  std::vector<double> dense(p.n, 0.0), val;
  std::vector<int> idx;
  MirBase base;
  int found = 0;
  auto attempt = [&](const std::vector<Weighted> &subset) {
    if (found >= in.max_cuts || common::wall_seconds() > in.deadline) return;
    Cut cut;
    if (!combine(in, subset, dense, idx, val, base) || !best_mir(in, base, cut)) return;
    cut.tag = "LPROUND";
    out.push_back(std::move(cut));
    found++;
  };
  attempt(rows);
  // local bases: the binding rows holding one of the most fractional columns
  std::vector<std::pair<double, int>> frac;
  for (int j = 0; j < p.n; ++j) {
    if (!p.is_int[j]) continue;
    const double f = in.x[j] - std::floor(in.x[j]);
    if (f >= kMinFrac && f <= 1 - kMinFrac) frac.emplace_back(-std::min(f, 1 - f), j);
  }
  std::sort(frac.begin(), frac.end());
  if (static_cast<int>(frac.size()) > kLocalBases) frac.resize(kLocalBases);
  // the binding rows of each chosen column, found in one sweep over the rows
  std::vector<int> slot(p.n, -1);
  for (size_t t = 0; t < frac.size(); ++t) slot[frac[t].second] = static_cast<int>(t);
  std::vector<std::vector<Weighted>> around(frac.size());
  for (const Weighted &w : rows) {
    idx.clear();
    val.clear();
    append_slack_row(p, in.pool, w.row, 1.0, idx, val);
    for (int j : idx)
      if (slot[j] >= 0) around[slot[j]].push_back(w);
  }
  for (const auto &subset : around)
    if (subset.size() >= 2 && subset.size() < rows.size()) attempt(subset);
}

}  // namespace tarvo::mip
