// The progress-callback dispatcher that every solver calls at its dispatch
// points, the record of current values hosts read from inside callbacks, and
// the marker values that install the library's own evaluators.
#pragma once

#include <cstdint>

#include "model/model.hpp"

namespace tarvo::base {

// A hook function value of all ones (the unsigned value of -1) given to
// TVsetFuncalc or TVsetUsercalc installs the library's own routine. The value
// is stored as given; the evaluators test for it with the helpers below.
inline constexpr std::intptr_t kBuiltinHookValue = -1;

inline TVfuncalc_t builtin_funcalc() { return reinterpret_cast<TVfuncalc_t>(kBuiltinHookValue); }
inline TVusercalc_t builtin_usercalc_relay() { return reinterpret_cast<TVusercalc_t>(kBuiltinHookValue); }
inline bool is_builtin_funcalc(TVfuncalc_t f) { return reinterpret_cast<std::intptr_t>(f) == kBuiltinHookValue; }
inline bool is_builtin_usercalc(TVusercalc_t f) {
  return reinterpret_cast<std::intptr_t>(f) == kBuiltinHookValue;
}

// What one dispatch call found.
struct ProgressResult {
  int result = 0;                   // absolute value of the host's answer; non-zero asks to stop
  int answer = 0;                   // the answer as given, for solvers that read its sign
  bool time_limit_reached = false;  // the caller's time limit has elapsed
  bool called = false;              // the host's progress functions ran on this call
  bool stop() const { return result != 0; }
  // The return code a solver ends with for this outcome: 2023 for a stop
  // request, 2017 when only the time limit was reached, else 0.
  int code() const { return result != 0 ? 2023 : time_limit_reached ? 2017 : 0; }
};

// Progress hooks that a dispatch call could reach: the model's own callback,
// its secondary hook, the secondary hook of the model it works for, and the
// solution-insertion callbacks of a node problem.
inline bool progress_hooks_present(const Model &model) {
  const ModelHooks &h = model.hooks;
  if (h.callback || h.secondary) return true;
  if (model.parent && model.parent->hooks.secondary) return true;
  return model.cut_row_switch && (h.ins_mip_sol || h.ins_mip_obj);
}

// Whether the next dispatch would call the host (hooks installed and the
// callback frequency allows it): solvers fill the progress record only then.
bool progress_call_due(const Model &model);

ProgressResult dispatch_progress_slow(Model *model, int location, double time_limit, bool force, MipOffer *offer);

// The one entry every solver calls, as often as it likes (every iteration is
// fine): without hooks and without a time limit it costs a few loads and
// branches; otherwise it reads the steady clock once per call.
//  - time_limit: seconds since the running phase began (ProgressScope), or
//    since the model was created when no phase is open; negative for none.
//  - force: call the host regardless of TV_DPARAM_CALLBACKFREQ.
//  - offer: receives what the solution-insertion callbacks offered while the
//    cut-row switch is on; when null, progress.offer_sink is used, and when
//    both are null the insertion callbacks are not called (nobody would
//    receive their answer).
inline ProgressResult dispatch_progress(Model *model, int location, double time_limit = -1.0, bool force = false,
                                        MipOffer *offer = nullptr) {
  if (time_limit < 0 && !progress_hooks_present(*model)) return {};
  return dispatch_progress_slow(model, location, time_limit, force, offer);
}

// Opens a solver phase on a model for its lifetime: fresh current values,
// the location code, the start time for time limits and CUR_TIME, and the
// value the phase marker takes while host functions run. The previous phase
// (for example the integer solver around a node LP on the same model) comes
// back when the scope ends. The offer sink survives into the new phase.
class ProgressScope {
 public:
  // Keeps the model's current callback phase value.
  ProgressScope(Model *model, int location);
  ProgressScope(Model *model, int location, int callback_phase);
  ~ProgressScope();
  ProgressScope(const ProgressScope &) = delete;
  ProgressScope &operator=(const ProgressScope &) = delete;
  ProgressRecord &record() { return model_->progress; }

 private:
  Model *model_;
  ProgressRecord saved_;
  int saved_phase_;
};

// The record solvers update with their current values before dispatching.
inline ProgressRecord &progress(Model *model) { return model->progress; }

// Seconds since the running phase began (since creation without a phase).
double progress_elapsed(const Model &model);

}  // namespace tarvo::base
