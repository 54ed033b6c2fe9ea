// MIPLIB 3 models as the tree sees them: the problem in minimisation form, its
// LP relaxation solved in an LpSolver, default parameters, a checking sink and
// the known optimal solution kept with the tests. Shared by the white-box
// tests and the root benchmark.
#pragma once

#include <cmath>
#include <fstream>
#include <map>
#include <numeric>
#include <random>
#include <string>
#include <vector>

#include "model/model.hpp"
#include "params/param_values.hpp"
#include "mip/mip_context.hpp"
#include "simplex/lp_solver.hpp"
#include "tarvo.h"

namespace mip_test {

using tarvo::mip::MipProblem;
using tarvo::simplex::LpSolver;
using tarvo::simplex::LpStatus;

constexpr double kFeasTol = 1e-6;

// Accepts a point only when it satisfies the original problem, like the tree does.
class CheckingSink : public tarvo::mip::SolutionSink {
 public:
  explicit CheckingSink(const MipProblem &p) : p_(p) {}
  bool submit(const std::vector<double> &x, const char *tag) override {
    submitted++;
    if (static_cast<int>(x.size()) < p_.n) return false;
    const auto v = tarvo::mip::check_point(p_, x.data(), kFeasTol);
    if (v.bound > kFeasTol || v.row > kFeasTol || v.integrality > kFeasTol) return false;
    const double z = tarvo::mip::objective_of(p_, x.data());
    if (z >= best_) return false;
    best_ = z;
    x_ = x;
    tags.push_back(tag ? tag : "");
    return true;
  }
  bool has_incumbent() const override { return !x_.empty(); }
  double incumbent_objective() const override { return best_; }
  const std::vector<double> &incumbent() const override { return x_; }

  int submitted = 0;
  std::vector<std::string> tags;

 private:
  const MipProblem &p_;
  double best_ = 1e30;
  std::vector<double> x_;
};

struct MipModel {
  pTVenv env = nullptr;
  pTVmodel model = nullptr;
  MipProblem prob;
  tarvo::base::ModelData lp_data;  // the relaxation in minimisation form
  LpSolver lp;
  tarvo::base::ParamValues params;
  std::vector<double> optimum;     // empty when no solution file is kept
  double lp_bound = 0;
  std::vector<std::string> log;

  ~MipModel() {
    if (model) TVdeleteModel(&model);
    if (env) TVdeleteEnv(&env);
  }

  static std::string data_path(const std::string &name) {
    return std::string(TARVO_DATA_DIR) + "/miplib3/" + name + ".mps.gz";
  }

  // Reads the model (a MIPLIB 3 name, or a path when it holds a '/') and
  // solves its relaxation; false (with a skip message from the caller) when
  // the data are not there. A nonzero `shuffle` seed orders the columns and
  // rows at random: the same problem with other ties, so other LP vertices.
  bool load(const std::string &name, unsigned shuffle = 0) {
    const std::string path = name.find('/') == std::string::npos ? data_path(name) : name;
    if (!std::ifstream(path)) return false;
    int code = 0;
    env = TVcreateEnv(&code, nullptr);
    model = TVcreateModel(env, &code);
    // the library's files are fixed format; written ones may be free
    if (TVreadMPSFile(model, path.c_str(), 1) != 0 && TVreadMPSFile(model, path.c_str(), 0) != 0) return false;
    tarvo::base::ModelData shuffled;
    if (shuffle != 0) shuffled = shuffled_copy(model->data, shuffle);
    const tarvo::base::ModelData &d = shuffle != 0 ? shuffled : model->data;
    const double sense = d.sense == TV_MAX ? -1.0 : 1.0;
    prob.m = d.m;
    prob.n = d.n;
    prob.obj_constant = sense * d.obj_constant;
    prob.c.resize(d.n);
    prob.col_lo.assign(d.lower.begin(), d.lower.begin() + d.n);
    prob.col_up.assign(d.upper.begin(), d.upper.begin() + d.n);
    prob.is_int.assign(d.n, 0);
    prob.col_start.assign(d.n + 1, 0);
    for (int j = 0; j < d.n; ++j) {
      prob.c[j] = sense * d.c[j];
      if (!d.vtype.empty() && (d.vtype[j] == 'I' || d.vtype[j] == 'B')) prob.is_int[j] = 1;
      for (int k = d.start[j]; k < d.start[j] + d.length[j]; ++k) {
        prob.col_index.push_back(d.rowidx[k]);
        prob.col_value.push_back(d.value[k]);
      }
      prob.col_start[j + 1] = static_cast<int>(prob.col_index.size());
    }
    prob.row_lo.resize(d.m);
    prob.row_up.resize(d.m);
    for (int i = 0; i < d.m; ++i) tarvo::simplex::row_activity_bounds(d, i, &prob.row_lo[i], &prob.row_up[i]);
    prob.build_rows();
    lp_data = d;
    lp_data.sense = TV_MIN;
    for (int j = 0; j < d.n; ++j) lp_data.c[j] = prob.c[j];
    lp_data.obj_constant = prob.obj_constant;
    lp_data.vtype.clear();
    params.reset_to_defaults(tarvo::base::params::kModelScope);
    lp.load(lp_data, tarvo::simplex::LpOptions{});
    if (lp.solve(TV_METHOD_DSIMPLEX, {}) != LpStatus::kOptimal) return false;
    lp_bound = lp.objective();
    if (shuffle == 0) read_optimum(name);
    return true;
  }

  // The linear part of `d` with its columns and rows in a random order.
  static tarvo::base::ModelData shuffled_copy(const tarvo::base::ModelData &d, unsigned seed) {
    std::mt19937 rng(seed);
    std::vector<int> col(d.n), row(d.m), new_row(d.m);
    std::iota(col.begin(), col.end(), 0);
    std::iota(row.begin(), row.end(), 0);
    std::shuffle(col.begin(), col.end(), rng);
    std::shuffle(row.begin(), row.end(), rng);
    for (int i = 0; i < d.m; ++i) new_row[row[i]] = i;
    tarvo::base::ModelData s;
    s.m = d.m;
    s.n = d.n;
    s.sense = d.sense;
    s.obj_constant = d.obj_constant;
    s.start.assign(d.n + 1, 0);
    for (int k = 0; k < d.n; ++k) {
      const int j = col[k];
      s.c.push_back(d.c[j]);
      s.lower.push_back(d.lower[j]);
      s.upper.push_back(d.upper[j]);
      if (!d.vtype.empty()) s.vtype.push_back(d.vtype[j]);
      for (int p = d.start[j]; p < d.start[j] + d.length[j]; ++p) {
        s.rowidx.push_back(new_row[d.rowidx[p]]);
        s.value.push_back(d.value[p]);
      }
      s.start[k + 1] = static_cast<int>(s.rowidx.size());
      s.length.push_back(s.start[k + 1] - s.start[k]);
    }
    s.nz = static_cast<int>(s.rowidx.size());
    s.b.assign(d.m + 1, 0.0);
    s.ctype.assign(d.m + 1, 'N');
    s.range.assign(d.m + 1, 0.0);
    for (int i = 0; i < d.m; ++i) {
      s.b[i] = d.b[row[i]];
      s.ctype[i] = d.ctype[row[i]];
      if (static_cast<int>(d.range.size()) > row[i]) s.range[i] = d.range[row[i]];
    }
    return s;
  }

  void read_optimum(const std::string &name) {
    std::ifstream in(std::string(TARVO_SOURCE_DIR) + "/tests/data/miplib3_solutions/" + name + ".sol");
    if (!in) return;
    std::map<std::string, int> index;
    char buf[512];
    for (int j = 0; j < prob.n; ++j)
      if (TVgetVariableNamej(model, j, buf) == 0) index[buf] = j;
    optimum.assign(prob.n, 0.0);
    std::string col;
    double v;
    while (in >> col >> v) {
      auto it = index.find(col);
      if (it != index.end()) optimum[it->second] = v;
    }
  }

  tarvo::mip::MipContext context(tarvo::mip::SolutionSink &sink) {
    tarvo::mip::MipContext ctx{prob, lp, params, sink};
    ctx.print_level = 7;
    ctx.log = [](void *data, const char *line) { static_cast<MipModel *>(data)->log.push_back(line); };
    ctx.log_data = this;
    return ctx;
  }

  bool logged(const std::string &text) const {
    for (const auto &l : log)
      if (l.find(text) != std::string::npos) return true;
    return false;
  }
};

}  // namespace mip_test
