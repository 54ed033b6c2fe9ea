// Cost and right-hand-side ranging on the basis kept by the last simplex run.
// The basis is taken from the solution's statuses (basic positions) and used
// through FTRAN and BTRAN; the system is A x + g s = b with one slack s_i per
// row, g the sign of the slack's unit column in the factorised basis.
#include "io/ranging.hpp"

#include <algorithm>
#include <cmath>

#include "common/error_codes.hpp"
#include "common/boundary.hpp"
#include "env/live_handles.hpp"

namespace tarvo::io {
namespace {

constexpr double kInf = 1e30;

enum class Place { kLower, kUpper, kFixed, kFree };

struct Solve {
  pTVmodel model;
  int m;
  std::vector<int> idx;
  std::vector<double> val, out_val;
  std::vector<int> out_idx;
  // Dense result of FTRAN (forward) or BTRAN of a dense m-vector.
  int run(bool forward, const std::vector<double> &in, std::vector<double> *out) {
    idx.clear();
    val.clear();
    for (int i = 0; i < m; ++i)
      if (in[i] != 0) {
        idx.push_back(i);
        val.push_back(in[i]);
      }
    int in_count = static_cast<int>(idx.size()), out_count = 0;
    out_idx.assign(m + 1, 0);
    out_val.assign(m + 1, 0.0);
    idx.push_back(0);
    val.push_back(0);
    const int code = forward ? TVdoFTRAN(model, &in_count, idx.data(), val.data(), &out_count, out_idx.data(),
                                         out_val.data())
                             : TVdoBTRAN(model, &in_count, idx.data(), val.data(), &out_count, out_idx.data(),
                                         out_val.data());
    if (code) return code;
    out->assign(m, 0.0);
    for (int k = 0; k < out_count; ++k) (*out)[out_idx[k]] = out_val[k];
    return 0;
  }
};

// Largest step t >= 0 keeping v + t*dv inside [lo, up] (kInf when unlimited).
double step_limit(double v, double dv, double lo, double up, double tol) {
  if (dv > tol) return up >= kInf ? kInf : std::max(0.0, (up - v) / dv);
  if (dv < -tol) return lo <= -kInf ? kInf : std::max(0.0, (lo - v) / dv);
  return kInf;
}

}  // namespace

int compute_ranges(base::Model *model, Ranges *out) {
  const base::ModelData &d = model->data;
  const int n = d.n, m = d.m;
  const base::SolutionRecord *s = model->solution.get();
  if (!s || (s->model_status != TV_STATUS_OPTIMAL && s->model_status != TV_STATUS_BASIC_OPTIMAL))
    return err::kNotAvailable;
  std::vector<double> x(n);
  std::vector<int> colbasis(n), rowbasis(m);
  if (TVgetPrimalSolution(model, x.data()) || TVgetBasis(model, colbasis.data(), rowbasis.data()))
    return err::kNotAvailable;
  // Basic positions to variables (j < n structural, n + i the slack of row i).
  std::vector<int> head(m, -1);
  for (int j = 0; j < n + m; ++j) {
    const int st = j < n ? colbasis[j] : rowbasis[j - n];
    if (st < 0) continue;
    if (st >= m || head[st] >= 0) return err::kNotAvailable;
    head[st] = j;
  }
  if (std::find(head.begin(), head.end(), -1) != head.end()) return err::kNotAvailable;

  Solve solve{model, m, {}, {}, {}, {}};
  auto column = [&](int j, std::vector<double> *a) {
    a->assign(m, 0.0);
    for (int q = d.start[j]; q < d.start[j] + d.length[j]; ++q) (*a)[d.rowidx[q]] += d.value[q];
  };
  // The factorised basis must be this one: a basic column solves to its unit vector.
  std::vector<double> a, w;
  double g = 1;  // sign of the slack columns
  bool checked_slack = false;
  for (int p = 0, checks = 0; p < m && checks < 4; ++p) {
    const int j = head[p];
    if (j >= n && checked_slack) continue;
    if (j < n) column(j, &a);
    else a.assign(m, 0.0), a[j - n] = 1;
    if (solve.run(true, a, &w)) return err::kNotAvailable;
    double off = 0;
    for (int k = 0; k < m; ++k)
      if (k != p) off = std::max(off, std::fabs(w[k]));
    if (off > 1e-7 || std::fabs(std::fabs(w[p]) - 1) > 1e-7 || (j < n && w[p] < 0)) return err::kNotAvailable;
    if (j >= n) {
      g = w[p] > 0 ? 1 : -1;
      checked_slack = true;
    }
    ++checks;
  }

  const double tol = 1e-9;
  const double sigma = d.sense == TV_MAX ? -1.0 : 1.0;
  // Activities, slack values and slack bounds.
  std::vector<double> activity(m, 0.0);
  for (int j = 0; j < n; ++j)
    for (int q = d.start[j]; q < d.start[j] + d.length[j]; ++q) activity[d.rowidx[q]] += d.value[q] * x[j];
  std::vector<double> sval(m), slo(m), sup(m);
  for (int i = 0; i < m; ++i) {
    sval[i] = g * (d.b[i] - activity[i]);
    double lo = 0, up = 0;  // bounds of b - A x
    switch (d.ctype[i]) {
      case 'L': lo = 0, up = kInf; break;
      case 'G': lo = -kInf, up = 0; break;
      case 'E': lo = up = 0; break;
      default: lo = -kInf, up = kInf;
    }
    slo[i] = g > 0 ? lo : -up;
    sup[i] = g > 0 ? up : -lo;
  }
  auto lower = [&](int j) { return j < n ? d.lower[j] : slo[j - n]; };
  auto upper = [&](int j) { return j < n ? d.upper[j] : sup[j - n]; };
  auto value = [&](int j) { return j < n ? x[j] : sval[j - n]; };
  auto place = [&](int j) {
    const double lo = lower(j), up = upper(j), v = value(j);
    if (lo == up) return Place::kFixed;
    if (lo > -kInf && std::fabs(v - lo) <= 1e-7 * (1 + std::fabs(lo))) return Place::kLower;
    if (up < kInf && std::fabs(v - up) <= 1e-7 * (1 + std::fabs(up))) return Place::kUpper;
    return Place::kFree;
  };

  // Duals y (y^T B = c_B^T) and reduced costs scaled by the sense (sigma*d >= 0 at lower bounds).
  std::vector<double> cb(m, 0.0), y;
  for (int p = 0; p < m; ++p)
    if (head[p] < n) cb[p] = d.c[head[p]];
  if (solve.run(false, cb, &y)) return err::kNotAvailable;
  std::vector<char> basic(n + m, 0);
  for (int p = 0; p < m; ++p) basic[head[p]] = 1;
  std::vector<double> dj(n + m, 0.0);
  for (int j = 0; j < n; ++j) {
    double dot = 0;
    for (int q = d.start[j]; q < d.start[j] + d.length[j]; ++q) dot += y[d.rowidx[q]] * d.value[q];
    dj[j] = sigma * (d.c[j] - dot);
  }
  for (int i = 0; i < m; ++i) dj[n + i] = sigma * (-g * y[i]);

  out->cost_decrease.assign(n, kInf);
  out->cost_increase.assign(n, kInf);
  out->rhs_decrease.assign(m, kInf);
  out->rhs_increase.assign(m, kInf);

  // Costs. In sigma-space a change t of sigma*c_j keeps optimality while every
  // nonbasic reduced cost keeps its sign; map back for maximisation.
  std::vector<double> rho, unit(m);
  for (int j = 0; j < n; ++j) {
    double up_limit = kInf, down_limit = kInf;  // of sigma * c_j
    if (!basic[j]) {
      switch (place(j)) {
        case Place::kLower: down_limit = std::max(0.0, dj[j]); break;
        case Place::kUpper: up_limit = std::max(0.0, -dj[j]); break;
        case Place::kFree: up_limit = down_limit = 0; break;
        case Place::kFixed: break;
      }
    } else {
      const int r = colbasis[j];
      std::fill(unit.begin(), unit.end(), 0.0);
      unit[r] = 1;
      if (solve.run(false, unit, &rho)) return err::kNotAvailable;
      for (int k = 0; k < n + m; ++k) {
        if (basic[k]) continue;
        double alpha;
        if (k < n) {
          alpha = 0;
          for (int q = d.start[k]; q < d.start[k] + d.length[k]; ++q) alpha += rho[d.rowidx[q]] * d.value[q];
        } else {
          alpha = g * rho[k - n];
        }
        if (std::fabs(alpha) <= tol) continue;
        // sigma*d_k(t) = sigma*d_k - t * alpha for a change t of sigma*c_j.
        const double dk = dj[k];
        switch (place(k)) {
          case Place::kLower:  // needs dk - t*alpha >= 0
            if (alpha > 0) up_limit = std::min(up_limit, std::max(0.0, dk / alpha));
            else down_limit = std::min(down_limit, std::max(0.0, -dk / alpha));
            break;
          case Place::kUpper:  // needs dk - t*alpha <= 0
            if (alpha < 0) up_limit = std::min(up_limit, std::max(0.0, dk / alpha));
            else down_limit = std::min(down_limit, std::max(0.0, -dk / alpha));
            break;
          case Place::kFree: up_limit = down_limit = 0; break;
          case Place::kFixed: break;
        }
      }
    }
    out->cost_increase[j] = sigma > 0 ? up_limit : down_limit;
    out->cost_decrease[j] = sigma > 0 ? down_limit : up_limit;
  }

  // Right-hand sides: b_i + t moves the basic values by t * B^-1 e_i.
  std::vector<double> col;
  for (int i = 0; i < m; ++i) {
    std::fill(unit.begin(), unit.end(), 0.0);
    unit[i] = 1;
    if (solve.run(true, unit, &col)) return err::kNotAvailable;
    double inc = kInf, dec = kInf;
    for (int p = 0; p < m; ++p) {
      // x_B = B^-1 (b - N x_N): the change of b_i adds t * col[p] at position p.
      const int k = head[p];
      const double dv = col[p];
      inc = std::min(inc, step_limit(value(k), dv, lower(k), upper(k), tol));
      dec = std::min(dec, step_limit(value(k), -dv, lower(k), upper(k), tol));
    }
    out->rhs_increase[i] = inc;
    out->rhs_decrease[i] = dec;
  }
  return 0;
}

}  // namespace tarvo::io

namespace {

int copy_ranges(pTVmodel model, double *decrease, double *increase, bool costs) {
  if (!model || !decrease || !increase) return tarvo::err::kNullArgument;
  return tarvo::guarded([&] {
    tarvo::io::Ranges r;
    if (int code = tarvo::io::compute_ranges(model, &r)) return code;
    const auto &dec = costs ? r.cost_decrease : r.rhs_decrease;
    const auto &inc = costs ? r.cost_increase : r.rhs_increase;
    std::copy(dec.begin(), dec.end(), decrease);
    std::copy(inc.begin(), inc.end(), increase);
    return 0;
  });
}

}  // namespace

extern "C" {

TVAPI int TVgetObjectiveRanges(pTVmodel model, double *decrease, double *increase) {
  if (!tarvo::base::live(model)) return tarvo::err::kNullArgument;
  return copy_ranges(model, decrease, increase, true);
}

TVAPI int TVgetRHSRanges(pTVmodel model, double *decrease, double *increase) {
  if (!tarvo::base::live(model)) return tarvo::err::kNullArgument;
  return copy_ranges(model, decrease, increase, false);
}

}  // extern "C"
