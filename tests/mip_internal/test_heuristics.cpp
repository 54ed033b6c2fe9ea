// Primal heuristics on MIPLIB 3 models: every solution they hand over
// satisfies the original problem (the sink checks like the tree does) and is
// no better than the known optimum, the node LP is left optimal as found, and
// the level and pump switches hold.
#include <iostream>

#include "common/clock.hpp"
#include "mip/heuristics.hpp"
#include "mip/pseudo_costs.hpp"
#include "mip_fixture.hpp"

using namespace mip_test;

namespace {

void set_param(tarvo::base::ParamValues &p, int id, double v) { p.store(tarvo::base::params::position(id), v); }

struct HeuCase {
  const char *model;
  bool must_find;  // the root heuristics find a solution on this model
};

class RootHeuristics : public ::testing::TestWithParam<HeuCase> {};

TEST_P(RootHeuristics, SolutionsAreFeasibleAndTheLpIsLeftAsFound) {
  MipModel mm;
  LOAD_OR_SKIP(mm, GetParam().model);
  CheckingSink sink(mm.prob);
  auto ctx = mm.context(sink);
  ctx.deadline = tarvo::common::wall_seconds() + 10;  // the sub-MIPs take their share of it
  const double z = mm.lp.objective();
  const std::vector<double> x = mm.lp.x();
  tarvo::mip::root_heuristics(ctx);
  EXPECT_EQ(mm.lp.status(), LpStatus::kOptimal);
  EXPECT_NEAR(mm.lp.objective(), z, 1e-7 * (1 + std::fabs(z)));
  for (int j = 0; j < mm.prob.n; ++j) {
    EXPECT_EQ(mm.lp.col_lower(j), mm.prob.col_lo[j]);
    EXPECT_EQ(mm.lp.col_upper(j), mm.prob.col_up[j]);
    EXPECT_EQ(mm.lp.cost(j), mm.prob.c[j]);
  }
  std::cout << GetParam().model << ": submitted " << sink.submitted << " accepted " << sink.tags.size();
  if (sink.has_incumbent()) {
    const double best = sink.incumbent_objective();
    std::cout << " best " << best;
    if (!mm.optimum.empty()) {
      const double opt = tarvo::mip::objective_of(mm.prob, mm.optimum.data());
      std::cout << " optimum " << opt << " gap " << (best - opt) / std::max(1.0, std::fabs(opt));
      EXPECT_GE(best, opt - 1e-6 * (1 + std::fabs(opt)));
    }
    for (const auto &t : sink.tags) EXPECT_TRUE(t == "(*H) " || t == "(*FP)" || t == "(*AH)" || t == "(*AHI)" || t == "(*K)") << t;
  }
  std::cout << "\n";
  if (GetParam().must_find) {
    EXPECT_TRUE(sink.has_incumbent());
  }
}

INSTANTIATE_TEST_SUITE_P(Miplib3, RootHeuristics,
                         ::testing::Values(HeuCase{"p0033", true}, HeuCase{"p0201", true},
                                           HeuCase{"p0282", true}, HeuCase{"lseu", true},
                                           HeuCase{"mod008", true}, HeuCase{"fixnet6", true},
                                           HeuCase{"vpm1", true}, HeuCase{"vpm2", true},
                                           HeuCase{"gesa2", true}, HeuCase{"bell5", true},
                                           HeuCase{"egout", true}, HeuCase{"misc03", true},
                                           HeuCase{"khb05250", true}, HeuCase{"dcmulti", true},
                                           HeuCase{"pp08a", true}, HeuCase{"flugpl", false},
                                           HeuCase{"gt2", true}, HeuCase{"rgn", true},
                                           HeuCase{"stein27", true}, HeuCase{"p0548", true}),
                         [](const auto &info) { return std::string(info.param.model); });

// Each heuristic on its own: what it hands over is feasible and the LP comes back as it was.
TEST(SingleHeuristics, EachLeavesTheLpAndReportsOnlyFeasiblePoints) {
  using tarvo::mip::DiveRule;
  int pump_found = 0, dives_found = 0;
  for (const char *name : {"p0201", "vpm2", "bell5", "egout", "khb05250", "stein27"}) {
    MipModel mm;
    if (!mm.load(name)) continue;
    CheckingSink sink(mm.prob);
    auto ctx = mm.context(sink);
    const double z = mm.lp.objective();
    tarvo::mip::PumpSettings ps;
    ps.max_rounds = 200;
    if (tarvo::mip::feasibility_pump(ctx, ps)) {
      pump_found++;
      EXPECT_EQ(sink.tags.back(), "(*FP)");
    }
    ps.random_rounding = true;
    ps.seed = 3;
    tarvo::mip::feasibility_pump(ctx, ps);
    // the variants, the dual simplex and the projection keep the same contract
    for (int variant = 2; variant <= 5; ++variant) {
      tarvo::mip::PumpSettings pv;
      pv.max_rounds = 30;
      pv.method = TV_METHOD_DSIMPLEX;
      pv.project = variant == 4;
      tarvo::mip::apply_pump_variant(variant, pv);
      tarvo::mip::feasibility_pump(ctx, pv);
    }
    EXPECT_NEAR(mm.lp.objective(), z, 1e-7 * (1 + std::fabs(z))) << name << " after the pumps";
    const tarvo::mip::Locks locks(mm.prob);
    // pseudo-costs as a tree would have learnt them: the objective coefficient per unit
    tarvo::mip::PseudoCosts pc(mm.prob.n);
    for (int j = 0; j < mm.prob.n; ++j) pc.record(j, mm.prob.c[j] > 0, 1.0, std::fabs(mm.prob.c[j]));
    ctx.pseudo = &pc;
    for (DiveRule r : {DiveRule::kFractional, DiveRule::kCoefficient, DiveRule::kVectorLength, DiveRule::kGuided,
                       DiveRule::kPseudoCost}) {
      if (tarvo::mip::dive(ctx, r, locks, tarvo::mip::DiveLimits{})) dives_found++;
      EXPECT_EQ(mm.lp.status(), LpStatus::kOptimal) << name;
      EXPECT_NEAR(mm.lp.objective(), z, 1e-7 * (1 + std::fabs(z))) << name << " after dive " << static_cast<int>(r);
    }
    EXPECT_EQ(sink.submitted >= static_cast<int>(sink.tags.size()), true);
  }
  EXPECT_GE(pump_found, 3);
  EXPECT_GE(dives_found, 6);
}

// Fix-and-propagate from the root LP point: what it hands over is feasible,
// the LP comes back as it was, and it finds solutions of set-partitioning,
// knapsack and mixed models alike.
TEST(SingleHeuristics, FixAndPropagateFindsSolutionsAndLeavesTheLp) {
  int found = 0, tried = 0;
  for (const char *name : {"p0033", "p0201", "p0282", "lseu", "mod008", "vpm2", "bell5", "egout", "misc03",
                           "stein27", "khb05250", "dcmulti"}) {
    MipModel mm;
    if (!mm.load(name)) continue;
    ++tried;
    CheckingSink sink(mm.prob);
    auto ctx = mm.context(sink);
    const double z = mm.lp.objective();
    if (tarvo::mip::fix_propagate_heuristic(ctx, mm.lp.x(), 6)) {
      ++found;
      EXPECT_EQ(sink.tags.back(), "(*H) ") << name;
    }
    EXPECT_EQ(mm.lp.status(), LpStatus::kOptimal) << name;
    EXPECT_NEAR(mm.lp.objective(), z, 1e-7 * (1 + std::fabs(z))) << name;
    for (int j = 0; j < mm.prob.n; ++j) {
      EXPECT_EQ(mm.lp.col_lower(j), mm.prob.col_lo[j]) << name;
      EXPECT_EQ(mm.lp.col_upper(j), mm.prob.col_up[j]) << name;
    }
    EXPECT_TRUE(mm.logged("\nMIP Fix and Propagate 1: Free Count=")) << name;
  }
  if (tried == 0) GTEST_SKIP() << "MIPLIB 3 models not available";
  EXPECT_GE(found, tried / 2);
}

// TV_IPARAM_MIP_USE_CUTS_HEU 1 gives the sub-MIPs a root cut loop of their
// own (and says so in the log); 0 runs them without cuts.
TEST(HeuristicSettings, SubMipCutsFollowTheParameter) {
  for (int use_cuts : {1, 0}) {
    MipModel mm;
    LOAD_OR_SKIP(mm, "p0201");
    set_param(mm.params, TV_IPARAM_MIP_USE_CUTS_HEU, use_cuts);
    set_param(mm.params, TV_IPARAM_MIP_FP_MODE, 0);
    CheckingSink sink(mm.prob);
    auto ctx = mm.context(sink);
    ctx.deadline = tarvo::common::wall_seconds() + 10;
    tarvo::mip::root_heuristics(ctx);
    EXPECT_EQ(mm.logged("\nInitializing cut generation 'bnb_top_cuts_heu' (maxcut:"), use_cuts == 1);
    EXPECT_EQ(mm.logged("\nTerminated add_cuts_top (numcuts:"), use_cuts == 1);
  }
}

TEST(HeuristicSettings, LevelZeroFindsNothingAndPumpModeZeroSkipsThePump) {
  MipModel mm;
  LOAD_OR_SKIP(mm, "p0201");
  {
    CheckingSink sink(mm.prob);
    set_param(mm.params, TV_IPARAM_MIP_HEULEVEL, 0);
    auto ctx = mm.context(sink);
    tarvo::mip::root_heuristics(ctx);
    tarvo::mip::node_heuristics(ctx);
    EXPECT_EQ(sink.submitted, 0);
    EXPECT_FALSE(mm.logged("Running rounding heuristics"));
  }
  set_param(mm.params, TV_IPARAM_MIP_HEULEVEL, 3);
  set_param(mm.params, TV_IPARAM_MIP_FP_MODE, 0);
  CheckingSink sink(mm.prob);
  auto ctx = mm.context(sink);
  tarvo::mip::root_heuristics(ctx);
  EXPECT_FALSE(mm.logged("Started FP"));
  EXPECT_TRUE(mm.logged("Running rounding heuristics"));
  set_param(mm.params, TV_IPARAM_MIP_FP_MODE, 3);
  mm.log.clear();
  tarvo::mip::root_heuristics(ctx);
  EXPECT_TRUE(mm.logged("\nStarted FP (time_limit:"));
  EXPECT_TRUE(mm.logged("\nTerminated FP2 (best_obj:"));
}

// With the time used up the heuristics stop at once and leave the LP solved.
TEST(HeuristicSettings, PassedDeadlineStopsEveryHeuristic) {
  MipModel mm;
  LOAD_OR_SKIP(mm, "fixnet6");
  CheckingSink sink(mm.prob);
  auto ctx = mm.context(sink);
  ctx.deadline = tarvo::common::wall_seconds() - 1;
  const double iters = mm.lp.total_iterations();
  tarvo::mip::root_heuristics(ctx);
  EXPECT_EQ(mm.lp.status(), LpStatus::kOptimal);
  // rounding and one completion LP at most; no pump rounds or dives
  EXPECT_LT(mm.lp.total_iterations() - iters, 200);
}

}  // namespace
