// Dual simplex: dual steepest-edge (or Devex/Dantzig) row choice, bound-flipping
// ratio test with Harris tolerances preferring large pivots, artificial boxes
// (phase 1) and cost shifting for dual feasibility, and a cost perturbation
// once the run is degenerate or stalls; shifts and perturbation are removed
// before optimality is declared (the primal simplex cleans up).
#include <algorithm>
#include <cmath>

#include "simplex/costly_edge_watch.hpp"
#include "simplex/dual_phase.hpp"
#include "simplex/dual_ratio_walk.hpp"
#include "simplex/glp.hpp"
#include "simplex/leaving_rows.hpp"
#include "simplex/stall_watch.hpp"
#include "simplex/verdict_check.hpp"

namespace tarvo::simplex {
namespace {

bool boxed(const Glp &g, int j) { return g.lower[j] > -kInf && g.upper[j] < kInf; }

// Flips boxed variables with the wrong reduced-cost sign and shifts the costs
// of the others; returns true when a flip changed x.
bool make_dual_feasible(Glp &g, bool allow_shift) {
  bool flipped = false;
  for (int j = 0; j < g.n + g.m; ++j) {
    // the common case, decided without branching on the state
    if (!(dual_violation(g, j) > g.dtol)) continue;
    signed char st = g.state[j];
    double dj = g.d[j];
    if (st == kAtLower && dj < -g.dtol) {
      if (boxed(g, j)) {
        g.state[j] = kAtUpper;
        place_nonbasic(g, j);
        flipped = true;
      } else if (allow_shift) {
        double delta = -dj + g.dtol;
        g.shift[j] += delta;
        g.d[j] += delta;
      }
    } else if (st == kAtUpper && dj > g.dtol) {
      if (boxed(g, j)) {
        g.state[j] = kAtLower;
        place_nonbasic(g, j);
        flipped = true;
      } else if (allow_shift) {
        double delta = -dj - g.dtol;
        g.shift[j] += delta;
        g.d[j] += delta;
      }
    } else if (st == kFreeZero && std::fabs(dj) > g.dtol && allow_shift) {
      g.shift[j] -= dj;
      g.d[j] = 0.0;
    }
  }
  return flipped;
}

// Random cost perturbation, relative to each cost, pushing every reduced cost
// further into its feasible sign. factor: TV_DPARAM_LP_PERTFACT (0: sized by
// the largest cost); seed 0: the fixed sequence.
void perturb_costs(Glp &g, double factor, std::uint32_t seed) {
  double cmax = 0;
  for (int j = 0; j < g.n; ++j) cmax = std::max(cmax, std::fabs(g.cost[j]));
  const double base = factor > 0 ? factor : 5e-7 * std::max(1.0, std::min(cmax, 1e3));
  if (seed == 0) seed = 12345u;
  for (int j = 0; j < g.n; ++j) {
    if (g.lower[j] == g.upper[j]) continue;
    seed = seed * 1664525u + 1013904223u;
    double xi = 0.5 + 0.5 * (seed >> 8) / 16777216.0;
    double p = base * xi * (1.0 + std::fabs(g.cost[j]));
    signed char st = g.state[j];
    if (st == kAtUpper || (st == kBasic && g.upper[j] < kInf && g.lower[j] <= -kInf))
      g.shift[j] -= p;
    else if (st != kFreeZero && !(g.lower[j] <= -kInf && g.upper[j] >= kInf))
      g.shift[j] += p;
  }
}

// Four partial sums: one chain of additions over n + m terms was a visible
// share of the iteration on large models (it is sampled every 50 pivots).
double shifted_objective(const Glp &g) {
  const int nt = g.n + g.m;
  const double *c = g.cost.data(), *s = g.shift.data(), *x = g.x.data();
  double part[4] = {0.0, 0.0, 0.0, 0.0};
  int j = 0;
  for (; j + 4 <= nt; j += 4)
    for (int l = 0; l < 4; ++l) part[l] += (c[j + l] + s[j + l]) * x[j + l];
  for (; j < nt; ++j) part[0] += (c[j] + s[j]) * x[j];
  return (part[0] + part[1]) + (part[2] + part[3]);
}

bool has_shifts(const Glp &g) {
  for (double s : g.shift)
    if (s != 0.0) return true;
  return false;
}

// The progress of a freshly factorised basis, for the best-basis record: the
// dual objective rises in both phases (on the boxed problem in phase 1).
// Called right after make_dual_feasible with shifts allowed: no dual
// infeasibility is left to count.
void note_dual_progress(Glp &g, const DualPhase &ph) {
  if (progress_due(g)) note_progress(g, ph.boxes_on() ? kDualPhase1 : kDualPhase2, -shifted_objective(g), 0);
}

constexpr int kCutoffTestEvery = 10;  // pivots between O(n) cutoff tests

// The perturbed dual objective passed the cutoff. The true costs and bounds
// give a valid bound only from a basis that is dual feasible for them: take
// the shifts off, and when the reduced costs have the signs the true bounds
// need (artificial boxes of a single-phase run do not count), the dual
// objective sum d_j x_j over the nonbasic variables bounds the LP from below.
// Otherwise the shifts go back and the run goes on.
bool cutoff_proven(Glp &g, const RunControl &rc) {
  ++g.stats.cutoff_tests;
  std::vector<double> saved;
  const bool shifted = has_shifts(g);
  if (shifted) {
    saved = g.shift;
    std::fill(g.shift.begin(), g.shift.end(), 0.0);
    compute_dual(g);
  }
  bool feasible = true;
  double bound = 0;
  for (int j = 0; j < g.n + g.m && feasible; ++j) {
    const signed char st = g.state[j];
    if (st == kBasic) continue;
    const double lo = rc.true_lower ? (*rc.true_lower)[j] : g.lower[j];
    const double up = rc.true_upper ? (*rc.true_upper)[j] : g.upper[j];
    const double d = g.d[j];
    if (lo == up) {
      bound += d * g.x[j];
      continue;
    }
    if ((d < -g.dtol && up >= kInf) || (d > g.dtol && lo <= -kInf)) feasible = false;
    if (std::fabs(d) <= g.dtol && ((st == kAtLower && lo <= -kInf) || (st == kAtUpper && up >= kInf))) continue;
    if ((st == kAtLower && d < -g.dtol) || (st == kAtUpper && d > g.dtol) || (st == kFreeZero && std::fabs(d) > g.dtol))
      feasible = false;
    bound += d * g.x[j];
  }
  if (feasible && bound > rc.cutoff) {
    ++g.stats.cutoff_proofs;
    return true;
  }
  if (shifted) {
    g.shift = std::move(saved);
    compute_dual(g);
  }
  return false;
}

constexpr double kTinyViolation = 1e-6;  // relative violation a dual ray must exceed
// Boxes when the solver decides: measured on netlib, boxes of 1e15 cost 0.7 %
// more iterations (pilot 11 %, etamacro 21 %) and put values near 1e15 into
// the basics, where they wipe out the digits of everything else.
constexpr double kDefaultBox = 1e6;
constexpr int kIdleLimit = 60;           // loop passes without a pivot
// A window of pivots half of them degenerate starts the perturbation (netlib:
// windows of 30 pivots cost 4 % fewer iterations than windows of m/10).
constexpr double kDegenerateShare = 0.5;
constexpr double kDegenerateWindow = 30;

// Fixed columns never enter. The ratio test asks for every pivot-row entry of
// the right sign: one byte per column answers it from cache, where the two
// bounds are two misses on a large model.
struct FixedColumns {
  std::vector<char> fixed;
  int seen = -1;  // DualPhase::bound_changes() the flags were taken at

  void sync(const Glp &g, int bound_changes) {
    if (bound_changes == seen) return;
    seen = bound_changes;
    const std::size_t nt = g.lower.size();
    fixed.resize(nt);
    for (std::size_t j = 0; j < nt; ++j) fixed[j] = g.lower[j] == g.upper[j];
  }
};

// The breakpoints of the leaving row (sgn: the direction the row's dual moves):
// the nonbasic columns whose reduced cost the step drives towards zero. Kept
// apart from the main loop so that its pointers stay in registers: the loop
// runs over every entry of every pivot row.
//
// Whether an entry is a breakpoint is a coin toss per entry on long rows, so
// the first pass decides it without a branch: t is the entry seen from the
// column's side (-a at its lower bound, a at its upper, |a| when free, 0 when
// it cannot move), dm the reduced cost seen the same way, and every entry is
// written while only a breakpoint advances the output. The ratios follow over
// the breakpoints alone, one division each.
void collect_breakpoints(const Glp &g, const FixedColumns &fc, double sgn, bool harris,
                         std::vector<Candidate> &cands) {
  const std::size_t len = g.alpha_list.size();
  if (cands.size() < len) cands.resize(len);
  const int *list = g.alpha_list.data();
  const double *alpha = g.alpha_vals.data();
  const signed char *state = g.state.data();
  const char *fixed = fc.fixed.data();
  const double *d = g.d.data();
  const double ptol = g.pivot_tol, dtol = g.dtol;
  // by state: basic, at lower, at upper, free (the reduced cost is seen with
  // the opposite sign)
  static constexpr double kSide[4] = {0.0, -1.0, 1.0, 0.0};
  Candidate *out = cands.data();
  std::size_t n = 0;
  for (std::size_t k = 0; k < len; ++k) {
    const int j = list[k];
    const double a = sgn * alpha[k];
    const int st = state[j] & 3;
    const double t = st == kFreeZero ? std::fabs(a) : kSide[st] * a;
    Candidate &c = out[n];  // the ratio is set below, for breakpoints only
    c.j = j;
    c.exact = -(kSide[st] * d[j]);
    c.absval = t;
    n += (t > ptol) & !fixed[j];
  }
  for (std::size_t k = 0; k < n; ++k) {
    Candidate &c = out[k];
    if (state[c.j] == kFreeZero) {
      c.ratio = harris ? dtol / c.absval : 0.0;
      c.exact = 0.0;
      continue;
    }
    const double inv = 1.0 / c.absval;
    const double dm = c.exact;
    c.exact = std::max(dm, 0.0) * inv;
    c.ratio = harris ? (dm + dtol) * inv : c.exact;
  }
  cands.resize(n);
}

// A tiny pivot chosen by the walk gives way to a later candidate (in exact
// ratio order, among the next few) with a pivot above `big`, provided the
// candidates passed over end at most the optimality tolerance beyond zero.
int prefer_larger_pivot(Glp &g, int q, const std::vector<Candidate> &cands, const std::vector<int> &flips,
                        double big) {
  std::vector<Candidate> rest;
  double rq = 0;
  for (const Candidate &c : cands) {
    if (std::find(flips.begin(), flips.end(), c.j) != flips.end()) continue;
    if (c.j == q) rq = c.exact;
    rest.push_back(c);
  }
  std::sort(rest.begin(), rest.end(), [](const Candidate &a, const Candidate &b) { return a.exact < b.exact; });
  constexpr int kLookAhead = 10;
  int seen = 0;
  for (std::size_t t = 0; t < rest.size() && seen < kLookAhead; ++t) {
    const Candidate &c = rest[t];
    if (c.exact < rq || c.j == q) continue;
    ++seen;
    if (c.absval <= big) continue;
    // every candidate before it in ratio order is passed over
    bool within = true;
    for (std::size_t u = 0; u < t && within; ++u) within = (c.exact - rest[u].exact) * rest[u].absval <= g.dtol;
    if (!within) return q;
    trace_event(g, kTracePricing, " dual ratio found new pivj=%d, pivcoe_d=%e (%e), mrat=%e (%e)", c.j, c.absval,
                std::fabs(g.alpha_row[q]), c.exact, rq);
    return c.j;
  }
  return q;
}

// The dual simplex proper, from whatever dual state the basis has: infinite
// bounds that block dual feasibility get boxes (phase 1), boxed variables are
// flipped and what is left is shifted away.
int dual_run(Glp &g, const RunControl &rc_in, DualPhase &ph) {
  RunControl rc = rc_in;
  const int m = g.m, n = g.n;
  if (static_cast<int>(g.weight.size()) != m) {
    g.weight.assign(m, 1.0);
    g.weights_exact = false;
  }
  int code = 0;
  if (!g.factored || g.wfact != WFACT_NO) {
    if ((code = refactor(g))) return code == 2 ? kRunNoMemory : kRunNumerical;
  }
  // Devex keeps reference weights of its own; steepest edge needs the true norms
  const bool framework = rc.dual_pricing == 3 && rc.devex_framework;
  if (framework) {
    if (g.weights_exact || g.devex_ref.size() != static_cast<std::size_t>(n + m)) reset_devex_framework(g);
  } else if (rc.dual_pricing != 1) {
    g.weights_exact = false;
  } else if (!g.weights_exact) {
    compute_dse_weights(g);
  }
  compute_dual(g);
  int perturbations = 0;
  if (rc.perturb && g.iterations == 0 && !has_shifts(g)) {
    if (g.trace_cfg.on(kTracePerturbation)) base::log_model(g.model, 1, "\nDual pre-perturbation...");
    perturb_costs(g, rc.pert_factor, rc.perturb_seed);
    compute_dual(g);
    ++perturbations;
  }
  ph.start(g);
  make_dual_feasible(g, true);
  compute_primal(g);
  note_dual_progress(g, ph);

  std::vector<Candidate> cands;
  FixedColumns fixed_cols;
  std::vector<int> flips;
  WalkScratch walk_scratch;
  std::vector<double> flip_delta;
  std::vector<char> skip_row(m, 0);  // rows left out of the pricing for this run
  int row_rejects = 0;
  int cleanup_rounds = 0;
  int no_candidate_checks = 0;
  StallWatch stall(g);
  // Degeneracy watch: a window of pivots mostly without dual progress starts
  // the perturbation when the run began unperturbed.
  const double deg_window = kDegenerateWindow;
  double deg_mark = g.iterations;
  std::int64_t deg_count_mark = g.stats.degenerate;
  int badnum = 0;
  auto perturb_now = [&]() {
    perturb_costs(g, rc.pert_factor, rc.perturb_seed);
    ++perturbations;
    compute_dual(g);
    make_dual_feasible(g, true);
    compute_primal(g);
  };
  CostlyEdgeWatch edge_watch(m, n);
  int devex_bad = 0;  // worn weights seen since the framework was reset
  LeavingRows rows;
  bool rows_fresh = false;  // rows matches x
  // after x and d were recomputed: the phase and the dual feasibility follow them
  auto settle_fresh_values = [&]() {
    bool moved = ph.after_refactor(g);
    moved |= make_dual_feasible(g, true);
    if (moved) compute_primal(g);
    rows_fresh = false;
    note_dual_progress(g, ph);
  };
  int checked_updates = 0;  // update count at which the values were last recomputed
  int idle = 0;
  double next_cutoff_test = 0;

  for (;;) {
    if (g.wfact != WFACT_NO || !g.factored) {
      // basics carried by updates since the last factorisation can be checked
      const bool carried = g.wfact == WFACT_LUSPACE || g.wfact == WFACT_CHKOPT || g.wfact == WFACT_CHKUNB;
      if ((code = refactor(g))) return code == 2 ? kRunNoMemory : kRunNumerical;
      if (carried)
        compute_primal_checked(g);
      else
        compute_primal(g);
      compute_dual(g);
      settle_fresh_values();
      checked_updates = 0;
    }
    int lim = check_limits(g, rc);
    if (lim != XSTAT_CONT) {
      g.xstat = lim;
      return lim == XSTAT_CTRLC ? kRunInterrupt : kRunOk;
    }
    // Bounded work: passes without a pivot, pivots beyond the budget and a dual
    // objective that stopped rising each change something or hand over.
    if (++idle > kIdleLimit || g.iterations > pivot_budget(g)) {
      g.xstat = XSTAT_SWITCH;
      return kRunOk;
    }
    // the (shifted) dual objective never falls in the dual simplex
    const StallWatch::Verdict sv = stall.due(g.iterations) ? stall.observe(g.iterations, shifted_objective(g))
                                                           : StallWatch::kGoOn;
    switch (sv) {
      case StallWatch::kPerturb:
        if (g.trace_cfg.on(kTracePerturbation))
          base::log_model(g.model, 1, "\n%s dual perturbation due to stalling... (nnoimp=%d,nworse=%d,badnum=%d)",
                          perturbations > 0 ? "Restarting" : "Starting", stall.idle_iterations(), stall.worse(),
                          badnum);
        perturb_now();
        rows_fresh = false;
        continue;
      case StallWatch::kGiveUp:
        g.xstat = XSTAT_SWITCH;
        return kRunOk;
      default: break;
    }
    if (g.iterations - deg_mark >= deg_window) {
      const std::int64_t deg = g.stats.degenerate - deg_count_mark;
      if (rc.perturb_when_degenerate && perturbations == 0 && deg > kDegenerateShare * deg_window) {
        if (g.trace_cfg.on(kTracePerturbation))
          base::log_model(g.model, 1, "\nStarting dual perturbation due to degeneracy... (toldeg-olddeg=%d, iter-olditer=%g)",
                          static_cast<int>(deg), g.iterations - deg_mark);
        perturb_now();
        rows_fresh = false;
      }
      deg_mark = g.iterations;
      deg_count_mark = g.stats.degenerate;
    }
    if (rc.use_cutoff && g.iterations >= next_cutoff_test) {
      next_cutoff_test = g.iterations + kCutoffTestEvery;
      if (shifted_objective(g) > rc.cutoff) {
        rc.true_lower = ph.true_lower();
        rc.true_upper = ph.true_upper();
        if (cutoff_proven(g, rc)) {
          g.xstat = XSTAT_CUTOFF;
          return kRunOk;
        }
        next_cutoff_test = g.iterations + 5 * kCutoffTestEvery;
      }
    }
    if (!rows_fresh) {
      rows.rebuild(g);
      rows_fresh = true;
    }
    const int r = rc.dual_pricing == 0 && rc.dual_partial > 0 ? rows.choose_partial(g, skip_row, rc.dual_partial)
                                                               : rows.choose(g, skip_row, rc.dual_pricing != 0);
    if (r < 0) {
      if (g.lu.num_updates() > 0 && g.lu.num_updates() != checked_updates) {
        // Optimal on carried values. In a re-solve, values recomputed from the
        // updated factors settle the verdict; only when they disagree is a new
        // factorisation worth its cost (a node re-solve of a few pivots would
        // refactor every time).
        if (rc.warm) {
          checked_updates = g.lu.num_updates();
          if (updated_values_agree(g)) {
            settle_fresh_values();
            continue;
          }
        }
        g.wfact = WFACT_CHKOPT;
        continue;
      }
      if (ph.boxes_on()) {
        // widened bounds leave the rows feasible; moved variables need new basics
        rows_fresh = false;
        if (ph.finish(g)) {
          compute_primal(g);
          continue;
        }
      }
      // rows left out with a violation the ray could not prove: the primal
      // simplex settles them from this basis
      if (row_rejects > 0 && primal_infeasibility(g, nullptr) > g.ptol) {
        g.xstat = XSTAT_SWITCH;
        return kRunOk;
      }
      if (has_shifts(g)) {
        std::fill(g.shift.begin(), g.shift.end(), 0.0);
        compute_dual(g);
        int nd = 0;
        dual_infeasibility(g, &nd);
        if (nd == 0) {
          g.xstat = rc.use_cutoff && objective_value(g) > rc.cutoff ? XSTAT_CUTOFF : XSTAT_OPT;
          return kRunOk;
        }
        bool only_boxed = true;
        for (int j = 0; j < n + m && only_boxed; ++j) {
          signed char st = g.state[j];
          if (st == kBasic || boxed(g, j)) continue;
          if ((st == kAtLower && g.d[j] < -g.dtol) || (st == kAtUpper && g.d[j] > g.dtol) ||
              (st == kFreeZero && std::fabs(g.d[j]) > g.dtol))
            only_boxed = false;
        }
        if (only_boxed && ++cleanup_rounds <= 3) {
          make_dual_feasible(g, false);
          compute_primal(g);
          rows_fresh = false;
          continue;
        }
        g.xstat = XSTAT_SWITCH;  // the primal simplex finishes from this basis
        return kRunOk;
      }
      g.xstat = rc.use_cutoff && objective_value(g) > rc.cutoff ? XSTAT_CUTOFF : XSTAT_OPT;
      return kRunOk;
    }
    const int leave = g.head[r];
    const bool to_lower = g.x[leave] < g.lower[leave];
    const double target = to_lower ? g.lower[leave] : g.upper[leave];
    const double sgn = to_lower ? 1.0 : -1.0;
    g.lu.row_of_inverse(r, g.work_row);
    compute_pivot_row(g, g.work_row);

    // bound-flipping ratio test: d_j + t * sgn * alpha_j must keep its sign
    // (TV_IPARAM_LP_DRATIO: 0 textbook, 2 Harris, both without flips; 1 and 3
    // flip boxed columns, 1 also looks past a tiny pivot)
    const bool harris = rc.dual_ratio != 0;
    fixed_cols.sync(g, ph.bound_changes());
    collect_breakpoints(g, fixed_cols, sgn, harris, cands);
    double slope = std::fabs(g.x[leave] - target);
    const bool flipping = rc.bound_flips && (rc.dual_ratio == 1 || rc.dual_ratio == 3);
    int q = bound_flipping_walk(cands, slope, flipping ? g.lower.data() : nullptr, g.upper.data(), g.ptol, flips,
                                walk_scratch);
    if (q >= 0 && rc.dual_ratio == 1 && std::fabs(g.alpha_row[q]) <= 0.1 * rc.piv_bigtol)
      q = prefer_larger_pivot(g, q, cands, flips, 0.1 * rc.piv_bigtol);
    if (q < 0) {
      if (g.lu.num_updates() > 0 && no_candidate_checks < 3) {
        ++no_candidate_checks;
        g.wfact = WFACT_CHKUNB;
        continue;
      }
      if (!ph.ray_holds(g, leave, to_lower, sgn)) {
        // only an artificial box stops the row: cost shifting takes over
        ph.give_up(g);
        compute_primal(g);
        rows_fresh = false;
        continue;
      }
      // dual ray: the row cannot be made feasible; row r of B^-1 is the certificate
      g.ray.assign(m, 0.0);
      for_each_position(g.work_row, m, [&](int i) { g.ray[i] = g.work_row.array[i]; });
      // A small violation is no proof by itself: unless the ray holds on the
      // unscaled model leave the row out and let the solution check judge.
      if (std::fabs(g.x[leave] - target) <= kTinyViolation * (1.0 + std::fabs(target)) &&
          row_rejects < std::max(10, m / 100) &&
          !(g.unscaled && farkas_certifies(g, *g.unscaled, g.ray, rc.feastol))) {
        skip_row[r] = 1;
        ++row_rejects;
        continue;
      }
      g.xstat = XSTAT_INF;
      return kRunOk;
    }
    no_candidate_checks = 0;
    // apply bound flips to x
    const xlu::Vector &dx = g.work_flip;
    const auto apply_flips = [&]() {
      for_each_position(dx, m, [&](int p) {
        double &xv = g.x[g.head[p]];
        xv += dx.array[p];
        rows.touch(p, xv);
      });
    };
    // The change waits for the primal update, which takes both in one pass
    // over all positions when that visits fewer than two passes would (each
    // basic still gets the flips' change first, then the step's).
    bool flips_pending = false;
    if (!flips.empty()) {
      flip_delta.clear();
      for (int j : flips) {
        double old = g.x[j];
        g.state[j] = g.state[j] == kAtLower ? kAtUpper : kAtLower;
        place_nonbasic(g, j);
        flip_delta.push_back(g.x[j] - old);
      }
      load_moves(g, flips, flip_delta, g.work_flip);
      flips_pending = true;
    }
    load_column(g, q, g.work_col);
    // Steepest edge: w_r = ||rho||^2, and tau = B^-1 rho for the other rows the
    // pivot column reaches (a column with no other nonzero needs no tau). When
    // both solves are dense they share one pass over the factors, which takes
    // the flips' column as well when that is dense too.
    const bool dse = rc.dual_pricing == 1;
    xlu::Vector &tau = g.work_tau;
    const auto rho_norm2 = [&](bool load_tau) {
      const xlu::Vector &rho = g.work_row;
      if (load_tau) tau.clear();
      double sum[2] = {0.0, 0.0};  // two chains: the adds need not wait on each other
      int c = 0;
      for_each_position(rho, m, [&](int i) {
        const double v = rho.array[i];
        sum[i & 1] += v * v;
        if (!load_tau || v == 0.0) return;
        tau.array[i] = v;
        tau.index[c++] = i;
      });
      if (load_tau) tau.count = c;
      return sum[0] + sum[1];
    };
    const bool tripled =
        dse && flips_pending && g.lu.triple_shares_pass(g.work_col.count, g.work_row.count, g.work_flip.count);
    if (flips_pending && !tripled) g.lu.ftran_flips(g.work_flip);
    const bool paired = tripled || (dse && g.lu.pair_shares_pass(g.work_col.count, g.work_row.count));
    double wr = g.weight[r];
    // Devex: the framework weight of row r comes exact from the pivot row; a
    // stored weight far above it, three times since the last reset, means the
    // framework has worn out (resetting on the first such weight measured 6%
    // more pivots over netlib with Devex, 16% on dfl001)
    const bool devex = rc.dual_pricing == 3 && rc.devex_framework;
    bool devex_worn = false;
    if (devex) {
      const double exact = devex_reference_weight(g, leave);
      if (wr > 3.0 * exact) devex_worn = ++devex_bad >= 3;
      wr = exact;
    }
    bool have_tau = false;
    if (paired) {
      wr = rho_norm2(true);
      if (tripled)
        g.lu.ftran_triple(g.work_col, tau, g.work_flip);
      else
        g.lu.ftran_pair(g.work_col, tau);
      have_tau = true;
    } else {
      g.lu.ftran(g.work_col, true);
    }
    const xlu::Vector &col = g.work_col;
    double arq = col.array[r];
    double arow = g.alpha_row[q];
    bool numerr = std::fabs(arq) < 1e-11 || std::fabs(arq - arow) > 1e-6 * (1.0 + std::fabs(arq));
    if (flips_pending && (numerr || g.numerical_fault)) {
      apply_flips();
      flips_pending = false;
    }
    if (numerr || (g.numerical_fault && g.numerical_fault(g))) {
      if (have_tau) tau.clear();
      g.wfact = WFACT_NUMERR;
      g.factored = false;
      ++badnum;
      tighten_pivot_tolerance(g);
      if (g.lu.num_updates() == 0) {
        g.xstat = XSTAT_SWITCH;
        return kRunOk;
      }
      continue;
    }
    if (dse && !paired) {
      bool others = false;
      for_each_position(col, m, [&](int i) { others = others || (i != r && col.array[i] != 0.0); });
      wr = rho_norm2(others);
      if (others) {
        g.lu.ftran(tau, false);
        have_tau = true;
      }
    }
    const auto density = [m](const xlu::Vector &v) { return v.count < 0 ? 1.0 : static_cast<double>(v.count) / m; };
    const bool to_devex =
        dse && rc.devex_when_costly &&
        edge_watch.costly(g.iterations, have_tau ? density(tau) : 0.0, density(col),
                          static_cast<double>(g.lu.fresh_nnz()) / static_cast<double>(g.col_value.size()));
    // A reduced cost of the wrong sign (inside the Harris tolerance) would move
    // the dual objective backwards, the seed of cycling: shift the cost so the
    // step is degenerate instead.
    {
      const double dq = g.d[q];
      const signed char st = g.state[q];
      if ((st == kAtLower && dq < 0) || (st == kAtUpper && dq > 0) || st == kFreeZero) {
        g.shift[q] -= dq;
        g.d[q] = 0.0;
      }
    }
    // dual update
    double td = g.d[q] / arow;
    subtract_along_row(g, td);
    g.d[q] = 0.0;
    g.d[leave] = -td;
    // primal update and pricing weights in one pass over the (often dense)
    // pivot column
    const double tp = ((flips_pending ? g.x[leave] + dx.array[r] : g.x[leave]) - target) / arq;
    const bool weighted = rc.dual_pricing != 0;
    if (flips_pending && col.count >= 0 && dx.count >= 0 && dx.count + col.count <= m) {
      apply_flips();
      flips_pending = false;
    }
    // over all positions with pending flips, else over the column's
    const bool all = flips_pending || col.count < 0;
    const int npos = all ? m : col.count;
    for (int k = 0; k < npos; ++k) {
      const int i = all ? k : col.index[k];
      const double a = col.array[i];
      const double f = flips_pending ? dx.array[i] : 0.0;
      if (a == 0.0 && f == 0.0) continue;
      double &xv = g.x[g.head[i]];
      if (f != 0.0) xv += f;
      if (a != 0.0) xv -= tp * a;
      rows.touch(i, xv);
      if (a == 0.0 || !weighted || i == r) continue;
      const double ratio = a / arq;
      double w = g.weight[i];
      if (dse)
        w = w + ratio * (ratio * wr - 2.0 * tau.array[i]);
      else
        w = std::max(w, ratio * ratio * wr);
      g.weight[i] = std::max(w, 1e-4);
    }
    g.x[q] += tp;
    if (weighted) {
      g.weight[r] = std::max(wr / (arq * arq), devex ? 1.0 : 1e-4);
      if (have_tau) g.work_tau.clear();
    }
    // basis change
    int bu = bupdate(g, r);
    if (bu == 2) return kRunNoMemory;
    if (td == 0.0) ++g.stats.degenerate;
    pivot_basis(g, r, q, to_lower ? kAtLower : kAtUpper, arq);
    rows.reseat(g, r);
    g.iterations += 1;
    if (devex_worn || to_devex) {
      if (to_devex) {
        rc.dual_pricing = 3;
        trace_event(g, kTracePricing, " dual pricing turns to Devex at iteration %.0f: tau fills %.0f%% of the rows, the column %.0f%%",
                    g.iterations, 100.0 * edge_watch.tau_density(), 100.0 * edge_watch.col_density());
      } else {
        trace_event(g, kTracePricing, " dual Devex framework reset at iteration %.0f", g.iterations);
      }
      reset_devex_framework(g);
      devex_bad = 0;
      rows_fresh = false;  // every score changed
    }
    idle = 0;
    if (ph.boxes_on()) {
      bool phase_change = ph.moved(g, q);
      for (int j : flips) phase_change = phase_change || ph.moved(g, j);
      if (phase_change) {
        compute_primal(g);
        rows_fresh = false;
      }
    }
  }
}

}  // namespace

// Phase handling around the run (dual_phase.hpp).
int dual_simplex(Glp &g, const RunControl &rc) {
  const double box = rc.dual_phase == 0 || rc.dual_phase == 3 ? std::min(rc.bound_inf, kDefaultBox) : rc.bound_inf;
  DualPhase phase(rc.dual_phase, box);
  const int code = dual_run(g, rc, phase);
  g.dual_phase_now = 0;
  if (phase.boxes_on()) {
    // a stop inside phase 1: the basis stays, the boxes go
    phase.release(g);
    if (g.factored && g.wfact == WFACT_NO) compute_primal(g);
    if (code == kRunOk && g.xstat == XSTAT_OPT) g.xstat = XSTAT_SWITCH;
  }
  return code;
}

}  // namespace tarvo::simplex


