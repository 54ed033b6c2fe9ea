// The model object: one optimisation problem and everything the library knows
// about it. The environment pointer is the first member so that code holding
// only a model can always reach its environment.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "env/env.hpp"
#include "params/param_values.hpp"
#include "tarvo.h"

namespace tarvo::base {

// Names of one kind (rows, columns or cones) stored back to back with their
// terminators; offsets[i] is the first character of name i.
struct NamePool {
  std::vector<char> pool;
  std::vector<int> offsets;
  bool present() const { return !offsets.empty(); }
  const char *name(int i) const { return pool.data() + offsets[i]; }
  // Length of the pool up to the end of the last name, 0 when there are none.
  int used_length() const;
};

// Quadratic terms as loaded, grouped by row (the objective, row -1, first).
struct QuadraticData {
  std::vector<int> row, col1, col2;
  std::vector<double> coef;
  std::vector<char> is_quadratic_row;  // m+1 flags, index m the objective
  bool not_convex = false;             // a quadratic term in an "E" row
  bool empty() const { return coef.empty(); }
};

struct ConeData {
  std::vector<char> type;      // Q, R, E, P
  std::vector<double> alpha;   // per cone, empty when not given
  std::vector<int> start;      // ncones+1
  std::vector<int> member;
};

struct SetData {
  std::vector<char> type;          // 1 to 4
  std::vector<int> cardinality;    // per set, only when some set has type 4
  std::vector<int> start;          // nsets+1
  std::vector<int> member;
  std::vector<char> state;         // zero-filled per set
  std::vector<char> active;        // activity flags, created on first TVsetSETSStatei
  int count() const { return static_cast<int>(type.size()); }
};

struct SemiContData {
  std::vector<int> var;
  std::vector<double> lower;  // the semicontinuous lower values (upper values live in upper[])
};

struct IndicatorData {
  std::vector<int> row, var, value;
  std::vector<double> rhs;
  std::vector<char> ctype;
};

struct PosdData {
  std::vector<int> dim, start, rowpos, colpos, var;  // as loaded
  std::vector<std::vector<int>> packed;              // per block, d(d+1)/2 variable indices or -1
};

struct AllDiffData {
  std::vector<int> lower, upper, start, member;
};

struct PartialPoint {
  std::vector<int> index;
  std::vector<double> value;
  bool present = false;
};

// One objective of the lexicographic pool.
struct PoolObjective {
  std::vector<double> c;
  int sense = 1, rank = 1;
  double reltol = 0, abstol = 0, weight = 1;
  std::string name;
  std::vector<std::vector<double>> solutions;
};

// The problem data: everything a loader writes and TVcopyModel copies.
struct ModelData {
  int m = 0, n = 0, nz = 0;
  int row_capacity = 0, col_capacity = 0, storage = 0;
  int sense = 1;               // TV_MIN or TV_MAX, also seen as TV_IPARAM_OBJSENSE
  double obj_constant = 0.0;
  std::vector<double> c;       // max(n,1)
  std::vector<double> b;       // m+1
  std::vector<char> ctype;     // m+1
  std::vector<double> range;   // optional range values, m+1 when present
  std::vector<int> start;      // n+1 (max(n,1)+1 allocated)
  std::vector<int> length;     // max(n,1)
  std::vector<int> rowidx;     // storage+1
  std::vector<double> value;   // storage+1
  std::vector<double> lower, upper;  // max(n,1)
  std::vector<char> vtype;     // empty when every variable is continuous
  std::string title, objname, rhsname, rangename, boundname;
  NamePool connames, varnames, conenames;
  int ncones = 0, ncone_nz = 0, nqc_nz = 0, nnl_con = 0, nnl_obj = 0;
  QuadraticData qc;
  ConeData cones;
  SetData sets;
  SemiContData semicont;
  IndicatorData indicators;
  PosdData posd;
  AllDiffData alldiff;
  std::vector<int> priority;           // branching priorities, empty when none
  std::vector<double> start_point;     // empty when none
  std::vector<double> mip_start_point; // empty when none
  PartialPoint partial_start, mip_partial_start;
  std::vector<PoolObjective> lp_pool, mip_pool;
  bool obj_pool_open = false;          // a pool exists (it may have been emptied by removals)
  bool has_instructions = false;       // nonlinear instruction list loaded
};

// Results of the last continuous solve (or of a loaded basis or solution).
struct SolutionRecord {
  double pobj = 0, pinfeas = 1e30, dinfeas = 1e30, dobj = 0;
  std::vector<int> colbasis, rowbasis;
  std::vector<double> x, dual, slack, redcost, redcost_cone;
  std::vector<double> ipm_x, ipm_dual, ipm_slack, ipm_redcost;
  int model_status = TV_STATUS_UNKNOWN;
  int basis_status = TV_STATUS_UNLOADED;
  int primal_status = TV_STATUS_UNLOADED;
  int dual_status = TV_STATUS_UNLOADED;
  double bar_iter = 0, sim_iter = 0, nlp_iter = 0;
  int elapsed_time = 0;
  double seconds = 0;        // elapsed time, unrounded
  double time_to_best = 0;   // seconds into the solve when the reported solution was found
  int used_method = -1;      // method that produced the solution (TV_IINFO_METHOD)
  long long factorizations = 0, factor_ok = 0, factor_stable = 0;  // of the simplex runs
  int error_row = -1;  // constraint recorded with a numerical failure
};

struct MipRecord {
  double obj = 1e30, bestbound = -1e30;
  std::vector<double> x;
  // Filled on demand by the integer solver; empty means not available.
  std::vector<double> slack, dual, redcost;
  std::vector<int> colbasis, rowbasis;
  int status = TV_STATUS_UNKNOWN;
  bool finished = false;
  int num_solutions = 0;
  double branch_count = 0, lp_count = 0, sim_iter = 0, bar_iter = 0, nlp_iter = 0;
  int active_nodes = 0;
};

// Solutions and objectives a host offered through the solution-insertion
// callbacks while a node problem of the integer solver reported progress.
struct MipOffer {
  bool solution = false;       // the host offered x (n values) with its objective
  std::vector<double> x;
  double solution_obj = 0;
  bool objective = false;      // the host offered an objective value
  double obj = 0;
};

// Current values of the running solver phase. Solvers write them (see
// base/callback_dispatch.hpp); callbacks read them through TVgetCallbackInfo.
struct ProgressRecord {
  int location = -1;           // location code of the running phase, -1 outside a solve
  double start_time = 0;       // wall-clock seconds when the phase began
  double obj = 1e30, dobj = -1e30, pinf = 1e30, dinf = 1e30;
  double bestbound = -1e30, sub_obj = 1e30, sub_pinf = 1e30;
  double iter = 0;
  int status = TV_STATUS_UNKNOWN;
  double lp_count = 0, branch_count = 0, active_count = 0, nlp_count = 0, mip_count = 0, cut_count = 0;
  MipOffer *offer_sink = nullptr;  // where host offers go when the caller passes none
};

// Line number and text of the last failed file read.
struct FileErrorRecord {
  unsigned line = 0;
  std::string text;
  bool present = false;
  void clear() {
    line = 0;
    text.clear();
    present = false;
  }
};

struct ModelHooks {
  TVcallback_t callback = nullptr;
  void *callback_data = nullptr;
  TVmipCallback_t mip_callback = nullptr;
  void *mip_callback_data = nullptr;
  TVinsMIPSol_t ins_mip_sol = nullptr;
  void *ins_mip_sol_data = nullptr;
  TVinsMIPObj_t ins_mip_obj = nullptr;
  void *ins_mip_obj_data = nullptr;
  TVgopCallback_t gop_callback = nullptr;
  void *gop_callback_data = nullptr;
  TVfdeCallback_t fde = nullptr;
  void *fde_data = nullptr;
  TVfuncalc_t funcalc = nullptr;
  void *funcalc_data = nullptr;
  TVgradcalc_t gradcalc = nullptr;
  void *gradcalc_data = nullptr;
  bool gradcalc_full_partial = false;
  std::vector<char> gradcalc_rows;  // m+1 flags, the last one for the objective
  TVhessdccalc_t hessdccalc = nullptr;
  void *hessdccalc_data = nullptr;
  TVusercalc_t usercalc = nullptr;
  void *usercalc_data = nullptr;
  // Secondary progress hook of language bindings and of solvers working on a
  // copy of a master model.
  TVcallback_t secondary = nullptr;
  TVmodelLogfunc_t logfunc = nullptr;
  void *logdata = nullptr;
  // The log writer actually called by the model's log lines (the relay that
  // brackets the host's function with the phase marker), null when none.
  void (*log_writer)(pTVmodel, const char *, void *) = nullptr;
  bool log_lines = false;  // TV_LOGMODE_LINES: the host receives complete lines
  double last_callback_time = -1e30;  // wall-clock seconds of the last callback
};

// Lazily computed counts (TV_IINFO_NUM_BIN and friends).
struct Statistics {
  bool stale = true;
  int nbin = 0, nint = 0, ncont = 0;
  int ncons_l = 0, ncons_e = 0, ncons_g = 0, ncons_r = 0, ncons_n = 0;
  int nvars_lb = 0, nvars_ub = 0, nvars_lub = 0, nvars_fr = 0, nvars_fx = 0;
  int nvars_card = 0, nvars_sos1 = 0, nvars_sos2 = 0, nvars_sos3 = 0, nvars_scont = 0;
  // Smallest and largest nonzero |a_ij| with their positions (-1 when the matrix is empty).
  double min_coef = 0, max_coef = 0;
  int min_coef_row = -1, min_coef_col = -1, max_coef_row = -1, max_coef_col = -1;
};

// Calls and accumulated seconds of one profiled solver phase.
struct ProfilerSlot {
  int calls = 0;
  double seconds = 0;
};

// Name lookup of one kind, built on first use and dropped when names change.
struct NameIndex {
  bool built = false;
  std::unordered_map<std::string, int> index;
  void invalidate() {
    built = false;
    index.clear();
  }
};

// What kind of problem the model holds, as the dispatcher sees it.
struct ModelClass {
  bool stale = true;  // recomputed on first use after a change (model_class)
  bool quadratic = false, conic = false, integer = false, nonlinear = false, sets = false, semicont = false;
};

// The solvers' working data kept in the model between solves. The simplex
// work object implements it; a modification first offers the change for an
// in-place update and releases the work object when it is refused.
// The optimize dispatcher reads what it needs through the queries below and
// never looks inside the object.
struct SolverWork {
  virtual ~SolverWork() = default;
  virtual bool fresh() const { return false; }

  // Facts of the kept basis and of the last run, for the solution check.
  struct Facts {
    bool has_basis = false;
    int m = 0, n = 0;
    double primal_tol = 0, dual_tol = 0;  // tolerances the run ended with (0: unknown)
    const std::vector<double> *row_scale = nullptr, *col_scale = nullptr;  // null: not scaled
  };
  virtual Facts facts() const { return {}; }
  bool has_basis_for(int m, int n) const {
    const Facts f = facts();
    return f.has_basis && f.m == m && f.n == n;
  }
  virtual unsigned long long basis_hash() const { return 0; }
  // Largest bound violation in the solver's scaled space (a pass over all variables).
  virtual double internal_violation() const { return 0.0; }
  // Condition estimate of the factored basis; 1 when no factors are at hand.
  virtual double condition_estimate() { return 1.0; }
  // Inconsistent entries of the basis bookkeeping (0: sound); *basic counts
  // the basic variables.
  virtual int basis_errors(int *basic) const {
    *basic = 0;
    return 0;
  }
  // FTRAN (forward: input by rows, result by basic positions) or BTRAN with
  // the kept basis, sparse in and out; a return code of the catalogue.
  virtual int basis_solve(bool /*forward*/, const int * /*inCount*/, const int * /*inIndex*/,
                          const double * /*inValue*/, int * /*outCount*/, int * /*outIndex*/,
                          double * /*outValue*/) {
    return 2030;
  }

  // A basis given by the host; false when it does not fit (the caller releases).
  virtual bool install_basis(const int * /*colStatus*/, const int * /*rowStatus*/) { return false; }
  virtual bool update_rhs(int /*row*/, double /*value*/) { return false; }
  virtual bool update_cost(int /*col*/, double /*value*/) { return false; }
  virtual bool update_bounds(int /*col*/, double /*lower*/, double /*upper*/) { return false; }
  virtual bool flip_row_type(int /*row*/, char /*type*/) { return false; }
};

// Result of the last IIS analysis. Each list holds its sufficient members
// first, then the necessary ones.
struct IisRecord {
  int suf_rows = 0, suf_cols = 0, suf_ints = 0, suf_sets = 0;
  std::vector<int> rows, cols, ints, sets;
  std::vector<int> bound_type;  // per entry of cols: -1 lower, 1 upper, 0 both
  int method = 0, norm = 0, level = 0, sfilter = 0;
  bool bounds_analysed = false, partial = false;
  double sim_iter = 0, seconds = 0;
  int lp_count = 0, mip_count = 0;
};

// Result of the last IUS analysis: sufficient columns first.
struct IusRecord {
  int suf_cols = 0;
  std::vector<int> cols;
  int level = 0;
  bool partial = false;
  double sim_iter = 0, seconds = 0;
  int lp_count = 0;
};

}  // namespace tarvo::base

struct tvModel {
  pTVenv env = nullptr;            // always first
  tvModel *master = nullptr;       // the model this one was derived from
  tvModel *parent = nullptr;       // the model this one works for
  void *xsolver = nullptr;         // external solver bridge while bound
  tarvo::base::ParamValues params;
  int status = TV_STATUS_UNLOADED;
  int last_error = 0;
  int phase_marker = 0;
  int callback_phase = 0;          // the value the marker takes during callbacks
  bool lent_to_workers = false;    // data lent to the threads of a parallel solve
  tarvo::base::ModelData data;
  std::unique_ptr<tarvo::base::SolutionRecord> solution;
  std::unique_ptr<tarvo::base::MipRecord> mip;
  std::unique_ptr<tarvo::base::IisRecord> iis;  // kept until the model changes
  std::unique_ptr<tarvo::base::IusRecord> ius;
  tarvo::base::FileErrorRecord file_error;
  std::string source_dir, source_base, source_ext;  // parts of the name of the last model file read
  tarvo::base::ModelHooks hooks;
  tarvo::base::ProgressRecord progress;
  tarvo::base::Statistics stats;
  tarvo::base::NameIndex var_index, con_index, cone_index;
  tarvo::base::ModelClass kind;
  std::unique_ptr<tarvo::base::SolverWork> work;  // simplex work object between solves
  bool cut_row_switch = false;    // a node problem of the integer solver: cut rows count as rows
  int cut_rows = 0;               // rows of the model's cut pool counted while the switch is on
  bool alt_solution_switch = false;  // the simplex group's alternative-solution switch
  // Basis changes per column, then per row, over the simplex runs of this model.
  std::vector<std::uint32_t> pivot_activity;
  int lp_solves = 0, lp_reopts = 0;  // simplex runs of the LP wrapper, and the warm ones among them
  bool profiling = false;
  std::vector<tarvo::base::ProfilerSlot> profiler;  // items 12000-12499, empty until profiling records
  double best_known_bound = 1e30;
  double scale_factor[3] = {1.0, 1.0, 1.0};
  double created_wall = 0, created_cpu = 0;

  tvModel() = default;
  tvModel(const tvModel &) = delete;
  TARVO_REGISTERED_HANDLE(model)
  tvModel &operator=(const tvModel &) = delete;
};

namespace tarvo::base {

using Model = tvModel;

// Creates a model in `env` (the body of TVcreateModel); null with *code set on failure.
Model *create_model(Env *env, int *code);
// Unlinks and frees a model (the body of TVdeleteModel).
int delete_model(Model *model);
// Releases every data array, name, solution and optional data; status back to 13.
void clear_model_data(Model *model);
// Releases the solvers' working memory kept in the model between solves.
void free_solver_memory(Model *model);

// The effective print level used for warnings (largest of the LP, integer and
// nonlinear print levels, 0 for a quiet worker model).
int effective_print_level(const Model &model);

// Model log line through the model's log writer; `on` 0 writes nothing.
// Returns the text length, 0 when nothing was written, -1 on a format failure.
int log_model(Model *model, int on, const char *format, ...) __attribute__((format(printf, 3, 4)));
int log_model_v(Model *model, int on, const char *format, va_list args);
// The same for one thread of a multi-threaded solver: the line is prefixed
// with the thread number ("%cThread%02d: %s"); safe to call from several threads.
int log_model_thread(Model *model, int on, int thread, const char *format, ...)
    __attribute__((format(printf, 4, 5)));

// "\nWarning: %s (error:%d)" through the model log, importance by print level.
void log_model_warning(Model *model, int code);
void log_model_token_warning(Model *model, int code, const char *token);

// Text of a code from the environment's catalogue ("" when none).
const char *message_text(const Env *env, int code);

// Installs the host log function and the relay that calls it.
void install_model_logfunc(Model *model, TVmodelLogfunc_t func, void *userData);

}  // namespace tarvo::base
