// Depth-first enumeration over binaries with activity-bound propagation.
#include "mip/enumeration.hpp"

#include <algorithm>
#include <cmath>

#include "common/clock.hpp"
#include "mip/heur_common.hpp"

namespace tarvo::mip {
namespace {

constexpr int kMaxColumns = 5000;
constexpr double kFeasTol = 1e-9;

class Enumerator {
 public:
  Enumerator(const MipProblem &p, SolutionSink &sink, const EnumerationLimits &lim)
      : p_(p), sink_(sink), lim_(lim), val_(p.n, -1), minact_(p.m, 0.0), maxact_(p.m, 0.0) {}

  EnumerationResult run(const std::vector<double> &lo, const std::vector<double> &up);

 private:
  bool fix(int j, int v);
  void undo_to(size_t mark);
  bool propagate();
  bool propagate_row(int i);
  bool propagate_objective();
  double bound() const;
  int choose() const;
  bool limits_hit();
  void record();
  double cutoff() const;

  const MipProblem &p_;
  SolutionSink &sink_;
  EnumerationLimits lim_;
  std::vector<int> val_;  // -1 free, else 0/1
  std::vector<double> minact_, maxact_;
  double minobj_ = 0;
  std::vector<int> trail_;
  std::vector<int> queue_;
  std::vector<char> queued_;
  bool knapsack_ = false;  // a single row a x <= b with a >= 0
  std::vector<int> ratio_order_;  // knapsack columns by cost per weight, best first
  std::vector<int> free_;         // columns free at the start of the search
  double nodes_ = 0;
  bool stopped_ = false;
};

// Without an incumbent the sink's cutoff still turns away every point at or
// above it: searching there only finds what it will refuse.
double Enumerator::cutoff() const {
  if (!sink_.has_incumbent()) return sink_.threshold();
  const double z = sink_.incumbent_objective();
  return std::min(sink_.threshold(), z - 1e-9 * std::max(1.0, std::fabs(z)));
}

bool Enumerator::fix(int j, int v) {
  if (val_[j] >= 0) return val_[j] == v;
  val_[j] = v;
  trail_.push_back(j);
  const double c = p_.c[j];
  minobj_ += c * v - std::min(c, 0.0);
  for (int k = p_.col_start[j]; k < p_.col_start[j + 1]; ++k) {
    const int i = p_.col_index[k];
    const double a = p_.col_value[k];
    if (a > 0) {
      if (v) minact_[i] += a; else maxact_[i] -= a;
    } else {
      if (v) maxact_[i] += a; else minact_[i] -= a;
    }
    if (!queued_[i]) {
      queued_[i] = 1;
      queue_.push_back(i);
    }
  }
  return true;
}

void Enumerator::undo_to(size_t mark) {
  while (trail_.size() > mark) {
    const int j = trail_.back();
    trail_.pop_back();
    const int v = val_[j];
    val_[j] = -1;
    const double c = p_.c[j];
    minobj_ -= c * v - std::min(c, 0.0);
    for (int k = p_.col_start[j]; k < p_.col_start[j + 1]; ++k) {
      const int i = p_.col_index[k];
      const double a = p_.col_value[k];
      if (a > 0) {
        if (v) minact_[i] -= a; else maxact_[i] += a;
      } else {
        if (v) maxact_[i] -= a; else minact_[i] += a;
      }
    }
  }
}

bool Enumerator::propagate_row(int i) {
  const double lo = p_.row_lo[i], up = p_.row_up[i];
  const double tol_up = kFeasTol * (1 + std::fabs(up)), tol_lo = kFeasTol * (1 + std::fabs(lo));
  if (up < 1e30 && minact_[i] > up + tol_up) return false;
  if (lo > -1e30 && maxact_[i] < lo - tol_lo) return false;
  for (int k = p_.row_start[i]; k < p_.row_start[i + 1]; ++k) {
    const int j = p_.row_index[k];
    if (val_[j] >= 0) continue;
    const double a = std::fabs(p_.row_value[k]);
    const bool pos = p_.row_value[k] > 0;
    // the value that raises the activity by |a| over its minimum (resp. lowers it below its maximum)
    if (up < 1e30 && minact_[i] + a > up + tol_up) {
      if (!fix(j, pos ? 0 : 1)) return false;
    } else if (lo > -1e30 && maxact_[i] - a < lo - tol_lo) {
      if (!fix(j, pos ? 1 : 0)) return false;
    }
    if ((up < 1e30 && minact_[i] > up + tol_up) || (lo > -1e30 && maxact_[i] < lo - tol_lo)) return false;
  }
  return true;
}

bool Enumerator::propagate_objective() {
  const double cut = cutoff();
  if (cut >= 1e30) return true;
  if (minobj_ >= cut) return false;
  for (int j : free_) {
    if (val_[j] >= 0) continue;
    const double c = std::fabs(p_.c[j]);
    if (c > 0 && minobj_ + c >= cut && !fix(j, p_.c[j] > 0 ? 0 : 1)) return false;
  }
  return true;
}

bool Enumerator::propagate() {
  bool ok = true;
  for (int rounds = 0; rounds < 4 * p_.n + 4 && ok; ++rounds) {
    while (!queue_.empty() && ok) {
      const int i = queue_.back();
      queue_.pop_back();
      queued_[i] = 0;
      ok = propagate_row(i);
    }
    if (!ok) break;
    const size_t before = trail_.size();
    ok = propagate_objective();
    if (ok && trail_.size() == before) break;
  }
  for (int r : queue_) queued_[r] = 0;
  queue_.clear();
  return ok;
}

// Objective bound of the free columns: each at its cheaper value, and for a
// knapsack row the fractional (Dantzig) bound of the items that pay.
double Enumerator::bound() const {
  if (!knapsack_) return minobj_;
  const int i = 0;
  double cap = p_.row_up[i] - minact_[i];
  double b = minobj_;
  for (int j : ratio_order_) {
    if (val_[j] >= 0) continue;
    const double a = std::fabs(p_.col_start[j + 1] > p_.col_start[j] ? p_.col_value[p_.col_start[j]] : 0.0);
    // minobj_ counts every paying item as taken; give back what does not fit
    if (a <= cap) {
      cap -= a;
    } else {
      b += -p_.c[j] * (1 - std::max(0.0, cap) / a);
      cap = 0;
    }
  }
  return b;
}

int Enumerator::choose() const {
  int best = -1;
  double score = -1;
  for (int j : free_) {
    if (val_[j] >= 0) continue;
    const double s = std::fabs(p_.c[j]) + 1e-3 * (p_.col_start[j + 1] - p_.col_start[j]);
    if (s > score) {
      score = s;
      best = j;
    }
  }
  return best;
}

bool Enumerator::limits_hit() {
  if (stopped_) return true;
  if (lim_.node_limit >= 0 && nodes_ >= lim_.node_limit) stopped_ = true;
  if ((static_cast<long long>(nodes_) & 255) == 0 && common::wall_seconds() >= lim_.deadline) stopped_ = true;
  return stopped_;
}

void Enumerator::record() {
  std::vector<double> x(p_.n);
  for (int j = 0; j < p_.n; ++j) x[j] = val_[j];
  sink_.submit(x, kTagKnapsack);
}

EnumerationResult Enumerator::run(const std::vector<double> &lo, const std::vector<double> &up) {
  queued_.assign(p_.m, 0);
  for (int i = 0; i < p_.m; ++i)
    for (int k = p_.row_start[i]; k < p_.row_start[i + 1]; ++k) {
      const double a = p_.row_value[k];
      (a > 0 ? maxact_[i] : minact_[i]) += a;
    }
  minobj_ = p_.obj_constant;
  for (int j = 0; j < p_.n; ++j) minobj_ += std::min(p_.c[j], 0.0);
  // knapsack: one row, nonnegative weights, an upper bound only, one entry per column
  knapsack_ = p_.m == 1 && p_.row_lo[0] <= -1e30 && p_.row_up[0] < 1e30;
  for (int j = 0; j < p_.n && knapsack_; ++j)
    knapsack_ = p_.col_start[j + 1] - p_.col_start[j] <= 1 &&
                (p_.col_start[j + 1] == p_.col_start[j] || p_.col_value[p_.col_start[j]] > 0);
  if (knapsack_) {
    for (int j = 0; j < p_.n; ++j)
      if (p_.c[j] < 0 && p_.col_start[j + 1] > p_.col_start[j]) ratio_order_.push_back(j);
    std::sort(ratio_order_.begin(), ratio_order_.end(), [&](int a, int b) {
      return -p_.c[a] / p_.col_value[p_.col_start[a]] > -p_.c[b] / p_.col_value[p_.col_start[b]];
    });
  }
  EnumerationResult res;
  bool ok = true;
  for (int j = 0; j < p_.n && ok; ++j) {
    if (lo[j] > 0.5) ok = fix(j, 1);
    if (up[j] < 0.5) ok = ok && fix(j, 0);
    if (val_[j] < 0) free_.push_back(j);
  }
  for (int i = 0; i < p_.m; ++i)
    if (!queued_[i]) {
      queued_[i] = 1;
      queue_.push_back(i);
    }
  if (!ok || !propagate()) {
    res.complete = true;
    return res;
  }
  // stack of (trail mark, column, value tried first, second branch done)
  struct Frame {
    size_t mark;
    int col;
    int first;
    bool second;
  };
  std::vector<Frame> stack;
  bool descend = true;
  while (true) {
    if (descend) {
      nodes_ += 1;
      if (bound() >= cutoff()) {
        descend = false;
      } else {
        const int j = choose();
        if (j < 0) {
          record();
          descend = false;
        } else if (!limits_hit()) {
          const int first = p_.c[j] < 0 ? 1 : 0;
          stack.push_back({trail_.size(), j, first, false});
          descend = fix(j, first) && propagate();
          continue;
        } else {
          break;
        }
      }
    }
    // backtrack to the deepest frame with an untried branch
    while (!stack.empty() && stack.back().second) {
      undo_to(stack.back().mark);
      stack.pop_back();
    }
    if (stack.empty() || limits_hit()) break;
    Frame &f = stack.back();
    undo_to(f.mark);
    f.second = true;
    descend = fix(f.col, 1 - f.first) && propagate();
  }
  res.complete = !stopped_;
  res.nodes = nodes_;
  return res;
}

}  // namespace

bool enumeration_accepts(const MipProblem &p) {
  if (p.n == 0 || p.n > kMaxColumns) return false;
  for (int j = 0; j < p.n; ++j) {
    const bool fixed01 = p.col_lo[j] == p.col_up[j] && (p.col_lo[j] == 0.0 || p.col_lo[j] == 1.0);
    if (!(p.is_binary(j) || (p.is_int[j] && fixed01))) return false;
  }
  return true;
}

EnumerationResult enumerate_binary(const MipProblem &p, const std::vector<double> &lo,
                                   const std::vector<double> &up, SolutionSink &sink, const EnumerationLimits &lim) {
  Enumerator e(p, sink, lim);
  return e.run(lo, up);
}

}  // namespace tarvo::mip
