// The environment: root object of the library. It owns the message catalogue,
// the environment-level parameter values, the list of its models, the log and
// exit hooks and the names of optional external libraries.
#pragma once

#include <array>
#include <cstdarg>
#include <mutex>
#include <string>
#include <vector>

#include "env/error_catalogue.hpp"
#include "env/live_handles.hpp"
#include "params/param_values.hpp"
#include "tarvo.h"

namespace tarvo::base {

using Model = ::tvModel;

// Kinds of external libraries whose names the settings block keeps.
enum LibraryName { kExpressionLib = 0, kUserLib = 1, kAnalyticsLib = 2, kScriptingLib = 3 };

struct ExternalLibrary {
  std::string path;      // the file name given or defaulted
  void *handle = nullptr;  // dlopen handle while loaded
};

struct EnvSettings {
  int default_seed = 1031;
  std::array<std::string, 4> library_names;
  std::array<ExternalLibrary, 100> xsolver;  // by kind 1 to 99
  bool quiet = false;                         // suppresses library-loading log lines
};

}  // namespace tarvo::base

struct tvEnv {
  tarvo::base::MessageCatalogue catalogue;
  char build_short[2048] = {0};
  char build_long[2048] = {0};
  tarvo::base::ParamValues params;
  tarvo::base::EnvSettings settings;
  void *tuner = nullptr;  // created empty; the tuner is not part of this library yet
  std::vector<tarvo::base::Model *> models;  // creation order, guarded by `lock`
  std::mutex lock;
  bool lock_ok = true;
  std::vector<void *> samples;  // creation order, guarded by `lock`
  void (*release_sample)(void *) = nullptr;  // set by the first sample created
  double infinity = 1e30;
  TVenvLogfunc_t logfunc = nullptr;
  void *logdata = nullptr;
  bool log_lines = false;  // TV_LOGMODE_LINES
  TVexitFunc_t exitfunc = nullptr;
  void *exitdata = nullptr;
  int option_index = 1;  // command-line option parser state used by the tools
  int option_errors = 1;
  void *mirel_env = nullptr;

  tvEnv() = default;
  tvEnv(const tvEnv &) = delete;
  TARVO_REGISTERED_HANDLE(env)
  tvEnv &operator=(const tvEnv &) = delete;
};

namespace tarvo::base {

using Env = tvEnv;

// The environment's print level: the largest of its LP, integer and nonlinear
// print levels.
int env_print_level(const Env &env);

// Writes one environment log line (importance 0 writes nothing).
int log_env(Env *env, int importance, const char *format, ...)
    __attribute__((format(printf, 3, 4)));
int log_env_v(Env *env, int importance, const char *format, va_list args);

// Process-wide registry of live environments.
void register_env(Env *env);
bool unregister_env(Env *env);  // false when the environment was not listed
int active_env_count();

// Deletes an environment and everything attached (the body of TVdeleteEnv).
int delete_env(Env *env);

// Unrecoverable internal error: calls the exit hook or prints the report, then
// ends the process.
[[noreturn]] void fatal_error(Env *env, const char *solver, const char *file, int line,
                              const char *message);

}  // namespace tarvo::base
