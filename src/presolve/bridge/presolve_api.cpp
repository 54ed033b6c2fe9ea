// C entries built on the presolve engine: the duplicate columns of a model
// and the presolved model written as a file.
#include <string>

#include "common/error_codes.hpp"
#include "params/param_store.hpp"
#include "presolve/bridge/presolve_model.hpp"
#include "common/boundary.hpp"
#include "env/live_handles.hpp"

namespace tarvo::base {
namespace {

int duplicate_columns(Model *model, int with_cost, int *nSets, int *setBegin, int *setMembers) {
  if (model->status == TV_STATUS_UNLOADED) return err::kNotLoaded;
  const auto groups = presolve::duplicate_columns(problem_of(model->data), with_cost != 0);
  *nSets = static_cast<int>(groups.size());
  int at = 0;
  for (size_t g = 0; g < groups.size(); ++g) {
    if (setBegin) setBegin[g] = at;
    for (int j : groups[g]) {
      if (setMembers) setMembers[at] = j;
      ++at;
    }
  }
  if (setBegin) setBegin[groups.size()] = at;
  return 0;
}

// The presolved copy of the model in `reduced` (the user's objective sense).
int build_reduced(Model *model, Model *reduced) {
  const ModelData &d = model->data;
  bool mip = false;
  for (int j = 0; j < d.n && !d.vtype.empty(); ++j) mip = mip || d.vtype[j] == 'I' || d.vtype[j] == 'B';
  presolve::Options opt;
  opt.mip = mip;
  opt.level = model->params.integer(mip ? TV_IPARAM_MIP_PRELEVEL : TV_IPARAM_LP_PRELEVEL) & ~8192;
  opt.fill_limit = model->params.integer(mip ? TV_IPARAM_MIP_PRE_ELIM_FILL : TV_IPARAM_SOLVER_PRE_ELIM_FILL);
  opt.feastol = model->params.dbl(TV_DPARAM_SOLVER_FEASTOL);
  const presolve::LinearProblem p = problem_of(d, mip);
  presolve::Result r;
  if (int code = presolve::run(p, opt, &r)) return code;
  if (r.outcome == presolve::Outcome::kInfeasible) return err::kBadInput;  // no reduced model to show
  if (r.outcome == presolve::Outcome::kUnchanged) {
    r.reduced = p;
    for (int i = 0; i < p.m; ++i) r.row_origin.push_back(i);
    for (int j = 0; j < p.n; ++j) r.col_origin.push_back(j);
  }
  return load_reduced(*model, r, reduced);
}

int write_reduced(Model *model, const char *fileName, int format) {
  if (model->status == TV_STATUS_UNLOADED) return err::kNotAvailable;
  int code = 0;
  Model *reduced = create_model(model->env, &code);
  if (!reduced) return code ? code : err::kNoMemory;
  reduced->params = model->params;
  code = build_reduced(model, reduced);
  if (code == 0) {
    log_model(model, 1, "\nExporting reduced model as %s", fileName);
    code = TVwriteMPSFile(reduced, fileName, format);
    if (code != 0) log_model(model, 1, "\nFailed to export reduced model in MPS format");
  }
  delete_model(reduced);
  return code;
}

}  // namespace
}  // namespace tarvo::base

using namespace tarvo::base;

extern "C" {

TVAPI int TVgetDuplicateColumns(pTVmodel model, int withCost, int *nSets, int *setBegin, int *setMembers) {
  if (!tarvo::base::live(model) || !nSets) return tarvo::err::kNullArgument;
  return tarvo::guarded([&] { return duplicate_columns(model, withCost, nSets, setBegin, setMembers); });
}

TVAPI int TVwriteReducedMPSFile(pTVmodel model, const char *fileName, int format) {
  if (!tarvo::base::live(model) || !fileName) return tarvo::err::kNullArgument;
  if (format < 0 || format > 3) return tarvo::err::kParamOutOfRange;
  return tarvo::guarded([&] { return write_reduced(model, fileName, format); });
}

}  // extern "C"
