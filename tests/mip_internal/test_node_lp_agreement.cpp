// Node LPs re-solved warm in one LpSolver, as the tree drives them (bounds
// fixed and branched, subtrees left by putting bounds back, parent bases
// reinstalled), must reach the verdict and objective of a fresh solver loaded
// with the same bounds. A warm run that ends without a verdict fails too.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "model/model.hpp"
#include "mip/working_problem.hpp"
#include "simplex/glp.hpp"
#include "simplex/lp_solver.hpp"
#include "tarvo.h"

namespace {

using tarvo::simplex::LpBasis;
using tarvo::simplex::LpLimits;
using tarvo::simplex::LpOptions;
using tarvo::simplex::LpSolver;
using tarvo::simplex::LpStatus;

void load(LpSolver &lp, const tarvo::mip::WorkingProblem &w, const LpOptions &opt) {
  lp.load(w.data, opt);
  for (int i = 0; i < w.prob.m; ++i) lp.set_row_bounds(i, w.prob.row_lo[i], w.prob.row_up[i]);
}

struct Walk {
  int nodes = 0, infeasible = 0, disagreements = 0;
};

// A random search over one model: dives that fix or branch integer columns,
// and jumps back to a stored node (its bounds and basis), like best-first.
Walk random_search(const std::string &name, int steps, unsigned seed, int dual_pricing) {
  Walk out;
  int code = 0;
  pTVenv env = TVcreateEnv(&code, nullptr);
  pTVmodel model = TVcreateModel(env, &code);
  const std::string path = std::string(TARVO_DATA_DIR) + "/miplib3/" + name + ".mps.gz";
  if (TVreadMPSFile(model, path.c_str(), 1) != 0) {
    TVdeleteEnv(&env);
    return out;
  }
  tarvo::mip::WorkingProblem w;
  tarvo::mip::build_working_problem(model->data, 1e5, 1e-6, &w);
  const LpOptions opt = LpOptions::from_params(model->params);
  LpSolver lp;
  load(lp, w, opt);
  LpLimits lim;
  lim.dual_pricing = dual_pricing;
  EXPECT_EQ(lp.solve(TV_METHOD_DSIMPLEX, lim), LpStatus::kOptimal) << name;
  const std::vector<double> lo0 = lp.col_lowers(), up0 = lp.col_uppers();
  struct Stored {
    std::vector<double> lo, up;
    LpBasis basis;
  };
  std::vector<Stored> stored{{lo0, up0, lp.basis()}};
  std::mt19937 rng(seed);
  for (int step = 0; step < steps; ++step) {
    const bool jump = rng() % 4 == 0;
    if (jump) {  // leave the subtree: another node's bounds and basis
      const Stored &s = stored[rng() % stored.size()];
      for (int j = 0; j < w.prob.n; ++j) lp.set_col_bounds(j, s.lo[j], s.up[j]);
      lp.set_basis(s.basis);
    } else {  // branch on a fractional column, or fix a random integer one
      const std::vector<double> &x = lp.x();
      std::vector<int> frac;
      for (int j = 0; j < w.prob.n; ++j)
        if (w.prob.is_int[j] && lp.col_lower(j) < lp.col_upper(j) && std::fabs(x[j] - std::round(x[j])) > 1e-6)
          frac.push_back(j);
      if (!frac.empty()) {
        const int j = frac[rng() % frac.size()];
        if (rng() % 2)
          lp.set_col_bounds(j, lp.col_lower(j), std::floor(x[j]));
        else
          lp.set_col_bounds(j, std::ceil(x[j]), lp.col_upper(j));
      } else {
        const int j = static_cast<int>(rng() % w.prob.n);
        if (!w.prob.is_int[j] || lp.col_lower(j) == lp.col_upper(j)) continue;
        const double v = rng() % 2 ? lp.col_lower(j) : std::min(lp.col_upper(j), lp.col_lower(j) + 1);
        lp.set_col_bounds(j, v, v);
      }
    }
    const LpStatus warm = lp.solve(TV_METHOD_DSIMPLEX, lim);
    LpSolver cold;
    load(cold, w, opt);
    for (int j = 0; j < w.prob.n; ++j) cold.set_col_bounds(j, lp.col_lower(j), lp.col_upper(j));
    const LpStatus fresh = cold.solve(TV_METHOD_DSIMPLEX, {});
    ++out.nodes;
    const bool agree = warm == fresh && (warm != LpStatus::kOptimal ||
                                         std::fabs(lp.objective() - cold.objective()) <=
                                             1e-6 * (1.0 + std::fabs(cold.objective())));
    if (!agree) {
      ++out.disagreements;
      ADD_FAILURE() << name << " step " << step << ": warm status " << static_cast<int>(warm) << " objective "
                    << lp.objective() << ", fresh status " << static_cast<int>(fresh) << " objective "
                    << cold.objective();
    }
    if (warm == LpStatus::kOptimal) {
      if (stored.size() < 50) stored.push_back({lp.col_lowers(), lp.col_uppers(), lp.basis()});
    } else {
      ++out.infeasible;
      const Stored &s = stored[rng() % stored.size()];  // a pruned node: go elsewhere
      for (int j = 0; j < w.prob.n; ++j) lp.set_col_bounds(j, s.lo[j], s.up[j]);
      lp.set_basis(s.basis);
      lp.solve(TV_METHOD_DSIMPLEX, lim);
    }
  }
  TVdeleteEnv(&env);
  return out;
}

TEST(NodeLpAgreement, WarmVerdictsMatchFreshSolvesOverRandomSearches) {
  const std::string probe = std::string(TARVO_DATA_DIR) + "/miplib3/lseu.mps.gz";
  if (!std::ifstream(probe).good()) GTEST_SKIP() << "MIPLIB 3 data not found under " << TARVO_DATA_DIR;
  int infeasible = 0, nodes = 0;
  for (const char *name : {"lseu", "p0033", "p0201", "mod008", "stein27", "bell5", "vpm2"}) {
    for (int pricing : {1, 3}) {
      const Walk wk = random_search(name, 150, 17u + pricing, pricing);
      infeasible += wk.infeasible;
      nodes += wk.nodes;
    }
  }
  // the walks must reach both kinds of node for the comparison to mean anything
  EXPECT_GT(infeasible, 20);
  EXPECT_GT(nodes - infeasible, 200);
}

}  // namespace
