// Candidate checks and the improvement notice.
#include "mip/incumbent.hpp"

#include <algorithm>
#include <cmath>

#include "mip/point_repair.hpp"

namespace tarvo::mip {

bool point_feasible(const MipProblem &p, const std::vector<double> &x, double int_tol, double feas_tol) {
  if (static_cast<int>(x.size()) < p.n) return false;
  for (int j = 0; j < p.n; ++j) {
    const double v = x[j];
    if (!std::isfinite(v)) return false;
    if (v < p.col_lo[j] - feas_tol * (1 + std::fabs(p.col_lo[j]))) return false;
    if (v > p.col_up[j] + feas_tol * (1 + std::fabs(p.col_up[j]))) return false;
    if (p.is_int[j] && std::fabs(v - std::round(v)) > int_tol) return false;
  }
  // the scale of the terms bounds the rounding error of the sum
  return relative_row_violation(p, x) <= feas_tol;
}

Incumbent::Incumbent(const MipProblem &p, double int_tol, double feas_tol)
    : p_(p), int_tol_(int_tol), feas_tol_(feas_tol) {}

bool Incumbent::submit(const std::vector<double> &x, const char *tag) {
  last_feasible_ = false;
  if (static_cast<int>(x.size()) < p_.n) return false;
  std::vector<double> y(x.begin(), x.begin() + p_.n);
  if (!point_feasible(p_, y, int_tol_, feas_tol_)) return false;
  // what is reported sits exactly on integers and inside the bounds
  if (!clean_point(p_, y, feas_tol_)) return false;
  last_feasible_ = true;
  const double obj = objective_of(p_, y.data());
  keep(obj, y);
  if (obj >= threshold_) return false;
  if (!x_.empty() && obj >= obj_ - 1e-9 * std::max(1.0, std::fabs(obj_))) return false;
  x_.swap(y);
  obj_ = obj;
  ++count_;
  tag_ = tag ? tag : "";
  if (notify_) notify_(tag_.c_str());
  return true;
}

void Incumbent::keep(double obj, const std::vector<double> &x) {
  if (capacity_ == 0) return;
  if (static_cast<int>(store_.size()) >= capacity_ && obj >= store_.back().first) return;
  for (const auto &entry : store_)
    if (entry.first == obj && entry.second == x) return;
  auto at = std::upper_bound(store_.begin(), store_.end(), obj,
                             [](double v, const std::pair<double, std::vector<double>> &e) { return v < e.first; });
  store_.emplace(at, obj, x);
  if (static_cast<int>(store_.size()) > capacity_) store_.pop_back();
}

}  // namespace tarvo::mip
