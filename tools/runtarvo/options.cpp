#include "options.hpp"

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
         "  --write-params FILE    write the parameter file of the current settings to FILE\n";
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
