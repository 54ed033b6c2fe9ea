// The concurrent runner: one silenced model copy per thread, each solved with
// its own strategy on an OpenMP team. The first copy to reach a verdict stops
// the others through their progress hook; the winner's solution is copied
// back into the caller's model after all threads have finished.
#include <atomic>
#include <memory>
#include <vector>

#include "optimize/optimize_internal.hpp"
#include "params/param_store.hpp"
#include "common/clock.hpp"

namespace tarvo::base {
namespace {

struct Shared {
  std::atomic<int> stop{0};
  std::atomic<int> first{-1};  // the first copy to reach a final status
};

// Progress hook of every copy: a stop request once another copy has finished.
int stop_when_decided(pTVmodel, int, void *data) { return static_cast<Shared *>(data)->stop.load() ? -1 : 0; }

struct Run {
  Model *copy = nullptr;
  int method = 0;
  int code = 0;
  int status = TV_STATUS_UNKNOWN;
  double seconds = 0;
  bool ran = false;
};

// The default strategy of thread t (t = 0 keeps the caller's settings).
int apply_default_strategy(Model *copy, int t, int method) {
  auto set = [&](int id, int value) { store_int_param(copy, id, value); };
  switch (t) {
    case 0: return method;
    case 1: return TV_METHOD_BARRIER;
    case 2: return method == TV_METHOD_PSIMPLEX ? TV_METHOD_DSIMPLEX : TV_METHOD_PSIMPLEX;
    case 3: set(TV_IPARAM_PROB_TO_SOLVE, 2); return method;
    case 4: return TV_METHOD_SPRINT;
    case 5:
      set(TV_IPARAM_PROB_TO_SOLVE, 1);
      set(TV_IPARAM_LU_UPDATE_TYPE, 0);
      return method;
    case 6:
      set(TV_IPARAM_PROB_TO_SOLVE, 2);
      set(TV_IPARAM_LU_UPDATE_TYPE, 0);
      return method;
    case 7:
      set(TV_IPARAM_PROB_TO_SOLVE, 1);
      set(TV_IPARAM_SPLEX_REFACFRQ, 500);
      return method;
    default: set(TV_IPARAM_SPLEX_REFACFRQ, (t + 3) * 50); return method;
  }
}

class Copies {
 public:
  ~Copies() {
    for (Run &r : runs)
      if (r.copy) delete_model(r.copy);
  }
  std::vector<Run> runs;
};

// A copy of the caller for thread t: its data, parameters and stored
// solution (for warm starts), silent, serial, stoppable.
int make_copy(Model *model, int t, int method, Shared *shared, Run *run) {
  int code = 0;
  Model *copy = TVcopyModel(model, &code);
  if (!copy) return code ? code : 2001;
  run->copy = copy;
  if (model->solution) copy->solution = std::make_unique<SolutionRecord>(*model->solution);
  store_int_param(copy, TV_IPARAM_LP_PRINTLEVEL, 0);
  store_int_param(copy, TV_IPARAM_NLP_PRINTLEVEL, 0);
  store_int_param(copy, TV_IPARAM_NUM_THREADS, 1);
  store_int_param(copy, TV_IPARAM_IPM_NUM_THREADS, 1);
  if (t > 0) store_int_param(copy, TV_IPARAM_ALLOW_CNTRLBREAK, 0);
  copy->params.store(params::position(TV_DPARAM_CALLBACKFREQ), 0.0);  // see a stop at the next iteration
  copy->hooks.callback = stop_when_decided;
  copy->hooks.callback_data = shared;
  run->method = apply_default_strategy(copy, t, method);
  return 0;
}

bool better(int sense, double a, double b) { return sense == TV_MAX ? a > b : a < b; }

int pick_winner(const Model &model, const std::vector<Run> &runs, int first) {
  if (first < 0) {
    // no verdict anywhere: the caller's own strategy speaks
    return 0;
  }
  const int status = runs[first].status;
  if (status != TV_STATUS_OPTIMAL && status != TV_STATUS_BASIC_OPTIMAL && status != TV_STATUS_FEASIBLE &&
      status != TV_STATUS_LOCAL_OPTIMAL)
    return first;
  int best = first;
  for (int t = 0; t < static_cast<int>(runs.size()); ++t) {
    const Run &r = runs[t];
    if (r.status != status || r.code != 0 || !r.copy->solution) continue;
    if (better(model.data.sense, r.copy->solution->pobj, runs[best].copy->solution->pobj)) best = t;
  }
  return best;
}

void workload_chart(Model *model, const std::vector<Run> &runs) {
  double total = 0;
  for (const Run &r : runs) total += r.seconds;
  log_model(model, 1, "\n%s workload: %.2f secs\n  ", "\nConcurrent ", total);
  for (int d = 0; d <= 9; ++d) log_model(model, 1, "  %d ", d);
  for (int t = 0; t < static_cast<int>(runs.size()); ++t) {
    log_model(model, 1, "\n%d:|", t);
    log_model(model, 1, "%.0f%%|", total > 0 ? 100.0 * runs[t].seconds / total : 0.0);
  }
}

}  // namespace

int run_concurrent(Model *model, int method, bool *handled) {
  *handled = false;
  const int threads = model->params.integer(TV_IPARAM_NUM_THREADS);
  const bool talk = model->params.integer(TV_IPARAM_LP_PRINTLEVEL) >= 1;
  if (threads < 2) {
    if (talk) log_model(model, 1, "\nConcurrent threads is %d, switching to serial solver.", threads);
    return 0;
  }
  *handled = true;
  if (talk) {
    // no strategy callbacks can be registered in this build
    log_model(model, 1, "\nWarning: Concurrent strategy-callbacks are not set for TVoptimize.");
    log_model(model, 1, "\nWarning: Concurrent runs will use default strategies..\n");
  }
  Shared shared;
  Copies copies;
  copies.runs.resize(threads);
  for (int t = 0; t < threads; ++t)
    if (int code = make_copy(model, t, method, &shared, &copies.runs[t])) return code;
  // the copies took the caller's cold-start request: it lasts for this call
  take_cold_start_request(model);

  if (talk) log_model(model, 1, "\nConcurrent LP run started..\n");
  std::vector<Run> &runs = copies.runs;
#pragma omp parallel for num_threads(threads) schedule(dynamic, 1)
  for (int t = 0; t < threads; ++t) {
    Run &r = runs[t];
    if (shared.stop.load()) continue;
    const double t0 = common::wall_seconds();
    r.code = TVoptimize(r.copy, r.method, &r.status);
    r.seconds += common::wall_seconds() - t0;
    r.ran = true;
    if (final_status(r.status) && r.code == 0) {
      int none = -1;
      if (shared.first.compare_exchange_strong(none, t)) shared.stop.store(1);
    }
  }
  if (talk) {
    log_model(model, 1, "\n\nConcurrent run terminated..\n");
    for (int t = 0; t < threads; ++t)
      log_model(model, 1, "\nThread-id:%d, status: %2d, error: %d", t, runs[t].status, runs[t].code);
  }
  const int w = pick_winner(*model, runs, shared.first.load());
  if (talk) workload_chart(model, runs);

  const Run &win = runs[w];
  // The caller's work object describes another basis now: the next solve
  // warm-starts from the copied record instead.
  model->work.reset();
  if (win.copy->solution) *model->solution = *win.copy->solution;
  return win.code;
}

}  // namespace tarvo::base
