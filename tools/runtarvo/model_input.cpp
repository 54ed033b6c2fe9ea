#include "model_input.hpp"

#include <cctype>
#include <cstdio>

#include "common/printable.hpp"

namespace runtarvo {
namespace {

std::string lower_case(std::string s) {
  for (char &c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

bool ends_with(const std::string &s, const std::string &suffix) {
  return s.size() > suffix.size() && s.compare(s.size() - suffix.size(), suffix.size(), suffix) == 0;
}

void collect_log(pTVmodel, const char *text, void *data) { *static_cast<std::string *>(data) += text; }


// MPS: "auto" reads free format first and, when that finds a format error,
// reads the file again as fixed format into a fresh model with the same parameters.
int read_mps(pTVenv env, pTVmodel *model, const std::string &path, const std::string &layout) {
  if (layout != "auto") return TVreadMPSFile(*model, path.c_str(), layout == "fixed" ? 1 : 0);
  std::string log;
  TVsetModelLogfunc(*model, collect_log, &log);
  int code = TVreadMPSFile(*model, path.c_str(), 0);
  TVsetModelLogfunc(*model, print_log, nullptr);
  if (code != 2003) {
    std::fputs(log.c_str(), stdout);
    return code;
  }
  pTVmodel fresh = TVcreateModel(env, &code);
  if (!fresh) return code;
  TVcopyParam(*model, fresh, 0);
  TVsetModelLogfunc(fresh, print_log, nullptr);
  TVsetModelLogMode(fresh, TV_LOGMODE_LINES);
  TVdeleteModel(model);
  *model = fresh;
  return TVreadMPSFile(*model, path.c_str(), 1);
}

}  // namespace

// Log text can quote model files; their control bytes must not reach the terminal.
void print_log(pTVmodel, const char *text, void *) {
  std::fputs(tarvo::common::printable(text, std::string::npos, true).c_str(), stdout);
  std::fflush(stdout);
}

ModelFormat model_format(const std::string &path, const std::string &forced) {
  const std::string f = lower_case(forced);
  if (f == "mps") return ModelFormat::kMps;
  if (f == "lp") return ModelFormat::kLp;
  if (f == "ltx") return ModelFormat::kLtx;
  std::string name = lower_case(path);
  if (ends_with(name, ".gz")) name.resize(name.size() - 3);
  if (ends_with(name, ".mps")) return ModelFormat::kMps;
  if (ends_with(name, ".lp")) return ModelFormat::kLp;
  if (ends_with(name, ".ltx")) return ModelFormat::kLtx;
  return ModelFormat::kUnknown;
}

int read_model(pTVenv env, pTVmodel *model, const Options &opts, Outcome *out) {
  const std::string &path = opts.model_file;
  int code = 0;
  switch (model_format(path, opts.format)) {
    case ModelFormat::kMps: code = read_mps(env, model, path, opts.mps_format); break;
    case ModelFormat::kLp: code = TVreadLPFile(*model, path.c_str()); break;
    case ModelFormat::kLtx: code = TVreadTARVOFile(*model, path.c_str()); break;
    default: {
      const std::string why = "cannot tell the format of '" + tarvo::common::printable(path, 200) +
                              "' from its name (use --format mps, lp or ltx)";
      std::fprintf(stderr, "runtarvo: %s\n", why.c_str());
      out->fail(kExitUsage, 0, why);
      return out->exit_code;
    }
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
    const std::string why = "cannot read '" + tarvo::common::printable(path, 200) + "'";
    std::fprintf(stderr, "runtarvo: %s: %s (error %d)\n", why.c_str(), error_message(env, code).c_str(), code);
    out->fail(kExitFileError, code, why + ": " + error_message(env, code));
    return out->exit_code;
  }
  int n = 0, m = 0, nz = 0;
  TVgetDimensions(*model, &n, &m, nullptr, &nz, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr);
  std::printf("\nModel      : %s, %d rows, %d columns, %d nonzeros\n", tarvo::common::printable(path, 200).c_str(), m,
              n, nz);
  return 0;
}

}  // namespace runtarvo
