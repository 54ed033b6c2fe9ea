// The per-environment message catalogue: a slot table of offsets into one text
// pool, built from the static list of codes and texts.
#pragma once

#include <cstddef>

namespace tarvo::base {

struct MessageCatalogue {
  static constexpr int kSlots = 2752;  // codes 0 to 2751
  char *pool = nullptr;
  int *slots = nullptr;
  size_t used = 0;
  size_t capacity = 0;

  int build();    // 0 or 2001
  void release();
  const char *text(int code) const;  // null when the code has no text
  ~MessageCatalogue() { release(); }
};

// The static text of a code without any environment (null when none).
const char *catalogue_text(int code);

}  // namespace tarvo::base
