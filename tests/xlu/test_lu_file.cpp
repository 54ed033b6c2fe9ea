// Room management of the line file that holds the active submatrix and U:
// lines grow, move, get compressed and the area enlarged, and no entry may be
// lost or mixed up on the way.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

#include "xlu/lu_internal.hpp"

using tarvo::xlu::detail::File;

TEST(LuFile, ManyGrowingLinesKeepTheirEntriesThroughMovesAndCompression) {
  const int n = 50;
  File F;
  F.init(n, 16, true);  // far too small: forces moves, compression and growth
  std::vector<std::vector<std::pair<int, double>>> ref(n);
  std::mt19937 rng(5);
  for (int step = 0; step < 20000; ++step) {
    const int l = static_cast<int>(rng() % n);
    const int op = static_cast<int>(rng() % 10);
    if (op < 7) {
      const int idx = static_cast<int>(rng() % 1000);
      F.append(l, idx, idx * 0.5 + l);
      ref[l].push_back({idx, idx * 0.5 + l});
    } else if (op < 9 && !ref[l].empty()) {
      const int idx = ref[l][rng() % ref[l].size()].first;
      ASSERT_TRUE(F.remove_index(l, idx));
      auto it = std::find_if(ref[l].begin(), ref[l].end(), [&](auto& e) { return e.first == idx; });
      ref[l].erase(it);
    } else if (op == 9 && rng() % 20 == 0) {
      F.clear_line(l);
      ref[l].clear();
    }
  }
  for (int l = 0; l < n; ++l) {
    std::vector<std::pair<int, double>> got;
    for (int p = F.begin[l]; p < F.end[l]; ++p) got.push_back({F.index[p], F.value[p]});
    auto want = ref[l];
    std::sort(got.begin(), got.end());
    std::sort(want.begin(), want.end());
    EXPECT_EQ(got, want) << "line " << l;
  }
  // Lines never overlap in memory.
  std::vector<std::pair<int, int>> spans;
  for (int l = 0; l < n; ++l) spans.push_back({F.begin[l], F.end[l]});
  std::sort(spans.begin(), spans.end());
  for (std::size_t k = 1; k < spans.size(); ++k) EXPECT_LE(spans[k - 1].second, spans[k].first);
  EXPECT_FALSE(F.remove_index(0, 5000));
}

// The search runs in blocks of 8 with a scalar tail: a hit in any position of
// a block or of the tail, at any start offset, removes exactly that entry, and
// with a repeated index the first one goes.
TEST(LuFile, RemoveIndexFindsEveryPositionAcrossBlocksAndTail) {
  for (int len = 0; len <= 19; ++len) {
    for (int lead = 0; lead < 3; ++lead) {  // shifts line 1's start
      for (int t = 0; t <= len; ++t) {      // t == len: index absent
        File F;
        F.init(2, 64, true);
        for (int k = 0; k < lead; ++k) F.append(0, 900 + k, 0.0);
        for (int k = 0; k < len; ++k) F.append(1, 10 * k, k + 0.5);
        const int idx = t < len ? 10 * t : 7;
        ASSERT_EQ(F.remove_index(1, idx), t < len) << len << " " << t;
        std::vector<int> got(F.index.begin() + F.begin[1], F.index.begin() + F.end[1]);
        std::sort(got.begin(), got.end());
        std::vector<int> want;
        for (int k = 0; k < len; ++k)
          if (k != t) want.push_back(10 * k);
        EXPECT_EQ(got, want) << len << " " << t;
        for (int p = F.begin[1]; p < F.end[1]; ++p) EXPECT_EQ(F.value[p], F.index[p] / 10 + 0.5);
      }
    }
  }
  File F;
  F.init(1, 32, true);
  for (int k = 0; k < 12; ++k) F.append(0, k == 3 || k == 10 ? 5 : 100 + k, k);
  ASSERT_TRUE(F.remove_index(0, 5));
  int left = -1;
  for (int p = F.begin[0]; p < F.end[0]; ++p)
    if (F.index[p] == 5) left = static_cast<int>(F.value[p]);
  EXPECT_EQ(left, 10);  // the first of the two went
}
