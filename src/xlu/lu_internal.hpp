// Internal state of the LU kernel and the contracts between its modules. All
// triangular factors live in "pair space": pivot row i and pivot column j form
// pair j, so L, U and the update etas are indexed by basic positions.
#pragma once

#include <cstdint>
#include <vector>

#include "xlu/xlu.hpp"

namespace tarvo::xlu::detail {

// Thrown when 32-bit index space would be exceeded; becomes kOutOfSpace.
struct OutOfSpace {};

// A set of lines (lists of entries) sharing one storage area, with room
// management: a line that must grow moves to the tail; a full area is compressed
// and then enlarged. Lines keep memory order in a doubly linked list.
struct File {
  int nlines = 0;
  bool with_values = true;
  std::vector<int> begin, end;
  std::vector<int> prev, next;  // sentinel is nlines
  std::vector<int> index;
  std::vector<double> value;

  // n empty lines in an area of the given capacity (at least what it had).
  void init(int n, std::int64_t capacity, bool values);
  // As init, but the lines' places are left for the layout() that follows.
  void size_for(int n, std::int64_t capacity, bool values);
  // Lay the lines out in order 0..n-1 (or order[0..n)), line l with room for
  // len[l] + elbow entries, and growth_room(len[l]) more for lines that will
  // grow, all empty; grows the area when needed.
  void layout(const int* len, int elbow, const int* order = nullptr, bool will_grow = false);
  // As layout, but only the `count` lines of `lines` (in that order) get room
  // and join the ring; every other line is left empty at 0 and must not be
  // appended to.
  void layout_lines(const int* len, int elbow, const int* lines, int count);
  // Room left behind a line of len entries that is expected to grow: update
  // spikes add one entry to each row of U they reach, and a line without room
  // moves to the tail on its next append.
  static int growth_room(int len) { return 4 + len / 4; }
  void clear_all();
  int length(int l) const { return end[l] - begin[l]; }
  std::int64_t capacity() const { return static_cast<std::int64_t>(index.size()); }
  std::int64_t total() const;
  // Make room for `extra` more entries at the end of line l.
  void reserve_line(int l, int extra);
  void append(int l, int idx, double v) {
    if (end[l] == limit_of(l)) reserve_line(l, 1);
    const int p = end[l]++;
    index[p] = idx;
    if (with_values) value[p] = v;
  }
  // Remove the entry at storage position p of line l (order not kept).
  void remove_at(int l, int p) {
    const int last = --end[l];
    index[p] = index[last];
    if (with_values) value[p] = value[last];
  }
  // Remove the entry whose index is idx; false when absent.
  bool remove_index(int l, int idx);
  void clear_line(int l) { end[l] = begin[l]; }
  int limit_of(int l) const {
    const int nx = next[l];
    return nx == nlines ? static_cast<int>(index.size()) : begin[nx];
  }
  void compress();  // lu_garbage_perm.cpp
};

// Iterative depth-first search: the nodes reachable from start[0..nstart)
// through edges node -> index[begin[node]..end[node]) go to out[top..m) in
// topological order (a node before every node it reaches). Returns top.
int dfs_reach(int m, int nstart, const int* start, const int* begin, const int* end,
              const int* index, int* mark, int stamp, int* stack, int* pstack, int* out);

// What the solves of one kind cost lately: the running result density and,
// per triangular stage (L and U, or U' and L'), the factor entries applied.
// The depth-first search of a sparse stage visits about as many entries again,
// scattered, where a sweep costs O(m) plus those entries: so a stage searches
// only while its entries stay a small share of m, whatever the density.
struct SolveHist {
  double density = 0.0;
  double work[2] = {0.0, 0.0};
};

struct Work {
  int m = 0;
  Options opt;
  Stats stats;
  int status = kInvalidInput;
  bool valid = false;
  int rank = 0;
  std::vector<int> dependent, uncovered;
  int bump_size = 0, dense_size = 0;
  std::int64_t work = 0;       // operations of the running/last factorisation
  std::int64_t fresh_nnz = 0;  // L + U + diagonal right after it
  double lmax = 0.0;           // largest |multiplier| in L
  double pivot_max = 0.0;      // largest |pivot| of the running factorisation
  double rcond_threshold = 0;  // condition control: current min|pivot| / pivot_max aimed at

  // Copy of B (columns by basic position), kept through updates.
  File B;
  std::vector<double> colmax_orig;  // max |entry| of each original column

  // ---- factorisation scratch
  std::vector<int> rbegin, rindex;  // row-wise copy of B
  std::vector<double> rvalue;
  std::vector<int> row_state, col_state;  // -1 active, -2 dependent/uncovered, >= 0 pivot no.
  // colcount: after the singleton passes, the active length of every active
  // column (the bump is laid out by it)
  std::vector<int> colcount, rowcount;
  std::vector<int> queue, lrows;  // scratch lists of size m
  // Pivot records in elimination order.
  int npiv = 0;
  std::vector<int> prow, pcol;
  std::vector<double> pval;
  std::vector<int> lrec_begin, lrec_index;  // L column of each pivot (row, multiplier)
  std::vector<double> lrec_value;
  std::vector<int> urec_begin, urec_index;  // U row of each pivot (column, value)
  std::vector<double> urec_value;
  // U records per column (its U column's length before drops): set by the
  // column singletons, raised by the bump
  std::vector<int> ucount;
  // Active submatrix of the bump.
  File AC;  // columns: (row, value)
  File AR;  // rows: column pattern
  // Count lists of the active columns and rows. rhead[0] heads the parked
  // rows: rows without an entry that passes the column threshold test, kept
  // out of the search until their count or a column maximum of theirs changes.
  std::vector<int> chead, cnext, cprev, rhead, rnext, rprev;
  std::vector<char> rparked;
  std::vector<double> colmax;
  std::vector<double> mult;
  std::vector<int> rmark, cmark;
  int rstamp = 0, cstamp = 0;
  int nactive = 0;       // columns in the count lists
  int nactive_rows = 0;  // rows in the count lists
  std::int64_t act_nnz = 0;  // entries of the listed columns

  // ---- factors (pair space)
  std::vector<int> col_of_row, row_of_col;
  std::vector<int> lorder, lpos;         // pairs in elimination order, and the inverse
  std::vector<int> lbegin, lend, lindex;  // L columns by pair
  std::vector<double> lvalue;
  std::vector<int> ltbegin, ltend, ltindex;  // L rows by pair (transpose)
  std::vector<double> ltvalue;
  File Uc, Ur;  // U columns and rows by pair, off-diagonal
  std::vector<double> diag;
  std::vector<int> uorder, upos;  // U order with voids (-1) after updates
  int uend = 0;
  // Update file: FT row etas or product-form column etas.
  bool ft = true;
  int nupdates = 0;
  std::vector<int> eta_pivot, eta_begin, eta_index;
  std::vector<double> eta_value, eta_diag;
  double rcond_cache = 0.0;
  double diag_min = 0.0, diag_max = 0.0;  // of |diag|
  int diag_nmin = 0, diag_nmax = 0;        // how many diagonals attain them
  double pf_rcond = 1.0;
  double cond1 = -1.0, condinf = -1.0;  // < 0: not computed
  double last_mismatch = 0.0;

  // ---- solve workspace (kept zero between calls)
  std::vector<double> w;
  std::vector<double> w2;  // second vector of a paired FTRAN, zero between calls
  std::vector<double> w3;  // third vector of a triple FTRAN, zero between calls
  std::vector<double> w12;  // w, w2 (and w3) interleaved during a shared FTRAN (no invariant)
  std::vector<int> pat[2];
  std::vector<int> pat3;  // pattern of w3
  int cur = 0;
  int nz = 0;  // count of pat[cur]; -1 when dense
  std::vector<int> mark;
  int stamp = 0;
  std::vector<int> stack, pstack;
  // One history per kind of solve: entering columns, other FTRANs (DSE
  // columns, far denser), bound flips' columns, BTRANs, rows of the inverse.
  // Mixing the kinds let the dense ones ride the sparse path with a reach as
  // large as the factor.
  SolveHist hist_col, hist_ftran, hist_flip, hist_btran, hist_binvi;
  std::int64_t ops = 0;  // factor entries applied by the last triangular stage

  // ---- data kept by ftran(for_update)
  bool kept = false;
  bool kept_bad = false;      // the kept column held NaN/inf
  double kept_norm1 = 0.0;
  std::vector<double> spike;  // dense, pair space (zero outside spike_pat)
  std::vector<int> spike_pat;
  int spike_nz = 0;
  std::vector<int> kept_x_pat;  // result x of that ftran
  std::vector<double> kept_x_val;
  int kept_x_nz = 0;
  std::vector<int> kept_col_index;  // the entering column itself (row space)
  std::vector<double> kept_col_value;
  int kept_col_nz = 0;
  // update scratch
  std::vector<double> uw;
  std::vector<int> upat, uout;

  void setup(int dim, std::int64_t nnz_hint, int update_slots);
  int next_stamp();  // for `mark`
  int next_rstamp();
  int next_cstamp();
};

// ---- factorisation steps (one module each)
void singletons(Work& W);          // lu_singletons.cpp; after load_matrix (row lengths)
void setup_bump(Work& W);          // lu_setup_bump.cpp
// Markowitz search: returns 1 with (r, c) set, 2 with c a dependent column
// found on the way, 0 when no active column is left.
int markowitz(Work& W, int& r, int& c);  // lu_markowitz.cpp
void pivot(Work& W, int r, int c);          // lu_pivot.cpp
void remove_dependent_column(Work& W, int c);
void list_remove_col(Work& W, int j);
void list_insert_col(Work& W, int j);
void list_remove_row(Work& W, int i);
void list_insert_row(Work& W, int i);
void park_row(Work& W, int i);
void unpark_rows_of_column(Work& W, int j);
void factorize_bump(Work& W);      // lu_factorize_bump.cpp
void dense_tail(Work& W);
void build_factors(Work& W);       // lu_build_factors.cpp
void record_pivot(Work& W, int r, int c, double v);
// Entry (current pivot's row, column j) of U.
inline void record_u(Work& W, int j, double v) {
  W.urec_index.push_back(j);
  W.urec_value.push_back(v);
  W.ucount[j]++;
}
void compact_uorder(Work& W);      // lu_garbage_perm.cpp
inline double column_tol(const Work& W, int j) {
  const double cmax = W.colmax_orig[j];
  return W.opt.abs_pivot_tol * (cmax > 1.0 ? cmax : 1.0);
}

// ---- solves on W.w in pair space (pattern pat[cur]/nz, nz < 0 dense)
void lsolve_dense(Work& W);        // lu_solve_dense.cpp
void usolve_dense(Work& W);
// thin: the vector is expected far from full (scatter form, zeros skipped)
void ltsolve_dense(Work& W, bool thin);
void utsolve_dense(Work& W);
void rsolve(Work& W);              // FT row etas, forward, pattern-aware
void rtsolve(Work& W);
void pfsolve(Work& W);             // product-form etas, forward
void pftsolve(Work& W);
void lsolve_sparse(Work& W);       // lu_solve_sparse.cpp
void usolve_sparse(Work& W);
void ltsolve_sparse(Work& W);
void utsolve_sparse(Work& W);
// Whole solves: b loaded in W.w (pair space). `sparse` asks for the sparse
// kernels; they fall back to dense when the vector fills. Return true when
// every stage ran sparse.
bool ftran_work(Work& W, bool sparse, bool keep, SolveHist& h);
void keep_spike(Work& W);
// Dense FTRAN of W.w and W.w2 at once (FT updates only); `keep` as above, for W.w.
// Leaves W.w's pattern in pat[cur] and W.w2's in pat[1 - cur]; returns the
// count of the latter.
int ftran_pair_work(Work& W, bool keep);
// As ftran_pair_work with W.w3 as a third vector: its pattern goes to pat3,
// the counts of the second and third to *nz2 and *nz3, and the L and U entries
// a dense FTRAN of W.w3 alone would apply to ops3[0] and ops3[1].
void ftran_triple_work(Work& W, bool keep, int* nz2, int* nz3, std::int64_t* ops3);
// Dense solves without statistics, for the estimators: in/out of length m.
void dense_ftran(Work& W, const double* rhs_rows, double* x_cols);
void dense_btran(Work& W, const double* rhs_cols, double* y_rows);
void replace_b_column(Work& W, int p);
bool btran_work(Work& W, bool sparse, SolveHist& h);
void rebuild_pattern(Work& W);
void recompute_rcond(Work& W);     // lu_matrix_norm.cpp
// After diag[p] changed from old_value: O(1) unless old_value was an extreme.
void rcond_after_update(Work& W, double old_value, double new_value);
void refresh_rcond(Work& W);
double b_norm1(const Work& W);
double b_norminf(const Work& W);
double inverse_norm1_estimate(Work& W, bool transposed);
double residual_test(Work& W);     // lu_residual_test.cpp
double kept_column_residual(Work& W);  // uses the update scratch and `mark`

int update_ft(Work& W, int p);     // lu_update.cpp
int update_pf(Work& W, int p);

}  // namespace tarvo::xlu::detail
