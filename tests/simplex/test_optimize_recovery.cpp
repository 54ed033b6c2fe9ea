// The solution check's verdicts and the re-solve schedule after a failed
// check: which action each finding asks for, when a violation is accepted,
// and that a run never gets more than four re-solves.
#include <gtest/gtest.h>

#include <vector>

#include "../../src/optimize/optimize_recovery.hpp"
#include "test_support.hpp"

namespace {

using namespace tarvo::base::recovery;

RunFigures optimal_run(bool scaled) {
  RunFigures f;
  f.scaled = scaled;
  f.status = 2;
  f.iterations = 10;
  return f;
}

TEST(CheckVerdicts, NumericalTroubleAsksForTheMatchingRemedy) {
  RunFigures f = optimal_run(true);
  f.numerical = true;
  f.iterations = 0;
  EXPECT_EQ(decide(f).action, kCrashBasis);  // trouble before the first pivot: the start basis
  f.iterations = 5;
  EXPECT_EQ(decide(f).action, kUnscaledAfterTrouble);
  f.scaled = false;
  EXPECT_EQ(decide(f).action, kOtherMethod);
}

TEST(CheckVerdicts, OptimalRunsAreJudgedOnTheUnscaledModel) {
  RunFigures f = optimal_run(true);
  f.pinf = 5e-7;  // within 10 x feastol
  f.dinf = 5e-7;
  EXPECT_EQ(decide(f).action, kAccept);
  f.pinf = f.pinf_backward = 1e-4;
  Decision d = decide(f);
  EXPECT_EQ(d.action, kPrimalInfeasible);
  EXPECT_EQ(d.finding, Finding::kDescaledPrimal);
  f.scaled = false;
  EXPECT_EQ(decide(f).finding, Finding::kOriginalPrimal);
  f.pinf = f.pinf_backward = 0;
  f.dinf = f.dinf_backward = 1e-3;
  EXPECT_EQ(decide(f).action, kDualInfeasible);
  EXPECT_EQ(decide(f).finding, Finding::kOriginalDual);
}

TEST(CheckVerdicts, ViolationsExplainedByRoundingOrConditioningAreAccepted) {
  RunFigures f = optimal_run(true);
  // large relative to the bound, tiny relative to the terms summed
  f.pinf = 1e-4;
  f.pinf_backward = 1e-9;
  Decision d = decide(f);
  EXPECT_EQ(d.action, kAccept);
  EXPECT_TRUE(d.accepted_primal);
  // an ill-conditioned basis excuses more
  f.pinf_backward = 1e-5;
  f.condest = 1e12;
  EXPECT_EQ(decide(f).action, kAccept);
  f.condest = 1e3;
  EXPECT_EQ(decide(f).action, kPrimalInfeasible);
  // the dual side the same way
  f = optimal_run(false);
  f.dinf = 1e-3;
  f.dinf_backward = 1e-8;
  d = decide(f);
  EXPECT_EQ(d.action, kAccept);
  EXPECT_TRUE(d.accepted_dual);
  // a solver that ended with a looser tolerance is judged by it
  f.dinf_backward = 1e-3;
  f.solver_dtol = 1e-2;
  EXPECT_EQ(decide(f).action, kAccept);
}

TEST(CheckVerdicts, RowResidualsAreExcusedOnlyAtTheRoundingLevelOfTheirTerms) {
  RunFigures f = optimal_run(false);
  // a row short by 8e-6 among terms of about 100: a real violation
  f.pinf = 8e-6;
  f.pinf_backward = 8e-6;
  f.pinf_rounding = 8e-8;
  EXPECT_EQ(decide(f).action, kPrimalInfeasible);
  // 1e-6 among terms of 5e9: what double precision leaves behind
  f.pinf = f.pinf_backward = 1e-6 + 1e-9;
  f.pinf_rounding = 2e-16;
  EXPECT_EQ(decide(f).action, kAccept);
  // a poorly conditioned basis excuses proportionally more, no more
  f.pinf_rounding = 1e-9;
  f.condest = 1e8;
  EXPECT_EQ(decide(f).action, kAccept);
  f.condest = 1e4;
  EXPECT_EQ(decide(f).action, kPrimalInfeasible);
}

TEST(CheckVerdicts, InfeasibleVerdictsOfScaledRunsAreDoubtedWhenThePointIsFeasible) {
  RunFigures f = optimal_run(true);
  f.status = 3;
  f.pinf = 1e-3;
  f.pinf_internal = 1e-3;
  EXPECT_EQ(decide(f).action, kAccept);
  f.pinf = 1e-9;  // the descaled point is feasible
  EXPECT_EQ(decide(f).finding, Finding::kDescaledFeasible);
  f.pinf = 1e-3;
  f.pinf_internal = 1e-14;
  f.condest = 1e3;  // threshold 1e-12
  EXPECT_EQ(decide(f).finding, Finding::kScaledNearFeasible);
  EXPECT_EQ(decide(f).action, kInfeasibleDoubtful);
  // unscaled runs keep their verdict
  f.scaled = false;
  EXPECT_EQ(decide(f).action, kAccept);
}

TEST(CheckVerdicts, CutoffRunsNeedDualFeasibility) {
  RunFigures f = optimal_run(true);
  f.status = 10;
  f.dinf = f.dinf_backward = 1e-3;
  EXPECT_EQ(decide(f).action, kCutoffDualInfeasible);
  f.dinf = 1e-8;
  EXPECT_EQ(decide(f).action, kAccept);
}

TEST(CheckVerdicts, NearFeasibleThresholdFollowsTheConditionEstimate) {
  EXPECT_DOUBLE_EQ(near_feasible_threshold(1e3), 1e-12);
  EXPECT_DOUBLE_EQ(near_feasible_threshold(1.0), 1e-15);
  EXPECT_DOUBLE_EQ(near_feasible_threshold(1e20), 0.1);  // never looser than 0.1
  EXPECT_DOUBLE_EQ(near_feasible_threshold(-5), 1e-15);  // a broken estimate counts as 1
}

struct Recorded {
  int action, k;
  Step step;
};

// Runs the loop with a check that always answers `action` (or the answers
// listed), recording every re-solve.
std::vector<Recorded> replay(std::vector<int> answers, int resolve_code = 0, int *final_code = nullptr) {
  std::vector<Recorded> seen;
  size_t next = 0;
  int made = -1;
  int code = run_with_recovery(
      0,
      [&](int) {
        const int a = answers[std::min(next, answers.size() - 1)];
        ++next;
        return a;
      },
      [&](int action, int k, const Step &step) {
        seen.push_back({action, k, step});
        return resolve_code;
      },
      &made);
  EXPECT_EQ(made, static_cast<int>(seen.size()));
  if (final_code) *final_code = code;
  return seen;
}

TEST(RecoverySchedule, AFailingCheckGetsAtMostFourResolvesInTheFixedOrder) {
  for (int action : {kUnscaledAfterTrouble, kPrimalInfeasible, kDualInfeasible, kInfeasibleDoubtful,
                     kCutoffDualInfeasible}) {
    SCOPED_TRACE(action);
    std::vector<Recorded> seen = replay({action});
    ASSERT_EQ(seen.size(), 4u);
    EXPECT_EQ(seen[0].step.scale, 0);
    EXPECT_FALSE(seen[0].step.cold);
    EXPECT_EQ(seen[1].step.scale, 1);
    EXPECT_FALSE(seen[1].step.cold);
    EXPECT_EQ(seen[2].step.scale, 1);
    EXPECT_TRUE(seen[2].step.cold);
    EXPECT_EQ(seen[3].step.scale, 0);
    EXPECT_TRUE(seen[3].step.cold);
    for (int k = 0; k < 4; ++k) EXPECT_EQ(seen[k].k, k);
  }
}

TEST(RecoverySchedule, SpecialActions) {
  // a singular start is crashed cold each time, still at most four times
  std::vector<Recorded> seen = replay({kCrashBasis});
  ASSERT_EQ(seen.size(), 4u);
  for (const Recorded &r : seen) EXPECT_TRUE(r.step.cold);
  // trouble without scaling gets one cold attempt with another method, then stops
  seen = replay({kOtherMethod, kPrimalInfeasible});
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_TRUE(seen[0].step.cold);
  // trouble after a schedule step ends the schedule too
  seen = replay({kPrimalInfeasible, kOtherMethod, kPrimalInfeasible});
  ASSERT_EQ(seen.size(), 2u);
  EXPECT_EQ(seen[1].action, kOtherMethod);
}

TEST(RecoverySchedule, StopsAsSoonAsACheckPassesOrMemoryRunsOut) {
  std::vector<Recorded> seen = replay({kPrimalInfeasible, kAccept});
  EXPECT_EQ(seen.size(), 1u);
  seen = replay({kAccept});
  EXPECT_TRUE(seen.empty());
  int code = 0;
  seen = replay({kPrimalInfeasible}, kOutOfMemory, &code);
  EXPECT_EQ(seen.size(), 1u);
  EXPECT_EQ(code, kOutOfMemory);
  // an out-of-memory first run is returned as it is, unchecked
  int checks = 0;
  code = run_with_recovery(
      kOutOfMemory, [&](int) {
        ++checks;
        return kPrimalInfeasible;
      }, [&](int, int, const Step &) { return 0; });
  EXPECT_EQ(code, kOutOfMemory);
  EXPECT_EQ(checks, 0);
}

// Through the library: a solve leaves the scaling and restart parameters as
// the recovery rules promise, whatever the check found.
TEST(RecoveryParameters, ScalingIsRestoredAndRestartCleared) {
  tvtest::EnvHandle env;
  tvtest::ModelHandle model(env);
  const std::string path = std::string(TARVO_DATA_DIR) + "/netlib/sc50a.mps.gz";
  if (TVreadMPSFile(model, path.c_str(), 1) != 0) GTEST_SKIP() << "no netlib data";
  for (int scale : {0, 1, 3}) {
    ASSERT_EQ(TVsetModelIntParameter(model, TV_IPARAM_LP_SCALE, scale), 0);
    ASSERT_EQ(TVsetModelIntParameter(model, TV_IPARAM_SOLVER_RESTART, 1), 0);
    int status = -1;
    ASSERT_EQ(TVoptimize(model, 0, &status), 0);
    EXPECT_EQ(status, TV_STATUS_BASIC_OPTIMAL);
    int value = -7;
    TVgetModelIntParameter(model, TV_IPARAM_LP_SCALE, &value);
    EXPECT_EQ(value, scale);
    TVgetModelIntParameter(model, TV_IPARAM_SOLVER_RESTART, &value);
    EXPECT_EQ(value, 0);
  }
}

}  // namespace
