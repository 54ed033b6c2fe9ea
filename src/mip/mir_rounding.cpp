// Mixed-integer rounding of one base inequality: bound substitution and
// complementation bring every variable to y >= 0, the inequality is divided by
// delta and rounded with the MIR function, and the substitutions are undone.
#include <algorithm>
#include <cmath>

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

bool mir_cut(const SepInput &in, const MirBase &base, double delta, const std::vector<char> &complement_up,
             Cut &cut) {
  const ExtendedVars &e = in.ext;
  if (!(delta > 0) || !std::isfinite(delta)) return false;
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
  const double b = beta / delta;
  if (!std::isfinite(b) || std::fabs(b) > 1e9) return false;
  const double f0 = b - std::floor(b);
  if (f0 < kMinFrac || f0 > kMaxFrac) return false;
  const double rf = 1.0 / (1.0 - f0);
  double rhs = std::floor(b);
  std::vector<std::pair<int, double>> ext_coef;  // cut over the extended variables
  ext_coef.reserve(terms.size());
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
      rhs -= g * e.up[t.k];
      ext_coef.emplace_back(t.k, -g);
    } else {     // g * (v - lo)
      rhs += g * e.lo[t.k];
      ext_coef.emplace_back(t.k, g);
    }
  }
  return extended_to_columns(in, ext_coef, rhs, cut);
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
  double best_eff = in.safety.min_efficacy, best_delta = 0;
  Cut cut;
  auto attempt = [&](double d) {
    if (!mir_cut(in, base, d, comp, cut)) return false;
    const double eff = cut_efficacy(cut, in.x);
    if (eff <= best_eff + 1e-9) return false;
    best_eff = eff;
    best = cut;
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
  best.efficacy = best_eff;
  return true;
}

bool extended_to_columns(const SepInput &in, const std::vector<std::pair<int, double>> &ext_coef, double rhs,
                         Cut &cut) {
  const ExtendedVars &e = in.ext;
  if (ext_coef.empty()) return false;
  // slacks expand to their rows: sum into a dense column vector
  std::vector<double> dense(e.n, 0.0);
  std::vector<char> mark(e.n, 0);
  std::vector<int> touched;
  auto put = [&](int j, double v) {
    if (!mark[j]) mark[j] = 1, touched.push_back(j);
    dense[j] += v;
  };
  std::vector<int> idx;
  std::vector<double> val;
  if (static_cast<int>(ext_coef.size()) > in.max_nnz + in.prob.m) return false;
  for (const auto &[k, g] : ext_coef) {
    if (k < e.n) {
      put(k, g);
      continue;
    }
    idx.clear();
    val.clear();
    if (!append_slack_row(in.prob, in.pool, k - e.n, g, idx, val)) return false;
    for (size_t q = 0; q < idx.size(); ++q) put(idx[q], val[q]);
    if (static_cast<int>(touched.size()) > in.max_nnz) return false;
  }
  cut.index.clear();
  cut.value.clear();
  cut.rhs = rhs;
  for (int j : touched)
    if (dense[j] != 0.0) {
      cut.index.push_back(j);
      cut.value.push_back(dense[j]);
    }
  return tidy_cut(cut, in.prob, in.safety);
}

}  // namespace tarvo::mip
