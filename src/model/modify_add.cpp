// Adding rows and columns to a model: every input is checked before the model
// changes, then the arrays grow (amortised), the matrix takes the new entries
// and the kept solution gets entries for the new rows and columns.
#include <algorithm>
#include <climits>
#include <cstring>

#include "model/model_state.hpp"
#include "model/modify_internal.hpp"
#include "model/variable_types.hpp"
#include "common/boundary.hpp"
#include "common/error_codes.hpp"

namespace tarvo::base {
namespace {

bool valid_row_type(char t) { return t == 'E' || t == 'G' || t == 'L' || t == 'N'; }
bool valid_col_type(char t) { return t == 'B' || t == 'C' || t == 'I'; }

bool has_duplicate(const int *idx, int count, std::vector<int> &scratch) {
  if (count < 2) return false;
  scratch.assign(idx, idx + count);
  std::sort(scratch.begin(), scratch.end());
  return std::adjacent_find(scratch.begin(), scratch.end()) != scratch.end();
}

size_t name_chars(int k, char *const *names) {
  size_t chars = 0;
  if (names)
    for (int t = 0; t < k; ++t)
      if (names[t]) chars += std::strlen(names[t]);
  return chars;
}

// Inserts k entries made by `make(t)` at position `at` of a solution array; an
// array that no longer fits its dimension is dropped.
template <class T, class Make>
void insert_entries(std::vector<T> &v, int at, int k, Make make) {
  if (v.empty()) return;
  if (static_cast<int>(v.size()) < at) {
    v.clear();
    return;
  }
  v.insert(v.begin() + at, static_cast<size_t>(k), T{});
  for (int t = 0; t < k; ++t) v[at + t] = make(t);
}

// A new column's place in a kept solution: at its lower bound when that is
// finite, else at its upper bound, else free at zero.
double start_value(double lo, double up) { return lo > -kInf ? lo : (up < kInf ? up : 0.0); }
int start_status(double lo, double up) {
  return lo > -kInf ? TV_BASTYPE_ATLO : (up < kInf ? TV_BASTYPE_ATUP : TV_BASTYPE_FNUL);
}

// The row-wise input of TVaddConstraints.
struct NewRows {
  int k;
  const char *types;
  char *const *names;
  const int *starts;
  const double *values;
  const int *cols;
  const double *rhs;
  int begin(int t) const { return starts ? starts[t] : 0; }
  int end(int t) const { return starts ? starts[t + 1] : 0; }
};

int check_rows(const ModelData &d, const NewRows &in) {
  if (in.types)
    for (int t = 0; t < in.k; ++t)
      if (!valid_row_type(in.types[t])) return err::kBadConstraintType;
  if (in.starts) {
    if (in.starts[0] < 0) return err::kBadColumnStarts;
    for (int t = 0; t < in.k; ++t)
      if (in.starts[t + 1] < in.starts[t]) return err::kBadColumnStarts;
    if (in.starts[in.k] == in.starts[0]) return any_nan(in.k, in.rhs) ? 2047 : 0;
    if (!in.values || !in.cols) return err::kNullArgument;
    for (int p = in.starts[0]; p < in.starts[in.k]; ++p)
      if (in.cols[p] < 0 || in.cols[p] >= d.n) return err::kIndexOutOfRange;
    std::vector<int> scratch;
    for (int t = 0; t < in.k; ++t)
      if (has_duplicate(in.cols + in.begin(t), in.end(t) - in.begin(t), scratch)) return err::kDuplicateIndex;
    if (any_non_finite(in.starts[in.k] - in.starts[0], in.values + in.starts[0])) return err::kValueOutOfRange;
  }
  if (any_nan(in.k, in.rhs)) return err::kValueOutOfRange;
  return 0;
}

int add_rows(Model *model, const NewRows &in) {
  ModelData &d = model->data;
  if (int rc = check_rows(d, in)) return rc;
  ensure_core(model);
  const int m = d.m, k = in.k;

  // Everything that allocates comes first; the counts move last.
  grow_row_capacity(d, m + k);
  const bool names = in.names || d.connames.present();
  if (names) reserve_pool(d.connames, m, k, name_chars(k, in.names), true);
  std::vector<std::pair<int, int>> needs;
  if (in.starts && in.starts[k] > in.starts[0]) {
    std::vector<int> cols(in.cols + in.starts[0], in.cols + in.starts[k]);
    std::sort(cols.begin(), cols.end());
    for (size_t p = 0; p < cols.size();) {
      size_t q = p;
      while (q < cols.size() && cols[q] == cols[p]) ++q;
      needs.emplace_back(cols[p], static_cast<int>(q - p));
      p = q;
    }
    if (int rc = make_room_for(d, needs)) return rc;
  }
  if (names) append_names(d.connames, m, k, in.names, true);

  for (int t = 0; t < k; ++t) {
    d.b[m + t] = in.rhs ? in.rhs[t] : 0.0;
    d.ctype[m + t] = in.types ? in.types[t] : 'E';
    if (!d.range.empty()) d.range[m + t] = 0.0;
  }
  for (int t = 0; t < k; ++t)
    for (int p = in.begin(t); p < in.end(t); ++p) {
      int j = in.cols[p];
      int pos = d.start[j] + d.length[j];
      d.rowidx[pos] = m + t;
      d.value[pos] = in.values[p];
      ++d.length[j];
    }
  d.nz += static_cast<int>(needs.empty() ? 0 : in.starts[k] - in.starts[0]);
  // Per-row flags that end with one for the objective keep it last.
  auto grow_flags = [&](std::vector<char> &flags) {
    if (static_cast<int>(flags.size()) == m + 1) flags.insert(flags.begin() + m, static_cast<size_t>(k), 0);
  };
  grow_flags(d.qc.is_quadratic_row);
  grow_flags(model->hooks.gradcalc_rows);

  auto activity = [&](const std::vector<double> &x, int t) {
    double sum = 0;
    if (static_cast<int>(x.size()) >= d.n)
      for (int p = in.begin(t); p < in.end(t); ++p) sum += in.values[p] * x[in.cols[p]];
    return sum;
  };
  if (SolutionRecord *s = model->solution.get()) {
    insert_entries(s->dual, m, k, [](int) { return 0.0; });
    insert_entries(s->ipm_dual, m, k, [](int) { return 0.0; });
    insert_entries(s->slack, m, k, [&](int t) { return d.b[m + t] - activity(s->x, t); });
    insert_entries(s->ipm_slack, m, k, [&](int t) { return d.b[m + t] - activity(s->ipm_x, t); });
    // The new rows enter a kept basis as basic slacks.
    insert_entries(s->rowbasis, m, k, [&](int t) { return m + t; });
    if (s->basis_status == TV_STATUS_LOADED || s->basis_status == TV_STATUS_BASIC_OPTIMAL)
      s->basis_status = TV_STATUS_LOADED;
  }
  if (MipRecord *r = model->mip.get()) {
    insert_entries(r->dual, m, k, [](int) { return 0.0; });
    insert_entries(r->slack, m, k, [&](int t) { return d.b[m + t] - activity(r->x, t); });
    insert_entries(r->rowbasis, m, k, [&](int t) { return m + t; });
  }
  d.m = m + k;
  change_epilogue(model, false);
  return 0;
}

// The column-wise input of TVaddVariables.
struct NewCols {
  int k;
  const char *types;
  char *const *names;
  const int *starts;
  const int *lengths;
  const double *values;
  const int *rows;
  const double *c, *lower, *upper;
  int begin(int t) const { return starts ? starts[t] : 0; }
  int size(int t) const {
    if (!starts) return 0;
    return lengths ? lengths[t] : starts[t + 1] - starts[t];
  }
  double lo(int t) const { return lower ? std::max(lower[t], -kInf) : 0.0; }
  double up(int t) const { return upper ? std::min(upper[t], kInf) : kInf; }
};

int check_cols(const ModelData &d, const NewCols &in, long long *total) {
  *total = 0;
  if (in.types)
    for (int t = 0; t < in.k; ++t)
      if (!valid_col_type(in.types[t])) return err::kParamOutOfRange;
  if (in.starts) {
    if (in.starts[0] < 0) return err::kBadColumnStarts;
    for (int t = 0; t < in.k; ++t)
      if (in.starts[t + 1] < in.starts[t]) return err::kBadColumnStarts;
    if (in.lengths)
      for (int t = 0; t < in.k; ++t)
        if (in.lengths[t] < 0 || in.lengths[t] > in.starts[t + 1] - in.starts[t]) return err::kBadColumnLength;
    for (int t = 0; t < in.k; ++t) *total += in.size(t);
    if (*total > 0) {
      if (!in.values || !in.rows) return err::kNullArgument;
      for (int t = 0; t < in.k; ++t)
        for (int p = in.begin(t); p < in.begin(t) + in.size(t); ++p)
          if (in.rows[p] < 0 || in.rows[p] >= d.m) return err::kIndexOutOfRange;
      std::vector<int> scratch;
      for (int t = 0; t < in.k; ++t)
        if (has_duplicate(in.rows + in.begin(t), in.size(t), scratch)) return err::kDuplicateIndex;
      for (int t = 0; t < in.k; ++t)
        if (any_non_finite(in.size(t), in.values + in.begin(t))) return err::kValueOutOfRange;
    }
  }
  if (any_non_finite(in.k, in.c) || any_nan(in.k, in.lower) || any_nan(in.k, in.upper)) return err::kValueOutOfRange;
  // A binary column must be able to take 0 or 1.
  if (in.types)
    for (int t = 0; t < in.k; ++t)
      if (in.types[t] == 'B' && (in.lo(t) > 1 || in.up(t) < 0)) return err::kValueOutOfRange;
  return 0;
}

int add_cols(Model *model, const NewCols &in) {
  ModelData &d = model->data;
  long long total = 0;
  if (int rc = check_cols(d, in, &total)) return rc;
  ensure_core(model);
  const int n = d.n, k = in.k;
  if (static_cast<long long>(n) + k >= INT_MAX - 1) return err::kNoMemory;

  grow_col_capacity(d, n + k);
  if (int rc = reserve_storage(d, static_cast<long long>(d.start[n]) + total)) return rc;
  if (in.types && d.vtype.empty()) d.vtype.assign(std::max(n + k, d.col_capacity), 'C');
  const bool names = in.names || d.varnames.present();
  if (names) reserve_pool(d.varnames, n, k, name_chars(k, in.names), false);
  if (names) append_names(d.varnames, n, k, in.names, false);

  int pos = d.start[n];
  for (int t = 0; t < k; ++t) {
    const int j = n + t;
    d.start[j] = pos;
    const int len = in.size(t);
    if (len > 0) {
      std::copy(in.rows + in.begin(t), in.rows + in.begin(t) + len, d.rowidx.begin() + pos);
      std::copy(in.values + in.begin(t), in.values + in.begin(t) + len, d.value.begin() + pos);
    }
    d.length[j] = len;
    pos += len;
    d.start[j + 1] = pos;
    d.c[j] = in.c ? in.c[t] : 0.0;
    d.lower[j] = in.lo(t);
    d.upper[j] = in.up(t);
    if (!d.vtype.empty()) {
      char type = in.types ? in.types[t] : 'C';
      normalise_variable_type(d, j, &type, nullptr);
      d.vtype[j] = type;
    }
  }
  auto x0 = [&](int t) { return start_value(d.lower[n + t], d.upper[n + t]); };
  insert_entries(d.priority, n, k, [](int) { return 0; });
  insert_entries(d.start_point, n, k, x0);
  insert_entries(d.mip_start_point, n, k, x0);
  for (auto *pool : {&d.lp_pool, &d.mip_pool})
    for (PoolObjective &o : *pool) {
      insert_entries(o.c, n, k, [](int) { return 0.0; });
      for (auto &sol : o.solutions)
        if (static_cast<int>(sol.size()) == n) insert_entries(sol, n, k, x0);
    }

  auto reduced = [&](const std::vector<double> &dual, int t) {
    double r = d.c[n + t];
    if (static_cast<int>(dual.size()) >= d.m)
      for (int p = d.start[n + t]; p < d.start[n + t] + d.length[n + t]; ++p) r -= dual[d.rowidx[p]] * d.value[p];
    return r;
  };
  // A column placed away from zero changes the activity of its rows.
  auto shift_slacks = [&](std::vector<double> &slack) {
    if (static_cast<int>(slack.size()) < d.m) return;
    for (int t = 0; t < k; ++t) {
      double v = x0(t);
      if (v == 0.0) continue;
      for (int p = d.start[n + t]; p < d.start[n + t] + d.length[n + t]; ++p) slack[d.rowidx[p]] -= d.value[p] * v;
    }
  };
  auto status = [&](int t) { return start_status(d.lower[n + t], d.upper[n + t]); };
  if (SolutionRecord *s = model->solution.get()) {
    if (!s->x.empty()) shift_slacks(s->slack);
    if (!s->ipm_x.empty()) shift_slacks(s->ipm_slack);
    insert_entries(s->x, n, k, x0);
    insert_entries(s->ipm_x, n, k, x0);
    insert_entries(s->redcost, n, k, [&](int t) { return reduced(s->dual, t); });
    insert_entries(s->ipm_redcost, n, k, [&](int t) { return reduced(s->ipm_dual, t); });
    insert_entries(s->redcost_cone, n, k, [](int) { return 0.0; });
    insert_entries(s->colbasis, n, k, status);
    if (s->basis_status == TV_STATUS_LOADED || s->basis_status == TV_STATUS_BASIC_OPTIMAL)
      s->basis_status = TV_STATUS_LOADED;
  }
  if (MipRecord *r = model->mip.get()) {
    if (!r->x.empty()) shift_slacks(r->slack);
    insert_entries(r->x, n, k, x0);
    insert_entries(r->redcost, n, k, [&](int t) { return reduced(r->dual, t); });
    insert_entries(r->colbasis, n, k, status);
  }
  d.nz += static_cast<int>(total);
  d.n = n + k;
  change_epilogue(model, false);
  return 0;
}

}  // namespace
}  // namespace tarvo::base

using namespace tarvo::base;

extern "C" {

TVAPI int TVaddConstraints(pTVmodel model, int nCons, const char *conTypes, char **conNames, const int *rowStarts,
                           const double *values, const int *colIndices, const double *rhs) {
  if (!live(model)) return tarvo::err::kNullArgument;
  if (nCons == 0) return 0;
  if (nCons < 0) return tarvo::err::kBadInput;
  return tarvo::guarded([&] {
    return add_rows(model, NewRows{nCons, conTypes, conNames, rowStarts, values, colIndices, rhs});
  });
}

TVAPI int TVaddVariables(pTVmodel model, int nVars, const char *varTypes, char **varNames, const int *colStarts,
                         const int *colLengths, const double *values, const int *rowIndices, const double *c,
                         const double *lower, const double *upper) {
  if (!live(model)) return tarvo::err::kNullArgument;
  if (nVars == 0) return 0;
  if (nVars < 0) return tarvo::err::kBadInput;
  return tarvo::guarded([&] {
    return add_cols(model,
                    NewCols{nVars, varTypes, varNames, colStarts, colLengths, values, rowIndices, c, lower, upper});
  });
}

}  // extern "C"
