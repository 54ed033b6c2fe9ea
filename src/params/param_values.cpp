// Default values of a parameter store, taken from the static records.
#include "params/param_values.hpp"

#include <algorithm>

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

ScopedParam::ScopedParam(ParamValues &values, int id, double value) : values_(values), token_(values.next_token++) {
  values_.shadow.push_back({params::position(id), value, token_});
}

ScopedParam::~ScopedParam() {
  auto &s = values_.shadow;
  s.erase(std::remove_if(s.begin(), s.end(), [this](const ParamValues::Shadow &e) { return e.token == token_; }),
          s.end());
}

void ScopedParam::set(double value) {
  for (auto &e : values_.shadow)
    if (e.token == token_) e.value = value;
}

}  // namespace tarvo::base
