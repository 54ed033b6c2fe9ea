// Helpers of the integer tests: loading a dense test model with variable
// types, solving it, and the enumeration that gives the known optimum of
// small pure integer programs.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "lp_fixture.hpp"

namespace mipfix {

struct Solved {
  int code = -1, status = -1;
  double obj = NAN, bound = NAN;
};

// Log callback gathering the model's log into a std::string.
inline void collect_log(pTVmodel, const char *text, void *data) { *static_cast<std::string *>(data) += text; }

// A model whose log (MIP print level 1) is kept in `log`.
class LoggedModel : public ::testing::Test {
 protected:
  tvtest::EnvHandle env;
  tvtest::ModelHandle model{env};
  std::string log;
  void SetUp() override {
    ASSERT_EQ(TVsetModelLogfunc(model, collect_log, &log), 0);
    TVsetModelIntParameter(model, TV_IPARAM_MIP_PRINTLEVEL, 1);
  }
};

inline Solved solve(pTVmodel model) {
  Solved s;
  s.code = TVsolveMIP(model, &s.status);
  TVgetInfo(model, TV_DINFO_MIP_OBJ, &s.obj);
  TVgetInfo(model, TV_DINFO_MIP_BESTBOUND, &s.bound);
  return s;
}

inline void load_mip(pTVmodel model, const lpfix::Lp &lp, std::string vtypes) {
  lpfix::load(model, lp);
  ASSERT_EQ(TVloadVarType(model, vtypes.data()), 0);
}

// Four items, at most two of them, and a pool of two objectives: first as
// many items as possible (rank 1), then the least weight (rank 2, weights 4 1 3 2).
inline void load_item_pool(pTVmodel model) {
  lpfix::Lp lp;
  lp.sense = TV_MAX;
  lp.c = {1, 1, 1, 1};
  lp.b = {2};
  lp.types = "L";
  lp.rows = {{1, 1, 1, 1}};
  lp.lower.assign(4, 0);
  lp.upper.assign(4, 1);
  load_mip(model, lp, "BBBB");
  const double count[] = {1, 1, 1, 1}, weight[] = {4, 1, 3, 2};
  ASSERT_EQ(TVaddObjPool(model, weight, TV_MIN, 2, -1), 0);
  ASSERT_EQ(TVaddObjPool(model, count, TV_MAX, 1, -1), 0);
}

// Optimum of a small pure integer program with finite bounds by enumeration;
// NaN when no point is feasible.
inline double brute_force(const lpfix::Lp &lp, const std::string &vtypes) {
  const int n = static_cast<int>(lp.c.size()), m = static_cast<int>(lp.b.size());
  std::vector<double> lo(n), up(n), x(n);
  for (int j = 0; j < n; ++j) {
    lo[j] = std::ceil(vtypes[j] == 'B' ? std::max(0.0, lp.lower[j]) : lp.lower[j]);
    up[j] = std::floor(vtypes[j] == 'B' ? std::min(1.0, lp.upper[j]) : lp.upper[j]);
  }
  double best = NAN;
  std::vector<double> cur = lo;
  for (;;) {
    bool ok = true;
    for (int i = 0; i < m && ok; ++i) {
      double a = 0;
      for (int j = 0; j < n; ++j) a += lp.rows[i][j] * cur[j];
      const char t = lp.types[i];
      ok = t == 'L' ? a <= lp.b[i] + 1e-9 : t == 'G' ? a >= lp.b[i] - 1e-9 : t == 'E' ? std::fabs(a - lp.b[i]) < 1e-9 : true;
    }
    if (ok) {
      double v = 0;
      for (int j = 0; j < n; ++j) v += lp.c[j] * cur[j];
      if (std::isnan(best) || (lp.sense == TV_MAX ? v > best : v < best)) best = v;
    }
    int j = 0;
    while (j < n && cur[j] >= up[j]) cur[j] = lo[j], ++j;
    if (j == n) break;
    cur[j] += 1;
  }
  return best;
}

}  // namespace mipfix
