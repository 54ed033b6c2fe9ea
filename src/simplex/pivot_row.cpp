// PRICE: the pivot row alpha_r = rho^T [A I] over the nonbasic variables.
// Row-wise it visits the nonbasic entries of the rows where rho is nonzero;
// column-wise it forms one product per nonbasic column. The cheaper of the
// two is chosen per row from the exact count of entries each would visit.
#include <cmath>

#include "simplex/glp.hpp"

namespace tarvo::simplex {
namespace {

constexpr double kDropTiny = 1e-14;  // cancellation noise in the pivot row
// A row-wise visit scatters into the n+m pivot row; a column-wise one gathers
// from the m-vector rho (in cache) and streams the column copy: on the netlib
// models with long pivot rows (80bau3b, greenbea, pilot87) a row-wise entry
// costs about this many column-wise ones.
constexpr double kRowEntryCost = 4.0;
// Stands for an entry that cancelled to zero after it was listed.
constexpr double kListedZero = 1e-300;

void sync_rows(Glp &g) {
  const std::int64_t stamp = g.lu.stats().factorizations;
  if (!g.nonbasic_rows.current(stamp))
    g.nonbasic_rows.sync(g.m, g.n, g.col_start.data(), g.col_index.data(), g.col_value.data(), g.state.data(), kBasic,
                          stamp);
}

bool row_wise_pays(const Glp &g, const xlu::Vector &rho) {
  if (!g.sparse_pricing) return false;
  if (g.sparse_row_density > 0) return rho.count < g.sparse_row_density * g.m;
  const NonbasicRows &R = g.nonbasic_rows;
  std::int64_t by_row = 0;
  for (int k = 0; k < rho.count; ++k) by_row += R.nonbasic_length(rho.index[k]) + 1;
  return kRowEntryCost * static_cast<double>(by_row) < static_cast<double>(R.nonbasic_entries() + g.n);
}

// The pivot row's list and packed values from the first count of list.
void take_list(Glp &g, const int *list, int count) {
  const double *alpha = g.alpha_row.data();
  g.alpha_list.assign(list, list + count);
  g.alpha_vals.resize(static_cast<std::size_t>(count));
  for (int k = 0; k < count; ++k) g.alpha_vals[k] = alpha[list[k]];
}

void price_by_row(Glp &g, const xlu::Vector &rho) {
  const NonbasicRows &R = g.nonbasic_rows;
  const int *col = R.column();
  const double *val = R.value();
  double *alpha = g.alpha_row.data();
  std::vector<int> &listed = g.price_scratch;
  listed.resize(static_cast<std::size_t>(g.n) + g.m);
  int *list = listed.data();
  int count = 0;
  for (int k = 0; k < rho.count; ++k) {
    const int i = rho.index[k];
    const double r = rho.array[i];
    if (r == 0.0) continue;
    for (int t = R.row_begin(i), end = R.nonbasic_end(i); t < end; ++t) {
      const int j = col[t];
      const double v = alpha[j];
      list[count] = j;  // kept when j is new
      count += v == 0.0;
      const double w = v + r * val[t];
      alpha[j] = w == 0.0 ? kListedZero : w;
    }
    const int s = g.n + i;
    if (g.state[s] != kBasic) {
      list[count++] = s;  // a slack has one entry: first visit
      alpha[s] = r;
    }
  }
  // what cancelled is dropped (compacted in place, without branches)
  int kept = 0;
  for (int k = 0; k < count; ++k) {
    const int j = list[k];
    const double a = alpha[j];
    const bool keep = std::fabs(a) >= kDropTiny;
    alpha[j] = keep ? a : 0.0;
    list[kept] = j;
    kept += keep;
  }
  take_list(g, list, kept);
}

// Over every nonbasic column: on models with many short columns the loop's
// cost is per column rather than per entry, so the list is written without
// branches into scratch (a zero product overwrites the zero alpha it leaves).
void price_by_column(Glp &g, const xlu::Vector &rho) {
  const int n = g.n, m = g.m;
  const double *r = rho.array.data();
  const signed char *state = g.state.data();
  const int *start = g.col_start.data();
  const int *index = g.col_index.data();
  const double *value = g.col_value.data();
  double *alpha = g.alpha_row.data();
  std::vector<int> &listed = g.price_scratch;
  listed.resize(static_cast<std::size_t>(n) + m);
  g.price_values.resize(static_cast<std::size_t>(n) + m);
  int *list = listed.data();
  double *vals = g.price_values.data();
  int count = 0;
  // Whether a column is basic is a coin toss along the columns: a basic one
  // gets an empty product instead of a branch (its alpha stays 0). The values
  // are listed with the columns, so no gather follows.
  for (int j = 0; j < n; ++j) {
    const bool nonbasic = state[j] != kBasic;
    double s = 0;
    for (int k = start[j], end = nonbasic ? start[j + 1] : start[j]; k < end; ++k) s += value[k] * r[index[k]];
    const bool keep = nonbasic && std::fabs(s) >= kDropTiny;
    alpha[j] = keep ? s : 0.0;
    list[count] = j;
    vals[count] = s;
    count += keep;
  }
  for (int i = 0; i < m; ++i) {
    const bool keep = state[n + i] != kBasic && std::fabs(r[i]) >= kDropTiny;
    alpha[n + i] = keep ? r[i] : 0.0;
    list[count] = n + i;
    vals[count] = r[i];
    count += keep;
  }
  g.alpha_list.assign(list, list + count);
  g.alpha_vals.assign(vals, vals + count);
}

}  // namespace

void compute_pivot_row(Glp &g, const xlu::Vector &rho, PriceMode mode) {
  for (const int j : g.alpha_list) g.alpha_row[j] = 0.0;
  g.alpha_list.clear();
  g.alpha_vals.clear();
  sync_rows(g);
  bool by_row = rho.count >= 0 && rho.count <= g.m;
  if (by_row && mode != PriceMode::kByRow) by_row = mode == PriceMode::kAuto && row_wise_pays(g, rho);
  ++(by_row ? g.stats.pivrow_sparse : g.stats.pivrow_dense);
  if (by_row)
    price_by_row(g, rho);
  else
    price_by_column(g, rho);
}

void subtract_along_row(Glp &g, double t) {
  double *d = g.d.data();
  const int *list = g.alpha_list.data();
  const double *vals = g.alpha_vals.data();
  for (std::size_t k = 0, n = g.alpha_list.size(); k < n; ++k) d[list[k]] -= t * vals[k];
}

void note_basis_change(Glp &g, int entering, int leaving) {
  NonbasicRows &R = g.nonbasic_rows;
  if (!R.current(g.lu.stats().factorizations)) return;  // rebuilt at the next pricing
  if (entering < g.n) R.move_column(entering, true, g.col_start.data(), g.col_index.data());
  if (leaving < g.n && R.current(g.lu.stats().factorizations))
    R.move_column(leaving, false, g.col_start.data(), g.col_index.data());
}

}  // namespace tarvo::simplex
