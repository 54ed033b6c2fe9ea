// The registry of live handles: a set under a reader-writer lock (entry points
// only read it) and a bounded queue of freed blocks.
#include "common/handle_registry.hpp"

#include <mutex>
#include <new>

namespace tarvo::common {

void *HandleRegistry::allocate(std::size_t bytes) {
  void *block = ::operator new(bytes);
  try {
    std::unique_lock<std::shared_mutex> hold(lock_);
    live_.insert(block);
  } catch (...) {
    ::operator delete(block);
    throw;
  }
  return block;
}

void *HandleRegistry::allocate(std::size_t bytes, std::nothrow_t) noexcept {
  try {
    return allocate(bytes);
  } catch (...) {
    return nullptr;
  }
}

void HandleRegistry::release(void *block) noexcept {
  if (!block) return;
  void *oldest = nullptr;
  {
    std::unique_lock<std::shared_mutex> hold(lock_);
    live_.erase(block);
    try {
      retired_.push_back(block);
      if (retired_.size() > held_back_) {
        oldest = retired_.front();
        retired_.pop_front();
      }
    } catch (...) {
      oldest = block;  // no room to hold it back: free it at once
    }
  }
  ::operator delete(oldest);
}

bool HandleRegistry::is_live(const void *block) const noexcept {
  if (!block) return false;
  std::shared_lock<std::shared_mutex> hold(lock_);
  return live_.count(block) != 0;
}

}  // namespace tarvo::common
