// The C boundary: every exported entry point runs its body inside one guard so
// that no C++ exception ever reaches the host. Out-of-memory becomes 2001, any
// other escaping exception 2015; return codes pass through unchanged.
#pragma once

#include <new>
#include <utility>

namespace tarvo {

inline constexpr int kBoundaryNoMemory = 2001;
inline constexpr int kBoundaryInternal = 2015;

template <class Body>
int guarded(Body &&body) noexcept {
  try {
    return std::forward<Body>(body)();
  } catch (const std::bad_alloc &) {
    return kBoundaryNoMemory;
  } catch (...) {
    return kBoundaryInternal;
  }
}

// For entry points that return a handle or pointer and report the code
// through an out-parameter: on any exception the result is `fallback`.
template <class T, class Body>
T guarded_value(int *code, T fallback, Body &&body) noexcept {
  try {
    return std::forward<Body>(body)();
  } catch (const std::bad_alloc &) {
    if (code) *code = kBoundaryNoMemory;
  } catch (...) {
    if (code) *code = kBoundaryInternal;
  }
  return fallback;
}

}  // namespace tarvo
