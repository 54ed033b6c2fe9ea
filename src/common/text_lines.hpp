// Walking a multi-line text (long parameter descriptions) line by line.
#pragma once

#include <cstring>

namespace tarvo::common {

// Calls fn(start, length) for every line of text, without the newline.
template <class Fn>
void for_each_line(const char *text, Fn &&fn) {
  if (!text) return;
  while (*text) {
    const char *eol = std::strchr(text, '\n');
    size_t len = eol ? static_cast<size_t>(eol - text) : std::strlen(text);
    fn(text, len);
    text += len;
    if (*text == '\n') ++text;
  }
}

}  // namespace tarvo::common
