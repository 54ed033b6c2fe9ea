// The progress-callback dispatcher driven the way a solver drives it, the
// hooks the registrations store, and the thread-tagged log writer. The
// dispatcher's sources are compiled into this test; models, registrations
// and queries come from the public library.
#include <gtest/gtest.h>

#include <chrono>
#include <climits>
#include <cmath>
#include <cstdint>
#include <string>
#include <thread>
#include <vector>

#include "env/callback_dispatch.hpp"
#include "test_support.hpp"

using namespace tarvo::base;
using namespace tvtest;

namespace {

struct Seen {
  int calls = 0;
  int answer = 0;
  std::vector<int> locations, markers;
  std::vector<pTVmodel> models;
  int dims_code = -1;  // what a data query answered inside the callback
};

int record_call(pTVmodel model, int location, void *data) {
  auto *s = static_cast<Seen *>(data);
  ++s->calls;
  s->locations.push_back(location);
  s->markers.push_back(model->phase_marker);
  s->models.push_back(model);
  int n = 0;
  s->dims_code =
      TVgetDimensions(model, &n, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                      nullptr);
  return s->answer;
}

struct Dispatch : ::testing::Test {
  EnvHandle env;
  ModelHandle model{env};
  Seen seen;

  void SetUp() override {
    // min x0+x1+x2  s.t.  x0+x1 >= 1,  x1+x2 <= 4
    const double c[] = {1, 1, 1}, b[] = {1, 4}, lo[] = {0, 0, 0}, up[] = {10, 10, 10}, val[] = {1, 1, 1, 1};
    const int start[] = {0, 1, 3, 4}, len[] = {1, 2, 1}, row[] = {0, 0, 1, 1};
    ASSERT_EQ(TVloadLPData(model, 2, 3, TV_MIN, 0, c, b, "GL", 4, start, len, val, row, lo, up), 0);
  }
  void TearDown() override {
    model.model->cut_row_switch = false;
    char why[256] = "";
    EXPECT_EQ(TVcheckModelConsistency(model, why), 0) << why;
    EXPECT_EQ(model.model->phase_marker, 0) << "the marker is 0 outside host functions";
  }
  void every_call() { ASSERT_EQ(TVsetModelDouParameter(model, TV_DPARAM_CALLBACKFREQ, 0.0), 0); }
};

TEST_F(Dispatch, FrequencyZeroCallsAtEveryDispatchPoint) {
  every_call();
  EXPECT_FALSE(dispatch_progress(model, TVLOC_DUAL, -1, true).called) << "no hooks: nothing to call";
  TVsetCallback(model, record_call, &seen);
  for (int i = 0; i < 50; ++i) EXPECT_TRUE(dispatch_progress(model, i % 2 ? TVLOC_MIP : TVLOC_PRIMAL).called);
  EXPECT_EQ(seen.calls, 50);
  EXPECT_EQ(seen.locations[0], TVLOC_PRIMAL);
  EXPECT_EQ(seen.locations[1], TVLOC_MIP);
  EXPECT_EQ(seen.models[0], model.model);
  TVsetCallback(model, nullptr, nullptr);
  EXPECT_FALSE(dispatch_progress(model, TVLOC_DUAL, -1, true).called) << "a removed callback stays removed";
}

TEST_F(Dispatch, DefaultFrequencyCallsAtMostTwiceASecondUnlessForced) {
  TVsetCallback(model, record_call, &seen);
  auto begin = std::chrono::steady_clock::now();
  int dispatched = 0;
  while (std::chrono::steady_clock::now() - begin < std::chrono::milliseconds(1200)) {
    dispatch_progress(model, TVLOC_PRIMAL);
    ++dispatched;
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  // The first call is due at once, then one every 0.5 s: at 0, 0.5 and 1.0 s.
  EXPECT_GE(seen.calls, 2);
  EXPECT_LE(seen.calls, 3);
  EXPECT_GT(dispatched, 100);
  // A forced call ignores the throttle.
  int before = seen.calls;
  EXPECT_TRUE(dispatch_progress(model, TVLOC_PRIMAL, -1, true).called);
  EXPECT_TRUE(dispatch_progress(model, TVLOC_PRIMAL, -1, true).called);
  EXPECT_FALSE(dispatch_progress(model, TVLOC_PRIMAL).called);
  EXPECT_EQ(seen.calls, before + 2);
}

TEST_F(Dispatch, AnyNonZeroAnswerStopsTheSolveWithUserInterrupt) {
  every_call();
  TVsetCallback(model, record_call, &seen);
  for (int answer : {5, -5, INT_MIN, 1}) {
    seen.answer = answer;
    ProgressResult r = dispatch_progress(model, TVLOC_DUAL);
    EXPECT_TRUE(r.stop()) << answer;
    EXPECT_GT(r.result, 0) << answer;
    EXPECT_EQ(r.code(), 2023) << answer;
  }
  seen.answer = -5;
  EXPECT_EQ(dispatch_progress(model, TVLOC_DUAL).result, 5);
  seen.answer = 0;
  EXPECT_FALSE(dispatch_progress(model, TVLOC_DUAL).stop());
}

TEST_F(Dispatch, QueriesInsideTheCallbackSeeThePhaseMarker) {
  every_call();
  TVsetCallback(model, record_call, &seen);
  {
    // A solver rebuilding its arrays: the host's queries are refused meanwhile.
    ProgressScope phase(model, TVLOC_DUAL, -1);
    dispatch_progress(model, TVLOC_DUAL);
    EXPECT_EQ(seen.markers.back(), -1);
    EXPECT_EQ(seen.dims_code, 2009);
    EXPECT_EQ(model.model->phase_marker, 0);
  }
  EXPECT_EQ(model.model->callback_phase, 0) << "the scope restores the phase value";
  {
    ProgressScope phase(model, TVLOC_DUAL, 3);
    dispatch_progress(model, TVLOC_DUAL);
    EXPECT_EQ(seen.markers.back(), 3);
    EXPECT_EQ(seen.dims_code, 0);
  }
}

TEST_F(Dispatch, NodeProblemsSkipTheEndOfSolveReport) {
  every_call();
  TVsetCallback(model, record_call, &seen);
  model.model->cut_row_switch = true;
  EXPECT_FALSE(dispatch_progress(model, TVLOC_MIP_REDUCED, -1, true).called);
  EXPECT_TRUE(dispatch_progress(model, TVLOC_DUAL).called);
  model.model->cut_row_switch = false;
  EXPECT_TRUE(dispatch_progress(model, TVLOC_MIP_REDUCED).called);
  EXPECT_EQ(seen.calls, 2);
}

TEST_F(Dispatch, SecondaryHooksOfTheModelOrOfTheModelItWorksFor) {
  every_call();
  ModelHandle master(env);
  Seen own, boss;
  model.model->hooks.secondary = record_call;
  TVsetCallback(model, nullptr, &own);  // the secondary hook gets the model's user data
  dispatch_progress(model, TVLOC_MIP);
  ASSERT_EQ(own.calls, 1);
  EXPECT_EQ(own.models[0], model.model);

  // Without its own hook, a working copy reports to its master's hook.
  model.model->hooks.secondary = nullptr;
  model.model->parent = master;
  master.model->hooks.secondary = record_call;
  TVsetCallback(master, nullptr, &boss);
  dispatch_progress(model, TVLOC_MIP);
  ASSERT_EQ(boss.calls, 1);
  EXPECT_EQ(boss.models[0], master.model);

  // Its own hook wins; either the callback or the hook may ask to stop.
  model.model->hooks.secondary = record_call;
  TVsetCallback(model, record_call, &own);
  own.answer = 0;
  boss.answer = 7;
  EXPECT_FALSE(dispatch_progress(model, TVLOC_MIP).stop());
  EXPECT_EQ(own.calls, 3) << "callback and own secondary hook both ran";
  EXPECT_EQ(boss.calls, 1);
  model.model->hooks.secondary = nullptr;
  EXPECT_EQ(dispatch_progress(model, TVLOC_MIP).result, 7);
  model.model->parent = nullptr;
}

TEST_F(Dispatch, TimeLimitIsReportedWithOrWithoutHooks) {
  ProgressScope phase(model, TVLOC_MIP);
  ProgressResult r = dispatch_progress(model, TVLOC_MIP, 0.0);
  EXPECT_TRUE(r.time_limit_reached);
  EXPECT_EQ(r.code(), 2017);
  EXPECT_FALSE(dispatch_progress(model, TVLOC_MIP, 1e9).time_limit_reached);
  EXPECT_FALSE(dispatch_progress(model, TVLOC_MIP).time_limit_reached);
  // A stop request outranks the time limit.
  every_call();
  seen.answer = 1;
  TVsetCallback(model, record_call, &seen);
  EXPECT_EQ(dispatch_progress(model, TVLOC_MIP, 0.0).code(), 2023);
}

struct Offers {
  int sol_calls = 0, obj_calls = 0;
  std::vector<double> give;
  double give_obj = 0;
  int answer = 1;
  int marker = 0;
};

int offer_solution(pTVmodel model, void *data, double *primal, double *objective) {
  auto *o = static_cast<Offers *>(data);
  ++o->sol_calls;
  o->marker = model->phase_marker;
  for (size_t j = 0; j < o->give.size(); ++j) primal[j] = o->give[j];
  *objective = o->give_obj;
  return o->answer;
}

int offer_objective(pTVmodel, void *data, double *objective) {
  auto *o = static_cast<Offers *>(data);
  ++o->obj_calls;
  *objective = o->give_obj - 1;
  return o->answer;
}

TEST_F(Dispatch, NodeProblemsCollectTheHostsOffers) {
  Offers host;
  host.give = {1, 0, 2};
  host.give_obj = 3;
  TVsetMIPCallbackInsMIPSol(model, offer_solution, &host);
  TVsetMIPCallbackInsMIPObj(model, offer_objective, &host);
  MipOffer offer;

  // Not a node problem: the host is not asked.
  dispatch_progress(model, TVLOC_DUAL, -1, false, &offer);
  EXPECT_EQ(host.sol_calls, 0);

  model.model->cut_row_switch = true;
  ProgressScope phase(model, TVLOC_DUAL, 2);
  dispatch_progress(model, TVLOC_DUAL, -1, false, &offer);
  EXPECT_EQ(host.sol_calls, 1);
  EXPECT_EQ(host.obj_calls, 1);
  EXPECT_EQ(host.marker, 2);
  ASSERT_TRUE(offer.solution);
  EXPECT_EQ(offer.x, (std::vector<double>{1, 0, 2}));
  EXPECT_EQ(offer.solution_obj, 3);
  ASSERT_TRUE(offer.objective);
  EXPECT_EQ(offer.obj, 2);

  // Declined and broken (NaN) offers leave the earlier offer alone.
  host.answer = 0;
  dispatch_progress(model, TVLOC_DUAL, -1, false, &offer);
  host.answer = 1;
  host.give = {NAN, 0, 0};
  host.give_obj = NAN;
  dispatch_progress(model, TVLOC_DUAL, -1, false, &offer);
  EXPECT_EQ(offer.x, (std::vector<double>{1, 0, 2}));
  EXPECT_EQ(offer.solution_obj, 3);
  EXPECT_EQ(offer.obj, 2);

  // Without an offer argument the phase's sink receives them; with neither
  // there is nobody to receive an answer and the host is not asked.
  int asked = host.sol_calls;
  dispatch_progress(model, TVLOC_DUAL);
  EXPECT_EQ(host.sol_calls, asked);
  MipOffer sink;
  model.model->progress.offer_sink = &sink;
  host.give = {4, 5, 6};
  host.give_obj = 15;
  dispatch_progress(model, TVLOC_DUAL);
  EXPECT_TRUE(sink.solution);
  EXPECT_EQ(sink.x, (std::vector<double>{4, 5, 6}));
  model.model->progress.offer_sink = nullptr;
}

TEST_F(Dispatch, NestedPhasesGetFreshValuesAndGiveTheOuterOnesBack) {
  MipOffer sink;
  ProgressScope outer(model, TVLOC_MIP);
  outer.record().obj = 42;
  outer.record().branch_count = 7;
  outer.record().offer_sink = &sink;
  {
    ProgressScope inner(model, TVLOC_DUAL);
    EXPECT_EQ(model.model->progress.location, TVLOC_DUAL);
    EXPECT_EQ(model.model->progress.branch_count, 0);
    EXPECT_EQ(model.model->progress.offer_sink, &sink);
    progress(model).obj = -1;
  }
  EXPECT_EQ(model.model->progress.location, TVLOC_MIP);
  EXPECT_EQ(model.model->progress.obj, 42);
  EXPECT_EQ(model.model->progress.branch_count, 7);
}

// Reads what a host reads from inside its callback: the double items, then
// the integer items.
struct InfoProbe {
  bool mip_path = false;
  std::vector<int> dbl_items, int_items, codes;
  std::vector<double> values;
};

int probe_info(pTVmodel model, int location, void *data) {
  auto *p = static_cast<InfoProbe *>(data);
  p->codes.clear();
  p->values.clear();
  auto ask = [&](int item, void *out) {
    p->codes.push_back(p->mip_path ? TVgetMIPCallbackInfo(model, item, out)
                                   : TVgetCallbackInfo(model, location, item, out));
  };
  for (int item : p->dbl_items) {
    double d = -7;
    ask(item, &d);
    p->values.push_back(d);
  }
  for (int item : p->int_items) {
    int i = -7;
    ask(item, &i);
    p->values.push_back(i);
  }
  return 0;
}

TEST_F(Dispatch, CallbacksReadTheRunningSimplexValues) {
  every_call();
  InfoProbe probe;
  probe.dbl_items = {TV_DINFO_POBJ, TV_DINFO_PINFEAS, TV_DINFO_DINFEAS, TV_DINFO_CUR_OBJ, TV_DINFO_CUR_TIME};
  probe.int_items = {TV_IINFO_SIM_ITER, TV_IINFO_CUR_ITER, TV_IINFO_MODEL_STATUS};
  TVsetCallback(model, probe_info, &probe);
  ProgressScope phase(model, TVLOC_DUAL);
  ProgressRecord &p = phase.record();
  p.obj = 12.5;
  p.pinf = 0.25;
  p.dinf = 0;
  p.iter = 42;
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  dispatch_progress(model, TVLOC_DUAL);
  ASSERT_EQ(probe.codes, (std::vector<int>{0, 0, 0, 0, 0, 0, 0, 0}));
  EXPECT_EQ(probe.values[0], 12.5);
  EXPECT_EQ(probe.values[1], 0.25);
  EXPECT_EQ(probe.values[2], 0);
  EXPECT_EQ(probe.values[3], 12.5);
  EXPECT_GE(probe.values[4], 0.015);
  EXPECT_LT(probe.values[4], 60);
  EXPECT_EQ(probe.values[5], 42);
  EXPECT_EQ(probe.values[6], 42);
  EXPECT_EQ(probe.values[7], TV_STATUS_LOADED) << "not specific to the phase: the model's own answer";

  // The IIS analysis reports through the model's records, which hold no
  // solution yet.
  probe.dbl_items = {TV_DINFO_POBJ};
  probe.int_items.clear();
  dispatch_progress(model, TVLOC_IIS);
  EXPECT_EQ(probe.codes[0], 2009);
}

TEST_F(Dispatch, CallbacksReadTheRunningIntegerSearch) {
  every_call();
  model.model->mip = std::make_unique<MipRecord>();
  MipRecord &rec = *model.model->mip;
  rec.obj = 3;
  rec.num_solutions = 1;  // an incumbent, the status not yet decided
  rec.branch_count = 11;
  ProgressScope phase(model, TVLOC_MIP);
  phase.record().cut_count = 5;
  phase.record().pinf = 1e-9;

  InfoProbe probe;
  probe.mip_path = true;
  probe.dbl_items = {TV_DINFO_MIP_OBJ, TV_DINFO_PINFEAS, TV_DINFO_POBJ};
  probe.int_items = {TV_IINFO_MIP_BRANCHCOUNT, TV_IINFO_MIP_NEWIPSOL, TV_IINFO_MIP_NUM_TOTAL_CUTS,
                     TV_IINFO_CUR_CUT_COUNT};
  TVsetCallback(model, probe_info, &probe);
  dispatch_progress(model, TVLOC_MIP);
  // POBJ and the current cut count are not integer-search items.
  ASSERT_EQ(probe.codes, (std::vector<int>{0, 0, 2009, 0, 0, 0, 2009}));
  EXPECT_EQ(probe.values[0], 3);
  EXPECT_EQ(probe.values[1], 1e-9);
  EXPECT_EQ(probe.values[3], 11);
  EXPECT_EQ(probe.values[4], 1);
  EXPECT_EQ(probe.values[5], 5);

  // Outside the callback the same objective waits for the search's status.
  double obj = 0;
  EXPECT_EQ(TVgetInfo(model, TV_DINFO_MIP_OBJ, &obj), 2009);
  model.model->mip.reset();
}

TEST(Registrations, StoreWhatTheEvaluatorsNeed) {
  EnvHandle env;
  ModelHandle model(env);
  const double c[] = {1, 1}, b[] = {1, 1, 1}, val[] = {1, 1};
  const int start[] = {0, 1, 2}, row[] = {0, 2};
  ASSERT_EQ(TVloadLPData(model, 3, 2, TV_MIN, 0, c, b, "LLL", 2, start, nullptr, val, row, nullptr, nullptr), 0);
  auto grad = [](pTVmodel, void *, int, const double *, const double *, const double *, int, int, const int *,
                 double *) { return 0; };
  int token = 0;

  // Rows -1 (the objective, last flag) to m-1; others are skipped.
  const int rows[] = {2, -1, 7, -2, 0, 3};
  ASSERT_EQ(TVsetGradcalc(model, grad, &token, 6, rows), 0);
  const ModelHooks &h = model.model->hooks;
  EXPECT_EQ(h.gradcalc_rows, (std::vector<char>{1, 0, 1, 1}));
  EXPECT_FALSE(h.gradcalc_full_partial);
  EXPECT_EQ(h.gradcalc_data, &token);
  ASSERT_EQ(TVsetGradcalcFullPartial(model, grad, nullptr, 1, rows), 0);
  EXPECT_EQ(h.gradcalc_rows, (std::vector<char>{0, 0, 1, 0}));
  EXPECT_TRUE(h.gradcalc_full_partial);
  ASSERT_EQ(TVsetGradcalc(model, nullptr, nullptr, 6, rows), 0);
  EXPECT_TRUE(h.gradcalc_rows.empty());

  // All ones installs the library's own routines.
  ASSERT_EQ(TVsetFuncalc(model, reinterpret_cast<TVfuncalc_t>(static_cast<intptr_t>(-1)), nullptr), 0);
  EXPECT_TRUE(is_builtin_funcalc(h.funcalc));
  ASSERT_EQ(TVsetUsercalc(model, reinterpret_cast<TVusercalc_t>(static_cast<intptr_t>(-1)), nullptr), 0);
  EXPECT_TRUE(is_builtin_usercalc(h.usercalc));

  // The Hessian evaluator's user data lives only with a function.
  ASSERT_EQ(TVsetHessdccalc(model, nullptr, &token), 0);
  EXPECT_EQ(h.hessdccalc_data, nullptr);
  char why[256] = "";
  EXPECT_EQ(TVcheckModelConsistency(model, why), 0) << why;
}

struct Lines {
  std::string text;
  int calls = 0;
  int marker = 0;
};

void collect_lines(pTVmodel model, const char *text, void *data) {
  auto *l = static_cast<Lines *>(data);
  l->text += text;
  l->marker = model->phase_marker;
  ++l->calls;
}

TEST(ThreadLog, LinesCarryTheThreadNumber) {
  EnvHandle env;
  ModelHandle model(env);
  Lines lines;
  EXPECT_EQ(log_model_thread(model, 1, 3, "none"), 0) << "no log function";
  TVsetModelLogfunc(model, collect_lines, &lines);
  EXPECT_EQ(log_model_thread(model, 0, 3, "off"), 0);
  EXPECT_EQ(log_model_thread(model, 1, 3, "\nIter %d", 5), 18);
  EXPECT_EQ(lines.text, "\nThread03:  Iter 5");
  lines.text.clear();
  log_model_thread(model, 1, 12, "x");
  EXPECT_EQ(lines.text, " Thread12: x");
  // The relay shows the solver's phase to the host while its function runs.
  model.model->callback_phase = 4;
  TVlogmod(model, 1, "y");
  EXPECT_EQ(lines.marker, 4);
  EXPECT_EQ(model.model->phase_marker, 0);
  model.model->callback_phase = 0;
}

TEST(ThreadLog, ConcurrentThreadsDeliverWholeLines) {
  EnvHandle env;
  ModelHandle model(env);
  Lines lines;
  TVsetModelLogfunc(model, collect_lines, &lines);  // the collector itself takes no lock
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t)
    threads.emplace_back([&, t] {
      for (int i = 0; i < 200; ++i) log_model_thread(model, 1, t, "\nline %03d", i);
    });
  for (auto &th : threads) th.join();
  EXPECT_EQ(lines.calls, 800);
  EXPECT_EQ(lines.text.size(), 800u * std::string("\nThread00:  line 000").size());
  for (int t = 0; t < 4; ++t) {
    char probe[32];
    std::snprintf(probe, sizeof probe, "\nThread%02d:  line 199", t);
    EXPECT_NE(lines.text.find(probe), std::string::npos) << probe;
  }
}

}  // namespace
