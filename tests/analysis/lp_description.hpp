// Small models for the analysis tests, written row by row, and the checks
// that judge a reported IIS or IUS on their own: each builds the sub-model
// it describes and solves it with TVoptimize (or, for integer models, by
// enumerating the integer points), never trusting the analysis's record.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "tarvo.h"

namespace iistest {

struct Row {
  std::map<int, double> coef;
  char type;  // L, G, E
  double rhs;
};

struct LpDescription {
  int n = 0;
  int sense = TV_MIN;
  std::vector<double> c, lower, upper;
  std::vector<Row> rows;
  std::string vtype;  // empty: all continuous

  explicit LpDescription(int cols, double lo = 0.0, double up = TV_INFINITY)
      : n(cols), c(cols, 0.0), lower(cols, lo), upper(cols, up) {}
  void add(std::map<int, double> coef, char type, double rhs) { rows.push_back({std::move(coef), type, rhs}); }
};

// The linear data of a loaded model (ranges are not carried).
LpDescription description_from_model(pTVmodel model);

// Loads `s` into a fresh model of `env`; 0 or the loader's code.
int load(pTVmodel model, const LpDescription &s);

// Which parts of a model a check keeps.
struct Part {
  std::vector<int> rows;
  bool all_bounds = true;  // otherwise only the bounds listed
  std::vector<int> lower_of, upper_of;
  std::vector<int> ints;  // integrality kept for these columns
};

enum class Outcome { kFeasible, kInfeasible, kOther };

// Solves the part of `s` on its own (zero objective); integer columns of the
// part need finite bounds.
Outcome solve_part(pTVenv env, const LpDescription &s, const Part &p);

// The part read from the model's IIS record, as TVgetIIS reports it.
Part part_from_record(pTVmodel model, const LpDescription &s, bool bounds_analysed, int *necessary_rows, int *necessary_cols);

// Checks that the IIS in the model's record is infeasible and that dropping
// any one necessary member makes it feasible; returns "" or what failed.
std::string check_iis(pTVenv env, pTVmodel model, const LpDescription &s, bool bounds_analysed, bool ints_analysed = false);

// Checks the model's IUS: with the other columns fixed at a feasible point the
// LP is unbounded, and fixing any necessary member too makes it bounded.
std::string check_ius(pTVenv env, pTVmodel model, const LpDescription &s);

}  // namespace iistest
