// Postsolve: the undo records popped in reverse order. Each undo starts from
// an optimal solution (values, duals, basis) of the problem right after its
// reduction and leaves one of the problem right before it: it restores the
// removed values, sets the duals of restored rows so that the reduced costs
// of that moment keep their signs, and keeps the basic count equal to the
// row count (a restored row brings exactly one basic variable).
#include <cmath>

#include "presolve/presolve.hpp"

namespace tarvo::presolve {
namespace {

// Reduced cost of a snapshot column under the current duals, rows other
// than `skip_row` only.
double reduced_cost(const ColumnSnapshot &s, const std::vector<double> &y, int skip_row = -1) {
  double z = s.cost;
  for (const Entry &e : s.entries)
    if (e.index != skip_row) z -= e.value * y[e.index];
  return z;
}

double row_value(const std::vector<Entry> &entries, const std::vector<double> &x) {
  double sum = 0;
  for (const Entry &e : entries) sum += e.value * x[e.index];
  return sum;
}

bool near(double a, double b) { return std::fabs(a - b) <= 1e-9 * std::fmax(1.0, std::fabs(a)); }

// Status of a nonbasic column at value v with reduced cost z, bounds l, u.
signed char nonbasic_status(double v, double z, double l, double u) {
  const bool at_l = l > -kInf && near(v, l), at_u = u < kInf && near(v, u);
  if (at_l && at_u) return z >= 0 ? kLower : kUpper;
  if (at_l) return kLower;
  if (at_u) return kUpper;
  return kZero;
}

void undo_fix(const UndoRecord &r, Solution &s) {
  const ColumnSnapshot &c = r.snaps[0];
  s.x[r.col] = r.value;
  s.col_status[r.col] = nonbasic_status(r.value, reduced_cost(c, s.y), c.lower, c.upper);
}

void undo_singleton_row(const UndoRecord &r, Solution &s) {
  const int i = r.row, j = r.col;
  s.y[i] = 0;
  s.row_status[i] = kBasic;
  const signed char st = s.col_status[j];
  if (st != kLower && st != kUpper) return;
  const double v = s.x[j];
  const bool lower_side = st == kLower;
  const double own = lower_side ? r.lower : r.upper;
  if (std::fabs(own) < kInf && near(v, own)) return;
  // the row binds: column basic, row nonbasic at the side the value meets
  s.col_status[j] = kBasic;
  s.y[i] = reduced_cost(r.snaps[0], s.y, i) / r.a;
  s.row_status[i] = (r.a > 0) == lower_side ? kLower : kUpper;
}

void undo_forcing_row(const UndoRecord &r, Solution &s) {
  const int i = r.row;
  const bool row_at_upper = r.status == kUpper;
  // Columns sit at the bounds giving the row its extreme activity. Row at
  // its upper side: y <= 0 and y <= z/a for every column (at lower when a > 0,
  // at upper when a < 0), so y = min(0, min z/a); mirrored at the lower side.
  std::vector<double> z(r.entries.size());
  double y = 0;
  int pick = -1;
  for (size_t k = 0; k < r.entries.size(); ++k) {
    const ColumnSnapshot &c = r.snaps[k];
    z[k] = reduced_cost(c, s.y);
    if (c.lower == c.upper) continue;  // a fixed column takes any sign
    const double ratio = z[k] / r.entries[k].value;
    if (row_at_upper ? ratio < y : ratio > y) {
      y = ratio;
      pick = static_cast<int>(k);
    }
  }
  s.y[i] = y;
  s.row_status[i] = pick < 0 ? kBasic : (row_at_upper ? kUpper : kLower);
  for (size_t k = 0; k < r.entries.size(); ++k) {
    const int j = r.entries[k].index;
    const double a = r.entries[k].value;
    const ColumnSnapshot &c = r.snaps[k];
    const bool to_upper = (a > 0) != row_at_upper;
    s.x[j] = to_upper ? c.upper : c.lower;
    if (static_cast<int>(k) == pick)
      s.col_status[j] = kBasic;
    else
      s.col_status[j] = nonbasic_status(s.x[j], z[k] - a * y, c.lower, c.upper);
  }
}

void undo_free_column(const UndoRecord &r, Solution &s) {
  const int i = r.row, j = r.col;
  const double rest = row_value(r.entries, s.x);
  if (r.lower == r.upper) {
    s.x[j] = (r.lower - rest) / r.a;
    // the column is basic: its reduced cost over the other rows goes to the row
    s.y[i] = (r.snaps.empty() ? r.value : reduced_cost(r.snaps[0], s.y, i)) / r.a;
    s.col_status[j] = kBasic;
    s.row_status[i] = kLower;
    return;
  }
  // free column without cost in an inequality: the row binds at a finite side
  s.y[i] = 0;
  if (r.lower <= -kInf && r.upper >= kInf) {
    s.x[j] = 0;
    s.col_status[j] = kZero;
    s.row_status[i] = kBasic;
    return;
  }
  const bool at_lower = r.lower > -kInf && (r.upper >= kInf || std::fabs(rest - r.lower) <= std::fabs(rest - r.upper));
  s.x[j] = ((at_lower ? r.lower : r.upper) - rest) / r.a;
  s.col_status[j] = kBasic;
  s.row_status[i] = at_lower ? kLower : kUpper;
}

// The slack of an equation comes back from the row; the row's side that
// bound tells at which bound it sits.
void undo_slack_column(const UndoRecord &r, Solution &s) {
  const int i = r.row, j = r.col;
  s.x[j] = (r.rhs - row_value(r.entries, s.x)) / r.a;
  if (s.row_status[i] == kBasic) {
    s.col_status[j] = kBasic;
    s.y[i] = r.value / r.a;
  } else {
    // the row at its lower side has the slack at its upper bound when a > 0
    const bool row_low = s.row_status[i] != kUpper;
    s.col_status[j] = (r.a > 0) == row_low ? kUpper : kLower;
    s.y[i] += r.value / r.a;
  }
  s.row_status[i] = kLower;
}

void undo_doubleton(const UndoRecord &r, Solution &s) {
  const int i = r.row, j = r.col, k = r.col2;
  const ColumnSnapshot &sj = r.snaps[0], &sk = r.snaps[1];
  s.x[k] = (r.rhs - r.a * s.x[j]) / r.b;
  s.row_status[i] = kLower;
  const signed char st = s.col_status[j];
  const double xj = s.x[j], xk = s.x[k];
  // j held at a bound that only k implied: k is the one at its bound
  bool from_k = false;
  if (st == kLower || st == kUpper) {
    const double own = st == kLower ? sj.lower : sj.upper;
    const bool k_at_bound = (sk.lower > -kInf && near(xk, sk.lower)) || (sk.upper < kInf && near(xk, sk.upper));
    from_k = !(std::fabs(own) < kInf && near(xj, own)) && k_at_bound;
  }
  if (from_k) {
    s.y[i] = reduced_cost(sj, s.y, i) / r.a;
    s.col_status[j] = kBasic;
    s.col_status[k] = nonbasic_status(xk, reduced_cost(sk, s.y), sk.lower, sk.upper);
  } else {
    s.y[i] = reduced_cost(sk, s.y, i) / r.b;
    s.col_status[k] = kBasic;
  }
}

// Row s = f * row r was removed after narrowing r's range (r's own range kept
// in the record). When r sits at a side that only s gave it, s binds instead.
void undo_duplicate_row(const UndoRecord &r, Solution &s) {
  const int removed = r.row, kept = r.row2;
  s.y[removed] = 0;
  s.row_status[removed] = kBasic;
  const signed char st = s.row_status[kept];
  if (st != kLower && st != kUpper) return;
  // r.lower/r.upper: the kept row's own range; r.rhs/r.value: the narrowed one
  const bool own_holds = st == kLower ? r.lower >= r.rhs : r.upper <= r.value;
  if (own_holds) return;
  s.y[removed] = s.y[kept] / r.a;
  s.y[kept] = 0;
  s.row_status[kept] = kBasic;
  s.row_status[removed] = (r.a > 0) == (st == kLower) ? kLower : kUpper;
}

// y = x_b + f x_o split again: x_o as low as b's bounds and its own allow
// (rounded up for an integer o), x_b the rest.
void undo_merge_columns(const UndoRecord &r, Solution &s) {
  const int b = r.col, o = r.col2;
  const double f = r.a, y = s.x[b];
  const double from_upper = r.upper >= kInf ? (f > 0 ? -kInf : kInf) : (y - r.upper) / f;
  const double from_lower = r.lower <= -kInf ? (f > 0 ? kInf : -kInf) : (y - r.lower) / f;
  double lo = std::fmax(f > 0 ? from_upper : from_lower, r.lower2);
  double hi = std::fmin(f > 0 ? from_lower : from_upper, r.upper2);
  if (r.int2) {
    if (lo > -kInf) lo = std::ceil(lo - 1e-9);
    if (hi < kInf) hi = std::floor(hi + 1e-9);
  }
  const double xo = lo > -kInf ? lo : hi < kInf ? hi : 0.0;
  double xb = y - f * xo;
  if (r.int1) xb = std::round(xb);
  s.x[o] = xo;
  s.x[b] = xb;
  const signed char merged = s.col_status[b];
  const bool o_low = r.lower2 > -kInf && near(xo, r.lower2), o_up = r.upper2 < kInf && near(xo, r.upper2);
  s.col_status[o] = o_low ? kLower : o_up ? kUpper : kZero;
  // y at a bound puts both at bounds; otherwise b stays as y was
  if (merged == kLower || merged == kUpper) {
    const bool b_low = r.lower > -kInf && near(xb, r.lower);
    s.col_status[b] = b_low ? kLower : kUpper;
  }
}

// x_k = c0 + c1 x_j for binaries: k sits at a bound whatever x_j is.
void undo_aggregate(const UndoRecord &r, Solution &s) {
  s.x[r.col] = r.value + r.a * s.x[r.col2];
  s.col_status[r.col] = s.x[r.col] > 0.5 ? kUpper : kLower;
}

// Row s became s - f r for the equation r: the dual of r takes the difference.
void undo_subtract_row(const UndoRecord &r, Solution &s) { s.y[r.row] -= r.a * s.y[r.row2]; }

}  // namespace

void postsolve(const Result &result, const Solution &reduced, Solution *full) {
  Solution &s = *full;
  s.x.assign(result.orig_n, 0.0);
  s.y.assign(result.orig_m, 0.0);
  s.col_status.assign(result.orig_n, kLower);
  s.row_status.assign(result.orig_m, kBasic);
  for (size_t j = 0; j < result.col_origin.size(); ++j) {
    s.x[result.col_origin[j]] = reduced.x[j];
    s.col_status[result.col_origin[j]] = reduced.col_status[j];
  }
  for (size_t i = 0; i < result.row_origin.size(); ++i) {
    s.y[result.row_origin[i]] = reduced.y[i];
    s.row_status[result.row_origin[i]] = reduced.row_status[i];
  }
  const auto &records = result.stack.records();
  for (auto it = records.rbegin(); it != records.rend(); ++it) {
    const UndoRecord &r = *it;
    switch (r.kind) {
      case UndoKind::kFreeRow:
        s.y[r.row] = 0;
        s.row_status[r.row] = kBasic;
        break;
      case UndoKind::kFixColumn: undo_fix(r, s); break;
      case UndoKind::kSingletonRow: undo_singleton_row(r, s); break;
      case UndoKind::kForcingRow: undo_forcing_row(r, s); break;
      case UndoKind::kFreeColumn: undo_free_column(r, s); break;
      case UndoKind::kDoubleton: undo_doubleton(r, s); break;
      case UndoKind::kDuplicateRow: undo_duplicate_row(r, s); break;
      case UndoKind::kMergeColumns: undo_merge_columns(r, s); break;
      case UndoKind::kSubtractRow: undo_subtract_row(r, s); break;
      case UndoKind::kAggregate: undo_aggregate(r, s); break;
      case UndoKind::kSlackColumn: undo_slack_column(r, s); break;
    }
  }
}

}  // namespace tarvo::presolve
