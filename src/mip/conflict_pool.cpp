#include "mip/conflict_pool.hpp"

#include <cmath>

namespace tarvo::mip {
namespace {

constexpr double kInf = 1e30;
// calls without any effect after which a proof is dropped even with room left
constexpr long long kMaxIdle = 20000;

}  // namespace

ConflictPool::ConflictPool(int capacity, long long max_nonzeros)
    : capacity_(std::max(1, capacity)), max_nonzeros_(std::max<long long>(1, max_nonzeros)) {}

void ConflictPool::evict_one() {
  size_t worst = 0;
  for (size_t k = 1; k < entries_.size(); ++k)
    if (entries_[k].last_use < entries_[worst].last_use) worst = k;
  nonzeros_ -= static_cast<long long>(entries_[worst].row.index.size());
  entries_[worst] = std::move(entries_.back());
  entries_.pop_back();
}

void ConflictPool::add(ProofRow &&row) {
  const long long nz = static_cast<long long>(row.index.size());
  if (nz == 0 || nz > max_nonzeros_) return;
  for (size_t k = 0; k < entries_.size();) {
    if (calls_ - entries_[k].last_use > kMaxIdle) {
      nonzeros_ -= static_cast<long long>(entries_[k].row.index.size());
      entries_[k] = std::move(entries_.back());
      entries_.pop_back();
    } else {
      ++k;
    }
  }
  while (!entries_.empty() && (size() >= capacity_ || nonzeros_ + nz > max_nonzeros_)) evict_one();
  nonzeros_ += nz;
  entries_.push_back({std::move(row), calls_});
  ++added_;
}

int ConflictPool::apply(const Entry &e, BoundPropagator &prop) {
  const std::vector<double> &lo = prop.lower(), &up = prop.upper();
  const ProofRow &r = e.row;
  double act = 0;
  int inf_at = -1, infs = 0;
  for (size_t k = 0; k < r.index.size(); ++k) {
    const double a = r.value[k], b = a > 0 ? lo[r.index[k]] : up[r.index[k]];
    if (std::fabs(b) >= kInf) {
      ++infs;
      inf_at = static_cast<int>(k);
    } else {
      act += a * b;
    }
  }
  if (infs > 1) return 0;
  const double tol = 1e-9 * (1 + std::fabs(r.rhs));
  if (infs == 0 && act > r.rhs + tol) return -1;
  const std::size_t mark = prop.mark();
  for (size_t k = 0; k < r.index.size(); ++k) {
    if (infs == 1 && static_cast<int>(k) != inf_at) continue;
    const int j = r.index[k];
    const double a = r.value[k];
    // what the other columns leave for this one
    const double rest = infs == 1 ? act : act - a * (a > 0 ? lo[j] : up[j]);
    const double v = (r.rhs + tol - rest) / a;
    const bool ok = a > 0 ? prop.tighten(j, -kInf, v) : prop.tighten(j, v, kInf);
    if (!ok) return -1;
  }
  return prop.mark() > mark ? 1 : 0;
}

bool ConflictPool::propagate(BoundPropagator &prop) {
  ++calls_;
  // a second sweep only when the first one moved bounds
  for (int sweep = 0; sweep < 2; ++sweep) {
    bool moved = false;
    for (Entry &e : entries_) {
      const int r = apply(e, prop);
      if (r == 0) continue;
      e.last_use = calls_;
      if (r < 0) {
        ++prunes_;
        return false;
      }
      moved = true;
    }
    if (!moved) break;
  }
  return true;
}

}  // namespace tarvo::mip
