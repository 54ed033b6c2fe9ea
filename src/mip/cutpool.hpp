// The cut pool: every cut added to the node LP, its state in the LP, its class
// tag and the per-class counters behind the statistics lines.
#pragma once

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "mip/cut.hpp"

namespace tarvo::simplex {
class LpSolver;
struct LpBasis;
}

namespace tarvo::mip {

// Statistics classes, in the order of the statistics lines.
enum class CutClass : int {
  kGub, kFlow, kPFlow, kLift, kPlanLoc, kDisagg, kCover, kLattice, kGomory, kMir, kCoef, kGcd,
  kObj, kCard, kDisjun, kSoftKnap, kLpRound, kClique, kImplied, kOther, kCount
};
CutClass class_of_tag(const char *tag);

struct PoolCut {
  std::vector<int> index;
  std::vector<double> value;
  char sense = 'L';            // 'L', 'G' or 'E'
  double rhs = 0;
  signed char state = 1;       // 1 active (its row bounds hold in the LP), 0 inactive (free row)
  int inactive_count = 0;      // consecutive re-optimisations the cut stayed slack (at the root: with a zero dual)
  unsigned char flags = 0;     // kFlagNoTouch, kFlagBinary, kFlagClique
  std::string tag;
  int lp_row = -1;             // row of the node LP that holds it, -1 when not in the LP
  bool parked = false;         // taken out of the node LP while idle; comes back when violated
  double norm = 0;             // Euclidean norm of the coefficients
};

class ConflictGraph;
struct ImpliedBound;

class CutPool {
 public:
  static constexpr unsigned char kFlagNoTouch = 8;
  static constexpr unsigned char kFlagClique = 32;
  static constexpr unsigned char kFlagBinary = 64;

  explicit CutPool(const MipProblem &prob);
  ~CutPool();
  // The conflict graph of the problem's binaries, built on first use.
  const ConflictGraph &conflict_graph() const;
  // Single-row implied bounds of the problem, found on first use.
  const std::vector<ImpliedBound> &implied_bounds() const;

  // Stores a cut (sense: negative 'G', positive 'L', zero 'E'); coefficients of
  // magnitude <= zero_tol are dropped. Returns its index, or -1 when the pool
  // already holds `capacity` cuts or the data are unusable.
  int add(int capacity, int sense, double zero_tol, const double *coef, const int *cols, int nnz,
          double rhs, const char *tag, bool from_basis = false);
  int size() const { return static_cast<int>(cuts_.size()); }
  const PoolCut &cut(int k) const { return cuts_[k]; }
  PoolCut &cut(int k) { return cuts_[k]; }

  // Appends the cuts not yet in the LP (parked ones excepted) as rows, their slacks basic.
  int flush_to_lp(simplex::LpSolver &lp);
  // Cuts held by the LP rows after the problem's, in row order.
  const std::vector<int> &lp_cuts() const { return row_cut_; }
  // Changes whenever cut indices are renumbered (cuts leaving the pool).
  unsigned epoch() const { return epoch_; }
  // Cut held by LP row i (i >= the problem's rows), -1 when the row is not a pooled cut.
  int cut_of_row(int i) const;
  // Does the LP hold exactly the problem's rows followed by the pool's rows?
  bool in_step_with(const simplex::LpSolver &lp) const;

  // Activity management over the cuts in the LP that are not flagged no-touch:
  // a binding inactive cut is switched on again, an active cut slack for
  // `threshold` re-optimisations with at least `min_nnz` nonzeros is switched
  // off (unless no_deactivate). Returns the number re-activated.
  int update_activity(simplex::LpSolver &lp, int threshold, bool no_deactivate, int min_nnz = 3);
  // Removes the cuts whose LP rows are slack (basic) from the pool and the LP;
  // returns how many went.
  int delete_slack_cuts(simplex::LpSolver &lp);
  // Tree: the cuts in the LP (not no-touch) whose slack is basic and which
  // stayed slack for `max_age` re-optimisations leave the LP but stay in the
  // pool (the basis stays valid). Returns how many left; nothing leaves
  // unless at least `min_batch` can, since every row change rebuilds the LP.
  int park_idle_cuts(simplex::LpSolver &lp, int max_age, int min_batch);
  // Marks for the LP (the next flush) the parked cuts that `x` violates with
  // efficacy at least `min_efficacy`, most violated first, at most `max_count`.
  // Activities are carried from the previous call's point through the
  // columns whose values changed.
  int unpark_violated(const double *x, double min_efficacy, int max_count);
  // Marks parked cut k for the LP again (a stored basis has its row nonbasic).
  void unpark(int k);
  // Root loop ageing after a re-optimisation: a cut in the LP whose dual is
  // zero (slack, or binding but holding no part of the bound) ages by one,
  // any other is made young again.
  void age_cuts(const simplex::LpSolver &lp);
  // Cuts of age `max_age` (those with more than `dense_nnz` nonzeros: of age
  // `dense_max_age`) leave the pool and the LP, whose basis stays (the LP's
  // results are stale until it is solved again). Returns how many went.
  int drop_aged_cuts(simplex::LpSolver &lp, int max_age, int dense_nnz, int dense_max_age);

  // Per-class counters of cuts added; the Gomory class counts GMI cuts, kMir the rounding cuts.
  unsigned count(CutClass c) const { return counts_[static_cast<int>(c)]; }
  // Of those, the cuts built on rows of the optimal tableau (the basis variants).
  unsigned count_basis(CutClass c) const { return basis_counts_[static_cast<int>(c)]; }
  unsigned total() const { return total_; }
  // Pool size when the root phase ended (fixed by the first call); the
  // tree's cut limit counts from there.
  void mark_root_end() {
    if (root_size_ < 0) root_size_ = size();
  }
  int root_size() const { return root_size_ < 0 ? size() : root_size_; }

 private:
  // Removes the cuts in the LP (not flagged no-touch) for which `goes` holds
  // from the LP, and from the pool unless `park`.
  int delete_cuts(simplex::LpSolver &lp, const std::function<bool(const PoolCut &)> &goes, bool park = false);

  // Column-wise copy of the cuts parked since the last build and their
  // activities at `xref`. A cut unparked since keeps its entries (its
  // activity stays current, ready for its next parking) and is skipped.
  struct ParkedIndex {
    bool valid = false;
    int updates = 0;                            // carried updates since the last full evaluation
    std::vector<int> cuts;                      // indexed cuts
    std::vector<char> indexed;                  // per cut
    std::vector<std::vector<int>> col_cut;      // per column: the indexed cuts with an entry
    std::vector<std::vector<double>> col_coef;  // and their coefficients
    std::vector<double> act, xref;
  };
  void index_parked_cut(int k, const double *x);
  void refresh_parked_index(const double *x);

  const MipProblem &prob_;
  std::vector<PoolCut> cuts_;
  ParkedIndex parked_;
  std::vector<int> row_cut_;  // LP row - prob rows -> cut index
  std::array<unsigned, static_cast<int>(CutClass::kCount)> counts_{};
  std::array<unsigned, static_cast<int>(CutClass::kCount)> basis_counts_{};
  unsigned total_ = 0;
  int root_size_ = -1;
  unsigned epoch_ = 0;
  mutable std::unique_ptr<ConflictGraph> graph_;
  mutable std::unique_ptr<std::vector<ImpliedBound>> implied_;
};

}  // namespace tarvo::mip
