// The heuristics' switches through the public header: the enumeration solver
// alone (against brute force), partial start points, the objective-free and
// pre-relaxation heuristics, and heuristic level 0.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "lp_fixture.hpp"
#include "mip_check.hpp"
#include "mip_fixture.hpp"
#include "test_support.hpp"

namespace {

using lpfix::Lp;

// Set cover over n columns with m random rows (each row has at least one column).
Lp set_cover(int n, int m, unsigned seed) {
  std::mt19937 gen(seed);
  std::uniform_int_distribution<int> cost(1, 20), pick(0, 2);
  Lp lp;
  lp.sense = TV_MIN;
  for (int j = 0; j < n; ++j) lp.c.push_back(cost(gen));
  for (int i = 0; i < m; ++i) {
    std::vector<double> r(n, 0.0);
    for (int j = 0; j < n; ++j) r[j] = pick(gen) == 0;
    r[gen() % n] = 1;
    lp.rows.push_back(r);
    lp.b.push_back(1);
    lp.types += 'G';
  }
  lp.lower.assign(n, 0);
  lp.upper.assign(n, 1);
  return lp;
}

Lp knapsack(int n, unsigned seed) {
  std::mt19937 gen(seed);
  std::uniform_int_distribution<int> w(1, 40);
  Lp lp;
  lp.sense = TV_MAX;
  std::vector<double> a(n);
  double total = 0;
  for (int j = 0; j < n; ++j) {
    lp.c.push_back(w(gen));
    a[j] = w(gen);
    total += a[j];
  }
  lp.rows.push_back(a);
  lp.b.push_back(std::floor(total / 2));
  lp.types = "L";
  lp.lower.assign(n, 0);
  lp.upper.assign(n, 1);
  return lp;
}

struct Outcome {
  mipfix::Solved s;
  std::string log;
};

Outcome run(const Lp &lp, const std::vector<std::pair<int, int>> &params, bool must_load = true) {
  tvtest::EnvHandle env;
  tvtest::ModelHandle model(env);
  mipfix::load_mip(model, lp, std::string(lp.c.size(), 'B'));
  Outcome r;
  TVsetModelLogfunc(model, tvtest::collect_model_log, &r.log);
  for (const auto &[id, v] : params) EXPECT_EQ(TVsetModelIntParameter(model, id, v), 0) << id;
  r.s = mipfix::solve(model);
  if (must_load && r.s.status == TV_STATUS_OPTIMAL) mipcheck::verify_incumbent(model);
  return r;
}

TEST(EnumerationSolver, AloneSolvesKnapsacksAndSetCoversToTheEnumeratedOptimum) {
  for (unsigned seed = 1; seed <= 6; ++seed) {
    const Lp lp = seed % 2 ? knapsack(14, seed) : set_cover(14, 9, seed);
    const Outcome r = run(lp, {{TV_IPARAM_MIP_SOLVERTYPE, 2}});
    ASSERT_EQ(r.s.code, 0) << seed;
    EXPECT_EQ(r.s.status, TV_STATUS_OPTIMAL) << seed;
    EXPECT_NEAR(r.s.obj, mipfix::brute_force(lp, std::string(lp.c.size(), 'B')), 1e-9) << seed;
    EXPECT_NE(r.log.find("\nStarted fast enumeration solver, (time_lim:"), std::string::npos);
    EXPECT_NE(r.log.find("\nTerminated fast enumeration solver, MIPstat:1, err:0"), std::string::npos);
    EXPECT_EQ(r.log.find("BEGIN ROOT OPTIMIZATION"), std::string::npos) << "the tree should not run";
  }
  // branch and bound only: no enumeration
  const Outcome bb = run(knapsack(10, 3), {{TV_IPARAM_MIP_SOLVERTYPE, 1}});
  EXPECT_EQ(bb.log.find("fast enumeration"), std::string::npos);
  EXPECT_EQ(bb.s.status, TV_STATUS_OPTIMAL);
}

TEST(HeuristicLevel, ZeroGivesNoHeuristicIncumbentLines) {
  const Lp lp = set_cover(18, 14, 9);
  const Outcome r = run(lp, {{TV_IPARAM_MIP_HEULEVEL, 0}, {TV_IPARAM_MIP_ENUM_HEUMODE, 0}});
  EXPECT_EQ(r.s.status, TV_STATUS_OPTIMAL);
  for (const char *tag : {"(*H)", "(*FP)", "(*AH)", "(*AHI)", "(*K)"}) EXPECT_EQ(r.log.find(tag), std::string::npos) << tag;
  EXPECT_NEAR(r.s.obj, mipfix::brute_force(set_cover(18, 14, 9), std::string(18, 'B')), 1e-9);
}

TEST(StartPoints, PartialStartIsCompletedAndAnInfeasibleModelIsProvenWithoutObjective) {
  const Lp lp = set_cover(16, 12, 4);
  tvtest::EnvHandle env;
  tvtest::ModelHandle model(env);
  mipfix::load_mip(model, lp, std::string(16, 'B'));
  std::string log;
  TVsetModelLogfunc(model, tvtest::collect_model_log, &log);
  TVsetModelIntParameter(model, TV_IPARAM_MIP_ENUM_HEUMODE, 0);
  const int cols[] = {0, 1, 2, 3};
  const double vals[] = {1, 1, 1, 1};
  ASSERT_EQ(TVloadMIPVarStartPointPartial(model, 4, cols, vals), 0);
  const mipfix::Solved s = mipfix::solve(model);
  EXPECT_EQ(s.status, TV_STATUS_OPTIMAL);
  EXPECT_NEAR(s.obj, mipfix::brute_force(lp, std::string(16, 'B')), 1e-9);
  EXPECT_NE(log.find("fixing ints from partial startpoint"), std::string::npos);
  EXPECT_NE(log.find("(*SBB)"), std::string::npos) << "the completed start is the first incumbent";

  // x0 + x1 >= 3 over binaries has no solution
  Lp bad;
  bad.c = {1, 1};
  bad.rows = {{1, 1}};
  bad.b = {3};
  bad.types = "G";
  bad.lower = {0, 0};
  bad.upper = {1, 1};
  const Outcome r = run(bad, {{TV_IPARAM_MIP_HEU_DROP_OBJ, 1}, {TV_IPARAM_MIP_ENUM_HEUMODE, 0}});
  EXPECT_EQ(r.s.status, TV_STATUS_INFEASIBLE);
  EXPECT_NE(r.log.find("\nStarting heu with objective replaced off 0.0 \n"), std::string::npos);
  EXPECT_NE(r.log.find("\nProblem found infeasible"), std::string::npos);
}

TEST(StartPoints, AFeasibleStartIsTheIncumbentBeforeTheTreeWithoutAHeuristicTag) {
  const Lp lp = set_cover(18, 14, 5);
  tvtest::EnvHandle env;
  tvtest::ModelHandle ref(env);
  mipfix::load_mip(ref, lp, std::string(18, 'B'));
  ASSERT_EQ(mipfix::solve(ref).status, TV_STATUS_OPTIMAL);
  std::vector<double> x(18);
  ASSERT_EQ(TVgetMIPPrimalSolution(ref, x.data()), 0);
  tvtest::ModelHandle model(env);
  mipfix::load_mip(model, lp, std::string(18, 'B'));
  std::string log;
  TVsetModelLogfunc(model, tvtest::collect_model_log, &log);
  TVsetModelIntParameter(model, TV_IPARAM_MIP_HEULEVEL, 0);
  ASSERT_EQ(TVloadVarStartPoint(model, x.data()), 0);  // the continuous start serves when no MIP start is given
  const mipfix::Solved s = mipfix::solve(model);
  EXPECT_EQ(s.status, TV_STATUS_OPTIMAL);
  const size_t info = log.find("\nStartpoint info: objective: ");
  const size_t root = log.find("BEGIN ROOT OPTIMIZATION");
  ASSERT_NE(info, std::string::npos);
  ASSERT_NE(root, std::string::npos);
  EXPECT_LT(info, root);
  EXPECT_NE(log.find("#BRANCHs"), std::string::npos);
  EXPECT_LT(log.find("#BRANCHs"), root) << "the start's incumbent line comes before the tree";
  EXPECT_EQ(log.find("(*H)"), std::string::npos);
}

TEST(PreRelaxHeuristic, EveryLevelFindsACover) {
  const Lp lp = set_cover(20, 15, 2);
  const double best = mipfix::brute_force(lp, std::string(20, 'B'));
  for (int level : {1, 2, 3}) {
    const Outcome r = run(lp, {{TV_IPARAM_MIP_PREHEU_LEVEL, level}, {TV_IPARAM_MIP_ENUM_HEUMODE, 0}});
    EXPECT_NE(r.log.find("\nStarted TVPreRelaxMIP (nPreRelaxLevel:" + std::to_string(level)), std::string::npos);
    EXPECT_NE(r.log.find("\nFOUND MIP solution in PRERELAX HEU,  Original Objvalue  : "), std::string::npos) << level;
    EXPECT_NE(r.log.find("\nTerminated TVPreRelaxMIP (error:0)"), std::string::npos);
    EXPECT_NEAR(r.s.obj, best, 1e-9);
  }
}

}  // namespace

namespace {

// Three knapsacks of five items each, tied by one budget row over all items.
Lp linked_knapsacks(unsigned seed) {
  std::mt19937 gen(seed);
  std::uniform_int_distribution<int> w(1, 20);
  Lp lp;
  lp.sense = TV_MAX;
  const int n = 15;
  for (int j = 0; j < n; ++j) lp.c.push_back(w(gen));
  double budget = 0;
  for (int b = 0; b < 3; ++b) {
    std::vector<double> r(n, 0.0);
    double total = 0;
    for (int k = 0; k < 5; ++k) total += r[5 * b + k] = w(gen);
    lp.rows.push_back(r);
    lp.b.push_back(std::floor(total / 2));
    lp.types += 'L';
  }
  std::vector<double> link(n);
  for (double &v : link) budget += v = w(gen);
  lp.rows.push_back(link);
  lp.b.push_back(std::floor(budget / 3));
  lp.types += 'L';
  lp.lower.assign(n, 0);
  lp.upper.assign(n, 1);
  return lp;
}

TEST(BlockSolverTry, BoundAndSolutionOfLinkedKnapsacksAreSound) {
  for (unsigned seed = 1; seed <= 10; ++seed) {
    const Lp lp = linked_knapsacks(seed);
    const Outcome r = run(lp, {{TV_IPARAM_MIP_BNB_TRY_BNP, 1}, {TV_IPARAM_MIP_PRELEVEL, 0},
                               {TV_IPARAM_MIP_SOLVERTYPE, 1}, {TV_IPARAM_MIP_ENUM_HEUMODE, 0},
                               {TV_IPARAM_MIP_HEULEVEL, seed % 2 ? 1 : 3}});
    const double opt = mipfix::brute_force(lp, std::string(15, 'B'));
    ASSERT_EQ(r.s.code, 0) << seed;
    EXPECT_EQ(r.s.status, TV_STATUS_OPTIMAL) << seed;
    EXPECT_NEAR(r.s.obj, opt, 1e-9) << seed;
    ASSERT_NE(r.log.find("\nTry BNP solver...\n"), std::string::npos) << seed;
    // a maximisation: the block bound is an upper one, never below the optimum
    const size_t at = r.log.find("BNP solver found a lower bound of ");
    ASSERT_NE(at, std::string::npos) << seed;
    EXPECT_GE(std::stod(r.log.substr(at + 34)), opt - 1e-6) << seed;
    const size_t sol = r.log.find("BNP solver found a feasible solution of ");
    if (sol != std::string::npos) {
      EXPECT_LE(std::stod(r.log.substr(sol + 40)), opt + 1e-6) << seed;
    }
  }
  // off by default
  const Outcome off = run(linked_knapsacks(1), {{TV_IPARAM_MIP_PRELEVEL, 0}});
  EXPECT_EQ(off.log.find("Try BNP solver"), std::string::npos);
}

}  // namespace
