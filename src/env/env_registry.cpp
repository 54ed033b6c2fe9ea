// The process-wide list of live environments. Environments a host forgot are
// deleted by a routine registered when the first environment is created.
#include <algorithm>
#include <cstdlib>
#include <mutex>
#include <vector>

#include "env/env.hpp"
#include "env/xsolver_library.hpp"

namespace tarvo::base {
namespace {

// Heap objects that are never destroyed, so that the exit routine can still
// use them after static destructors have run.
std::mutex &count_lock() {
  static auto *m = new std::mutex;
  return *m;
}
std::mutex &list_lock() {
  static auto *m = new std::mutex;
  return *m;
}
int g_active_count = 0;
std::vector<Env *> *g_active_list = nullptr;

void delete_remaining_envs() {
  std::vector<Env *> remaining;
  {
    std::lock_guard<std::mutex> hold(list_lock());
    if (g_active_list) remaining = *g_active_list;
  }
  for (Env *env : remaining) delete_env(env);
  {
    std::lock_guard<std::mutex> hold(list_lock());
    delete g_active_list;
    g_active_list = nullptr;
  }
  unload_process_libraries();
}

}  // namespace

void register_env(Env *env) {
  {
    std::lock_guard<std::mutex> hold(count_lock());
    ++g_active_count;
  }
  std::lock_guard<std::mutex> hold(list_lock());
  if (!g_active_list) {
    g_active_list = new std::vector<Env *>;
    std::atexit(delete_remaining_envs);
  }
  g_active_list->push_back(env);
}

bool unregister_env(Env *env) {
  {
    std::lock_guard<std::mutex> hold(count_lock());
    --g_active_count;
  }
  std::lock_guard<std::mutex> hold(list_lock());
  if (!g_active_list) return false;
  auto it = std::find(g_active_list->begin(), g_active_list->end(), env);
  if (it == g_active_list->end()) return false;
  g_active_list->erase(it);
  return true;
}

int active_env_count() {
  std::lock_guard<std::mutex> hold(count_lock());
  return g_active_count;
}

}  // namespace tarvo::base
