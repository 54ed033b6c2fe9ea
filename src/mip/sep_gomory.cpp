// Gomory mixed-integer cuts: each tableau row of a fractional basic integer
// column is an equation over the extended variables; MIR rounding with delta 1
// and the nonbasic bounds as complementation gives the GMI cut. The same rows
// also serve as flow sets for lifted flow covers (the basis variants).
#include <algorithm>
#include <cmath>

#include "common/clock.hpp"
#include "mip/flow_set.hpp"
#include "mip/separators.hpp"
#include "simplex/lp_solver.hpp"

namespace tarvo::mip {

namespace {
// Tableau entries below this are round-off of exact zeros.
constexpr double kTableauZero = 1e-11;
// Rows of columns whose fractional part is this close to integrality make weak cuts.
constexpr double kMinFrac = 0.01;

// Buffers of one tableau row, kept across the rows of a pass.
struct TableauScratch {
  std::vector<int> index;
  std::vector<double> value;
  std::vector<std::pair<int, double>> entries;
  std::vector<double> dense;  // zero between rows
};
// Rows with fewer entries than this share of the LP's columns and rows are sorted, denser ones scanned.
constexpr int kSortedShare = 16;

// Basic integer columns with a fractional value, most fractional first.
std::vector<int> fractional_basics(const SepInput &in) {
  std::vector<std::pair<double, int>> cand;
  for (int j = 0; j < in.prob.n; ++j) {
    if (!in.prob.is_int[j] || !in.lp.is_basic_col(j)) continue;
    const double f = in.x[j] - std::floor(in.x[j]);
    if (f < kMinFrac || f > 1 - kMinFrac) continue;
    cand.emplace_back(-std::min(f, 1 - f), j);
  }
  std::sort(cand.begin(), cand.end());
  if (static_cast<int>(cand.size()) > in.max_cuts) cand.resize(in.max_cuts);
  std::vector<int> cols;
  for (const auto &sj : cand) cols.push_back(sj.second);
  return cols;
}

// The tableau row of basic column j over the extended variables, taken
// sparse, every nonzero kept; entries go in ascending order so that the cut's
// rounding and sums match whatever the row's storage order.
bool tableau_entries(const SepInput &in, int j, TableauScratch &row) {
  if (!in.lp.tableau_row(j, row.index, row.value)) return false;
  // charged as a dense scan of the row plus the pricing of the inverse's row
  // against the matrix, which reads about all of the model's entries
  if (in.work) *in.work += static_cast<double>(in.lp.cols() + in.lp.rows() + in.prob.col_start[in.prob.n]);
  row.entries.clear();
  const int len = in.lp.cols() + in.lp.rows();
  if (static_cast<int>(row.index.size()) * kSortedShare < len) {
    for (size_t t = 0; t < row.index.size(); ++t)
      if (row.value[t] != 0.0) row.entries.emplace_back(row.index[t], row.value[t]);
    row.entries.emplace_back(j, 1.0);
    std::sort(row.entries.begin(), row.entries.end(),
              [](const std::pair<int, double> &a, const std::pair<int, double> &b) { return a.first < b.first; });
  } else {  // a dense row: a scan in index order beats the sort
    row.dense.resize(std::max<size_t>(row.dense.size(), len), 0.0);
    for (size_t t = 0; t < row.index.size(); ++t) row.dense[row.index[t]] = row.value[t];
    row.dense[j] = 1.0;
    for (int k = 0; k < len; ++k) {
      const double v = row.dense[k];
      if (v == 0.0) continue;
      row.dense[k] = 0.0;
      row.entries.emplace_back(k, v);
    }
  }
  return true;
}

// The tableau row times `side` as the base sum value v <= 0, each entry
// complemented toward its nearer bound. Round-off entries leave the base
// through its right-hand side: a slack of a row scaled by 1e6 turns even
// 1e-12 into a term that decides the cut. False when the row touches a
// variable the space does not know.
bool tableau_base(const SepInput &in, const std::vector<std::pair<int, double>> &entries, double side, MirBase &base,
                  std::vector<char> &comp) {
  const ExtendedVars &e = in.ext;
  base.index.clear();
  base.value.clear();
  base.rhs = 0;
  comp.clear();
  for (const auto &[k, v] : entries) {
    if (!e.known[k]) return false;
    if (!add_base_term(e, k, side * v, kTableauZero, base)) continue;
    const bool up_ok = e.up[k] < 1e30;
    comp.push_back(up_ok && (e.up[k] - e.x[k] < e.x[k] - e.lo[k]));
  }
  return true;
}

// Calls f(j, entries) on the tableau row of each fractional basic integer column j.
template <class F>
void for_each_tableau_row(const SepInput &in, F f) {
  TableauScratch row;
  for (int j : fractional_basics(in)) {
    if (common::wall_seconds() > in.deadline) break;
    if (tableau_entries(in, j, row)) f(j, row.entries);
  }
}

}  // namespace

void separate_gomory(const SepInput &in, std::vector<Cut> &out) {
  // A pass takes only a few dense cuts, and where the tableau rows are dense
  // building each row's cut (expanding the slacks, tidying, scaling) took most
  // of the pass: dense cuts are only measured at first, and the best
  // in.max_dense of them that survive building are built from their rows
  // computed again.
  std::vector<std::pair<double, int>> dense;  // (-efficacy, column)
  auto build = [&](int j, const MirBase &base, const std::vector<char> &comp, bool defer) {
    Cut cut;
    double dense_efficacy = 0;
    if (!mir_cut(in, base, 1.0, comp, cut, defer ? &dense_efficacy : nullptr)) {
      if (dense_efficacy > 0) dense.emplace_back(-dense_efficacy, j);
      return false;
    }
    cut.tag = "GMRY";
    cut.efficacy = cut_efficacy(cut, in.x);
    if (cut.efficacy < in.safety.min_efficacy) return false;
    out.push_back(std::move(cut));
    return true;
  };
  MirBase base;
  std::vector<char> comp;
  for_each_tableau_row(in, [&](int j, const std::vector<std::pair<int, double>> &entries) {
    if (tableau_base(in, entries, 1.0, base, comp)) build(j, base, comp, true);
  });
  std::sort(dense.begin(), dense.end());
  const size_t ranked = dense.size();
  TableauScratch row;
  int built = 0;
  for (size_t t = 0; t < ranked && built < in.max_dense; ++t) {
    if (common::wall_seconds() > in.deadline) break;
    const int j = dense[t].second;
    // tidying may leave a cut sparse: it takes no dense cut's place
    if (tableau_entries(in, j, row) && tableau_base(in, row.entries, 1.0, base, comp) && build(j, base, comp, false))
      built += static_cast<int>(out.back().index.size()) > in.dense_nnz;
  }
}

void separate_tableau_flow_covers(const SepInput &in, std::vector<Cut> &out) {
  const std::vector<Vub> vub = variable_upper_bounds(in.prob, in.x);
  MirBase base;
  std::vector<char> comp;
  for_each_tableau_row(in, [&](int, const std::vector<std::pair<int, double>> &entries) {
    // the row is an equation: a flow set either way
    for (double side : {1.0, -1.0}) {
      Cut cut;
      if (!tableau_base(in, entries, side, base, comp) ||
          !lifted_flow_cover(in, vub, base.index.data(), base.value.data(), static_cast<int>(base.index.size()), 1.0,
                             base.rhs, cut))
        continue;
      cut.from_basis = true;
      out.push_back(std::move(cut));
    }
  });
}

}  // namespace tarvo::mip
