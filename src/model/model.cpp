// Creating, deleting and clearing models, and the model facts every Part uses.
#include "model/model.hpp"

#include <algorithm>
#include <cstring>

#include "common/clock.hpp"
#include "common/error_codes.hpp"

namespace tarvo::base {

int NamePool::used_length() const {
  // The pool runs to the end of the furthest name; an offset slot past the
  // pool (the spare entry of constraint and cone offsets) holds no name.
  int extent = 0;
  const int size = static_cast<int>(pool.size());
  for (int off : offsets) {
    if (off < 0 || off >= size) continue;
    int len = static_cast<int>(strnlen(pool.data() + off, size - off));
    if (off + len + 1 > extent) extent = off + len + 1;
  }
  return extent;
}

Model *create_model(Env *env, int *code) {
  auto *model = new Model;
  model->status = TV_STATUS_UNLOADED;
  model->created_wall = common::wall_seconds();
  model->created_cpu = common::cpu_seconds();
  {
    std::lock_guard<std::mutex> hold(env->lock);
    env->models.push_back(model);
  }
  model->env = env;
  // The model takes a private copy of every environment value.
  model->params = env->params;
  model->params.marker = params::kModelScope;
  if (code) *code = 0;
  return model;
}

int delete_model(Model *model) {
  Env *env = model->env;
  if (env) {
    std::lock_guard<std::mutex> hold(env->lock);
    auto it = std::find(env->models.begin(), env->models.end(), model);
    if (it == env->models.end()) return err::kInternal;
    env->models.erase(it);
  }
  free_solver_memory(model);
  clear_model_data(model);
  delete model;
  return 0;
}

void clear_model_data(Model *model) {
  free_solver_memory(model);
  model->data = ModelData{};
  model->solution.reset();
  model->mip.reset();
  model->iis.reset();
  model->ius.reset();
  model->status = TV_STATUS_UNLOADED;
  model->var_index.invalidate();
  model->con_index.invalidate();
  model->cone_index.invalidate();
  model->stats = Statistics{};
  model->kind = ModelClass{};
}

void free_solver_memory(Model *model) { model->work.reset(); }

int effective_print_level(const Model &model) {
  int level = model.params.integer(TV_IPARAM_LP_PRINTLEVEL);
  level = std::max(level, model.params.integer(TV_IPARAM_MIP_PRINTLEVEL));
  level = std::max(level, model.params.integer(TV_IPARAM_NLP_PRINTLEVEL));
  if (model.parent && level < 6 && model.params.integer(TV_IPARAM_MIP_PREPRINTLEVEL) < 2) return 0;
  return level;
}

}  // namespace tarvo::base
