// Lexicographic ratio test of the primal simplex: ties among the rows that
// limit the step are broken by the infinitesimal bound moves of the basis the
// test started from, so that degenerate pivots cannot cycle.
#include <algorithm>
#include <cmath>

#include "simplex/primal.hpp"

namespace tarvo::simplex {
namespace {

// Pivots below this share of the largest tied one are not taken, whatever
// their lexicographic rank: stability comes first.
constexpr double kStableShare = 0.01;
// FTRANs one tie may cost; past them the largest pivot decides (degen3: 2
// halves the time of 8 with as many pivots).
constexpr int kMaxSolves = 2;
constexpr double kKeyEps = 1e-9;

// Sign with which variable j's own e-term moves the basics when j is nonbasic:
// at its lower bound (moved down) +1, at its upper (moved up) -1, free 0.
double nonbasic_side(const Glp &g, int j) {
  switch (g.state[j]) {
    case kAtLower: return 1.0;
    case kAtUpper: return -1.0;
    default: return 0.0;
  }
}

}  // namespace

void start_lexicographic(Glp &g, PrimalState &ps) {
  ps.lex.on = true;
  ps.lex.order = g.head;
  ++ps.lex.starts;
  trace_event(g, kTracePerturbation, " %s lexicographic ratio test(%d), fiter=%d, file=%s(%d)",
              ps.lex.starts > 1 ? "restarting" : "starting  ", ps.lex.starts, static_cast<int>(g.iterations), "plex",
              __LINE__);
}

void anti_degeneracy_step(Glp &g, PrimalState &ps) {
  if (ps.lexicographic)
    start_lexicographic(g, ps);
  else
    perturb_bounds(g, ps);
}

std::size_t lexicographic_choice(Glp &g, PrimalState &ps, std::vector<TiedRow> &ties) {
  double largest = 0;
  for (const TiedRow &t : ties) largest = std::max(largest, t.absval);
  // stable rows only
  thread_local std::vector<int> tie_of;  // position -> index into ties, -1 when not alive
  if (static_cast<int>(tie_of.size()) != g.m) tie_of.assign(g.m, -1);
  std::size_t alive = 0, last = 0;
  for (std::size_t k = 0; k < ties.size(); ++k)
    if (ties[k].absval >= kStableShare * largest) {
      tie_of[ties[k].p] = static_cast<int>(k);
      ++alive;
      last = k;
    }
  const std::vector<int> &order = ps.lex.order;
  thread_local xlu::Vector u;
  if (u.size() != g.m) u.resize(g.m);
  std::vector<double> key(ties.size(), 0.0);
  int solves = 0;
  for (std::size_t t = 0; t < order.size() && alive > 1; ++t) {
    const int j = order[t];
    if (j < 0 || j >= g.n + g.m) continue;
    if (g.state[j] == kBasic) {
      // B^-1 a_j is the unit vector of j's own row: only that row's distance
      // grows, so it is no longer among the smallest
      const int q = g.where[j];
      if (tie_of[q] >= 0) {
        tie_of[q] = -1;
        --alive;
      }
      continue;
    }
    const double side = nonbasic_side(g, j);
    if (side == 0.0) continue;
    if (solves >= kMaxSolves) break;
    ++solves;
    load_column(g, j, u);
    g.lu.ftran(u);
    // x_B moves by +e B^-1 a_j (lower bound moved down); a row's distance to
    // the bound it runs into changes by sign * side * (B^-1 a_j)_p
    double best = 0;
    bool first = true;
    for (const TiedRow &r : ties) {
      const int k = tie_of[r.p];
      if (k < 0) continue;
      key[k] = r.sign * side * u.array[r.p] / r.absval;
      if (first || key[k] < best) best = key[k];
      first = false;
    }
    const double cut = best + kKeyEps * (1.0 + std::fabs(best));
    for (const TiedRow &r : ties)
      if (tie_of[r.p] >= 0 && key[tie_of[r.p]] > cut) {
        tie_of[r.p] = -1;
        --alive;
      }
    u.clear();
  }
  // the survivors (one, unless the solves ran out): the largest pivot among them
  std::size_t pick = last;
  bool found = false;
  for (std::size_t k = 0; k < ties.size(); ++k) {
    if (tie_of[ties[k].p] != static_cast<int>(k)) continue;
    if (!found || ties[k].absval > ties[pick].absval) pick = k;
    found = true;
  }
  if (alive == 1) ++ps.lex.decided;
  for (const TiedRow &r : ties) tie_of[r.p] = -1;
  return pick;
}

}  // namespace tarvo::simplex
