#include "simplex/dual_phase.hpp"

#include <cmath>

namespace tarvo::simplex {
namespace {

bool infinite_lower(double l) { return l <= -kInf; }
bool infinite_upper(double u) { return u >= kInf; }

// Reduced cost d pushes nonbasic j towards an infinite bound of [l, u]
// (bitwise operations: it runs over all columns after every refactorisation).
bool pushed_to_infinity(double l, double u, double d, double tol) {
  return (l != u) & ((infinite_upper(u) & (d < -tol)) | (infinite_lower(l) & (d > tol)));
}

}  // namespace

int DualPhase::unboxed_infeasible(const Glp &g) const {
  int count = 0;
  const bool boxes = !has_box_.empty();
  for (int j = 0; j < g.n + g.m; ++j)
    count += (g.state[j] != kBasic) & !(boxes && has_box_[j]) &
             pushed_to_infinity(g.lower[j], g.upper[j], g.d[j], g.dtol);
  return count;
}

bool DualPhase::at_artificial_bound(const Glp &g, int j) const {
  if (!has_box_[j]) return false;
  switch (g.state[j]) {
    case kAtLower: return infinite_lower(lower_[j]);
    case kAtUpper: return infinite_upper(upper_[j]);
    default: return false;
  }
}

bool DualPhase::any_at_box(const Glp &g, bool held_only) const {
  // Starts where the last one was found: in phase 1 this runs after every
  // pivot that moves a boxed variable, and that one mostly stays at its box.
  const std::size_t n = boxed_.size();
  if (box_cursor_ >= n) box_cursor_ = 0;
  for (std::size_t k = 0; k < n; ++k) {
    const std::size_t t = box_cursor_ + k < n ? box_cursor_ + k : box_cursor_ + k - n;
    const int j = boxed_[t];
    if (!at_artificial_bound(g, j)) continue;
    // at its lower box with d > 0 (or upper with d < 0) the true problem lets it go further
    if (held_only && std::fabs(g.d[j]) <= g.dtol) continue;
    box_cursor_ = t;
    return true;
  }
  return false;
}

void DualPhase::add_boxes(Glp &g) {
  const int nt = g.n + g.m;
  if (boxed_.empty()) {
    lower_ = g.lower;
    upper_ = g.upper;
    has_box_.assign(nt, 0);
  }
  for (int j = 0; j < nt; ++j) {
    if (g.state[j] == kBasic || has_box_[j]) continue;
    const double l = g.lower[j], u = g.upper[j], d = g.d[j];
    if (!pushed_to_infinity(l, u, d, g.dtol)) continue;
    if (infinite_upper(u)) g.upper[j] = (infinite_lower(l) ? 0.0 : l) + box_;
    if (infinite_lower(l)) g.lower[j] = (infinite_upper(u) ? 0.0 : u) - box_;
    has_box_[j] = 1;
    boxed_.push_back(j);
    ++bound_changes_;
    // the bound the reduced cost asks for
    g.state[j] = d >= 0 ? kAtLower : kAtUpper;
    place_nonbasic(g, j);
  }
}

void DualPhase::remove_boxes(Glp &g) {
  if (!boxed_.empty()) ++bound_changes_;
  for (int j : boxed_) {
    const bool was_at_box = at_artificial_bound(g, j);
    g.lower[j] = lower_[j];
    g.upper[j] = upper_[j];
    has_box_[j] = 0;
    if (g.state[j] == kBasic) continue;
    if (was_at_box) choose_nonbasic_state(g, j, 0.0);
  }
  boxed_.clear();
  lower_.clear();
  upper_.clear();
}

void DualPhase::enter_phase(Glp &g, int phase) {
  if (phase == phase_) return;
  if (phase == 1)
    trace_note(g, phase_ == 2 ? "\nSwitched to phase 1:" : "\nPhase 1 started:");
  else
    trace_note(g, "\nPhase 2 started:");
  phase_ = phase;
  g.dual_phase_now = phase;
}

bool DualPhase::start(Glp &g) {
  const int wrong = unboxed_infeasible(g);
  if (mode_ == 2) {
    // single phase: boxes where needed, taken off at the end like a perturbation
    enter_phase(g, 2);
    if (wrong > 0) add_boxes(g);
    return wrong > 0;
  }
  enter_phase(g, wrong > 0 || mode_ == 1 ? 1 : 2);
  if (wrong > 0) add_boxes(g);
  return wrong > 0;
}

bool DualPhase::after_refactor(Glp &g) {
  const int wrong = unboxed_infeasible(g);
  if (mode_ == 2 || mode_ == 3) {
    // the phase stays: boxes for new infeasibilities (phase 1 or single phase)
    if (wrong > 0 && (mode_ == 2 || phase_ == 1)) add_boxes(g);
    return wrong > 0 && (mode_ == 2 || phase_ == 1);
  }
  const bool held = boxes_on() && any_at_box(g, true);
  if (wrong > 0 || held) {
    enter_phase(g, 1);
    if (wrong > 0) add_boxes(g);
    return wrong > 0;
  }
  if (phase_ == 2) return false;
  enter_phase(g, 2);
  const bool moves = boxes_on() && any_at_box(g, false);
  remove_boxes(g);
  return moves;
}

bool DualPhase::moved(Glp &g, int j) {
  if (phase_ != 1 || mode_ == 3 || !boxes_on() || !has_box_[j]) return false;
  if (any_at_box(g, false)) return false;
  // Nothing sits at a box any more. The basics were updated by steps the size
  // of the boxes, so they are recomputed for phase 2 (the caller does).
  enter_phase(g, 2);
  remove_boxes(g);
  return true;
}

bool DualPhase::finish(Glp &g) {
  if (!boxes_on()) return false;
  if (any_at_box(g, true)) {
    trace_warning(g, "\nWarning: some nonbasics are at artificial bounds. (stat = %d)", g.xstat);
    give_up(g);
    return true;
  }
  const bool moves = any_at_box(g, false);
  if (mode_ != 3) enter_phase(g, 2);
  remove_boxes(g);
  return moves;
}

bool DualPhase::ray_holds(const Glp &g, int leave, bool to_lower, double sgn) const {
  if (!boxes_on()) return true;
  // a basic variable short of its box only: that bound is not the LP's
  if (has_box_[leave] && (to_lower ? infinite_lower(lower_[leave]) : infinite_upper(upper_[leave]))) return false;
  for (int j : g.alpha_list) {
    if (!has_box_[j] || g.state[j] == kBasic) continue;
    const double a = sgn * g.alpha_row[j];
    if (std::fabs(a) <= g.pivot_tol) continue;
    // a < 0: the row gains as x_j rises (a flip takes it to its upper box at
    // most); a > 0: as it falls. An artificial bound there is all that stops it.
    if (a < 0 ? infinite_upper(upper_[j]) : infinite_lower(lower_[j])) return false;
  }
  return true;
}

void DualPhase::give_up(Glp &g) {
  for (int j : boxed_) {
    if (!at_artificial_bound(g, j)) continue;
    g.shift[j] -= g.d[j];
    g.d[j] = 0.0;
  }
  if (mode_ != 3) enter_phase(g, 2);
  remove_boxes(g);
}

}  // namespace tarvo::simplex
