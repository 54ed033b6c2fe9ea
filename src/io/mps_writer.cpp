// TVwriteMPSFile: a loaded model as fixed or free MPS text that the reader
// reads back. The writer only reads the model; further pool objectives are
// written as extra N rows straight from the pool.
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <string>
#include <vector>

#include "model/model_state.hpp"
#include "common/boundary.hpp"
#include "io/number_text.hpp"
#include "common/error_codes.hpp"

namespace tarvo::io {
namespace {

constexpr double kMachineEpsilon = 2.220446049250313e-16;
constexpr double kBig = 1e29;
const char *const kStars = "*****************************************************\n";

class Out {
 public:
  explicit Out(std::FILE *f) : f_(f) { std::setvbuf(f_, nullptr, _IOFBF, 1 << 20); }
  ~Out() {
    if (f_) std::fclose(f_);
  }
  void put(const char *s) { std::fputs(s, f_); }
  void print(const char *format, ...) __attribute__((format(printf, 2, 3))) {
    va_list args;
    va_start(args, format);
    std::vfprintf(f_, format, args);
    va_end(args);
  }
  // 0, or 2002 when the text could not be written completely.
  int close() {
    const bool failed = std::ferror(f_) != 0;
    const int rc = std::fclose(f_);
    f_ = nullptr;
    return failed || rc != 0 ? 2002 : 0;
  }

 private:
  std::FILE *f_;
};

struct PoolRow {
  std::string name;
  const base::PoolObjective *obj;
};

class Writer {
 public:
  Writer(const base::Model &model, int format, int style)
      : d_(model.data), fixed_(format == 1 || format == 3), style_(style), names_(d_) {}
  int write(const char *file_name);

 private:
  std::string num(double x) const { return number_text(x, fixed_ ? 12 : 22); }
  void prepare();
  int rows(Out &out);
  void columns(Out &out);
  void column_entries(Out &out, int j);
  void set_entry_line(Out &out, const char *set, const std::string &row, double v);
  void rhs_and_ranges(Out &out);
  void bounds(Out &out);
  void quadratic(Out &out);
  void indicators(Out &out);
  void cones(Out &out);
  void pool_fields(Out &out, const base::PoolObjective &p, int sense_field);

  const base::ModelData &d_;
  bool fixed_;
  int style_;
  ColumnNamer names_;
  double flip_ = 1.0;  // -1 when a maximisation model is written as minimisation
  std::string objname_, rhsname_, rangename_, boundname_;
  std::vector<std::string> rownames_, colnames_;
  std::vector<int> order_;   // columns in the order written
  std::vector<int> set_of_;  // set of each column, -1 for none (only when sets are written)
  std::vector<PoolRow> pool_rows_;
  const base::PoolObjective *pool_first_ = nullptr;
  std::vector<std::vector<std::pair<int, double>>> pool_entries_;  // per column: (pool row, value)
  std::vector<double> semi_lower_;
};

void Writer::prepare() {
  objname_ = d_.objname.empty() ? "OBJ" : d_.objname;
  rhsname_ = d_.rhsname;
  rangename_ = d_.rangename;
  boundname_ = d_.boundname.empty() ? "BND1" : d_.boundname;
  rownames_.resize(d_.m);
  for (int i = 0; i < d_.m; ++i) rownames_[i] = row_name(d_, i);
  colnames_.resize(d_.n);
  for (int j = 0; j < d_.n; ++j) colnames_[j] = names_(j);
  semi_lower_.assign(d_.n, 0.0);
  for (size_t k = 0; k < d_.semicont.var.size(); ++k) semi_lower_[d_.semicont.var[k]] = d_.semicont.lower[k];

  // Further pool objectives become N rows "OBJ1", "OBJ2", ... holding their
  // coefficients times their sense.
  std::vector<const base::PoolObjective *> pool;
  for (const auto &p : d_.lp_pool) pool.push_back(&p);
  for (const auto &p : d_.mip_pool) pool.push_back(&p);
  if (!pool.empty()) {
    pool_first_ = pool[0];
    pool_entries_.resize(d_.n);
    for (size_t k = 1; k < pool.size(); ++k) {
      const int r = static_cast<int>(pool_rows_.size());
      pool_rows_.push_back({"OBJ" + std::to_string(k), pool[k]});
      for (int j = 0; j < d_.n && j < static_cast<int>(pool[k]->c.size()); ++j) {
        const double v = pool[k]->c[j];
        if (std::fabs(v) > kMachineEpsilon) pool_entries_[j].push_back({r, v * pool[k]->sense});
      }
    }
  }

  // Set members are written together when each column lies in one set at
  // most and no set is a cardinality set; otherwise no set is written.
  const base::SetData &s = d_.sets;
  bool sets_ok = s.count() > 0;
  set_of_.assign(d_.n, -1);
  for (int k = 0; sets_ok && k < s.count(); ++k) {
    if (s.type[k] == 4) sets_ok = false;
    for (int p = s.start[k]; sets_ok && p < s.start[k + 1]; ++p) {
      const int j = s.member[p];
      if (set_of_[j] >= 0) sets_ok = false;
      set_of_[j] = k;
    }
  }
  order_.clear();
  order_.reserve(d_.n);
  if (!sets_ok) {
    set_of_.assign(d_.n, -1);
    for (int j = 0; j < d_.n; ++j) order_.push_back(j);
    return;
  }
  std::vector<char> done(s.count(), 0);
  for (int j = 0; j < d_.n; ++j) {
    const int k = set_of_[j];
    if (k < 0) {
      order_.push_back(j);
    } else if (!done[k]) {
      done[k] = 1;
      for (int p = s.start[k]; p < s.start[k + 1]; ++p) order_.push_back(s.member[p]);
    }
  }
}

void Writer::pool_fields(Out &out, const base::PoolObjective &p, int sense_field) {
  if (fixed_) {
    // Aligned with the fixed fields 3 to 6 so that a fixed-format reader finds them.
    out.print("  %8d  %12s   %8s  %12s\n", p.rank, num(p.weight).c_str(), number_text(p.abstol, 8).c_str(),
              num(p.reltol).c_str());
    (void)sense_field;
  } else {
    out.print(" %6d %12e %12e %12e %3d\n", p.rank, p.weight, p.abstol, p.reltol, sense_field);
  }
}

int Writer::rows(Out &out) {
  out.put("ROWS\n");
  if (pool_first_) {
    out.print(fixed_ ? " N  %-8s" : " N  %s", objname_.c_str());
    pool_fields(out, *pool_first_, 1);
  } else {
    out.print(" N  %s\n", objname_.c_str());
  }
  for (int i = 0; i < d_.m; ++i) {
    switch (d_.ctype[i]) {
      case 'E':
        out.print(" E  %s\n", rownames_[i].c_str());
        break;
      case 'G':
        out.print(" G  %s\n", rownames_[i].c_str());
        break;
      case 'L':
      case 'R':
        out.print(" L  %s\n", rownames_[i].c_str());
        break;
      case 'N':
        out.print(" N  %s\n", rownames_[i].c_str());
        break;
      default:
        return err::kBadConstraintType;
    }
  }
  for (const PoolRow &r : pool_rows_) {
    out.print(fixed_ ? " N  %-8s" : " N  %s", r.name.c_str());
    pool_fields(out, *r.obj, 1);
  }
  return 0;
}

void Writer::column_entries(Out &out, int j) {
  const std::string &name = colnames_[j];
  const double c = d_.c[j] * flip_;
  const int begin = d_.start[j], len = d_.length[j];
  const size_t extra = pool_entries_.empty() ? 0 : pool_entries_[j].size();
  const char *line = fixed_ ? "    %8s  %8s  %12s\n" : "    %s  %s  %s\n";
  if (c != 0 || (len == 0 && extra == 0)) out.print(line, name.c_str(), objname_.c_str(), num(c).c_str());
  // Matrix entries, then the temporary pool rows; fixed format pairs them up.
  std::vector<std::pair<const std::string *, double>> items;
  items.reserve(static_cast<size_t>(len) + extra);
  for (int p = begin; p < begin + len; ++p) items.push_back({&rownames_[d_.rowidx[p]], d_.value[p]});
  if (extra)
    for (const auto &e : pool_entries_[j]) items.push_back({&pool_rows_[e.first].name, e.second});
  for (size_t t = 0; t < items.size(); ++t) {
    if (fixed_ && t + 1 < items.size()) {
      out.print("    %8s  %8s  %12s", name.c_str(), items[t].first->c_str(), num(items[t].second).c_str());
      out.print("%s   %8s  %12s\n", "", items[t + 1].first->c_str(), num(items[t + 1].second).c_str());
      ++t;
    } else {
      out.print(line, name.c_str(), items[t].first->c_str(), num(items[t].second).c_str());
    }
  }
}

void Writer::columns(Out &out) {
  out.put("COLUMNS\n");
  int run = 0, open_set = -1;
  bool int_open = false;
  for (int j : order_) {
    const bool is_int = j < static_cast<int>(d_.vtype.size()) && d_.vtype[j] == 'I';
    if (int_open && !is_int) {
      out.print("    INT%04dE  'MARKER'                 'INTEND'\n", run++);
      int_open = false;
    }
    const int k = set_of_[j];
    if (k != open_set) {
      if (open_set >= 0) out.print("    SET%04d   'MARKER'                 'SOSEND'\n", open_set + 1);
      if (k >= 0) {
        const int t = d_.sets.type[k];
        if (t == 1) out.print(" S1 SET%04d   'MARKER'                 'SOSORG'\n", k + 1);
        else if (t == 2) out.print(" S2 SET%04d   'MARKER'                 'SOSORG'\n", k + 1);
        else out.print("    SET%04d   'MARKER'                 'SOSORG'\n", k + 1);
      }
      open_set = k;
    }
    if (is_int && !int_open) {
      out.print("    INT%04dB  'MARKER'                 'INTORG'\n", run);
      int_open = true;
    }
    column_entries(out, j);
  }
  if (int_open) out.print("    INT%04dE  'MARKER'                 'INTEND'\n", run);
  if (open_set >= 0) out.print("    SET%04d   'MARKER'                 'SOSEND'\n", open_set + 1);
}

void Writer::set_entry_line(Out &out, const char *set, const std::string &row, double v) {
  if (!*set) {
    out.print(fixed_ ? "    RHS1      %8s  %12s\n" : "    RHS1      %s  %s\n", row.c_str(), num(v).c_str());
  } else {
    out.print(fixed_ ? "    %-8s  %8s  %12s\n" : "    %-8s  %s  %s\n", set, row.c_str(), num(v).c_str());
  }
}

void Writer::rhs_and_ranges(Out &out) {
  out.put("RHS\n");
  if (d_.obj_constant != 0) set_entry_line(out, rhsname_.c_str(), objname_, -d_.obj_constant * flip_);
  for (int i = 0; i < d_.m; ++i)
    if (d_.b[i] != 0) set_entry_line(out, rhsname_.c_str(), rownames_[i], d_.b[i]);
  // a row with a range value is ranged whatever its type (the meaning of R
  // follows the type as in the RANGES section)
  auto range_of = [this](int i) {
    const double r = i < static_cast<int>(d_.range.size()) ? d_.range[i] : 0.0;
    return d_.ctype[i] != 'N' && r != 0 && std::isfinite(r) && std::fabs(r) < 1e30 ? r : 0.0;
  };
  bool ranged = false;
  for (int i = 0; i < d_.m && !ranged; ++i) ranged = d_.ctype[i] == 'R' || range_of(i) != 0;
  if (!ranged) return;
  out.put("RANGES\n");
  for (int i = 0; i < d_.m; ++i)
    if (d_.ctype[i] == 'R' || range_of(i) != 0) set_entry_line(out, rangename_.c_str(), rownames_[i], range_of(i));
}

void Writer::bounds(Out &out) {
  out.put("BOUNDS\n");
  const char *bnd = boundname_.c_str();
  const char *two = fixed_ ? " %s %-8s  %8s  %12s\n" : " %s %-8s  %s  %s\n";
  const char *one = fixed_ ? " %s %-8s  %8s\n" : " %s %-8s  %s\n";
  for (int j = 0; j < d_.n; ++j) {
    const char *name = colnames_[j].c_str();
    const double lo = d_.lower[j], up = d_.upper[j];
    const char t = j < static_cast<int>(d_.vtype.size()) ? d_.vtype[j] : 'C';
    const bool semi = names_.semicontinuous(j);
    if (semi && (!fixed_ || lo != up)) {
      out.print(two, "SC", bnd, name, num(up).c_str());
      if (semi_lower_[j] != 0) out.print(two, "LO", bnd, name, num(semi_lower_[j]).c_str());
      continue;
    }
    if (lo == up) {
      out.print(two, "FX", bnd, name, num(lo).c_str());
      continue;
    }
    if (t == 'B') {
      out.print(one, "BV", bnd, name);
      continue;
    }
    if (lo <= -kBig) {
      out.print(one, up >= kBig ? "FR" : "MI", bnd, name);
    } else if (lo != 0) {
      out.print(two, "LO", bnd, name, num(lo).c_str());
    } else if (t != 'C' && up >= kBig) {
      out.print(two, "LO", bnd, name, num(0).c_str());
    }
    if (up < kBig) out.print(two, "UP", bnd, name, num(up).c_str());
  }
}

void Writer::indicators(Out &out) {
  const base::IndicatorData &ind = d_.indicators;
  if (ind.row.empty()) return;
  out.put("INDICATORS\n");
  for (size_t k = 0; k < ind.row.size(); ++k)
    out.print(fixed_ ? " IF %-8s  %8s  %12d\n" : " IF %s  %s  %d\n", rownames_[ind.row[k]].c_str(),
              colnames_[ind.var[k]].c_str(), ind.value[k]);
}

void Writer::quadratic(Out &out) {
  const base::QuadraticData &q = d_.qc;
  const char *line = fixed_ ? "    %8s  %8s  %12s\n" : "    %s  %s  %s\n";
  for (size_t t = 0; t < q.coef.size(); ++t) {
    const int r = q.row[t];
    if (t == 0 || q.row[t - 1] != r) out.print("QSECTION      %s\n", r < 0 ? objname_.c_str() : rownames_[r].c_str());
    const double v = r < 0 ? q.coef[t] * flip_ : q.coef[t];
    out.print(line, colnames_[q.col1[t]].c_str(), colnames_[q.col2[t]].c_str(), num(v).c_str());
  }
}

void Writer::cones(Out &out) {
  const base::ConeData &c = d_.cones;
  for (int k = 0; k < d_.ncones; ++k) {
    std::string name;
    if (d_.conenames.present() && k < static_cast<int>(d_.conenames.offsets.size()) && d_.conenames.name(k)[0]) {
      name = d_.conenames.name(k);
    } else {
      char buf[32];
      std::snprintf(buf, sizeof buf, "CONE%04d", k);
      name = buf;
    }
    const char *type = c.type[k] == 'Q' ? "QUAD" : c.type[k] == 'R' ? "RQUAD" : c.type[k] == 'E' ? "PEXP" : "PPOW";
    const double alpha = k < static_cast<int>(c.alpha.size()) ? c.alpha[k] : 0.0;
    out.print(fixed_ ? "CSECTION      %8s   %12s  %s\n" : "CSECTION      %8s   %s  %s\n", name.c_str(),
              num(alpha).c_str(), type);
    for (int p = c.start[k]; p < c.start[k + 1]; ++p)
      out.print(fixed_ ? "    %8s \n" : "    %s \n", colnames_[c.member[p]].c_str());
  }
}

int Writer::write(const char *file_name) {
  prepare();
  const bool maximise = d_.sense == TV_MAX;
  if (maximise && style_ == 2) flip_ = -1.0;
  std::FILE *f = std::fopen(file_name, "w");
  if (!f) return err::kFileOpen;
  Out out(f);
  const char *title = d_.title.empty() ? "NO_TITLE" : d_.title.c_str();
  // The fixed layout puts the name into columns 15-22, where readers look for it.
  if (fixed_) out.print("NAME          %8s\n", title);
  else out.print("NAME           %s\n", title);
  if (maximise) {
    out.put(kStars);
    out.put("* REMARK: Generated by TVwriteMPSFile() routine for \n");
    out.put("* a maximization type problem.\n");
    out.put("*\n");
    if (style_ == 2) {
      out.put("* The objective coefficients have flipped signs. \n");
      out.put("* Interpret the objective value from the solution of\n");
      out.put("* this model accordingly.\n");
      out.put(kStars);
    } else if (style_ == 1) {
      out.put("* If your MPS parser can't process the OBJSENSE card,\n");
      out.put("* then comment out the following two lines by adding\n");
      out.put("* a '*' character in front of them. This will, however,\n");
      out.put("* cause the model to be treated as a minimization model.\n");
      out.put(kStars);
      out.put("OBJSENSE\n");
      out.put("    MAX\n");
    } else {
      out.put("* If your MPS parser can process the OBJSENSE card,\n");
      out.put("* then uncomment the following two lines by deleting\n");
      out.put("* the '*' characters in front of them, otherwise the\n");
      out.put("* model will be treated as a minimization model.\n");
      out.put(kStars);
      out.put("*OBJSENSE     \n");
      out.put("*    MAX      \n");
    }
  }
  if (int code = rows(out)) {
    out.close();
    return code;
  }
  columns(out);
  rhs_and_ranges(out);
  bounds(out);
  // Indicators come before the quadratic blocks: the reader accepts no other
  // section but RHS, RANGES and BOUNDS after a quadratic block.
  indicators(out);
  quadratic(out);
  cones(out);
  out.put("ENDATA\n");
  return out.close();
}

}  // namespace
}  // namespace tarvo::io

using tarvo::base::live;

extern "C" {

TVAPI int TVwriteMPSFile(pTVmodel model, const char *fileName, int format) {
  if (!live(model) || !fileName) return tarvo::err::kNullArgument;
  return tarvo::guarded([&] {
    if (model->status == TV_STATUS_UNLOADED) return tarvo::err::kNotAvailable;
    int style = 2;
    if (int code = TVgetModelIntParameter(model, TV_IPARAM_MPS_OBJ_WRITESTYLE, &style)) return code;
    tarvo::io::Writer writer(*model, format, style);
    return writer.write(fileName);
  });
}

}  // extern "C"
