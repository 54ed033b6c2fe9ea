// The explicit dual: when an LP is solved through its dual (the rule of
// TV_IPARAM_PROB_TO_SOLVE and the shape statistics), the dual solve on a
// scratch model, and the bases carried across by complementarity so that the
// primal is re-solved warm (and a kept primal basis warm-starts the dual).
#include <algorithm>
#include <vector>

#include "optimize/optimize_internal.hpp"
#include "params/param_store.hpp"
#include "io/dual_model.hpp"

namespace tarvo::base {
namespace {

constexpr double kInf = 1e30;
constexpr int kMinRowsForDual = 2501;

// Shape statistics of the rule, from one pass over the matrix.
//  - removable rows: empty, singleton and free (N) rows; removable columns:
//    empty, fixed and singleton columns (what simple reductions take away);
//  - dense-row nonzeros: entries of rows longer than max(100, n/10), which
//    become dense columns of the dual;
//  - near-square test: free columns (equality rows of the dual, hard for the
//    primal to start from) against equality rows (free columns of the dual).
struct ShapeStats {
  long long removable_rows = 0, removable_cols = 0, dense_row_nz = 0;
  long long free_cols = 0, equality_rows = 0;
};

ShapeStats shape_stats(const ModelData &d) {
  ShapeStats st;
  std::vector<int> row_len(d.m, 0);
  for (int j = 0; j < d.n; ++j) {
    for (int k = d.start[j]; k < d.start[j] + d.length[j]; ++k) row_len[d.rowidx[k]]++;
    const bool free = d.lower[j] <= -kInf && d.upper[j] >= kInf;
    st.free_cols += free;
    st.removable_cols += d.length[j] <= 1 || d.lower[j] == d.upper[j];
  }
  const long long dense = std::max(100, d.n / 10);
  for (int i = 0; i < d.m; ++i) {
    st.removable_rows += row_len[i] <= 1 || d.ctype[i] == 'N';
    st.equality_rows += d.ctype[i] == 'E';
    if (row_len[i] > dense) st.dense_row_nz += row_len[i];
  }
  return st;
}

bool dual_by_shape(const ModelData &d) {
  const double m = d.m, n = d.n;
  if (d.m < kMinRowsForDual) return false;
  bool dual = m > 3 * n;
  if (!dual && d.n > 100000) {
    const ShapeStats st = shape_stats(d);
    const double mr = m - st.removable_rows, nr = n - st.removable_cols;
    if (mr > 2 * nr) dual = st.dense_row_nz > d.n ? m >= 1.5 * n : true;
  }
  if (0.9 * m < n && n < 1.1 * m) {
    const ShapeStats st = shape_stats(d);
    const double c = st.free_cols / n, r = st.equality_rows / m;
    if (!dual) dual = c > 0.1 && c > 10 * r;
    else if (r > 0.1 && r > 10 * c) dual = false;
  }
  return dual;
}

// Where TVgetDualModel puts the multipliers: one dual column per primal row
// that is not free, then a column for each finite non-zero bound (lower
// first), then one for the far end of each ranged row; dual row j (primal
// column j) has a slack whose multiplier is the column's zero lower or zero
// upper bound, or none (equality or free row).
struct DualLayout {
  std::vector<int> row_col, range_col, low_col, up_col;
  std::vector<signed char> slack_side;  // 1 lower zero bound, 2 upper zero bound, 0 none
  int columns = 0;
};

DualLayout layout_of(const ModelData &d) {
  DualLayout L;
  L.row_col.assign(d.m, -1);
  L.low_col.assign(d.n, -1);
  L.up_col.assign(d.n, -1);
  L.slack_side.assign(d.n, 0);
  for (int i = 0; i < d.m; ++i)
    if (d.ctype[i] != 'N') L.row_col[i] = L.columns++;
  for (int j = 0; j < d.n; ++j) {
    const double l = d.lower[j], u = d.upper[j];
    if (l > -kInf && l != 0) L.low_col[j] = L.columns++;
    if (u < kInf && u != 0) L.up_col[j] = L.columns++;
    if (l == 0 && u != 0) L.slack_side[j] = 1;
    else if (u == 0 && l != 0) L.slack_side[j] = 2;
  }
  L.range_col.assign(d.m, -1);
  for (int i = 0; i < d.m; ++i) {
    double far_end = 0;
    if (L.row_col[i] >= 0 && io::range_column_side(d, i, &far_end) != 0) L.range_col[i] = L.columns++;
  }
  return L;
}

bool basic_at(const std::vector<int> &status, int k) { return k >= 0 && status[k] >= 0; }

// Complementarity: a primal variable is nonbasic exactly when the multiplier
// of the bound it sits at is basic in the dual.
void primal_from_dual(const ModelData &d, const DualLayout &L, const std::vector<int> &dcols,
                      const std::vector<int> &drows, std::vector<int> &cols, std::vector<int> &rows) {
  rows.assign(d.m, 0);
  cols.assign(d.n, 0);
  // A ranged row sits at one of its ends when the multiplier of either is
  // basic; a row status cannot tell the ends apart, so the warm re-solve may
  // still have to move it across.
  for (int i = 0; i < d.m; ++i)
    if (basic_at(dcols, L.row_col[i]) || basic_at(dcols, L.range_col[i])) rows[i] = TV_BASTYPE_ATLO;
  for (int j = 0; j < d.n; ++j) {
    const bool at_low = basic_at(dcols, L.low_col[j]) || (L.slack_side[j] == 1 && drows[j] >= 0);
    const bool at_up = basic_at(dcols, L.up_col[j]) || (L.slack_side[j] == 2 && drows[j] >= 0);
    if (d.lower[j] == 0 && d.upper[j] == 0) cols[j] = TV_BASTYPE_ATLO;  // nothing in the dual speaks for it
    else if (at_low) cols[j] = TV_BASTYPE_ATLO;
    else if (at_up) cols[j] = TV_BASTYPE_ATUP;
  }
  fix_basic_count(d, cols, rows, d.m);
}

void dual_from_primal(const ModelData &d, const DualLayout &L, const ModelData &dual, const std::vector<int> &cols,
                      const std::vector<int> &rows, std::vector<int> &dcols, std::vector<int> &drows) {
  dcols.assign(dual.n, TV_BASTYPE_ATLO);
  drows.assign(dual.m, TV_BASTYPE_ATLO);
  for (int i = 0; i < d.m; ++i)
    if (L.row_col[i] >= 0 && rows[i] < 0) dcols[L.row_col[i]] = 0;
  for (int j = 0; j < d.n; ++j) {
    if (cols[j] >= 0) continue;
    if (cols[j] == TV_BASTYPE_ATLO) {
      if (L.low_col[j] >= 0) dcols[L.low_col[j]] = 0;
      else if (L.slack_side[j] == 1) drows[j] = 0;
    } else if (cols[j] == TV_BASTYPE_ATUP) {
      if (L.up_col[j] >= 0) dcols[L.up_col[j]] = 0;
      else if (L.slack_side[j] == 2) drows[j] = 0;
    }
    if (d.lower[j] == 0 && d.upper[j] == 0) drows[j] = 0;  // a free dual row keeps its slack basic
  }
  fix_basic_count(dual, dcols, drows, dual.m);
}

int mirrored_method(int method) {
  if (method == TV_METHOD_PSIMPLEX || method == TV_METHOD_SPRINT) return TV_METHOD_DSIMPLEX;
  if (method == TV_METHOD_DSIMPLEX) return TV_METHOD_PSIMPLEX;
  return method;
}

bool stored_basis(const Model &model) {
  const SolutionRecord *s = model.solution.get();
  return s && s->basis_status != TV_STATUS_UNLOADED && static_cast<int>(s->colbasis.size()) == model.data.n &&
         static_cast<int>(s->rowbasis.size()) == model.data.m;
}

// Warm start of the dual from a primal basis kept in the model.
void warm_start_dual(Model *model, Model *dual, const DualLayout &L, bool talk) {
  std::vector<int> dcols, drows;
  dual_from_primal(model->data, L, dual->data, model->solution->colbasis, model->solution->rowbasis, dcols, drows);
  const int rc = TVloadBasis(dual, dcols.data(), drows.data());
  if (!talk) return;
  if (rc == 0) log_model(model, 1, "\nComputed a dual basis from the primal basis...\n");
  else log_model(model, 1, "\nComputing of a dual basis from the primal basis failed (error=%d)...\n", rc);
}

// The dual's verdict in primal terms: an unbounded dual means an infeasible
// primal, an infeasible dual leaves the primal infeasible or unbounded.
int primal_status_of(int dual_status) {
  switch (dual_status) {
    case TV_STATUS_UNBOUNDED: return TV_STATUS_INFEASIBLE;
    case TV_STATUS_INFEASIBLE:
    case TV_STATUS_INFORUNB: return TV_STATUS_INFORUNB;
    default: return final_status(dual_status) ? dual_status : TV_STATUS_LOADED;
  }
}

// The primal basis for the warm re-solve; false (logged) when none could be had.
bool carry_basis(Model *model, Model *dual, const DualLayout &L, bool talk) {
  if (talk) log_model(model, 1, "\n\nConstructing a primal basis from the explicit dual...\n");
  std::vector<int> dcols(dual->data.n), drows(dual->data.m);
  int rc = TVgetBasis(dual, dcols.data(), drows.data());
  if (rc != 0) {
    if (talk) log_model(model, 1, "\nWarning: failed to retrieve the dual basis (error %d).", rc);
  } else {
    std::vector<int> cols, rows;
    primal_from_dual(model->data, L, dcols, drows, cols, rows);
    model->work.reset();  // the basis goes in through the stored record
    rc = TVloadBasis(model, cols.data(), rows.data());
    if (rc != 0 && talk) log_model(model, 1, "\nWarning: failed to load the primal basis (error %d).", rc);
  }
  if (rc != 0 && talk) log_model(model, 1, "\nWarning: warm start is not available for primal problem.");
  return rc == 0;
}

}  // namespace

bool explicit_dual_wanted(Model *model, int method) {
  if (method == TV_METHOD_BARRIER) return false;
  const int which = model->params.integer(TV_IPARAM_PROB_TO_SOLVE);
  if (which == 2) return true;
  if (which != 0 || model->xsolver) return false;
  return dual_by_shape(model->data);
}

int solve_explicit_dual(Model *model, int method, bool *handled) {
  *handled = false;
  const bool talk = model->params.integer(TV_IPARAM_LP_PRINTLEVEL) >= 1;
  Scratch scratch(model);
  Model *dual = scratch.get();
  if (!dual) return scratch.code();
  const DualLayout L = layout_of(model->data);
  if (TVgetDualModel(model, dual) != 0 || dual->data.n != L.columns || dual->data.m != model->data.n)
    return 0;  // the primal is solved the ordinary way
  *handled = true;
  const int iusol = model->params.integer(TV_IPARAM_SOLVER_IUSOL);
  store_int_param(dual, TV_IPARAM_SOLVER_IUSOL, 0);
  store_int_param(dual, TV_IPARAM_PROB_TO_SOLVE, 1);
  // A cold-start request is served by the dual solve; the primal re-solve
  // must still start from the basis carried over from it.
  const bool cold = take_cold_start_request(model);
  if (cold) model->work.reset();
  else if (stored_basis(*model)) warm_start_dual(model, dual, L, talk);

  int dual_status = TV_STATUS_UNKNOWN;
  int code = TVoptimize(dual, mirrored_method(method), &dual_status);
  SolutionRecord &s = *model->solution;
  if (dual->solution) s.sim_iter += dual->solution->sim_iter;
  const bool resolve = code == 0 && (dual_status == TV_STATUS_BASIC_OPTIMAL ||
                                     (iusol != 0 && (dual_status == TV_STATUS_INFEASIBLE ||
                                                     dual_status == TV_STATUS_UNBOUNDED ||
                                                     dual_status == TV_STATUS_INFORUNB)));
  if (!resolve) {
    // no primal point: the verdict without a solution
    model->work.reset();
    fill_status(s, code != 0 ? TV_STATUS_LOADED : primal_status_of(dual_status));
    s.primal_status = s.dual_status = s.basis_status = TV_STATUS_UNLOADED;
    return code;
  }
  carry_basis(model, dual, L, talk);
  // the carried basis is optimal for the data as given: no presolve, no scaling
  ScopedParam no_presolve(model->params, TV_IPARAM_LP_PRELEVEL, 0);
  ScopedParam no_scaling(model->params, TV_IPARAM_LP_SCALE, 0);
  return optimize_lp(model, method);
}

}  // namespace tarvo::base
