// Primal simplex: composite phase 1 (minimise the sum of infeasibilities) and
// phase 2, Dantzig or Devex pricing, a two-pass Harris ratio test with bound
// flips, and verdicts confirmed on a fresh factorisation.
#include <algorithm>
#include <cmath>

#include "simplex/glp.hpp"

namespace tarvo::simplex {
namespace {

// Phase costs of the basic variables and the reduced costs they give.
bool price_costs(Glp &g, std::vector<double> &cb) {
  bool phase1 = false;
  for (int p = 0; p < g.m; ++p) {
    int j = g.head[p];
    if (g.x[j] < g.lower[j] - g.ptol) {
      cb[p] = -1.0;
      phase1 = true;
    } else if (g.x[j] > g.upper[j] + g.ptol) {
      cb[p] = 1.0;
      phase1 = true;
    } else {
      cb[p] = 0.0;
    }
  }
  if (!phase1)
    for (int p = 0; p < g.m; ++p) cb[p] = g.cost[g.head[p]];
  if (g.m > 0) g.lu.btran_dense(cb.data());
  for (int j = 0; j < g.n + g.m; ++j) {
    if (g.state[j] == kBasic) {
      g.d[j] = 0.0;
      continue;
    }
    double s = phase1 ? 0.0 : g.cost[j];
    for (int k = g.col_start[j]; k < g.col_start[j + 1]; ++k) s -= g.col_value[k] * cb[g.col_index[k]];
    g.d[j] = s;
  }
  if (!phase1)
    for (int i = 0; i < g.m; ++i) g.y[i] = cb[i];
  return phase1;
}

}  // namespace

int primal_simplex(Glp &g, const RunControl &rc) {
  const int m = g.m, nt = g.n + g.m;
  std::fill(g.shift.begin(), g.shift.end(), 0.0);
  int code = 0;
  if (!g.factored || g.wfact != WFACT_NO) {
    if ((code = refactor(g))) return code == 2 ? kRunNoMemory : kRunNumerical;
  }
  compute_primal(g);
  std::vector<double> cb(m);
  std::vector<double> ref(nt, 1.0);  // Devex reference weights
  std::vector<char> rejected(nt, 0);
  int nrejected = 0;
  int degenerate_run = 0;
  std::uint32_t seed = 987654321u;
  const double pivtol = 1e-7;

  for (;;) {
    if (g.wfact != WFACT_NO || !g.factored) {
      if ((code = refactor(g))) return code == 2 ? kRunNoMemory : kRunNumerical;
      compute_primal(g);
      if (nrejected) {
        std::fill(rejected.begin(), rejected.end(), 0);
        nrejected = 0;
      }
    }
    int lim = check_limits(g, rc);
    if (lim != XSTAT_CONT) {
      g.xstat = lim;
      return lim == XSTAT_CTRLC ? kRunInterrupt : kRunOk;
    }
    bool phase1 = price_costs(g, cb);
    // pricing
    int q = -1;
    double best = 0;
    bool random_pick = degenerate_run > 60;
    int seen = 0;
    for (int j = 0; j < nt; ++j) {
      signed char st = g.state[j];
      if (st == kBasic || rejected[j] || g.lower[j] == g.upper[j]) continue;
      double dj = g.d[j], v = 0;
      if ((st == kAtLower || st == kFreeZero) && dj < -g.dtol) v = -dj;
      if ((st == kAtUpper || st == kFreeZero) && dj > g.dtol) v = dj;
      if (v == 0) continue;
      if (random_pick) {
        // break cycling: reservoir pick among improving columns
        ++seen;
        seed = seed * 1664525u + 1013904223u;
        if ((seed >> 8) % static_cast<std::uint32_t>(seen) == 0) q = j;
        continue;
      }
      double score = rc.primal_pricing == 1 ? v * v / ref[j] : v;
      if (score > best) {
        best = score;
        q = j;
      }
    }
    if (q < 0) {
      if (g.lu.num_updates() > 0 || nrejected > 0) {
        g.wfact = phase1 ? WFACT_CHKFSB : WFACT_CHKOPT;
        if (nrejected > 0 && g.lu.num_updates() == 0) {
          std::fill(rejected.begin(), rejected.end(), 0);
          nrejected = 0;
          g.wfact = WFACT_NO;
          if (++degenerate_run > 1000) {
            g.xstat = XSTAT_SWITCH;
            return kRunOk;
          }
        }
        continue;
      }
      g.xstat = phase1 ? XSTAT_INF : XSTAT_OPT;
      if (!phase1) compute_dual(g);
      return kRunOk;
    }
    const double dir = g.d[q] < 0 ? 1.0 : -1.0;
    load_column(g, q, g.work_col);
    g.lu.ftran(g.work_col, true);
    const xlu::Vector &col = g.work_col;
    auto for_col = [&](auto &&f) {
      if (col.count >= 0) {
        for (int k = 0; k < col.count; ++k) f(col.index[k]);
      } else {
        for (int i = 0; i < m; ++i) f(i);
      }
    };
    // pass 1: relaxed bound on the step
    double range = g.upper[q] - g.lower[q];
    if (g.lower[q] <= -kInf || g.upper[q] >= kInf) range = kInf;
    double tmax = kInf;
    auto bound_of = [&](int j, double rate, double *bound) {
      double xv = g.x[j];
      if (rate < 0) {
        if (phase1 && xv > g.upper[j] + g.ptol) {
          *bound = g.upper[j];
          return true;
        }
        if (xv < g.lower[j] - g.ptol) return false;
        *bound = g.lower[j];
        return g.lower[j] > -kInf;
      }
      if (phase1 && xv < g.lower[j] - g.ptol) {
        *bound = g.lower[j];
        return true;
      }
      if (xv > g.upper[j] + g.ptol) return false;
      *bound = g.upper[j];
      return g.upper[j] < kInf;
    };
    for_col([&](int i) {
      double a = col.array[i];
      if (std::fabs(a) <= pivtol) return;
      double rate = -dir * a;
      int j = g.head[i];
      double bnd;
      if (!bound_of(j, rate, &bnd)) return;
      double t = rate < 0 ? (g.x[j] - bnd + g.ptol) / -rate : (bnd - g.x[j] + g.ptol) / rate;
      tmax = std::min(tmax, t);
    });
    // pass 2: the largest pivot among the rows reached
    int r = -1;
    double rbest = 0, rstep = 0, rbound = 0;
    if (tmax < kInf) {
      for_col([&](int i) {
        double a = col.array[i];
        if (std::fabs(a) <= pivtol) return;
        double rate = -dir * a;
        int j = g.head[i];
        double bnd;
        if (!bound_of(j, rate, &bnd)) return;
        double t = rate < 0 ? (g.x[j] - bnd) / -rate : (bnd - g.x[j]) / rate;
        if (t > tmax) return;
        if (std::fabs(a) > rbest) {
          rbest = std::fabs(a);
          r = i;
          rstep = std::max(t, 0.0);
          rbound = bnd;
        }
      });
    }
    if (range < kInf && (r < 0 || range <= rstep)) {
      // bound flip of the entering variable
      double t = range;
      for_col([&](int i) {
        double a = col.array[i];
        if (a != 0.0) g.x[g.head[i]] -= dir * t * a;
      });
      g.state[q] = g.state[q] == kAtLower ? kAtUpper : kAtLower;
      place_nonbasic(g, q);
      g.iterations += 1;
      degenerate_run = 0;
      continue;
    }
    if (r < 0) {
      if (!phase1) {
        if (g.lu.num_updates() > 0) {
          g.wfact = WFACT_CHKUNB;
          continue;
        }
        g.xstat = XSTAT_UNB;
        return kRunOk;
      }
      rejected[q] = 1;
      ++nrejected;
      continue;
    }
    if (rbest < 1e-5 * 1e-2 && g.lu.num_updates() > 0) {
      rejected[q] = 1;
      ++nrejected;
      continue;
    }
    // primal update
    const int leave = g.head[r];
    double t = rstep;
    for_col([&](int i) {
      double a = col.array[i];
      if (a != 0.0) g.x[g.head[i]] -= dir * t * a;
    });
    g.x[q] += dir * t;
    degenerate_run = t == 0.0 ? degenerate_run + 1 : 0;
    if (rc.primal_pricing == 1) {
      double wq = std::max(ref[q], 1.0);
      double arq = col.array[r];
      ref[leave] = std::max(wq / (arq * arq), 1.0);
      for_col([&](int i) {
        double a = col.array[i];
        if (a == 0.0 || i == r) return;
        int j = g.head[i];
        (void)j;
      });
    }
    int bu = bupdate(g, r);
    if (bu == 2) return kRunNoMemory;
    g.head[r] = q;
    g.where[q] = r;
    g.state[q] = kBasic;
    g.where[leave] = -1;
    g.state[leave] = (rbound == g.lower[leave]) ? kAtLower : kAtUpper;
    if (g.lower[leave] <= -kInf && g.upper[leave] >= kInf) g.state[leave] = kFreeZero;
    place_nonbasic(g, leave);
    g.iterations += 1;
  }
}

}  // namespace tarvo::simplex
