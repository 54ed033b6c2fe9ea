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

// Update spikes append one entry to many rows of U at once. After a
// compression of an area at most half full, and in a fresh layout of lines
// that will grow, every line has room of its own: one more entry in each
// moves none of them, and the lines keep their entries and memory order.
TEST(LuFile, CompressionAndGrowingLayoutLeaveRoomInEveryLine) {
  const int n = 40;
  File F;
  F.init(n, 8192, true);
  std::vector<int> len(n);
  for (int l = 0; l < n; ++l) len[l] = (l * 7) % 23;
  F.layout(len.data(), 0);
  for (int l = 0; l < n; ++l)
    for (int k = 0; k < len[l]; ++k) F.append(l, 100 * l + k, l + 0.25 * k);
  // every line outgrew its slot once: each moved to the tail, leaving gaps
  for (int l = 0; l < n; ++l) F.append(l, 100 * l + len[l], l + 0.25 * len[l]);
  F.compress();

  const auto entries_and_order_hold = [&](int extra) {
    std::vector<std::pair<int, int>> spans;
    for (int l = 0; l < n; ++l) {
      ASSERT_EQ(F.end[l] - F.begin[l], len[l] + extra) << l;
      for (int k = 0; k < len[l] + extra; ++k) {
        EXPECT_EQ(F.index[F.begin[l] + k], 100 * l + k);
        EXPECT_EQ(F.value[F.begin[l] + k], l + 0.25 * k);
      }
      spans.push_back({F.begin[l], F.end[l]});
    }
    std::sort(spans.begin(), spans.end());
    for (std::size_t k = 1; k < spans.size(); ++k) EXPECT_LE(spans[k - 1].second, spans[k].first);
  };
  const auto one_more_moves_none = [&](int have) {
    const std::vector<int> before = F.begin;
    for (int l = 0; l < n; ++l) F.append(l, 100 * l + len[l] + have, l + 0.25 * (len[l] + have));
    EXPECT_EQ(F.begin, before);
    entries_and_order_hold(have + 1);
  };
  entries_and_order_hold(1);
  one_more_moves_none(1);

  File G;
  G.init(n, 16, true);
  G.layout(len.data(), 0, nullptr, true);
  for (int l = 0; l < n; ++l)
    for (int k = 0; k < len[l]; ++k) G.append(l, 100 * l + k, l + 0.25 * k);
  const std::vector<int> before = G.begin;
  for (int l = 0; l < n; ++l) G.append(l, 100 * l + len[l], 0.0);
  EXPECT_EQ(G.begin, before);
}

// The bump's files lay out only the bump's lines: those keep their entries
// through moves to the tail and compression, the others stay empty and out of
// the way.
TEST(LuFile, LayoutOfSomeLinesLeavesTheOthersEmpty) {
  const int n = 30;
  File F;
  F.init(n, 16, true);
  for (int l = 0; l < n; ++l) F.append(l, l, 1.0);  // stale entries from an earlier use
  std::vector<int> len(n, 0), lines;
  for (int l = n - 1; l >= 0; l -= 3) {
    lines.push_back(l);
    len[l] = l % 5;
  }
  F.size_for(n, 64, true);
  F.layout_lines(len.data(), 2, lines.data(), static_cast<int>(lines.size()));
  for (int round = 0; round < 3; ++round) {
    for (const int l : lines)
      for (int k = 0; k < len[l] + 4; ++k) F.append(l, 1000 * l + F.length(l), 0.5 * l);
    F.compress();
  }
  for (int l = 0; l < n; ++l) {
    const bool listed = std::find(lines.begin(), lines.end(), l) != lines.end();
    if (!listed) {
      EXPECT_EQ(F.length(l), 0) << l;
      continue;
    }
    ASSERT_EQ(F.length(l), 3 * (len[l] + 4)) << l;
    for (int k = 0; k < F.length(l); ++k) {
      EXPECT_EQ(F.index[F.begin[l] + k], 1000 * l + k);
      EXPECT_EQ(F.value[F.begin[l] + k], 0.5 * l);
    }
  }
}
