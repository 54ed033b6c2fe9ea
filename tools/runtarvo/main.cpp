// runtarvo: the command-line driver of the engine. It creates an environment
// and a model, applies parameters from a file and the command line, reads
// the model file, solves it and reports and writes the results.
#include <sys/stat.h>

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "common/printable.hpp"
#include "iis_output.hpp"
#include "model_input.hpp"
#include "options.hpp"
#include "outcome.hpp"
#include "solution_output.hpp"
#include "solve_lp.hpp"
#include "tarvo.h"

namespace {

int fail(pTVenv env, const std::string &what, int code, runtarvo::Outcome *out) {
  std::fprintf(stderr, "runtarvo: %s: %s (error %d)\n", tarvo::common::printable(what, 400).c_str(),
               runtarvo::error_message(env, code).c_str(), code);
  out->fail(runtarvo::kExitFileError, code, what + ": " + runtarvo::error_message(env, code));
  return out->exit_code;
}

bool file_exists(const char *path) {
  struct stat st;
  return ::stat(path, &st) == 0 && S_ISREG(st.st_mode);
}

// Sets one parameter given by macro name; the value is checked against its type.
int apply_param(pTVenv env, pTVmodel model, const std::string &name, const std::string &text,
                std::string *why) {
  int type = 0, id = 0;
  int code = TVgetParamMacroID(env, name.c_str(), &type, &id);
  if (code != 0) {
    *why = "unknown parameter '" + name + "'";
    return code;
  }
  char *end = nullptr;
  errno = 0;
  if (type == TV_PARAM_TYPE_INT) {
    long v = std::strtol(text.c_str(), &end, 10);
    if (*end != '\0' || errno != 0 || v < -2147483648L || v > 2147483647L) {
      *why = "'" + text + "' is not a whole number for " + name;
      return 2025;
    }
    code = TVsetModelIntParameter(model, id, static_cast<int>(v));
  } else {
    double v = std::strtod(text.c_str(), &end);
    if (*end != '\0' || errno != 0 || std::isnan(v)) {
      *why = "'" + text + "' is not a number for " + name;
      return 2025;
    }
    code = TVsetModelDouParameter(model, id, v);
  }
  if (code != 0) *why = "cannot set " + name + " to " + text;
  return code;
}

void print_version() {
  char version[64], build[1024], ccom[2048] = "";
  TVgetVersionInfo(version, build);
  int code = 0;
  if (pTVenv env = TVcreateEnv(&code, nullptr)) {
    TVgetCComInfo(env, ccom, 0);
    TVdeleteEnv(&env);
  }
  std::printf("TARVO engine %s\n%s\nCompiled with %s\n", version, build, ccom);
}

// The model's part of a run: read, write back, solve, print and write results.
int process_model(pTVenv env, pTVmodel *model, const runtarvo::Options &opts, runtarvo::Outcome *out) {
  if (int status = runtarvo::read_model(env, model, opts, out)) return status;
  if (!opts.write_mps.empty()) {
    const int code = TVwriteMPSFile(*model, opts.write_mps.c_str(), opts.fixed ? 1 : 0);
    if (code != 0) return fail(env, "cannot write '" + opts.write_mps + "'", code, out);
    std::printf("\nWrote %s (%s MPS)\n", opts.write_mps.c_str(), opts.fixed ? "fixed" : "free");
  }
  if (!opts.write_ltx.empty()) {
    const int code = TVwriteTARVOFile(*model, opts.write_ltx.c_str());
    if (code != 0) return fail(env, "cannot write '" + opts.write_ltx + "'", code, out);
    std::printf("\nWrote %s (TARVO text)\n", opts.write_ltx.c_str());
  }
  if (!opts.write_lp.empty()) {
    const int code = TVwriteLPFile(*model, opts.write_lp.c_str());
    if (code != 0) return fail(env, "cannot write '" + opts.write_lp + "'", code, out);
    std::printf("\nWrote %s (LP format)\n", opts.write_lp.c_str());
  }
  if (opts.read_only) return 0;
  if (int status = runtarvo::load_start_basis(env, *model, opts, out)) return status;
  const int solve_status = runtarvo::solve_and_report(env, *model, opts, out);
  runtarvo::print_solution(*model, opts);
  // Files are written whenever there is something to write, even after a limit.
  runtarvo::write_results(env, *model, opts, out);
  if (!opts.iis_file.empty() && solve_status == 0) runtarvo::find_and_write_iis(env, *model, opts, out);
  return out->exit_code;
}

int run(const runtarvo::Options &opts, runtarvo::Outcome *out) {
  int code = 0;
  pTVenv env = TVcreateEnv(&code, nullptr);
  if (!env) return fail(nullptr, "cannot create the environment", code, out);
  pTVmodel model = TVcreateModel(env, &code);
  if (!model) {
    TVdeleteEnv(&env);
    return fail(nullptr, "cannot create a model", code, out);
  }
  int status = 0;
  TVsetModelLogfunc(model, runtarvo::print_log, nullptr);
  TVsetModelLogMode(model, TV_LOGMODE_LINES);  // whole lines, no solver-internal hashes
  std::string param_file = opts.param_file_given ? opts.param_file : "tarvo.par";
  if (opts.param_file_given || file_exists(param_file.c_str())) {
    if (!file_exists(param_file.c_str())) {
      status = fail(env, "cannot read parameter file '" + param_file + "'", 2002, out);
    } else {
      code = TVreadModelParameter(model, param_file.c_str());
      if (code != 0 && code != 2011) status = fail(env, "parameter file '" + param_file + "'", code, out);
    }
  }
  for (const auto &kv : opts.params) {
    if (status != 0) break;
    std::string why;
    code = apply_param(env, model, kv.first, kv.second, &why);
    if (code != 0) status = fail(env, why, code, out);
  }
  if (status == 0 && !opts.write_params.empty()) {
    code = TVwriteModelParameter(model, opts.write_params.c_str());
    if (code != 0) status = fail(env, "cannot write '" + opts.write_params + "'", code, out);
    else std::printf("\n");
  }
  if (status == 0 && !opts.model_file.empty()) status = process_model(env, &model, opts, out);
  TVdeleteModel(&model);
  TVdeleteEnv(&env);
  return status;
}

}  // namespace

int main(int argc, char **argv) {
  runtarvo::Options opts;
  runtarvo::Outcome outcome;
  std::string error;
  if (!runtarvo::parse_options(argc, argv, &opts, &error)) {
    std::fprintf(stderr, "runtarvo: %s\n", tarvo::common::printable(error, 400).c_str());
    outcome.fail(runtarvo::kExitUsage, 0, error);
    for (int i = 1; i < argc; ++i)
      if (!std::strcmp(argv[i], "--json")) runtarvo::print_json(outcome);
    return outcome.exit_code;
  }
  if (opts.help) {
    std::fputs(runtarvo::usage_text(), stdout);
    return 0;
  }
  if (opts.version) {
    print_version();
    return 0;
  }
  if (opts.model_file.empty() && opts.params.empty() && opts.write_params.empty() && !opts.param_file_given) {
    std::fputs(runtarvo::usage_text(), stdout);
    return 0;
  }
  const int status = run(opts, &outcome);
  if (opts.json) runtarvo::print_json(outcome);
  return status;
}
