// The MPS reader between and after its walks: sizing the tables from the
// counts, then handing everything read to the loaders and modifiers (linear
// core, types, names, sets, semicontinuous columns, range slacks, quadratic
// terms, cones, the objective pool and indicators).
#include <algorithm>
#include <cmath>
#include <cstdio>

#include "io/mps_reader.hpp"
#include "io/range_slacks.hpp"
#include "common/error_codes.hpp"

namespace tarvo::io::mps {
namespace {

char **name_array(const NameTable &table, std::vector<char *> *out) {
  out->resize(table.size());
  for (int i = 0; i < table.size(); ++i) (*out)[i] = const_cast<char *>(table.c_name(i));
  return out->empty() ? nullptr : out->data();
}

// A set name that was missing (read as blanks) is not stored.
const char *set_name(const std::string &name) {
  return name.find_first_not_of(' ') == std::string::npos ? "" : name.c_str();
}

}  // namespace

int Reader::prepare_tables() {
  if (count_rows_ > 2147483000LL || count_cols_ > 2147483000LL || count_nz_ > 2147483000LL) return err::kNoMemory;
  if (int code = rows_.setup(count_rows_)) return code;
  if (int code = free_rows_.setup(count_nrows_)) return code;
  if (int code = cols_.setup(count_cols_)) return code;
  if (int code = cones_.setup(count_cones_)) return code;
  row_type_.reserve(count_rows_);
  rhs_.reserve(count_rows_);
  range_.reserve(count_rows_);
  range_count_.reserve(count_rows_);
  row_record_.reserve(count_rows_);
  col_start_.reserve(count_cols_ + 1);
  cost_.reserve(count_cols_);
  lower_.reserve(count_cols_);
  upper_.reserve(count_cols_);
  col_type_.reserve(count_cols_);
  sc_index_.reserve(count_cols_);
  entry_row_.reserve(count_nz_);
  entry_value_.reserve(count_nz_);
  set_type_.reserve(count_sets_);
  member_col_.reserve(count_set_nz_);
  member_set_.reserve(count_set_nz_);
  cone_start_.reserve(count_cones_ + 1);
  cone_member_.reserve(count_cone_nz_);
  return 0;
}

int Reader::load_core() {
  const int m = static_cast<int>(row_type_.size());
  const int n = static_cast<int>(cost_.size());
  const int nz = static_cast<int>(entry_row_.size());
  col_start_.push_back(nz);
  bool typed = false;
  for (int j = 0; j < n; ++j) {
    char &t = col_type_[j];
    if (t == 'Z') t = lower_[j] == 0 && upper_[j] == 1 ? 'B' : 'I';
    if (t != 'C') typed = true;
  }
  int code = TVloadLPData(model_, m, n, sense_, obj_constant_, cost_.data(), rhs_.data(), row_type_.data(), nz,
                          col_start_.data(), nullptr, entry_value_.data(), entry_row_.data(), lower_.data(),
                          upper_.data());
  if (code) return code;
  if (typed && (code = TVloadVarType(model_, col_type_.data()))) return code;
  std::vector<char *> row_names, col_names;
  return TVloadNameData(model_, title_.c_str(), objective_name_.c_str(), set_name(rhs_set_), set_name(range_set_),
                        set_name(bound_set_), name_array(rows_, &row_names), name_array(cols_, &col_names), nullptr);
}

int Reader::load_sets() {
  const int nsets = static_cast<int>(set_type_.size());
  if (member_col_.empty() || nsets == 0) return 0;
  // Members grouped by set in the order read; sets left without members are dropped.
  std::vector<int> size(nsets, 0);
  for (int s : member_set_) ++size[s];
  std::vector<int> renumber(nsets, -1), start(1, 0);
  std::vector<char> types;
  for (int s = 0; s < nsets; ++s) {
    if (size[s] == 0) continue;
    renumber[s] = static_cast<int>(types.size());
    types.push_back(set_type_[s]);
    start.push_back(start.back() + size[s]);
  }
  std::vector<int> fill(start.begin(), start.end() - 1), members(member_col_.size());
  for (size_t p = 0; p < member_col_.size(); ++p) members[fill[renumber[member_set_[p]]]++] = member_col_[p];
  return TVloadSETSData(model_, static_cast<int>(types.size()), types.data(), nullptr, start.data(), members.data());
}

int Reader::load_semicontinuous() {
  if (sc_col_.empty()) return 0;
  std::vector<double> upper(sc_col_.size());
  for (size_t k = 0; k < sc_col_.size(); ++k) upper[k] = upper_[sc_col_[k]];
  return TVloadSemiContData(model_, static_cast<int>(sc_col_.size()), sc_col_.data(), sc_lower_.data(),
                            upper.data());
}

int Reader::load_ranges() {
  RangeSlacks slacks;
  for (int i = 0; i < static_cast<int>(row_type_.size()); ++i) {
    const char t = row_type_[i];
    const double r = range_[i];
    if (t == 'N') continue;
    if (!(r != 0 || (range_count_[i] > 0 && t != 'E'))) continue;
    double a;
    if (t == 'E') a = r > 0 ? -1.0 : 1.0;
    else a = t == 'G' ? -1.0 : 1.0;
    slacks.row.push_back(i);
    slacks.coef.push_back(a);
    slacks.upper.push_back(std::fabs(r));
    if (t != 'E') slacks.retype.push_back(i);
  }
  return add_range_slacks(model_, slacks);
}

int Reader::load_quadratic() {
  if (terms_.empty()) return 0;
  const size_t k = terms_.size();
  std::vector<int> rows(k), c1(k), c2(k);
  std::vector<double> v(k);
  for (size_t t = 0; t < k; ++t) {
    rows[t] = terms_[t].row;
    c1[t] = terms_[t].col1;
    c2[t] = terms_[t].col2;
    v[t] = terms_[t].value;
  }
  return TVloadQCData(model_, static_cast<int>(k), rows.data(), c1.data(), c2.data(), v.data());
}

int Reader::check_cone_marks() {
  std::vector<char> seen(cost_.size(), 0);
  for (int j : cone_member_) {
    if (seen[j]) {
      base::log_model(model_, level() >= 200, "\nMPS Reader: Invalid cone mark.");
      return format_error();
    }
    seen[j] = 1;
  }
  return 0;
}

int Reader::load_cones() {
  const int ncones = static_cast<int>(cone_type_.size());
  if (ncones == 0) return 0;
  cone_start_.push_back(static_cast<int>(cone_member_.size()));
  int code = TVloadConeData(model_, ncones, cone_type_.data(), cone_alpha_.data(), cone_start_.data(),
                            cone_member_.data());
  if (code) return code;
  std::vector<char *> names;
  return TVloadNameData(model_, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                        name_array(cones_, &names));
}

int Reader::load_pool() {
  if (pool_.empty()) return 0;
  const size_t n = static_cast<size_t>(model_->data.n);  // range slacks included
  int added = 0;
  const PoolRecord *first = nullptr;
  for (size_t r = 0; r < pool_.size(); ++r) {
    PoolRecord &rec = pool_[r];
    if (rec.priority < 0) continue;
    if (static_cast<int>(r) == objective_record_) rec.c.assign(cost_.begin(), cost_.end());
    rec.c.resize(n, 0.0);
    const int code = TVaddObjPool(model_, rec.c.data(), rec.sense, rec.priority, rec.reltol);
    if (code) {
      base::log_model(model_, level() > 0, "\nWarning: %s failed to add obj %d to pool, error:%d", "MPS reader",
                      static_cast<int>(r), code);
      TVfreeObjPool(model_);
      base::log_model(model_, level() > 0, "\nWarning: %s removed all objectives in the pool", "MPS reader");
      return 0;
    }
    const int index = added++;
    if (!first) first = &rec;
    if (int c = TVsetObjPoolParam(model_, index, TV_DINFO_OBJWEIGHT, rec.weight))
      base::log_model(model_, level() > 0, "\nWarning: %s failed to set Obj[%d].TV_DINFO_OBJWEIGHT=%g, error:%d",
                      "MPS reader", index, rec.weight, c);
    if (int c = TVsetObjPoolParam(model_, index, TV_DINFO_OBJABSTOL, rec.abstol))
      base::log_model(model_, level() > 0, "\nWarning: %s failed to set Obj[%d].TV_DINFO_OBJABSTOL=%g, error:%d",
                      "MPS reader", index, rec.abstol, c);
  }
  if (!first) return 0;
  if (int code = TVsetObjPoolParam(model_, 0, TV_DINFO_OBJABSTOL, first->abstol)) return code;
  if (int code = TVsetObjPoolParam(model_, 0, TV_DINFO_OBJRELTOL, first->reltol)) return code;
  return TVsetObjPoolParam(model_, 0, TV_DINFO_OBJWEIGHT, first->weight);
}

int Reader::load_indicators() {
  if (indicators_.empty()) return 0;
  const size_t k = indicators_.size();
  std::vector<int> rows(k), cols(k), values(k);
  for (size_t t = 0; t < k; ++t) {
    rows[t] = indicators_[t].row;
    cols[t] = indicators_[t].col;
    values[t] = indicators_[t].value;
  }
  return TVloadIndData(model_, static_cast<int>(k), rows.data(), cols.data(), values.data());
}

int Reader::finish() {
  if (int code = check_cone_marks()) return code;
  if (int code = load_core()) return code;
  if (int code = load_sets()) return code;
  if (int code = load_semicontinuous()) return code;
  if (int code = load_ranges()) return code;
  if (int code = load_quadratic()) return code;
  if (int code = load_cones()) return code;
  // An MPS model carries no instruction or callback data.
  TVsetModelIntParameter(model_, TV_IPARAM_NLP_LINEARITY, model_->data.has_instructions ? 0 : 1);
  if (int code = load_pool()) return code;
  return load_indicators();
}

}  // namespace tarvo::io::mps
