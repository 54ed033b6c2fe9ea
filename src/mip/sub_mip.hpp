// A sub-MIP: the problem with tightened column bounds (and at most one extra
// row), reduced by dropping the fixed columns, searched by the same tree with
// its own limits and without sub-MIP heuristics of its own. RENS, RINS, local
// branching, polishing, partial start points and the objective-free
// heuristic are all built on it.
#pragma once

#include <vector>

#include "params/param_values.hpp"
#include "mip/mip_problem.hpp"

namespace tarvo::mip {

struct SubMipSpec {
  std::vector<double> lo, up;  // column bounds of the sub-MIP (n values each)
  double cutoff = 1e30;        // only solutions with a smaller objective count
  double deadline = 1e30;      // wall-clock seconds
  double branch_limit = 500;   // <0 none
  double iter_limit = -1;      // simplex iterations of its tree, <0 none
  int solution_limit = -1;     // stop after this many improving solutions, <0 none
  bool use_cuts = false;
  bool zero_objective = false;  // search for feasibility only
  // Optional extra row row_lo <= sum row_value * x[row_index] <= row_up.
  std::vector<int> row_index;
  std::vector<double> row_value;
  double row_lo = -1e30, row_up = 1e30;
};

struct SubMipResult {
  bool found = false;
  std::vector<double> x;  // n values of the full problem when found
  double objective = 1e30;  // of x in the full problem (its real objective)
  bool exhausted = false;   // the sub-MIP was searched completely (no better solution in it)
  int code = 0;             // 0 or the tree's code (2017 time limit, 2001 memory, ...)
  double branches = 0;
  double iterations = 0;    // simplex iterations its tree spent
  int kept_columns = 0;     // columns left after the fixings
  int cut_capacity = 0;     // cuts its root loop could add (0 when it ran without cuts)
  int cuts = 0;             // cuts its search added
  double bound = -1e30;     // lower bound of the sub-MIP's objective the search proved
};

// Solves the sub-MIP; the full problem's own objective is reported even when
// the search ran with a zero objective.
SubMipResult solve_sub_mip(const MipProblem &p, const base::ParamValues &params, const SubMipSpec &spec);

// Searches q itself (no reduction) under the limits of `spec` (its bounds
// and extra row are not read); x and objective are in q's terms.
SubMipResult search_problem(const MipProblem &q, const base::ParamValues &params, const SubMipSpec &spec);

// Share of the integer columns whose bounds `spec` fixes.
double fixed_integer_share(const MipProblem &p, const SubMipSpec &spec);

}  // namespace tarvo::mip
