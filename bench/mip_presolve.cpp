// Integer presolve of one model file: original and reduced sizes and the
// presolve time, one line for the comparison script (mip_presolve_highs).
// usage: bench_mip_presolve MODEL.mps[.gz]
#include <chrono>
#include <cstdio>
#include <string>

#include "tarvo.h"

namespace {
void sizes(pTVmodel m, int *rows, int *cols, int *nz) {
  TVgetInfo(m, TV_IINFO_NUM_CONS, rows);
  TVgetInfo(m, TV_IINFO_NUM_VARS, cols);
  TVgetInfo(m, TV_IINFO_NUM_NONZ, nz);
}
}  // namespace

int main(int argc, char **argv) {
  if (argc < 2) return 2;
  int code = 0;
  pTVenv env = TVcreateEnv(&code, nullptr);
  pTVmodel model = TVcreateModel(env, &code);
  if (TVreadMPSFile(model, argv[1], 1) != 0) return 1;
  const std::string out = std::string(argv[1]) + ".reduced.mps";
  const auto t0 = std::chrono::steady_clock::now();
  code = TVwriteReducedMPSFile(model, out.c_str(), 0);
  const double secs = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
  pTVmodel reduced = TVcreateModel(env, &code);
  int m0, n0, z0, m1 = 0, n1 = 0, z1 = 0;
  sizes(model, &m0, &n0, &z0);
  if (code == 0 && TVreadMPSFile(reduced, out.c_str(), 0) == 0) sizes(reduced, &m1, &n1, &z1);
  std::remove(out.c_str());
  std::printf("%d %d %d %d %d %d %.3f %d\n", m0, n0, z0, m1, n1, z1, secs, code);
  TVdeleteEnv(&env);
  return 0;
}
