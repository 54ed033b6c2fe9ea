// Basis updates. Forrest-Tomlin: the spike of the entering column replaces
// column p of U, pair p moves to the end of the pivot order, and the old row p
// is eliminated by a row eta whose multipliers solve a transposed triangular
// system (sparse by DFS while row p is short, dense otherwise). The new diagonal
// must equal x_p times the old one; a tiny or inconsistent value refuses the
// update and leaves the factors untouched. Product form: the ftran result is
// stored as a column eta with pivot x_p.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "xlu/lu_internal.hpp"

namespace tarvo::xlu::detail {

namespace {

double kept_value(const Work& W, int p) {
  for (int k = 0; k < W.kept_x_nz; ++k)
    if (W.kept_x_pat[k] == p) return W.kept_x_val[k];
  return 0.0;
}

}  // namespace

int update_ft(Work& W, int p) {
  const int m = W.m;
  const double xp = kept_value(W, p);
  if (!std::isfinite(xp) || xp == 0.0) return kSingular;

  // Multipliers: z^T U_S = row p of U over the pairs after p.
  double* uw = W.uw.data();
  int* upat = W.upat.data();
  int nin = 0;
  for (int q = W.Ur.begin[p]; q < W.Ur.end[p]; ++q) {
    const int b = W.Ur.index[q];
    uw[b] = W.Ur.value[q];
    upat[nin++] = b;
  }
  int* zpat = W.uout.data();
  int nzz = 0;
  const File& U = W.Ur;
  if (nin <= W.opt.spvtol_update * m) {
    const int st = W.next_stamp();
    const int top = dfs_reach(m, nin, upat, U.begin.data(), U.end.data(), U.index.data(),
                              W.mark.data(), st, W.stack.data(), W.pstack.data(), zpat);
    nzz = m - top;
    if (top > 0 && nzz > 0) std::memmove(zpat, zpat + top, sizeof(int) * nzz);
    for (int k = 0; k < nzz; ++k) {
      const int b = zpat[k];
      double x = uw[b];
      if (x == 0.0) continue;
      x /= W.diag[b];
      uw[b] = x;
      for (int q = U.begin[b]; q < U.end[b]; ++q) uw[U.index[q]] -= U.value[q] * x;
    }
    W.stats.update_sparse++;
  } else if (nin > 0) {
    for (int pos = W.upos[p] + 1; pos < W.uend; ++pos) {
      const int b = W.uorder[pos];
      if (b < 0) continue;
      double x = uw[b];
      if (x == 0.0) continue;
      x /= W.diag[b];
      uw[b] = x;
      zpat[nzz++] = b;
      for (int q = U.begin[b]; q < U.end[b]; ++q) uw[U.index[q]] -= U.value[q] * x;
    }
    W.stats.update_dense++;
  } else {
    W.stats.update_sparse++;
  }

  double d = W.spike[p];
  double smax = 0.0;
  for (int k = 0; k < W.spike_nz; ++k) smax = std::max(smax, std::fabs(W.spike[W.spike_pat[k]]));
  for (int k = 0; k < nzz; ++k) d -= uw[zpat[k]] * W.spike[zpat[k]];
  const double expect = xp * W.diag[p];
  const double mismatch = std::fabs(d - expect) / std::max(std::fabs(d), std::fabs(expect));
  auto clean = [&]() {
    for (int k = 0; k < nzz; ++k) uw[zpat[k]] = 0.0;
    for (int k = 0; k < nin; ++k) uw[upat[k]] = 0.0;
  };
  if (!std::isfinite(d) || std::fabs(d) <= W.opt.diag_tol || std::fabs(d) <= 1e-14 * smax ||
      !(mismatch <= W.opt.update_check_tol)) {
    W.last_mismatch = std::isfinite(mismatch) ? mismatch : 1.0;
    clean();
    return kSingular;
  }
  W.last_mismatch = mismatch;

  // Make sure every allocation happens before the factors change.
  const double drop = W.opt.drop_tol;
  int nspike = 0;
  for (int k = 0; k < W.spike_nz; ++k) {
    const int a = W.spike_pat[k];
    if (a != p && std::fabs(W.spike[a]) > drop) ++nspike;
  }
  W.eta_pivot.reserve(W.eta_pivot.size() + 1);
  W.eta_begin.reserve(W.eta_begin.size() + 1);
  W.eta_index.reserve(W.eta_index.size() + nzz);
  W.eta_value.reserve(W.eta_value.size() + nzz);

  // Old column p leaves the rows; row p leaves the columns.
  for (int q = W.Uc.begin[p]; q < W.Uc.end[p]; ++q) W.Ur.remove_index(W.Uc.index[q], p);
  W.Uc.clear_line(p);
  for (int q = W.Ur.begin[p]; q < W.Ur.end[p]; ++q) W.Uc.remove_index(W.Ur.index[q], p);
  W.Ur.clear_line(p);
  W.Uc.reserve_line(p, nspike);
  for (int k = 0; k < W.spike_nz; ++k) {
    const int a = W.spike_pat[k];
    const double s = W.spike[a];
    if (a == p || std::fabs(s) <= drop) continue;
    W.Uc.append(p, a, s);
    W.Ur.append(a, p, s);
  }
  const double old_diag = W.diag[p];
  W.diag[p] = d;
  rcond_after_update(W, old_diag, d);

  W.eta_pivot.push_back(p);
  for (int k = 0; k < nzz; ++k) {
    const int b = zpat[k];
    const double z = uw[b];
    if (std::fabs(z) > drop) {
      W.eta_index.push_back(b);
      W.eta_value.push_back(z);
    }
  }
  W.eta_begin.push_back(static_cast<int>(W.eta_index.size()));
  clean();

  W.uorder[W.upos[p]] = -1;
  if (W.uend >= static_cast<int>(W.uorder.size())) compact_uorder(W);
  W.upos[p] = W.uend;
  W.uorder[W.uend++] = p;
  return kOk;
}

int update_pf(Work& W, int p) {
  const double xp = kept_value(W, p);
  double xmax = 0.0;
  for (int k = 0; k < W.kept_x_nz; ++k) xmax = std::max(xmax, std::fabs(W.kept_x_val[k]));
  if (!std::isfinite(xp) || std::fabs(xp) <= W.opt.diag_tol || std::fabs(xp) <= 1e-14 * xmax)
    return kSingular;
  const double drop = W.opt.drop_tol;
  W.eta_pivot.reserve(W.eta_pivot.size() + 1);
  W.eta_diag.reserve(W.eta_diag.size() + 1);
  W.eta_begin.reserve(W.eta_begin.size() + 1);
  W.eta_index.reserve(W.eta_index.size() + W.kept_x_nz);
  W.eta_value.reserve(W.eta_value.size() + W.kept_x_nz);
  W.eta_pivot.push_back(p);
  W.eta_diag.push_back(xp);
  for (int k = 0; k < W.kept_x_nz; ++k) {
    const int a = W.kept_x_pat[k];
    const double x = W.kept_x_val[k];
    if (a == p || std::fabs(x) <= drop) continue;
    W.eta_index.push_back(a);
    W.eta_value.push_back(x);
  }
  W.eta_begin.push_back(static_cast<int>(W.eta_index.size()));
  W.pf_rcond = std::min(W.pf_rcond, std::fabs(xp) / xmax);
  W.last_mismatch = 0.0;
  refresh_rcond(W);
  if (W.kept_x_nz <= W.opt.spvtol_update * W.m) W.stats.update_sparse++;
  else W.stats.update_dense++;
  return kOk;
}

}  // namespace tarvo::xlu::detail
