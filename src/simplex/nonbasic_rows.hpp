// Row-wise copy of the structural matrix with each row's entries split into
// the nonbasic columns (first) and the basic ones, so that a pivot row priced
// row by row runs over the nonbasic entries alone. A column that enters or
// leaves the basis moves its entries across the split in O(its length). After
// a factorisation (or a restored basis) the states may have jumped: only the
// columns whose basic flag differs from the copy's cross the split, so a warm
// node solve does not pay for a rebuild of the whole copy.
#pragma once

#include <cstdint>
#include <vector>

namespace tarvo::simplex {

class NonbasicRows {
 public:
  // Forget the copy (the matrix itself changed).
  void invalidate() {
    stamp_ = -1;
    built_ = false;
  }
  // The states changed without pivots: the next sync compares them with the copy's.
  void states_changed() { stamp_ = -1; }
  bool current(std::int64_t stamp) const { return stamp_ == stamp; }
  // Brings the copy in step with `state` under the factorisation `stamp`: a
  // rebuild after invalidate(), else only the columns whose basic flag changed move.
  void sync(int m, int n, const int *start, const int *index, const double *value, const signed char *state,
            signed char basic_state, std::int64_t stamp);
  // Rebuilds from the column copy [start, index, value] of the n structurals;
  // column j is basic when state[j] == basic_state. stamp names the factorisation.
  void build(int m, int n, const int *start, const int *index, const double *value, const signed char *state,
             signed char basic_state, std::int64_t stamp);
  // Structural j entered (basic = true) or left the basis: its entries cross
  // the split; start/index are the column copy the copy was built from.
  void move_column(int j, bool basic, const int *start, const int *index);

  int row_begin(int i) const { return start_[i]; }
  int nonbasic_end(int i) const { return split_[i]; }
  int nonbasic_length(int i) const { return split_[i] - start_[i]; }
  std::int64_t nonbasic_entries() const { return nonbasic_nnz_; }
  const int *column() const { return col_.data(); }
  const double *value() const { return value_.data(); }

 private:
  void swap_entries(int a, int b);

  std::vector<int> start_;   // m + 1
  std::vector<int> split_;   // end of row i's nonbasic entries
  std::vector<int> col_;     // column of each row entry
  std::vector<double> value_;
  std::vector<int> origin_;  // column-copy entry of each row entry
  std::vector<int> at_;      // row entry of each column-copy entry
  std::vector<char> basic_;  // per structural: basic in the copy
  std::int64_t nonbasic_nnz_ = 0;
  std::int64_t stamp_ = -1;
  bool built_ = false;       // the copy matches the matrix (its split may lag the states)
};

}  // namespace tarvo::simplex
