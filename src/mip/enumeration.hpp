// The enumeration and knapsack solver for pure binary models: a depth-first
// search with propagation of the rows' activity bounds and of the objective
// against the incumbent, and the fractional knapsack bound when the model is a
// single knapsack row. It needs no LP and proves optimality when it finishes.
#pragma once

#include <vector>

#include "mip/mip_context.hpp"

namespace tarvo::mip {

// Pure binary (fixed columns allowed) and small enough for the search.
bool enumeration_accepts(const MipProblem &p);

struct EnumerationLimits {
  double deadline = 1e30;   // wall-clock seconds
  double node_limit = -1;   // <0 none
};

struct EnumerationResult {
  bool complete = false;  // the whole space was searched: the sink holds the optimum or none exists
  double nodes = 0;
};

// Searches the binaries within [lo, up] (n values each); solutions go to the
// sink with the knapsack tag. Rows beyond p.m are not looked at.
EnumerationResult enumerate_binary(const MipProblem &p, const std::vector<double> &lo,
                                   const std::vector<double> &up, SolutionSink &sink, const EnumerationLimits &lim);

}  // namespace tarvo::mip
