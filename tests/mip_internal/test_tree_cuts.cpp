// Cuts made inside the tree enter a pool shared by every node, so each one
// must hold for the whole problem: after full searches with tree cut passes
// and heuristics on, every pooled cut keeps the known optimum and the search
// reaches the optimal value (enigma was once reported infeasible by an
// objective cut rounded from a node's LP value).
#include <iostream>

#include "mip/cutpool.hpp"
#include "mip/separators.hpp"
#include "mip_fixture.hpp"
#include "quiet_tree.hpp"

using namespace mip_test;

namespace {

double excess(const tarvo::mip::PoolCut &c, const std::vector<double> &x) {
  double act = 0, mag = std::fabs(c.rhs);
  for (size_t k = 0; k < c.index.size(); ++k) {
    act += c.value[k] * x[c.index[k]];
    mag += std::fabs(c.value[k] * x[c.index[k]]);
  }
  const double e = (act - c.rhs) / (1 + mag);
  return c.sense == 'G' ? -e : c.sense == 'E' ? std::fabs(e) : e;
}

class TreeCuts : public ::testing::TestWithParam<const char *> {};

TEST_P(TreeCuts, EveryPooledCutKeepsTheOptimumAndTheSearchReachesIt) {
  MipModel mm;
  LOAD_OR_SKIP(mm, GetParam());
  ASSERT_FALSE(mm.optimum.empty());
  const double opt = tarvo::mip::objective_of(mm.prob, mm.optimum.data());
  const auto v = tarvo::mip::check_point(mm.prob, mm.optimum.data(), 1e-6);
  ASSERT_LE(std::max({v.bound, v.row, v.integrality}), 1e-5) << "stored optimum does not fit the model";
  tarvo::mip::MipSettings set = tarvo::mip::MipSettings::from_params(mm.params, 1);
  set.print_level = 0;
  // a safety net only: without heuristics mod008 needs about 130k nodes (30 s
  // on a quiet core), several times that on a loaded machine
  set.time_limit = 600;
  // no heuristics: on enigma they close the gap at the root and no node is cut
  set.heu_level = 0;
  ASSERT_GT(set.cut_depth, 0);
  // cut at every node of the first levels: small trees must still make node cuts
  set.cut_freq = 1;
  QuietTree t(mm, set);
  const tarvo::mip::TreeOutcome out = t.tree.run();
  const tarvo::mip::CutPool *pool = t.tree.cut_pool();
  ASSERT_NE(pool, nullptr);
  for (int k = 0; k < pool->size(); ++k)
    EXPECT_LE(excess(pool->cut(k), mm.optimum), 1e-7)
        << "cut " << k << " tagged " << pool->cut(k).tag << (k >= pool->root_size() ? " (tree)" : " (root)");
  EXPECT_GT(pool->size(), pool->root_size()) << "no cut was made at a node: the test checks nothing";
  EXPECT_EQ(out.code, 0);
  EXPECT_TRUE(out.complete);
  ASSERT_TRUE(t.inc.has_incumbent()) << "reported infeasible";
  EXPECT_NEAR(t.inc.incumbent_objective(), opt, 1e-6 * (1 + std::fabs(opt)));
  std::cout << GetParam() << ": root cuts " << pool->root_size() << ", tree cuts " << pool->size() - pool->root_size()
            << ", nodes " << out.nodes_solved << "\n";
}

INSTANTIATE_TEST_SUITE_P(Miplib3, TreeCuts, ::testing::Values("enigma", "lseu", "mod008", "p0201", "stein27"),
                         [](const auto &info) { return std::string(info.param); });

}  // namespace
