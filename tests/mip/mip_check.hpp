// The independent incumbent check of the integer tests: reads the model back
// through the public queries and verifies bounds, rows, integrality and the
// objective of the reported MIP solution.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "tarvo.h"

namespace mipcheck {

// Checks the installed MIP solution of `model` against the model's own data;
// returns the recomputed objective.
inline double verify_incumbent(pTVmodel model, double tol = 1e-6) {
  int m = 0, n = 0, nz = 0;
  TVgetInfo(model, TV_IINFO_NUM_CONS, &m);
  TVgetInfo(model, TV_IINFO_NUM_VARS, &n);
  TVgetInfo(model, TV_IINFO_NUM_NONZ, &nz);
  std::vector<double> c(n + 1), b(m + 1), lo(n + 1), up(n + 1), val(nz + 1), x(n + 1);
  std::vector<int> start(n + 1), len(n + 1), idx(nz + 1);
  std::vector<char> ctype(m + 2, 0), vtype(n + 2, 'C');
  int sense = 1;
  double constant = 0;
  EXPECT_EQ(TVgetLPData(model, &sense, &constant, c.data(), b.data(), ctype.data(), start.data(), len.data(),
                        val.data(), idx.data(), lo.data(), up.data()),
            0);
  TVgetVarType(model, vtype.data());
  double obj = 0;
  EXPECT_EQ(TVgetMIPPrimalSolution(model, x.data()), 0);
  TVgetInfo(model, TV_DINFO_MIP_OBJ, &obj);
  std::vector<double> act(m, 0.0), mag(m, 0.0);
  double recomputed = constant;
  for (int j = 0; j < n; ++j) {
    recomputed += c[j] * x[j];
    EXPECT_GE(x[j], lo[j] - tol * (1 + std::fabs(lo[j]))) << "column " << j;
    EXPECT_LE(x[j], up[j] + tol * (1 + std::fabs(up[j]))) << "column " << j;
    if (vtype[j] == 'I' || vtype[j] == 'B') {
      EXPECT_NEAR(x[j], std::round(x[j]), 1e-6) << "column " << j;
    }
    for (int k = start[j]; k < start[j] + len[j]; ++k) {
      act[idx[k]] += val[k] * x[j];
      mag[idx[k]] = std::max(mag[idx[k]], std::fabs(val[k] * x[j]));
    }
  }
  for (int i = 0; i < m; ++i) {
    const double t = tol * (1 + std::max(std::fabs(b[i]), mag[i]));
    switch (ctype[i]) {
      case 'L': EXPECT_LE(act[i], b[i] + t) << "row " << i; break;
      case 'G': EXPECT_GE(act[i], b[i] - t) << "row " << i; break;
      case 'E': EXPECT_NEAR(act[i], b[i], t) << "row " << i; break;
      default: break;
    }
  }
  EXPECT_NEAR(obj, recomputed, 1e-7 * (1 + std::fabs(obj)));
  return recomputed;
}

}  // namespace mipcheck
