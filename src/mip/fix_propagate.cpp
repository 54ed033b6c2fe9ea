// Fix-and-propagate with chronological backtracking over the decisions.
#include "mip/fix_propagate.hpp"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <random>

#include "common/clock.hpp"
#include "mip/bound_propagation.hpp"

namespace tarvo::mip {

namespace {

struct Decision {
  int pos;            // place in the order
  std::size_t mark;   // propagator trail before the decision
  double alt;         // the other value, NaN when there is none
  bool alt_taken;     // the decision already holds the other value
};

double nearest_in(double v, double lo, double up) { return std::clamp(std::round(v), lo, up); }

// The value on the other side of the point (inside the domain), NaN when the
// domain offers none.
double other_value(double point, double first, double lo, double up) {
  double alt = point >= first ? first + 1 : first - 1;
  if (alt > up || alt < lo) alt = point >= first ? first - 1 : first + 1;
  if (alt > up || alt < lo) return std::nan("");
  return alt;
}

std::vector<int> decision_order(const MipProblem &p, const std::vector<double> &lo, const std::vector<double> &up,
                                const std::vector<double> &point, const FixPropagateOptions &opt) {
  std::mt19937 rng(opt.seed);
  std::uniform_real_distribution<double> unit(0.0, 1.0);
  std::vector<std::pair<double, int>> keyed;
  for (int j = 0; j < p.n; ++j) {
    if (!p.is_int[j] || lo[j] >= up[j]) continue;
    const double v = std::isfinite(point[j]) ? point[j] : lo[j];
    const double frac = std::fabs(v - std::round(v));
    double key = frac;
    switch (opt.order) {
      case FixOrder::kDecidedFirst:
        break;
      case FixOrder::kRaisedFirst:
        key = (nearest_in(v, lo[j], up[j]) > lo[j] ? 0.0 : 1.0) + frac;
        break;
      case FixOrder::kLocksFirst:
        key = -static_cast<double>(p.col_start[j + 1] - p.col_start[j]) + frac;
        break;
    }
    if (opt.noise > 0) key += opt.noise * unit(rng);
    keyed.emplace_back(key, j);
  }
  std::stable_sort(keyed.begin(), keyed.end(),
                   [](const auto &a, const auto &b) { return a.first < b.first; });
  std::vector<int> order;
  order.reserve(keyed.size());
  for (const auto &kj : keyed) order.push_back(kj.second);
  return order;
}

}  // namespace

double fixing_pass_work(const MipProblem &p) {
  double work = p.n + 1.0;
  for (int i = 0; i < p.m; ++i) {
    const double len = p.row_start[i + 1] - p.row_start[i];
    work += len * len;
  }
  return work;
}

double fixing_work_limit(const MipProblem &p, double passes) {
  constexpr double kMaxWork = 2e8;  // about a second of propagation
  return std::min(passes * fixing_pass_work(p), kMaxWork);
}

FixPropagateResult fix_and_propagate(const MipProblem &p, const std::vector<double> &lo,
                                     const std::vector<double> &up, const std::vector<double> &point,
                                     double int_tol, const FixPropagateOptions &opt) {
  FixPropagateResult res;
  res.rounding.assign(point.begin(), point.begin() + p.n);
  BoundPropagator prop(p, lo, up, int_tol);
  prop.set_work_limit(opt.work_limit);
  bool alive = prop.propagate_all();
  const std::size_t root_mark = prop.mark();
  std::vector<int> order = decision_order(p, prop.lower(), prop.upper(), point, opt);
  const int count = static_cast<int>(order.size());
  std::vector<int> failures(p.n, 0);  // times both values of a column failed
  std::vector<Decision> stack;
  std::int64_t steps = 0;
  for (int restart = 0; alive; ++restart) {
    int pos = 0;
    int budget = opt.max_backtracks;
    // Each step either advances pos or pops the stack (bounded by the backtrack budget).
    while (alive && pos < count) {
      if (prop.work() > opt.work_limit || ((++steps & 63) == 0 && common::wall_seconds() > opt.deadline)) {
        alive = false;
        break;
      }
      const int j = order[pos];
      const double l = prop.lower()[j], u = prop.upper()[j];
      if (l >= u) {
        ++pos;
        continue;
      }
      const double v = std::isfinite(point[j]) ? point[j] : l;
      const double first = nearest_in(opt.prefer ? (*opt.prefer)[j] : v, l, u);
      const double alt = other_value(v, first, l, u);
      const std::size_t m = prop.mark();
      if (prop.tighten(j, first, first)) {
        stack.push_back({pos, m, alt, false});
        ++res.fixed;
        ++pos;
        continue;
      }
      prop.undo(m);
      ++res.conflicts;
      if (!std::isnan(alt)) {
        if (prop.tighten(j, alt, alt)) {
          stack.push_back({pos, m, alt, true});
          ++res.fixed;
          ++pos;
          continue;
        }
        prop.undo(m);
      }
      if (opt.allow_conflicts) {
        res.rounding[j] = first;
        ++pos;
        continue;
      }
      ++failures[j];
      // both values fail: flip the latest decision that still has its other value
      bool resumed = false;
      while (!stack.empty() && budget > 0) {
        Decision d = stack.back();
        stack.pop_back();
        prop.undo(d.mark);
        if (d.alt_taken || std::isnan(d.alt)) continue;
        ++res.backtracks;
        --budget;
        if (prop.tighten(order[d.pos], d.alt, d.alt)) {
          d.alt_taken = true;
          stack.push_back(d);
          pos = d.pos + 1;
          resumed = true;
          break;
        }
        prop.undo(d.mark);
      }
      if (!resumed) alive = false;
    }
    if (alive || restart >= opt.restarts || prop.work() > opt.work_limit || common::wall_seconds() > opt.deadline)
      break;
    // Restart with the columns that failed decided first: whatever made them
    // fail was decided too early.
    alive = true;
    stack.clear();
    prop.undo(root_mark);
    ++res.restarts;
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return failures[a] > failures[b]; });
  }
  res.lo = prop.lower();
  res.up = prop.upper();
  res.complete = alive;
  for (int j = 0; j < p.n; ++j) {
    if (!p.is_int[j]) continue;
    if (res.lo[j] >= res.up[j]) {
      res.rounding[j] = res.lo[j];
    } else {
      res.complete = false;
      ++res.free_left;
      const double v = std::isfinite(point[j]) ? point[j] : res.lo[j];
      res.rounding[j] = nearest_in(v, res.lo[j], res.up[j]);
    }
  }
  return res;
}

}  // namespace tarvo::mip
