// A pure binary linear model rewritten in -1/+1 columns s = 2x - 1 on a copy:
// x = (1 + s)/2 halves every coefficient and cost and moves half of each
// column's coefficients into the right-hand sides and the objective constant.
// The copy's columns are integers in [-1, 1]; its points at s = -1 or +1 are
// those of the binary model (0 is not excluded by the bounds alone).
#include <vector>

#include "common/error_codes.hpp"
#include "env/live_handles.hpp"
#include "model/query_rules.hpp"
#include "common/boundary.hpp"
#include "mip/binary_expansion.hpp"

namespace tarvo::mip {
namespace {

// The refusal lines; empty when the model is a pure binary linear model.
const char *refusal(const base::ModelData &d) {
  for (int j = 0; j < d.n; ++j) {
    const char t = d.vtype.empty() ? 'C' : d.vtype[j];
    if (t == 'I' && !(d.lower[j] >= 0 && d.upper[j] <= 1))
      return "\nError: model has general integer variables, cannot convert to +1/-1 variables.";
  }
  if (d.sets.count() > 0) return "\nError: model has sets, cannot convert to +1/-1 variables.";
  if (!d.semicont.var.empty()) return "\nError: model has semi-continuous variables, cannot convert to +1/-1 variables.";
  if (!d.qc.empty() || d.ncones > 0 || d.has_instructions || !d.indicators.row.empty() || !d.alldiff.lower.empty())
    return "\nError: model is not a linear model, cannot convert to +1/-1 variables.";
  for (int j = 0; j < d.n; ++j) {
    const char t = d.vtype.empty() ? 'C' : d.vtype[j];
    if (t != 'B' && t != 'I') return "\nError: model is not a binary model, cannot convert to +1/-1 variables.";
  }
  if (d.n == 0) return "\nError: model is not a binary model, cannot convert to +1/-1 variables.";
  return nullptr;
}

int convert_to_pm1(base::Model *model, base::Model **out) {
  const base::ModelData &d = model->data;
  if (model->status == TV_STATUS_UNLOADED) return err::kNotLoaded;
  if (const char *why = refusal(d)) {
    base::log_model(model, 1, "%s", why);
    return err::kNotSupported;
  }
  int code = 0;
  base::Model *c = copy_for_solve(model, &code);
  if (!c) return code;
  const int n = d.n, m = d.m;
  std::vector<double> rhs(d.b.begin(), d.b.begin() + m), cost(n), lo(n, -1.0), up(n, 1.0);
  std::vector<int> cols(n), all_rows(m);
  double constant = d.obj_constant;
  for (int i = 0; i < m; ++i) all_rows[i] = i;
  for (int j = 0; j < n && code == 0; ++j) {
    cols[j] = j;
    cost[j] = 0.5 * d.c[j];
    constant += 0.5 * d.c[j];
    std::vector<int> rows;
    std::vector<double> vals;
    for (int k = d.start[j]; k < d.start[j] + d.length[j]; ++k) {
      rhs[d.rowidx[k]] -= 0.5 * d.value[k];
      rows.push_back(d.rowidx[k]);
      vals.push_back(0.5 * d.value[k]);
    }
    if (!rows.empty()) code = TVmodifyAj(c, j, static_cast<int>(rows.size()), rows.data(), vals.data());
  }
  std::vector<char> types(n + 1, 'I');
  if (code == 0 && m > 0) code = TVmodifyRHS(c, m, all_rows.data(), rhs.data());
  if (code == 0) code = TVmodifyObjective(c, n, cols.data(), cost.data());
  if (code == 0) code = TVmodifyObjConstant(c, constant);
  if (code == 0) code = TVmodifyVariableType(c, n, cols.data(), types.data());
  if (code == 0) code = TVmodifyLowerBounds(c, n, cols.data(), lo.data());
  if (code == 0) code = TVmodifyUpperBounds(c, n, cols.data(), up.data());
  if (code == 0 && model->mip && base::status_has_solution(base::mip_reported_status(*model->mip)) &&
      static_cast<int>(model->mip->x.size()) == n) {
    std::vector<double> s(n);
    for (int j = 0; j < n; ++j) s[j] = 2 * model->mip->x[j] - 1;
    code = TVloadMIPVarStartPoint(c, s.data());
  }
  if (code != 0) {
    TVdeleteModel(&c);
    return code;
  }
  *out = c;
  return 0;
}

}  // namespace
}  // namespace tarvo::mip

using namespace tarvo;

extern "C" {

TVAPI pTVmodel TVconvBin2PM1(pTVmodel model, int *errorCode) {
  if (!tarvo::base::live(model)) {
    if (errorCode) *errorCode = err::kNullArgument;
    return nullptr;
  }
  base::Model *out = nullptr;
  const int code = guarded([&] { return mip::convert_to_pm1(model, &out); });
  if (errorCode) *errorCode = code;
  return code == 0 ? out : nullptr;
}

}  // extern "C"
