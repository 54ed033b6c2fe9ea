// Sparse triangular solves: the reach of the right-hand side (depth-first
// search over the factor's graph) gives the result pattern in topological
// order, and only those columns are applied, so the work is proportional to the
// flops. Also the drivers of whole FTRAN/BTRAN, which pick the kernel per stage:
// sparse while the vector stays under the density threshold, dense after.
#include <cstring>

#include "xlu/lu_internal.hpp"

namespace tarvo::xlu::detail {

namespace {

// Reach of the current pattern in the graph (begin/end/index); afterwards the
// pattern is the reach in topological order, at the start of the other buffer.
const int* reach(Work& W, const int* begin, const int* end, const int* index) {
  const int* in = W.pat[W.cur].data();
  int* out = W.pat[1 - W.cur].data();
  const int st = W.next_stamp();
  const int top = dfs_reach(W.m, W.nz, in, begin, end, index, W.mark.data(), st,
                            W.stack.data(), W.pstack.data(), out);
  const int n = W.m - top;
  if (top > 0 && n > 0) std::memmove(out, out + top, sizeof(int) * n);
  W.cur = 1 - W.cur;
  W.nz = n;
  return out;
}

}  // namespace

void lsolve_sparse(Work& W) {
  const int* order = reach(W, W.lbegin.data(), W.lend.data(), W.lindex.data());
  double* w = W.w.data();
  const int* idx = W.lindex.data();
  const double* val = W.lvalue.data();
  for (int k = 0; k < W.nz; ++k) {
    const int a = order[k];
    const double x = w[a];
    if (x == 0.0) continue;
    for (int q = W.lbegin[a], e = W.lend[a]; q < e; ++q) w[idx[q]] -= val[q] * x;
  }
}

void ltsolve_sparse(Work& W) {
  const int* order = reach(W, W.ltbegin.data(), W.ltend.data(), W.ltindex.data());
  double* w = W.w.data();
  const int* idx = W.ltindex.data();
  const double* val = W.ltvalue.data();
  for (int k = 0; k < W.nz; ++k) {
    const int b = order[k];
    const double x = w[b];
    if (x == 0.0) continue;
    for (int q = W.ltbegin[b], e = W.ltend[b]; q < e; ++q) w[idx[q]] -= val[q] * x;
  }
}

void usolve_sparse(Work& W) {
  const File& U = W.Uc;
  const int* order = reach(W, U.begin.data(), U.end.data(), U.index.data());
  double* w = W.w.data();
  const int* idx = U.index.data();
  const double* val = U.value.data();
  for (int k = 0; k < W.nz; ++k) {
    const int a = order[k];
    double x = w[a];
    if (x == 0.0) continue;
    x /= W.diag[a];
    w[a] = x;
    for (int q = U.begin[a], e = U.end[a]; q < e; ++q) w[idx[q]] -= val[q] * x;
  }
}

void utsolve_sparse(Work& W) {
  const File& U = W.Ur;
  const int* order = reach(W, U.begin.data(), U.end.data(), U.index.data());
  double* w = W.w.data();
  const int* idx = U.index.data();
  const double* val = U.value.data();
  for (int k = 0; k < W.nz; ++k) {
    const int a = order[k];
    double x = w[a];
    if (x == 0.0) continue;
    x /= W.diag[a];
    w[a] = x;
    for (int q = U.begin[a], e = U.end[a]; q < e; ++q) w[idx[q]] -= val[q] * x;
  }
}

// The spike (L and row etas applied) is the new U column of an update.
void keep_spike(Work& W) {
  if (W.nz < 0) rebuild_pattern(W);
  const int* pat = W.pat[W.cur].data();
  int n = 0;
  for (int k = 0; k < W.nz; ++k) {
    const int a = pat[k];
    const double x = W.w[a];
    if (x == 0.0) continue;
    W.spike[a] = x;
    W.spike_pat[n++] = a;
  }
  W.spike_nz = n;
}

bool ftran_work(Work& W, bool sparse, bool keep) {
  const double thr = W.opt.spvtol_ftran * W.m;
  bool all = sparse && W.nz >= 0;
  if (all && W.nz <= thr) lsolve_sparse(W);
  else {
    lsolve_dense(W);
    all = false;
  }
  if (W.ft) rsolve(W);
  if (keep) keep_spike(W);
  if (all && W.nz <= thr) usolve_sparse(W);
  else {
    usolve_dense(W);
    all = false;
  }
  if (!W.ft) pfsolve(W);
  return all;
}

bool btran_work(Work& W, bool sparse) {
  const double thr = W.opt.spvtol_btran * W.m;
  bool all = sparse && W.nz >= 0;
  if (!all) W.nz = -1;
  if (!W.ft) pftsolve(W);
  if (all && W.nz <= thr) utsolve_sparse(W);
  else {
    utsolve_dense(W);
    all = false;
  }
  if (W.ft) rtsolve(W);
  if (all && W.nz <= thr) ltsolve_sparse(W);
  else {
    ltsolve_dense(W);
    all = false;
  }
  return all;
}

}  // namespace tarvo::xlu::detail
