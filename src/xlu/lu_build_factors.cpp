// Turn the pivot records into the factors used by the solves. Dependent
// columns are paired with uncovered rows as unit columns (diagonal 1), which
// completes the factorisation of B with those columns replaced; the kept copy
// of B is changed the same way. Then: pair maps, L by columns and by rows, U by
// columns and by rows (files, so that updates can grow them), the pivot order
// and a clean update state.
#include <algorithm>
#include <cmath>

#include "xlu/lu_internal.hpp"

namespace tarvo::xlu::detail {

void build_factors(Work& W) {
  const int m = W.m;
  const double drop = W.opt.drop_tol;
  W.dependent.clear();
  W.uncovered.clear();
  for (int j = 0; j < m; ++j)
    if (W.col_state[j] < 0) W.dependent.push_back(j);
  for (int i = 0; i < m; ++i)
    if (W.row_state[i] < 0) W.uncovered.push_back(i);
  W.rank = W.npiv;
  const std::size_t ndep = std::min(W.dependent.size(), W.uncovered.size());
  for (std::size_t k = 0; k < ndep; ++k) {
    const int j = W.dependent[k], i = W.uncovered[k];
    record_pivot(W, i, j, 1.0);
    W.B.clear_line(j);
    W.B.append(j, i, 1.0);
    W.colmax_orig[j] = 1.0;
  }
  W.lrec_begin[m] = static_cast<int>(W.lrec_index.size());
  W.urec_begin[m] = static_cast<int>(W.urec_index.size());
  const int rank = W.rank;

  for (int k = 0; k < m; ++k) {
    W.col_of_row[W.prow[k]] = W.pcol[k];
    W.row_of_col[W.pcol[k]] = W.prow[k];
    W.lorder[k] = W.pcol[k];
    W.lpos[W.pcol[k]] = k;
  }

  // L by pair, in elimination order.
  int* ltlen = W.rowcount.data();
  std::fill(ltlen, ltlen + m, 0);
  W.lindex.resize(W.lrec_index.size());
  W.lvalue.resize(W.lrec_index.size());
  {
    int* lindex = W.lindex.data();
    double* lvalue = W.lvalue.data();
    const int* col_of_row = W.col_of_row.data();
    int nl = 0;
    for (int k = 0; k < m; ++k) {
      const int a = W.pcol[k];
      W.lbegin[a] = nl;
      for (int q = W.lrec_begin[k]; q < W.lrec_begin[k + 1]; ++q) {
        const double l = W.lrec_value[q];
        if (std::fabs(l) <= drop) continue;
        const int b = col_of_row[W.lrec_index[q]];
        lindex[nl] = b;
        lvalue[nl] = l;
        ++nl;
        ltlen[b]++;
      }
      W.lend[a] = nl;
    }
    W.lindex.resize(static_cast<std::size_t>(nl));
    W.lvalue.resize(static_cast<std::size_t>(nl));
  }
  W.lmax = 0.0;
  for (double l : W.lvalue) W.lmax = std::max(W.lmax, std::fabs(l));
  // Transpose of L: row b lists (a, L(b, a)).
  const std::size_t lnz = W.lindex.size();
  W.ltindex.resize(lnz);
  W.ltvalue.resize(lnz);
  int pos = 0;
  for (int b = 0; b < m; ++b) {
    W.ltbegin[b] = W.ltend[b] = pos;
    pos += ltlen[b];
  }
  for (int a = 0; a < m; ++a) {
    for (int q = W.lbegin[a]; q < W.lend[a]; ++q) {
      const int b = W.lindex[q];
      const int t = W.ltend[b]++;
      W.ltindex[t] = a;
      W.ltvalue[t] = W.lvalue[q];
    }
  }

  // U by columns and rows; entries in replaced columns vanish. The lines are
  // laid out by the record counts: what the drops leave is room.
  const int* uclen = W.ucount.data();
  int* urlen = W.rowcount.data();
  for (int k = 0; k < m; ++k) urlen[W.pcol[k]] = W.urec_begin[k + 1] - W.urec_begin[k];
  const std::int64_t unz = static_cast<std::int64_t>(W.urec_index.size());
  // Only a replaced column (pivot position at or beyond the rank) drops its
  // entries; with full rank the test would cost a scattered load an entry.
  const bool replaced = rank < m;
  const auto kept = [&](int j, double u) { return !(replaced && W.col_state[j] >= rank) && std::fabs(u) > drop; };
  const std::int64_t cap = 2 * unz + 4 * static_cast<std::int64_t>(m) + 64;
  W.Uc.size_for(m, cap, true);
  W.Ur.size_for(m, cap, true);
  // Memory in the order of the dense solves: U columns backwards through the
  // pivot order, U rows forwards.
  int* order = W.queue.data();
  for (int k = 0; k < m; ++k) order[k] = W.pcol[m - 1 - k];
  W.Uc.layout(uclen, 0, order);
  W.Ur.layout(urlen, 0, W.pcol.data(), true);  // the update spikes append to the rows
  // Row a is written through a local cursor: its end in memory would chain
  // every entry to the store of the one before.
  int* uc_end = W.Uc.end.data();
  int* uc_index = W.Uc.index.data();
  double* uc_value = W.Uc.value.data();
  int* ur_index = W.Ur.index.data();
  double* ur_value = W.Ur.value.data();
  const int* urec_index = W.urec_index.data();
  const double* urec_value = W.urec_value.data();
  for (int k = 0; k < m; ++k) {
    const int a = W.pcol[k];
    W.diag[a] = W.pval[k];
    int pr = W.Ur.begin[a];
    for (int q = W.urec_begin[k]; q < W.urec_begin[k + 1]; ++q) {
      const int j = urec_index[q];
      const double u = urec_value[q];
      if (!kept(j, u)) continue;
      const int pc = uc_end[j]++;
      uc_index[pc] = a;
      uc_value[pc] = u;
      ur_index[pr] = j;
      ur_value[pr] = u;
      ++pr;
    }
    W.Ur.end[a] = pr;
  }

  const int cap_order = m + std::max(W.opt.max_updates, 1) + 1;
  W.uorder.assign(static_cast<std::size_t>(cap_order), -1);
  for (int k = 0; k < m; ++k) {
    W.uorder[k] = W.pcol[k];
    W.upos[W.pcol[k]] = k;
  }
  W.uend = m;

  W.ft = W.opt.update_type != 0;
  W.nupdates = 0;
  W.eta_pivot.clear();
  W.eta_index.clear();
  W.eta_value.clear();
  W.eta_diag.clear();
  W.eta_begin.assign(1, 0);
  W.pf_rcond = 1.0;
  W.last_mismatch = 0.0;
  W.cond1 = W.condinf = -1.0;
  recompute_rcond(W);
  // The row copy of B (rbegin, rindex, rvalue) keeps its size: cleared, the
  // next factorisation would zero it again before overwriting every entry.
}

}  // namespace tarvo::xlu::detail
