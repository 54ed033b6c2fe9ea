// The presolve's own copy of the problem: rows and columns as short entry
// lists kept in step with each other, with deletion marks, so that a
// reduction can read a row or a column and remove either in time linear in
// its length. No dense matrix anywhere.
#pragma once

#include <vector>

#include "presolve/presolve.hpp"

namespace tarvo::presolve {

// Range of a row's activity over the column bounds; ninf_* count the
// infinite contributions left out of the finite sums.
struct Activity {
  double min = 0, max = 0;
  int ninf_min = 0, ninf_max = 0;
  double lowest() const { return ninf_min ? -kInf : min; }
  double highest() const { return ninf_max ? kInf : max; }
};

struct WorkProblem {
  int m = 0, n = 0;
  std::vector<std::vector<Entry>> rows, cols;
  std::vector<double> cost, lower, upper, row_lower, row_upper;
  std::vector<char> row_alive, col_alive, integer;
  double offset = 0;
  int live_rows = 0, live_cols = 0;
  long nonzeros = 0;
  Options options;
  UndoStack *stack = nullptr;
  Counters *counts = nullptr;
  bool infeasible = false;
  bool dead_entries = false;  // rows hold entries of fixed columns (fix_col later)
  double start_time = 0;

  void load(const LinearProblem &p);
  bool is_int(int j) const { return !integer.empty() && integer[j]; }
  double coef(int i, int j) const;
  // Changes a_ij (0 removes the entry).
  void set_coef(int i, int j, double v);
  // Removes column j from the problem (its entries leave the rows).
  void drop_col(int j);
  void drop_row(int i);
  // Fixes column j at v: row bounds and offset absorb it, the column leaves.
  // With `later` its entries stay in the rows, dead, until
  // purge_dead_entries(): for passes that fix many columns of long rows
  // (such a pass reads rows through col_alive).
  void fix_col(int j, double v, signed char status, bool later = false);
  void purge_dead_entries();
  // Narrows column j's bounds to [lo, hi] where that is tighter, noting which
  // side moved; crossing bounds within tolerance meet, beyond it the problem
  // is marked infeasible (false).
  bool narrow_bounds(int j, double lo, double hi, UndoRecord *r);
  Activity activity(int i, int skip_col = -1) const;
  // Bounds of column j (coefficient a in row i) that row i implies from the
  // other columns' bounds; +-kInf where it implies none.
  void implied_by_row(int i, int j, double a, double *lo, double *hi) const;
  // The same from the activity of the rest of row i (the column left out).
  void implied_by_activity(int i, double a, const Activity &rest, double *lo, double *hi) const;
  ColumnSnapshot snapshot(int j, int skip_row = -1) const;
  bool out_of_time() const;
  // Tolerances for bound comparisons at the magnitude of x.
  double tol(double x) const;
  double feas_tol(double x) const;
  int count_integers(int *binaries) const;
};

// Row activities over the live columns for passes that read them often:
// computed when first asked for and kept current by the pass.
class RowActivities {
 public:
  explicit RowActivities(const WorkProblem &w) : w_(w), act_(w.m), known_(w.m, 0) {}
  // Skips dead entries (columns fixed with fix_col(..., later)).
  const Activity &of(int i);
  // Column j is about to be fixed (its value moves into the row sides).
  void forget_column(int j);
  // The rows of column j are computed afresh when next asked for.
  void invalidate_column(int j);
  // Takes a column with coefficient a and bounds [l, u] out of an activity
  // (inline: probing calls these for every bound it moves).
  static void without(Activity *act, double a, double l, double u) {
    double lo, hi;
    bool lo_inf, hi_inf;
    contribution(a, l, u, &lo, &lo_inf, &hi, &hi_inf);
    if (lo_inf) --act->ninf_min; else act->min -= lo;
    if (hi_inf) --act->ninf_max; else act->max -= hi;
  }
  // Lowest and highest contribution of a column with coefficient a.
  static void contribution(double a, double l, double u, double *lo, bool *lo_inf, double *hi, bool *hi_inf) {
    const double bl = a > 0 ? l : u, bh = a > 0 ? u : l;
    *lo_inf = bl <= -kInf || bl >= kInf;
    *hi_inf = bh <= -kInf || bh >= kInf;
    *lo = *lo_inf ? 0 : a * bl;
    *hi = *hi_inf ? 0 : a * bh;
  }

 private:
  const WorkProblem &w_;
  std::vector<Activity> act_;
  std::vector<char> known_;
};

// One call of every reduction over the whole problem: the number of
// reductions applied (0 means nothing changed).
int remove_empty_rows(WorkProblem &w);
int remove_empty_columns(WorkProblem &w);
int remove_fixed_columns(WorkProblem &w);
int remove_singleton_rows(WorkProblem &w);
int remove_by_row_activity(WorkProblem &w);   // redundant and forcing rows
int fix_dual_dominated(WorkProblem &w);        // dual fixing of lock-free columns
int fix_by_dual_bounds(WorkProblem &w);        // reduced cost sign-definite over the dual box
int substitute_free_columns(WorkProblem &w);   // implied-free column singletons
int substitute_doubletons(WorkProblem &w);     // doubleton equations
int merge_duplicate_rows(WorkProblem &w);
// Integer problems (dual reductions): dominated columns fixed at a bound,
// parallel columns merged into one.
int fix_dominated_columns(WorkProblem &w);
int merge_parallel_columns(WorkProblem &w);
// Equations subtracted from rows that contain a multiple of them.
int subtract_similar_rows(WorkProblem &w);
// Integer problems: bounds rounded, tightened by activity, coefficients tightened.
int tighten_integer_bounds(WorkProblem &w);
int tighten_coefficients(WorkProblem &w);
// Integer problems: coefficients raised by the set-packing rows of their binaries.
int lift_coefficients(WorkProblem &w);
// Integer problems: a row that alone locks a column against its cost turns
// into an equation at that side.
int bind_single_lock_rows(WorkProblem &w);
// Integer problems: binaries of a clique row outside a covering row it holds are 0.
int fix_outside_covered_cliques(WorkProblem &w);
int probe_binaries(WorkProblem &w, Result *result);
void find_implied_integers(WorkProblem &w, Result *result);

}  // namespace tarvo::presolve
