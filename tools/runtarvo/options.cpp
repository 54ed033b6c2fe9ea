#include "options.hpp"

#include <cstdlib>
#include <cstring>

namespace runtarvo {

const char *usage_text() {
  return "Usage: runtarvo [options] [MODEL]\n"
         "\n"
         "Reads MODEL, applies the parameter file and the command-line parameters,\n"
         "and reports what the engine does with it.\n"
         "\n"
         "Options:\n"
         "  --help                 show this help and exit\n"
         "  --version              show the library version and build and exit\n"
         "  --param-file FILE      read parameters from FILE (default: tarvo.par when it exists)\n"
         "  --param NAME=VALUE     set one parameter by its macro name, e.g.\n"
         "                         --param TV_IPARAM_LP_PRINTLEVEL=3 (may be repeated)\n"
         "  --write-params FILE    write the parameter file of the current settings to FILE\n"
         "  --mps-format FORMAT    layout of an MPS model file: free, fixed or auto (default:\n"
         "                         free, and fixed when the free reading finds a format error)\n"
         "  --write-mps FILE       write the model that was read to FILE as MPS (free format)\n"
         "  --fixed                with --write-mps, write fixed-format MPS\n"
         "  --read-only            read the model and report its size, do not solve it\n"
         "  --format F             model file format: mps, lp or ltx (default: by the file's\n"
         "                         extension in any letter case, .gz allowed)\n"
         "  --write-ltx FILE       write the model that was read to FILE in TARVO text format\n"
         "  --write-lp FILE        write the model that was read to FILE in LP format\n"
         "  --iis FILE             when the model is infeasible, find an irreducible infeasible\n"
         "                         set of rows, bounds and integrality restrictions and write it\n"
         "                         to FILE (TARVO text; MPS when FILE ends in .mps); the\n"
         "                         TV_IPARAM_IIS_* parameters choose the method and level\n"
         "  --write-solution FILE  write the solution report to FILE\n"
         "  --write-basis FILE     write the final basis to FILE (binary; for an integer model the\n"
         "                         statuses of its integer solution)\n"
         "  --read-basis FILE      start from the basis in FILE (binary, as written above)\n"
         "  --ranging              print cost and right-hand-side ranges (and put them in the\n"
         "                         solution report)\n"
         "  --print-all            print every column's value (default: nonzero ones)\n"
         "  --method M             LP method: free (default), primal or dual\n"
         "  --time-limit S         stop after S seconds\n"
         "  --iter-limit N         stop after N simplex iterations\n"
         "  --threads N            number of threads\n"
         "  --print-level N        LP print level (0 quiet)\n"
         "  --mip-gap REL          relative gap at which an integer search stops\n"
         "  --node-limit N         stop the integer search after N branches\n"
         "  --json                 end with one line of JSON: status, status_text, objective,\n"
         "                         iterations, time, error, exit_code, message (for every\n"
         "                         outcome, failures included; integer models: bound, gap,\n"
         "                         nodes and lps in place of iterations; with --iis also\n"
         "                         iis: rows, bounds, ints)\n"
         "\n"
         "Exit status:\n"
         "  0  the answer asked for was produced: a final model status (optimal, infeasible,\n"
         "     unbounded), the model read with --read-only, --help or --version\n"
         "  1  a model, parameter, basis or output file could not be read or written\n"
         "  2  the command line is wrong (unknown option, model format not recognised)\n"
         "  3  the solver stopped at a limit or interruption without a final answer (an\n"
         "     integer search stopped with a feasible solution counts as an answer; an IIS\n"
         "     search stopped by a limit writes its partial set and exits with 3)\n"
         "  4  the solver failed (numerical trouble, model kind not supported by this build)\n";
}

bool parse_options(int argc, char **argv, Options *opts, std::string *error) {
  for (int i = 1; i < argc; ++i) {
    const char *arg = argv[i];
    auto need_value = [&](const char *name) -> const char * {
      if (i + 1 >= argc) {
        *error = std::string("option ") + name + " needs a value";
        return nullptr;
      }
      return argv[++i];
    };
    if (!std::strcmp(arg, "--help") || !std::strcmp(arg, "-h")) {
      opts->help = true;
    } else if (!std::strcmp(arg, "--version")) {
      opts->version = true;
    } else if (!std::strcmp(arg, "--param-file")) {
      const char *v = need_value(arg);
      if (!v) return false;
      opts->param_file = v;
      opts->param_file_given = true;
    } else if (!std::strcmp(arg, "--param")) {
      const char *v = need_value(arg);
      if (!v) return false;
      const char *eq = std::strchr(v, '=');
      if (!eq || eq == v || !eq[1]) {
        *error = std::string("--param expects NAME=VALUE, got '") + v + "'";
        return false;
      }
      opts->params.emplace_back(std::string(v, eq - v), std::string(eq + 1));
    } else if (!std::strcmp(arg, "--write-params")) {
      const char *v = need_value(arg);
      if (!v) return false;
      opts->write_params = v;
    } else if (!std::strcmp(arg, "--json")) {
      opts->json = true;
    } else if (!std::strcmp(arg, "--method")) {
      const char *v = need_value(arg);
      if (!v) return false;
      if (!std::strcmp(v, "free")) opts->method = 0;
      else if (!std::strcmp(v, "primal")) opts->method = 1;
      else if (!std::strcmp(v, "dual")) opts->method = 2;
      else {
        *error = std::string("--method expects free, primal or dual, got '") + v + "'";
        return false;
      }
    } else if (!std::strcmp(arg, "--time-limit") || !std::strcmp(arg, "--iter-limit") ||
               !std::strcmp(arg, "--threads") || !std::strcmp(arg, "--print-level") ||
               !std::strcmp(arg, "--mip-gap") || !std::strcmp(arg, "--node-limit")) {
      const char *v = need_value(arg);
      if (!v) return false;
      char *end = nullptr;
      double x = std::strtod(v, &end);
      if (end == v || *end != '\0' || !(x >= 0) || x > 1e15) {
        *error = std::string(arg) + " expects a non-negative number, got '" + v + "'";
        return false;
      }
      if (!std::strcmp(arg, "--time-limit")) opts->time_limit = x;
      else if (!std::strcmp(arg, "--iter-limit")) opts->iter_limit = x;
      else if (!std::strcmp(arg, "--threads")) opts->threads = static_cast<int>(x);
      else if (!std::strcmp(arg, "--mip-gap")) opts->mip_gap = x;
      else if (!std::strcmp(arg, "--node-limit")) opts->node_limit = x;
      else opts->print_level = static_cast<int>(x);
    } else if (!std::strcmp(arg, "--mps-format")) {
      const char *v = need_value(arg);
      if (!v) return false;
      if (std::strcmp(v, "free") && std::strcmp(v, "fixed") && std::strcmp(v, "auto")) {
        *error = std::string("--mps-format expects free, fixed or auto, got '") + v + "'";
        return false;
      }
      opts->mps_format = v;
    } else if (!std::strcmp(arg, "--write-mps")) {
      const char *v = need_value(arg);
      if (!v) return false;
      opts->write_mps = v;
    } else if (!std::strcmp(arg, "--fixed")) {
      opts->fixed = true;
    } else if (!std::strcmp(arg, "--read-only")) {
      opts->read_only = true;
    } else if (!std::strcmp(arg, "--ranging")) {
      opts->ranging = true;
    } else if (!std::strcmp(arg, "--print-all")) {
      opts->print_all = true;
    } else if (!std::strcmp(arg, "--format")) {
      const char *v = need_value(arg);
      if (!v) return false;
      if (std::strcmp(v, "mps") && std::strcmp(v, "lp") && std::strcmp(v, "ltx")) {
        *error = std::string("--format expects mps, lp or ltx, got '") + v + "'";
        return false;
      }
      opts->format = v;
    } else if (!std::strcmp(arg, "--write-solution") || !std::strcmp(arg, "--write-basis") ||
               !std::strcmp(arg, "--read-basis") || !std::strcmp(arg, "--write-ltx") ||
               !std::strcmp(arg, "--write-lp") || !std::strcmp(arg, "--iis")) {
      const char *v = need_value(arg);
      if (!v) return false;
      std::string *target = !std::strcmp(arg, "--write-solution") ? &opts->write_solution
                            : !std::strcmp(arg, "--write-basis")  ? &opts->write_basis
                            : !std::strcmp(arg, "--read-basis")   ? &opts->read_basis
                            : !std::strcmp(arg, "--write-lp")     ? &opts->write_lp
                            : !std::strcmp(arg, "--iis")          ? &opts->iis_file
                                                                  : &opts->write_ltx;
      *target = v;
    } else if (arg[0] == '-' && arg[1] != '\0') {
      *error = std::string("unknown option '") + arg + "' (see --help)";
      return false;
    } else if (opts->model_file.empty()) {
      opts->model_file = arg;
    } else {
      *error = std::string("more than one model file given ('") + opts->model_file + "' and '" + arg + "')";
      return false;
    }
  }
  return true;
}

}  // namespace runtarvo
