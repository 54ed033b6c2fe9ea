// TVreadVarStartPoint and TVreadMipSolution: a start point read back from a
// solution report (values and basis statuses by name), and a MIP start read
// from a list of (variable, value) pairs.
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "common/error_codes.hpp"
#include "common/boundary.hpp"
#include "io/solution_report.hpp"
#include "env/live_handles.hpp"

namespace tarvo::io {
namespace {

int print_level(const base::Model &model) {
  return std::max(model.params.integer(TV_IPARAM_LP_PRINTLEVEL), model.params.integer(TV_IPARAM_MIP_PRINTLEVEL));
}

bool number(const std::string &s, double *v) {
  char *end = nullptr;
  *v = std::strtod(s.c_str(), &end);
  return !s.empty() && *end == '\0';
}

int read_start_point(base::Model *model, const char *file_name) {
  const base::ModelData &d = model->data;
  if (d.n == 0) return err::kNotLoaded;
  std::ifstream in(file_name);
  if (!in) return err::kFileOpen;
  const bool talk = print_level(*model) > 1;
  base::log_model(model, print_level(*model) > 0, "\nReading initial solution from file %s", file_name);
  std::vector<double> x(d.n, 0.0);
  // Statuses start unknown (1 is no status name): the basis is loaded only when every one was read.
  std::vector<int> cols(d.n, 1), rows(std::max(1, d.m), 1);
  std::string line;
  int line_no = 0, values = 0;
  while (std::getline(in, line)) {
    ++line_no;
    std::istringstream words(line);
    std::string tok[4];
    int count = 0;
    while (count < 4 && words >> tok[count]) ++count;
    if (count < 2) continue;
    int j = -1, i = -1;
    if (TVgetVariableIndex(model, tok[0].c_str(), &j) != 0) j = -1;
    if (j < 0 && TVgetConstraintIndex(model, tok[0].c_str(), &i) != 0) i = -1;
    double v = 0;
    if ((j < 0 && i < 0) || !number(tok[1], &v)) {
      base::log_model(model, talk, "\nSkipping unknown token %s", tok[0].c_str());
      continue;
    }
    int status = 1;
    const bool has_status = count == 4 && parse_basis_status(tok[3], &status);
    if (count == 4 && !has_status)
      base::log_model(model, talk, j >= 0 ? "\nUnknown column basis status %s at line %d"
                                          : "\nUnknown row basis status %s at line %d",
                      tok[3].c_str(), line_no);
    if (j >= 0) {
      if (j >= d.n) {
        base::log_model(model, talk, "\nVariable index %d out of range %s at line %d", j, tok[0].c_str(), line_no);
        continue;
      }
      x[j] = v;
      ++values;
      if (has_status) cols[j] = status;
    } else {
      if (i >= d.m) {
        base::log_model(model, talk, "\nConstraint index %d out of range %s at line %d in .sol", i, tok[0].c_str(),
                        line_no);
        continue;
      }
      if (has_status) rows[i] = status;
    }
  }
  if (values == 0) return err::kInternal;
  if (int code = TVloadVarStartPoint(model, x.data())) return code;
  bool complete = true;
  for (int s : cols) complete = complete && s != 1;
  for (int r = 0; r < d.m; ++r) complete = complete && rows[r] != 1;
  // A basis that does not fit the model is left out; the values stay loaded.
  if (complete) TVloadBasis(model, cols.data(), rows.data());
  return 0;
}

int read_mip_solution(base::Model *model, const char *file_name) {
  const base::ModelData &d = model->data;
  if (d.n == 0) return err::kNotLoaded;
  std::ifstream in(file_name);
  if (!in) return err::kFileOpen;
  const bool verbose = print_level(*model) > 1;
  std::vector<double> x(d.n, 0.0);
  std::string who, value_text;
  int read = 0;
  while (in >> who) {
    double v = 0;
    if (!(in >> value_text) || !number(value_text, &v)) return err::kInternal;
    double as_index = 0;
    int j = -1;
    if (number(who, &as_index)) {
      j = static_cast<int>(as_index);
      if (as_index != j || j < 0 || j >= d.n) {
        base::log_model(model, 1, "Variable index %d out of range [0,%d)\n", j, d.n);
        continue;
      }
    } else if (TVgetVariableIndex(model, who.c_str(), &j) != 0) {
      base::log_model(model, 1, "Variable index %d out of range [0,%d)\n", j, d.n);
      continue;
    }
    base::log_model(model, verbose, "Setting var %d to %f\n", j, v);
    x[j] = v;
    read += v != 0;
  }
  base::log_model(model, 1, "Read %d nonzero values from file.\n", read);
  const int code = TVloadMIPVarStartPoint(model, x.data());
  if (code) base::log_model(model, 1, "Error %d in TVloadMIPVarStartPoint\n", code);
  else base::log_model(model, 1, "Successfully loaded MIP start solution.\n");
  return code;
}

}  // namespace
}  // namespace tarvo::io

extern "C" {

TVAPI int TVreadVarStartPoint(pTVmodel model, const char *fileName) {
  if (!tarvo::base::live(model) || !fileName) return tarvo::err::kNullArgument;
  return tarvo::guarded([&] { return tarvo::io::read_start_point(model, fileName); });
}

TVAPI int TVreadMipSolution(pTVmodel model, const char *fileName) {
  if (!tarvo::base::live(model) || !fileName) return tarvo::err::kNullArgument;
  return tarvo::guarded([&] { return tarvo::io::read_mip_solution(model, fileName); });
}

}  // extern "C"
