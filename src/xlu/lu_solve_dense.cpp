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

// Two or three vectors through one pass, held interleaved (pair a at lane l
// of w[a]) so each factor entry costs one load, multiply and store of all
// lanes, and the scattered accesses touch one cache line instead of several.
// Lane-wise the operations and their order are those of a sweep of each vector
// alone, so the results equal separate sweeps (up to the sign of zeros).
#if defined(__GNUC__)
// aligned(8): the buffer is a vector of doubles
typedef double Lanes2 __attribute__((vector_size(16), aligned(8)));
inline void set_lane(Lanes2& x, int l, double v) { x[l] = v; }
// Three lanes as a pair and a scalar: a 32-byte generic vector without AVX
// compiles to spills.
struct Lanes3 {
  Lanes2 lo = {0.0, 0.0};
  double hi = 0.0;
  double operator[](int i) const { return i < 2 ? lo[i] : hi; }
  Lanes3& operator-=(const Lanes3& o) {
    lo -= o.lo;
    hi -= o.hi;
    return *this;
  }
  Lanes3& operator+=(const Lanes3& o) {
    lo += o.lo;
    hi += o.hi;
    return *this;
  }
  friend Lanes3 operator*(double s, const Lanes3& x) { return Lanes3{s * x.lo, s * x.hi}; }
  friend Lanes3 operator/(const Lanes3& x, double s) { return Lanes3{x.lo / s, x.hi / s}; }
};
inline void set_lane(Lanes3& x, int l, double v) {
  if (l < 2)
    x.lo[l] = v;
  else
    x.hi = v;
}
#else
template <int N>
struct Pack {
  double v[N] = {};
  double operator[](int i) const { return v[i]; }
  double& operator[](int i) { return v[i]; }
  Pack& operator-=(const Pack& o) {
    for (int i = 0; i < N; ++i) v[i] -= o.v[i];
    return *this;
  }
  Pack& operator+=(const Pack& o) {
    for (int i = 0; i < N; ++i) v[i] += o.v[i];
    return *this;
  }
  friend Pack operator*(double s, Pack x) {
    for (int i = 0; i < N; ++i) x.v[i] = s * x.v[i];
    return x;
  }
  friend Pack operator/(Pack x, double s) {
    for (int i = 0; i < N; ++i) x.v[i] = x.v[i] / s;
    return x;
  }
};
typedef Pack<2> Lanes2;
typedef Pack<3> Lanes3;
template <int N>
inline void set_lane(Pack<N>& x, int l, double v) {
  x.v[l] = v;
}
#endif

// K lanes of V in use. Lists the pattern of each lane when kList, and adds to
// *ops the entries a sweep of lane kOpsLane alone would apply (none when < 0).
template <bool kBackward, bool kList, int K, int kOpsLane, class V>
void sweep_lanes(const Lines& F, const int* order, int n, const double* diag, V* w, int* const* pats, int* counts,
                 std::int64_t* ops) {
  int c[K] = {};
  std::int64_t applied = 0;
  for (int k = 0; k < n; ++k) {
    const int a = order[kBackward ? n - 1 - k : k];
    if (a < 0) continue;
    V x = w[a];
    bool zero = true;
    for (int l = 0; l < K; ++l) zero = zero && x[l] == 0.0;
    if (zero) continue;
    const int b = F.begin[a], e = F.end[a];
    if constexpr (kOpsLane >= 0) applied += x[kOpsLane] != 0.0 ? e - b : 0;
    if (diag) {
      x = x / diag[a];
      w[a] = x;
    }
    if constexpr (kList) {
      for (int l = 0; l < K; ++l) {
        pats[l][c[l]] = a;
        c[l] += x[l] != 0.0;
      }
    }
    for (int q = b; q < e; ++q) w[F.index[q]] -= F.value[q] * x;
  }
  if constexpr (kList)
    for (int l = 0; l < K; ++l) counts[l] = c[l];
  if constexpr (kOpsLane >= 0) *ops += applied;
}

// The row etas of the updates, forward, on the interleaved lanes.
template <class V>
void rsolve_lanes(Work& W, V* w) {
  const int T = static_cast<int>(W.eta_pivot.size());
  const int* idx = W.eta_index.data();
  const double* val = W.eta_value.data();
  const int* begin = W.eta_begin.data();
  for (int t = 0; t < T; ++t) {
    V s{};
    for (int q = begin[t], e = begin[t + 1]; q < e; ++q) s += val[q] * w[idx[q]];
    w[W.eta_pivot[t]] -= s;
  }
}

// Dense FTRAN of K workspaces at once. Lane 0 may keep its spike; each lane's
// pattern goes to pats[l], its count to counts[l]; ops[0..1] get the L and U
// entries lane kOpsLane applied.
template <int K, int kOpsLane, class V>
void ftran_lanes(Work& W, bool keep, double* const* in, int* const* pats, int* counts, std::int64_t* ops) {
  const int m = W.m;
  V* w = reinterpret_cast<V*>(W.w12.data());
  for (int a = 0; a < m; ++a) {
    V x{};
    for (int l = 0; l < K; ++l) set_lane(x, l, in[l][a]);
    w[a] = x;
  }
  sweep_lanes<false, false, K, kOpsLane>(l_columns(W), W.lorder.data(), m, nullptr, w, nullptr, nullptr, ops);
  rsolve_lanes(W, w);
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
  sweep_lanes<true, true, K, kOpsLane>(u_lines(W.Uc), W.uorder.data(), W.uend, W.diag.data(), w, pats, counts,
                                       ops ? ops + 1 : nullptr);
  for (int a = 0; a < m; ++a)
    for (int l = 0; l < K; ++l) in[l][a] = w[a][l];
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
  double* in[2] = {W.w.data(), W.w2.data()};
  int* pats[2] = {W.pat[W.cur].data(), W.pat[1 - W.cur].data()};
  int counts[2];
  ftran_lanes<2, -1, Lanes2>(W, keep, in, pats, counts, nullptr);
  W.nz = counts[0];
  return counts[1];
}

void ftran_triple_work(Work& W, bool keep, int* nz2, int* nz3, std::int64_t* ops3) {
  double* in[3] = {W.w.data(), W.w2.data(), W.w3.data()};
  int* pats[3] = {W.pat[W.cur].data(), W.pat[1 - W.cur].data(), W.pat3.data()};
  int counts[3];
  ops3[0] = ops3[1] = 0;
  ftran_lanes<3, 2, Lanes3>(W, keep, in, pats, counts, ops3);
  W.nz = counts[0];
  *nz2 = counts[1];
  *nz3 = counts[2];
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
