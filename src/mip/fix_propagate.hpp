// Fix-and-propagate: the integer columns are fixed one at a time toward a
// reference point (an LP solution, a pump rounding), and the rows' activity
// bounds are propagated after each fix, so that a fix that leaves some row
// unsatisfiable shows at once and the other value can be taken instead.
#pragma once

#include <vector>

#include "mip/mip_problem.hpp"

namespace tarvo::mip {

enum class FixOrder {
  kDecidedFirst,  // nearly integral columns first
  kRaisedFirst,   // columns the point lifts off their lower bound first (set partitioning: the ones)
  kLocksFirst,    // columns that most rows lock first, toward the point's rounding
};

struct FixPropagateOptions {
  FixOrder order = FixOrder::kRaisedFirst;
  double noise = 0;          // random share mixed into the order (0: none)
  unsigned seed = 0;
  double work_limit = 1e7;   // nonzeros the propagation may read in all
  double deadline = 1e30;    // wall-clock seconds (common::wall_seconds) to stop by
  int max_backtracks = 0;    // undone decisions allowed (per restart) after both values of a column failed
  int restarts = 0;          // new starts, the columns that failed first, when the backtracks run out
  // With conflicts allowed a column whose both values fail is left unfixed and
  // the rest go on (the pump wants a rounding, not a proof).
  bool allow_conflicts = false;
  // Preferred value of each integer column (n values, integral); null: the
  // point's nearest integer. The other value lies on the far side of the point.
  const std::vector<double> *prefer = nullptr;
};

struct FixPropagateResult {
  bool complete = false;           // every integer column fixed, no row found unsatisfiable
  std::vector<double> lo, up;      // the domain reached (integer columns fixed when complete)
  std::vector<double> rounding;    // value taken for every integer column (the point elsewhere)
  int conflicts = 0;               // columns whose first value failed
  int backtracks = 0;
  int restarts = 0;
  int fixed = 0;                   // integer columns fixed by a decision
  int free_left = 0;               // integer columns left unfixed
};

// Nonzeros the propagation reads when every column is fixed once: each fix
// re-reads the rows of its column (the sum of the squared row lengths).
double fixing_pass_work(const MipProblem &p);
// Work limit of `passes` such passes, capped: on a few very long rows (tens of
// thousands of entries) one pass alone reads 1e10 nonzeros.
double fixing_work_limit(const MipProblem &p, double passes);

// Fixes the integer columns of p within [lo, up] toward `point` (n values).
FixPropagateResult fix_and_propagate(const MipProblem &p, const std::vector<double> &lo,
                                     const std::vector<double> &up, const std::vector<double> &point,
                                     double int_tol, const FixPropagateOptions &opt);

}  // namespace tarvo::mip
