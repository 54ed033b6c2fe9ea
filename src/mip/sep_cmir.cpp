// Complemented mixed-integer rounding (aggregation heuristic): start from a
// row, try MIR with a few divisors and complementations, then eliminate the
// continuous column farthest from its bounds (a general integer one when no
// continuous is left) with another row and try again, up to the aggregation
// limit.
#include <algorithm>
#include <cmath>

#include "common/clock.hpp"
#include "mip/flow_set.hpp"

namespace tarvo::mip {

namespace {
constexpr double kInf = 1e30;
constexpr double kZero = 1e-12;
constexpr int kMaxStarts = 500;

// Aggregated row sum agg[k] v_k = 0 over the extended variables (columns and
// slacks), stored densely with the list of touched entries.
struct Aggregation {
  std::vector<double> coef;
  std::vector<int> touched;
  std::vector<char> mark;
  void init(int size) {
    coef.assign(size, 0.0);
    mark.assign(size, 0);
  }
  void clear() {
    for (int k : touched) coef[k] = 0, mark[k] = 0;
    touched.clear();
  }
  void add(int k, double v) {
    if (!mark[k]) mark[k] = 1, touched.push_back(k);
    coef[k] += v;
  }
  // row i as the equation a_i x + s_i = 0, times `mult`
  void add_row(const MipProblem &p, int n, int i, double mult) {
    for (int q = p.row_start[i]; q < p.row_start[i + 1]; ++q) add(p.row_index[q], mult * p.row_value[q]);
    add(n + i, mult);
  }
};

// Variable-bound rows of each continuous column: two nonzeros, the other an
// integer column (x_j <= u y or x_j >= l y).
std::vector<std::vector<int>> variable_bound_rows(const MipProblem &p) {
  std::vector<std::vector<int>> vb(p.n);
  for (int i = 0; i < p.m; ++i) {
    if (p.row_start[i + 1] - p.row_start[i] != 2) continue;
    const int a = p.row_index[p.row_start[i]], b = p.row_index[p.row_start[i] + 1];
    if (!p.is_int[a] && p.is_int[b]) vb[a].push_back(i);
    if (!p.is_int[b] && p.is_int[a]) vb[b].push_back(i);
  }
  return vb;
}

// Distance of continuous column k from its nearest simple or variable bound.
double bound_distance(const ExtendedVars &e, const std::vector<std::vector<int>> &vb, int n, int k) {
  double d = std::min(e.x[k] - e.lo[k], e.up[k] - e.x[k]);
  for (int r : vb[k]) d = std::min(d, std::min(e.x[n + r] - e.lo[n + r], e.up[n + r] - e.x[n + r]));
  return d;
}

bool is_variable_bound_row(const std::vector<std::vector<int>> &vb, int k, int row) {
  return std::find(vb[k].begin(), vb[k].end(), row) != vb[k].end();
}

// Bound substitution: a continuous column nearer to one of its variable
// bounds than to its simple bounds is replaced through that bound's row.
void substitute_variable_bounds(const MipProblem &p, const ExtendedVars &e,
                                const std::vector<std::vector<int>> &vb, Aggregation &agg) {
  const int n = p.n;
  const size_t count = agg.touched.size();  // rows added here bring only integer columns and slacks
  for (size_t t = 0; t < count; ++t) {
    const int k = agg.touched[t];
    if (k >= n || p.is_int[k] || std::fabs(agg.coef[k]) <= kZero || vb[k].empty()) continue;
    double best = std::min(e.x[k] - e.lo[k], e.up[k] - e.x[k]);
    int row = -1;
    for (int r : vb[k]) {
      const double s = std::min(e.x[n + r] - e.lo[n + r], e.up[n + r] - e.x[n + r]);
      if (s < best - 1e-9) best = s, row = r;
    }
    if (row < 0) continue;
    double a = 0;
    for (int q = p.row_start[row]; q < p.row_start[row + 1]; ++q)
      if (p.row_index[q] == k) a = p.row_value[q];
    if (std::fabs(a) < 1e-9) continue;
    agg.add_row(p, n, row, -agg.coef[k] / a);
    agg.coef[k] = 0.0;
  }
}

}  // namespace

void separate_cmir(const SepInput &in, std::vector<Cut> &out) {
  const MipProblem &p = in.prob;
  const ExtendedVars &e = in.ext;
  const int n = p.n;
  const auto vb = variable_bound_rows(p);
  std::vector<Vub> vub;
  if (in.aggregated_flow_covers) vub = variable_upper_bounds(p, in.x);
  // start rows: those holding a fractional integer column or a continuous
  // column with a variable bound; tight rows first
  std::vector<std::pair<double, int>> starts;
  for (int i = 0; i < p.m; ++i) {
    bool useful = false;
    for (int q = p.row_start[i]; q < p.row_start[i + 1] && !useful; ++q) {
      const int j = p.row_index[q];
      useful = p.is_int[j] ? std::fabs(in.x[j] - std::round(in.x[j])) > in.int_tol : !vb[j].empty();
    }
    if (!useful) continue;
    const int k = n + i;
    const double slack = std::min(e.x[k] - e.lo[k], e.up[k] - e.x[k]);
    starts.emplace_back(slack / (1.0 + p.row_start[i + 1] - p.row_start[i]), i);
  }
  std::sort(starts.begin(), starts.end());
  if (static_cast<int>(starts.size()) > kMaxStarts) starts.resize(kMaxStarts);

  Aggregation agg;
  agg.init(n + p.m);
  Aggregation work;
  work.init(n + p.m);
  std::vector<int> used;
  MirBase base;
  int found = 0;
  for (const auto &[score, start] : starts) {
    (void)score;
    if (found >= in.max_cuts || common::wall_seconds() > in.deadline) break;
    agg.clear();
    auto emit = [&](Cut &&c) {
      out.push_back(std::move(c));
      found++;
    };
    used.assign(1, start);
    agg.add_row(p, n, start, 1.0);
    for (int round = 0;; ++round) {
      bool got = false;
      work.clear();
      for (int k : agg.touched)
        if (agg.coef[k] != 0.0) work.add(k, agg.coef[k]);
      substitute_variable_bounds(p, e, vb, work);
      if (in.work) *in.work += static_cast<double>(work.touched.size());
      for (double sign : {1.0, -1.0}) {
        base.index.clear();
        base.value.clear();
        base.rhs = 0;
        for (int k : work.touched) add_base_term(e, k, sign * work.coef[k], kZero, base);
        Cut cut;
        if (best_mir(in, base, cut)) {
          cut.tag = "MIGC";
          emit(std::move(cut));
          got = true;
        }
      }
      // single rows have their own flow cover pass
      if (!got && round > 0 && in.aggregated_flow_covers) {
        for (double side : {1.0, -1.0}) {
          base.index.clear();
          base.value.clear();
          base.rhs = 0;
          for (int k : agg.touched) add_base_term(e, k, side * agg.coef[k], kZero, base);
          const int len = static_cast<int>(base.index.size());
          Cut cut;
          if (lifted_flow_cover(in, vub, base.index.data(), base.value.data(), len, 1.0, base.rhs, cut)) {
            emit(std::move(cut));
            got = true;
          }
        }
      }
      // longer paths give other cuts than the one found: go on to the limit
      if (round >= in.max_aggr) break;
      // continuous column of the aggregation farthest from its bounds, the
      // variable bounds included: a column at its variable bound is taken
      // care of by bound substitution and leaves nothing to eliminate
      int pick = -1;
      double far = in.int_tol;
      for (int k : agg.touched) {
        if (k >= n || p.is_int[k] || std::fabs(agg.coef[k]) <= kZero) continue;
        const double d = bound_distance(e, vb, n, k);
        if (d > far) far = d, pick = k;
      }
      // with no continuous column left, a general integer column strictly
      // inside its bounds: capacity modules of network design rows link
      // arcs as continuous flows do (binaries gave weaker, crowding cuts)
      if (pick < 0)
        for (int k : agg.touched) {
          if (k >= n || !p.is_int[k] || std::fabs(agg.coef[k]) <= kZero) continue;
          if (p.is_binary(k)) continue;
          const double d = std::min(e.x[k] - e.lo[k], e.up[k] - e.x[k]);
          if (d > far) far = d, pick = k;
        }
      if (pick < 0) break;
      // the tightest unused row holding it
      int row = -1;
      double row_slack = kInf, row_coef = 0;
      for (int q = p.col_start[pick]; q < p.col_start[pick + 1]; ++q) {
        const int r = p.col_index[q];
        if (std::find(used.begin(), used.end(), r) != used.end()) continue;
        if (is_variable_bound_row(vb, pick, r)) continue;
        if (std::fabs(p.col_value[q]) < 1e-9) continue;
        const double s = std::min(e.x[n + r] - e.lo[n + r], e.up[n + r] - e.x[n + r]);
        if (s < row_slack) row_slack = s, row = r, row_coef = p.col_value[q];
      }
      if (row < 0) break;
      agg.add_row(p, n, row, -agg.coef[pick] / row_coef);
      agg.coef[pick] = 0.0;
      used.push_back(row);
    }
  }
}

}  // namespace tarvo::mip
