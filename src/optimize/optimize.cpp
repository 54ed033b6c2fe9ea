// TVoptimize: classifies the model, decides on threads (concurrent runs), the
// explicit dual and total decomposition, resolves the method and hands pure
// LPs to the LP wrapper; the parameters it changes for the call come back at
// exit, where the status, the final callback and the report follow.
#include "env/callback_dispatch.hpp"
#include "model/model_state.hpp"
#include "optimize/optimize_internal.hpp"
#include "params/param_store.hpp"
#include "common/boundary.hpp"
#include "common/clock.hpp"
#include "mip/mip_driver.hpp"
#include "common/error_codes.hpp"

#include <optional>

namespace tarvo::base {
namespace {

int resolve_method(const Model &model, int method) {
  if (method == TV_METHOD_FREE) {
    int p = model.params.integer(TV_IPARAM_SOLVER_METHOD);
    if (p == 1 || p == 2 || p == 3 || p == 4 || p == 6 || p == 11) method = p;
  }
  return method;
}

// The settings a call may change for itself: shadows of the host's values
// that go however the call ends.
class CallSettings {
 public:
  explicit CallSettings(Model *model) : model_(model), prelevel_(model->params.integer(TV_IPARAM_LP_PRELEVEL)) {}
  int prelevel() const { return prelevel_; }
  void set_prelevel(int value) { set(prelevel_shadow_, TV_IPARAM_LP_PRELEVEL, value); }
  void set_ipm_threads(int value) { set(threads_shadow_, TV_IPARAM_IPM_NUM_THREADS, value); }

 private:
  void set(std::optional<ScopedParam> &slot, int id, int value) {
    if (slot) slot->set(value);
    else slot.emplace(model_->params, id, value);
  }
  Model *model_;
  int prelevel_;
  std::optional<ScopedParam> prelevel_shadow_, threads_shadow_;
};

struct Shape {
  bool integer = false;  // integers, sets or semicontinuous variables
  bool smooth = false;   // quadratic, cone or nonlinear data
  bool pure_lp() const { return !integer && !smooth; }
};

// The thread decision. True when the call is decided here (*code set): a
// thread mode that the model class does not allow, or a concurrent run.
bool decide_threads(Model *model, const ModelClass &k, const Shape &shape, int method, CallSettings &settings,
                    int *code) {
  const int threads = model->params.integer(TV_IPARAM_NUM_THREADS);
  const int ipm_threads = model->params.integer(TV_IPARAM_IPM_NUM_THREADS);
  const int decomposition = model->params.integer(TV_IPARAM_DECOMPOSITION_TYPE);
  int mode = model->params.integer(TV_IPARAM_MULTITHREAD_MODE);
  auto refuse = [&] {
    *code = err::kNotSupported;
    return true;
  };
  auto concurrent = [&] {
    bool handled = false;
    *code = run_concurrent(model, method, &handled);
    return handled;
  };
  if (decomposition == 2 && k.quadratic) return refuse();
  if (mode == 0) return false;  // multithreading switched off
  if (decomposition == 2 && threads > 1) {
    if (mode == -1) mode = 2;
    if (mode != 2) return refuse();
  }
  const bool barrier = method == TV_METHOD_BARRIER;
  if (shape.pure_lp()) {
    if (threads <= 1 && ipm_threads <= 1) return false;
    if (mode == 2 && decomposition != 2 && !barrier) return refuse();  // only the barrier runs in parallel
    if (barrier && mode == 4) return refuse();
    if (!barrier && mode != 2 && decomposition != 2) return concurrent();
    settings.set_ipm_threads(std::max(ipm_threads, threads));
    return false;
  }
  if (shape.integer && !shape.smooth) {
    if (threads <= 1 || decomposition == 2) return false;
    if (mode == 2) return refuse();
    return false;  // the integer solver decides on its threads itself
  }
  if (threads > 1 || ipm_threads > 1) {
    if (mode == 4) return concurrent();
    settings.set_ipm_threads(threads);
  }
  return false;
}

// Pure LPs (and, with TV_IPARAM_NLP_SOLVE_AS_LP, the linear part of other
// models): explicit dual, total decomposition or the LP wrapper.
int solve_linear(Model *model, int method, bool subproblem, CallSettings &settings, bool low_memory) {
  const ModelData &d = model->data;
  if (!subproblem && d.m > 0 && d.n > 0 && explicit_dual_wanted(model, method)) {
    bool handled = false;
    int code = solve_explicit_dual(model, method, &handled);
    if (handled) return code;
  }
  if (!subproblem && model->params.integer(TV_IPARAM_DECOMPOSITION_TYPE) == 2) {
    bool handled = false;
    int code = solve_decomposed(model, method, &handled);
    if (handled) return code;
  }
  // the lean presolve falls back to the unreduced model when even it runs out of memory
  auto attempt = [model, method](bool lean) {
    bool handled = false;
    int code = 0;
    if (presolve_wanted(model, lean)) code = optimize_presolved(model, method, &handled, lean);
    if (!handled && (code != err::kNoMemory || lean)) code = optimize_lp(model, method);
    return code;
  };
  int code = attempt(low_memory);
  if (code == err::kNoMemory && settings.prelevel() > 0 && !low_memory) {
    // one more attempt in the lean setting
    settings.set_prelevel(0);
    code = attempt(true);
  }
  return code;
}

// Quadratic, conic and nonlinear models, and integer models with an explicit
// LP method: no nonlinear dispatcher and no interior-point library in this
// build (integer models with the free method go to the integer solver).
int solve_other_classes(const ModelClass &k, const Shape &shape, int method) {
  if (k.nonlinear && (k.quadratic || k.integer)) return err::kNotSupported;
  if (shape.smooth) {
    if (method == TV_METHOD_NLP) return err::kNotSupported;
    return method == TV_METHOD_FREE || method == TV_METHOD_BARRIER ? 2084 : 2006;
  }
  return method == TV_METHOD_FREE || method == TV_METHOD_NLP ? 2029 : 2006;
}

int optimize(Model *model, int method, int *status) {
  if (status) *status = TV_STATUS_UNKNOWN;
  if (model->status == TV_STATUS_UNLOADED) {
    model->last_error = err::kNotLoaded;
    return err::kNotLoaded;
  }
  CallSettings settings(model);
  bool low_memory = false;
  if (settings.prelevel() & 8192) {
    settings.set_prelevel(0);
    low_memory = true;
  }
  method = resolve_method(*model, method);
  const ModelClass k = model_class(model);
  Shape shape;
  shape.integer = k.integer || k.sets || k.semicont;
  shape.smooth = k.quadratic || k.conic || k.nonlinear;
  const bool subproblem = is_subproblem(*model);
  const double start = common::wall_seconds();
  if (!model->solution) model->solution = std::make_unique<SolutionRecord>();
  SolutionRecord &s = *model->solution;
  s.model_status = TV_STATUS_UNKNOWN;
  s.sim_iter = s.bar_iter = s.nlp_iter = 0;
  s.used_method = -1;
  s.factorizations = s.factor_ok = s.factor_stable = 0;
  s.time_to_best = 0;

  int code = 0;
  {
    ProgressScope scope(model, method == TV_METHOD_PSIMPLEX ? TVLOC_PRIMAL : TVLOC_DUAL);
    if (subproblem || !decide_threads(model, k, shape, method, settings, &code)) {
      const ModelData &d = model->data;
      const bool as_lp = model->params.integer(TV_IPARAM_NLP_SOLVE_AS_LP) != 0;
      if (d.n == 0 || (d.m == 0 && !shape.smooth && (!shape.integer || as_lp)))
        code = solve_direct(model);
      else if (shape.pure_lp() || as_lp)
        code = solve_linear(model, method, subproblem, settings, low_memory);
      else if (shape.integer && !shape.smooth && method == TV_METHOD_FREE) {
        int mip_status = TV_STATUS_UNKNOWN;
        code = mip::solve_mip(model, &mip_status);
        s.model_status = mip_status;
      } else
        code = solve_other_classes(k, shape, method);
    }
    if (!subproblem && progress_hooks_present(*model)) dispatch_progress(model, TVLOC_MIP_REDUCED, -1.0, true);
  }
  s.seconds = common::wall_seconds() - start;
  s.elapsed_time = static_cast<int>(s.seconds);
  model->last_error = code;
  if (status) *status = s.model_status;
  if (!subproblem) print_solution_report(model, method);
  return code;
}

}  // namespace
}  // namespace tarvo::base

using namespace tarvo::base;

extern "C" TVAPI int TVoptimize(pTVmodel model, int method, int *status) {
  if (!live(model)) return tarvo::err::kNullArgument;
  return tarvo::guarded([&] { return optimize(model, method, status); });
}
