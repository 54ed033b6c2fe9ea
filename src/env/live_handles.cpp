// The registries of live environments and models. Both are heap objects that
// are never destroyed: the exit routine deletes forgotten environments after
// static destructors may have run.
#include "env/live_handles.hpp"

#include "common/handle_registry.hpp"

namespace tarvo::base {
namespace {

// Freed blocks held back before their memory may name a new object. Models
// come and go in numbers (worker copies of parallel solves), environments rarely.
constexpr std::size_t kHeldBackModels = 256;
constexpr std::size_t kHeldBackEnvs = 16;

common::HandleRegistry &envs() {
  static auto *registry = new common::HandleRegistry(kHeldBackEnvs);
  return *registry;
}

common::HandleRegistry &models() {
  static auto *registry = new common::HandleRegistry(kHeldBackModels);
  return *registry;
}

void *allocate_in(common::HandleRegistry &registry, std::size_t bytes, bool nothrow) {
  return nothrow ? registry.allocate(bytes, std::nothrow) : registry.allocate(bytes);
}

}  // namespace

bool live(const tvEnv *env) noexcept { return env && envs().is_live(env); }
bool live(const tvModel *model) noexcept { return model && models().is_live(model); }

void *allocate_env(std::size_t bytes, bool nothrow) { return allocate_in(envs(), bytes, nothrow); }
void release_env(void *block) noexcept { envs().release(block); }
void *allocate_model(std::size_t bytes, bool nothrow) { return allocate_in(models(), bytes, nothrow); }
void release_model(void *block) noexcept { models().release(block); }

}  // namespace tarvo::base
