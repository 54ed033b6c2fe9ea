#include "common/format.hpp"

#include <cstdio>

namespace tarvo::common {

bool vformat(std::string &out, const char *format, va_list args) {
  out.clear();
  if (!format) return false;
  char small[512];
  va_list copy;
  va_copy(copy, args);
  int n = std::vsnprintf(small, sizeof small, format, copy);
  va_end(copy);
  if (n < 0) return false;
  if (static_cast<size_t>(n) < sizeof small) {
    out.assign(small, n);
    return true;
  }
  out.resize(static_cast<size_t>(n) + 1);
  va_copy(copy, args);
  std::vsnprintf(out.data(), out.size(), format, copy);
  va_end(copy);
  out.resize(n);
  return true;
}

}  // namespace tarvo::common
