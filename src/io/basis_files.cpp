// TVwriteBasis and TVreadBasis: the simplex basis as a binary file of column
// and row statuses, as a text file of names and status names, and the basis
// matrix itself as MPS or as triplets.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "common/error_codes.hpp"
#include "common/boundary.hpp"
#include "io/output_file.hpp"
#include "io/number_text.hpp"
#include "io/solution_report.hpp"
#include "env/live_handles.hpp"

namespace tarvo::io {
namespace {

constexpr double kInf = 1e30;

// Statuses read off the current solution when no basis is kept: columns at a
// bound are nonbasic there, every other column and row is basic.
int basis_from_solution(base::Model *model, std::vector<int> *cols, std::vector<int> *rows) {
  const base::ModelData &d = model->data;
  std::vector<double> x(d.n);
  // An integer model's current solution is its incumbent.
  if (int code = TVgetPrimalSolution(model, x.data()))
    if (TVgetMIPPrimalSolution(model, x.data()) != 0) return code;
  for (int j = 0; j < d.n; ++j) {
    const double lo = d.lower[j], up = d.upper[j], tol = 1e-9 * (1 + std::fabs(x[j]));
    if (lo > -kInf && std::fabs(x[j] - lo) <= tol) (*cols)[j] = TV_BASTYPE_ATLO;
    else if (up < kInf && std::fabs(x[j] - up) <= tol) (*cols)[j] = TV_BASTYPE_ATUP;
    else if (lo <= -kInf && up >= kInf && x[j] == 0) (*cols)[j] = TV_BASTYPE_FNUL;
    else (*cols)[j] = TV_BASTYPE_BAS;
  }
  std::fill(rows->begin(), rows->end(), TV_BASTYPE_BAS);
  return 0;
}

int write_binary(FILE *f, const std::vector<int> &cols, const std::vector<int> &rows) {
  if (std::fwrite(cols.data(), sizeof(int), cols.size(), f) != cols.size() ||
      std::fwrite(rows.data(), sizeof(int), rows.size(), f) != rows.size())
    return err::kInternal;
  return 0;
}

int write_text(FILE *f, const base::ModelData &d, const std::vector<int> &cols, const std::vector<int> &rows) {
  const ColumnNamer col_name(d);
  std::vector<std::string> names;
  size_t width = 8;
  for (int j = 0; j < d.n; ++j) {
    char generated[32];
    std::snprintf(generated, sizeof generated, "  C%-7d", j + 1);
    names.push_back(d.varnames.present() && d.varnames.name(j)[0] ? col_name(j) : std::string(generated));
    width = std::max(width, names.back().size());
  }
  for (int i = 0; i < d.m; ++i) {
    names.push_back(row_name(d, i));
    width = std::max(width, names.back().size());
  }
  for (size_t k = 0; k < names.size(); ++k) {
    const int st = k < cols.size() ? cols[k] : rows[k - cols.size()];
    std::fprintf(f, "%-*s    %22s\n", static_cast<int>(width + 5), names[k].c_str(), basis_status_name(st));
  }
  return 0;
}

// Basic columns in position order: structural columns of A and unit columns of basic slacks.
struct BasisMatrix {
  std::vector<int> row, col;
  std::vector<double> value;
  int columns = 0;
};

BasisMatrix basis_matrix(const base::ModelData &d, const std::vector<int> &cols, const std::vector<int> &rows) {
  BasisMatrix b;
  for (int j = 0; j < d.n; ++j) {
    if (cols[j] < 0) continue;
    for (int q = d.start[j]; q < d.start[j] + d.length[j]; ++q) {
      b.row.push_back(d.rowidx[q]);
      b.col.push_back(b.columns);
      b.value.push_back(d.value[q]);
    }
    ++b.columns;
  }
  for (int i = 0; i < d.m; ++i) {
    if (rows[i] < 0) continue;
    b.row.push_back(i);
    b.col.push_back(b.columns++);
    b.value.push_back(1.0);
  }
  return b;
}

int write_triplets(FILE *f, const base::ModelData &d, const BasisMatrix &b) {
  std::fprintf(f, "%12d %12d %12d\n", d.m, b.columns, static_cast<int>(b.value.size()));
  for (size_t k = 0; k < b.value.size(); ++k) std::fprintf(f, "%12d %12d %26.16e\n", b.row[k], b.col[k], b.value[k]);
  return 0;
}

// The basis matrix as a model of its own (zero costs, equations with zero
// right-hand sides, free columns) written by the MPS writer.
int write_basis_mps(base::Model *model, const char *file_name, const BasisMatrix &b) {
  const base::ModelData &d = model->data;
  int code = 0;
  pTVmodel out = TVcreateModel(model->env, &code);
  if (!out) return code;
  std::vector<int> start(b.columns + 1, 0);
  for (int c : b.col) ++start[c + 1];
  for (int c = 0; c < b.columns; ++c) start[c + 1] += start[c];
  const std::vector<double> zero_c(std::max(1, b.columns), 0.0), zero_b(std::max(1, d.m), 0.0);
  const std::vector<double> lo(std::max(1, b.columns), -kInf), up(std::max(1, b.columns), kInf);
  const std::vector<char> types(std::max(1, d.m), 'E');
  code = TVloadLPData(out, d.m, b.columns, TV_MIN, 0, zero_c.data(), zero_b.data(), types.data(),
                      static_cast<int>(b.value.size()), start.data(), nullptr, b.value.data(), b.row.data(),
                      lo.data(), up.data());
  if (code == 0) code = TVwriteMPSFile(out, file_name, 0);
  TVdeleteModel(&out);
  return code;
}

int write_basis(base::Model *model, const char *file_name, int format) {
  const int kind = std::abs(format);
  if (kind < 1 || kind > 4) return err::kParamOutOfRange;
  const base::ModelData &d = model->data;
  std::vector<int> cols(std::max(1, d.n)), rows(std::max(1, d.m));
  int code = TVgetBasis(model, cols.data(), rows.data());
  if (code && format < 0) code = basis_from_solution(model, &cols, &rows);
  if (code) return code;
  cols.resize(d.n);
  rows.resize(d.m);
  if (kind == 2) return write_basis_mps(model, file_name, basis_matrix(d, cols, rows));
  File f(std::fopen(file_name, kind == 1 ? "wb" : "w"));
  if (!f) return err::kFileOpen;
  if (kind == 1) code = write_binary(f.get(), cols, rows);
  else if (kind == 3) code = write_text(f.get(), d, cols, rows);
  else code = write_triplets(f.get(), d, basis_matrix(d, cols, rows));
  const int closed = finish(&f);
  return code ? code : closed;
}

int read_basis(base::Model *model, const char *file_name, int format) {
  if (std::abs(format) != 1) return err::kParamOutOfRange;
  const base::ModelData &d = model->data;
  File f(std::fopen(file_name, "rb"));
  if (!f) return err::kFileOpen;
  std::vector<int> cols(std::max(1, d.n)), rows(std::max(1, d.m));
  if (std::fread(cols.data(), sizeof(int), d.n, f.get()) != static_cast<size_t>(d.n) ||
      std::fread(rows.data(), sizeof(int), d.m, f.get()) != static_cast<size_t>(d.m))
    return err::kInternal;
  return TVloadBasis(model, cols.data(), rows.data());
}

}  // namespace
}  // namespace tarvo::io

extern "C" {

TVAPI int TVwriteBasis(pTVmodel model, const char *fileName, int format) {
  if (!tarvo::base::live(model) || !fileName) return tarvo::err::kNullArgument;
  return tarvo::guarded([&] { return tarvo::io::write_basis(model, fileName, format); });
}

TVAPI int TVreadBasis(pTVmodel model, const char *fileName, int format) {
  if (!tarvo::base::live(model) || !fileName) return tarvo::err::kNullArgument;
  return tarvo::guarded([&] { return tarvo::io::read_basis(model, fileName, format); });
}

}  // extern "C"
