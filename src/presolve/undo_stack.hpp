// Undo records of the presolve: every reduction pushes one, and the postsolve
// pops them in reverse order, so each undo sees the solution of the problem
// as it was right after its own reduction.
#pragma once

#include <cstddef>
#include <vector>

namespace tarvo::presolve {

struct Entry {
  int index;
  double value;
};

// Basis status of a variable or row in a presolve solution. For a row,
// kLower means its activity sits at the row's lower bound.
enum Status : signed char { kBasic = 0, kLower = 1, kUpper = 2, kZero = 3 };

// A column as it was when a reduction removed or changed it: enough to
// recompute its reduced cost from the row duals of that moment.
struct ColumnSnapshot {
  int col = -1;
  double cost = 0, lower = 0, upper = 0;
  std::vector<Entry> entries;
};

enum class UndoKind : unsigned char {
  kFreeRow,            // row dropped as redundant or empty: dual 0, slack basic
  kFixColumn,          // column fixed at `value` (fixed, empty, dominated, dual-fixed)
  kSingletonRow,       // row turned into a bound of `col`
  kForcingRow,         // row at one bound forces every column to a bound
  kFreeColumn,         // implied-free column singleton substituted out with its row
  kDoubleton,          // equation a x_col + b x_col2 = rhs, col2 substituted out
  kDuplicateRow,       // row `row` = factor * row `row2`; bounds merged into row2
  kMergeColumns,       // x_col + a x_col2 became x_col (col2 = a col): bounds and types of both kept
  kSubtractRow,        // row `row2` -= a * equation `row`
  kAggregate,          // x_col = value + a x_col2 (binaries that probing found equal or complementary)
  kSlackColumn,        // continuous singleton `col` (coef a, cost value) left equation `row` (rhs) its range
};

struct UndoRecord {
  explicit UndoRecord(UndoKind k) : kind(k) {}
  UndoKind kind;
  int row = -1, row2 = -1, col = -1, col2 = -1;
  double a = 0, b = 0, rhs = 0, value = 0;
  double lower = 0, upper = 0;       // bounds of col2 (doubleton) or of the row (free column)
  double lower2 = 0, upper2 = 0;     // bounds of col2 (merged columns)
  bool int1 = false, int2 = false;   // integrality of col and col2 (merged columns)
  signed char status = kLower;       // status hint of a fixed column; side of a forcing row
  bool lower_changed = false, upper_changed = false;  // bounds that came from the removed data
  std::vector<Entry> entries;        // the row without `col` (free column, forcing row)
  std::vector<ColumnSnapshot> snaps;
};

class UndoStack {
 public:
  void push(UndoRecord &&r) { records_.push_back(std::move(r)); }
  const std::vector<UndoRecord> &records() const { return records_; }
  std::size_t size() const { return records_.size(); }
  void clear() { records_.clear(); }

 private:
  std::vector<UndoRecord> records_;
};

}  // namespace tarvo::presolve
