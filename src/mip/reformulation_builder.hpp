// Appending binaries and rows to a column-wise MipProblem during the
// reformulations: new entries are collected per column and merged once.
#pragma once

#include <utility>
#include <vector>

#include "mip/mip_problem.hpp"

namespace tarvo::mip {

struct Builder {
  MipProblem &p;
  std::vector<std::vector<std::pair<int, double>>> extra_cols;  // per new column: (row, value)
  std::vector<std::vector<std::pair<int, double>>> extra_in_old;  // per old column: entries in new rows
  explicit Builder(MipProblem &prob) : p(prob), extra_in_old(prob.n) {}

  int add_binary() {
    p.c.push_back(0);
    p.col_lo.push_back(0);
    p.col_up.push_back(1);
    p.is_int.push_back(1);
    extra_cols.emplace_back();
    return p.n++;
  }
  int add_integer(double lo, double up) {
    const int j = add_binary();
    p.col_lo[j] = lo;
    p.col_up[j] = up;
    return j;
  }
  // Adds `v` to the coefficient of an existing column in an existing row.
  void add_to_old_row(int j, int i, double v) {
    for (int k = p.col_start[j]; k < p.col_start[j + 1]; ++k)
      if (p.col_index[k] == i) {
        p.col_value[k] += v;
        return;
      }
    extra_in_old[j].push_back({i, v});
  }
  int add_row(const std::vector<std::pair<int, double>> &terms, double lo, double up) {
    const int i = p.m++;
    p.row_lo.push_back(lo);
    p.row_up.push_back(up);
    for (auto [j, v] : terms) {
      if (j < static_cast<int>(extra_in_old.size()))
        extra_in_old[j].push_back({i, v});
      else
        extra_cols[j - extra_in_old.size()].push_back({i, v});
    }
    return i;
  }
  // Rebuilds the column-wise matrix with the new entries.
  void finish() {
    const int old_n = static_cast<int>(extra_in_old.size());
    std::vector<int> start{0}, index;
    std::vector<double> value;
    for (int j = 0; j < p.n; ++j) {
      if (j < old_n) {
        for (int k = p.col_start[j]; k < p.col_start[j + 1]; ++k) {
          index.push_back(p.col_index[k]);
          value.push_back(p.col_value[k]);
        }
        for (auto [i, v] : extra_in_old[j]) {
          index.push_back(i);
          value.push_back(v);
        }
      } else {
        for (auto [i, v] : extra_cols[j - old_n]) {
          index.push_back(i);
          value.push_back(v);
        }
      }
      start.push_back(static_cast<int>(index.size()));
    }
    p.col_start.swap(start);
    p.col_index.swap(index);
    p.col_value.swap(value);
  }
};


}  // namespace tarvo::mip
