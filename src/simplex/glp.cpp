// Building the simplex work object from a model: bounded form with slacks,
// scaling, the row-wise copy, starting bases, and the in-place warm updates
// that model modifications offer to it.
#include "simplex/glp.hpp"

#include <algorithm>
#include <cmath>

#include "params/param_store.hpp"

namespace tarvo::simplex {
namespace {

double pow2_round(double s) {
  if (!(s > 0) || !std::isfinite(s)) return 1.0;
  int e = 0;
  std::frexp(s, &e);
  return std::ldexp(1.0, e - 1);
}

// Geometric scaling passes followed by column equilibration; factors are
// powers of two so scaling itself adds no rounding error.
void compute_scaling(Glp &g, const base::ModelData &d) {
  const int m = g.m, n = g.n;
  g.row_scale.assign(m, 1.0);
  g.col_scale.assign(n, 1.0);
  std::vector<double> rmin(m), rmax(m);
  for (int pass = 0; pass < 6; ++pass) {
    std::fill(rmin.begin(), rmin.end(), kInf);
    std::fill(rmax.begin(), rmax.end(), 0.0);
    for (int j = 0; j < n; ++j)
      for (int k = d.start[j]; k < d.start[j] + d.length[j]; ++k) {
        double a = std::fabs(d.value[k]) * g.col_scale[j];
        if (a == 0) continue;
        int i = d.rowidx[k];
        rmin[i] = std::min(rmin[i], a);
        rmax[i] = std::max(rmax[i], a);
      }
    for (int i = 0; i < m; ++i)
      if (rmax[i] > 0) g.row_scale[i] = 1.0 / std::sqrt(rmin[i] * rmax[i]);
    for (int j = 0; j < n; ++j) {
      double lo = kInf, hi = 0;
      for (int k = d.start[j]; k < d.start[j] + d.length[j]; ++k) {
        double a = std::fabs(d.value[k]) * g.row_scale[d.rowidx[k]];
        if (a == 0) continue;
        lo = std::min(lo, a);
        hi = std::max(hi, a);
      }
      if (hi > 0) g.col_scale[j] = 1.0 / std::sqrt(lo * hi);
    }
  }
  for (int i = 0; i < m; ++i) g.row_scale[i] = pow2_round(g.row_scale[i]);
  for (int j = 0; j < n; ++j) {
    double hi = 0;
    for (int k = d.start[j]; k < d.start[j] + d.length[j]; ++k)
      hi = std::max(hi, std::fabs(d.value[k]) * g.row_scale[d.rowidx[k]]);
    g.col_scale[j] = hi > 0 ? pow2_round(1.0 / hi) : 1.0;
  }
  // keep the factors only when they narrow the spread of the entries
  auto spread = [&](bool scaled) {
    double lo = kInf, hi = 0;
    for (int j = 0; j < n; ++j)
      for (int k = d.start[j]; k < d.start[j] + d.length[j]; ++k) {
        double a = std::fabs(d.value[k]);
        if (a == 0) continue;
        if (scaled) a *= g.row_scale[d.rowidx[k]] * g.col_scale[j];
        lo = std::min(lo, a);
        hi = std::max(hi, a);
      }
    return hi > 0 ? hi / lo : 1.0;
  };
  if (spread(true) > spread(false)) {
    std::fill(g.row_scale.begin(), g.row_scale.end(), 1.0);
    std::fill(g.col_scale.begin(), g.col_scale.end(), 1.0);
  }
}

double scaled_bound(double v, double factor_div) {
  if (v <= -kInf) return -kInf;
  if (v >= kInf) return kInf;
  return v / factor_div;
}

}  // namespace

void row_slack_bounds(const base::ModelData &d, int i, double *lo, double *up) {
  // slack s = -a_i x, so the row interval [rl, ru] becomes [-ru, -rl]
  double b = d.b[i], rl = -kInf, ru = kInf;
  double r = d.range.empty() ? 0.0 : d.range[i];
  switch (d.ctype[i]) {
    case 'L':
      ru = b;
      if (r != 0 && std::isfinite(r) && std::fabs(r) < kInf) rl = b - std::fabs(r);
      break;
    case 'G':
      rl = b;
      if (r != 0 && std::isfinite(r) && std::fabs(r) < kInf) ru = b + std::fabs(r);
      break;
    case 'E':
      rl = ru = b;
      if (r > 0 && r < kInf) ru = b + r;
      if (r < 0 && r > -kInf) rl = b + r;
      break;
    default: break;
  }
  if (b <= -kInf) rl = -kInf;
  if (b >= kInf) ru = kInf;
  *lo = ru >= kInf ? -kInf : -ru;
  *up = rl <= -kInf ? kInf : -rl;
}

LpOptions LpOptions::from_params(const base::ParamValues &p) {
  LpOptions o;
  o.scale = p.integer(TV_IPARAM_LP_SCALE);
  o.refactor_freq = std::max(1, p.integer(TV_IPARAM_SPLEX_REFACFRQ));
  o.primal_tol = p.dbl(TV_DPARAM_SOLVER_FEASTOL);
  o.dual_tol = p.dbl(TV_DPARAM_SOLVER_OPTTOL);
  o.pivot_tol_min = p.dbl(TV_DPARAM_LP_MIN_PIVTOL);
  o.pivot_tol_max = std::max(o.pivot_tol_min, p.dbl(TV_DPARAM_LP_MAX_PIVTOL));
  o.pivot_tol = std::clamp(p.dbl(TV_DPARAM_LP_PIV_ZEROTOL), o.pivot_tol_min, o.pivot_tol_max);
  o.tol_floor = std::min(p.dbl(TV_DPARAM_LP_MIN_FEASTOL), p.dbl(TV_DPARAM_LP_MIN_OPTTOL));
  o.tol_ceiling = std::max(p.dbl(TV_DPARAM_LP_MAX_FEASTOL), p.dbl(TV_DPARAM_LP_MAX_OPTTOL));
  o.zero_tol = p.dbl(TV_DPARAM_LP_AIJ_ZEROTOL);
  const int recov = p.integer(TV_IPARAM_LP_BASRECOV_METHOD);
  o.basis_recovery = recov >= 1 && recov <= 3 ? recov : 1;
  o.ratrange = std::max(1, p.integer(TV_IPARAM_LP_RATRANGE));
  o.palloc = std::max(0, p.integer(TV_IPARAM_LP_PALLOC));
  constexpr int kXmodeSparseKernels = 4;  // TV_IPARAM_LP_XMODE: sparse FTRAN/BTRAN/update kernels
  o.lu_print_level = p.integer(TV_IPARAM_LU_PRINT_LEVEL);
  o.pcolal = std::clamp(p.integer(TV_IPARAM_LP_PCOLAL_FACTOR), 0, 100);
  o.sparse_kernels = (p.integer(TV_IPARAM_LP_XMODE) & kXmodeSparseKernels) != 0;
  xlu::Options &lu = o.lu;
  lu.num_candidates = p.integer(TV_IPARAM_LU_NUM_CANDITS);
  lu.max_updates = p.integer(TV_IPARAM_LU_MAX_UPDATES);
  lu.update_type = p.integer(TV_IPARAM_LU_UPDATE_TYPE);
  lu.mode = p.integer(TV_IPARAM_LU_MODE);
  const int pivmod = p.integer(TV_IPARAM_LU_PIVMOD);
  lu.pivot_rule = pivmod == 1 ? 1 : 0;
  lu.diag_tol = p.dbl(TV_DPARAM_LU_EPS_DIAG);
  lu.drop_tol = p.dbl(TV_DPARAM_LU_EPS_NONZ);
  // One kernel serves every back-end choice: 3 takes its candidate count and
  // drop tolerance from the simplex settings, 4 (and pivoting rule 2) adds the
  // condition control of TV_DPARAM_LU_INI_RCOND; 5 and 6 (external libraries)
  // run the default kernel.
  constexpr int kCoreBuiltin = 3, kCoreConditionControlled = 4;
  constexpr int kPivmodConditionControlled = 2;
  const int core = p.integer(TV_IPARAM_LU_CORE);
  if (core == kCoreBuiltin) {
    lu.num_candidates = o.ratrange;
    lu.drop_tol = std::max(lu.drop_tol, o.zero_tol);
  }
  if (core == kCoreConditionControlled || pivmod == kPivmodConditionControlled)
    lu.min_rcond = p.dbl(TV_DPARAM_LU_INI_RCOND);
  lu.abs_pivot_tol = p.dbl(TV_DPARAM_LU_EPS_PIVABS);
  lu.rel_pivot_tol = p.dbl(TV_DPARAM_LU_EPS_PIVREL);
  lu.spvtol_update = p.dbl(TV_DPARAM_LU_SPVTOL_UPDATE);
  lu.spvtol_ftran = p.dbl(TV_DPARAM_LU_SPVTOL_FTRAN);
  lu.spvtol_btran = p.dbl(TV_DPARAM_LU_SPVTOL_BTRAN);
  if (!o.sparse_kernels)
    lu.spvtol_ftran = lu.spvtol_btran = lu.spvtol_update = 0.0;
  return o;
}

void build_glp(Glp &g, base::Model &model) {
  build_glp(g, model.data, LpOptions::from_params(model.params));
  g.model = &model;
}

void build_glp(Glp &g, const base::ModelData &d, const LpOptions &opt) {
  const int m = d.m, n = d.n;
  g.model = nullptr;
  g.m = m;
  g.n = n;
  g.sense = d.sense == TV_MAX ? -1 : 1;
  g.objective_constant = d.obj_constant;
  g.scaled = opt.scale != 0;
  if (g.scaled) {
    compute_scaling(g, d);
  } else {
    g.row_scale.assign(m, 1.0);
    g.col_scale.assign(n, 1.0);
  }
  // [A I] column-wise
  g.col_start.assign(n + m + 1, 0);
  g.col_index.clear();
  g.col_value.clear();
  g.col_index.reserve(static_cast<std::size_t>(d.nz) + m);
  g.col_value.reserve(static_cast<std::size_t>(d.nz) + m);
  for (int j = 0; j < n; ++j) {
    for (int k = d.start[j]; k < d.start[j] + d.length[j]; ++k) {
      double v = d.value[k];
      if (std::fabs(v) <= opt.zero_tol) continue;
      int i = d.rowidx[k];
      g.col_index.push_back(i);
      g.col_value.push_back(v * g.row_scale[i] * g.col_scale[j]);
    }
    g.col_start[j + 1] = static_cast<int>(g.col_index.size());
  }
  for (int i = 0; i < m; ++i) {
    g.col_index.push_back(i);
    g.col_value.push_back(1.0);
    g.col_start[n + i + 1] = static_cast<int>(g.col_index.size());
  }
  const int nzs = g.col_start[n];
  g.nonbasic_rows.invalidate();
  const int nt = n + m;
  g.cost.assign(nt, 0.0);
  g.lower.assign(nt, 0.0);
  g.upper.assign(nt, 0.0);
  g.shift.assign(nt, 0.0);
  for (int j = 0; j < n; ++j) {
    g.cost[j] = g.sense * d.c[j] * g.col_scale[j];
    g.lower[j] = scaled_bound(d.lower[j], g.col_scale[j]);
    g.upper[j] = scaled_bound(d.upper[j], g.col_scale[j]);
  }
  for (int i = 0; i < m; ++i) {
    double lo, up;
    row_slack_bounds(d, i, &lo, &up);
    g.lower[n + i] = scaled_bound(lo, 1.0 / g.row_scale[i]);
    g.upper[n + i] = scaled_bound(up, 1.0 / g.row_scale[i]);
  }
  g.x.assign(nt, 0.0);
  g.d.assign(nt, 0.0);
  g.y.assign(m, 0.0);
  g.state.assign(nt, kAtLower);
  g.head.assign(m, 0);
  g.where.assign(nt, -1);
  g.weight.assign(m, 1.0);
  g.refactor_freq = std::max(1, opt.refactor_freq);
  g.update_room = opt.palloc > 0 ? opt.palloc / 100.0 : -1.0;
  g.lu_print_level = opt.lu_print_level;
  g.ptol = opt.primal_tol;
  g.dtol = opt.dual_tol;
  const double tol_floor = opt.tol_floor > 0 ? opt.tol_floor : 1e-12;
  const double tol_ceiling = std::max(tol_floor, opt.tol_ceiling > 0 ? opt.tol_ceiling : 1e-5);
  g.ptol = std::isnan(g.ptol) ? 1e-7 : std::clamp(g.ptol, tol_floor, tol_ceiling);
  g.dtol = std::isnan(g.dtol) ? 1e-7 : std::clamp(g.dtol, tol_floor, tol_ceiling);
  g.tol_floor = tol_floor;
  g.pivot_tol_min = opt.pivot_tol_min > 0 ? opt.pivot_tol_min : 1e-12;
  g.pivot_tol_max = std::max(g.pivot_tol_min, opt.pivot_tol_max);
  g.pivot_tol = std::isnan(opt.pivot_tol) ? 1e-7 : std::clamp(opt.pivot_tol, g.pivot_tol_min, g.pivot_tol_max);
  g.recovery = BasisRecovery{};
  g.lu_threshold = Glp::LuThreshold{};
  g.recovery.method = opt.basis_recovery;
  g.recovery.ratrange = opt.ratrange;
  g.pivot_activity.assign(nt, 0);
  g.stats = RunStats{};
  const std::int64_t factor_room = (static_cast<std::int64_t>(nzs) + m) * (100 + opt.palloc) / 100;
  g.lu = xlu::Factor(m, nt, factor_room, g.refactor_freq);
  g.sparse_row_density = opt.pcolal / 100.0;
  g.sparse_pricing = opt.sparse_kernels;
  xlu::Options luopt = opt.lu;
  luopt.max_updates = std::max(1, std::min(g.refactor_freq, opt.lu.max_updates));
  if (g.lu.set_options(luopt) != xlu::kOk) {
    xlu::Options fallback;  // settings the kernel refuses (a zero pivot tolerance) give way to its own
    fallback.max_updates = luopt.max_updates;
    g.lu.set_options(fallback);
  }
  g.work_col.resize(m);
  g.work_row.resize(m);
  g.work_tau.resize(m);
  g.work_flip.resize(m);
  g.alpha_row.assign(nt, 0.0);
  g.alpha_list.clear();
  g.alpha_vals.clear();
  g.factored = false;
  g.have_basis = false;
  g.wfact = WFACT_INIT;
  g.iterations = 0;
  g.xstat = XSTAT_CONT;
  slack_basis(g);
}

signed char nearest_nonbasic_state(double lo, double up, double near) {
  if (lo <= -kInf && up >= kInf) return kFreeZero;
  if (lo <= -kInf) return kAtUpper;
  if (up >= kInf) return kAtLower;
  return std::fabs(near - lo) <= std::fabs(up - near) ? kAtLower : kAtUpper;
}

void choose_nonbasic_state(Glp &g, int j, double near) {
  g.state[j] = nearest_nonbasic_state(g.lower[j], g.upper[j], near);
  place_nonbasic(g, j);
}

void place_nonbasic(Glp &g, int j) {
  switch (g.state[j]) {
    case kAtLower: g.x[j] = g.lower[j]; break;
    case kAtUpper: g.x[j] = g.upper[j]; break;
    default: g.x[j] = 0.0; break;
  }
}

void slack_basis(Glp &g) {
  for (int j = 0; j < g.n; ++j) {
    g.where[j] = -1;
    choose_nonbasic_state(g, j, 0.0);
  }
  for (int i = 0; i < g.m; ++i) {
    g.head[i] = g.n + i;
    g.where[g.n + i] = i;
    g.state[g.n + i] = kBasic;
  }
  std::fill(g.weight.begin(), g.weight.end(), 1.0);
  g.weights_exact = true;  // B = I
  g.factored = false;
  g.wfact = WFACT_INIT;
}

bool Glp::install_basis(const int *colStatus, const int *rowStatus) {
  if (!model || model->data.m != m || model->data.n != n) return false;
  int basic = 0;
  for (int j = 0; j < n; ++j) basic += colStatus[j] >= 0;
  for (int i = 0; i < m; ++i) basic += rowStatus[i] >= 0;
  if (basic != m) return false;
  int p = 0;
  for (int j = 0; j < n + m; ++j) {
    int st = j < n ? colStatus[j] : rowStatus[j - n];
    if (st >= 0) {
      head[p] = j;
      where[j] = p++;
      state[j] = kBasic;
      continue;
    }
    where[j] = -1;
    if (st == -2 && upper[j] < kInf) {
      state[j] = kAtUpper;
      place_nonbasic(*this, j);
    } else if (st == -1 && lower[j] > -kInf) {
      state[j] = kAtLower;
      place_nonbasic(*this, j);
    } else {
      choose_nonbasic_state(*this, j, 0.0);
    }
  }
  std::fill(weight.begin(), weight.end(), 1.0);
  weights_exact = false;
  factored = false;
  wfact = WFACT_INIT;
  have_basis = true;
  return true;
}

void refit_nonbasic(Glp &g, int j) {
  if (g.state[j] == kBasic) return;
  signed char st = g.state[j];
  if ((st == kAtLower && g.lower[j] > -kInf) || (st == kAtUpper && g.upper[j] < kInf)) {
    place_nonbasic(g, j);
  } else {
    choose_nonbasic_state(g, j, g.x[j]);
  }
}

bool set_basis_states(Glp &g, const std::vector<signed char> &state) {
  const int nt = g.n + g.m;
  if (static_cast<int>(state.size()) != nt) return false;
  int basic = 0;
  for (signed char s : state) basic += s == kBasic;
  if (basic != g.m) return false;
  int p = 0;
  for (int j = 0; j < nt; ++j) {
    g.state[j] = state[j];
    if (g.state[j] == kBasic) {
      g.head[p] = j;
      g.where[j] = p++;
    } else {
      g.where[j] = -1;
      // the stored side may no longer exist after a bound change
      refit_nonbasic(g, j);
    }
  }
  std::fill(g.weight.begin(), g.weight.end(), 1.0);
  g.weights_exact = false;
  g.factored = false;
  g.wfact = WFACT_INIT;
  g.have_basis = true;
  return true;
}

bool Glp::update_rhs(int row, double /*value*/) {
  if (!model || row < 0 || row >= m || model->data.m != m) return false;
  double lo, up;
  row_slack_bounds(model->data, row, &lo, &up);
  lower[n + row] = scaled_bound(lo, 1.0 / row_scale[row]);
  upper[n + row] = scaled_bound(up, 1.0 / row_scale[row]);
  refit_nonbasic(*this, n + row);
  return true;
}

bool Glp::flip_row_type(int row, char /*type*/) { return update_rhs(row, 0.0); }

bool Glp::update_cost(int col, double value) {
  if (!model || col < 0 || col >= n || !std::isfinite(value)) return false;
  cost[col] = sense * value * col_scale[col];
  return true;
}

bool Glp::update_bounds(int col, double lo, double up) {
  if (!model || col < 0 || col >= n || std::isnan(lo) || std::isnan(up)) return false;
  lower[col] = scaled_bound(lo, col_scale[col]);
  upper[col] = scaled_bound(up, col_scale[col]);
  refit_nonbasic(*this, col);
  return true;
}

void load_column(const Glp &g, int j, xlu::Vector &v) {
  v.clear();
  int c = 0;
  for (int k = g.col_start[j]; k < g.col_start[j + 1]; ++k) {
    int i = g.col_index[k];
    v.array[i] = g.col_value[k];
    v.index[c++] = i;
  }
  v.count = c;
}

void load_moves(const Glp &g, const std::vector<int> &cols, const std::vector<double> &delta, xlu::Vector &v) {
  v.clear();
  int c = 0;
  for (std::size_t t = 0; t < cols.size(); ++t) {
    const int j = cols[t];
    for (int k = g.col_start[j]; k < g.col_start[j + 1]; ++k) {
      const int i = g.col_index[k];
      v.array[i] -= g.col_value[k] * delta[t];
      if (c < g.m) v.index[c++] = i;
    }
  }
  // one entry per row: the kernel reads the index list as a pattern
  std::sort(v.index.begin(), v.index.begin() + c);
  v.count = static_cast<int>(std::unique(v.index.begin(), v.index.begin() + c) - v.index.begin());
  if (c >= g.m) v.repack();
}

void compute_primal(Glp &g) {
  std::vector<double> rhs(g.m, 0.0);
  for (int j = 0; j < g.n + g.m; ++j) {
    if (g.state[j] == kBasic || g.x[j] == 0.0) continue;
    double xj = g.x[j];
    for (int k = g.col_start[j]; k < g.col_start[j + 1]; ++k) rhs[g.col_index[k]] -= g.col_value[k] * xj;
  }
  if (g.m > 0) g.lu.ftran_dense(rhs.data(), false);
  for (int p = 0; p < g.m; ++p) g.x[g.head[p]] = rhs[p];
}

namespace {

// Residual of B x_B + N x_N = 0 over all rows; returns its largest entry
// relative to the terms of its row. Working precision suffices: one step
// from it makes the solve backward stable, which is all the check asks.
double primal_residual(const Glp &g, std::vector<double> &r) {
  std::vector<double> mag(g.m, 0.0);
  std::fill(r.begin(), r.end(), 0.0);
  for (int j = 0; j < g.n + g.m; ++j) {
    const double xj = g.x[j];
    if (xj == 0.0) continue;
    for (int k = g.col_start[j]; k < g.col_start[j + 1]; ++k) {
      const double t = g.col_value[k] * xj;
      r[g.col_index[k]] -= t;
      mag[g.col_index[k]] += std::fabs(t);
    }
  }
  double worst = 0;
  for (int i = 0; i < g.m; ++i) worst = std::max(worst, std::fabs(r[i]) / (1 + mag[i]));
  return worst;
}

}  // namespace

void refine_primal(Glp &g) {
  if (g.m == 0) return;
  std::vector<double> r(g.m), before(g.m);
  const double res0 = primal_residual(g, r);
  // a backward-stable solve: nothing to gain
  if (res0 <= 1e-14) return;
  for (int p = 0; p < g.m; ++p) before[p] = g.x[g.head[p]];
  g.lu.ftran_dense(r.data(), false);
  for (int p = 0; p < g.m; ++p) g.x[g.head[p]] += r[p];
  // a basis too ill-conditioned for the correction: keep the first solve
  if (!(primal_residual(g, r) < res0))
    for (int p = 0; p < g.m; ++p) g.x[g.head[p]] = before[p];
}

void compute_dual(Glp &g) {
  ++g.stats.reduced_cost_passes;
  std::vector<double> cb(g.m, 0.0);
  for (int p = 0; p < g.m; ++p) {
    int j = g.head[p];
    cb[p] = g.cost[j] + g.shift[j];
  }
  if (g.m > 0) g.lu.btran_dense(cb.data());
  for (int i = 0; i < g.m; ++i) g.y[i] = cb[i];
  // Whether a column is basic is a coin toss along the columns: a basic one
  // gets an empty product instead of a branch.
  const int *start = g.col_start.data(), *index = g.col_index.data();
  const double *value = g.col_value.data(), *y = g.y.data();
  for (int j = 0; j < g.n + g.m; ++j) {
    const bool basic = g.state[j] == kBasic;
    double s = g.cost[j] + g.shift[j];
    for (int k = start[j], end = basic ? start[j] : start[j + 1]; k < end; ++k) s -= value[k] * y[index[k]];
    g.d[j] = basic ? 0.0 : s;
  }
}

double primal_infeasibility(const Glp &g, int *count) {
  double mx = 0;
  int c = 0;
  for (int p = 0; p < g.m; ++p) {
    const double v = basic_violation(g, p);
    if (v > g.ptol) ++c;
    mx = std::max(mx, v);
  }
  if (count) *count = c;
  return mx;
}

double dual_infeasibility(const Glp &g, int *count) {
  double mx = 0;
  int c = 0;
  for (int j = 0; j < g.n + g.m; ++j) {
    const double v = dual_violation(g, j);
    if (v > g.dtol) ++c;
    mx = std::max(mx, v);
  }
  if (count) *count = c;
  return mx;
}

double objective_value(const Glp &g) {
  double s = 0;
  for (int j = 0; j < g.n; ++j) s += g.cost[j] * g.x[j];
  return s;
}

}  // namespace tarvo::simplex
