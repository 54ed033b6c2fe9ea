// Lifted flow covers. On a single-node flow set, a cover C1 of N1 and a set
// C2 of N2 with excess lambda = u(C1) - u(C2) - b > 0 give the flow cover
// inequality of C1 alone, with the flows of C2 fixed full and all others off.
// Its lifting function f (the bound lost when other flows take z units of the
// node's capacity) is a staircase over the items of C1 with u_j > lambda,
// sorted u_1 >= u_2 >= ...: flat, then rising by lambda over the last lambda
// units of each u_h, with slope one after the last. It is superadditive, and
// so is its extension g(z) = z for capacity gained (z < 0), so every other
// item is lifted on its own:
//   sum_{C1} y_j + sum_{C1} (u_j - lambda)^+ (1 - x_j)
//     + sum_{N1\C1} (y_j - (u_j - f(u_j)) x_j)     (or left out)
//     <= b + sum_{C2} u_j - sum_{C2} f(u_j) (1 - x_j) + sum_{N2\C2} y_j.
// Always-on flows take x = 1. The cover is chosen greedily from the LP point
// in a few ways, and the most efficacious cut is kept. Slacks of LP rows in
// aggregated rows are flows without a switch.
#include <algorithm>
#include <cmath>
#include <functional>

#include "mip/flow_set.hpp"

namespace tarvo::mip {

namespace {
constexpr double kInf = 1e30;
constexpr int kMaxRowLength = 1000;
constexpr double kFullSwitch = 1 - 1e-6;

// f of a cover: M[h] is the sum of the h largest capacities above lambda.
class CoverLifting {
 public:
  CoverLifting(std::vector<double> caps, double lambda) : lambda_(lambda) {
    std::sort(caps.begin(), caps.end(), std::greater<>());
    m_.assign(1, 0.0);
    for (double u : caps) m_.push_back(m_.back() + u);
  }
  // Bound lost when z >= 0 units of capacity go elsewhere.
  double operator()(double z) const {
    const int r = static_cast<int>(m_.size()) - 1;
    if (z >= m_[r] - lambda_) return z - m_[r] + r * lambda_;
    // steps h whose rise has begun: m_[h] - lambda <= z
    const int h = static_cast<int>(std::upper_bound(m_.begin() + 1, m_.end(), z + lambda_) - (m_.begin() + 1));
    if (h == 0) return 0.0;
    return z <= m_[h] ? z - m_[h] + h * lambda_ : h * lambda_;
  }
  // max over 0 <= y <= u of y - f(y): y - f(y) never falls, and is constant
  // past the last step.
  double beta(double u) const {
    const int r = static_cast<int>(m_.size()) - 1;
    return u >= kInf ? m_[r] - r * lambda_ : u - (*this)(u);
  }

 private:
  std::vector<double> m_;
  double lambda_;
};

enum class CoverOrder { kSwitchedOn, kKnapsackRatio };

// The lifted cut of one cover choice over the flow set's variables; false
// when there is no cover or the cut is not violated.
bool lifted_cover_cut(const SepInput &in, const FlowSet &set, CoverOrder order, bool full_outflows_in_c2, Cut &cut) {
  const std::vector<FlowItem> &items = set.items;
  const int count = static_cast<int>(items.size());
  const double eps = 1e-9 * (1 + std::fabs(set.b));
  std::vector<char> in_cover(count, 0);
  double b2 = set.b;  // b + u(C2)
  for (int t = 0; t < count; ++t) {
    const FlowItem &it = items[t];
    if (!it.inflow && full_outflows_in_c2 && it.bin >= 0 && it.x >= kFullSwitch && it.cap < kInf) {
      in_cover[t] = 1;
      b2 += it.cap;
    }
  }
  // keys computed once: the sort runs over every inflow of dense tableau rows
  std::vector<std::pair<double, int>> keyed;
  for (int t = 0; t < count; ++t) {
    const FlowItem &it = items[t];
    if (it.inflow && it.cap < kInf)
      keyed.emplace_back(order == CoverOrder::kSwitchedOn ? -it.x : (1 - it.x) / it.cap, t);
  }
  std::sort(keyed.begin(), keyed.end(), [&](const std::pair<double, int> &s, const std::pair<double, int> &t) {
    return s.first != t.first ? s.first < t.first : items[s.second].cap > items[t.second].cap;
  });
  std::vector<int> cand(keyed.size());
  for (size_t q = 0; q < keyed.size(); ++q) cand[q] = keyed[q].second;
  double total = 0;
  size_t take = 0;
  while (take < cand.size() && total <= b2 + eps) total += items[cand[take++]].cap;
  double lambda = total - b2;
  if (lambda <= eps) return false;
  for (size_t q = 0; q < take; ++q) in_cover[cand[q]] = 1;
  // smaller excess, stronger cut: drop the last-chosen items that fit in it
  for (size_t q = take; q-- > 0;) {
    const double u = items[cand[q]].cap;
    if (u < lambda - eps) in_cover[cand[q]] = 0, lambda -= u;
  }
  std::vector<double> big;
  bool switched = false;
  for (int t = 0; t < count; ++t)
    if (in_cover[t] && items[t].inflow && items[t].cap > lambda) {
      big.push_back(items[t].cap);
      switched |= items[t].bin >= 0;
    }
  if (!switched) return false;  // no term in a binary: nothing beyond the row
  const CoverLifting f(big, lambda);
  cut.index.clear();
  cut.value.clear();
  cut.rhs = b2;
  for (int t = 0; t < count; ++t) {
    const FlowItem &it = items[t];
    if (it.inflow && in_cover[t]) {
      add_flow_term(it, 1.0, cut);
      if (it.cap > lambda) {  // + (u - lambda)(1 - x)
        add_switch_term(it, -(it.cap - lambda), cut);
        cut.rhs -= it.cap - lambda;
      }
    } else if (it.inflow) {
      const double beta = f.beta(it.cap);
      if (it.y - beta * it.x > eps) {
        add_flow_term(it, 1.0, cut);
        add_switch_term(it, -beta, cut);
      }
    } else if (in_cover[t]) {  // + f(u)(1 - x)
      const double fu = f(it.cap);
      if (fu > 0) {
        add_switch_term(it, -fu, cut);
        cut.rhs -= fu;
      }
    } else {
      add_flow_term(it, -1.0, cut);
    }
  }
  // rank by efficacy over the flow set's own variables; only the chosen cut
  // is written over the columns
  double act = 0, norm = 0;
  for (size_t q = 0; q < cut.index.size(); ++q) {
    act += cut.value[q] * in.ext.x[cut.index[q]];
    norm += cut.value[q] * cut.value[q];
  }
  cut.efficacy = norm > 0 ? (act - cut.rhs) / std::sqrt(norm) : 0.0;
  return cut.efficacy > 0;
}

// Writes the chosen cut over the columns and measures it there.
bool finish_cut(const SepInput &in, Cut &cut) {
  cut.tag = "LIFT";
  if (std::any_of(cut.index.begin(), cut.index.end(), [&](int k) { return k >= in.prob.n; })) {
    std::vector<std::pair<int, double>> ext_coef;
    for (size_t q = 0; q < cut.index.size(); ++q) ext_coef.emplace_back(cut.index[q], cut.value[q]);
    if (!extended_to_columns(in, ext_coef, cut.rhs, cut)) return false;
  } else if (!tidy_cut(cut, in.prob, in.safety)) {
    return false;
  }
  cut.efficacy = cut_efficacy(cut, in.x);
  return cut.efficacy >= in.safety.min_efficacy;
}

}  // namespace

bool lifted_flow_cover(const SepInput &in, const std::vector<Vub> &vub, const int *idx, const double *val, int len,
                       double side, double b, Cut &out) {
  FlowSet set;
  if (!make_flow_set(in, vub, idx, val, len, side, b, true, set)) return false;
  // a switched inflow to cover, and a continuous flow (else it is a knapsack)
  bool switched_in = false, continuous = false, full_out = false;
  for (const FlowItem &it : set.items) {
    switched_in |= it.inflow && it.bin >= 0;
    continuous |= it.col != it.bin;
    full_out |= !it.inflow && it.bin >= 0 && it.x >= kFullSwitch;
  }
  if (!switched_in || !continuous) return false;
  bool found = false;
  Cut cut;
  for (CoverOrder order : {CoverOrder::kSwitchedOn, CoverOrder::kKnapsackRatio})
    for (bool c2 : {false, true}) {
      if (c2 && !full_out) continue;
      if (lifted_cover_cut(in, set, order, c2, cut) && (!found || cut.efficacy > out.efficacy)) {
        out = cut;
        found = true;
      }
    }
  return found && finish_cut(in, out);
}

void separate_lifted_flow_covers(const SepInput &in, std::vector<Cut> &out) {
  const std::vector<Vub> vub = variable_upper_bounds(in.prob, in.x);
  separate_row_sides(in, kMaxRowLength, out,
                     [&](const int *idx, const double *val, int len, double side, double b, Cut &cut) {
                       return lifted_flow_cover(in, vub, idx, val, len, side, b, cut);
                     });
}

}  // namespace tarvo::mip
