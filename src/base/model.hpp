// The model object: one optimisation problem and everything the library knows
// about it. The environment pointer is the first member so that code holding
// only a model can always reach its environment.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "base/env.hpp"
#include "base/param_values.hpp"
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

// The problem data: everything a loader writes and TVcopyModel copies.
struct ModelData {
  int m = 0, n = 0, nz = 0;
  int row_capacity = 0, col_capacity = 0, storage = 0;
  int sense = 1;               // TV_MIN or TV_MAX, also seen as TV_IPARAM_OBJSENSE
  double obj_constant = 0.0;
  std::vector<double> c;       // max(n,1)
  std::vector<double> b;       // m+1
  std::vector<char> ctype;     // m+1
  std::vector<double> range;   // optional range values
  std::vector<int> start;      // n+1 (max(n,1)+1 allocated)
  std::vector<int> length;     // max(n,1)
  std::vector<int> rowidx;     // storage+1
  std::vector<double> value;   // storage+1
  std::vector<double> lower, upper;  // max(n,1)
  std::vector<char> vtype;     // empty when every variable is continuous
  std::string title, objname, rhsname, rangename, boundname;
  NamePool connames, varnames, conenames;
  int ncones = 0, ncone_nz = 0, nqc_nz = 0, nnl_con = 0, nnl_obj = 0;
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
  int error_row = -1;  // constraint recorded with a numerical failure
};

struct MipRecord {
  double obj = 1e30, bestbound = -1e30;
  std::vector<double> x;
  int status = TV_STATUS_UNKNOWN;
  bool finished = false;
  int num_solutions = 0;
  double branch_count = 0, lp_count = 0, sim_iter = 0, bar_iter = 0, nlp_iter = 0;
  int active_nodes = 0;
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
  int (*callback)(pTVmodel, int, void *) = nullptr;
  void *callback_data = nullptr;
  TVmodelLogfunc_t logfunc = nullptr;
  void *logdata = nullptr;
  // The log writer actually called by the model's log lines (the relay that
  // brackets the host's function with the phase marker), null when none.
  void (*log_writer)(pTVmodel, const char *, void *) = nullptr;
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
  tarvo::base::FileErrorRecord file_error;
  tarvo::base::ModelHooks hooks;
  double best_known_bound = 1e30;
  double scale_factor[3] = {1.0, 1.0, 1.0};
  double created_wall = 0, created_cpu = 0;

  tvModel() = default;
  tvModel(const tvModel &) = delete;
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

// "\nWarning: %s (error:%d)" through the model log, importance by print level.
void log_model_warning(Model *model, int code);
void log_model_token_warning(Model *model, int code, const char *token);

// Text of a code from the environment's catalogue ("" when none).
const char *message_text(const Env *env, int code);

// Installs the host log function and the relay that calls it.
void install_model_logfunc(Model *model, TVmodelLogfunc_t func, void *userData);

}  // namespace tarvo::base
