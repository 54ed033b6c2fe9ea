// The presolve engine shared by the LP wrapper and the integer solver: a
// linear problem in plain arrays goes in, a reduced problem and the undo stack
// that maps its solutions back come out. Nothing here knows the model object.
//
// Use:
//   presolve::Result r;
//   int code = presolve::run(problem, options, &r);     // 0 or 2001
//   if (r.outcome == Outcome::kReduced) { solve r.reduced; postsolve(r, reduced_solution, &full); }
// The undo stack keeps enough to rebuild primal values, row duals and a basis
// of the original problem whose basic count equals its row count.
// Model-level entries: base/presolve_model.hpp (problem_of, load_problem, and
// mip_presolve for the MIP driver, with the integer log lines).
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "presolve/undo_stack.hpp"

namespace tarvo::presolve {

constexpr double kInf = 1e30;

// min cost'x + offset  s.t.  row_lower <= A x <= row_upper,  lower <= x <= upper.
// A is column-wise: column j holds index/value[start[j] .. start[j+1]).
struct LinearProblem {
  int m = 0, n = 0;
  std::vector<int> start, index;
  std::vector<double> value;
  std::vector<double> cost, lower, upper, row_lower, row_upper;
  std::vector<char> integer;  // empty, or n flags (1 = integer column)
  double offset = 0;
  int nonzeros() const { return start.empty() ? 0 : start[n]; }
};

// Reduction bits of TV_IPARAM_LP_PRELEVEL and TV_IPARAM_MIP_PRELEVEL.
enum LevelBit : int {
  kSimple = 2,
  kProbing = 4,
  kCoefficients = 8,
  kElimination = 16,
  kDualReductions = 32,
  kDualInformation = 64,
  kBinaryRows = 128,
  kAggregation = 256,
  kLifting = 512,
  kMaxPass = 1024,
  kSimilarRows = 2048,
};

struct Options {
  int level = 254;
  int fill_limit = 100;      // new nonzeros one elimination may create
  double time_limit = -1;    // seconds from the start of run(), negative: none
  double feastol = 1e-7;
  bool mip = false;          // integrality counts (rounding, probing, implied integers)
  // Log lines of the pass table; null for silence.
  std::function<void(const std::string &)> log;
  // The pass table of the low-memory mode: sizes and seconds, no integer counts.
  bool low_memory_table = false;
};

enum class Outcome { kUnchanged, kReduced, kInfeasible, kUnbounded, kSolved, kNumerical };

// Sizes after one pass of the driver (the rows of the pass table).
struct PassSizes {
  std::string tag;
  int m = 0, n = 0, nz = 0, nint = 0, nbin = 0;
  double seconds = 0;
};

// Counts of applied reductions, by kind.
struct Counters {
  int empty_rows = 0, empty_cols = 0, fixed_cols = 0, singleton_rows = 0, redundant_rows = 0, forcing_rows = 0;
  int dual_fixed = 0, free_singletons = 0, doubletons = 0, duplicate_rows = 0, duplicate_cols = 0;
  int bounds_tightened = 0, coefs_tightened = 0, probing_fixed = 0, implied_integers = 0, cliques = 0;
  int dominated_cols = 0, merged_cols = 0, similar_rows = 0, integer_doubletons = 0, aggregated = 0;
  int lifted = 0, rows_bound = 0, dual_bound_fixed = 0, clique_fixed = 0;
};

struct Result {
  Outcome outcome = Outcome::kUnchanged;
  LinearProblem reduced;
  std::vector<int> col_origin, row_origin;  // reduced index -> original index
  UndoStack stack;
  std::vector<PassSizes> passes;
  Counters counts;
  double seconds = 0, probing_seconds = 0;
  int orig_m = 0, orig_n = 0, orig_nz = 0;
  // MIP: integer columns found integral by implication (original indices).
  std::vector<int> implied_integer;
  // MIP: cliques of binary literals found by probing (column, value) pairs.
  std::vector<std::vector<std::pair<int, int>>> cliques;
};

// Runs the reductions the level allows. 0, or 2001 when memory runs out.
int run(const LinearProblem &problem, const Options &options, Result *result);

// Primal values, row duals and basis statuses (Status of undo_stack.hpp).
struct Solution {
  std::vector<double> x, y;
  std::vector<signed char> col_status, row_status;
};

// Maps a solution of result.reduced back to the original problem. Row duals
// and reduced costs follow the minimisation convention z = c - A'y.
void postsolve(const Result &result, const Solution &reduced, Solution *full);

// Groups of parallel columns (same entries up to one factor per column,
// objective included when `with_cost`); each group lists its columns.
std::vector<std::vector<int>> duplicate_columns(const LinearProblem &problem, bool with_cost);

}  // namespace tarvo::presolve
