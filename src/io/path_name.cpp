// File-name helpers of the model-file readers and writers.
#include "io/path_name.hpp"

namespace tarvo::io {

PathParts break_path_name(const std::string &path) {
  PathParts parts;
  const size_t slash = path.find_last_of('/');
  const size_t name_at = slash == std::string::npos ? 0 : slash + 1;
  parts.dir = path.substr(0, name_at);
  const std::string name = path.substr(name_at);
  const size_t dot = name.find_last_of('.');
  if (dot == std::string::npos || dot == 0) {
    parts.base = name;
  } else {
    parts.base = name.substr(0, dot);
    parts.ext = name.substr(dot);
  }
  return parts;
}

std::string replace_extension(const std::string &path, const std::string &ext) {
  const size_t slash = path.find_last_of('/');
  const size_t dot = path.find_last_of('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return path + ext;
  return path.substr(0, dot) + ext;
}

}  // namespace tarvo::io
