// A file opened by a writer, closed on every path; finish() reports a failed
// write or close as 2015 so a full disk never passes for success.
#pragma once

#include <cstdio>
#include <memory>

#include "common/error_codes.hpp"

namespace tarvo::io {

struct FileCloser {
  void operator()(FILE *f) const { std::fclose(f); }
};
using File = std::unique_ptr<FILE, FileCloser>;

// 0, or 2015 when a write or the close failed.
inline int finish(File *f) {
  const bool failed = std::ferror(f->get()) != 0;
  return std::fclose(f->release()) != 0 || failed ? err::kInternal : 0;
}

}  // namespace tarvo::io
