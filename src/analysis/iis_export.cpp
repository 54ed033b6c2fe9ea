// TVwriteIIS and TVwriteIUS, and the MPS export of the irreducible set as a
// small model of its own (a file name ending in .mps, any letter case,
// selects it; other names get TARVO text). The IIS model keeps the IIS rows and the
// bounds in the IIS (all bounds of its columns when bounds were not
// analysed) under a zero objective; the IUS model keeps the IUS columns with
// their costs and bounds and the rows they meet.
#include <strings.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "analysis/iis_files.hpp"
#include "analysis/member_names.hpp"
#include "common/error_codes.hpp"
#include "model/model_state.hpp"
#include "common/boundary.hpp"
#include "simplex/lp_solver.hpp"
#include "env/live_handles.hpp"

namespace tarvo::analysis {
namespace {

constexpr double kInf = 1e30;

struct SubModel {
  std::vector<int> rows, cols;
  std::vector<double> c, lower, upper;
  std::vector<char> vtype;
};

int write_sub(base::Model *model, const SubModel &s, const char *file) {
  const base::ModelData &d = model->data;
  const int m = static_cast<int>(s.rows.size()), n = static_cast<int>(s.cols.size());
  std::vector<int> pos(d.m, -1);
  for (int r = 0; r < m; ++r) pos[s.rows[r]] = r;
  std::vector<int> start(n + 1, 0), length(n, 0), idx;
  std::vector<double> val;
  for (int k = 0; k < n; ++k) {
    const int j = s.cols[k];
    for (int p = d.start[j]; p < d.start[j] + d.length[j]; ++p)
      if (pos[d.rowidx[p]] >= 0) {
        idx.push_back(pos[d.rowidx[p]]);
        val.push_back(d.value[p]);
      }
    start[k + 1] = static_cast<int>(idx.size());
    length[k] = start[k + 1] - start[k];
  }
  std::vector<double> b(m), range(m + 1, 0.0);
  std::vector<char> ctype(m);
  bool ranged = false;
  for (int r = 0; r < m; ++r) {
    double lo, up;
    simplex::row_activity_bounds(d, s.rows[r], &lo, &up);
    if (lo <= -kInf && up >= kInf) {
      ctype[r] = 'N';
      b[r] = 0;
    } else if (lo <= -kInf) {
      ctype[r] = 'L';
      b[r] = up;
    } else if (up >= kInf) {
      ctype[r] = 'G';
      b[r] = lo;
    } else if (lo == up) {
      ctype[r] = 'E';
      b[r] = lo;
    } else {
      ctype[r] = 'G';
      b[r] = lo;
      range[r] = up - lo;
      ranged = true;
    }
  }
  int code = 0;
  pTVmodel sub = TVcreateModel(model->env, &code);
  if (!sub) return code ? code : err::kNoMemory;
  code = TVloadLPData(sub, m, n, d.sense, 0.0, s.c.data(), b.data(), ctype.data(), static_cast<int>(idx.size()),
                      start.data(), length.data(), val.data(), idx.data(), s.lower.data(), s.upper.data());
  if (code == 0 && ranged) sub->data.range = range;
  if (code == 0 && !s.vtype.empty()) code = TVloadVarType(sub, const_cast<char *>(s.vtype.data()));
  if (code == 0) {
    std::vector<std::string> rn, cn;
    for (int i : s.rows) rn.push_back(row_name(*model, i));
    for (int j : s.cols) cn.push_back(col_name(*model, j));
    std::vector<char *> rp, cp;
    for (auto &x : rn) rp.push_back(x.data());
    for (auto &x : cn) cp.push_back(x.data());
    code = TVloadNameData(sub, "IIS", "DUMMY", nullptr, nullptr, nullptr, m ? rp.data() : nullptr,
                          n ? cp.data() : nullptr, nullptr);
  }
  if (code == 0) code = TVwriteMPSFile(sub, file, 0);
  TVdeleteModel(&sub);
  return code;
}

// Columns of the rows in `rows`, plus `extra`, in index order.
std::vector<int> columns_of(const base::ModelData &d, const std::vector<int> &rows, const std::vector<int> &extra) {
  std::vector<char> in_row(d.m, 0), take(d.n, 0);
  for (int i : rows) in_row[i] = 1;
  for (int j = 0; j < d.n; ++j)
    for (int p = d.start[j]; p < d.start[j] + d.length[j]; ++p)
      if (in_row[d.rowidx[p]]) take[j] = 1;
  for (int j : extra) take[j] = 1;
  std::vector<int> cols;
  for (int j = 0; j < d.n; ++j)
    if (take[j]) cols.push_back(j);
  return cols;
}

}  // namespace

int write_iis_mps(base::Model *model, const char *file) {
  const base::ModelData &d = model->data;
  const base::IisRecord &r = *model->iis;
  SubModel s;
  s.rows = r.rows;
  std::sort(s.rows.begin(), s.rows.end());
  s.cols = columns_of(d, s.rows, r.cols);
  const int n = static_cast<int>(s.cols.size());
  s.c.assign(n, 0.0);
  s.lower.assign(n, -kInf);
  s.upper.assign(n, kInf);
  std::vector<int> where(d.n, -1);
  for (int k = 0; k < n; ++k) where[s.cols[k]] = k;
  for (int k = 0; k < n; ++k)
    if (!r.bounds_analysed) {
      s.lower[k] = d.lower[s.cols[k]];
      s.upper[k] = d.upper[s.cols[k]];
    }
  for (size_t t = 0; t < r.cols.size(); ++t) {
    const int j = r.cols[t], k = where[j];
    if (r.bound_type[t] <= 0) s.lower[k] = d.lower[j];
    if (r.bound_type[t] >= 0) s.upper[k] = d.upper[j];
  }
  // Integrality that was not analysed stays in force, like unanalysed bounds.
  const bool ints_analysed = (r.level & 16) != 0;
  if (!ints_analysed && !d.vtype.empty()) {
    s.vtype.assign(n, 'C');
    for (int k = 0; k < n; ++k) s.vtype[k] = d.vtype[s.cols[k]];
  } else if (!r.ints.empty()) {
    s.vtype.assign(n, 'C');
    for (int j : r.ints) s.vtype[where[j]] = d.vtype.empty() ? 'I' : d.vtype[j];
  }
  const int code = write_sub(model, s, file);
  if (code == 0)
    base::log_model(model, 1, "\nExported IIS in MPS format %s ", file);
  else
    base::log_model(model, 1, "\nFailed to write IIS, error code: %d", code);
  return code;
}

int write_ius_mps(base::Model *model, const char *file) {
  const base::ModelData &d = model->data;
  SubModel s;
  s.cols = model->ius->cols;
  std::sort(s.cols.begin(), s.cols.end());
  std::vector<char> meet(d.m, 0);
  for (int j : s.cols)
    for (int p = d.start[j]; p < d.start[j] + d.length[j]; ++p) meet[d.rowidx[p]] = 1;
  for (int i = 0; i < d.m; ++i)
    if (meet[i]) s.rows.push_back(i);
  for (int j : s.cols) {
    s.c.push_back(d.c[j]);
    s.lower.push_back(d.lower[j]);
    s.upper.push_back(d.upper[j]);
  }
  return write_sub(model, s, file);
}

namespace {

bool mps_name(const char *file) {
  const size_t len = std::strlen(file);
  return len >= 4 && strncasecmp(file + len - 4, ".mps", 4) == 0;
}

int write_iis(base::Model *model, const char *file) {
  if (model->status == TV_STATUS_UNLOADED || !model->iis) return err::kNotAvailable;
  if (model->data.sense != TV_MIN && model->data.sense != TV_MAX) return err::kBadObjSense;
  return mps_name(file) ? write_iis_mps(model, file) : write_iis_file(model, file);
}

int write_ius(base::Model *model, const char *file) {
  if (model->status == TV_STATUS_UNLOADED || !model->ius) return err::kNotAvailable;
  if (model->data.sense != TV_MIN && model->data.sense != TV_MAX) return err::kBadObjSense;
  return mps_name(file) ? write_ius_mps(model, file) : write_ius_file(model, file);
}

}  // namespace
}  // namespace tarvo::analysis

extern "C" {

TVAPI int TVwriteIIS(pTVmodel model, const char *fileName) {
  if (!tarvo::base::live(model) || !fileName) return tarvo::err::kNullArgument;
  return tarvo::guarded([&] { return tarvo::analysis::write_iis(model, fileName); });
}

TVAPI int TVwriteIUS(pTVmodel model, const char *fileName) {
  if (!tarvo::base::live(model) || !fileName) return tarvo::err::kNullArgument;
  return tarvo::guarded([&] { return tarvo::analysis::write_ius(model, fileName); });
}

}  // extern "C"
