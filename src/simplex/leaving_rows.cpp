#include "simplex/leaving_rows.hpp"

namespace tarvo::simplex {

void LeavingRows::rebuild(const Glp &g) {
  infeas_.assign(g.m, 0.0);
  listed_.assign(g.m, 0);
  list_.clear();
  for (int p = 0; p < g.m; ++p) {
    const double v = squared_violation(g, p);
    if (v == 0.0) continue;
    infeas_[p] = v;
    listed_[p] = 1;
    list_.push_back(p);
  }
}

int LeavingRows::choose(const Glp &g, const std::vector<char> &skip, bool weighted) {
  int r = -1;
  double best = 0;
  size_t keep = 0;
  for (size_t k = 0; k < list_.size(); ++k) {
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
  list_.resize(keep);
  return r;
}

}  // namespace tarvo::simplex
