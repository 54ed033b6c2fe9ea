// Text from files and hosts shown in messages: bytes that a terminal would
// act on (control characters, bytes of binary files) become \xHH, and long
// text is cut, so that a message stays one readable line.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

namespace tarvo::common {

// With `keep_lines`, line feeds and tabs pass unchanged (for multi-line log text).
inline std::string printable(std::string_view text, std::size_t limit = 80, bool keep_lines = false) {
  std::string out;
  std::size_t shown = 0;
  for (unsigned char ch : text) {
    if (shown == limit) {
      out += "...";
      break;
    }
    if ((ch >= 0x20 && ch < 0x7f) || (keep_lines && (ch == '\n' || ch == '\t'))) {
      out += static_cast<char>(ch);
    } else {
      char hex[5];
      std::snprintf(hex, sizeof hex, "\\x%02X", ch);
      out += hex;
    }
    ++shown;
  }
  return out;
}

}  // namespace tarvo::common
