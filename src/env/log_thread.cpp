// Model log lines of multi-threaded solvers: each line carries the number of
// the thread that wrote it, and lines of several threads are serialised.
#include <mutex>
#include <string>

#include "model/model.hpp"
#include "common/format.hpp"

namespace tarvo::base {
namespace {

__attribute__((format(printf, 2, 3))) bool format_text(std::string &out, const char *format, ...) {
  va_list args;
  va_start(args, format);
  bool ok = common::vformat(out, format, args);
  va_end(args);
  return ok;
}

}  // namespace

int log_model_thread(Model *model, int on, int thread, const char *format, ...) {
  if (on == 0 || !model || !model->hooks.log_writer) return 0;
  std::string text;
  va_list args;
  va_start(args, format);
  bool ok = common::vformat(text, format, args);
  va_end(args);
  if (!ok) return -1;
  // A line that opens with a newline keeps it in front of the tag.
  char lead = ' ';
  if (!text.empty() && text[0] == '\n') {
    lead = '\n';
    text[0] = ' ';
  }
  std::string line;
  if (!format_text(line, "%cThread%02d: %s", lead, thread, text.c_str())) return -1;
  // The threads share one log function and one relay, which sets the model's
  // phase marker while the host's function runs: one line at a time.
  // Recursive: a host function that writes a tagged line of its own must not deadlock.
  static std::recursive_mutex lock;
  std::lock_guard<std::recursive_mutex> hold(lock);
  if (model->hooks.log_writer) model->hooks.log_writer(model, line.c_str(), model->hooks.logdata);
  return static_cast<int>(line.size());
}

}  // namespace tarvo::base
