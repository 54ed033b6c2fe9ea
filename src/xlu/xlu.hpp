// Sparse LU factorisation of a simplex basis with Forrest-Tomlin or product-form
// updates: the kernel behind the basis dispatch layer. Self-contained: it knows
// nothing of models or parameters; the caller copies its options in.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

namespace tarvo::xlu {

// Return codes of factorize/update and of the solves.
enum : int {
  kOk = 0,
  kSingular = 1,      // rank deficient (factorize) or unstable/tiny pivot (update)
  kOutOfMemory = 2,
  kInvalidInput = 3,  // bad index, NaN/inf entry, wrong vector size, no valid factors
  kOutOfSpace = 4,    // update limit reached or index space exhausted: refactorise
};

struct Options {
  double rel_pivot_tol = 0.5;      // a pivot must reach this fraction of its column's max
  double abs_pivot_tol = 1e-8;     // and this magnitude (times max(1, original column max))
  double drop_tol = 2.220446049250313e-16;   // factor entries at or below are dropped
  double diag_tol = 2.220446049250313e-16;   // an update diagonal at or below is zero
  double spvtol_ftran = 0.2;       // density above which FTRAN goes dense
  double spvtol_btran = 0.1;       // density above which BTRAN goes dense
  double spvtol_update = 0.001;    // density above which the update goes dense
  double update_check_tol = 1e-4;  // max relative mismatch of the updated diagonal
  int num_candidates = 4;          // Markowitz search: columns/rows examined after a hit
  int max_updates = 500;           // updates stored before kOutOfSpace
  int update_type = 1;             // -1 kernel decides (FT), 0 product form, 1 Forrest-Tomlin
  int mode = 0;                    // 0 auto dense tail, 1 always sparse, 2 eager dense tail
  int pivot_rule = 0;              // 0 threshold partial pivoting, 1 rook (row and column test)
  // > 0: condition control. Among acceptable pivots the search avoids those
  // that would bring min|pivot| / max|pivot| below this; when only such
  // pivots are left it takes the best of them and lowers the threshold to it.
  double min_rcond = 0.0;
};

// Work vector of dimension m: values at their positions in `array`, the
// positions of (a superset of) the nonzeros in index[0..count). count < 0 means
// the pattern is unknown and `array` is read as dense.
struct Vector {
  int count = 0;
  std::vector<int> index;
  std::vector<double> array;

  Vector() = default;
  explicit Vector(int m) { resize(m); }
  void resize(int m);
  void clear();  // zero the listed values (all of them when count < 0)
  int size() const { return static_cast<int>(array.size()); }
  // Rebuild index/count from array (O(m)).
  void repack();
};

struct Stats {
  std::int64_t ftran_sparse = 0, ftran_dense = 0;
  std::int64_t btran_sparse = 0, btran_dense = 0;
  std::int64_t binvi_sparse = 0, binvi_dense = 0;
  std::int64_t update_sparse = 0, update_dense = 0;
  std::int64_t factorizations = 0, updates = 0;
};

struct Info {
  int dim = 0;
  int status = kInvalidInput;  // result of the last factorize
  int rank = 0;
  int nupdates = 0;
  std::int64_t lnz = 0, unz = 0, pnz = 0;  // off-diagonal entries of L, U, update file
  std::int64_t factor_work = 0;            // operations of the last factorisation
  double lmax = 0.0;                       // largest |multiplier| of the fresh L
  int bump_size = 0;                       // rows left after the singleton passes
  int dense_size = 0;                      // order of the dense tail, 0 if none
};

// Export of a fresh factorisation (no updates): with row_perm[k] the k-th pivot
// row and col_perm[k] the k-th pivot column, B(row_perm, col_perm) = L * U where
// L is unit lower triangular (diagonal not stored) and U upper triangular with
// its diagonal stored first in each column. Both in CSC over positions 0..m-1.
struct Factors {
  std::vector<int> row_perm, col_perm;
  std::vector<int> l_begin, l_index;
  std::vector<double> l_value;
  std::vector<int> u_begin, u_index;
  std::vector<double> u_value;
};

namespace detail {
struct Work;
}

class Factor {
 public:
  // m: dimension; the hints size the initial storage (0 is fine).
  Factor(int m, int ncol_hint = 0, std::int64_t nnz_hint = 0, int update_slots = 0);
  ~Factor();
  Factor(Factor&&) noexcept;
  Factor& operator=(Factor&&) noexcept;
  Factor(const Factor&) = delete;
  Factor& operator=(const Factor&) = delete;
  // Takes over the state of `other` (its factors, pending updates and
  // options; this factor's statistics are kept): a basis saved once is put
  // back for the cost of a copy instead of a factorisation. kOk or kOutOfMemory
  // (this factor is then invalid).
  int copy_from(const Factor& other);

  int dim() const;
  const Options& options() const;
  // Rejects NaN and out-of-range values with kInvalidInput, keeping the old set.
  int set_options(const Options& opt);
  double rel_pivot_tol() const;
  int set_rel_pivot_tol(double tol);  // tol in (0, 1]

  // Factorise B whose column j holds index/value[begin[j]..end[j]) (row indices
  // 0..m-1; duplicates are summed, explicit zeros ignored). On kSingular the
  // factors are those of B with each dependent_positions()[k] column replaced by
  // the unit column of uncovered_rows()[k]: solves stay valid for that matrix.
  int factorize(const int* begin, const int* end, const int* index, const double* value);
  int rank() const;
  const std::vector<int>& dependent_positions() const;
  const std::vector<int>& uncovered_rows() const;
  bool valid() const;

  // x = B^-1 b, in place: rhs indexed by rows, result by basic positions. With
  // for_update the data needed by update() is kept.
  int ftran(Vector& v, bool for_update = false);
  int ftran(int nz, const int* index, const double* value, Vector& out, bool for_update = false);
  int ftran_dense(double* x, bool for_update = false);
  // As ftran(v), for the bound flips' right-hand side of a dual ratio test:
  // its kernels follow the densities of earlier flips, which are often far
  // from those of the other plain FTRANs (edge-weight vectors).
  int ftran_flips(Vector& v);
  // Two FTRANs: `a` as by ftran(a, true), then `b` as by ftran(b). When
  // pair_shares_pass() says so they share one pass over the factors (both
  // solved densely); otherwise they run one after the other.
  int ftran_pair(Vector& a, Vector& b);
  // True when both right-hand sides (of these nonzero counts) would take the
  // dense kernels, so that one shared pass replaces two.
  bool pair_shares_pass(int nz_a, int nz_b) const;
  // Three FTRANs: `c` as by ftran_flips(c), then `a` and `b` as by ftran_pair(a, b).
  // When triple_shares_pass() says so all three share one dense pass, with
  // the results and choices of the separate solves.
  int ftran_triple(Vector& a, Vector& b, Vector& c);
  bool triple_shares_pass(int nz_a, int nz_b, int nz_c) const;
  // y^T B = c^T, in place: rhs indexed by basic positions, result by rows.
  int btran(Vector& v);
  int btran(int nz, const int* index, const double* value, Vector& out);
  int btran_dense(double* y);
  // Row p of B^-1 (btran of the unit vector e_p).
  int row_of_inverse(int p, Vector& out);

  // Replace the column in basic position p by the column of the last
  // ftran(..., true). kOk, kSingular (refused: new diagonal tiny or unstable;
  // the factors are unchanged), kOutOfMemory (factors invalid), kOutOfSpace
  // (limit reached; unchanged: refactorise).
  int update(int p);
  int num_updates() const;
  double last_update_mismatch() const;  // relative mismatch of the last FT diagonal
  // Relative residual |a - B x|_inf / (|a|_inf + |B|_max |x|_1) of the column
  // kept by the last ftran(..., true), against the current B; 0 when none is kept.
  double kept_column_residual() const;

  // Operations the last factorisation spent (entries scanned, updated and
  // stored), and the nonzeros of its fresh factors including the diagonal: the
  // caller weighs the growth of the update file against a new factorisation.
  std::int64_t factor_work() const;
  std::int64_t fresh_nnz() const;

  std::int64_t lnz() const;
  std::int64_t unz() const;
  std::int64_t pnz() const;
  Info info() const;
  const Stats& stats() const;

  // Cheap reciprocal condition indicator min|diag| / max|diag| (kept through updates).
  double rcond() const;
  // Estimates of the 1-norm (cond2est) and infinity-norm (cond4est) condition
  // numbers of the current B, by Hager-Higham iteration; cached until the next change.
  double cond2est();
  double cond4est();
  double norm1() const;    // ||B||_1 of the current basis
  double norminf() const;  // ||B||_inf
  // Relative residual max(|b - Bx|/(|B||x| + |b|)) of test solves with B and B^T.
  double residual_test();

  // Only without updates; kInvalidInput otherwise.
  int get_factors(Factors& out) const;

 private:
  std::unique_ptr<detail::Work> w_;
};

}  // namespace tarvo::xlu
