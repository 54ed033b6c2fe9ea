// Activity-based bound tightening with a work list of rows. Derived bounds
// of continuous columns are relaxed by a relative margin and bounds beyond
// 1e12 are not created, so that rounding in long sums never cuts off a
// feasible point.
#include "mip/bound_propagation.hpp"

#include <algorithm>
#include <cmath>

namespace tarvo::mip {
namespace {

constexpr double kInf = 1e30;
constexpr double kHuge = 1e12;     // derived bounds beyond this are not worth keeping
constexpr double kTinyCoef = 1e-9;  // coefficients below this say nothing reliable

double feas_margin(double v) { return 1e-6 * std::max(1.0, std::fabs(v)); }

}  // namespace

BoundPropagator::BoundPropagator(const MipProblem &p, std::vector<double> lo, std::vector<double> up, double int_tol)
    : p_(p), lo_(std::move(lo)), up_(std::move(up)), int_tol_(int_tol), queued_(p.m, 0) {}

bool BoundPropagator::set_bound(int j, bool upper, double v) {
  if (!std::isfinite(v) || std::fabs(v) > kHuge) return true;
  if (p_.is_int[j]) {
    v = upper ? std::floor(v + int_tol_) : std::ceil(v - int_tol_);
  } else {
    v += upper ? 1e-9 * std::max(1.0, std::fabs(v)) : -1e-9 * std::max(1.0, std::fabs(v));
  }
  double &b = upper ? up_[j] : lo_[j];
  // a change must be worth the rows it wakes up
  const double gain = upper ? b - v : v - b;
  const double worth = p_.is_int[j] ? 0.5 : 1e-6 * std::max(1.0, std::fabs(v));
  if (!(gain > worth)) return true;
  trail_.push_back({j, upper, b});
  b = v;
  if (lo_[j] > up_[j]) {
    if (p_.is_int[j] || lo_[j] > up_[j] + feas_margin(up_[j])) return false;
    b = upper ? lo_[j] : up_[j];  // crossed by rounding only
  }
  for (int k = p_.col_start[j]; k < p_.col_start[j + 1]; ++k) {
    const int i = p_.col_index[k];
    if (!queued_[i]) {
      queued_[i] = 1;
      queue_.push_back(i);
    }
  }
  return true;
}

bool BoundPropagator::propagate_row(int i) {
  const int beg = p_.row_start[i], end = p_.row_start[i + 1];
  work_ += end - beg;
  double min_act = 0, max_act = 0;
  double widest = 0;  // largest |a_j| (u_j - l_j): no entry moves further
  int min_inf = 0, max_inf = 0;
  for (int k = beg; k < end; ++k) {
    const double a = p_.row_value[k];
    const int j = p_.row_index[k];
    const double l = lo_[j], u = up_[j];
    const double lo_part = a > 0 ? l : u, up_part = a > 0 ? u : l;
    if (std::fabs(lo_part) >= kInf) ++min_inf; else min_act += a * lo_part;
    if (std::fabs(up_part) >= kInf) ++max_inf; else max_act += a * up_part;
    widest = std::max(widest, l <= -kInf || u >= kInf ? kInf : std::fabs(a) * (u - l));
  }
  const double rl = p_.row_lo[i], ru = p_.row_up[i];
  if (min_inf == 0 && ru < kInf && min_act > ru + feas_margin(ru) + 1e-9 * std::fabs(min_act)) return false;
  if (max_inf == 0 && rl > -kInf && max_act < rl - feas_margin(rl) - 1e-9 * std::fabs(max_act)) return false;
  // a side tightens an entry only when that entry's range exceeds the side's
  // slack: most wake-ups of a long row end here, without a pass over its entries
  const bool use_up = ru < kInf && (min_inf == 1 || (min_inf == 0 && widest > ru - min_act));
  const bool use_lo = rl > -kInf && (max_inf == 1 || (max_inf == 0 && widest > max_act - rl));
  if (!use_up && !use_lo) return true;
  for (int k = beg; k < end; ++k) {
    const double a = p_.row_value[k];
    if (std::fabs(a) < kTinyCoef) continue;
    const int j = p_.row_index[k];
    const double l = lo_[j], u = up_[j];
    const double lo_part = a > 0 ? l : u, up_part = a > 0 ? u : l;
    if (use_up) {
      // a*x_j <= ru - (the least the other entries can add)
      double rest = 0;
      bool finite = false;
      if (std::fabs(lo_part) >= kInf) {
        finite = min_inf == 1;
        rest = min_act;
      } else if (min_inf == 0) {
        finite = true;
        rest = min_act - a * lo_part;
      }
      if (finite && !set_bound(j, a > 0, (ru - rest) / a)) return false;
    }
    if (use_lo) {
      double rest = 0;
      bool finite = false;
      if (std::fabs(up_part) >= kInf) {
        finite = max_inf == 1;
        rest = max_act;
      } else if (max_inf == 0) {
        finite = true;
        rest = max_act - a * up_part;
      }
      if (finite && !set_bound(j, a < 0, (rl - rest) / a)) return false;
    }
  }
  return true;
}

bool BoundPropagator::run() {
  bool ok = true;
  size_t head = 0;
  while (head < queue_.size()) {
    const int i = queue_[head++];
    queued_[i] = 0;
    if (!ok || work_ > work_limit_) continue;  // drain the flags
    ok = propagate_row(i);
  }
  queue_.clear();
  return ok;
}

bool BoundPropagator::tighten(int j, double l, double u) {
  if (!set_bound(j, false, std::max(l, lo_[j])) || !set_bound(j, true, std::min(u, up_[j]))) {
    for (int i : queue_) queued_[i] = 0;
    queue_.clear();
    return false;
  }
  return run();
}

bool BoundPropagator::propagate_all() {
  for (int pass = 0; pass < 20; ++pass) {
    const size_t before = trail_.size();
    for (int i = 0; i < p_.m; ++i)
      if (!queued_[i]) {
        queued_[i] = 1;
        queue_.push_back(i);
      }
    if (!run()) return false;
    if (trail_.size() == before || work_ > work_limit_) break;
  }
  return true;
}

std::vector<int> BoundPropagator::changed_since(std::size_t mark) const {
  std::vector<int> cols;
  for (size_t k = mark; k < trail_.size(); ++k) cols.push_back(trail_[k].col);
  return cols;
}

std::vector<int> BoundPropagator::sides_changed_since(std::size_t mark) const {
  std::vector<int> sides;
  for (size_t k = mark; k < trail_.size(); ++k) sides.push_back(2 * trail_[k].col + trail_[k].upper);
  return sides;
}

void BoundPropagator::undo(std::size_t mark) {
  while (trail_.size() > mark) {
    const Entry &e = trail_.back();
    (e.upper ? up_ : lo_)[e.col] = e.old;
    trail_.pop_back();
  }
}

}  // namespace tarvo::mip
