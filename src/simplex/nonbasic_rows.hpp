// Row-wise copy of the structural matrix with each row's entries split into
// the nonbasic columns (first) and the basic ones, so that a pivot row priced
// row by row runs over the nonbasic entries alone. A column that enters or
// leaves the basis moves its entries across the split in O(its length). After
// a factorisation (which may swap columns for slacks, or restore an earlier
// basis) the copy is brought in step with the states by moving the columns
// whose side differs: O(n) rather than a rebuild over all entries.
#pragma once

#include <cstdint>
#include <vector>

namespace tarvo::simplex {

class NonbasicRows {
 public:
  // Forget the copy (the matrix itself changed).
  void invalidate() {
    stamp_ = -1;
    whole_ = false;
  }
  bool current(std::int64_t stamp) const { return stamp_ == stamp; }
  // Rebuilds from the column copy [start, index, value] of the n structurals;
  // column j is basic when state[j] == basic_state. stamp names the factorisation.
  void build(int m, int n, const int *start, const int *index, const double *value, const signed char *state,
             signed char basic_state, std::int64_t stamp);
  // Structural j entered (basic = true) or left the basis: its entries cross
  // the split; start/index are the column copy the copy was built from.
  void move_column(int j, bool basic, const int *start, const int *index);
  // Brings a copy of this matrix in step with the states; false when it has
  // to be rebuilt (never built, matrix changed, or out of step).
  bool sync(int m, int n, const int *start, const int *index, const signed char *state, signed char basic_state,
            std::int64_t stamp);

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
  std::vector<char> basic_;  // side of each column in the copy
  bool whole_ = false;       // basic_ and the split agree, for this matrix
  std::int64_t nonbasic_nnz_ = 0;
  std::int64_t stamp_ = -1;
};

}  // namespace tarvo::simplex
