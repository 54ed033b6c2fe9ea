// Bound shifts of the primal simplex: the outward perturbation against
// degeneracy and the single shifts of the ratio test, all undone before a
// verdict is given.
#include <algorithm>
#include <cmath>

#include "simplex/primal.hpp"

namespace tarvo::simplex {

namespace {
constexpr double kDefaultSize = 5e-7;  // relative size of the first bound perturbation

void remember(const Glp &g, BoundShifts &s) {
  if (!s.lower.empty()) return;
  s.lower = g.lower;
  s.upper = g.upper;
}
}  // namespace

void shift_bound(Glp &g, BoundShifts &s, int j, bool lower_side, double value) {
  remember(g, s);
  if (lower_side)
    g.lower[j] = std::min(g.lower[j], value);
  else
    g.upper[j] = std::max(g.upper[j], value);
  ++s.count;
}

void perturb_bounds(Glp &g, PrimalState &ps) {
  BoundShifts &s = ps.shifts;
  remember(g, s);
  // TV_DPARAM_LP_PERTFACT sets the size; left to the solver it grows with each restart
  const double size = ps.pert_factor > 0 ? ps.pert_factor : kDefaultSize;
  const double base = size * (1 + ps.shifts.perturbations);
  trace_event(g, kTracePerturbation, " %s perturbation(%d), ptval=%e, fiter=%d, file=%s(%d)",
              ps.shifts.perturbations > 0 ? "restarting" : "starting  ", ps.shifts.perturbations + 1, base,
              static_cast<int>(g.iterations), "pperturb", __LINE__);
  for (int j = 0; j < g.n + g.m; ++j) {
    if (g.lower[j] == g.upper[j]) continue;
    ps.seed = ps.seed * 1664525u + 1013904223u;
    double xi = 1.0 + (ps.seed >> 8) / 16777216.0;
    if (g.lower[j] > -kInf) g.lower[j] -= base * xi * (1.0 + std::min(std::fabs(g.lower[j]), 1e3));
    ps.seed = ps.seed * 1664525u + 1013904223u;
    xi = 1.0 + (ps.seed >> 8) / 16777216.0;
    if (g.upper[j] < kInf) g.upper[j] += base * xi * (1.0 + std::min(std::fabs(g.upper[j]), 1e3));
    if (g.state[j] != kBasic) place_nonbasic(g, j);
  }
  ++s.count;
  s.perturbed = true;
  ++s.perturbations;
}

void restore_bounds(Glp &g, BoundShifts &s) {
  if (s.lower.empty()) return;
  if (s.perturbed)
    trace_event(g, kTracePerturbation, " removing perturbation(%d), file=%s(%d)", s.perturbations, "pperturb", __LINE__);
  g.lower.swap(s.lower);
  g.upper.swap(s.upper);
  s.lower.clear();
  s.upper.clear();
  s.count = 0;
  s.perturbed = false;
  for (int j = 0; j < g.n + g.m; ++j)
    if (g.state[j] != kBasic) place_nonbasic(g, j);
}

}  // namespace tarvo::simplex
