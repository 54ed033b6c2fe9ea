// The explicit LP dual: TVgetDualModel builds it into an empty model and
// TVwriteDualMPSFile writes it as MPS. Each primal row becomes a dual column,
// each primal column a dual row; finite non-zero bounds and row ranges get
// columns of their own.
#include "io/dual_model.hpp"

#include <cmath>
#include <cstdio>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "model/model_state.hpp"
#include "common/boundary.hpp"
#include "io/number_text.hpp"
#include "common/error_codes.hpp"

namespace tarvo::io {

namespace {
constexpr double kInf = 1e30;
}  // namespace

// Read as the simplex reads ranges: 'L' [b-|r|, b], 'G' [b, b+|r|], 'E'
// [b, b+r] or [b+r, b]; ranges it ignores are ignored here too, or the dual
// would be the dual of another LP.
int range_column_side(const base::ModelData &d, int i, double *far_end) {
  if (i < 0 || i >= d.m || static_cast<int>(d.range.size()) <= i) return 0;
  const double r = d.range[i], b = d.b[i];
  if (r == 0 || !std::isfinite(r) || std::fabs(r) >= kInf || !(std::fabs(b) < kInf)) return 0;
  switch (d.ctype[i]) {
    case 'L': *far_end = b - std::fabs(r); return -1;
    case 'G': *far_end = b + std::fabs(r); return 1;
    case 'E': *far_end = b + r; return r > 0 ? 1 : -1;
    default: return 0;
  }
}

namespace {

struct DualArrays {
  int m = 0, n = 0, sense = TV_MIN;
  double constant = 0;
  std::vector<double> c, b, lower, upper, value;
  std::vector<char> ctype;
  std::vector<int> start{0}, rowidx;
  std::vector<std::string> rownames, colnames;
};

// 2054 for quadratic, conic and nonlinear models, 2029 for integer ones.
int check_linear(const base::Model &model) {
  const base::ModelData &d = model.data;
  if (!d.qc.empty() || d.ncones > 0 || d.has_instructions || !d.posd.dim.empty()) return err::kNotLinear;
  for (char t : d.vtype)
    if (t == 'I' || t == 'B') return err::kNotSupported;
  if (d.sets.count() > 0 || !d.semicont.var.empty()) return err::kNotSupported;
  return 0;
}

std::string truncated(const std::string &s) { return s.size() > 63 ? s.substr(0, 63) : s; }

void build_dual(const base::Model &model, DualArrays *out) {
  const base::ModelData &d = model.data;
  DualArrays &a = *out;
  const bool minimise = d.sense != TV_MAX;
  a.sense = minimise ? TV_MAX : TV_MIN;
  a.constant = d.obj_constant;

  // Dual rows: one per primal column, its sense from the zero bounds that
  // are left implicit.
  a.m = d.n;
  std::vector<char> has_low(d.n, 0), has_up(d.n, 0);
  for (int j = 0; j < d.n; ++j) {
    const double l = d.lower[j], u = d.upper[j];
    const bool zero_low = l == 0, zero_up = u == 0;
    has_low[j] = l > -kInf && l != 0;
    has_up[j] = u < kInf && u != 0;
    char t;
    if (zero_low && zero_up) t = 'N';  // a column fixed at zero constrains no multiplier
    else if (zero_low) t = minimise ? 'L' : 'G';
    else if (zero_up) t = minimise ? 'G' : 'L';
    else t = 'E';
    a.ctype.push_back(t);
    a.b.push_back(d.c[j]);
    a.rownames.push_back(d.varnames.present() && d.varnames.name(j)[0] ? std::string(d.varnames.name(j)) : [&] {
      char buf[32];
      std::snprintf(buf, sizeof buf, "X%07d", j);
      return std::string(buf);
    }());
  }

  // Dual columns of the primal rows: the row-wise view of the matrix.
  std::vector<std::vector<std::pair<int, double>>> by_row(d.m);
  for (int j = 0; j < d.n; ++j)
    for (int p = d.start[j]; p < d.start[j] + d.length[j]; ++p) by_row[d.rowidx[p]].push_back({j, d.value[p]});
  // A multiplier of a row's lower end is >= 0 in the dual of a minimisation,
  // one of its upper end <= 0 (the other way round when maximising).
  auto add_row_column = [&](int i, double cost, bool lower_end, bool free, std::string name) {
    for (const auto &e : by_row[i]) {
      a.rowidx.push_back(e.first);
      a.value.push_back(e.second);
    }
    a.start.push_back(static_cast<int>(a.rowidx.size()));
    a.c.push_back(cost);
    const bool nonnegative = lower_end == minimise;
    a.lower.push_back(free || !nonnegative ? -kInf : 0);
    a.upper.push_back(free || nonnegative ? kInf : 0);
    a.colnames.push_back(std::move(name));
  };
  // A ranged row has both ends to price: its own column takes the end at b
  // (so an 'E' row's column is no longer free) and a "YR_" column the far end.
  struct FarEnd {
    int row;
    bool upper;
    double value;
  };
  std::vector<FarEnd> far_ends;
  for (int i = 0; i < d.m; ++i) {
    const char t = d.ctype[i];
    if (t == 'N') continue;
    double far_end = 0;
    const int side = range_column_side(d, i, &far_end);
    if (side != 0) far_ends.push_back({i, side > 0, far_end});
    const bool lower_end = side != 0 ? side > 0 : t == 'G';
    add_row_column(i, d.b[i], lower_end, t == 'E' && side == 0, row_name(d, i));
  }
  // Bound multipliers, with the bound as their objective coefficient.
  for (int j = 0; j < d.n; ++j) {
    for (int side = 0; side < 2; ++side) {
      if (!(side == 0 ? has_low[j] : has_up[j])) continue;
      const bool nonnegative = (side == 0) == minimise;
      a.rowidx.push_back(j);
      a.value.push_back(1.0);
      a.start.push_back(static_cast<int>(a.rowidx.size()));
      a.c.push_back(side == 0 ? d.lower[j] : d.upper[j]);
      a.lower.push_back(nonnegative ? 0 : -kInf);
      a.upper.push_back(nonnegative ? kInf : 0);
      a.colnames.push_back(truncated((side == 0 ? "YL_" : "YU_") + a.rownames[j]));
    }
  }
  // The far ends of the ranged rows, after the bound columns.
  for (const FarEnd &f : far_ends)
    add_row_column(f.row, f.value, !f.upper, false, truncated("YR_" + row_name(d, f.row)));
  a.n = static_cast<int>(a.c.size());
}

int load_dual(pTVmodel target, DualArrays &a, const base::ModelData &primal) {
  int code = TVloadLPData(target, a.m, a.n, a.sense, a.constant, a.c.data(), a.b.data(), a.ctype.data(),
                          static_cast<int>(a.rowidx.size()), a.start.data(), nullptr, a.value.data(),
                          a.rowidx.data(), a.lower.data(), a.upper.data());
  if (code) return code;
  std::vector<char *> rows, cols;
  for (std::string &s : a.rownames) rows.push_back(s.data());
  for (std::string &s : a.colnames) cols.push_back(s.data());
  return TVloadNameData(target, primal.title.c_str(), primal.objname.c_str(), nullptr, nullptr, nullptr,
                        rows.empty() ? nullptr : rows.data(), cols.empty() ? nullptr : cols.data(), nullptr);
}

int dual_arrays(pTVmodel model, DualArrays *a) {
  if (model->status == TV_STATUS_UNLOADED) return err::kNotAvailable;
  if (int code = check_linear(*model)) return code;
  base::log_model(model, model->params.integer(TV_IPARAM_LP_PRINTLEVEL) >= 1,
                  "\nConstructing the explicit dual model...");
  build_dual(*model, a);
  return 0;
}

}  // namespace

int with_dual_model(pTVmodel model, int objSense, const std::function<int(pTVmodel)> &use) {
  DualArrays a;
  if (int code = dual_arrays(model, &a)) return code;
  // The dual is written with the sense asked for: a dual of the other sense
  // has its objective negated, which negates its optimal value.
  if (a.sense != objSense) {
    for (double &v : a.c) v = -v;
    a.constant = -a.constant;
    a.sense = objSense;
  }
  int code = 0;
  pTVmodel dual = TVcreateModel(model->env, &code);
  if (!dual) return code ? code : 2001;
  code = load_dual(dual, a, model->data);
  if (code == 0) code = use(dual);
  TVdeleteModel(&dual);
  return code;
}

}  // namespace tarvo::io

using tarvo::base::live;

extern "C" {

TVAPI int TVgetDualModel(pTVmodel model, pTVmodel dualModel) {
  if (!live(model) || !live(dualModel)) return tarvo::err::kNullArgument;
  return tarvo::guarded([&] {
    if (dualModel->data.m > 0 || dualModel->data.n > 0) return tarvo::err::kAlreadyLoaded;
    tarvo::io::DualArrays a;
    if (int code = tarvo::io::dual_arrays(model, &a)) return code;
    return tarvo::io::load_dual(dualModel, a, model->data);
  });
}

TVAPI int TVwriteDualMPSFile(pTVmodel model, const char *fileName, int format, int objSense) {
  if (!live(model) || !fileName) return tarvo::err::kNullArgument;
  if (objSense != TV_MIN && objSense != TV_MAX) return tarvo::err::kBadObjSense;
  return tarvo::guarded([&] {
    return tarvo::io::with_dual_model(model, objSense, [&](pTVmodel dual) {
      // Written in the primal model's MPS objective style.
      TVsetModelIntParameter(dual, TV_IPARAM_MPS_OBJ_WRITESTYLE, model->params.integer(TV_IPARAM_MPS_OBJ_WRITESTYLE));
      return TVwriteMPSFile(dual, fileName, format != 0 ? 1 : 0);
    });
  });
}

}  // extern "C"
