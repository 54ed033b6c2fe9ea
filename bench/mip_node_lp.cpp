// Time of a node LP in the tree against a cold solve of the same node: each
// MIPLIB model's root relaxation is solved, then a dive fixes fractional
// integer columns one at a time (towards the rounded value); every node is
// re-solved warm from its parent's basis, as the tree does, and solved again
// from scratch in a fresh LP with the same bounds.
//
//   bench_mip_node_lp [--nodes K] [MODEL ...]   (names in the MIPLIB 3 folder)
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "model/model.hpp"
#include "mip/working_problem.hpp"
#include "simplex/glp.hpp"
#include "simplex/lp_solver.hpp"

#ifndef TARVO_BENCH_MIPLIB
#define TARVO_BENCH_MIPLIB "../shared/data/miplib3"
#endif

using namespace tarvo;

namespace {

double now() {
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

void load(simplex::LpSolver &lp, const mip::WorkingProblem &w, const simplex::LpOptions &opt) {
  lp.load(w.data, opt);
  for (int i = 0; i < w.prob.m; ++i) lp.set_row_bounds(i, w.prob.row_lo[i], w.prob.row_up[i]);
}

}  // namespace

int main(int argc, char **argv) {
  int nodes = 30;
  std::vector<std::string> models;
  for (int a = 1; a < argc; ++a) {
    if (!std::strcmp(argv[a], "--nodes") && a + 1 < argc)
      nodes = std::atoi(argv[++a]);
    else
      models.push_back(argv[a]);
  }
  if (models.empty()) models = {"p0201", "lseu", "mod008", "bell5", "misc07", "vpm2", "qnet1", "fiber", "gesa2", "pk1"};
  std::printf("%-10s %6s %12s %12s %10s %10s %8s\n", "model", "nodes", "warm ms/node", "cold ms/node", "warm it",
              "cold it", "ratio");
  double log_sum = 0;
  int counted = 0;
  for (const std::string &name : models) {
    int code = 0;
    pTVenv env = TVcreateEnv(&code, nullptr);
    pTVmodel model = TVcreateModel(env, &code);
    const std::string path = std::string(TARVO_BENCH_MIPLIB) + "/" + name + ".mps.gz";
    if (TVreadMPSFile(model, path.c_str(), 1) != 0) {
      std::printf("%-10s cannot read %s\n", name.c_str(), path.c_str());
      TVdeleteEnv(&env);
      continue;
    }
    mip::WorkingProblem w;
    mip::build_working_problem(model->data, 1e5, 1e-6, &w);
    const simplex::LpOptions opt = simplex::LpOptions::from_params(model->params);
    simplex::LpSolver tree;
    load(tree, w, opt);
    if (tree.solve(TV_METHOD_DSIMPLEX, {}) != simplex::LpStatus::kOptimal) {
      TVdeleteEnv(&env);
      continue;
    }
    double warm_t = 0, cold_t = 0, warm_it = 0, cold_it = 0;
    int done = 0;
    for (int k = 0; k < nodes; ++k) {
      int pick = -1;
      const std::vector<double> &x = tree.x();
      for (int j = 0; j < w.prob.n && pick < 0; ++j)
        if (w.prob.is_int[j] && std::fabs(x[j] - std::round(x[j])) > 1e-6) pick = j;
      if (pick < 0) break;
      const double v = std::round(x[pick]);
      tree.set_col_bounds(pick, v, v);
      double t0 = now();
      const simplex::LpStatus st = tree.solve(TV_METHOD_DSIMPLEX, {});
      warm_t += now() - t0;
      warm_it += tree.iterations();
      simplex::LpSolver cold;
      load(cold, w, opt);
      for (int j = 0; j < w.prob.n; ++j) cold.set_col_bounds(j, tree.col_lower(j), tree.col_upper(j));
      t0 = now();
      cold.solve(TV_METHOD_DSIMPLEX, {});
      cold_t += now() - t0;
      cold_it += cold.iterations();
      ++done;
      if (st != simplex::LpStatus::kOptimal) break;
    }
    if (done > 0) {
      const double ratio = warm_t / std::max(cold_t, 1e-9);
      std::printf("%-10s %6d %12.3f %12.3f %10.1f %10.1f %8.3f\n", name.c_str(), done, 1e3 * warm_t / done,
                  1e3 * cold_t / done, warm_it / done, cold_it / done, ratio);
      log_sum += std::log(std::max(ratio, 1e-6));
      ++counted;
    }
    TVdeleteEnv(&env);
  }
  if (counted) std::printf("geometric mean of warm/cold time: %.3f\n", std::exp(log_sum / counted));
  return 0;
}
