// Numbers and names as the model-file writers print them: a number in at most
// a given width with as many digits as fit, and the generated names of rows
// and columns that carry none.
#pragma once

#include <string>
#include <vector>

#include "model/model.hpp"

namespace tarvo::io {

// `x` in at most `width` characters (width 6 or more): "%.*E" below 0.002 in
// magnitude, "%.*G" otherwise, exponents without sign padding or leading
// zeros, the precision lowered until the text fits. Infinite values are
// written as +-1E30. A value that fits at no regular precision (three-digit
// exponents) keeps as many exponent-form digits as still fit.
std::string number_text(double x, int width);

// `x` with every significant digit and nothing more: the shortest text that
// reads back as the same double (for writers without a fixed width). With
// `sign` a '+' leads non-negative values. -0 is written as 0.
std::string exact_number(double x, bool sign = false);

// The name a writer prints for row i: the model's name when it has a
// non-empty one, else "R%07d".
std::string row_name(const base::ModelData &d, int i);

// Column names the same way, generated ones as "%c%07d" with the type letter.
class ColumnNamer {
 public:
  explicit ColumnNamer(const base::ModelData &d);
  std::string operator()(int j) const;
  // 'C', 'S' (semicontinuous), 'B' (integer with bounds [0, 1]) or 'I'.
  char letter(int j) const;
  bool semicontinuous(int j) const { return semi_[j] != 0; }

 private:
  const base::ModelData &d_;
  std::vector<char> semi_;
};

}  // namespace tarvo::io
