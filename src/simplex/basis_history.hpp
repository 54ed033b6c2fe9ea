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

// How far a run has come, comparable across the phases and methods of one
// solve: fewer kinds of infeasibility first (2 primal and dual infeasible, 1
// one of them, 0 none); within the same level and kind of run a smaller
// measure (infeasibility sum of a phase 1, objective in the phase's
// direction). Runs of another kind at the same level are not comparable: the
// newer one counts, the solve has moved on.
enum ProgressKind : int { kPrimalPhase1, kPrimalPhase2, kDualPhase1, kDualPhase2 };
struct Progress {
  int level = 3;  // worse than any real basis
  int kind = -1;
  double measure = 0;
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
  // The best basis of this solve by Progress, recorded at stable
  // factorisations (TV_IPARAM_LP_UMODE bit 4); it replaces the fallback when a
  // numerical error asks for a restore.
  bool keep_best = false;
  std::vector<int> best_head;
  std::vector<signed char> best_state;
  Progress best;
  double best_checked = -1e30;  // iteration of the last comparison
  double best_iteration = -1;
  int best_restores = 0;
  // A restore request (numerical errors in a row): the next refactorisation
  // for a numerical error puts the fallback (or best) basis back first.
  bool restore_request = false;
  int numerr_streak = 0;
  int method = 1;     // TV_IPARAM_LP_BASRECOV_METHOD (0 means 1)
  int ratrange = 4;   // TV_IPARAM_LP_RATRANGE: LU pivot candidates, lowered after a failure
  bool saved() const { return !head.empty(); }
  bool best_saved() const { return !best_head.empty(); }
};

}  // namespace tarvo::simplex
