// Dense-order triangular solves on the pair-space workspace (one vector, or
// two at once for paired FTRANs), and the update etas. The L and U kernels
// sweep the whole pivot order (O(m + nnz)); the eta kernels are shared by both
// paths and keep the pattern when one is kept (W.nz >= 0), so a sparse solve
// stays sparse across them.
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

namespace {

// A triangular factor as lines (columns of L or U, rows of L or U) by pair.
struct Lines {
  const int* begin;
  const int* end;
  const int* index;
  const double* value;
};

Lines l_columns(const Work& W) { return {W.lbegin.data(), W.lend.data(), W.lindex.data(), W.lvalue.data()}; }
Lines u_lines(const File& U) { return {U.begin.data(), U.end.data(), U.index.data(), U.value.data()}; }

// One sweep over a pivot order (voids < 0 skipped): each nonzero multiplier,
// divided by its diagonal when there is one, is subtracted along its line.
// kPair runs a second vector through the same pass, each entry loaded once;
// each vector then sees exactly the operations, in the same order, of a sweep
// of its own, so the results are bitwise those of two separate sweeps. A zero
// multiplier skips its whole line, which is what makes the scatter form pay
// on results that are dense but far from full.
// A multiplier is final when the sweep reaches it, so the sweep can list the
// result's pattern (in sweep order) at the cost of one store per nonzero:
// saves the caller a pass over all m to find it.
struct Listed {
  int* pat1 = nullptr;
  int* pat2 = nullptr;
  int n1 = 0, n2 = 0;
};

// Returns the factor entries applied.
template <bool kPair, bool kBackward, bool kList = false>
std::int64_t sweep(const Lines& F, const int* order, int n, const double* diag, double* w1, double* w2,
                   Listed* out = nullptr) {
  std::int64_t ops = 0;
  for (int k = 0; k < n; ++k) {
    const int a = order[kBackward ? n - 1 - k : k];
    if (a < 0) continue;
    double x1 = w1[a];
    double x2 = kPair ? w2[a] : 0.0;
    if (x1 == 0.0 && x2 == 0.0) continue;
    if (diag) {
      if (x1 != 0.0) w1[a] = x1 /= diag[a];
      if (kPair && x2 != 0.0) w2[a] = x2 /= diag[a];
    }
    if constexpr (kList) {
      out->pat1[out->n1] = a;
      out->n1 += x1 != 0.0;
      if constexpr (kPair) {
        out->pat2[out->n2] = a;
        out->n2 += x2 != 0.0;
      }
    }
    const int b = F.begin[a], e = F.end[a];
    ops += e - b;
    if (!kPair || x2 == 0.0) {
      for (int q = b; q < e; ++q) w1[F.index[q]] -= F.value[q] * x1;
    } else if (x1 == 0.0) {
      for (int q = b; q < e; ++q) w2[F.index[q]] -= F.value[q] * x2;
    } else {
      for (int q = b; q < e; ++q) {
        const int i = F.index[q];
        const double v = F.value[q];
        w1[i] -= v * x1;
        w2[i] -= v * x2;
      }
    }
  }
  return ops;
}

// The row etas of the updates, forward, on two dense vectors.
void rsolve_pair(Work& W, double* w1, double* w2) {
  const int T = static_cast<int>(W.eta_pivot.size());
  const int* idx = W.eta_index.data();
  const double* val = W.eta_value.data();
  const int* begin = W.eta_begin.data();
  for (int t = 0; t < T; ++t) {
    double s1 = 0.0, s2 = 0.0;
    for (int q = begin[t], e = begin[t + 1]; q < e; ++q) {
      const int i = idx[q];
      s1 += val[q] * w1[i];
      s2 += val[q] * w2[i];
    }
    const int p = W.eta_pivot[t];
    if (s1 != 0.0) w1[p] -= s1;
    if (s2 != 0.0) w2[p] -= s2;
  }
}

}  // namespace

namespace {

// One sweep over a single vector that leaves its pattern in pat[cur].
template <bool kBackward>
void sweep_listed(Work& W, const Lines& F, const int* order, int n, const double* diag) {
  Listed out;
  out.pat1 = W.pat[W.cur].data();
  W.ops = sweep<false, kBackward, true>(F, order, n, diag, W.w.data(), nullptr, &out);
  W.nz = out.n1;
}

}  // namespace

void lsolve_dense(Work& W) { sweep_listed<false>(W, l_columns(W), W.lorder.data(), W.m, nullptr); }

// Inner products with the columns of L, backwards through the elimination
// order: that reads all of L whatever the vector. A vector expected far from
// full takes the scatter form over the rows of L instead, which skips the rows
// of its zeros; on block-structured bases its work follows the one block the
// vector lives in rather than the whole factor. (The inner products are kept
// for full vectors: the scatter form sums in another order, and the changed
// rounding alone cost greenbeb 29 % more iterations.)
void ltsolve_dense(Work& W, bool thin) {
  if (thin) {
    const Lines Lt{W.ltbegin.data(), W.ltend.data(), W.ltindex.data(), W.ltvalue.data()};
    sweep_listed<true>(W, Lt, W.lorder.data(), W.m, nullptr);
    return;
  }
  const Lines L = l_columns(W);
  const int* order = W.lorder.data();
  double* w = W.w.data();
  int* pat = W.pat[W.cur].data();
  int nz = 0;
  for (int k = W.m - 1; k >= 0; --k) {
    const int a = order[k];
    double sum = 0.0;
    for (int q = L.begin[a], e = L.end[a]; q < e; ++q) sum += L.value[q] * w[L.index[q]];
    const double x = w[a] - sum;
    w[a] = x;
    pat[nz] = a;
    nz += x != 0.0;
  }
  W.ops = static_cast<std::int64_t>(W.lindex.size());
  W.nz = nz;
}

// U's lines are laid out in the order of these sweeps, columns backwards and
// rows forwards through the pivot order.
void usolve_dense(Work& W) { sweep_listed<true>(W, u_lines(W.Uc), W.uorder.data(), W.uend, W.diag.data()); }

void utsolve_dense(Work& W) {
  W.ops = sweep<false, false>(u_lines(W.Ur), W.uorder.data(), W.uend, W.diag.data(), W.w.data(), nullptr);
  W.nz = -1;
}

int ftran_pair_work(Work& W, bool keep) {
  double* w1 = W.w.data();
  double* w2 = W.w2.data();
  sweep<true, false>(l_columns(W), W.lorder.data(), W.m, nullptr, w1, w2);
  W.nz = -1;
  rsolve_pair(W, w1, w2);
  if (keep) keep_spike(W);
  Listed out;
  out.pat1 = W.pat[W.cur].data();
  out.pat2 = W.pat[1 - W.cur].data();
  sweep<true, true, true>(u_lines(W.Uc), W.uorder.data(), W.uend, W.diag.data(), w1, w2, &out);
  W.nz = out.n1;
  return out.n2;
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
