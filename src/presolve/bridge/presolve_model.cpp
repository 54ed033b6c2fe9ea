// The model seen by the presolve engine: the user's LP (rows as ranges,
// costs in the minimisation sense) and the reduced problem loaded back into a
// model of its own, with the original names when asked.
#include "presolve/bridge/presolve_model.hpp"

#include <string>

#include "simplex/glp.hpp"

namespace tarvo::base {
namespace {

constexpr double kInf = 1e30;

// Names of the reduced rows and columns: those of their originals.
int copy_names(Model *model, const Model &from, const presolve::Result &map) {
  const ModelData &d = from.data;
  if (!d.connames.present() && !d.varnames.present()) return 0;
  std::vector<std::string> rows, cols;
  for (int i : map.row_origin)
    rows.push_back(d.connames.present() ? d.connames.name(i) : "R" + std::to_string(i));
  for (int j : map.col_origin)
    cols.push_back(d.varnames.present() ? d.varnames.name(j) : "C" + std::to_string(j));
  std::vector<char *> rp, cp;
  for (auto &s : rows) rp.push_back(s.data());
  for (auto &s : cols) cp.push_back(s.data());
  return TVloadNameData(model, d.title.c_str(), d.objname.c_str(), nullptr, nullptr, nullptr,
                        rp.empty() ? nullptr : rp.data(), cp.empty() ? nullptr : cp.data(), nullptr);
}

}  // namespace

presolve::LinearProblem problem_of(const ModelData &d, bool with_types) {
  presolve::LinearProblem p;
  p.m = d.m;
  p.n = d.n;
  const double sense = d.sense == TV_MAX ? -1.0 : 1.0;
  p.start.assign(1, 0);
  for (int j = 0; j < d.n; ++j) {
    for (int k = d.start[j]; k < d.start[j] + d.length[j]; ++k) {
      p.index.push_back(d.rowidx[k]);
      p.value.push_back(d.value[k]);
    }
    p.start.push_back(static_cast<int>(p.index.size()));
    p.cost.push_back(sense * d.c[j]);
  }
  p.lower.assign(d.lower.begin(), d.lower.begin() + d.n);
  p.upper.assign(d.upper.begin(), d.upper.begin() + d.n);
  if (with_types && !d.vtype.empty()) {
    p.integer.resize(d.n);
    for (int j = 0; j < d.n; ++j) p.integer[j] = d.vtype[j] == 'I' || d.vtype[j] == 'B';
  }
  p.row_lower.resize(d.m);
  p.row_upper.resize(d.m);
  for (int i = 0; i < d.m; ++i) {
    double lo, up;
    simplex::row_slack_bounds(d, i, &lo, &up);  // slack = -activity
    p.row_lower[i] = up >= kInf ? -kInf : -up;
    p.row_upper[i] = lo <= -kInf ? kInf : -lo;
  }
  return p;
}

// Loads min c'x + offset over [rl, ru] rows into an empty model.
int load_problem(Model *model, const presolve::LinearProblem &p, const Model *names_from,
                 const presolve::Result *map) {
  std::vector<double> rhs(p.m), range(p.m + 1, 0.0);
  std::vector<char> type(p.m);
  bool ranged = false;
  for (int i = 0; i < p.m; ++i) {
    const double rl = p.row_lower[i], ru = p.row_upper[i];
    if (rl == ru) type[i] = 'E', rhs[i] = rl;
    else if (rl <= -kInf && ru >= kInf) type[i] = 'N', rhs[i] = 0;
    else if (rl <= -kInf) type[i] = 'L', rhs[i] = ru;
    else if (ru >= kInf) type[i] = 'G', rhs[i] = rl;
    else type[i] = 'G', rhs[i] = rl, range[i] = ru - rl, ranged = true;
  }
  std::vector<int> length(p.n);
  for (int j = 0; j < p.n; ++j) length[j] = p.start[j + 1] - p.start[j];
  int code = TVloadLPData(model, p.m, p.n, TV_MIN, p.offset, p.cost.data(), rhs.data(), type.data(), p.nonzeros(),
                          p.start.data(), length.data(), p.value.data(), p.index.data(), p.lower.data(),
                          p.upper.data());
  if (code == 0 && ranged) model->data.range = range;
  if (code == 0 && names_from && map) code = copy_names(model, *names_from, *map);
  return code;
}

int load_reduced(const Model &from, const presolve::Result &r, Model *into) {
  if (int code = load_problem(into, r.reduced, &from, &r)) return code;
  if (!r.reduced.integer.empty() && r.reduced.n > 0) {
    std::string types;
    for (int j = 0; j < r.reduced.n; ++j) types += r.reduced.integer[j] ? 'I' : 'C';
    if (int code = TVloadVarType(into, types.data())) return code;
  }
  if (from.data.sense == TV_MAX) {
    ModelData &rd = into->data;
    for (int j = 0; j < rd.n; ++j) rd.c[j] = -rd.c[j];
    rd.obj_constant = -rd.obj_constant;
    rd.sense = TV_MAX;
  }
  return 0;
}

}  // namespace tarvo::base
