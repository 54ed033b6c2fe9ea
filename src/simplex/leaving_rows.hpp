// The dual simplex's choice of the leaving row. The squared primal
// infeasibilities of the basic positions are kept in one array with a list of
// the infeasible positions: rebuilt whenever x is recomputed, updated only at
// the positions a pivot or a bound flip touches. Choosing then scans the
// infeasible rows alone, over contiguous memory, instead of every row's
// variable, value and bounds.
#pragma once

#include <vector>

#include "simplex/glp.hpp"

namespace tarvo::simplex {

class LeavingRows {
 public:
  // From the current x of every basic position.
  void rebuild(const Glp &g);
  // After the value or the variable at position p changed (inline: it runs
  // for every nonzero of every pivot column).
  void touch(const Glp &g, int p) {
    const double v = squared_violation(g, p);
    infeas_[p] = v;
    if (v != 0.0 && !listed_[p]) {
      listed_[p] = 1;
      list_.push_back(p);
    }
  }
  // The infeasible position with the largest infeasibility^2 / weight (lowest
  // position on ties); rows marked in skip are left out. -1 when none.
  int choose(const Glp &g, const std::vector<char> &skip, bool weighted);
  // Dantzig's rule over part of the list (TV_IPARAM_LP_DPARTIAL): 1 fixed
  // chunks of the list in turn, 2 chunks that grow while they yield small
  // violations, 3 the first row of the largest binary magnitude class. A
  // chunk without an eligible row widens to the whole list. -1 when none.
  int choose_partial(const Glp &g, const std::vector<char> &skip, int method);

 private:
  static double squared_violation(const Glp &g, int p) {
    const int j = g.head[p];
    const double xv = g.x[j];
    double v = 0;
    if (xv < g.lower[j] - g.ptol)
      v = g.lower[j] - xv;
    else if (xv > g.upper[j] + g.ptol)
      v = xv - g.upper[j];
    return v * v;
  }

  std::vector<double> infeas_;  // squared violation beyond ptol, 0 when feasible
  std::vector<int> list_;       // positions that may be infeasible
  std::vector<char> listed_;
  std::size_t cursor_ = 0;     // where the next partial chunk starts
  std::size_t chunk_ = 0;      // current chunk length (0: not sized yet)
  double largest_seen_ = 0;    // largest violation^2 of the last full scan
};

}  // namespace tarvo::simplex
