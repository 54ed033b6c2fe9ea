// Factorisation dispatch of the simplex basis over the sparse LU kernel:
// refactorisation with singular-basis repair (dependent columns replaced by
// the slacks of uncovered rows) and the update after each pivot.
#include <algorithm>
#include <cmath>

#include "simplex/glp.hpp"

namespace tarvo::simplex {

namespace {

constexpr double kEps = 2.220446049250313e-16;
constexpr int kFreqFloor = 50;        // recovery never shortens the update sequence below this
constexpr int kFallbackUses = 7;      // restores of one fallback basis before method 2 takes over
// Numerical errors in a row (without a clean refactorisation interval between
// them) after which the basis is judged unsound and an earlier one restored.
constexpr int kRestoreAfter = 3;

// Numerical errors that keep coming back ask for a restore: the basis the
// errors came from is left for the fallback (or the best) basis.
void restore_on_repeated_errors(Glp &g) {
  BasisRecovery &h = g.recovery;
  if (g.wfact == WFACT_LUSPACE) h.numerr_streak = 0;
  if (g.wfact != WFACT_NUMERR) return;
  if (++h.numerr_streak >= kRestoreAfter) h.restore_request = true;
  if (!h.restore_request) return;
  h.restore_request = false;
  h.numerr_streak = 0;
  restore_for_numerical_error(g);
}

// The kernel's settings and figures after a factorisation, at
// TV_IPARAM_LU_PRINT_LEVEL 1 and above. The condition figures of L and U are
// the cheap lower bounds 1 + max |multiplier| and max/min |diagonal|.
void print_lu_info(Glp &g, int status) {
  if (!g.model || g.lu_print_level < 1) return;
  const xlu::Info I = g.lu.info();
  const xlu::Options &o = g.lu.options();
  const double rc = g.lu.rcond();
  base::log_model(g.model, 1,
                  "XHLU Parameters/Info (from basiclu xstore, lu_int=%d-bit):\n"
                  "  Dimension (BASICLU_DIM): %d\n"
                  "  Status (BASICLU_STATUS): %d\n"
                  "  Drop Tol (BASICLU_DROP_TOLERANCE): %g\n"
                  "  Abs Pivot Tol (BASICLU_ABS_PIVOT_TOLERANCE): %g\n"
                  "  Rel Pivot Tol (BASICLU_REL_PIVOT_TOLERANCE): %g\n"
                  "  LNZ (BASICLU_LNZ): %d\n"
                  "  UNZ (BASICLU_UNZ): %d\n"
                  "  Rank (BASICLU_RANK): %d\n"
                  "  Updates (BASICLU_NUPDATE): %d\n"
                  "  Condest L (BASICLU_CONDEST_L): %g\n"
                  "  Condest U (BASICLU_CONDEST_U): %g\n",
                  static_cast<int>(8 * sizeof(int)), I.dim, status, o.drop_tol, o.abs_pivot_tol, o.rel_pivot_tol,
                  static_cast<int>(I.lnz), static_cast<int>(I.unz), I.rank, I.nupdates, 1.0 + I.lmax,
                  rc > 0 ? 1.0 / rc : INFINITY);
  if (g.lu_print_level >= 2)
    base::log_model(g.model, 1, "  Bump: %d, dense tail: %d, factor work: %lld\n", I.bump_size, I.dense_size,
                    static_cast<long long>(I.factor_work));
}

int factorize_head(Glp &g, std::vector<int> &begin, std::vector<int> &end) {
  for (int p = 0; p < g.m; ++p) {
    begin[p] = g.col_start[g.head[p]];
    end[p] = g.col_start[g.head[p] + 1];
  }
  const int rc = g.lu.factorize(begin.data(), end.data(), g.col_index.data(), g.col_value.data());
  print_lu_info(g, rc);
  return rc;
}

void factored_ok(Glp &g) {
  g.factored = true;
  g.wfact = WFACT_NO;
  ++g.factorizations;
  ++g.stats.factor_ok;
  const double rc = g.lu.rcond();
  if (rc >= std::sqrt(kEps)) ++g.stats.factor_stable;
  RunStats &st = g.stats;
  if (st.fact_samples > 0) {
    st.last_pivcol_len = st.fact_pivcol_len;
    st.last_pivrow_len = st.fact_pivrow_len;
    st.last_binvi_len = st.fact_binvi_len;
    st.last_samples = st.fact_samples;
  }
  st.fact_pivcol_len = st.fact_pivrow_len = st.fact_binvi_len = st.fact_samples = 0;
  if (rc >= kEps) save_fallback(g);
}

// The kernel's factors already describe B with each dependent column replaced
// by the unit column of an uncovered row, i.e. that row's slack: make the
// header say so.
void slacks_for_dependent_columns(Glp &g) {
  const std::vector<int> &dep = g.lu.dependent_positions();
  const std::vector<int> &rows = g.lu.uncovered_rows();
  int pivoted = 0;
  for (std::size_t k = 0; k < dep.size() && k < rows.size(); ++k) {
    int p = dep[k];
    int old = g.head[p];
    int slack = g.n + rows[k];
    if (g.state[slack] == kBasic) continue;
    g.where[old] = -1;
    choose_nonbasic_state(g, old, g.x[old]);
    g.head[p] = slack;
    g.where[slack] = p;
    g.state[slack] = kBasic;
    ++pivoted;
  }
  trace_event(g, kTraceRecovery, " pivoted-in %d artificial vars, rank:%d (%d)", pivoted, g.lu.rank(), g.m);
  std::fill(g.weight.begin(), g.weight.end(), 1.0);
  g.weights_exact = false;
}

// The LU relative pivot threshold per factorisation. The kernel's setting
// (TV_DPARAM_LU_EPS_PIVREL) is the upper value. When the factors of a basis
// fill in heavily, the same basis is factorised once more with a fifth of it;
// the lower threshold stays while it saves enough fill without losing much of
// the condition indicator, and numerical trouble brings the upper value back.
// A probe or a lower threshold that did not pay doubles the wait before the
// next probe.
constexpr double kLowerShare = 0.2;      // lower threshold as a share of the upper
constexpr double kProbeGain = 0.85;      // the lower threshold's fill must stay below this share
constexpr double kProbeRcondKeep = 0.1;  // ... and its rcond above this share of the upper's
constexpr int kProbeBackoffMax = 64;

void back_off_probes(Glp::LuThreshold &t) {
  t.wait = t.backoff;
  t.backoff = std::min(2 * t.backoff, kProbeBackoffMax);
}

void threshold_to_upper(Glp &g) {
  Glp::LuThreshold &t = g.lu_threshold;
  if (!t.low) return;
  g.lu.set_rel_pivot_tol(t.upper);
  t.low = false;
  back_off_probes(t);
  trace_event(g, kTraceTolerances, " LU threshold back to %g", t.upper);
}

std::int64_t factor_fill(const Glp &g) { return g.lu.lnz() + g.lu.unz(); }

// After a successful factorisation at the upper threshold; returns the
// kernel's code for the factors left in place.
int probe_lower_threshold(Glp &g, std::vector<int> &begin, std::vector<int> &end) {
  Glp::LuThreshold &t = g.lu_threshold;
  if (t.upper == 0.0) t.upper = g.lu.rel_pivot_tol();
  if (t.low) return xlu::kOk;
  if (t.wait > 0) {
    --t.wait;
    return xlu::kOk;
  }
  std::int64_t nnz = 0;
  for (int p = 0; p < g.m; ++p) nnz += end[p] - begin[p];
  const std::int64_t fill = factor_fill(g);
  if (static_cast<double>(fill) < t.heavy_fill * static_cast<double>(nnz)) return xlu::kOk;
  const double rcond_upper = g.lu.rcond();
  const double lower = kLowerShare * t.upper;
  ++t.probes;
  ++g.stats.factor_calls;
  g.lu.set_rel_pivot_tol(lower);
  int rc = factorize_head(g, begin, end);
  if (rc == xlu::kOk && static_cast<double>(factor_fill(g)) < kProbeGain * static_cast<double>(fill) &&
      g.lu.rcond() >= kProbeRcondKeep * rcond_upper) {
    t.low = true;
    ++t.kept;
    trace_event(g, kTraceTolerances, " LU threshold %g: fill %lld (%lld at %g)", lower,
                static_cast<long long>(factor_fill(g)), static_cast<long long>(fill), t.upper);
    return xlu::kOk;
  }
  g.lu.set_rel_pivot_tol(t.upper);
  back_off_probes(t);
  ++g.stats.factor_calls;
  return factorize_head(g, begin, end);
}

// Fewer LU pivot candidates and a stricter relative pivot tolerance after a
// singular factorisation.
void stricter_lu(Glp &g) {
  threshold_to_upper(g);
  BasisRecovery &h = g.recovery;
  if (h.ratrange - 1 >= 2) {
    xlu::Options o = g.lu.options();
    o.num_candidates = std::min(o.num_candidates, h.ratrange - 1);
    const int ierr = g.lu.set_options(o);
    trace_event(g, kTraceRecovery, " new ratrange:%d (old:%d), ierr=%d, file=%s(%d)", h.ratrange - 1, h.ratrange, ierr,
                "bupdate", __LINE__);
    if (ierr == xlu::kOk) --h.ratrange;
  }
  const double rel = g.lu.rel_pivot_tol() + 0.02;
  if (rel <= 0.9 && g.lu.set_rel_pivot_tol(rel) == xlu::kOk) g.lu_threshold.upper = rel;
}

}  // namespace

namespace {
const char *const kWfactNames[] = {"WFACT_NO",     "WFACT_INIT",   "WFACT_REFACT",   "WFACT_MAXDMERGE", "WFACT_CHKOPT",
                                   "WFACT_CHKFSB", "WFACT_NUMERR", "WFACT_CHKUNB",   "WFACT_PHASECHG",  "WFACT_ENDPERT",
                                   "WFACT_DENSETA", "WFACT_LUSPACE", "WFACT_BUPERR", "WFACT_CYCLING"};

void trace_reason(Glp &g) {
  if (!g.model || !g.trace_cfg.on(kTraceRefactor)) return;
  const int w = g.wfact >= 0 && g.wfact <= WFACT_CYCLING ? g.wfact : WFACT_NO;
  ++g.wfact_counts[w];
  int npinf = 0, ndinf = 0;
  primal_infeasibility(g, &npinf);
  dual_infeasibility(g, &ndinf);
  trace_event(g, kTraceRefactor,
              " new wfact(%d):%s (#cnt:%d), fiter=%d, npinf=%d, ndinf=%d, cbas=%d, pivj=%d, pivi=%d, vleave=%d, rdc=%g, "
              "top=%lld, ceps=%g, reps=%g, mkweps=%g, pvteps=%g, file=%s(%d) %s%s %s",
              w, kWfactNames[w], g.wfact_counts[w], static_cast<int>(g.iterations), npinf, ndinf, -1, -1, -1, -1, 0.0,
              g.recovery.top, g.dtol, g.ptol, g.mkweps, g.pivot_tol, "bupdate", __LINE__, "", "", "");
}
}  // namespace

int refactor(Glp &g) {
  trace_reason(g);
  restore_on_repeated_errors(g);
  if (g.m == 0) {
    g.factored = true;
    g.wfact = WFACT_NO;
    return 0;
  }
  if (g.wfact == WFACT_NUMERR || g.wfact == WFACT_BUPERR) threshold_to_upper(g);
  std::vector<int> begin(g.m), end(g.m);
  ++g.stats.factor_calls;
  int rc = factorize_head(g, begin, end);
  if (rc == xlu::kOk) rc = probe_lower_threshold(g, begin, end);
  if (rc == xlu::kOutOfMemory) return 2;
  if (rc == xlu::kOk) {
    factored_ok(g);
    return 0;
  }
  if (rc != xlu::kSingular) return 3;
  BasisRecovery &h = g.recovery;
  trace_event(g, kTraceRecovery,
              "WARNING: LU factorz returned CLU_SINGULAR(%d), recovering (pivj=%d, rcond:%g, m=%d, rank=%d, top:%lld, "
              "ratrange:%d), bhash:%llx",
              rc, -1, g.lu.rcond(), g.m, g.lu.rank(), h.top, h.ratrange, basis_hash(g));
  dump_history(g);
  stricter_lu(g);
  int method = h.method;
  if (method == 1 && h.uses > kFallbackUses) {
    method = 2;
    trace_event(g, kTraceRecovery, " Switched to basis recovery method %d", method);
  }
  bool stable = false;
  if (method == 1 && h.saved() && g.iterations > 0 && g.refactor_freq > kFreqFloor && restore_fallback(g)) {
    ++g.stats.factor_calls;
    rc = factorize_head(g, begin, end);
    if (rc == xlu::kOutOfMemory) return 2;
    stable = rc == xlu::kOk;
  } else if (method == 3 && rollback_to_factorization(g)) {
    ++g.stats.factor_calls;
    rc = factorize_head(g, begin, end);
    if (rc == xlu::kOutOfMemory) return 2;
    stable = rc == xlu::kOk;
    if (!stable) trace_event(g, kTraceRecovery, " Repaired basis is still singular... ");
  }
  // method 2, and the last resort of the others: slacks for the dependent columns
  for (int attempt = 0; !stable && attempt < 3; ++attempt) {
    if (rc != xlu::kSingular) return rc == xlu::kOutOfMemory ? 2 : 3;
    slacks_for_dependent_columns(g);
    ++g.singular_repairs;
    ++g.stats.factor_calls;
    rc = factorize_head(g, begin, end);
    if (rc == xlu::kOutOfMemory) return 2;
    stable = rc == xlu::kOk;
    if (!stable) trace_event(g, kTraceRecovery, "%s: Repaired basis is still singular... Adding more artificial vars...",
                             "recover_basis2");
  }
  if (!stable) {
    trace_event(g, kTraceRecovery, " Singularity persists during basis recovery. ");
    return 3;
  }
  factored_ok(g);
  trace_event(g, kTraceRecovery, " Stable basis is constructed, #nrolls:%d, top:%lld", h.rollbacks, h.top);
  if (g.refactor_freq - 10 >= kFreqFloor) {
    g.refactor_freq -= 10;
    trace_event(g, kTraceRecovery, " new refactfrq:%d (change:%d), fiter=%d, file=%s(%d)", g.refactor_freq, -10,
                static_cast<int>(g.iterations), "bupdate", __LINE__);
  }
  return 0;
}

namespace {

constexpr double kUpdateMismatchLimit = 1e-7;    // FTRAN/BTRAN disagreement on the new pivot
constexpr double kColumnResidualLimit = 1e-7;    // of the entering column, checked every kResidualEvery updates
constexpr int kResidualEvery = 16;

// Growth of the factors through the updates beyond the room the host gave
// (TV_IPARAM_LP_PALLOC, in percent of the fresh factors). Without it the
// update count alone bounds the growth: limits relative to the fresh factors
// (growth by 2x and 4x) and a balance of the solve work against a new
// factorisation's were tried; they cut the cycles short on 25fv47, greenbea
// and maros-r7, whose fresh factors are small against what the updates add,
// without a measurable gain.
int growth_reason(const Glp &g) {
  if (g.update_room < 0) return WFACT_NO;
  const xlu::Factor &lu = g.lu;
  const double fresh = static_cast<double>(lu.fresh_nnz());
  const double now = static_cast<double>(lu.lnz() + lu.unz() + lu.pnz() + g.m);
  return fresh > 0 && now > (1.0 + g.update_room) * fresh ? WFACT_LUSPACE : WFACT_NO;
}

}  // namespace

int bupdate(Glp &g, int p) {
  // Accuracy of the solves, while the entering column is still at hand.
  double residual = 0.0;
  if ((g.lu.num_updates() + 1) % kResidualEvery == 0) residual = g.lu.kept_column_residual();
  int rc = g.lu.update(p);
  if (rc == xlu::kOutOfMemory) {
    g.factored = false;
    g.wfact = WFACT_BUPERR;
    return 2;
  }
  if (rc == xlu::kOutOfSpace) {
    g.factored = false;
    g.wfact = WFACT_LUSPACE;
    return 4;
  }
  if (rc != xlu::kOk) {
    g.factored = false;
    g.wfact = WFACT_BUPERR;
    return 1;
  }
  if (g.lu.num_updates() >= g.refactor_freq) {
    g.wfact = WFACT_LUSPACE;
    return 4;
  }
  if (g.lu.rcond() < 2.220446049250313e-16) {
    g.wfact = WFACT_BUPERR;
    return 1;
  }
  const double mismatch = g.lu.last_update_mismatch();
  if (mismatch > kUpdateMismatchLimit || residual > kColumnResidualLimit) {
    trace_event(g, kTraceRefactor, " inaccurate update: pivot mismatch %g, column residual %g, updates=%d", mismatch,
                residual, g.lu.num_updates());
    ++g.accuracy_refactors;
    g.wfact = WFACT_NUMERR;
    return 4;
  }
  if (const int reason = growth_reason(g); reason != WFACT_NO) {
    g.wfact = reason;
    return 4;
  }
  return 0;
}

// Relative drift of the updated basics that shortens the update sequence: the
// hard netlib models drift by 1e-3 at times and are still better served by
// long sequences (greenbea runs 15% slower when 1e-3 shortens them); a drift of
// 10% means the updates have gone wrong.
constexpr double kDriftLimit = 1e-1;
// Rounding in updates scales with the largest basic value, not with each
// value: beside basics of 1e10 (artificial boxes of the dual phase 1) a zero
// carried as 0.6 is noise of 1e-11. Drift is measured against this share of
// the largest value as well, far above rounding, far below a real loss.
constexpr double kDriftScaleShare = 1e-6;

void compute_primal_checked(Glp &g) {
  std::vector<double> carried(g.m);
  for (int p = 0; p < g.m; ++p) carried[p] = g.x[g.head[p]];
  compute_primal(g);
  double xmax = 0;  // of the fresh values: a wild carried one must not hide itself
  for (int p = 0; p < g.m; ++p) xmax = std::max(xmax, std::fabs(g.x[g.head[p]]));
  const double floor = 1.0 + kDriftScaleShare * (std::isfinite(xmax) ? xmax : 0.0);
  double drift = 0;
  for (int p = 0; p < g.m; ++p) {
    const double v = g.x[g.head[p]];
    drift = std::max(drift, std::fabs(v - carried[p]) / std::max(floor, 1.0 + std::fabs(v)));
  }
  if (drift > kDriftLimit && g.refactor_freq > kFreqFloor) {
    g.refactor_freq = std::max(kFreqFloor, g.refactor_freq * 3 / 4);
    trace_event(g, kTraceRefactor, " new refactfrq:%d (change:%d), fiter=%d, file=%s(%d)", g.refactor_freq,
                -(g.refactor_freq / 3), static_cast<int>(g.iterations), "bupdate", __LINE__);
  }
}

// Agreement asked of carried values before a verdict stands on the updated
// factors: well inside the feasibility tolerances, so a disagreement means
// the updates lost accuracy rather than rounding noise.
constexpr double kAgreeShare = 1e-2;

bool updated_values_agree(Glp &g) {
  std::vector<double> carried_x(g.m);
  for (int p = 0; p < g.m; ++p) carried_x[p] = g.x[g.head[p]];
  std::vector<double> carried_d = g.d;
  compute_primal(g);
  compute_dual(g);
  for (int p = 0; p < g.m; ++p) {
    const double v = g.x[g.head[p]];
    if (!(std::fabs(v - carried_x[p]) <= kAgreeShare * g.ptol * (1.0 + std::fabs(v)))) return false;
  }
  for (int j = 0; j < g.n + g.m; ++j) {
    if (g.state[j] == kBasic) continue;
    if (!(std::fabs(g.d[j] - carried_d[j]) <= kAgreeShare * g.dtol * (1.0 + std::fabs(g.d[j])))) return false;
  }
  return true;
}

void tighten_pivot_tolerance(Glp &g) {
  if (!g.adapt_tolerances) return;
  const double next = std::min(10 * g.pivot_tol, g.pivot_tol_max);
  if (next == g.pivot_tol) return;
  trace_event(g, kTraceTolerances, " new pvteps:%e (factor:%e), fiter=%d, file=%s(%d)", next, next / g.pivot_tol,
              static_cast<int>(g.iterations), "bupdate", __LINE__);
  g.pivot_tol = next;
  ++g.pivot_tol_changes;
}

}  // namespace tarvo::simplex
