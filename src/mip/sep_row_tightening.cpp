// Cuts from single rows over integer columns: dividing by the greatest
// common divisor of the coefficients and rounding the right-hand side down
// (GCD cuts), and reducing the coefficients of binaries that the rest of the
// row cannot use fully (coefficient-reduction cuts).
#include <cmath>
#include <numeric>

#include "mip/separators.hpp"

namespace tarvo::mip {

namespace {
constexpr double kInf = 1e30;
constexpr double kMaxIntCoef = 1e9;

void keep_if_violated(const SepInput &in, Cut &cut, std::vector<Cut> &out) {
  if (!tidy_cut(cut, in.prob, in.safety)) return;
  cut.efficacy = cut_efficacy(cut, in.x);
  if (cut.efficacy >= in.safety.min_efficacy) out.push_back(std::move(cut));
}

// sum val x <= b over integer columns with integral coefficients
void gcd_cut(const SepInput &in, const std::vector<int> &idx, const std::vector<double> &val, double b,
             std::vector<Cut> &out) {
  long long g = 0;
  for (size_t q = 0; q < idx.size(); ++q) {
    const double a = val[q];
    if (!in.prob.is_int[idx[q]] || std::fabs(a) > kMaxIntCoef || a != std::round(a)) return;
    g = std::gcd(g, static_cast<long long>(std::fabs(a)));
  }
  if (g <= 0) return;
  const double r = std::floor(b / g + 1e-9);
  if (b / g - r < 1e-6) return;  // nothing to round
  Cut cut;
  cut.index = idx;
  for (double a : val) cut.value.push_back(a / g);
  cut.rhs = r;
  cut.tag = "GCDC";
  keep_if_violated(in, cut, out);
}

// sum val x <= b: a binary x_j with a_j > 0 whose row stays satisfied with
// slack d > 0 when x_j = 0 may drop d from a_j and from b (likewise complemented).
void coefficient_cut(const SepInput &in, const std::vector<int> &idx, std::vector<double> val, double b,
                     std::vector<Cut> &out) {
  const ExtendedVars &e = in.ext;
  double maxact = 0;
  for (size_t q = 0; q < idx.size(); ++q) {
    const int j = idx[q];
    const double top = val[q] > 0 ? e.up[j] : e.lo[j];
    if (std::fabs(top) >= kInf) return;
    maxact += val[q] * top;
  }
  bool changed = false;
  for (size_t q = 0; q < idx.size(); ++q) {
    const int j = idx[q];
    if (!in.prob.is_binary(j) || val[q] == 0.0) continue;
    const double a = val[q];
    const double rest = maxact - std::max(a, 0.0);  // largest activity of the others
    const double d = a > 0 ? b - rest : b - rest - a;  // slack when the binary sits where it adds least
    if (d <= 1e-9 * (1 + std::fabs(b)) || std::fabs(a) <= d + 1e-9) continue;
    if (a > 0) {
      val[q] = a - d;
      b -= d;
      maxact -= d;
    } else {
      val[q] = a + d;
    }
    changed = true;
  }
  if (!changed) return;
  Cut cut;
  cut.index = idx;
  cut.value = val;
  cut.rhs = b;
  cut.tag = "COFR";
  keep_if_violated(in, cut, out);
}

}  // namespace

void separate_row_tightening(const SepInput &in, bool gcd, bool coef, std::vector<Cut> &out) {
  const MipProblem &p = in.prob;
  std::vector<int> idx;
  std::vector<double> val;
  for (int i = 0; i < p.m && static_cast<int>(out.size()) < in.max_cuts; ++i) {
    idx.assign(p.row_index.begin() + p.row_start[i], p.row_index.begin() + p.row_start[i + 1]);
    for (double side : {1.0, -1.0}) {
      const double b = side > 0 ? p.row_up[i] : -p.row_lo[i];
      if (std::fabs(b) >= kInf) continue;
      val.clear();
      for (int q = p.row_start[i]; q < p.row_start[i + 1]; ++q) val.push_back(side * p.row_value[q]);
      if (gcd) gcd_cut(in, idx, val, b, out);
      if (coef) coefficient_cut(in, idx, val, b, out);
    }
  }
}

}  // namespace tarvo::mip
