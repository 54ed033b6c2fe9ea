// Triangular crash basis for cold starts. Structural columns, most useful
// first (free, then one-sided, then boxed; cheap before dear), replace the
// slacks of equality rows, whose fixed slacks are artificials in the basis.
// A column is taken only with a large entry in a row no earlier column
// touches, so the basis stays triangular and needs no numerical check.
#include <algorithm>
#include <cmath>
#include <numeric>

#include "simplex/glp.hpp"

namespace tarvo::simplex {
namespace {

constexpr double kPivotShare = 0.99;  // pivot at least this share of the column's largest entry

// Smaller is better: the kind of the bounds, then the cost as a tie-break.
double preference(const Glp &g, int j, double cmax) {
  const bool lo = g.lower[j] > -kInf, up = g.upper[j] < kInf;
  const double kind = !lo && !up ? 0.0 : (lo != up ? 1.0 : 2.0);
  return kind + (cmax > 0 ? std::fabs(g.cost[j]) / cmax : 0.0);
}

}  // namespace

int crash_basis(Glp &g) {
  const int m = g.m, n = g.n;
  if (m == 0 || n == 0) return 0;
  // only from the slack basis: a basis already worked on is worth more
  for (int p = 0; p < m; ++p)
    if (g.head[p] != n + p) return 0;
  double cmax = 0;
  for (int j = 0; j < n; ++j) cmax = std::max(cmax, std::fabs(g.cost[j]));
  std::vector<int> order;
  order.reserve(n);
  for (int j = 0; j < n; ++j)
    if (g.lower[j] < g.upper[j] && g.col_start[j] < g.col_start[j + 1]) order.push_back(j);
  std::vector<double> pref(n, 0.0);
  for (int j : order) pref[j] = preference(g, j, cmax);
  std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return pref[a] < pref[b]; });

  std::vector<char> touched(m, 0);  // a crashed column has an entry in this row
  int put_in = 0;
  for (int j : order) {
    double colmax = 0;
    for (int k = g.col_start[j]; k < g.col_start[j + 1]; ++k) colmax = std::max(colmax, std::fabs(g.col_value[k]));
    if (colmax == 0) continue;
    const bool free = g.lower[j] <= -kInf && g.upper[j] >= kInf;
    int pivot_row = -1;
    double pivot_abs = 0;
    for (int k = g.col_start[j]; k < g.col_start[j + 1]; ++k) {
      const int i = g.col_index[k];
      const double a = std::fabs(g.col_value[k]);
      if (touched[i] || a < kPivotShare * colmax || a <= pivot_abs) continue;
      const int slack = n + i;
      // a free column is worth a row of any kind; others take equality rows
      if (!free && g.lower[slack] != g.upper[slack]) continue;
      pivot_row = i;
      pivot_abs = a;
    }
    if (pivot_row < 0) continue;
    for (int k = g.col_start[j]; k < g.col_start[j + 1]; ++k) touched[g.col_index[k]] = 1;
    const int slack = n + pivot_row;
    const int p = g.where[slack];
    g.head[p] = j;
    g.where[j] = p;
    g.state[j] = kBasic;
    g.where[slack] = -1;
    choose_nonbasic_state(g, slack, 0.0);
    ++put_in;
  }
  if (put_in > 0) {
    g.weights_exact = false;
    g.factored = false;
    g.wfact = WFACT_INIT;
  }
  return put_in;
}

}  // namespace tarvo::simplex
