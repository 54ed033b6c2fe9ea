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

namespace {

// Nonbasic (column, value) pairs of each row, in a canonical order.
std::vector<std::map<int, double>> nonbasic_by_row(const tarvo::simplex::NonbasicRows &R, int m) {
  std::vector<std::map<int, double>> rows(m);
  for (int i = 0; i < m; ++i)
    for (int t = R.row_begin(i); t < R.nonbasic_end(i); ++t) rows[i][R.column()[t]] = R.value()[t];
  return rows;
}

}  // namespace

// A copy brought in step by sync after the states jumped (a loaded or
// restored basis) must equal one built from scratch for those states, and a
// copy invalidated for a new matrix must follow that matrix.
TEST(PivotRow, NonbasicRowsSyncMatchesRebuild) {
  // 3 rows, 4 columns: column j has entries in rows j%3 and (j+1)%3
  const int m = 3, n = 4;
  std::vector<int> start{0, 2, 4, 6, 8}, index{0, 1, 1, 2, 2, 0, 0, 1};
  std::vector<double> value{1, 2, 3, 4, 5, 6, 7, 8};
  const signed char kB = 1, kN = 0;
  std::vector<signed char> state{kB, kN, kB, kN};
  tarvo::simplex::NonbasicRows synced;
  synced.sync(m, n, start.data(), index.data(), value.data(), state.data(), kB, 1);
  std::uint32_t seed = 7;
  for (int round = 0; round < 50; ++round) {
    for (int j = 0; j < n; ++j) {
      seed = seed * 1664525u + 1013904223u;
      if (seed >> 31) state[j] = state[j] == kB ? kN : kB;
    }
    synced.states_changed();
    synced.sync(m, n, start.data(), index.data(), value.data(), state.data(), kB, 2 + round);
    tarvo::simplex::NonbasicRows fresh;
    fresh.build(m, n, start.data(), index.data(), value.data(), state.data(), kB, 0);
    ASSERT_EQ(synced.nonbasic_entries(), fresh.nonbasic_entries()) << "round " << round;
    ASSERT_EQ(nonbasic_by_row(synced, m), nonbasic_by_row(fresh, m)) << "round " << round;
  }
  // a new matrix (other values, one column longer) after invalidate
  value.assign({9, 9, 9, 9, 9, 9, 9, 9, 9});
  start.back() = 9;
  index.push_back(2);
  synced.invalidate();
  synced.sync(m, n, start.data(), index.data(), value.data(), state.data(), kB, 100);
  tarvo::simplex::NonbasicRows fresh;
  fresh.build(m, n, start.data(), index.data(), value.data(), state.data(), kB, 0);
  EXPECT_EQ(nonbasic_by_row(synced, m), nonbasic_by_row(fresh, m));
}
