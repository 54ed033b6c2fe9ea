// printf-style log lines of the cut and heuristic plug-ins, sent through the
// tree's log function when the MIP print level reaches `level`.
#pragma once

#include <cstdarg>
#include <cstdio>

#include "mip/mip_context.hpp"

namespace tarvo::mip {

#if defined(__GNUC__)
__attribute__((format(printf, 3, 4)))
#endif
inline void context_log(const MipContext &ctx, int level, const char *fmt, ...) {
  if (!ctx.log || ctx.print_level < level) return;
  char buf[512];
  va_list ap;
  va_start(ap, fmt);
  std::vsnprintf(buf, sizeof buf, fmt, ap);
  va_end(ap);
  ctx.log(ctx.log_data, buf);
}

}  // namespace tarvo::mip
