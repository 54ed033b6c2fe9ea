// Default values of a parameter store, taken from the static records.
#include "params/param_values.hpp"

namespace tarvo::base {

void ParamValues::reset_to_defaults(unsigned owner_marker) {
  marker = owner_marker;
  const int n = params::count();
  const TVparamRecord *recs = params::records();
  val.resize(n);
  for (int i = 0; i < n; ++i) val[i] = recs[i].dfl;
  for (int s = 0; s < params::kSpecialIntCount; ++s) special_int[s] = 0;
  for (int i = 0; i < n; ++i) {
    int slot = params::special_int_slot(recs[i].id);
    if (slot >= 0) {
      double d = recs[i].dfl;
      special_int[slot] = d >= 2147483647.0 ? 2147483647 : d <= -2147483648.0 ? -2147483647 - 1
                                                                               : static_cast<int>(d);
    }
  }
}

}  // namespace tarvo::base
