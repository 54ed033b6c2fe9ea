// Coefficient lifting with set-packing rows: in a row  sum a x <= b  with a
// binary x_k (a_k > 0), setting x_k = 1 forces to 0 every column that shares
// a set-packing row (sum x <= 1) with it. When the rest of the row can then
// reach at most M_k and a_k + M_k < b, the coefficient of x_k rises to
// b - M_k: the row holds for x_k = 0 as before and for x_k = 1 by the bound,
// so no integer point is lost and the relaxation gets tighter.
#include <algorithm>
#include <cmath>

#include "presolve/work_problem.hpp"

namespace tarvo::presolve {
namespace {

bool binary(const WorkProblem &w, int j) { return w.is_int(j) && w.lower[j] == 0 && w.upper[j] == 1; }

// Row i reads  c * sum x <= c  over binaries (any c > 0, either side).
bool packing_row(const WorkProblem &w, int i) {
  const std::vector<Entry> &row = w.rows[i];
  if (row.size() < 2) return false;
  const double c = row[0].value;
  for (const Entry &e : row)
    if (e.value != c || !binary(w, e.index)) return false;
  if (c > 0) return w.row_upper[i] == c && w.row_lower[i] <= 0;
  return w.row_lower[i] == c && w.row_upper[i] >= 0;
}

class Lifter {
 public:
  explicit Lifter(WorkProblem &w) : w_(w), coef_(w.n, 0.0), stamp_(w.n, 0), packing_(w.m, 0) {
    for (int i = 0; i < w.m; ++i) packing_[i] = w.row_alive[i] && packing_row(w, i);
    budget_ = 20.0 * std::max<long>(w.nonzeros, 1000);
  }

  int run() {
    int count = 0;
    for (int i = 0; i < w_.m && work_ < budget_; ++i) {
      if (!w_.row_alive[i] || packing_[i] || w_.rows[i].size() < 2) continue;
      const bool has_lower = w_.row_lower[i] > -kInf, has_upper = w_.row_upper[i] < kInf;
      if (has_upper == has_lower) continue;  // equations and free rows keep their coefficients
      count += lift_row(i, has_upper ? 1.0 : -1.0);
      if ((i & 63) == 0 && w_.out_of_time()) break;
    }
    return count;
  }

 private:
  // Row i as  sum (sign a) x <= sign b.
  int lift_row(int i, double sign) {
    const double b = sign > 0 ? w_.row_upper[i] : -w_.row_lower[i];
    const Activity act = w_.activity(i);
    double maxact = sign > 0 ? act.highest() : -act.lowest();
    if (std::fabs(maxact) >= kInf) return 0;
    const std::vector<Entry> entries = w_.rows[i];
    double largest = 0;
    for (const Entry &e : entries) {
      coef_[e.index] = sign * e.value;
      largest = std::max(largest, std::fabs(e.value));
    }
    int count = 0;
    for (const Entry &e : entries) {
      const int k = e.index;
      const double a = coef_[k];
      if (a <= 0 || !binary(w_, k)) continue;
      // the most the rest reaches with x_k = 1 and its packing neighbours at 0
      ++round_;
      stamp_[k] = round_;
      double rest = maxact - a;
      bool any = false;
      for (const Entry &pe : w_.cols[k]) {
        if (!packing_[pe.index]) continue;
        for (const Entry &q : w_.rows[pe.index]) {
          ++work_;
          const int j = q.index;
          if (stamp_[j] == round_) continue;
          stamp_[j] = round_;
          if (coef_[j] > 0) {
            rest -= coef_[j];
            any = true;
          }
        }
      }
      if (!any) continue;
      const double lifted = b - rest;
      // a gain worth the change, and no coefficient far beyond the row's own scale
      if (!(lifted > a + 1e-7 * std::max(1.0, std::fabs(a))) || lifted > 1e3 * largest) continue;
      w_.set_coef(i, k, sign * lifted);
      coef_[k] = lifted;
      maxact += lifted - a;
      ++count;
    }
    for (const Entry &e : entries) coef_[e.index] = 0;
    return count;
  }

  WorkProblem &w_;
  std::vector<double> coef_;   // row i's coefficients in <= form, by column
  std::vector<long> stamp_;    // columns already counted for the x_k in hand
  std::vector<char> packing_;
  long round_ = 0;
  double work_ = 0, budget_ = 0;
};

}  // namespace

int lift_coefficients(WorkProblem &w) {
  if (w.integer.empty()) return 0;
  const int count = Lifter(w).run();
  w.counts->lifted += count;
  return count;
}

}  // namespace tarvo::presolve
