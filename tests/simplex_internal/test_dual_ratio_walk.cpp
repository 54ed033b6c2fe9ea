// The bound-flipping walk against a plain reference (sort every breakpoint,
// then walk group by group) on random pivot rows: short and long rows, tied
// steps, boxed and one-sided columns, flips on and off. The walk's selection
// stages (first group, a sorted chunk, heaps beyond it) must give exactly the
// reference's entering column and flip set.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "simplex/dual_ratio_walk.hpp"

namespace {

using tarvo::simplex::Candidate;
constexpr double kInf = 1e30;

struct Row {
  std::vector<Candidate> cands;
  std::vector<double> lower, upper;
};

int reference_walk(std::vector<Candidate> cands, double slope, const double *lower, const double *upper, double ptol,
                   std::vector<int> &flips) {
  flips.clear();
  std::stable_sort(cands.begin(), cands.end(), [](const Candidate &a, const Candidate &b) { return a.exact < b.exact; });
  std::size_t start = 0;
  while (start < cands.size()) {
    double tmax = kInf;
    for (std::size_t t = start; t < cands.size(); ++t) tmax = std::min(tmax, cands[t].ratio);
    double reduction = 0;
    bool unboxed = false;
    std::size_t end = start, best = start;
    for (; end < cands.size() && cands[end].exact <= tmax; ++end) {
      const int j = cands[end].j;
      if (lower && lower[j] > -kInf && upper[j] < kInf)
        reduction += cands[end].absval * (upper[j] - lower[j]);
      else
        unboxed = true;
      if (cands[end].absval > cands[best].absval) best = end;
    }
    if (end == start) return -1;
    if (unboxed || slope - reduction <= ptol) return cands[best].j;
    slope -= reduction;
    for (std::size_t t = start; t < end; ++t) flips.push_back(cands[t].j);
    start = end;
  }
  return -1;
}

Row random_row(std::uint32_t seed, int k, int levels, double boxed_share) {
  auto next = [&seed] {
    seed = seed * 1664525u + 1013904223u;
    return (seed >> 8) / 16777216.0;
  };
  Row row;
  for (int j = 0; j < k; ++j) {
    const bool boxed = next() < boxed_share;
    row.lower.push_back(0);
    row.upper.push_back(boxed ? 1 + std::floor(3 * next()) : kInf);
    // few distinct steps: many ties, as in degenerate rows
    const double exact = levels > 0 ? std::floor(levels * next()) / levels : next();
    const double absval = 0.01 + next();  // distinct pivots: the choice among ties is unique
    const double ratio = exact + 1e-7 / absval;
    row.cands.push_back({j, ratio, exact, absval});
  }
  return row;
}

TEST(DualRatioWalk, AgreesWithSortingEveryBreakpoint) {
  tarvo::simplex::WalkScratch ws;
  std::vector<int> flips, expect_flips;
  int heap_reached = 0;
  for (std::uint32_t seed = 1; seed <= 400; ++seed) {
    const int k = seed % 4 == 0 ? 3000 : static_cast<int>(1 + seed * 7 % 300);
    const int levels = seed % 3 == 0 ? 0 : static_cast<int>(2 + seed % 40);
    const double boxed_share = seed % 5 == 0 ? 0.97 : 1.0;
    Row row = random_row(seed, k, levels, boxed_share);
    // a slope that the walk spends somewhere inside the row
    double total = 0;
    for (const Candidate &c : row.cands) total += c.absval * std::min(row.upper[c.j], 3.0);
    const double slope = total * (0.02 + 0.9 * ((seed * 37) % 100) / 100.0);
    for (int flips_on = 0; flips_on <= 1; ++flips_on) {
      const double *lower = flips_on ? row.lower.data() : nullptr;
      const int expect = reference_walk(row.cands, slope, lower, row.upper.data(), 1e-9, expect_flips);
      std::vector<Candidate> cands = row.cands;
      const int got = tarvo::simplex::bound_flipping_walk(cands, slope, lower, row.upper.data(), 1e-9, flips, ws);
      ASSERT_EQ(got, expect) << "seed " << seed << " k " << k << " flips " << flips_on;
      std::sort(flips.begin(), flips.end());
      std::sort(expect_flips.begin(), expect_flips.end());
      ASSERT_EQ(flips, expect_flips) << "seed " << seed << " k " << k << " flips " << flips_on;
      if (expect_flips.size() > 64) ++heap_reached;
    }
  }
  EXPECT_GT(heap_reached, 20);  // the walks beyond the sorted chunk were exercised
}

TEST(DualRatioWalk, EmptyRowAndUnstoppableStep) {
  tarvo::simplex::WalkScratch ws;
  std::vector<int> flips;
  std::vector<Candidate> none;
  EXPECT_EQ(tarvo::simplex::bound_flipping_walk(none, 1.0, nullptr, nullptr, 1e-9, flips, ws), -1);
  // every breakpoint is a box whose flip leaves the row infeasible: no column stops the step
  std::vector<double> lower(100, 0.0), upper(100, 1.0);
  std::vector<Candidate> cands;
  for (int j = 0; j < 100; ++j) cands.push_back({j, 0.01 * j + 1e-9, 0.01 * j, 1.0});
  EXPECT_EQ(tarvo::simplex::bound_flipping_walk(cands, 1e6, lower.data(), upper.data(), 1e-9, flips, ws), -1);
  EXPECT_EQ(flips.size(), 100u);
}

}  // namespace
