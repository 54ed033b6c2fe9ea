// Deleting rows, columns and single matrix entries: the survivors are
// compacted in order and every reference to a row or column (optional data,
// start points, pools, the kept solution) is renumbered or dropped.
#include <algorithm>
#include <cstring>

#include "model/model_state.hpp"
#include "model/member_lists.hpp"
#include "model/modify_internal.hpp"
#include "common/boundary.hpp"
#include "common/error_codes.hpp"

namespace tarvo::base {
namespace {

// Every listed index in 0..count-1 (2012) and none twice (2032); on success
// newindex maps old to new positions, -1 for the deleted ones.
int index_map(int k, const int *list, int count, std::vector<int> *newindex) {
  std::vector<int> map(count, 0);
  for (int t = 0; t < k; ++t) {
    int i = list[t];
    if (i < 0 || i >= count) return err::kIndexOutOfRange;
    if (map[i] < 0) return err::kDuplicateIndex;
    map[i] = -1;
  }
  int next = 0;
  for (int i = 0; i < count; ++i)
    if (map[i] == 0) map[i] = next++;
  *newindex = std::move(map);
  return 0;
}

template <class T>
void keep_flagged(std::vector<T> &v, const std::vector<char> &keep) {
  size_t w = 0;
  for (size_t t = 0; t < v.size() && t < keep.size(); ++t)
    if (keep[t]) v[w++] = v[t];
  v.resize(w);
}

// Renumbers the members of groups given by 0-based starts; `keep` marks the
// member positions that survive (for arrays parallel to the members).
void renumber_groups(std::vector<int> &start, std::vector<int> &member, const std::vector<int> &newindex,
                     std::vector<char> *keep) {
  if (start.empty()) return;
  std::vector<char> kept;
  renumber_list(member, newindex, &kept);
  int removed = 0;
  size_t p = 0;
  for (size_t g = 0; g + 1 < start.size(); ++g) {
    int end = start[g + 1];
    for (; p < static_cast<size_t>(end) && p < kept.size(); ++p)
      if (!kept[p]) ++removed;
    start[g + 1] = end - removed;
  }
  if (keep) *keep = std::move(kept);
}

// Rebuilds the per-row quadratic flags (the last one is the objective) and the
// non-convexity mark from the terms that are left.
void refresh_quadratic_flags(ModelData &d) {
  QuadraticData &q = d.qc;
  d.nqc_nz = static_cast<int>(q.coef.size());
  if (q.is_quadratic_row.empty() && q.coef.empty()) return;
  q.is_quadratic_row.assign(static_cast<size_t>(d.m) + 1, 0);
  q.not_convex = false;
  for (size_t t = 0; t < q.coef.size(); ++t) {
    int r = q.row[t];
    q.is_quadratic_row[r < 0 ? d.m : r] = 1;
    if (r >= 0 && d.ctype[r] == 'E') q.not_convex = true;
  }
}

void drop_quadratic_terms(QuadraticData &q, const std::vector<char> &keep) {
  keep_flagged(q.row, keep);
  keep_flagged(q.col1, keep);
  keep_flagged(q.col2, keep);
  keep_flagged(q.coef, keep);
}

void keep_basis_loaded(SolutionRecord &s) {
  if (s.basis_status == TV_STATUS_BASIC_OPTIMAL) s.basis_status = TV_STATUS_LOADED;
}

int delete_rows(Model *model, int k, const int *list) {
  ModelData &d = model->data;
  const int m = d.m;
  std::vector<int> newindex;
  if (int rc = index_map(k, list, m, &newindex)) return rc;

  compact_prefix(d.b, m, newindex);
  compact_prefix(d.ctype, m, newindex);
  if (!d.range.empty()) compact_prefix(d.range, m, newindex);
  compact_names(d.connames, m, newindex, true);

  int removed = 0;
  for (int j = 0; j < d.n; ++j) {
    int w = d.start[j];
    for (int p = d.start[j]; p < d.start[j] + d.length[j]; ++p) {
      int i = newindex[d.rowidx[p]];
      if (i < 0) continue;
      d.rowidx[w] = i;
      d.value[w] = d.value[p];
      ++w;
    }
    removed += d.start[j] + d.length[j] - w;
    d.length[j] = w - d.start[j];
  }
  d.nz -= removed;

  QuadraticData &q = d.qc;
  if (!q.coef.empty()) {
    std::vector<char> keep(q.coef.size(), 1);
    for (size_t t = 0; t < q.coef.size(); ++t) {
      if (q.row[t] < 0) continue;
      if (newindex[q.row[t]] < 0)
        keep[t] = 0;
      else
        q.row[t] = newindex[q.row[t]];
    }
    drop_quadratic_terms(q, keep);
  }
  IndicatorData &ind = d.indicators;
  if (!ind.row.empty()) {
    std::vector<char> keep;
    renumber_list(ind.row, newindex, &keep);
    keep_flagged(ind.var, keep);
    keep_flagged(ind.value, keep);
    keep_flagged(ind.rhs, keep);
    keep_flagged(ind.ctype, keep);
  }
  std::vector<char> &grad = model->hooks.gradcalc_rows;
  if (static_cast<int>(grad.size()) == m + 1) compact_array(grad, m, newindex);

  if (SolutionRecord *s = model->solution.get()) {
    compact_array(s->dual, m, newindex);
    compact_array(s->slack, m, newindex);
    compact_array(s->rowbasis, m, newindex);
    compact_array(s->ipm_dual, m, newindex);
    compact_array(s->ipm_slack, m, newindex);
    keep_basis_loaded(*s);
  }
  if (MipRecord *r = model->mip.get()) {
    compact_array(r->dual, m, newindex);
    compact_array(r->slack, m, newindex);
    compact_array(r->rowbasis, m, newindex);
  }
  d.m = m - k;
  refresh_quadratic_flags(d);
  change_epilogue(model, false);
  return 0;
}


void renumber_cones(ModelData &d, const std::vector<int> &newindex) {
  ConeData &c = d.cones;
  if (d.ncones == 0) return;
  std::vector<int> old_start = c.start;
  renumber_groups(c.start, c.member, newindex, nullptr);
  // A cone left without the members its type needs is dropped with its name.
  std::vector<int> conemap(d.ncones, 0);
  int next = 0;
  for (int g = 0; g < d.ncones; ++g) {
    int size = c.start[g + 1] - c.start[g];
    bool lost = size != old_start[g + 1] - old_start[g];
    conemap[g] = (!lost || cone_size_fits(c.type[g], size)) ? next++ : -1;
  }
  if (next < d.ncones) {
    std::vector<int> start{0}, member;
    for (int g = 0; g < d.ncones; ++g) {
      if (conemap[g] < 0) continue;
      member.insert(member.end(), c.member.begin() + c.start[g], c.member.begin() + c.start[g + 1]);
      start.push_back(static_cast<int>(member.size()));
    }
    c.start.swap(start);
    c.member.swap(member);
    compact_array(c.type, d.ncones, conemap);
    if (!c.alpha.empty()) compact_array(c.alpha, d.ncones, conemap);
    compact_names(d.conenames, d.ncones, conemap, true);
  }
  d.ncones = next;
  d.ncone_nz = static_cast<int>(c.member.size());
  if (d.ncones == 0) {
    c = ConeData{};
    d.conenames = NamePool{};
  }
}

void renumber_sets(ModelData &d, const std::vector<int> &newindex) {
  SetData &s = d.sets;
  const int count = s.count();
  if (count == 0) return;
  std::vector<int> old_start = s.start;
  renumber_groups(s.start, s.member, newindex, nullptr);
  std::vector<int> setmap(count, 0);
  int next = 0;
  for (int g = 0; g < count; ++g) {
    int size = s.start[g + 1] - s.start[g];
    bool lost = size != old_start[g + 1] - old_start[g];
    setmap[g] = (!lost || set_size_fits(s.type[g], size)) ? next++ : -1;
  }
  if (next == count) return;
  std::vector<int> start{0}, member;
  for (int g = 0; g < count; ++g) {
    if (setmap[g] < 0) continue;
    member.insert(member.end(), s.member.begin() + s.start[g], s.member.begin() + s.start[g + 1]);
    start.push_back(static_cast<int>(member.size()));
  }
  s.start.swap(start);
  s.member.swap(member);
  compact_array(s.cardinality, count, setmap);
  compact_array(s.state, count, setmap);
  compact_array(s.active, count, setmap);
  compact_array(s.type, count, setmap);
  if (s.type.empty()) s = SetData{};
}

void renumber_partial(PartialPoint &pp, const std::vector<int> &newindex) {
  if (pp.index.empty()) return;
  std::vector<char> keep;
  renumber_list(pp.index, newindex, &keep);
  keep_flagged(pp.value, keep);
  if (pp.index.empty()) pp.present = false;
}

int delete_cols(Model *model, int k, const int *list) {
  ModelData &d = model->data;
  const int n = d.n;
  std::vector<int> newindex;
  if (int rc = index_map(k, list, n, &newindex)) return rc;

  // Survivors move towards the front, each keeping the room it had.
  int pos = d.start[0], removed = 0;
  for (int j = 0; j < n; ++j) {
    const int from = d.start[j], room = d.start[j + 1] - d.start[j], len = d.length[j];
    const int nj = newindex[j];
    if (nj < 0) {
      removed += len;
      continue;
    }
    if (pos != from && len > 0) {
      std::memmove(d.rowidx.data() + pos, d.rowidx.data() + from, sizeof(int) * len);
      std::memmove(d.value.data() + pos, d.value.data() + from, sizeof(double) * len);
    }
    d.start[nj] = pos;
    d.length[nj] = len;
    pos += room;
  }
  const int n_new = n - k;
  d.start[n_new] = pos;
  d.nz -= removed;
  compact_prefix(d.c, n, newindex);
  compact_prefix(d.lower, n, newindex);
  compact_prefix(d.upper, n, newindex);
  if (!d.vtype.empty()) compact_prefix(d.vtype, n, newindex);
  compact_names(d.varnames, n, newindex, false);

  compact_array(d.priority, n, newindex);
  compact_array(d.start_point, n, newindex);
  compact_array(d.mip_start_point, n, newindex);
  renumber_partial(d.partial_start, newindex);
  renumber_partial(d.mip_partial_start, newindex);
  for (auto *pool : {&d.lp_pool, &d.mip_pool})
    for (PoolObjective &o : *pool) {
      compact_array(o.c, n, newindex);
      for (auto &sol : o.solutions) compact_array(sol, n, newindex);
    }

  QuadraticData &q = d.qc;
  if (!q.coef.empty()) {
    std::vector<char> keep(q.coef.size(), 1);
    for (size_t t = 0; t < q.coef.size(); ++t) {
      int a = newindex[q.col1[t]], b = newindex[q.col2[t]];
      if (a < 0 || b < 0) {
        keep[t] = 0;
      } else {
        q.col1[t] = a;
        q.col2[t] = b;
      }
    }
    drop_quadratic_terms(q, keep);
  }
  renumber_cones(d, newindex);
  renumber_sets(d, newindex);
  if (!d.semicont.var.empty()) {
    std::vector<char> keep;
    renumber_list(d.semicont.var, newindex, &keep);
    keep_flagged(d.semicont.lower, keep);
  }
  IndicatorData &ind = d.indicators;
  if (!ind.var.empty()) {
    std::vector<char> keep;
    renumber_list(ind.var, newindex, &keep);
    keep_flagged(ind.row, keep);
    keep_flagged(ind.value, keep);
    keep_flagged(ind.rhs, keep);
    keep_flagged(ind.ctype, keep);
  }
  PosdData &posd = d.posd;
  if (!posd.dim.empty()) {
    std::vector<char> keep;
    renumber_groups(posd.start, posd.var, newindex, &keep);
    keep_flagged(posd.rowpos, keep);
    keep_flagged(posd.colpos, keep);
    for (auto &cells : posd.packed)
      for (int &v : cells)
        if (v >= 0) v = v < n ? newindex[v] : -1;
  }
  renumber_groups(d.alldiff.start, d.alldiff.member, newindex, nullptr);

  if (SolutionRecord *s = model->solution.get()) {
    compact_array(s->x, n, newindex);
    compact_array(s->redcost, n, newindex);
    compact_array(s->colbasis, n, newindex);
    compact_array(s->redcost_cone, n, newindex);
    compact_array(s->ipm_x, n, newindex);
    compact_array(s->ipm_redcost, n, newindex);
    keep_basis_loaded(*s);
  }
  if (MipRecord *r = model->mip.get()) {
    compact_array(r->x, n, newindex);
    compact_array(r->redcost, n, newindex);
    compact_array(r->colbasis, n, newindex);
  }
  d.n = n_new;
  refresh_quadratic_flags(d);
  change_epilogue(model, false);
  return 0;
}

int delete_entries(Model *model, int j, int k, const int *rows) {
  ModelData &d = model->data;
  if (j < 0 || j >= d.n) return err::kIndexOutOfRange;
  for (int t = 0; t < k; ++t)
    if (rows[t] < 0 || rows[t] >= d.m) return err::kIndexOutOfRange;
  std::vector<char> gone(d.m, 0);
  for (int t = 0; t < k; ++t) gone[rows[t]] = 1;
  int w = d.start[j];
  for (int p = d.start[j]; p < d.start[j] + d.length[j]; ++p) {
    if (gone[d.rowidx[p]]) continue;
    d.rowidx[w] = d.rowidx[p];
    d.value[w] = d.value[p];
    ++w;
  }
  int removed = d.start[j] + d.length[j] - w;
  if (removed == 0) return 0;
  d.length[j] -= removed;
  d.nz -= removed;
  change_epilogue(model, false);
  return 0;
}

}  // namespace
}  // namespace tarvo::base

using namespace tarvo::base;

extern "C" {

TVAPI int TVdeleteConstraints(pTVmodel model, int nCons, const int *cons) {
  if (!live(model)) return tarvo::err::kNullArgument;
  if (nCons == 0) return 0;
  if (nCons < 0) return tarvo::err::kBadInput;
  if (model->data.m == 0) return 0;
  if (!cons) return tarvo::err::kNullArgument;
  return tarvo::guarded([&] { return delete_rows(model, nCons, cons); });
}

TVAPI int TVdeleteVariables(pTVmodel model, int nVars, const int *vars) {
  if (!live(model)) return tarvo::err::kNullArgument;
  if (nVars == 0) return 0;
  if (nVars < 0) return tarvo::err::kBadInput;
  if (model->data.n == 0) return 0;
  if (!vars) return tarvo::err::kNullArgument;
  return tarvo::guarded([&] { return delete_cols(model, nVars, vars); });
}

TVAPI int TVdeleteAj(pTVmodel model, int j, int nRows, const int *rows) {
  if (!live(model)) return tarvo::err::kNullArgument;
  if (nRows == 0) return 0;
  if (nRows < 0) return tarvo::err::kBadInput;
  if (!rows) return tarvo::err::kNullArgument;
  return tarvo::guarded([&] { return delete_entries(model, j, nRows, rows); });
}

}  // extern "C"
