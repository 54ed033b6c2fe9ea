// The rules of the solution check that follows every simplex run and the
// bounded schedule of re-solves after a failed check. Pure functions of the
// measured figures, free of model types, so the schedule can be exercised
// without a solver (the tests include this header directly).
#pragma once

#include <algorithm>
#include <cmath>

namespace tarvo::base::recovery {

constexpr double kEps = 2.220446049250313e-16;
constexpr int kMaxResolves = 4;
constexpr int kOutOfMemory = 2001;
constexpr int kNumerical = 2019;

// Action codes: what the next run changes.
enum Action : int {
  kAccept = 0,
  kUnscaledAfterTrouble = 1,  // numerical trouble on a scaled run
  kOtherMethod = 2,           // numerical trouble without scaling: one cold attempt
  kPrimalInfeasible = 3,
  kDualInfeasible = 4,
  kInfeasibleDoubtful = 5,    // an infeasible verdict whose point is (near) feasible
  kCrashBasis = 6,            // trouble before the first iteration: the start basis
  kCutoffDualInfeasible = 7,
};

// The row of the check table that fired; the caller prints its log lines.
enum class Finding {
  kNone,
  kSingularStart,
  kTroubleUnscaled,
  kTroubleScaled,
  kDescaledPrimal,
  kDescaledDual,
  kDescaledCutoffDual,
  kDescaledFeasible,
  kScaledNearFeasible,
  kOriginalPrimal,
  kOriginalDual,
};

// Figures of one finished run.
struct RunFigures {
  bool numerical = false;  // the run ended with 2019
  double iterations = 0;
  bool scaled = false;
  int status = 0;  // model status installed by the run
  // Unscaled violations relative to the size of the bound (primal) or cost
  // (dual): the trigger of a re-solve.
  double pinf = 0, dinf = 0;
  // The same violations relative to the magnitude of the terms that were
  // summed (backward error): what rounding alone can explain.
  double pinf_backward = 0, dinf_backward = 0;
  // Primal violations relative to the terms summed (and the bound): what
  // rounding in a basis of condition condest can explain.
  double pinf_rounding = 1e30;
  double pinf_internal = 0;  // largest bound violation in the solver's own space
  double condest = 1;        // condition estimate of the final basis
  double feastol = 1e-7, opttol = 1e-7;
  double solver_ptol = 1e-7, solver_dtol = 1e-7;  // final tolerances of the solver
};

inline bool primal_accepted(const RunFigures &f) {
  const double tol = std::max(f.feastol, f.solver_ptol);
  return f.pinf <= std::max(tol, 10 * f.feastol) || f.pinf_backward <= std::max(f.condest * kEps, tol) ||
         f.pinf_rounding <= std::max(f.condest, 1000.0) * kEps;
}

inline bool dual_accepted(const RunFigures &f) {
  const double tol = std::max(f.opttol, f.solver_dtol);
  return f.dinf <= std::max(tol, 10 * f.opttol) || f.dinf_backward <= std::max(f.condest * kEps, tol);
}

// An infeasible verdict is doubted below 10^min(-1, floor(log10(condest*eps))+1).
inline double near_feasible_threshold(double condest) {
  const double c = condest >= 1 && std::isfinite(condest) ? condest : 1.0;
  return std::pow(10.0, std::min(-1.0, std::floor(std::log10(c * kEps)) + 1));
}

struct Decision {
  int action = kAccept;
  Finding finding = Finding::kNone;
  bool accepted_primal = false;  // a violation above the trigger was accepted
  bool accepted_dual = false;
};

inline Decision decide(const RunFigures &f) {
  Decision out;
  auto pick = [&](int action, Finding finding) {
    out.action = action;
    out.finding = finding;
    return out;
  };
  if (f.numerical) {
    if (f.iterations == 0) return pick(kCrashBasis, Finding::kSingularStart);
    return f.scaled ? pick(kUnscaledAfterTrouble, Finding::kTroubleScaled)
                    : pick(kOtherMethod, Finding::kTroubleUnscaled);
  }
  const bool primal_bad = f.pinf > 10 * f.feastol, dual_bad = f.dinf > 10 * f.opttol;
  if (f.status == 2) {
    if (primal_bad) {
      if (!primal_accepted(f))
        return pick(kPrimalInfeasible, f.scaled ? Finding::kDescaledPrimal : Finding::kOriginalPrimal);
      out.accepted_primal = true;
    }
    if (dual_bad) {
      if (!dual_accepted(f)) return pick(kDualInfeasible, f.scaled ? Finding::kDescaledDual : Finding::kOriginalDual);
      out.accepted_dual = true;
    }
    return out;
  }
  if (!f.scaled) return out;
  if (f.status == 10 && dual_bad) {
    if (!dual_accepted(f)) return pick(kCutoffDualInfeasible, Finding::kDescaledCutoffDual);
    out.accepted_dual = true;
    return out;
  }
  if (f.status == 3) {
    if (f.pinf < f.feastol) return pick(kInfeasibleDoubtful, Finding::kDescaledFeasible);
    if (f.pinf_internal < near_feasible_threshold(f.condest))
      return pick(kInfeasibleDoubtful, Finding::kScaledNearFeasible);
  }
  return out;
}

// What the re-solve after action `action` changes, k re-solves made so far.
struct Step {
  int scale = -1;       // TV_IPARAM_LP_SCALE for the re-solve (-1 solver decides)
  bool cold = false;    // discard every basis: TV_IPARAM_SOLVER_RESTART 1
  bool last = false;    // no further re-solve after this one
  int note = 0;         // 0 none, 1 off/warm, 2 on/warm, 3 on/cold, 4 off/cold
};

inline Step schedule(int action, int k) {
  Step s;
  if (action == kCrashBasis) {
    s.cold = true;
    return s;
  }
  if (action == kOtherMethod) {
    s.cold = true;
    s.last = true;
    return s;
  }
  switch (k) {
    case 0: s.scale = 0; s.note = 1; break;
    case 1: s.scale = 1; s.note = 2; break;
    case 2: s.scale = 1; s.cold = true; s.note = 3; break;
    default: s.scale = 0; s.cold = true; s.note = 4; break;
  }
  return s;
}

// The re-solve loop: check(code) gives the action of the run just made,
// resolve(action, k, step) runs the next attempt and returns its code. At most
// kMaxResolves re-solves follow the first run; an out-of-memory result ends it.
// Returns the code of the last run; *resolves receives the number of re-solves.
template <class Check, class Resolve>
int run_with_recovery(int code, Check &&check, Resolve &&resolve, int *resolves = nullptr) {
  int k = 0, made = 0;
  if (code != kOutOfMemory) {
    int action = check(code);
    while (action != kAccept && k < kMaxResolves) {
      const Step step = schedule(action, k);
      code = resolve(action, k, step);
      ++made;
      k = step.last ? kMaxResolves : k + 1;
      // no check when nothing could follow it: its advice would be misleading
      if (code == kOutOfMemory || k >= kMaxResolves) break;
      action = check(code);
    }
  }
  if (resolves) *resolves = made;
  return code;
}

}  // namespace tarvo::base::recovery
