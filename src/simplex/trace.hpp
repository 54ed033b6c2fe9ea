// What a simplex run tells the host: the compact iteration log, the detailed
// P/D trace lines selected by the bits of TV_IPARAM_LP_PRTFG, the headers and
// exit lines of each method, and the kernel statistics block at the end.
#pragma once

#include <cstdint>

namespace tarvo::simplex {

struct Glp;
struct RunControl;

// Detail bits of TV_IPARAM_LP_PRTFG.
enum TraceBit : int {
  kTraceIterations = 1,
  kTraceRefactor = 2,
  kTraceRejections = 4,
  kTracePricing = 8,
  kTracePerturbation = 16,
  kTraceTolerances = 32,
  kTraceRecovery = 64,
  kTraceTimings = 128,
  kTraceDetail = 255,
  kTraceCompact = 65536,
};

// Settings read once per solve; all off without a model to log to.
struct TraceSettings {
  int prtfg = 0;
  int print_level = 0;
  bool compact = false;   // the compact iteration log
  bool detail = false;    // any detail bit at a print level that shows it
  bool warnings = false;  // warning lines (print level 2 and above)
  bool on(int bit) const { return detail && (prtfg & bit) != 0; }
};

// Progress of the logs within one solve.
struct TraceState {
  char letter = 'P';          // method of the running pass
  bool header_done = false;   // compact header printed in this solve
  int detail_lines = 0;       // detail lines since the detail header
  double last_iter = -1;      // iteration count of the last log line
  double last_time = 0;       // wall clock of the last log line
  double sampled_iter = 0;    // last iteration the statistics sampled
};

// Kernel counters of one solve, for the statistics block and the report.
struct RunStats {
  std::int64_t pivrow_sparse = 0, pivrow_dense = 0;
  std::int64_t reduced_cost_passes = 0;  // full reduced-cost recomputations
  std::int64_t full_prices = 0;          // pricing passes over every column
  double pivcol_len = 0, pivrow_len = 0, binvi_len = 0;  // summed lengths
  double samples = 0;
  double fact_pivcol_len = 0, fact_pivrow_len = 0, fact_binvi_len = 0, fact_samples = 0;  // since the last factorisation
  double last_pivcol_len = 0, last_pivrow_len = 0, last_binvi_len = 0, last_samples = 0;  // the interval before it
  std::int64_t cutoff_tests = 0, cutoff_proofs = 0;
  std::int64_t factor_calls = 0, factor_ok = 0, factor_stable = 0;
  std::int64_t degenerate = 0;
};

// 64-bit hash of the basis header.
unsigned long long basis_hash(const Glp &g);

TraceSettings trace_settings(int prtfg, int print_level, bool has_log);

// A method starts (or restarts) a pass: header and settings lines.
void trace_start(Glp &g, const RunControl &rc, bool primal, bool reentering);
// Once per loop pass of either method (from check_limits): the iteration logs
// when due and the length samples of the statistics.
void trace_iteration(Glp &g, const RunControl &rc);
// A pass ended with g.xstat: the final log line with its status mark and the
// exit lines.
void trace_exit(Glp &g, const RunControl &rc);
// The statistics block of the LP driver.
void trace_statistics(Glp &g);
// "\n%c%6d %8.0f : " followed by the formatted text, when `bit` is traced.
void trace_event(Glp &g, int bit, const char *format, ...) __attribute__((format(printf, 3, 4)));
// A line printed as is when any detail bit is traced.
void trace_note(Glp &g, const char *format, ...) __attribute__((format(printf, 2, 3)));
// A line printed as is at print level 2 and above.
void trace_warning(Glp &g, const char *format, ...) __attribute__((format(printf, 2, 3)));

}  // namespace tarvo::simplex
