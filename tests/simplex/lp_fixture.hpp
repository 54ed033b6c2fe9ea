// Small LPs written as dense rows in the tests and loaded through the public
// loader, plus the checks every solver test repeats.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "test_support.hpp"

namespace lpfix {

struct Lp {
  int sense = TV_MIN;
  std::vector<double> c, b, lower, upper;
  std::string types;
  std::vector<std::vector<double>> rows;  // dense rows, turned into columns on load
};

// Loads the LP and returns the loader's code (for tests of refused data).
inline int load_code(pTVmodel model, const Lp &lp) {
  const int m = static_cast<int>(lp.b.size()), n = static_cast<int>(lp.c.size());
  std::vector<int> start(n + 1, 0), index;
  std::vector<double> value;
  for (int j = 0; j < n; ++j) {
    for (int i = 0; i < m; ++i)
      if (lp.rows[i][j] != 0) {
        index.push_back(i);
        value.push_back(lp.rows[i][j]);
      }
    start[j + 1] = static_cast<int>(index.size());
  }
  const int nz = static_cast<int>(index.size());
  index.push_back(0);
  value.push_back(0);
  return TVloadLPData(model, m, n, lp.sense, 0.0, lp.c.data(), lp.b.data(), lp.types.c_str(), nz, start.data(),
                      nullptr, value.data(), index.data(), lp.lower.data(), lp.upper.data());
}

inline void load(pTVmodel model, const Lp &lp) { ASSERT_EQ(load_code(model, lp), 0); }

// max 3x + 2y + 4z st x + y + 2z <= 4; 2x + 3z <= 5; 2x + y + 3z <= 7; x, y, z >= 0.
inline Lp textbook() {
  Lp lp;
  lp.sense = TV_MAX;
  lp.c = {3, 2, 4};
  lp.b = {4, 5, 7};
  lp.types = "LLL";
  lp.rows = {{1, 1, 2}, {2, 0, 3}, {2, 1, 3}};
  lp.lower = {0, 0, 0};
  lp.upper = {TV_INFINITY, TV_INFINITY, TV_INFINITY};
  return lp;
}

inline void expect_consistent(pTVmodel model) {
  char reason[1024] = {0};
  EXPECT_EQ(TVcheckModelConsistency(model, reason), 0) << reason;
}

}  // namespace lpfix
