// printf-style formatting into a std::string without a length limit.
#pragma once

#include <cstdarg>
#include <string>

namespace tarvo::common {

// False when the format could not be applied.
bool vformat(std::string &out, const char *format, va_list args);

}  // namespace tarvo::common
