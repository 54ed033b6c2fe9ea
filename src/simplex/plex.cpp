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
// FTRANs one tie may cost; past them the largest pivot decides.
constexpr int kMaxSolves = 8;
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
  // stable rows only, in a fixed order
  std::vector<std::size_t> alive;
  for (std::size_t k = 0; k < ties.size(); ++k)
    if (ties[k].absval >= kStableShare * largest) alive.push_back(k);
  if (alive.size() <= 1) return alive.empty() ? 0 : alive[0];
  // the steps themselves are equal within the tolerance: the e-terms decide
  std::vector<double> key(ties.size(), 0.0);
  auto keep_smallest = [&]() {
    double best = key[alive[0]];
    for (std::size_t k : alive) best = std::min(best, key[k]);
    const double cut = best + kKeyEps * (1.0 + std::fabs(best));
    std::size_t n = 0;
    for (std::size_t k : alive)
      if (key[k] <= cut) alive[n++] = k;
    alive.resize(n);
  };
  const std::vector<int> &order = ps.lex.order;
  thread_local xlu::Vector u;
  if (u.size() != g.m) u.resize(g.m);
  int solves = 0;
  for (std::size_t t = 0; t < order.size() && alive.size() > 1; ++t) {
    const int j = order[t];
    if (j < 0 || j >= g.n + g.m) continue;
    if (g.state[j] == kBasic) {
      // B^-1 a_j is the unit vector of j's own row: only that row's distance grows
      const int q = g.where[j];
      bool in = false;
      for (std::size_t k : alive) in = in || ties[k].p == q;
      if (!in) continue;
      for (std::size_t k : alive) key[k] = ties[k].p == q ? 1.0 / ties[k].absval : 0.0;
    } else {
      const double side = nonbasic_side(g, j);
      if (side == 0.0) continue;
      if (solves >= kMaxSolves) break;
      ++solves;
      load_column(g, j, u);
      g.lu.ftran(u);
      // x_B moves by +e B^-1 a_j (lower bound moved down); a row's distance to
      // the bound it runs into changes by sign * side * (B^-1 a_j)_p
      for (std::size_t k : alive) key[k] = ties[k].sign * side * u.array[ties[k].p] / ties[k].absval;
      u.clear();
    }
    keep_smallest();
  }
  std::size_t pick = alive[0];
  for (std::size_t k : alive)
    if (ties[k].absval > ties[pick].absval) pick = k;
  if (alive.size() == 1) ++ps.lex.decided;
  return pick;
}

}  // namespace tarvo::simplex
