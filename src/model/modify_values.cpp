// Changing values of a loaded model: right-hand sides, objective, bounds and
// matrix entries. Value changes are offered to the solver work object first,
// so that a warm start survives them; a refusal releases it.
#include <algorithm>
#include <unordered_map>

#include "model/model_state.hpp"
#include "model/modify_internal.hpp"
#include "common/boundary.hpp"
#include "common/error_codes.hpp"

namespace tarvo::base {
namespace {

int check_list(int k, const int *list, const double *values, int count) {
  for (int t = 0; t < k; ++t)
    if (list[t] < 0 || list[t] >= count) return err::kIndexOutOfRange;
  if (any_nan(k, values)) return err::kParamOutOfRange;
  return 0;
}

// Offers one change to the work object; a refusal releases it.
template <class Offer>
void offer(Model *model, Offer update) {
  if (model->work && !update(*model->work)) free_solver_memory(model);
}

int modify_rhs(Model *model, int k, const int *rows, const double *values) {
  ModelData &d = model->data;
  if (int rc = check_list(k, rows, values, d.m)) return rc;
  for (int t = 0; t < k; ++t) {
    d.b[rows[t]] = values[t];
    offer(model, [&](SolverWork &w) { return w.update_rhs(rows[t], values[t]); });
  }
  change_epilogue(model, model->work != nullptr);
  return 0;
}

int modify_cost(Model *model, int k, const int *cols, const double *values) {
  ModelData &d = model->data;
  if (int rc = check_list(k, cols, values, d.n)) return rc;
  if (any_non_finite(k, values)) return err::kParamOutOfRange;
  for (int t = 0; t < k; ++t) {
    d.c[cols[t]] = values[t];
    offer(model, [&](SolverWork &w) { return w.update_cost(cols[t], values[t]); });
  }
  change_epilogue(model, model->work != nullptr);
  return 0;
}

bool shifts_with_constant(int status) {
  return status == TV_STATUS_OPTIMAL || status == TV_STATUS_BASIC_OPTIMAL || status == TV_STATUS_NEAR_OPTIMAL ||
         status == TV_STATUS_LOCAL_OPTIMAL || status == TV_STATUS_UNKNOWN;
}

// The constant moves every objective value by the same amount, so the kept
// solution stays valid and only its objective values shift.
int modify_constant(Model *model, double value) {
  if (!std::isfinite(value)) return err::kParamOutOfRange;
  ModelData &d = model->data;
  const double delta = value - d.obj_constant;
  if (SolutionRecord *s = model->solution.get()) {
    if (shifts_with_constant(s->primal_status)) s->pobj += delta;
    if (shifts_with_constant(s->dual_status)) s->dobj += delta;
  }
  if (MipRecord *r = model->mip.get(); r && !model->cut_row_switch) {
    int st = r->status;
    if (st == TV_STATUS_OPTIMAL || st == TV_STATUS_BASIC_OPTIMAL || st == TV_STATUS_FEASIBLE ||
        st == TV_STATUS_LOCAL_OPTIMAL) {
      r->obj += delta;
      if (std::fabs(r->bestbound) < kInf) r->bestbound += delta;
    }
  }
  d.obj_constant = value;
  return 0;
}

// The status a kept basis gives a column whose lower (or upper) bound moves
// from `old` to `now`; `other` is the column's other bound.
int status_after_lower(int st, double old, double now, double other) {
  if (st < 0 && old == other) return TV_BASTYPE_ATUP;
  if (st == TV_BASTYPE_FNUL && now > -kInf) return TV_BASTYPE_ATLO;
  if (st == TV_BASTYPE_ATLO && now <= -kInf) return other >= kInf ? TV_BASTYPE_FNUL : TV_BASTYPE_ATUP;
  return st;
}
int status_after_upper(int st, double old, double now, double other) {
  if (st < 0 && old == other) return TV_BASTYPE_ATLO;
  if (st == TV_BASTYPE_FNUL && now < kInf) return TV_BASTYPE_ATUP;
  if (st == TV_BASTYPE_ATUP && now >= kInf) return other <= -kInf ? TV_BASTYPE_FNUL : TV_BASTYPE_ATLO;
  return st;
}

int modify_bounds(Model *model, int k, const int *cols, const double *values, bool lower) {
  ModelData &d = model->data;
  if (int rc = check_list(k, cols, values, d.n)) return rc;
  if (lower && !d.semicont.var.empty()) {
    std::vector<char> sc(d.n, 0);
    for (int v : d.semicont.var) sc[v] = 1;
    for (int t = 0; t < k; ++t)
      if (sc[cols[t]]) return err::kValueOutOfRange;
  }
  std::vector<double> &mine = lower ? d.lower : d.upper;
  const std::vector<double> &other = lower ? d.upper : d.lower;
  auto clamp = [&](double v) { return lower ? std::max(v, -kInf) : std::min(v, kInf); };
  bool differs = false;
  {
    // Sequential semantics: a column listed twice takes its last value.
    std::unordered_map<int, double> seen;
    for (int t = 0; t < k && !differs; ++t) {
      auto it = seen.find(cols[t]);
      double now = it != seen.end() ? it->second : mine[cols[t]];
      if (clamp(values[t]) != now) differs = true;
      seen[cols[t]] = clamp(values[t]);
    }
  }
  if (!differs) return 0;

  SolutionRecord *s = model->solution.get();
  const bool basis = s && s->basis_status != TV_STATUS_UNLOADED && static_cast<int>(s->colbasis.size()) == d.n;
  for (int t = 0; t < k; ++t) {
    const int j = cols[t];
    const double old = mine[j], now = clamp(values[t]);
    if (now == old) continue;
    if (basis) {
      int &st = s->colbasis[j];
      st = lower ? status_after_lower(st, old, now, other[j]) : status_after_upper(st, old, now, other[j]);
    }
    mine[j] = now;
    offer(model, [&](SolverWork &w) { return w.update_bounds(j, d.lower[j], d.upper[j]); });
  }
  if (s && s->basis_status != TV_STATUS_UNLOADED) s->basis_status = TV_STATUS_LOADED;
  change_epilogue(model, model->work != nullptr);
  return 0;
}

int modify_entries(Model *model, int j, int k, const int *rows, const double *values) {
  ModelData &d = model->data;
  if (j < 0 || j >= d.n) return err::kIndexOutOfRange;
  for (int t = 0; t < k; ++t)
    if (rows[t] < 0 || rows[t] >= d.m) return err::kIndexOutOfRange;
  if (any_non_finite(k, values)) return err::kParamOutOfRange;
  std::unordered_map<int, int> at;
  at.reserve(static_cast<size_t>(d.length[j]) + k);
  for (int p = d.start[j]; p < d.start[j] + d.length[j]; ++p) at.emplace(d.rowidx[p], p);
  int missing = 0;
  {
    std::unordered_map<int, int> fresh;
    for (int t = 0; t < k; ++t)
      if (!at.count(rows[t]) && fresh.emplace(rows[t], 0).second) ++missing;
  }
  if (missing > 0)
    if (int rc = make_room_for(d, {{j, missing}})) return rc;
  // Room making may have moved the column; positions are taken afresh.
  at.clear();
  for (int p = d.start[j]; p < d.start[j] + d.length[j]; ++p) at.emplace(d.rowidx[p], p);
  for (int t = 0; t < k; ++t) {
    auto it = at.find(rows[t]);
    if (it != at.end()) {
      d.value[it->second] = values[t];
      continue;
    }
    int pos = d.start[j] + d.length[j];
    d.rowidx[pos] = rows[t];
    d.value[pos] = values[t];
    ++d.length[j];
    ++d.nz;
    at.emplace(rows[t], pos);
  }
  change_epilogue(model, false);
  return 0;
}

}  // namespace
}  // namespace tarvo::base

using namespace tarvo::base;

namespace {

// The argument rules shared by the list modifications (after the model check):
// an empty or negative count and missing arrays are answered before any work.
int list_arguments(int k, const void *list, const void *values, bool *done) {
  *done = true;
  if (k == 0) return 0;
  if (k < 0) return tarvo::err::kBadInput;
  if (!list || !values) return tarvo::err::kNullArgument;
  *done = false;
  return 0;
}

}  // namespace

extern "C" {

TVAPI int TVmodifyRHS(pTVmodel model, int nCons, const int *cons, const double *values) {
  if (!live(model)) return tarvo::err::kNullArgument;
  bool done;
  int rc = list_arguments(nCons, cons, values, &done);
  if (done) return rc;
  return tarvo::guarded([&] { return modify_rhs(model, nCons, cons, values); });
}

TVAPI int TVmodifyObjective(pTVmodel model, int nVars, const int *vars, const double *values) {
  if (!live(model)) return tarvo::err::kNullArgument;
  bool done;
  int rc = list_arguments(nVars, vars, values, &done);
  if (done) return rc;
  return tarvo::guarded([&] { return modify_cost(model, nVars, vars, values); });
}

TVAPI int TVmodifyObjConstant(pTVmodel model, double value) {
  if (!live(model)) return tarvo::err::kNullArgument;
  return tarvo::guarded([&] { return modify_constant(model, value); });
}

TVAPI int TVmodifyLowerBounds(pTVmodel model, int nVars, const int *vars, const double *values) {
  if (!live(model)) return tarvo::err::kNullArgument;
  bool done;
  int rc = list_arguments(nVars, vars, values, &done);
  if (done) return rc;
  return tarvo::guarded([&] { return modify_bounds(model, nVars, vars, values, true); });
}

TVAPI int TVmodifyUpperBounds(pTVmodel model, int nVars, const int *vars, const double *values) {
  if (!live(model)) return tarvo::err::kNullArgument;
  bool done;
  int rc = list_arguments(nVars, vars, values, &done);
  if (done) return rc;
  return tarvo::guarded([&] { return modify_bounds(model, nVars, vars, values, false); });
}

TVAPI int TVmodifyAj(pTVmodel model, int j, int nRows, const int *rows, const double *values) {
  if (!live(model)) return tarvo::err::kNullArgument;
  bool done;
  int rc = list_arguments(nRows, rows, values, &done);
  if (done) return rc;
  return tarvo::guarded([&] { return modify_entries(model, j, nRows, rows, values); });
}

}  // extern "C"
