// Cuts on MIPLIB 3 models and on small problems written here: every cut keeps
// the known optimum (or every integer point of an enumerable model), the root
// loop raises the bound without passing the optimum, the pool keeps its limit
// and its activity rules, and unsafe cuts never get through.
#include <algorithm>
#include <cstdio>
#include <iostream>
#include <map>
#include <numeric>
#include <random>

#include "mip/conflict_graph.hpp"
#include "mip/cutpool.hpp"
#include "mip/implied_bounds.hpp"
#include "mip/knapsack_side.hpp"
#include "mip/separators.hpp"
#include "mip_fixture.hpp"

using namespace mip_test;
using tarvo::mip::Cut;
using tarvo::mip::CutPool;
using tarvo::mip::CutSafety;
using tarvo::mip::ExtendedVars;
using tarvo::mip::SepInput;

namespace {

void set_param(tarvo::base::ParamValues &p, int id, double v) { p.store(tarvo::base::params::position(id), v); }

// Activity excess of a cut at x, relative to the size of its terms.
double excess(const std::vector<int> &idx, const std::vector<double> &val, double rhs, const double *x) {
  double act = 0, mag = std::fabs(rhs);
  for (size_t k = 0; k < idx.size(); ++k) {
    act += val[k] * x[idx[k]];
    mag += std::fabs(val[k] * x[idx[k]]);
  }
  return (act - rhs) / (1 + mag);
}

void expect_keeps_optimum(const MipModel &mm, const CutPool &pool) {
  for (int k = 0; k < pool.size(); ++k) {
    const auto &c = pool.cut(k);
    double e = excess(c.index, c.value, c.rhs, mm.optimum.data());
    if (c.sense == 'G') e = -e;
    EXPECT_LE(e, 1e-7) << "cut " << k << " tagged " << c.tag << " cuts off the known optimum";
  }
}

// The root loop on a loaded model; the pool it filled.
std::unique_ptr<CutPool> root_pool(MipModel &mm) {
  CheckingSink sink(mm.prob);
  auto ctx = mm.context(sink);
  auto pool = tarvo::mip::make_cut_pool(mm.prob);
  tarvo::mip::root_cut_loop(ctx, *pool);
  return pool;
}

struct GapCase {
  const char *model;
  double min_gap_closed;  // fraction of the integrality gap the root loop must close
};

class RootLoop : public ::testing::TestWithParam<GapCase> {};

TEST_P(RootLoop, RaisesTheBoundAndKeepsTheOptimum) {
  MipModel mm;
  LOAD_OR_SKIP(mm, GetParam().model);
  ASSERT_FALSE(mm.optimum.empty());
  const double opt = tarvo::mip::objective_of(mm.prob, mm.optimum.data());
  const auto v = tarvo::mip::check_point(mm.prob, mm.optimum.data(), 1e-6);
  ASSERT_LE(std::max({v.bound, v.row, v.integrality}), 1e-5) << "stored optimum does not fit the model";
  CheckingSink sink(mm.prob);
  // fewer passes than the default keep the suite short; the gap limits allow for it
  set_param(mm.params, TV_IPARAM_MIP_MAXCUTPASS_TOP, 30);
  auto ctx = mm.context(sink);
  auto pool = tarvo::mip::make_cut_pool(mm.prob);
  auto r = tarvo::mip::root_cut_loop(ctx, *pool);
  EXPECT_EQ(r.status, LpStatus::kOptimal);
  EXPECT_EQ(r.bound, mm.lp.objective());
  EXPECT_LE(r.rounds, 30);
  expect_keeps_optimum(mm, *pool);
  const double bound = mm.lp.objective();
  EXPECT_LE(bound, opt + 1e-6 * (1 + std::fabs(opt)));
  EXPECT_GE(bound, mm.lp_bound - 1e-6 * (1 + std::fabs(mm.lp_bound)));
  const double closed = (bound - mm.lp_bound) / (opt - mm.lp_bound);
  std::cout << GetParam().model << ": lp " << mm.lp_bound << " after cuts " << bound << " optimum " << opt
            << " gap closed " << closed << " cuts " << pool->size() << " passes " << r.rounds << "\n";
  EXPECT_GE(closed, GetParam().min_gap_closed - 1e-9);
  EXPECT_LE(pool->size(), static_cast<int>(0.75 * mm.prob.m));
  EXPECT_TRUE(mm.logged("Start cuts loop"));
  EXPECT_TRUE(mm.logged("End cuts loop"));
}

INSTANTIATE_TEST_SUITE_P(Miplib3, RootLoop,
                         ::testing::Values(GapCase{"p0033", 0.85}, GapCase{"p0201", 0.5}, GapCase{"p0282", 0.8},
                                           GapCase{"lseu", 0.5}, GapCase{"mod008", 0.05},
                                           GapCase{"fixnet6", 0.8}, GapCase{"vpm1", 0.5}, GapCase{"vpm2", 0.5},
                                           GapCase{"gesa2", 0.5}, GapCase{"bell5", 0.8},
                                           GapCase{"egout", 0.5}, GapCase{"stein27", 0.0},
                                           GapCase{"khb05250", 0.99}, GapCase{"p0548", 0.5},
                                           GapCase{"mod010", 0.5}, GapCase{"gt2", 0.6}, GapCase{"pp08a", 0.7},
                                           GapCase{"set1ch", 0.99}, GapCase{"qnet1", 0.7}),
                         [](const auto &info) { return std::string(info.param.model); });

// Cuts made at a node whose bounds exclude the optimum must still keep it:
// they enter a pool shared by the whole tree.
TEST(NodeLoop, CutsAtANodeAwayFromTheOptimumAreGloballyValid) {
  int node_cuts = 0;
  for (const char *name : {"vpm2", "p0201", "fixnet6", "khb05250"}) {
    MipModel mm;
    if (!mm.load(name) || mm.optimum.empty()) continue;
    CheckingSink sink(mm.prob);
    auto ctx = mm.context(sink);
    auto pool = tarvo::mip::make_cut_pool(mm.prob);
    tarvo::mip::root_cut_loop(ctx, *pool);
    const auto root_basis = mm.lp.basis();
    const int root_rows = mm.lp.rows();
    // branch away from the optimum on the most fractional column
    int branch = -1;
    double best = 0;
    for (int j = 0; j < mm.prob.n; ++j) {
      const double f = std::fabs(mm.lp.x()[j] - std::round(mm.lp.x()[j]));
      if (mm.prob.is_int[j] && f > best) best = f, branch = j;
    }
    if (branch < 0) continue;
    const double v = mm.lp.x()[branch];
    if (mm.optimum[branch] >= std::ceil(v))
      mm.lp.set_col_bounds(branch, mm.prob.col_lo[branch], std::floor(v));
    else
      mm.lp.set_col_bounds(branch, std::ceil(v), mm.prob.col_up[branch]);
    if (mm.lp.solve(TV_METHOD_DSIMPLEX, {}) != LpStatus::kOptimal) continue;
    ctx.root = false;
    ctx.depth = 1;
    ctx.nodes = 1;
    const int before = pool->size();
    auto r = tarvo::mip::node_cut_loop(ctx, *pool);
    EXPECT_LE(r.rounds, 2) << name;  // TV_IPARAM_MIP_MAXCUTPASS_TREE
    node_cuts += r.cuts_added;
    EXPECT_GE(pool->size(), before);
    expect_keeps_optimum(mm, *pool);
    // the root basis taken before the node's cuts fits again once padded
    auto b = root_basis;
    tarvo::mip::pad_basis(b, mm.prob.n, mm.lp.rows());
    EXPECT_EQ(static_cast<int>(b.state.size()), mm.prob.n + mm.lp.rows());
    EXPECT_TRUE(mm.lp.set_basis(b) || mm.lp.rows() == root_rows);
    EXPECT_TRUE(pool->in_step_with(mm.lp));
  }
  EXPECT_GT(node_cuts, 0);
}

// Every candidate of every separator, before any filtering by the loop, keeps the optimum.
TEST(Separators, EveryCandidateKeepsTheOptimum) {
  for (const char *name :
       {"p0033", "fixnet6", "vpm2", "gesa2", "bell5", "khb05250", "mod008", "p0282", "p0548", "set1ch", "modglob",
        "qnet1"}) {
    MipModel mm;
    if (!mm.load(name) || mm.optimum.empty()) continue;
    CutPool pool(mm.prob);
    ExtendedVars ext;
    ext.build(mm.prob, pool, mm.lp);
    SepInput in{mm.prob, mm.lp, pool, ext, mm.lp.x().data(), 1e-6, 6, 5000, CutSafety{}};
    in.aggregated_flow_covers = true;
    std::vector<Cut> cands;
    tarvo::mip::separate_gomory(in, cands);
    tarvo::mip::separate_cmir(in, cands);
    tarvo::mip::separate_knapsack_covers(in, cands);
    tarvo::mip::separate_objective_cut(in, mm.lp.objective(), cands);
    tarvo::mip::separate_row_tightening(in, true, true, cands);
    tarvo::mip::separate_cliques(in, pool.conflict_graph(), cands);
    tarvo::mip::separate_implied_bounds(in, pool.implied_bounds(), cands);
    tarvo::mip::separate_zerohalf(in, cands);
    tarvo::mip::separate_gub_covers(in, pool.conflict_graph(), cands);
    tarvo::mip::separate_disaggregation(in, true, true, cands);
    tarvo::mip::separate_flow_covers(in, cands);
    tarvo::mip::separate_flow_paths(in, cands);
    tarvo::mip::separate_lifted_flow_covers(in, cands);
    tarvo::mip::separate_soft_knapsacks(in, cands);
    tarvo::mip::separate_cardinality(in, pool.conflict_graph(), cands);
    tarvo::mip::separate_tableau_flow_covers(in, cands);
    tarvo::mip::separate_lp_rounding(in, cands);
    tarvo::mip::separate_disjunctive(in, tarvo::mip::DisjunctiveLimits{}, cands);
    EXPECT_FALSE(cands.empty()) << name;
    std::map<std::string, int> per_tag;
    for (const Cut &c : cands) per_tag[c.tag]++;
    std::cout << name << ":";
    for (const auto &[tag, count] : per_tag) std::cout << " " << tag << " " << count;
    std::cout << "\n";
    for (const Cut &c : cands) {
      EXPECT_LE(excess(c.index, c.value, c.rhs, mm.optimum.data()), 1e-7) << name << " " << c.tag;
      EXPECT_GT(excess(c.index, c.value, c.rhs, mm.lp.x().data()), 0.0) << name << " " << c.tag << " not violated";
    }
  }
}

// With every cut counted dense and room for k, the Gomory separator builds the
// k most efficacious cuts of its full set, not the first k rows it meets.
TEST(Separators, GomoryBuildsOnlyTheMostEfficaciousDenseCuts) {
  constexpr int k = 3;
  int checked = 0;
  for (const char *name : {"p0033", "fixnet6", "vpm2", "gesa2", "bell5", "qnet1", "p0282"}) {
    MipModel mm;
    if (!mm.load(name)) continue;
    CutPool pool(mm.prob);
    ExtendedVars ext;
    ext.build(mm.prob, pool, mm.lp);
    SepInput in{mm.prob, mm.lp, pool, ext, mm.lp.x().data(), 1e-6, 6, 5000, CutSafety{}};
    std::vector<Cut> all, best;
    tarvo::mip::separate_gomory(in, all);
    if (static_cast<int>(all.size()) <= k) continue;
    in.dense_nnz = 0;
    in.max_dense = k;
    tarvo::mip::separate_gomory(in, best);
    ASSERT_LE(static_cast<int>(best.size()), k) << name;
    ASSERT_FALSE(best.empty()) << name;
    std::vector<double> eff;
    for (const Cut &c : all) eff.push_back(c.efficacy);
    std::sort(eff.rbegin(), eff.rend());
    for (const Cut &c : best) {
      const bool in_all = std::any_of(all.begin(), all.end(), [&](const Cut &a) {
        return a.index == c.index && a.value == c.value && a.rhs == c.rhs;
      });
      EXPECT_TRUE(in_all) << name;
      // ranked before tidying: near-ties may swap, no more
      EXPECT_GE(c.efficacy, 0.9 * eff[k - 1]) << name;
    }
    checked++;
  }
  EXPECT_GT(checked, 0);
}

// A small pure-binary model whose integer points can all be listed.
struct Enumerable {
  MipProblem prob;
  tarvo::base::ModelData data;
  LpSolver lp;
  // rows: lo <= a x <= up
  Enumerable(const std::vector<std::vector<double>> &rows, const std::vector<double> &lo,
             const std::vector<double> &up, const std::vector<double> &cost) {
    const int m = static_cast<int>(rows.size()), n = static_cast<int>(cost.size());
    prob.m = m;
    prob.n = n;
    prob.c = cost;
    prob.col_lo.assign(n, 0.0);
    prob.col_up.assign(n, 1.0);
    prob.is_int.assign(n, 1);
    prob.row_lo = lo;
    prob.row_up = up;
    prob.col_start.assign(n + 1, 0);
    for (int j = 0; j < n; ++j) {
      for (int i = 0; i < m; ++i)
        if (rows[i][j] != 0) prob.col_index.push_back(i), prob.col_value.push_back(rows[i][j]);
      prob.col_start[j + 1] = static_cast<int>(prob.col_index.size());
    }
    prob.build_rows();
    data.m = m;
    data.n = n;
    data.sense = TV_MIN;
    data.c = cost;
    data.lower = prob.col_lo;
    data.upper = prob.col_up;
    data.start = prob.col_start;
    data.length.resize(n);
    for (int j = 0; j < n; ++j) data.length[j] = prob.col_start[j + 1] - prob.col_start[j];
    data.rowidx = prob.col_index;
    data.value = prob.col_value;
    data.nz = static_cast<int>(data.value.size());
    for (int i = 0; i < m; ++i) {
      if (lo[i] <= -1e30) {
        data.ctype.push_back('L');
        data.b.push_back(up[i]);
      } else {
        data.ctype.push_back('G');
        data.b.push_back(lo[i]);
      }
    }
    lp.load(data, tarvo::simplex::LpOptions{});
  }
  // Calls f on every feasible 0/1 point.
  template <class F>
  void each_point(F f) const {
    std::vector<double> x(prob.n);
    for (long mask = 0; mask < (1L << prob.n); ++mask) {
      for (int j = 0; j < prob.n; ++j) x[j] = (mask >> j) & 1;
      const auto v = tarvo::mip::check_point(prob, x.data(), 1e-9);
      if (v.row <= 1e-9) f(x);
    }
  }
};

// The cut holds for every integer setting of the columns 0..k-1 of e within
// their bounds: its left side, maximised over the other (continuous) columns
// by an LP, stays within rhs.
void expect_holds_on_mixed_set(const Enumerable &e, const Cut &c, int k) {
  const int n = e.prob.n;
  LpSolver check;
  check.load(e.data, tarvo::simplex::LpOptions{});
  for (int i = 0; i < e.prob.m; ++i) check.set_row_bounds(i, e.prob.row_lo[i], e.prob.row_up[i]);
  for (int j = 0; j < n; ++j) check.set_cost(j, 0.0);
  for (size_t t = 0; t < c.index.size(); ++t) check.set_cost(c.index[t], -c.value[t]);
  std::vector<double> point(e.prob.col_lo.begin(), e.prob.col_lo.begin() + k);
  for (;;) {
    for (int j = 0; j < k; ++j) check.set_col_bounds(j, point[j], point[j]);
    for (int j = k; j < n; ++j) check.set_col_bounds(j, e.prob.col_lo[j], e.prob.col_up[j]);
    const LpStatus st = check.solve(TV_METHOD_DSIMPLEX, {});
    ASSERT_NE(st, LpStatus::kUnbounded) << c.tag;
    if (st == LpStatus::kOptimal) {
      EXPECT_LE(-check.objective(), c.rhs + 1e-7 * (1 + std::fabs(c.rhs))) << c.tag << " at x0 " << point[0];
    }
    int j = 0;  // next point of the box, odometer-wise
    while (j < k && point[j] >= e.prob.col_up[j]) point[j] = e.prob.col_lo[j], ++j;
    if (j == k) break;
    point[j] += 1;
  }
}

// Every candidate is violated at e's LP point and holds on the mixed set;
// counts the candidates per tag.
void expect_violated_and_valid(const Enumerable &e, const std::vector<Cut> &cands, int k,
                               std::map<std::string, int> &seen) {
  for (const Cut &c : cands) {
    seen[c.tag]++;
    EXPECT_GT(excess(c.index, c.value, c.rhs, e.lp.x().data()), 0.0) << c.tag << " not violated";
    expect_holds_on_mixed_set(e, c, k);
  }
}

// The pool, the variable space and the separators' input at an Enumerable's LP point.
struct AtLpPoint {
  CutPool pool;
  ExtendedVars ext;
  SepInput in;
  explicit AtLpPoint(Enumerable &e)
      : pool(e.prob), in{e.prob, e.lp, pool, (ext.build(e.prob, pool, e.lp), ext), e.lp.x().data(), 1e-6, 2, 100,
                         CutSafety{}} {}
};

// Random knapsacks: lifted covers, MIR, GMI, LP-rounding and disjunctive cuts
// hold at every feasible point, so wrong lifting coefficients, rounding or
// strengthening show up at once.
TEST(Separators, CutsOfRandomKnapsacksHoldAtEveryIntegerPoint) {
  std::mt19937 rng(7);
  std::uniform_int_distribution<int> w(3, 40);
  int cuts_seen = 0;
  std::map<std::string, int> per_tag;
  for (int trial = 0; trial < 40; ++trial) {
    const int n = 10;
    std::vector<std::vector<double>> rows(2, std::vector<double>(n));
    std::vector<double> cost(n);
    double sum0 = 0, sum1 = 0;
    for (int j = 0; j < n; ++j) {
      rows[0][j] = w(rng);
      rows[1][j] = (j % 3 == 0 ? -1 : 1) * w(rng);
      sum0 += rows[0][j];
      sum1 += std::fabs(rows[1][j]);
      cost[j] = -w(rng);
    }
    Enumerable e(rows, {-1e30, -1e30}, {std::floor(sum0 * 0.4) + 0.5, std::floor(sum1 * 0.25)}, cost);
    if (e.lp.solve(TV_METHOD_DSIMPLEX, {}) != LpStatus::kOptimal) continue;
    AtLpPoint at(e);
    const SepInput &in = at.in;
    std::vector<Cut> cands;
    tarvo::mip::separate_gomory(in, cands);
    tarvo::mip::separate_cmir(in, cands);
    tarvo::mip::separate_knapsack_covers(in, cands);
    tarvo::mip::separate_row_tightening(in, true, true, cands);
    tarvo::mip::separate_cliques(in, at.pool.conflict_graph(), cands);
    tarvo::mip::separate_implied_bounds(in, at.pool.implied_bounds(), cands);
    tarvo::mip::separate_zerohalf(in, cands);
    tarvo::mip::separate_lp_rounding(in, cands);
    tarvo::mip::separate_disjunctive(in, tarvo::mip::DisjunctiveLimits{}, cands);
    for (const Cut &c : cands) per_tag[c.tag]++;
    cuts_seen += static_cast<int>(cands.size());
    e.each_point([&](const std::vector<double> &x) {
      for (const Cut &c : cands) ASSERT_LE(excess(c.index, c.value, c.rhs, x.data()), 1e-9) << c.tag;
    });
  }
  EXPECT_GT(cuts_seen, 40);
  EXPECT_GT(per_tag["DISJUN"], 10);
  EXPECT_GT(per_tag["LPROUND"], 10);
}

// {0,1/2}-cuts of random rows with coefficients in {-1, 0, 1}, where a column
// of the combined rows often cancels and comes back with a later row, hold at
// every integer point.
TEST(Separators, ZeroHalfCutsOfCancellingRowsHoldAtEveryIntegerPoint) {
  std::mt19937 rng(11);
  std::uniform_int_distribution<int> coef(-1, 1), cost(-9, -1);
  int cuts_seen = 0;
  for (int trial = 0; trial < 2000; ++trial) {
    const int n = 8, m = 10;
    std::vector<std::vector<double>> rows(m, std::vector<double>(n));
    std::vector<double> up(m), c(n);
    for (int i = 0; i < m; ++i) {
      int pos = 0;
      for (int j = 0; j < n; ++j) rows[i][j] = coef(rng), pos += rows[i][j] > 0;
      up[i] = std::max(0, pos / 2);
    }
    for (int j = 0; j < n; ++j) c[j] = cost(rng);
    Enumerable e(rows, std::vector<double>(m, -1e30), up, c);
    if (e.lp.solve(TV_METHOD_DSIMPLEX, {}) != LpStatus::kOptimal) continue;
    AtLpPoint at(e);
    std::vector<Cut> cands;
    tarvo::mip::separate_zerohalf(at.in, cands);
    cuts_seen += static_cast<int>(cands.size());
    e.each_point([&](const std::vector<double> &x) {
      for (const Cut &cut : cands) ASSERT_LE(excess(cut.index, cut.value, cut.rhs, x.data()), 1e-9) << trial;
    });
  }
  EXPECT_GT(cuts_seen, 20);
}

// Cuts share one summing array: an expansion that fails half way (a slack of
// no known row) must leave nothing behind for the next cut, and a slack
// expands to minus its row.
TEST(Separators, ExpansionAfterAFailedOneStartsClean) {
  Enumerable e({{3, 2, 1, 0}, {0, 1, 1, 1}}, {-1e30, -1e30}, {4, 2}, {-1, -1, -1, -1});
  ASSERT_EQ(e.lp.solve(TV_METHOD_DSIMPLEX, {}), LpStatus::kOptimal);
  AtLpPoint at(e);
  const int unknown_slack = at.ext.n + at.ext.rows + 3;
  Cut cut;
  EXPECT_FALSE(tarvo::mip::extended_to_columns(at.in, {{0, 5.0}, {2, 1.0}, {unknown_slack, 1.0}}, 1.0, cut));
  // x3 - s_0 = 3 x0 + 2 x1 + x2 + x3 <= 4, scaled to largest coefficient one
  ASSERT_TRUE(tarvo::mip::extended_to_columns(at.in, {{3, 1.0}, {at.ext.n, -1.0}}, 4.0, cut));
  std::map<int, double> got;
  for (size_t q = 0; q < cut.index.size(); ++q) got[cut.index[q]] += cut.value[q];
  const std::map<int, double> want{{0, 1.0}, {1, 2.0 / 3}, {2, 1.0 / 3}, {3, 1.0 / 3}};
  ASSERT_EQ(got.size(), want.size());
  for (const auto &[j, v] : want) EXPECT_NEAR(got[j], v, 1e-12) << j;
  EXPECT_NEAR(cut.rhs, 4.0 / 3, 1e-12);
}

// General integers in [0,3] and continuous columns under random rows: the
// disjunctive cuts, strengthened on the integer columns, and the LP-rounding
// cuts hold on the whole mixed set.
TEST(Separators, DisjunctiveAndRoundingCutsHoldOnRandomMixedIntegerSets) {
  std::mt19937 rng(5);
  std::uniform_int_distribution<int> coef(-6, 9), cost(-9, 2);
  const int k = 3, n = 6;  // x0..x2 integer in [0,3], x3..x5 continuous in [0,4]
  std::map<std::string, int> seen;
  for (int trial = 0; trial < 60; ++trial) {
    std::vector<std::vector<double>> rows(3, std::vector<double>(n));
    std::vector<double> up(3), c(n);
    for (auto &r : rows)
      for (double &a : r) a = coef(rng);
    for (double &u : up) u = 9.5 + coef(rng);
    for (double &v : c) v = cost(rng);
    Enumerable e(rows, {-1e30, -1e30, -1e30}, up, c);
    for (int j = 0; j < n; ++j) {
      const double ju = j < k ? 3 : 4;
      e.prob.col_up[j] = ju;
      e.prob.is_int[j] = j < k;
      e.lp.set_col_bounds(j, 0, ju);
      e.data.upper[j] = ju;
    }
    if (e.lp.solve(TV_METHOD_DSIMPLEX, {}) != LpStatus::kOptimal) continue;
    AtLpPoint at(e);
    std::vector<Cut> cands;
    tarvo::mip::separate_disjunctive(at.in, tarvo::mip::DisjunctiveLimits{}, cands);
    tarvo::mip::separate_lp_rounding(at.in, cands);
    expect_violated_and_valid(e, cands, k, seen);
  }
  EXPECT_GT(seen["DISJUN"], 10);
  EXPECT_GT(seen["LPROUND"], 3);
}

// Network-loading shape over general integers in [0,3]: flows x0..x3 meet in
// balance rows and load arcs whose capacity is bought in modules y (columns 4,
// 5). The c-MIR paths run through the general integers (no continuous column
// is left to eliminate), and every cut must hold at each integer point; longer
// paths must add cuts that single rows do not give.
TEST(Separators, CmirPathsThroughGeneralIntegersHoldAtEveryIntegerPoint) {
  std::mt19937 rng(11);
  std::uniform_int_distribution<int> w(1, 9), mod(3, 7), cost(1, 9);
  const int n = 6;
  int single = 0, paths = 0;
  for (int trial = 0; trial < 40; ++trial) {
    const int m4 = mod(rng), m5 = mod(rng);
    // x0 + x1 >= 2 + (trial % 2), x2 = x0 (flow on), x3 = x1, w x2 <= m4 y4, w x3 + x2 <= m5 y5
    std::vector<std::vector<double>> rows = {{1, 1, 0, 0, 0, 0},
                                             {1, 0, -1, 0, 0, 0},
                                             {0, 1, 0, -1, 0, 0},
                                             {0, 0, double(w(rng)), 0, -double(m4), 0},
                                             {0, 0, 1, double(w(rng)), 0, -double(m5)}};
    std::vector<double> lo = {2.0 + trial % 2, 0, 0, -1e30, -1e30}, up = {1e30, 0, 0, 0, 0};
    std::vector<double> c = {0, 0, 0, 0, double(cost(rng)), double(cost(rng))};
    Enumerable e(rows, lo, up, c);
    for (int j = 0; j < n; ++j) {
      e.prob.col_up[j] = 3;
      e.lp.set_col_bounds(j, 0, 3);
      e.data.upper[j] = 3;
    }
    for (int i = 0; i < e.prob.m; ++i) e.lp.set_row_bounds(i, lo[i], up[i]);
    if (e.lp.solve(TV_METHOD_DSIMPLEX, {}) != LpStatus::kOptimal) continue;
    AtLpPoint at(e);
    std::vector<Cut> cands;
    at.in.max_aggr = 0;
    tarvo::mip::separate_cmir(at.in, cands);
    single += static_cast<int>(cands.size());
    const size_t from = cands.size();
    at.in.max_aggr = 4;
    tarvo::mip::separate_cmir(at.in, cands);
    paths += static_cast<int>(cands.size() - from);
    tarvo::mip::separate_gomory(at.in, cands);
    std::vector<double> x(n);
    for (int code = 0; code < 1 << (2 * n); ++code) {
      for (int j = 0; j < n; ++j) x[j] = (code >> (2 * j)) & 3;
      if (tarvo::mip::check_point(e.prob, x.data(), 1e-9).row > 1e-9) continue;
      for (const Cut &cut : cands) ASSERT_LE(excess(cut.index, cut.value, cut.rhs, x.data()), 1e-9) << cut.tag;
    }
    for (const Cut &cut : cands)
      EXPECT_GT(excess(cut.index, cut.value, cut.rhs, e.lp.x().data()), 0.0) << cut.tag << " not violated";
  }
  EXPECT_GT(single, 5);
  EXPECT_GT(paths, single);
}

// max y with y <= x, y <= 1 - x, x binary: the LP sits at x = y = 1/2 and the
// split on x proves y <= 0, which a single disjunctive cut must reach (the
// tableau's intersection cut reaches it too, but a weak CGLP or a lost
// multiplier would not).
TEST(Separators, DisjunctiveCutReachesTheSplitClosureOfATriangle) {
  Enumerable e({{-1, 1}, {1, 1}}, {-1e30, -1e30}, {0, 1}, {0, -1});
  e.prob.is_int[1] = 0;
  ASSERT_EQ(e.lp.solve(TV_METHOD_DSIMPLEX, {}), LpStatus::kOptimal);
  ASSERT_NEAR(e.lp.x()[0], 0.5, 1e-9);
  AtLpPoint at(e);
  std::vector<Cut> cands;
  tarvo::mip::separate_disjunctive(at.in, tarvo::mip::DisjunctiveLimits{}, cands);
  ASSERT_EQ(cands.size(), 1u);
  const Cut &c = cands[0];
  EXPECT_STREQ(c.tag, "DISJUN");
  tarvo::simplex::LpRows add;
  add.add(c.index, c.value, -1e30, c.rhs);
  e.lp.add_rows(add);
  ASSERT_EQ(e.lp.solve(TV_METHOD_DSIMPLEX, {}), LpStatus::kOptimal);
  EXPECT_NEAR(e.lp.objective(), 0.0, 1e-7);
}

// 2 x0 + 2 x1 + 2 x2 <= 3: the dual weights the row alone, and rounding it
// halved gives x0 + x1 + x2 <= 1.
TEST(Separators, LpRoundingRoundsTheDualCombination) {
  Enumerable e({{2, 2, 2}}, {-1e30}, {3}, {-3, -2, -1});
  ASSERT_EQ(e.lp.solve(TV_METHOD_DSIMPLEX, {}), LpStatus::kOptimal);
  AtLpPoint at(e);
  std::vector<Cut> cands;
  tarvo::mip::separate_lp_rounding(at.in, cands);
  ASSERT_FALSE(cands.empty());
  const Cut &c = cands[0];
  EXPECT_STREQ(c.tag, "LPROUND");
  ASSERT_EQ(c.index.size(), 3u);
  for (double v : c.value) EXPECT_NEAR(v / c.value[0], 1.0, 1e-12);
  EXPECT_NEAR(c.rhs / c.value[0], 1.0, 1e-12);
}

// Pairwise conflicts from three rows make a triangle; its clique cut removes
// the all-halves point that every single row allows.
TEST(Separators, TriangleOfConflictsGivesACliqueCut) {
  Enumerable e({{1, 1, 0}, {0, 1, 1}, {1, 0, 1}}, {-1e30, -1e30, -1e30}, {1, 1, 1}, {-1, -1, -1});
  ASSERT_EQ(e.lp.solve(TV_METHOD_DSIMPLEX, {}), LpStatus::kOptimal);
  AtLpPoint at(e);
  const SepInput &in = at.in;
  const auto &g = at.pool.conflict_graph();
  EXPECT_TRUE(g.adjacent(0, 2));   // x0 and x1
  EXPECT_TRUE(g.adjacent(0, 1));   // x0 and its complement
  EXPECT_FALSE(g.adjacent(1, 3));  // complements of x0 and x1 do not conflict
  std::vector<Cut> cands;
  tarvo::mip::separate_cliques(in, g, cands);
  ASSERT_EQ(cands.size(), 1u);
  EXPECT_EQ(cands[0].index.size(), 3u);
  EXPECT_NEAR(cands[0].rhs / cands[0].value[0], 1.0, 1e-12);
}

// The marked clique partition is the pairwise greedy's, group for group, on
// random set-packing rows (both literal signs); every group is a clique.
TEST(Separators, CliquePartitionMatchesThePairwiseGreedy) {
  std::mt19937 rng(7);
  for (int trial = 0; trial < 20; ++trial) {
    tarvo::mip::MipProblem p;
    p.n = 40;
    p.m = 25;
    p.c.assign(p.n, 0);
    p.col_lo.assign(p.n, 0);
    p.col_up.assign(p.n, 1);
    p.is_int.assign(p.n, 1);
    std::vector<std::vector<std::pair<int, double>>> cols(p.n);
    for (int i = 0; i < p.m; ++i) {
      int negatives = 0;
      for (int j = 0; j < p.n; ++j)
        if (rng() % 6 == 0) {
          const bool neg = rng() % 4 == 0;
          negatives += neg;
          cols[j].emplace_back(i, neg ? -1.0 : 1.0);
        }
      p.row_lo.push_back(-1e30);
      p.row_up.push_back(1.0 - negatives);  // at most one literal true
    }
    p.col_start.assign(1, 0);
    for (int j = 0; j < p.n; ++j) {
      for (const auto &[i, v] : cols[j]) {
        p.col_index.push_back(i);
        p.col_value.push_back(v);
      }
      p.col_start.push_back(static_cast<int>(p.col_index.size()));
    }
    p.build_rows();
    tarvo::mip::ConflictGraph g(p);
    tarvo::mip::NeighbourMarks marks(g);
    std::vector<int> cols_order(p.n);
    std::iota(cols_order.begin(), cols_order.end(), 0);
    std::shuffle(cols_order.begin(), cols_order.end(), rng);
    std::vector<int> lits;
    for (int j : cols_order) lits.push_back(2 * j + static_cast<int>(rng() % 2));
    std::vector<int> group;
    const int count = tarvo::mip::clique_partition(marks, lits, group);
    std::vector<int> want(lits.size(), -1);
    int want_count = 0;
    for (size_t s = 0; s < lits.size(); ++s) {
      if (want[s] >= 0) continue;
      std::vector<int> members{lits[s]};
      want[s] = want_count;
      for (size_t t = s + 1; t < lits.size(); ++t)
        if (want[t] < 0 && std::all_of(members.begin(), members.end(), [&](int m) { return g.adjacent(m, lits[t]); })) {
          want[t] = want_count;
          members.push_back(lits[t]);
        }
      ++want_count;
    }
    ASSERT_EQ(count, want_count) << "trial " << trial;
    EXPECT_LT(count, static_cast<int>(lits.size())) << "trial " << trial;  // some group holds two
    EXPECT_EQ(group, want) << "trial " << trial;
    for (size_t a = 0; a < lits.size(); ++a)
      for (size_t b = a + 1; b < lits.size(); ++b)
        if (group[a] == group[b]) {
          EXPECT_TRUE(g.adjacent(lits[a], lits[b]));
        }
  }
}

// A side is one clique by its weights only when its two lightest literals
// together outweigh the capacity; otherwise the graph decides (here it has no
// edges, so every literal stands alone).
TEST(Separators, SideCliquePartitionTrustsOnlyTheTwoLightestWeights) {
  tarvo::mip::MipProblem p;
  p.n = 4;
  p.c.assign(p.n, 0);
  p.col_lo.assign(p.n, 0);
  p.col_up.assign(p.n, 1);
  p.is_int.assign(p.n, 1);
  p.col_start.assign(p.n + 1, 0);
  p.build_rows();
  tarvo::mip::ConflictGraph g(p);
  tarvo::mip::NeighbourMarks marks(g);
  struct Case {
    std::vector<double> w;
    double cap;
    int groups;
  };
  for (const Case &c : {Case{{5, 3, 4, 6}, 6, 1}, Case{{5, 2, 4, 6}, 6, 4}, Case{{3, 3, 9, 9}, 6, 4},
                        Case{{3.5, 3, 9, 9}, 6, 1}}) {
    tarvo::mip::KnapsackSide ks;
    ks.cap = c.cap;
    for (int j = 0; j < p.n; ++j) ks.lits.push_back({2 * j, c.w[j], 0.0});
    std::vector<int> group;
    EXPECT_EQ(tarvo::mip::side_clique_partition(ks, marks, group), c.groups) << c.w[0] << " " << c.w[1];
    ASSERT_EQ(group.size(), ks.lits.size());
    if (c.groups == 1) {
      EXPECT_EQ(group, std::vector<int>(p.n, 0));
    }
  }
}

// 5 x0 + x1 + x2 <= 4: with x0 = 0 the row has slack 2, so 3 x0 + x1 + x2 <= 2.
TEST(Separators, CoefficientReductionTightensABigBinaryCoefficient) {
  Enumerable e({{5, 1, 1}}, {-1e30}, {4}, {-4, -1, -1});
  ASSERT_EQ(e.lp.solve(TV_METHOD_DSIMPLEX, {}), LpStatus::kOptimal);
  AtLpPoint at(e);
  const SepInput &in = at.in;
  std::vector<Cut> cands;
  tarvo::mip::separate_row_tightening(in, false, true, cands);
  ASSERT_EQ(cands.size(), 1u);
  const Cut &c = cands[0];
  ASSERT_EQ(c.index.size(), 3u);
  const double s = c.value[0] / 3;
  EXPECT_NEAR(c.value[1] / s, 1, 1e-12);
  EXPECT_NEAR(c.rhs / s, 2, 1e-12);
  EXPECT_STREQ(c.tag, "COFR");
}

// Costs 2, 4, 6: c x takes even values only, so a bound of 3.2 becomes c x >= 4;
// a bound already on the lattice gives nothing.
TEST(Separators, ObjectiveCutRoundsTheGivenBoundToTheCostLattice) {
  Enumerable e({{1, 1, 1}}, {1}, {3}, {2, 4, 6});
  ASSERT_EQ(e.lp.solve(TV_METHOD_DSIMPLEX, {}), LpStatus::kOptimal);
  AtLpPoint at(e);
  const SepInput &in = at.in;
  std::vector<Cut> cands;
  tarvo::mip::separate_objective_cut(in, 3.2, cands);
  ASSERT_EQ(cands.size(), 1u);
  const Cut &c = cands[0];
  ASSERT_EQ(c.index.size(), 3u);
  const double s = -c.value[0] / 2;  // the cut is s * (-c x) <= s * (-4)
  EXPECT_NEAR(-c.rhs / s, 4, 1e-12);
  EXPECT_STREQ(c.tag, "OBJCUT");
  cands.clear();
  tarvo::mip::separate_objective_cut(in, 4.0, cands);
  EXPECT_TRUE(cands.empty());
}

// A constant in the objective (presolve leaves one) is not on the cost
// lattice: the bound 103.2 on c x + 100 rounds c x up to 4, not to 104 - 100.
TEST(Separators, ObjectiveCutLeavesTheObjectiveConstantOutOfTheLattice) {
  Enumerable e({{1, 1, 1}}, {1}, {3}, {2, 4, 6});
  e.prob.obj_constant = 100.5;
  ASSERT_EQ(e.lp.solve(TV_METHOD_DSIMPLEX, {}), LpStatus::kOptimal);
  AtLpPoint at(e);
  std::vector<Cut> cands;
  tarvo::mip::separate_objective_cut(at.in, 103.7, cands);  // c x >= 3.2
  ASSERT_EQ(cands.size(), 1u);
  const Cut &c = cands[0];
  const double s = -c.value[0] / 2;
  EXPECT_NEAR(-c.rhs / s, 4, 1e-12);
  cands.clear();
  tarvo::mip::separate_objective_cut(at.in, 104.5, cands);  // c x >= 4: on the lattice already
  EXPECT_TRUE(cands.empty());
}

// Two set-packing rows make the groups {x0,x1} and {x2,x3} of the knapsack
// 5 x0 + ... + 5 x4 <= 12: three groups of weight 5 exceed it, so at most two
// of the five can be one. A plain cover sees only three of the columns.
TEST(Separators, GubCoverSpansTheWholeCliquesOfACover) {
  Enumerable e({{1, 1, 0, 0, 0}, {0, 0, 1, 1, 0}, {5, 5, 5, 5, 5}}, {-1e30, -1e30, -1e30}, {1, 1, 12},
               {-1, -1.1, -1.2, -1.3, -1.4});
  ASSERT_EQ(e.lp.solve(TV_METHOD_DSIMPLEX, {}), LpStatus::kOptimal);
  AtLpPoint at(e);
  std::vector<Cut> cands;
  tarvo::mip::separate_gub_covers(at.in, at.pool.conflict_graph(), cands);
  ASSERT_EQ(cands.size(), 1u);
  const Cut &c = cands[0];
  EXPECT_STREQ(c.tag, "GUB1");
  ASSERT_EQ(c.index.size(), 5u);
  for (double v : c.value) EXPECT_DOUBLE_EQ(v, c.value[0]);
  EXPECT_NEAR(c.rhs / c.value[0], 2, 1e-12);
  e.each_point([&](const std::vector<double> &x) { EXPECT_LE(excess(c.index, c.value, c.rhs, x.data()), 1e-12); });
}

// Plants x0, x1 (capacity 10) serve customers with demands 4 and 3 from
// continuous supplies y: the demand rows bound each supply more tightly than
// the capacity, so y <= demand * x (plant location); the capacity alone
// (disaggregation, y <= 10 x) is not violated at the LP point.
TEST(Separators, PlantLocationCutsTakeTheDemandAsTheBound) {
  // columns x0 x1 y00 y01 y10 y11 (y_pc: plant p, customer c)
  Enumerable e({{0, 0, 1, 0, 1, 0}, {0, 0, 0, 1, 0, 1}, {-10, 0, 1, 1, 0, 0}, {0, -10, 0, 0, 1, 1}},
               {4, 3, -1e30, -1e30}, {4, 3, 0, 0}, {5, 5, 1, 3, 3, 1});
  for (int j = 2; j < 6; ++j) {
    e.prob.is_int[j] = 0;
    e.prob.col_up[j] = 10;
    e.lp.set_col_bounds(j, 0, 10);
  }
  for (int i = 0; i < 4; ++i) e.lp.set_row_bounds(i, e.prob.row_lo[i], e.prob.row_up[i]);
  ASSERT_EQ(e.lp.solve(TV_METHOD_DSIMPLEX, {}), LpStatus::kOptimal);
  AtLpPoint at(e);
  std::vector<Cut> cands;
  tarvo::mip::separate_disaggregation(at.in, true, false, cands);
  EXPECT_TRUE(cands.empty());
  tarvo::mip::separate_disaggregation(at.in, true, true, cands);
  ASSERT_EQ(cands.size(), 2u);
  std::map<int, double> bound_of;  // supply column -> its coefficient on the plant, scaled
  for (const Cut &c : cands) {
    EXPECT_STREQ(c.tag, "PLANLOC");
    ASSERT_EQ(c.index.size(), 2u);
    const int y = c.index[0] >= 2 ? 0 : 1;
    EXPECT_NEAR(c.rhs, 0, 1e-15);
    bound_of[c.index[y]] = -c.value[1 - y] / c.value[y];
  }
  EXPECT_NEAR(bound_of[2], 4, 1e-12);  // y00 <= 4 x0
  EXPECT_NEAR(bound_of[5], 3, 1e-12);  // y11 <= 3 x1
}

// Random single-node flow sets (flows y_j <= u_j x_j in and out of one row,
// and one continuous flow without a switch, bounded or not): every flow cover
// cut, plain or lifted, holds on the whole mixed set, checked by maximising
// its left side over the flows for every setting of the binaries.
TEST(Separators, FlowCoversHoldOnRandomFlowSets) {
  std::mt19937 rng(11);
  std::uniform_int_distribution<int> cap(2, 20), coin(0, 3);
  const int k = 5;  // columns x0..x4, then y0..y4, then the unswitched flow z
  const int n = 2 * k + 1;
  std::map<std::string, int> cuts_seen;
  for (int trial = 0; trial < 80; ++trial) {
    std::vector<std::vector<double>> rows;
    std::vector<double> lo, up, cost(n);
    std::vector<double> flow(n, 0.0), u(k);
    double in_cap = 0;
    for (int j = 0; j < k; ++j) {
      u[j] = cap(rng);
      const bool out = coin(rng) == 0;
      flow[k + j] = out ? -1 : 1;
      in_cap += out ? 0 : u[j];
      std::vector<double> vub(n, 0.0);
      vub[k + j] = 1;
      vub[j] = -u[j];
      rows.push_back(vub);
      lo.push_back(-1e30);
      up.push_back(0);
      cost[j] = cap(rng);              // fixed charge
      cost[k + j] = -(1 + coin(rng));  // flow is worth having
    }
    // z: an inflow or outflow in [-2, 6], or in [-2, inf) when it flows out
    const bool z_out = trial % 2 == 1;
    const double z_up = z_out && trial % 4 == 1 ? 1e30 : 6;
    flow[n - 1] = z_out ? -0.5 : 1;
    cost[n - 1] = z_out ? 1 : -1;
    rows.push_back(flow);
    lo.push_back(-1e30);
    up.push_back(std::floor(0.6 * in_cap));
    Enumerable e(rows, lo, up, cost);
    for (int j = k; j < n; ++j) {
      const double jl = j < 2 * k ? 0 : -2, ju = j < 2 * k ? u[j - k] : z_up;
      e.prob.is_int[j] = 0;
      e.prob.col_lo[j] = jl;
      e.prob.col_up[j] = ju;
      e.lp.set_col_bounds(j, jl, ju);
    }
    if (e.lp.solve(TV_METHOD_DSIMPLEX, {}) != LpStatus::kOptimal) continue;
    AtLpPoint at(e);
    std::vector<Cut> cands;
    tarvo::mip::separate_flow_covers(at.in, cands);
    tarvo::mip::separate_lifted_flow_covers(at.in, cands);
    tarvo::mip::separate_disjunctive(at.in, tarvo::mip::DisjunctiveLimits{}, cands);
    tarvo::mip::separate_lp_rounding(at.in, cands);
    expect_violated_and_valid(e, cands, k, cuts_seen);
  }
  EXPECT_GT(cuts_seen["FLOW"], 5);
  EXPECT_GT(cuts_seen["LIFT"], 5);
  EXPECT_GT(cuts_seen["DISJUN"], 5);
}

// Random single-item lot sizing over four periods: setups y_t (binary),
// production x_t <= u_t y_t, a binary batch of fixed size, stocks s_t between
// the balance rows, one bounded outflow, and each balance row scaled by a
// random factor of either sign. Every flow path cut holds on the whole mixed
// set, and the cuts do appear, the batch among their switched inflows too.
TEST(Separators, FlowPathCutsHoldOnRandomLotSizingChains) {
  std::mt19937 rng(5);
  std::uniform_int_distribution<int> demand(0, 9), pick(0, 3);
  const int periods = 4;
  // columns: y0..y3, a batch b (binary, in period 2), x0..x3, s0..s2 (s_t
  // leaves period t), z (outflow of period 1)
  const int b = periods, x0 = periods + 1, s0 = x0 + periods, z = s0 + periods - 1;
  const int n = z + 1;
  std::map<std::string, int> cuts_seen;
  int with_batch = 0;
  const double scales[] = {1.0, -1.0, 2.5, -0.5};
  for (int trial = 0; trial < 40; ++trial) {
    std::vector<double> d(periods);
    for (double &v : d) v = demand(rng);
    std::vector<std::vector<double>> rows;
    std::vector<double> lo, up, cost(n, 0.0);
    double rest = 0;
    for (int t = periods - 1; t >= 0; --t) {
      rest += d[t];
      std::vector<double> vub(n, 0.0);
      vub[x0 + t] = 1;
      vub[t] = -(rest + 2);  // room for the outflow too
      rows.push_back(vub);
      lo.push_back(-1e30);
      up.push_back(0);
      cost[t] = 20 + demand(rng);
      cost[x0 + t] = 1;
    }
    for (int t = 0; t < periods; ++t) {
      const double f = scales[pick(rng)];
      std::vector<double> bal(n, 0.0);
      if (t > 0) bal[s0 + t - 1] = f;
      if (t < periods - 1) bal[s0 + t] = -f;
      bal[x0 + t] = f;
      if (t == 1) bal[z] = -f;
      if (t == 2) bal[b] = f * (1 + pick(rng));
      rows.push_back(bal);
      lo.push_back(f * d[t]);
      up.push_back(f * d[t]);
    }
    for (int t = 0; t + 1 < periods; ++t) cost[s0 + t] = 1 + pick(rng);
    cost[z] = -3;  // selling is worth something
    cost[b] = 1;
    Enumerable e(rows, lo, up, cost);
    for (int j = x0; j < n; ++j) {
      const double ju = j == z ? 2 : 1e30;
      e.prob.is_int[j] = 0;
      e.prob.col_up[j] = ju;
      e.lp.set_col_bounds(j, 0, ju);
    }
    for (int i = 0; i < e.prob.m; ++i) e.lp.set_row_bounds(i, e.prob.row_lo[i], e.prob.row_up[i]);
    if (e.lp.solve(TV_METHOD_DSIMPLEX, {}) != LpStatus::kOptimal) continue;
    AtLpPoint at(e);
    std::vector<Cut> cands;
    tarvo::mip::separate_flow_paths(at.in, cands);
    expect_violated_and_valid(e, cands, x0, cuts_seen);
    for (const Cut &c : cands) with_batch += std::count(c.index.begin(), c.index.end(), b) > 0;
  }
  EXPECT_GT(cuts_seen["FLOP"], 10);
  EXPECT_GT(with_batch, 0);
}

// Random capacity rows over binaries that overtime columns (continuous,
// bounded or not) can stretch: every soft-knapsack cut holds on the mixed set,
// and the cuts do appear at fractional LP points.
TEST(Separators, SoftKnapsackCutsHoldOnRandomStretchableKnapsacks) {
  std::mt19937 rng(23);
  std::uniform_int_distribution<int> w(3, 30);
  const int k = 6, n = k + 2;  // x0..x5, overtime o (bounded), second overtime q (unbounded)
  int cuts_seen = 0;
  for (int trial = 0; trial < 60; ++trial) {
    std::vector<double> row(n), cost(n);
    double total = 0;
    for (int j = 0; j < k; ++j) {
      row[j] = (trial % 5 == 0 && j == 0 ? -1 : 1) * w(rng);
      total += std::fabs(row[j]);
      cost[j] = -w(rng);
    }
    row[k] = -1;
    row[k + 1] = -(1 + trial % 3);
    cost[k] = 1 + trial % 4;
    cost[k + 1] = 3 + trial % 7;
    Enumerable e({row}, {-1e30}, {std::floor(0.45 * total)}, cost);
    const double o_up = 2 + trial % 5, q_lo = trial % 2 ? 0 : 1;
    for (int j = k; j < n; ++j) {
      e.prob.is_int[j] = 0;
      e.prob.col_lo[j] = j == k ? 0 : q_lo;
      e.prob.col_up[j] = j == k ? o_up : 1e30;
      e.lp.set_col_bounds(j, e.prob.col_lo[j], e.prob.col_up[j]);
    }
    if (e.lp.solve(TV_METHOD_DSIMPLEX, {}) != LpStatus::kOptimal) continue;
    AtLpPoint at(e);
    std::vector<Cut> cands;
    tarvo::mip::separate_soft_knapsacks(at.in, cands);
    for (const Cut &c : cands) {
      EXPECT_STREQ(c.tag, "SOFTKNAP");
      EXPECT_GT(excess(c.index, c.value, c.rhs, e.lp.x().data()), 0.0) << "not violated";
      expect_holds_on_mixed_set(e, c, k);
      cuts_seen++;
    }
  }
  EXPECT_GT(cuts_seen, 10);
}

// Knapsacks with set-packing rows over some of their binaries: GUB covers
// (plain and extended) and cardinality cuts hold at every integer point, and
// the extended form does come up.
TEST(Separators, GubAndCardinalityCutsHoldAtEveryIntegerPoint) {
  std::mt19937 rng(31);
  std::uniform_int_distribution<int> w(2, 25);
  std::map<std::string, int> seen;
  for (int trial = 0; trial < 80; ++trial) {
    const int n = 11;
    std::vector<std::vector<double>> rows;
    std::vector<double> lo, up, cost(n), knap(n);
    // packing groups {0,1,2}, {3,4}, {5,6}; the rest free
    for (const std::vector<int> &grp : {std::vector<int>{0, 1, 2}, {3, 4}, {5, 6}}) {
      std::vector<double> r(n, 0.0);
      for (int j : grp) r[j] = 1;
      rows.push_back(r);
      lo.push_back(-1e30);
      up.push_back(1);
    }
    double total = 0;
    for (int j = 0; j < n; ++j) {
      knap[j] = (trial % 4 == 3 && j == 9 ? -1 : 1) * w(rng);
      total += std::fabs(knap[j]);
      cost[j] = -(knap[j] > 0 ? knap[j] : 1) - w(rng) / 5.0;
    }
    rows.push_back(knap);
    lo.push_back(-1e30);
    up.push_back(std::floor(total * (0.2 + 0.05 * (trial % 5))));
    Enumerable e(rows, lo, up, cost);
    if (e.lp.solve(TV_METHOD_DSIMPLEX, {}) != LpStatus::kOptimal) continue;
    AtLpPoint at(e);
    std::vector<Cut> cands;
    tarvo::mip::separate_gub_covers(at.in, at.pool.conflict_graph(), cands);
    tarvo::mip::separate_cardinality(at.in, at.pool.conflict_graph(), cands);
    for (const Cut &c : cands) seen[c.tag]++;
    e.each_point([&](const std::vector<double> &x) {
      for (const Cut &c : cands) ASSERT_LE(excess(c.index, c.value, c.rhs, x.data()), 1e-9) << c.tag;
    });
  }
  EXPECT_GT(seen["GUB1"] + seen["GUB2"], 10);
  EXPECT_GT(seen["GUB2"], 0);
  EXPECT_GT(seen["CARD"], 0);
}

TEST(CutTidy, RejectsUnsafeAndRelaxesTinyCoefficientsValidly) {
  MipProblem p;
  p.n = 3;
  p.col_lo = {0, -1e30, -2};
  p.col_up = {1, 1e30, 5};
  p.is_int = {1, 0, 0};
  CutSafety s;
  Cut nan_cut;
  nan_cut.index = {0};
  nan_cut.value = {std::nan("")};
  EXPECT_FALSE(tidy_cut(nan_cut, p, s));
  Cut inf_rhs;
  inf_rhs.index = {0};
  inf_rhs.value = {1};
  inf_rhs.rhs = INFINITY;
  EXPECT_FALSE(tidy_cut(inf_rhs, p, s));
  // a tiny coefficient on a free column cannot be dropped safely
  Cut free_tiny;
  free_tiny.index = {0, 1};
  free_tiny.value = {1, 1e-9};
  free_tiny.rhs = 0.5;
  EXPECT_FALSE(tidy_cut(free_tiny, p, s));
  // on a bounded column it is relaxed with the bound that keeps the cut valid
  Cut bounded;
  bounded.index = {0, 2, 0};
  bounded.value = {2, -1e-8, 2};
  bounded.rhs = 3;
  ASSERT_TRUE(tidy_cut(bounded, p, s));
  ASSERT_EQ(bounded.index.size(), 1u);
  EXPECT_DOUBLE_EQ(bounded.value[0], 1.0);             // duplicates merged, scaled to one
  EXPECT_NEAR(bounded.rhs, (3 + 1e-8 * 5) / 4, 1e-15);  // -1e-8 x2 >= -1e-8 * 5
  Cut out_of_range;
  out_of_range.index = {3};
  out_of_range.value = {1};
  EXPECT_FALSE(tidy_cut(out_of_range, p, s));
}

// A three-column LP with one problem row for the pool's LP bookkeeping.
struct PoolLp : Enumerable {
  PoolLp() : Enumerable({{1, 1, 1}}, {-1e30}, {2}, {-1, -1, -1}) { lp.solve(TV_METHOD_DSIMPLEX, {}); }
};

TEST(CutPoolRules, CapacitySenseFlagsAndZeroTolerance) {
  PoolLp t;
  CutPool pool(t.prob);
  const int cols[] = {0, 1, 2};
  const double coef[] = {1, 1e-13, 1};
  EXPECT_EQ(pool.add(2, -1, 1e-12, coef, cols, 3, 1, "COVER"), 0);
  EXPECT_EQ(pool.cut(0).sense, 'G');
  EXPECT_EQ(pool.cut(0).index.size(), 2u);  // the tiny coefficient is dropped
  EXPECT_TRUE(pool.cut(0).flags & CutPool::kFlagBinary);
  EXPECT_EQ(pool.add(2, 0, 0, coef, cols, 3, 1, "CLIQUE"), 1);
  EXPECT_EQ(pool.cut(1).sense, 'E');
  EXPECT_TRUE(pool.cut(1).flags & CutPool::kFlagClique);
  EXPECT_EQ(pool.add(2, 1, 0, coef, cols, 3, 1, "GMRY"), -1);  // capacity reached
  EXPECT_EQ(pool.size(), 2);
  EXPECT_EQ(pool.count(tarvo::mip::CutClass::kCover), 1u);
  EXPECT_EQ(pool.count(tarvo::mip::CutClass::kClique), 1u);
  EXPECT_EQ(pool.count(tarvo::mip::CutClass::kGomory), 0u);
  const int bad_cols[] = {0, 7};
  EXPECT_EQ(pool.add(9, 1, 0, coef, bad_cols, 2, 1, "GMRY"), -1);
  EXPECT_EQ(pool.add(9, 1, 0, coef, cols, 3, NAN, "GMRY"), -1);
}

TEST(CutPoolRules, SlackCutsGoInactiveAfterTheThresholdButShortOnesStay) {
  PoolLp t;
  CutPool pool(t.prob);
  const int c3[] = {0, 1, 2}, c2[] = {0, 1};
  const double one[] = {1, 1, 1};
  pool.add(10, 1, 0, one, c3, 3, 5, "MIGC");  // slack: sum <= 2 already
  pool.add(10, 1, 0, one, c2, 2, 5, "MIGC");
  EXPECT_EQ(pool.flush_to_lp(t.lp), 2);
  ASSERT_TRUE(pool.in_step_with(t.lp));
  ASSERT_EQ(t.lp.solve(TV_METHOD_DSIMPLEX, {}), LpStatus::kOptimal);
  for (int r = 0; r < 3; ++r) pool.update_activity(t.lp, 3, false);
  EXPECT_EQ(pool.cut(0).state, 0);
  EXPECT_GE(t.lp.row_upper(pool.cut(0).lp_row), 1e30);  // a free row now
  EXPECT_EQ(pool.cut(1).state, 1);                     // two nonzeros: never switched off
  // with the no-deactivation flag nothing changes state
  CutPool keep(t.prob);
  PoolLp t2;
  keep.add(10, 1, 0, one, c3, 3, 5, "MIGC");
  keep.flush_to_lp(t2.lp);
  t2.lp.solve(TV_METHOD_DSIMPLEX, {});
  for (int r = 0; r < 5; ++r) keep.update_activity(t2.lp, 1, true);
  EXPECT_EQ(keep.cut(0).state, 1);
}

TEST(CutPoolRules, BindingInactiveCutIsSwitchedBackOn) {
  PoolLp t;
  CutPool pool(t.prob);
  const int c3[] = {0, 1, 2};
  const double one[] = {1, 1, 1};
  pool.add(10, 1, 0, one, c3, 3, 1, "MIGC");  // sum <= 1: binding at the optimum
  pool.cut(0).state = 0;                        // as if switched off earlier
  pool.flush_to_lp(t.lp);
  EXPECT_GE(t.lp.row_upper(pool.cut(0).lp_row), 1e30);
  ASSERT_EQ(t.lp.solve(TV_METHOD_DSIMPLEX, {}), LpStatus::kOptimal);
  EXPECT_NEAR(t.lp.objective(), -2, 1e-9);
  // make it binding: tighten the problem row so that the point is on the cut
  t.lp.set_row_bounds(0, -1e30, 1);
  ASSERT_EQ(t.lp.solve(TV_METHOD_DSIMPLEX, {}), LpStatus::kOptimal);
  if (!t.lp.is_basic_row(pool.cut(0).lp_row)) {
    EXPECT_EQ(pool.update_activity(t.lp, 20, false), 1);
    EXPECT_EQ(pool.cut(0).state, 1);
    EXPECT_NEAR(t.lp.row_upper(pool.cut(0).lp_row), 1, 0);
  }
  // deleting slack cuts keeps the LP and the pool in step
  t.lp.set_row_bounds(0, -1e30, 0.5);
  ASSERT_EQ(t.lp.solve(TV_METHOD_DSIMPLEX, {}), LpStatus::kOptimal);
  pool.delete_slack_cuts(t.lp);
  EXPECT_TRUE(pool.in_step_with(t.lp));
}

// After a root loop many cuts hold at the optimum with a zero dual. Deleting
// them from the LP keeps the basis (one basic leaves per deleted nonbasic
// slack), the optimum stays, and the warm re-solve takes a few pivots where
// the slack basis would start over; deleting a cut that carries part of the
// bound ends at the smaller LP's own optimum.
TEST(CutRows, DeletingBindingCutsKeepsTheBasis) {
  int checked = 0;
  for (const char *name : {"10teams", "p0201"}) {
    MipModel mm;
    if (!mm.load(name)) continue;
    const auto pool = root_pool(mm);
    LpSolver &lp = mm.lp;
    ASSERT_EQ(lp.status(), LpStatus::kOptimal) << name;
    const double z = lp.objective();
    const int n = lp.cols();
    const auto before = lp.basis();
    std::vector<char> drop(lp.rows(), 0);
    int nonbasic = 0;
    for (int i = mm.prob.m; i < lp.rows(); ++i) {
      const bool basic = lp.is_basic_row(i);
      if (basic || std::fabs(lp.duals()[i]) <= 1e-9) drop[i] = 1;
      nonbasic += drop[i] && !basic;
    }
    if (nonbasic == 0) continue;
    ++checked;
    const tarvo::base::ModelData &d = mm.lp_data;
    lp.delete_rows(drop);
    const auto after = lp.basis();
    ASSERT_EQ(static_cast<int>(after.state.size()), n + lp.rows()) << name;
    int changed = 0;
    for (int j = 0; j < n; ++j) changed += (before.state[j] == 0) != (after.state[j] == 0);
    for (int i = 0, k = 0; i < static_cast<int>(drop.size()); ++i)
      if (!drop[i]) changed += (before.state[n + i] == 0) != (after.state[n + k++] == 0);
    EXPECT_EQ(changed, nonbasic) << name;
    ASSERT_EQ(lp.solve(TV_METHOD_DSIMPLEX, {}), LpStatus::kOptimal) << name;
    EXPECT_NEAR(lp.objective(), z, 1e-6 * (1 + std::fabs(z))) << name;
    // the same rows from the slack basis
    LpSolver cold;
    cold.load(d, tarvo::simplex::LpOptions{});
    tarvo::simplex::LpRows rows;
    std::vector<int> idx;
    std::vector<double> val;
    for (int i = mm.prob.m; i < lp.rows(); ++i) {
      lp.get_row(i, idx, val);
      rows.add(idx, val, lp.row_lower(i), lp.row_upper(i));
    }
    cold.add_rows(rows);
    ASSERT_EQ(cold.solve(TV_METHOD_DSIMPLEX, {}), LpStatus::kOptimal) << name;
    EXPECT_NEAR(cold.objective(), z, 1e-6 * (1 + std::fabs(z))) << name;
    // the basics that left take a few dual pivots to settle, far fewer than a
    // cold start (p0201's root cuts leave about a third of its pivots)
    EXPECT_LT(3 * lp.iterations(), cold.iterations()) << name;

    int binding = -1;
    for (int i = mm.prob.m; i < lp.rows() && binding < 0; ++i)
      if (std::fabs(lp.duals()[i]) > 1e-6) binding = i;
    if (binding < 0) continue;
    std::vector<char> one(lp.rows(), 0), one_cold(cold.rows(), 0);
    one[binding] = one_cold[binding] = 1;
    lp.delete_rows(one);
    cold.delete_rows(one_cold);
    ASSERT_EQ(lp.solve(TV_METHOD_DSIMPLEX, {}), LpStatus::kOptimal) << name;
    ASSERT_EQ(cold.solve(TV_METHOD_DSIMPLEX, {}), LpStatus::kOptimal) << name;
    EXPECT_NEAR(lp.objective(), cold.objective(), 1e-6 * (1 + std::fabs(z))) << name;
    EXPECT_LE(lp.objective(), z + 1e-6 * (1 + std::fabs(z))) << name;
  }
  if (checked == 0) GTEST_SKIP() << "no model left cuts binding with a zero dual";
}

// Root ageing: cuts without a dual for the given number of re-optimisations
// leave the pool and the LP together; the cuts that carry the bound stay.
TEST(CutPoolRules, AgeingDropsCutsWithoutADualAndKeepsTheBound) {
  MipModel mm;
  LOAD_OR_SKIP(mm, "p0201");
  const auto pool = root_pool(mm);
  ASSERT_EQ(mm.lp.status(), LpStatus::kOptimal);
  const double z = mm.lp.objective();
  int idle = 0;
  for (int i = mm.prob.m; i < mm.lp.rows(); ++i) idle += std::fabs(mm.lp.duals()[i]) <= 1e-9;
  const int before = pool->size();
  for (int k = 0; k < before; ++k) pool->cut(k).inactive_count = 0;
  pool->age_cuts(mm.lp);
  EXPECT_EQ(pool->drop_aged_cuts(mm.lp, 2, mm.prob.n, 2), 0);
  EXPECT_EQ(pool->size(), before);
  const int went = pool->drop_aged_cuts(mm.lp, 1, mm.prob.n, 1);
  EXPECT_EQ(went, idle);
  EXPECT_EQ(pool->size(), before - idle);
  ASSERT_TRUE(pool->in_step_with(mm.lp));
  for (int k = 0; k < pool->size(); ++k) EXPECT_EQ(pool->cut_of_row(pool->cut(k).lp_row), k);
  ASSERT_EQ(mm.lp.solve(TV_METHOD_DSIMPLEX, {}), LpStatus::kOptimal);
  EXPECT_NEAR(mm.lp.objective(), z, 1e-6 * (1 + std::fabs(z)));
  if (!mm.optimum.empty()) expect_keeps_optimum(mm, *pool);
}

// Tree: idle slack cuts leave the LP but not the pool; a flush leaves them
// out, the LP's optimum stays without a pivot, and a point that violates one
// brings it back. Parking keeps the cut numbering, deleting renumbers.
TEST(CutPoolRules, ParkedCutsLeaveTheLpAndComeBackWhenViolated) {
  MipModel mm;
  LOAD_OR_SKIP(mm, "p0201");
  const auto pool = root_pool(mm);
  ASSERT_EQ(mm.lp.status(), LpStatus::kOptimal);
  const double z = mm.lp.objective();
  // one slack cut is flagged no-touch; it and the slack cuts of two entries stay
  int slack = 0, kept = -1;
  for (int i = mm.prob.m; i < mm.lp.rows(); ++i) {
    if (!mm.lp.is_basic_row(i)) continue;
    tarvo::mip::PoolCut &c = pool->cut(pool->cut_of_row(i));
    if (kept < 0) {
      kept = pool->cut_of_row(i);
      c.flags |= tarvo::mip::CutPool::kFlagNoTouch;
    } else {
      slack += c.index.size() >= 3;
    }
  }
  if (slack == 0) GTEST_SKIP() << "too few slack cuts after the root loop";
  const int size = pool->size(), rows = mm.lp.rows();
  const unsigned epoch = pool->epoch();
  for (int k = 0; k < size; ++k) pool->cut(k).inactive_count = 3;
  EXPECT_EQ(pool->park_idle_cuts(mm.lp, 4, 1), 0);          // not old enough
  EXPECT_EQ(pool->park_idle_cuts(mm.lp, 3, slack + 1), 0);  // too few for a batch
  EXPECT_EQ(pool->park_idle_cuts(mm.lp, 3, 1), slack);
  EXPECT_EQ(mm.lp.rows(), rows - slack);
  EXPECT_FALSE(pool->cut(kept).parked);
  EXPECT_EQ(pool->size(), size);
  EXPECT_EQ(pool->epoch(), epoch);
  ASSERT_TRUE(pool->in_step_with(mm.lp));
  EXPECT_EQ(pool->flush_to_lp(mm.lp), 0);
  ASSERT_EQ(mm.lp.solve(TV_METHOD_DSIMPLEX, {}), LpStatus::kOptimal);
  EXPECT_NEAR(mm.lp.objective(), z, 1e-6 * (1 + std::fabs(z)));
  EXPECT_EQ(mm.lp.iterations(), 0);
  // the optimum violates none of them
  EXPECT_EQ(pool->unpark_violated(mm.lp.x().data(), 1e-6, size), 0);
  // a point at the bounds that push a parked cut's activity up violates it
  int k = 0;
  while (!pool->cut(k).parked || pool->cut(k).sense != 'L') ++k;
  const auto &c = pool->cut(k);
  std::vector<double> y(mm.prob.n, 0.0);
  double act = 0;
  for (size_t p = 0; p < c.index.size(); ++p) {
    y[c.index[p]] = c.value[p] > 0 ? mm.prob.col_up[c.index[p]] : mm.prob.col_lo[c.index[p]];
    act += c.value[p] * y[c.index[p]];
  }
  if (act > c.rhs + 1e-3) {
    EXPECT_GE(pool->unpark_violated(y.data(), 1e-6, size), 1);
    EXPECT_FALSE(pool->cut(k).parked);
    const int back = pool->flush_to_lp(mm.lp);
    EXPECT_GE(back, 1);
    EXPECT_EQ(mm.lp.rows(), rows - slack + back);
    ASSERT_TRUE(pool->in_step_with(mm.lp));
    EXPECT_EQ(pool->cut_of_row(pool->cut(k).lp_row), k);
  }
  // deleting cuts from the pool renumbers them
  if (pool->delete_slack_cuts(mm.lp) > 0) {
    EXPECT_NE(pool->epoch(), epoch);
  }
}

// The parked cuts' activities are carried from point to point through the
// columns that moved: over a long walk of small and large moves, with cuts
// parked again after coming back and new cuts joining, the cuts returned are
// exactly those a fresh evaluation finds violated.
TEST(CutPoolRules, ParkedCutScanMatchesAFreshEvaluationAlongAWalk) {
  constexpr int n = 12;
  Enumerable e({std::vector<double>(n, 1.0)}, {-1e30}, {n}, std::vector<double>(n, -1.0));
  CutPool pool(e.prob);
  std::mt19937 rng(7);
  std::uniform_real_distribution<double> coef(-3, 3), unit(0, 1);
  auto add_parked = [&](int count) {
    for (int c = 0; c < count; ++c) {
      std::vector<int> cols;
      std::vector<double> vals;
      for (int j = 0; j < n; ++j)
        if (unit(rng) < 0.5) cols.push_back(j), vals.push_back(coef(rng));
      if (cols.empty()) continue;
      const int sense = static_cast<int>(rng() % 3) - 1;
      const int k = pool.add(1000, sense, 0, vals.data(), cols.data(), static_cast<int>(cols.size()), coef(rng), "MIGC");
      ASSERT_GE(k, 0);
      pool.cut(k).parked = true;
    }
  };
  add_parked(40);
  // a fresh evaluation of a cut's efficacy at x
  auto efficacy = [](const tarvo::mip::PoolCut &c, const std::vector<double> &x) {
    double act = 0, norm = 0;
    for (size_t p = 0; p < c.index.size(); ++p) act += c.value[p] * x[c.index[p]], norm += c.value[p] * c.value[p];
    return std::max(c.sense != 'G' ? act - c.rhs : 0.0, c.sense != 'L' ? c.rhs - act : 0.0) / std::sqrt(norm);
  };
  std::vector<double> x(n, 0.5);
  constexpr double kEff = 0.05;
  int returned = 0;
  for (int step = 0; step < 600; ++step) {
    // mostly a few columns move (a plunge), now and then all of them (a jump)
    const int moves = step % 50 == 0 ? n : 1 + static_cast<int>(rng() % 3);
    for (int t = 0; t < moves; ++t) x[rng() % n] = unit(rng) < 0.3 ? std::round(unit(rng)) : unit(rng);
    if (step % 97 == 0) add_parked(5);
    std::vector<int> expected;
    for (int k = 0; k < pool.size(); ++k) {
      if (!pool.cut(k).parked) continue;
      const double eff = efficacy(pool.cut(k), x);
      if (std::fabs(eff - kEff) < 1e-9) continue;  // too close to call for either evaluation
      if (eff > kEff) expected.push_back(k);
    }
    std::vector<char> was_parked(pool.size());
    for (int k = 0; k < pool.size(); ++k) was_parked[k] = pool.cut(k).parked;
    const int got = pool.unpark_violated(x.data(), kEff, pool.size());
    std::vector<int> back;
    for (int k = 0; k < pool.size(); ++k)
      if (was_parked[k] && !pool.cut(k).parked) back.push_back(k);
    ASSERT_EQ(back, expected) << "step " << step;
    EXPECT_EQ(got, static_cast<int>(back.size()));
    returned += got;
    // the cuts that came back leave again, most at once, some later
    for (int k : back)
      if (unit(rng) < 0.7) pool.cut(k).parked = true;
    if (step % 13 == 0)
      for (int k = 0; k < pool.size(); ++k) pool.cut(k).parked = true;
  }
  EXPECT_GT(returned, 100);
  // at most max_count come back, the most violated first
  for (int k = 0; k < pool.size(); ++k) pool.cut(k).parked = true;
  std::fill(x.begin(), x.end(), 1.0);
  std::vector<std::pair<double, int>> eff;
  for (int k = 0; k < pool.size(); ++k) eff.emplace_back(-efficacy(pool.cut(k), x), k);
  std::sort(eff.begin(), eff.end());
  ASSERT_GT(-eff[3].first, kEff);
  EXPECT_EQ(pool.unpark_violated(x.data(), kEff, 3), 3);
  for (int t = 0; t < 3; ++t) EXPECT_FALSE(pool.cut(eff[t].second).parked);
  EXPECT_TRUE(pool.cut(eff[3].second).parked);
}

TEST(RootLoopSettings, MaskZeroSkipsTheLoopAndNoRoomWarns) {
  MipModel mm;
  LOAD_OR_SKIP(mm, "p0033");
  CheckingSink sink(mm.prob);
  {
    set_param(mm.params, TV_IPARAM_MIP_CUTLEVEL_TOP, 0);
    auto ctx = mm.context(sink);
    auto pool = tarvo::mip::make_cut_pool(mm.prob);
    auto r = tarvo::mip::root_cut_loop(ctx, *pool);
    EXPECT_EQ(r.cuts_added, 0);
    EXPECT_FALSE(mm.logged("Start cuts loop"));
  }
  set_param(mm.params, TV_IPARAM_MIP_CUTLEVEL_TOP, 57342);
  set_param(mm.params, TV_DPARAM_MIP_ADDCUTPER, 0);
  auto ctx = mm.context(sink);
  auto pool = tarvo::mip::make_cut_pool(mm.prob);
  auto r = tarvo::mip::root_cut_loop(ctx, *pool);
  EXPECT_EQ(pool->size(), 0);
  EXPECT_EQ(r.cuts_added, 0);
  EXPECT_TRUE(mm.logged("try and increase TV_DPARAM_MIP_ADDCUTPER"));
  EXPECT_TRUE(mm.logged("Start cuts loop"));
}

// Bound and work of each root cut pass, read from the pass log lines.
std::vector<std::pair<double, double>> pass_bounds_and_work(const MipModel &mm) {
  std::vector<std::pair<double, double>> out;
  for (const auto &l : mm.log) {
    int pass, cuts;
    double bound, pivots, work;
    const auto at = l.find("Cut pass ");
    if (at != std::string::npos &&
        std::sscanf(l.c_str() + at, "Cut pass %d: bound %lf, %d cuts, %lf pivots, work %lf", &pass, &bound, &cuts,
                    &pivots, &work) == 5)
      out.emplace_back(bound, work);
  }
  return out;
}

// The root loop stops on work, not on the clock: each pass's work is the same
// from run to run, and a budget ends the loop at the first pass that reaches
// it, with the same bound the unlimited loop had after that pass.
TEST(RootLoopSettings, WorkBudgetEndsTheLoopAtTheFirstPassReachingIt) {
  for (const char *name : {"vpm2", "p0201"}) {
    std::vector<std::pair<double, double>> full;
    {
      MipModel mm;
      if (!mm.load(name)) continue;
      CheckingSink sink(mm.prob);
      auto ctx = mm.context(sink);
      auto pool = tarvo::mip::make_cut_pool(mm.prob);
      const auto r = tarvo::mip::root_cut_loop(ctx, *pool);
      full = pass_bounds_and_work(mm);
      ASSERT_EQ(static_cast<int>(full.size()), r.rounds) << name;
    }
    ASSERT_GE(full.size(), 5u) << name;
    for (size_t k = 1; k < full.size(); ++k) EXPECT_GT(full[k].second, full[k - 1].second) << name;
    MipModel mm;
    ASSERT_TRUE(mm.load(name));
    CheckingSink sink(mm.prob);
    auto ctx = mm.context(sink);
    ctx.root_cut_work = 0.5 * (full[2].second + full[3].second);  // inside the fourth pass
    auto pool = tarvo::mip::make_cut_pool(mm.prob);
    const auto r = tarvo::mip::root_cut_loop(ctx, *pool);
    const auto cut_short = pass_bounds_and_work(mm);
    EXPECT_EQ(r.rounds, 4) << name;
    EXPECT_TRUE(mm.logged("work budget")) << name;
    ASSERT_EQ(cut_short.size(), 4u) << name;
    for (size_t k = 0; k < 4; ++k) {
      EXPECT_EQ(cut_short[k].second, full[k].second) << name << " pass " << k + 1;
      EXPECT_NEAR(cut_short[k].first, full[k].first, 1e-9 * (1 + std::fabs(full[k].first))) << name;
    }
    if (!mm.optimum.empty()) expect_keeps_optimum(mm, *pool);
  }
}

// A pool that keeps filling: cuts deleted to make room must not leave the LP
// with results of rows it no longer has.
TEST(RootLoopSettings, FullPoolLeavesTheLpSolvedWithItsRows) {
  for (const char *name : {"p0033", "p0201", "10teams"}) {
    MipModel mm;
    if (!mm.load(name)) continue;
    set_param(mm.params, TV_DPARAM_MIP_ADDCUTPER, 0.1);
    CheckingSink sink(mm.prob);
    auto ctx = mm.context(sink);
    auto pool = tarvo::mip::make_cut_pool(mm.prob);
    auto r = tarvo::mip::root_cut_loop(ctx, *pool);
    ASSERT_EQ(r.status, LpStatus::kOptimal) << name;
    EXPECT_TRUE(pool->in_step_with(mm.lp)) << name;
    EXPECT_EQ(static_cast<int>(mm.lp.duals().size()), mm.lp.rows()) << name;
    EXPECT_EQ(static_cast<int>(mm.lp.row_activity().size()), mm.lp.rows()) << name;
    EXPECT_NEAR(r.bound, mm.lp.objective(), 1e-9 * (1 + std::fabs(r.bound))) << name;
    EXPECT_GE(r.bound, mm.lp_bound - 1e-6 * (1 + std::fabs(mm.lp_bound))) << name;
  }
}

// A small pool fills: slack cuts make room, and the pool never passes its limit.
TEST(RootLoopSettings, FullPoolMakesRoomFromSlackCutsAndKeepsItsLimit) {
  MipModel mm;
  LOAD_OR_SKIP(mm, "p0201");
  set_param(mm.params, TV_DPARAM_MIP_ADDCUTPER, 0.1);
  CheckingSink sink(mm.prob);
  auto ctx = mm.context(sink);
  auto pool = tarvo::mip::make_cut_pool(mm.prob);
  auto r = tarvo::mip::root_cut_loop(ctx, *pool);
  const int capacity = static_cast<int>(0.1 * mm.prob.m);
  EXPECT_LE(pool->size(), capacity);
  EXPECT_TRUE(pool->in_step_with(mm.lp));
  EXPECT_EQ(mm.lp.rows(), mm.prob.m + pool->size());
  EXPECT_GT(r.cuts_added, 0);
  if (pool->total() > static_cast<unsigned>(capacity)) {
    EXPECT_TRUE(mm.logged("deleting cuts with slack"));
  }
  if (!mm.optimum.empty()) expect_keeps_optimum(mm, *pool);
}

// The LP-rounding bit (off by default) and the lift-and-project bit put cuts
// of their classes into the pool through the whole loop, and the pool still
// keeps the optimum.
TEST(RootLoopSettings, LpRoundingAndDisjunctiveClassesReachThePool) {
  unsigned lp_round = 0, disjun = 0;
  for (const char *name : {"p0033", "bell5", "p0282", "mod008"}) {
    MipModel mm;
    if (!mm.load(name) || mm.optimum.empty()) continue;
    set_param(mm.params, TV_IPARAM_MIP_CUTLEVEL_TOP, 57342 | TV_MIP_LP_ROUND_CUTS);
    set_param(mm.params, TV_IPARAM_MIP_MAXCUTPASS_TOP, 20);
    CheckingSink sink(mm.prob);
    auto ctx = mm.context(sink);
    auto pool = tarvo::mip::make_cut_pool(mm.prob);
    tarvo::mip::root_cut_loop(ctx, *pool);
    expect_keeps_optimum(mm, *pool);
    lp_round += pool->count(tarvo::mip::CutClass::kLpRound);
    disjun += pool->count(tarvo::mip::CutClass::kDisjun);
    mm.log.clear();
    tarvo::mip::report_cut_statistics(ctx, *pool);
    char line[96];
    std::snprintf(line, sizeof line, "\n DISJUN cuts added          :%u", pool->count(tarvo::mip::CutClass::kDisjun));
    EXPECT_TRUE(mm.logged(line)) << name;
  }
  EXPECT_GT(lp_round, 0u);
  EXPECT_GT(disjun, 0u);
}

TEST(RootLoopSettings, StatisticsLinesCountTheClasses) {
  MipModel mm;
  LOAD_OR_SKIP(mm, "p0033");
  CheckingSink sink(mm.prob);
  auto ctx = mm.context(sink);
  auto pool = tarvo::mip::make_cut_pool(mm.prob);
  tarvo::mip::root_cut_loop(ctx, *pool);
  mm.log.clear();
  tarvo::mip::report_cut_statistics(ctx, *pool);
  char line[128];
  std::snprintf(line, sizeof line, "\n Gomory cuts added          :%d",
                static_cast<int>(pool->count(tarvo::mip::CutClass::kGomory)));
  EXPECT_TRUE(mm.logged(line));
  std::snprintf(line, sizeof line, "\n Cover cuts added           :%u", pool->count(tarvo::mip::CutClass::kCover));
  EXPECT_TRUE(mm.logged(line));
  EXPECT_GE(pool->total(), static_cast<unsigned>(pool->size()));  // slack cuts may have left
}

}  // namespace
