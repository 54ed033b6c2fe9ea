// The narrow LP interface over the simplex work object: an unscaled copy of
// the LP, cheap bound and cost changes, row additions by rebuilding the work
// object around the kept basis, warm dual or primal re-solves.
#include "simplex/lp_solver.hpp"

#include <algorithm>
#include <cmath>

#include "common/clock.hpp"

namespace tarvo::simplex {
namespace {

double scaled(double v, double div) {
  if (v <= -kInf) return -kInf;
  if (v >= kInf) return kInf;
  return v / div;
}

// Deleting rows whose slacks are nonbasic leaves one basic variable too many
// per such row. Removing rows R from the basis matrix B leaves a null space
// spanned by B^-1 e_r (r in R); the basics to drop are positions where those
// vectors, eliminated against each other, have their largest entries, so the
// remaining matrix stays nonsingular (the choice a rank-revealing LU of the
// rectangular matrix would make). Deleted rows with basic slacks take their
// slacks with them and are left out of the choice. Fills `leave` with the
// variables to make nonbasic; false when the factors are unusable or a pivot
// is too small to trust.
bool basics_to_drop(Glp &g, const std::vector<char> &drop, std::vector<int> &leave) {
  constexpr double kMinPivot = 1e-7;
  leave.clear();
  std::vector<int> rows;
  for (int i = 0; i < g.m; ++i)
    if (drop[i] && g.state[g.n + i] != kBasic) rows.push_back(i);
  if (rows.empty()) return true;
  if (!g.factored || g.wfact != WFACT_NO) {
    if (refactor(g) != 0 || !g.factored) return false;
  }
  for (int i : rows)
    if (g.state[g.n + i] == kBasic) return false;  // a singular basis was repaired with this slack
  std::vector<char> taken(g.m, 0);
  for (int i = 0; i < g.m; ++i)
    if (drop[i] && g.state[g.n + i] == kBasic) taken[g.where[g.n + i]] = 1;
  // eliminated columns kept sparse: positions, values, pivot position
  std::vector<std::vector<std::pair<int, double>>> done;
  std::vector<int> pivot_at;
  std::vector<double> v(g.m);
  for (int r : rows) {
    std::fill(v.begin(), v.end(), 0.0);
    v[r] = 1.0;
    if (g.lu.ftran_dense(v.data(), false) != 0) return false;
    for (size_t s = 0; s < done.size(); ++s) {
      const double f = v[pivot_at[s]];
      if (f == 0.0) continue;
      for (const auto &e : done[s]) v[e.first] -= f * e.second;
      v[pivot_at[s]] = 0.0;
    }
    int best = -1;
    double big = 0;
    for (int p = 0; p < g.m; ++p)
      if (!taken[p] && std::fabs(v[p]) > big) big = std::fabs(v[p]), best = p;
    if (best < 0 || big < kMinPivot) return false;
    taken[best] = 1;
    std::vector<std::pair<int, double>> col;
    for (int p = 0; p < g.m; ++p)
      if (v[p] != 0.0 && p != best) col.emplace_back(p, v[p] / v[best]);
    done.push_back(std::move(col));
    pivot_at.push_back(best);
    leave.push_back(g.head[best]);
  }
  return true;
}

}  // namespace

void row_activity_bounds(const base::ModelData &d, int i, double *lo, double *up) {
  double slo, sup;
  row_slack_bounds(d, i, &slo, &sup);  // slack = -activity
  *lo = sup >= kInf ? -kInf : -sup;
  *up = slo <= -kInf ? kInf : -slo;
}

void LpRows::add(const std::vector<int> &idx, const std::vector<double> &val, double lo, double up) {
  index.insert(index.end(), idx.begin(), idx.end());
  value.insert(value.end(), val.begin(), val.end());
  start.push_back(static_cast<int>(index.size()));
  lower.push_back(lo);
  upper.push_back(up);
}

LpSolver::LpSolver() = default;
LpSolver::~LpSolver() = default;

void LpSolver::load(const base::ModelData &d, const LpOptions &opt) {
  opt_ = opt;
  m_ = d.m;
  n_ = d.n;
  sense_ = d.sense == TV_MAX ? -1 : 1;
  data_ = base::ModelData{};
  data_.m = m_;
  data_.n = n_;
  data_.sense = d.sense;
  data_.obj_constant = d.obj_constant;
  data_.start.assign(n_ + 1, 0);
  data_.length.assign(n_, 0);
  for (int j = 0; j < n_; ++j) {
    for (int k = d.start[j]; k < d.start[j] + d.length[j]; ++k) {
      if (d.value[k] == 0.0) continue;
      data_.rowidx.push_back(d.rowidx[k]);
      data_.value.push_back(d.value[k]);
    }
    data_.start[j + 1] = static_cast<int>(data_.rowidx.size());
    data_.length[j] = data_.start[j + 1] - data_.start[j];
  }
  data_.nz = data_.start[n_];
  cost_.assign(d.c.begin(), d.c.begin() + n_);
  col_lo_.assign(d.lower.begin(), d.lower.begin() + n_);
  col_up_.assign(d.upper.begin(), d.upper.begin() + n_);
  row_lo_.assign(m_, -kInf);
  row_up_.assign(m_, kInf);
  for (int i = 0; i < m_; ++i) row_activity_bounds(d, i, &row_lo_[i], &row_up_[i]);
  row_start_.clear();
  glp_.reset();
  status_ = LpStatus::kNotSolved;
  total_iterations_ = 0;
}

// Row i of the unscaled copy as type, right-hand side and range: what the
// certificate checks of the verdicts read (the work object takes the bounds
// from row_lo_/row_up_ directly).
void LpSolver::encode_row(int i) {
  const double lo = row_lo_[i], up = row_up_[i];
  data_.range[i] = 0.0;
  if (lo == up) {
    data_.ctype[i] = 'E';
    data_.b[i] = lo;
  } else if (lo <= -kInf && up >= kInf) {
    data_.ctype[i] = 'N';
    data_.b[i] = 0.0;
  } else if (lo <= -kInf) {
    data_.ctype[i] = 'L';
    data_.b[i] = up;
  } else {
    data_.ctype[i] = 'G';
    data_.b[i] = lo;
    if (up < kInf) data_.range[i] = up - lo;
  }
}

// The work object from the unscaled copy; bounds and costs come from the
// kept arrays so that no value passes through a right-hand side and range.
void LpSolver::rebuild() {
  data_.c = cost_;
  data_.lower = col_lo_;
  data_.upper = col_up_;
  data_.b.assign(m_ + 1, 0.0);
  data_.ctype.assign(m_ + 1, 'N');
  data_.range.assign(m_ + 1, 0.0);
  for (int i = 0; i < m_; ++i) encode_row(i);
  auto g = std::make_unique<Glp>();
  build_glp(*g, data_, opt_);
  glp_ = std::move(g);
  ++generation_;
  apply_bounds_to_work();
}

void LpSolver::apply_bounds_to_work() {
  Glp &g = *glp_;
  for (int j = 0; j < n_; ++j) {
    g.lower[j] = scaled(col_lo_[j], g.col_scale[j]);
    g.upper[j] = scaled(col_up_[j], g.col_scale[j]);
    g.cost[j] = g.sense * cost_[j] * g.col_scale[j];
  }
  for (int i = 0; i < m_; ++i) {
    const double rs = g.row_scale[i];
    g.lower[n_ + i] = row_up_[i] >= kInf ? -kInf : -row_up_[i] * rs;
    g.upper[n_ + i] = row_lo_[i] <= -kInf ? kInf : -row_lo_[i] * rs;
  }
  for (int j = 0; j < n_ + m_; ++j) refit_nonbasic(g, j);
}

void LpSolver::set_col_bounds(int j, double lo, double up) {
  col_lo_[j] = lo;
  col_up_[j] = up;
  if (!glp_) return;
  data_.lower[j] = lo;
  data_.upper[j] = up;
  Glp &g = *glp_;
  g.lower[j] = scaled(lo, g.col_scale[j]);
  g.upper[j] = scaled(up, g.col_scale[j]);
  refit_nonbasic(g, j);
}

void LpSolver::set_row_bounds(int i, double lo, double up) {
  row_lo_[i] = lo;
  row_up_[i] = up;
  if (!glp_) return;
  encode_row(i);
  Glp &g = *glp_;
  const double rs = g.row_scale[i];
  g.lower[n_ + i] = up >= kInf ? -kInf : -up * rs;
  g.upper[n_ + i] = lo <= -kInf ? kInf : -lo * rs;
  refit_nonbasic(g, n_ + i);
}

void LpSolver::set_cost(int j, double c) {
  cost_[j] = c;
  if (glp_) data_.c[j] = c;
  if (glp_) glp_->cost[j] = glp_->sense * c * glp_->col_scale[j];
}

void LpSolver::set_cutoff(double value) {
  use_cutoff_ = std::isfinite(value) && std::fabs(value) < kInf;
  cutoff_ = value;
}

LpBasis LpSolver::basis() const {
  LpBasis b;
  if (glp_ && glp_->have_basis) b.state = glp_->state;
  return b;
}

long long LpSolver::factorizations() const { return glp_ ? glp_->stats.factor_calls : 0; }

bool LpSolver::has_basis() const { return glp_ && glp_->have_basis; }

bool LpSolver::set_basis(const LpBasis &b) {
  if (static_cast<int>(b.state.size()) != n_ + m_) return false;
  if (!glp_) rebuild();
  return set_basis_states(*glp_, b.state);
}

bool LpSolver::save(LpRestorePoint &s) const {
  s.generation_ = 0;
  if (!glp_ || !glp_->have_basis || !glp_->factored || glp_->wfact != WFACT_NO) return false;
  const Glp &g = *glp_;
  if (g.lu.dim() != g.m || (g.m > 0 && !g.lu.valid())) return false;
  if (s.lu_.copy_from(g.lu) != xlu::kOk) return false;
  s.state_ = g.state;
  s.head_ = g.head;
  s.weight_ = g.weight;
  s.weights_exact_ = g.weights_exact;
  s.x_ = g.x;
  s.d_ = g.d;
  s.y_ = g.y;
  s.status_ = status_;
  s.objective_ = objective_;
  s.res_x_ = x_;
  s.res_activity_ = activity_;
  s.res_duals_ = duals_;
  s.res_redcost_ = redcost_;
  s.owner_ = this;
  s.generation_ = generation_;
  return true;
}

bool LpSolver::restore(const LpRestorePoint &s) {
  if (s.empty() || s.owner_ != this || !glp_ || s.generation_ != generation_) return false;
  Glp &g = *glp_;
  const int nt = n_ + m_;
  if (static_cast<int>(s.state_.size()) != nt || static_cast<int>(s.head_.size()) != m_) return false;
  if (g.lu.copy_from(s.lu_) != xlu::kOk) {
    g.factored = false;
    g.wfact = WFACT_INIT;
    return false;
  }
  g.state = s.state_;
  g.head = s.head_;
  // the copied factor keeps this factor's count, by which the row copy split
  // by basic/nonbasic columns judges itself current: it is not any more
  g.nonbasic_rows.states_changed();
  g.weight = s.weight_;
  g.weights_exact = s.weights_exact_;
  g.x = s.x_;
  g.d = s.d_;
  g.y = s.y_;
  std::fill(g.where.begin(), g.where.end(), -1);
  for (int p = 0; p < m_; ++p) g.where[g.head[p]] = p;
  // bounds changed since the save move the nonbasic columns with them
  for (int j = 0; j < nt; ++j)
    if (g.state[j] != kBasic) refit_nonbasic(g, j);
  g.factored = true;
  g.wfact = WFACT_NO;
  g.have_basis = true;
  status_ = s.status_;
  objective_ = s.objective_;
  x_ = s.res_x_;
  activity_ = s.res_activity_;
  duals_ = s.res_duals_;
  redcost_ = s.res_redcost_;
  // a cutoff set since the save may condemn the saved optimum
  if (status_ == LpStatus::kOptimal && use_cutoff_ && sense_ * (objective_ - cutoff_) > 0) status_ = LpStatus::kCutoff;
  return true;
}

void LpSolver::replace_matrix(std::vector<int> &start, std::vector<int> &idx, std::vector<double> &val) {
  data_.start = std::move(start);
  data_.rowidx = std::move(idx);
  data_.value = std::move(val);
  for (int j = 0; j < n_; ++j) data_.length[j] = data_.start[j + 1] - data_.start[j];
  data_.nz = data_.start[n_];
  row_start_.clear();
}

void LpSolver::add_rows(const LpRows &rows) {
  const int add = rows.count();
  if (add == 0) return;
  LpBasis keep = basis();
  // column-wise merge of the new row entries
  std::vector<std::vector<std::pair<int, double>>> extra(n_);
  for (int r = 0; r < add; ++r)
    for (int k = rows.start[r]; k < rows.start[r + 1]; ++k)
      if (rows.value[k] != 0.0) extra[rows.index[k]].push_back({m_ + r, rows.value[k]});
  std::vector<int> start(n_ + 1, 0), idx;
  std::vector<double> val;
  idx.reserve(data_.rowidx.size() + rows.index.size());
  val.reserve(idx.capacity());
  for (int j = 0; j < n_; ++j) {
    for (int k = data_.start[j]; k < data_.start[j + 1]; ++k) {
      idx.push_back(data_.rowidx[k]);
      val.push_back(data_.value[k]);
    }
    for (auto &e : extra[j]) {
      idx.push_back(e.first);
      val.push_back(e.second);
    }
    start[j + 1] = static_cast<int>(idx.size());
  }
  replace_matrix(start, idx, val);
  for (int r = 0; r < add; ++r) {
    row_lo_.push_back(rows.lower[r]);
    row_up_.push_back(rows.upper[r]);
  }
  m_ += add;
  data_.m = m_;
  glp_.reset();
  if (!keep.empty()) {
    keep.state.resize(n_ + m_, kBasic);  // new slacks basic
    rebuild();
    set_basis(keep);
  }
}

void LpSolver::delete_rows(const std::vector<char> &drop) {
  if (static_cast<int>(drop.size()) != m_) return;
  std::vector<int> newpos(m_, -1);
  int nm = 0;
  for (int i = 0; i < m_; ++i)
    if (!drop[i]) newpos[i] = nm++;
  if (nm == m_) return;
  // basics that leave with the nonbasic slacks of deleted rows, on their
  // nearer bound (the basis is read after the choice: a refactorisation on
  // the way may have repaired it)
  std::vector<int> leave;
  const bool fits = has_basis() && basics_to_drop(*glp_, drop, leave);
  LpBasis keep;
  if (fits) {
    keep = basis();
    const Glp &g = *glp_;
    for (int j : leave) keep.state[j] = nearest_nonbasic_state(g.lower[j], g.upper[j], g.x[j]);
  }
  std::vector<int> start(n_ + 1, 0), idx;
  std::vector<double> val;
  for (int j = 0; j < n_; ++j) {
    for (int k = data_.start[j]; k < data_.start[j + 1]; ++k) {
      const int i = newpos[data_.rowidx[k]];
      if (i < 0) continue;
      idx.push_back(i);
      val.push_back(data_.value[k]);
    }
    start[j + 1] = static_cast<int>(idx.size());
  }
  replace_matrix(start, idx, val);
  std::vector<double> lo(nm), up(nm);
  for (int i = 0; i < m_; ++i)
    if (newpos[i] >= 0) {
      lo[newpos[i]] = row_lo_[i];
      up[newpos[i]] = row_up_[i];
    }
  row_lo_ = std::move(lo);
  row_up_ = std::move(up);
  const int old_m = m_;
  m_ = nm;
  data_.m = m_;
  glp_.reset();
  if (keep.empty()) return;
  LpBasis next;
  next.state.assign(keep.state.begin(), keep.state.begin() + n_);
  for (int i = 0; i < old_m; ++i)
    if (newpos[i] >= 0) next.state.push_back(keep.state[n_ + i]);
  rebuild();
  if (!set_basis(next)) slack_basis(*glp_);
}

LpStatus LpSolver::solve(int method, const LpLimits &limits) {
  if (!glp_) rebuild();
  Glp &g = *glp_;
  const bool warm = g.have_basis;
  g.model = progress_;
  g.iterations = 0;
  g.xstat = XSTAT_CONT;
  RunControl rc;
  rc.dual_pricing = limits.dual_pricing == 3 ? 3 : limits.dual_pricing == 0 ? 0 : 1;
  rc.devex_framework = !limits.devex_carry_weights;
  rc.iter_limit = limits.iter_limit;
  rc.time_limit = limits.time_limit;
  rc.start_time = common::wall_seconds();
  rc.interrupt = limits.interrupt;
  rc.use_cutoff = use_cutoff_;
  rc.cutoff = g.sense * (cutoff_ - data_.obj_constant);
  rc.perturb = !warm;
  rc.warm = limits.keep_factors && warm && g.factored && g.wfact == WFACT_NO;
  rc.feastol = std::max(opt_.primal_tol, 1e-9);
  g.unscaled = &data_;
  int code = run_methods(g, rc, method == TV_METHOD_PSIMPLEX);
  g.have_basis = code != kRunNoMemory;
  g.model = nullptr;
  iterations_ = g.iterations;
  total_iterations_ += g.iterations;
  if (code == kRunNoMemory) {
    glp_.reset();
    return status_ = LpStatus::kOutOfMemory;
  }
  read_results();
  if (code == kRunNumerical) return status_ = LpStatus::kNumerical;
  if (code == kRunInterrupt) return status_ = LpStatus::kInterrupted;
  switch (g.xstat) {
    case XSTAT_OPT: status_ = LpStatus::kOptimal; break;
    case XSTAT_INF: status_ = LpStatus::kInfeasible; break;
    case XSTAT_UNB: status_ = LpStatus::kUnbounded; break;
    case XSTAT_INFORUNB: status_ = LpStatus::kInfeasibleOrUnbounded; break;
    case XSTAT_CUTOFF: status_ = LpStatus::kCutoff; break;
    case XSTAT_ITERLIM: status_ = LpStatus::kIterLimit; break;
    case XSTAT_TIMELIM: status_ = LpStatus::kTimeLimit; break;
    case XSTAT_CTRLC: status_ = LpStatus::kInterrupted; break;
    default: status_ = LpStatus::kNumerical; break;
  }
  // an optimum past the cutoff counts as cut off
  if (status_ == LpStatus::kOptimal && use_cutoff_ && sense_ * (objective_ - cutoff_) > 0)
    status_ = LpStatus::kCutoff;
  return status_;
}

void LpSolver::read_results() {
  const Glp &g = *glp_;
  x_.assign(n_, 0.0);
  redcost_.assign(n_, 0.0);
  duals_.assign(m_, 0.0);
  activity_.assign(m_, 0.0);
  double obj = data_.obj_constant;
  for (int j = 0; j < n_; ++j) {
    x_[j] = g.x[j] * g.col_scale[j];
    redcost_[j] = g.sense * g.d[j] / g.col_scale[j];
    obj += cost_[j] * x_[j];
  }
  for (int i = 0; i < m_; ++i) {
    activity_[i] = -g.x[n_ + i] / g.row_scale[i];
    duals_[i] = g.sense * g.y[i] * g.row_scale[i];
  }
  objective_ = obj;
}

bool LpSolver::infeasibility_multipliers(std::vector<double> &y) const {
  y.clear();
  if (!glp_ || status_ != LpStatus::kInfeasible || glp_->xstat != XSTAT_INF) return false;
  const Glp &g = *glp_;
  // any multipliers give a valid combination; wrong ones (the primal phase
  // one leaves basis-position costs there) only fail to prove anything
  if (static_cast<int>(g.ray.size()) != m_) return false;
  y.resize(m_);
  for (int i = 0; i < m_; ++i) y[i] = g.ray[i] * g.row_scale[i];
  return true;
}

bool LpSolver::is_basic_col(int j) const { return glp_ && glp_->state[j] == kBasic; }

bool LpSolver::is_basic_row(int i) const { return glp_ && glp_->state[n_ + i] == kBasic; }

void LpSolver::get_row(int i, std::vector<int> &index, std::vector<double> &value) const {
  if (static_cast<int>(row_start_.size()) != m_ + 1) {
    // row-wise copy of the unscaled matrix, made on first use after a change
    row_start_.assign(m_ + 1, 0);
    const int nz = data_.start[n_];
    for (int k = 0; k < nz; ++k) row_start_[data_.rowidx[k] + 1]++;
    for (int r = 0; r < m_; ++r) row_start_[r + 1] += row_start_[r];
    row_index_.assign(nz, 0);
    row_value_.assign(nz, 0.0);
    std::vector<int> fill(row_start_.begin(), row_start_.end() - 1);
    for (int j = 0; j < n_; ++j)
      for (int k = data_.start[j]; k < data_.start[j + 1]; ++k) {
        const int at = fill[data_.rowidx[k]]++;
        row_index_[at] = j;
        row_value_[at] = data_.value[k];
      }
  }
  index.assign(row_index_.begin() + row_start_[i], row_index_.begin() + row_start_[i + 1]);
  value.assign(row_value_.begin() + row_start_[i], row_value_.begin() + row_start_[i + 1]);
}

double LpSolver::max_primal_violation() const {
  double worst = 0;
  for (int j = 0; j < n_ && j < static_cast<int>(x_.size()); ++j)
    worst = std::max({worst, col_lo_[j] - x_[j], x_[j] - col_up_[j]});
  for (int i = 0; i < m_ && i < static_cast<int>(activity_.size()); ++i)
    worst = std::max({worst, row_lo_[i] - activity_[i], activity_[i] - row_up_[i]});
  return worst;
}

bool LpSolver::tableau_row(int var, std::vector<int> &index, std::vector<double> &value) {
  index.clear();
  value.clear();
  if (!glp_ || var < 0 || var >= n_ + m_) return false;
  Glp &g = *glp_;
  const int p = g.where[var];
  if (p < 0 || !g.factored) return false;
  g.lu.row_of_inverse(p, g.work_row);
  compute_pivot_row(g, g.work_row);
  // unscaled variable v_k = sc(k) v'_k; the row is multiplied by sc(var)
  auto sc = [&](int k) { return k < n_ ? g.col_scale[k] : 1.0 / g.row_scale[k - n_]; };
  const double sb = sc(var);
  index.reserve(g.alpha_list.size());
  value.reserve(g.alpha_list.size());
  for (int k : g.alpha_list) {
    if (k == var) continue;
    index.push_back(k);
    value.push_back(g.alpha_row[k] * sb / sc(k));
  }
  return true;
}

bool LpSolver::tableau_row(int var, std::vector<double> &row) {
  std::vector<int> index;
  std::vector<double> value;
  if (!tableau_row(var, index, value)) return false;
  row.assign(n_ + m_, 0.0);
  for (size_t t = 0; t < index.size(); ++t) row[index[t]] = value[t];
  row[var] = 1.0;
  return true;
}

}  // namespace tarvo::simplex
