// Semicontinuous variables (zero, or between a lower and an upper value):
// loading, deleting, changing and the query. The list keeps each variable's
// lower value; its upper value is the column's upper bound, and the column's
// lower bound is held at 0.
#include <algorithm>
#include <cmath>
#include <vector>

#include "model/member_lists.hpp"
#include "model/model_state.hpp"
#include "common/boundary.hpp"
#include "common/error_codes.hpp"

namespace tarvo::base {
namespace {

// NaN would pass every later bound comparison unnoticed.
int check_values(int count, const double *lower, const double *upper) {
  for (int t = 0; t < count; ++t)
    if (std::isnan(lower[t]) || std::isnan(upper[t])) return err::kValueOutOfRange;
  return 0;
}

double clamp_lower(double v) { return std::max(v, -1e30); }
double clamp_upper(double v) { return std::min(v, 1e30); }

// Position of each variable in the list, -1 for those not in it.
std::vector<int> list_positions(const ModelData &d) {
  std::vector<int> pos(d.n, -1);
  for (size_t t = 0; t < d.semicont.var.size(); ++t) pos[d.semicont.var[t]] = static_cast<int>(t);
  return pos;
}

int load_semicont(Model *model, int count, const int *vars, const double *lower, const double *upper) {
  if (count == 0) return 0;
  if (count < 0) return err::kBadInput;
  ModelData &d = model->data;
  if (!d.semicont.var.empty()) return err::kAlreadyLoaded;
  if (!vars || !lower || !upper) return err::kNullArgument;
  std::vector<char> mark(d.n, 0);
  for (int t = 0; t < count; ++t) {
    int j = vars[t];
    if (j < 0 || j >= d.n) return err::kColumnOutOfRange;
    if (mark[j]) return err::kDuplicateIndex;
    mark[j] = 1;
  }
  int code = check_values(count, lower, upper);
  if (code) return code;
  SemiContData sc;
  sc.var.assign(vars, vars + count);
  sc.lower.resize(count);
  for (int t = 0; t < count; ++t) sc.lower[t] = clamp_lower(lower[t]);
  d.semicont = std::move(sc);
  for (int t = 0; t < count; ++t) {
    d.upper[vars[t]] = clamp_upper(upper[t]);
    d.lower[vars[t]] = 0.0;
  }
  after_load_reset(model);
  return 0;
}

// The list names variables; one that is not semicontinuous is out of range.
int delete_semicont(Model *model, int count, const int *vars) {
  if (count == 0) return 0;
  if (count < 0) return err::kBadInput;
  if (!vars) return err::kNullArgument;
  ModelData &d = model->data;
  std::vector<char> listed;
  int code = check_index_list(count, vars, 0, d.n, 2012, &listed);
  if (code) return code;
  std::vector<int> pos = list_positions(d);
  std::vector<char> drop(d.semicont.var.size(), 0);
  for (int t = 0; t < count; ++t) {
    if (pos[vars[t]] < 0) return err::kIndexOutOfRange;
    drop[pos[vars[t]]] = 1;
  }
  // The columns keep their bounds [0, upper value] and become plain continuous ones.
  drop_flagged(d.semicont.var, drop);
  drop_flagged(d.semicont.lower, drop);
  change_epilogue(model, false);
  return 0;
}

int modify_semicont(Model *model, int count, const int *vars, const double *lower, const double *upper) {
  if (count == 0) return 0;
  if (count < 0) return err::kBadInput;
  if (!vars || !lower || !upper) return err::kNullArgument;
  ModelData &d = model->data;
  std::vector<char> mark(d.n, 0);
  for (int t = 0; t < count; ++t) {
    int j = vars[t];
    if (j < 0 || j >= d.n) return err::kColumnOutOfRange;
    if (mark[j]) return err::kDuplicateIndex;
    mark[j] = 1;
  }
  std::vector<int> pos = list_positions(d);
  for (int t = 0; t < count; ++t)
    if (pos[vars[t]] < 0) return err::kIndexOutOfRange;
  int code = check_values(count, lower, upper);
  if (code) return code;
  for (int t = 0; t < count; ++t) {
    d.semicont.lower[pos[vars[t]]] = clamp_lower(lower[t]);
    d.upper[vars[t]] = clamp_upper(upper[t]);
  }
  change_epilogue(model, false);
  return 0;
}

int get_semicont(const Model &model, int *count, int *vars, double *lower, double *upper) {
  if (!model_available(model)) return err::kNotAvailable;
  const ModelData &d = model.data;
  const SemiContData &sc = d.semicont;
  if (sc.var.empty()) return err::kNotAvailable;
  if (count) *count = static_cast<int>(sc.var.size());
  if (vars) std::copy(sc.var.begin(), sc.var.end(), vars);
  if (lower) std::copy(sc.lower.begin(), sc.lower.end(), lower);
  if (upper)
    for (size_t t = 0; t < sc.var.size(); ++t) upper[t] = d.upper[sc.var[t]];
  return 0;
}

}  // namespace
}  // namespace tarvo::base

using namespace tarvo::base;

extern "C" {

TVAPI int TVloadSemiContData(pTVmodel model, int nVars, const int *vars, const double *lower,
                             const double *upper) {
  if (!live(model)) return tarvo::err::kNullArgument;
  return tarvo::guarded([&] { return load_semicont(model, nVars, vars, lower, upper); });
}

TVAPI int TVdeleteSemiContVars(pTVmodel model, int nVars, const int *vars) {
  if (!live(model)) return tarvo::err::kNullArgument;
  return tarvo::guarded([&] { return delete_semicont(model, nVars, vars); });
}

TVAPI int TVmodifySemiContVars(pTVmodel model, int nVars, const int *vars, const double *lower,
                               const double *upper) {
  if (!live(model)) return tarvo::err::kNullArgument;
  return tarvo::guarded([&] { return modify_semicont(model, nVars, vars, lower, upper); });
}

TVAPI int TVgetSemiContData(pTVmodel model, int *nVars, int *vars, double *lower, double *upper) {
  if (!live(model)) return tarvo::err::kNullArgument;
  return tarvo::guarded([&] { return get_semicont(*model, nVars, vars, lower, upper); });
}

}  // extern "C"
