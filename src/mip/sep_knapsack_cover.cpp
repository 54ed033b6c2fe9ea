// Lifted knapsack cover cuts. Each row side is relaxed to a binary knapsack
// (other columns at the bound that weakens the row least, binaries with a
// negative weight complemented), a cover is chosen greedily from the LP point
// and made minimal, and the columns outside it are lifted exactly and in
// sequence by a small dynamic programme over the cover's values.
#include <algorithm>
#include <cmath>

#include "mip/knapsack_side.hpp"

namespace tarvo::mip {

namespace {
constexpr double kInf = 1e30;

struct Item {
  int col;
  double a;       // weight, positive
  bool comp;      // the item is 1 - x_col
  double x;       // LP value of the item
};

// Lifts cover inequality sum_C z <= |C|-1 to items outside C; alpha per item.
void lift_sequential(const std::vector<Item> &cover, std::vector<Item> &rest, double cap,
                     std::vector<int> &alpha) {
  const int csize = static_cast<int>(cover.size());
  // minw[z]: least weight of lifted items reaching value z (value capped at |C|-1)
  std::vector<double> minw(csize, kInf);
  std::vector<double> w;
  for (const Item &it : cover) w.push_back(it.a);
  std::sort(w.begin(), w.end());
  minw[0] = 0;
  for (int z = 1; z < csize; ++z) minw[z] = minw[z - 1] + w[z - 1];
  std::sort(rest.begin(), rest.end(), [](const Item &a, const Item &b) { return a.x > b.x; });
  alpha.assign(rest.size(), 0);
  for (size_t t = 0; t < rest.size(); ++t) {
    const double room = cap - rest[t].a;
    int reach = -1;
    for (int z = csize - 1; z >= 0; --z)
      if (minw[z] <= room + 1e-9 * (1 + std::fabs(cap))) {
        reach = z;
        break;
      }
    const int al = reach < 0 ? csize - 1 : csize - 1 - reach;
    alpha[t] = al;
    if (al <= 0) continue;
    for (int z = csize - 1; z >= 1; --z) minw[z] = std::min(minw[z], minw[std::max(0, z - al)] + rest[t].a);
  }
}

bool cover_of_side(const SepInput &in, const std::vector<int> &idx, const std::vector<double> &val, double rhs,
                   Cut &out) {
  const ExtendedVars &e = in.ext;
  std::vector<Item> items;
  double cap = rhs;
  bool frac = false;
  for (size_t q = 0; q < idx.size(); ++q) {
    const int j = idx[q];
    const double a = val[q];
    if (a == 0.0) continue;
    if (in.prob.is_binary(j)) {
      if (a > 0) {
        items.push_back({j, a, false, in.x[j]});
      } else {
        items.push_back({j, -a, true, 1 - in.x[j]});
        cap -= a;
      }
      if (std::fabs(in.x[j] - std::round(in.x[j])) > in.int_tol) frac = true;
      continue;
    }
    const double bound = a > 0 ? e.lo[j] : e.up[j];
    if (std::fabs(bound) >= kInf) return false;
    cap -= a * bound;
  }
  if (!frac || items.size() < 2 || cap < 0) return false;
  double total = 0;
  for (const Item &it : items) total += it.a;
  if (total <= cap + 1e-9 * (1 + std::fabs(cap))) return false;
  // greedy cover: items that are nearly 1 in the LP point per unit of weight first
  std::vector<int> order(items.size());
  for (size_t t = 0; t < items.size(); ++t) order[t] = static_cast<int>(t);
  std::sort(order.begin(), order.end(), [&](int p, int q) {
    return (1 - items[p].x) * items[q].a < (1 - items[q].x) * items[p].a;
  });
  std::vector<char> in_cover(items.size(), 0);
  double w = 0;
  const double eps = 1e-9 * (1 + std::fabs(cap));
  for (int t : order) {
    if (w > cap + eps) break;
    in_cover[t] = 1;
    w += items[t].a;
  }
  if (w <= cap + eps) return false;
  // minimal: drop members with the smallest LP values while the weight stays above capacity
  std::vector<int> members;
  for (size_t t = 0; t < items.size(); ++t)
    if (in_cover[t]) members.push_back(static_cast<int>(t));
  std::sort(members.begin(), members.end(), [&](int p, int q) { return items[p].x < items[q].x; });
  for (int t : members)
    if (w - items[t].a > cap + eps) in_cover[t] = 0, w -= items[t].a;
  std::vector<Item> cover, rest;
  for (size_t t = 0; t < items.size(); ++t) (in_cover[t] ? cover : rest).push_back(items[t]);
  if (cover.size() < 2) return false;
  std::vector<int> alpha;
  lift_sequential(cover, rest, cap, alpha);
  // sum_C z + sum alpha z <= |C|-1, with z = x or 1 - x
  out.index.clear();
  out.value.clear();
  double r = static_cast<double>(cover.size()) - 1;
  auto put = [&](const Item &it, double coef) {
    if (it.comp) {
      out.index.push_back(it.col);
      out.value.push_back(-coef);
      r -= coef;
    } else {
      out.index.push_back(it.col);
      out.value.push_back(coef);
    }
  };
  for (const Item &it : cover) put(it, 1.0);
  for (size_t t = 0; t < rest.size(); ++t)
    if (alpha[t] > 0) put(rest[t], alpha[t]);
  out.rhs = r;
  return accept_cut(in, "KCOVER", out);
}

}  // namespace

void separate_knapsack_covers(const SepInput &in, std::vector<Cut> &out) {
  const MipProblem &p = in.prob;
  std::vector<int> idx;
  std::vector<double> val, neg;
  int found = 0;
  for (int i = 0; i < p.m && found < in.max_cuts; ++i) {
    idx.assign(p.row_index.begin() + p.row_start[i], p.row_index.begin() + p.row_start[i + 1]);
    val.assign(p.row_value.begin() + p.row_start[i], p.row_value.begin() + p.row_start[i + 1]);
    Cut cut;
    if (p.row_up[i] < kInf && cover_of_side(in, idx, val, p.row_up[i], cut)) {
      out.push_back(std::move(cut));
      found++;
    }
    if (p.row_lo[i] > -kInf) {
      neg.resize(val.size());
      for (size_t q = 0; q < val.size(); ++q) neg[q] = -val[q];
      if (cover_of_side(in, idx, neg, -p.row_lo[i], cut)) {
        out.push_back(std::move(cut));
        found++;
      }
    }
  }
}

}  // namespace tarvo::mip
