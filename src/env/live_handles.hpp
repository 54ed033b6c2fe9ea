// Which environment and model handles are alive. Every entry point that takes
// a handle asks here first: null, never created and already freed handles are
// all "not live" and are answered with a return code instead of being read.
#pragma once

#include <cstddef>
#include <new>

#include "tarvo.h"

namespace tarvo::base {

bool live(const tvEnv *env) noexcept;
bool live(const tvModel *model) noexcept;

// Storage of the two handle kinds (used by their class operators new and delete).
void *allocate_env(std::size_t bytes, bool nothrow);
void release_env(void *block) noexcept;
void *allocate_model(std::size_t bytes, bool nothrow);
void release_model(void *block) noexcept;

}  // namespace tarvo::base

// Declares the class operators that route a handle type through its registry.
#define TARVO_REGISTERED_HANDLE(kind)                                                             \
  static void *operator new(std::size_t bytes) { return tarvo::base::allocate_##kind(bytes, false); } \
  static void *operator new(std::size_t bytes, const std::nothrow_t &) noexcept {                 \
    return tarvo::base::allocate_##kind(bytes, true);                                              \
  }                                                                                                \
  static void operator delete(void *block) noexcept { tarvo::base::release_##kind(block); }       \
  static void operator delete(void *block, const std::nothrow_t &) noexcept {                      \
    tarvo::base::release_##kind(block);                                                            \
  }
