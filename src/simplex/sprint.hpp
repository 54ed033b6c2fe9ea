// Sifting (sprint) for LPs with many more columns than rows: a working set of
// columns is solved as an LP of its own while every other column rests at a
// bound; the duals of that solve price the resting columns, and the most
// attractive ones join the next pass. The basis of the last pass starts the
// primal simplex on the whole LP, which settles what sifting leaves open.
#pragma once

#include <vector>

#include "model/model.hpp"
#include "simplex/glp.hpp"

namespace tarvo::simplex {

struct SprintSettings {
  int start_size = 0;        // columns in the first working set
  int max_passes = -1;       // TV_IPARAM_LP_SPRINT_MAXPASS (-1: until no column prices out)
  int sub_method = 0;        // TV_IPARAM_LP_SPRINT_SUB: 2 dual simplex, otherwise primal
  RunControl controls;       // limits and callback of the whole solve
};

struct SprintResult {
  std::vector<signed char> state;  // VarState per column then slack; empty when sifting gave up
  double iterations = 0;           // pivots of all passes
  int passes = 0;
  bool priced_out = false;         // the last working set's duals price every column out
};

// Size of the first working set: max(bigM, sqrt(n) * colfact), at most n.
int sprint_start_size(int n, double big_m, int colfact);

// The passes over the LP `d` (unscaled, as the model holds it).
SprintResult sprint_passes(const base::ModelData &d, const LpOptions &opt, const SprintSettings &s);

}  // namespace tarvo::simplex
