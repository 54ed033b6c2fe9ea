// Numerical safety of cuts and the measures the cut loop selects by.
#include <algorithm>
#include <cmath>

#include "mip/cut.hpp"
#include "mip/cutpool.hpp"
#include "simplex/lp_solver.hpp"

namespace tarvo::mip {

namespace {
constexpr double kInf = 1e30;

bool integral(double v) { return std::fabs(v - std::round(v)) <= 1e-9 * std::max(1.0, std::fabs(v)); }
}  // namespace

void ExtendedVars::build(const MipProblem &prob, const CutPool &pool, const simplex::LpSolver &lp) {
  n = prob.n;
  rows = lp.rows();
  const int total = n + rows;
  lo.assign(total, -kInf);
  up.assign(total, kInf);
  x.assign(total, 0.0);
  is_int.assign(total, 0);
  known.assign(total, 1);
  const auto &lx = lp.x();
  const auto &act = lp.row_activity();
  for (int j = 0; j < n; ++j) {
    lo[j] = prob.col_lo[j];
    up[j] = prob.col_up[j];
    x[j] = lx[j];
    if (prob.is_int[j]) {
      is_int[j] = 1;
      if (lo[j] > -kInf) lo[j] = std::ceil(lo[j] - 1e-9);
      if (up[j] < kInf) up[j] = std::floor(up[j] + 1e-9);
    }
  }
  std::vector<int> idx;
  std::vector<double> val;
  for (int i = 0; i < rows; ++i) {
    const int k = n + i;
    x[k] = -act[i];
    double rlo, rup;
    bool all_int = true;
    auto check = [&](int j, double a) {
      if (!prob.is_int[j] || !integral(a)) all_int = false;
    };
    if (i < prob.m) {
      rlo = prob.row_lo[i];
      rup = prob.row_up[i];
      for (int p = prob.row_start[i]; p < prob.row_start[i + 1]; ++p) check(prob.row_index[p], prob.row_value[p]);
    } else {
      const int c = pool.cut_of_row(i);
      if (c < 0) {
        known[k] = 0;
        continue;
      }
      const PoolCut &pc = pool.cut(c);
      rlo = pc.sense == 'L' ? -kInf : pc.rhs;
      rup = pc.sense == 'G' ? kInf : pc.rhs;
      for (size_t p = 0; p < pc.index.size(); ++p) check(pc.index[p], pc.value[p]);
    }
    lo[k] = rup >= kInf ? -kInf : -rup;
    up[k] = rlo <= -kInf ? kInf : -rlo;
    if (all_int) {
      is_int[k] = 1;
      if (lo[k] > -kInf) lo[k] = std::ceil(lo[k] - 1e-9);
      if (up[k] < kInf) up[k] = std::floor(up[k] + 1e-9);
    }
  }
}

bool slack_row(const MipProblem &prob, const CutPool &pool, int i, SlackRow &row) {
  if (i < prob.m) {
    const int s = prob.row_start[i];
    row = {&prob.row_index[s], &prob.row_value[s], prob.row_start[i + 1] - s};
    return true;
  }
  const int c = pool.cut_of_row(i);
  if (c < 0) return false;
  const PoolCut &pc = pool.cut(c);
  row = {pc.index.data(), pc.value.data(), static_cast<int>(pc.index.size())};
  return true;
}

bool append_slack_row(const MipProblem &prob, const CutPool &pool, int i, double coef, std::vector<int> &index,
                      std::vector<double> &value) {
  SlackRow row;
  if (!slack_row(prob, pool, i, row)) return false;
  for (int p = 0; p < row.len; ++p) {
    index.push_back(row.index[p]);
    value.push_back(-coef * row.value[p]);
  }
  return true;
}

void dense_to_cut(const std::vector<double> &dense, double rhs, Cut &cut) {
  cut.index.clear();
  cut.value.clear();
  for (int j = 0; j < static_cast<int>(dense.size()); ++j)
    if (dense[j] != 0.0) {
      cut.index.push_back(j);
      cut.value.push_back(dense[j]);
    }
  cut.rhs = rhs;
}

bool tidy_cut(Cut &cut, const MipProblem &prob, const CutSafety &safety) {
  if (!std::isfinite(cut.rhs)) return false;
  // merge duplicate columns
  std::vector<std::pair<int, double>> e;
  e.reserve(cut.index.size());
  for (size_t k = 0; k < cut.index.size(); ++k) {
    if (!std::isfinite(cut.value[k]) || cut.index[k] < 0 || cut.index[k] >= prob.n) return false;
    e.emplace_back(cut.index[k], cut.value[k]);
  }
  std::sort(e.begin(), e.end());
  size_t w = 0;
  for (size_t k = 0; k < e.size(); ++k) {
    if (w > 0 && e[w - 1].first == e[k].first)
      e[w - 1].second += e[k].second;
    else
      e[w++] = e[k];
  }
  e.resize(w);
  double maxabs = 0;
  for (auto &p : e) maxabs = std::max(maxabs, std::fabs(p.second));
  if (maxabs <= 0) return false;
  // coefficients too small against the largest are moved into the right-hand
  // side with the bound that keeps the cut valid
  const double small = maxabs / safety.max_dynamism;
  double rhs = cut.rhs;
  cut.index.clear();
  cut.value.clear();
  for (auto &p : e) {
    const int j = p.first;
    const double a = p.second;
    if (std::fabs(a) >= small) {
      cut.index.push_back(j);
      cut.value.push_back(a);
      continue;
    }
    if (a == 0.0) continue;
    const double bound = a > 0 ? prob.col_lo[j] : prob.col_up[j];
    if (std::fabs(bound) >= kInf) return false;
    rhs -= a * bound;
  }
  if (cut.index.empty()) return false;
  const double scale = 1.0 / maxabs;
  for (double &v : cut.value) v *= scale;
  rhs *= scale;
  if (!std::isfinite(rhs) || std::fabs(rhs) > safety.max_abs) return false;
  cut.rhs = rhs;
  return true;
}

double cut_activity(const Cut &cut, const double *x) {
  double s = 0;
  for (size_t k = 0; k < cut.index.size(); ++k) s += cut.value[k] * x[cut.index[k]];
  return s;
}

double cut_efficacy(const Cut &cut, const double *x) {
  double norm = 0;
  for (double v : cut.value) norm += v * v;
  if (norm <= 0) return 0;
  return (cut_activity(cut, x) - cut.rhs) / std::sqrt(norm);
}

double cut_parallelism(const Cut &a, const Cut &b, std::vector<double> &dense) {
  double na = 0, nb = 0, dot = 0;
  for (size_t k = 0; k < a.index.size(); ++k) {
    dense[a.index[k]] = a.value[k];
    na += a.value[k] * a.value[k];
  }
  for (size_t k = 0; k < b.index.size(); ++k) {
    dot += dense[b.index[k]] * b.value[k];
    nb += b.value[k] * b.value[k];
  }
  for (int j : a.index) dense[j] = 0;
  if (na <= 0 || nb <= 0) return 1;
  return dot / std::sqrt(na * nb);
}

}  // namespace tarvo::mip
