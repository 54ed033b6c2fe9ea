// Quadratic terms (row, column 1, column 2, coefficient; row -1 the objective):
// loading, appending, deleting by row and the two queries. Terms are kept
// grouped by row, the objective first, in the order they were given.
#include <algorithm>
#include <cmath>
#include <numeric>
#include <vector>

#include "model/member_lists.hpp"
#include "model/model_state.hpp"
#include "common/boundary.hpp"
#include "common/error_codes.hpp"

namespace tarvo::base {
namespace {

// Checks the caller's terms against the model; nothing is changed.
int check_terms(const Model &model, int count, const int *rows, const int *cols1, const int *cols2,
                const double *coefs) {
  if (count < 0) return err::kBadNonzeroCount;
  if (!rows || !cols1 || !cols2 || !coefs) return err::kNullArgument;
  const ModelData &d = model.data;
  if (d.ncone_nz > 0) return err::kAlreadyLoaded;
  for (int t = 0; t < count; ++t) {
    if (rows[t] < -1 || rows[t] >= d.m) return err::kRowOutOfRange;
    if (cols1[t] < 0 || cols1[t] >= d.n || cols2[t] < 0 || cols2[t] >= d.n) return err::kColumnOutOfRange;
    // NaN or infinite coefficients would poison every evaluation of the row.
    if (!std::isfinite(coefs[t])) return err::kValueOutOfRange;
  }
  return 0;
}

// Rebuilds `q` from `base` plus the caller's non-zero terms: stable grouping
// by row (objective first), row flags and the convexity mark.
QuadraticData merged_terms(const ModelData &d, const QuadraticData &base, int count, const int *rows,
                           const int *cols1, const int *cols2, const double *coefs) {
  QuadraticData all = base;
  for (int t = 0; t < count; ++t) {
    if (coefs[t] == 0.0) continue;
    all.row.push_back(rows[t]);
    all.col1.push_back(cols1[t]);
    all.col2.push_back(cols2[t]);
    all.coef.push_back(coefs[t]);
  }
  std::vector<int> order(all.coef.size());
  std::iota(order.begin(), order.end(), 0);
  std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return all.row[a] < all.row[b]; });
  QuadraticData q;
  q.row.reserve(order.size());
  q.col1.reserve(order.size());
  q.col2.reserve(order.size());
  q.coef.reserve(order.size());
  for (int t : order) {
    q.row.push_back(all.row[t]);
    q.col1.push_back(all.col1[t]);
    q.col2.push_back(all.col2[t]);
    q.coef.push_back(all.coef[t]);
  }
  if (!q.empty()) {
    q.is_quadratic_row.assign(d.m + 1, 0);
    for (int r : q.row) {
      q.is_quadratic_row[r < 0 ? d.m : r] = 1;
      if (r >= 0 && d.ctype[r] == 'E') q.not_convex = true;
    }
  }
  return q;
}

void install_terms(Model *model, QuadraticData &&q) {
  model->data.qc = std::move(q);
  model->data.nqc_nz = static_cast<int>(model->data.qc.coef.size());
}

int load_terms(Model *model, int count, const int *rows, const int *cols1, const int *cols2, const double *coefs) {
  if (count == 0) return 0;
  int code = check_terms(*model, count, rows, cols1, cols2, coefs);
  if (code) return code;
  // A load replaces whatever quadratic data the model held.
  // (When the nonlinear group gains a switch to keep quadratic data as
  // instructions, the terms are turned into an instruction list here instead.)
  install_terms(model, merged_terms(model->data, QuadraticData{}, count, rows, cols1, cols2, coefs));
  after_load_reset(model);
  return 0;
}

int add_terms(Model *model, int count, const int *rows, const int *cols1, const int *cols2, const double *coefs) {
  if (count == 0) return 0;
  int code = check_terms(*model, count, rows, cols1, cols2, coefs);
  if (code) return code;
  install_terms(model, merged_terms(model->data, model->data.qc, count, rows, cols1, cols2, coefs));
  change_epilogue(model, false);
  return 0;
}

int delete_rows(Model *model, int count, const int *rows) {
  if (count == 0) return 0;
  if (count < 0) return err::kBadInput;
  if (!rows) return err::kNullArgument;
  ModelData &d = model->data;
  std::vector<char> listed;  // index 0 is the objective, i+1 row i
  int code = check_index_list(count, rows, -1, d.m, 2012, &listed);
  if (code) return code;
  std::vector<char> drop(d.qc.coef.size(), 0);
  bool any = false;
  for (size_t t = 0; t < d.qc.coef.size(); ++t)
    if (listed[d.qc.row[t] + 1]) {
      drop[t] = 1;
      any = true;
    }
  // Nothing to remove: the model and its solution stay as they are.
  if (!any) return 0;
  QuadraticData kept = d.qc;
  drop_flagged(kept.row, drop);
  drop_flagged(kept.col1, drop);
  drop_flagged(kept.col2, drop);
  drop_flagged(kept.coef, drop);
  QuadraticData q = merged_terms(d, kept, 0, nullptr, nullptr, nullptr, nullptr);
  install_terms(model, std::move(q));
  change_epilogue(model, false);
  return 0;
}

int get_terms(const Model &model, int *rows, int *cols1, int *cols2, double *coefs) {
  if (!model_available(model)) return err::kNotAvailable;
  const QuadraticData &q = model.data.qc;
  if (q.empty()) return err::kNotAvailable;
  if (rows) std::copy(q.row.begin(), q.row.end(), rows);
  if (cols1) std::copy(q.col1.begin(), q.col1.end(), cols1);
  if (cols2) std::copy(q.col2.begin(), q.col2.end(), cols2);
  if (coefs) std::copy(q.coef.begin(), q.coef.end(), coefs);
  return 0;
}

int get_row_terms(const Model &model, int i, int *nnz, int *cols1, int *cols2, double *coefs) {
  if (!model_available(model)) return err::kNotAvailable;
  const QuadraticData &q = model.data.qc;
  if (q.empty()) return err::kNotAvailable;
  if (i < -1 || i >= model.data.m) return err::kIndexOutOfRange;
  // Terms of one row are contiguous because they are kept grouped.
  auto first = std::lower_bound(q.row.begin(), q.row.end(), i);
  auto last = std::upper_bound(first, q.row.end(), i);
  size_t from = first - q.row.begin(), to = last - q.row.begin();
  if (nnz) *nnz = static_cast<int>(to - from);
  if (cols1) std::copy(q.col1.begin() + from, q.col1.begin() + to, cols1);
  if (cols2) std::copy(q.col2.begin() + from, q.col2.begin() + to, cols2);
  if (coefs) std::copy(q.coef.begin() + from, q.coef.begin() + to, coefs);
  return 0;
}

}  // namespace
}  // namespace tarvo::base

using namespace tarvo::base;

extern "C" {

TVAPI int TVloadQCData(pTVmodel model, int nQCnnz, const int *rows, const int *cols1, const int *cols2,
                       const double *coefs) {
  if (!live(model)) return tarvo::err::kNullArgument;
  return tarvo::guarded([&] { return load_terms(model, nQCnnz, rows, cols1, cols2, coefs); });
}

TVAPI int TVaddQCterms(pTVmodel model, int nQCnnz, const int *rows, const int *cols1, const int *cols2,
                       const double *coefs) {
  if (!live(model)) return tarvo::err::kNullArgument;
  return tarvo::guarded([&] { return add_terms(model, nQCnnz, rows, cols1, cols2, coefs); });
}

TVAPI int TVdeleteQCterms(pTVmodel model, int nRows, const int *rows) {
  if (!live(model)) return tarvo::err::kNullArgument;
  return tarvo::guarded([&] { return delete_rows(model, nRows, rows); });
}

TVAPI int TVgetQCData(pTVmodel model, int *rows, int *cols1, int *cols2, double *coefs) {
  if (!live(model)) return tarvo::err::kNullArgument;
  return tarvo::guarded([&] { return get_terms(*model, rows, cols1, cols2, coefs); });
}

TVAPI int TVgetQCDatai(pTVmodel model, int i, int *nnz, int *cols1, int *cols2, double *coefs) {
  if (!live(model)) return tarvo::err::kNullArgument;
  return tarvo::guarded([&] { return get_row_terms(*model, i, nnz, cols1, cols2, coefs); });
}

}  // extern "C"
