// What one runtarvo run ended with: the exit status (documented in --help),
// the library code and message of a failure, and the solve's results, printed
// as the --json line for every outcome.
#pragma once

#include <string>

#include "tarvo.h"

namespace runtarvo {

// Exit statuses.
enum Exit : int {
  kExitOk = 0,          // the answer asked for was produced (a final model status included)
  kExitFileError = 1,   // a model, parameter, basis or output file could not be read or written
  kExitUsage = 2,       // the command line is wrong
  kExitStopped = 3,     // the solver stopped at a limit or interruption without a final answer
  kExitSolverError = 4, // the solver failed (numerical trouble, model kind not supported, ...)
};

struct Outcome {
  int exit_code = kExitOk;
  int error = 0;            // library return code of the failure, 0 when none
  std::string message;      // one line on the failure, empty when none
  bool solved = false;      // a solve ran: the fields below are set
  int status = 0;
  const char *status_text = "";
  bool has_objective = false;
  double objective = 0;
  int iterations = 0;
  double seconds = 0;
  // An integer search reports its bound, gap and counts in place of iterations.
  bool mip = false;
  bool has_bound = false, has_gap = false;
  double bound = 0, gap = 0;
  int nodes = 0, lps = 0;
  // --iis: the counts of the set written (iis_rows < 0: no analysis ran).
  int iis_rows = -1, iis_bounds = 0, iis_ints = 0;

  // Records a failure (the first one wins).
  void fail(int exit, int code, const std::string &why);
};

// The library's text of a return code.
std::string error_message(pTVenv env, int code);

// The --json line: {"status", "status_text", "objective", "iterations", "time",
// "error", "exit_code", "message"} ("bound", "gap", "nodes", "lps" in place of
// "iterations" for an integer search; "iis" {"rows", "bounds", "ints"} after
// an IIS analysis); fields without a value are null.
void print_json(const Outcome &o);

}  // namespace runtarvo
