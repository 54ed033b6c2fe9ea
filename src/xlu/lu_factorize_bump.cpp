// Factorisation of the bump: Markowitz steps until no active column is left,
// dropping dependent columns on the way. When the active submatrix has become
// dense (and is small enough to hold as a dense block, at most 4e6 cells) the
// rest is finished by dense elimination with partial pivoting (mode 0: density
// >= 0.4; mode 2: >= 0.1; mode 1 never).
#include <algorithm>
#include <cmath>
#include <vector>

#include "xlu/lu_internal.hpp"

namespace tarvo::xlu::detail {

namespace {

bool want_dense(const Work& W) {
  if (W.opt.mode == 1) return false;
  const double nc = W.nactive, nr = W.nactive_rows;
  if (nc < 16 || nr < 16) return false;
  const double cells = nc * nr;
  if (cells > 4e6) return false;
  const double density = static_cast<double>(W.act_nnz) / cells;
  return density >= (W.opt.mode == 2 ? 0.1 : 0.4);
}

}  // namespace

void dense_tail(Work& W) {
  std::vector<int> rows, cols;
  rows.reserve(static_cast<std::size_t>(W.nactive_rows));
  cols.reserve(static_cast<std::size_t>(W.nactive));
  for (int i = W.rhead[0]; i >= 0; i = W.rnext[i]) rows.push_back(i);  // parked
  for (int cnt = 1; cnt <= W.bump_size; ++cnt) {
    for (int i = W.rhead[cnt]; i >= 0; i = W.rnext[i]) rows.push_back(i);
    for (int j = W.chead[cnt]; j >= 0; j = W.cnext[j]) cols.push_back(j);
  }
  const int nr = static_cast<int>(rows.size());
  const int nc = static_cast<int>(cols.size());
  W.dense_size = nr;
  int* rloc = W.rowcount.data();  // free at this point
  for (int k = 0; k < nr; ++k) rloc[rows[k]] = k;
  std::vector<double> D(static_cast<std::size_t>(nr) * nc, 0.0);
  for (int jj = 0; jj < nc; ++jj) {
    const int j = cols[jj];
    double* col = &D[static_cast<std::size_t>(jj) * nr];
    for (int p = W.AC.begin[j]; p < W.AC.end[j]; ++p) col[rloc[W.AC.index[p]]] = W.AC.value[p];
  }
  const double drop = W.opt.drop_tol;
  int s = 0;  // physical rows 0..s-1 are pivoted
  int jj = 0;
  for (; jj < nc && s < nr; ++jj) {
    const int j = cols[jj];
    double* col = &D[static_cast<std::size_t>(jj) * nr];
    int kmax = s;
    double amax = 0.0;
    for (int k = s; k < nr; ++k) {
      const double a = std::fabs(col[k]);
      if (a > amax) {
        amax = a;
        kmax = k;
      }
    }
    if (amax <= column_tol(W, j)) {
      W.col_state[j] = -2;
      continue;
    }
    if (kmax != s) {
      for (int t = jj; t < nc; ++t) {
        double* ct = &D[static_cast<std::size_t>(t) * nr];
        std::swap(ct[s], ct[kmax]);
      }
      std::swap(rows[s], rows[kmax]);
    }
    const double piv = col[s];
    W.work += static_cast<std::int64_t>(nr - s) * (nc - jj) / 4;  // contiguous, cheap per flop
    record_pivot(W, rows[s], j, piv);
    for (int k = s + 1; k < nr; ++k) {
      double l = col[k] / piv;
      if (std::fabs(l) <= drop) l = 0.0;
      col[k] = l;
      if (l != 0.0) {
        W.lrec_index.push_back(rows[k]);
        W.lrec_value.push_back(l);
      }
    }
    for (int t = jj + 1; t < nc; ++t) {
      double* ct = &D[static_cast<std::size_t>(t) * nr];
      const double u = ct[s];
      if (std::fabs(u) <= drop) continue;
      record_u(W, cols[t], u);
      for (int k = s + 1; k < nr; ++k) ct[k] -= col[k] * u;
    }
    ++s;
  }
  for (; jj < nc; ++jj) W.col_state[cols[jj]] = -2;
  for (int k = s; k < nr; ++k) W.row_state[rows[k]] = -2;
  for (int j : cols) W.AC.clear_line(j);
  for (int i : rows) W.AR.clear_line(i);
  std::fill(W.chead.begin(), W.chead.end(), -1);
  std::fill(W.rhead.begin(), W.rhead.end(), -1);
  W.nactive = W.nactive_rows = 0;
  W.act_nnz = 0;
}

void factorize_bump(Work& W) {
  // Every step retires one active column.
  for (int guard = W.m + 1; guard > 0; --guard) {
    if (want_dense(W)) {
      dense_tail(W);
      return;
    }
    int r = -1, c = -1;
    const int k = markowitz(W, r, c);
    if (k == 0) return;
    if (k == 2) remove_dependent_column(W, c);
    else pivot(W, r, c);
  }
}

}  // namespace tarvo::xlu::detail
