// Dual proofs of pruned nodes and the pool that applies them. A proof is
// globally valid only when every column the node's bounds do not justify is
// relaxed with its global bounds: on random small problems every proof must
// keep every integer assignment that has a completion within the cutoff (the
// optimal ones included), while the same proofs relaxed with the node's own
// bounds are caught cutting off such assignments.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "mip/conflict_pool.hpp"
#include "mip/dual_proof.hpp"
#include "mip/tree_search.hpp"
#include "mip/working_problem.hpp"
#include "dense_problem.hpp"
#include "mip_fixture.hpp"
#include "quiet_tree.hpp"

namespace {

using namespace tarvo::mip;
using tarvo::simplex::LpSolver;
using tarvo::simplex::LpStatus;

constexpr int kInts = 5, kConts = 2;

MipProblem random_problem(std::mt19937 &rng) {
  std::uniform_int_distribution<int> coef(-3, 3), rhs(-2, 6), cost(-5, 5);
  const int n = kInts + kConts, m = 4;
  std::vector<std::vector<double>> rows(m, std::vector<double>(n));
  std::vector<double> rl(m), ru(m);
  for (int i = 0; i < m; ++i) {
    for (double &a : rows[i]) a = coef(rng);
    const double b = rhs(rng);
    // mixed senses, one range row
    rl[i] = i % 2 ? b - 3 : -1e30;
    ru[i] = i % 2 ? (i == 3 ? b + 2 : 1e30) : b;
  }
  std::vector<double> lo(n, 0), up(n), c(n);
  std::vector<char> is_int(n);
  for (int j = 0; j < n; ++j) {
    up[j] = j < kInts ? 2 : 4;
    is_int[j] = j < kInts;
    c[j] = cost(rng);
  }
  return mip_test::dense_problem(rows, rl, ru, lo, up, is_int, c);
}

void load_lp(const MipProblem &p, LpSolver &lp) {
  tarvo::base::ModelData d;
  problem_to_lp_data(p, &d);
  lp.load(d, tarvo::simplex::LpOptions{});
  for (int i = 0; i < p.m; ++i) lp.set_row_bounds(i, p.row_lo[i], p.row_up[i]);
}

// Best completion over the continuous columns of every integer assignment (1e30: none).
struct Assignment {
  std::vector<double> x;
  double best;
};

std::vector<Assignment> enumerate(const MipProblem &p, LpSolver &lp) {
  std::vector<Assignment> all;
  std::vector<double> x(kInts, 0.0);
  for (;;) {
    for (int j = 0; j < kInts; ++j) lp.set_col_bounds(j, x[j], x[j]);
    for (int j = kInts; j < p.n; ++j) lp.set_col_bounds(j, p.col_lo[j], p.col_up[j]);
    const LpStatus st = lp.solve(TV_METHOD_DSIMPLEX, {});
    all.push_back({x, st == LpStatus::kOptimal ? lp.objective() : 1e30});
    int j = 0;
    while (j < kInts && x[j] >= 2) x[j++] = 0;
    if (j == kInts) break;
    x[j] += 1;
  }
  return all;
}

double activity(const ProofRow &r, const std::vector<double> &x) {
  double act = 0;
  for (size_t k = 0; k < r.index.size(); ++k) act += r.value[k] * x[r.index[k]];
  return act;
}

// An assignment the proof must keep and does not, if any.
bool cuts_off_a_solution(const ProofRow &r, const std::vector<Assignment> &all, double cutoff) {
  for (const Assignment &a : all)
    if (a.best < 1e30 && a.best <= cutoff && activity(r, a.x) > r.rhs + 1e-6 * (1 + std::fabs(r.rhs))) return true;
  return false;
}

TEST(DualProof, ProofsKeepEverySolutionWithinTheCutoffAndLocalRelaxationIsCaught) {
  std::mt19937 rng(7);
  int infeasible_proofs = 0, cutoff_proofs = 0, broken_violations = 0, instances = 0;
  for (int inst = 0; inst < 80; ++inst) {
    const MipProblem p = random_problem(rng);
    LpSolver lp;
    load_lp(p, lp);
    const std::vector<Assignment> all = enumerate(p, lp);
    double opt = 1e30;
    for (const Assignment &a : all) opt = std::min(opt, a.best);
    if (opt >= 1e30) continue;
    ++instances;
    ProofLimits lim;
    for (int box = 0; box < 30; ++box) {
      // a node: some columns squeezed into part of their range
      std::uniform_int_distribution<int> pick(0, 3), end(0, 2);
      for (int j = 0; j < p.n; ++j) {
        double l = p.col_lo[j], u = p.col_up[j];
        if (pick(rng) == 0) {
          const double a = end(rng) * (j < kInts ? 1.0 : 2.0), b = end(rng) * (j < kInts ? 1.0 : 2.0);
          l = std::min(a, b);
          u = std::max(a, b);
        }
        lp.set_col_bounds(j, l, u);
      }
      // cut off at the optimum, or a little above it
      const double cutoff = opt + (box % 2 ? 0.0 : 0.5);
      lp.set_cutoff(cutoff);
      const LpStatus st = lp.solve(TV_METHOD_DSIMPLEX, {});
      lp.clear_cutoff();
      if (st != LpStatus::kInfeasible && st != LpStatus::kCutoff) continue;
      // short proofs force the columns the node left alone out as well
      lim.max_len = box % 3 == 0 ? 2 : proof_length_limit(p.n);
      ProofRow proof;
      if (dual_proof_from_lp(lp, p, cutoff, p.col_lo, p.col_up, lim, &proof)) {
        (st == LpStatus::kInfeasible ? infeasible_proofs : cutoff_proofs) += 1;
        EXPECT_FALSE(cuts_off_a_solution(proof, all, st == LpStatus::kInfeasible ? 1e30 : cutoff))
            << "instance " << inst << " node " << box;
        // the node's own bounds violate it
        double least = 0;
        for (size_t k = 0; k < proof.index.size(); ++k) {
          const int j = proof.index[k];
          least += proof.value[k] * (proof.value[k] > 0 ? lp.col_lower(j) : lp.col_upper(j));
          EXPECT_TRUE(p.is_int[j]) << "continuous column left in a proof";
        }
        EXPECT_GT(least, proof.rhs);
      }
      const std::vector<double> llo = lp.col_lowers(), lup = lp.col_uppers();
      ProofRow broken;
      if (dual_proof_from_lp(lp, p, cutoff, llo, lup, lim, &broken) &&
          cuts_off_a_solution(broken, all, st == LpStatus::kInfeasible ? 1e30 : cutoff))
        ++broken_violations;
    }
  }
  EXPECT_GT(instances, 40);
  EXPECT_GT(infeasible_proofs, 20);
  EXPECT_GT(cutoff_proofs, 20);
  EXPECT_GT(broken_violations, 0) << "relaxing with the node's bounds went unnoticed: the check has no teeth";
  std::cout << "proofs: " << infeasible_proofs << " infeasible, " << cutoff_proofs << " cutoff; broken variant cut off "
            << broken_violations << "\n";
}

// x0 + x1 + x2 <= 1 as a proof over three binaries and 2 x3 - x4 <= 3 with x3, x4 in [0, 3].
MipProblem free_columns() {
  return mip_test::dense_problem({{0, 0, 0, 0, 0}}, {-1e30}, {1e30}, {0, 0, 0, 0, 0}, {1, 1, 1, 3, 3},
                                 {1, 1, 1, 1, 1}, {0, 0, 0, 0, 0});
}

TEST(ConflictPool, ProofsPruneAndTightenNodesAndIdleOnesMakeRoom) {
  const MipProblem p = free_columns();
  ConflictPool pool(p.n, 2, 100);
  pool.add({{0, 1, 2}, {1, 1, 1}, 1});
  pool.add({{3, 4}, {2, -1}, 3});
  BoundPropagator prop(p, p.col_lo, p.col_up, 1e-6);
  const std::size_t root = prop.mark();
  ASSERT_TRUE(prop.tighten(0, 1, 1));
  ASSERT_TRUE(prop.tighten(4, 0, 1));  // 2 x3 <= 3 + x4 <= 4: x3 <= 2
  ASSERT_TRUE(pool.propagate(prop, prop.sides_changed_since(root)));
  EXPECT_EQ(prop.upper()[1], 0);
  EXPECT_EQ(prop.upper()[2], 0);
  EXPECT_EQ(prop.upper()[3], 2);
  prop.undo(root);
  ASSERT_TRUE(prop.tighten(4, 0, 2));
  ASSERT_TRUE(prop.tighten(3, 3, 3));  // x4 >= 3 needed: beyond its bound
  EXPECT_TRUE(pool.propagate(prop, {0}));  // a proof over none of the moved columns is not looked at
  // x3's upper bound and x4's lower one cannot raise 2 x3 - x4's least activity
  EXPECT_TRUE(pool.propagate(prop, {2 * 3 + 1, 2 * 4}));
  EXPECT_FALSE(pool.propagate(prop, prop.sides_changed_since(root)));
  EXPECT_EQ(pool.prunes(), 1);
  prop.undo(root);
  // the packing proof acts again, the other one stays idle: it is the one replaced
  ASSERT_TRUE(prop.tighten(1, 1, 1));
  ASSERT_TRUE(pool.propagate(prop, prop.sides_changed_since(root)));
  pool.add({{0, 3}, {1, 1}, 2});
  ASSERT_EQ(pool.size(), 2);
  bool packing = false, newest = false;
  for (int k = 0; k < pool.size(); ++k) {
    packing = packing || pool.proof(k).index.size() == 3;
    newest = newest || pool.proof(k).index == std::vector<int>{0, 3};
  }
  EXPECT_TRUE(packing && newest);
}

// A pool whose proofs keep failing to act retires and takes no more proofs;
// one whose proofs act keeps working past the same number of applications.
TEST(ConflictPool, RetiresWhenItsProofsRarelyActOnly) {
  const MipProblem p = free_columns();
  ConflictPool idle(p.n, 10, 100), busy(p.n, 10, 100);
  idle.add({{0, 1, 2}, {1, 1, 1}, 2});  // x0 = 1 leaves room for any other column
  busy.add({{0, 1, 2}, {1, 1, 1}, 1});  // x0 = 1 fixes the other two at 0
  BoundPropagator prop(p, p.col_lo, p.col_up, 1e-6);
  const std::size_t root = prop.mark();
  for (long long k = 0; k <= ConflictPool::kTrialApplies; ++k) {
    ASSERT_TRUE(prop.tighten(0, 1, 1));
    const std::vector<int> moved = prop.sides_changed_since(root);
    ASSERT_TRUE(idle.propagate(prop, moved));
    ASSERT_TRUE(busy.propagate(prop, moved));
    ASSERT_EQ(prop.upper()[1], 0);
    prop.undo(root);
  }
  EXPECT_FALSE(busy.retired());
  EXPECT_EQ(busy.size(), 1);
  ASSERT_TRUE(idle.retired());
  EXPECT_EQ(idle.size(), 0);
  // a retired pool ignores a proof that would prune the node
  idle.add({{0}, {1}, 0});
  EXPECT_EQ(idle.size(), 0);
  ASSERT_TRUE(prop.tighten(0, 1, 1));
  EXPECT_TRUE(idle.propagate(prop, prop.sides_changed_since(root)));
  busy.add({{0}, {1}, 0});
  EXPECT_FALSE(busy.propagate(prop, prop.sides_changed_since(root)));
}

// The search with and without the pool ends at the same optimum.
class ConflictSearch : public ::testing::TestWithParam<const char *> {};

TEST_P(ConflictSearch, SameOptimumWithAndWithoutProofs) {
  long long learned = 0;
  for (bool on : {true, false}) {
    mip_test::MipModel mm;  // fresh: a search leaves its cuts in the model's LP
    LOAD_OR_SKIP(mm, GetParam());
    ASSERT_FALSE(mm.optimum.empty());
    const double opt = objective_of(mm.prob, mm.optimum.data());
    MipSettings set = MipSettings::from_params(mm.params, 1);
    set.print_level = 0;
    set.time_limit = 120;  // a safety net only
    set.conflict_analysis = on;
    mip_test::QuietTree t(mm, set);
    const TreeOutcome out = t.tree.run();
    EXPECT_TRUE(out.complete) << (on ? "with" : "without") << " proofs";
    ASSERT_TRUE(t.inc.has_incumbent());
    EXPECT_NEAR(t.inc.incumbent_objective(), opt, 1e-6 * (1 + std::fabs(opt))) << (on ? "with" : "without") << " proofs";
    // proofs from the cutoff may exclude the optimum once it is the incumbent: only their count is checked
    if (on && t.tree.conflict_pool()) learned = t.tree.conflict_pool()->added();
  }
  std::cout << GetParam() << ": proofs learned " << learned << "\n";
}

INSTANTIATE_TEST_SUITE_P(Miplib3, ConflictSearch, ::testing::Values("p0201", "stein27", "misc03", "lseu"),
                         [](const auto &info) { return std::string(info.param); });

}  // namespace
