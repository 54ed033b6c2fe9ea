#include "mip/dual_proof.hpp"

#include <algorithm>
#include <cmath>

namespace tarvo::mip {
namespace {

constexpr double kInf = 1e30;
constexpr double kTinyMult = 1e-9;  // relative to the largest multiplier: round-off of a zero

}  // namespace

int proof_length_limit(int n) { return std::clamp(n / 5, 10, 500); }

bool combine_proof(const simplex::LpSolver &lp, const std::vector<double> &mult, const std::vector<double> *cost,
                   double obj_rhs, const std::vector<char> &is_int, const ProofBox &box, const ProofLimits &lim,
                   ProofRow *out) {
  const int n = lp.cols(), m = std::min<int>(lp.rows(), static_cast<int>(mult.size()));
  double ymax = 0;
  for (int i = 0; i < m; ++i) ymax = std::max(ymax, std::fabs(mult[i]));
  if (!(ymax > 0) && !cost) return false;
  if (!std::isfinite(ymax)) return false;
  std::vector<double> a(n, 0.0);
  double rhs = 0, mag = 0;  // mag: size of the terms summed, for the round-off allowance
  std::vector<int> idx;
  std::vector<double> val;
  for (int i = 0; i < m; ++i) {
    const double y = mult[i];
    // a dropped multiplier only weakens the combination, never voids it
    if (std::fabs(y) <= kTinyMult * ymax) continue;
    const double side = y > 0 ? lp.row_upper(i) : lp.row_lower(i);
    if (std::fabs(side) >= kInf) continue;
    lp.get_row(i, idx, val);
    for (size_t k = 0; k < idx.size(); ++k) {
      a[idx[k]] += y * val[k];
      mag += std::fabs(y * val[k]);
    }
    rhs += y * side;
    mag += std::fabs(y * side);
  }
  if (cost) {
    if (std::fabs(obj_rhs) >= kInf) return false;
    for (int j = 0; j < n; ++j) a[j] += (*cost)[j];
    rhs += obj_rhs;
    mag += std::fabs(obj_rhs);
  }
  // a_j x_j >= a_j * (its least global value): the column leaves, the right-hand side pays for it
  auto relax = [&](int j) {
    const double b = a[j] > 0 ? box.glo[j] : box.gup[j];
    if (std::fabs(b) >= kInf) return false;
    rhs -= a[j] * b;
    mag += std::fabs(a[j] * b);
    a[j] = 0;
    return true;
  };
  double amax = 0;
  for (int j = 0; j < n; ++j)
    if (is_int[j]) amax = std::max(amax, std::fabs(a[j]));
  for (int j = 0; j < n; ++j) {
    if (a[j] == 0) continue;
    if ((!is_int[j] || std::fabs(a[j]) * lim.max_range < amax || std::fabs(a[j]) < 1e-9 * (1 + amax)) && !relax(j))
      return false;
  }
  if (!(amax > 0)) return false;
  // the node's least activity against the right-hand side
  auto local_excess = [&]() {
    double act = 0;
    for (int j = 0; j < n; ++j) {
      if (a[j] == 0) continue;
      const double b = a[j] > 0 ? box.llo[j] : box.lup[j];
      if (std::fabs(b) >= kInf) return -kInf;
      act += a[j] * b;
    }
    return act - rhs;
  };
  int len = 0;
  for (int j = 0; j < n; ++j) len += a[j] != 0;
  if (len > lim.max_len) {
    // columns at their global bound on the side that counts add nothing to the node's violation
    for (int j = 0; j < n; ++j) {
      if (a[j] == 0) continue;
      const bool same = a[j] > 0 ? box.llo[j] <= box.glo[j] : box.lup[j] >= box.gup[j];
      if (same && relax(j)) --len;
    }
    if (len > lim.max_len) return false;
  }
  // rounding in the sums above must not make the proof cut off a solution
  rhs += 1e-9 * (std::fabs(rhs) + mag);
  const double excess = local_excess();
  if (!(excess > 1e-6 * std::max(1.0, std::fabs(rhs)) + 1e-9 * mag)) return false;
  out->index.clear();
  out->value.clear();
  for (int j = 0; j < n; ++j)
    if (a[j] != 0) {
      out->index.push_back(j);
      out->value.push_back(a[j]);
    }
  out->rhs = rhs;
  return !out->index.empty();
}

bool dual_proof_from_lp(const simplex::LpSolver &lp, const MipProblem &p, double cutoff,
                        const std::vector<double> &glo, const std::vector<double> &gup, const ProofLimits &lim,
                        ProofRow *out) {
  if (lp.cols() != p.n || lp.sense() != 1) return false;
  const ProofBox box{glo, gup, lp.col_lowers(), lp.col_uppers()};
  std::vector<double> y;
  const simplex::LpStatus st = lp.status();
  if (st == simplex::LpStatus::kInfeasible) {
    if (!lp.infeasibility_multipliers(y)) return false;
    if (combine_proof(lp, y, nullptr, 0, p.is_int, box, lim, out)) return true;
    for (double &v : y) v = -v;  // the solver's sign convention is its own
    return combine_proof(lp, y, nullptr, 0, p.is_int, box, lim, out);
  }
  if (st != simplex::LpStatus::kCutoff && st != simplex::LpStatus::kOptimal) return false;
  if (!(cutoff < kInf)) return false;
  // c^T x = y^T A x + d^T x: the rows enter with the duals' opposite sign
  y = lp.duals();
  for (double &v : y) v = -v;
  return combine_proof(lp, y, &p.c, cutoff - p.obj_constant, p.is_int, box, lim, out);
}

}  // namespace tarvo::mip
