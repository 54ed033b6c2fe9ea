// Parameter values of one environment or one model: one slot per record of the
// static table, plus the integer views of the three double-recorded parameters.
#pragma once

#include <array>
#include <utility>
#include <vector>

#include "params/param_table.hpp"

namespace tarvo::base {

struct ParamValues {
  unsigned marker = params::kEnvScope;  // 1024 environment, 2048 model
  std::vector<double> val;              // indexed by table position
  std::array<int, params::kSpecialIntCount> special_int{};

  void reset_to_defaults(unsigned owner_marker);

  // Values a running solve sets for itself (scaling off for a recovery run,
  // presolve off for a lean retry). They shadow the stored value for every
  // solver read, while the host's queries and parameter files keep seeing the
  // host's own value; copies made during the solve inherit them.
  struct Shadow {
    int pos;
    double value;
    unsigned token;
  };
  std::vector<Shadow> shadow;  // innermost last
  unsigned next_token = 1;

  // Fast typed reads for solvers; the identifier must exist in the table.
  double dbl(int id) const { return read(params::position(id)); }
  int integer(int id) const {
    int slot = params::special_int_slot(id);
    return slot >= 0 ? special_int[slot] : static_cast<int>(read(params::position(id)));
  }
  double read(int pos) const {
    for (auto it = shadow.rbegin(); it != shadow.rend(); ++it)
      if (it->pos == pos) return it->value;
    return val[pos];
  }
  void store(int pos, double v) { val[pos] = v; }
};

// Sets a parameter for the extent of one scope of a solve without touching
// the host's value; the shadow goes however the scope is left. Not for the
// three parameters that also keep an integer view.
class ScopedParam {
 public:
  ScopedParam(ParamValues &values, int id, double value);
  ~ScopedParam();
  ScopedParam(const ScopedParam &) = delete;
  ScopedParam &operator=(const ScopedParam &) = delete;
  void set(double value);

 private:
  ParamValues &values_;
  unsigned token_;
};

}  // namespace tarvo::base
