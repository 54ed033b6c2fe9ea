// Disaggregation and plant-location cuts. A row sum a_j y_j <= U x with one
// binary x, every a_j > 0 and every y_j >= 0 forces all y_j to zero when
// x = 0, so each y_j <= u_j x with u_j = min(upper bound of y_j, U / a_j)
// ("DISAGG"). When another row over nonnegative columns bounds y_j more
// tightly, as a customer's demand bounds its supply from every plant, u_j
// comes from that row ("PLANLOC").
#include <cmath>

#include "mip/separators.hpp"

namespace tarvo::mip {

namespace {
constexpr double kInf = 1e30;
constexpr int kMaxRowLength = 2000;

// Upper bound on y_j from single rows sum a_k v_k <= b with every a_k > 0 and
// every v_k >= 0 (a row with the binary's negative coefficient never
// qualifies); +inf when none.
double bound_from_rows(const MipProblem &p, int j) {
  double best = kInf;
  for (int q = p.col_start[j]; q < p.col_start[j + 1]; ++q) {
    const int i = p.col_index[q];
    if (p.row_start[i + 1] - p.row_start[i] > kMaxRowLength) continue;
    for (double side : {1.0, -1.0}) {
      const double b = side > 0 ? p.row_up[i] : -p.row_lo[i];
      if (std::fabs(b) >= kInf || side * p.col_value[q] <= 0) continue;
      bool ok = true;
      for (int t = p.row_start[i]; t < p.row_start[i + 1] && ok; ++t)
        ok = side * p.row_value[t] > 0 && p.col_lo[p.row_index[t]] >= 0;
      if (ok) best = std::min(best, b / (side * p.col_value[q]));
    }
  }
  return best;
}

}  // namespace

void separate_disaggregation(const SepInput &in, bool disagg, bool plant_loc, std::vector<Cut> &out) {
  const MipProblem &p = in.prob;
  if (!disagg && !plant_loc) return;
  std::vector<double> other_bound(plant_loc ? p.n : 0, -1.0);  // -1: not computed yet
  int found = 0;
  for (int i = 0; i < p.m && found < in.max_cuts; ++i) {
    const int s = p.row_start[i], t = p.row_start[i + 1];
    if (t - s < 3 || t - s > kMaxRowLength) continue;
    for (double side : {1.0, -1.0}) {
      const double b = side > 0 ? p.row_up[i] : -p.row_lo[i];
      if (b != 0.0) continue;  // x = 0 must force every y_j to zero
      int x = -1;
      double cap = 0;
      bool ok = true;
      for (int q = s; q < t && ok; ++q) {
        const int j = p.row_index[q];
        const double a = side * p.row_value[q];
        if (a < 0 && p.is_binary(j) && x < 0) {
          x = j;
          cap = -a;
        } else {
          ok = a > 0 && p.col_lo[j] >= 0;
        }
      }
      // with x at 0 or 1 in the LP point no such cut is violated
      if (!ok || x < 0 || std::fabs(in.x[x] - std::round(in.x[x])) <= in.int_tol) continue;
      for (int q = s; q < t && found < in.max_cuts; ++q) {
        const int j = p.row_index[q];
        if (j == x) continue;
        const double a = side * p.row_value[q];
        double u = std::min(p.col_up[j], cap / a);
        bool from_other = false;
        if (plant_loc) {
          if (other_bound[j] < 0) other_bound[j] = bound_from_rows(p, j);
          const double other = other_bound[j];
          if (other < u) u = other, from_other = true;
        }
        if (!from_other && !disagg) continue;
        if (!(u < kInf) || u <= 0) continue;
        if (p.is_int[j]) u = std::floor(u + 1e-9);
        if (in.x[j] - u * in.x[x] <= 1e-6 * (1 + u)) continue;
        Cut cut;
        cut.index = {j, x};
        cut.value = {1.0, -u};
        cut.rhs = 0;
        cut.tag = from_other ? "PLANLOC" : "DISAGG";
        if (!tidy_cut(cut, p, in.safety)) continue;
        cut.efficacy = cut_efficacy(cut, in.x);
        if (cut.efficacy < in.safety.min_efficacy) continue;
        out.push_back(std::move(cut));
        found++;
      }
    }
  }
}

}  // namespace tarvo::mip
