// General integers as sums of binaries on a copy of the model. An integer x
// in [l, u] becomes l + sum 2^k b_k over K = bits(u - l) binaries; when 2^K - 1
// exceeds u - l a row keeps the sum within the range. Coefficients and costs
// scale by 2^k, and the offset l moves into the right-hand sides and the
// objective constant.
#include "mip/binary_expansion.hpp"

#include <cmath>

#include "common/error_codes.hpp"
#include "model/query_rules.hpp"
#include "mip/best_bounds.hpp"
#include "env/live_handles.hpp"
#include "common/boundary.hpp"
#include "mip/mip_driver.hpp"

namespace tarvo::mip {
namespace {

constexpr double kNoBoundStandIn = 2147483648.0;  // 2^31, for a range with nothing to go by

bool integer_column(const base::ModelData &d, int j) {
  return !d.vtype.empty() && (d.vtype[j] == 'I' || d.vtype[j] == 'B');
}

bool general_integer(const base::ModelData &d, int j) {
  return integer_column(d, j) && d.vtype[j] == 'I' && !(d.lower[j] >= 0 && d.upper[j] <= 1);
}

bool has_special_structure(const base::ModelData &d) {
  return !d.qc.empty() || d.ncones > 0 || d.has_instructions || d.sets.count() > 0 || !d.semicont.var.empty() ||
         !d.indicators.row.empty() || !d.alldiff.lower.empty();
}

const base::MipRecord *installed_solution(const base::Model &model) {
  const base::MipRecord *r = model.mip.get();
  if (!r || !base::status_has_solution(base::mip_reported_status(*r))) return nullptr;
  return static_cast<int>(r->x.size()) == model.data.n ? r : nullptr;
}

// Number of bits that hold every value of 0..range.
int bit_count(double range) {
  if (std::fabs(range) < 2.220446049250313e-16) return 0;
  const double lg = std::log2(std::fabs(range));
  return static_cast<int>(std::ceil(lg)) + (lg == std::floor(lg) ? 1 : 0);
}

// The range of general integer j: declared bounds met with the best bounds,
// an infinite end replaced as the log lines say.
bool column_range(base::Model *model, int j, double blo, double bup, const base::MipRecord *sol, double *l,
                  double *u) {
  const base::ModelData &d = model->data;
  *u = std::floor(std::min(d.upper[j], bup) + 1e-9);
  *l = std::ceil(std::max(d.lower[j], blo) - 1e-9);
  if (*u >= 1e30) {
    if (sol) {
      const double xj = std::round(sol->x[j]);
      *u = std::max(2 * xj, xj);
      base::log_model(model, 1, "\nWarning: u[%d]=inf+ is truncated 2.x[%d] = %g.", j, j, *u);
    } else {
      base::log_model(model, 1,
                      "\nWarning: u[%d]=inf+, model is required to have a feasible MIP solution installed or "
                      "uj=2^31 will be used.",
                      j);
      *u = kNoBoundStandIn;
      base::log_model(model, 1, "\nWarning: u[%d]=inf+ is truncated u[%d] = %g.", j, j, *u);
    }
  }
  if (*l <= -1e30) {
    // the same rule mirrored: the expansion needs a finite offset
    if (sol) {
      const double xj = std::round(sol->x[j]);
      *l = std::min(2 * xj, xj);
    } else {
      *l = -kNoBoundStandIn;
    }
    base::log_model(model, 1, "\nWarning: l[%d]=inf- is truncated l[%d] = %g.", j, j, *l);
  }
  return *l <= *u;
}

}  // namespace

base::Model *copy_for_solve(base::Model *model, int *code) {
  base::Model *copy = TVcopyModel(model, code);
  if (!copy) {
    if (*code == 0) *code = err::kNoMemory;
    return nullptr;
  }
  if (model->mip) copy->mip = std::make_unique<base::MipRecord>(*model->mip);
  copy->hooks.logfunc = model->hooks.logfunc;
  copy->hooks.logdata = model->hooks.logdata;
  copy->hooks.log_writer = model->hooks.log_writer;
  return copy;
}

std::vector<double> BinaryExpansion::collapse(const std::vector<double> &xb) const {
  const int n = static_cast<int>(kept.size());
  std::vector<double> x(n, 0.0);
  for (int j = 0; j < n; ++j) {
    if (kept[j] >= 0) {
      x[j] = xb[kept[j]];
      continue;
    }
    double v = offset[j];
    for (int k = 0; k < bits[j]; ++k) v += std::ldexp(std::round(xb[first[j] + k]), k);
    x[j] = v;
  }
  return x;
}

int expand_general_integers(base::Model *model, bool solve, BinaryExpansion *out) {
  const base::ModelData &d = model->data;
  if (model->status == TV_STATUS_UNLOADED) return err::kNotLoaded;
  const int n = d.n, m = d.m;
  std::vector<int> generals;
  bool any_int = false;
  for (int j = 0; j < n; ++j) {
    any_int |= integer_column(d, j);
    if (general_integer(d, j)) generals.push_back(j);
  }
  if (!any_int) {
    base::log_model(model, 1, "\nWarning: model is a continuous.");
    return err::kNotSupported;
  }
  if (!generals.empty() && has_special_structure(d)) {
    base::log_model(model, 1, "\nWarning: cannot expand general integers of a model with special structure.");
    return err::kNotSupported;
  }
  BinaryExpansion &e = *out;
  e.kept.assign(n, -1);
  e.first.assign(n, -1);
  e.bits.assign(n, 0);
  e.offset.assign(n, 0.0);
  const base::MipRecord *sol = installed_solution(*model);
  int code = 0;
  if (generals.empty()) {
    base::log_model(model, 1, "\nWarning: model is already binary MIP.");
    e.model = copy_for_solve(model, &code);
    if (!e.model) return code;
    for (int j = 0; j < n; ++j) e.kept[j] = j;
    if (solve && !sol) code = solve_mip_serial(e.model, nullptr);
    return code;
  }
  std::vector<double> blo(d.lower.begin(), d.lower.begin() + n), bup(d.upper.begin(), d.upper.begin() + n);
  if (best_bounds(*model, &blo, &bup) == 0) {
    base::log_model(model, 1, "\nCopied best-bounds to bexp model..");
  } else {
    base::log_model(model, 1, "\nWarning: gin2bin failed to get best_bounds.");
    blo.assign(d.lower.begin(), d.lower.begin() + n);
    bup.assign(d.upper.begin(), d.upper.begin() + n);
  }
  // the new binaries, column-wise, and the range rows over them
  std::vector<int> starts{0}, lengths, rows, range_starts{0}, range_cols;
  std::vector<double> values, costs, range_vals, range_rhs;
  std::vector<double> rhs(d.b.begin(), d.b.begin() + m);
  double constant = d.obj_constant;
  std::vector<double> ranges(n, 0.0);
  const int g = static_cast<int>(generals.size());
  int added = 0;
  for (int j : generals) {
    double l, u;
    if (!column_range(model, j, blo[j], bup[j], sol, &l, &u)) {
      base::log_model(model, 1, "\nWarning: gin2bin found no integer in the bounds of x[%d].", j);
      return err::kNotSupported;
    }
    const int bits = bit_count(u - l);
    e.offset[j] = l;
    e.bits[j] = bits;
    e.first[j] = n + added - g;  // after the general columns are deleted
    ranges[j] = u - l;
    constant += d.c[j] * l;
    for (int k = d.start[j]; k < d.start[j] + d.length[j]; ++k) rhs[d.rowidx[k]] -= d.value[k] * l;
    for (int b = 0; b < bits; ++b) {
      const double w = std::ldexp(1.0, b);
      for (int k = d.start[j]; k < d.start[j] + d.length[j]; ++k) {
        rows.push_back(d.rowidx[k]);
        values.push_back(d.value[k] * w);
      }
      lengths.push_back(d.length[j]);
      starts.push_back(static_cast<int>(rows.size()));
      costs.push_back(d.c[j] * w);
      if (std::ldexp(1.0, bits) - 1 > u - l) {
        range_cols.push_back(n + added);
        range_vals.push_back(w);
      }
      ++added;
    }
    if (range_cols.size() > static_cast<size_t>(range_starts.back())) {
      range_starts.push_back(static_cast<int>(range_cols.size()));
      range_rhs.push_back(u - l);
    }
  }
  e.model = copy_for_solve(model, &code);
  if (!e.model) return code;
  base::Model *c = e.model;
  std::vector<char> types(added + 1, 'B');
  std::vector<double> zeros(added, 0.0), ones(added, 1.0);
  if (added > 0)
    code = TVaddVariables(c, added, types.data(), nullptr, starts.data(), lengths.data(), values.data(),
                          rows.data(), costs.data(), zeros.data(), ones.data());
  const int nrange = static_cast<int>(range_rhs.size());
  if (code == 0 && nrange > 0) {
    std::vector<char> ltype(nrange + 1, 'L');
    code = TVaddConstraints(c, nrange, ltype.data(), nullptr, range_starts.data(), range_vals.data(),
                            range_cols.data(), range_rhs.data());
  }
  if (code == 0 && m > 0) {
    std::vector<int> all(m);
    for (int i = 0; i < m; ++i) all[i] = i;
    code = TVmodifyRHS(c, m, all.data(), rhs.data());
  }
  if (code == 0) code = TVmodifyObjConstant(c, constant);
  if (code == 0) code = TVdeleteVariables(c, g, generals.data());
  if (code != 0) {
    TVdeleteModel(&e.model);
    return code;
  }
  for (int j = 0, shift = 0; j < n; ++j) {
    if (e.first[j] >= 0 || general_integer(d, j)) {
      ++shift;
      continue;
    }
    e.kept[j] = j - shift;
  }
  if (sol) {
    base::log_model(model, 1, "\nComputing bexp of available MIP solution ..");
    std::vector<double> xb(c->data.n, 0.0);
    bool fits = true;
    for (int j = 0; j < n && fits; ++j) {
      if (e.kept[j] >= 0) {
        xb[e.kept[j]] = sol->x[j];
        continue;
      }
      const double v = std::round(sol->x[j]) - e.offset[j];
      if (v < 0 || v > ranges[j]) {
        base::log_model(model, 1, "\nCritical: unhandled exception in bexp operation, var[%d]=%g (?<= %g)", j,
                        sol->x[j], e.offset[j] + ranges[j]);
        fits = false;
        break;
      }
      const long long bitsval = static_cast<long long>(v);
      for (int b = 0; b < e.bits[j]; ++b) xb[e.first[j] + b] = static_cast<double>((bitsval >> b) & 1);
    }
    if (fits) {
      base::log_model(model, 1, "\nLoading bexp of available MIP solution ..");
      TVloadMIPVarStartPoint(c, xb.data());
    }
  }
  if (!solve) return 0;
  base::log_model(model, 1, "\nSolving bexp model ..");
  return solve_mip_serial(c, nullptr);
}

}  // namespace tarvo::mip

using namespace tarvo;

extern "C" {

TVAPI pTVmodel TVconvGin2Bin(pTVmodel model, int *errorCode) {
  if (!tarvo::base::live(model)) {
    if (errorCode) *errorCode = err::kNullArgument;
    return nullptr;
  }
  mip::BinaryExpansion e;
  int code = guarded([&] { return mip::expand_general_integers(model, true, &e); });
  // a failed solve of the copy leaves its code with the copy; a failed expansion leaves nothing
  if (code != 0 && code != err::kTimeLimit && code != err::kIterationLimit && code != err::kBranchLimit &&
      code != err::kUserInterrupt && e.model) {
    TVdeleteModel(&e.model);
  }
  if (errorCode) *errorCode = code;
  return e.model;
}

}  // extern "C"
