// The invariants of a model's data, checked as a whole. Tests run it after
// every operation; hosts can call it to diagnose a model they built.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "model/model_state.hpp"
#include "common/boundary.hpp"
#include "common/error_codes.hpp"

namespace tarvo::base {
namespace {

struct Checker {
  std::string *why;
  bool ok = true;
  template <class... A>
  bool fail(const char *format, A... args) {
    if (ok && why) {
      char buf[256];
      std::snprintf(buf, sizeof buf, format, args...);
      *why = buf;
    }
    ok = false;
    return false;
  }
};

bool valid_ctype(char t) { return t == 'E' || t == 'G' || t == 'L' || t == 'N'; }
bool valid_vtype(char t) { return t == 'C' || t == 'B' || t == 'I'; }

bool check_names(Checker &ck, const NamePool &names, int count, const char *what) {
  if (!names.present()) return true;
  if (static_cast<int>(names.offsets.size()) < count) return ck.fail("%s name offsets shorter than the count", what);
  for (int i = 0; i < count; ++i) {
    int off = names.offsets[i];
    if (off < 0 || off >= static_cast<int>(names.pool.size()))
      return ck.fail("%s name %d starts outside its pool", what, i);
    if (!std::memchr(names.pool.data() + off, '\0', names.pool.size() - off))
      return ck.fail("%s name %d is not terminated inside its pool", what, i);
  }
  return true;
}

bool check_members(Checker &ck, const std::vector<int> &start, const std::vector<int> &member, int groups, int n,
                   const char *what) {
  if (groups == 0) return true;
  if (static_cast<int>(start.size()) < groups + 1) return ck.fail("%s starts shorter than the count + 1", what);
  if (start[0] != 0) return ck.fail("%s starts do not begin at 0", what);
  for (int k = 0; k < groups; ++k)
    if (start[k + 1] < start[k]) return ck.fail("%s %d has a negative size", what, k);
  if (start[groups] != static_cast<int>(member.size())) return ck.fail("%s member count disagrees with starts", what);
  for (size_t p = 0; p < member.size(); ++p)
    if (member[p] < 0 || member[p] >= n) return ck.fail("%s member %d is not a column", what, member[p]);
  return true;
}

bool check_solution(Checker &ck, const SolutionRecord &s, int n, int rows) {
  auto sized = [&](size_t size, int want, const char *what) {
    return size == 0 || static_cast<int>(size) == want || ck.fail("solution %s has %zu entries, not %d", what, size, want);
  };
  return sized(s.x.size(), n, "x") && sized(s.redcost.size(), n, "reduced costs") &&
         sized(s.colbasis.size(), n, "column basis") && sized(s.slack.size(), rows, "slacks") &&
         sized(s.dual.size(), rows, "duals") && sized(s.rowbasis.size(), rows, "row basis");
}


// Cones, sets, quadratic terms, indicators, semidefinite blocks and
// all-different groups beyond their member ranges (checked by check_members).
bool check_special_kinds(Checker &ck, const ModelData &d) {
  const int m = d.m, n = d.n;
  std::vector<char> mark(n, 0);
  for (int k = 0; k < d.ncones; ++k) {
    char t = d.cones.type[k];
    if (t != 'Q' && t != 'R' && t != 'E' && t != 'P') return ck.fail("cone %d has type %d", k, t);
    for (int p = d.cones.start[k]; p < d.cones.start[k + 1]; ++p)
      if (mark[d.cones.member[p]]++) return ck.fail("column %d lies in two cones", d.cones.member[p]);
  }
  if (!d.cones.alpha.empty() && static_cast<int>(d.cones.alpha.size()) != d.ncones)
    return ck.fail("cone alphas disagree with the cone count");
  for (double a : d.cones.alpha)
    if (std::isnan(a)) return ck.fail("a cone alpha is NaN");
  const SetData &s = d.sets;
  const int nsets = s.count();
  if (nsets == 0 && !s.member.empty()) return ck.fail("set members without sets");
  if (!s.cardinality.empty() && static_cast<int>(s.cardinality.size()) != nsets)
    return ck.fail("set cardinalities disagree with the set count");
  if (static_cast<int>(s.state.size()) != nsets || (!s.active.empty() && static_cast<int>(s.active.size()) != nsets))
    return ck.fail("set states disagree with the set count");
  std::fill(mark.begin(), mark.end(), 0);
  for (int k = 0; k < nsets; ++k) {
    if (s.type[k] < 1 || s.type[k] > 4) return ck.fail("set %d has type %d", k, s.type[k]);
    if (s.type[k] == 4 && (s.cardinality.empty() || s.cardinality[k] < 0))
      return ck.fail("cardinality set %d without a cardinality", k);
    for (int p = s.start[k]; p < s.start[k + 1]; ++p)
      if (mark[s.member[p]]++) return ck.fail("set %d holds column %d twice", k, s.member[p]);
    for (int p = s.start[k]; p < s.start[k + 1]; ++p) mark[s.member[p]] = 0;
  }
  const QuadraticData &q = d.qc;
  if (!q.empty()) {
    if (static_cast<int>(q.is_quadratic_row.size()) != m + 1) return ck.fail("quadratic row flags are not m+1");
    std::vector<char> has(m + 1, 0);
    for (size_t t = 0; t < q.coef.size(); ++t) {
      if (t > 0 && q.row[t] < q.row[t - 1]) return ck.fail("quadratic term %zu is not grouped by row", t);
      if (!std::isfinite(q.coef[t]) || q.coef[t] == 0.0) return ck.fail("quadratic term %zu has coefficient %g", t, q.coef[t]);
      has[q.row[t] < 0 ? m : q.row[t]] = 1;
    }
    for (int i = 0; i <= m; ++i)
      if ((q.is_quadratic_row[i] != 0) != (has[i] != 0)) return ck.fail("quadratic flag of row %d is wrong", i);
  }
  for (double v : d.semicont.lower)
    if (std::isnan(v)) return ck.fail("a semicontinuous lower value is NaN");
  const IndicatorData &ind = d.indicators;
  const size_t nind = ind.row.size();
  if (ind.var.size() != nind || ind.value.size() != nind || ind.rhs.size() != nind || ind.ctype.size() != nind)
    return ck.fail("indicator arrays differ in length");
  std::vector<char> rowmark(m, 0);
  for (size_t t = 0; t < nind; ++t)
    if (rowmark[ind.row[t]]++) return ck.fail("row %d carries two indicators", ind.row[t]);
  const PosdData &pd = d.posd;
  const int nblocks = static_cast<int>(pd.dim.size());
  if (nblocks > 0) {
    const size_t entries = pd.var.size();
    if (static_cast<int>(pd.start.size()) != nblocks + 1 || pd.start[0] != 0 ||
        static_cast<size_t>(pd.start[nblocks]) != entries || pd.rowpos.size() != entries ||
        pd.colpos.size() != entries || static_cast<int>(pd.packed.size()) != nblocks)
      return ck.fail("semidefinite block arrays disagree");
    std::fill(mark.begin(), mark.end(), 0);
    for (int k = 0; k < nblocks; ++k) {
      long long dim = pd.dim[k];
      if (dim < 0 || static_cast<long long>(pd.packed[k].size()) != dim * (dim + 1) / 2)
        return ck.fail("semidefinite block %d is not packed for dimension %lld", k, dim);
      if (pd.start[k + 1] < pd.start[k]) return ck.fail("semidefinite block %d has a negative size", k);
      long long placed = 0;
      for (int cell : pd.packed[k]) placed += cell >= 0;
      if (placed != pd.start[k + 1] - pd.start[k]) return ck.fail("semidefinite block %d packs a wrong count", k);
      for (int p = pd.start[k]; p < pd.start[k + 1]; ++p) {
        int i = pd.rowpos[p], j = pd.colpos[p], v = pd.var[p];
        if (j < 0 || j > i || i >= dim || v < 0 || v >= n) return ck.fail("semidefinite entry %d is out of range", p);
        if (mark[v]++) return ck.fail("column %d lies in two semidefinite entries", v);
        if (pd.packed[k][i * (i + 1) / 2 + j] != v) return ck.fail("semidefinite entry %d is not packed", p);
      }
    }
  } else if (!pd.var.empty() || !pd.packed.empty()) {
    return ck.fail("semidefinite entries without blocks");
  }
  const AllDiffData &g = d.alldiff;
  if (g.upper.size() != g.lower.size()) return ck.fail("all-different bounds disagree");
  std::fill(mark.begin(), mark.end(), 0);
  for (int j : g.member)
    if (mark[j]++) return ck.fail("column %d lies in two all-different groups", j);
  return true;
}
}  // namespace

bool check_model(const Model &model, std::string *why) {
  Checker ck{why};
  const ModelData &d = model.data;
  if (d.m < 0 || d.n < 0 || d.nz < 0) return ck.fail("negative dimension");
  if (model.status == TV_STATUS_UNLOADED) {
    if (d.m != 0 || d.n != 0) return ck.fail("an unloaded model holds %d rows and %d columns", d.m, d.n);
    return true;
  }
  const int m = d.m, n = d.n, nn = n > 0 ? n : 1;
  if (d.row_capacity < m) return ck.fail("row capacity %d below m %d", d.row_capacity, m);
  if (d.col_capacity < nn) return ck.fail("column capacity %d below max(n,1) %d", d.col_capacity, nn);
  // Additions write into the room the capacities promise.
  if (static_cast<int>(d.b.size()) < d.row_capacity || static_cast<int>(d.ctype.size()) < d.row_capacity)
    return ck.fail("row arrays shorter than the row capacity %d", d.row_capacity);
  const int cc = d.col_capacity;
  if (static_cast<int>(d.c.size()) < cc || static_cast<int>(d.lower.size()) < cc ||
      static_cast<int>(d.upper.size()) < cc || static_cast<int>(d.length.size()) < cc ||
      static_cast<int>(d.start.size()) < cc + 1 || (!d.vtype.empty() && static_cast<int>(d.vtype.size()) < cc))
    return ck.fail("column arrays shorter than the column capacity %d", cc);
  if (static_cast<int>(d.c.size()) < nn) return ck.fail("objective shorter than n");
  if (static_cast<int>(d.b.size()) < m) return ck.fail("right-hand side shorter than m");
  if (static_cast<int>(d.ctype.size()) < m) return ck.fail("constraint types shorter than m");
  for (int i = 0; i < m; ++i)
    if (!valid_ctype(d.ctype[i])) return ck.fail("row %d has type %d", i, d.ctype[i]);
  if (!d.range.empty() && static_cast<int>(d.range.size()) < m) return ck.fail("range values shorter than m");
  if (d.sense != 1 && d.sense != -1) return ck.fail("objective sense %d", d.sense);
  // The four-vector matrix.
  if (static_cast<int>(d.start.size()) < n + 1) return ck.fail("column starts shorter than n+1");
  if (static_cast<int>(d.length.size()) < n) return ck.fail("column lengths shorter than n");
  if (d.start[0] < 0) return ck.fail("first column start is negative");
  if (d.start[n] > d.storage) return ck.fail("columns end at %d beyond the storage %d", d.start[n], d.storage);
  if (static_cast<int>(d.rowidx.size()) < d.storage || static_cast<int>(d.value.size()) < d.storage)
    return ck.fail("matrix arrays shorter than the storage");
  std::vector<int> seen(m, -1);
  long long total = 0;
  for (int j = 0; j < n; ++j) {
    int room = d.start[j + 1] - d.start[j];
    if (room < 0) return ck.fail("column %d starts after column %d", j, j + 1);
    if (d.length[j] < 0 || d.length[j] > room) return ck.fail("column %d has length %d in room %d", j, d.length[j], room);
    for (int p = d.start[j]; p < d.start[j] + d.length[j]; ++p) {
      int i = d.rowidx[p];
      if (i < 0 || i >= m) return ck.fail("column %d names row %d", j, i);
      if (seen[i] == j) return ck.fail("column %d holds row %d twice", j, i);
      seen[i] = j;
      if (std::isnan(d.value[p])) return ck.fail("column %d row %d holds NaN", j, i);
    }
    total += d.length[j];
  }
  if (total != d.nz) return ck.fail("column lengths sum to %lld, nz is %d", total, d.nz);
  // Variables.
  if (static_cast<int>(d.lower.size()) < nn || static_cast<int>(d.upper.size()) < nn)
    return ck.fail("bounds shorter than n");
  for (int j = 0; j < n; ++j) {
    if (!(d.lower[j] >= -1e30) || !(d.upper[j] <= 1e30)) return ck.fail("column %d bounds outside +-1e30 or NaN", j);
    if (std::isnan(d.c[j])) return ck.fail("column %d cost is NaN", j);
  }
  if (!d.vtype.empty()) {
    if (static_cast<int>(d.vtype.size()) < n) return ck.fail("variable types shorter than n");
    for (int j = 0; j < n; ++j)
      if (!valid_vtype(d.vtype[j])) return ck.fail("column %d has type %d", j, d.vtype[j]);
  }
  if (!check_names(ck, d.connames, m, "constraint") || !check_names(ck, d.varnames, n, "variable") ||
      !check_names(ck, d.conenames, d.ncones, "cone"))
    return false;
  // Optional data.
  if (static_cast<int>(d.cones.type.size()) != d.ncones) return ck.fail("cone types disagree with the cone count");
  if (!check_members(ck, d.cones.start, d.cones.member, d.ncones, n, "cone")) return false;
  if (d.ncones > 0 && static_cast<int>(d.cones.member.size()) != d.ncone_nz) return ck.fail("cone entry count wrong");
  if (!check_members(ck, d.sets.start, d.sets.member, d.sets.count(), n, "set")) return false;
  if (!check_members(ck, d.alldiff.start, d.alldiff.member, static_cast<int>(d.alldiff.lower.size()), n, "group"))
    return false;
  std::vector<char> mark(n, 0);
  for (int v : d.semicont.var) {
    if (v < 0 || v >= n) return ck.fail("semicontinuous variable %d is not a column", v);
    if (mark[v]++) return ck.fail("semicontinuous variable %d listed twice", v);
  }
  if (d.semicont.lower.size() != d.semicont.var.size()) return ck.fail("semicontinuous lower values disagree");
  const QuadraticData &q = d.qc;
  if (q.row.size() != q.coef.size() || q.col1.size() != q.coef.size() || q.col2.size() != q.coef.size())
    return ck.fail("quadratic arrays differ in length");
  if (static_cast<int>(q.coef.size()) != d.nqc_nz) return ck.fail("quadratic count %d, terms %zu", d.nqc_nz, q.coef.size());
  for (size_t t = 0; t < q.coef.size(); ++t)
    if (q.row[t] < -1 || q.row[t] >= m || q.col1[t] < 0 || q.col1[t] >= n || q.col2[t] < 0 || q.col2[t] >= n)
      return ck.fail("quadratic term %zu refers outside the model", t);
  for (size_t t = 0; t < d.indicators.row.size(); ++t)
    if (d.indicators.row[t] < 0 || d.indicators.row[t] >= m || d.indicators.var[t] < 0 || d.indicators.var[t] >= n)
      return ck.fail("indicator %zu refers outside the model", t);
  if (!check_special_kinds(ck, d)) return false;
  if (!d.priority.empty() && static_cast<int>(d.priority.size()) < n) return ck.fail("priorities shorter than n");
  if (!d.start_point.empty() && static_cast<int>(d.start_point.size()) < n) return ck.fail("start point shorter than n");
  if (!d.mip_start_point.empty() && static_cast<int>(d.mip_start_point.size()) < n)
    return ck.fail("MIP start point shorter than n");
  for (const PartialPoint *pp : {&d.partial_start, &d.mip_partial_start}) {
    if (pp->index.size() != pp->value.size()) return ck.fail("partial start arrays differ in length");
    for (int j : pp->index)
      if (j < 0 || j >= n) return ck.fail("partial start names column %d", j);
  }
  for (const auto *pool : {&d.lp_pool, &d.mip_pool})
    for (const PoolObjective &o : *pool)
      if (static_cast<int>(o.c.size()) < n) return ck.fail("pool objective shorter than n");
  if (!d.obj_pool_open && (!d.lp_pool.empty() || !d.mip_pool.empty()))
    return ck.fail("objectives held without an objective pool");
  for (int j = 0; j < n && j < static_cast<int>(d.priority.size()); ++j)
    if (d.priority[j] < 0) return ck.fail("column %d has negative priority %d", j, d.priority[j]);
  if (model.solution && !check_solution(ck, *model.solution, n, counted_rows(model))) return false;
  if (model.mip && !model.mip->x.empty() && static_cast<int>(model.mip->x.size()) != n)
    return ck.fail("MIP solution has %zu entries, not %d", model.mip->x.size(), n);
  if (model.mip) {
    const MipRecord &r = *model.mip;
    const int rows = counted_rows(model);
    auto sized = [&](size_t size, int want, const char *what) {
      return size == 0 || static_cast<int>(size) == want ||
             ck.fail("MIP %s has %zu entries, not %d", what, size, want);
    };
    if (!sized(r.redcost.size(), n, "reduced costs") || !sized(r.colbasis.size(), n, "column basis") ||
        !sized(r.slack.size(), m, "slacks") || !sized(r.dual.size(), rows, "duals") ||
        !sized(r.rowbasis.size(), rows, "row basis"))
      return false;
  }
  // The registrations drop evaluator data together with its function.
  const ModelHooks &h = model.hooks;
  if (!h.gradcalc && !h.gradcalc_rows.empty()) return ck.fail("gradient row flags without a gradient evaluator");
  if (!h.hessdccalc && h.hessdccalc_data) return ck.fail("Hessian evaluator data without a function");
  return ck.ok;
}

}  // namespace tarvo::base

using namespace tarvo::base;

extern "C" {

TVAPI int TVcheckModelConsistency(pTVmodel model, char *reason) {
  if (reason) reason[0] = '\0';
  if (!live(model)) return tarvo::err::kNullArgument;
  return tarvo::guarded([&] {
    std::string why;
    if (check_model(*model, &why)) return 0;
    if (reason) std::snprintf(reason, 256, "%s", why.c_str());
    return tarvo::err::kInconsistentData;
  });
}

TVAPI int TVfreeSolverMemory(pTVmodel model) {
  if (!live(model)) return tarvo::err::kNullArgument;
  free_solver_memory(model);
  return 0;
}

}  // extern "C"
