// Dual steepest-edge weights against norms computed independently from a
// dense copy of the basis matrix: exact after installation, and still close
// after many updated iterations.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <string>
#include <vector>

#include "netlib_model.hpp"
#include "simplex/glp.hpp"
#include "tarvo.h"

using namespace tarvo::simplex;

namespace {

// ||e_p' B^-1||^2 for every position p, by dense Gaussian elimination on B'.
std::vector<double> dense_norms(const Glp &g) {
  const int m = g.m;
  std::vector<double> norms(m);
  for (int p = 0; p < m; ++p) {
    // solve B' y = e_p
    std::vector<std::vector<double>> a(m, std::vector<double>(m + 1, 0.0));
    for (int q = 0; q < m; ++q) {
      const int j = g.head[q];
      for (int k = g.col_start[j]; k < g.col_start[j + 1]; ++k) a[q][g.col_index[k]] = g.col_value[k];
      a[q][m] = q == p ? 1.0 : 0.0;
    }
    for (int c = 0; c < m; ++c) {
      int piv = c;
      for (int r = c + 1; r < m; ++r)
        if (std::fabs(a[r][c]) > std::fabs(a[piv][c])) piv = r;
      std::swap(a[c], a[piv]);
      for (int r = 0; r < m; ++r) {
        if (r == c || a[r][c] == 0.0) continue;
        const double f = a[r][c] / a[c][c];
        for (int k = c; k <= m; ++k) a[r][k] -= f * a[c][k];
      }
    }
    double s = 0;
    for (int c = 0; c < m; ++c) s += (a[c][m] / a[c][c]) * (a[c][m] / a[c][c]);
    norms[p] = s;
  }
  return norms;
}


}  // namespace

TEST(DseWeights, ExactAfterInstallAndCloseAfterUpdates) {
  for (const char *name : {"afiro", "sc50a", "adlittle"}) {
    NetlibModel l;
    if (!l.load(name)) GTEST_SKIP() << "netlib data not found";
    Glp g;
    build_glp(g, l.data(), LpOptions{});
    RunControl rc;
    rc.iter_limit = 15;
    ASSERT_EQ(dual_simplex(g, rc), kRunOk);
    ASSERT_GT(g.iterations, 0) << name;
    // updated weights after the iterations: steepest-edge updates are exact in
    // exact arithmetic, so they track the true norms closely
    if (g.wfact != WFACT_NO || !g.factored) {
      ASSERT_EQ(refactor(g), 0);
    }
    std::vector<double> truth = dense_norms(g);
    for (int p = 0; p < g.m; ++p)
      EXPECT_NEAR(g.weight[p], truth[p], 1e-6 * (1 + truth[p])) << name << " updated, position " << p;
    // an installed basis gets its norms computed, not reset to 1
    g.weights_exact = false;
    std::fill(g.weight.begin(), g.weight.end(), 1.0);
    compute_dse_weights(g);
    for (int p = 0; p < g.m; ++p)
      EXPECT_NEAR(g.weight[p], std::max(truth[p], 1e-4), 1e-9 * (1 + truth[p])) << name << " exact, position " << p;
  }
}
