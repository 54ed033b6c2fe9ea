// Probing on binaries: each binary is set to 0 and to 1 in turn and the
// bounds this implies are propagated from row to row.
// A side that leaves some row unsatisfiable fixes the binary the other way;
// a bound implied by both sides holds for the problem. Rows of binaries
// that admit at most one at 1 are collected as cliques on the way.
#include <algorithm>
#include <cmath>

#include "presolve/work_problem.hpp"

namespace tarvo::presolve {
namespace {

constexpr long kProbeShare = 200000;   // rows and row entries one probe may read
constexpr long kProbeWork = 100000000;  // the same for all probes together

bool binary(const WorkProblem &w, int j) { return w.is_int(j) && w.lower[j] == 0 && w.upper[j] == 1; }

// Bounds of one probe over the problem's own: entries stamped with the
// probe's number override w's bounds, so a new probe starts in O(1).
struct Bounds {
  std::vector<double> lo, hi;
  std::vector<unsigned> stamp;
  std::vector<int> touched;
  unsigned now = 0;
  explicit Bounds(int n) : lo(n), hi(n), stamp(n, 0) {}
  void clear() { ++now, touched.clear(); }
  bool has(int k) const { return stamp[k] == now; }
  void set(int k, double l, double u) {
    if (!has(k)) stamp[k] = now, touched.push_back(k);
    lo[k] = l, hi[k] = u;
  }
};

double lower_in(const WorkProblem &w, const Bounds &b, int k) { return b.has(k) ? b.lo[k] : w.lower[k]; }
double upper_in(const WorkProblem &w, const Bounds &b, int k) { return b.has(k) ? b.hi[k] : w.upper[k]; }

// Whether an activity range leaves row i unsatisfiable.
bool row_violated(const WorkProblem &w, int i, const Activity &act, double shift) {
  const double rl = w.row_lower[i], ru = w.row_upper[i];
  const double lo = act.lowest() + shift, hi = act.highest() + shift;
  return (ru < kInf && lo > ru + 1e-6 * std::fmax(1.0, std::fabs(ru))) ||
         (rl > -kInf && hi < rl - 1e-6 * std::fmax(1.0, std::fabs(rl)));
}

// Row activities under one probe's bounds, kept current as bounds change
// (each change updates the rows of its column), and the queue of rows to
// look at again. A row is read in full only when its slack has fallen below
// the widest contribution range it had, since only then can it imply a bound.
struct ProbeRows {
  std::vector<Activity> act;
  std::vector<unsigned> stamp, queued;
  std::vector<double> widest;  // largest |a| (u - l) of the row under w's bounds; -1 unknown
  std::vector<int> queue;
  unsigned now = 0;
  explicit ProbeRows(int m) : act(m), stamp(m, 0), queued(m, 0), widest(m, -1) {}
  void clear() { ++now, queue.clear(); }
};

double widest_range(const WorkProblem &w, ProbeRows *pr, int i) {
  if (pr->widest[i] >= 0) return pr->widest[i];
  double r = 0;
  for (const Entry &e : w.rows[i]) {
    if (!w.col_alive[e.index]) continue;
    const double span = w.upper[e.index] - w.lower[e.index];
    r = std::fmax(r, std::fabs(span) >= kInf ? kInf : std::fabs(e.value) * span);
  }
  return pr->widest[i] = r;
}

// Sets column k's probe bounds, updating its rows' activities and queueing them.
// The row being read (`reading`) is not queued again: its scan sees the change.
void set_bounds(const WorkProblem &w, RowActivities &acts, ProbeRows *pr, Bounds *b, int k, double l, double u,
                long *work, int reading = -1) {
  *work += static_cast<long>(w.cols[k].size());
  const double ol = lower_in(w, *b, k), ou = upper_in(w, *b, k);
  b->set(k, l, u);
  for (const Entry &e : w.cols[k]) {
    const int i = e.index;
    Activity &a = pr->act[i];
    if (pr->stamp[i] != pr->now) a = acts.of(i), pr->stamp[i] = pr->now;
    RowActivities::without(&a, e.value, ol, ou);
    double lo, hi;
    bool lo_inf, hi_inf;
    RowActivities::contribution(e.value, l, u, &lo, &lo_inf, &hi, &hi_inf);
    if (lo_inf) ++a.ninf_min; else a.min += lo;
    if (hi_inf) ++a.ninf_max; else a.max += hi;
    if (i != reading && pr->queued[i] != pr->now) pr->queued[i] = pr->now, pr->queue.push_back(i);
  }
}

// Whether row i's activity range can imply a bound on one of its columns.
bool may_imply(const WorkProblem &w, ProbeRows *pr, int i, const Activity &a) {
  const double rl = w.row_lower[i], ru = w.row_upper[i];
  const bool up = ru < kInf && a.ninf_min <= 1, down = rl > -kInf && a.ninf_max <= 1;
  if (!up && !down) return false;
  if ((up && a.ninf_min == 1) || (down && a.ninf_max == 1)) return true;
  const double widest = widest_range(w, pr, i);
  return (up && ru - a.min < widest) || (down && a.max - rl < widest);
}

// Bounds implied by x_j = v, passed on from row to row until nothing moves
// or the probe's share of the work is spent; false when some row becomes
// unsatisfiable. *b gets every changed bound.
bool propagate(const WorkProblem &w, RowActivities &acts, ProbeRows *pr, int j, double v, Bounds *b, long *work) {
  b->clear();
  pr->clear();
  set_bounds(w, acts, pr, b, j, v, v, work);
  const long budget = *work + kProbeShare;
  for (size_t q = 0; q < pr->queue.size() && *work < budget; ++q) {
    const int i = pr->queue[q];
    pr->queued[i] = 0;  // a later change queues it again
    ++*work;
    if (row_violated(w, i, pr->act[i], 0)) return false;
    if (!may_imply(w, pr, i, pr->act[i])) continue;
    *work += static_cast<long>(w.rows[i].size());
    bool moved = false;
    for (const Entry &e : w.rows[i]) {
      const int k = e.index;
      if (!w.col_alive[k]) continue;
      const double l = lower_in(w, *b, k), u = upper_in(w, *b, k);
      if (l == u) continue;
      Activity rest = pr->act[i];
      RowActivities::without(&rest, e.value, l, u);
      double lo, hi;
      w.implied_by_activity(i, e.value, rest, &lo, &hi);
      if (w.is_int(k)) lo = std::ceil(lo - 1e-6), hi = std::floor(hi + 1e-6);
      const double nl = std::fmax(l, lo), nu = std::fmin(u, hi);
      if (nl > nu + 1e-6) return false;
      const double margin_l = w.is_int(k) ? 0.5 : 1e-3 * std::fmax(1.0, std::fabs(l));
      const double margin_u = w.is_int(k) ? 0.5 : 1e-3 * std::fmax(1.0, std::fabs(u));
      const bool raise = nl > l + margin_l && std::fabs(nl) < 1e9, lower = nu < u - margin_u && std::fabs(nu) < 1e9;
      if (!raise && !lower) continue;
      set_bounds(w, acts, pr, b, k, raise ? nl : l, lower ? nu : u, work, i);
      moved = true;
    }
    if (row_violated(w, i, pr->act[i], 0)) return false;
    // one pass settles a one-sided row; a two-sided one may imply more
    if (moved && w.row_lower[i] > -kInf && w.row_upper[i] < kInf && pr->queued[i] != pr->now)
      pr->queued[i] = pr->now, pr->queue.push_back(i);
  }
  return true;
}

// x_k = c0 + c1 x_j substituted into k's rows and cost; k goes.
void aggregate(WorkProblem &w, RowActivities &acts, int k, int j, double c0, double c1) {
  UndoRecord r{UndoKind::kAggregate};
  r.col = k;
  r.col2 = j;
  r.value = c0;
  r.a = c1;
  w.stack->push(std::move(r));
  acts.invalidate_column(k);
  w.cost[j] += w.cost[k] * c1;
  w.offset += w.cost[k] * c0;
  for (const Entry &e : std::vector<Entry>(w.cols[k])) {
    const int s = e.index;
    if (w.row_lower[s] > -kInf) w.row_lower[s] -= e.value * c0;
    if (w.row_upper[s] < kInf) w.row_upper[s] -= e.value * c0;
    double v = w.coef(s, j) + e.value * c1;
    if (std::fabs(v) < 1e-12 * std::fmax(1.0, std::fabs(e.value))) v = 0;
    w.set_coef(s, j, v);
  }
  w.drop_col(k);
  acts.invalidate_column(j);
  ++w.counts->aggregated;
}

void collect_cliques(const WorkProblem &w, Result *res) {
  for (int i = 0; i < w.m; ++i) {
    if (!w.row_alive[i] || w.rows[i].size() < 2 || w.row_upper[i] >= kInf) continue;
    // sum a x <= b over binaries with a > 0: a clique when any two exceed b
    double smallest = kInf;
    bool ok = true;
    for (const Entry &e : w.rows[i]) {
      if (!binary(w, e.index) || e.value <= 0) { ok = false; break; }
      smallest = std::fmin(smallest, e.value);
    }
    if (!ok) continue;
    // the two smallest coefficients decide
    double second = kInf;
    int seen_min = 0;
    for (const Entry &e : w.rows[i]) {
      if (e.value == smallest && !seen_min) { seen_min = 1; continue; }
      second = std::fmin(second, e.value);
    }
    if (smallest + second <= w.row_upper[i] + 1e-9) continue;
    std::vector<std::pair<int, int>> clique;
    for (const Entry &e : w.rows[i]) clique.push_back({e.index, 1});
    res->cliques.push_back(std::move(clique));
    ++res->counts.cliques;
  }
}

}  // namespace

int probe_binaries(WorkProblem &w, Result *res) {
  collect_cliques(w, res);
  int count = 0;
  long work = 0;
  RowActivities acts(w);
  Bounds probe(w.n);
  ProbeRows rows(w.m);
  std::vector<std::pair<int, std::pair<double, double>>> down;
  std::vector<std::pair<int, double>> equal;  // binaries equal to x_j (0) or to 1 - x_j (1)
  long work_at_find = 0;  // a long stretch of probes without a finding ends probing
  for (int j = 0; j < w.n && work < kProbeWork && !w.infeasible; ++j) {
    if (!w.col_alive[j] || !binary(w, j) || w.cols[j].empty()) continue;
    if (w.out_of_time() || work - work_at_find > kProbeWork / 4) break;
    const int count_before = count;
    const bool down_ok = propagate(w, acts, &rows, j, 0, &probe, &work);
    down.clear();
    for (int k : probe.touched) down.push_back({k, {probe.lo[k], probe.hi[k]}});
    const bool up_ok = propagate(w, acts, &rows, j, 1, &probe, &work);
    if (!down_ok && !up_ok) {
      w.infeasible = true;
      break;
    }
    if (!down_ok || !up_ok) {
      acts.invalidate_column(j);
      w.fix_col(j, down_ok ? 0.0 : 1.0, down_ok ? kLower : kUpper);
      ++w.counts->probing_fixed;
      ++count;
      work_at_find = work;
      continue;
    }
    // bounds implied by both sides; a binary that follows x_j (or its
    // complement) on both sides is x_j (or 1 - x_j)
    equal.clear();
    for (const auto &d : down) {
      const int k = d.first;
      if (!probe.has(k) || !w.col_alive[k] || k == j) continue;
      const double d0 = d.second.first, d1 = probe.lo[k];
      if (binary(w, k) && d0 == d.second.second && d1 == probe.hi[k] && d0 != d1) {
        equal.push_back({k, d0});
        continue;
      }
      const double lo = std::fmin(d.second.first, probe.lo[k]), hi = std::fmax(d.second.second, probe.hi[k]);
      const double margin = w.is_int(k) ? 0.5 : 1e-3;
      const bool raise = lo > w.lower[k] + margin && std::fabs(lo) < 1e9;
      const bool lower = hi < w.upper[k] - margin && std::fabs(hi) < 1e9;
      if (raise || lower) acts.invalidate_column(k);
      if (raise) w.lower[k] = lo, ++count, ++w.counts->bounds_tightened;
      if (lower) w.upper[k] = hi, ++count, ++w.counts->bounds_tightened;
    }
    for (const auto &e : equal) {
      if (!w.col_alive[e.first] || !binary(w, e.first)) continue;
      aggregate(w, acts, e.first, j, e.second, 1 - 2 * e.second);
      ++count;
    }
    if (count > count_before) work_at_find = work;
  }
  return count;
}

void find_implied_integers(WorkProblem &w, Result *res) {
  // a continuous column with coefficient +-1 in an equation whose other
  // columns are integers with integer coefficients and an integral side
  for (int j = 0; j < w.n; ++j) {
    if (!w.col_alive[j] || w.is_int(j) || w.cols[j].empty()) continue;
    bool found = false;
    for (const Entry &c : w.cols[j]) {
      const int i = c.index;
      if (std::fabs(c.value) != 1 || w.row_lower[i] != w.row_upper[i]) continue;
      if (w.row_lower[i] != std::floor(w.row_lower[i])) continue;
      bool ok = true;
      for (const Entry &e : w.rows[i])
        if (e.index != j && (!w.is_int(e.index) || e.value != std::floor(e.value))) { ok = false; break; }
      if (ok) { found = true; break; }
    }
    if (found) {
      res->implied_integer.push_back(j);
      ++res->counts.implied_integers;
    }
  }
}

}  // namespace tarvo::presolve
