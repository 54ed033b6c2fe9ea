// The narrow LP interface as the MIP tree and the analysis tools drive it:
// every answer is checked against the unscaled data by an optimality test
// written here (bounds, rows, reduced-cost signs, objective from the duals),
// and warm re-solves are compared with fresh cold solves.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <string>

#include "model/model.hpp"
#include "netlib_model.hpp"
#include "simplex/lp_solver.hpp"
#include "tarvo.h"

using tarvo::simplex::LpBasis;
using tarvo::simplex::LpLimits;
using tarvo::simplex::LpOptions;
using tarvo::simplex::LpRestorePoint;
using tarvo::simplex::LpRows;
using tarvo::simplex::LpSolver;
using tarvo::simplex::LpStatus;

namespace {

constexpr double kInf = 1e30;

using Loaded = NetlibModel;

bool load_netlib(Loaded &l, const std::string &name) { return l.load(name); }

// Primal feasibility, dual sign conditions and equal primal and dual objective
// on the unscaled data held by the solver (minimisation or maximisation).
void expect_optimal(const LpSolver &lp, const tarvo::base::ModelData &d, double tol = 1e-6) {
  const int n = lp.cols(), m = lp.rows();
  const auto &x = lp.x();
  const auto &y = lp.duals();
  const auto &dj = lp.reduced_costs();
  const int sense = lp.sense();
  std::vector<double> act(m, 0.0);
  for (int j = 0; j < n; ++j)
    for (int k = d.start[j]; k < d.start[j] + d.length[j]; ++k)
      if (d.rowidx[k] < m) act[d.rowidx[k]] += d.value[k] * x[j];
  double scale = 1.0;
  for (int j = 0; j < n; ++j) {
    scale = std::max(scale, std::fabs(x[j]));
    EXPECT_GE(x[j], lp.col_lower(j) - tol * (1 + std::fabs(lp.col_lower(j)))) << "col " << j;
    EXPECT_LE(x[j], lp.col_upper(j) + tol * (1 + std::fabs(lp.col_upper(j)))) << "col " << j;
  }
  for (int i = 0; i < m; ++i) {
    EXPECT_GE(act[i], lp.row_lower(i) - tol * (1 + std::fabs(act[i]))) << "row " << i;
    EXPECT_LE(act[i], lp.row_upper(i) + tol * (1 + std::fabs(act[i]))) << "row " << i;
  }
  // d_j = c_j - a_j^T y; in minimisation sense d_j >= 0 at a lower bound, <= 0 at an upper bound
  double dual_obj = d.obj_constant, primal_obj = d.obj_constant;
  for (int j = 0; j < n; ++j) {
    double dj_check = lp.cost(j);
    for (int k = d.start[j]; k < d.start[j] + d.length[j]; ++k)
      if (d.rowidx[k] < m) dj_check -= d.value[k] * y[d.rowidx[k]];
    EXPECT_NEAR(dj_check, dj[j], 1e-6 * (1 + std::fabs(lp.cost(j)))) << "col " << j;
    const double dmin = sense * dj[j];
    const bool at_lo = std::fabs(x[j] - lp.col_lower(j)) <= tol * (1 + std::fabs(x[j]));
    const bool at_up = std::fabs(x[j] - lp.col_upper(j)) <= tol * (1 + std::fabs(x[j]));
    if (!at_lo) {
      EXPECT_LE(dmin, 1e-6 * (1 + std::fabs(lp.cost(j)))) << "col " << j;
    }
    if (!at_up) {
      EXPECT_GE(dmin, -1e-6 * (1 + std::fabs(lp.cost(j)))) << "col " << j;
    }
    primal_obj += lp.cost(j) * x[j];
    dual_obj += dj[j] * x[j];
  }
  for (int i = 0; i < m; ++i) dual_obj += y[i] * act[i];
  EXPECT_NEAR(primal_obj, lp.objective(), 1e-7 * (1 + std::fabs(primal_obj)));
  EXPECT_NEAR(dual_obj, primal_obj, 1e-6 * (1 + std::fabs(primal_obj)));
}

double cold_objective(const tarvo::base::ModelData &d, const std::vector<double> &lo, const std::vector<double> &up) {
  LpSolver fresh;
  fresh.load(d, LpOptions{});
  for (int j = 0; j < fresh.cols(); ++j) fresh.set_col_bounds(j, lo[j], up[j]);
  EXPECT_EQ(fresh.solve(TV_METHOD_DSIMPLEX, LpLimits{}), LpStatus::kOptimal);
  return fresh.objective();
}

}  // namespace

TEST(LpSolver, SolvesNetlibModelsToTheReferenceOptimumWithBothMethods) {
  struct Case {
    const char *name;
    double optimum;
  } cases[] = {{"afiro", -464.7531428571428}, {"sc50a", -64.57507705856449}, {"adlittle", 225494.9631623802},
               {"boeing2", -315.0187280152029}, {"kb2", -1749.900129055919}};
  for (const Case &c : cases) {
    Loaded l;
    if (!load_netlib(l, c.name)) GTEST_SKIP() << "netlib models not found";
    for (int method : {TV_METHOD_DSIMPLEX, TV_METHOD_PSIMPLEX}) {
      LpSolver lp;
      lp.load(l.model->data, LpOptions{});
      ASSERT_EQ(lp.solve(method, LpLimits{}), LpStatus::kOptimal) << c.name;
      EXPECT_NEAR(lp.objective(), c.optimum, 1e-7 * (1 + std::fabs(c.optimum))) << c.name;
      expect_optimal(lp, l.model->data);
    }
  }
}

TEST(LpSolver, WarmResolvesAfterBoundChangesMatchColdSolves) {
  Loaded l;
  if (!load_netlib(l, "adlittle")) GTEST_SKIP() << "netlib models not found";
  const auto &d = l.model->data;
  LpSolver lp;
  lp.load(d, LpOptions{});
  ASSERT_EQ(lp.solve(TV_METHOD_DSIMPLEX, LpLimits{}), LpStatus::kOptimal);
  std::vector<double> lo = lp.col_lowers(), up = lp.col_uppers();
  // branch-like changes: tighten columns around their current value, one at a time
  int changed = 0, pivoted = 0;
  const long long factors_before = lp.factorizations();
  for (int j = 0; j < lp.cols() && changed < 12; ++j) {
    const double v = lp.x()[j];
    if (v <= lo[j] + 1e-6) continue;
    up[j] = std::floor(v * 0.5);
    if (up[j] < lo[j]) up[j] = lo[j];
    lp.set_col_bounds(j, lo[j], up[j]);
    LpLimits resolve;
    resolve.keep_factors = true;
    const LpStatus st = lp.solve(TV_METHOD_DSIMPLEX, resolve);
    if (st == LpStatus::kInfeasible) {
      up[j] = d.upper[j];
      lp.set_col_bounds(j, lo[j], up[j]);
      continue;
    }
    ASSERT_EQ(st, LpStatus::kOptimal);
    expect_optimal(lp, d);
    EXPECT_NEAR(lp.objective(), cold_objective(d, lo, up), 1e-6 * (1 + std::fabs(lp.objective())));
    ++changed;
    pivoted += lp.iterations() > 0;
  }
  EXPECT_GT(changed, 3);
  // a re-solve of a few pivots ends on its updated factors, not on a new factorisation
  EXPECT_LT(lp.factorizations() - factors_before, pivoted);
}

TEST(LpSolver, StoredBasisRestartsWithoutIterationsAndSurvivesRowEdits) {
  Loaded l;
  if (!load_netlib(l, "sc50a")) GTEST_SKIP() << "netlib models not found";
  const auto &d = l.model->data;
  LpSolver lp;
  lp.load(d, LpOptions{});
  ASSERT_EQ(lp.solve(TV_METHOD_DSIMPLEX, LpLimits{}), LpStatus::kOptimal);
  const double opt = lp.objective();
  LpBasis b = lp.basis();
  ASSERT_EQ(static_cast<int>(b.state.size()), lp.cols() + lp.rows());

  LpSolver other;
  other.load(d, LpOptions{});
  ASSERT_TRUE(other.set_basis(b));
  ASSERT_EQ(other.solve(TV_METHOD_DSIMPLEX, LpLimits{}), LpStatus::kOptimal);
  EXPECT_EQ(other.iterations(), 0);
  EXPECT_NEAR(other.objective(), opt, 1e-9 * (1 + std::fabs(opt)));

  // a cut through the optimum: the objective (minimised) can only rise
  LpRows rows;
  std::vector<int> idx;
  std::vector<double> val;
  double act = 0;
  for (int j = 0; j < lp.cols(); ++j)
    if (lp.x()[j] > 1e-6) {
      idx.push_back(j);
      val.push_back(1.0);
      act += lp.x()[j];
    }
  ASSERT_FALSE(idx.empty());
  rows.add(idx, val, -kInf, act * 0.9);
  const int m0 = lp.rows();
  lp.add_rows(rows);
  ASSERT_EQ(lp.rows(), m0 + 1);
  std::vector<int> got_idx;
  std::vector<double> got_val;
  lp.get_row(m0, got_idx, got_val);
  EXPECT_EQ(got_idx, idx);
  EXPECT_EQ(got_val, val);
  ASSERT_EQ(lp.solve(TV_METHOD_DSIMPLEX, LpLimits{}), LpStatus::kOptimal);
  EXPECT_GE(lp.objective(), opt - 1e-7);
  EXPECT_LE(lp.row_activity()[m0], act * 0.9 + 1e-6);

  std::vector<char> drop(lp.rows(), 0);
  drop[m0] = 1;
  lp.delete_rows(drop);
  ASSERT_EQ(lp.rows(), m0);
  ASSERT_EQ(lp.solve(TV_METHOD_DSIMPLEX, LpLimits{}), LpStatus::kOptimal);
  EXPECT_NEAR(lp.objective(), opt, 1e-7 * (1 + std::fabs(opt)));
  expect_optimal(lp, d);
}

// Strong branching: trial solves of branch-like bound changes, each followed
// by a return to the node's restore point. Every trial must agree with a cold
// solve, the restored state must be the node's (basis, objective, no
// iterations to re-optimise), and a restore point must refuse an LP whose
// rows changed or another solver.
TEST(LpSolver, RestorePointsReturnToTheNodeAfterTrialSolves) {
  Loaded l;
  if (!load_netlib(l, "adlittle")) GTEST_SKIP() << "netlib models not found";
  const auto &d = l.model->data;
  LpSolver lp;
  lp.load(d, LpOptions{});
  ASSERT_EQ(lp.solve(TV_METHOD_DSIMPLEX, LpLimits{}), LpStatus::kOptimal);
  const double node_obj = lp.objective();
  const LpBasis node_basis = lp.basis();
  const std::vector<double> node_x = lp.x();
  LpRestorePoint point;
  ASSERT_TRUE(lp.save(point));
  std::vector<double> lo = lp.col_lowers(), up = lp.col_uppers();
  int trials = 0;
  for (int j = 0; j < lp.cols() && trials < 16; ++j) {
    const double v = node_x[j];
    if (v <= lo[j] + 1e-6) continue;
    for (int side = 0; side < 2; ++side) {
      std::vector<double> tlo = lo, tup = up;
      if (side == 0)
        tup[j] = std::max(lo[j], std::floor(0.5 * v));
      else
        tlo[j] = std::ceil(1.5 * v + 1);
      if (tlo[j] > tup[j]) continue;
      lp.set_col_bounds(j, tlo[j], tup[j]);
      const LpStatus st = lp.solve(TV_METHOD_DSIMPLEX, LpLimits{});
      if (st == LpStatus::kOptimal) {
        expect_optimal(lp, d);
        EXPECT_NEAR(lp.objective(), cold_objective(d, tlo, tup), 1e-6 * (1 + std::fabs(lp.objective()))) << j;
        ++trials;
      }
      lp.set_col_bounds(j, lo[j], up[j]);
      ASSERT_TRUE(lp.restore(point));
      EXPECT_EQ(lp.basis().state, node_basis.state) << j;
      EXPECT_EQ(lp.status(), LpStatus::kOptimal);
      EXPECT_EQ(lp.objective(), node_obj);
      EXPECT_EQ(lp.x(), node_x);
    }
  }
  EXPECT_GT(trials, 8);
  ASSERT_EQ(lp.solve(TV_METHOD_DSIMPLEX, LpLimits{}), LpStatus::kOptimal);
  EXPECT_EQ(lp.iterations(), 0);
  EXPECT_NEAR(lp.objective(), node_obj, 1e-9 * (1 + std::fabs(node_obj)));
  expect_optimal(lp, d);

  // a cutoff set after the save condemns the restored optimum
  ASSERT_TRUE(lp.restore(point));
  lp.set_cutoff(node_obj - 1 - 1e-3 * std::fabs(node_obj));
  ASSERT_TRUE(lp.restore(point));
  EXPECT_EQ(lp.status(), LpStatus::kCutoff);
  lp.clear_cutoff();

  LpSolver other;
  other.load(d, LpOptions{});
  ASSERT_EQ(other.solve(TV_METHOD_DSIMPLEX, LpLimits{}), LpStatus::kOptimal);
  EXPECT_FALSE(other.restore(point));
  LpRows rows;
  rows.add({0}, {1.0}, -kInf, kInf);
  lp.add_rows(rows);
  EXPECT_FALSE(lp.restore(point));
  ASSERT_EQ(lp.solve(TV_METHOD_DSIMPLEX, LpLimits{}), LpStatus::kOptimal);
  EXPECT_NEAR(lp.objective(), node_obj, 1e-7 * (1 + std::fabs(node_obj)));
  EXPECT_TRUE(lp.save(point));
  EXPECT_TRUE(lp.restore(point));
}

TEST(LpSolver, TableauRowsHoldAtTheSolution) {
  Loaded l;
  if (!load_netlib(l, "afiro")) GTEST_SKIP() << "netlib models not found";
  LpSolver lp;
  lp.load(l.model->data, LpOptions{});
  ASSERT_EQ(lp.solve(TV_METHOD_DSIMPLEX, LpLimits{}), LpStatus::kOptimal);
  const int n = lp.cols(), m = lp.rows();
  // z = (x, s) with s_i = -activity_i satisfies [A I] z = 0, hence every tableau row
  std::vector<double> z(n + m);
  for (int j = 0; j < n; ++j) z[j] = lp.x()[j];
  for (int i = 0; i < m; ++i) z[n + i] = -lp.row_activity()[i];
  int checked = 0;
  std::vector<double> row;
  for (int v = 0; v < n + m; ++v) {
    if (!lp.tableau_row(v, row)) continue;
    double s = 0, mag = 0;
    for (int k = 0; k < n + m; ++k) {
      s += row[k] * z[k];
      mag += std::fabs(row[k] * z[k]);
    }
    EXPECT_NEAR(s, 0.0, 1e-8 * (1 + mag)) << "basic variable " << v;
    // the sparse form lists exactly the nonzeros other than the unit at v
    std::vector<int> idx;
    std::vector<double> val;
    ASSERT_TRUE(lp.tableau_row(v, idx, val));
    std::vector<double> again(n + m, 0.0);
    again[v] = 1.0;
    for (size_t t = 0; t < idx.size(); ++t) {
      EXPECT_NE(idx[t], v);
      again[idx[t]] = val[t];
    }
    EXPECT_EQ(again, row) << "basic variable " << v;
    ++checked;
  }
  EXPECT_EQ(checked, m);
}

TEST(LpSolver, VerdictsForCutoffInfeasibleAndLimits) {
  Loaded l;
  if (!load_netlib(l, "adlittle")) GTEST_SKIP() << "netlib models not found";
  const auto &d = l.model->data;
  {
    LpSolver lp;
    lp.load(d, LpOptions{});
    ASSERT_EQ(lp.solve(TV_METHOD_DSIMPLEX, LpLimits{}), LpStatus::kOptimal);
    const double opt = lp.objective();
    // after a branch-like change the dual bound passes a cutoff just below the optimum
    lp.set_cutoff(opt * (1 - 1e-3) - 1);
    LpSolver cold;
    cold.load(d, LpOptions{});
    cold.set_cutoff(opt * (1 - 1e-3) - 1);
    EXPECT_EQ(cold.solve(TV_METHOD_DSIMPLEX, LpLimits{}), LpStatus::kCutoff);
  }
  {
    LpSolver lp;
    lp.load(d, LpOptions{});
    LpLimits lim;
    lim.iter_limit = 3;
    EXPECT_EQ(lp.solve(TV_METHOD_DSIMPLEX, lim), LpStatus::kIterLimit);
    // the run continues from where it stopped
    EXPECT_EQ(lp.solve(TV_METHOD_DSIMPLEX, LpLimits{}), LpStatus::kOptimal);
    std::atomic<bool> stop{true};
    LpSolver other;
    other.load(d, LpOptions{});
    lim = LpLimits{};
    lim.interrupt = &stop;
    EXPECT_EQ(other.solve(TV_METHOD_DSIMPLEX, lim), LpStatus::kInterrupted);
  }
  {
    // row 0 of a copy forced beyond what the columns can reach
    LpSolver lp;
    lp.load(d, LpOptions{});
    double reach = 0;
    for (int j = 0; j < lp.cols(); ++j)
      for (int k = d.start[j]; k < d.start[j] + d.length[j]; ++k)
        if (d.rowidx[k] == 0 && lp.col_upper(j) < kInf) reach += std::fabs(d.value[k]) * lp.col_upper(j);
    bool bounded_row = true;
    for (int j = 0; j < lp.cols(); ++j)
      for (int k = d.start[j]; k < d.start[j] + d.length[j]; ++k)
        if (d.rowidx[k] == 0 && lp.col_upper(j) >= kInf) bounded_row = false;
    if (!bounded_row) {
      for (int j = 0; j < lp.cols(); ++j) lp.set_col_bounds(j, 0.0, 10.0);
      reach = 1e6;
    }
    lp.set_row_bounds(0, reach * 10 + 1e7, kInf);
    EXPECT_EQ(lp.solve(TV_METHOD_DSIMPLEX, LpLimits{}), LpStatus::kInfeasible);
  }
}
