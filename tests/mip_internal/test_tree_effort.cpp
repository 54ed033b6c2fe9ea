// The strong-branching allowance is measured against the node LPs' pivots, so
// those must be all of them: with the heuristics off every pivot the search
// reports belongs to the root LP, a node LP (with its fallbacks, the re-solves
// after parked cuts return and node cut passes) or a trial solve. Counting
// only a node's last solve left out over half of them on larger models.
#include <iostream>

#include "mip_fixture.hpp"
#include "quiet_tree.hpp"

namespace {

using namespace tarvo::mip;

class TreeEffortCount : public ::testing::TestWithParam<const char *> {};

TEST_P(TreeEffortCount, EveryPivotOfTheSearchHasItsPurpose) {
  mip_test::MipModel mm;
  LOAD_OR_SKIP(mm, GetParam());
  MipSettings set = MipSettings::from_params(mm.params, 1);
  set.print_level = 0;
  set.time_limit = 120;  // a safety net only
  set.heu_level = 0;     // their pivots on the node LP are counted apart
  mip_test::QuietTree t(mm, set);
  const TreeOutcome out = t.tree.run();
  ASSERT_FALSE(out.restart) << "the search left for a restart: no tree to count";
  const TreeEffort &e = out.effort;
  EXPECT_GT(e.node, 0);
  EXPECT_GT(e.trial + e.deep, 0);
  EXPECT_DOUBLE_EQ(out.iterations, e.root + e.node + e.trial + e.deep);
  std::cout << GetParam() << ": root " << e.root << ", node " << e.node << ", trial " << e.trial << ", deep " << e.deep
            << ", nodes " << out.nodes_solved << "\n";
}

// both return parked cuts to node LPs within a second or two of search
INSTANTIATE_TEST_SUITE_P(Miplib3, TreeEffortCount, ::testing::Values("misc03", "lseu"),
                         [](const auto &info) { return std::string(info.param); });

}  // namespace
