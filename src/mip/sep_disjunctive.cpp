// Disjunctive (lift-and-project) cuts from split disjunctions
// x_k <= floor(x*_k) or x_k >= ceil(x*_k) of fractional integer columns.
//
// Every column is complemented to a finite bound, y >= 0. The cut-generating
// LP works in the subspace of the columns strictly inside their bounds (the
// support of the LP point; the others sit at a bound, y* = 0) and over the LP
// rows that touch it, each row scaled to unit norm:
//
//   min  alpha y* - beta
//   s.t. alpha_j >= u G_j - u0 [j = k],   alpha_j >= v G_j + v0 [j = k]   (j in the support)
//        beta <= u h - u0 pi0,            beta <= v h + v0 (pi0 + 1)
//        sum u + sum v + u0 + v0 = 1,     u, v, u0, v0 >= 0,
//
// G y >= h being the rows (and the support's upper bounds) in >= form. Only
// the multipliers are taken from its solution: the cut over all columns is
// rebuilt from them, alpha_j = max(u G_j, v G_j), which holds for every y >= 0
// whatever the accuracy of the LP. Integer columns are strengthened by
// modifying the disjunction with an integer multiple of their own unit vector.
// One LP serves all disjunctions of a pass: each has its own pair (u0, v0),
// kept at zero while the others are solved.
#include <algorithm>
#include <cmath>

#include "common/clock.hpp"
#include "mip/cutpool.hpp"
#include "mip/separators.hpp"
#include "mip/working_problem.hpp"
#include "simplex/lp_solver.hpp"
#include "tarvo.h"

namespace tarvo::mip {

namespace {
constexpr double kInf = 1e30;
constexpr double kMinFrac = 0.01;      // rows of nearly integral columns make weak disjunctions
constexpr double kInside = 1e-6;       // distance from a bound that puts a column in the support
constexpr double kMultZero = 1e-11;    // multipliers below are round-off of zero
constexpr double kMinViolation = 1e-6; // CGLP objective a cut must reach (scaled space)
constexpr double kMaxStrengthen = 1e6; // largest multiple of a unit vector added to the disjunction

// x_j = sign * y_j + shift with y_j >= 0.
struct Complement {
  double sign = 1, shift = 0;
  bool ok = false;  // false for columns with no finite bound
};

// One >= side of an LP row over the y-space, scaled: sum g_q y_{idx_q} >= h.
struct Side {
  std::vector<int> idx;
  std::vector<double> g;
  double h = 0;
};

struct Disjunction {
  int col;
  double pi0;  // y_k <= pi0 or y_k >= pi0 + 1
};

std::vector<Complement> complement_columns(const ExtendedVars &e) {
  std::vector<Complement> c(e.n);
  for (int j = 0; j < e.n; ++j) {
    const bool lo_ok = e.lo[j] > -kInf, up_ok = e.up[j] < kInf;
    if (!lo_ok && !up_ok) continue;
    const bool use_up = !lo_ok || (up_ok && e.up[j] - e.x[j] < e.x[j] - e.lo[j]);
    c[j] = use_up ? Complement{-1.0, e.up[j], true} : Complement{1.0, e.lo[j], true};
  }
  return c;
}

double y_value(const Complement &c, double x) { return std::max(0.0, c.sign * (x - c.shift)); }

// Fractional integer columns, most fractional first.
std::vector<Disjunction> pick_disjunctions(const SepInput &in, const std::vector<Complement> &comp, int limit) {
  std::vector<std::pair<double, int>> cand;
  for (int j = 0; j < in.prob.n; ++j) {
    if (!in.prob.is_int[j] || !comp[j].ok) continue;
    const double f = in.x[j] - std::floor(in.x[j]);
    if (f < kMinFrac || f > 1 - kMinFrac) continue;
    cand.emplace_back(-std::min(f, 1 - f), j);
  }
  std::sort(cand.begin(), cand.end());
  if (static_cast<int>(cand.size()) > limit) cand.resize(limit);
  std::vector<Disjunction> out;
  for (const auto &[score, j] : cand) out.push_back({j, std::floor(y_value(comp[j], in.x[j]))});
  return out;
}

// The >= sides of the LP rows touching the support, tight rows first, scaled
// to unit norm; rows with a column that has no finite bound, or that is
// outside the support but not at its bound, are left out.
std::vector<Side> collect_sides(const SepInput &in, const std::vector<Complement> &comp,
                                const std::vector<int> &pos, int max_rows) {
  const ExtendedVars &e = in.ext;
  const int n = e.n;
  std::vector<std::pair<double, int>> order;
  std::vector<int> idx;
  std::vector<double> val;
  for (int i = 0; i < e.rows; ++i) {
    const int k = n + i;
    if (!e.known[k]) continue;
    idx.clear();
    val.clear();
    if (!append_slack_row(in.prob, in.pool, i, -1.0, idx, val)) continue;
    // outside the support the CGLP takes y = 0: a row over a column left out
    // while away from its bound would not hold at the point
    bool touches = false, usable = true;
    double norm = 0;
    for (size_t q = 0; q < idx.size() && usable; ++q) {
      const int j = idx[q];
      touches |= pos[j] >= 0;
      usable = comp[j].ok && (pos[j] >= 0 || y_value(comp[j], e.x[j]) <= kInside);
      norm += val[q] * val[q];
    }
    if (!touches || !usable || norm <= 0) continue;
    const double slack = std::min(e.x[k] - e.lo[k], e.up[k] - e.x[k]);
    order.emplace_back(slack / std::sqrt(norm), i);
  }
  std::sort(order.begin(), order.end());
  if (static_cast<int>(order.size()) > max_rows) order.resize(max_rows);
  std::vector<Side> sides;
  for (const auto &[slack, i] : order) {
    const int k = n + i;
    idx.clear();
    val.clear();
    append_slack_row(in.prob, in.pool, i, -1.0, idx, val);  // a x with a x in [-up_s, -lo_s]
    Side s;
    double offset = 0, norm = 0;
    for (size_t q = 0; q < idx.size(); ++q) {
      const Complement &c = comp[idx[q]];
      offset += val[q] * c.shift;
      s.idx.push_back(idx[q]);
      s.g.push_back(val[q] * c.sign);
      norm += val[q] * val[q];
    }
    norm = std::sqrt(norm);
    for (double &g : s.g) g /= norm;
    if (e.up[k] < kInf) {  // a x >= -up_s
      Side lo_side = s;
      lo_side.h = (-e.up[k] - offset) / norm;
      sides.push_back(std::move(lo_side));
    }
    if (e.lo[k] > -kInf) {  // -a x >= lo_s
      for (double &g : s.g) g = -g;
      s.h = (e.lo[k] + offset) / norm;
      sides.push_back(std::move(s));
    }
  }
  return sides;
}

// Column-wise builder of the cut-generating LP.
struct CglpBuilder {
  MipProblem p;
  void add_col(double cost, double lo, double up, const std::vector<std::pair<int, double>> &entries) {
    p.c.push_back(cost);
    p.col_lo.push_back(lo);
    p.col_up.push_back(up);
    p.is_int.push_back(0);
    for (const auto &[row, v] : entries)
      if (v != 0.0) p.col_index.push_back(row), p.col_value.push_back(v);
    p.col_start.push_back(static_cast<int>(p.col_index.size()));
    p.n++;
  }
};

// The cut of multipliers (u, u0) and (v, v0) over all columns, strengthened
// on integer columns; false when it is not worth using.
bool cut_from_multipliers(const SepInput &in, const std::vector<Complement> &comp, const std::vector<Side> &sides,
                          const std::vector<double> &u, const std::vector<double> &v, double u0, double v0,
                          const Disjunction &d, Cut &cut) {
  const int n = in.prob.n;
  std::vector<double> a1(n, 0.0), a2(n, 0.0);
  std::vector<char> mark(n, 0);
  std::vector<int> touched;
  double h1 = -u0 * d.pi0, h2 = v0 * (d.pi0 + 1);
  auto touch = [&](int j) {
    if (!mark[j]) mark[j] = 1, touched.push_back(j);
  };
  for (size_t r = 0; r < sides.size(); ++r) {
    if (u[r] <= 0 && v[r] <= 0) continue;
    const Side &s = sides[r];
    for (size_t q = 0; q < s.idx.size(); ++q) {
      touch(s.idx[q]);
      a1[s.idx[q]] += u[r] * s.g[q];
      a2[s.idx[q]] += v[r] * s.g[q];
    }
    h1 += u[r] * s.h;
    h2 += v[r] * s.h;
  }
  touch(d.col);
  a1[d.col] -= u0;
  a2[d.col] += v0;
  const double beta = std::min(h1, h2);
  if (!std::isfinite(beta)) return false;
  const double w = u0 + v0;
  double big = 0;
  for (int j : touched) {
    double alpha = std::max(a1[j], a2[j]);
    if (in.prob.is_int[j] && w > 1e-9) {
      // disjunction (e_k + m e_j) y: coefficient max(a1 - u0 m, a2 + v0 m) for an integer m
      const double m = std::clamp((a1[j] - a2[j]) / w, -kMaxStrengthen, kMaxStrengthen);
      for (double mi : {std::floor(m), std::ceil(m)})
        alpha = std::min(alpha, std::max(a1[j] - u0 * mi, a2[j] + v0 * mi));
    }
    a1[j] = alpha;
    big = std::max(big, std::fabs(alpha));
  }
  // Round-off leaves tiny coefficients that would make the cut badly scaled.
  // With y >= 0 a coefficient may always grow; it may shrink to zero when
  // y has an upper bound, paid for in beta.
  const double small = big / in.safety.max_dynamism;
  double b = beta;
  for (int j : touched) {
    double &alpha = a1[j];
    if (std::fabs(alpha) >= small) continue;
    const double span = in.ext.up[j] - in.ext.lo[j];
    if (alpha <= 0)
      alpha = 0;
    else if (span < kInf)
      b -= alpha * span, alpha = 0;
    else
      alpha = small;
  }
  // sum alpha_j y_j >= b as a <= cut over x
  std::vector<double> dense(n, 0.0);
  double rhs = -b;
  for (int j : touched) {
    const double alpha = a1[j];
    if (alpha == 0.0) continue;
    dense[j] = -alpha * comp[j].sign;
    rhs -= alpha * comp[j].sign * comp[j].shift;
  }
  dense_to_cut(dense, rhs, cut);
  if (!tidy_cut(cut, in.prob, in.safety)) return false;
  cut.tag = "DISJUN";
  cut.efficacy = cut_efficacy(cut, in.x);
  return cut.efficacy >= in.safety.min_efficacy;
}

}  // namespace

void separate_disjunctive(const SepInput &in, const DisjunctiveLimits &lim, std::vector<Cut> &out) {
  const ExtendedVars &e = in.ext;
  const int n = in.prob.n;
  if (common::wall_seconds() > in.deadline) return;
  const std::vector<Complement> comp = complement_columns(e);
  const std::vector<Disjunction> disj = pick_disjunctions(in, comp, lim.max_disjunctions);
  if (disj.empty()) return;
  // the support: the disjunctions' columns, then the other columns strictly inside their bounds
  std::vector<int> support, pos(n, -1);
  for (const Disjunction &d : disj) pos[d.col] = static_cast<int>(support.size()), support.push_back(d.col);
  for (int j = 0; j < n && static_cast<int>(support.size()) < lim.max_support; ++j) {
    if (pos[j] >= 0 || !comp[j].ok) continue;
    if (e.x[j] > e.lo[j] + kInside && e.x[j] < e.up[j] - kInside) pos[j] = static_cast<int>(support.size()), support.push_back(j);
  }
  std::vector<Side> sides = collect_sides(in, comp, pos, lim.max_rows);
  // the support's upper bounds -y_j >= -(up - lo)
  for (int j : support)
    if (e.lo[j] > -kInf && e.up[j] < kInf) sides.push_back(Side{{j}, {-1.0}, -(e.up[j] - e.lo[j])});
  const int F = static_cast<int>(support.size());
  const int S = static_cast<int>(sides.size());
  // rows: A_j (F), B_j (F), beta under u, beta under v, normalisation
  const int row_bu = 2 * F, row_bv = 2 * F + 1, row_norm = 2 * F + 2;
  CglpBuilder b;
  b.p.m = 2 * F + 3;
  b.p.col_start.push_back(0);
  for (int f = 0; f < F; ++f)  // alpha_j
    b.add_col(y_value(comp[support[f]], in.x[support[f]]), -kInf, kInf, {{f, 1.0}, {F + f, 1.0}});
  b.add_col(-1.0, -kInf, kInf, {{row_bu, -1.0}, {row_bv, -1.0}});  // beta
  std::vector<std::pair<int, double>> eu, ev;
  for (const Side &s : sides) {
    eu.clear();
    ev.clear();
    for (size_t q = 0; q < s.idx.size(); ++q) {
      const int f = pos[s.idx[q]];
      if (f < 0) continue;
      eu.emplace_back(f, -s.g[q]);
      ev.emplace_back(F + f, -s.g[q]);
    }
    eu.emplace_back(row_bu, s.h);
    eu.emplace_back(row_norm, 1.0);
    ev.emplace_back(row_bv, s.h);
    ev.emplace_back(row_norm, 1.0);
    b.add_col(0.0, 0.0, kInf, eu);
    b.add_col(0.0, 0.0, kInf, ev);
  }
  const int first_u0 = b.p.n;
  for (const Disjunction &d : disj) {  // closed until their turn
    b.add_col(0.0, 0.0, 0.0, {{pos[d.col], 1.0}, {row_bu, -d.pi0}, {row_norm, 1.0}});
    b.add_col(0.0, 0.0, 0.0, {{F + pos[d.col], -1.0}, {row_bv, d.pi0 + 1}, {row_norm, 1.0}});
  }
  b.p.row_lo.assign(b.p.m, 0.0);
  b.p.row_up.assign(b.p.m, kInf);
  b.p.row_lo[row_norm] = b.p.row_up[row_norm] = 1.0;
  b.p.build_rows();
  base::ModelData data;
  problem_to_lp_data(b.p, &data);
  simplex::LpSolver cglp;
  cglp.load(data, simplex::LpOptions{});
  for (int i = 0; i < b.p.m; ++i) cglp.set_row_bounds(i, b.p.row_lo[i], b.p.row_up[i]);

  std::vector<double> u(S), v(S);
  int found = 0;
  for (size_t t = 0; t < disj.size() && found < in.max_cuts; ++t) {
    const double left = in.deadline - common::wall_seconds();
    if (left <= 0) break;
    const int cu0 = first_u0 + 2 * static_cast<int>(t);
    if (t > 0) {
      cglp.set_col_bounds(cu0 - 2, 0.0, 0.0);
      cglp.set_col_bounds(cu0 - 1, 0.0, 0.0);
    }
    cglp.set_col_bounds(cu0, 0.0, kInf);
    cglp.set_col_bounds(cu0 + 1, 0.0, kInf);
    simplex::LpLimits limits;
    limits.iter_limit = lim.iter_limit;
    if (in.deadline < 1e29) limits.time_limit = left;
    if (cglp.solve(TV_METHOD_DSIMPLEX, limits) != simplex::LpStatus::kOptimal) continue;
    if (cglp.objective() > -kMinViolation) continue;
    const auto &z = cglp.x();
    auto mult = [&](int col) { return z[col] > kMultZero ? z[col] : 0.0; };
    for (int r = 0; r < S; ++r) u[r] = mult(F + 1 + 2 * r), v[r] = mult(F + 2 + 2 * r);
    Cut cut;
    if (cut_from_multipliers(in, comp, sides, u, v, mult(cu0), mult(cu0 + 1), disj[t], cut)) {
      out.push_back(std::move(cut));
      found++;
    }
  }
}

}  // namespace tarvo::mip
