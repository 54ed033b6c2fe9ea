#include "solution_output.hpp"

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

namespace runtarvo {
namespace {

int file_failure(pTVenv env, const std::string &what, int code, Outcome *out) {
  std::fprintf(stderr, "runtarvo: %s: %s (error %d)\n", what.c_str(), error_message(env, code).c_str(), code);
  out->fail(kExitFileError, code, what + ": " + error_message(env, code));
  return out->exit_code;
}

std::vector<std::string> names(pTVmodel model, int count, bool columns) {
  std::vector<std::string> out(count);
  std::vector<char> buf(1 << 16);
  for (int k = 0; k < count; ++k) {
    buf[0] = '\0';
    if ((columns ? TVgetVariableNamej(model, k, buf.data()) : TVgetConstraintNamei(model, k, buf.data())) != 0 ||
        !buf[0])
      std::snprintf(buf.data(), buf.size(), columns ? "C%07d" : "R%07d", k);
    out[k] = buf.data();
  }
  return out;
}

void print_ranges(pTVmodel model, int n, int m) {
  std::vector<double> cdec(n), cinc(n), bdec(m), binc(m);
  if (TVgetObjectiveRanges(model, cdec.data(), cinc.data()) != 0 ||
      TVgetRHSRanges(model, bdec.data(), binc.data()) != 0) {
    std::printf("\nRanges     : not available (no optimal basis)\n");
    return;
  }
  auto value = [](double v) { return v >= 1e30 ? std::string("inf") : std::to_string(v); };
  const std::vector<std::string> cols = names(model, n, true), rows = names(model, m, false);
  std::printf("\nCost ranges\n  %-24s %20s %20s\n", "Column", "Decrease", "Increase");
  for (int j = 0; j < n; ++j)
    std::printf("  %-24s %20s %20s\n", cols[j].c_str(), value(cdec[j]).c_str(), value(cinc[j]).c_str());
  std::printf("\nRight-hand-side ranges\n  %-24s %20s %20s\n", "Row", "Decrease", "Increase");
  for (int i = 0; i < m; ++i)
    std::printf("  %-24s %20s %20s\n", rows[i].c_str(), value(bdec[i]).c_str(), value(binc[i]).c_str());
}

}  // namespace

int load_start_basis(pTVenv env, pTVmodel model, const Options &opts, Outcome *out) {
  if (opts.read_basis.empty()) return 0;
  const int code = TVreadBasis(model, opts.read_basis.c_str(), 1);
  if (code != 0) return file_failure(env, "cannot read basis file '" + opts.read_basis + "'", code, out);
  std::printf("\nBasis      : %s\n", opts.read_basis.c_str());
  return 0;
}

void print_solution(pTVmodel model, const Options &opts) {
  int n = 0, m = 0;
  TVgetInfo(model, TV_IINFO_NUM_VARS, &n);
  TVgetInfo(model, TV_IINFO_NUM_CONS, &m);
  std::vector<double> x(n > 0 ? n : 1);
  // The integer solution when there is one, else the continuous one.
  if (TVgetMIPPrimalSolution(model, x.data()) != 0 && TVgetPrimalSolution(model, x.data()) != 0) return;
  const std::vector<std::string> cols = names(model, n, true);
  std::printf("\n%s\n  %-24s %24s\n", opts.print_all ? "Columns" : "Nonzero columns", "Name", "Value");
  for (int j = 0; j < n; ++j)
    if (opts.print_all || x[j] != 0) std::printf("  %-24s %24.12g\n", cols[j].c_str(), x[j]);
  if (opts.ranging) print_ranges(model, n, m);
}

int write_results(pTVenv env, pTVmodel model, const Options &opts, Outcome *out) {
  if (!opts.write_solution.empty()) {
    if (opts.ranging) TVsetModelIntParameter(model, TV_IPARAM_SOL_REPORT_STYLE, 2);
    const int code = TVwriteSolution(model, opts.write_solution.c_str());
    if (code != 0) return file_failure(env, "cannot write solution file '" + opts.write_solution + "'", code, out);
    std::printf("\nWrote %s (solution)\n", opts.write_solution.c_str());
  }
  if (!opts.write_basis.empty()) {
    // -1: binary, built from the solution when the solve left no basis (an integer search).
    const int code = TVwriteBasis(model, opts.write_basis.c_str(), -1);
    if (code != 0) return file_failure(env, "cannot write basis file '" + opts.write_basis + "'", code, out);
    std::printf("\nWrote %s (basis)\n", opts.write_basis.c_str());
  }
  return 0;
}

}  // namespace runtarvo
