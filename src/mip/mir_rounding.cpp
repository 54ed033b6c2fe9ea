// Mixed-integer rounding of one base inequality: bound substitution and
// complementation bring every variable to y >= 0, the inequality is divided by
// delta and rounded with the MIR function, and the substitutions are undone.
#include <algorithm>
#include <cmath>
#include <memory>

#include "mip/separators.hpp"

namespace tarvo::mip {

namespace {
constexpr double kInf = 1e30;
// A fractional part of the right-hand side this close to 0 or 1 gives weak,
// badly scaled cuts.
constexpr double kMinFrac = 0.01, kMaxFrac = 0.95;
constexpr int kMaxDeltas = 8;

bool strictly_inside(const ExtendedVars &e, int k, double tol) {
  return e.x[k] > e.lo[k] + tol && e.x[k] < e.up[k] - tol;
}
}  // namespace

namespace {
// Coefficient tightening of the complemented base sum a_t y_t <= beta, y_t in
// [0, u_t]: when the base cannot be violated unless integer y_t sits at u_t
// (a_t > d, d the largest excess of the left side over beta), a_t shrinks to d
// and beta by (a_t - d) u_t. The base stays valid and its rounding gets stronger.
template <class Term>
void tighten_integer_coefficients(const ExtendedVars &e, std::vector<Term> &terms, double &beta) {
  double maxact = 0;
  for (const Term &t : terms) {
    if (t.a <= 0) continue;
    const double range = e.up[t.k] - e.lo[t.k];
    if (!(range < kInf)) return;
    maxact += t.a * range;
  }
  const double d = maxact - beta;
  const double eps = 1e-9 * std::max(1.0, std::fabs(beta));
  if (!(d > eps) || !std::isfinite(maxact)) return;
  for (Term &t : terms) {
    if (!e.is_int[t.k] || t.a <= d + eps) continue;
    const double range = e.up[t.k] - e.lo[t.k];
    beta -= (t.a - d) * range;
    t.a = d;
  }
}
}  // namespace

namespace {
// Sums sparse contributions over the columns in a dense array that is zero
// between uses. Cuts are made by the thousand a pass: one length-n array per
// thread serves them all, where each used to allocate its own.
class ColumnSum {
 public:
  explicit ColumnSum(int n) {
    Arrays &a = arrays();
    if (a.busy) {  // a nested use gets arrays of its own
      own_ = std::make_unique<Arrays>();
      a_ = own_.get();
    } else {
      a_ = &a;
    }
    a_->busy = true;
    if (static_cast<int>(a_->dense.size()) < n) {
      a_->dense.resize(n, 0.0);
      a_->mark.resize(n, 0);
    }
  }
  ~ColumnSum() {
    clear();
    a_->busy = false;
  }
  ColumnSum(const ColumnSum &) = delete;
  ColumnSum &operator=(const ColumnSum &) = delete;

  void put(int j, double v) {
    if (!a_->mark[j]) a_->mark[j] = 1, a_->touched.push_back(j);
    a_->dense[j] += v;
  }
  const std::vector<int> &touched() const { return a_->touched; }
  double operator[](int j) const { return a_->dense[j]; }
  // back to all zero
  void clear() {
    for (int j : a_->touched) a_->dense[j] = 0, a_->mark[j] = 0;
    a_->touched.clear();
  }

 private:
  struct Arrays {
    std::vector<double> dense;
    std::vector<char> mark;
    std::vector<int> touched;
    bool busy = false;
  };
  static Arrays &arrays() {
    thread_local Arrays a;
    return a;
  }
  std::unique_ptr<Arrays> own_;
  Arrays *a_ = nullptr;
};
}  // namespace

namespace {
// The MIR inequality sum coef v <= rhs over the extended variables.
struct ExtendedCut {
  std::vector<std::pair<int, double>> coef;
  double rhs = 0;
};

bool mir_extended(const SepInput &in, const MirBase &base, double delta, const std::vector<char> &complement_up,
                  ExtendedCut &out) {
  const ExtendedVars &e = in.ext;
  if (!(delta > 0) || !std::isfinite(delta)) return false;
  if (in.work) *in.work += static_cast<double>(base.index.size());
  struct Term {
    int k;
    double a;   // coefficient of y after substitution
    bool up;    // y = up - v (else y = v - lo)
  };
  std::vector<Term> terms;
  terms.reserve(base.index.size());
  double beta = base.rhs;
  for (size_t t = 0; t < base.index.size(); ++t) {
    const int k = base.index[t];
    const double a = base.value[t];
    if (a == 0.0) continue;
    if (!e.known[k]) return false;
    const bool lo_ok = e.lo[k] > -kInf, up_ok = e.up[k] < kInf;
    if (!lo_ok && !up_ok) return false;
    bool use_up;
    if (e.is_int[k])
      use_up = complement_up[t] ? up_ok : !lo_ok;
    else
      use_up = !lo_ok || (up_ok && e.up[k] - e.x[k] < e.x[k] - e.lo[k]);
    if (use_up) {
      beta -= a * e.up[k];
      terms.push_back({k, -a, true});
    } else {
      beta -= a * e.lo[k];
      terms.push_back({k, a, false});
    }
  }
  tighten_integer_coefficients(e, terms, beta);
  const double b = beta / delta;
  if (!std::isfinite(b) || std::fabs(b) > 1e9) return false;
  const double f0 = b - std::floor(b);
  if (f0 < kMinFrac || f0 > kMaxFrac) return false;
  const double rf = 1.0 / (1.0 - f0);
  out.rhs = std::floor(b);
  out.coef.clear();
  out.coef.reserve(terms.size());
  for (const Term &t : terms) {
    const double a = t.a / delta;
    double g;
    if (e.is_int[t.k]) {
      const double fl = std::floor(a);
      const double fa = a - fl;
      g = fl + (fa > f0 ? (fa - f0) * rf : 0.0);
    } else {
      g = a < 0 ? a * rf : 0.0;
    }
    if (g == 0.0) continue;
    if (t.up) {  // g * (up - v)
      out.rhs -= g * e.up[t.k];
      out.coef.emplace_back(t.k, -g);
    } else {     // g * (v - lo)
      out.rhs += g * e.lo[t.k];
      out.coef.emplace_back(t.k, g);
    }
  }
  return !out.coef.empty();
}

// Efficacy of an extended cut over the columns, without building it: the
// violation is the same in both spaces (slacks hold their rows' values), the
// norm needs the slacks expanded. Scratch arrays are kept between calls.
class ColumnEfficacy {
 public:
  explicit ColumnEfficacy(const SepInput &in) : in_(in), sum_(in.ext.n) {}
  // 0 when the cut is not violated or cannot be expressed over the columns
  double operator()(const ExtendedCut &c) {
    const ExtendedVars &e = in_.ext;
    double act = 0;
    for (const auto &[k, g] : c.coef) act += g * e.x[k];
    const double viol = act - c.rhs;
    if (!(viol > 0)) return 0;
    bool ok = true;
    // every entry of an expanded slack row is read: on dense rows that is far more than the cut's support
    double scanned = static_cast<double>(c.coef.size());
    for (const auto &[k, g] : c.coef) {
      if (k < e.n) {
        sum_.put(k, g);
        continue;
      }
      SlackRow r;
      if (!slack_row(in_.prob, in_.pool, k - e.n, r)) {
        ok = false;
        break;
      }
      scanned += r.len;
      for (int q = 0; q < r.len; ++q) sum_.put(r.index[q], -g * r.value[q]);
    }
    double norm = 0;
    for (int j : sum_.touched()) norm += sum_[j] * sum_[j];
    support_ = static_cast<int>(sum_.touched().size());
    if (in_.work) *in_.work += scanned + static_cast<double>(support_);
    const bool dense = support_ > in_.max_nnz;
    sum_.clear();
    if (!ok || dense || !(norm > 0)) return 0;
    return viol / std::sqrt(norm);
  }
  // entries over the columns of the last cut measured
  int support() const { return support_; }

 private:
  const SepInput &in_;
  ColumnSum sum_;
  int support_ = 0;
};
}  // namespace

bool add_base_term(const ExtendedVars &e, int k, double a, double zero, MirBase &base) {
  if (a == 0.0) return false;
  if (std::fabs(a) <= zero) {
    const double bound = a > 0 ? e.lo[k] : e.up[k];
    if (std::fabs(bound) < kInf) {
      base.rhs -= a * bound;
      return false;
    }
  }
  base.index.push_back(k);
  base.value.push_back(a);
  return true;
}

bool mir_cut(const SepInput &in, const MirBase &base, double delta, const std::vector<char> &complement_up,
             Cut &cut, double *dense_efficacy) {
  if (dense_efficacy) *dense_efficacy = 0;
  ExtendedCut ec;
  if (!mir_extended(in, base, delta, complement_up, ec)) return false;
  // most candidates of a dense base are too weak: measure before building
  ColumnEfficacy efficacy(in);
  const double eff = efficacy(ec);
  if (eff < in.safety.min_efficacy) return false;
  if (dense_efficacy && efficacy.support() > in.dense_nnz) {
    *dense_efficacy = eff;
    return false;
  }
  return extended_to_columns(in, ec.coef, ec.rhs, cut);
}

bool best_mir(const SepInput &in, const MirBase &base, Cut &best) {
  const ExtendedVars &e = in.ext;
  std::vector<char> comp(base.index.size(), 0);
  std::vector<double> deltas;
  std::vector<int> inside;  // positions of integer entries strictly inside their bounds
  double max_int = 0;
  for (size_t t = 0; t < base.index.size(); ++t) {
    const int k = base.index[t];
    if (!e.is_int[k]) continue;
    comp[t] = e.up[k] < kInf && e.up[k] - e.x[k] < e.x[k] - e.lo[k];
    const double a = std::fabs(base.value[t]);
    max_int = std::max(max_int, a);
    if (!strictly_inside(e, k, in.int_tol) || a < 1e-6) continue;
    inside.push_back(static_cast<int>(t));
    if (static_cast<int>(deltas.size()) < kMaxDeltas &&
        std::none_of(deltas.begin(), deltas.end(), [&](double d) { return std::fabs(d - a) <= 1e-9 * a; }))
      deltas.push_back(a);
  }
  if (max_int <= 0) return false;
  if (deltas.empty()) deltas.push_back(max_int);
  // candidates are ranked by their efficacy over the columns; only the best
  // one is written out and made safe
  ColumnEfficacy efficacy(in);
  double best_eff = in.safety.min_efficacy, best_delta = 0;
  ExtendedCut cand, chosen;
  auto attempt = [&](double d) {
    if (!mir_extended(in, base, d, comp, cand)) return false;
    const double eff = efficacy(cand);
    if (eff <= best_eff + 1e-9) return false;
    best_eff = eff;
    std::swap(chosen, cand);
    best_delta = d;
    return true;
  };
  for (double d : deltas) attempt(d);
  if (best_delta == 0) return false;
  const double d0 = best_delta;
  for (double f : {2.0, 4.0, 8.0}) attempt(d0 / f);
  for (int t : inside) {
    comp[t] = !comp[t];
    if (!attempt(best_delta)) comp[t] = !comp[t];
  }
  if (!extended_to_columns(in, chosen.coef, chosen.rhs, best)) return false;
  best.efficacy = cut_efficacy(best, in.x);
  return best.efficacy >= in.safety.min_efficacy;
}

bool extended_to_columns(const SepInput &in, const std::vector<std::pair<int, double>> &ext_coef, double rhs,
                         Cut &cut) {
  const ExtendedVars &e = in.ext;
  if (ext_coef.empty()) return false;
  // slacks expand to their rows: sum into a dense column vector
  ColumnSum sum(e.n);
  if (static_cast<int>(ext_coef.size()) > in.max_nnz + in.prob.m) return false;
  for (const auto &[k, g] : ext_coef) {
    if (k < e.n) {
      sum.put(k, g);
      continue;
    }
    SlackRow r;
    if (!slack_row(in.prob, in.pool, k - e.n, r)) return false;
    if (in.work) *in.work += r.len;
    for (int q = 0; q < r.len; ++q) sum.put(r.index[q], -g * r.value[q]);
    if (static_cast<int>(sum.touched().size()) > in.max_nnz) return false;
  }
  cut.index.clear();
  cut.value.clear();
  cut.rhs = rhs;
  for (int j : sum.touched())
    if (sum[j] != 0.0) {
      cut.index.push_back(j);
      cut.value.push_back(sum[j]);
    }
  return tidy_cut(cut, in.prob, in.safety);
}

}  // namespace tarvo::mip
