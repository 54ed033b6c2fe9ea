// Integer feasibility tests of the IIS analysis, run by the integer solver's
// branch-and-bound search (cuts, heuristics, node LPs) on the switched-on
// part of the model. Each test is bounded by a node limit and by what is left
// of the analysis's iteration and time budget; the host's progress callback
// can stop it at every log point.
#pragma once

#include <vector>

#include "analysis/run_budget.hpp"
#include "model/model.hpp"

namespace tarvo::analysis {

// What one test looks at: activity bounds of every original row (+-1e30 for a
// row switched off), column bounds and the columns whose integrality holds.
struct MipTestInput {
  const std::vector<double> *row_lo, *row_up, *col_lo, *col_up;
  const std::vector<char> *is_int;
};

enum class MipVerdict { kInfeasible, kFeasible, kStop };

class MipOracle {
 public:
  MipOracle(base::Model *model, RunBudget &budget) : model_(model), budget_(budget) {}

  // max_nodes bounds the branches of one test unless TV_IPARAM_MIP_BRANCH_LIMIT
  // is set; int_tol is the integrality tolerance.
  void setup(double max_nodes, double int_tol) {
    max_nodes_ = max_nodes;
    int_tol_ = int_tol;
  }

  // kStop leaves the reason in stop_code(); kFeasible leaves the point in x().
  MipVerdict test(const MipTestInput &in);
  int stop_code() const { return stop_code_; }
  const std::vector<double> &x() const { return x_; }

 private:
  base::Model *model_;
  RunBudget &budget_;
  double max_nodes_ = 20000, int_tol_ = 1e-6;
  int stop_code_ = 0;
  std::vector<double> x_;
};

}  // namespace tarvo::analysis
