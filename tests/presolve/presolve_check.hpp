// Helpers of the presolve tests: an LP in the engine's form solved through
// the public library (presolve off), and independent optimality checks of a
// postsolved solution against the original problem.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "presolve/presolve.hpp"
#include "tarvo.h"

namespace prestest {

using tarvo::presolve::LinearProblem;
using tarvo::presolve::Solution;

struct Solved {
  int code = -1, status = -1;
  double objective = 0;
  double iterations = 0;
  bool repaired = false;  // the postsolved point failed its check and was re-solved
  Solution solution;
};

// Solves p (one-sided or equality rows only) through the public library at
// the given presolve level; with `basis` the solve starts from it.
Solved solve(const LinearProblem &p, int prelevel, const Solution *basis = nullptr);

// Largest violations of a solution of p: bounds and rows (primal); reduced
// costs and row duals of the wrong sign for their status, or nonzero on
// basic entries (dual). The basic count must equal the row count.
struct Residuals {
  double primal = 0, dual = 0, objective = 0;
  int basic = 0;
};
Residuals residuals(const LinearProblem &p, const Solution &s);

}  // namespace prestest
