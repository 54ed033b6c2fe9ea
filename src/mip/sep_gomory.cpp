// Gomory mixed-integer cuts: each tableau row of a fractional basic integer
// column is an equation over the extended variables; MIR rounding with delta 1
// and the nonbasic bounds as complementation gives the GMI cut.
#include <algorithm>
#include <cmath>

#include "common/clock.hpp"
#include "mip/separators.hpp"
#include "simplex/lp_solver.hpp"

namespace tarvo::mip {

namespace {
// Tableau entries below this are round-off of exact zeros.
constexpr double kTableauZero = 1e-11;
// Rows of columns whose fractional part is this close to integrality make weak cuts.
constexpr double kMinFrac = 0.01;
}  // namespace

void separate_gomory(const SepInput &in, std::vector<Cut> &out) {
  const ExtendedVars &e = in.ext;
  std::vector<std::pair<double, int>> cand;
  for (int j = 0; j < in.prob.n; ++j) {
    if (!in.prob.is_int[j] || !in.lp.is_basic_col(j)) continue;
    const double f = in.x[j] - std::floor(in.x[j]);
    if (f < kMinFrac || f > 1 - kMinFrac) continue;
    cand.emplace_back(-std::min(f, 1 - f), j);  // most fractional first
  }
  std::sort(cand.begin(), cand.end());
  if (static_cast<int>(cand.size()) > in.max_cuts) cand.resize(in.max_cuts);
  std::vector<double> row;
  MirBase base;
  std::vector<char> comp;
  for (const auto &[score, j] : cand) {
    (void)score;
    if (common::wall_seconds() > in.deadline) break;
    if (!in.lp.tableau_row(j, row)) continue;
    base.index.clear();
    base.value.clear();
    base.rhs = 0;
    comp.clear();
    bool usable = true;
    for (int k = 0; k < static_cast<int>(row.size()); ++k) {
      if (std::fabs(row[k]) <= kTableauZero) continue;
      if (!e.known[k]) {
        usable = false;
        break;
      }
      base.index.push_back(k);
      base.value.push_back(row[k]);
      const bool up_ok = e.up[k] < 1e30;
      comp.push_back(up_ok && (e.up[k] - e.x[k] < e.x[k] - e.lo[k]));
    }
    if (!usable) continue;
    Cut cut;
    if (!mir_cut(in, base, 1.0, comp, cut)) continue;
    cut.tag = "GMRY";
    cut.efficacy = cut_efficacy(cut, in.x);
    if (cut.efficacy >= in.safety.min_efficacy) out.push_back(std::move(cut));
  }
}

}  // namespace tarvo::mip
