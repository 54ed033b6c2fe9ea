#include "test_support.hpp"

#include <unistd.h>

#include <fstream>
#include <sstream>

namespace tvtest {

std::string temp_path(const std::string &leaf) {
  return "/tmp/tarvo_test_" + std::to_string(::getpid()) + "_" + leaf;
}

std::string read_file(const std::string &path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

void write_file(const std::string &path, const std::string &text) {
  std::ofstream out(path, std::ios::binary);
  out << text;
}

}  // namespace tvtest
