// Long seeded sequences of loads, additions, deletions, modifications,
// capacity changes and deliberately bad calls, applied both to a model and to
// a plain reference written here. After every step the model must report
// exactly what the reference holds and pass its consistency check.
#include <algorithm>
#include <cmath>
#include <map>
#include <random>
#include <set>
#include <sstream>

#include "modify_fixture.hpp"

using namespace tvtest;

namespace {

constexpr double kInf = 1e30;

// The reference: dense vectors and one map per column.
struct Ref {
  int m = 0, n = 0;
  double constant = 0;
  std::vector<double> c, lower, upper, b;
  std::string ctype, vtype;  // vtype meaningful while `typed`
  bool typed = false;        // the model holds a type array
  std::vector<std::map<int, double>> cols;
  bool rownames = false, colnames = false;
  std::vector<std::string> rname, cname;
  std::vector<int> sc;           // semicontinuous columns in order
  std::vector<double> sc_lower;  // their lower values
  std::vector<double> x;         // kept primal values, empty without a solution

  int nz() const {
    int total = 0;
    for (const auto &col : cols) total += static_cast<int>(col.size());
    return total;
  }
  bool is_sc(int j) const { return std::find(sc.begin(), sc.end(), j) != sc.end(); }
};

std::string first_difference(pTVmodel model, const Ref &r) {
  Snapshot s = snapshot(model);
  std::ostringstream out;
  if (s.m != r.m || s.n != r.n) return out << "dimensions " << s.m << "x" << s.n << " vs " << r.m << "x" << r.n, out.str();
  if (s.nz != r.nz()) return out << "nz " << s.nz << " vs " << r.nz(), out.str();
  if (s.constant != r.constant) return "objective constant";
  if (s.c != r.c) return "costs";
  if (s.b != r.b) return "right-hand sides";
  if (s.ctype != r.ctype) return "constraint types " + s.ctype + " vs " + r.ctype;
  for (int j = 0; j < r.n; ++j)
    if (s.upper[j] != r.upper[j] || s.lower[j] != r.lower[j])
      return out << "bounds of column " << j << ": [" << s.lower[j] << ", " << s.upper[j] << "] vs [" << r.lower[j]
                 << ", " << r.upper[j] << "]", out.str();
  std::string vt = r.typed ? r.vtype : std::string(r.n, 'C');
  if (s.vtype != vt) return "variable types " + s.vtype + " vs " + vt;
  std::map<std::pair<int, int>, double> entries;
  for (int j = 0; j < r.n; ++j)
    for (auto [i, v] : r.cols[j]) entries[{i, j}] = v;
  if (s.entries != entries) return "matrix entries";
  if (s.rownames != (r.rownames ? r.rname : std::vector<std::string>{})) return "row names";
  if (s.colnames != (r.colnames ? r.cname : std::vector<std::string>{})) return "column names";
  // Lookups must follow the renumbering (names are unique when not empty).
  for (int i : {0, r.m - 1}) {
    int found = -1;
    if (r.m > 0 && r.rownames && !r.rname[i].empty() &&
        (TVgetConstraintIndex(model, r.rname[i].c_str(), &found) != 0 || found != i))
      return "lookup of row name " + r.rname[i];
  }
  for (int j : {0, r.n - 1}) {
    int found = -1;
    if (r.n > 0 && r.colnames && !r.cname[j].empty() &&
        (TVgetVariableIndex(model, r.cname[j].c_str(), &found) != 0 || found != j))
      return "lookup of column name " + r.cname[j];
  }
  int count = -1;
  std::vector<int> vars(r.n + 1);
  std::vector<double> lo(r.n + 1), up(r.n + 1);
  int rc = TVgetSemiContData(model, &count, vars.data(), lo.data(), up.data());
  if (r.sc.empty() ? rc != 2009 : rc != 0) return "semicontinuous availability";
  if (!r.sc.empty()) {
    if (count != static_cast<int>(r.sc.size())) return "semicontinuous count";
    for (int t = 0; t < count; ++t)
      if (vars[t] != r.sc[t] || lo[t] != r.sc_lower[t]) return "semicontinuous entries";
  }
  if (!r.x.empty()) {
    std::vector<double> x(r.n + 1);
    if (TVgetPrimalSolution(model, x.data()) != 0) return "primal values unavailable";
    x.resize(r.n);
    if (x != r.x) return "primal values";
  }
  return "";
}

class Sequence {
 public:
  explicit Sequence(unsigned seed) : rng_(seed) {}
  ~Sequence() {
    if (model_) TVdeleteModel(&model_);
  }
  Sequence(const Sequence &) = delete;
  Sequence &operator=(const Sequence &) = delete;

  void run(int steps) {
    fresh();
    for (step_ = 0; step_ < steps; ++step_) {
      one_step();
      char reason[256];
      ASSERT_EQ(TVcheckModelConsistency(model_, reason), 0) << where() << reason;
      std::string diff = first_difference(model_, ref_);
      ASSERT_EQ(diff, "") << where();
      if (::testing::Test::HasFailure()) return;
    }
  }

 private:
  std::mt19937 rng_;
  EnvHandle env_;
  pTVmodel model_ = nullptr;
  Ref ref_;
  int step_ = 0, names_made_ = 0;
  std::string op_;

  std::string where() const {
    std::ostringstream out;
    out << "step " << step_ << " (" << op_ << "): ";
    return out.str();
  }
  int uniform(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng_); }
  bool chance(double p) { return std::uniform_real_distribution<double>(0, 1)(rng_) < p; }
  double value() { return uniform(-20, 20) / 4.0; }
  double lower_bound() {
    int k = uniform(0, 9);
    return k == 0 ? -1e40 : k == 1 ? -kInf : k < 5 ? 0 : uniform(-5, 2);
  }
  double upper_bound() {
    int k = uniform(0, 9);
    return k == 0 ? 1e40 : k == 1 ? kInf : k < 4 ? 1 : uniform(0, 9);
  }
  char row_type() { return "EGLN"[uniform(0, 3)]; }
  char col_type() { return "CBI"[uniform(0, 2)]; }
  std::string new_name(char kind) { return std::string(1, kind) + std::to_string(names_made_++); }
  std::vector<int> distinct(int count, int hi) {
    std::vector<int> all(hi);
    for (int i = 0; i < hi; ++i) all[i] = i;
    std::shuffle(all.begin(), all.end(), rng_);
    all.resize(std::min(count, hi));
    return all;
  }

  // The binary rule: [0, 1] and continuous when the bounds then meet; false
  // when the column cannot take 0 or 1.
  static bool binary_rule(double &lo, double &up, char &type) {
    if (lo > 1 || up < 0) return false;
    lo = std::max(lo, 0.0);
    up = std::min(up, 1.0);
    if (lo == up) type = 'C';
    return true;
  }
  static double start_value(double lo, double up) { return lo > -kInf ? lo : (up < kInf ? up : 0.0); }

  void fresh() {
    op_ = "fresh model";
    if (model_) TVdeleteModel(&model_);
    int code = 0;
    model_ = TVcreateModel(env_, &code);
    ASSERT_NE(model_, nullptr);
    ref_ = Ref{};
    if (chance(0.2)) {
      // Built from nothing by an addition.
      int k = uniform(1, 4);
      std::vector<double> cost(k);
      for (double &v : cost) v = value();
      ASSERT_EQ(TVaddVariables(model_, k, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, cost.data(), nullptr,
                               nullptr),
                0);
      ref_.n = k;
      ref_.c = cost;
      ref_.lower.assign(k, 0.0);
      ref_.upper.assign(k, kInf);
      ref_.cols.resize(k);
      return;
    }
    load();
  }

  void load() {
    const int m = uniform(0, 8), n = uniform(0, 8);
    std::vector<double> c(n), b(m), lo(n), up(n);
    std::string ct(m, 'E');
    for (auto &v : c) v = value();
    for (auto &v : b) v = value();
    for (auto &t : ct) t = row_type();
    for (auto &v : lo) v = lower_bound();
    for (auto &v : up) v = upper_bound();
    std::vector<int> starts{0}, lengths, rows;
    std::vector<double> vals;
    ref_.cols.assign(n, {});
    for (int j = 0; j < n; ++j) {
      int len = m ? uniform(0, std::min(m, 4)) : 0;
      for (int i : distinct(len, m)) {
        double v = value();
        rows.push_back(i);
        vals.push_back(v);
        ref_.cols[j][i] += v;
        if (chance(0.1)) {  // a duplicate the loader merges
          rows.push_back(i);
          vals.push_back(1);
          ref_.cols[j][i] += 1;
        }
      }
      lengths.push_back(static_cast<int>(rows.size()) - starts.back());
      int gap = chance(0.3) ? uniform(1, 3) : 0;  // unused room in the caller's arrays
      for (int g = 0; g < gap; ++g) {
        rows.push_back(0);
        vals.push_back(0);
      }
      starts.push_back(static_cast<int>(rows.size()));
    }
    int nz = 0;
    for (int len : lengths) nz += len;
    rows.push_back(0);
    vals.push_back(0);
    lengths.push_back(0);
    ASSERT_EQ(TVloadLPData(model_, m, n, 1, 0.0, c.data(), b.data(), ct.c_str(), nz, starts.data(), lengths.data(),
                           vals.data(), rows.data(), lo.data(), up.data()),
              0);
    ref_.m = m;
    ref_.n = n;
    ref_.c = c;
    ref_.b = b;
    ref_.ctype = ct;
    ref_.lower = lo;
    ref_.upper = up;
    for (auto &v : ref_.lower) v = std::max(v, -kInf);
    for (auto &v : ref_.upper) v = std::min(v, kInf);
    if (chance(0.5) && (m > 0 || n > 0)) {
      std::vector<std::string> rn(m), cn(n);
      for (auto &s : rn) s = new_name('r');
      for (auto &s : cn) s = new_name('c');
      std::vector<char *> rp, cp;
      for (auto &s : rn) rp.push_back(s.data());
      for (auto &s : cn) cp.push_back(s.data());
      ASSERT_EQ(TVloadNameData(model_, "t", nullptr, nullptr, nullptr, nullptr, m ? rp.data() : nullptr,
                               n ? cp.data() : nullptr, nullptr),
                0);
      ref_.rownames = m > 0;
      ref_.colnames = n > 0;
      if (m) ref_.rname = rn;
      if (n) ref_.cname = cn;
    }
    if (chance(0.4) && n > 0) {
      std::string types(n, 'C');
      for (auto &t : types) t = col_type();
      for (int j = 0; j < n; ++j)
        if (types[j] == 'B' && (ref_.lower[j] > 1 || ref_.upper[j] < 0)) types[j] = 'I';
      std::vector<char> buf(types.begin(), types.end());
      buf.push_back('\0');
      ASSERT_EQ(TVloadVarType(model_, buf.data()), 0);
      for (int j = 0; j < n; ++j)
        if (types[j] == 'B') binary_rule(ref_.lower[j], ref_.upper[j], types[j]);
      ref_.vtype = types;
      ref_.typed = true;
    }
  }

  // A bad call must give its code and change nothing (checked after the step).
  void expect_refused(int rc, int code) { EXPECT_EQ(rc, code) << where(); }

  void one_step() {
    if (chance(0.003)) return fresh();
    int pick = uniform(0, 99);
    // Keep the model small: above 30 rows or columns, deletions come first.
    if (ref_.m > 30 && pick < 40) pick = 40;
    if (ref_.n > 30 && pick < 40) pick = 47;
    if (pick < 20) return add_rows();
    if (pick < 40) return add_cols();
    if (pick < 47) return delete_rows();
    if (pick < 54) return delete_cols();
    if (pick < 58) return delete_entries();
    if (pick < 64) return modify_entries();
    if (pick < 68) return modify_rhs();
    if (pick < 72) return modify_cost();
    if (pick < 74) return modify_constant();
    if (pick < 80) return modify_bounds();
    if (pick < 83) return modify_row_types();
    if (pick < 87) return modify_col_types();
    if (pick < 91) return capacities();
    if (pick < 94) return load_solution();
    bad_call();
  }

  void add_rows() {
    op_ = "add rows";
    const int k = uniform(1, 3);
    const bool types = chance(0.6), names = chance(0.4), rhs = chance(0.7), entries = ref_.n > 0 && chance(0.85);
    std::string ct(k, 'E');
    std::vector<double> rv(k, 0.0);
    std::vector<std::string> nm(k);
    std::vector<char *> np(k);
    std::vector<int> starts{0}, cols;
    std::vector<double> vals;
    for (int t = 0; t < k; ++t) {
      if (types) ct[t] = row_type();
      if (rhs) rv[t] = value();
      if (names && chance(0.8)) nm[t] = new_name('r');
      np[t] = names && !nm[t].empty() ? nm[t].data() : nullptr;
      if (entries)
        for (int j : distinct(uniform(0, std::min(ref_.n, 5)), ref_.n)) {
          cols.push_back(j);
          vals.push_back(value());
        }
      starts.push_back(static_cast<int>(cols.size()));
    }
    cols.push_back(0);
    vals.push_back(0);
    ASSERT_EQ(TVaddConstraints(model_, k, types ? ct.c_str() : nullptr, names ? np.data() : nullptr,
                               entries ? starts.data() : nullptr, vals.data(), cols.data(), rhs ? rv.data() : nullptr),
              0)
        << where();
    if (names && !ref_.rownames) {
      ref_.rownames = true;
      ref_.rname.assign(ref_.m, "");  // earlier rows get empty names
    }
    for (int t = 0; t < k; ++t) {
      const int i = ref_.m + t;
      ref_.b.push_back(rv[t]);
      ref_.ctype.push_back(ct[t]);
      ref_.rname.push_back(nm[t]);
      if (entries)
        for (int p = starts[t]; p < starts[t + 1]; ++p) ref_.cols[cols[p]][i] = vals[p];
    }
    if (!ref_.rownames) ref_.rname.clear();
    ref_.m += k;
  }

  void add_cols() {
    op_ = "add columns";
    const int k = uniform(1, 3);
    const bool types = chance(0.4), names = chance(0.4), costs = chance(0.7), bounds = chance(0.6);
    const bool entries = ref_.m > 0 && chance(0.85), lengths = chance(0.3);
    std::string vt(k, 'C');
    std::vector<double> cv(k, 0.0), lo(k, 0.0), up(k, kInf);
    std::vector<std::string> nm(k);
    std::vector<char *> np(k);
    std::vector<int> starts{0}, len, rows;
    std::vector<double> vals;
    std::vector<std::map<int, double>> added(k);
    for (int t = 0; t < k; ++t) {
      if (costs) cv[t] = value();
      if (bounds) {
        lo[t] = lower_bound();
        up[t] = upper_bound();
      }
      if (types) {
        vt[t] = col_type();
        if (vt[t] == 'B' && (std::max(lo[t], -kInf) > 1 || std::min(up[t], kInf) < 0)) vt[t] = 'I';
      }
      if (names && chance(0.8)) nm[t] = new_name('c');
      np[t] = names && !nm[t].empty() ? nm[t].data() : nullptr;
      if (entries)
        for (int i : distinct(uniform(0, std::min(ref_.m, 5)), ref_.m)) {
          rows.push_back(i);
          double v = value();
          vals.push_back(v);
          added[t][i] = v;
        }
      len.push_back(static_cast<int>(rows.size()) - starts.back());
      if (lengths && chance(0.5)) {
        rows.push_back(-7);  // unused room that must never be read
        vals.push_back(std::nan(""));
      }
      starts.push_back(static_cast<int>(rows.size()));
    }
    rows.push_back(0);
    vals.push_back(0);
    len.push_back(0);
    ASSERT_EQ(TVaddVariables(model_, k, types ? vt.c_str() : nullptr, names ? np.data() : nullptr,
                             entries ? starts.data() : nullptr, lengths ? len.data() : nullptr, vals.data(),
                             rows.data(), costs ? cv.data() : nullptr, bounds ? lo.data() : nullptr,
                             bounds ? up.data() : nullptr),
              0)
        << where();
    if (types && !ref_.typed) {
      ref_.typed = true;
      ref_.vtype.assign(ref_.n, 'C');
    }
    if (names && !ref_.colnames) {
      ref_.colnames = true;
      ref_.cname.assign(ref_.n, "");
    }
    for (int t = 0; t < k; ++t) {
      double l = std::max(lo[t], -kInf), u = std::min(up[t], kInf);
      char type = vt[t];
      if (ref_.typed && type == 'B') binary_rule(l, u, type);
      ref_.c.push_back(cv[t]);
      ref_.lower.push_back(l);
      ref_.upper.push_back(u);
      if (ref_.typed) ref_.vtype.push_back(type);
      ref_.cname.push_back(nm[t]);
      ref_.cols.push_back(added[t]);
      if (!ref_.x.empty()) ref_.x.push_back(start_value(l, u));
    }
    if (!ref_.colnames) ref_.cname.clear();
    ref_.n += k;
  }

  void delete_rows() {
    op_ = "delete rows";
    if (ref_.m == 0) return;
    std::vector<int> gone = distinct(uniform(1, std::min(ref_.m, 4)), ref_.m);
    ASSERT_EQ(TVdeleteConstraints(model_, static_cast<int>(gone.size()), gone.data()), 0) << where();
    std::vector<int> map(ref_.m, 0);
    for (int i : gone) map[i] = -1;
    int next = 0;
    Ref &r = ref_;
    std::vector<double> b;
    std::string ct;
    std::vector<std::string> rn;
    for (int i = 0; i < r.m; ++i) {
      if (map[i] < 0) continue;
      map[i] = next++;
      b.push_back(r.b[i]);
      ct.push_back(r.ctype[i]);
      if (r.rownames) rn.push_back(r.rname[i]);
    }
    for (auto &col : r.cols) {
      std::map<int, double> kept;
      for (auto [i, v] : col)
        if (map[i] >= 0) kept[map[i]] = v;
      col = kept;
    }
    r.b = b;
    r.ctype = ct;
    r.rname = rn;
    r.m = next;
  }

  void delete_cols() {
    op_ = "delete columns";
    if (ref_.n == 0) return;
    std::vector<int> gone = distinct(uniform(1, std::min(ref_.n, 4)), ref_.n);
    ASSERT_EQ(TVdeleteVariables(model_, static_cast<int>(gone.size()), gone.data()), 0) << where();
    Ref &r = ref_;
    std::vector<int> map(r.n, 0);
    for (int j : gone) map[j] = -1;
    int next = 0;
    Ref out = r;
    out.c.clear();
    out.lower.clear();
    out.upper.clear();
    out.vtype.clear();
    out.cname.clear();
    out.cols.clear();
    out.x.clear();
    for (int j = 0; j < r.n; ++j) {
      if (map[j] < 0) continue;
      map[j] = next++;
      out.c.push_back(r.c[j]);
      out.lower.push_back(r.lower[j]);
      out.upper.push_back(r.upper[j]);
      if (r.typed) out.vtype.push_back(r.vtype[j]);
      if (r.colnames) out.cname.push_back(r.cname[j]);
      out.cols.push_back(r.cols[j]);
      if (!r.x.empty()) out.x.push_back(r.x[j]);
    }
    out.sc.clear();
    out.sc_lower.clear();
    for (size_t t = 0; t < r.sc.size(); ++t)
      if (map[r.sc[t]] >= 0) {
        out.sc.push_back(map[r.sc[t]]);
        out.sc_lower.push_back(r.sc_lower[t]);
      }
    out.n = next;
    // A variable-name pool without variables holds no names.
    if (next == 0) out.colnames = false;
    ref_ = out;
  }

  void delete_entries() {
    op_ = "delete entries";
    if (ref_.n == 0 || ref_.m == 0) return;
    int j = uniform(0, ref_.n - 1);
    std::vector<int> rows = distinct(uniform(1, std::min(ref_.m, 3)), ref_.m);
    ASSERT_EQ(TVdeleteAj(model_, j, static_cast<int>(rows.size()), rows.data()), 0) << where();
    for (int i : rows) ref_.cols[j].erase(i);
  }

  void modify_entries() {
    op_ = "modify entries";
    if (ref_.n == 0 || ref_.m == 0) return;
    int j = uniform(0, ref_.n - 1);
    int k = uniform(1, std::min(ref_.m + 1, 5));
    std::vector<int> rows(k);
    std::vector<double> vals(k);
    for (int t = 0; t < k; ++t) {
      rows[t] = uniform(0, ref_.m - 1);  // repeats allowed: the last value wins
      vals[t] = value();
    }
    ASSERT_EQ(TVmodifyAj(model_, j, k, rows.data(), vals.data()), 0) << where();
    for (int t = 0; t < k; ++t) ref_.cols[j][rows[t]] = vals[t];
  }

  void modify_rhs() {
    op_ = "modify rhs";
    if (ref_.m == 0) return;
    int k = uniform(1, 3);
    std::vector<int> rows(k);
    std::vector<double> vals(k);
    for (int t = 0; t < k; ++t) {
      rows[t] = uniform(0, ref_.m - 1);
      vals[t] = value();
    }
    ASSERT_EQ(TVmodifyRHS(model_, k, rows.data(), vals.data()), 0) << where();
    for (int t = 0; t < k; ++t) ref_.b[rows[t]] = vals[t];
  }

  void modify_cost() {
    op_ = "modify objective";
    if (ref_.n == 0) return;
    int k = uniform(1, 3);
    std::vector<int> cols(k);
    std::vector<double> vals(k);
    for (int t = 0; t < k; ++t) {
      cols[t] = uniform(0, ref_.n - 1);
      vals[t] = value();
    }
    ASSERT_EQ(TVmodifyObjective(model_, k, cols.data(), vals.data()), 0) << where();
    for (int t = 0; t < k; ++t) ref_.c[cols[t]] = vals[t];
  }

  void modify_constant() {
    op_ = "modify objective constant";
    double v = value();
    ASSERT_EQ(TVmodifyObjConstant(model_, v), 0) << where();
    ref_.constant = v;
  }

  void modify_bounds() {
    op_ = "modify bounds";
    if (ref_.n == 0) return;
    const bool lower = chance(0.5);
    int k = uniform(1, 3);
    std::vector<int> cols(k);
    std::vector<double> vals(k);
    bool touches_sc = false;
    for (int t = 0; t < k; ++t) {
      cols[t] = uniform(0, ref_.n - 1);
      vals[t] = lower ? lower_bound() : upper_bound();
      touches_sc |= ref_.is_sc(cols[t]);
    }
    if (lower) {
      int rc = TVmodifyLowerBounds(model_, k, cols.data(), vals.data());
      if (touches_sc) return expect_refused(rc, 2047);
      ASSERT_EQ(rc, 0) << where();
      for (int t = 0; t < k; ++t) ref_.lower[cols[t]] = std::max(vals[t], -kInf);
    } else {
      ASSERT_EQ(TVmodifyUpperBounds(model_, k, cols.data(), vals.data()), 0) << where();
      for (int t = 0; t < k; ++t) ref_.upper[cols[t]] = std::min(vals[t], kInf);
    }
  }

  void modify_row_types() {
    op_ = "modify constraint types";
    if (ref_.m == 0) return;
    int k = uniform(1, 3);
    std::vector<int> rows(k);
    std::string types(k, 'E');
    for (int t = 0; t < k; ++t) {
      rows[t] = uniform(0, ref_.m - 1);
      types[t] = row_type();
    }
    ASSERT_EQ(TVmodifyConstraintType(model_, k, rows.data(), types.c_str()), 0) << where();
    for (int t = 0; t < k; ++t) ref_.ctype[rows[t]] = types[t];
  }

  void modify_col_types() {
    op_ = "modify variable types";
    if (ref_.n == 0) return;
    int k = uniform(1, 3);
    std::vector<int> cols = distinct(k, ref_.n);
    k = static_cast<int>(cols.size());
    std::string types(k, 'C');
    bool refused = false;
    for (int t = 0; t < k; ++t) {
      types[t] = chance(0.1) ? 'S' : col_type();
      if (types[t] == 'B' && (ref_.lower[cols[t]] > 1 || ref_.upper[cols[t]] < 0)) refused = true;
    }
    int rc = TVmodifyVariableType(model_, k, cols.data(), types.c_str());
    if (refused) return expect_refused(rc, 2047);
    ASSERT_EQ(rc, 0) << where();
    if (!ref_.typed) {
      ref_.typed = true;
      ref_.vtype.assign(ref_.n, 'C');
    }
    for (int t = 0; t < k; ++t) {
      const int j = cols[t];
      char type = types[t];
      if (type == 'B') binary_rule(ref_.lower[j], ref_.upper[j], type);
      if (type == 'S') {
        type = 'C';
        if (!ref_.is_sc(j)) {
          ref_.sc.push_back(j);
          ref_.sc_lower.push_back(ref_.lower[j]);
          ref_.lower[j] = 0;
        }
      }
      ref_.vtype[j] = type;
    }
  }

  void capacities() {
    op_ = "capacities";
    switch (uniform(0, 2)) {
      case 0: {
        auto cap = [&] { return chance(0.3) ? -1 : uniform(-2, 60); };
        ASSERT_EQ(TVsetProbAllocSizes(model_, cap(), cap(), cap() * 4, cap(), cap(), cap() * 8), 0) << where();
        break;
      }
      case 1:
        ASSERT_EQ(TVsetProbNameAllocSizes(model_, uniform(-1, 200), uniform(-1, 200)), 0) << where();
        break;
      default: {
        std::vector<int> need(ref_.n + 1);
        for (int &v : need) v = uniform(-1, 3);
        ASSERT_EQ(TVaddEmptySpacesAcolumns(model_, need.data()), 0) << where();
      }
    }
  }

  void load_solution() {
    op_ = "load solution";
    if (ref_.n == 0) return;
    std::vector<double> x(ref_.n);
    for (double &v : x) v = value();
    ASSERT_EQ(TVloadSolution(model_, TV_STATUS_OPTIMAL, x.data(), nullptr, nullptr, nullptr), 0) << where();
    ref_.x = x;
    if (chance(0.5)) {
      // A basis of slacks with every column at a finite bound or free.
      std::vector<int> cst(ref_.n), rst(ref_.m + 1);
      for (int j = 0; j < ref_.n; ++j)
        cst[j] = ref_.lower[j] > -kInf ? -1 : (ref_.upper[j] < kInf ? -2 : -3);
      for (int i = 0; i < ref_.m; ++i) rst[i] = i;
      ASSERT_EQ(TVloadBasis(model_, cst.data(), rst.data()), 0) << where();
    }
  }

  void bad_call() {
    op_ = "bad call";
    const int m = ref_.m, n = ref_.n;
    double nan = std::nan("");
    switch (uniform(0, 11)) {
      case 0: {
        int starts[] = {0, 0};
        return expect_refused(TVaddConstraints(model_, 1, "Q", nullptr, starts, nullptr, nullptr, nullptr), 2004);
      }
      case 1: {
        int starts[] = {0, 1};
        int cols[] = {n};
        double vals[] = {1};
        return expect_refused(TVaddConstraints(model_, 1, "E", nullptr, starts, vals, cols, nullptr), 2012);
      }
      case 2: {
        if (n == 0) return;
        int starts[] = {0, 2};
        int cols[] = {n - 1, n - 1};
        double vals[] = {1, 2};
        return expect_refused(TVaddConstraints(model_, 1, "E", nullptr, starts, vals, cols, nullptr), 2032);
      }
      case 3: {
        int starts[] = {0, 1};
        int rows[] = {m};
        double vals[] = {1};
        return expect_refused(
            TVaddVariables(model_, 1, nullptr, nullptr, starts, nullptr, vals, rows, nullptr, nullptr, nullptr), 2012);
      }
      case 4:
        return expect_refused(
            TVaddVariables(model_, 1, "S", nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr),
            2024);
      case 5: {
        if (m == 0) return;
        int rows[] = {m - 1, m - 1};
        return expect_refused(TVdeleteConstraints(model_, 2, rows), 2032);
      }
      case 6: {
        if (n == 0) return;
        int cols[] = {0, n};
        return expect_refused(TVdeleteVariables(model_, 2, cols), 2012);
      }
      case 7: {
        int rows[] = {m};
        double vals[] = {1};
        return expect_refused(TVmodifyRHS(model_, 1, rows, vals), 2012);
      }
      case 8: {
        if (n == 0) return;
        int cols[] = {0};
        return expect_refused(TVmodifyUpperBounds(model_, 1, cols, &nan), 2024);
      }
      case 9: {
        if (m == 0) return;
        int rows[] = {0};
        return expect_refused(TVmodifyConstraintType(model_, 1, rows, "X"), 2024);
      }
      case 10: {
        if (n == 0 || m == 0) return;
        int rows[] = {0, m};
        double vals[] = {1, 1};
        return expect_refused(TVmodifyAj(model_, 0, 2, rows, vals), 2012);
      }
      default: {
        if (m == 0 && n == 0) return;
        int starts[] = {0};
        return expect_refused(TVloadLPData(model_, 0, 0, 1, 0, nullptr, nullptr, nullptr, 0, starts, nullptr, nullptr,
                                           nullptr, nullptr, nullptr),
                              2030);
      }
    }
  }
};

}  // namespace

TEST(ModifyRandom, LongSequencesAgreeWithAPlainReference) {
  for (unsigned seed : {1u, 7u, 2024u, 99991u}) {
    SCOPED_TRACE("seed " + std::to_string(seed));
    Sequence sequence(seed);
    sequence.run(1500);
    if (HasFailure()) return;
  }
}
