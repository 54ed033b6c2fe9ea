// The leaving-row choice kept between pivots against a full scan of every
// row: random pivots touch a few positions (values and weights), now and then
// a row is skipped, the weighting switches or a refactorisation intervenes.
// Every choice must be the reference's: largest violation^2 / weight, lowest
// position on ties, skipped and feasible rows left out. The largest size lists
// enough rows that a full scan cuts its kept buffer while it runs.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "simplex/leaving_rows.hpp"

namespace {

using tarvo::simplex::Glp;
using tarvo::simplex::LeavingRows;

int reference_choice(const Glp &g, const std::vector<char> &skip, bool weighted) {
  int r = -1;
  double best = 0;
  for (int p = 0; p < g.m; ++p) {
    const double xv = g.x[g.head[p]];
    const double viol = std::max(g.lower[p] - xv, xv - g.upper[p]);
    if (!(viol > g.ptol) || skip[p]) continue;
    const double score = weighted ? viol * viol / g.weight[p] : viol * viol;
    if (score > best) {
      best = score;
      r = p;
    }
  }
  return r;
}

// Basic p is variable p; bounds [0, 1]; values mostly feasible. Coarse values
// and weights make ties common.
void random_state(Glp &g, int m, std::mt19937 &rng) {
  g.m = m;
  g.head.resize(m);
  g.lower.assign(m, 0.0);
  g.upper.assign(m, 1.0);
  g.x.assign(m, 0.5);
  g.weight.assign(m, 1.0);
  g.ptol = 1e-9;
  for (int p = 0; p < m; ++p) {
    g.head[p] = p;
    if (rng() % 3 == 0) g.x[p] = 1.0 + static_cast<double>(rng() % 8) / 4;
    g.weight[p] = 1.0 + static_cast<double>(rng() % 4);
  }
}

TEST(LeavingRows, KeptChoiceMatchesAFullScanThroughRandomPivots) {
  std::mt19937 rng(7);
  for (const int m : {5, 40, 300, 3000}) {
    Glp g;
    random_state(g, m, rng);
    std::vector<char> skip(m, 0);
    LeavingRows rows;
    rows.rebuild(g);
    g.iterations = 0;
    bool weighted = true;
    for (int it = 0; it < 400; ++it) {
      const int r = rows.choose(g, skip, weighted);
      ASSERT_EQ(r, reference_choice(g, skip, weighted)) << "m=" << m << " it=" << it;
      // A pivot: the chosen row becomes feasible, some others move and
      // change weight (touched), rarely one is skipped.
      if (r >= 0) {
        g.x[r] = 0.25;
        rows.reseat(g, r);
      }
      const int touched = 1 + static_cast<int>(rng() % std::max(2, m / 8));
      for (int k = 0; k < touched; ++k) {
        const int p = static_cast<int>(rng() % m);
        const int kind = static_cast<int>(rng() % 4);
        g.x[p] = kind == 0 ? 0.5 : kind == 1 ? -static_cast<double>(rng() % 6) / 2 : 1.0 + (rng() % 6) / 2.0;
        g.weight[p] = 0.5 + static_cast<double>(rng() % 4);
        rows.touch(p, g.x[p]);
      }
      if (rng() % 25 == 0) skip[rng() % m] = 1;
      if (rng() % 60 == 0) weighted = !weighted;
      if (rng() % 50 == 0) {
        // a gap in the iterations: weights may have been reset meanwhile
        for (double &w : g.weight) w = 1.0 + static_cast<double>(rng() % 3);
        g.iterations += 2;
      } else {
        g.iterations += 1;
      }
    }
  }
}

// Integral data and unit weights give long runs of equal scores: the rows
// kept between pivots must include tied ones (ranked by position), or every
// pivot falls back to scanning the whole list.
TEST(LeavingRows, TiedScoresAreServedFromTheKeptRows) {
  const int m = 20000;
  Glp g;
  g.m = m;
  g.head.resize(m);
  g.lower.assign(m, 0.0);
  g.upper.assign(m, 1.0);
  g.x.assign(m, 3.0);  // every row infeasible by 2, weight 1: all tied
  g.weight.assign(m, 1.0);
  g.ptol = 1e-9;
  for (int p = 0; p < m; ++p) g.head[p] = p;
  std::vector<char> skip(m, 0);
  LeavingRows rows;
  rows.rebuild(g);
  g.iterations = 0;
  const int pivots = 1000;
  for (int it = 0; it < pivots; ++it) {
    const int r = rows.choose(g, skip, true);
    ASSERT_EQ(r, it) << "ties go to the lowest position";
    g.x[r] = 0.5;
    rows.reseat(g, r);
    g.iterations += 1;
  }
  // one scan per kept buffer's worth of pivots, not one per pivot
  EXPECT_LT(rows.full_scans(), pivots / 10);
}

}  // namespace
