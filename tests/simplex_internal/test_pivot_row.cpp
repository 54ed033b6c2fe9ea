// The pivot row priced row-wise (over the nonbasic part of the row copy that
// every pivot keeps in step) and column-wise must agree with a product formed
// directly from the column data, on fresh and on updated bases.
#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <vector>

#include "netlib_model.hpp"
#include "simplex/glp.hpp"

using namespace tarvo::simplex;

namespace {

// rho^T [A I] over the nonbasic variables, straight from the column copy.
std::map<int, double> reference_row(const Glp &g, const tarvo::xlu::Vector &rho) {
  std::vector<double> r(g.m, 0.0);
  for_each_position(rho, g.m, [&](int i) { r[i] = rho.array[i]; });
  std::map<int, double> out;
  for (int j = 0; j < g.n + g.m; ++j) {
    if (g.state[j] == kBasic) continue;
    double s = 0;
    for (int k = g.col_start[j]; k < g.col_start[j + 1]; ++k) s += g.col_value[k] * r[g.col_index[k]];
    if (s != 0.0) out[j] = s;
  }
  return out;
}

// Compares the pivot row in g with the reference; returns the mismatches.
int mismatches(const Glp &g, const std::map<int, double> &ref, const char *what) {
  int bad = 0;
  std::vector<char> listed(g.n + g.m, 0);
  for (const int j : g.alpha_list) {
    if (listed[j]++) {
      ADD_FAILURE() << what << ": " << j << " listed twice";
      ++bad;
    }
    if (g.state[j] == kBasic) {
      ADD_FAILURE() << what << ": basic " << j << " in the pivot row";
      ++bad;
    }
  }
  for (int j = 0; j < g.n + g.m; ++j) {
    const auto it = ref.find(j);
    const double want = it == ref.end() ? 0.0 : it->second;
    const double got = listed[j] ? g.alpha_row[j] : 0.0;
    if (!listed[j] && g.alpha_row[j] != 0.0) {
      ADD_FAILURE() << what << ": unlisted nonzero at " << j;
      ++bad;
    }
    if (std::fabs(got - want) > 1e-12 * (1.0 + std::fabs(want))) {
      if (++bad <= 5) ADD_FAILURE() << what << ": alpha[" << j << "] = " << got << ", expected " << want;
    }
  }
  return bad;
}

void check_rows(Glp &g, const char *name) {
  for (int p = 0; p < g.m; p += std::max(1, g.m / 25)) {
    ASSERT_EQ(g.lu.row_of_inverse(p, g.work_row), 0);
    const std::map<int, double> ref = reference_row(g, g.work_row);
    compute_pivot_row(g, g.work_row, PriceMode::kByRow);
    EXPECT_EQ(mismatches(g, ref, "by row"), 0) << name << " row " << p;
    compute_pivot_row(g, g.work_row, PriceMode::kByColumn);
    EXPECT_EQ(mismatches(g, ref, "by column"), 0) << name << " row " << p;
    compute_pivot_row(g, g.work_row);
    EXPECT_EQ(mismatches(g, ref, "automatic"), 0) << name << " row " << p;
  }
}

}  // namespace

// The row copy follows the pivots of a dual run between factorisations
// (refactorisation interval above the pivots made), and is rebuilt after a
// factorisation that changed the basis outside a pivot.
TEST(PivotRow, RowAndColumnPricingAgreeAcrossPivots) {
  for (const char *name : {"afiro", "sc105", "share2b", "scagr25", "bandm"}) {
    NetlibModel l;
    if (!l.load(name)) GTEST_SKIP() << "netlib data not found";
    LpOptions opt;
    opt.refactor_freq = 1000;
    Glp g;
    build_glp(g, l.data(), opt);
    RunControl rc;
    for (const double limit : {0.0, 7.0, 40.0, 150.0}) {
      rc.iter_limit = limit;
      g.xstat = XSTAT_CONT;
      ASSERT_EQ(dual_simplex(g, rc), kRunOk) << name;
      if (!g.factored || g.wfact != WFACT_NO) {
        ASSERT_EQ(refactor(g), 0) << name;
      }
      check_rows(g, name);
    }
    // a basis installed from outside (the slack basis) with a new factorisation
    slack_basis(g);
    ASSERT_EQ(refactor(g), 0);
    check_rows(g, name);
  }
}

// After states change outside the pivots (a factorisation that swapped in
// slacks, a restored basis) the copy is brought in step by moving the columns
// whose side differs; each row must then list exactly its nonbasic entries.
TEST(PivotRow, RowCopyFollowsStatesChangedOutsidePivots) {
  // 3 x 5, column j has entries in rows j % 3 and (j + 1) % 3
  const int m = 3, n = 5;
  std::vector<int> start{0}, index;
  std::vector<double> value;
  for (int j = 0; j < n; ++j) {
    index.push_back(j % 3);
    index.push_back((j + 1) % 3);
    value.push_back(j + 1.0);
    value.push_back(-(j + 1.0));
    start.push_back(static_cast<int>(index.size()));
  }
  const signed char basic = 1, lower = 0;
  auto check = [&](const NonbasicRows &R, const std::vector<signed char> &state) {
    std::int64_t total = 0;
    for (int i = 0; i < m; ++i) {
      std::map<int, double> want, got;
      for (int j = 0; j < n; ++j)
        for (int k = start[j]; k < start[j + 1]; ++k)
          if (index[k] == i && state[j] != basic) want[j] = value[k];
      for (int t = R.row_begin(i); t < R.nonbasic_end(i); ++t) got[R.column()[t]] = R.value()[t];
      EXPECT_EQ(got, want) << "row " << i;
      total += static_cast<std::int64_t>(want.size());
    }
    EXPECT_EQ(R.nonbasic_entries(), total);
  };
  std::vector<signed char> state{basic, lower, basic, lower, lower};
  NonbasicRows R;
  EXPECT_FALSE(R.sync(m, n, start.data(), index.data(), state.data(), basic, 1));  // never built
  R.build(m, n, start.data(), index.data(), value.data(), state.data(), basic, 1);
  check(R, state);
  // one pivot tracked, then two changes it never saw
  R.move_column(1, true, start.data(), index.data());
  state[1] = basic;
  state[0] = lower;
  state[4] = basic;
  ASSERT_TRUE(R.sync(m, n, start.data(), index.data(), state.data(), basic, 2));
  EXPECT_TRUE(R.current(2));
  check(R, state);
  // a copy that is out of step with itself, or of another matrix, is rebuilt
  R.move_column(1, true, start.data(), index.data());  // already basic
  EXPECT_FALSE(R.sync(m, n, start.data(), index.data(), state.data(), basic, 3));
  R.build(m, n, start.data(), index.data(), value.data(), state.data(), basic, 3);
  std::vector<int> shorter(start.begin(), start.end());
  shorter[n] -= 1;
  EXPECT_FALSE(R.sync(m, n, shorter.data(), index.data(), state.data(), basic, 4));
}
