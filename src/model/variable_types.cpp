// Variable-type rules (binary bounds, semicontinuous hand-over).
#include "model/variable_types.hpp"
#include "common/error_codes.hpp"

namespace tarvo::base {

int normalise_variable_type(ModelData &data, int j, char *type, bool *semicontinuous) {
  if (semicontinuous) *semicontinuous = false;
  switch (*type) {
    case 'C':
    case 'I':
      return 0;
    case 'B': {
      double &lo = data.lower[j];
      double &up = data.upper[j];
      if (lo > 1 || up < 0) return err::kValueOutOfRange;
      if (up > 1) up = 1;
      if (lo < 0) lo = 0;
      if (lo == up) *type = 'C';
      return 0;
    }
    case 'S':
      if (semicontinuous) *semicontinuous = true;
      return 0;
    default:
      return err::kBadVariableType;
  }
}

}  // namespace tarvo::base
