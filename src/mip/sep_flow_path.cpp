// Flow path cuts on chains of balance rows linked by stock columns, as in lot
// sizing: row k reads (after scaling) s_{k-1} + sum_j c_j x_j - s_k <= d_k with
// stocks s >= 0 appearing in two rows only. For a window of rows a..l and a
// set S of switched inflows x_j <= u_j z_j of those rows (x_j >= 0, z_j
// binary, possibly x_j itself), with D_kl the scaled right-hand sides of rows
// k..l summed,
//   sum_{j in S} c_j x_j <= sum_{j in S} max(D_{k(j)l}, 0) z_j + s_l.
// Valid because the earliest row t of S with z = 1 gives
// sum_{j in S} c_j x_j <= (inflows of rows t..l) <= D_tl + s_l - s_{t-1}.
// For each l the most violated S is picked term by term.
#include <algorithm>
#include <cmath>

#include "common/clock.hpp"
#include "mip/flow_set.hpp"

namespace tarvo::mip {

namespace {
constexpr double kInf = 1e30;
constexpr int kMaxWindow = 60;      // rows of a chain one cut may span
constexpr double kMinTerm = 1e-9;   // violation a term must bring to enter S
constexpr double kMaxScale = 1e6;   // of a row against the chain's first

// One row of a chain in the orientation and scale that make its outgoing
// stock's coefficient negative and cancel the incoming one against the
// previous row.
struct ChainRow {
  int row = -1;
  double mult = 1;       // scale times orientation applied to the row
  double d = 0;          // scaled right-hand side, bounded outflows moved in
  int out_stock = -1;    // column linking to the next row, -1 at the end
  double out_coef = 0;   // its scaled coefficient (negative)
};

// Switched inflow of a chain row: c x_j with x_j <= u z (z = x_j for a binary).
struct Inflow {
  int pos;  // position of its row in the chain
  int col;
  double c;
  int bin;
};

// Continuous columns with lower bound 0, no variable upper bound and two
// entries in two rows: the stocks. Whether a row can take part in a chain is
// checked when it is oriented.
std::vector<char> stock_columns(const MipProblem &p, const std::vector<Vub> &vub) {
  std::vector<char> stock(p.n, 0);
  for (int j = 0; j < p.n; ++j) {
    if (p.is_int[j] || p.col_lo[j] != 0.0 || vub[j].bin >= 0) continue;
    const int q = p.col_start[j];
    if (p.col_start[j + 1] - q != 2 || p.col_index[q] == p.col_index[q + 1]) continue;
    stock[j] = std::fabs(p.col_value[q]) > 1e-9 && std::fabs(p.col_value[q + 1]) > 1e-9;
  }
  return stock;
}

double coef_in_row(const MipProblem &p, int i, int j) {
  for (int q = p.row_start[i]; q < p.row_start[i + 1]; ++q)
    if (p.row_index[q] == j) return p.row_value[q];
  return 0.0;
}

// Orients and scales row i so that stock `out` (or, at a chain's end, the
// incoming stock `in`) gets the wanted sign, checks every other entry and
// collects the switched inflows. False when the row cannot be a chain row.
bool orient_row(const MipProblem &p, const std::vector<Vub> &vub, int i, int in,
                double in_target, int out, int pos, ChainRow &cr, std::vector<Inflow> &inflows) {
  double mult;
  if (in >= 0) {  // the incoming stock must come out as +in_target, cancelling the previous row
    const double a = coef_in_row(p, i, in);
    if (a == 0.0) return false;
    mult = in_target / a;
  } else {        // first row: its outgoing stock gets coefficient -1
    const double a = coef_in_row(p, i, out);
    if (a == 0.0) return false;
    mult = -1.0 / a;
  }
  // scales compound along a chain: past this the cut would be badly scaled anyway
  if (!(std::fabs(mult) <= kMaxScale && std::fabs(mult) >= 1 / kMaxScale)) return false;
  const double side = mult > 0 ? p.row_up[i] : p.row_lo[i];
  if (std::fabs(side) >= kInf) return false;
  double d = mult * side;
  const size_t first_inflow = inflows.size();
  cr.row = i;
  cr.mult = mult;
  cr.out_stock = -1;
  cr.out_coef = 0;
  for (int q = p.row_start[i]; q < p.row_start[i + 1]; ++q) {
    const int j = p.row_index[q];
    const double c = mult * p.row_value[q];
    if (j == in) continue;
    if (j == out) {
      if (c >= 0) break;  // stops the chain below
      cr.out_stock = j;
      cr.out_coef = c;
      continue;
    }
    if (c > 0) {
      // a nonnegative inflow; a negative lower bound is moved to the right
      if (p.col_lo[j] <= -kInf) return inflows.resize(first_inflow), false;
      if (p.col_lo[j] < 0) d -= c * p.col_lo[j];
      if (!p.is_int[j] && p.col_lo[j] == 0.0 && vub[j].bin >= 0)
        inflows.push_back({pos, j, c, vub[j].bin});
      else if (p.is_binary(j))  // a binary switches itself on
        inflows.push_back({pos, j, c, j});
    } else if (c < 0) {
      // an outflow: at most its upper bound leaves the row
      if (p.col_up[j] >= kInf) return inflows.resize(first_inflow), false;
      d -= c * p.col_up[j];
    }
  }
  if (out >= 0 && cr.out_stock < 0) return inflows.resize(first_inflow), false;
  cr.d = d;
  return true;
}

// The chains of the problem: maximal row sequences joined by stocks, each
// row holding at most two stocks. Only the rows and links are listed here;
// orientation is checked when a chain is walked.
struct Chain {
  std::vector<int> rows;    // in walking order
  std::vector<int> links;   // links[k] joins rows[k] and rows[k+1]
};

std::vector<Chain> find_chains(const MipProblem &p, const std::vector<char> &stock) {
  std::vector<std::vector<int>> row_stocks(p.m);
  for (int j = 0; j < p.n; ++j)
    if (stock[j])
      for (int q = p.col_start[j]; q < p.col_start[j + 1]; ++q) row_stocks[p.col_index[q]].push_back(j);
  auto other_row = [&](int j, int i) {
    const int a = p.col_index[p.col_start[j]], b = p.col_index[p.col_start[j] + 1];
    return a == i ? b : a;
  };
  auto in_chain = [&](int i) { return !row_stocks[i].empty() && row_stocks[i].size() <= 2; };
  std::vector<char> seen(p.m, 0);
  std::vector<Chain> chains;
  for (int start = 0; start < p.m; ++start) {
    // walks begin at chain ends: rows with one stock whose neighbour is a chain row
    if (seen[start] || !in_chain(start) || row_stocks[start].size() != 1) continue;
    Chain ch;
    int i = start, via = -1;
    for (int steps = 0; steps <= p.m; ++steps) {
      seen[i] = 1;
      ch.rows.push_back(i);
      int next_stock = -1;
      for (int j : row_stocks[i])
        if (j != via) next_stock = j;
      if (next_stock < 0) break;
      const int nxt = other_row(next_stock, i);
      if (seen[nxt] || !in_chain(nxt)) break;
      ch.links.push_back(next_stock);
      via = next_stock;
      i = nxt;
    }
    if (ch.rows.size() >= 2) chains.push_back(std::move(ch));
  }
  return chains;
}

// Cuts of one orientable stretch of a chain (rows[0..] already oriented).
// Stops once `out` holds `limit` cuts.
void cuts_of_stretch(const SepInput &in, const std::vector<ChainRow> &rows, const std::vector<Inflow> &inflows,
                     size_t limit, std::vector<Cut> &out) {
  const int len = static_cast<int>(rows.size());
  if (len < 1 || inflows.empty()) return;
  // inflows grouped by row position
  std::vector<int> first(len + 1, 0);
  for (const Inflow &f : inflows) first[f.pos + 1]++;
  for (int k = 0; k < len; ++k) first[k + 1] += first[k];
  std::vector<const Inflow *> by_row(inflows.size());
  {
    std::vector<int> fill(first.begin(), first.end() - 1);
    for (const Inflow &f : inflows) by_row[fill[f.pos]++] = &f;
  }
  const double *x = in.x;
  for (int l = 0; l < len; ++l) {
    if (out.size() >= limit) return;
    Cut cut;
    double violation = 0;
    if (rows[l].out_stock >= 0) {  // + g s_l on the right
      cut.index.push_back(rows[l].out_stock);
      cut.value.push_back(rows[l].out_coef);
      violation += rows[l].out_coef * x[rows[l].out_stock];
    }
    double dkl = 0;  // D_kl, growing as k walks back from l
    bool any = false;
    for (int k = l; k >= 0 && k > l - kMaxWindow; --k) {
      dkl += rows[k].d;
      const double coef = std::max(dkl, 0.0);
      for (int t = first[k]; t < first[k + 1]; ++t) {
        const Inflow &f = *by_row[t];
        const double gain = f.c * x[f.col] - coef * x[f.bin];
        if (gain <= kMinTerm) continue;
        violation += gain;
        cut.index.push_back(f.col);
        cut.value.push_back(f.c);
        if (coef > 0) {
          cut.index.push_back(f.bin);
          cut.value.push_back(-coef);
        }
        any = true;
      }
    }
    if (!any || violation <= kMinTerm) continue;
    cut.rhs = 0;
    cut.tag = "FLOP";
    if (!tidy_cut(cut, in.prob, in.safety)) continue;
    cut.efficacy = cut_efficacy(cut, x);
    if (cut.efficacy >= in.safety.min_efficacy) out.push_back(std::move(cut));
  }
}

}  // namespace

void separate_flow_paths(const SepInput &in, std::vector<Cut> &out) {
  const MipProblem &p = in.prob;
  const std::vector<Vub> vub = variable_upper_bounds(p, in.x);
  const std::vector<char> stock = stock_columns(p, vub);
  const size_t limit = out.size() + static_cast<size_t>(std::max(0, in.max_cuts));
  for (const Chain &ch : find_chains(p, stock)) {
    if (common::wall_seconds() > in.deadline || out.size() >= limit) break;
    // either direction may be the one the stocks flow in
    for (int dir = 0; dir < 2; ++dir) {
      std::vector<int> rows = ch.rows, links = ch.links;
      if (dir == 1) {
        std::reverse(rows.begin(), rows.end());
        std::reverse(links.begin(), links.end());
      }
      std::vector<ChainRow> stretch;
      std::vector<Inflow> inflows;
      int in_stock = -1;
      double in_target = 0;
      for (size_t k = 0; k < rows.size(); ++k) {
        const int out_stock = k < links.size() ? links[k] : -1;
        ChainRow cr;
        if (!orient_row(p, vub, rows[k], in_stock, in_target, out_stock,
                        static_cast<int>(stretch.size()), cr, inflows)) {
          // the stretch ends before this row; a new one may start at it
          cuts_of_stretch(in, stretch, inflows, limit, out);
          stretch.clear();
          inflows.clear();
          in_stock = -1;
          if (!orient_row(p, vub, rows[k], -1, 0, out_stock, 0, cr, inflows)) {
            inflows.clear();
            continue;
          }
        }
        stretch.push_back(cr);
        in_stock = cr.out_stock;
        in_target = -cr.out_coef;
        if (in_stock < 0) {
          cuts_of_stretch(in, stretch, inflows, limit, out);
          stretch.clear();
          inflows.clear();
        }
      }
      cuts_of_stretch(in, stretch, inflows, limit, out);
    }
  }
}

}  // namespace tarvo::mip
