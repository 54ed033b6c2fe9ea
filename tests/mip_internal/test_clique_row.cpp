// Row sides with clique-strengthened least activity (the objective against
// the cutoff among them): prunes and fixings agree with enumeration of every
// binary point, and the cliques empty nodes that plain propagation keeps.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "mip/conflict_graph.hpp"
#include "mip/node_presolve.hpp"
#include "mip/clique_row.hpp"

namespace {

using namespace tarvo::mip;

// Binaries with the given costs and packing rows sum_{j in row} x_j <= 1
// (sign -1 entries: sum x_j - x_k <= 0 style rows mix in complemented literals).
MipProblem packing(const std::vector<double> &c, const std::vector<std::vector<std::pair<int, double>>> &rows,
                   const std::vector<double> &rhs) {
  MipProblem p;
  p.n = static_cast<int>(c.size());
  p.m = static_cast<int>(rows.size());
  p.c = c;
  p.col_lo.assign(p.n, 0);
  p.col_up.assign(p.n, 1);
  p.is_int.assign(p.n, 1);
  p.row_lo.assign(p.m, -1e30);
  p.row_up = rhs;
  std::vector<std::vector<std::pair<int, double>>> cols(p.n);
  for (int i = 0; i < p.m; ++i)
    for (auto [j, a] : rows[i]) cols[j].push_back({i, a});
  p.col_start.push_back(0);
  for (int j = 0; j < p.n; ++j) {
    for (auto [i, a] : cols[j]) {
      p.col_index.push_back(i);
      p.col_value.push_back(a);
    }
    p.col_start.push_back(static_cast<int>(p.col_index.size()));
  }
  p.build_rows();
  return p;
}

// Two pick-one groups: {x0, x1, x2} and {x3, x4, x5}; the plain bound adds
// all six costs (-36), the cliques only the cheapest of each (-18).
MipProblem two_groups() {
  return packing({-10, -9, -1, -8, -7, -1}, {{{0, 1}, {1, 1}, {2, 1}}, {{3, 1}, {4, 1}, {5, 1}}}, {1, 1});
}

const BoundChange *find_change(const std::vector<BoundChange> &v, int col) {
  for (const BoundChange &c : v)
    if (c.col == col) return &c;
  return nullptr;
}

CliqueRow objective_row(const MipProblem &p, const ConflictGraph &g) {
  std::vector<int> cols(p.n);
  for (int j = 0; j < p.n; ++j) cols[j] = j;
  double work = 1e9;
  return CliqueRow(p, cols, p.c, g, &work);
}

TEST(CliqueRow, ObjectiveCliquesPruneAndFixWhereThePlainRowCannot) {
  const MipProblem p = two_groups();
  ConflictGraph g(p);
  CliqueRow obj = objective_row(p, g);
  EXPECT_EQ(obj.cliques(), 2);
  EXPECT_DOUBLE_EQ(obj.min_activity(p.col_lo, p.col_up), -18);
  std::vector<BoundChange> fix;
  // below -16.5: x2 and x5 would cost 9 and 7 more than their groups' best
  ASSERT_TRUE(obj.propagate(p.col_lo, p.col_up, -16.5, 1e-6, &fix));
  ASSERT_EQ(fix.size(), 2u);
  EXPECT_EQ(fix[0].col, 2);
  EXPECT_EQ(fix[0].up, 0);
  EXPECT_EQ(fix[1].col, 5);
  EXPECT_EQ(fix[1].up, 0);

  // the node x0 = 0, x3 = 0 cannot go below -16: pruned without an LP, and
  // only with the cutoff (the rows alone leave it open)
  NodePresolve pre(p, 1e-6, false);
  std::vector<BoundChange> implied;
  const std::vector<BoundChange> path = {{0, 0, 0}, {3, 0, 0}};
  EXPECT_TRUE(pre.run(p.col_lo, p.col_up, path, 1e30, &implied));
  EXPECT_FALSE(pre.run(p.col_lo, p.col_up, path, -16.5, &implied));
  EXPECT_EQ(pre.clique_pruned(), 1);
  EXPECT_DOUBLE_EQ(pre.pruned_bound(), -16.5);
  // x0 = 0 alone leaves -17: x1 must be 1 (else at most -9), the rows then clear x2
  ASSERT_TRUE(pre.run(p.col_lo, p.col_up, {{0, 0, 0}}, -16.5, &implied));
  bool x1_one = false;
  for (const BoundChange &c : implied) x1_one |= c.col == 1 && c.lo == 1;
  EXPECT_TRUE(x1_one);
  // a cutoff at the least activity itself keeps the node: nothing below it is known to be absent
  EXPECT_TRUE(pre.run(p.col_lo, p.col_up, path, -16, &implied));
}

// A knapsack over the two pick-one groups, 5 x0 + 4 x1 + 4 x2 + 5 x3 + 4 x4 + 4 x5 >= 9:
// the plain bound lets it reach 26, the cliques only 10.
TEST(CliqueRow, KnapsackOverPickOneRowsEmptiesNodes) {
  const MipProblem p = packing({0, 0, 0, 0, 0, 0},
                               {{{0, 1}, {1, 1}, {2, 1}},
                                {{3, 1}, {4, 1}, {5, 1}},
                                {{0, -5}, {1, -4}, {2, -4}, {3, -5}, {4, -4}, {5, -4}}},
                               {1, 1, -9});
  NodePresolve pre(p, 1e-6, false);
  std::vector<BoundChange> implied;
  // x0 = 0 leaves exactly 9: x3 must be 1 (its row then clears x4, x5); x1, x2 stay free
  ASSERT_TRUE(pre.run(p.col_lo, p.col_up, {{0, 0, 0}}, 1e30, &implied));
  ASSERT_EQ(implied.size(), 3u);
  for (const BoundChange &c : implied) {
    EXPECT_GE(c.col, 3);
    EXPECT_EQ(c.col == 3 ? c.lo : c.up, c.col == 3 ? 1 : 0);
  }
  // x0 = x3 = 0 leaves 8
  EXPECT_FALSE(pre.run(p.col_lo, p.col_up, {{0, 0, 0}, {3, 0, 0}}, 1e30, &implied));
  EXPECT_EQ(pre.clique_pruned(), 1);
  EXPECT_GT(pre.pruned_bound(), 1e29);  // no point at all, whatever the cutoff
  // x2 = 0 alone: 10 is still in reach
  EXPECT_TRUE(pre.run(p.col_lo, p.col_up, {{2, 0, 0}}, 1e30, &implied));
}

// Without any clique the objective still bounds the columns against the
// cutoff: costs 3, 4, 10 with x0 + x1 + x2 >= 1 and nothing below 8 wanted.
TEST(CliqueRow, ObjectiveWithoutCliquesStillFixes) {
  MipProblem p = packing({3, 4, 10}, {{{0, -1}, {1, -1}, {2, -1}}}, {-1});
  NodePresolve pre(p, 1e-6, false);
  std::vector<BoundChange> implied;
  ASSERT_TRUE(pre.run(p.col_lo, p.col_up, {{0, 0, 0}}, 1e30, &implied));
  EXPECT_TRUE(implied.empty());
  // x2 would cost 10: the row then needs x1
  ASSERT_TRUE(pre.run(p.col_lo, p.col_up, {{0, 0, 0}}, 8, &implied));
  ASSERT_NE(find_change(implied, 2), nullptr);
  EXPECT_EQ(find_change(implied, 2)->up, 0);
  ASSERT_NE(find_change(implied, 1), nullptr);
  EXPECT_EQ(find_change(implied, 1)->lo, 1);
  // below 3.5 nothing is left, and the cutoff is the node's bound
  EXPECT_FALSE(pre.run(p.col_lo, p.col_up, {{0, 0, 0}}, 3.5, &implied));
  EXPECT_EQ(pre.pruned_bound(), 3.5);
}

// Random packing rows (some with complemented literals), costs of both signs
// and random node bounds: a prune means no point of the node beats the
// cutoff, and every point that does lies within the fixed bounds.
TEST(CliqueRow, NeverCutsOffAPointBelowTheCutoff) {
  std::mt19937 rng(7);
  const int n = 9;
  int prunes = 0, fixes = 0;
  for (int trial = 0; trial < 300; ++trial) {
    std::vector<double> c(n);
    for (double &v : c) v = static_cast<int>(rng() % 21) - 12;
    std::vector<std::vector<std::pair<int, double>>> rows;
    std::vector<double> rhs;
    for (int r = 0; r < 3; ++r) {
      std::vector<std::pair<int, double>> row;
      int negs = 0;
      for (int j = 0; j < n; ++j)
        if (rng() % 3 == 0) {
          const bool neg = rng() % 5 == 0;
          negs += neg;
          row.push_back({j, neg ? -1.0 : 1.0});
        }
      if (row.size() < 2) continue;
      rows.push_back(row);
      rhs.push_back(1.0 - negs);  // at most one literal of the row holds
    }
    const MipProblem p = packing(c, rows, rhs);
    ConflictGraph g(p);
    CliqueRow obj = objective_row(p, g);
    std::vector<double> lo = p.col_lo, up = p.col_up;
    for (int j = 0; j < n; ++j)
      if (rng() % 4 == 0) (rng() % 2 ? lo : up)[j] = rng() % 2;
    bool empty_box = false;
    for (int j = 0; j < n; ++j) empty_box |= lo[j] > up[j];
    if (empty_box) continue;
    // the best point of the box, by enumeration
    double best = 1e30;
    std::vector<std::vector<double>> points;
    for (int mask = 0; mask < (1 << n); ++mask) {
      std::vector<double> x(n);
      bool ok = true;
      for (int j = 0; j < n; ++j) {
        x[j] = (mask >> j) & 1;
        ok = ok && x[j] >= lo[j] && x[j] <= up[j];
      }
      for (int i = 0; ok && i < p.m; ++i) {
        double act = 0;
        for (int k = p.row_start[i]; k < p.row_start[i + 1]; ++k) act += p.row_value[k] * x[p.row_index[k]];
        ok = act <= p.row_up[i] + 1e-9;
      }
      if (!ok) continue;
      double v = 0;
      for (int j = 0; j < n; ++j) v += c[j] * x[j];
      best = std::min(best, v);
      points.push_back(x);
    }
    if (points.empty()) continue;
    for (double cutoff : {best + 0.5, best + 3.0, best - 0.5}) {
      SCOPED_TRACE(testing::Message() << "trial " << trial << " cutoff " << cutoff);
      std::vector<BoundChange> fix;
      const bool open = obj.propagate(lo, up, cutoff, 1e-6, &fix);
      EXPECT_LE(obj.min_activity(lo, up), best);
      if (!open) {
        ++prunes;
        EXPECT_GE(best, cutoff);
        continue;
      }
      fixes += static_cast<int>(fix.size());
      for (const std::vector<double> &x : points) {
        double v = 0;
        for (int j = 0; j < n; ++j) v += c[j] * x[j];
        if (v >= cutoff) continue;
        for (const BoundChange &b : fix) {
          EXPECT_GE(x[b.col], b.lo);
          EXPECT_LE(x[b.col], b.up);
        }
      }
    }
  }
  // the draws exercise both outcomes
  EXPECT_GT(prunes, 20);
  EXPECT_GT(fixes, 20);
}

}  // namespace
