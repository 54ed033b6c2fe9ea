// Models the dispatcher builds for itself (the explicit dual, decomposition
// blocks): created in the owner's environment with the owner's parameters,
// logging into the owner's log and relaying progress to the owner's hooks;
// and the repair of a basis whose basic count does not match its rows.
#include <algorithm>

#include "env/callback_dispatch.hpp"
#include "optimize/optimize_internal.hpp"
#include "params/param_store.hpp"
#include "common/error_codes.hpp"

namespace tarvo::base {
namespace {

constexpr double kInf = 1e30;

void relay_log(pTVmodel, const char *text, void *data) {
  Model *owner = static_cast<Model *>(data);
  if (owner->hooks.log_writer) owner->hooks.log_writer(owner, text, owner->hooks.logdata);
}

// Installed as the scratch model's secondary hook, which the dispatcher calls
// with the model's callback data: the owner.
int relay_progress(pTVmodel scratch, int location, void *data) {
  Model *owner = static_cast<Model *>(data);
  ProgressRecord &to = owner->progress;
  const ProgressRecord &from = scratch->progress;
  to.iter = from.iter;
  to.obj = from.obj;
  to.pinf = from.pinf;
  to.dinf = from.dinf;
  return dispatch_progress(owner, location, -1.0, true).stop() ? -1 : 0;
}

int nonbasic_status(const ModelData &d, int j) {
  if (d.lower[j] > -kInf) return TV_BASTYPE_ATLO;
  if (d.upper[j] < kInf) return TV_BASTYPE_ATUP;
  return TV_BASTYPE_FNUL;
}

}  // namespace

Scratch::Scratch(Model *owner, bool relay) {
  model_ = create_model(owner->env, &code_);
  if (!model_) {
    if (code_ == 0) code_ = err::kNoMemory;
    return;
  }
  model_->params = owner->params;
  model_->parent = owner;
  store_int_param(model_, TV_IPARAM_SOLVER_RESTART, 0);
  if (relay && owner->hooks.log_writer) {
    model_->hooks.log_writer = relay_log;
    model_->hooks.logdata = owner;
    model_->hooks.log_lines = owner->hooks.log_lines;  // its lines reach the same host
  }
  if (relay && progress_hooks_present(*owner)) {
    model_->hooks.secondary = relay_progress;
    model_->hooks.callback_data = owner;
  }
}

Scratch::~Scratch() {
  if (model_) delete_model(model_);
}

int basic_count(const std::vector<int> &cols, const std::vector<int> &rows) {
  int count = 0;
  for (int v : cols) count += v >= 0;
  for (int v : rows) count += v >= 0;
  return count;
}

void fix_basic_count(const ModelData &d, std::vector<int> &cols, std::vector<int> &rows, int target) {
  int count = basic_count(cols, rows);
  // Too many: row slacks leave first, then structurals (from the end, so that
  // the earlier, usually more certain, choices stay).
  for (int i = d.m - 1; i >= 0 && count > target; --i)
    if (rows[i] >= 0) {
      rows[i] = TV_BASTYPE_ATLO;
      --count;
    }
  for (int j = d.n - 1; j >= 0 && count > target; --j)
    if (cols[j] >= 0) {
      cols[j] = nonbasic_status(d, j);
      --count;
    }
  // Too few: slacks enter.
  for (int i = 0; i < d.m && count < target; ++i)
    if (rows[i] < 0) {
      rows[i] = 0;
      ++count;
    }
  for (int j = 0; j < d.n && count < target; ++j)
    if (cols[j] < 0) {
      cols[j] = 0;
      ++count;
    }
  int position = 0;
  for (int &v : cols)
    if (v >= 0) v = position++;
  for (int &v : rows)
    if (v >= 0) v = position++;
  // a nonbasic column keeps only a status its bounds allow
  for (int j = 0; j < d.n; ++j) {
    int &v = cols[j];
    if ((v == TV_BASTYPE_ATLO && d.lower[j] <= -kInf) || (v == TV_BASTYPE_ATUP && d.upper[j] >= kInf) ||
        (v == TV_BASTYPE_FNUL && (d.lower[j] > -kInf || d.upper[j] < kInf)))
      v = nonbasic_status(d, j);
  }
}

}  // namespace tarvo::base
