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
// divided by its diagonal when there is one, is subtracted along its line. A
// zero multiplier skips its whole line, which is what makes the scatter form
// pay on results that are dense but far from full.
// A multiplier is final when the sweep reaches it, so the sweep can list the
// result's pattern (in sweep order) at the cost of one store per nonzero:
// saves the caller a pass over all m to find it.
// Returns the factor entries applied.
template <bool kBackward, bool kList = false>
std::int64_t sweep(const Lines& F, const int* order, int n, const double* diag, double* w, int* pat = nullptr,
                   int* npat = nullptr) {
  std::int64_t ops = 0;
  int nz = 0;
  for (int k = 0; k < n; ++k) {
    const int a = order[kBackward ? n - 1 - k : k];
    if (a < 0) continue;
    double x = w[a];
    if (x == 0.0) continue;
    if (diag) w[a] = x /= diag[a];
    if constexpr (kList) {
      pat[nz] = a;
      nz += x != 0.0;
    }
    const int b = F.begin[a], e = F.end[a];
    ops += e - b;
    for (int q = b; q < e; ++q) w[F.index[q]] -= F.value[q] * x;
  }
  if constexpr (kList) *npat = nz;
  return ops;
}

// Two vectors through one pass, held interleaved (pair a at [2a, 2a+1]) so
// each factor entry costs one load, multiply and store of both lanes, and the
// scattered accesses touch one cache line instead of two. Lane-wise the
// operations and their order are those of a sweep of each vector alone, so
// the results equal two separate sweeps (up to the sign of zeros).
#if defined(__GNUC__)
// aligned(8): the buffer is a vector of doubles
typedef double Lanes __attribute__((vector_size(16), aligned(8)));
#else
struct Lanes {
  double v[2];
  double operator[](int i) const { return v[i]; }
};
#endif

inline Lanes lanes(double a, double b) { return Lanes{a, b}; }
inline void sub_scaled(Lanes& y, double v, const Lanes& x) {
#if defined(__GNUC__)
  y -= lanes(v, v) * x;
#else
  y.v[0] -= v * x.v[0];
  y.v[1] -= v * x.v[1];
#endif
}

template <bool kBackward, bool kList>
void sweep_pair(const Lines& F, const int* order, int n, const double* diag, Lanes* w, int* pat1, int* n1,
                int* pat2, int* n2) {
  int c1 = 0, c2 = 0;
  for (int k = 0; k < n; ++k) {
    const int a = order[kBackward ? n - 1 - k : k];
    if (a < 0) continue;
    Lanes x = w[a];
    if (x[0] == 0.0 && x[1] == 0.0) continue;
    if (diag) {
      x = x / lanes(diag[a], diag[a]);
      w[a] = x;
    }
    if constexpr (kList) {
      pat1[c1] = a;
      c1 += x[0] != 0.0;
      pat2[c2] = a;
      c2 += x[1] != 0.0;
    }
    for (int q = F.begin[a], e = F.end[a]; q < e; ++q) sub_scaled(w[F.index[q]], F.value[q], x);
  }
  if constexpr (kList) {
    *n1 = c1;
    *n2 = c2;
  }
}

// The row etas of the updates, forward, on the interleaved pair.
void rsolve_pair(Work& W, Lanes* w) {
  const int T = static_cast<int>(W.eta_pivot.size());
  const int* idx = W.eta_index.data();
  const double* val = W.eta_value.data();
  const int* begin = W.eta_begin.data();
  for (int t = 0; t < T; ++t) {
    Lanes s = lanes(0.0, 0.0);
    for (int q = begin[t], e = begin[t + 1]; q < e; ++q) sub_scaled(s, -val[q], w[idx[q]]);
    const int p = W.eta_pivot[t];
    sub_scaled(w[p], 1.0, s);
  }
}

}  // namespace

namespace {

// One sweep over a single vector that leaves its pattern in pat[cur].
template <bool kBackward>
void sweep_listed(Work& W, const Lines& F, const int* order, int n, const double* diag) {
  W.ops = sweep<kBackward, true>(F, order, n, diag, W.w.data(), W.pat[W.cur].data(), &W.nz);
}

}  // namespace

// With the vector's pattern known, a sweep skips the stretch of the order
// before its first nonzero (forward) or after its last (backward): entries
// there are zero and nothing reaches them, as each line only updates pairs
// later in the order. A row of the inverse starts from one pair, so its U'
// sweep starts there.
struct Range {
  int begin, end;
};

Range live_range(const Work& W, const int* pos, int n) {
  if (W.nz < 0) return {0, n};
  int lo = n, hi = -1;
  const int* pat = W.pat[W.cur].data();
  for (int k = 0; k < W.nz; ++k) {
    const int q = pos[pat[k]];
    lo = q < lo ? q : lo;
    hi = q > hi ? q : hi;
  }
  return {lo, hi + 1};
}

void lsolve_dense(Work& W) {
  const int start = live_range(W, W.lpos.data(), W.m).begin;
  sweep_listed<false>(W, l_columns(W), W.lorder.data() + start, W.m - start, nullptr);
}

// Inner products with the columns of L, backwards through the elimination
// order: that reads all of L whatever the vector. A vector expected far from
// full takes the scatter form over the rows of L instead, which skips the rows
// of its zeros; on block-structured bases its work follows the one block the
// vector lives in rather than the whole factor. (The inner products are kept
// for full vectors: the scatter form sums in another order, and the changed
// rounding alone cost greenbeb 29 % more iterations.)
void ltsolve_dense(Work& W, bool thin) {
  const int stop = live_range(W, W.lpos.data(), W.m).end;
  if (thin) {
    const Lines Lt{W.ltbegin.data(), W.ltend.data(), W.ltindex.data(), W.ltvalue.data()};
    sweep_listed<true>(W, Lt, W.lorder.data(), stop, nullptr);
    return;
  }
  const Lines L = l_columns(W);
  const int* order = W.lorder.data();
  double* w = W.w.data();
  int* pat = W.pat[W.cur].data();
  int nz = 0;
  for (int k = stop - 1; k >= 0; --k) {
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
void usolve_dense(Work& W) {
  const int stop = live_range(W, W.upos.data(), W.uend).end;
  sweep_listed<true>(W, u_lines(W.Uc), W.uorder.data(), stop, W.diag.data());
}

void utsolve_dense(Work& W) {
  const int start = live_range(W, W.upos.data(), W.uend).begin;
  W.ops = sweep<false>(u_lines(W.Ur), W.uorder.data() + start, W.uend - start, W.diag.data(), W.w.data());
  W.nz = -1;
}

int ftran_pair_work(Work& W, bool keep) {
  const int m = W.m;
  double* w1 = W.w.data();
  double* w2 = W.w2.data();
  Lanes* w = reinterpret_cast<Lanes*>(W.w12.data());
  for (int a = 0; a < m; ++a) w[a] = lanes(w1[a], w2[a]);
  sweep_pair<false, false>(l_columns(W), W.lorder.data(), m, nullptr, w, nullptr, nullptr, nullptr, nullptr);
  rsolve_pair(W, w);
  if (keep) {
    int n = 0;
    for (int a = 0; a < m; ++a) {
      const double x = w[a][0];
      if (x == 0.0) continue;
      W.spike[a] = x;
      W.spike_pat[n++] = a;
    }
    W.spike_nz = n;
  }
  int n2 = 0;
  sweep_pair<true, true>(u_lines(W.Uc), W.uorder.data(), W.uend, W.diag.data(), w, W.pat[W.cur].data(), &W.nz,
                         W.pat[1 - W.cur].data(), &n2);
  for (int a = 0; a < m; ++a) {
    w1[a] = w[a][0];
    w2[a] = w[a][1];
  }
  return n2;
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
