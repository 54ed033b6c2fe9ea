// Parameter files: the writer produces a commented listing of every parameter
// with its long description; the reader takes "NAME = value" lines.
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <sys/stat.h>
#include <vector>

#include "params/param_store.hpp"
#include "common/boundary.hpp"
#include "common/printable.hpp"
#include "common/text_lines.hpp"
#include "common/error_codes.hpp"

using namespace tarvo::base;

namespace {

constexpr int kMaxLine = 255;

// Logs through the model's log or, for an environment target, the env log.
void target_log(ParamTarget t, const char *format, ...) __attribute__((format(printf, 2, 3)));
void target_log(ParamTarget t, const char *format, ...) {
  va_list args;
  va_start(args, format);
  if (t.model)
    log_model_v(t.model, 1, format, args);
  else
    log_env_v(t.env, env_print_level(*t.env) > 0 ? 1 : 0, format, args);
  va_end(args);
}

// The whole file, one entry per line, each cut to its first 255 characters
// (the rest of an overlong line is dropped, never read as a line of its own).
bool read_lines(const char *path, std::vector<std::string> &lines) {
  FILE *f = std::fopen(path, "r");
  if (!f) return false;
  std::string line;
  int ch;
  bool truncated = false;
  while ((ch = std::fgetc(f)) != EOF) {
    if (ch == '\n') {
      lines.push_back(line);
      line.clear();
      truncated = false;
    } else if (!truncated) {
      if (line.size() < kMaxLine)
        line.push_back(static_cast<char>(ch));
      else
        truncated = true;
    }
  }
  if (!line.empty()) lines.push_back(line);
  std::fclose(f);
  return true;
}

bool is_blank(char ch) { return ch == ' ' || ch == '\t' || ch == '\r'; }

// The first word of a setting line: its parameter name (empty for blank and
// comment lines).
std::string setting_name(const std::string &line) {
  const char *p = line.c_str();
  while (is_blank(*p)) ++p;
  if (*p == '!') return "";
  const char *end = p;
  while (*end && !is_blank(*end) && *end != '=') ++end;
  return std::string(p, end);
}

enum class Setting { kOther, kValue, kBadValue };

// "NAME = value" with optional blanks; the name must end where the text does
// and the value must be a whole number (integers) or a number, with nothing
// but blanks after it: "1.5" for an integer or "3x" is refused, not cut short.
Setting match_setting(const std::string &line, const char *name, unsigned type, int *ival, double *dval,
                      std::string *text) {
  const char *p = line.c_str();
  while (is_blank(*p)) ++p;
  if (*p == '!') return Setting::kOther;
  size_t len = std::strlen(name);
  if (std::strncmp(p, name, len) != 0) return Setting::kOther;
  p += len;
  if (*p && !is_blank(*p) && *p != '=') return Setting::kOther;
  while (is_blank(*p)) ++p;
  if (*p != '=') {
    *text = p;
    return Setting::kBadValue;
  }
  ++p;
  while (is_blank(*p)) ++p;
  *text = p;
  while (!text->empty() && is_blank(text->back())) text->pop_back();
  char *end = nullptr;
  errno = 0;
  if (type == params::kInt) {
    long v = std::strtol(p, &end, 10);
    if (end == p || errno != 0 || v < -2147483647L - 1 || v > 2147483647L) return Setting::kBadValue;
    *ival = static_cast<int>(v);
  } else {
    *dval = std::strtod(p, &end);
    if (end == p || std::isnan(*dval)) return Setting::kBadValue;
  }
  while (is_blank(*end)) ++end;
  return *end ? Setting::kBadValue : Setting::kValue;
}

// The Part-style warning for a setting that could not be applied.
void warn_not_set(ParamTarget t, const char *name, const std::string &value, int code) {
  target_log(t, "\n*** Warning: %s failed to set %s to %s\n", t.model ? "Model" : "Env",
             tarvo::common::printable(name).c_str(), tarvo::common::printable(value).c_str());
  target_log(t, "%s", message_text(t.env, code));
}

// Lines no record of the registry can take: an unknown name (a misspelling
// would otherwise leave the default in force without a word) or no "=".
int report_unknown_names(ParamTarget t, const std::vector<std::string> &lines) {
  int code = 0;
  for (const std::string &line : lines) {
    const std::string name = setting_name(line);
    if (name.empty() || params::find_by_name(name.c_str())) continue;
    const size_t eq = line.find('=');
    std::string value = eq == std::string::npos ? "" : line.substr(eq + 1);
    value.erase(0, value.find_first_not_of(" \t"));
    warn_not_set(t, name.c_str(), value, 2074);
    code = tarvo::err::kBadParamId;
  }
  return code;
}

// Applies every record found in the file; the result is the last setter's code.
int load_parameters(ParamTarget t, const char *file, int nrec, const TVparamRecord *recs) {
  const char *path = file ? file : "tarvo.par";
  std::vector<std::string> lines;
  bool loaded = false;
  int result = 0;
  int file_fault = 0;  // the code of bad values and unknown names when the setters all succeed
  int reported = 0;
  const bool is_model = t.model != nullptr;
  Model *reference = is_model ? t.model->master : nullptr;
  for (int r = 0; r < nrec; ++r) {
    const TVparamRecord &rec = recs[r];
    if (rec.type != params::kInt && rec.type != params::kDouble) return tarvo::err::kIndexOutOfRange;
    if (!rec.szid) continue;
    if (!loaded) {
      if (!read_lines(path, lines)) return tarvo::err::kFileOpen;
      loaded = true;
    }
    int ival = 0;
    double dval = 0;
    std::string text;
    Setting found = Setting::kOther;
    for (const std::string &line : lines)
      if ((found = match_setting(line, rec.szid, rec.type, &ival, &dval, &text)) != Setting::kOther) break;
    if (found == Setting::kOther) continue;
    if (found == Setting::kBadValue) {
      warn_not_set(t, rec.szid, text, 2025);
      file_fault = tarvo::err::kBadInput;
      continue;
    }
    int code = rec.type == params::kInt ? param_set_int(t, rec.id, ival) : param_set_double(t, rec.id, dval);
    result = code;
    if (code != 0) {
      if (code != tarvo::err::kCannotSetParam) {
        if (rec.type == params::kInt)
          target_log(t, "\n*** Warning: %s failed to set %s to %d\n", is_model ? "Model" : "Env", rec.szid, ival);
        else
          target_log(t, "\n*** Warning: %s failed to set %s to %g\n", is_model ? "Model" : "Env", rec.szid, dval);
        target_log(t, "%s", message_text(t.env, code));
      }
      continue;
    }
    if (!rec.name || !*rec.name) continue;
    if (reference) {
      ParamTarget ref = ParamTarget::of(reference);
      if (rec.type == params::kInt) {
        int old = 0;
        if (param_get_int(ref, rec.id, &old) == 0 && old == ival) continue;
      } else {
        double old = 0;
        if (param_get_double(ref, rec.id, &old) == 0 && old == dval) continue;
      }
    }
    if (rec.type == params::kInt)
      target_log(t, "\n%s: %d", rec.name, ival);
    else
      target_log(t, "\n%s: %2.1e", rec.name, dval);
    ++reported;
  }
  if (reported > 0) target_log(t, "\n\n");
  if (loaded) {
    if (int code = report_unknown_names(t, lines)) file_fault = code;
  }
  return result != 0 ? result : file_fault;
}

// A file name made of a number only (digits, sign, point, e and d).
bool names_a_number(const char *name) {
  if (!*name) return false;
  for (const char *p = name; *p; ++p) {
    char c = static_cast<char>(std::tolower(static_cast<unsigned char>(*p)));
    if (!std::isdigit(static_cast<unsigned char>(c)) && c != '+' && c != '-' && c != '.' && c != 'e' && c != 'd')
      return false;
  }
  return true;
}

bool file_exists(const std::string &path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0;
}

// Reads a value for the listing: from the target, else from the environment
// (the line is then written commented out).
bool listing_value(ParamTarget t, const TVparamRecord &rec, double *value, bool *refused) {
  *refused = false;
  int code;
  if (rec.type == params::kInt) {
    int v = 0;
    code = param_get_int(t, rec.id, &v);
    if (code != 0 && t.model) {
      *refused = true;
      code = param_get_int(ParamTarget::of(t.env), rec.id, &v);
    }
    *value = v;
  } else {
    code = param_get_double(t, rec.id, value);
    if (code != 0 && t.model) {
      *refused = true;
      code = param_get_double(ParamTarget::of(t.env), rec.id, value);
    }
  }
  if (code != 0) *refused = true;
  return true;
}

int write_csv_log(ParamTarget t, const char *file) {
  std::string path(file);
  size_t dot = path.rfind('.');
  if (dot != std::string::npos) path.erase(dot);
  path += ".param.csv";
  if (file_exists(path)) return 0;
  FILE *f = std::fopen(path.c_str(), "wt");
  if (!f) return tarvo::err::kFileOpen;
  const TVparamRecord *recs = params::records();
  const int n = params::count();
  for (int i = 0; i < n; ++i)
    if (!params::is_version(recs[i].id)) std::fprintf(f, "%s,", recs[i].szid);
  std::fprintf(f, "\n");
  for (int i = 0; i < n; ++i) {
    if (params::is_version(recs[i].id)) continue;
    double v;
    bool refused;
    listing_value(t, recs[i], &v, &refused);
    if (recs[i].type == params::kInt)
      std::fprintf(f, "%d,", static_cast<int>(v));
    else
      std::fprintf(f, "%g,", v);
  }
  std::fprintf(f, "\n");
  std::fclose(f);
  target_log(t, "\nLogged model parameters to %s", path.c_str());
  return 0;
}

const char *const kBangs = "!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!";

int write_parameters(ParamTarget t, const char *file) {
  if (!file) return tarvo::err::kNullArgument;
  if (names_a_number(file)) return write_csv_log(t, file);
  FILE *f = std::fopen(file, "wt");
  if (!f) return tarvo::err::kFileOpen;
  std::fprintf(f, "%s\n", kBangs);
  std::fprintf(f, "!\n");
  std::fprintf(f, "! This is the parameter file for use with TARVO API %d. Each line contains\n", 1600);
  std::fprintf(f, "! a parameter setting, where by default, all values are commented out with <!>\n");
  std::fprintf(f, "! character. To enable a particular parameter setting, simply remove the <!>\n");
  std::fprintf(f, "! character in front of it.\n");
  std::fprintf(f, "!\n");
  std::fprintf(f, "! You can use TVreadModelParameter() and/or TVreadEnvParameter() functions\n");
  std::fprintf(f, "! to read parameter settings into your application.\n");
  std::fprintf(f, "!\n");
  std::fprintf(f, "! <runtarvo.exe> driver program reads <tarvo.par> file.\n");
  std::fprintf(f, "!\n");
  std::fprintf(f, "%s\n", kBangs);
  const TVparamRecord *recs = params::records();
  const int n = params::count();
  char line[512];
  for (int i = 0; i < n; ++i) {
    const TVparamRecord &rec = recs[i];
    if (params::is_version(rec.id)) continue;
    double v;
    bool refused;
    listing_value(t, rec, &v, &refused);
    bool commented = refused;
    if (rec.type == params::kInt) {
      commented = commented || static_cast<int>(v) == static_cast<int>(rec.val);
      std::snprintf(line, sizeof line, "%s%-42s = %d", commented ? "!" : "", rec.szid, static_cast<int>(v));
    } else {
      commented = commented || std::fabs(v - rec.val) <= 2.220446049250313e-16 || std::fabs(rec.val) >= 1e30;
      std::snprintf(line, sizeof line, "%s%-42s = %g", commented ? "!" : "", rec.szid, v);
    }
    tarvo::common::for_each_line(rec.help ? rec.help : "", [f](const char *text, size_t len) {
      std::fprintf(f, "!%.*s\n", static_cast<int>(len), text);
    });
    std::fprintf(f, "%s\n\n\n", line);
  }
  std::fclose(f);
  target_log(t, "\nWritten model parameters to %s", file);
  return 0;
}

}  // namespace

extern "C" {

TVAPI int TVloadModelParameter(pTVmodel model, const char *fileName, int nRecords, const TVparamRecord *records) {
  if (!live(model) || !fileName) return tarvo::err::kNullArgument;
  if (nRecords > 0 && !records) return tarvo::err::kNullArgument;
  return tarvo::guarded([&] {
    ParamTarget t = ParamTarget::of(model);
    if (model->hooks.logfunc) log_model(model, 1, "\nReading model parameters from %s", fileName);
    return load_parameters(t, fileName, nRecords, records);
  });
}

TVAPI int TVloadEnvParameter(pTVenv env, const char *fileName, int nRecords, const TVparamRecord *records) {
  if (!live(env) || !fileName) return tarvo::err::kNullArgument;
  if (nRecords > 0 && !records) return tarvo::err::kNullArgument;
  return tarvo::guarded([&] {
    ParamTarget t = ParamTarget::of(env);
    if (env->logfunc) log_env(env, 1, "\nReading environment parameters from %s", fileName);
    return load_parameters(t, fileName, nRecords, records);
  });
}

TVAPI int TVreadModelParameter(pTVmodel model, const char *fileName) {
  if (!live(model) || !fileName) return tarvo::err::kNullArgument;
  int code = TVloadModelParameter(model, fileName, params::count(), params::records());
  if (code != 0) log_model_warning(model, code);
  return code;
}

TVAPI int TVreadEnvParameter(pTVenv env, const char *fileName) {
  if (!live(env) || !fileName) return tarvo::err::kNullArgument;
  int code = TVloadEnvParameter(env, fileName, params::count(), params::records());
  if (code != 0)
    log_env(env, env_print_level(*env) >= 1 ? 1 : 0, "\nWarning: %s (error:%d)", message_text(env, code), code);
  return code;
}

TVAPI int TVwriteModelParameter(pTVmodel model, const char *fileName) {
  if (!live(model)) return tarvo::err::kNullArgument;
  return tarvo::guarded([&] { return write_parameters(ParamTarget::of(model), fileName); });
}

TVAPI int TVwriteEnvParameter(pTVenv env, const char *fileName) {
  if (!live(env)) return tarvo::err::kNullArgument;
  return tarvo::guarded([&] { return write_parameters(ParamTarget::of(env), fileName); });
}

}  // extern "C"
