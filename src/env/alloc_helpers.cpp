// Allocation helpers for C hosts and C-style modules: each fills a pointer
// slot and answers 0 or 2001, so an exhausted heap becomes a return code.
// The module name and line are accepted for diagnostics.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "tarvo.h"
#include "common/error_codes.hpp"

namespace {

constexpr unsigned long long kUnchanged = ~0ULL;

bool overflows(unsigned long long count, size_t elem) {
  return count > SIZE_MAX / elem;
}

int allocate(void *slot, unsigned long long count, size_t elem, bool zeroed) {
  if (!slot) return tarvo::err::kNullArgument;
  if (count == kUnchanged) return 0;
  void **p = static_cast<void **>(slot);
  if (count == 0) {
    *p = nullptr;
    return 0;
  }
  if (overflows(count, elem)) {
    *p = nullptr;
    return tarvo::err::kNoMemory;
  }
  *p = zeroed ? std::calloc(count, elem) : std::malloc(count * elem);
  return *p ? 0 : 2001;
}

int resize(void *slot, unsigned long long count, size_t elem) {
  if (!slot) return tarvo::err::kNullArgument;
  if (count == kUnchanged) return 0;
  void **p = static_cast<void **>(slot);
  if (count == 0) {
    std::free(*p);
    *p = nullptr;
    return 0;
  }
  if (overflows(count, elem)) return tarvo::err::kNoMemory;  // the old block stays in the slot
  void *moved = std::realloc(*p, count * elem);
  if (!moved) return tarvo::err::kNoMemory;
  *p = moved;
  return 0;
}

}  // namespace

extern "C" {

TVAPI int TVcalloc1(void *slot, unsigned long long n, const char *, int) { return allocate(slot, n, 1, true); }
TVAPI int TVcalloc4(void *slot, unsigned long long n, const char *, int) { return allocate(slot, n, 4, true); }
TVAPI int TVcalloc8(void *slot, unsigned long long n, const char *, int) { return allocate(slot, n, 8, true); }
TVAPI int TVmalloc1(void *slot, unsigned long long n, const char *, int) { return allocate(slot, n, 1, false); }
TVAPI int TVmalloc4(void *slot, unsigned long long n, const char *, int) { return allocate(slot, n, 4, false); }
TVAPI int TVmalloc8(void *slot, unsigned long long n, const char *, int) { return allocate(slot, n, 8, false); }
TVAPI int TVrealloc1(void *slot, unsigned long long n, const char *, int) { return resize(slot, n, 1); }
TVAPI int TVrealloc4(void *slot, unsigned long long n, const char *, int) { return resize(slot, n, 4); }
TVAPI int TVrealloc8(void *slot, unsigned long long n, const char *, int) { return resize(slot, n, 8); }

TVAPI int TVrebaseOffsets(void *slot, unsigned long long count, unsigned long long oldCount,
                          char *newBase, const char *, int) {
  if (!slot) return tarvo::err::kNullArgument;
  if (count == kUnchanged) return 0;
  char ***p = static_cast<char ***>(slot);
  if (count == 0) {
    std::free(*p);
    *p = nullptr;
    return 0;
  }
  if (overflows(count, sizeof(char *))) return tarvo::err::kNoMemory;
  char **fresh = static_cast<char **>(std::malloc(count * sizeof(char *)));
  if (!fresh) return tarvo::err::kNoMemory;
  char **old = *p;
  unsigned long long keep = old ? (oldCount < count ? oldCount : count) : 0;
  fresh[0] = newBase;
  for (unsigned long long i = 1; i < keep; ++i) fresh[i] = newBase + (old[i] - old[0]);
  for (unsigned long long i = keep > 0 ? keep : 1; i < count; ++i) fresh[i] = nullptr;
  std::free(old);
  *p = fresh;
  return 0;
}

TVAPI void TVfreeBlock(void *slot) {
  if (!slot) return;
  void **p = static_cast<void **>(slot);
  std::free(*p);
  *p = nullptr;
}

}  // extern "C"
