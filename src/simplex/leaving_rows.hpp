// The dual simplex's choice of the leaving row. The squared primal
// infeasibilities of the basic positions are kept in one array with a list of
// the infeasible positions: rebuilt whenever x is recomputed, updated only at
// the positions a pivot or a bound flip touches. Choosing then scans the
// infeasible rows alone, over contiguous memory, instead of every row's
// variable, value and bounds. The bounds of the basics are copied by position
// so that the updates, which run over whole (often dense) pivot columns, read
// them in order instead of through the basis header.
// Between consecutive pivots of one update sequence only the touched positions
// change their score (weights change where the pivot column is nonzero, which
// touch() sees as well), so choose() keeps the few best positions of its last
// scan and a bound on every other score: it rescans the list only when the
// touched and kept positions cannot beat that bound.
#pragma once

#include <algorithm>
#include <cstdint>
#include <limits>
#include <vector>

#include "simplex/glp.hpp"

namespace tarvo::simplex {

class LeavingRows {
 public:
  // From the current x of every basic position.
  void rebuild(const Glp &g);
  // After the value of the basic at position p became xv (inline: it runs
  // for every nonzero of every pivot column).
  void touch(int p, double xv) {
    // without branches: over dense pivot columns the outcomes are a coin toss
    const double viol = std::max(lower_[p] - xv, xv - upper_[p]);
    const double v = viol > ptol_ ? viol * viol : 0.0;
    infeas_[p] = v;
    const bool add = v != 0.0 && !listed_[p];
    list_[size_] = p;
    size_ += add;
    listed_[p] |= static_cast<char>(add);
    dirty_[ndirty_] = p;
    ndirty_ += !dirty_mark_[p];
    dirty_mark_[p] = 1;
  }
  // After another variable became basic at position p.
  void reseat(const Glp &g, int p) {
    const int j = g.head[p];
    lower_[p] = g.lower[j];
    upper_[p] = g.upper[j];
    touch(p, g.x[j]);
  }
  // The infeasible position with the largest infeasibility^2 / weight (lowest
  // position on ties); rows marked in skip are left out. -1 when none. The
  // weights may change only through a pivot (at touched positions) between
  // calls that are one iteration apart; skip may only gain rows.
  int choose(const Glp &g, const std::vector<char> &skip, bool weighted);
  // Dantzig's rule over part of the list (TV_IPARAM_LP_DPARTIAL): 1 fixed
  // chunks of the list in turn, 2 chunks that grow while they yield small
  // violations, 3 the first row of the largest binary magnitude class. A
  // chunk without an eligible row widens to the whole list. -1 when none.
  int choose_partial(const Glp &g, const std::vector<char> &skip, int method);
  // Choices that had to scan the whole list (the others came from the kept rows).
  std::int64_t full_scans() const { return full_scans_; }

 private:
  std::vector<double> infeas_;  // squared violation beyond ptol, 0 when feasible
  std::vector<double> lower_, upper_;  // bounds of the basic at each position
  double ptol_ = 0;
  std::vector<int> list_;       // positions that may be infeasible: the first size_ (room for m + 1)
  std::size_t size_ = 0;
  std::vector<char> listed_;
  std::size_t cursor_ = 0;     // where the next partial chunk starts
  std::size_t chunk_ = 0;      // current chunk length (0: not sized yet)
  double largest_seen_ = 0;    // largest violation^2 of the last full scan

  // ---- incremental choice
  // Rows are ranked by score, then by lower position (the choice's tie rule),
  // a strict order: with many equal scores (integral data, unit weights) a
  // bar on the score alone would keep none of the tied rows.
  struct Scored {
    double score;
    int p;
    bool ranks_above(const Scored &o) const { return score > o.score || (score == o.score && p < o.p); }
  };
  int full_scan(const Glp &g, const std::vector<char> &skip, bool weighted, bool keep_best_rows);
  // Keeps the kKeep best of scored_ in best_ and raises bar_ to the highest
  // ranked row left out (bar_ never falls: what was below it stays below).
  void keep_best();
  // The kKeep best of scored_ stay (in any order), the bar rises to the
  // highest ranked row cut.
  void trim();
  std::vector<int> dirty_;        // positions touched since the last choice (room for m + 1)
  std::size_t ndirty_ = 0;
  std::vector<char> dirty_mark_;
  std::vector<int> best_;         // kept positions; every other listed row ranks below bar_
  static constexpr Scored kNoBar{0.0, std::numeric_limits<int>::max()};  // below every candidate
  Scored bar_ = kNoBar;
  std::vector<Scored> scored_;    // scratch
  bool valid_ = false;            // best_/bar_ hold for the state after the last choice
  bool last_weighted_ = false;
  double last_iteration_ = -1;
  std::int64_t last_factorization_ = -1;
  std::int64_t full_scans_ = 0;
};

}  // namespace tarvo::simplex
