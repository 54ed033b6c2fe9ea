// Pumps on several threads: every thread's solutions reach the incumbent
// with the pump's tag, in thread order (the same on every run), the node LP
// is left as found, and a passed deadline stops every thread at once.
#include <iostream>

#include "common/clock.hpp"
#include "mip/heuristics.hpp"
#include "mip_fixture.hpp"

using namespace mip_test;

namespace {

std::vector<tarvo::mip::PumpSettings> two_pumps(double deadline) {
  tarvo::mip::PumpSettings first;
  first.max_rounds = 200;
  first.deadline = deadline;
  tarvo::mip::PumpSettings second = first;
  second.random_rounding = true;
  second.seed = 1;
  return {first, second};
}

TEST(ParallelPumps, EveryThreadReportsThroughTheIncumbentAndTheLpIsLeftAsFound) {
  int first_found = 0, second_found = 0;
  for (const char *name : {"p0201", "vpm2", "bell5", "egout", "khb05250"}) {
    MipModel mm;
    if (!mm.load(name)) continue;
    const double z = mm.lp.objective();
    // the first pump idle: what comes in is the second thread's
    CheckingSink alone(mm.prob);
    auto ctx = mm.context(alone);
    std::vector<tarvo::mip::PumpSettings> pumps = two_pumps(tarvo::common::wall_seconds() + 30);
    pumps[0].max_rounds = 0;
    const std::vector<int> got = tarvo::mip::parallel_pumps(ctx, pumps);
    ASSERT_EQ(got.size(), 2u);
    EXPECT_EQ(got[0], 0) << name;
    second_found += got[1] > 0;
    EXPECT_EQ(static_cast<int>(alone.tags.size()), got[1]) << name;
    for (const std::string &t : alone.tags) EXPECT_EQ(t, "(*FP)") << name;
    EXPECT_EQ(mm.lp.status(), LpStatus::kOptimal) << name;
    EXPECT_NEAR(mm.lp.objective(), z, 1e-7 * (1 + std::fabs(z))) << name;

    // both at work, twice: the same solutions in the same order
    std::vector<double> objectives[2];
    for (auto &objs : objectives) {
      CheckingSink both(mm.prob);
      auto c2 = mm.context(both);
      const std::vector<int> g = tarvo::mip::parallel_pumps(c2, two_pumps(tarvo::common::wall_seconds() + 30));
      first_found += g[0] > 0;
      objs.push_back(both.has_incumbent() ? both.incumbent_objective() : 1e30);
      objs.push_back(static_cast<double>(both.tags.size()));
      for (int j = 0; j < mm.prob.n; ++j) {
        EXPECT_EQ(mm.lp.col_lower(j), mm.prob.col_lo[j]);
        EXPECT_EQ(mm.lp.cost(j), mm.prob.c[j]);
      }
    }
    EXPECT_EQ(objectives[0], objectives[1]) << name;
  }
  EXPECT_GE(first_found, 2);
  EXPECT_GE(second_found, 2);
}

TEST(ParallelPumps, PassedDeadlineStopsEveryThread) {
  MipModel mm;
  LOAD_OR_SKIP(mm, "vpm2");
  CheckingSink sink(mm.prob);
  auto ctx = mm.context(sink);
  std::vector<tarvo::mip::PumpSettings> pumps = two_pumps(tarvo::common::wall_seconds() - 1);
  pumps.push_back(pumps[1]);
  pumps.back().seed = 2;
  const std::vector<int> got = tarvo::mip::parallel_pumps(ctx, pumps);
  EXPECT_EQ(got, (std::vector<int>{0, 0, 0}));
  // the root point is fractional, so no pump got as far as offering a rounding
  EXPECT_EQ(sink.submitted, 0);
  EXPECT_EQ(mm.lp.status(), LpStatus::kOptimal);
}

TEST(ParallelPumps, RootHeuristicsRunBothVariantsAtOnceWithSeveralThreads) {
  MipModel mm;
  LOAD_OR_SKIP(mm, "vpm2");
  mm.params.store(tarvo::base::params::position(TV_IPARAM_MIP_NUM_THREADS), 2);
  mm.params.store(tarvo::base::params::position(TV_IPARAM_MIP_FP_MODE), 3);
  CheckingSink sink(mm.prob);
  auto ctx = mm.context(sink);
  ctx.deadline = tarvo::common::wall_seconds() + 20;
  tarvo::mip::root_heuristics(ctx);
  // both start lines come before both end lines
  int started2 = -1, terminated1 = -1;
  for (int k = 0; k < static_cast<int>(mm.log.size()); ++k) {
    if (mm.log[k].find("\nStarted FP2 (time_limit:") != std::string::npos) started2 = k;
    if (mm.log[k].find("\nTerminated FP (best_obj:") != std::string::npos) terminated1 = k;
  }
  ASSERT_GE(started2, 0);
  ASSERT_GE(terminated1, 0);
  EXPECT_LT(started2, terminated1);
  EXPECT_TRUE(sink.has_incumbent());
}

}  // namespace
