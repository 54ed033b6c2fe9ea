// The MIP solve takes the same path on a busy machine as on an idle one:
// heuristic budgets, restarts and the gap test run on counted work, not on
// the clock. Each model is solved twice, the second time with a log callback
// that busy-waits at every line (the process made slow, the root more than
// the tree), under a time limit far from binding; nodes, iterations and
// every incumbent must match. Restarts from the tree are also forced, where
// the tree's share of the solve's effort decides whether one is worth it.
// A stall in the root cut loop, more than half the time limit long, must not
// end the loop early either.
#include <algorithm>
#include <chrono>
#include <cstring>
#include <string>
#include <vector>

#include "mip/mip_driver.hpp"
#include "mip_fixture.hpp"

using namespace mip_test;

namespace {

struct Incumbent {
  double obj;
  int lps;
  bool operator==(const Incumbent &o) const { return obj == o.obj && lps == o.lps; }
};

struct Path {
  int code = -1, status = -1, lps = 0, branches = 0, iterations = 0;
  double obj = 0, bound = 0;
  std::vector<Incumbent> incumbents;
};

// How the log callback slows the process: a wait at every line, and one
// longer wait at the first line that contains `stall_at`.
struct Slowness {
  double per_line = 0;
  double stall = 0;
  const char *stall_at = nullptr;
  bool stalled = false;
};

void busy_wait(double seconds) {
  const auto until = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
  while (std::chrono::steady_clock::now() < until) {
  }
}

void slow_log(pTVmodel, const char *line, void *data) {
  auto &s = *static_cast<Slowness *>(data);
  double wait = s.per_line;
  if (s.stall_at && !s.stalled && std::strstr(line, s.stall_at)) {
    s.stalled = true;
    wait += s.stall;
  }
  busy_wait(wait);
}

int on_solution(pTVmodel model, void *data, double obj, double *) {
  int lps = 0;
  TVgetInfo(model, TV_IINFO_MIP_LPCOUNT, &lps);
  static_cast<Path *>(data)->incumbents.push_back({obj, lps});
  return 0;
}

// A fresh copy of the model each time: a second solve of the same one would
// start from the first one's solution.
Path solve_path(const std::string &name, Slowness slowness, const tarvo::mip::RestartPolicy *policy,
                int print_level = 1, double time_limit = 600, int heuristic_mode = -1) {
  Path r;
  MipModel mm;
  if (!mm.load(name)) return r;
  if (heuristic_mode >= 0) TVsetModelIntParameter(mm.model, TV_IPARAM_MIP_HEU_MODE, heuristic_mode);
  TVsetModelLogfunc(mm.model, slow_log, &slowness);
  TVsetModelIntParameter(mm.model, TV_IPARAM_MIP_PRINTLEVEL, print_level);
  TVsetModelDouParameter(mm.model, TV_DPARAM_MIP_TIMLIM, time_limit);
  TVsetMIPCallback(mm.model, on_solution, &r);
  r.code = tarvo::mip::solve_mip_serial(mm.model, &r.status, policy);
  TVgetInfo(mm.model, TV_DINFO_MIP_OBJ, &r.obj);
  TVgetInfo(mm.model, TV_DINFO_MIP_BESTBOUND, &r.bound);
  TVgetInfo(mm.model, TV_IINFO_MIP_LPCOUNT, &r.lps);
  TVgetInfo(mm.model, TV_IINFO_MIP_BRANCHCOUNT, &r.branches);
  TVgetInfo(mm.model, TV_IINFO_MIP_SIM_ITER, &r.iterations);
  TVsetMIPCallback(mm.model, nullptr, nullptr);
  TVsetModelLogfunc(mm.model, nullptr, nullptr);
  return r;
}

void expect_same_path(const Path &fast, const Path &slow) {
  ASSERT_EQ(fast.code, 0);
  EXPECT_EQ(slow.code, fast.code);
  EXPECT_EQ(slow.status, fast.status);
  EXPECT_EQ(slow.lps, fast.lps);
  EXPECT_EQ(slow.branches, fast.branches);
  EXPECT_EQ(slow.iterations, fast.iterations);
  EXPECT_EQ(slow.obj, fast.obj);
  EXPECT_EQ(slow.bound, fast.bound);
  EXPECT_TRUE(slow.incumbents == fast.incumbents);
  EXPECT_FALSE(fast.incumbents.empty());
}

void expect_same_paths(const tarvo::mip::RestartPolicy *policy) {
  int loaded = 0;
  for (const char *name : {"p0201", "p0548", "misc03", "mod008"}) {
    if (!MipModel().load(name)) continue;
    ++loaded;
    SCOPED_TRACE(name);
    Slowness slow;
    slow.per_line = 0.02;
    expect_same_path(solve_path(name, {}, policy), solve_path(name, slow, policy));
  }
  if (loaded == 0) GTEST_SKIP() << "MIPLIB 3 models not available";
}

TEST(RepeatablePath, ASlowProcessTakesTheSamePath) { expect_same_paths(nullptr); }

TEST(RepeatablePath, ASlowRootDoesNotDecideTreeRestarts) {
  tarvo::mip::RestartPolicy policy;
  policy.share = 2;           // never from the root
  policy.tree_share = 1e-9;   // from the tree after any new fixing
  expect_same_paths(&policy);
}

// Both models make ten or more root cut passes. The stall at the first pass
// takes 60% of the time limit; the limit is ten times what the whole solve
// took unstalled (at least 10 s), so the rest of the solve fits in it however
// slow the build or the machine. Heuristics run by their work budgets alone:
// by default each is also capped by a share of the time left, which the stall
// shrinks.
TEST(RepeatablePath, AStallInTheRootCutLoopDoesNotEndIt) {
  int loaded = 0;
  for (const char *name : {"p0548", "p0201"}) {
    if (!MipModel().load(name)) continue;
    ++loaded;
    SCOPED_TRACE(name);
    constexpr int kPrintCutPasses = 3, kHeuristicsByWork = 2;
    const auto start = std::chrono::steady_clock::now();
    const Path fast = solve_path(name, {}, nullptr, kPrintCutPasses, 600, kHeuristicsByWork);
    const double took = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const double limit = std::max(10.0, 10 * took);
    Slowness stall;
    stall.stall = 0.6 * limit;
    stall.stall_at = "Cut pass 1:";
    const Path slow = solve_path(name, stall, nullptr, kPrintCutPasses, limit, kHeuristicsByWork);
    expect_same_path(fast, slow);
  }
  if (loaded == 0) GTEST_SKIP() << "MIPLIB 3 models not available";
}

}  // namespace
