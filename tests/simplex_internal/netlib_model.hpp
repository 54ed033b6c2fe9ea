// A netlib model read through the public API, for white-box tests that build
// solver objects from its data.
#pragma once

#include <fstream>
#include <string>

#include "model/model.hpp"
#include "tarvo.h"

struct NetlibModel {
  pTVenv env = nullptr;
  pTVmodel model = nullptr;
  NetlibModel() = default;
  NetlibModel(const NetlibModel &) = delete;
  NetlibModel &operator=(const NetlibModel &) = delete;
  ~NetlibModel() {
    if (model) TVdeleteModel(&model);
    if (env) TVdeleteEnv(&env);
  }
  // False when the model set is missing or the file does not read.
  bool load(const std::string &name) {
    const std::string path = std::string(TARVO_DATA_DIR) + "/netlib/" + name + ".mps.gz";
    if (!std::ifstream(path)) return false;
    int code = 0;
    env = TVcreateEnv(&code, nullptr);
    model = TVcreateModel(env, &code);
    return TVreadMPSFile(model, path.c_str(), 1) == 0;
  }
  const tarvo::base::ModelData &data() const { return model->data; }
};
