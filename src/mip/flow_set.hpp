// Single-node flow sets: one side of a row or of an aggregation of rows over
// columns and LP slacks, side * a v <= b, relaxed to
//   sum_{N1} y_j - sum_{N2} y_j <= b,   0 <= y_j <= u_j x_j,
// where each flow y_j = a_j (v_col - shift) and x_j is a binary column or
// the constant 1. Flow cover separators build their cuts on such sets.
#pragma once

#include <vector>

#include "mip/separators.hpp"

namespace tarvo::mip {

struct FlowItem {
  int col;        // variable carrying the flow (column or n + LP row)
  double a;       // y = a * (v_col - shift), y >= 0
  double shift;
  int bin;        // binary switching the flow, -1 when it is always on
  double cap;     // u; 1e30 or more when unbounded (always-on items only)
  double y, x;    // LP values of the flow and of its switch
  bool inflow;    // in N1, else in N2
};

struct FlowSet {
  std::vector<FlowItem> items;
  double b = 0;
};

// Variable upper bound y <= u x of a continuous column with lower bound 0,
// from two-entry rows; the one with the least LP slack is kept.
struct Vub {
  int bin = -1;
  double u = 0;
};
std::vector<Vub> variable_upper_bounds(const MipProblem &p, const double *x);

// Builds the flow set of one side. Binaries and columns with a variable
// upper bound become switched flows. Other variables with a finite bound become
// always-on flows when keep_bounded is set, and are moved to the bound that
// relaxes the row otherwise. False when the side cannot be relaxed so.
bool make_flow_set(const SepInput &in, const std::vector<Vub> &vub, const int *idx, const double *val, int len,
                   double side, double b, bool keep_bounded, FlowSet &out);

// Adds coef * y of the item, written over its column, to the cut.
void add_flow_term(const FlowItem &it, double coef, Cut &cut);
// Adds coef * x of the item's switch to the cut (a constant when always on).
void add_switch_term(const FlowItem &it, double coef, Cut &cut);

}  // namespace tarvo::mip
