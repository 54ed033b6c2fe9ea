// Internal interface between the files of the optimize dispatcher: the LP
// wrapper and its solution check, the direct solve, and the explicit-dual,
// concurrent and decomposition branches of TVoptimize.
#pragma once

#include <optional>

#include <vector>

#include "model/model.hpp"
#include "simplex/driver.hpp"

namespace tarvo::base {

// The solution report (optimize_report.cpp).
void print_solution_report(Model *model, int method);

// Models that another solver owns and drives (node, scratch and block
// models) skip the thread, explicit-dual and decomposition branches, the
// final callback and the report.
inline bool is_subproblem(const Model &model) { return model.parent != nullptr || model.cut_row_switch; }

// Statuses that end a solve with a verdict on the model.
inline bool final_status(int status) {
  return status == TV_STATUS_OPTIMAL || status == TV_STATUS_BASIC_OPTIMAL || status == TV_STATUS_INFEASIBLE ||
         status == TV_STATUS_UNBOUNDED || status == TV_STATUS_FEASIBLE || status == TV_STATUS_INFORUNB ||
         status == TV_STATUS_LOCAL_OPTIMAL || status == TV_STATUS_LOCAL_INFEASIBLE || status == TV_STATUS_CUTOFF;
}

void fill_status(SolutionRecord &s, int status);

// Adds the simplex figures of a solve on another model (a reduced or dual
// copy) to the record: factorisation counts, the method and the time to the
// solution found.
void accumulate_run_figures(SolutionRecord &into, const SolutionRecord &from);

// optimize_direct.cpp: models without rows or columns, and inverted bounds.
int solve_direct(Model *model);
bool trivially_infeasible(const ModelData &d);

// optimize_lp.cpp: the LP wrapper (method validation, simplex runs with the
// solution check and bounded re-solves, iteration totals).
int optimize_lp(Model *model, int method);
// Integer parameter store without the setter's range check, for the models
// the dispatcher makes for itself (the explicit dual, blocks, thread copies).
void store_int_param(Model *model, int id, int value);
// A host's cold-start request (TV_IPARAM_SOLVER_RESTART) lasts for one call:
// the first solve step that serves it takes it, which clears it.
bool take_cold_start_request(Model *model);

// optimize_presolve.cpp: the presolve wrapper. presolve_wanted says whether
// this call reduces the model first; optimize_presolved then solves through
// the reduced copy (*handled false: solve the model itself). `low_memory`
// asks for the lean presolve of TV_IPARAM_LP_PRELEVEL bit 8192: the simple
// reductions only (no eliminations that create fill, no dual or integer
// passes), whatever the level says.
bool presolve_wanted(const Model *model, bool low_memory = false);
int optimize_presolved(Model *model, int method, bool *handled, bool low_memory = false);

// optimize_check.cpp: the solution check of one run (its action code, log
// lines at print level 1) and the recovery actions.
int check_run(Model *model, int code, const simplex::LpResult &run);
// After the last re-solve: an optimal (or cutoff) status whose solution still
// fails the check is withdrawn (status loaded, 2019); other results pass through.
int withdraw_unchecked_optimum(Model *model, int code, const simplex::LpResult &run);
// Discards the work object and sets the scaling of the re-solve as a shadow of
// the host's value (created on first use, gone with the caller's scope).
void apply_recovery(Model *model, std::optional<ScopedParam> &scale_shadow, int scale, int note);
int recovery_method(Model *model, int action);
// Unscaled violations of the installed solution (0 when there is none).
void measure_installed(Model *model, double *pinf, double *dinf);
// Header of the basis kept in the work object, hashed (0 without one).
unsigned long long basis_hash(const Model &model);
// Structural checks of the kept basis; the number of errors found.
int check_work_basis(Model *model, int k);

// optimize_scratch.cpp: a model that the dispatcher creates for its own use,
// in the owner's environment, with the owner's parameters. It is marked as
// working for the owner (a subproblem); with `relay` its log lines go to the
// owner's log and its progress calls reach the owner's callbacks (only for
// scratch models solved on the owner's thread).
class Scratch {
 public:
  explicit Scratch(Model *owner, bool relay = true);
  ~Scratch();
  Scratch(const Scratch &) = delete;
  Scratch &operator=(const Scratch &) = delete;
  Model *get() const { return model_; }
  int code() const { return code_; }

 private:
  Model *model_ = nullptr;
  int code_ = 0;
};

// Basic count of a basis given as statuses (>= 0 basic).
int basic_count(const std::vector<int> &cols, const std::vector<int> &rows);
// Makes a basis have exactly `target` basic entries, dropping or adding row
// slacks first and structural columns only when slacks do not suffice;
// nonbasic entries get a status the bounds allow. Basic entries are numbered.
void fix_basic_count(const ModelData &d, std::vector<int> &cols, std::vector<int> &rows, int target);

// optimize_dual.cpp: the explicit-dual rule and solve. *handled is false when
// the primal must be solved the ordinary way instead.
bool explicit_dual_wanted(Model *model, int method);
int solve_explicit_dual(Model *model, int method, bool *handled);

// optimize_concurrent.cpp: concurrent strategies on model copies.
int run_concurrent(Model *model, int method, bool *handled);

// optimize_decompose.cpp: independent blocks solved separately, then the
// whole model re-optimised from the consolidated basis.
int solve_decomposed(Model *model, int method, bool *handled);

}  // namespace tarvo::base
