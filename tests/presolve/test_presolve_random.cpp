// Random LPs and small integer programs with planted structure (singleton
// rows, fixed and empty columns, doubleton equations, free column
// singletons, duplicate and forcing rows, lock-free columns): the answer with
// presolve must be the answer without it, the postsolved solution must pass
// primal and dual checks on the original problem, and its basis must be
// optimal for the original problem as it stands.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>

#include "presolve_check.hpp"

namespace {

using prestest::LinearProblem;
constexpr double kInf = 1e30;

// Builds the problem row by row; columns are gathered at the end.
struct Builder {
  std::mt19937 rng;
  std::vector<double> cost, lower, upper, x0;
  std::vector<std::vector<std::pair<int, double>>> rows;
  std::vector<double> rl, ru;
  std::vector<char> integer;

  explicit Builder(unsigned seed) : rng(seed) {}
  double uni(double a, double b) { return std::uniform_real_distribution<double>(a, b)(rng); }
  int pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); }
  double coef() { return std::round(uni(-5, 5) * 4) / 4 + (uni(0, 1) < 0.5 ? 0.5 : -0.5); }

  int column(double c, double l, double u, double x) {
    cost.push_back(c), lower.push_back(l), upper.push_back(u), x0.push_back(x), integer.push_back(0);
    return static_cast<int>(cost.size()) - 1;
  }
  double activity(const std::vector<std::pair<int, double>> &r) const {
    double t = 0;
    for (auto [j, a] : r) t += a * x0[j];
    return t;
  }
  // type 'L', 'G' or 'E' around the activity of x0 (slack of up to `slack`)
  void row(std::vector<std::pair<int, double>> r, char type, double slack) {
    const double t = activity(r);
    rows.push_back(std::move(r));
    rl.push_back(type == 'L' ? -kInf : t - (type == 'G' ? slack : 0));
    ru.push_back(type == 'G' ? kInf : t + (type == 'L' ? slack : 0));
  }
  std::vector<std::pair<int, double>> random_row(int n, int len) {
    std::vector<std::pair<int, double>> r;
    std::vector<char> used(n, 0);
    for (int k = 0; k < len; ++k) {
      const int j = pick(n);
      if (used[j]) continue;
      used[j] = 1;
      r.push_back({j, coef()});
    }
    return r;
  }
  LinearProblem problem() const {
    LinearProblem p;
    p.n = static_cast<int>(cost.size());
    p.m = static_cast<int>(rows.size());
    std::vector<std::vector<std::pair<int, double>>> cols(p.n);
    for (int i = 0; i < p.m; ++i)
      for (auto [j, a] : rows[i]) cols[j].push_back({i, a});
    p.start.assign(1, 0);
    for (int j = 0; j < p.n; ++j) {
      for (auto [i, a] : cols[j]) p.index.push_back(i), p.value.push_back(a);
      p.start.push_back(static_cast<int>(p.index.size()));
    }
    p.cost = cost, p.lower = lower, p.upper = upper, p.row_lower = rl, p.row_upper = ru;
    return p;
  }
};

// A feasible, bounded LP with every planted structure.
LinearProblem planted_lp(unsigned seed) {
  Builder b(seed);
  const int n = 40;
  for (int j = 0; j < n; ++j) {
    const double l = std::round(b.uni(-3, 1)), u = l + std::round(b.uni(1, 6));
    b.column(b.uni(-4, 4), l, u, b.uni(l, u));
  }
  // forcing row: its columns at their lower bounds, the row at its lowest activity
  std::vector<std::pair<int, double>> forcing;
  for (int k = 0; k < 3; ++k) {
    const int j = 5 * k + 1;
    b.x0[j] = b.lower[j];
    forcing.push_back({j, std::fabs(b.coef())});
  }
  for (int k = 0; k < 25; ++k) b.row(b.random_row(n, 2 + b.pick(6)), "LGE"[b.pick(3)], b.uni(0, 2));
  b.row(forcing, 'L', 0);
  // singleton rows (bounds that bind and bounds that do not)
  for (int k = 0; k < 4; ++k) b.row({{b.pick(n), b.coef()}}, "LGE"[k % 3], k % 2 ? 0 : b.uni(0, 1));
  // fixed columns
  for (int k = 0; k < 3; ++k) {
    const int j = b.pick(n);
    b.lower[j] = b.upper[j] = b.x0[j];
  }
  // doubleton equations
  for (int k = 0; k < 4; ++k) {
    const int j = b.pick(n), l = (j + 1 + b.pick(n - 1)) % n;
    b.row({{j, b.coef()}, {l, b.coef()}}, 'E', 0);
  }
  // free column singletons with cost in equations
  for (int k = 0; k < 3; ++k) {
    const int f = b.column(b.uni(-2, 2), -kInf, kInf, b.uni(-3, 3));
    auto r = b.random_row(n, 3);
    r.push_back({f, b.coef()});
    b.row(r, 'E', 0);
  }
  // duplicate rows: scaled copies, some with a tighter side
  for (int k = 0; k < 3; ++k) {
    const int i = b.pick(static_cast<int>(b.rows.size()));
    if (b.rows[i].size() < 2) continue;
    const double f = k == 1 ? -2.0 : 0.5 + k;
    auto r = b.rows[i];
    for (auto &e : r) e.second *= f;
    b.row(r, f > 0 ? 'L' : 'G', b.uni(0, 1));
  }
  // a lock-free column: cost > 0, only in <= rows with positive coefficients
  const int d = b.column(3, 0, 4, 0);
  for (int k = 0; k < 2; ++k) {
    auto r = b.random_row(n, 3);
    r.push_back({d, 1.5});
    b.row(r, 'L', 1);
  }
  // singletons >= 0 without upper bound cap the duals of their rows; a
  // column in capped rows whose cost those caps outweigh (or nearly) is
  // dominated, one whose cost they do not is not
  std::vector<int> capped;
  for (int k = 0; k < 6; ++k) {
    const int i = 1 + b.pick(24);  // row 0 keeps finite activity bounds
    b.rows[i].push_back({b.column(b.uni(0.5, 2), 0, kInf, 0), b.pick(2) ? 1.0 : -1.0});
    capped.push_back(i);
  }
  for (int k = 0; k < 3; ++k) {
    const int c = b.column(k == 0 ? 0.5 : 8 * k, 0, 3, 0);
    b.rows[capped[2 * k]].push_back({c, b.coef()});
    if (capped[2 * k + 1] != capped[2 * k]) b.rows[capped[2 * k + 1]].push_back({c, b.coef()});
  }
  // an empty row and an empty column
  b.rows.push_back({});
  b.rl.push_back(-1), b.ru.push_back(kInf);
  b.column(-1, 0, 2, 2);
  return b.problem();
}

void expect_same_answer(const LinearProblem &p, unsigned seed) {
  const prestest::Solved plain = prestest::solve(p, 0);
  const prestest::Solved reduced = prestest::solve(p, 254);
  ASSERT_EQ(plain.code, 0) << seed;
  ASSERT_EQ(reduced.code, 0) << seed;
  ASSERT_EQ(reduced.status, plain.status) << seed;
  if (plain.status != TV_STATUS_BASIC_OPTIMAL) return;
  EXPECT_FALSE(reduced.repaired) << seed;
  EXPECT_NEAR(reduced.objective, plain.objective, 1e-7 * std::max(1.0, std::fabs(plain.objective))) << seed;
  const prestest::Residuals res = prestest::residuals(p, reduced.solution);
  EXPECT_LE(res.primal, 1e-7) << seed;
  EXPECT_LE(res.dual, 1e-7) << seed;
  EXPECT_EQ(res.basic, p.m) << seed;
  // the postsolved basis is optimal for the original problem as it stands
  const prestest::Solved again = prestest::solve(p, 0, &reduced.solution);
  EXPECT_EQ(again.status, TV_STATUS_BASIC_OPTIMAL) << seed;
  EXPECT_LE(again.iterations, 2) << seed;
}

TEST(PresolveRandom, PlantedStructureGivesTheUnpresolvedAnswer) {
  tarvo::presolve::Counters total;
  for (unsigned seed = 1; seed <= 40; ++seed) {
    const LinearProblem p = planted_lp(seed);
    tarvo::presolve::Result r;
    ASSERT_EQ(tarvo::presolve::run(p, tarvo::presolve::Options{}, &r), 0);
    // the planted structure is found
    EXPECT_GT(r.counts.singleton_rows, 0);
    EXPECT_GT(r.counts.fixed_cols, 0);
    EXPECT_GT(r.counts.free_singletons, 0);
    EXPECT_GT(r.counts.empty_rows + r.counts.empty_cols, 0);
    EXPECT_GT(r.counts.forcing_rows + r.counts.dual_fixed, 0);
    // the equations can go either way (doubleton or substitution of a free column)
    total.doubletons += r.counts.doubletons;
    total.duplicate_rows += r.counts.duplicate_rows;
    total.dual_bound_fixed += r.counts.dual_bound_fixed;
    EXPECT_LT(r.reduced.m, p.m) << seed;
    expect_same_answer(p, seed);
  }
  EXPECT_GT(total.doubletons, 10);
  EXPECT_GT(total.duplicate_rows, 10);
  EXPECT_GT(total.dual_bound_fixed, 10);
}

TEST(PresolveRandom, EveryLevelAgrees) {
  for (unsigned seed = 100; seed < 110; ++seed) {
    LinearProblem p = planted_lp(seed);
    for (int level : {2, 2 | 16, 2 | 32, 254, 2 | 16 | 32 | 1024}) {
      const prestest::Solved plain = prestest::solve(p, 0), reduced = prestest::solve(p, level);
      ASSERT_EQ(reduced.status, plain.status) << seed << " level " << level;
      EXPECT_NEAR(reduced.objective, plain.objective, 1e-7 * std::max(1.0, std::fabs(plain.objective)));
    }
  }
}

TEST(PresolveRandom, InfeasibleForcingRowIsFoundByPresolveAlone) {
  for (unsigned seed = 200; seed < 210; ++seed) {
    LinearProblem p = planted_lp(seed);
    // a row whose lowest activity exceeds its upper side
    double minact = 0;
    for (int j = 0; j < p.n; ++j)
      for (int k = p.start[j]; k < p.start[j + 1]; ++k)
        if (p.index[k] == 0) minact += p.value[k] * (p.value[k] > 0 ? p.lower[j] : p.upper[j]);
    p.row_lower[0] = -kInf;
    p.row_upper[0] = minact - 1;
    tarvo::presolve::Result r;
    ASSERT_EQ(tarvo::presolve::run(p, tarvo::presolve::Options{}, &r), 0);
    EXPECT_EQ(r.outcome, tarvo::presolve::Outcome::kInfeasible) << seed;
    EXPECT_EQ(prestest::solve(p, 254).status, TV_STATUS_INFEASIBLE) << seed;
    EXPECT_EQ(prestest::solve(p, 0).status, TV_STATUS_INFEASIBLE) << seed;
  }
}

TEST(PresolveRandom, UnboundedDirectionIsLeftToTheSimplex) {
  for (unsigned seed = 300; seed < 305; ++seed) {
    LinearProblem p = planted_lp(seed);
    // an empty column that pays for growing without bound, and a lock-free one
    p.cost.push_back(-1), p.lower.push_back(0), p.upper.push_back(kInf);
    p.start.push_back(p.start.back());
    ++p.n;
    tarvo::presolve::Result r;
    ASSERT_EQ(tarvo::presolve::run(p, tarvo::presolve::Options{}, &r), 0);
    EXPECT_NE(r.outcome, tarvo::presolve::Outcome::kInfeasible);
    const prestest::Solved plain = prestest::solve(p, 0), reduced = prestest::solve(p, 254);
    EXPECT_EQ(plain.status, TV_STATUS_UNBOUNDED) << seed;
    EXPECT_EQ(reduced.status, plain.status) << seed;
  }
}

// Integer programs small enough to enumerate: the reduced problem (integer
// rounding, activity bounds, coefficient tightening, probing) keeps the
// optimum, and the postsolved optimum of the reduced problem is feasible.
double enumerate(const LinearProblem &p, std::vector<double> *best_x) {
  double best = kInf;
  std::vector<double> x(p.n);
  std::vector<int> span(p.n);
  long total = 1;
  for (int j = 0; j < p.n; ++j) {
    span[j] = static_cast<int>(p.upper[j] - p.lower[j]) + 1;
    total *= span[j];
  }
  std::vector<double> act(p.m);
  for (long code = 0; code < total; ++code) {
    long c = code;
    for (int j = 0; j < p.n; ++j) x[j] = p.lower[j] + static_cast<double>(c % span[j]), c /= span[j];
    std::fill(act.begin(), act.end(), 0.0);
    double obj = p.offset;
    for (int j = 0; j < p.n; ++j) {
      obj += p.cost[j] * x[j];
      for (int k = p.start[j]; k < p.start[j + 1]; ++k) act[p.index[k]] += p.value[k] * x[j];
    }
    bool ok = true;
    for (int i = 0; i < p.m && ok; ++i) ok = act[i] >= p.row_lower[i] - 1e-9 && act[i] <= p.row_upper[i] + 1e-9;
    if (ok && obj < best) best = obj, *best_x = x;
  }
  return best;
}

// The reduced problem of p has p's optimum `opt`, and its optimal point,
// postsolved, is feasible for p with that objective; returns that point.
std::vector<double> check_reduced_optimum(const LinearProblem &p, const tarvo::presolve::Result &r, double opt,
                                          unsigned seed) {
  std::vector<double> x_red;
  const double red = r.reduced.n ? enumerate(r.reduced, &x_red) : r.reduced.offset;
  EXPECT_NEAR(red, opt, 1e-9) << seed;
  tarvo::presolve::Solution rs, full;
  rs.x = x_red;
  rs.y.assign(r.reduced.m, 0.0);
  rs.col_status.assign(r.reduced.n, 1);
  rs.row_status.assign(r.reduced.m, 0);
  tarvo::presolve::postsolve(r, rs, &full);
  const prestest::Residuals res = prestest::residuals(p, full);
  EXPECT_LE(res.primal, 1e-9) << seed;
  EXPECT_NEAR(res.objective, opt, 1e-9) << seed;
  return full.x;
}

// Presolves p (x0 feasible) at the default integer level and checks the
// reduced optimum against enumeration; false when nothing was reduced.
bool presolve_keeps_optimum(const LinearProblem &p, unsigned seed, tarvo::presolve::Result *r,
                            std::vector<double> *full) {
  std::vector<double> x_orig;
  const double opt = enumerate(p, &x_orig);
  EXPECT_LT(opt, kInf) << seed;
  tarvo::presolve::Options o;
  o.mip = true;
  o.level = 3070;
  EXPECT_EQ(tarvo::presolve::run(p, o, r), 0);
  EXPECT_NE(r->outcome, tarvo::presolve::Outcome::kInfeasible) << seed;
  if (r->outcome == tarvo::presolve::Outcome::kUnchanged || r->outcome == tarvo::presolve::Outcome::kInfeasible)
    return false;
  std::vector<double> x = check_reduced_optimum(p, *r, opt, seed);
  if (full) *full = std::move(x);
  return true;
}

TEST(PresolveRandom, IntegerReductionsKeepTheOptimum) {
  int reduced_something = 0, clique_fixed = 0, singletons = 0;
  for (unsigned seed = 400; seed < 460; ++seed) {
    Builder b(seed);
    const int n = 10;
    for (int j = 0; j < n; ++j) {
      const bool bin = j % 3 != 0;
      b.column(std::round(b.uni(-6, 6)), 0, bin ? 1 : 2, bin ? b.pick(2) : b.pick(3));
      b.integer.back() = 1;
    }
    b.x0[2] = b.x0[4] = 0;  // room for the clique row below
    for (int k = 0; k < 6; ++k) {
      auto r = b.random_row(n, 3 + b.pick(4));
      for (auto &e : r) e.second = std::round(e.second * 2);
      r.erase(std::remove_if(r.begin(), r.end(), [](auto &e) { return e.second == 0; }), r.end());
      if (r.empty()) continue;
      b.row(r, "LGE"[b.pick(3) % 2], std::round(b.uni(0, 3)));
    }
    // a set-packing row (a clique) and a knapsack row with big coefficients
    b.row({{1, 1}, {2, 1}, {4, 1}}, 'L', 1 - b.x0[1]);
    // x1 + x2 >= 1 inside that clique (when x1 = 1 leaves room): x4 = 0
    if (b.x0[1] == 1) b.row({{1, 1}, {2, 1}}, 'G', 0);
    // an integer singleton in an equation of integers: substituted or the row's slack
    const int d = b.column(std::round(b.uni(-3, 3)), 0, 2, b.pick(3));
    b.integer.back() = 1;
    b.row({{0, 1}, {3, 2}, {d, 1}}, 'E', 0);
    b.row({{5, 9}, {7, 2}, {8, 3}}, 'L', 2);
    LinearProblem p = b.problem();
    p.integer = b.integer;
    for (int i = 0; i < p.m; ++i) {
      if (p.row_lower[i] > -kInf) p.row_lower[i] = std::floor(p.row_lower[i]);
      if (p.row_upper[i] < kInf) p.row_upper[i] = std::ceil(p.row_upper[i]);
    }
    tarvo::presolve::Result r;
    if (presolve_keeps_optimum(p, seed, &r, nullptr)) ++reduced_something;
    clique_fixed += r.counts.clique_fixed;
    singletons += r.counts.free_singletons;
  }
  EXPECT_GT(reduced_something, 30);
  EXPECT_GT(clique_fixed, 0);
  EXPECT_GT(singletons, 10);
}

// Planted pairs for the integer reductions: a column parallel to another
// (cost included), a column dominated by a cheaper twin, an equation of two
// binaries, an equation contained (twice over) in a longer row, and three
// binaries equal through a cycle of inequalities (probing).
TEST(PresolveRandom, PlantedIntegerPairsKeepTheOptimum) {
  tarvo::presolve::Counters fired;
  for (unsigned seed = 600; seed < 660; ++seed) {
    Builder b(seed);
    const int n = 15;
    for (int j = 0; j < n; ++j) {
      const bool wide = j % 3 == 0 && j != 9 && j < 12;
      b.column(std::round(b.uni(-6, 6)), 0, wide ? 2 : 1, wide ? b.pick(3) : b.pick(2));
      b.integer.back() = 1;
    }
    b.cost[9] = 2 * b.cost[3];              // column 9 = 2 * column 3
    b.cost[8] = b.cost[7] + 1 + b.pick(3);  // column 8 = column 7, dearer
    b.x0[1] = 1, b.x0[2] = b.x0[4] = 0;
    b.x0[11] = b.x0[10];
    for (int k = 0; k < 6; ++k) {
      auto r = b.random_row(8, 3 + b.pick(4));
      for (auto &e : r) e.second = std::round(e.second * 2);
      r.erase(std::remove_if(r.begin(), r.end(), [](auto &e) { return e.second == 0; }), r.end());
      if (r.empty()) continue;
      const size_t len = r.size();
      for (size_t q = 0; q < len; ++q) {
        if (r[q].first == 3) r.push_back({9, 2 * r[q].second});
        if (r[q].first == 7) r.push_back({8, r[q].second});
      }
      b.row(r, "LG"[b.pick(2)], std::round(b.uni(0, 3)));
    }
    b.row({{1, 1}, {2, 1}, {4, 1}}, 'E', 0);
    b.row({{1, 2}, {2, 2}, {4, 2}, {5, 1}, {6, -1}}, 'L', b.pick(2));
    b.row({{10, 1}, {11, -1}}, 'E', 0);
    b.row({{10, 1}, {11, 1}, {0, 1}, {7, 1}, {8, 1}}, 'L', b.pick(2));
    // x12 <= x13 <= x14 <= x12: equal binaries that only probing sees
    b.x0[13] = b.x0[14] = b.x0[12];
    b.row({{12, 1}, {13, -1}}, 'L', 0);
    b.row({{13, 1}, {14, -1}}, 'L', 0);
    b.row({{14, 1}, {12, -1}}, 'L', 0);
    b.row({{12, 2}, {13, 1}, {14, -1}, {3, 1}, {5, 1}}, "LG"[b.pick(2)], b.pick(2));
    LinearProblem p = b.problem();
    p.integer = b.integer;
    tarvo::presolve::Result r;
    std::vector<double> full;
    if (!presolve_keeps_optimum(p, seed, &r, &full)) continue;
    fired.merged_cols += r.counts.merged_cols;
    fired.dominated_cols += r.counts.dominated_cols;
    fired.similar_rows += r.counts.similar_rows;
    fired.integer_doubletons += r.counts.integer_doubletons;
    fired.aggregated += r.counts.aggregated;
    for (int j = 0; j < p.n; ++j) EXPECT_EQ(full[j], std::round(full[j])) << seed << " column " << j;
  }
  EXPECT_GT(fired.merged_cols, 0);
  EXPECT_GT(fired.dominated_cols, 0);
  EXPECT_GT(fired.similar_rows, 0);
  EXPECT_GT(fired.integer_doubletons, 0);
  EXPECT_GT(fired.aggregated, 0);
}

// Switches: x_k <= y_k (sometimes 2 x_k <= 2 y_k + 1, which no rounding of
// y_k makes tight), y_k without cost or with a cost, the y's in a cardinality
// row and in random rows of either sense; the x's in random rows.
TEST(PresolveRandom, SwitchRowsMadeTightKeepTheOptimum) {
  int bound = 0;
  for (unsigned seed = 700; seed < 760; ++seed) {
    Builder b(seed);
    const int k = 5;
    for (int j = 0; j < 2 * k; ++j) {
      b.column(j < k ? std::round(b.uni(-6, 3)) : (b.pick(3) == 0 ? std::round(b.uni(-2, 2)) : 0), 0, 1, 0);
      b.integer.back() = 1;
    }
    for (int j = 0; j < k; ++j) b.x0[j] = b.pick(2), b.x0[k + j] = b.x0[j];
    for (int j = 0; j < k; ++j) {
      if (b.pick(4) == 0)
        b.row({{j, 2}, {k + j, -2}}, 'L', 1);
      else
        b.row({{j, 1}, {k + j, -1}}, 'L', 0);
    }
    std::vector<std::pair<int, double>> card;
    for (int j = k; j < 2 * k; ++j) card.push_back({j, 1});
    b.row(card, 'L', b.pick(2));
    for (int t = 0; t < 3; ++t) {
      auto r = b.random_row(t == 2 ? 2 * k : k, 3);
      for (auto &e : r) e.second = std::round(e.second);
      r.erase(std::remove_if(r.begin(), r.end(), [](auto &e) { return e.second == 0; }), r.end());
      if (!r.empty()) b.row(r, "LG"[b.pick(2)], b.pick(2));
    }
    LinearProblem p = b.problem();
    p.integer = b.integer;
    tarvo::presolve::Result r;
    if (presolve_keeps_optimum(p, seed, &r, nullptr)) bound += r.counts.rows_bound;
  }
  EXPECT_GT(bound, 0);
}

}  // namespace
