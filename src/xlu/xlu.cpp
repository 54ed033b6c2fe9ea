// The LU object: owns the workspace, validates its inputs, runs the
// factorisation steps in order, routes solves to the sparse or dense kernels by
// density and keeps the statistics. No exception leaves it: memory shortage and
// exhausted index space become return codes.
#include <algorithm>
#include <climits>
#include <cmath>
#include <new>

#include "xlu/lu_internal.hpp"
#include "xlu/xlu.hpp"

namespace tarvo::xlu {

using detail::Work;

void Vector::resize(int m) {
  index.assign(static_cast<std::size_t>(m), 0);
  array.assign(static_cast<std::size_t>(m), 0.0);
  count = 0;
}

void Vector::clear() {
  // Past a quarter of the entries one streaming fill beats the scattered
  // stores; unlisted entries are zero already.
  if (count < 0 || count > size() / 4) {
    std::fill(array.begin(), array.end(), 0.0);
  } else {
    for (int k = 0; k < count; ++k) {
      const int i = index[k];
      if (i >= 0 && i < size()) array[i] = 0.0;
    }
  }
  count = 0;
}

void Vector::repack() {
  if (index.size() < array.size()) index.resize(array.size());
  count = 0;
  for (int i = 0; i < size(); ++i)
    if (array[i] != 0.0) index[count++] = i;
}

namespace detail {

void Work::setup(int dim, std::int64_t nnz_hint, int update_slots) {
  m = dim;
  const std::size_t n = static_cast<std::size_t>(dim);
  colmax_orig.assign(n, 0.0);
  row_state.assign(n, -1);
  col_state.assign(n, -1);
  colcount.assign(n, 0);
  ucount.assign(n, 0);
  rowcount.assign(n, 0);
  queue.assign(n + 1, 0);
  lrows.assign(n + 1, 0);
  chead.assign(n + 2, -1);
  rhead.assign(n + 2, -1);
  cnext.assign(n, -1);
  cprev.assign(n, -1);
  rnext.assign(n, -1);
  rprev.assign(n, -1);
  rparked.assign(n, 0);
  colmax.assign(n, 0.0);
  mult.assign(n, 0.0);
  rmark.assign(n, 0);
  cmark.assign(n, 0);
  col_of_row.assign(n, 0);
  row_of_col.assign(n, 0);
  lorder.assign(n, 0);
  lpos.assign(n, 0);
  lbegin.assign(n, 0);
  lend.assign(n, 0);
  ltbegin.assign(n, 0);
  ltend.assign(n, 0);
  diag.assign(n, 1.0);
  upos.assign(n, 0);
  w.assign(n, 0.0);
  w2.assign(n, 0.0);
  w3.assign(n, 0.0);
  w12.assign(3 * static_cast<std::size_t>(n), 0.0);
  pat[0].assign(n + 1, 0);
  pat[1].assign(n + 1, 0);
  pat3.assign(n + 1, 0);
  mark.assign(n, 0);
  stamp = 0;
  stack.assign(n + 1, 0);
  pstack.assign(n + 1, 0);
  spike.assign(n, 0.0);
  spike_pat.assign(n + 1, 0);
  kept_x_pat.assign(n + 1, 0);
  kept_x_val.assign(n + 1, 0.0);
  kept_col_index.assign(n + 1, 0);
  kept_col_value.assign(n + 1, 0.0);
  uw.assign(n, 0.0);
  upat.assign(n + 1, 0);
  uout.assign(n + 1, 0);
  const std::int64_t cap = std::max<std::int64_t>(nnz_hint, dim) + dim + 16;
  B.init(dim, std::min<std::int64_t>(cap, INT_MAX), true);
  const std::size_t slots = static_cast<std::size_t>(std::max(update_slots, 0));
  eta_pivot.reserve(slots);
  eta_diag.reserve(slots);
  eta_begin.reserve(slots + 1);
}

int Work::next_stamp() {
  if (stamp == INT_MAX) {
    std::fill(mark.begin(), mark.end(), 0);
    stamp = 0;
  }
  return ++stamp;
}

int Work::next_rstamp() {
  if (rstamp == INT_MAX) {
    std::fill(rmark.begin(), rmark.end(), 0);
    rstamp = 0;
  }
  return ++rstamp;
}

int Work::next_cstamp() {
  if (cstamp == INT_MAX) {
    std::fill(cmark.begin(), cmark.end(), 0);
    cstamp = 0;
  }
  return ++cstamp;
}

void rebuild_pattern(Work& W) {
  int* pat = W.pat[W.cur].data();
  int nz = 0;
  for (int a = 0; a < W.m; ++a)
    if (W.w[a] != 0.0) pat[nz++] = a;
  W.nz = nz;
}

void dense_ftran(Work& W, const double* rhs_rows, double* x_cols) {
  for (int i = 0; i < W.m; ++i) W.w[W.col_of_row[i]] = rhs_rows[i];
  W.nz = -1;
  SolveHist h;
  ftran_work(W, false, false, h);
  for (int a = 0; a < W.m; ++a) {
    x_cols[a] = W.w[a];
    W.w[a] = 0.0;
  }
  W.nz = 0;
}

void dense_btran(Work& W, const double* rhs_cols, double* y_rows) {
  for (int a = 0; a < W.m; ++a) W.w[a] = rhs_cols[a];
  W.nz = -1;
  SolveHist h;
  btran_work(W, false, h);
  for (int a = 0; a < W.m; ++a) {
    y_rows[W.row_of_col[a]] = W.w[a];
    W.w[a] = 0.0;
  }
  W.nz = 0;
}

void replace_b_column(Work& W, int p) {
  W.B.clear_line(p);
  W.B.reserve_line(p, W.kept_col_nz);
  for (int k = 0; k < W.kept_col_nz; ++k) W.B.append(p, W.kept_col_index[k], W.kept_col_value[k]);
}

namespace {

bool finite(double x) { return std::isfinite(x); }

// Copy B into the kept file, summing duplicates and dropping zeros.
int load_matrix(Work& W, const int* begin, const int* end, const int* index, const double* value) {
  const int m = W.m;
  std::vector<int>& len = W.colcount;
  for (int j = 0; j < m; ++j) {
    if (end[j] < begin[j]) return kInvalidInput;
    const std::int64_t l = static_cast<std::int64_t>(end[j]) - begin[j];
    if (l > m && l > INT_MAX / 2) return kInvalidInput;
    len[j] = static_cast<int>(std::min<std::int64_t>(l, m));
  }
  W.B.layout(len.data(), 0);
  // Row lengths for the row copy of the singleton passes, counted while each
  // column is at hand: rbegin[i + 1] holds row i's.
  W.rbegin.assign(static_cast<std::size_t>(m) + 1, 0);
  int* rlen = W.rbegin.data() + 1;
  int* slot = W.mark.data();  // row -> position in the current column, by stamp
  int* where = W.stack.data();
  for (int j = 0; j < m; ++j) {
    const int st = W.next_stamp();
    int nz = 0;
    const int b0 = W.B.begin[j];
    double cmax = 0.0;
    bool tidy = true;  // no duplicate, no zero: the copy is final as it stands
    for (int p = begin[j]; p < end[j]; ++p) {
      const int i = index[p];
      const double v = value[p];
      if (i < 0 || i >= m || !finite(v)) return kInvalidInput;
      if (slot[i] == st) {
        W.B.value[b0 + where[i]] += v;
        tidy = false;
      } else {
        slot[i] = st;
        where[i] = nz;
        W.B.index[b0 + nz] = i;
        W.B.value[b0 + nz] = v;
        ++nz;
        tidy = tidy && v != 0.0;
        cmax = std::max(cmax, std::fabs(v));
      }
    }
    W.B.end[j] = b0 + nz;
    if (!tidy) {
      cmax = 0.0;
      for (int p = b0; p < W.B.end[j];) {
        const double a = std::fabs(W.B.value[p]);
        if (a == 0.0 || !finite(W.B.value[p])) {
          if (!finite(W.B.value[p])) return kInvalidInput;
          W.B.remove_at(j, p);
        } else {
          cmax = std::max(cmax, a);
          ++p;
        }
      }
    }
    for (int p = b0; p < W.B.end[j]; ++p) rlen[W.B.index[p]]++;
    W.colmax_orig[j] = cmax;
  }
  return kOk;
}

}  // namespace
}  // namespace detail

Factor::Factor(int m, int ncol_hint, std::int64_t nnz_hint, int update_slots)
    : w_(std::make_unique<Work>()) {
  (void)ncol_hint;
  w_->setup(std::max(m, 0), nnz_hint, update_slots);
}

Factor::~Factor() = default;
Factor::Factor(Factor&&) noexcept = default;
Factor& Factor::operator=(Factor&&) noexcept = default;

int Factor::copy_from(const Factor& other) {
  if (this == &other) return kOk;
  const Stats keep = w_->stats;
  try {
    // capacities are reused: after the first copy between two factors of one basis size nothing is allocated
    *w_ = *other.w_;
  } catch (const std::bad_alloc&) {
    w_->valid = false;
    w_->status = kOutOfMemory;
    w_->stats = keep;
    return kOutOfMemory;
  }
  w_->stats = keep;
  return kOk;
}

int Factor::dim() const { return w_->m; }
const Options& Factor::options() const { return w_->opt; }

int Factor::set_options(const Options& o) {
  auto in01 = [](double x) { return std::isfinite(x) && x >= 0.0 && x <= 1.0; };
  if (!(std::isfinite(o.rel_pivot_tol) && o.rel_pivot_tol > 0.0 && o.rel_pivot_tol <= 1.0))
    return kInvalidInput;
  if (!in01(o.abs_pivot_tol) || !in01(o.drop_tol) || !in01(o.diag_tol)) return kInvalidInput;
  if (!in01(o.spvtol_ftran) || !in01(o.spvtol_btran) || !in01(o.spvtol_update))
    return kInvalidInput;
  if (!(std::isfinite(o.update_check_tol) && o.update_check_tol > 0.0)) return kInvalidInput;
  if (o.num_candidates < 1 || o.max_updates < 1) return kInvalidInput;
  if (o.update_type < -1 || o.update_type > 1 || o.mode < 0 || o.mode > 2) return kInvalidInput;
  if (o.pivot_rule < 0 || o.pivot_rule > 1) return kInvalidInput;
  if (!in01(o.min_rcond)) return kInvalidInput;
  w_->opt = o;
  return kOk;
}

double Factor::rel_pivot_tol() const { return w_->opt.rel_pivot_tol; }

int Factor::set_rel_pivot_tol(double tol) {
  Options o = w_->opt;
  o.rel_pivot_tol = tol;
  return set_options(o);
}

int Factor::factorize(const int* begin, const int* end, const int* index, const double* value) {
  Work& W = *w_;
  W.valid = false;
  W.kept = false;
  W.cond1 = W.condinf = -1.0;
  const int m = W.m;
  if (m > 0 && (!begin || !end || !index || !value)) return W.status = kInvalidInput;
  try {
    int rc = detail::load_matrix(W, begin, end, index, value);
    if (rc != kOk) return W.status = rc;
    W.npiv = 0;
    // one slot per pivot (every row and column gets one, dependent columns
    // last), and one more for the end of the last pivot's records
    W.prow.resize(static_cast<std::size_t>(m));
    W.pcol.resize(static_cast<std::size_t>(m));
    W.pval.resize(static_cast<std::size_t>(m));
    W.lrec_begin.resize(static_cast<std::size_t>(m) + 1);
    W.urec_begin.resize(static_cast<std::size_t>(m) + 1);
    W.lrec_index.clear();
    W.lrec_value.clear();
    W.urec_index.clear();
    W.urec_value.clear();
    std::fill(W.row_state.begin(), W.row_state.end(), -1);
    std::fill(W.col_state.begin(), W.col_state.end(), -1);
    W.bump_size = W.dense_size = 0;
    W.pivot_max = 0.0;
    W.rcond_threshold = W.opt.min_rcond;
    W.work = W.B.total();
    detail::singletons(W);
    detail::setup_bump(W);
    detail::factorize_bump(W);
    detail::build_factors(W);
  } catch (const std::bad_alloc&) {
    return W.status = kOutOfMemory;
  } catch (const detail::OutOfSpace&) {
    return W.status = kOutOfSpace;
  }
  W.valid = true;
  W.fresh_nnz = static_cast<std::int64_t>(W.lindex.size()) + W.Uc.total() + m;
  W.work += W.fresh_nnz;
  W.stats.factorizations++;
  W.status = W.rank < m ? kSingular : kOk;
  return W.status;
}

int Factor::rank() const { return w_->rank; }
const std::vector<int>& Factor::dependent_positions() const { return w_->dependent; }
const std::vector<int>& Factor::uncovered_rows() const { return w_->uncovered; }
bool Factor::valid() const { return w_->valid; }

namespace {

// Move the caller's row-space rhs into the pair-space workspace.
int gather_rows(Work& W, Vector& v, bool keep) {
  const int m = W.m;
  if (v.size() != m) return kInvalidInput;
  if (static_cast<int>(v.index.size()) < m) v.index.resize(static_cast<std::size_t>(m));
  int* pat = W.pat[W.cur].data();
  int nz = 0;
  double norm = 0.0;
  bool bad = false;
  auto take = [&](int i) {
    const double x = v.array[i];
    if (x == 0.0) return;
    v.array[i] = 0.0;
    const int a = W.col_of_row[i];
    W.w[a] = x;
    pat[nz++] = a;
    if (keep) {
      W.kept_col_index[nz - 1] = i;
      W.kept_col_value[nz - 1] = x;
      if (!std::isfinite(x)) bad = true;
      norm += std::fabs(x);
    }
  };
  if (v.count >= 0 && v.count <= m) {
    for (int k = 0; k < v.count; ++k) {
      const int i = v.index[k];
      if (i >= 0 && i < m) take(i);
    }
  } else {
    for (int i = 0; i < m; ++i) take(i);
  }
  v.count = 0;
  W.nz = nz;
  if (keep) {
    W.kept_col_nz = nz;
    W.kept_bad = bad;
    W.kept_norm1 = norm;
  }
  return kOk;
}

// Move the caller's column-space rhs into the workspace (identity map).
int gather_cols(Work& W, Vector& v) {
  const int m = W.m;
  if (v.size() != m) return kInvalidInput;
  if (static_cast<int>(v.index.size()) < m) v.index.resize(static_cast<std::size_t>(m));
  int* pat = W.pat[W.cur].data();
  int nz = 0;
  auto take = [&](int a) {
    const double x = v.array[a];
    if (x == 0.0) return;
    v.array[a] = 0.0;
    W.w[a] = x;
    pat[nz++] = a;
  };
  if (v.count >= 0 && v.count <= m) {
    for (int k = 0; k < v.count; ++k) {
      const int a = v.index[k];
      if (a >= 0 && a < m) take(a);
    }
  } else {
    for (int a = 0; a < m; ++a) take(a);
  }
  v.count = 0;
  W.nz = nz;
  return kOk;
}

// Move the result out; `rows` maps pairs back to rows (BTRAN). A dense FTRAN
// result trades buffers with v, whose array the gather left all zero.
void scatter(Work& W, Vector& v, bool rows) {
  if (W.nz < 0) detail::rebuild_pattern(W);
  const int* pat = W.pat[W.cur].data();
  int cnt = 0;
  if (!rows && W.nz > W.m / 8) {
    std::swap(W.w, v.array);
    const double* x = v.array.data();
    for (int k = 0; k < W.nz; ++k) {
      const int a = pat[k];
      v.index[cnt] = a;
      cnt += x[a] != 0.0;  // cancelled entries drop out
    }
    v.count = cnt;
    W.nz = 0;
    return;
  }
  for (int k = 0; k < W.nz; ++k) {
    const int a = pat[k];
    const double x = W.w[a];
    if (x == 0.0) continue;
    W.w[a] = 0.0;
    const int i = rows ? W.row_of_col[a] : a;
    v.array[i] = x;
    v.index[cnt++] = i;
  }
  v.count = cnt;
  W.nz = 0;
}

void keep_result(Work& W, const Vector& v) {
  W.kept_x_nz = v.count;
  for (int k = 0; k < v.count; ++k) {
    const int a = v.index[k];
    W.kept_x_pat[k] = a;
    W.kept_x_val[k] = v.array[a];
    if (!std::isfinite(v.array[a])) W.kept_bad = true;
  }
  W.kept = true;
}

void clear_spike(Work& W) {
  for (int k = 0; k < W.spike_nz; ++k) W.spike[W.spike_pat[k]] = 0.0;
  W.spike_nz = 0;
}

double blend(double hist, double d) { return 0.9 * hist + 0.1 * d; }

// An FTRAN takes the dense kernels from the start when its right-hand side or
// the recent results of its kind are denser than the threshold.
bool ftran_goes_dense(const Work& W, int nz, const detail::SolveHist& h) {
  const double tol = W.opt.spvtol_ftran;
  return nz > tol * std::max(W.m, 1) || h.density > tol;
}

}  // namespace

namespace {

// One FTRAN of v, its kernels chosen from the history h of its kind.
int ftran_vector(Work& W, Vector& v, bool for_update, detail::SolveHist& h) {
  if (!W.valid) return kInvalidInput;
  if (for_update) {
    clear_spike(W);
    W.kept = false;
  }
  if (gather_rows(W, v, for_update) != kOk) return kInvalidInput;
  const double m = std::max(W.m, 1);
  const bool ran_sparse = detail::ftran_work(W, !ftran_goes_dense(W, W.nz, h), for_update, h);
  scatter(W, v, false);
  h.density = blend(h.density, v.count / m);
  (ran_sparse ? W.stats.ftran_sparse : W.stats.ftran_dense)++;
  if (for_update) keep_result(W, v);
  return kOk;
}

}  // namespace

int Factor::ftran(Vector& v, bool for_update) {
  Work& W = *w_;
  return ftran_vector(W, v, for_update, for_update ? W.hist_col : W.hist_ftran);
}

int Factor::ftran_flips(Vector& v) { return ftran_vector(*w_, v, false, w_->hist_flip); }

// Pairing forces both solves dense: a sparse entering column next to a dense
// second vector must keep its own sparse solve.
bool Factor::pair_shares_pass(int nz_a, int nz_b) const {
  const Work& W = *w_;
  if (!W.valid || !W.ft) return false;
  return ftran_goes_dense(W, nz_a, W.hist_col) && ftran_goes_dense(W, nz_b, W.hist_ftran);
}

namespace {

// Moves `v` into `buf` (the workspace of a second or third shared vector).
int gather_into(Work& W, std::vector<double>& buf, Vector& v) {
  std::swap(W.w, buf);
  const int rc = gather_rows(W, v, false);
  std::swap(W.w, buf);
  return rc;
}

// Moves the result left in `buf` (pattern in `pat`, nz entries) out to `v`,
// whose density joins the history h of its kind.
void scatter_from(Work& W, std::vector<double>& buf, std::vector<int>& pat, int nz, Vector& v,
                  detail::SolveHist& h) {
  std::swap(W.w, buf);
  std::swap(W.pat[W.cur], pat);
  W.nz = nz;
  scatter(W, v, false);
  std::swap(W.pat[W.cur], pat);
  std::swap(W.w, buf);
  h.density = blend(h.density, v.count / static_cast<double>(std::max(W.m, 1)));
  W.stats.ftran_dense++;
}

// The entering column `a` and the second vector, solved by one shared pass
// (a's pattern in pat[cur], the second's in pat[1 - cur]).
void finish_pair(Work& W, Vector& a, int nz_a, Vector& b, int nz_b) {
  W.nz = nz_a;
  scatter(W, a, false);
  W.hist_col.density = blend(W.hist_col.density, a.count / static_cast<double>(std::max(W.m, 1)));
  W.stats.ftran_dense++;
  scatter_from(W, W.w2, W.pat[1 - W.cur], nz_b, b, W.hist_ftran);
  keep_result(W, a);
}

}  // namespace

int Factor::ftran_pair(Vector& a, Vector& b) {
  Work& W = *w_;
  if (!W.valid) return kInvalidInput;
  if (a.size() != W.m || b.size() != W.m || &a == &b) return kInvalidInput;
  const int nz_a = a.count < 0 ? W.m : a.count, nz_b = b.count < 0 ? W.m : b.count;
  if (!pair_shares_pass(nz_a, nz_b)) {
    if (const int rc = ftran(a, true); rc != kOk) return rc;
    return ftran(b, false);
  }
  clear_spike(W);
  W.kept = false;
  // sizes are checked: the gathers cannot fail half-way
  gather_rows(W, a, true);
  gather_into(W, W.w2, b);
  const int out_b = detail::ftran_pair_work(W, true);
  finish_pair(W, a, W.nz, b, out_b);
  return kOk;
}

bool Factor::triple_shares_pass(int nz_a, int nz_b, int nz_c) const {
  const Work& W = *w_;
  if (!W.valid || !W.ft) return false;
  return ftran_goes_dense(W, nz_c, W.hist_flip) && pair_shares_pass(nz_a, nz_b);
}

int Factor::ftran_triple(Vector& a, Vector& b, Vector& c) {
  Work& W = *w_;
  if (!W.valid) return kInvalidInput;
  if (a.size() != W.m || b.size() != W.m || c.size() != W.m || &a == &b || &a == &c || &b == &c)
    return kInvalidInput;
  const auto nz = [&](const Vector& v) { return v.count < 0 ? W.m : v.count; };
  if (!triple_shares_pass(nz(a), nz(b), nz(c))) {
    if (const int rc = ftran_flips(c); rc != kOk) return rc;
    return ftran_pair(a, b);
  }
  clear_spike(W);
  W.kept = false;
  gather_rows(W, a, true);
  gather_into(W, W.w2, b);
  gather_into(W, W.w3, c);
  int nz_b = 0, nz_c = 0;
  std::int64_t ops_c[2];
  detail::ftran_triple_work(W, true, &nz_b, &nz_c, ops_c);
  const int nz_a = W.nz;
  // c's record first, as if solved alone before the pair
  for (int s = 0; s < 2; ++s) W.hist_flip.work[s] = 0.9 * W.hist_flip.work[s] + 0.1 * static_cast<double>(ops_c[s]);
  scatter_from(W, W.w3, W.pat3, nz_c, c, W.hist_flip);
  finish_pair(W, a, nz_a, b, nz_b);
  return kOk;
}

namespace {

// Scatters a sparse right-hand side (duplicates summed) into `out`, which must
// have dimension m; kInvalidInput for an index outside 0..m-1.
int scatter_rhs(int m, int nz, const int* index, const double* value, Vector& out) {
  if (nz < 0 || nz > m || (nz > 0 && (!index || !value))) return kInvalidInput;
  if (out.size() != m) return kInvalidInput;
  out.clear();
  if (static_cast<int>(out.index.size()) < m) out.index.resize(static_cast<std::size_t>(m));
  int cnt = 0;
  for (int k = 0; k < nz; ++k) {
    const int i = index[k];
    if (i < 0 || i >= m) {
      out.count = cnt;
      out.clear();
      return kInvalidInput;
    }
    if (out.array[i] == 0.0 && value[k] != 0.0) out.index[cnt++] = i;
    out.array[i] += value[k];
  }
  out.count = cnt;
  return kOk;
}

}  // namespace

int Factor::ftran(int nz, const int* index, const double* value, Vector& out, bool for_update) {
  Work& W = *w_;
  if (!W.valid) return kInvalidInput;
  if (int code = scatter_rhs(W.m, nz, index, value, out); code != kOk) return code;
  return ftran(out, for_update);
}

int Factor::ftran_dense(double* x, bool for_update) {
  Work& W = *w_;
  if (!W.valid || (!x && W.m > 0)) return kInvalidInput;
  if (for_update) {
    clear_spike(W);
    W.kept = false;
  }
  int* pat = W.pat[W.cur].data();
  int nz = 0;
  double norm = 0.0;
  bool bad = false;
  for (int i = 0; i < W.m; ++i) {
    const double v = x[i];
    if (v == 0.0) continue;
    x[i] = 0.0;
    const int a = W.col_of_row[i];
    W.w[a] = v;
    pat[nz++] = a;
    if (for_update) {
      W.kept_col_index[nz - 1] = i;
      W.kept_col_value[nz - 1] = v;
      norm += std::fabs(v);
      if (!std::isfinite(v)) bad = true;
    }
  }
  W.nz = nz;
  if (for_update) {
    W.kept_col_nz = nz;
    W.kept_bad = bad;
    W.kept_norm1 = norm;
  }
  const double m = std::max(W.m, 1);
  // whole right-hand sides (basic values) say nothing of the iterations' solves
  detail::SolveHist &h = for_update ? W.hist_col : W.hist_ftran;
  detail::SolveHist apart = h;
  const bool ran_sparse = detail::ftran_work(W, !ftran_goes_dense(W, nz, h), for_update, for_update ? h : apart);
  if (W.nz < 0) detail::rebuild_pattern(W);
  const int* out = W.pat[W.cur].data();
  int cnt = 0;
  for (int k = 0; k < W.nz; ++k) {
    const int a = out[k];
    const double v = W.w[a];
    if (v == 0.0) continue;
    W.w[a] = 0.0;
    x[a] = v;
    if (for_update) {
      W.kept_x_pat[cnt] = a;
      W.kept_x_val[cnt] = v;
      if (!std::isfinite(v)) W.kept_bad = true;
    }
    ++cnt;
  }
  W.nz = 0;
  if (for_update) h.density = blend(h.density, cnt / m);
  (ran_sparse ? W.stats.ftran_sparse : W.stats.ftran_dense)++;
  if (for_update) {
    W.kept_x_nz = cnt;
    W.kept = true;
  }
  return kOk;
}

int Factor::btran(Vector& v) {
  Work& W = *w_;
  if (!W.valid) return kInvalidInput;
  if (gather_cols(W, v) != kOk) return kInvalidInput;
  const double m = std::max(W.m, 1);
  const bool sparse = W.nz <= W.opt.spvtol_btran * m && W.hist_btran.density <= W.opt.spvtol_btran;
  const bool ran_sparse = detail::btran_work(W, sparse, W.hist_btran);
  scatter(W, v, true);
  W.hist_btran.density = blend(W.hist_btran.density, v.count / m);
  (ran_sparse ? W.stats.btran_sparse : W.stats.btran_dense)++;
  return kOk;
}

int Factor::btran(int nz, const int* index, const double* value, Vector& out) {
  Work& W = *w_;
  if (!W.valid) return kInvalidInput;
  if (int code = scatter_rhs(W.m, nz, index, value, out); code != kOk) return code;
  return btran(out);
}

int Factor::btran_dense(double* y) {
  Work& W = *w_;
  if (!W.valid || (!y && W.m > 0)) return kInvalidInput;
  int* pat = W.pat[W.cur].data();
  int nz = 0;
  for (int a = 0; a < W.m; ++a) {
    if (y[a] == 0.0) continue;
    W.w[a] = y[a];
    y[a] = 0.0;
    pat[nz++] = a;
  }
  W.nz = nz;
  const double m = std::max(W.m, 1);
  detail::SolveHist apart = W.hist_btran;  // a whole vector: kept out of the history
  const bool sparse = nz <= W.opt.spvtol_btran * m && apart.density <= W.opt.spvtol_btran;
  const bool ran_sparse = detail::btran_work(W, sparse, apart);
  if (W.nz < 0) detail::rebuild_pattern(W);
  const int* out = W.pat[W.cur].data();
  int cnt = 0;
  for (int k = 0; k < W.nz; ++k) {
    const int a = out[k];
    const double v = W.w[a];
    if (v == 0.0) continue;
    W.w[a] = 0.0;
    y[W.row_of_col[a]] = v;
    ++cnt;
  }
  W.nz = 0;
  (ran_sparse ? W.stats.btran_sparse : W.stats.btran_dense)++;
  return kOk;
}

int Factor::row_of_inverse(int p, Vector& out) {
  Work& W = *w_;
  if (!W.valid || p < 0 || p >= W.m || out.size() != W.m) return kInvalidInput;
  out.clear();
  if (static_cast<int>(out.index.size()) < W.m) out.index.resize(static_cast<std::size_t>(W.m));
  W.w[p] = 1.0;
  W.pat[W.cur][0] = p;
  W.nz = 1;
  const double m = std::max(W.m, 1);
  const bool sparse = W.hist_binvi.density <= W.opt.spvtol_btran;
  const bool ran_sparse = detail::btran_work(W, sparse, W.hist_binvi);
  scatter(W, out, true);
  W.hist_binvi.density = blend(W.hist_binvi.density, out.count / m);
  (ran_sparse ? W.stats.binvi_sparse : W.stats.binvi_dense)++;
  return kOk;
}

int Factor::update(int p) {
  Work& W = *w_;
  if (!W.valid || !W.kept || p < 0 || p >= W.m) return kInvalidInput;
  if (W.kept_bad) return kSingular;
  if (W.nupdates >= W.opt.max_updates) return kOutOfSpace;
  int rc;
  try {
    rc = W.ft ? detail::update_ft(W, p) : detail::update_pf(W, p);
    if (rc == kOk) detail::replace_b_column(W, p);
  } catch (const std::bad_alloc&) {
    W.valid = false;
    return kOutOfMemory;
  } catch (const detail::OutOfSpace&) {
    W.valid = false;
    return kOutOfSpace;
  }
  if (rc == kOk) {
    clear_spike(W);
    W.kept = false;
    W.nupdates++;
    W.stats.updates++;
    W.cond1 = W.condinf = -1.0;
  }
  return rc;
}

int Factor::num_updates() const { return w_->nupdates; }
double Factor::kept_column_residual() const { return detail::kept_column_residual(*w_); }
std::int64_t Factor::factor_work() const { return w_->work; }
std::int64_t Factor::fresh_nnz() const { return w_->fresh_nnz; }
double Factor::last_update_mismatch() const { return w_->last_mismatch; }

std::int64_t Factor::lnz() const { return static_cast<std::int64_t>(w_->lindex.size()); }
std::int64_t Factor::unz() const { return w_->valid ? w_->Uc.total() : 0; }
std::int64_t Factor::pnz() const { return static_cast<std::int64_t>(w_->eta_index.size()); }

Info Factor::info() const {
  Info I;
  I.dim = w_->m;
  I.status = w_->status;
  I.rank = w_->rank;
  I.nupdates = w_->nupdates;
  I.lnz = lnz();
  I.unz = unz();
  I.pnz = pnz();
  I.bump_size = w_->bump_size;
  I.dense_size = w_->dense_size;
  I.factor_work = w_->work;
  I.lmax = w_->lmax;
  return I;
}

const Stats& Factor::stats() const { return w_->stats; }

double Factor::rcond() const { return w_->valid ? w_->rcond_cache : 0.0; }

double Factor::cond2est() {
  Work& W = *w_;
  if (!W.valid) return 0.0;
  if (W.cond1 < 0.0) W.cond1 = detail::b_norm1(W) * detail::inverse_norm1_estimate(W, false);
  return W.cond1;
}

double Factor::cond4est() {
  Work& W = *w_;
  if (!W.valid) return 0.0;
  if (W.condinf < 0.0)
    W.condinf = detail::b_norminf(W) * detail::inverse_norm1_estimate(W, true);
  return W.condinf;
}

double Factor::norm1() const { return detail::b_norm1(*w_); }
double Factor::norminf() const { return detail::b_norminf(*w_); }

double Factor::residual_test() {
  if (!w_->valid) return 0.0;
  return detail::residual_test(*w_);
}

}  // namespace tarvo::xlu
