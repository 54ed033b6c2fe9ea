// Cut pool: storage of the cuts, their rows in the node LP, activity
// management (in the tree idle cuts leave the LP but stay in the pool, and
// come back when a node's point violates them) and the per-class counters.
#include "mip/cutpool.hpp"

#include <algorithm>
#include <cmath>
#include <functional>
#include <memory>

#include <cstring>

#include "mip/conflict_graph.hpp"
#include "mip/implied_bounds.hpp"
#include "mip/mip_context.hpp"
#include "simplex/glp.hpp"
#include "simplex/lp_solver.hpp"

namespace tarvo::mip {

namespace {
constexpr double kInf = 1e30;
// a cut whose dual is this small holds no part of the bound
constexpr double kZeroDual = 1e-9;

struct TagClass {
  const char *tag;
  CutClass cls;
};
constexpr TagClass kTags[] = {
    {"GUB1", CutClass::kGub},        {"GUB2", CutClass::kGub},        {"FLOW", CutClass::kFlow},
    {"FLOWC", CutClass::kFlow},      {"FLOS", CutClass::kPFlow},      {"FLOP", CutClass::kPFlow},
    {"LIFT", CutClass::kLift},       {"PLANLOC", CutClass::kPlanLoc}, {"DISAGG", CutClass::kDisagg},
    {"COVER", CutClass::kCover},     {"KCOVER", CutClass::kCover},    {"LATC", CutClass::kLattice},
    {"GMRY", CutClass::kGomory},     {"GMRY RU", CutClass::kGomory},  {"GMRY RD", CutClass::kGomory},
    {"MIGC", CutClass::kMir},        {"COFR", CutClass::kCoef},       {"GCDC", CutClass::kGcd},
    {"OBJCUT", CutClass::kObj},      {"OBJCUT2", CutClass::kObj},     {"BOBJ", CutClass::kObj},
    {"CARD", CutClass::kCard},       {"SOFTKNAP", CutClass::kSoftKnap}, {"LPROUND", CutClass::kLpRound},
    {"CLIQUE", CutClass::kClique},   {"CLIQUE2", CutClass::kClique},  {"IBOU", CutClass::kImplied},
    {"DISJUN", CutClass::kDisjun},
};

void sense_bounds(const PoolCut &c, double *lo, double *up) {
  *lo = c.sense == 'L' ? -kInf : c.rhs;
  *up = c.sense == 'G' ? kInf : c.rhs;
}
}  // namespace

CutPool::CutPool(const MipProblem &prob) : prob_(prob) {}
CutPool::~CutPool() = default;

const ConflictGraph &CutPool::conflict_graph() const {
  if (!graph_) graph_ = std::make_unique<ConflictGraph>(prob_);
  return *graph_;
}

const std::vector<ImpliedBound> &CutPool::implied_bounds() const {
  constexpr size_t kMaxImplied = 100000;
  if (!implied_) implied_ = std::make_unique<std::vector<ImpliedBound>>(find_implied_bounds(prob_, kMaxImplied));
  return *implied_;
}

CutClass class_of_tag(const char *tag) {
  if (!tag) return CutClass::kOther;
  for (const auto &t : kTags)
    if (std::strcmp(t.tag, tag) == 0) return t.cls;
  return CutClass::kOther;
}

int CutPool::add(int capacity, int sense, double zero_tol, const double *coef, const int *cols, int nnz,
                 double rhs, const char *tag, bool from_basis) {
  if (size() >= capacity) return -1;
  if (!coef || !cols || nnz < 0 || !std::isfinite(rhs)) return -1;
  PoolCut c;
  c.sense = sense < 0 ? 'G' : sense > 0 ? 'L' : 'E';
  c.rhs = rhs;
  c.tag = tag ? tag : "";
  bool binary = true;
  for (int k = 0; k < nnz; ++k) {
    if (cols[k] < 0 || cols[k] >= prob_.n || !std::isfinite(coef[k])) return -1;
    if (std::fabs(coef[k]) <= zero_tol) continue;
    c.index.push_back(cols[k]);
    c.value.push_back(coef[k]);
    if (!prob_.is_binary(cols[k])) binary = false;
  }
  if (c.index.empty()) return -1;
  for (double v : c.value) c.norm += v * v;
  c.norm = std::sqrt(c.norm);
  if (binary) c.flags |= kFlagBinary;
  if (c.tag == "CLIQUE") c.flags |= kFlagClique;
  counts_[static_cast<int>(class_of_tag(tag))]++;
  if (from_basis) basis_counts_[static_cast<int>(class_of_tag(tag))]++;
  total_++;
  cuts_.push_back(std::move(c));
  return size() - 1;
}

int CutPool::flush_to_lp(simplex::LpSolver &lp) {
  simplex::LpRows rows;
  std::vector<int> added;
  for (int k = 0; k < size(); ++k) {
    PoolCut &c = cuts_[k];
    if (c.lp_row >= 0 || c.parked) continue;
    double lo, up;
    sense_bounds(c, &lo, &up);
    if (c.state == 0) lo = -kInf, up = kInf;
    rows.add(c.index, c.value, lo, up);
    added.push_back(k);
  }
  if (added.empty()) return 0;
  const int first = lp.rows();
  lp.add_rows(rows);
  for (size_t t = 0; t < added.size(); ++t) {
    cuts_[added[t]].lp_row = first + static_cast<int>(t);
    row_cut_.push_back(added[t]);
  }
  return static_cast<int>(added.size());
}

int CutPool::cut_of_row(int i) const {
  const int r = i - prob_.m;
  if (r < 0 || r >= static_cast<int>(row_cut_.size())) return -1;
  return row_cut_[r];
}

bool CutPool::in_step_with(const simplex::LpSolver &lp) const {
  return lp.rows() == prob_.m + static_cast<int>(row_cut_.size());
}

int CutPool::update_activity(simplex::LpSolver &lp, int threshold, bool no_deactivate, int min_nnz) {
  if (!in_step_with(lp)) return 0;
  int reactivated = 0;
  for (int c : row_cut_) {
    PoolCut &pc = cuts_[c];
    if (pc.flags & kFlagNoTouch) continue;
    const bool slack = lp.is_basic_row(pc.lp_row);
    if (pc.state == 0) {
      if (!slack) {
        double lo, up;
        sense_bounds(pc, &lo, &up);
        lp.set_row_bounds(pc.lp_row, lo, up);
        pc.state = 1;
        pc.inactive_count = 0;
        reactivated++;
      }
      continue;
    }
    if (!slack) {
      pc.inactive_count = 0;
      continue;
    }
    pc.inactive_count++;
    if (!no_deactivate && pc.inactive_count >= threshold && static_cast<int>(pc.index.size()) >= min_nnz) {
      pc.state = 0;
      lp.set_row_bounds(pc.lp_row, -kInf, kInf);
    }
  }
  return reactivated;
}

int CutPool::delete_slack_cuts(simplex::LpSolver &lp) {
  return delete_cuts(lp, [&](const PoolCut &pc) { return lp.is_basic_row(pc.lp_row); });
}

void CutPool::age_cuts(const simplex::LpSolver &lp) {
  if (!in_step_with(lp) || static_cast<int>(lp.duals().size()) != lp.rows()) return;
  const auto &y = lp.duals();
  for (int c : row_cut_) {
    PoolCut &pc = cuts_[c];
    if (std::fabs(y[pc.lp_row]) <= kZeroDual)
      pc.inactive_count++;
    else
      pc.inactive_count = 0;
  }
}

int CutPool::drop_aged_cuts(simplex::LpSolver &lp, int max_age, int dense_nnz, int dense_max_age) {
  return delete_cuts(lp, [&](const PoolCut &pc) {
    const bool dense = static_cast<int>(pc.index.size()) > dense_nnz;
    return pc.inactive_count >= (dense ? dense_max_age : max_age);
  });
}

int CutPool::park_idle_cuts(simplex::LpSolver &lp, int max_age, int min_batch) {
  if (!in_step_with(lp) || !lp.has_basis()) return 0;
  // cuts flagged no-touch and cuts of fewer than three nonzeros always stay
  auto idle = [&](const PoolCut &pc) {
    return !(pc.flags & kFlagNoTouch) && pc.index.size() >= 3 && pc.inactive_count >= max_age &&
           lp.is_basic_row(pc.lp_row);
  };
  int count = 0;
  for (int c : row_cut_) count += idle(cuts_[c]);
  if (count == 0 || count < min_batch) return 0;
  return delete_cuts(lp, idle, true);
}

void CutPool::index_parked_cut(int k, const double *x) {
  ParkedIndex &ix = parked_;
  const PoolCut &pc = cuts_[k];
  double act = 0;
  for (size_t p = 0; p < pc.index.size(); ++p) {
    const int j = pc.index[p];
    ix.col_cut[j].push_back(k);
    ix.col_coef[j].push_back(pc.value[p]);
    act += pc.value[p] * x[j];
  }
  ix.act[k] = act;
  ix.indexed[k] = 1;
  ix.cuts.push_back(k);
}

// Brings the activities of the indexed cuts to `x` through the columns that
// moved, and indexes the cuts parked since the last call.
void CutPool::refresh_parked_index(const double *x) {
  // rounding in the carried sums grows with the updates: a fresh evaluation now and then
  constexpr int kMaxUpdates = 200;
  ParkedIndex &ix = parked_;
  const int n = prob_.n;
  if (!ix.valid || ix.updates >= kMaxUpdates) {
    ix.cuts.clear();
    ix.indexed.assign(cuts_.size(), 0);
    ix.act.assign(cuts_.size(), 0.0);
    ix.col_cut.resize(n);
    ix.col_coef.resize(n);
    for (int j = 0; j < n; ++j) {
      ix.col_cut[j].clear();
      ix.col_coef[j].clear();
    }
    ix.xref.assign(x, x + n);
    ix.updates = 0;
    ix.valid = true;
  } else {
    for (int j = 0; j < n; ++j) {
      const double d = x[j] - ix.xref[j];
      if (d == 0) continue;
      ix.xref[j] = x[j];
      const std::vector<int> &cut = ix.col_cut[j];
      const std::vector<double> &coef = ix.col_coef[j];
      for (size_t q = 0; q < cut.size(); ++q) ix.act[cut[q]] += coef[q] * d;
    }
    ++ix.updates;
  }
  // cuts added to the pool since; then the parked ones not yet indexed
  ix.indexed.resize(cuts_.size(), 0);
  ix.act.resize(cuts_.size(), 0.0);
  for (int k = 0; k < size(); ++k)
    if (cuts_[k].parked && !ix.indexed[k]) index_parked_cut(k, x);
}

int CutPool::unpark_violated(const double *x, double min_efficacy, int max_count) {
  refresh_parked_index(x);
  std::vector<std::pair<double, int>> found;
  for (int k : parked_.cuts) {
    const PoolCut &pc = cuts_[k];
    if (!pc.parked || pc.norm <= 0) continue;
    const double act = parked_.act[k];
    double viol = 0;
    if (pc.sense != 'G') viol = std::max(viol, act - pc.rhs);
    if (pc.sense != 'L') viol = std::max(viol, pc.rhs - act);
    if (viol / pc.norm >= min_efficacy) found.emplace_back(-viol / pc.norm, k);
  }
  if (static_cast<int>(found.size()) > max_count) {
    std::nth_element(found.begin(), found.begin() + max_count, found.end());
    found.resize(max_count);
  }
  for (const auto &f : found) unpark(f.second);
  return static_cast<int>(found.size());
}

void CutPool::unpark(int k) {
  cuts_[k].parked = false;
  cuts_[k].inactive_count = 0;
}

int CutPool::delete_cuts(simplex::LpSolver &lp, const std::function<bool(const PoolCut &)> &goes, bool park) {
  if (!in_step_with(lp)) return 0;
  std::vector<char> drop(lp.rows(), 0);
  std::vector<char> gone(cuts_.size(), 0);
  int count = 0;
  for (int c : row_cut_) {
    const PoolCut &pc = cuts_[c];
    if ((pc.flags & kFlagNoTouch) || !goes(pc)) continue;
    drop[pc.lp_row] = 1;
    gone[c] = 1;
    count++;
  }
  if (count == 0) return 0;
  if (!park) parked_.valid = false;  // cut indices change
  lp.delete_rows(drop);
  std::vector<int> new_index(cuts_.size(), -1);
  if (park) {
    for (size_t c = 0; c < cuts_.size(); ++c) {
      new_index[c] = static_cast<int>(c);
      if (gone[c]) {
        cuts_[c].parked = true;
        cuts_[c].lp_row = -1;
      }
    }
  } else {
    std::vector<PoolCut> kept;
    for (size_t c = 0; c < cuts_.size(); ++c) {
      if (gone[c]) continue;
      new_index[c] = static_cast<int>(kept.size());
      kept.push_back(std::move(cuts_[c]));
    }
    cuts_ = std::move(kept);
    ++epoch_;
  }
  // rows keep their relative order after the deletion
  std::vector<int> rows;
  for (int c : row_cut_)
    if (!gone[c]) rows.push_back(new_index[c]);
  row_cut_ = std::move(rows);
  for (size_t r = 0; r < row_cut_.size(); ++r) cuts_[row_cut_[r]].lp_row = prob_.m + static_cast<int>(r);
  return count;
}

void pad_basis(simplex::LpBasis &basis, int cols, int rows) {
  if (static_cast<int>(basis.state.size()) < cols + rows && !basis.state.empty())
    basis.state.resize(cols + rows, simplex::kBasic);
}

std::unique_ptr<CutPool> make_cut_pool(const MipProblem &prob) { return std::make_unique<CutPool>(prob); }
void delete_cut_pool(CutPool *pool) { delete pool; }

}  // namespace tarvo::mip
