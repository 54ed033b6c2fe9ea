// Model building and the independent checks of the analysis tests.
#include "lp_description.hpp"

#include <algorithm>
#include <cmath>

namespace iistest {
namespace {

bool contains(const std::vector<int> &v, int x) { return std::find(v.begin(), v.end(), x) != v.end(); }

}  // namespace

int load(pTVmodel model, const LpDescription &s) {
  const int m = static_cast<int>(s.rows.size());
  std::vector<int> start(s.n + 1, 0), len(s.n, 0), idx;
  std::vector<double> val, b(m);
  std::vector<char> ctype(m);
  for (int j = 0; j < s.n; ++j) {
    for (int i = 0; i < m; ++i) {
      auto it = s.rows[i].coef.find(j);
      if (it == s.rows[i].coef.end()) continue;
      idx.push_back(i);
      val.push_back(it->second);
    }
    start[j + 1] = static_cast<int>(idx.size());
    len[j] = start[j + 1] - start[j];
  }
  for (int i = 0; i < m; ++i) {
    b[i] = s.rows[i].rhs;
    ctype[i] = s.rows[i].type;
  }
  int code = TVloadLPData(model, m, s.n, s.sense, 0.0, s.c.data(), b.data(), ctype.data(),
                          static_cast<int>(idx.size()), start.data(), len.data(), val.data(), idx.data(),
                          s.lower.data(), s.upper.data());
  if (code == 0 && !s.vtype.empty()) {
    std::string vt = s.vtype;
    code = TVloadVarType(model, vt.data());
  }
  return code;
}

namespace {

Outcome solve_lp(pTVenv env, const LpDescription &sub) {
  int code = 0;
  pTVmodel m = TVcreateModel(env, &code);
  if (!m) return Outcome::kOther;
  LpDescription cont = sub;
  cont.vtype.clear();
  int status = 0;
  code = load(m, cont);
  if (code == 0) code = TVoptimize(m, TV_METHOD_FREE, &status);
  TVdeleteModel(&m);
  if (code != 0) return Outcome::kOther;
  if (status == TV_STATUS_OPTIMAL || status == TV_STATUS_BASIC_OPTIMAL) return Outcome::kFeasible;
  if (status == TV_STATUS_INFEASIBLE) return Outcome::kInfeasible;
  return Outcome::kOther;
}

// Integer columns (small finite boxes) are enumerated; the continuous rest
// is an LP per integer point.
Outcome enumerate(pTVenv env, LpDescription &sub, const std::vector<int> &ints, size_t k) {
  if (k == ints.size()) return solve_lp(env, sub);
  const int j = ints[k];
  const double lo = sub.lower[j], up = sub.upper[j];
  Outcome out = Outcome::kInfeasible;
  for (double v = std::ceil(lo); v <= std::floor(up) && out == Outcome::kInfeasible; v += 1.0) {
    sub.lower[j] = sub.upper[j] = v;
    out = enumerate(env, sub, ints, k + 1);
  }
  sub.lower[j] = lo;
  sub.upper[j] = up;
  return out;
}

}  // namespace

LpDescription description_from_model(pTVmodel model) {
  int m = 0, n = 0, nz = 0;
  TVgetInfo(model, TV_IINFO_NUM_CONS, &m);
  TVgetInfo(model, TV_IINFO_NUM_VARS, &n);
  TVgetInfo(model, TV_IINFO_NUM_NONZ, &nz);
  LpDescription s(n);
  std::vector<double> b(m + 1), val(nz + 1);
  std::vector<char> ctype(m + 1);
  std::vector<int> start(n + 1), len(n + 1), idx(nz + 1);
  double constant = 0;
  TVgetLPData(model, &s.sense, &constant, s.c.data(), b.data(), ctype.data(), start.data(), len.data(), val.data(),
              idx.data(), s.lower.data(), s.upper.data());
  s.rows.resize(m);
  for (int i = 0; i < m; ++i) s.rows[i] = {{}, ctype[i], b[i]};
  for (int j = 0; j < n; ++j)
    for (int k = start[j]; k < start[j] + len[j]; ++k) s.rows[idx[k]].coef[j] += val[k];
  return s;
}

namespace {

// Model status of `s` solved with its own objective.
int solve_status(pTVenv env, const LpDescription &s, std::vector<double> *x) {
  int code = 0, status = 0;
  pTVmodel m = TVcreateModel(env, &code);
  if (!m) return -1;
  code = load(m, s);
  if (code == 0) code = TVoptimize(m, TV_METHOD_FREE, &status);
  if (code == 0 && x) {
    x->assign(s.n, 0.0);
    TVgetPrimalSolution(m, x->data());
  }
  TVdeleteModel(&m);
  return code == 0 ? status : -code;
}

}  // namespace

std::string check_ius(pTVenv env, pTVmodel model, const LpDescription &s) {
  int suf = 0, total = 0;
  std::vector<int> cols(s.n + 1);
  if (TVgetIUS(model, &suf, &total, cols.data()) != 0) return "no IUS record";
  if (total == 0) return "empty IUS";
  LpDescription zero = s;
  zero.c.assign(s.n, 0.0);
  std::vector<double> x0;
  if (solve_status(env, zero, &x0) != TV_STATUS_OPTIMAL && solve_status(env, zero, &x0) != TV_STATUS_BASIC_OPTIMAL)
    return "model not feasible";
  LpDescription sub = s;
  std::vector<char> in(s.n, 0);
  for (int k = 0; k < total; ++k) in[cols[k]] = 1;
  for (int j = 0; j < s.n; ++j)
    if (!in[j]) sub.lower[j] = sub.upper[j] = x0[j];
  const int st = solve_status(env, sub, nullptr);
  if (st != TV_STATUS_UNBOUNDED && st != TV_STATUS_INFORUNB) return "IUS is not unbounded";
  for (int k = suf; k < total; ++k) {
    LpDescription q = sub;
    q.lower[cols[k]] = q.upper[cols[k]] = x0[cols[k]];
    const int sq = solve_status(env, q, nullptr);
    if (sq != TV_STATUS_OPTIMAL && sq != TV_STATUS_BASIC_OPTIMAL)
      return "column " + std::to_string(cols[k]) + " is not necessary";
  }
  return "";
}

Outcome solve_part(pTVenv env, const LpDescription &s, const Part &p) {
  LpDescription sub(s.n);
  sub.lower.assign(s.n, -TV_INFINITY);
  sub.upper.assign(s.n, TV_INFINITY);
  for (int j = 0; j < s.n; ++j) {
    if (p.all_bounds || contains(p.lower_of, j)) sub.lower[j] = s.lower[j];
    if (p.all_bounds || contains(p.upper_of, j)) sub.upper[j] = s.upper[j];
  }
  for (int i : p.rows) sub.rows.push_back(s.rows[i]);
  // Integer columns outside the part's rows only need an integer in their box.
  std::vector<int> used;
  for (int j : p.ints) {
    bool in_rows = false;
    for (const Row &r : sub.rows) in_rows = in_rows || r.coef.count(j);
    if (!in_rows) {
      if (std::ceil(sub.lower[j]) > std::floor(sub.upper[j])) return Outcome::kInfeasible;
      continue;
    }
    if (sub.lower[j] <= -TV_INFINITY || sub.upper[j] >= TV_INFINITY) return Outcome::kOther;
    used.push_back(j);
  }
  return enumerate(env, sub, used, 0);
}

Part part_from_record(pTVmodel model, const LpDescription &s, bool bounds_analysed, int *nec_rows, int *nec_cols) {
  Part p;
  int suf_r = 0, n_r = 0, suf_c = 0, n_c = 0;
  std::vector<int> rows(s.rows.size() + 1), cols(s.n + 1), types(s.n + 1);
  TVgetIIS(model, &suf_r, &n_r, rows.data(), &suf_c, &n_c, cols.data(), types.data());
  p.rows.assign(rows.begin(), rows.begin() + n_r);
  p.all_bounds = !bounds_analysed;
  for (int k = 0; k < n_c; ++k) {
    if (types[k] <= 0) p.lower_of.push_back(cols[k]);
    if (types[k] >= 0) p.upper_of.push_back(cols[k]);
  }
  if (nec_rows) *nec_rows = n_r - suf_r;
  if (nec_cols) *nec_cols = n_c - suf_c;
  return p;
}

std::string check_iis(pTVenv env, pTVmodel model, const LpDescription &s, bool bounds_analysed, bool ints_analysed) {
  int suf_r = 0, n_r = 0, suf_c = 0, n_c = 0;
  if (TVgetIIS(model, &suf_r, &n_r, nullptr, &suf_c, &n_c, nullptr, nullptr) != 0) return "no IIS record";
  const Part p = part_from_record(model, s, bounds_analysed, nullptr, nullptr);
  std::vector<int> cols(s.n + 1), types(s.n + 1);
  TVgetIIS(model, nullptr, nullptr, nullptr, nullptr, nullptr, cols.data(), types.data());
  Part with_ints = p;
  int suf_i = 0, n_i = 0;
  std::vector<int> ints(s.n + 1);
  if (!s.vtype.empty()) {
    // Integrality left out of the analysis stays in the model.
    if (ints_analysed) {
      TVgetIISInts(model, &suf_i, &n_i, ints.data());
      with_ints.ints.assign(ints.begin(), ints.begin() + n_i);
    } else {
      for (int j = 0; j < s.n; ++j)
        if (s.vtype[j] != 'C') with_ints.ints.push_back(j);
    }
  }
  if (n_r + n_c == 0) return "empty IIS";
  if (solve_part(env, s, with_ints) != Outcome::kInfeasible) return "IIS is not infeasible";
  for (int k = suf_r; k < n_r; ++k) {
    Part q = with_ints;
    q.rows.erase(std::find(q.rows.begin(), q.rows.end(), p.rows[k]));
    if (solve_part(env, s, q) != Outcome::kFeasible) return "row " + std::to_string(p.rows[k]) + " is not necessary";
  }
  for (int k = suf_c; k < n_c; ++k) {
    for (int side : {-1, 1}) {
      if (types[k] != 0 && types[k] != side) continue;
      Part q = with_ints;
      auto &list = side < 0 ? q.lower_of : q.upper_of;
      list.erase(std::find(list.begin(), list.end(), cols[k]));
      if (solve_part(env, s, q) != Outcome::kFeasible)
        return "bound of column " + std::to_string(cols[k]) + " is not necessary";
    }
  }
  for (int k = suf_i; k < n_i; ++k) {
    Part q = with_ints;
    q.ints.erase(std::find(q.ints.begin(), q.ints.end(), ints[k]));
    if (solve_part(env, s, q) != Outcome::kFeasible)
      return "integrality of column " + std::to_string(ints[k]) + " is not necessary";
  }
  return "";
}

}  // namespace iistest
