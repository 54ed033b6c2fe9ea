// The presolve driver: builds the work copy, runs the passes while they make
// progress (within the pass limit and the time limit), prints one row of the
// pass table after each pass, and compacts what is left into the reduced
// problem. Later rounds leave out the expensive passes.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <new>

#include "common/error_codes.hpp"
#include "common/clock.hpp"
#include "presolve/work_problem.hpp"

namespace tarvo::presolve {
namespace {

void table_row(WorkProblem &w, Result *res, const char *tag) {
  PassSizes p;
  p.tag = tag;
  p.m = w.live_rows;
  p.n = w.live_cols;
  p.nz = static_cast<int>(w.nonzeros);
  p.nint = w.count_integers(&p.nbin);
  p.seconds = common::wall_seconds() - w.start_time;
  if (w.options.log) {
    char line[160];
    if (w.options.low_memory_table)
      std::snprintf(line, sizeof line, "\n %s      %6u     %6u     %8u      %.2f", tag, static_cast<unsigned>(p.m),
                    static_cast<unsigned>(p.n), static_cast<unsigned>(p.nz), p.seconds);
    else
      std::snprintf(line, sizeof line, "\n %s      %6u     %6u     %8u    %6u   %6u ", tag, static_cast<unsigned>(p.m),
                    static_cast<unsigned>(p.n), static_cast<unsigned>(p.nz), static_cast<unsigned>(p.nint),
                    static_cast<unsigned>(p.nbin));
    w.options.log(line);
  }
  res->passes.push_back(p);
}

void compact(const WorkProblem &w, Result *res) {
  LinearProblem &r = res->reduced;
  std::vector<int> row_new(w.m, -1);
  res->row_origin.clear();
  res->col_origin.clear();
  for (int i = 0; i < w.m; ++i)
    if (w.row_alive[i]) {
      row_new[i] = static_cast<int>(res->row_origin.size());
      res->row_origin.push_back(i);
    }
  r.m = static_cast<int>(res->row_origin.size());
  r.row_lower.resize(r.m);
  r.row_upper.resize(r.m);
  for (int i = 0; i < r.m; ++i) {
    r.row_lower[i] = w.row_lower[res->row_origin[i]];
    r.row_upper[i] = w.row_upper[res->row_origin[i]];
  }
  r.start.assign(1, 0);
  r.index.clear();
  r.value.clear();
  r.cost.clear();
  r.lower.clear();
  r.upper.clear();
  r.integer.clear();
  for (int j = 0; j < w.n; ++j) {
    if (!w.col_alive[j]) continue;
    res->col_origin.push_back(j);
    r.cost.push_back(w.cost[j]);
    r.lower.push_back(w.lower[j]);
    r.upper.push_back(w.upper[j]);
    if (!w.integer.empty()) r.integer.push_back(w.integer[j]);
    std::vector<Entry> col = w.cols[j];
    std::sort(col.begin(), col.end(), [](const Entry &a, const Entry &b) { return a.index < b.index; });
    for (const Entry &e : col) {
      r.index.push_back(row_new[e.index]);
      r.value.push_back(e.value);
    }
    r.start.push_back(static_cast<int>(r.index.size()));
  }
  r.n = static_cast<int>(res->col_origin.size());
  r.offset = w.offset;
}

int run_passes(WorkProblem &w, Result *res) {
  const int level = w.options.level;
  const bool mip = w.options.mip;
  const int max_rounds = (level & kMaxPass) ? 100 : 30;
  bool dominance_live = true;
  for (int round = 0; round < max_rounds && !w.infeasible && !w.out_of_time(); ++round) {
    const int before_rows = w.live_rows, before_cols = w.live_cols;
    const long before_nz = w.nonzeros;
    int changes = 0;
    if (level & kSimple) {
      changes += remove_empty_rows(w);
      if (!w.infeasible) changes += remove_fixed_columns(w);
      if (!w.infeasible) changes += remove_singleton_rows(w);
      if (!w.infeasible) changes += remove_empty_columns(w);
      table_row(w, res, "sp2");
      if (!w.infeasible) changes += remove_by_row_activity(w);
      if (!w.infeasible) changes += remove_fixed_columns(w);
      table_row(w, res, "sps");
    }
    if ((level & kElimination) && !w.infeasible) {
      changes += substitute_free_columns(w);
      table_row(w, res, "spg");
      changes += substitute_doubletons(w);
      table_row(w, res, "spc");
    }
    if (mip && !w.infeasible && (level & (kSimple | kCoefficients | kLifting))) {
      // parallel rows merge before coefficient tightening makes them differ
      if ((level & kSimple) && (level & kCoefficients) && round < 4) changes += merge_duplicate_rows(w);
      if (level & kSimple) changes += tighten_integer_bounds(w);
      if ((level & kCoefficients) && round < 4) changes += tighten_coefficients(w);
      if ((level & kLifting) && round < 4 && !w.infeasible) changes += lift_coefficients(w);
      table_row(w, res, "spp");
    }
    if ((level & kSimple) && !w.infeasible) {
      changes += merge_duplicate_rows(w);
      if (mip && (level & kBinaryRows) && !w.infeasible) changes += fix_outside_covered_cliques(w);
      table_row(w, res, "spq");
    }
    if ((level & kDualReductions) && !w.infeasible) {
      changes += fix_dual_dominated(w);
      if (mip && !w.infeasible) changes += bind_single_lock_rows(w);
      if ((level & kDualInformation) && !w.infeasible) changes += fix_by_dual_bounds(w);
      table_row(w, res, "sob1");
    }
    if (mip && (level & (kDualReductions | kDualInformation)) && !w.infeasible) {
      // dominance is searched again only after it found something or the
      // other passes changed the problem
      if ((level & kDualInformation) && (dominance_live || changes > 0)) {
        const int fixed = fix_dominated_columns(w);
        dominance_live = fixed > 0;
        changes += fixed;
      }
      if ((level & kDualReductions) && !w.infeasible) changes += merge_parallel_columns(w);
      table_row(w, res, "sob3");
    }
    if (mip && (level & kProbing) && round == 0 && !w.infeasible) {
      const double t0 = common::wall_seconds();
      changes += probe_binaries(w, res);
      res->probing_seconds += common::wall_seconds() - t0;
      table_row(w, res, "sob2");
    }
    if (changes == 0) break;
    // stop when a round removed almost nothing
    const long removed = (before_rows - w.live_rows) + (before_cols - w.live_cols) + (before_nz - w.nonzeros);
    if (round > 2 && removed * 1000 < before_nz) break;
  }
  return 0;
}

}  // namespace

int run(const LinearProblem &problem, const Options &options, Result *result) {
  try {
    Result &res = *result;
    res = Result{};
    WorkProblem w;
    w.options = options;
    w.start_time = common::wall_seconds();
    w.stack = &res.stack;
    w.counts = &res.counts;
    w.load(problem);
    res.orig_m = problem.m;
    res.orig_n = problem.n;
    res.orig_nz = static_cast<int>(w.nonzeros);
    if (options.log)
      options.log(options.low_memory_table ? "\ntpre       ncons      nvars         nnzA      time"
                                           : "\n\ntpre       ncons      nvars         nnzA      nint     nbin   ");
    table_row(w, &res, "ini");
    // bounds that cross (beyond tolerance) make the problem infeasible at once
    for (int j = 0; j < w.n; ++j)
      if (w.lower[j] > w.upper[j] + w.feas_tol(w.upper[j])) w.infeasible = true;
    for (int i = 0; i < w.m; ++i)
      if (w.row_lower[i] > w.row_upper[i] + w.feas_tol(w.row_upper[i])) w.infeasible = true;
    if (!w.infeasible && options.level > 0) run_passes(w, &res);
    // similar rows after the other passes, and once more the passes they feed
    if (options.mip && (options.level & kSimilarRows) && !w.infeasible && subtract_similar_rows(w) > 0) {
      table_row(w, &res, "spq");
      w.options.level &= ~(kProbing | kCoefficients | kBinaryRows | kAggregation);
      if (!w.infeasible) run_passes(w, &res);
    }
    if (options.mip && !w.infeasible) find_implied_integers(w, &res);
    res.seconds = common::wall_seconds() - w.start_time;
    if (w.infeasible) {
      res.outcome = Outcome::kInfeasible;
      return 0;
    }
    if (res.stack.size() == 0 && w.live_rows == w.m && w.live_cols == w.n && res.counts.bounds_tightened == 0 &&
        res.counts.coefs_tightened == 0 && res.counts.lifted == 0) {
      res.outcome = Outcome::kUnchanged;
      return 0;
    }
    compact(w, &res);
    res.outcome = res.reduced.n == 0 ? Outcome::kSolved : Outcome::kReduced;
    return 0;
  } catch (const std::bad_alloc &) {
    return err::kNoMemory;
  }
}

}  // namespace tarvo::presolve
