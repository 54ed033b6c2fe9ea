// Command-line options of the runtarvo driver.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace runtarvo {

struct Options {
  bool help = false;
  bool version = false;
  std::string model_file;
  std::string param_file;        // empty: tarvo.par when it exists
  bool param_file_given = false;
  std::vector<std::pair<std::string, std::string>> params;  // NAME=VALUE in order
  std::string write_params;
  int method = 0;             // TV_METHOD_FREE, PSIMPLEX or DSIMPLEX
  double time_limit = -1;     // seconds, negative: none
  double iter_limit = -1;     // negative: none
  int threads = -1;           // negative: parameter default
  double mip_gap = -1;        // relative gap of an integer search, negative: parameter default
  double node_limit = -1;     // branches of an integer search, negative: none
  int print_level = -1;       // negative: parameter default
  bool json = false;          // last line: one JSON summary object
  std::string mps_format = "auto";  // free, fixed or auto (free, then fixed on a format error)
  std::string write_mps;            // write the model read back as MPS
  bool fixed = false;               // --write-mps in fixed format
  bool read_only = false;           // read (and write) the model, do not solve it
  std::string format;               // mps, lp or ltx; empty: by the file's extension
  std::string write_solution;       // solution report after the solve
  std::string write_basis, read_basis;  // binary basis files
  std::string write_ltx;            // write the model read as TARVO text
  std::string write_lp;             // write the model read as LP-format text
  std::string iis_file;             // an infeasible model's IIS (TARVO text, or MPS by extension)
  bool ranging = false;             // print ranges (and write them into the solution report)
  bool print_all = false;           // print every column's value, not only the nonzero ones
};

// Parses argv; false with a one-line reason in *error.
bool parse_options(int argc, char **argv, Options *opts, std::string *error);

const char *usage_text();

}  // namespace runtarvo
