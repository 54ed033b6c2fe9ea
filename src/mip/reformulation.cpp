// Set and semicontinuous reformulations. A member x_j of a set gets an
// indicator z_j with l_j z_j <= x_j <= u_j z_j; the set's rule becomes a row
// over the indicators (SOS1: sum z <= 1, SOS3: sum z = 1, cardinality k:
// sum z <= k). SOS2 uses one indicator per adjacent pair of members: sum of
// the pair indicators <= 1 and x_j <= u_j (z_{j-1} + z_j). Long SOS2 sets of
// nonnegative members use a binary Gray code of the pair instead: log2 of
// the pairs in binaries, and each member is held at 0 by every bit whose
// value its two pairs share (the code of adjacent pairs differs in one bit).
#include "mip/reformulation.hpp"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "common/error_codes.hpp"
#include "mip/reformulation_builder.hpp"
#include "mip/working_problem.hpp"

namespace tarvo::mip {

namespace {

// Pairs (segments) from which an SOS2 set takes the Gray code.
constexpr int kGraySegments = 8;

int gray(int s) { return s ^ (s >> 1); }

// The Gray-code rows of one SOS2 set with members mem (upper bounds up, all
// lower bounds >= 0): bits binaries y, and for member k and bit b
// x_k <= u_k y_b when both pairs of k have bit b set, x_k <= u_k (1 - y_b)
// when both have it clear. Pairs past the last member stand for codes that
// select no pair of real members.
void gray_sos2(const std::vector<int> &mem, const std::vector<double> &up, Builder &b) {
  const int members = static_cast<int>(mem.size());
  const int segments = members - 1;
  int bits = 0;
  while ((1 << bits) < segments) ++bits;
  const int total = 1 << bits;
  std::vector<int> y(bits);
  for (int t = 0; t < bits; ++t) y[t] = b.add_binary();
  for (int k = 0; k < members; ++k) {
    const int j = mem[k];
    for (int t = 0; t < bits; ++t) {
      int ones = 0, seen = 0;
      for (int s : {k - 1, k}) {
        if (s < 0 || s >= total) continue;
        ++seen;
        ones += (gray(s) >> t) & 1;
      }
      if (ones == seen)
        b.add_row({{j, 1.0}, {y[t], -up[k]}}, -1e30, 0);
      else if (ones == 0)
        b.add_row({{j, 1.0}, {y[t], up[k]}}, -1e30, up[k]);
    }
  }
}

}  // namespace

int reformulate_special(const base::ModelData &d, double lbigm, WorkingProblem *out) {
  MipProblem &p = out->prob;
  const int nsets = d.sets.count();
  const int nsc = static_cast<int>(d.semicont.var.size());
  const int nind = static_cast<int>(d.indicators.row.size());
  const int nad = static_cast<int>(d.alldiff.lower.size());
  if (nsets == 0 && nsc == 0 && nind == 0 && nad == 0) return 0;
  char line[256];
  std::snprintf(line, sizeof line,
                "\nReformulating with sets (numset:%d, numsc:%d, numalldiffs:%d, numind:%d), working LBIGM:%e", nsets,
                nsc, static_cast<int>(d.alldiff.lower.size()), static_cast<int>(d.indicators.row.size()), lbigm);
  out->notes.push_back(line);
  // the big-M must cover every finite bound involved
  double biggest = 0;
  auto note_bound = [&](int j) {
    if (p.col_up[j] < 1e30) biggest = std::max(biggest, std::fabs(p.col_up[j]));
    if (p.col_lo[j] > -1e30) biggest = std::max(biggest, std::fabs(p.col_lo[j]));
  };
  for (int s = 0; s < nsets; ++s)
    for (int k = d.sets.start[s]; k < d.sets.start[s + 1]; ++k) note_bound(d.sets.member[k]);
  for (int t = 0; t < nsc; ++t) note_bound(d.semicont.var[t]);
  double bigm = lbigm;
  if (bigm < biggest) {
    std::snprintf(line, sizeof line, "\nWarning: LBIGM=%g is not sufficiently big, threshold ~ max(|best_ub|,|best_lb|)=%g ..",
                  lbigm, biggest);
    out->notes.push_back(line);
    bigm = biggest;
    out->bigm_raised = true;
    std::snprintf(line, sizeof line, "\nNew LBIGM=%g %s..", bigm, bigm > 1e9 ? "(*** too big ***)" : "");
    out->notes.push_back(line);
  }
  for (int t = 0; t < nind; ++t) {
    const int i = d.indicators.row[t];
    if (i >= 0 && i < p.m) {
      if (p.row_up[i] < 1e30) biggest = std::max(biggest, std::fabs(p.row_up[i]));
      if (p.row_lo[i] > -1e30) biggest = std::max(biggest, std::fabs(p.row_lo[i]));
    }
  }
  auto upper_of = [&](int j) { return p.col_up[j] < 1e30 ? p.col_up[j] : bigm; };
  auto lower_of = [&](int j) { return p.col_lo[j] > -1e30 ? p.col_lo[j] : -bigm; };

  Builder b(p);
  int code = reformulate_indicators(d, bigm, b);
  if (code == 0) code = reformulate_alldiff(d, b);
  if (code != 0) return code;
  unsigned count[4] = {0, 0, 0, 0};
  bool gray_note = false;
  for (int s = 0; s < nsets; ++s) {
    const int type = d.sets.type[s];
    if (type < 1 || type > 4) return err::kBadInput;
    ++count[type - 1];
    std::vector<int> mem(d.sets.member.begin() + d.sets.start[s], d.sets.member.begin() + d.sets.start[s + 1]);
    if (mem.empty()) continue;
    std::vector<std::pair<int, double>> pick;
    if (type == 2 && static_cast<int>(mem.size()) - 1 >= kGraySegments &&
        std::all_of(mem.begin(), mem.end(), [&](int j) { return p.col_lo[j] >= 0; })) {
      if (!gray_note) {
        out->notes.push_back("\nSwitching to gray-encoding of SOS2 variables..");
        gray_note = true;
      }
      std::vector<double> up(mem.size());
      for (size_t k = 0; k < mem.size(); ++k) up[k] = upper_of(mem[k]);
      gray_sos2(mem, up, b);
      continue;
    }
    if (type == 2) {
      // z_k selects the pair (k, k+1); a single member set needs no row
      const int segs = std::max(1, static_cast<int>(mem.size()) - 1);
      std::vector<int> z(segs);
      for (int k = 0; k < segs; ++k) {
        z[k] = b.add_binary();
        pick.push_back({z[k], 1.0});
      }
      for (int k = 0; k < static_cast<int>(mem.size()); ++k) {
        const int j = mem[k];
        std::vector<std::pair<int, double>> up{{j, 1.0}}, lo{{j, 1.0}};
        for (int q : {k - 1, k})
          if (q >= 0 && q < segs) {
            up.push_back({z[q], -upper_of(j)});
            lo.push_back({z[q], -lower_of(j)});
          }
        b.add_row(up, -1e30, 0);
        if (lower_of(j) < 0) b.add_row(lo, 0, 1e30);
      }
      b.add_row(pick, -1e30, 1);
      continue;
    }
    for (int j : mem) {
      const int z = b.add_binary();
      pick.push_back({z, 1.0});
      b.add_row({{j, 1.0}, {z, -upper_of(j)}}, -1e30, 0);
      if (lower_of(j) < 0) b.add_row({{j, 1.0}, {z, -lower_of(j)}}, 0, 1e30);
    }
    if (type == 1) b.add_row(pick, -1e30, 1);
    if (type == 3) b.add_row(pick, 1, 1);
    if (type == 4) {
      const int card = d.sets.cardinality.empty() ? 1 : d.sets.cardinality[s];
      b.add_row(pick, -1e30, card);
    }
  }
  for (int t = 0; t < nsc; ++t) {
    // x = 0 or sc_lower <= x <= upper
    const int j = d.semicont.var[t];
    const double l = d.semicont.lower[t];
    const int z = b.add_binary();
    p.col_lo[j] = std::min(0.0, p.col_lo[j]);
    b.add_row({{j, 1.0}, {z, -upper_of(j)}}, -1e30, 0);
    if (l > 0) b.add_row({{j, 1.0}, {z, -l}}, 0, 1e30);
  }
  b.finish();
  std::snprintf(line, sizeof line, "\nInserting { Sets (s1,s2,s3,card), SC, ALLDIFF, IND } = {(%5u,%5u,%5u,%5u), %6u, %6u, %6u} ",
                count[0], count[1], count[2], count[3], static_cast<unsigned>(nsc), static_cast<unsigned>(nad),
                static_cast<unsigned>(nind));
  out->notes.push_back(line);
  return 0;
}

}  // namespace tarvo::mip
