// Phases of the dual simplex. Phase 1 runs on a box-constrained problem:
// nonbasic variables whose reduced cost pushes them towards an infinite bound
// get an artificial box there, which makes the basis dual feasible by
// flipping. As soon as no nonbasic sits at a box any more the boxes come off
// and phase 2 runs on the true bounds. Boxes that do not suffice (a variable
// still at its box at the end, or a dual ray that only the box blocks) give
// way to cost shifting: the variable's cost is shifted to a zero reduced cost
// and the box removed; the primal simplex settles the shifts at the end.
#pragma once

#include <vector>

#include "simplex/glp.hpp"

namespace tarvo::simplex {

class DualPhase {
 public:
  // mode: TV_IPARAM_SPLEX_DUAL_PHASE (0 decide, 1 start in phase 1, 2 single
  // phase with boxes, 3 keep the starting phase); box: size of the boxes.
  DualPhase(int mode, double box) : mode_(mode), box_(box) {}

  // First decision, on fresh reduced costs. True when x moved.
  bool start(Glp &g);
  // Re-decision after a refactorisation (fresh reduced costs). True when x moved.
  bool after_refactor(Glp &g);
  // Variable j left its nonbasic position (entered or flipped): in phase 1
  // with no nonbasic left at a box, phase 2 starts. True when x moved.
  bool moved(Glp &g, int j);
  // No leaving row is left while boxes are on: they come off (true when x
  // moved and the run must go on).
  bool finish(Glp &g);
  // A row without entering candidate proves the true LP infeasible only when
  // the bound its basic variable misses is a true one and no artificial bound
  // blocks a column that could otherwise move; sgn is the direction of the
  // row's pivot entries as the ratio test reads them.
  bool ray_holds(const Glp &g, int leave, bool to_lower, double sgn) const;
  // The boxes did not suffice: cost shifting takes over. Moves x.
  void give_up(Glp &g);
  // The run ends with boxes on: they come off. Moves x.
  void release(Glp &g) { remove_boxes(g); }

  bool boxes_on() const { return !boxed_.empty(); }
  // Counts the changes of g's bounds by the boxes (added or taken off).
  int bound_changes() const { return bound_changes_; }
  int phase() const { return phase_; }
  // True bounds while boxes are on (for tests that must not count the boxes).
  const std::vector<double> *true_lower() const { return boxes_on() ? &lower_ : nullptr; }
  const std::vector<double> *true_upper() const { return boxes_on() ? &upper_ : nullptr; }

 private:
  // Nonbasic variables whose reduced cost pushes them to an infinite bound.
  int unboxed_infeasible(const Glp &g) const;
  // Some nonbasic variable sits at a box (held_only: and its reduced cost holds it there).
  bool any_at_box(const Glp &g, bool held_only) const;
  bool at_artificial_bound(const Glp &g, int j) const;
  void add_boxes(Glp &g);
  // Takes every box off; a nonbasic at a box goes to its true bound (or 0).
  void remove_boxes(Glp &g);
  void enter_phase(Glp &g, int phase);

  int mode_;
  double box_;
  int phase_ = 0;
  std::vector<int> boxed_;       // variables with a box on
  std::vector<char> has_box_;    // per variable
  int bound_changes_ = 0;
  mutable std::size_t box_cursor_ = 0;  // in boxed_: where any_at_box last found one
  std::vector<double> lower_, upper_;  // true bounds, kept while boxes are on
};

}  // namespace tarvo::simplex
