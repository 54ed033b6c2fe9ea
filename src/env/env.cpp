// Creating and deleting environments, in the fixed order of their steps.
#include "env/env.hpp"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "model/model.hpp"
#include "env/version_info.hpp"
#include "env/xsolver_library.hpp"
#include "common/boundary.hpp"
#include "common/error_codes.hpp"

namespace tarvo::base {
namespace {

bool cpu_has_avx2() {
#if defined(__x86_64__) || defined(__i386__)
  __builtin_cpu_init();
  return __builtin_cpu_supports("avx2");
#else
  return true;  // the check concerns x86 builds only
#endif
}

int build_env(Env *env) {
  // Step 3: option parser, infinity, model list; the lock is a member.
  env->option_index = 1;
  env->option_errors = 1;
  env->infinity = 1e30;
  // Step 4: message catalogue.
  if (int code = env->catalogue.build(); code != 0) return code;
  // Steps 5 and 7: parameter groups with their defaults, settings block.
  env->params.reset_to_defaults(params::kEnvScope);
  env->settings.default_seed = env->params.integer(TV_IPARAM_DEFAULT_SEED);
  fill_library_names(env->settings);
  // Step 6: the default expression library; quiet unless a print level asks.
  env->settings.quiet = env->params.integer(TV_IPARAM_LP_PRINTLEVEL) < 4 &&
                        env->params.integer(TV_IPARAM_MIP_PRINTLEVEL) < 4 &&
                        env->params.integer(TV_IPARAM_NLP_PRINTLEVEL) < 4;
  set_xsolver_library(*env, 9, nullptr);
  env->settings.quiet = false;
  // Step 8: the parameter registry must be consistent.
  if (!params::registry_consistent()) {
    std::printf("Assertion failed. File: %s, Line: %d\n", "src/env/env.cpp", __LINE__);
    return err::kInternal;
  }
  // Step 9: build descriptions.
  write_build_descriptions(env->build_short, env->build_long, sizeof env->build_short, cpu_has_avx2());
  // Step 11: the analytics toolbox, once per process.
  load_analytics_toolbox(env->settings);
  // Step 12: count and list.
  register_env(env);
  return 0;
}

}  // namespace

int env_print_level(const Env &env) {
  int lp = env.params.integer(TV_IPARAM_LP_PRINTLEVEL);
  int mip = env.params.integer(TV_IPARAM_MIP_PRINTLEVEL);
  int nlp = env.params.integer(TV_IPARAM_NLP_PRINTLEVEL);
  return std::max(lp, std::max(mip, nlp));
}

int delete_env(Env *env) {
  std::vector<Model *> models;
  {
    std::lock_guard<std::mutex> hold(env->lock);
    models = env->models;
  }
  for (Model *model : models) free_solver_memory(model);
  for (;;) {
    Model *first = nullptr;
    {
      std::lock_guard<std::mutex> hold(env->lock);
      if (env->models.empty()) break;
      first = env->models.front();
    }
    if (int code = delete_model(first); code != 0) return code;
  }
  // Samples still attached go in creation order; each one unlinks itself.
  for (;;) {
    void *first = nullptr;
    {
      std::lock_guard<std::mutex> hold(env->lock);
      if (env->samples.empty() || !env->release_sample) break;
      first = env->samples.front();
    }
    env->release_sample(first);
  }
  env->samples.clear();
  release_xsolver_libraries(*env);
  env->catalogue.release();
  if (!unregister_env(env))
    log_env(nullptr, 1, "Warning: %s instance 0x%p was not found in active env list", "environment",
            static_cast<void *>(env));
  delete env;
  return 0;
}

[[noreturn]] void fatal_error(Env *env, const char *solver, const char *file, int line,
                              const char *message) {
  if (env && env->exitfunc) {
    env->exitfunc(env->exitdata, file, line, message);
  } else {
    std::fprintf(stderr, "%s: unrecoverable internal error", solver ? solver : "solver");
    std::fprintf(stderr, "\nfile: %s", file ? file : "");
    std::fprintf(stderr, "\nline: %d", line);
    std::fprintf(stderr, "\nmsg : %s\n", message ? message : "");
    std::fflush(stderr);
  }
  std::exit(0);
}

}  // namespace tarvo::base

using namespace tarvo::base;

extern "C" {

TVAPI pTVenv TVcreateEnv(int *errorCode, char *) {
  return tarvo::guarded_value<pTVenv>(errorCode, nullptr, [&]() -> pTVenv {
    if (!cpu_has_avx2()) {
      std::fprintf(stderr, "\nWarning: AVX2 support is not available on this CPU.\n");
      std::fprintf(stderr, "Use a build of the library made without AVX2 for this processor.\n");
      if (errorCode) *errorCode = tarvo::err::kNotSupported;
      return nullptr;
    }
    Env *env = new (std::nothrow) Env;
    if (!env) {
      if (errorCode) *errorCode = tarvo::err::kNoMemory;
      return nullptr;
    }
    int code = tarvo::err::kNoMemory;
    try {
      code = build_env(env);
    } catch (const std::bad_alloc &) {
      code = tarvo::err::kNoMemory;
    }
    if (code != 0) {
      delete env;  // never registered: registration is the last step
      if (errorCode) *errorCode = code;
      return nullptr;
    }
    if (errorCode) *errorCode = 0;
    return env;
  });
}

TVAPI int TVdeleteEnv(pTVenv *env) {
  if (!env || !live(*env)) return tarvo::err::kNullArgument;
  return tarvo::guarded([&] {
    int code = delete_env(*env);
    if (code == 0) *env = nullptr;
    return code;
  });
}

TVAPI int TVsetEnvExitFunc(pTVenv env, TVexitFunc_t func, void *userData) {
  if (!live(env)) return tarvo::err::kNullArgument;
  env->exitfunc = func;
  env->exitdata = userData;
  return 0;
}

TVAPI pTVmodel TVgetEnvLogModel(pTVenv env) {
  if (!live(env)) return nullptr;
  std::lock_guard<std::mutex> hold(env->lock);
  for (Model *model : env->models)
    if (model->hooks.logfunc) return model;
  return nullptr;
}

TVAPI void *TVgetMirelEnv(pTVenv env) { return live(env) ? env->mirel_env : nullptr; }

TVAPI int TVgetParamCount(pTVenv env, int) {
  if (!live(env)) return 0;
  return tarvo::base::params::count();
}

}  // extern "C"
