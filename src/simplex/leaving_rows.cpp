#include "simplex/leaving_rows.hpp"

#include <algorithm>
#include <cmath>

namespace tarvo::simplex {

void LeavingRows::rebuild(const Glp &g) {
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
    if (score > best || (score == best && p < r)) {
      best = score;
      r = p;
    }
  }
  size_ = keep;
  return r;
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
