// One side of a row, side * a x <= b, relaxed to a knapsack over binary
// literals: binaries with a negative weight are complemented (literal 2j+1 is
// 1 - x_j), the other columns go to the bound that weakens the row least.
// The cover-type separators (knapsack, GUB, cardinality, soft knapsack) build
// on it.
#pragma once

#include <vector>

#include "mip/conflict_graph.hpp"
#include "mip/separators.hpp"

namespace tarvo::mip {

struct KnapsackLiteral {
  int lit;   // 2j for x_j, 2j+1 for 1 - x_j
  double w;  // weight, positive
  double v;  // LP value of the literal
};

// A column with a negative weight and a finite lower bound, kept out of the
// capacity: it stretches it by w * (x_col - lo).
struct StretchTerm {
  int col;
  double w;
  double lo;
};

struct KnapsackSide {
  std::vector<KnapsackLiteral> lits;
  std::vector<StretchTerm> stretch;  // filled only when asked for
  double cap = 0;
};

// False when some column has no finite bound to be moved to. With
// `keep_stretch` non-binary columns with a negative weight go to `stretch`.
bool knapsack_of_side(const SepInput &in, const int *idx, const double *val, int len, double side, double rhs,
                      bool keep_stretch, KnapsackSide &out);

// Clique partition of the side's literals in their order (see
// clique_partition). When any two literals together outweigh the capacity the
// side is one clique by itself and the graph is not asked: on set-partitioning
// rows the graph's partition cost a neighbourhood walk per literal.
int side_clique_partition(const KnapsackSide &ks, NeighbourMarks &marks, std::vector<int> &group);

// Appends coef * literal to the cut (a complemented literal moves coef to the rhs).
void add_literal(Cut &cut, int lit, double coef);

// Tags the cut and makes it safe; true when it passes the efficacy threshold.
inline bool accept_cut(const SepInput &in, const char *tag, Cut &cut) {
  cut.tag = tag;
  if (!tidy_cut(cut, in.prob, in.safety)) return false;
  cut.efficacy = cut_efficacy(cut, in.x);
  return cut.efficacy >= in.safety.min_efficacy;
}

}  // namespace tarvo::mip
