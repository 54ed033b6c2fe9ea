// runtarvo: the command-line driver of the engine. It creates an environment
// and a model, applies parameters from a file and the command line, and
// reports on the model it is given.
#include <sys/stat.h>

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "common/printable.hpp"
#include "options.hpp"
#include "solve_lp.hpp"
#include "tarvo.h"

namespace {

// Log text can quote model files; their control bytes must not reach the terminal.
void print_log(pTVmodel, const char *text, void *) {
  std::fputs(tarvo::common::printable(text, std::string::npos, true).c_str(), stdout);
  std::fflush(stdout);
}

std::string message(pTVenv env, int code) {
  char text[256];
  TVgetErrorMessage(env, code, text);
  return text;
}

int fail(pTVenv env, const std::string &what, int code) {
  std::fprintf(stderr, "runtarvo: %s: %s (error %d)\n", tarvo::common::printable(what, 400).c_str(),
               message(env, code).c_str(), code);
  return 1;
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

void print_version(pTVenv env) {
  char version[64], build[1024], ccom[2048];
  TVgetVersionInfo(version, build);
  TVgetCComInfo(env, ccom, 0);
  std::printf("TARVO engine %s\n%s\nCompiled with %s\n", version, build, ccom);
}

// Reports what can be said about a model file before it is read.
int describe_model(pTVenv env, const std::string &path) {
  struct stat st;
  if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return fail(env, "cannot open '" + path + "'", 2002);
  FILE *f = std::fopen(path.c_str(), "r");
  if (!f) return fail(env, "cannot open '" + path + "'", 2002);
  char line[256];
  std::string name = "(none)";
  long lines = 0;
  while (std::fgets(line, sizeof line, f)) {
    ++lines;
    if (std::strncmp(line, "NAME", 4) == 0) {
      char title[256] = {0};
      if (std::sscanf(line + 4, "%255s", title) == 1) name = title;
    }
  }
  std::fclose(f);
  char version[64];
  TVgetVersionInfo(version, nullptr);
  std::printf("TARVO engine %s\n", version);
  std::printf("Model file : %s\n", tarvo::common::printable(path, 200).c_str());
  std::printf("Size       : %lld bytes, %ld lines\n", static_cast<long long>(st.st_size), lines);
  std::printf("Name       : %s\n", tarvo::common::printable(name).c_str());
  std::printf("Reading and solving model files is not available in this build yet.\n");
  return 0;
}

void collect_log(pTVmodel, const char *text, void *data) { *static_cast<std::string *>(data) += text; }

// Reads an MPS file into *model. "auto" reads free format first and, when
// that finds a format error, reads the file again as fixed format into a
// fresh model with the same parameters. A failure names the file, the line
// and its text.
int read_mps(pTVenv env, pTVmodel *model, const std::string &path, const std::string &layout) {
  int code = 0;
  if (layout == "auto") {
    std::string log;
    TVsetModelLogfunc(*model, collect_log, &log);
    code = TVreadMPSFile(*model, path.c_str(), 0);
    TVsetModelLogfunc(*model, print_log, nullptr);
    if (code != 2003) {
      std::fputs(log.c_str(), stdout);
    } else {
      pTVmodel fresh = TVcreateModel(env, &code);
      if (!fresh) return fail(env, "cannot create a model", code);
      TVcopyParam(*model, fresh, 0);
      TVsetModelLogfunc(fresh, print_log, nullptr);
      TVsetModelLogMode(fresh, TV_LOGMODE_LINES);
      TVdeleteModel(model);
      *model = fresh;
      code = TVreadMPSFile(*model, path.c_str(), 1);
    }
  } else {
    code = TVreadMPSFile(*model, path.c_str(), layout == "fixed" ? 1 : 0);
  }
  if (code != 0) {
    unsigned line = 0;
    char text[512] = "";
    TVgetFileError(*model, &line, text);
    std::fputs("\n", stdout);
    std::fflush(stdout);
    if (line > 0 || text[0])
      std::fprintf(stderr, "runtarvo: %s:%u: %s\n", tarvo::common::printable(path, 200).c_str(), line,
                   tarvo::common::printable(text).c_str());
    return fail(env, "cannot read '" + path + "'", code);
  }
  int n = 0, m = 0, nz = 0;
  TVgetDimensions(*model, &n, &m, nullptr, &nz, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr);
  std::printf("\nModel      : %s, %d rows, %d columns, %d nonzeros\n", tarvo::common::printable(path, 200).c_str(), m,
              n, nz);
  return 0;
}

int run(const runtarvo::Options &opts) {
  int code = 0;
  pTVenv env = TVcreateEnv(&code, nullptr);
  if (!env) return fail(nullptr, "cannot create the environment", code);
  pTVmodel model = TVcreateModel(env, &code);
  if (!model) {
    TVdeleteEnv(&env);
    return fail(nullptr, "cannot create a model", code);
  }
  int status = 0;
  TVsetModelLogfunc(model, print_log, nullptr);
  TVsetModelLogMode(model, TV_LOGMODE_LINES);  // whole lines, no solver-internal hashes
  std::string param_file = opts.param_file_given ? opts.param_file : "tarvo.par";
  if (opts.param_file_given || file_exists(param_file.c_str())) {
    if (!file_exists(param_file.c_str())) {
      status = fail(env, "cannot read parameter file '" + param_file + "'", 2002);
    } else {
      code = TVreadModelParameter(model, param_file.c_str());
      if (code != 0 && code != 2011) status = fail(env, "parameter file '" + param_file + "'", code);
    }
  }
  for (const auto &kv : opts.params) {
    if (status != 0) break;
    std::string why;
    code = apply_param(env, model, kv.first, kv.second, &why);
    if (code != 0) status = fail(env, why, code);
  }
  if (status == 0 && !opts.write_params.empty()) {
    code = TVwriteModelParameter(model, opts.write_params.c_str());
    if (code != 0) status = fail(env, "cannot write '" + opts.write_params + "'", code);
    else std::printf("\n");
  }
  if (status == 0 && opts.version) print_version(env);
  if (status == 0 && !opts.model_file.empty()) {
    // MPS files (plain or gzip) are read and solved; other files are described.
    const std::string &f = opts.model_file;
    auto ends_with = [&](const char *suffix) {
      std::size_t k = std::strlen(suffix);
      return f.size() >= k && f.compare(f.size() - k, k, suffix) == 0;
    };
    if (ends_with(".mps") || ends_with(".mps.gz")) {
      status = read_mps(env, &model, f, opts.mps_format);
      if (status == 0 && !opts.write_mps.empty()) {
        code = TVwriteMPSFile(model, opts.write_mps.c_str(), opts.fixed ? 1 : 0);
        if (code != 0) status = fail(env, "cannot write '" + opts.write_mps + "'", code);
        else std::printf("\nWrote %s (%s MPS)\n", opts.write_mps.c_str(), opts.fixed ? "fixed" : "free");
      }
      if (status == 0 && !opts.read_only) status = runtarvo::solve_and_report(env, model, opts);
    } else {
      status = describe_model(env, f);
    }
  }
  TVdeleteModel(&model);
  TVdeleteEnv(&env);
  return status;
}

}  // namespace

int main(int argc, char **argv) {
  runtarvo::Options opts;
  std::string error;
  if (!runtarvo::parse_options(argc, argv, &opts, &error)) {
    std::fprintf(stderr, "runtarvo: %s\n", tarvo::common::printable(error, 400).c_str());
    return 2;
  }
  if (opts.help) {
    std::fputs(runtarvo::usage_text(), stdout);
    return 0;
  }
  if (!opts.version && opts.model_file.empty() && opts.params.empty() && opts.write_params.empty() &&
      !opts.param_file_given) {
    std::fputs(runtarvo::usage_text(), stdout);
    return 0;
  }
  return run(opts);
}
