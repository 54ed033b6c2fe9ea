#include "simplex/leaving_rows.hpp"

#include <algorithm>
#include <cmath>

namespace tarvo::simplex {

namespace {

// Positions kept between choices: enough that a run of pivots finds its rows
// among them and the touched ones, few enough to cost nothing beside those.
constexpr std::size_t kKeep = 64;

}  // namespace

void LeavingRows::rebuild(const Glp &g) {
  dirty_.assign(g.m + 1, 0);
  dirty_mark_.assign(g.m, 0);
  ndirty_ = 0;
  valid_ = false;
  infeas_.assign(g.m, 0.0);
  listed_.assign(g.m, 0);
  lower_.resize(g.m);
  upper_.resize(g.m);
  ptol_ = g.ptol;
  list_.assign(g.m + 1, 0);
  size_ = 0;
  for (int p = 0; p < g.m; ++p) reseat(g, p);
}

int LeavingRows::choose(const Glp &g, const std::vector<char> &skip, bool weighted) {
  const std::int64_t fact = g.lu.stats().factorizations;
  const bool next_pivot = valid_ && weighted == last_weighted_ && g.iterations == last_iteration_ + 1 &&
                          fact == last_factorization_;
  last_weighted_ = weighted;
  last_iteration_ = g.iterations;
  last_factorization_ = fact;
  // Keeping pays while a pivot touches far fewer rows than are listed (dense
  // pivot columns touch nearly all of them).
  const bool pays = ndirty_ + best_.size() < size_ / 2;
  if (next_pivot && pays) {
    int r = -1;
    double best = 0;
    scored_.clear();
    const auto consider = [&](int p) {
      const double v = infeas_[p];
      if (v == 0.0 || skip[p]) return;
      const double score = weighted ? v / g.weight[p] : v;
      const Scored row{score, p};
      if (row.ranks_above(bar_)) scored_.push_back(row);
      if (row.ranks_above({best, r})) {
        best = score;
        r = p;
      }
    };
    for (std::size_t k = 0; k < ndirty_; ++k) consider(dirty_[k]);
    for (const int p : best_)
      if (!dirty_mark_[p]) consider(p);
    for (std::size_t k = 0; k < ndirty_; ++k) dirty_mark_[dirty_[k]] = 0;
    ndirty_ = 0;
    // every position not considered ranks below bar_
    if (r >= 0 && Scored{best, r}.ranks_above(bar_)) {
      keep_best();
      return r;
    }
  }
  return full_scan(g, skip, weighted, pays);
}

int LeavingRows::full_scan(const Glp &g, const std::vector<char> &skip, bool weighted, bool keep_best_rows) {
  ++full_scans_;
  for (std::size_t k = 0; k < ndirty_; ++k) dirty_mark_[dirty_[k]] = 0;
  ndirty_ = 0;
  scored_.clear();
  bar_ = kNoBar;
  int r = -1;
  double best = 0;
  size_t keep = 0;
  for (size_t k = 0; k < size_; ++k) {
    const int p = list_[k];
    const double v = infeas_[p];
    if (v == 0.0) {  // became feasible since it was listed
      listed_[p] = 0;
      continue;
    }
    list_[keep++] = p;
    if (skip[p]) continue;
    const double score = weighted ? v / g.weight[p] : v;
    // only scores above the bar can be kept; cutting the buffer now and then
    // raises the bar, so most rows of a long list cost one comparison
    const Scored row{score, p};
    if (keep_best_rows && row.ranks_above(bar_)) {
      scored_.push_back(row);
      if (scored_.size() >= 4 * kKeep) trim();
    }
    if (row.ranks_above({best, r})) {
      best = score;
      r = p;
    }
  }
  size_ = keep;
  valid_ = keep_best_rows;
  best_.clear();
  if (valid_) keep_best();
  return r;
}

void LeavingRows::trim() {
  if (scored_.size() <= kKeep) return;
  const auto mid = scored_.begin() + static_cast<std::ptrdiff_t>(kKeep);
  std::nth_element(scored_.begin(), mid, scored_.end(),
                   [](const Scored &a, const Scored &b) { return a.ranks_above(b); });
  for (auto it = mid; it != scored_.end(); ++it)
    if (it->ranks_above(bar_)) bar_ = *it;
  scored_.resize(kKeep);
}

void LeavingRows::keep_best() {
  trim();
  best_.clear();
  for (const Scored &s : scored_)
    if (s.ranks_above(bar_)) best_.push_back(s.p);
}

int LeavingRows::choose_partial(const Glp &g, const std::vector<char> &skip, int method) {
  const std::size_t base_chunk = static_cast<std::size_t>(std::max(32, g.m / 20));
  if (chunk_ == 0) chunk_ = base_chunk;
  if (method == 3) {
    // magnitude classes: the first row whose violation has the largest exponent
    int r = -1, best_exp = 0;
    for (std::size_t k = 0; k < size_; ++k) {
      const int p = list_[k];
      const double v = infeas_[p];
      if (v == 0.0 || skip[p]) continue;
      int e = 0;
      std::frexp(v, &e);
      if (r < 0 || e > best_exp) {
        r = p;
        best_exp = e;
      }
    }
    return r;
  }
  const std::size_t size = size_;
  const std::size_t len = method == 2 ? chunk_ : base_chunk;
  int r = -1;
  double best = 0;
  if (size > 0) {
    if (cursor_ >= size) cursor_ = 0;
    for (std::size_t k = 0; k < std::min(len, size); ++k) {
      const int p = list_[(cursor_ + k) % size];
      const double v = infeas_[p];
      if (v > best && !skip[p]) {
        best = v;
        r = p;
      }
    }
    cursor_ = (cursor_ + len) % size;
  }
  if (r < 0 || size <= len) {
    // dry chunk (or a short list): a full scan, which also tidies the list
    r = choose(g, skip, false);
    largest_seen_ = r >= 0 ? infeas_[r] : 0.0;
    chunk_ = base_chunk;
    return r;
  }
  if (method == 2) {
    // a chunk far below the last full scan's best asks for wider chunks
    if (best < 0.01 * largest_seen_)
      chunk_ = std::min(2 * chunk_, size);
    else if (chunk_ > base_chunk)
      chunk_ = std::max(base_chunk, chunk_ - chunk_ / 4);
  }
  return r;
}

}  // namespace tarvo::simplex
