// Helpers of the modification tests: a small loaded model, a snapshot of
// everything the queries report, and the consistency check every test runs
// after each call, successful or not.
#pragma once

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "test_support.hpp"

namespace tvtest {

// Everything a host can read back about the linear core.
struct Snapshot {
  int m = 0, n = 0, nz = 0, sense = 0;
  double constant = 0;
  std::vector<double> c, b, lower, upper;
  std::string ctype, vtype;
  std::map<std::pair<int, int>, double> entries;  // (row, column) -> value
  std::vector<std::string> rownames, colnames;    // empty when the model has none
  bool operator==(const Snapshot &) const = default;
};

inline Snapshot snapshot(pTVmodel model) {
  Snapshot s;
  EXPECT_EQ(TVgetDimensions(model, &s.n, &s.m, nullptr, &s.nz, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                            nullptr),
            0);
  s.c.resize(s.n);
  s.lower.resize(s.n);
  s.upper.resize(s.n);
  s.b.resize(s.m);
  std::vector<char> ctype(s.m + 1), vtype(s.n + 1);
  std::vector<int> starts(s.n + 1), lengths(s.n + 1), rows(s.nz + 1);
  std::vector<double> values(s.nz + 1);
  EXPECT_EQ(TVgetLPData(model, &s.sense, &s.constant, s.c.data(), s.b.data(), ctype.data(), starts.data(),
                        lengths.data(), values.data(), rows.data(), s.lower.data(), s.upper.data()),
            0);
  s.ctype.assign(ctype.data(), s.m);
  EXPECT_EQ(TVgetVarType(model, vtype.data()), 0);
  s.vtype.assign(vtype.data(), s.n);
  for (int j = 0; j < s.n; ++j)
    for (int p = starts[j]; p < starts[j] + lengths[j]; ++p) s.entries[{rows[p], j}] = values[p];
  char name[4096];
  for (int i = 0; i < s.m; ++i)
    if (TVgetConstraintNamei(model, i, name) == 0) s.rownames.emplace_back(name);
  for (int j = 0; j < s.n; ++j)
    if (TVgetVariableNamej(model, j, name) == 0) s.colnames.emplace_back(name);
  return s;
}

// The model's invariants hold; the reason is printed when they do not.
#define EXPECT_CONSISTENT(model)                                   \
  do {                                                             \
    char reason_[256];                                             \
    EXPECT_EQ(TVcheckModelConsistency(model, reason_), 0) << reason_; \
  } while (0)

// Three rows, four columns:
//   min  x0 + 2x1 + 3x2 + 4x3
//   r0:  x0 + x1             >= 1
//   r1:       2x1 + x2        = 2
//   r2:  x0       + x2 + x3  <= 9
// with bounds [0,10], [0,1e30], [-5,5], [1,1].
struct SmallLp {
  EnvHandle env;
  ModelHandle model{env};
  SmallLp() {
    double c[] = {1, 2, 3, 4}, b[] = {1, 2, 9}, lo[] = {0, 0, -5, 1}, up[] = {10, 1e30, 5, 1};
    int starts[] = {0, 2, 4, 6, 7}, rows[] = {0, 2, 0, 1, 1, 2, 2};
    double vals[] = {1, 1, 1, 2, 1, 1, 1};
    EXPECT_EQ(TVloadLPData(model, 3, 4, 1, 0.0, c, b, "GEL", 7, starts, nullptr, vals, rows, lo, up), 0);
  }
  operator pTVmodel() const { return model.model; }
};

inline std::vector<int> row_basis(pTVmodel model, int n, int m) {
  std::vector<int> cols(n + 1), rows(m + 1);
  EXPECT_EQ(TVgetBasis(model, cols.data(), rows.data()), 0);
  rows.resize(m);
  return rows;
}

inline std::vector<int> col_basis(pTVmodel model, int n, int m) {
  std::vector<int> cols(n + 1), rows(m + 1);
  EXPECT_EQ(TVgetBasis(model, cols.data(), rows.data()), 0);
  cols.resize(n);
  return cols;
}

}  // namespace tvtest
