// {0,1/2}-cuts: half the sum of a few integral rows, with bound rows added to
// make every coefficient even, rounded down. Rows are chosen greedily in the
// mod-2 picture: a row costs its slack, an odd column costs the distance of
// its LP value to the nearer bound, and the cut is violated exactly when the
// combination has an odd right-hand side and costs less than one.
#include <algorithm>
#include <cmath>

#include "mip/separators.hpp"

namespace tarvo::mip {

namespace {
constexpr double kInf = 1e30;
constexpr int kMaxRowsCombined = 6;
constexpr int kMaxLength = 500;

struct ParityRow {
  int row;
  double side;                // +1: a x <= up, -1: -a x <= -lo
  std::vector<int> odd;       // sorted columns with odd coefficient (interior columns only)
  int parity;                 // of the right-hand side after moving at-bound odd columns to their bound
  double slack;
};

bool integral(double v) { return v == std::round(v) && std::fabs(v) < 1e9; }

// symmetric difference of sorted lists
std::vector<int> xor_sets(const std::vector<int> &a, const std::vector<int> &b) {
  std::vector<int> r;
  std::set_symmetric_difference(a.begin(), a.end(), b.begin(), b.end(), std::back_inserter(r));
  return r;
}

}  // namespace

void separate_zerohalf(const SepInput &in, std::vector<Cut> &out) {
  const MipProblem &p = in.prob;
  const ExtendedVars &e = in.ext;
  // cost of evening out column j by a bound row; bounds must be finite and integral
  std::vector<double> cost(p.n, kInf);
  std::vector<char> at_bound(p.n, 0);
  for (int j = 0; j < p.n; ++j) {
    if (!p.is_int[j]) continue;
    const double dl = e.lo[j] > -kInf ? in.x[j] - e.lo[j] : kInf;
    const double du = e.up[j] < kInf ? e.up[j] - in.x[j] : kInf;
    cost[j] = std::max(0.0, std::min(dl, du));
    at_bound[j] = cost[j] <= in.int_tol;
  }
  // rows over integer columns with integral data and slack below one
  std::vector<ParityRow> rows;
  std::vector<std::vector<int>> rows_of(p.n);
  for (int i = 0; i < p.m; ++i) {
    const int s = p.row_start[i], t = p.row_start[i + 1];
    if (t - s > kMaxLength) continue;
    bool ok = true;
    double act = 0;
    for (int q = s; q < t && ok; ++q) {
      ok = p.is_int[p.row_index[q]] && integral(p.row_value[q]) && cost[p.row_index[q]] < kInf;
      act += p.row_value[q] * in.x[p.row_index[q]];
    }
    if (!ok) continue;
    for (double side : {1.0, -1.0}) {
      const double b = side > 0 ? p.row_up[i] : -p.row_lo[i];
      if (std::fabs(b) >= kInf || !integral(b)) continue;
      ParityRow r{i, side, {}, 0, b - side * act};
      if (r.slack >= 1 - 1e-6) continue;
      long long par = static_cast<long long>(b);
      for (int q = s; q < t; ++q) {
        const int j = p.row_index[q];
        if ((static_cast<long long>(p.row_value[q]) & 1) == 0) continue;
        if (at_bound[j]) {
          // evened at no cost by the bound the column sits at
          par += static_cast<long long>(in.x[j] - e.lo[j] < e.up[j] - in.x[j] ? -e.lo[j] : e.up[j]);
        } else {
          r.odd.push_back(j);
        }
      }
      std::sort(r.odd.begin(), r.odd.end());
      r.parity = static_cast<int>(((par % 2) + 2) % 2);
      for (int j : r.odd) rows_of[j].push_back(static_cast<int>(rows.size()));
      rows.push_back(std::move(r));
    }
  }
  auto odd_cost = [&](const std::vector<int> &odd) {
    double c = 0;
    for (int j : odd) c += cost[j];
    return c;
  };
  std::vector<char> used(rows.size(), 0);
  // sums of the chosen rows, zero between combinations
  std::vector<double> v(p.n, 0.0);
  std::vector<char> listed(p.n, 0);
  std::vector<int> touched;
  for (size_t start = 0; start < rows.size(); ++start) {
    if (static_cast<int>(out.size()) >= in.max_cuts) break;
    std::vector<int> chosen{static_cast<int>(start)};
    std::vector<int> odd = rows[start].odd;
    int parity = rows[start].parity;
    double slack = rows[start].slack;
    double total = slack + odd_cost(odd);
    for (int step = 1; step < kMaxRowsCombined && !odd.empty(); ++step) {
      // the row sharing an odd column that lowers the cost most
      int best = -1;
      double best_total = total;
      std::vector<int> best_odd;
      for (int j : odd)
        for (int k : rows_of[j]) {
          if (std::find(chosen.begin(), chosen.end(), k) != chosen.end()) continue;
          if (rows[k].row == rows[start].row) continue;
          std::vector<int> o = xor_sets(odd, rows[k].odd);
          const double tot = slack + rows[k].slack + odd_cost(o);
          if (tot < best_total - 1e-9) best_total = tot, best = k, best_odd = std::move(o);
        }
      if (best < 0) break;
      chosen.push_back(best);
      odd = std::move(best_odd);
      parity ^= rows[best].parity;
      slack += rows[best].slack;
      total = best_total;
    }
    if (parity != 1 || total >= 1 - 1e-3) continue;
    std::sort(chosen.begin(), chosen.end());
    bool repeat = true;
    for (int k : chosen) repeat = repeat && used[k];
    if (repeat) continue;
    for (int k : chosen) used[k] = 1;
    // build half of (sum of the rows + bound rows of the odd columns), rounded down
    // a column whose sum cancels and comes back is listed once: twice, its
    // coefficient would go into the cut twice, not halved
    touched.clear();
    double rhs = 0;
    for (int k : chosen) {
      const ParityRow &r = rows[k];
      for (int q = p.row_start[r.row]; q < p.row_start[r.row + 1]; ++q) {
        const int j = p.row_index[q];
        if (!listed[j]) listed[j] = 1, touched.push_back(j);
        v[j] += r.side * p.row_value[q];
      }
      rhs += r.side > 0 ? p.row_up[r.row] : -p.row_lo[r.row];
    }
    Cut cut;
    bool ok = true;
    for (int j : touched) {
      if (std::fmod(std::fabs(v[j]), 2.0) == 1.0) {
        const bool use_lower = in.x[j] - e.lo[j] < e.up[j] - in.x[j];
        if (use_lower) {
          v[j] -= 1;
          rhs -= e.lo[j];
        } else {
          v[j] += 1;
          rhs += e.up[j];
        }
        if (std::fabs(rhs) >= kInf) ok = false;
      }
      if (v[j] != 0.0) {
        cut.index.push_back(j);
        cut.value.push_back(v[j] / 2);
      }
    }
    for (int j : touched) v[j] = 0.0, listed[j] = 0;
    if (!ok || cut.index.empty()) continue;
    cut.rhs = std::floor(rhs / 2);
    cut.tag = "LATC";
    if (!tidy_cut(cut, p, in.safety)) continue;
    cut.efficacy = cut_efficacy(cut, in.x);
    if (cut.efficacy >= in.safety.min_efficacy) out.push_back(std::move(cut));
  }
}

}  // namespace tarvo::mip
