// Reduced-cost fixing over several root LPs: an earlier LP can fix what the
// last one cannot, and no rule may cut deeper than the LP that gave it proves.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

#include "mip/root_cost_fixing.hpp"

namespace {

using tarvo::mip::RootCostFixing;

struct Lp {
  double z;
  std::vector<double> d, x, lo, up;
};

// The tightest bounds the LPs prove for a cutoff, column by column.
void exact_bounds(const std::vector<Lp> &lps, double cutoff, std::vector<double> &lo, std::vector<double> &up) {
  for (const Lp &lp : lps)
    for (size_t j = 0; j < lo.size(); ++j) {
      const double gap = cutoff - lp.z;
      if (gap < 0) continue;
      if (lp.d[j] > 1e-7 && lp.x[j] <= lp.lo[j])
        up[j] = std::min(up[j], lp.lo[j] + std::floor(gap / lp.d[j] + 1e-9));
      else if (lp.d[j] < -1e-7 && lp.x[j] >= lp.up[j])
        lo[j] = std::max(lo[j], lp.up[j] - std::floor(gap / -lp.d[j] + 1e-9));
    }
}

TEST(RootCostFixing, EarlierLpFixesWhatTheLastCannot) {
  const std::vector<char> is_int{1, 1, 0};
  // first LP: z 10, binary 0 priced 5; the last LP: z 12, priced 1
  const Lp first{10, {5, -3, 4}, {0, 1, 0}, {0, 0, 0}, {1, 1, 1}};
  const Lp last{12, {1, -0.5, 4}, {0, 1, 0}, {0, 0, 0}, {1, 1, 1}};
  RootCostFixing all, only_last;
  all.reset(3);
  only_last.reset(3);
  for (const Lp *lp : {&first, &last}) all.record(lp->z, lp->d, lp->x, lp->lo, lp->up, is_int, 1.0);
  only_last.record(last.z, last.d, last.x, last.lo, last.up, is_int, 1.0);

  std::vector<double> lo{0, 0, 0}, up{1, 1, 1};
  EXPECT_EQ(only_last.apply(14.0, lo, up), 0);
  EXPECT_EQ(all.apply(14.0, lo, up), 1);  // 14 < 10 + 5: column 0 stays at 0
  EXPECT_EQ(up, (std::vector<double>{0, 1, 1}));
  EXPECT_EQ(lo, (std::vector<double>{0, 0, 0}));  // the continuous column is never touched
  // a cutoff at 12.9 also fixes column 1 at its upper bound (12.9 < 10 + 3; the last LP: 12 + 0.5)
  EXPECT_EQ(all.apply(12.9, lo, up), 1);
  EXPECT_EQ(lo[1], 1);
  // a cutoff at the threshold itself leaves the column free
  std::vector<double> lo2{0, 0, 0}, up2{1, 1, 1};
  EXPECT_EQ(all.apply(15.0, lo2, up2), 0);
  // a scale of zero switches the rules off
  RootCostFixing off;
  off.reset(3);
  off.record(first.z, first.d, first.x, first.lo, first.up, is_int, 0.0);
  EXPECT_TRUE(off.empty());
}

// After a restart the rules follow their column into the new numbering; a
// column without an origin (gone, or merged with others) takes none, and a
// new root's rules join the carried ones.
TEST(RootCostFixing, RemappedRulesFollowTheirColumns) {
  const std::vector<char> is_int{1, 1, 1};
  const Lp lp{10, {5, -3, 4}, {0, 1, 0}, {0, 0, 0}, {1, 1, 1}};
  RootCostFixing old;
  old.reset(3);
  old.record(lp.z, lp.d, lp.x, lp.lo, lp.up, is_int, 1.0);
  // new column 0 is old 2, new 1 is old 0, new 2 has no origin, new 3 is old 1
  RootCostFixing now = old.remapped({2, 0, -1, 1});
  std::vector<double> lo(4, 0), up(4, 1);
  EXPECT_EQ(now.apply(12.5, lo, up), 3);
  EXPECT_EQ(up, (std::vector<double>{0, 0, 1, 1}));
  EXPECT_EQ(lo, (std::vector<double>{0, 0, 0, 1}));
  // the new root prices the unmapped column; the carried rules stay
  const Lp root{11, {0, 0, 2, 0}, {0, 0, 0, 0}, {0, 0, 0, 0}, {1, 1, 1, 1}};
  now.record(root.z, root.d, root.x, root.lo, root.up, {1, 1, 1, 1}, 1.0);
  std::vector<double> lo2(4, 0), up2(4, 1);
  EXPECT_EQ(now.apply(12.5, lo2, up2), 4);
  EXPECT_EQ(up2[2], 0);
  EXPECT_TRUE(RootCostFixing{}.remapped({0, 1}).empty());
}

// Random LPs over general integer and binary columns: the kept rules never
// prove more than the LPs do, binaries get exactly the proven fixings, and
// general integers their proven bounds within the rules' reach.
TEST(RootCostFixing, RulesMatchWhatTheLpsProve) {
  std::mt19937 rng(7);
  std::uniform_real_distribution<double> u01(0, 1);
  for (int trial = 0; trial < 200; ++trial) {
    const int n = 6;
    std::vector<char> is_int(n, 1);
    std::vector<double> glo(n), gup(n);
    for (int j = 0; j < n; ++j) {
      glo[j] = std::floor(u01(rng) * 3) - 1;
      gup[j] = glo[j] + (j % 2 ? 1 : 1 + std::floor(u01(rng) * 12));
    }
    std::vector<Lp> lps;
    RootCostFixing fix;
    fix.reset(n);
    double z = 0;
    for (int k = 0; k < 5; ++k) {
      z += u01(rng) * 3;  // root bounds rise over the passes
      Lp lp{z, std::vector<double>(n), std::vector<double>(n), glo, gup};
      for (int j = 0; j < n; ++j) {
        const double r = u01(rng);
        lp.d[j] = r < 0.4 ? u01(rng) * 4 : r < 0.8 ? -u01(rng) * 4 : 0;
        lp.x[j] = lp.d[j] > 0 ? glo[j] : lp.d[j] < 0 ? gup[j] : 0.5 * (glo[j] + gup[j]);
      }
      fix.record(lp.z, lp.d, lp.x, lp.lo, lp.up, is_int, 1.0);
      lps.push_back(lp);
    }
    for (double cutoff : {z, z + 0.5, z + 2, z + 6, z + 20}) {
      std::vector<double> lo = glo, up = gup, elo = glo, eup = gup;
      fix.apply(cutoff, lo, up);
      exact_bounds(lps, cutoff, elo, eup);
      for (int j = 0; j < n; ++j) {
        ASSERT_LE(up[j], gup[j]);
        ASSERT_GE(up[j], eup[j]) << "trial " << trial << " column " << j;
        ASSERT_LE(lo[j], elo[j]) << "trial " << trial << " column " << j;
        if (gup[j] - glo[j] == 1) {
          ASSERT_EQ(up[j], eup[j]) << "trial " << trial << " column " << j;
          ASSERT_EQ(lo[j], elo[j]) << "trial " << trial << " column " << j;
        } else {
          // within the first moves from the bound every LP's rule is kept
          if (eup[j] <= glo[j] + RootCostFixing::kMaxRules - 1) {
            ASSERT_EQ(up[j], eup[j]) << "trial " << trial;
          }
          if (elo[j] >= gup[j] - RootCostFixing::kMaxRules + 1) {
            ASSERT_EQ(lo[j], elo[j]) << "trial " << trial;
          }
        }
      }
    }
  }
}

}  // namespace
