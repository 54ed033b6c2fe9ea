// Concurrent MIP: one model copy per OpenMP thread, each with its own
// strategy (node selection and branching direction); the first run that
// proves a final status stops the others, and the best result is copied back.
#include "mip/mip_concurrent.hpp"

#include <omp.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdio>
#include <memory>
#include <mutex>
#include <vector>

#include "common/error_codes.hpp"
#include "common/clock.hpp"
#include "mip/mip_driver.hpp"

namespace tarvo::mip {
namespace {

int stop_when_signalled(pTVmodel, int, void *flag) {
  return static_cast<std::atomic<bool> *>(flag)->load() ? 1 : 0;
}

// The best-known solution of the run, in minimisation form: threads post
// their incumbents here (MIP callback) and take a better one from here when
// their tree polls the host (solution-insertion callback).
struct SharedBest {
  std::mutex lock;
  base::Model *main = nullptr;  // where the exchange is logged
  int sense = 1;
  int n = 0;
  bool has = false;
  double obj = 1e300;
  std::vector<double> x;
  int from = -1;
};

struct ThreadSlot {
  SharedBest *shared = nullptr;
  int id = 0;
  double own = 1e300;  // the thread's incumbent, minimisation form
};

bool better(double a, double b) { return a < b - 1e-9 * std::max(1.0, std::fabs(b)); }

int post_solution(pTVmodel, void *data, double objective, double *primal) {
  ThreadSlot &t = *static_cast<ThreadSlot *>(data);
  SharedBest &s = *t.shared;
  const double z = s.sense * objective;
  std::lock_guard<std::mutex> guard(s.lock);
  t.own = std::min(t.own, z);
  if (!s.has || better(z, s.obj)) {
    s.has = true;
    s.obj = z;
    s.x.assign(primal, primal + s.n);
    s.from = t.id;
    base::log_model(s.main, 1, "\nSet new solution by thread #%d, objval:%13g", t.id, objective);
  }
  return 0;
}

int offer_best(pTVmodel, void *data, double *primal, double *objective) {
  ThreadSlot &t = *static_cast<ThreadSlot *>(data);
  SharedBest &s = *t.shared;
  std::lock_guard<std::mutex> guard(s.lock);
  if (!s.has || s.from == t.id || !better(s.obj, t.own)) return 0;
  std::copy(s.x.begin(), s.x.end(), primal);
  *objective = s.sense * s.obj;
  base::log_model(s.main, 1, "Get best-known solution %g to thread #%d (from #%d), thread's objval: %g",
                  s.sense * s.obj, t.id, s.from, t.own < 1e300 ? s.sense * t.own : 1e30 * s.sense);
  t.own = s.obj;
  return 1;
}

bool final_status(int st) {
  return st == TV_STATUS_OPTIMAL || st == TV_STATUS_INFEASIBLE || st == TV_STATUS_UNBOUNDED;
}

// Default strategy of thread t: the serial settings first, then variations.
void apply_strategy(base::Model *copy, int t) {
  static const int kRules[] = {0, 1, 5, 2};
  static const int kDirs[] = {0, 2, 1, 0};
  TVsetModelIntParameter(copy, TV_IPARAM_MIP_NODESELRULE, kRules[t % 4]);
  TVsetModelIntParameter(copy, TV_IPARAM_MIP_BRANCHDIR, kDirs[t % 4]);
}

// A parameter file "tarvo<t>.par" in the working directory, when there is
// one, adjusts thread t's run on top of its strategy.
void read_thread_parameters(base::Model *model, base::Model *copy, int t) {
  char name[32];
  std::snprintf(name, sizeof name, "tarvo%d.par", t);
  std::FILE *f = std::fopen(name, "r");
  if (!f) return;
  std::fclose(f);
  const int code = TVreadModelParameter(copy, name);
  if (code != 0) base::log_model(model, 1, "\nFailed to read parameter file, error: %d", code);
}

}  // namespace

int mip_thread_count(const base::ParamValues &params) {
  int threads = params.integer(TV_IPARAM_MIP_NUM_THREADS);
  if (threads < 2 && params.integer(TV_IPARAM_NUM_THREADS) > 1 && params.integer(TV_IPARAM_MULTITHREAD_MODE) != 0)
    threads = params.integer(TV_IPARAM_NUM_THREADS);
  return threads;
}

int mip_thread_count(const base::Model &model) { return mip_thread_count(model.params); }

int solve_mip_concurrent(base::Model *model, int *status) {
  const int strategy = model->params.integer(TV_IPARAM_MIP_CONCURRENT_STRATEGY);
  if (strategy < -1 || strategy > 1) return err::kNotSupported;
  const int threads = mip_thread_count(*model);
  if (threads < 2) {
    base::log_model(model, 1, "\nConcurrent threads is %d, switching to serial MIP solver.", threads);
    return solve_mip_serial(model, status);
  }
  if (model->status == TV_STATUS_UNLOADED) return err::kNotLoaded;
  if (strategy != 0) {
    base::log_model(model, 1, "\nWarning: Concurrent strategy-callbacks are not set.");
    base::log_model(model, 1, "\nWarning: Concurrent runs will use default strategies..\n");
  }
  base::log_model(model, 1, "\nConcurrent MIP run started..\n");
  std::vector<pTVmodel> copies(threads, nullptr);
  std::vector<int> codes(threads, err::kNoMemory), statuses(threads, TV_STATUS_UNKNOWN);
  std::vector<double> seconds(threads, 0);
  for (int t = 0; t < threads; ++t) {
    int code = 0;
    copies[t] = TVcopyModel(model, &code);
    if (!copies[t]) {
      for (pTVmodel &c : copies)
        if (c) TVdeleteModel(&c);
      return code ? code : err::kNoMemory;
    }
    apply_strategy(copies[t], t);
    TVsetModelIntParameter(copies[t], TV_IPARAM_MIP_PRINTLEVEL, 0);
    read_thread_parameters(model, copies[t], t);
    // one thread per run: no nested parallel regions
    TVsetModelIntParameter(copies[t], TV_IPARAM_IPM_NUM_THREADS, 1);
    TVsetModelIntParameter(copies[t], TV_IPARAM_NLP_MSW_NUM_THREADS, 1);
    TVsetModelIntParameter(copies[t], TV_IPARAM_MIP_PARA_FP, 0);
  }
  SharedBest shared;
  shared.main = model;
  shared.sense = model->data.sense == TV_MAX ? -1 : 1;
  shared.n = model->data.n;
  std::vector<ThreadSlot> slots(threads);
  for (int t = 0; t < threads; ++t) {
    slots[t].shared = &shared;
    slots[t].id = t;
    TVsetMIPCallback(copies[t], post_solution, &slots[t]);
    TVsetMIPCallbackInsMIPSol(copies[t], offer_best, &slots[t]);
  }
  std::atomic<bool> stop{false};
  const double start = common::wall_seconds();
#pragma omp parallel for num_threads(threads) schedule(static, 1)
  for (int t = 0; t < threads; ++t) {
    TVsetCallback(copies[t], stop_when_signalled, &stop);
    int st = TV_STATUS_UNKNOWN;
    codes[t] = solve_mip_serial(copies[t], &st);
    statuses[t] = st;
    seconds[t] = common::wall_seconds() - start;
    if (codes[t] == 0 && final_status(st)) stop = true;
  }
  // the winner: a final status first, then the best incumbent
  int win = -1;
  for (int t = 0; t < threads; ++t) {
    base::log_model(model, 1, "\nThread-id:%d, status: %2d, error: %d", t, statuses[t], codes[t]);
    if (codes[t] == 0 && final_status(statuses[t]) && win < 0) win = t;
  }
  if (win < 0) {
    double best = 1e300;
    const int sense = model->data.sense == TV_MAX ? -1 : 1;
    for (int t = 0; t < threads; ++t) {
      const base::MipRecord *r = copies[t]->mip.get();
      if (r && !r->x.empty() && sense * r->obj < best) {
        best = sense * r->obj;
        win = t;
      }
    }
    if (win < 0) win = 0;
  }
  base::log_model(model, 1, "\n\nConcurrent run terminated..\n");
  const double wall = common::wall_seconds() - start;
  base::log_model(model, 1, "\n%s workload: %.2f secs\n  ", "MIP", wall);
  // each thread's share of the run: the stopped ones end early
  for (int t = 0; t < threads; ++t)
    base::log_model(model, 1, "%d:|%.0f%%|", t, wall > 0 ? 100.0 * std::min(1.0, seconds[t] / wall) : 100.0);
  if (copies[win]->mip) model->mip = std::make_unique<base::MipRecord>(*copies[win]->mip);
  const int code = codes[win] == err::kUserInterrupt && win >= 0 && final_status(statuses[win]) ? 0 : codes[win];
  if (status) *status = statuses[win];
  for (pTVmodel &c : copies) TVdeleteModel(&c);
  return code;
}

}  // namespace tarvo::mip
