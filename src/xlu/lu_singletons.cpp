// Column and row singletons: the triangular part of B is pivoted without any
// arithmetic. Column singletons (one entry in the active rows) come first and
// give U rows straight from B; row singletons (one entry in the active columns)
// follow and give L columns; neither causes fill. A singleton whose pivot fails
// the absolute or threshold test is left for the Markowitz bump.
#include <algorithm>
#include <cmath>

#include "xlu/lu_internal.hpp"

namespace tarvo::xlu::detail {

void record_pivot(Work& W, int r, int c, double v) {
  const int k = W.npiv++;
  W.prow[k] = r;
  W.pcol[k] = c;
  W.pval[k] = v;
  W.pivot_max = std::max(W.pivot_max, std::fabs(v));
  W.lrec_begin[k] = static_cast<int>(W.lrec_index.size());
  W.urec_begin[k] = static_cast<int>(W.urec_index.size());
  W.row_state[r] = k;
  W.col_state[c] = k;
}

namespace {

// The row lengths come from load_matrix (rbegin[i + 1]).
void build_rows(Work& W) {
  const int m = W.m;
  const File& B = W.B;
  for (int i = 0; i < m; ++i) W.rbegin[i + 1] += W.rbegin[i];
  const std::size_t nnz = static_cast<std::size_t>(W.rbegin[m]);
  W.rindex.resize(nnz);
  W.rvalue.resize(nnz);
  int* fill = W.rowcount.data();
  for (int i = 0; i < m; ++i) fill[i] = W.rbegin[i];
  for (int j = 0; j < m; ++j) {
    for (int p = B.begin[j]; p < B.end[j]; ++p) {
      const int q = fill[B.index[p]]++;
      W.rindex[q] = j;
      W.rvalue[q] = B.value[p];
    }
  }
}

void column_singletons(Work& W) {
  const int m = W.m;
  const File& B = W.B;
  int* queue = W.queue.data();
  int qn = 0;
  for (int j = 0; j < m; ++j) {
    W.colcount[j] = B.length(j);
    if (W.colcount[j] == 1) queue[qn++] = j;
  }
  for (int qh = 0; qh < qn; ++qh) {
    const int j = queue[qh];
    if (W.col_state[j] != -1 || W.colcount[j] != 1) continue;
    int r = -1;
    double v = 0.0;
    for (int p = B.begin[j]; p < B.end[j]; ++p) {
      if (W.row_state[B.index[p]] == -1) {
        r = B.index[p];
        v = B.value[p];
        break;
      }
    }
    if (r < 0 || std::fabs(v) <= column_tol(W, j)) continue;
    record_pivot(W, r, j, v);
    for (int q = W.rbegin[r]; q < W.rbegin[r + 1]; ++q) {
      const int j2 = W.rindex[q];
      if (W.col_state[j2] != -1) continue;
      W.urec_index.push_back(j2);
      W.urec_value.push_back(W.rvalue[q]);
      if (--W.colcount[j2] == 1 && qn < m) queue[qn++] = j2;
    }
  }
  // Every entry a column lost from its count went to a U row: the U counts
  // need no upkeep in the loop above.
  for (int j = 0; j < m; ++j) W.ucount[j] = B.length(j) - W.colcount[j];
}

void row_singletons(Work& W) {
  const int m = W.m;
  const File& B = W.B;
  int* queue = W.queue.data();
  int qn = 0;
  // A column singleton's other entries lie in rows pivoted before it, so the
  // rows still active hold active columns only: their counts are their lengths.
  for (int i = 0; i < m; ++i) {
    const int cnt = W.row_state[i] == -1 ? W.rbegin[i + 1] - W.rbegin[i] : 0;
    W.rowcount[i] = cnt;
    if (cnt == 1) queue[qn++] = i;
  }
  const double rel = W.opt.rel_pivot_tol;
  for (int qh = 0; qh < qn; ++qh) {
    const int i = queue[qh];
    if (W.row_state[i] != -1 || W.rowcount[i] != 1) continue;
    int c = -1;
    for (int q = W.rbegin[i]; q < W.rbegin[i + 1]; ++q) {
      if (W.col_state[W.rindex[q]] == -1) {
        c = W.rindex[q];
        break;
      }
    }
    if (c < 0) continue;
    double v = 0.0, cmax = 0.0;
    for (int p = B.begin[c]; p < B.end[c]; ++p) {
      if (W.row_state[B.index[p]] != -1) continue;
      const double a = std::fabs(B.value[p]);
      if (a > cmax) cmax = a;
      if (B.index[p] == i) v = B.value[p];
    }
    if (std::fabs(v) < rel * cmax || std::fabs(v) <= column_tol(W, c)) continue;
    record_pivot(W, i, c, v);
    for (int p = B.begin[c]; p < B.end[c]; ++p) {
      const int i2 = B.index[p];
      if (W.row_state[i2] != -1) continue;
      W.lrec_index.push_back(i2);
      W.lrec_value.push_back(B.value[p] / v);
      if (--W.rowcount[i2] == 1 && qn < m) queue[qn++] = i2;
    }
  }
}

}  // namespace

void singletons(Work& W) {
  build_rows(W);
  column_singletons(W);
  row_singletons(W);
}

}  // namespace tarvo::xlu::detail
