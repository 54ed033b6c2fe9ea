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
};

// Parses argv; false with a one-line reason in *error.
bool parse_options(int argc, char **argv, Options *opts, std::string *error);

const char *usage_text();

}  // namespace runtarvo
