// Dense-order triangular solves on the pair-space workspace, and the update
// etas. The L and U kernels sweep the whole pivot order (O(m + nnz)); the eta
// kernels are shared by both paths and keep the pattern when one is kept
// (W.nz >= 0), so a sparse solve stays sparse across them.
#include "xlu/lu_internal.hpp"

namespace tarvo::xlu::detail {

namespace {

// Mark the current pattern so that etas can add new entries once only.
int mark_pattern(Work& W) {
  const int st = W.next_stamp();
  const int* pat = W.pat[W.cur].data();
  for (int k = 0; k < W.nz; ++k) W.mark[pat[k]] = st;
  return st;
}

inline void add_to_pattern(Work& W, int a, int st) {
  if (W.mark[a] != st) {
    W.mark[a] = st;
    W.pat[W.cur][W.nz++] = a;
  }
}

}  // namespace

void lsolve_dense(Work& W) {
  double* w = W.w.data();
  const int* idx = W.lindex.data();
  const double* val = W.lvalue.data();
  for (int k = 0; k < W.m; ++k) {
    const int a = W.lorder[k];
    const double x = w[a];
    if (x == 0.0) continue;
    for (int q = W.lbegin[a], e = W.lend[a]; q < e; ++q) w[idx[q]] -= val[q] * x;
  }
  W.nz = -1;
}

void ltsolve_dense(Work& W) {
  double* w = W.w.data();
  const int* idx = W.lindex.data();
  const double* val = W.lvalue.data();
  for (int k = W.m - 1; k >= 0; --k) {
    const int a = W.lorder[k];
    double sum = 0.0;
    for (int q = W.lbegin[a], e = W.lend[a]; q < e; ++q) sum += val[q] * w[idx[q]];
    w[a] -= sum;
  }
  W.nz = -1;
}

void usolve_dense(Work& W) {
  double* w = W.w.data();
  const File& U = W.Uc;
  const int* idx = U.index.data();
  const double* val = U.value.data();
  for (int pos = W.uend - 1; pos >= 0; --pos) {
    const int a = W.uorder[pos];
    if (a < 0) continue;
    double x = w[a];
    if (x == 0.0) continue;
    x /= W.diag[a];
    w[a] = x;
    for (int q = U.begin[a], e = U.end[a]; q < e; ++q) w[idx[q]] -= val[q] * x;
  }
  W.nz = -1;
}

void utsolve_dense(Work& W) {
  double* w = W.w.data();
  const File& U = W.Ur;
  const int* idx = U.index.data();
  const double* val = U.value.data();
  for (int pos = 0; pos < W.uend; ++pos) {
    const int a = W.uorder[pos];
    if (a < 0) continue;
    double x = w[a];
    if (x == 0.0) continue;
    x /= W.diag[a];
    w[a] = x;
    for (int q = U.begin[a], e = U.end[a]; q < e; ++q) w[idx[q]] -= val[q] * x;
  }
  W.nz = -1;
}

void rsolve(Work& W) {
  const int T = static_cast<int>(W.eta_pivot.size());
  if (T == 0) return;
  double* w = W.w.data();
  const bool sparse = W.nz >= 0;
  const int st = sparse ? mark_pattern(W) : 0;
  for (int t = 0; t < T; ++t) {
    double sum = 0.0;
    for (int q = W.eta_begin[t], e = W.eta_begin[t + 1]; q < e; ++q)
      sum += W.eta_value[q] * w[W.eta_index[q]];
    if (sum == 0.0) continue;
    const int p = W.eta_pivot[t];
    w[p] -= sum;
    if (sparse) add_to_pattern(W, p, st);
  }
}

void rtsolve(Work& W) {
  const int T = static_cast<int>(W.eta_pivot.size());
  if (T == 0) return;
  double* w = W.w.data();
  const bool sparse = W.nz >= 0;
  const int st = sparse ? mark_pattern(W) : 0;
  for (int t = T - 1; t >= 0; --t) {
    const double x = w[W.eta_pivot[t]];
    if (x == 0.0) continue;
    for (int q = W.eta_begin[t], e = W.eta_begin[t + 1]; q < e; ++q) {
      const int a = W.eta_index[q];
      w[a] -= W.eta_value[q] * x;
      if (sparse) add_to_pattern(W, a, st);
    }
  }
}

void pfsolve(Work& W) {
  const int T = static_cast<int>(W.eta_pivot.size());
  if (T == 0) return;
  double* w = W.w.data();
  const bool sparse = W.nz >= 0;
  const int st = sparse ? mark_pattern(W) : 0;
  for (int t = 0; t < T; ++t) {
    const int p = W.eta_pivot[t];
    double x = w[p];
    if (x == 0.0) continue;
    x /= W.eta_diag[t];
    w[p] = x;
    for (int q = W.eta_begin[t], e = W.eta_begin[t + 1]; q < e; ++q) {
      const int a = W.eta_index[q];
      w[a] -= W.eta_value[q] * x;
      if (sparse) add_to_pattern(W, a, st);
    }
  }
}

void pftsolve(Work& W) {
  const int T = static_cast<int>(W.eta_pivot.size());
  if (T == 0) return;
  double* w = W.w.data();
  const bool sparse = W.nz >= 0;
  const int st = sparse ? mark_pattern(W) : 0;
  for (int t = T - 1; t >= 0; --t) {
    const int p = W.eta_pivot[t];
    double sum = 0.0;
    for (int q = W.eta_begin[t], e = W.eta_begin[t + 1]; q < e; ++q)
      sum += W.eta_value[q] * w[W.eta_index[q]];
    const double x = (w[p] - sum) / W.eta_diag[t];
    if (x == 0.0 && w[p] == 0.0) continue;
    w[p] = x;
    if (sparse) add_to_pattern(W, p, st);
  }
}

}  // namespace tarvo::xlu::detail
