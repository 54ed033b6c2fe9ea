// The body of the progress-callback dispatcher: the time-limit note, the
// TV_DPARAM_CALLBACKFREQ throttle, the phase marker around host functions,
// secondary hooks and the solution-insertion callbacks of node problems.
#include "env/callback_dispatch.hpp"

#include <climits>
#include <cmath>
#include <vector>

#include "common/clock.hpp"

namespace tarvo::base {
namespace {

double callback_frequency(const Model &model) {
  static const int pos = params::position(TV_DPARAM_CALLBACKFREQ);
  if (pos < 0 || static_cast<size_t>(pos) >= model.params.val.size()) return 0.5;
  return model.params.val[pos];
}

// Host functions run with the marker at the phase value, so that queries made
// from inside them know whether the solver's arrays are consistent.
class MarkerBracket {
 public:
  explicit MarkerBracket(Model *model) : model_(model), saved_(model->phase_marker) {
    model_->phase_marker = model_->callback_phase;
  }
  ~MarkerBracket() { model_->phase_marker = saved_; }
  MarkerBracket(const MarkerBracket &) = delete;
  MarkerBracket &operator=(const MarkerBracket &) = delete;

 private:
  Model *model_;
  int saved_;
};

int magnitude(int r) { return r == INT_MIN ? INT_MAX : (r < 0 ? -r : r); }

double phase_start(const Model &model) {
  return model.progress.location >= 0 ? model.progress.start_time : model.created_wall;
}

bool all_finite(const std::vector<double> &x) {
  for (double v : x)
    if (!std::isfinite(v)) return false;
  return true;
}

// Asks the host for a solution and an objective. Offers with non-finite
// values are ignored: they can only come from a broken host and must not
// reach the integer solver's incumbent.
void collect_offers(Model *model, MipOffer *sink) {
  ModelHooks &h = model->hooks;
  MarkerBracket mark(model);
  if (h.ins_mip_sol) {
    std::vector<double> x(static_cast<size_t>(model->data.n > 0 ? model->data.n : 1), 0.0);
    double obj = TV_INFINITY;
    if (h.ins_mip_sol(model, h.ins_mip_sol_data, x.data(), &obj) != 0) {
      x.resize(static_cast<size_t>(model->data.n > 0 ? model->data.n : 0));
      if (all_finite(x) && std::isfinite(obj)) {
        sink->x.swap(x);
        sink->solution_obj = obj;
        sink->solution = true;
      }
    }
  }
  if (h.ins_mip_obj) {
    double obj = TV_INFINITY;
    if (h.ins_mip_obj(model, h.ins_mip_obj_data, &obj) != 0 && std::isfinite(obj)) {
      sink->obj = obj;
      sink->objective = true;
    }
  }
}

}  // namespace

bool progress_call_due(const Model &model) {
  if (!progress_hooks_present(model)) return false;
  const double freq = callback_frequency(model);
  return freq >= 0 && common::wall_seconds() - model.hooks.last_callback_time >= freq;
}

ProgressResult dispatch_progress_slow(Model *model, int location, double time_limit, bool force, MipOffer *offer) {
  ProgressResult out;
  const double now = common::wall_seconds();
  if (time_limit >= 0 && now - phase_start(*model) >= time_limit) out.time_limit_reached = true;

  ModelHooks &h = model->hooks;
  // The secondary hook is the model's own, or else that of the model it works for.
  TVcallback_t secondary = h.secondary;
  Model *secondary_model = model;
  if (!secondary && model->parent && model->parent->hooks.secondary) {
    secondary = model->parent->hooks.secondary;
    secondary_model = model->parent;
  }

  if (h.callback || secondary) {
    const double freq = callback_frequency(*model);
    const bool due = force || (freq >= 0 && now - h.last_callback_time >= freq);
    // The end-of-solve report (location 11) of a node problem would reach the
    // host once per node of the integer search.
    const bool skipped = location == TVLOC_MIP_REDUCED && model->cut_row_switch;
    if (due && !skipped) {
      int r = 0;
      {
        MarkerBracket mark(model);
        if (h.callback) r = h.callback(model, location, h.callback_data);
        if (secondary) {
          int r2 = secondary(secondary_model, location, secondary_model->hooks.callback_data);
          if (r == 0) r = r2;
        }
      }
      out.result = magnitude(r);
      out.answer = r;
      out.called = true;
      h.last_callback_time = now;
    }
  }

  MipOffer *sink = offer ? offer : model->progress.offer_sink;
  if (model->cut_row_switch && sink && (h.ins_mip_sol || h.ins_mip_obj)) collect_offers(model, sink);
  return out;
}

ProgressScope::ProgressScope(Model *model, int location) : ProgressScope(model, location, model->callback_phase) {}

ProgressScope::ProgressScope(Model *model, int location, int callback_phase)
    : model_(model), saved_(model->progress), saved_phase_(model->callback_phase) {
  ProgressRecord fresh;
  fresh.location = location;
  fresh.start_time = common::wall_seconds();
  fresh.offer_sink = saved_.offer_sink;
  model_->progress = fresh;
  model_->callback_phase = callback_phase;
}

ProgressScope::~ProgressScope() {
  model_->progress = saved_;
  model_->callback_phase = saved_phase_;
}

double progress_elapsed(const Model &model) { return common::wall_seconds() - phase_start(model); }

}  // namespace tarvo::base
