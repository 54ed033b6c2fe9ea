// Range slack columns shared by the MPS and LP readers.
#include "io/range_slacks.hpp"

#include <cstdio>
#include <string>

namespace tarvo::io {

int add_range_slacks(pTVmodel model, const RangeSlacks &s) {
  if (s.empty()) return 0;
  const int k = static_cast<int>(s.row.size());
  std::vector<std::string> names(k);
  std::vector<char *> name_ptrs(k);
  std::vector<int> starts(k + 1);
  // A model may already have columns named like the slacks (a model written
  // after reading ranges carries them); the next free number is taken so that
  // names stay unique. Each skip passes one existing column, so the loop ends.
  int number = 0;
  for (int t = 0; t < k; ++t) {
    char name[32];
    for (;; ++number) {
      std::snprintf(name, sizeof name, "slk%05d", number);
      int j = -1;
      if (TVgetVariableIndex(model, name, &j) != 0 || j < 0) break;
    }
    ++number;
    names[t] = name;
    name_ptrs[t] = names[t].data();
    starts[t + 1] = t + 1;
  }
  int code = TVaddVariables(model, k, nullptr, name_ptrs.data(), starts.data(), nullptr, s.coef.data(),
                            s.row.data(), nullptr, nullptr, s.upper.data());
  if (code || s.retype.empty()) return code;
  const std::vector<char> types(s.retype.size(), 'E');
  return TVmodifyConstraintType(model, static_cast<int>(s.retype.size()), s.retype.data(), types.data());
}

}  // namespace tarvo::io
