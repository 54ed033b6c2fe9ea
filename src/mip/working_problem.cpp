// The working copy: the user's rows and columns in minimisation form as a
// compact column-wise MipProblem, integer bounds rounded inwards, and the LP
// data the node solver is loaded with.
#include "mip/working_problem.hpp"

#include <algorithm>
#include <cmath>

#include "common/error_codes.hpp"
#include "mip/reformulation.hpp"
#include "simplex/lp_solver.hpp"

namespace tarvo::mip {

void problem_to_lp_data(const MipProblem &p, base::ModelData *out) {
  base::ModelData &d = *out;
  d = base::ModelData{};
  d.m = p.m;
  d.n = p.n;
  d.sense = 1;
  d.obj_constant = p.obj_constant;
  d.c = p.c;
  d.lower = p.col_lo;
  d.upper = p.col_up;
  d.start.assign(p.col_start.begin(), p.col_start.end());
  d.length.resize(p.n);
  for (int j = 0; j < p.n; ++j) d.length[j] = p.col_start[j + 1] - p.col_start[j];
  d.rowidx = p.col_index;
  d.value = p.col_value;
  d.nz = p.col_start.empty() ? 0 : p.col_start[p.n];
  d.storage = d.nz;
  d.rowidx.push_back(0);
  d.value.push_back(0);
  d.ctype.assign(p.m + 1, 'N');
  d.b.assign(p.m + 1, 0.0);
  for (int i = 0; i < p.m; ++i) {
    // one-sided form here; the LP gets the exact activity bounds afterwards
    if (p.row_up[i] < 1e30) {
      d.ctype[i] = 'L';
      d.b[i] = p.row_up[i];
    } else if (p.row_lo[i] > -1e30) {
      d.ctype[i] = 'G';
      d.b[i] = p.row_lo[i];
    }
  }
  if (d.c.empty()) d.c.assign(1, 0.0);
}

int build_working_problem(const base::ModelData &d, double lbigm, double int_tol, WorkingProblem *out) {
  WorkingProblem &w = *out;
  MipProblem &p = w.prob;
  w.user_n = d.n;
  w.user_m = d.m;
  w.sense = d.sense == TV_MAX ? -1 : 1;
  p.m = d.m;
  p.n = d.n;
  p.obj_constant = w.sense * d.obj_constant;
  p.c.resize(d.n);
  p.col_lo.resize(d.n);
  p.col_up.resize(d.n);
  p.is_int.assign(d.n, 0);
  p.col_start.assign(d.n + 1, 0);
  for (int j = 0; j < d.n; ++j) {
    p.c[j] = w.sense * d.c[j];
    double lo = d.lower[j], up = d.upper[j];
    if (!std::isfinite(p.c[j]) || std::isnan(lo) || std::isnan(up)) return err::kBadInput;
    const char t = d.vtype.empty() ? 'C' : d.vtype[j];
    if (t == 'B') {
      lo = std::max(lo, 0.0);
      up = std::min(up, 1.0);
    }
    if (t == 'B' || t == 'I') {
      p.is_int[j] = 1;
      // an integer column takes only the integers inside its bounds
      if (lo > -1e30) lo = std::ceil(lo - int_tol);
      if (up < 1e30) up = std::floor(up + int_tol);
      if (lo > up) w.bounds_conflict = true;
    }
    p.col_lo[j] = lo;
    p.col_up[j] = up;
    for (int k = d.start[j]; k < d.start[j] + d.length[j]; ++k) {
      if (d.value[k] == 0.0) continue;
      if (!std::isfinite(d.value[k])) return err::kBadInput;
      p.col_index.push_back(d.rowidx[k]);
      p.col_value.push_back(d.value[k]);
    }
    p.col_start[j + 1] = static_cast<int>(p.col_index.size());
  }
  p.row_lo.resize(d.m);
  p.row_up.resize(d.m);
  for (int i = 0; i < d.m; ++i) simplex::row_activity_bounds(d, i, &p.row_lo[i], &p.row_up[i]);
  const int code = reformulate_special(d, lbigm, &w);
  if (code != 0) return code;
  p.build_rows();
  problem_to_lp_data(p, &w.data);
  return 0;
}

}  // namespace tarvo::mip
