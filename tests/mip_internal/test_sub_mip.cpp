// Sub-MIPs and what is built on them (RENS, RINS, local branching,
// polishing), the enumeration solver against brute force, the solution store
// and ZI rounding. Solutions are checked on the original problem by the sink.
#include <random>

#include "common/clock.hpp"
#include "common/error_codes.hpp"
#include "mip/enumeration.hpp"
#include "mip/heuristics.hpp"
#include "mip/incumbent.hpp"
#include "mip/sub_mip.hpp"
#include "dense_problem.hpp"
#include "mip_fixture.hpp"

using namespace mip_test;
using tarvo::mip::SubMipResult;
using tarvo::mip::SubMipSpec;

namespace {

SubMipSpec open_spec(const MipProblem &p) {
  SubMipSpec s;
  s.lo = p.col_lo;
  s.up = p.col_up;
  s.deadline = tarvo::common::wall_seconds() + 60;
  return s;
}

double rel_tol(double v) { return 1e-6 * (1 + std::fabs(v)); }

void set_param(tarvo::base::ParamValues &p, int id, double v) { p.store(tarvo::base::params::position(id), v); }

// Feasible within kFeasTol relative to the size of each bound and row (the
// sums of node LP values carry errors of that order).
bool feasible(const MipProblem &p, const std::vector<double> &x) {
  for (int j = 0; j < p.n; ++j) {
    if (!std::isfinite(x[j])) return false;
    if (x[j] < p.col_lo[j] - kFeasTol * (1 + std::fabs(p.col_lo[j]))) return false;
    if (x[j] > p.col_up[j] + kFeasTol * (1 + std::fabs(p.col_up[j]))) return false;
    if (p.is_int[j] && std::fabs(x[j] - std::round(x[j])) > kFeasTol) return false;
  }
  for (int i = 0; i < p.m; ++i) {
    double a = 0, size = 1;
    for (int k = p.row_start[i]; k < p.row_start[i + 1]; ++k) {
      a += p.row_value[k] * x[p.row_index[k]];
      size = std::max(size, std::fabs(p.row_value[k] * x[p.row_index[k]]));
    }
    if (p.row_lo[i] > -1e30) size = std::max(size, std::fabs(p.row_lo[i]));
    if (p.row_up[i] < 1e30) size = std::max(size, std::fabs(p.row_up[i]));
    if (a < p.row_lo[i] - kFeasTol * size || a > p.row_up[i] + kFeasTol * size) return false;
  }
  return true;
}

// Three fifths of the integer columns fixed at the known optimum: the optimum
// stays in the sub-MIP, so a finished search returns its value.
TEST(SubMip, FixingsAtTheOptimumLeadBackToItsValue) {
  int checked = 0;
  for (const char *name : {"p0201", "misc03", "bell5", "vpm2", "khb05250"}) {
    MipModel mm;
    if (!mm.load(name) || mm.optimum.empty()) continue;
    SubMipSpec s = open_spec(mm.prob);
    for (int j = 0; j < mm.prob.n; ++j)
      if (mm.prob.is_int[j] && j % 5 < 3) s.lo[j] = s.up[j] = std::round(mm.optimum[j]);
    s.branch_limit = 20000;
    const SubMipResult r = tarvo::mip::solve_sub_mip(mm.prob, mm.params, s);
    const double opt = tarvo::mip::objective_of(mm.prob, mm.optimum.data());
    ASSERT_TRUE(r.found) << name;
    EXPECT_LT(r.kept_columns, mm.prob.n) << name;
    EXPECT_TRUE(feasible(mm.prob, r.x)) << name;
    EXPECT_NEAR(r.objective, tarvo::mip::objective_of(mm.prob, r.x.data()), rel_tol(r.objective));
    EXPECT_GE(r.objective, opt - rel_tol(opt)) << name;
    if (r.exhausted) {
      EXPECT_NEAR(r.objective, opt, 1e-5 * (1 + std::fabs(opt))) << name;
    }
    for (int j = 0; j < mm.prob.n; ++j)
      if (s.lo[j] == s.up[j]) {
        ASSERT_EQ(r.x[j], s.lo[j]) << name << " column " << j;
      }
    ++checked;
  }
  EXPECT_GE(checked, 3);
}

// The same sub-MIPs searched with and without the integer presolve: the
// presolved one keeps fewer columns, and both searches, run to the end,
// agree on the optimum and its bound; the presolved answer comes back feasible.
TEST(SubMip, PresolvedSearchAgreesWithThePlainOne) {
  int shrunk = 0, compared = 0;
  for (const char *name : {"p0201", "bell5", "vpm2", "misc03"}) {
    MipModel mm;
    if (!mm.load(name) || mm.optimum.empty()) continue;
    SubMipSpec s = open_spec(mm.prob);
    for (int j = 0; j < mm.prob.n; ++j)
      if (mm.prob.is_int[j] && j % 2 == 0) s.lo[j] = s.up[j] = std::round(mm.optimum[j]);
    s.branch_limit = -1;
    const SubMipResult with = tarvo::mip::solve_sub_mip(mm.prob, mm.params, s);
    tarvo::base::ParamValues plain = mm.params;
    plain.store(tarvo::base::params::position(TV_IPARAM_MIP_PRELEVEL), 0);
    const SubMipResult without = tarvo::mip::solve_sub_mip(mm.prob, plain, s);
    ASSERT_TRUE(with.found && without.found) << name;
    EXPECT_TRUE(feasible(mm.prob, with.x)) << name;
    shrunk += with.kept_columns < without.kept_columns;
    if (!with.exhausted || !without.exhausted) continue;
    ++compared;
    EXPECT_NEAR(with.objective, without.objective, rel_tol(without.objective)) << name;
    EXPECT_NEAR(with.bound, without.bound, rel_tol(without.bound)) << name;
  }
  EXPECT_GE(shrunk, 2);
  EXPECT_GE(compared, 2);
}

TEST(SubMip, BranchLimitDeadlineAndCutoffHold) {
  MipModel mm;
  LOAD_OR_SKIP(mm, "gesa2");
  SubMipSpec s = open_spec(mm.prob);
  s.branch_limit = 5;
  SubMipResult r = tarvo::mip::solve_sub_mip(mm.prob, mm.params, s);
  EXPECT_LE(r.branches, 5);
  EXPECT_FALSE(r.exhausted);
  if (r.found) {
    EXPECT_TRUE(feasible(mm.prob, r.x));
  }
  // a deadline already passed: nothing is searched
  s.deadline = tarvo::common::wall_seconds() - 1;
  r = tarvo::mip::solve_sub_mip(mm.prob, mm.params, s);
  EXPECT_FALSE(r.found);
  EXPECT_EQ(r.code, 2017);
  // a cutoff below the LP bound: the search proves there is nothing to find
  s = open_spec(mm.prob);
  s.cutoff = mm.lp_bound - 1;
  r = tarvo::mip::solve_sub_mip(mm.prob, mm.params, s);
  EXPECT_FALSE(r.found);
  EXPECT_TRUE(r.exhausted);
  // bounds that contradict each other
  s = open_spec(mm.prob);
  for (int j = 0; j < mm.prob.n; ++j)
    if (mm.prob.is_int[j]) {
      s.lo[j] = mm.prob.col_up[j] + 1;
      break;
    }
  r = tarvo::mip::solve_sub_mip(mm.prob, mm.params, s);
  EXPECT_FALSE(r.found);
  EXPECT_TRUE(r.exhausted);
}

// A region that presolve solves outright (y is dominated by x, then the row
// fixes x): its point is the region's optimum, so a cutoff at that value
// leaves nothing better in the region, while a cutoff above it finds it.
TEST(SubMip, RegionSolvedByPresolveIsExhaustedUnderACutoff) {
  const MipProblem p = mip_test::dense_problem({{1, 1}}, {1}, {1e30}, {0, 0}, {1, 1}, {1, 1}, {1, 2});
  tarvo::base::ParamValues params;
  params.reset_to_defaults(tarvo::base::params::kModelScope);
  SubMipSpec s = open_spec(p);
  s.cutoff = 1.0;
  SubMipResult r = tarvo::mip::solve_sub_mip(p, params, s);
  EXPECT_FALSE(r.found);
  EXPECT_TRUE(r.exhausted);
  s.cutoff = 1.5;
  r = tarvo::mip::solve_sub_mip(p, params, s);
  ASSERT_TRUE(r.found);
  EXPECT_TRUE(r.exhausted);
  EXPECT_EQ(r.objective, 1.0);
}

// The iteration limit stops the sub-MIP's tree (within the node it is
// working on) well before the same search without it.
TEST(SubMip, IterationLimitStopsTheTree) {
  MipModel mm;
  LOAD_OR_SKIP(mm, "vpm2");
  SubMipSpec s = open_spec(mm.prob);
  s.branch_limit = 100;
  const SubMipResult open = tarvo::mip::solve_sub_mip(mm.prob, mm.params, s);
  ASSERT_GT(open.iterations, 400);
  s.iter_limit = open.iterations / 4;
  const SubMipResult r = tarvo::mip::solve_sub_mip(mm.prob, mm.params, s);
  EXPECT_EQ(r.code, tarvo::err::kIterationLimit);
  EXPECT_LT(r.iterations, open.iterations / 2);
  EXPECT_LT(r.branches, open.branches);
  EXPECT_FALSE(r.exhausted);
  if (r.found) {
    EXPECT_TRUE(feasible(mm.prob, r.x));
  }
}

// An incumbent within the optimality tolerance of the root bound leaves the
// improvement searches nothing to win: no sub-MIP runs. With the default
// tolerance the same incumbent still gets them.
TEST(RootNeighbourhoods, SkippedOnlyWhenTheGapIsClosed) {
  int checked = 0;
  for (const char *name : {"vpm2", "p0201", "bell5"}) {
    for (double tol : {1.0, 1e-6}) {
      MipModel mm;
      if (!mm.load(name) || mm.optimum.empty()) break;
      set_param(mm.params, TV_DPARAM_MIP_RELOPTTOL, tol);
      CheckingSink sink(mm.prob);
      if (!sink.submit(mm.optimum, "")) break;  // the kept optimum is not exact enough here
      auto ctx = mm.context(sink);
      ctx.deadline = tarvo::common::wall_seconds() + 60;
      const double z = mm.lp.objective();
      tarvo::mip::root_heuristics(ctx);
      ASSERT_TRUE(ctx.heur) << name;
      if (tol == 1.0) {
        EXPECT_EQ(ctx.heur->sub_seconds, 0.0) << name;
      } else {
        EXPECT_GT(ctx.heur->sub_seconds, 0.0) << name;
      }
      EXPECT_EQ(sink.tags.size(), 1u) << name;  // nothing beats the optimum
      EXPECT_NEAR(mm.lp.objective(), z, rel_tol(z)) << name;
      ++checked;
    }
  }
  EXPECT_GE(checked, 4);
}

// The extra row with window 0 around the optimum admits its binaries only.
TEST(SubMip, LocalBranchingRowWithWindowZeroKeepsTheBinaries) {
  MipModel mm;
  LOAD_OR_SKIP(mm, "p0282");
  ASSERT_FALSE(mm.optimum.empty());
  SubMipSpec s = open_spec(mm.prob);
  int ones = 0;
  for (int j = 0; j < mm.prob.n; ++j) {
    if (!mm.prob.is_binary(j)) continue;
    const bool one = mm.optimum[j] > 0.5;
    s.row_index.push_back(j);
    s.row_value.push_back(one ? -1.0 : 1.0);
    ones += one;
  }
  s.row_up = -ones;
  const SubMipResult r = tarvo::mip::solve_sub_mip(mm.prob, mm.params, s);
  ASSERT_TRUE(r.found);
  for (int j : s.row_index) EXPECT_EQ(r.x[j], std::round(mm.optimum[j])) << j;
}

// Each neighbourhood search alone: what the sink takes is feasible, carries
// the search's tag and never beats the optimum; the node LP is not touched.
TEST(Neighbourhoods, SolutionsAreFeasibleTaggedAndTheLpIsUntouched) {
  int found = 0;
  for (const char *name : {"bell5", "vpm2", "p0201", "rgn"}) {
    MipModel mm;
    if (!mm.load(name)) continue;
    CheckingSink sink(mm.prob);
    auto ctx = mm.context(sink);
    ctx.deadline = tarvo::common::wall_seconds() + 20;
    const double z = mm.lp.objective();
    const std::vector<double> x = mm.lp.x();
    tarvo::mip::SubMipBudget b;
    b.branches = 300;
    b.deadline = tarvo::common::wall_seconds() + 20;
    if (tarvo::mip::rens(ctx, x, b)) {
      ++found;
      EXPECT_EQ(sink.tags.back(), "(*AH)") << name;
    }
    // an incumbent for the searches that improve one
    if (!sink.has_incumbent()) tarvo::mip::root_heuristics(ctx);
    if (!sink.has_incumbent()) continue;
    const size_t before = sink.tags.size();
    tarvo::mip::rins(ctx, x, b);
    tarvo::mip::local_branching(ctx, 10, b);
    unsigned rng = 5;
    tarvo::mip::polish(ctx, 0.6, rng, b);
    for (size_t k = before; k < sink.tags.size(); ++k)
      EXPECT_TRUE(sink.tags[k] == "(*AHI)" || sink.tags[k] == "(*AH)") << name << " " << sink.tags[k];
    if (!mm.optimum.empty()) {
      const double opt = tarvo::mip::objective_of(mm.prob, mm.optimum.data());
      EXPECT_GE(sink.incumbent_objective(), opt - rel_tol(opt)) << name;
    }
    EXPECT_EQ(mm.lp.status(), LpStatus::kOptimal) << name;
    EXPECT_NEAR(mm.lp.objective(), z, rel_tol(z)) << name;
  }
  EXPECT_GE(found, 2);
}

// RINS with RENS's solution as incumbent searches a part of the region RENS
// has searched through: it reports the region exhausted and changes nothing.
// A RINS stopped by its deadline is not exhausted.
TEST(Neighbourhoods, RinsWithinASearchedRensRegionIsExhausted) {
  int checked = 0;
  for (const char *name : {"bell5", "vpm2", "p0201", "rgn", "misc03"}) {
    MipModel mm;
    if (!mm.load(name)) continue;
    CheckingSink sink(mm.prob);
    auto ctx = mm.context(sink);
    const std::vector<double> x = mm.lp.x();
    tarvo::mip::SubMipBudget b;
    b.branches = -1;  // searched to the end
    b.deadline = tarvo::common::wall_seconds() + 60;
    if (!tarvo::mip::rens(ctx, x, b)) continue;
    const double z = sink.incumbent_objective();
    const size_t accepted = sink.tags.size();
    bool exhausted = false;
    tarvo::mip::SubMipBudget late = b;
    late.deadline = tarvo::common::wall_seconds() - 1;
    EXPECT_FALSE(tarvo::mip::rins(ctx, x, late, &exhausted)) << name;
    EXPECT_FALSE(exhausted) << name;
    const bool improved = tarvo::mip::rins(ctx, x, b, &exhausted);
    EXPECT_FALSE(improved) << name;
    EXPECT_EQ(sink.tags.size(), accepted) << name;
    EXPECT_EQ(sink.incumbent_objective(), z) << name;
    checked += exhausted;
  }
  EXPECT_GE(checked, 2);
}

// At a point that agrees with the incumbent everywhere RINS has no region
// and reports it exhausted; with a free share it frees the columns the root
// LP prices out least and searches them, improving a first solution.
TEST(Neighbourhoods, RinsFreeShareWidensAnEmptyRegion) {
  int improved_count = 0;
  for (const char *name : {"p0201", "vpm2", "misc03", "bell5"}) {
    MipModel mm;
    if (!mm.load(name)) continue;
    CheckingSink sink(mm.prob);
    auto ctx = mm.context(sink);
    tarvo::mip::SubMipBudget b;
    b.branches = -1;
    b.deadline = tarvo::common::wall_seconds() + 30;
    tarvo::mip::SubMipBudget first = b;
    first.solutions = 1;
    if (!tarvo::mip::rens(ctx, mm.lp.x(), first)) continue;
    const std::vector<double> z = sink.incumbent();
    const double z_obj = sink.incumbent_objective();
    const std::vector<double> rc = mm.lp.reduced_costs();
    bool exhausted = false;
    EXPECT_FALSE(tarvo::mip::rins(ctx, z, b, &exhausted, &rc, 0.0)) << name;
    EXPECT_TRUE(exhausted) << name;
    exhausted = false;
    const bool improved = tarvo::mip::rins(ctx, z, b, &exhausted, &rc, 0.5);
    EXPECT_TRUE(improved || exhausted) << name;  // searched to the end
    if (improved) {
      EXPECT_LT(sink.incumbent_objective(), z_obj) << name;
    }
    improved_count += improved;
  }
  EXPECT_GE(improved_count, 1);
}

// A dense pure binary problem for the enumeration tests.
MipProblem binary_problem(const std::vector<double> &c, const std::vector<std::vector<double>> &rows,
                          const std::vector<double> &row_lo, const std::vector<double> &row_up) {
  const int n = static_cast<int>(c.size());
  return mip_test::dense_problem(rows, row_lo, row_up, std::vector<double>(n, 0.0), std::vector<double>(n, 1.0),
                                 std::vector<char>(n, 1), c);
}

double brute_force(const MipProblem &p) {
  double best = 1e30;
  std::vector<double> x(p.n);
  for (unsigned mask = 0; mask < (1u << p.n); ++mask) {
    for (int j = 0; j < p.n; ++j) x[j] = (mask >> j) & 1u;
    if (feasible(p, x)) best = std::min(best, tarvo::mip::objective_of(p, x.data()));
  }
  return best;
}

TEST(Enumeration, KnapsacksAndSetCoversReachTheBruteForceOptimum) {
  std::mt19937 gen(11);
  std::uniform_int_distribution<int> w(1, 30), pick(0, 3);
  int infeasible_seen = 0;
  for (int trial = 0; trial < 40; ++trial) {
    const int n = 6 + trial % 10;
    std::vector<double> c(n);
    std::vector<std::vector<double>> rows;
    std::vector<double> lo, up;
    if (trial % 2 == 0) {
      // knapsack: maximise value (minimise its negative) under one weight row
      std::vector<double> a(n);
      double total = 0;
      for (int j = 0; j < n; ++j) {
        c[j] = -w(gen);
        a[j] = w(gen);
        total += a[j];
      }
      rows.push_back(a);
      lo.push_back(-1e30);
      up.push_back(std::floor(total / 3));
    } else {
      // set cover with an equality row now and then, which may leave no solution
      const int m = 3 + trial % 5;
      for (int j = 0; j < n; ++j) c[j] = w(gen);
      for (int i = 0; i < m; ++i) {
        std::vector<double> r(n, 0.0);
        for (int j = 0; j < n; ++j) r[j] = pick(gen) == 0 ? 1.0 : 0.0;
        rows.push_back(r);
        lo.push_back(1);
        up.push_back(trial % 7 == 1 ? 1 : 1e30);
      }
    }
    const MipProblem p = binary_problem(c, rows, lo, up);
    ASSERT_TRUE(tarvo::mip::enumeration_accepts(p));
    tarvo::mip::Incumbent inc(p, 1e-6, 1e-6);
    const auto r = tarvo::mip::enumerate_binary(p, p.col_lo, p.col_up, inc, {});
    const double expect = brute_force(p);
    EXPECT_TRUE(r.complete) << trial;
    if (expect >= 1e30) {
      ++infeasible_seen;
      EXPECT_FALSE(inc.has_incumbent()) << trial;
    } else {
      ASSERT_TRUE(inc.has_incumbent()) << trial;
      EXPECT_NEAR(inc.incumbent_objective(), expect, 1e-9) << trial;
      EXPECT_EQ(inc.last_tag(), "(*K)");
    }
  }
  EXPECT_GE(infeasible_seen, 1);
}

// A sink's cutoff prunes the search before any incumbent exists: at the
// optimum it leaves nothing to find (in fewer nodes than the search without
// it), just above it the optimum is still found.
TEST(Enumeration, SinkCutoffPrunesWithoutAnIncumbent) {
  std::mt19937 gen(5);
  std::uniform_int_distribution<int> w(1, 30);
  double plain_nodes = 0, cut_nodes = 0;
  for (int trial = 0; trial < 8; ++trial) {
    const int n = 12 + trial % 4;
    std::vector<double> c(n), a(n);
    double total = 0;
    for (int j = 0; j < n; ++j) {
      c[j] = -w(gen);
      a[j] = w(gen);
      total += a[j];
    }
    // a cover row too, so that the single-knapsack bound does not settle it alone
    const MipProblem p = binary_problem(c, {a, std::vector<double>(n, 1.0)}, {-1e30, 2}, {std::floor(total / 2), 1e30});
    tarvo::mip::Incumbent plain(p, 1e-6, 1e-6);
    const auto r0 = tarvo::mip::enumerate_binary(p, p.col_lo, p.col_up, plain, {});
    ASSERT_TRUE(r0.complete && plain.has_incumbent()) << trial;
    const double opt = plain.incumbent_objective();
    ASSERT_NEAR(opt, brute_force(p), 1e-9) << trial;
    tarvo::mip::Incumbent above(p, 1e-6, 1e-6);
    above.set_threshold(opt + 0.5);
    const auto r1 = tarvo::mip::enumerate_binary(p, p.col_lo, p.col_up, above, {});
    EXPECT_TRUE(r1.complete) << trial;
    ASSERT_TRUE(above.has_incumbent()) << trial;
    EXPECT_NEAR(above.incumbent_objective(), opt, 1e-9) << trial;
    tarvo::mip::Incumbent at(p, 1e-6, 1e-6);
    at.set_threshold(opt);
    const auto r2 = tarvo::mip::enumerate_binary(p, p.col_lo, p.col_up, at, {});
    EXPECT_TRUE(r2.complete) << trial;
    EXPECT_FALSE(at.has_incumbent()) << trial;
    plain_nodes += r0.nodes;
    cut_nodes += r2.nodes;
  }
  EXPECT_LT(cut_nodes, 0.9 * plain_nodes);
}

TEST(Enumeration, NodeLimitStopsTheSearchAndOtherModelsAreRefused) {
  std::vector<double> c(30, -1.0), a(30, 1.0);
  const MipProblem p = binary_problem(c, {a}, {-1e30}, {15.5});
  tarvo::mip::Incumbent inc(p, 1e-6, 1e-6);
  tarvo::mip::EnumerationLimits lim;
  lim.node_limit = 10;
  const auto r = tarvo::mip::enumerate_binary(p, p.col_lo, p.col_up, inc, lim);
  EXPECT_FALSE(r.complete);
  EXPECT_LE(r.nodes, 11);
  MipProblem q = p;
  q.col_up[3] = 2;  // a general integer
  EXPECT_FALSE(tarvo::mip::enumeration_accepts(q));
  q = p;
  q.is_int[4] = 0;  // a continuous column
  EXPECT_FALSE(tarvo::mip::enumeration_accepts(q));
}

TEST(SolutionStore, KeepsTheBestDistinctSolutionsInOrder) {
  // x0 + x1 + x2 >= 1 over binaries, cost 3, 2, 1
  const MipProblem p = binary_problem({3, 2, 1}, {{1, 1, 1}}, {1}, {1e30});
  tarvo::mip::Incumbent inc(p, 1e-6, 1e-6);
  inc.set_store_capacity(3);
  for (const std::vector<double> &x : std::vector<std::vector<double>>{
           {1, 1, 1}, {1, 0, 0}, {0, 0, 0} /* infeasible */, {0, 1, 0}, {1, 0, 0} /* again */, {0, 0, 1}, {1, 1, 0}})
    inc.submit(x, "");
  ASSERT_EQ(inc.stored_count(), 3);
  EXPECT_EQ(inc.stored_objective(0), 1);
  EXPECT_EQ(inc.stored_objective(1), 2);
  EXPECT_EQ(inc.stored_objective(2), 3);
  EXPECT_EQ(inc.incumbent_objective(), 1);
  tarvo::mip::Incumbent none(p, 1e-6, 1e-6);
  none.set_store_capacity(0);
  none.submit({1, 0, 0}, "");
  EXPECT_EQ(none.stored_count(), 0);
  EXPECT_TRUE(none.has_incumbent());
}

// Rows 2 x0 + 2 x1 <= 3 and x0 - x1 + x2 in [lo, up] with x2 continuous.
TEST(ZiRounding, RoundsWithinTheSlacksAndRefusesWhenTheyAreTooTight) {
  MipProblem p;
  p.n = 3;
  p.m = 2;
  p.c = {-1, -1, 0};
  p.col_lo = {0, 0, -10};
  p.col_up = {1, 1, 10};
  p.is_int = {1, 1, 0};
  p.col_start = {0, 2, 4, 5};
  p.col_index = {0, 1, 0, 1, 1};
  p.col_value = {2, 1, 2, -1, 1};
  p.row_lo = {-1e30, 0};
  p.row_up = {3, 0};
  p.build_rows();
  mip_test::CheckingSink sink(p);
  tarvo::simplex::LpSolver lp;
  tarvo::base::ParamValues params;
  params.reset_to_defaults(tarvo::base::params::kModelScope);
  tarvo::mip::MipContext ctx{p, lp, params, sink};
  // row 1 (x0 - x1 + x2 = 0) is tight: x0 alone cannot move, so nothing is found
  EXPECT_FALSE(tarvo::mip::zi_rounding(ctx, {0.5, 0.5, 0.0}, 1e-6));
  // with room in row 1 both columns reach an integer
  p.row_lo[1] = -1;
  p.row_up[1] = 1;
  p.build_rows();
  EXPECT_TRUE(tarvo::mip::zi_rounding(ctx, {0.5, 0.25, 0.0}, 1e-6));
  EXPECT_EQ(sink.tags.back(), "(*H) ");
}

}  // namespace
