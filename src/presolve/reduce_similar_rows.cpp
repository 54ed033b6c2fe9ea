// Similar rows: when a row s contains a multiple f of an equation r on all of
// r's columns, s - f r is the same constraint with |r| entries fewer. The
// postsolve moves the dual back: y_r = y_r' - f y_s'.
#include <cmath>
#include <utility>

#include "presolve/work_problem.hpp"

namespace tarvo::presolve {
namespace {

constexpr size_t kMaxEquation = 50;
constexpr long kMaxWork = 4000000;

}  // namespace

int subtract_similar_rows(WorkProblem &w) {
  if (w.out_of_time()) return 0;
  std::vector<double> in_r(w.n, 0.0);  // the equation's coefficients, by column
  int count = 0;
  long work = 0;
  for (int r = 0; r < w.m && work < kMaxWork && !w.infeasible; ++r) {
    const size_t len = w.rows[r].size();
    if (!w.row_alive[r] || len < 2 || len > kMaxEquation || w.row_lower[r] != w.row_upper[r]) continue;
    if ((r & 255) == 0 && w.out_of_time()) break;
    int pivot = -1;
    for (const Entry &e : w.rows[r])
      if (pivot < 0 || w.cols[e.index].size() < w.cols[pivot].size()) pivot = e.index;
    const double rhs = w.row_lower[r];
    const double pivot_value = w.coef(r, pivot);
    for (const Entry &e : w.rows[r]) in_r[e.index] = e.value;
    std::vector<std::pair<int, double>> targets;
    for (const Entry &c : w.cols[pivot]) {
      const int s = c.index;
      if (s == r || w.rows[s].size() <= len) continue;
      const double f = c.value / pivot_value;
      if (std::fabs(f) > 1e3 || std::fabs(f) < 1e-3) continue;
      size_t matched = 0;
      work += static_cast<long>(w.rows[s].size());
      for (const Entry &e : w.rows[s]) {
        const double a = in_r[e.index];
        if (a == 0) continue;
        if (std::fabs(e.value - f * a) > 1e-12 * std::fmax(1.0, std::fabs(e.value))) break;
        ++matched;
      }
      if (matched == len) targets.push_back({s, f});
    }
    for (const Entry &e : w.rows[r]) in_r[e.index] = 0;
    for (const auto &t : targets) {
      const int s = t.first;
      const double f = t.second;
      UndoRecord rec{UndoKind::kSubtractRow};
      rec.row = r;
      rec.row2 = s;
      rec.a = f;
      w.stack->push(std::move(rec));
      for (const Entry &e : std::vector<Entry>(w.rows[r])) w.set_coef(s, e.index, 0);
      if (w.row_lower[s] > -kInf) w.row_lower[s] -= f * rhs;
      if (w.row_upper[s] < kInf) w.row_upper[s] -= f * rhs;
      ++count;
    }
  }
  w.counts->similar_rows += count;
  return count;
}

}  // namespace tarvo::presolve
