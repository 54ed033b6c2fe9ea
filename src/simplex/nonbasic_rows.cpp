#include "simplex/nonbasic_rows.hpp"

#include <utility>

namespace tarvo::simplex {

void NonbasicRows::build(int m, int n, const int *start, const int *index, const double *value,
                         const signed char *state, signed char basic_state, std::int64_t stamp) {
  const int nz = start[n];
  start_.assign(m + 1, 0);
  for (int k = 0; k < nz; ++k) ++start_[index[k] + 1];
  for (int i = 0; i < m; ++i) start_[i + 1] += start_[i];
  // nonbasic columns fill each row from its front, basic ones from its back
  split_.assign(start_.begin(), start_.end() - 1);
  std::vector<int> back(start_.begin() + 1, start_.end());
  col_.resize(nz);
  value_.resize(nz);
  origin_.resize(nz);
  at_.resize(nz);
  basic_.resize(n);
  nonbasic_nnz_ = 0;
  for (int j = 0; j < n; ++j) {
    basic_[j] = state[j] == basic_state;
    for (int k = start[j]; k < start[j + 1]; ++k) {
      const int i = index[k];
      const int e = state[j] == basic_state ? --back[i] : split_[i]++;
      col_[e] = j;
      value_[e] = value[k];
      origin_[e] = k;
      at_[k] = e;
    }
    if (state[j] != basic_state) nonbasic_nnz_ += start[j + 1] - start[j];
  }
  stamp_ = stamp;
  built_ = true;
}

void NonbasicRows::sync(int m, int n, const int *start, const int *index, const double *value,
                        const signed char *state, signed char basic_state, std::int64_t stamp) {
  if (built_ && static_cast<int>(basic_.size()) == n && static_cast<int>(start_.size()) == m + 1 &&
      static_cast<std::size_t>(start[n]) == col_.size()) {
    for (int j = 0; j < n && built_; ++j) {
      const bool b = state[j] == basic_state;
      if (b != static_cast<bool>(basic_[j])) move_column(j, b, start, index);
    }
    if (built_) {
      stamp_ = stamp;
      return;
    }
  }
  build(m, n, start, index, value, state, basic_state, stamp);
}

void NonbasicRows::swap_entries(int a, int b) {
  if (a == b) return;
  std::swap(col_[a], col_[b]);
  std::swap(value_[a], value_[b]);
  std::swap(origin_[a], origin_[b]);
  at_[origin_[a]] = a;
  at_[origin_[b]] = b;
}

void NonbasicRows::move_column(int j, bool basic, const int *start, const int *index) {
  for (int k = start[j]; k < start[j + 1]; ++k) {
    const int i = index[k];
    const int e = at_[k];
    if (basic) {
      // last nonbasic entry of the row takes its place
      if (e >= split_[i]) {  // already on the basic side: the copy is out of step
        invalidate();
        return;
      }
      swap_entries(e, --split_[i]);
    } else {
      if (e < split_[i]) {
        invalidate();
        return;
      }
      swap_entries(e, split_[i]++);
    }
  }
  basic_[j] = basic;
  nonbasic_nnz_ += basic ? -(start[j + 1] - start[j]) : start[j + 1] - start[j];
}

}  // namespace tarvo::simplex
