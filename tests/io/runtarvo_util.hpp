// Running the runtarvo driver from a test: exit status, standard output and
// standard error of one command line.
#pragma once

#include <sys/wait.h>

#include "mps_test_util.hpp"

namespace tvtest {

#ifdef TARVO_RUNTARVO
struct Outcome {
  int status = -1;
  std::string out, err;
};

inline Outcome runtarvo(const std::string &args) {
  const std::string out = temp_path("rt.out"), err = temp_path("rt.err");
  Outcome r;
  const int rc = std::system((std::string(TARVO_RUNTARVO) + " " + args + " >" + out + " 2>" + err).c_str());
  r.status = WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
  r.out = read_file(out);
  r.err = read_file(err);
  std::remove(out.c_str());
  std::remove(err.c_str());
  return r;
}

#endif

}  // namespace tvtest
