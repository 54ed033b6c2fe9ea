// Computing the statistics block: one pass over types, rows, bounds, sets and
// matrix entries. Kept apart from the info dispatcher so that solvers and
// writers can use the same counts.
#include "model/statistics.hpp"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

namespace tarvo::base {
namespace {

bool finite_lower(double v) { return v > -1e30; }
bool finite_upper(double v) { return v < 1e30; }

void count_bounds(const ModelData &d, Statistics &s) {
  for (int j = 0; j < d.n; ++j) {
    bool lo = finite_lower(d.lower[j]), up = finite_upper(d.upper[j]);
    if (lo && up)
      ++(d.lower[j] == d.upper[j] ? s.nvars_fx : s.nvars_lub);
    else if (lo)
      ++s.nvars_lb;
    else if (up)
      ++s.nvars_ub;
    else
      ++s.nvars_fr;
  }
}

void count_types(const ModelData &d, Statistics &s) {
  for (int j = 0; j < d.n; ++j) {
    char t = d.vtype.empty() ? 'C' : d.vtype[j];
    if (t == 'B')
      ++s.nbin;
    else if (t == 'I')
      ++s.nint;
  }
  s.ncont = d.n - s.nbin - s.nint;
  s.nvars_scont = static_cast<int>(d.semicont.var.size());
}

// A ranged row counts as "R" only, so that L + E + G + R + N is m.
void count_rows(const ModelData &d, Statistics &s) {
  for (int i = 0; i < d.m; ++i) {
    if (!d.range.empty() && d.range[i] != 0) {
      ++s.ncons_r;
      continue;
    }
    switch (d.ctype[i]) {
      case 'L': ++s.ncons_l; break;
      case 'E': ++s.ncons_e; break;
      case 'G': ++s.ncons_g; break;
      default: ++s.ncons_n; break;
    }
  }
}

// Distinct variables per set type; a variable in two sets of one type counts once.
void count_set_members(const ModelData &d, Statistics &s) {
  const SetData &sets = d.sets;
  if (sets.count() == 0) return;
  std::vector<unsigned char> seen(d.n, 0);  // bit t-1 set when counted for type t
  for (int k = 0; k < sets.count(); ++k) {
    int type = sets.type[k];
    if (type < 1 || type > 4) continue;
    unsigned char bit = static_cast<unsigned char>(1u << (type - 1));
    int *counter = type == 1 ? &s.nvars_sos1 : type == 2 ? &s.nvars_sos2 : type == 3 ? &s.nvars_sos3 : &s.nvars_card;
    for (int p = sets.start[k]; p < sets.start[k + 1]; ++p) {
      int j = sets.member[p];
      if (j < 0 || j >= d.n || (seen[j] & bit)) continue;
      seen[j] |= bit;
      ++*counter;
    }
  }
}

void find_coefficient_extremes(const ModelData &d, Statistics &s) {
  bool any = false;
  for (int j = 0; j < d.n; ++j) {
    for (int p = d.start[j]; p < d.start[j] + d.length[j]; ++p) {
      double a = std::fabs(d.value[p]);
      if (!(a > 0)) continue;
      if (!any || a < s.min_coef) {
        s.min_coef = a;
        s.min_coef_row = d.rowidx[p];
        s.min_coef_col = j;
      }
      if (!any || a > s.max_coef) {
        s.max_coef = a;
        s.max_coef_row = d.rowidx[p];
        s.max_coef_col = j;
      }
      any = true;
    }
  }
}

}  // namespace

Statistics compute_statistics(const ModelData &data) {
  Statistics s;
  count_types(data, s);
  count_rows(data, s);
  count_bounds(data, s);
  count_set_members(data, s);
  find_coefficient_extremes(data, s);
  s.stale = false;
  return s;
}

const Statistics &current_statistics(Model *model) {
  if (model->stats.stale && !model->xsolver) model->stats = compute_statistics(model->data);
  return model->stats;
}

int name_pool_extent(const NamePool &names, int count) {
  if (!names.present()) return 0;
  const int size = static_cast<int>(names.pool.size());
  const int last = std::min(count, static_cast<int>(names.offsets.size()));
  int extent = 0;
  for (int i = 0; i < last; ++i) {
    int off = names.offsets[i];
    if (off < 0 || off >= size) continue;
    int end = off + static_cast<int>(strnlen(names.pool.data() + off, size - off)) + 1;
    if (end > size) end = size;
    if (end > extent) extent = end;
  }
  return extent;
}

}  // namespace tarvo::base
