// Shared helpers of the test suites: RAII handles and a log collector.
#pragma once

#include <string>

#include "tarvo.h"

namespace tvtest {

struct EnvHandle {
  pTVenv env = nullptr;
  EnvHandle() {
    int code = -1;
    env = TVcreateEnv(&code, nullptr);
  }
  ~EnvHandle() {
    if (env) TVdeleteEnv(&env);
  }
  operator pTVenv() const { return env; }
};

struct ModelHandle {
  pTVmodel model = nullptr;
  explicit ModelHandle(pTVenv env) {
    int code = -1;
    model = TVcreateModel(env, &code);
  }
  ~ModelHandle() {
    if (model) TVdeleteModel(&model);
  }
  operator pTVmodel() const { return model; }
};

inline void collect_env_log(pTVenv, const char *text, void *data) {
  *static_cast<std::string *>(data) += text;
}

inline void collect_model_log(pTVmodel, const char *text, void *data) {
  *static_cast<std::string *>(data) += text;
}

inline std::string message(int code) {
  char text[256];
  TVgetErrorMessage(nullptr, code, text);
  return text;
}

std::string temp_path(const std::string &leaf);
std::string read_file(const std::string &path);
void write_file(const std::string &path, const std::string &text);

}  // namespace tvtest
