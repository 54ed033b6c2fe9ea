#include "presolve_check.hpp"

#include "test_support.hpp"

#include <algorithm>
#include <cmath>

namespace prestest {

constexpr double kInf = 1e30;

Solved solve(const LinearProblem &p, int prelevel, const Solution *basis) {
  Solved out;
  int code = 0;
  pTVenv env = TVcreateEnv(&code, nullptr);
  pTVmodel model = TVcreateModel(env, &code);
  TVsetModelIntParameter(model, TV_IPARAM_LP_PRELEVEL, prelevel);
  TVsetModelIntParameter(model, TV_IPARAM_LP_PRINTLEVEL, 1);
  std::string log;
  TVsetModelLogfunc(model, tvtest::collect_model_log, &log);
  std::vector<double> rhs(p.m), range(p.m, 0);
  std::string types(p.m, 'E');
  for (int i = 0; i < p.m; ++i) {
    const double rl = p.row_lower[i], ru = p.row_upper[i];
    if (rl == ru) types[i] = 'E', rhs[i] = rl;
    else if (rl <= -kInf && ru >= kInf) types[i] = 'N', rhs[i] = 0;
    else if (rl <= -kInf) types[i] = 'L', rhs[i] = ru;
    else types[i] = 'G', rhs[i] = rl;
  }
  std::vector<int> start = p.start, index = p.index;
  std::vector<double> value = p.value;
  index.push_back(0);
  value.push_back(0);
  out.code = TVloadLPData(model, p.m, p.n, TV_MIN, p.offset, p.cost.data(), rhs.data(), types.c_str(), p.nonzeros(),
                          start.data(), nullptr, value.data(), index.data(), p.lower.data(), p.upper.data());
  if (out.code == 0 && basis) {
    std::vector<int> cols(p.n), rows(p.m);
    int count = 0;
    for (int j = 0; j < p.n; ++j)
      cols[j] = basis->col_status[j] == 0 ? count++ : basis->col_status[j] == 2 ? TV_BASTYPE_ATUP : basis->col_status[j] == 3 ? TV_BASTYPE_FNUL : TV_BASTYPE_ATLO;
    for (int i = 0; i < p.m; ++i) rows[i] = basis->row_status[i] == 0 ? count++ : TV_BASTYPE_ATLO;
    out.code = TVloadBasis(model, cols.data(), rows.data());
  }
  if (out.code == 0) out.code = TVoptimize(model, TV_METHOD_DSIMPLEX, &out.status);
  TVgetInfo(model, TV_DINFO_POBJ, &out.objective);
  int iterations = 0;
  TVgetInfo(model, TV_IINFO_SIM_ITER, &iterations);
  out.iterations = iterations;
  if (out.status == TV_STATUS_BASIC_OPTIMAL) {
    Solution &s = out.solution;
    s.x.resize(p.n);
    s.y.resize(p.m);
    TVgetPrimalSolution(model, s.x.data());
    TVgetDualSolution(model, s.y.data());
    std::vector<int> cols(p.n), rows(p.m);
    TVgetBasis(model, cols.data(), rows.data());
    s.col_status.resize(p.n);
    s.row_status.resize(p.m);
    for (int j = 0; j < p.n; ++j)
      s.col_status[j] = cols[j] >= 0 ? 0 : cols[j] == TV_BASTYPE_ATUP ? 2 : cols[j] == TV_BASTYPE_FNUL ? 3 : 1;
    for (int i = 0; i < p.m; ++i)
      s.row_status[i] = rows[i] >= 0 ? 0 : p.row_lower[i] > -kInf ? 1 : 2;
  }
  out.repaired = log.find("Performing postsolve reoptimization") != std::string::npos;
  TVdeleteModel(&model);
  TVdeleteEnv(&env);
  return out;
}

Residuals residuals(const LinearProblem &p, const Solution &s) {
  Residuals r;
  std::vector<double> act(p.m, 0.0);
  r.objective = p.offset;
  for (int j = 0; j < p.n; ++j) {
    double z = p.cost[j];
    for (int k = p.start[j]; k < p.start[j + 1]; ++k) {
      act[p.index[k]] += p.value[k] * s.x[j];
      z -= p.value[k] * s.y[p.index[k]];
    }
    r.objective += p.cost[j] * s.x[j];
    const double v = s.x[j];
    if (p.lower[j] > -kInf) r.primal = std::max(r.primal, p.lower[j] - v);
    if (p.upper[j] < kInf) r.primal = std::max(r.primal, v - p.upper[j]);
    const int st = s.col_status[j];
    if (st == 0) ++r.basic;
    const double scale = 1 + std::fabs(p.cost[j]);
    if (p.lower[j] == p.upper[j]) continue;
    if (st == 0 || st == 3) r.dual = std::max(r.dual, std::fabs(z) / scale);
    else if (st == 1) r.dual = std::max({r.dual, -z / scale, std::fabs(v - p.lower[j])});
    else r.dual = std::max({r.dual, z / scale, std::fabs(v - p.upper[j])});
  }
  for (int i = 0; i < p.m; ++i) {
    if (p.row_lower[i] > -kInf) r.primal = std::max(r.primal, p.row_lower[i] - act[i]);
    if (p.row_upper[i] < kInf) r.primal = std::max(r.primal, act[i] - p.row_upper[i]);
    const int st = s.row_status[i];
    if (st == 0) {
      ++r.basic;
      r.dual = std::max(r.dual, std::fabs(s.y[i]));
    } else if (p.row_lower[i] != p.row_upper[i]) {
      // at the lower side the dual is >= 0, at the upper side <= 0; and the row is there
      if (st == 1) r.dual = std::max({r.dual, -s.y[i], std::fabs(act[i] - p.row_lower[i])});
      else r.dual = std::max({r.dual, s.y[i], std::fabs(act[i] - p.row_upper[i])});
    }
  }
  return r;
}

}  // namespace prestest
