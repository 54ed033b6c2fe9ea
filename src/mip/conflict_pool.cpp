#include "mip/conflict_pool.hpp"

#include <algorithm>
#include <cmath>

namespace tarvo::mip {
namespace {

constexpr double kInf = 1e30;
// calls without any effect after which a proof is dropped even with room left
constexpr long long kMaxIdle = 20000;

}  // namespace

ConflictPool::ConflictPool(int n, int capacity, long long max_nonzeros)
    : capacity_(std::max(2, capacity)), max_nonzeros_(std::max<long long>(1, max_nonzeros)), by_side_(2 * static_cast<std::size_t>(n)) {}

void ConflictPool::index(int k) {
  const ProofRow &r = entries_[k].row;
  for (size_t t = 0; t < r.index.size(); ++t) by_side_[2 * r.index[t] + (r.value[t] < 0)].push_back(k);
}

void ConflictPool::evict() {
  // keep the recently useful half, in no particular order
  std::vector<Entry> keep;
  std::vector<long long> uses;
  for (const Entry &e : entries_) uses.push_back(e.last_use);
  std::nth_element(uses.begin(), uses.begin() + uses.size() / 2, uses.end());
  const long long median = uses[uses.size() / 2];
  nonzeros_ = 0;
  for (Entry &e : entries_)
    if ((e.last_use > median || (e.last_use == median && keep.size() < entries_.size() / 2)) &&
        calls_ - e.last_use <= kMaxIdle) {
      nonzeros_ += static_cast<long long>(e.row.index.size());
      keep.push_back(std::move(e));
    }
  entries_ = std::move(keep);
  for (auto &l : by_side_) l.clear();
  for (int k = 0; k < size(); ++k) index(k);
  seen_.assign(entries_.size(), -1);
}

void ConflictPool::add(ProofRow &&row) {
  const long long nz = static_cast<long long>(row.index.size());
  if (retired_ || nz == 0 || nz > max_nonzeros_ / 2) return;
  if (size() >= capacity_ || nonzeros_ + nz > max_nonzeros_) evict();
  nonzeros_ += nz;
  entries_.push_back({std::move(row), calls_});
  seen_.push_back(-1);
  index(size() - 1);
  ++added_;
}

int ConflictPool::apply(const Entry &e, BoundPropagator &prop) {
  const std::vector<double> &lo = prop.lower(), &up = prop.upper();
  const ProofRow &r = e.row;
  double act = 0, widest = 0;  // least activity; largest swing one column can make
  int inf_at = -1, infs = 0;
  for (size_t k = 0; k < r.index.size(); ++k) {
    const int j = r.index[k];
    const double a = r.value[k], b = a > 0 ? lo[j] : up[j];
    if (std::fabs(b) >= kInf) {
      ++infs;
      inf_at = static_cast<int>(k);
    } else {
      act += a * b;
      widest = std::max(widest, std::fabs(a) * (up[j] - lo[j]));
    }
  }
  if (infs > 1) return 0;
  const double tol = 1e-9 * (1 + std::fabs(r.rhs));
  if (infs == 0 && act > r.rhs + tol) return -1;
  // every column's whole range fits within the slack: nothing to tighten
  if (infs == 0 && widest <= r.rhs + tol - act) return 0;
  const std::size_t mark = prop.mark();
  for (size_t k = 0; k < r.index.size(); ++k) {
    if (infs == 1 && static_cast<int>(k) != inf_at) continue;
    const int j = r.index[k];
    const double a = r.value[k];
    // what the other columns leave for this one
    const double rest = infs == 1 ? act : act - a * (a > 0 ? lo[j] : up[j]);
    const double v = (r.rhs + tol - rest) / a;
    // only a bound that moves by a whole unit is worth the propagator's call
    if (a > 0 ? !(std::floor(v + 1e-6) < up[j]) : !(std::ceil(v - 1e-6) > lo[j])) continue;
    const bool ok = a > 0 ? prop.tighten(j, -kInf, v) : prop.tighten(j, v, kInf);
    if (!ok) return -1;
  }
  return prop.mark() > mark ? 1 : 0;
}

void ConflictPool::tally(long long applies, long long effects) {
  applies_ += applies;
  effects_ += effects;
  if (applies_ < next_check_) return;
  next_check_ = applies_ + kTrialApplies;
  if (static_cast<double>(effects_) >= kMinEffectShare * static_cast<double>(applies_)) return;
  retired_ = true;
  entries_.clear();
  seen_.clear();
  for (auto &l : by_side_) std::vector<int>().swap(l);
  nonzeros_ = 0;
}

bool ConflictPool::propagate(BoundPropagator &prop, const std::vector<int> &moved) {
  if (retired_) return true;
  ++calls_;
  std::vector<int> queue;
  for (int side : moved)
    for (int k : by_side_[side])
      if (seen_[k] != calls_) {
        seen_[k] = calls_;
        queue.push_back(k);
      }
  // a second sweep only when the first one moved bounds
  long long applies = 0, effects = 0;
  bool feasible = true;
  for (int sweep = 0; sweep < 2 && feasible; ++sweep) {
    bool any = false;
    for (int k : queue) {
      Entry &e = entries_[k];
      const int r = apply(e, prop);
      ++applies;
      if (r == 0) continue;
      ++effects;
      e.last_use = calls_;
      if (r < 0) {
        ++prunes_;
        feasible = false;
        break;
      }
      any = true;
    }
    if (!any) break;
  }
  tally(applies, effects);
  return feasible;
}

}  // namespace tarvo::mip
