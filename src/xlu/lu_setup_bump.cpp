// The bump: what is left of B after the singleton passes. Copies its active
// columns (with values) and rows (pattern only) into two files, computes the
// column maxima and links columns and rows into lists by count for the
// Markowitz search. Empty columns are dependent, empty rows uncovered, at once.
#include <algorithm>
#include <cmath>

#include "xlu/lu_internal.hpp"

namespace tarvo::xlu::detail {

void list_insert_col(Work& W, int j) {
  const int c = W.AC.length(j);
  const int h = W.chead[c];
  W.cprev[j] = -1;
  W.cnext[j] = h;
  if (h >= 0) W.cprev[h] = j;
  W.chead[c] = j;
  ++W.nactive;
  W.act_nnz += c;
}

void list_remove_col(Work& W, int j) {
  const int c = W.AC.length(j);
  const int pv = W.cprev[j], nx = W.cnext[j];
  if (pv >= 0) W.cnext[pv] = nx;
  else W.chead[c] = nx;
  if (nx >= 0) W.cprev[nx] = pv;
  W.cprev[j] = W.cnext[j] = -1;
  --W.nactive;
  W.act_nnz -= c;
}

namespace {

void link_row(Work& W, int i, int list) {
  const int h = W.rhead[list];
  W.rprev[i] = -1;
  W.rnext[i] = h;
  if (h >= 0) W.rprev[h] = i;
  W.rhead[list] = i;
}

}  // namespace

void list_insert_row(Work& W, int i) {
  W.rparked[i] = 0;
  link_row(W, i, W.AR.length(i));
  ++W.nactive_rows;
}

// Parked rows sit in list 0 (no listed row is empty), whatever their length.
void list_remove_row(Work& W, int i) {
  const int c = W.rparked[i] ? 0 : W.AR.length(i);
  const int pv = W.rprev[i], nx = W.rnext[i];
  if (pv >= 0) W.rnext[pv] = nx;
  else W.rhead[c] = nx;
  if (nx >= 0) W.rprev[nx] = pv;
  W.rprev[i] = W.rnext[i] = -1;
  W.rparked[i] = 0;
  --W.nactive_rows;
}

void park_row(Work& W, int i) {
  list_remove_row(W, i);
  link_row(W, i, 0);
  W.rparked[i] = 1;
  ++W.nactive_rows;
}

// A smaller column maximum may make entries of parked rows acceptable.
void unpark_rows_of_column(Work& W, int j) {
  const File& AC = W.AC;
  for (int p = AC.begin[j]; p < AC.end[j]; ++p) {
    const int i = AC.index[p];
    if (!W.rparked[i]) continue;
    list_remove_row(W, i);
    list_insert_row(W, i);
  }
}

// Only the bump's lines are visited: after the singleton passes it is often a
// small part of B.
void setup_bump(Work& W) {
  const int m = W.m;
  const File& B = W.B;
  W.nactive = W.nactive_rows = 0;
  W.act_nnz = 0;
  int* rows = W.lrows.data();  // free until the bump's first pivot
  int* cols = W.queue.data();  // free until build_factors
  int nrows = 0, ncols = 0;
  for (int i = 0; i < m; ++i) {
    rows[nrows] = i;
    nrows += W.row_state[i] == -1;
  }
  for (int j = 0; j < m; ++j) {
    cols[ncols] = j;
    ncols += W.col_state[j] == -1;
  }
  W.bump_size = nrows;
  // counts never exceed the bump's order; dense_tail clears the lists whole
  const int top = std::max(nrows, ncols) + 1;
  std::fill(W.chead.begin(), W.chead.begin() + top, -1);
  std::fill(W.rhead.begin(), W.rhead.begin() + top, -1);
  if (nrows == 0) return;

  // The columns are copied straight from B, each laid out by its active
  // length (the column counts the singleton passes kept exact), and the row
  // lengths counted on the way; the rows are then filled from the column copy.
  // One pass over B's columns instead of two, whose scattered row tests
  // dominated this step.
  const int* clen = W.colcount.data();
  int* rlen = W.rowcount.data();
  for (int k = 0; k < nrows; ++k) rlen[rows[k]] = 0;
  std::int64_t nnz = 0;
  for (int k = 0; k < ncols; ++k) nnz += clen[cols[k]];
  const std::int64_t cap = 3 * nnz + 8 * static_cast<std::int64_t>(nrows) + 64;
  W.AC.size_for(m, cap, true);
  W.AR.size_for(m, cap, false);
  W.AC.layout_lines(clen, 2, cols, ncols);
  for (int k = 0; k < ncols; ++k) {
    const int j = cols[k];
    double cmax = 0.0;
    int q = W.AC.begin[j];
    for (int p = B.begin[j]; p < B.end[j]; ++p) {
      const int i = B.index[p];
      if (W.row_state[i] != -1) continue;
      W.AC.index[q] = i;
      W.AC.value[q] = B.value[p];
      ++q;
      ++rlen[i];
      cmax = std::max(cmax, std::fabs(B.value[p]));
    }
    W.AC.end[j] = q;
    W.colmax[j] = cmax;
  }
  W.AR.layout_lines(rlen, 2, rows, nrows);
  for (int k = 0; k < ncols; ++k) {
    const int j = cols[k];
    for (int p = W.AC.begin[j]; p < W.AC.end[j]; ++p) {
      const int i = W.AC.index[p];
      W.AR.index[W.AR.end[i]++] = j;
    }
  }
  for (int k = 0; k < ncols; ++k) {
    const int j = cols[k];
    if (W.AC.length(j) == 0) W.col_state[j] = -2;
    else list_insert_col(W, j);
  }
  for (int k = 0; k < nrows; ++k) {
    const int i = rows[k];
    if (W.AR.length(i) == 0) W.row_state[i] = -2;
    else list_insert_row(W, i);
  }
}

}  // namespace tarvo::xlu::detail
