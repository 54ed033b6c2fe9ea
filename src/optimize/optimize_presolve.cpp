// The presolve wrapper of the LP path: reduces the model with the presolve
// engine, solves the reduced copy in a scratch model, maps its solution and
// basis back, checks them on the user's model and re-solves warm from the
// postsolved basis when the check fails.
#include <cmath>
#include <string>

#include "optimize/optimize_internal.hpp"
#include "common/clock.hpp"
#include "presolve/bridge/presolve_model.hpp"
#include "presolve/presolve.hpp"
#include "simplex/glp.hpp"
#include "common/error_codes.hpp"

namespace tarvo::base {
namespace {

constexpr double kInf = 1e30;

// The reduced model's solution in the engine's terms.
presolve::Solution reduced_solution(const Model &scratch, const presolve::LinearProblem &p) {
  const SolutionRecord &s = *scratch.solution;
  presolve::Solution r;
  r.x = s.x;
  r.y = s.dual;
  r.col_status.resize(p.n);
  r.row_status.resize(p.m);
  for (int j = 0; j < p.n; ++j) {
    const int st = s.colbasis[j];
    r.col_status[j] = st >= 0 ? presolve::kBasic
                      : st == TV_BASTYPE_ATUP ? presolve::kUpper
                      : st == TV_BASTYPE_ATLO ? presolve::kLower
                                              : presolve::kZero;
    if (r.col_status[j] == presolve::kLower && p.lower[j] <= -kInf) r.col_status[j] = presolve::kUpper;
    if (r.col_status[j] == presolve::kUpper && p.upper[j] >= kInf) r.col_status[j] = presolve::kLower;
    if (p.lower[j] <= -kInf && p.upper[j] >= kInf && st < 0) r.col_status[j] = presolve::kZero;
  }
  std::vector<double> act(p.m, 0.0);
  for (int j = 0; j < p.n; ++j)
    for (int k = p.start[j]; k < p.start[j + 1]; ++k) act[p.index[k]] += p.value[k] * s.x[j];
  for (int i = 0; i < p.m; ++i) {
    if (s.rowbasis[i] >= 0) {
      r.row_status[i] = presolve::kBasic;
      continue;
    }
    const double rl = p.row_lower[i], ru = p.row_upper[i];
    // a nonbasic ranged row sits at the side its activity is at; a zero dual
    // says nothing about the side
    if (rl == ru || ru >= kInf) r.row_status[i] = presolve::kLower;
    else if (rl <= -kInf) r.row_status[i] = presolve::kUpper;
    else if (std::fabs(act[i] - rl) != std::fabs(act[i] - ru))
      r.row_status[i] = std::fabs(act[i] - rl) < std::fabs(act[i] - ru) ? presolve::kLower : presolve::kUpper;
    else r.row_status[i] = s.dual[i] >= 0 ? presolve::kLower : presolve::kUpper;
  }
  return r;
}

// Installs a postsolved solution (minimisation convention) into the model.
// Returns the largest row-dual sign violation, which the column check misses.
double install_postsolved(Model *model, const presolve::LinearProblem &p, const presolve::Solution &full) {
  const ModelData &d = model->data;
  SolutionRecord &s = *model->solution;
  const double sense = d.sense == TV_MAX ? -1.0 : 1.0;
  s.x = full.x;
  s.dual.resize(d.m);
  s.slack.resize(d.m);
  s.redcost.resize(d.n);
  s.colbasis.resize(d.n);
  s.rowbasis.resize(d.m);
  std::vector<double> act(d.m, 0.0);
  double obj = d.obj_constant;
  int basic = 0;
  for (int j = 0; j < d.n; ++j) {
    double z = p.cost[j];
    for (int k = p.start[j]; k < p.start[j + 1]; ++k) {
      act[p.index[k]] += p.value[k] * full.x[j];
      z -= p.value[k] * full.y[p.index[k]];
    }
    s.redcost[j] = sense * z;
    obj += d.c[j] * full.x[j];
    switch (full.col_status[j]) {
      case presolve::kBasic: s.colbasis[j] = basic++; break;
      case presolve::kUpper: s.colbasis[j] = d.lower[j] == d.upper[j] ? TV_BASTYPE_ATLO : TV_BASTYPE_ATUP; break;
      case presolve::kZero: s.colbasis[j] = TV_BASTYPE_FNUL; break;
      default: s.colbasis[j] = TV_BASTYPE_ATLO; break;
    }
  }
  double wrong = 0;
  for (int i = 0; i < d.m; ++i) {
    s.dual[i] = sense * full.y[i];
    s.slack[i] = d.b[i] - act[i];
    const double y = full.y[i];
    const double rl = p.row_lower[i], ru = p.row_upper[i];
    switch (full.row_status[i]) {
      case presolve::kBasic:
        s.rowbasis[i] = basic++;
        wrong = std::fmax(wrong, std::fabs(y));
        break;
      case presolve::kLower:
        // activity at the lower side: slack at its upper bound
        s.rowbasis[i] = rl > -kInf && ru < kInf && rl != ru ? TV_BASTYPE_ATUP : TV_BASTYPE_ATLO;
        if (rl != ru) wrong = std::fmax(wrong, -y);
        break;
      default:
        s.rowbasis[i] = TV_BASTYPE_ATLO;
        if (rl != ru) wrong = std::fmax(wrong, y);
        break;
    }
  }
  if (basic != d.m) fix_basic_count(d, s.colbasis, s.rowbasis, d.m);
  s.pobj = s.dobj = obj;
  fill_status(s, TV_STATUS_BASIC_OPTIMAL);
  return wrong;
}

// A work object holding the postsolved basis, so that the next solve of the
// unchanged model re-optimises warm from it.
void keep_work_object(Model *model) {
  const SolutionRecord &s = *model->solution;
  if (auto work = simplex::work_with_basis(*model, s.colbasis.data(), s.rowbasis.data())) model->work = std::move(work);
}

void log_sizes(Model *model, const presolve::Result &r) {
  const presolve::PassSizes &last = r.passes.back();
  log_model(model, 1, "\nOri. size (m, n, nz,  nip): %6d, %6d, %8d,  %6u", r.orig_m, r.orig_n, r.orig_nz, 0u);
  log_model(model, 1, "\nNew  size (m, n, nz,  nip): %6u, %6u, %8u,  %6d\n", static_cast<unsigned>(r.reduced.m),
            static_cast<unsigned>(r.reduced.n), static_cast<unsigned>(r.reduced.nonzeros()), 0);
  (void)last;
}

// Solves the reduced copy; true with *code when its answer is the model's.
bool solve_reduced(Model *model, int method, const presolve::LinearProblem &p, const presolve::Result &r,
                   int *code) {
  Scratch scratch(model);
  Model *sm = scratch.get();
  if (!sm) {
    *code = scratch.code();
    return *code == err::kNoMemory;
  }
  if (load_problem(sm, r.reduced, nullptr, nullptr) != 0) return false;
  sm->solution = std::make_unique<SolutionRecord>();
  const int c = optimize_lp(sm, method);
  SolutionRecord &s = *model->solution;
  s.sim_iter += sm->solution->sim_iter;
  accumulate_run_figures(s, *sm->solution);
  const int status = sm->solution->model_status;
  const bool limit = c == err::kIterationLimit || c == err::kTimeLimit;
  if (c == err::kUserInterrupt || c == err::kNoMemory) {
    // interrupts end the call: the full model has no solution yet
    fill_status(s, TV_STATUS_LOADED);
    s.primal_status = TV_STATUS_UNLOADED;
    *code = c;
    return true;
  }
  if (!limit && (c != 0 || (status != TV_STATUS_BASIC_OPTIMAL && status != TV_STATUS_OPTIMAL))) return false;
  if (static_cast<int>(sm->solution->x.size()) != r.reduced.n) return false;
  presolve::Solution full;
  presolve::postsolve(r, reduced_solution(*sm, r.reduced), &full);
  if (limit) {
    // a soft stop keeps the best point and its basis, mapped back
    install_postsolved(model, p, full);
    fill_status(s, TV_STATUS_LOADED);
    keep_work_object(model);
    *code = c;
    return true;
  }
  const double wrong_rows = install_postsolved(model, p, full);
  double pinf = 0, dinf = 0;
  measure_installed(model, &pinf, &dinf);
  s.pinfeas = pinf;
  s.dinfeas = std::fmax(dinf, wrong_rows);
  const double feastol = model->params.dbl(TV_DPARAM_SOLVER_FEASTOL);
  const double opttol = model->params.dbl(TV_DPARAM_SOLVER_OPTTOL);
  const bool talk = model->params.integer(TV_IPARAM_LP_PRINTLEVEL) >= 1;
  int resolve = -1;
  if (pinf > feastol) {
    if (talk) log_model(model, 1, "\nWarning: Postsolve leads to primal infeasibility (%.8e)", pinf);
    if (pinf > 10 * feastol) resolve = TV_METHOD_DSIMPLEX;
  }
  if (s.dinfeas > opttol) {
    if (talk) log_model(model, 1, "\nWarning: Postsolve leads to dual infeasibility (%.8e)", s.dinfeas);
    if (s.dinfeas > 10 * opttol) resolve = TV_METHOD_PSIMPLEX;
  }
  if (resolve < 0 && model->params.integer(TV_IPARAM_SOLVER_IUSOL) != 0) resolve = TV_METHOD_PSIMPLEX;
  if (resolve < 0) {
    keep_work_object(model);
    *code = 0;
    return true;
  }
  if (talk) log_model(model, 1, "\nPerforming postsolve reoptimization ...");
  // warm from the postsolved basis kept in the solution record
  model->work.reset();
  *code = optimize_lp(model, resolve);
  return true;
}

}  // namespace

bool presolve_wanted(const Model *model, bool low_memory) {
  const int level = model->params.integer(TV_IPARAM_LP_PRELEVEL);
  if (is_subproblem(*model) || (!low_memory && (level <= 0 || (level & 8192)))) return false;
  // a cutoff stops the simplex early; the reduced model would have to be solved
  // in full before the original could be judged against it
  if (model->params.integer(TV_IPARAM_SOLVER_USECUTOFFVAL) != 0) return false;
  const ModelData &d = model->data;
  if (d.m == 0 || d.n == 0) return false;
  if (model->params.integer(TV_IPARAM_SOLVER_RESTART) != 0) return true;
  // a basis to start from is worth more than the reduction
  if (model->work && model->work->has_basis_for(d.m, d.n)) return false;
  const SolutionRecord *s = model->solution.get();
  if (s && s->basis_status != TV_STATUS_UNLOADED && static_cast<int>(s->colbasis.size()) >= d.n &&
      static_cast<int>(s->rowbasis.size()) >= d.m)
    return false;
  return true;
}

int optimize_presolved(Model *model, int method, bool *handled, bool low_memory) {
  *handled = false;
  const ModelData &d = model->data;
  const int print = model->params.integer(TV_IPARAM_LP_PRINTLEVEL);
  presolve::Options opt;
  opt.level = low_memory ? static_cast<int>(presolve::kSimple) : model->params.integer(TV_IPARAM_LP_PRELEVEL);
  opt.low_memory_table = low_memory;
  if (low_memory && print >= 1) log_model(model, 1, "\nPresolving in low memory mode ...\n");
  opt.fill_limit = model->params.integer(TV_IPARAM_SOLVER_PRE_ELIM_FILL);
  opt.time_limit = model->params.dbl(TV_DPARAM_SOLVER_TIMLMT);
  opt.feastol = model->params.dbl(TV_DPARAM_SOLVER_FEASTOL);
  if (print >= 2) opt.log = [model](const std::string &line) { log_model(model, 1, "%s", line.c_str()); };
  const presolve::LinearProblem p = problem_of(d);
  presolve::Result r;
  const int retval = presolve::run(p, opt, &r);
  if (low_memory && print >= 1) log_model(model, 1, "\nPreprocessing retval:%d", retval);
  if (retval != 0) return err::kNoMemory;
  if (r.outcome == presolve::Outcome::kUnchanged) return 0;
  if (r.outcome == presolve::Outcome::kInfeasible) {
    // Presolve's tests work on tolerances without a certificate; a badly scaled
    // feasible model can look infeasible to them. The full solve decides and
    // proves its verdict.
    if (print >= 1) log_model(model, 1, "\nProblem found infeasible in LP presolving. Solving the original model to prove it.\n");
    return 0;
  }
  if (print >= 1) {
    log_sizes(model, r);
    log_model(model, 1, "\nPresolve removed %d rows, %d columns, %d nonzeros in %.2f sec.", r.orig_m - r.reduced.m,
              r.orig_n - r.reduced.n, r.orig_nz - r.reduced.nonzeros(), r.seconds);
  }
  take_cold_start_request(model);
  model->work.reset();
  int code = 0;
  *handled = solve_reduced(model, method, p, r, &code);
  return code;
}

}  // namespace tarvo::base
