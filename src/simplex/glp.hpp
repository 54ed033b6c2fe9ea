// The simplex work object: a scaled copy of the LP in bounded form
// [A I] z = 0 (slack of row i is variable n+i), its basis and factorisation,
// pricing weights and counters. It lives in the model between solves.
#pragma once

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdint>
#include <functional>
#include <vector>

#include "model/model.hpp"
#include "simplex/basis_history.hpp"
#include "simplex/nonbasic_rows.hpp"
#include "simplex/trace.hpp"
#include "xlu/xlu.hpp"

namespace tarvo::simplex {

// Exit codes left in the work object by the simplex methods.
enum Xstat : int {
  XSTAT_NA = 0,
  XSTAT_CONT = 1,
  XSTAT_OPT = 2,
  XSTAT_INF = 3,
  XSTAT_INFORUNB = 4,
  XSTAT_UNB = 5,
  XSTAT_ITERLIM = 6,
  XSTAT_SWITCH = 7,
  XSTAT_TIMELIM = 8,
  XSTAT_CTRLC = 9,
  XSTAT_CUTOFF = 10,
};

// Pending refactorisation reasons.
enum Wfact : int {
  WFACT_NO = 0,
  WFACT_INIT = 1,
  WFACT_REFACT = 2,
  WFACT_MAXDMERGE = 3,
  WFACT_CHKOPT = 4,
  WFACT_CHKFSB = 5,
  WFACT_NUMERR = 6,
  WFACT_CHKUNB = 7,
  WFACT_PHASECHG = 8,
  WFACT_ENDPERT = 9,
  WFACT_DENSETA = 10,
  WFACT_LUSPACE = 11,
  WFACT_BUPERR = 12,
  WFACT_CYCLING = 13,
};

// State of a variable: basic, or nonbasic at one of its bounds / free at zero.
enum VarState : signed char { kBasic = 0, kAtLower = 1, kAtUpper = 2, kFreeZero = 3 };

// Internal return codes of the simplex entries.
enum : int { kRunOk = 0, kRunSingular = 1, kRunNoMemory = 2, kRunNumerical = 3, kRunInterrupt = 9 };

constexpr double kInf = 1e30;

struct Glp : base::SolverWork {
  int m = 0, n = 0;
  int sense = 1;  // the model's sense; costs are stored for minimisation
  // [A I] column-wise, scaled; columns n..n+m-1 are the unit slack columns.
  std::vector<int> col_start;
  std::vector<int> col_index;
  std::vector<double> col_value;
  // Row-wise copy of the structural part for pivot rows, nonbasic entries first.
  NonbasicRows nonbasic_rows;
  std::vector<double> col_scale, row_scale;  // x_j = col_scale_j x'_j, s'_i = row_scale_i s_i
  std::vector<double> cost, lower, upper;    // scaled, n+m
  std::vector<double> shift;                 // cost shifts/perturbation, n+m
  std::vector<double> x, d, y;               // n+m, n+m, m
  std::vector<signed char> state;            // n+m
  std::vector<int> head;                     // basic variable of each position
  std::vector<int> where;                    // position of a basic variable, -1 otherwise
  std::vector<double> weight;                // dual pricing weights per position
  bool weights_exact = true;                 // weight holds the steepest-edge norms of this basis
  std::vector<char> devex_ref;               // n+m: in the dual Devex reference framework
  xlu::Factor lu{0};
  bool factored = false;
  bool have_basis = false;  // the basis header was set (by a solve or the host)
  int wfact = WFACT_INIT;
  double ptol = 1e-7, dtol = 1e-7;
  double pivot_tol = 1e-7;  // smallest |alpha| the ratio tests pivot on
  double pivot_tol_min = 1e-10, pivot_tol_max = 1e-5;  // where the pivot tolerance may adapt to
  int pivot_tol_changes = 0;
  bool adapt_tolerances = true;  // TV_IPARAM_LP_UMODE bit 2: tolerances move within their limits
  double tol_floor = 1e-10;  // smallest feasibility/optimality tolerance a retry tightens to
  double mkweps = 1e-6;     // relative row/column disagreement that rejects a pivot
  double iterations = 0;   // of the current run
  double total_iterations = 0;
  int factorizations = 0;
  int refactor_freq = 200;
  // Refactorisation on growth: the factors may grow by this fraction of the
  // fresh ones through updates (TV_IPARAM_LP_PALLOC; < 0: solver decides).
  double update_room = -1.0;
  int accuracy_refactors = 0;  // refactorisations asked for by the accuracy checks
  // LU relative pivot threshold chosen per factorisation (bupdate.cpp): the
  // kernel's setting is the upper value; `low` while a lower one is in use.
  struct LuThreshold {
    double upper = 0.0;  // 0: not yet read from the kernel
    double heavy_fill = 2.0;  // (lnz + unz) / nnz(B) from which a lower one is tried
    bool low = false;
    int wait = 0;        // factorisations before the next probe
    int backoff = 4;     // wait after a probe that did not pay
    int probes = 0, kept = 0;
  } lu_threshold;
  int lu_print_level = 0;      // TV_IPARAM_LU_PRINT_LEVEL: the kernel's figures after each factorisation
  int xstat = XSTAT_NA;
  int dual_phase_now = 0;  // phase of the running dual simplex (0 outside it)
  bool scaled = false;
  double objective_constant = 0.0;
  bool dirty_bounds = false;  // bounds changed since the last solve
  int singular_repairs = 0;
  int xray_col = -1, xray_row = -1;  // entering column of an unbounded exit, leaving row of an infeasible one
  BasisRecovery recovery;
  // Test hook: when set and true, the pivot being made counts as numerically
  // unsound (as if its row and column disagreed).
  std::function<bool(const Glp &)> numerical_fault;
  int wfact_counts[WFACT_CYCLING + 1] = {};
  std::vector<std::uint32_t> pivot_activity;  // basis changes per variable (n+m)
  TraceSettings trace_cfg;
  TraceState trace;
  RunStats stats;
  // Certificate of the last infeasible (row multipliers, m) or unbounded
  // (direction over all n+m variables) exit, in the scaled space.
  std::vector<double> ray;

  // Scratch vectors of dimension m.
  xlu::Vector work_col, work_row, work_tau, work_flip;
  std::vector<double> alpha_row;  // n+m pivot row
  std::vector<int> alpha_list;    // nonbasic indices with a nonzero in alpha_row
  std::vector<double> alpha_vals; // alpha_row[alpha_list[k]] at k: the loops over the row read it in order
  std::vector<int> price_scratch; // n+m
  std::vector<double> price_values;  // n+m: the pivot row's values as PRICE by columns lists them
  double sparse_row_density = 0;  // pivot rows priced row-wise below this share of m (0: by work)
  bool sparse_pricing = true;

  bool fresh() const override { return have_basis; }
  bool install_basis(const int *colStatus, const int *rowStatus) override;
  bool update_rhs(int row, double value) override;
  bool update_cost(int col, double value) override;
  bool update_bounds(int col, double lower, double upper) override;
  bool flip_row_type(int row, char type) override;
  // work_queries.cpp: what the dispatcher reads
  Facts facts() const override;
  unsigned long long basis_hash() const override;
  double internal_violation() const override;
  double condition_estimate() override;
  int basis_errors(int *basic) const override;
  int basis_solve(bool forward, const int *inCount, const int *inIndex, const double *inValue, int *outCount,
                  int *outIndex, double *outValue) override;

  base::Model *model = nullptr;  // set for the duration of a solve
  // The unscaled data the certificates of a verdict are checked against.
  const base::ModelData *unscaled = nullptr;
};

// The settings the work object is built with, read once from the parameters.
struct LpOptions {
  int scale = 1;             // 0 off, otherwise geometric scaling with equilibration
  int refactor_freq = 200;   // updates between refactorisations
  double primal_tol = 1e-7;  // feasibility tolerance
  double dual_tol = 1e-7;    // optimality tolerance
  xlu::Options lu;           // the LU back-end's settings
  double pivot_tol = 1e-7;   // starting pivot tolerance and its limits
  double pivot_tol_min = 1e-10, pivot_tol_max = 1e-5;
  double tol_floor = 1e-9;   // smallest feasibility/optimality tolerance
  double tol_ceiling = 1e-5; // largest
  double zero_tol = 0;       // matrix entries at or below are dropped
  int basis_recovery = 1;    // 1 fallback basis, 2 slacks for dependent columns, 3 rollback
  int ratrange = 4;          // LU pivot candidates, lowered after a singular factorisation
  // extra factor storage and growth room of the factors before a refactorisation,
  // in percent of the fresh factors (0: the solver decides)
  int palloc = 0;
  int lu_print_level = 0;
  int pcolal = 0;            // density (percent of m) below which pivot rows are priced row-wise; 0: by work
  bool sparse_kernels = true;  // TV_IPARAM_LP_XMODE bit 4: sparse FTRAN/BTRAN/update kernels and row-wise pricing
  static LpOptions from_params(const base::ParamValues &p);
};

// Builds the work object from the model (scaling per TV_IPARAM_LP_SCALE); the
// work object reports progress to this model.
void build_glp(Glp &g, base::Model &model);
// Builds it from bare data; no model is attached (no callbacks, limits from
// the run controls only).
void build_glp(Glp &g, const base::ModelData &d, const LpOptions &opt);
// Slack basis; nonbasic variables at the bound nearest zero.
void slack_basis(Glp &g);
// Bounds of row i's slack in unscaled space from the model's row data.
void row_slack_bounds(const base::ModelData &d, int i, double *lo, double *up);
// Puts a nonbasic variable at the bound its state names (free: 0).
void place_nonbasic(Glp &g, int j);
// The nonbasic state for bounds [lo, up] nearest to `near` (free: at zero).
signed char nearest_nonbasic_state(double lo, double up, double near);
// Chooses a sensible nonbasic state for j from its bounds (nearest to `near`).
void choose_nonbasic_state(Glp &g, int j, double near);
// After a bound change a nonbasic variable follows its bound (or gets a new side).
void refit_nonbasic(Glp &g, int j);
// Installs one VarState per variable (columns, then slacks); false unless
// exactly m are basic. The factors and weights are stale afterwards.
bool set_basis_states(Glp &g, const std::vector<signed char> &state);

// Factorisation dispatch: refactorise the basis header (repairing a singular
// basis by slacks of the uncovered rows); 0 ok, 2 out of memory, 3 trouble.
int refactor(Glp &g);
// Update after the pivot at position p (after ftran of the entering column
// with for_update). 0 ok, 4 refactorise before the next iteration, 1 refused.
// Besides the update count, the growth of the factors (TV_IPARAM_LP_PALLOC) and
// the accuracy of the update (pivot disagreement, residual of the entering
// column) ask for one.
int bupdate(Glp &g, int p);
// The basis change of a pivot: q enters at position r, the leaving variable
// goes to leave_state; the pivot is logged in the history ring.
void pivot_basis(Glp &g, int r, int q, signed char leave_state, double pivot);
// Basis recovery (basis_recovery.cpp): the fallback basis saved after a stable
// factorisation, its restore, and the rollback of the pivots made since the
// previous factorisation. Both leave the nonbasic variables on their bounds
// and the factors stale; true when they changed the basis.
void save_fallback(Glp &g);
bool restore_fallback(Glp &g);
// The best basis of the solve (TV_IPARAM_LP_UMODE bit 4): the loops report
// their progress right after a refactorisation, with x and the reduced costs
// fresh; forget_best_basis starts a new solve. progress_due says whether a
// report would be looked at (the measure costs a pass over all columns);
// dual_bad is the count of dual infeasibilities when the caller knows it.
bool progress_due(const Glp &g);
void note_progress(Glp &g, ProgressKind kind, double measure, int dual_bad = -1);
void forget_best_basis(Glp &g);
// The restore a repeated numerical error asks for: the best basis when one is
// kept, else the fallback basis. True when the basis changed.
bool restore_for_numerical_error(Glp &g);
// The pivot ring, newest first, when recovery is traced.
void dump_history(Glp &g);
bool rollback_to_factorization(Glp &g);
// Triangular crash (crash.cpp): structural columns replace the slacks of
// equality rows where they keep the basis triangular. Number of columns put in.
int crash_basis(Glp &g);

void compute_primal(Glp &g);
// One step of iterative refinement of the basics from the residual of the
// whole system: a factorisation with growth leaves a residual far above the
// rounding of the data, which the final solution must not carry.
void refine_primal(Glp &g);
// compute_primal after a refactorisation, comparing the basics the updates
// carried with the recomputed ones: a large drift shortens the
// refactorisation interval for the rest of the solve.
void compute_primal_checked(Glp &g);
// Recomputes the basics and the reduced costs from the factors as updated;
// true when the values the updates carried agree with them (no new
// factorisation is then needed to trust an optimality verdict).
bool updated_values_agree(Glp &g);
// After a pivot whose row and column disagreed: larger pivots from now on.
void tighten_pivot_tolerance(Glp &g);
void compute_dual(Glp &g);
// Pivot row over the nonbasic variables from rho = row r of B^-1: row-wise
// over the nonbasic entries of rho's rows when that is less work than the
// column-wise products with every nonbasic column (pivot_row.cpp). Entries
// below 1e-14 in magnitude are dropped.
enum class PriceMode { kAuto, kByRow, kByColumn };
void compute_pivot_row(Glp &g, const xlu::Vector &rho, PriceMode mode = PriceMode::kAuto);
// d_j -= t * alpha_j over the pivot row's nonzeros.
void subtract_along_row(Glp &g, double t);
// Keeps the row-wise copy in step with a pivot (entering became basic,
// leaving nonbasic); pivot_basis calls it.
void note_basis_change(Glp &g, int entering, int leaving);
// Entering column a_j scattered into v (by rows).
void load_column(const Glp &g, int j, xlu::Vector &v);

// v = -sum of delta_j a_j over the given columns (by rows): its FTRAN is the
// change of the basics when the columns move by delta.
void load_moves(const Glp &g, const std::vector<int> &cols, const std::vector<double> &delta, xlu::Vector &v);

// Calls f(p) for every position of v that may hold a nonzero.
template <class F>
void for_each_position(const xlu::Vector &v, int m, F &&f) {
  if (v.count >= 0) {
    for (int k = 0; k < v.count; ++k) f(v.index[k]);
  } else {
    for (int p = 0; p < m; ++p) f(p);
  }
}

// Pivots one solve may make across all its runs before it gives up: generous
// for real models, a fraction of a second for small pathological ones.
inline double pivot_budget(const Glp &g) { return 10.0 * (g.n + g.m) + 5000.0; }

// Bound violation of the basic at position p, and the wrong-signed part of
// nonbasic j's reduced cost (0 when j is basic or fixed).
inline double basic_violation(const Glp &g, int p) {
  const int j = g.head[p];
  return std::max(g.lower[j] - g.x[j], g.x[j] - g.upper[j]);
}
// How far d_j has the sign its state forbids (0 when it has not). Without
// branches on the state: over all columns its outcome is a coin toss.
inline double dual_violation(const Glp &g, int j) {
  // by state (basic, at lower, at upper, free): the forbidden sign, and
  // whether any nonzero d_j is wrong
  static constexpr double kWrongSign[4] = {0.0, -1.0, 1.0, 0.0};
  static constexpr double kAnySign[4] = {0.0, 0.0, 0.0, 1.0};
  const int st = g.state[j] & 3;
  const double d = g.d[j];
  const double v = std::max(kWrongSign[st] * d, kAnySign[st] * std::fabs(d));
  // a fixed variable has no sign to keep (a free one is never fixed)
  return g.upper[j] > g.lower[j] ? v : 0.0;
}

double primal_infeasibility(const Glp &g, int *count);
double dual_infeasibility(const Glp &g, int *count);
double objective_value(const Glp &g);  // internal (minimisation, with shifts removed)

// Run controls shared by both methods.
struct RunControl {
  double iter_limit = -1;  // negative: none
  double time_limit = -1;
  double start_time = 0;
  int location = 0;
  int dual_pricing = 1;    // 0 Dantzig, 1 steepest edge, 3 Devex
  bool devex_when_costly = false;  // steepest edge may turn to Devex when its solves get dense
  // Devex weights measured in a reference framework (exact weight of the
  // leaving row, reset when worn); false: carried on from the last solve as
  // they stand, with no upkeep
  bool devex_framework = true;
  int dual_partial = 0;    // TV_IPARAM_LP_DPARTIAL with Dantzig's rule: 0 full scan, 1-3 partial
  int primal_pricing = -1;  // -1 automatic, 0 partial, 2 Devex
  int primal_partial = 2;   // partial pricing method 1 or 2
  int max_merge = 0;        // TV_IPARAM_LP_MAXMERGE: overfull merges of the partial list before a refactorisation
  double merge_fact = 0.7;  // TV_DPARAM_LP_MERGEFACT: fill share of the list that counts a merge as overfull
  bool reentered_primal = false;  // the primal runs again in this solve
  bool use_cutoff = false;
  double cutoff = -kInf;   // internal minimisation sense
  bool perturb = true;     // a fresh run may perturb before its first iteration
  // a re-solve from a kept factorised basis: its optimum may stand on updated
  // factors when they agree (cold solves end on fresh factors)
  bool warm = false;
  bool pre_perturb_primal = true, pre_perturb_dual = true;  // TV_IPARAM_LP_UMODE bits 16 and 8
  bool lexicographic = false;  // TV_IPARAM_LP_UMODE bit 32: lexicographic ratio test instead of bound perturbation
  bool perturb_when_degenerate = false;  // a cold dual run watches its degeneracy (warm ones only stalls)
  // TV_IPARAM_SPLEX_DUAL_PHASE (0 decide, 1 start in phase 1, 2 single phase,
  // 3 keep the phase) and the artificial box of TV_DPARAM_LP_BNDINF
  int dual_phase = 0;
  double bound_inf = 1e15;
  // The bounds without artificial boxes, while the dual has them on.
  const std::vector<double> *true_lower = nullptr, *true_upper = nullptr;
  // Without a model the run checks its own clock (from start_time) and this flag.
  const std::atomic<bool> *interrupt = nullptr;
  double feastol = 1e-7;   // the model's feasibility tolerance (certificates)
  double big_m = 1e6;      // TV_DPARAM_LP_BIGM, reported with the settings
  int dual_ratio = 1;      // TV_IPARAM_LP_DRATIO: 0 textbook, 1 flips + large pivots, 2 Harris, 3 flips
  bool bound_flips = true; // TV_IPARAM_LP_XMODE bit 8: the dual ratio test may flip boxed columns
  double piv_bigtol = 1e-5;  // TV_DPARAM_LP_PIV_BIGTOL: pivots below a tenth of it are avoided
  int primal_ratio = 1;    // TV_IPARAM_LP_PRATIO: 0 textbook, 1-2 Harris, 3 growing tolerance
  bool dp_switch = true;   // the dual may hand over to the primal
  double pert_factor = 0;  // perturbation size, 0: the solver decides
  // Seed of the perturbation values (TV_IPARAM_LP_UMODE bit 1: drawn per solve
  // from the environment's seed); 0: the fixed sequence, the same every solve.
  std::uint32_t perturb_seed = 0;
  bool free_first = true;  // free nonbasic columns are priced first
  bool random_pivots = true;  // random entering choices against stalling
};

// Basis polishing of an optimal basis (polish.cpp); true when the polished
// basis was kept (otherwise the starting one is back). Needs g.xstat == XSTAT_OPT.
struct PolishSettings {
  int mode = 0;                 // TV_IPARAM_LP_BASPOLISH_MODE bits (0: prefer slacks)
  double factor = 0.75;         // TV_DPARAM_LP_DYNOBJFACT: size of the temporary costs
  double iteration_limit = 0;   // pivots polishing may spend
  const std::vector<char> *integer_cols = nullptr;  // per column, for mode bit 1
};
bool polish_basis(Glp &g, const RunControl &rc, const PolishSettings &ps);

// Exact dual steepest-edge weights of the current (factored) basis.
void compute_dse_weights(Glp &g);
// Dual Devex: weights of 1 in the framework of the current basic variables,
// and the exact framework weight of the row leaving by the current pivot row.
void reset_devex_framework(Glp &g);
double devex_reference_weight(const Glp &g, int leave);

// The dual and primal simplex entries; the exit code is left in g.xstat.
int dual_simplex(Glp &g, const RunControl &rc);
int primal_simplex(Glp &g, const RunControl &rc);
// The dual/primal switch loop of one solve from the current state of g,
// verdicts checked against g.unscaled; returns the internal run code with the
// exit left in g.xstat (cutoff applied, shifts removed, x and duals fresh).
int run_methods(Glp &g, RunControl &rc, bool primal);
// Checks iteration/time limits and the progress callback: XSTAT_CONT to go on.
int check_limits(Glp &g, const RunControl &rc);

}  // namespace tarvo::simplex
