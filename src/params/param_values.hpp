// Parameter values of one environment or one model: one slot per record of the
// static table, plus the integer views of the three double-recorded parameters.
#pragma once

#include <array>
#include <vector>

#include "params/param_table.hpp"

namespace tarvo::base {

struct ParamValues {
  unsigned marker = params::kEnvScope;  // 1024 environment, 2048 model
  std::vector<double> val;              // indexed by table position
  std::array<int, params::kSpecialIntCount> special_int{};

  void reset_to_defaults(unsigned owner_marker);

  // Fast typed reads for solvers; the identifier must exist in the table.
  double dbl(int id) const { return val[params::position(id)]; }
  int integer(int id) const {
    int slot = params::special_int_slot(id);
    return slot >= 0 ? special_int[slot] : static_cast<int>(val[params::position(id)]);
  }
  void store(int pos, double v) { val[pos] = v; }
};

}  // namespace tarvo::base
