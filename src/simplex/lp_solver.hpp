// The narrow LP interface that other solvers drive: load an LP once, then
// change bounds, costs and rows, install bases and re-solve warm. It owns its
// work object and its copy of the data; it never touches a model's parameters
// or solution records, and results come back unscaled in the LP's own sense.
#pragma once

#include <atomic>
#include <memory>
#include <vector>

#include "model/model.hpp"
#include "simplex/glp.hpp"

namespace tarvo::simplex {

enum class LpStatus : int {
  kNotSolved = 0,
  kOptimal,
  kInfeasible,
  kUnbounded,
  kInfeasibleOrUnbounded,
  kCutoff,       // the objective passed the cutoff: the LP cannot beat it
  kIterLimit,
  kTimeLimit,
  kInterrupted,
  kNumerical,    // the run could not reach a trustworthy verdict
  kOutOfMemory,
};

// Limits of one solve; negative means none.
struct LpLimits {
  // Dual pricing: 1 steepest edge (exact norms computed after set_basis), 3
  // Devex (cheap restarts: the rule for tree nodes that jump between bases).
  int dual_pricing = 1;
  // Devex only: carry the weights the last solve left, without a reference
  // framework or its upkeep (tree nodes: short warm re-solves in a row)
  bool devex_carry_weights = false;
  double iter_limit = -1;
  double time_limit = -1;          // seconds of this call
  const std::atomic<bool> *interrupt = nullptr;
  // a re-solve after bound changes may end on its updated factors when
  // recomputed values agree with them (node and trial solves of the tree)
  bool keep_factors = false;
};

// A basis in the work object's own terms: one state per column then per row
// (VarState values). Compact enough to be stored per tree node.
struct LpBasis {
  std::vector<signed char> state;
  bool empty() const { return state.empty(); }
};

// The LP's state after a solve, kept to be put back: the basis with its
// factors and dual pricing weights, and the results. Restoring it costs
// copies where installing the basis would cost a factorisation (strong
// branching and diving return to the node's state after every trial).
class LpRestorePoint {
 public:
  bool empty() const { return generation_ == 0; }

 private:
  friend class LpSolver;
  const void *owner_ = nullptr;
  unsigned long long generation_ = 0;  // work object it was taken from; 0: nothing saved
  std::vector<signed char> state_;
  std::vector<int> head_;
  std::vector<double> weight_, x_, d_, y_;
  bool weights_exact_ = false;
  xlu::Factor lu_{0};
  LpStatus status_ = LpStatus::kNotSolved;
  double objective_ = 0;
  std::vector<double> res_x_, res_activity_, res_duals_, res_redcost_;
};

// Row-wise description of rows to append (cuts, branching rows).
struct LpRows {
  std::vector<int> start{0};  // count+1
  std::vector<int> index;
  std::vector<double> value;
  std::vector<double> lower, upper;  // activity bounds, +-1e30 for none
  int count() const { return static_cast<int>(lower.size()); }
  void add(const std::vector<int> &idx, const std::vector<double> &val, double lo, double up);
};

class LpSolver {
 public:
  LpSolver();
  ~LpSolver();
  LpSolver(const LpSolver &) = delete;
  LpSolver &operator=(const LpSolver &) = delete;

  // Copies the continuous part of `d` (integrality is ignored). Rows keep the
  // model's types and ranges as activity bounds.
  void load(const base::ModelData &d, const LpOptions &opt);
  // Reports progress to `model` (callbacks, its time limit) during solves; null for none.
  void attach_progress(base::Model *model) { progress_ = model; }

  int rows() const { return m_; }
  int cols() const { return n_; }
  int sense() const { return sense_; }

  // Unscaled changes; they cost no refactorisation and keep the basis.
  void set_col_bounds(int j, double lo, double up);
  void set_row_bounds(int i, double lo, double up);
  void set_cost(int j, double c);
  double col_lower(int j) const { return col_lo_[j]; }
  double col_upper(int j) const { return col_up_[j]; }
  double row_lower(int i) const { return row_lo_[i]; }
  double row_upper(int i) const { return row_up_[i]; }
  double cost(int j) const { return cost_[j]; }
  const std::vector<double> &col_lowers() const { return col_lo_; }
  const std::vector<double> &col_uppers() const { return col_up_; }

  // Appends rows whose slacks become basic (the current basis stays valid).
  void add_rows(const LpRows &rows);
  // Deletes the rows flagged in `drop` (size rows()), keeping the basis: a
  // deleted row's basic slack leaves with it, and for each deleted row with a
  // nonbasic slack one basic variable becomes nonbasic at its nearer bound
  // (dual feasibility holds where the deleted rows' duals were zero).
  void delete_rows(const std::vector<char> &drop);

  LpBasis basis() const;
  // Saves the factored basis, its weights and the last results into `s`;
  // false (and `s` emptied) when there is no factored basis to save.
  bool save(LpRestorePoint &s) const;
  // Puts back a restore point of this LP taken since the last row change;
  // the bounds and costs stay as they are now (nonbasic columns follow
  // them), so the results are those of the save only where they equal the
  // bounds and costs of then. False when it does not fit: the caller
  // installs a basis instead.
  bool restore(const LpRestorePoint &s);
  // False when the basis does not have rows() basic entries of the right size.
  bool set_basis(const LpBasis &b);
  bool has_basis() const;

  // Objective cutoff in the LP's sense: a minimisation stops once its dual
  // bound is above it. Off by default.
  void set_cutoff(double value);
  void clear_cutoff() { use_cutoff_ = false; }
  bool has_cutoff() const { return use_cutoff_; }
  double cutoff() const { return cutoff_; }

  // Solves warm from the current basis (cold from the slack basis the first
  // time). method: TV_METHOD_PSIMPLEX for the primal, anything else the dual.
  LpStatus solve(int method, const LpLimits &limits);

  // Results of the last solve, unscaled.
  LpStatus status() const { return status_; }
  double objective() const { return objective_; }  // includes the constant
  const std::vector<double> &x() const { return x_; }
  const std::vector<double> &row_activity() const { return activity_; }
  const std::vector<double> &duals() const { return duals_; }
  const std::vector<double> &reduced_costs() const { return redcost_; }
  // Row multipliers of the last infeasible verdict of the dual simplex,
  // unscaled (a combination of the rows no point within the bounds meets);
  // false when the verdict came without them. The sign is the solver's own.
  bool infeasibility_multipliers(std::vector<double> &y) const;
  double iterations() const { return iterations_; }
  double total_iterations() const { return total_iterations_; }
  // factorisations of the basis since the work object was last built
  long long factorizations() const;
  bool is_basic_col(int j) const;
  // Is the slack of row i basic (the row need not be tight)?
  bool is_basic_row(int i) const;
  // Unscaled coefficients of row i (the model's rows first, then added rows).
  void get_row(int i, std::vector<int> &index, std::vector<double> &value) const;
  // Largest violation of a row or column bound by the reported x.
  double max_primal_violation() const;

  // Row p of the simplex tableau B^-1 [A I] over all columns and slacks
  // (dense, length cols()+rows()), for the basic variable of column or slack
  // `var` (slack of row i is cols()+i). False when `var` is not basic.
  // Values refer to the unscaled variables.
  bool tableau_row(int var, std::vector<double> &row);
  // The same row without its unit entry at `var`: the nonbasic positions
  // with a nonzero, in no particular order.
  bool tableau_row(int var, std::vector<int> &index, std::vector<double> &value);

 private:
  void rebuild();
  void encode_row(int i);
  void apply_bounds_to_work();
  void read_results();
  void replace_matrix(std::vector<int> &start, std::vector<int> &idx, std::vector<double> &val);

  base::ModelData data_;  // unscaled columns, costs; rows kept in row_lo_/row_up_
  std::vector<double> col_lo_, col_up_, row_lo_, row_up_, cost_;
  int m_ = 0, n_ = 0, sense_ = 1;
  LpOptions opt_;
  std::unique_ptr<Glp> glp_;
  base::Model *progress_ = nullptr;
  unsigned long long generation_ = 0;  // of glp_: a new work object invalidates snapshots
  bool use_cutoff_ = false;
  double cutoff_ = 0;
  LpStatus status_ = LpStatus::kNotSolved;
  double objective_ = 0, iterations_ = 0, total_iterations_ = 0;
  std::vector<double> x_, activity_, duals_, redcost_;
  mutable std::vector<int> row_start_, row_index_;  // row-wise copy for get_row
  mutable std::vector<double> row_value_;
};

// Row bounds [lo, up] of row i of the model's data (type, right-hand side and range).
void row_activity_bounds(const base::ModelData &d, int i, double *lo, double *up);

}  // namespace tarvo::simplex
