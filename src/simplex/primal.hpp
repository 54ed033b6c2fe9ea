// State of one primal simplex run and the pieces it is built from: pricing
// (partial and Devex), the two-pass ratio test and the bound shifts that
// perturbation and the Harris test leave behind.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "simplex/glp.hpp"

namespace tarvo::simplex {

enum PrimalPricing : int { kPartialPricing = 0, kDevexPricing = 2 };

// Bounds moved away from the model's: by the anti-degeneracy perturbation or
// by the ratio test when a basic variable leaves slightly beyond its bound.
struct BoundShifts {
  std::vector<double> lower, upper;  // original bounds; empty while nothing moved
  int count = 0;
  bool perturbed = false;  // a perturbation (not only Harris shifts) is active
  int perturbations = 0;   // started in this run
  bool active() const { return count > 0; }
};

// Candidates of partial method 3, filed by the magnitude of their reduced cost
// into 45 buckets (1 largest); entries are checked when read.
struct PricingBuckets {
  static constexpr int kCount = 45;
  std::array<std::vector<int>, kCount + 1> bucket;  // index 1..45
  std::vector<char> filed;                          // per variable
  bool primed = false;  // filled by a full scan since the last refactorisation
};

// Candidate list of partial pricing (methods 1 and 2): the improving columns
// of the segments scanned so far, priced again every iteration; each new
// segment's candidates are merged in and the list keeps the best up to its
// capacity (one segment). Merges that fill it beyond TV_DPARAM_LP_MERGEFACT
// of its capacity are counted; more of them than TV_IPARAM_LP_MAXMERGE
// between two factorisations ask for a refactorisation (WFACT_MAXDMERGE),
// which starts the list afresh.
struct PartialList {
  std::vector<int> cand;
  std::vector<char> listed;  // per variable
  long long overfull = 0;    // merges past the fill factor since the last factorisation
  double merge_fact = 0.7;
  long long merge_limit = 0;  // 0: min(refactorisation frequency, 200) * m
  void reset() {
    for (int j : cand) listed[j] = 0;
    cand.clear();
    overfull = 0;
  }
};

// Bucket of a reduced-cost magnitude r = f 2^e (0.5 <= f < 1): 20 - e, within 1..45.
int bucket_of(double r);

// Lexicographic ratio test (TV_IPARAM_LP_UMODE bit 32), the anti-degeneracy
// step that replaces the bound perturbation: the bounds are thought moved
// outward by infinitesimals e^1 >> e^2 >> ..., one per basic variable of the
// basis the test started from (`order`), and rows that tie in the ratio test
// are compared on those terms. Every basic row starts lexicographically
// positive, so no basis repeats; nothing is moved, nothing to remove.
struct LexOrder {
  bool on = false;
  std::vector<int> order;   // the basic variables when the test started, by position
  int starts = 0;
  long long decided = 0;    // ties the e-terms decided
};

struct PrimalState {
  bool phase1 = false;
  std::vector<signed char> pclass;  // per position: -1 below lower, 0 feasible, 1 above upper
  std::vector<double> cb;           // phase costs per position (phase 1)
  std::vector<char> rejected;       // per variable, for the current factorisation
  int nrejected = 0;
  int pricing = kDevexPricing;
  int partial_method = 2;
  int segment_start = 0;  // rotating start of partial pricing
  std::vector<double> devex;        // reference weights per variable
  int devex_resets = 0;
  BoundShifts shifts;
  double degenerate = 0;            // degenerate pivots of this run
  double check_iter = 0, check_degenerate = 0;  // snapshot of the automatic pricing rule
  std::uint32_t seed = 987654321u;
  PricingBuckets buckets;
  PartialList partial;
  LexOrder lex;
  bool lexicographic = false;  // the anti-degeneracy step is the lexicographic test
  std::vector<int> free_cols;  // nonbasic-able columns without a finite bound, priced first
  bool free_first = true;
  double pert_factor = 0;  // perturbation size, 0: the solver decides
  int ratio_mode = 1;      // TV_IPARAM_LP_PRATIO
};

// Files nonbasic j with reduced-cost magnitude r for partial method 3.
void file_candidate(PrimalState &ps, int j, double r);

// Improving amount of nonbasic j (0 when j cannot improve the objective).
double improvement(const Glp &g, const PrimalState &ps, int j);

// Entering column by the run's pricing rule, or -1.
int choose_entering(Glp &g, PrimalState &ps, bool randomised);
void reset_devex(const Glp &g, PrimalState &ps);
// Reference-weight update after the pivot at row r with the pivot row in g.alpha_*.
void update_devex(Glp &g, PrimalState &ps, int q, int leave, double alpha_rq);

struct PrimalRatio {
  int row = -1;          // leaving position, -1: none
  double step = 0;       // step length of the entering variable (>= 0)
  double bound = 0;      // bound the leaving variable goes to
  bool flip = false;     // the entering variable moves to its other bound instead
  double pivot = 0;      // |alpha| of the chosen row
  double largest = 0;    // largest |alpha| among the rows that limit the step
};

// Two-pass Harris ratio test for entering q moving in direction dir with the
// FTRAN column in g.work_col.
PrimalRatio primal_ratio(Glp &g, PrimalState &ps, int q, double dir, double pivtol);

// A row of the ratio test that reaches its bound within the tolerance.
struct TiedRow {
  int p;
  double step;    // exact ratio (>= 0)
  double bound;   // the bound it reaches
  double absval;  // |alpha|
  double sign;    // +1 towards its lower bound, -1 towards its upper
};
// Among rows tied in the ratio test, the lexicographically smallest by the
// e-terms of ps.lex (rows with a pivot well below the largest are left out);
// index into `ties`.
std::size_t lexicographic_choice(Glp &g, PrimalState &ps, std::vector<TiedRow> &ties);
// Starts the lexicographic test from the current basis.
void start_lexicographic(Glp &g, PrimalState &ps);
// The anti-degeneracy step of the run: bound perturbation or the lexicographic test.
void anti_degeneracy_step(Glp &g, PrimalState &ps);

// Perturbs the finite bounds of non-fixed variables outward by small random
// amounts and moves the nonbasic ones with them.
void perturb_bounds(Glp &g, PrimalState &ps);
// Moves the bound of j to value (keeping the original for restore_bounds).
void shift_bound(Glp &g, BoundShifts &s, int j, bool lower_side, double value);
// Restores every moved bound and puts the nonbasic variables back on them.
void restore_bounds(Glp &g, BoundShifts &s);

}  // namespace tarvo::simplex
