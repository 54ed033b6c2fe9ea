// The elastic working model and its infeasibility oracle. Row candidates get
// one elastic column per finite side (+e relaxes the lower side, -e the upper
// one); a bound candidate gets a copy of its column (negated for the lower
// bound), so that the effective value x + p - q may leave [l, u] at a cost
// without adding rows. Under the L-infinity norm every elastic column is
// capped by one more column t through one row each, and t is minimised.
#include "analysis/elastic_lp.hpp"

#include <algorithm>
#include <cmath>

#include "common/error_codes.hpp"

namespace tarvo::analysis {
namespace {

constexpr double kInf = 1e30;
constexpr double kZeroSensitivity = 1e-9;

bool norm_has_row_elastics(int norm) { return norm == 1 || norm == 2 || norm == 3; }
bool norm_has_bound_elastics(int norm) { return norm == 1 || norm == 2 || norm == 4; }

int method_code(int setting, bool relaxed_only) {
  if (setting == 1) return TV_METHOD_PSIMPLEX;
  if (setting == 2) return TV_METHOD_DSIMPLEX;
  // Only relaxations since the last solve keep the basis primal feasible.
  return relaxed_only ? TV_METHOD_PSIMPLEX : TV_METHOD_DSIMPLEX;
}

}  // namespace

MemberKind ElasticLp::kind(int id) const {
  if (id < m_) return MemberKind::kRow;
  if (id < m_ + n_) return MemberKind::kLower;
  if (id < m_ + 2 * n_) return MemberKind::kUpper;
  return MemberKind::kInt;
}

int ElasticLp::index(int id) const {
  if (id < m_) return id;
  return (id - m_) % n_;
}

bool ElasticLp::exists(int id) const {
  const int k = index(id);
  switch (kind(id)) {
    case MemberKind::kRow: return row_lo_[k] > -kInf || row_up_[k] < kInf;
    case MemberKind::kLower: return col_lo_[k] > -kInf;
    case MemberKind::kUpper: return col_up_[k] < kInf;
    case MemberKind::kInt: return is_int_[k] != 0;
  }
  return false;
}

bool ElasticLp::integer_active() const {
  for (int j = 0; j < n_; ++j)
    if (is_int_[j] && state_[int_id(j)] != MemberState::kOff) return true;
  return false;
}

void ElasticLp::build(const std::vector<char> &candidate, const OracleSettings &settings) {
  const base::ModelData &d = model_->data;
  set_ = settings;
  mip_.setup(settings.max_nodes, settings.int_tol);
  m_ = d.m;
  n_ = d.n;
  row_lo_.assign(m_, -kInf);
  row_up_.assign(m_, kInf);
  for (int i = 0; i < m_; ++i) simplex::row_activity_bounds(d, i, &row_lo_[i], &row_up_[i]);
  col_lo_.assign(d.lower.begin(), d.lower.begin() + n_);
  col_up_.assign(d.upper.begin(), d.upper.begin() + n_);
  is_int_.assign(n_, 0);
  for (int j = 0; j < n_ && j < static_cast<int>(d.vtype.size()); ++j)
    is_int_[j] = d.vtype[j] == 'B' || d.vtype[j] == 'I';
  state_.assign(members(), MemberState::kOn);
  elastic_a_.assign(members(), -1);
  elastic_b_.assign(members(), -1);

  // Elastic columns: (member, row of a row elastic or column copied, sign).
  struct Elastic {
    int member, target;
    double sign;
    bool row;
  };
  std::vector<Elastic> el;
  // Every candidate gets its elastic columns; those the norm does not
  // measure stay at zero (shadows) and open only to certify an infeasible
  // hard part (certify()).
  shadow_.assign(members(), 0);
  for (int i = 0; i < m_; ++i) {
    if (!candidate[i]) continue;
    shadow_[i] = !norm_has_row_elastics(set_.norm);
    if (row_lo_[i] > -kInf) el.push_back({i, i, 1.0, true});
    if (row_up_[i] < kInf) el.push_back({i, i, -1.0, true});
  }
  for (int j = 0; j < n_; ++j) {
    shadow_[lower_id(j)] = shadow_[upper_id(j)] = !norm_has_bound_elastics(set_.norm);
    if (candidate[lower_id(j)] && col_lo_[j] > -kInf) el.push_back({lower_id(j), j, -1.0, false});
    if (candidate[upper_id(j)] && col_up_[j] < kInf) el.push_back({upper_id(j), j, 1.0, false});
  }
  const bool linf = set_.norm == 2;
  const int ne = static_cast<int>(el.size());
  base::ModelData a;
  a.m = m_ + (linf ? ne : 0);
  a.n = n_ + ne + (linf ? 1 : 0);
  a.sense = TV_MIN;
  a.b.assign(a.m + 1, 0.0);
  a.ctype.assign(a.m + 1, 'N');
  a.c.assign(a.n, 0.0);
  a.lower.assign(a.n, 0.0);
  a.upper.assign(a.n, kInf);
  a.start.assign(a.n + 1, 0);
  a.length.assign(a.n, 0);
  auto close_column = [&](int j) {
    a.start[j + 1] = static_cast<int>(a.rowidx.size());
    a.length[j] = a.start[j + 1] - a.start[j];
  };
  for (int j = 0; j < n_; ++j) {
    for (int k = d.start[j]; k < d.start[j] + d.length[j]; ++k) {
      a.rowidx.push_back(d.rowidx[k]);
      a.value.push_back(d.value[k]);
    }
    a.lower[j] = col_lo_[j];
    a.upper[j] = col_up_[j];
    close_column(j);
  }
  for (int e = 0; e < ne; ++e) {
    const int j = n_ + e;
    if (el[e].row) {
      a.rowidx.push_back(el[e].target);
      a.value.push_back(el[e].sign);
    } else {
      const int c = el[e].target;
      for (int k = d.start[c]; k < d.start[c] + d.length[c]; ++k) {
        a.rowidx.push_back(d.rowidx[k]);
        a.value.push_back(el[e].sign * d.value[k]);
      }
    }
    if (linf) {
      a.rowidx.push_back(m_ + e);
      a.value.push_back(1.0);
    }
    a.c[j] = linf ? 0.0 : 1.0;
    a.upper[j] = shadow_[el[e].member] ? 0.0 : kInf;
    close_column(j);
    int &slot = elastic_a_[el[e].member] < 0 ? elastic_a_[el[e].member] : elastic_b_[el[e].member];
    slot = j;
  }
  if (linf) {
    const int t = n_ + ne;
    for (int e = 0; e < ne; ++e) {
      a.rowidx.push_back(m_ + e);
      a.value.push_back(-1.0);
    }
    a.c[t] = 1.0;
    close_column(t);
  }
  a.nz = a.start[a.n];
  aug_nz_ = a.nz;
  lp_.load(a, simplex::LpOptions::from_params(model_->params));
  for (int i = 0; i < m_; ++i) lp_.set_row_bounds(i, row_lo_[i], row_up_[i]);
  for (int e = 0; linf && e < ne; ++e) lp_.set_row_bounds(m_ + e, -kInf, 0.0);

  rstart_.assign(m_ + 1, 0);
  for (int j = 0; j < n_; ++j)
    for (int k = d.start[j]; k < d.start[j] + d.length[j]; ++k) rstart_[d.rowidx[k] + 1]++;
  for (int i = 0; i < m_; ++i) rstart_[i + 1] += rstart_[i];
  rindex_.assign(rstart_[m_], 0);
  rvalue_.assign(rstart_[m_], 0.0);
  std::vector<int> fill(rstart_.begin(), rstart_.end() - 1);
  for (int j = 0; j < n_; ++j)
    for (int k = d.start[j]; k < d.start[j] + d.length[j]; ++k) {
      const int at = fill[d.rowidx[k]]++;
      rindex_[at] = j;
      rvalue_[at] = d.value[k];
    }
  first_ = true;
  relaxed_only_ = false;
  sens_known_ = point_known_ = false;
}

bool ElasticLp::warm_start(const std::vector<int> &colbasis, const std::vector<int> &rowbasis) {
  if (static_cast<int>(colbasis.size()) != n_ || static_cast<int>(rowbasis.size()) != m_) return false;
  simplex::LpBasis b;
  b.state.assign(lp_.cols() + lp_.rows(), simplex::kAtLower);
  for (int j = 0; j < n_; ++j) {
    const int st = colbasis[j];
    b.state[j] = st >= 0                  ? simplex::kBasic
                 : st == TV_BASTYPE_ATUP  ? simplex::kAtUpper
                 : st == TV_BASTYPE_FNUL  ? simplex::kFreeZero
                                          : simplex::kAtLower;
  }
  // The rows of the L-infinity caps keep their slacks basic.
  for (int i = 0; i < lp_.rows(); ++i)
    if (i >= m_ || rowbasis[i] >= 0) b.state[lp_.cols() + i] = simplex::kBasic;
  if (!lp_.set_basis(b)) return false;
  first_ = false;  // the next solve is a warm one
  return true;
}

void ElasticLp::set_state(int id, MemberState s) {
  const MemberState old = state_[id];
  if (old == s) return;
  state_[id] = s;
  // Switching off, or from hard to elastic, only relaxes the model.
  const bool relaxing = s == MemberState::kOff || (old == MemberState::kHard && s == MemberState::kOn);
  relaxed_only_ = relaxed_only_ && relaxing;
  apply(id);
  if (observer_) observer_(id, s);
}

void ElasticLp::apply(int id) {
  const MemberState s = state_[id];
  const double elastic_up = s == MemberState::kOn && !shadow_[id] ? kInf : 0.0;
  for (int e : {elastic_a_[id], elastic_b_[id]})
    if (e >= 0) lp_.set_col_bounds(e, 0.0, elastic_up);
  const int k = index(id);
  switch (kind(id)) {
    case MemberKind::kRow:
      if (s == MemberState::kOff)
        lp_.set_row_bounds(k, -kInf, kInf);
      else
        lp_.set_row_bounds(k, row_lo_[k], row_up_[k]);
      break;
    case MemberKind::kLower:
      lp_.set_col_bounds(k, s == MemberState::kOff ? -kInf : col_lo_[k], lp_.col_upper(k));
      break;
    case MemberKind::kUpper:
      lp_.set_col_bounds(k, lp_.col_lower(k), s == MemberState::kOff ? kInf : col_up_[k]);
      break;
    case MemberKind::kInt: break;  // read by the integer test
  }
}

Verdict ElasticLp::test() {
  stop_code_ = budget_.before_step();
  if (stop_code_) return Verdict::kStop;
  return integer_active() ? solve_mip() : solve_lp();
}

Verdict ElasticLp::solve_lp() {
  sens_known_ = point_known_ = false;
  simplex::LpStatus st = simplex::LpStatus::kNotSolved;
  // A numerical failure is retried once with the other simplex.
  int method = method_code(first_ ? set_.topopt : set_.reopt, relaxed_only_);
  for (int attempt = 0; attempt < 2; ++attempt) {
    st = lp_.solve(method, budget_.limits());
    stop_code_ = budget_.after_solve(lp_, st);
    if (stop_code_ != err::kNumerical) break;
    method = method == TV_METHOD_PSIMPLEX ? TV_METHOD_DSIMPLEX : TV_METHOD_PSIMPLEX;
  }
  first_ = false;
  relaxed_only_ = true;
  if (stop_code_) return Verdict::kStop;
  switch (st) {
    case simplex::LpStatus::kOptimal: break;
    // The elastic objective is bounded below, so either verdict means the
    // hard part has no solution.
    case simplex::LpStatus::kInfeasible:
    case simplex::LpStatus::kInfeasibleOrUnbounded:
      z_ = kInf;
      return Verdict::kInfeasible;
    default:
      stop_code_ = err::kNumerical;
      return Verdict::kStop;
  }
  z_ = lp_.objective();
  x_.assign(lp_.x().begin(), lp_.x().begin() + n_);
  if (z_ > set_.feas_tol) {
    dual_ = lp_.duals();
    redcost_ = lp_.reduced_costs();
    sens_known_ = true;
    return Verdict::kInfeasible;
  }
  point_known_ = true;
  return Verdict::kFeasible;
}

Verdict ElasticLp::solve_mip() {
  // Every switched-on member is hard in the integer test.
  std::vector<double> rlo(m_), rup(m_), clo(n_), cup(n_);
  std::vector<char> ints(n_);
  for (int i = 0; i < m_; ++i) {
    const bool off = state_[i] == MemberState::kOff;
    rlo[i] = off ? -kInf : row_lo_[i];
    rup[i] = off ? kInf : row_up_[i];
  }
  for (int j = 0; j < n_; ++j) {
    clo[j] = state_[lower_id(j)] == MemberState::kOff ? -kInf : col_lo_[j];
    cup[j] = state_[upper_id(j)] == MemberState::kOff ? kInf : col_up_[j];
    ints[j] = is_int_[j] && state_[int_id(j)] != MemberState::kOff;
  }
  const MipVerdict v = mip_.test({&rlo, &rup, &clo, &cup, &ints});
  sens_known_ = false;  // an integer verdict has no duals
  point_known_ = false;
  switch (v) {
    case MipVerdict::kStop: stop_code_ = mip_.stop_code(); return Verdict::kStop;
    case MipVerdict::kFeasible:
      x_ = mip_.x();
      z_ = 0;
      point_known_ = true;
      return Verdict::kFeasible;
    case MipVerdict::kInfeasible: break;
  }
  z_ = kInf;
  return Verdict::kInfeasible;
}

bool ElasticLp::matters(int id) const {
  if (!sens_known_ || state_[id] == MemberState::kOff) return true;
  const int k = index(id);
  switch (kind(id)) {
    case MemberKind::kRow: return std::fabs(dual_[k]) > kZeroSensitivity;
    case MemberKind::kLower:
      return redcost_[k] > kZeroSensitivity && x_[k] <= col_lo_[k] + set_.feas_tol * (1 + std::fabs(col_lo_[k]));
    case MemberKind::kUpper:
      return redcost_[k] < -kZeroSensitivity && x_[k] >= col_up_[k] - set_.feas_tol * (1 + std::fabs(col_up_[k]));
    case MemberKind::kInt: return true;
  }
  return true;
}

bool ElasticLp::certify() {
  if (sens_known_) return true;
  if (integer_active() || z_ < kInf) return false;  // only after a hard-part infeasibility
  std::vector<int> opened;
  for (int id = 0; id < members(); ++id)
    if (shadow_[id] && state_[id] == MemberState::kOn)
      for (int e : {elastic_a_[id], elastic_b_[id]})
        if (e >= 0) {
          lp_.set_col_bounds(e, 0.0, kInf);
          opened.push_back(e);
        }
  if (opened.empty()) return false;
  relaxed_only_ = false;  // the cost of the opened columns changes the optimum
  const Verdict v = solve_lp();
  for (int e : opened) lp_.set_col_bounds(e, 0.0, 0.0);
  relaxed_only_ = false;
  point_known_ = false;
  if (v != Verdict::kInfeasible) {
    sens_known_ = false;
    return false;
  }
  z_ = kInf;  // the verdict stays the hard part's
  return sens_known_;
}

bool ElasticLp::stretched(int id) const {
  if (!sens_known_) return false;
  const std::vector<double> &x = lp_.x();
  for (int e : {elastic_a_[id], elastic_b_[id]})
    if (e >= 0 && x[e] > set_.feas_tol) return true;
  return false;
}

double ElasticLp::row_activity(int i, const std::vector<double> &x) const {
  double s = 0;
  for (int k = rstart_[i]; k < rstart_[i + 1]; ++k) s += rvalue_[k] * x[rindex_[k]];
  return s;
}

bool ElasticLp::satisfied(int id) const {
  if (!point_known_) return false;
  const int k = index(id);
  auto tol = [&](double v) { return set_.feas_tol * (1 + std::fabs(v)); };
  switch (kind(id)) {
    case MemberKind::kRow: {
      const double act = row_activity(k, x_);
      return act >= row_lo_[k] - tol(row_lo_[k]) && act <= row_up_[k] + tol(row_up_[k]);
    }
    case MemberKind::kLower: return x_[k] >= col_lo_[k] - tol(col_lo_[k]);
    case MemberKind::kUpper: return x_[k] <= col_up_[k] + tol(col_up_[k]);
    case MemberKind::kInt: return std::fabs(x_[k] - std::round(x_[k])) <= set_.int_tol;
  }
  return false;
}

}  // namespace tarvo::analysis
