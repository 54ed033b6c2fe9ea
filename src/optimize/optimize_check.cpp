// The solution check after every simplex run: the installed solution is
// measured against the unscaled model, the rules of optimize_recovery.hpp pick
// an action, and the recovery action prepares the next run.
#include <algorithm>
#include <cmath>

#include "optimize/optimize_internal.hpp"
#include "optimize/optimize_recovery.hpp"
#include "params/param_store.hpp"
#include "simplex/glp.hpp"

namespace tarvo::base {
namespace {

constexpr double kInf = 1e30;

struct Measures {
  double pinf = 0, pinf_backward = 0, pinf_rounding = 0, dinf = 0, dinf_backward = 0, ynorm = 0;
};

// Facts of the kept work object; empty ones without it.
SolverWork::Facts work_facts(const Model &model) { return model.work ? model.work->facts() : SolverWork::Facts{}; }

// The part of reduced cost r (minimisation) that complementarity forbids for a
// value v in [lo, up]: at a bound (within near) r may point outwards, inside
// it must vanish.
double wrong_sign(double r, double v, double lo, double up, double near) {
  const bool at_lo = lo > -kInf && v - lo <= near + 1e-9 * std::fabs(lo);
  const bool at_up = up < kInf && up - v <= near + 1e-9 * std::fabs(up);
  if (at_lo && at_up) return 0.0;
  if (at_lo) return std::max(0.0, -r);
  if (at_up) return std::max(0.0, r);
  return std::fabs(r);
}

// Largest violations by the installed solution, measured on the model's own
// arrays (reduced costs are recomputed from the duals, not taken from the
// solver): absolute (the trigger of a re-solve) and in the units of the
// solver's scaled model (what its tolerances promise; absolute without scaling).
Measures measure_solution(const Model &model) {
  Measures out;
  const ModelData &d = model.data;
  const SolutionRecord &s = *model.solution;
  if (static_cast<int>(s.x.size()) != d.n || static_cast<int>(s.dual.size()) != d.m) return out;
  const SolverWork::Facts f = work_facts(model);
  const bool scales = f.row_scale && f.col_scale && static_cast<int>(f.row_scale->size()) == d.m &&
                      static_cast<int>(f.col_scale->size()) == d.n;
  auto rs = [&](int i) { return scales ? (*f.row_scale)[i] : 1.0; };
  // a value counts as at its bound within the accepted primal violation, and
  // within the rounding of the terms that make up a row activity
  const double near = 10 * model.params.dbl(TV_DPARAM_SOLVER_FEASTOL);
  auto cs = [&](int j) { return scales ? (*f.col_scale)[j] : 1.0; };
  const bool have_basis = static_cast<int>(s.colbasis.size()) == d.n && static_cast<int>(s.rowbasis.size()) == d.m;
  const double sense = d.sense == TV_MAX ? -1.0 : 1.0;
  std::vector<double> act(d.m, 0.0), mag(d.m, 0.0);
  for (int i = 0; i < d.m; ++i) out.ynorm = std::max(out.ynorm, std::fabs(s.dual[i]));
  // Costs of 1e9 carry rounding of their own: the dual side may also blame the
  // terms of the reduced cost.
  auto dual_wrong = [&](double wrong, double unit, double terms) {
    out.dinf = std::max(out.dinf, wrong);
    out.dinf_backward = std::max(out.dinf_backward, std::min(wrong * unit, wrong / (1 + terms)));
  };
  for (int j = 0; j < d.n; ++j) {
    const double xj = s.x[j], lo = d.lower[j], up = d.upper[j];
    double aty = 0, ay = 0;  // sum of a_ij y_i and of |a_ij y_i| over the column
    for (int k = d.start[j]; k < d.start[j] + d.length[j]; ++k) {
      const int i = d.rowidx[k];
      act[i] += d.value[k] * xj;
      mag[i] += std::fabs(d.value[k] * xj);
      aty += d.value[k] * s.dual[i];
      ay += std::fabs(d.value[k] * s.dual[i]);
    }
    const double v = std::max({0.0, lo > -kInf ? lo - xj : 0.0, up < kInf ? xj - up : 0.0});
    out.pinf = std::max(out.pinf, v);
    out.pinf_backward = std::max(out.pinf_backward, v / cs(j));
    if (v > 0) out.pinf_rounding = std::max(out.pinf_rounding, v / (1 + std::fabs(v == lo - xj ? lo : up)));
    if (lo == up || !have_basis) continue;
    // the part of the reduced cost with the wrong sign for where x_j is
    const double r = sense * (d.c[j] - aty);
    dual_wrong(wrong_sign(r, xj, lo, up, near), cs(j), std::fabs(d.c[j]) + ay);
  }
  for (int i = 0; i < d.m; ++i) {
    double lo, up;
    simplex::row_slack_bounds(d, i, &lo, &up);
    const double si = -act[i];
    const double viol = std::max({0.0, lo > -kInf ? lo - si : 0.0, up < kInf ? si - up : 0.0});
    out.pinf = std::max(out.pinf, viol);
    out.pinf_backward = std::max(out.pinf_backward, viol * rs(i));
    if (viol > 0)
      out.pinf_rounding = std::max(out.pinf_rounding, viol / (1 + std::fabs(viol == lo - si ? lo : up) + mag[i]));
    // the sign of a row's dual follows the end of the row interval it sits at
    if (!have_basis || lo == up) continue;
    const double y = sense * s.dual[i];
    dual_wrong(wrong_sign(-y, si, lo, up, near + 1e-14 * mag[i]), 1.0 / rs(i), std::fabs(y));
  }
  return out;
}


bool solution_installed(const Model &model) {
  const SolutionRecord &s = *model.solution;
  return s.primal_status != TV_STATUS_UNLOADED && static_cast<int>(s.x.size()) == model.data.n;
}

void log_finding(Model *model, recovery::Finding f, const recovery::RunFigures &fig) {
  using recovery::Finding;
  const char *unscaled = "\nWarning: optimizing unscaled model...";
  switch (f) {
    case Finding::kNone: return;
    case Finding::kSingularStart:
      log_model(model, 1, "\nWarning: initial basis singular,\nWarning: crashing a new basis...");
      return;
    case Finding::kTroubleUnscaled:
      log_model(model, 1, "\nWarning: numerical instability,\nWarning: optimizing model using another method...");
      return;
    case Finding::kTroubleScaled:
      log_model(model, 1, "\nWarning: numerical instability,\nWarning: optimizing unscaled model...");
      return;
    case Finding::kDescaledPrimal:
      log_model(model, 1, "\nWarning: descaled solution is not primal feasible (ppfeas=%12.6e)", fig.pinf);
      break;
    case Finding::kDescaledDual:
      log_model(model, 1, "\nWarning: descaled solution is not dual feasible (ddfeas=%12.6e)", fig.dinf);
      break;
    case Finding::kDescaledCutoffDual:
      log_model(model, 1, "\nWarning: descaled cutoff solution is not dual feasible (ddfeas=%12.6e)", fig.dinf);
      break;
    case Finding::kDescaledFeasible:
      log_model(model, 1,
                "\nWarning: descaled solution is primal feasible (ppfeas=%12.6e, ddfeas=%12.6e),\nWarning: "
                "optimizing unscaled model...",
                fig.pinf, fig.dinf);
      return;
    case Finding::kScaledNearFeasible:
      log_model(model, 1,
                "\nWarning: scaled solution is near (primal) feasible (ppfeas=%12.6e, ddfeas=%12.6e),\nWarning: "
                "optimizing unscaled model...",
                fig.pinf_internal, fig.dinf);
      return;
    case Finding::kOriginalPrimal:
      log_model(model, 1, "\nWarning: solution to the original model is not primal feasible (ppfeas=%12.6e)", fig.pinf);
      break;
    case Finding::kOriginalDual:
      log_model(model, 1, "\nWarning: solution to the original model is not dual feasible (ddfeas=%12.6e)", fig.dinf);
      log_model(model, 1, "\nWarning: reoptimizing model...");
      return;
  }
  log_model(model, 1, "%s", unscaled);
}

}  // namespace

void measure_installed(Model *model, double *pinf, double *dinf) {
  *pinf = *dinf = 0;
  if (!model->solution || !solution_installed(*model)) return;
  Measures m = measure_solution(*model);
  *pinf = m.pinf;
  *dinf = m.dinf;
}

namespace {

// The figures and decision of the check; logs only when asked.
int judge_run(Model *model, int code, const simplex::LpResult &run, bool talk) {
  const SolutionRecord &s = *model->solution;
  recovery::RunFigures fig;
  fig.numerical = code == recovery::kNumerical;
  fig.iterations = run.iterations;
  fig.scaled = run.scaled;
  fig.status = s.model_status;
  fig.feastol = model->params.dbl(TV_DPARAM_SOLVER_FEASTOL);
  fig.opttol = model->params.dbl(TV_DPARAM_SOLVER_OPTTOL);
  const SolverWork::Facts facts = work_facts(*model);
  fig.solver_ptol = facts.primal_tol;
  fig.solver_dtol = facts.dual_tol;
  Measures ms;
  const bool judged = !fig.numerical && (fig.status == TV_STATUS_BASIC_OPTIMAL || fig.status == TV_STATUS_CUTOFF ||
                                         fig.status == TV_STATUS_INFEASIBLE);
  if (judged && solution_installed(*model)) {
    ms = measure_solution(*model);
    fig.pinf = ms.pinf;
    fig.dinf = ms.dinf;
    fig.pinf_backward = ms.pinf_backward;
    fig.pinf_rounding = ms.pinf_rounding;
    fig.dinf_backward = ms.dinf_backward;
    // The estimate costs a few solves: only when a verdict depends on it.
    const bool needed = fig.pinf > 10 * fig.feastol || fig.dinf > 10 * fig.opttol || fig.status == TV_STATUS_INFEASIBLE;
    if (needed && model->work) fig.condest = model->work->condition_estimate();
    if (model->work && fig.status == TV_STATUS_INFEASIBLE) fig.pinf_internal = model->work->internal_violation();
  } else if (judged) {
    // no point to judge: the verdict stands
    fig.status = 0;
  }
  recovery::Decision dec = recovery::decide(fig);
  if (talk && model->params.integer(TV_IPARAM_LP_PRINTLEVEL) >= 1) {
    if (dec.accepted_primal)
      log_model(model, 1, "\nWarning: accepting primal infeasibility (%12.6e), condest=%.8e", fig.pinf, fig.condest);
    if (dec.accepted_dual)
      log_model(model, 1, "\nWarning: accepting dual infeasibility (%12.6e), condest=%.8e, ynorm=%.8e", fig.dinf,
                fig.condest, ms.ynorm);
    log_finding(model, dec.finding, fig);
  }
  return dec.action;
}

}  // namespace

int check_run(Model *model, int code, const simplex::LpResult &run) { return judge_run(model, code, run, true); }

int withdraw_unchecked_optimum(Model *model, int code, const simplex::LpResult &run) {
  SolutionRecord &s = *model->solution;
  if (code != 0 || (s.model_status != TV_STATUS_BASIC_OPTIMAL && s.model_status != TV_STATUS_CUTOFF)) return code;
  // only the optimality side: the re-solve triggers on scaled verdicts do not apply here
  recovery::RunFigures fig;
  fig.status = s.model_status;
  fig.feastol = model->params.dbl(TV_DPARAM_SOLVER_FEASTOL);
  fig.opttol = model->params.dbl(TV_DPARAM_SOLVER_OPTTOL);
  if (!solution_installed(*model)) return code;
  const Measures ms = measure_solution(*model);
  fig.pinf = ms.pinf;
  fig.dinf = ms.dinf;
  fig.pinf_backward = ms.pinf_backward;
  fig.pinf_rounding = ms.pinf_rounding;
  fig.dinf_backward = ms.dinf_backward;
  fig.scaled = run.scaled;
  // no allowance for the basis condition here: an ill-conditioned basis is the
  // usual source of the residual, not an excuse for it
  if (recovery::decide(fig).action == recovery::kAccept) return code;
  if (model->params.integer(TV_IPARAM_LP_PRINTLEVEL) >= 1)
    log_model(model, 1, "\nWarning: solution fails its check (ppfeas=%12.6e, ddfeas=%12.6e), not reported optimal",
              fig.pinf, fig.dinf);
  fill_status(s, TV_STATUS_LOADED);
  return recovery::kNumerical;
}

void store_int_param(Model *model, int id, int value) { model->params.store(params::position(id), value); }

bool take_cold_start_request(Model *model) {
  if (model->params.integer(TV_IPARAM_SOLVER_RESTART) == 0) return false;
  store_int_param(model, TV_IPARAM_SOLVER_RESTART, 0);
  return true;
}

void apply_recovery(Model *model, std::optional<ScopedParam> &scale_shadow, int scale, int note) {
  model->work.reset();
  if (scale_shadow) scale_shadow->set(scale);
  else scale_shadow.emplace(model->params, TV_IPARAM_LP_SCALE, scale);
  static const char *const kNotes[] = {nullptr, "\nWarning: scaling off, warm-start on",
                                       "\nWarning: scaling on, warm-start on", "\nWarning: scaling on, warm-start off",
                                       "\nWarning: scaling off, warm-start off"};
  if (note > 0 && note < 5 && model->params.integer(TV_IPARAM_LP_PRINTLEVEL) >= 1)
    log_model(model, 1, "%s", kNotes[note]);
}

// The method of a recovery re-solve: the side that the last solution already
// satisfies is kept by the method that preserves it.
int recovery_method(Model *model, int action) {
  if (model->solution && solution_installed(*model)) {
    Measures m = measure_solution(*model);
    if (m.pinf < model->params.dbl(TV_DPARAM_SOLVER_FEASTOL)) return TV_METHOD_PSIMPLEX;
    if (m.dinf < model->params.dbl(TV_DPARAM_SOLVER_OPTTOL)) return TV_METHOD_DSIMPLEX;
    return TV_METHOD_PSIMPLEX;
  }
  return action == recovery::kDualInfeasible ? TV_METHOD_PSIMPLEX : TV_METHOD_DSIMPLEX;
}

unsigned long long basis_hash(const Model &model) {
  return model.work ? model.work->basis_hash() : 0;
}

int check_work_basis(Model *model, int k) {
  if (!model->work) return 0;
  int basic = 0;
  const int errors = model->work->basis_errors(&basic);
  const int m = model->work->facts().m;
  if (errors && model->params.integer(TV_IPARAM_LP_PRINTLEVEL) >= 1)
    log_model(model, 1, "\nWarning: check_basis_glp failed (#errors=%d, k=%d, n_cons=%d, m=%d) ", errors, k, basic, m);
  return errors;
}

}  // namespace tarvo::base
