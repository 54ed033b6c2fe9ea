// Handles handed to hosts are plain pointers, so a host can pass one after the
// library freed it (a model deleted with its environment, a copy kept after
// TVdeleteModel). Each handle kind keeps a registry of the blocks it has
// handed out; entry points ask it before touching a handle. Freed blocks are
// held back for a while so that a stale handle does not soon name a new object.
#pragma once

#include <cstddef>
#include <deque>
#include <shared_mutex>
#include <unordered_set>

namespace tarvo::common {

class HandleRegistry {
 public:
  explicit HandleRegistry(std::size_t held_back) : held_back_(held_back) {}
  HandleRegistry(const HandleRegistry &) = delete;
  HandleRegistry &operator=(const HandleRegistry &) = delete;

  // Storage for one object; it is live from here until `release`.
  // Throws std::bad_alloc like operator new.
  void *allocate(std::size_t bytes);
  void *allocate(std::size_t bytes, std::nothrow_t) noexcept;
  // Ends the block's life; its memory is reused only after `held_back` later releases.
  void release(void *block) noexcept;

  bool is_live(const void *block) const noexcept;

 private:
  const std::size_t held_back_;
  mutable std::shared_mutex lock_;
  std::unordered_set<const void *> live_;
  std::deque<void *> retired_;
};

}  // namespace tarvo::common
