// The tree's parts in isolation: node-selection comparators and their
// tie-breaks, heap growth and removal, the local-branching window, packed
// bases, pseudo-costs and the branching score.
#include <gtest/gtest.h>

#include <random>

#include "mip/node_queue.hpp"
#include "mip/pseudo_costs.hpp"
#include "mip/tree_search.hpp"
#include "simplex/glp.hpp"

namespace {

using namespace tarvo::mip;

struct QueueFixture : ::testing::Test {
  NodePool pool;
  QueueContext ctx;
  int add(NodeQueue &q, double bound, unsigned depth, std::uint8_t flags = 0) {
    const int k = pool.allocate();
    pool[k].bound = bound;
    pool[k].depth = depth;
    pool[k].flags = flags;
    q.push(k);
    return k;
  }
};

TEST_F(QueueFixture, DepthFirstTakesTheDeeperNodeWhateverTheBound) {
  NodeQueue q(pool, ctx, NodeRule::kDepthFirst);
  add(q, 1.0, 6);
  const int deep = add(q, 100.0, 7);
  add(q, -5.0, 6);
  EXPECT_EQ(q.pop(), deep);
}

TEST_F(QueueFixture, AllFlaggedSeesTheHeapAndTheDeferredList) {
  NodeQueue q(pool, ctx, NodeRule::kBestBound);
  EXPECT_FALSE(q.all_flagged(kBenignError));  // nothing open
  add(q, 1.0, 2, kBenignError);
  EXPECT_TRUE(q.all_flagged(kBenignError));
  const int plain = add(q, 2.0, 2);
  EXPECT_FALSE(q.all_flagged(kBenignError));
  q.remove(plain);
  EXPECT_TRUE(q.all_flagged(kBenignError));
}

TEST_F(QueueFixture, BestBoundOrdersByBoundAndTiesBreakByInfeasibilities) {
  NodeQueue q(pool, ctx, NodeRule::kBestBound);
  const int a = add(q, 10.0, 3);
  const int b = add(q, 10.0 + 1e-12, 3);  // within (|b|+1)*1e-8: a tie
  pool[a].ninf = 20;
  pool[b].ninf = 2;
  const int best = add(q, 9.0, 1);
  EXPECT_EQ(q.pop(), best);
  // the tie goes to the node with 5 fewer infeasibilities, not to the smaller bound
  q.set_rule(NodeRule::kWorstBound);
  q.set_rule(NodeRule::kBestBound);
  EXPECT_EQ(q.pop(), b);
  EXPECT_EQ(q.pop(), a);
  EXPECT_EQ(q.pop(), -1);
}

TEST_F(QueueFixture, WorstBoundPutsPriorityNodesFirst) {
  NodeQueue q(pool, ctx, NodeRule::kWorstBound);
  add(q, 50.0, 2);
  const int prio = add(q, 1.0, 1, kPriority);
  add(q, 70.0, 4);
  EXPECT_EQ(q.pop(), prio);
  EXPECT_DOUBLE_EQ(pool[q.pop()].bound, 70.0);
}

TEST_F(QueueFixture, HeapGrowsPastItsInitialCapacityAndKeepsOrderUnderRemoval) {
  NodeQueue q(pool, ctx, NodeRule::kBestBound);
  std::mt19937 rng(7);
  std::uniform_real_distribution<double> u(0, 1000);
  std::vector<int> nodes;
  for (int i = 0; i < NodeQueue::kInitialCapacity + 1; ++i) nodes.push_back(add(q, u(rng), 0));
  EXPECT_EQ(q.capacity(), 2 * NodeQueue::kInitialCapacity + 1);
  for (int i = 0; i < 5000; ++i) q.remove(nodes[i * 3]);
  double last = -1;
  int count = 0;
  for (int k = q.pop(); k >= 0; k = q.pop(), ++count) {
    EXPECT_GE(pool[k].bound, last - (last + 1) * 1e-8);  // ties within the bound tolerance
    last = pool[k].bound;
  }
  EXPECT_EQ(count, NodeQueue::kInitialCapacity + 1 - 5000);
}

TEST_F(QueueFixture, LocalBranchingWindowDefersDistantNodesOnlyWhenOn) {
  ctx.incumbent = 5;  // an incumbent exists
  for (int window : {0, 2}) {
    NodeQueue q(pool, ctx, NodeRule::kBestBound, window);
    q.set_key([](const Node &nd) { return static_cast<int>(nd.depth); });
    const int far = add(q, 0.0, 9);  // best bound but far from the incumbent
    const int near = add(q, 3.0, 1);
    if (window == 0) {
      EXPECT_EQ(q.pop(), far);
    } else {
      EXPECT_EQ(q.pop(), near);
      EXPECT_EQ(q.pop(), far);  // the window opens (9 > max(4w, 20)? no: widened to w + 9)
    }
    while (q.pop() >= 0) {
    }
  }
}

TEST_F(QueueFixture, PruneDropsNodesAtOrAboveTheCutoffAndReportsTheirLowestBound) {
  NodeQueue q(pool, ctx, NodeRule::kBestBound);
  add(q, 1.0, 0);
  add(q, 5.0, 0);
  add(q, 7.0, 0);
  double dropped = 1e30;
  EXPECT_EQ(q.prune(5.0, &dropped), 2);
  EXPECT_DOUBLE_EQ(dropped, 5.0);
  EXPECT_EQ(q.size(), 1);
  EXPECT_DOUBLE_EQ(q.min_bound(), 1.0);
}

TEST(PackedBasis, RoundTripsAndRefusesAWrongBasicCount) {
  using namespace tarvo::simplex;
  LpBasis b;
  b.state = {kBasic, kAtLower, kAtUpper, kFreeZero, kAtLower, kBasic, kAtLower};  // 4 columns, 3 rows
  PackedBasis p;
  EXPECT_FALSE(pack_basis(b, 4, 3, {}, 0, &p));  // two basic entries for three rows
  b.state[6] = kBasic;
  ASSERT_TRUE(pack_basis(b, 4, 3, {}, 0, &p));
  EXPECT_EQ(p.bits.size(), 2u);
  LpBasis back;
  const std::vector<double> lo = {0, 0, 0, -1e30}, up = {1, 1e30, 4, 1e30};
  ASSERT_TRUE(unpack_basis(p, lo, up, {}, &back));
  // column 2 at its finite upper bound stays there; a state at an infinite bound would move
  EXPECT_EQ(back.state, b.state);
  b.state[1] = kAtUpper;  // upper bound of column 1 is infinite
  ASSERT_TRUE(pack_basis(b, 4, 3, {}, 0, &p));
  ASSERT_TRUE(unpack_basis(p, lo, up, {}, &back));
  EXPECT_EQ(back.state[1], kAtLower);
}

// Cut rows are stored by cut index: the basis fits an LP whose cut rows
// came and went since, as long as the binding cuts are back.
TEST(PackedBasis, CutRowsFollowTheirCutsThroughRowChanges) {
  using namespace tarvo::simplex;
  LpBasis b;
  // 2 columns, 1 problem row, cut rows held by cuts 7, 3 and 5; cut 3 binding
  b.state = {kBasic, kAtLower, kBasic, kBasic, kAtUpper, kBasic};
  PackedBasis p;
  EXPECT_FALSE(pack_basis(b, 2, 1, {7, 3}, 4, &p));  // shape differs from the LP's rows
  ASSERT_TRUE(pack_basis(b, 2, 1, {7, 3, 5}, 4, &p));
  ASSERT_EQ(p.cuts.size(), 1u);
  EXPECT_EQ(p.cuts[0].first, 3);
  EXPECT_EQ(p.epoch, 4u);
  const std::vector<double> lo = {0, 0}, up = {1, 1};
  LpBasis back;
  // cut 7 left the LP, cut 9 came in, cut 3 is now the last row
  ASSERT_TRUE(unpack_basis(p, lo, up, {9, 5, 3}, &back));
  const std::vector<signed char> want = {kBasic, kAtLower, kBasic, kBasic, kBasic, kAtUpper};
  EXPECT_EQ(back.state, want);
  // the binding cut has no row: the basis would have a basic entry too many
  EXPECT_FALSE(unpack_basis(p, lo, up, {9, 5}, &back));
}

TEST(PseudoCosts, LearnPerColumnAndFallBackToTheAverage) {
  PseudoCosts pc(3);
  pc.record(0, false, 0.5, 2.0);  // 4 per unit
  pc.record(0, false, 0.25, 0.5);  // 2 per unit
  pc.record(1, true, 0.5, 3.0);    // 6 per unit
  EXPECT_DOUBLE_EQ(pc.unit(0, false), 3.0);
  EXPECT_DOUBLE_EQ(pc.unit(2, false), 3.0);  // average of the down records
  EXPECT_DOUBLE_EQ(pc.unit(2, true), 6.0);
  EXPECT_EQ(pc.reliability(0), 0);
  pc.record(0, true, 1, -1);  // a negative gain is no information
  EXPECT_EQ(pc.count(0, true), 0);
}

TEST(BranchScore, RulesWeighTheSmallerAndLargerGain) {
  // rule 1 depends on the smaller gain only
  EXPECT_DOUBLE_EQ(branch_score(2, 9, 1, 6.25, 0), branch_score(2, 100, 1, 6.25, 0));
  EXPECT_DOUBLE_EQ(branch_score(2, 9, 1, 6.25, 0), 12.5);
  EXPECT_DOUBLE_EQ(branch_score(2, 9, 2, 6.25, 0), 56.25);
  // the default weights prefer a balanced candidate over a lopsided one of equal sum
  EXPECT_GT(branch_score(5, 5, 0, 6.25, 1e30), branch_score(1, 9, 0, 6.25, 1e30));
}

}  // namespace

namespace {

tarvo::mip::MipProblem costs_only(const std::vector<double> &c, const std::vector<char> &is_int) {
  tarvo::mip::MipProblem p;
  p.n = static_cast<int>(c.size());
  p.c = c;
  p.is_int = is_int;
  p.col_lo.assign(p.n, 0.0);
  p.col_up.assign(p.n, 1.0);
  p.col_start.assign(p.n + 1, 0);
  return p;
}

}  // namespace

// The step between objective values of integer points prunes nodes within
// it; a step too large would cut off optimal solutions.
TEST(ObjectiveStep, FindsTheRationalStepOfTheCostsOrNone) {
  using tarvo::mip::TreeSearch;
  EXPECT_DOUBLE_EQ(TreeSearch::objective_step(costs_only({6, -9, 0}, {1, 1, 1})), 3.0);
  EXPECT_DOUBLE_EQ(TreeSearch::objective_step(costs_only({0.25, 1.75, -0.5}, {1, 1, 1})), 0.25);
  EXPECT_NEAR(TreeSearch::objective_step(costs_only({12.34, 0.07, 100}, {1, 1, 1})), 0.01, 1e-12);
  // thirds: no finite decimal, still a rational step
  EXPECT_NEAR(TreeSearch::objective_step(costs_only({1.0 / 3, 2.0 / 3}, {1, 1})), 1.0 / 3, 1e-12);
  // a cost on a continuous column that can move, or an irrational cost: no step
  EXPECT_EQ(TreeSearch::objective_step(costs_only({1, 2}, {1, 0})), 0.0);
  EXPECT_EQ(TreeSearch::objective_step(costs_only({1, 3.14159265358979}, {1, 1})), 0.0);
  // near a tenth but not one: a step of 0.1 would prune points that differ by less
  EXPECT_EQ(TreeSearch::objective_step(costs_only({0.1000000001, 1}, {1, 1})), 0.0);
  // a fixed continuous column adds a constant only
  tarvo::mip::MipProblem p = costs_only({2, 0.7}, {1, 0});
  p.col_lo[1] = p.col_up[1] = 1;
  EXPECT_DOUBLE_EQ(TreeSearch::objective_step(p), 2.0);
}
