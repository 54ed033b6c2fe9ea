// Coefficient tightening of one-sided rows: a binary whose coefficient is
// larger than the slack the rest of the row can ever use gets that excess
// removed from the coefficient (and the right-hand side), which cuts off
// fractional points without changing the integer solutions. Rows with only
// integer columns and integer coefficients are divided by their GCD and the
// right-hand side rounded.
#include <cmath>
#include <numeric>

#include "presolve/work_problem.hpp"

namespace tarvo::presolve {
namespace {

bool binary(const WorkProblem &w, int j) { return w.is_int(j) && w.lower[j] == 0 && w.upper[j] == 1; }

// Row i as  sum a x <= b  (sign -1 reads a >= row as its negation).
int tighten_row(WorkProblem &w, int i, double sign) {
  double b = sign > 0 ? w.row_upper[i] : -w.row_lower[i];
  Activity act = w.activity(i);
  const double maxact = sign > 0 ? act.highest() : -act.lowest();
  if (std::fabs(maxact) >= kInf || std::fabs(b) >= kInf) return 0;
  int count = 0;
  const std::vector<Entry> entries = w.rows[i];
  double max_now = maxact;
  for (const Entry &e : entries) {
    const int j = e.index;
    if (!binary(w, j)) continue;
    const double a = sign * e.value;
    if (a > 0 && max_now - a < b - 1e-9) {
      const double d = b - (max_now - a);
      if (d <= 1e-9 || d >= a) continue;
      w.set_coef(i, j, sign * (a - d));
      b -= d;
      max_now -= d;
      ++count;
    } else if (a < 0 && max_now + a < b - 1e-9) {
      const double d = b - (max_now + a);
      if (d <= 1e-9 || d >= -a) continue;
      w.set_coef(i, j, sign * (a + d));
      ++count;
    }
  }
  if (sign > 0) w.row_upper[i] = b; else w.row_lower[i] = -b;
  return count;
}

// GCD of integer coefficients over integer columns; 0 when not applicable.
long row_gcd(const WorkProblem &w, int i) {
  long g = 0;
  for (const Entry &e : w.rows[i]) {
    if (!w.is_int(e.index)) return 0;
    const double a = std::fabs(e.value);
    if (a != std::floor(a) || a > 1e9) return 0;
    g = std::gcd(g, static_cast<long>(a));
  }
  return g;
}

}  // namespace

int tighten_coefficients(WorkProblem &w) {
  int count = 0;
  for (int i = 0; i < w.m; ++i) {
    if (!w.row_alive[i] || w.rows[i].size() < 2) continue;
    const bool has_lower = w.row_lower[i] > -kInf, has_upper = w.row_upper[i] < kInf;
    if (has_upper && !has_lower) count += tighten_row(w, i, 1);
    else if (has_lower && !has_upper) count += tighten_row(w, i, -1);
    const long g = row_gcd(w, i);
    if (g <= 1) {
      // integer rows still get integral sides
      if (g == 1) {
        double &rl = w.row_lower[i], &ru = w.row_upper[i];
        if (rl > -kInf && std::ceil(rl - 1e-9) != rl) rl = std::ceil(rl - 1e-9), ++count;
        if (ru < kInf && std::floor(ru + 1e-9) != ru) ru = std::floor(ru + 1e-9), ++count;
        if (rl > ru) w.infeasible = true;
      }
      continue;
    }
    const double d = static_cast<double>(g);
    for (Entry e : std::vector<Entry>(w.rows[i])) w.set_coef(i, e.index, e.value / d);
    double &rl = w.row_lower[i], &ru = w.row_upper[i];
    if (rl > -kInf) rl = std::ceil(rl / d - 1e-9);
    if (ru < kInf) ru = std::floor(ru / d + 1e-9);
    if (rl > ru) w.infeasible = true;
    ++count;
  }
  w.counts->coefs_tightened += count;
  return count;
}

}  // namespace tarvo::presolve
