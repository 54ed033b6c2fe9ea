// Loading and unloading shared libraries by file name at run time.
#pragma once

#include <string>

namespace tarvo::common {

// Opens a library; null when it cannot be loaded (the reason in *why when given).
void *open_library(const char *path, std::string *why = nullptr);
void close_library(void *handle);
void *library_symbol(void *handle, const char *name);

}  // namespace tarvo::common
