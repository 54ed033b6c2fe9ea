// Log output of the simplex methods: compact iteration lines, detailed P/D
// trace lines with their headers, method headers and settings, exit lines and
// the kernel statistics block. Everything is computed only when it is printed.
#include "simplex/trace.hpp"

#include <algorithm>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <string>

#include "env/callback_dispatch.hpp"
#include "common/clock.hpp"
#include "common/format.hpp"
#include "simplex/glp.hpp"

namespace tarvo::simplex {
namespace {

constexpr double kLogEverySeconds = 1.0;  // compact lines at least this far apart
constexpr double kLogEveryIters = 1000;   // or after this many iterations
constexpr double kDetailEveryIters = 100;
constexpr int kDetailHeaderEvery = 31;

void put(std::string &out, const char *format, ...) __attribute__((format(printf, 2, 3)));
void put(std::string &out, const char *format, ...) {
  va_list args;
  va_start(args, format);
  common::vformat(out, format, args);
  va_end(args);
}

void emit(Glp &g, const char *format, ...) __attribute__((format(printf, 2, 3)));
void emit(Glp &g, const char *format, ...) {
  if (!g.model) return;
  va_list args;
  va_start(args, format);
  base::log_model_v(g.model, 1, format, args);
  va_end(args);
}

// Objective of the model (its sense, with the constant) at the current x.
double model_objective(const Glp &g) { return g.sense * objective_value(g) + g.objective_constant; }

struct Sums {
  double pinf_sum = 0, pinf_max = 0, dinf_sum = 0, dinf_max = 0;
  int npinf = 0, ndinf = 0;
};

Sums infeasibility_sums(const Glp &g) {
  Sums s;
  for (int p = 0; p < g.m; ++p) {
    const double v = basic_violation(g, p);
    if (v > g.ptol) {
      s.pinf_sum += v;
      ++s.npinf;
    }
    s.pinf_max = std::max(s.pinf_max, v);
  }
  for (int j = 0; j < g.n + g.m; ++j) {
    const double v = dual_violation(g, j);
    if (v > g.dtol) {
      s.dinf_sum += v;
      ++s.ndinf;
    }
    s.dinf_max = std::max(s.dinf_max, v);
  }
  return s;
}

// ||[A I] x||_inf and the largest |c_j - a_j y| over the basic variables.
void residual_norms(const Glp &g, double *primal, double *dual) {
  std::vector<double> r(g.m, 0.0);
  double dmax = 0;
  for (int j = 0; j < g.n + g.m; ++j) {
    double s = g.cost[j] + g.shift[j];
    const double xj = g.x[j];
    for (int k = g.col_start[j]; k < g.col_start[j + 1]; ++k) {
      r[g.col_index[k]] += g.col_value[k] * xj;
      s -= g.col_value[k] * g.y[g.col_index[k]];
    }
    if (g.state[j] == kBasic) dmax = std::max(dmax, std::fabs(s));
  }
  double pmax = 0;
  for (double v : r) pmax = std::max(pmax, std::fabs(v));
  *primal = pmax;
  *dual = dmax;
}

bool in_phase1(const Glp &g, const Sums &s) {
  if (g.trace.letter == 'P') return s.npinf > 0;
  return g.dual_phase_now != 0 ? g.dual_phase_now == 1 : s.ndinf > 0;
}

char status_mark(int xstat) {
  switch (xstat) {
    case XSTAT_OPT: return '*';
    case XSTAT_INF: return 'I';
    case XSTAT_INFORUNB: return '?';
    case XSTAT_UNB: return 'U';
    case XSTAT_ITERLIM:
    case XSTAT_TIMELIM: return 'L';
    case XSTAT_SWITCH: return 'E';
    case XSTAT_CTRLC: return 'R';
    case XSTAT_CUTOFF: return 'C';
    default: return ' ';
  }
}

double elapsed(const Glp &g) { return g.model ? base::progress_elapsed(*g.model) : 0.0; }

void compact_line(Glp &g, char mark) {
  TraceState &t = g.trace;
  if (!t.header_done) {
    emit(g, "\n%12s %6s %18s %17s %17s %7s %12s %4s", "Iter", "Deg(%)", t.letter == 'D' ? "Dual obj" : "Prim obj",
         "Prim inf", "Dual inf", "Ninf", "Time", "Ph");
    t.header_done = true;
  }
  const Sums s = infeasibility_sums(g);
  std::string obj, pinf, dinf, time;
  put(obj, "%18.6e", model_objective(g));
  put(pinf, "%17.6e", s.pinf_sum);
  put(dinf, "%17.6e", s.dinf_sum);
  put(time, "%12.2f", elapsed(g));
  std::string line;
  put(line, "\n%12g %6.2f %s %s %s %7d %s %4s", g.iterations,
                 100.0 * static_cast<double>(g.stats.degenerate) / (g.iterations + 1), obj.c_str(), pinf.c_str(),
                 dinf.c_str(), t.letter == 'D' ? s.npinf : (s.npinf > 0 ? s.npinf : s.ndinf), time.c_str(),
                 in_phase1(g, s) ? "Ph1" : "Ph2");
  if (mark != ' ' && line.size() > 1) line[1] = mark;
  emit(g, "%s", line.c_str());
}

void detail_line(Glp &g) {
  TraceState &t = g.trace;
  if (t.detail_lines % kDetailHeaderEvery == 0) {
    if (t.letter == 'D')
      emit(g, "\n%c%6s %8s %8s %6s %6s %18s %14s %14s %6s %4s %16s", 'D', "#Fct", "#Iter", "#Pinf", "#Dinf", "#Degit",
           "TRUE-OBJ", "||Ax-b||", "||yA-c||", "#Tries", "Ph", "BHash");
    else
      emit(g, "\n%c%6s %8s %8s %6s %18s %14s %14s %16s", 'P', "#Fct", "#Iter", "#Pinf", "#Dinf", "TRUE-OBJ",
           "||Ax-b||", "||yA-c||", "BHash");
  }
  ++t.detail_lines;
  const Sums s = infeasibility_sums(g);
  double rp = 0, rd = 0;
  residual_norms(g, &rp, &rd);
  if (t.letter == 'D')
    emit(g, "\nD%6d %8.0f %8d %6d %6d %18.10e %14.6e %14.6e %6d %4d %16llx", g.factorizations, g.iterations, s.npinf,
         s.ndinf, static_cast<int>(g.stats.degenerate), model_objective(g), rp, rd, g.recovery.restores,
         in_phase1(g, s) ? 1 : 2, basis_hash(g));
  else
    emit(g, "\nP%6d %8.0f %8d %6d %18.10e %14.6e %14.6e %16llx", g.factorizations, g.iterations, s.npinf, s.ndinf,
         model_objective(g), rp, rd, basis_hash(g));
}

void sample_lengths(Glp &g) {
  RunStats &st = g.stats;
  const double col = g.work_col.count >= 0 ? g.work_col.count : g.m;
  const double row = static_cast<double>(g.alpha_list.size());
  const double inv = g.work_row.count >= 0 ? g.work_row.count : g.m;
  st.pivcol_len += col;
  st.pivrow_len += row;
  st.binvi_len += inv;
  st.samples += 1;
  st.fact_pivcol_len += col;
  st.fact_pivrow_len += row;
  st.fact_binvi_len += inv;
  st.fact_samples += 1;
}

}  // namespace

unsigned long long basis_hash(const Glp &g) {
  // FNV-1a with the header entries as its symbols: one multiply an entry (it
  // runs at every factorisation of bases with up to millions of rows)
  unsigned long long h = 1469598103934665603ull;
  for (int v : g.head) {
    h ^= static_cast<unsigned>(v);
    h *= 1099511628211ull;
  }
  return h;
}

TraceSettings trace_settings(int prtfg, int print_level, bool has_log) {
  TraceSettings t;
  t.prtfg = prtfg;
  t.print_level = print_level;
  // the compact log is the readable default of print level 2; detail bits ask for the other style
  t.compact = has_log && print_level >= 2 && ((prtfg & kTraceCompact) != 0 || (prtfg & kTraceDetail) == 0);
  t.detail = print_level >= 1 && (prtfg & kTraceDetail) != 0 && (prtfg & kTraceCompact) == 0;
  t.warnings = print_level >= 2;
  return t;
}

void trace_start(Glp &g, const RunControl &rc, bool primal, bool reentering) {
  g.trace.letter = primal ? 'P' : 'D';
  g.trace.last_iter = -1;
  if (!g.trace_cfg.detail || !g.model) return;
  int nfixbas = 0, shifts = 0, nint = 0;
  for (int p = 0; p < g.m; ++p) nfixbas += g.lower[g.head[p]] == g.upper[g.head[p]];
  for (double s : g.shift) shifts += s != 0.0;
  for (char t : g.model->data.vtype) nint += t == 'I' || t == 'B';
  const int lp = g.model->lp_solves;
  const int secs = static_cast<int>(elapsed(g));
  const char *what = reentering ? "Reentering" : "Entering";
  if (primal) {
    emit(g,
         "\n%s primal simplex. (LP=%d, m=%d, n=%d, nonz=%d, nint=%d, xstat=%d, time:%d, tlim:%g, ilim:%g, shifts=%d, "
         "nfixbas:%d, pertmode:%d)",
         what, lp, g.m, g.n, g.col_start[g.n], nint, g.xstat, secs, rc.time_limit, rc.iter_limit, shifts, nfixbas,
         rc.perturb ? 1 : 0);
    return;
  }
  emit(g,
       "\n%s dual simplex.  (LP=%d, m=%d, n=%d, nonz=%d, nint=%d, xstat = %d, time:%d, tlim:%g, ilim:%g, shifts=%d, "
       "nfixbas:%d)",
       what, lp, g.m, g.n, g.col_start[g.n], nint, g.xstat, secs, rc.time_limit, rc.iter_limit, shifts, nfixbas);
  emit(g, "\nTolerances: reps=%e, ceps=%e, pvteps=%e (%d), bigM=%e, mkweps=%e, scal:%d, lptool:%d, prtfg:%d", g.ptol,
       g.dtol, g.pivot_tol, g.pivot_tol_changes, rc.big_m, g.mkweps, g.scaled ? 1 : 0, 7, g.trace_cfg.prtfg);
  emit(g, "\nParameters: dprice=%d, dphase=%d, dratio=%d, dpswitch=%d, time:%d, tlim:%g, ilim:%g, pord:%d",
       rc.dual_pricing, rc.dual_phase, rc.dual_ratio, rc.dp_switch ? 1 : 0, secs, rc.time_limit, rc.iter_limit,
       rc.primal_partial);
  // spread of the coefficients before and after scaling, and of the factors
  const base::ModelData &d = g.model->data;
  double mn = kInf, mx = 0, sum = 0, smn = kInf, smx = 0, ssum = 0;
  long long cnt = 0;
  for (int j = 0; j < d.n; ++j)
    for (int k = d.start[j]; k < d.start[j] + d.length[j]; ++k) {
      const double a = std::fabs(d.value[k]);
      if (a == 0) continue;
      mn = std::min(mn, a);
      mx = std::max(mx, a);
      sum += a;
      ++cnt;
    }
  for (int k = 0; k < g.col_start[g.n]; ++k) {
    const double a = std::fabs(g.col_value[k]);
    smn = std::min(smn, a);
    smx = std::max(smx, a);
    ssum += a;
  }
  const double c = std::max<long long>(cnt, 1);
  double rmax = 0, cmax = 0, rlog = 0, clog = 0;
  for (double s : g.row_scale) {
    rmax = std::max(rmax, std::fabs(s));
    rlog += std::log(s);
  }
  for (double s : g.col_scale) {
    cmax = std::max(cmax, std::fabs(s));
    clog += std::log(s);
  }
  const int sc = g.scaled ? 1 : 0;
  emit(g, "\nScale:%d,  minoc=%e,  maxoc=%e,  avgoc=%e", sc, cnt ? mn : 0.0, mx, sum / c);
  emit(g, "\nScale:%d, sminoc=%e, smaxoc=%e, savgoc=%e", sc, cnt ? smn : 0.0, smx, ssum / c);
  emit(g, "\nScale:%d, |rscal|=%g, |cscal|=%g, oscal=%g", sc, rmax, cmax, 1.0);
  emit(g, "\nScale:%d, rsmean=%g, csmean=%g", sc, g.m ? std::exp(rlog / g.m) : 1.0, g.n ? std::exp(clog / g.n) : 1.0);
}

void trace_iteration(Glp &g, const RunControl &) {
  TraceState &t = g.trace;
  if (g.iterations > t.sampled_iter) {
    t.sampled_iter = g.iterations;
    sample_lengths(g);
  }
  if (!g.model) return;
  const TraceSettings &cfg = g.trace_cfg;
  if (cfg.compact) {
    const bool first = t.last_iter < 0;
    if (first || g.iterations - t.last_iter >= kLogEveryIters ||
        (g.iterations > t.last_iter && common::wall_seconds() - t.last_time >= kLogEverySeconds)) {
      compact_line(g, ' ');
      t.last_iter = g.iterations;
      t.last_time = common::wall_seconds();
    }
  } else if (cfg.on(kTraceIterations)) {
    if (t.last_iter < 0 || g.iterations - t.last_iter >= kDetailEveryIters) {
      detail_line(g);
      t.last_iter = g.iterations;
    }
  }
}

void trace_exit(Glp &g, const RunControl &) {
  if (!g.model) return;
  const TraceSettings &cfg = g.trace_cfg;
  if (cfg.compact) {
    compact_line(g, status_mark(g.xstat));
    g.trace.last_iter = g.iterations;
  }
  if (!cfg.detail) return;
  if (cfg.on(kTraceIterations)) detail_line(g);
  const char c = g.trace.letter;
  const int lp = g.model->lp_solves;
  switch (g.xstat) {
    case XSTAT_OPT:
      emit(g, "\n%c%6d %8.0f :*optimal value = %-16.8f, xstat:%d, LP:%d", c, g.factorizations, g.iterations,
           model_objective(g), g.xstat, lp);
      break;
    case XSTAT_UNB:
      emit(g, "\n%c%6d %8.0f : model is unbounded, pivj_xray:%d, xstat:%d, LP:%d", c, g.factorizations, g.iterations,
           g.xray_col, g.xstat, lp);
      break;
    case XSTAT_INF:
      emit(g, "\n%c%6d %8.0f : model is infeasible, pivi_xray:%d, xstat:%d, LP:%d", c, g.factorizations, g.iterations,
           g.xray_row, g.xstat, lp);
      break;
    case XSTAT_SWITCH:
      emit(g, "\n%c%6d %8.0f : switching to %s simplex, xstat:%d, LP:%d", c, g.factorizations, g.iterations,
           c == 'P' ? "dual" : "primal", g.xstat, lp);
      break;
    default:
      emit(g, "\n%c%6d %8.0f : model has not been solved, xstat:%d, LP:%d", c, g.factorizations, g.iterations, g.xstat,
           lp);
      break;
  }
  const Sums s = infeasibility_sums(g);
  bool perturbed = false;
  for (double v : g.shift) perturbed |= v != 0.0;
  emit(g, "\n%c%6d %8.0f : pinfmax = %.8e, pinfsum ? %.8e (%d), perturb: %d", c, g.factorizations, g.iterations,
       s.pinf_max, s.pinf_sum, s.npinf, perturbed ? 1 : 0);
  emit(g, "\n%c%6d %8.0f : dinfmax = %.8e, dinfsum ? %.8e (%d), perturb: %d", c, g.factorizations, g.iterations,
       s.dinf_max, s.dinf_sum, s.ndinf, perturbed ? 1 : 0);
  if (g.factored && g.m > 0 && g.lu.num_updates() == 0) {
    emit(g, "\n%c%6d %8.0f : cond4est_B = %e", c, g.factorizations, g.iterations, g.lu.cond4est());
    emit(g, "\n%c%6d %8.0f : cond2est_B = %e", c, g.factorizations, g.iterations, g.lu.cond2est());
  }
  const double rc1 = g.m > 0 && g.factored ? g.lu.rcond() : 1.0;
  emit(g, "\n%c%6d %8.0f : cond1est_B = %e", c, g.factorizations, g.iterations, rc1 > 0 ? 1.0 / rc1 : kInf);
  if (perturbed) emit(g, "\n%c%6d %8.0f : **WARNING: perturb is still on", c, g.factorizations, g.iterations);
}

void trace_statistics(Glp &g) {
  if (!g.model || g.trace_cfg.prtfg <= 0 || g.trace_cfg.print_level < 1) return;
  const RunStats &st = g.stats;
  const xlu::Stats &k = g.lu.stats();
  const double its = g.iterations;
  const double facts = std::max(1, g.factorizations);
  const double den = its + 0.001;
  // the last complete interval between factorisations, or the running one
  const bool done = st.last_samples > 0;
  const double fcol = done ? st.last_pivcol_len : st.fact_pivcol_len;
  const double frow = done ? st.last_pivrow_len : st.fact_pivrow_len;
  const double finv = done ? st.last_binvi_len : st.fact_binvi_len;
  const double fden = (done ? st.last_samples : st.fact_samples) + 0.001;
  const double mm1 = g.m > 1 ? static_cast<double>(g.m) * (g.m - 1) : 1.0;
  emit(g, "\niters/fact          = %8g", its / facts);
  emit(g, "\npivrow (s/d)        = %8d/%-8d", static_cast<int>(st.pivrow_sparse), static_cast<int>(st.pivrow_dense));
  emit(g, "\npivcol (s/d)        = %8d/%-8d", static_cast<int>(k.ftran_sparse), static_cast<int>(k.ftran_dense));
  emit(g, "\nbinvi  (s/d)        = %8d/%-8d", static_cast<int>(k.binvi_sparse), static_cast<int>(k.binvi_dense));
  emit(g, "\nblist  (s/d)        = %8d/%-8d", static_cast<int>(k.update_sparse), static_cast<int>(k.update_dense));
  emit(g, "\ncalls to nrdcdiff   = %8d (%.1f per factor)", static_cast<int>(st.reduced_cost_passes),
       st.reduced_cost_passes / facts);
  emit(g, "\ncalls to full-pricer= %8d (%.1f iters per full-price)", static_cast<int>(st.full_prices),
       its / (st.full_prices + 1));
  emit(g, "\npivcol.len (avr)    = %8.1f/%-8d", st.pivcol_len / den, g.m);
  emit(g, "\npcolal (last fact.) = %8.1f/%-8d (%4.2f)", fcol / fden, g.m,
       g.m ? fcol / fden / g.m : 0.0);
  emit(g, "\npivrow.len (avr)    = %8.1f/%-8d", st.pivrow_len / den, g.n + g.m);
  emit(g, "\nprowal (last fact.) = %8.1f/%-8d (%4.2f)", frow / fden, g.n + g.m,
       g.n + g.m ? frow / fden / (g.n + g.m) : 0.0);
  emit(g, "\nbinvi (avr)         = %8.1f/%-8d", st.binvi_len / den, g.m);
  emit(g, "\nbinvi-f (avr)       = %8.1f/%-8d", finv / fden, g.m);
  emit(g, "\nlnonz               = %8d (%4.2f)", static_cast<int>(g.lu.lnz()), g.lu.lnz() / mm1);
  emit(g, "\nunonz               = %8d (%4.2f)", static_cast<int>(g.lu.unz()), g.lu.unz() / mm1);
  emit(g, "\npnonz               = %8d (%4.2f)", static_cast<int>(g.lu.pnz()), g.lu.pnz() / mm1);
  emit(g, "\ncutoff flag1 count  = %8d (%4.2f)", static_cast<int>(st.cutoff_tests), st.cutoff_tests / den);
  emit(g, "\ncutoff flag2 count  = %8d (%4.2f)", static_cast<int>(st.cutoff_proofs), st.cutoff_proofs / den);
}

void trace_event(Glp &g, int bit, const char *format, ...) {
  if (!g.model || !g.trace_cfg.on(bit)) return;
  std::string text;
  va_list args;
  va_start(args, format);
  const bool ok = common::vformat(text, format, args);
  va_end(args);
  if (ok) emit(g, "\n%c%6d %8.0f :%s", g.trace.letter, g.factorizations, g.iterations, text.c_str());
}

namespace {
void log_if(Glp &g, bool wanted, const char *format, va_list args) {
  if (g.model && wanted) base::log_model_v(g.model, 1, format, args);
}
}  // namespace

void trace_note(Glp &g, const char *format, ...) {
  va_list args;
  va_start(args, format);
  log_if(g, g.trace_cfg.detail, format, args);
  va_end(args);
}

void trace_warning(Glp &g, const char *format, ...) {
  va_list args;
  va_start(args, format);
  log_if(g, g.trace_cfg.warnings, format, args);
  va_end(args);
}

}  // namespace tarvo::simplex
