// Splitting a file name into directory, base name and extension, and
// replacing an extension; used by the readers and writers of model files.
#pragma once

#include <string>

namespace tarvo::io {

struct PathParts {
  std::string dir;   // up to and including the last '/', empty when none
  std::string base;  // the name without directory and extension
  std::string ext;   // from the last '.' of the name on, empty when none
};

PathParts break_path_name(const std::string &path);

// Everything from the last '.' of the name replaced by `ext` (".ltx"), or
// `ext` appended when the name has none.
std::string replace_extension(const std::string &path, const std::string &ext);

}  // namespace tarvo::io
