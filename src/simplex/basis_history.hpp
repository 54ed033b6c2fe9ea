// Memory of earlier bases that a singular factorisation can fall back on: the
// last stably factorised ("fallback") basis and a ring of the last 20 pivots,
// which a rollback undoes back to the previous factorisation.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

namespace tarvo::simplex {

struct PivotEntry {
  double iteration = 0;
  double degenerate = 0;
  int factorization = 0;  // factorisations done when the pivot was made
  int row = -1;           // basic position
  int entering = -1, leaving = -1;
  signed char leave_state = 0;  // nonbasic state the leaving variable took
  double pivot = 0;
};

struct BasisRecovery {
  static constexpr int kHistory = 20;
  // The fallback basis: saved after each stable factorisation.
  std::vector<int> head;
  std::vector<signed char> state;
  double saved_iteration = -1;
  double rcond = 1, cond2est = 1;
  unsigned long long hash = 0;
  int uses = 0;       // restores of the current fallback
  int restores = 0;   // restores in this work object's life
  int rollbacks = 0;
  // The pivot ring: entries [top - size, top) are valid, newest at top - 1.
  std::array<PivotEntry, kHistory> ring{};
  long long top = 0;
  int size = 0;
  int method = 1;     // TV_IPARAM_LP_BASRECOV_METHOD (0 means 1)
  int ratrange = 4;   // TV_IPARAM_LP_RATRANGE: LU pivot candidates, lowered after a failure
  bool saved() const { return !head.empty(); }
};

}  // namespace tarvo::simplex
