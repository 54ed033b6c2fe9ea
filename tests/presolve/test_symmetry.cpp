// Symmetry detection on problems with known groups: every generator found
// must map the problem onto itself, and the group they generate must be the
// whole group (orders checked by closure on small cases).
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>
#include <set>
#include <vector>

#include "presolve/symmetry.hpp"
#include "presolve/symmetry_graph.hpp"

namespace {

using tarvo::presolve::AutomorphismOptions;
using tarvo::presolve::LinearProblem;
using tarvo::presolve::ProblemSymmetry;

// Dense rows lo <= A x <= up into the column-wise problem.
LinearProblem dense(const std::vector<std::vector<double>> &a, std::vector<double> row_lo, std::vector<double> row_up,
                    std::vector<double> cost, std::vector<char> integer) {
  LinearProblem p;
  p.m = static_cast<int>(a.size());
  p.n = static_cast<int>(cost.size());
  p.start.push_back(0);
  for (int j = 0; j < p.n; ++j) {
    for (int i = 0; i < p.m; ++i)
      if (a[i][j] != 0) {
        p.index.push_back(i);
        p.value.push_back(a[i][j]);
      }
    p.start.push_back(static_cast<int>(p.index.size()));
  }
  p.cost = std::move(cost);
  p.lower.assign(p.n, 0);
  p.upper.assign(p.n, 1);
  p.row_lower = std::move(row_lo);
  p.row_upper = std::move(row_up);
  p.integer = std::move(integer);
  return p;
}

// Jobs with distinct weights on k identical machines: x(i, q) = column i*k + q.
LinearProblem identical_machines(const std::vector<double> &weight, int k, double capacity) {
  const int jobs = static_cast<int>(weight.size()), n = jobs * k;
  std::vector<std::vector<double>> a;
  std::vector<double> lo, up, cost(n);
  for (int i = 0; i < jobs; ++i) {  // each job once
    std::vector<double> r(n, 0);
    for (int q = 0; q < k; ++q) r[i * k + q] = 1;
    a.push_back(r);
    lo.push_back(1);
    up.push_back(1);
  }
  for (int q = 0; q < k; ++q) {  // capacity per machine
    std::vector<double> r(n, 0);
    for (int i = 0; i < jobs; ++i) r[i * k + q] = weight[i];
    a.push_back(r);
    lo.push_back(-1e30);
    up.push_back(capacity);
  }
  for (int i = 0; i < jobs; ++i)
    for (int q = 0; q < k; ++q) cost[i * k + q] = 10 + weight[i];
  return dense(a, lo, up, cost, std::vector<char>(n, 1));
}

// True when permuting the columns by g maps every row, cost and bound onto the problem.
bool is_symmetry(const LinearProblem &p, const std::vector<std::pair<int, int>> &g) {
  std::vector<int> img(p.n);
  for (int j = 0; j < p.n; ++j) img[j] = j;
  for (const auto &m : g) img[m.first] = m.second;
  for (int j = 0; j < p.n; ++j)
    if (p.cost[j] != p.cost[img[j]] || p.lower[j] != p.lower[img[j]] || p.upper[j] != p.upper[img[j]] ||
        p.integer[j] != p.integer[img[j]])
      return false;
  using Row = std::pair<std::pair<double, double>, std::map<int, double>>;
  std::vector<Row> rows(p.m), moved(p.m);
  for (int i = 0; i < p.m; ++i) rows[i].first = moved[i].first = {p.row_lower[i], p.row_upper[i]};
  for (int j = 0; j < p.n; ++j)
    for (int k = p.start[j]; k < p.start[j + 1]; ++k) {
      rows[p.index[k]].second[j] = p.value[k];
      moved[p.index[k]].second[img[j]] = p.value[k];
    }
  std::sort(rows.begin(), rows.end());
  std::sort(moved.begin(), moved.end());
  return rows == moved;
}

// Order of the group the generators produce, by closure (small groups only).
size_t group_order(int n, const std::vector<std::vector<std::pair<int, int>>> &gens) {
  std::vector<int> id(n);
  for (int j = 0; j < n; ++j) id[j] = j;
  std::set<std::vector<int>> seen{id};
  std::vector<std::vector<int>> todo{id};
  while (!todo.empty() && seen.size() < 100000) {
    std::vector<int> cur = todo.back();
    todo.pop_back();
    for (const auto &g : gens) {
      std::vector<int> next = cur;
      for (const auto &m : g)
        for (int j = 0; j < n; ++j)
          if (cur[j] == m.first) next[j] = m.second;
      if (seen.insert(next).second) todo.push_back(next);
    }
  }
  return seen.size();
}

void expect_generators_are_symmetries(const LinearProblem &p, const ProblemSymmetry &s) {
  for (const auto &g : s.generators) EXPECT_TRUE(is_symmetry(p, g));
}

TEST(Symmetry, IdenticalMachinesGiveTheFullSymmetricGroup) {
  for (int k : {2, 3, 4}) {
    const LinearProblem p = identical_machines({3, 5, 7, 11, 13}, k, 20);
    const ProblemSymmetry s = tarvo::presolve::detect_symmetry(p, AutomorphismOptions{});
    ASSERT_TRUE(s.complete);
    expect_generators_are_symmetries(p, s);
    EXPECT_EQ(group_order(p.n, s.generators), static_cast<size_t>(k == 2 ? 2 : k == 3 ? 6 : 24)) << k;
    // one orbit per job: its k assignment columns
    ASSERT_EQ(s.orbit_columns.size(), 5u);
    for (int i = 0; i < 5; ++i) {
      std::vector<int> want;
      for (int q = 0; q < k; ++q) want.push_back(i * k + q);
      EXPECT_EQ(s.orbit_columns[i], want);
    }
    EXPECT_EQ(s.column_orbits, 5);
    EXPECT_EQ(s.integer_orbits, 5);
    EXPECT_EQ(s.orbits, 6);  // and the machines' capacity rows
  }
}

TEST(Symmetry, CycleNeedsTheSearchBeyondRefinement) {
  // x_i + x_{i+1} >= 1 around a 7-cycle: every vertex looks alike to
  // refinement; the group is the dihedral group of order 14
  const int n = 7;
  std::vector<std::vector<double>> a(n, std::vector<double>(n, 0));
  for (int i = 0; i < n; ++i) a[i][i] = a[i][(i + 1) % n] = 1;
  const LinearProblem p = dense(a, std::vector<double>(n, 1), std::vector<double>(n, 1e30),
                                std::vector<double>(n, 1), std::vector<char>(n, 1));
  const ProblemSymmetry s = tarvo::presolve::detect_symmetry(p, AutomorphismOptions{});
  expect_generators_are_symmetries(p, s);
  EXPECT_EQ(group_order(n, s.generators), 14u);
  ASSERT_EQ(s.orbit_columns.size(), 1u);
  EXPECT_EQ(s.orbit_columns[0].size(), static_cast<size_t>(n));
}

TEST(Symmetry, CoefficientsCostsBoundsAndTypesSeparateColumns) {
  // columns 0 and 2 are alike; 1 differs by its coefficient, 3 by its cost,
  // 4 by its bound, 5 by its type
  std::vector<std::vector<double>> a = {{1, 2, 1, 1, 1, 1}, {1, 1, 1, 1, 1, 1}};
  LinearProblem p = dense(a, {-1e30, 1}, {5, 1e30}, {1, 1, 1, 2, 1, 1}, {1, 1, 1, 1, 1, 0});
  p.upper[4] = 3;
  const ProblemSymmetry s = tarvo::presolve::detect_symmetry(p, AutomorphismOptions{});
  expect_generators_are_symmetries(p, s);
  ASSERT_EQ(s.orbit_columns.size(), 1u);
  EXPECT_EQ(s.orbit_columns[0], (std::vector<int>{0, 2}));
  // with 1's coefficient equal to the others, 0, 1 and 2 form one orbit
  a[0][1] = 1;
  p = dense(a, {-1e30, 1}, {5, 1e30}, {1, 1, 1, 2, 1, 1}, {1, 1, 1, 1, 1, 0});
  p.upper[4] = 3;
  const ProblemSymmetry s2 = tarvo::presolve::detect_symmetry(p, AutomorphismOptions{});
  ASSERT_EQ(s2.orbit_columns.size(), 1u);
  EXPECT_EQ(s2.orbit_columns[0], (std::vector<int>{0, 1, 2}));
}

TEST(Symmetry, RowsMustMapOntoRowsWithTheirBounds) {
  // x0 + x1 <= 1 and x2 + x3 <= 2: the pairs are symmetric inside, not across
  std::vector<std::vector<double>> a = {{1, 1, 0, 0}, {0, 0, 1, 1}};
  const LinearProblem p = dense(a, {-1e30, -1e30}, {1, 2}, {1, 1, 1, 1}, {1, 1, 1, 1});
  const ProblemSymmetry s = tarvo::presolve::detect_symmetry(p, AutomorphismOptions{});
  expect_generators_are_symmetries(p, s);
  EXPECT_EQ(group_order(4, s.generators), 4u);
  EXPECT_EQ(s.orbit_columns, (std::vector<std::vector<int>>{{0, 1}, {2, 3}}));
}

TEST(Symmetry, RandomDenseProblemHasNone) {
  std::mt19937 rng(7);
  std::uniform_int_distribution<int> coef(-9, 9);
  std::vector<std::vector<double>> a(6, std::vector<double>(8));
  for (auto &r : a)
    for (double &v : r) v = coef(rng);
  std::vector<double> cost(8);
  for (double &c : cost) c = coef(rng);
  const LinearProblem p = dense(a, std::vector<double>(6, -1e30), std::vector<double>(6, 4), cost,
                                std::vector<char>(8, 1));
  const ProblemSymmetry s = tarvo::presolve::detect_symmetry(p, AutomorphismOptions{});
  EXPECT_TRUE(s.generators.empty());
  EXPECT_TRUE(s.orbit_columns.empty());
}

TEST(Symmetry, TwoCopiesOfARandomBlockAreSwapped) {
  // refinement cannot tell the copies apart; only the search finds the swap
  std::mt19937 rng(3);
  std::uniform_int_distribution<int> coef(-3, 3);
  for (int trial = 0; trial < 5; ++trial) {
    const int bm = 5, bn = 7;
    std::vector<std::vector<double>> block(bm, std::vector<double>(bn));
    for (auto &r : block)
      for (double &v : r) v = coef(rng);
    std::vector<double> cost(bn);
    for (double &c : cost) c = coef(rng);
    std::vector<std::vector<double>> a(2 * bm, std::vector<double>(2 * bn, 0));
    for (int i = 0; i < bm; ++i)
      for (int j = 0; j < bn; ++j) a[i][j] = a[bm + i][bn + j] = block[i][j];
    std::vector<double> all_cost = cost;
    all_cost.insert(all_cost.end(), cost.begin(), cost.end());
    const LinearProblem p = dense(a, std::vector<double>(2 * bm, -1e30), std::vector<double>(2 * bm, 2), all_cost,
                                  std::vector<char>(2 * bn, 1));
    const ProblemSymmetry s = tarvo::presolve::detect_symmetry(p, AutomorphismOptions{});
    ASSERT_TRUE(s.complete);
    expect_generators_are_symmetries(p, s);
    std::vector<int> orbit_of(2 * bn, -1);
    for (size_t k = 0; k < s.orbit_columns.size(); ++k)
      for (int j : s.orbit_columns[k]) orbit_of[j] = static_cast<int>(k);
    for (int j = 0; j < bn; ++j) {
      // nonzero columns of the block: each with its copy
      bool empty = true;
      for (int i = 0; i < bm; ++i) empty = empty && block[i][j] == 0;
      if (!empty) EXPECT_TRUE(orbit_of[j] >= 0 && orbit_of[j] == orbit_of[bn + j]) << trial << " column " << j;
    }
  }
}

TEST(Symmetry, LimitsShrinkTheGroupButNeverGiveAFalseGenerator) {
  const LinearProblem p = identical_machines({2, 3, 4, 5, 6, 7}, 6, 15);
  AutomorphismOptions tight;
  tight.node_limit = 3;
  const ProblemSymmetry s = tarvo::presolve::detect_symmetry(p, tight);
  EXPECT_TRUE(s.node_limit_hit);
  EXPECT_FALSE(s.complete);
  expect_generators_are_symmetries(p, s);
  EXPECT_LT(group_order(p.n, s.generators), 720u);
}

TEST(Symmetry, EmptyAndColumnOnlyProblems) {
  LinearProblem empty;
  empty.start = {0};
  const ProblemSymmetry s = tarvo::presolve::detect_symmetry(empty, AutomorphismOptions{});
  EXPECT_TRUE(s.generators.empty());
  // three free-standing equal columns and no rows: the symmetric group on them
  const LinearProblem p = dense({}, {}, {}, {1, 1, 1}, {1, 1, 1});
  const ProblemSymmetry s3 = tarvo::presolve::detect_symmetry(p, AutomorphismOptions{});
  EXPECT_EQ(group_order(3, s3.generators), 6u);
}

}  // namespace
