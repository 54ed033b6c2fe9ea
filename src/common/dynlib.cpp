// Thin wrapper over the dynamic loader so that the rest of the library never
// includes platform headers.
#include "common/dynlib.hpp"

#include <dlfcn.h>

namespace tarvo::common {

void *open_library(const char *path, std::string *why) {
  if (!path || !*path) {
    if (why) *why = "no file name";
    return nullptr;
  }
  void *handle = dlopen(path, RTLD_NOW | RTLD_LOCAL);
  if (!handle && why) {
    const char *msg = dlerror();
    *why = msg ? msg : "unknown loader error";
  }
  return handle;
}

void close_library(void *handle) {
  if (handle) dlclose(handle);
}

void *library_symbol(void *handle, const char *name) {
  return handle && name ? dlsym(handle, name) : nullptr;
}

}  // namespace tarvo::common
