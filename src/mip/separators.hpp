// The separators the cut loop dispatches to. Each one reads the node LP point
// and appends candidate cuts (already tidied) with its class tag; the loop
// filters and pools them.
#pragma once

#include <vector>

#include "mip/cut.hpp"

namespace tarvo::mip {

struct SepInput {
  const MipProblem &prob;
  simplex::LpSolver &lp;
  const CutPool &pool;
  const ExtendedVars &ext;   // bounds and values of columns and LP slacks
  const double *x;           // LP point over the columns
  double int_tol = 1e-6;
  int max_aggr = 5;          // rows combined into one aggregated cut
  int max_cuts = 1000;       // candidates one separator may return
  CutSafety safety;
  int max_nnz = 1 << 30;     // denser cuts are not worth making
  double deadline = 1e30;    // wall-clock seconds; separators stop early past it
  bool aggregated_flow_covers = false;  // lifted flow covers on the c-MIR aggregations too
  int dense_nnz = 1 << 30;   // cuts with more entries are dense
  int max_dense = 1 << 30;   // dense Gomory cuts worth building
  // Entries the separators scanned (tableau rows, MIR bases, expanded cuts),
  // added to when not null: the loop's deterministic measure of their work.
  double *work = nullptr;
};

// Mixed-integer rounding of the base inequality sum a_k v_k <= beta over the
// extended variables (columns, then LP slacks). Integer variables listed in
// `complement_up` are complemented to their upper bound, the rest to their
// lower; continuous variables go to their nearest finite bound. The cut comes
// back over the columns (slacks substituted). False when no cut results or
// the cut misses the efficacy threshold.
struct MirBase {
  std::vector<int> index;
  std::vector<double> value;
  double rhs = 0;
};
// Appends a * v_k to the base. A coefficient of at most `zero` in magnitude,
// left over from cancellation, is not dropped outright: the right-hand side
// takes the least value of a * v_k over v_k's bounds, so that the base stays
// valid however large v_k is; the term stays when that bound is infinite.
// False when the term went into the right-hand side or was zero.
bool add_base_term(const ExtendedVars &e, int k, double a, double zero, MirBase &base);
// With `dense_efficacy`, a cut of more than in.dense_nnz entries over the
// columns is measured, not built: false with its efficacy stored there (0
// whenever no such cut is left unbuilt).
bool mir_cut(const SepInput &in, const MirBase &base, double delta, const std::vector<char> &complement_up,
             Cut &cut, double *dense_efficacy = nullptr);
// The most efficacious MIR cut of the base over the divisors its integer
// coefficients suggest, refined by halving the divisor and flipping the
// complementation of integer variables inside their bounds.
bool best_mir(const SepInput &in, const MirBase &base, Cut &best);
// sum coef_k v_k <= rhs over the extended variables as a tidied cut over the
// columns, the slacks replaced by their rows. False when it is unsafe or too dense.
bool extended_to_columns(const SepInput &in, const std::vector<std::pair<int, double>> &ext_coef, double rhs,
                         Cut &cut);

// Single-row separation: calls make(index, value, length, side, rhs, cut) for
// each finite side (side * a x <= rhs) of the rows with 3..max_len entries and
// keeps the cuts it reports, up to in.max_cuts.
template <class Make>
void separate_row_sides(const SepInput &in, int max_len, std::vector<Cut> &out, Make make) {
  const MipProblem &p = in.prob;
  int found = 0;
  for (int i = 0; i < p.m && found < in.max_cuts; ++i) {
    const int s = p.row_start[i], len = p.row_start[i + 1] - s;
    if (len < 3 || len > max_len) continue;
    for (double side : {1.0, -1.0}) {
      const double b = side > 0 ? p.row_up[i] : -p.row_lo[i];
      if (b >= 1e30 || b <= -1e30) continue;
      Cut cut;
      if (make(&p.row_index[s], &p.row_value[s], len, side, b, cut)) {
        out.push_back(std::move(cut));
        found++;
      }
    }
  }
}

// Gomory mixed-integer cuts from the rows of the optimal tableau ("GMRY").
void separate_gomory(const SepInput &in, std::vector<Cut> &out);
// Lifted flow covers on the same tableau rows ("LIFT", marked from_basis).
void separate_tableau_flow_covers(const SepInput &in, std::vector<Cut> &out);
// Lift-and-project cuts from split disjunctions of fractional integer columns ("DISJUN").
struct DisjunctiveLimits {
  int max_disjunctions = 4;  // cut-generating LPs solved per call
  int max_support = 200;     // columns of the LP point's support the CGLP keeps
  int max_rows = 400;        // LP rows it combines
  double iter_limit = 2000;  // simplex iterations per CGLP
};
// Returns the simplex iterations its LPs took.
double separate_disjunctive(const SepInput &in, const DisjunctiveLimits &lim, std::vector<Cut> &out);
// Chvatal-Gomory (MIR) rounding of rows combined with the LP's dual multipliers ("LPROUND").
void separate_lp_rounding(const SepInput &in, std::vector<Cut> &out);
// Complemented MIR over aggregations of up to in.max_aggr rows ("MIGC").
void separate_cmir(const SepInput &in, std::vector<Cut> &out);
// Lifted knapsack covers over rows with binaries ("KCOVER").
void separate_knapsack_covers(const SepInput &in, std::vector<Cut> &out);
// GUB covers: covers over cliques of a knapsack row's binaries ("GUB1"),
// extended by heavy literals outside the cover ("GUB2").
class ConflictGraph;
void separate_gub_covers(const SepInput &in, const ConflictGraph &graph, std::vector<Cut> &out);
// y_j <= u_j x from rows sum a_j y_j <= U x ("DISAGG"), with u_j from another
// row bounding y_j where that is tighter ("PLANLOC").
void separate_disaggregation(const SepInput &in, bool disagg, bool plant_loc, std::vector<Cut> &out);
// Soft-knapsack (continuous cover) cuts of rows whose binary capacity
// continuous columns can stretch ("SOFTKNAP").
void separate_soft_knapsacks(const SepInput &in, std::vector<Cut> &out);
// Cardinality cuts: at most as many items of a knapsack row side as the
// lightest (cliques of the conflict graph counting once) fit ("CARD").
void separate_cardinality(const SepInput &in, const ConflictGraph &graph, std::vector<Cut> &out);
// Flow covers of single-node flow sets from rows with variable upper bounds ("FLOW").
void separate_flow_covers(const SepInput &in, std::vector<Cut> &out);
// Flow path cuts on chains of balance rows joined by stock columns ("FLOP").
void separate_flow_paths(const SepInput &in, std::vector<Cut> &out);
// Flow covers with sequence-independent lifting of the flows left out ("LIFT").
void separate_lifted_flow_covers(const SepInput &in, std::vector<Cut> &out);
// The same on one inequality side * sum val_q v_idx[q] <= b over the extended
// variables (slacks as flows without a switch); `vub` from variable_upper_bounds.
struct Vub;
bool lifted_flow_cover(const SepInput &in, const std::vector<Vub> &vub, const int *idx, const double *val, int len,
                       double side, double b, Cut &out);
// Clique cuts from the conflict graph ("CLIQUE").
void separate_cliques(const SepInput &in, const ConflictGraph &graph, std::vector<Cut> &out);
// Implied-bound cuts from single-row implications of binaries ("IBOU").
struct ImpliedBound;
void separate_implied_bounds(const SepInput &in, const std::vector<ImpliedBound> &list, std::vector<Cut> &out);
// GCD ("GCDC") and coefficient-reduction ("COFR") cuts from single rows.
void separate_row_tightening(const SepInput &in, bool gcd, bool coef, std::vector<Cut> &out);
// {0,1/2}-cuts from combinations of integral rows ("LATC", the lattice class).
void separate_zerohalf(const SepInput &in, std::vector<Cut> &out);
// c x >= global_bound rounded up to the lattice of objective values, when
// the objective takes such values only ("OBJCUT"). The bound must hold for
// the whole problem: a node's LP value would make the cut local.
void separate_objective_cut(const SepInput &in, double global_bound, std::vector<Cut> &out);

}  // namespace tarvo::mip
