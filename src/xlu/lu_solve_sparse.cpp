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
  std::int64_t ops = 0;
  for (int k = 0; k < W.nz; ++k) {
    const int a = order[k];
    const double x = w[a];
    if (x == 0.0) continue;
    ops += W.lend[a] - W.lbegin[a];
    for (int q = W.lbegin[a], e = W.lend[a]; q < e; ++q) w[idx[q]] -= val[q] * x;
  }
  W.ops = ops;
}

void ltsolve_sparse(Work& W) {
  const int* order = reach(W, W.ltbegin.data(), W.ltend.data(), W.ltindex.data());
  double* w = W.w.data();
  const int* idx = W.ltindex.data();
  const double* val = W.ltvalue.data();
  std::int64_t ops = 0;
  for (int k = 0; k < W.nz; ++k) {
    const int b = order[k];
    const double x = w[b];
    if (x == 0.0) continue;
    ops += W.ltend[b] - W.ltbegin[b];
    for (int q = W.ltbegin[b], e = W.ltend[b]; q < e; ++q) w[idx[q]] -= val[q] * x;
  }
  W.ops = ops;
}

void usolve_sparse(Work& W) {
  const File& U = W.Uc;
  const int* order = reach(W, U.begin.data(), U.end.data(), U.index.data());
  double* w = W.w.data();
  const int* idx = U.index.data();
  const double* val = U.value.data();
  std::int64_t ops = 0;
  for (int k = 0; k < W.nz; ++k) {
    const int a = order[k];
    double x = w[a];
    if (x == 0.0) continue;
    x /= W.diag[a];
    w[a] = x;
    ops += U.end[a] - U.begin[a];
    for (int q = U.begin[a], e = U.end[a]; q < e; ++q) w[idx[q]] -= val[q] * x;
  }
  W.ops = ops;
}

void utsolve_sparse(Work& W) {
  const File& U = W.Ur;
  const int* order = reach(W, U.begin.data(), U.end.data(), U.index.data());
  double* w = W.w.data();
  const int* idx = U.index.data();
  const double* val = U.value.data();
  std::int64_t ops = 0;
  for (int k = 0; k < W.nz; ++k) {
    const int a = order[k];
    double x = w[a];
    if (x == 0.0) continue;
    x /= W.diag[a];
    w[a] = x;
    ops += U.end[a] - U.begin[a];
    for (int q = U.begin[a], e = U.end[a]; q < e; ++q) w[idx[q]] -= val[q] * x;
  }
  W.ops = ops;
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

namespace {

// Share of m under which a stage's applied entries leave the search cheaper
// than a sweep over the whole order.
constexpr double kSearchShare = 0.25;
// Result density under which a BTRAN that left the sparse path still skips
// the zeros of its vector in L (see ltsolve_dense).
constexpr double kThinBelow = 0.3;

// Runs one triangular stage sparse (search, then the reach alone) or as a
// sweep, and records the entries it applied. Returns whether it ran sparse.
template <class Sparse, class Dense>
bool stage(Work& W, bool sparse, double thr, double& work, Sparse&& run_sparse, Dense&& run_dense) {
  const bool search = sparse && W.nz >= 0 && W.nz <= thr && work <= kSearchShare * W.m;
  if (search)
    run_sparse(W);
  else
    run_dense(W);
  work = 0.9 * work + 0.1 * static_cast<double>(W.ops);
  return search;
}

}  // namespace

bool ftran_work(Work& W, bool sparse, bool keep, SolveHist& h) {
  const double thr = W.opt.spvtol_ftran * W.m;
  bool all = stage(W, sparse, thr, h.work[0], lsolve_sparse, lsolve_dense);
  if (W.ft) rsolve(W);
  if (keep) keep_spike(W);
  all = stage(W, all, thr, h.work[1], usolve_sparse, usolve_dense) && all;
  if (!W.ft) pfsolve(W);
  return all;
}

bool btran_work(Work& W, bool sparse, SolveHist& h) {
  const double thr = W.opt.spvtol_btran * W.m;
  // the pattern stays for the first dense sweep (where it starts); product-form
  // etas would pay to keep it up
  if (!sparse && !W.ft) W.nz = -1;
  if (!W.ft) pftsolve(W);
  bool all = stage(W, sparse, thr, h.work[0], utsolve_sparse, utsolve_dense);
  if (W.ft) rtsolve(W);
  const bool thin = h.density < kThinBelow;
  all = stage(W, all, thr, h.work[1], ltsolve_sparse, [thin](Work& V) { ltsolve_dense(V, thin); }) && all;
  return all;
}

}  // namespace tarvo::xlu::detail
