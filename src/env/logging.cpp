// Log writers of environments and models and the hooks that receive them.
// Solvers write text only through these, gated by their print levels; a log
// function cannot fail and its result is ignored.
#include <cstdio>
#include <mutex>
#include <string>

#include "model/model.hpp"
#include "common/format.hpp"
#include "common/text_lines.hpp"
#include "common/error_codes.hpp"

namespace tarvo::base {
namespace {

std::mutex &debug_lock() {
  static auto *m = new std::mutex;
  return *m;
}
TVenvLogfunc_t g_debug_log = nullptr;
void *g_debug_data = nullptr;

// In line mode a piece is cut at its line feeds and every line that holds
// more than blanks is handed on alone, with one "\n" and no trailing blanks.
template <class Deliver>
void deliver(bool lines, const char *text, Deliver &&to_host) {
  if (!lines) {
    to_host(text);
    return;
  }
  common::for_each_line(text, [&](const char *start, size_t len) {
    while (len > 0 && (start[len - 1] == ' ' || start[len - 1] == '\t' || start[len - 1] == '\r')) --len;
    if (len == 0) return;
    std::string line(start, len);
    line += '\n';
    to_host(line.c_str());
  });
}

// Calls the host's model log function with the phase marker set, so that a
// host querying its model from inside the log function sees the solver's phase.
void model_log_relay(pTVmodel model, const char *text, void *userData) {
  Model *m = model;
  if (!m->hooks.logfunc) return;
  int saved = m->phase_marker;
  m->phase_marker = m->callback_phase;
  deliver(m->hooks.log_lines, text, [&](const char *piece) { m->hooks.logfunc(model, piece, userData); });
  m->phase_marker = saved;
}

}  // namespace

int log_env_v(Env *env, int importance, const char *format, va_list args) {
  if (importance == 0) return 0;
  std::string text;
  if (!common::vformat(text, format, args)) return -1;
  if (env && env->logfunc) {
    deliver(env->log_lines, text.c_str(), [&](const char *piece) { env->logfunc(env, piece, env->logdata); });
  } else {
    TVenvLogfunc_t debug;
    void *data;
    {
      std::lock_guard<std::mutex> hold(debug_lock());
      debug = g_debug_log;
      data = g_debug_data;
    }
    if (debug) {
      debug(env, text.c_str(), data);
    } else if ((env && env->params.integer(TV_IPARAM_XSOLVER_LOG_LEVEL) < 0) || importance == 8) {
      std::printf("%s", text.c_str());
      std::fflush(stdout);
    }
  }
  return static_cast<int>(text.size());
}

int log_env(Env *env, int importance, const char *format, ...) {
  va_list args;
  va_start(args, format);
  int n = log_env_v(env, importance, format, args);
  va_end(args);
  return n;
}

int log_model_v(Model *model, int on, const char *format, va_list args) {
  if (on == 0 || !model || !model->hooks.log_writer) return 0;
  std::string text;
  if (!common::vformat(text, format, args)) return -1;
  model->hooks.log_writer(model, text.c_str(), model->hooks.logdata);
  return static_cast<int>(text.size());
}

int log_model(Model *model, int on, const char *format, ...) {
  va_list args;
  va_start(args, format);
  int n = log_model_v(model, on, format, args);
  va_end(args);
  return n;
}

void log_model_warning(Model *model, int code) {
  if (!model) return;
  int importance = effective_print_level(*model) >= 1 ? 1 : 0;
  log_model(model, importance, "\nWarning: %s (error:%d)", message_text(model->env, code), code);
}

void log_model_token_warning(Model *model, int code, const char *token) {
  if (!model) return;
  int importance = effective_print_level(*model) >= 1 ? 1 : 0;
  log_model(model, importance, "\nWarning: %s (token:'%s', error:%d)", message_text(model->env, code),
            token ? token : "", code);
}

void install_model_logfunc(Model *model, TVmodelLogfunc_t func, void *userData) {
  model->hooks.logfunc = func;
  model->hooks.logdata = userData;
  model->hooks.log_writer = func ? model_log_relay : nullptr;
}

}  // namespace tarvo::base

using namespace tarvo::base;

extern "C" {

TVAPI int TVsetEnvLogfunc(pTVenv env, TVenvLogfunc_t func, void *userData) {
  if (!live(env)) return tarvo::err::kNullArgument;
  env->logfunc = func;
  env->logdata = userData;
  return 0;
}

TVAPI int TVsetEnvLogMode(pTVenv env, int mode) {
  if (!live(env)) return tarvo::err::kNullArgument;
  if (mode != TV_LOGMODE_PIECES && mode != TV_LOGMODE_LINES) return tarvo::err::kParamOutOfRange;
  env->log_lines = mode == TV_LOGMODE_LINES;
  return 0;
}

TVAPI int TVsetModelLogMode(pTVmodel model, int mode) {
  if (!live(model)) return tarvo::err::kNullArgument;
  if (mode != TV_LOGMODE_PIECES && mode != TV_LOGMODE_LINES) return tarvo::err::kParamOutOfRange;
  model->hooks.log_lines = mode == TV_LOGMODE_LINES;
  return 0;
}

TVAPI int TVsetDbgLogfunc(TVenvLogfunc_t func, void *userData) {
  if (!func) return tarvo::err::kNullArgument;
  std::lock_guard<std::mutex> hold(debug_lock());
  g_debug_log = func;
  g_debug_data = userData;
  return 0;
}

TVAPI int TVsetModelLogfunc(pTVmodel model, TVmodelLogfunc_t func, void *userData) {
  if (!live(model)) return tarvo::err::kNullArgument;
  install_model_logfunc(model, func, userData);
  return 0;
}

// The writers return a length, not a code: an exception escaping the
// formatting or a host function reads as a format failure (-1).
TVAPI int TVlogenv(pTVenv env, int importance, const char *format, ...) {
  va_list args;
  va_start(args, format);
  int n;
  try {
    // A stale handle is treated like no environment: only the debug log sees the line.
    n = log_env_v(live(env) ? env : nullptr, importance, format, args);
  } catch (...) {
    n = -1;
  }
  va_end(args);
  return n;
}

TVAPI int TVlogmod(pTVmodel model, int on, const char *format, ...) {
  va_list args;
  va_start(args, format);
  int n;
  try {
    n = live(model) ? log_model_v(model, on, format, args) : 0;
  } catch (...) {
    n = -1;
  }
  va_end(args);
  return n;
}

}  // extern "C"
