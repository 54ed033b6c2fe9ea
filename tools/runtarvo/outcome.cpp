#include "outcome.hpp"

#include <cstdio>

namespace runtarvo {
namespace {

// A JSON string: quotes, backslashes and control characters escaped.
std::string json_string(const std::string &s) {
  std::string out = "\"";
  for (unsigned char c : s) {
    if (c == '"' || c == '\\') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c < 0x20) {
      char buf[8];
      std::snprintf(buf, sizeof buf, "\\u%04x", c);
      out += buf;
    } else {
      out += static_cast<char>(c);
    }
  }
  return out + "\"";
}

}  // namespace

std::string error_message(pTVenv env, int code) {
  char text[256] = "";
  TVgetErrorMessage(env, code, text);
  return text;
}

void Outcome::fail(int exit, int code, const std::string &why) {
  if (exit_code != kExitOk) return;
  exit_code = exit;
  error = code;
  message = why;
}

void print_json(const Outcome &o) {
  std::printf("{\"status\": ");
  if (o.solved) std::printf("%d, \"status_text\": %s", o.status, json_string(o.status_text).c_str());
  else std::printf("null, \"status_text\": null");
  std::printf(", \"objective\": ");
  if (o.has_objective) std::printf("%.17g", o.objective);
  else std::printf("null");
  if (o.solved && o.mip) {
    std::printf(", \"bound\": ");
    if (o.has_bound) std::printf("%.17g", o.bound);
    else std::printf("null");
    std::printf(", \"gap\": ");
    if (o.has_gap) std::printf("%.17g", o.gap);
    else std::printf("null");
    std::printf(", \"nodes\": %d, \"lps\": %d, \"time\": %.6f", o.nodes, o.lps, o.seconds);
  } else if (o.solved) {
    std::printf(", \"iterations\": %d, \"time\": %.6f", o.iterations, o.seconds);
  } else {
    std::printf(", \"iterations\": null, \"time\": null");
  }
  if (o.iis_rows >= 0)
    std::printf(", \"iis\": {\"rows\": %d, \"bounds\": %d, \"ints\": %d}", o.iis_rows, o.iis_bounds, o.iis_ints);
  std::printf(", \"error\": %d, \"exit_code\": %d, \"message\": %s}\n", o.error, o.exit_code,
              o.message.empty() ? "null" : json_string(o.message).c_str());
  std::fflush(stdout);
}

}  // namespace runtarvo
