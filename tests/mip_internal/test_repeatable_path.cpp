// The MIP solve takes the same path on a busy machine as on an idle one:
// heuristic budgets, restarts and the gap test run on counted work, not on
// the clock. Each model is solved twice, the second time with a log callback
// that busy-waits at every line (the process made slow, the root more than
// the tree), under a time limit far from binding; nodes, iterations and
// every incumbent must match. Restarts from the tree are also forced, where
// the tree's share of the solve's effort decides whether one is worth it.
#include <chrono>
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

void busy_wait(pTVmodel, const char *, void *data) {
  const auto until = std::chrono::steady_clock::now() + std::chrono::duration<double>(*static_cast<double *>(data));
  while (std::chrono::steady_clock::now() < until) {
  }
}

int on_solution(pTVmodel model, void *data, double obj, double *) {
  int lps = 0;
  TVgetInfo(model, TV_IINFO_MIP_LPCOUNT, &lps);
  static_cast<Path *>(data)->incumbents.push_back({obj, lps});
  return 0;
}

// A fresh copy of the model each time: a second solve of the same one would
// start from the first one's solution.
Path solve_path(const std::string &name, double wait_per_line, const tarvo::mip::RestartPolicy *policy) {
  Path r;
  MipModel mm;
  if (!mm.load(name)) return r;
  TVsetModelLogfunc(mm.model, busy_wait, &wait_per_line);
  TVsetModelIntParameter(mm.model, TV_IPARAM_MIP_PRINTLEVEL, 1);
  TVsetModelDouParameter(mm.model, TV_DPARAM_MIP_TIMLIM, 600);
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

void expect_same_paths(const tarvo::mip::RestartPolicy *policy) {
  int loaded = 0;
  for (const char *name : {"p0201", "p0548", "misc03", "mod008"}) {
    if (!MipModel().load(name)) continue;
    ++loaded;
    SCOPED_TRACE(name);
    const Path fast = solve_path(name, 0.0, policy);
    const Path slow = solve_path(name, 0.02, policy);
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
  if (loaded == 0) GTEST_SKIP() << "MIPLIB 3 models not available";
}

TEST(RepeatablePath, ASlowProcessTakesTheSamePath) { expect_same_paths(nullptr); }

TEST(RepeatablePath, ASlowRootDoesNotDecideTreeRestarts) {
  tarvo::mip::RestartPolicy policy;
  policy.share = 2;           // never from the root
  policy.tree_share = 1e-9;   // from the tree after any new fixing
  expect_same_paths(&policy);
}

}  // namespace
