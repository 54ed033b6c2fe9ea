// Small problems written densely for the white-box tests, and their optimum
// by enumeration of every integer point within the bounds.
#pragma once

#include <algorithm>
#include <vector>

#include "mip/incumbent.hpp"
#include "mip/mip_problem.hpp"

namespace mip_test {

inline tarvo::mip::MipProblem dense_problem(const std::vector<std::vector<double>> &rows, std::vector<double> row_lo,
                                            std::vector<double> row_up, std::vector<double> lo,
                                            std::vector<double> up, std::vector<char> is_int, std::vector<double> c) {
  tarvo::mip::MipProblem p;
  p.m = static_cast<int>(rows.size());
  p.n = static_cast<int>(c.size());
  p.c = std::move(c);
  p.col_lo = std::move(lo);
  p.col_up = std::move(up);
  p.row_lo = std::move(row_lo);
  p.row_up = std::move(row_up);
  p.is_int = std::move(is_int);
  p.col_start.assign(1, 0);
  for (int j = 0; j < p.n; ++j) {
    for (int i = 0; i < p.m; ++i)
      if (rows[i][j] != 0) {
        p.col_index.push_back(i);
        p.col_value.push_back(rows[i][j]);
      }
    p.col_start.push_back(static_cast<int>(p.col_index.size()));
  }
  p.build_rows();
  return p;
}

// Optimum of a pure integer problem with finite bounds; 1e30 when nothing is feasible.
inline double enumerated_optimum(const tarvo::mip::MipProblem &p) {
  std::vector<double> x(p.col_lo.begin(), p.col_lo.end());
  double best = 1e30;
  for (;;) {
    if (tarvo::mip::point_feasible(p, x, 1e-9, 1e-9)) best = std::min(best, tarvo::mip::objective_of(p, x.data()));
    int j = 0;
    while (j < p.n && x[j] >= p.col_up[j]) x[j] = p.col_lo[j], ++j;
    if (j == p.n) break;
    x[j] += 1;
  }
  return best;
}

}  // namespace mip_test
