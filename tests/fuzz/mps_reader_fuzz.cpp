// libFuzzer target of the MPS reader. The first byte picks the format code
// (bits 0-1) and whether the text is handed over gzip-compressed (bit 2);
// the rest is the file. Every read must leave a consistent model, and a
// model that was read must be writable in both layouts.
#include <unistd.h>
#include <zlib.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "tarvo.h"

namespace {

pTVenv g_env = nullptr;
std::string g_plain, g_gz, g_out;

void quiet(pTVmodel, const char *, void *) {}

bool write_input(const std::string &path, const uint8_t *data, size_t size, bool compressed) {
  if (compressed) {
    gzFile gz = gzopen(path.c_str(), "wb1");
    if (!gz) return false;
    if (size) gzwrite(gz, data, static_cast<unsigned>(size));
    return gzclose(gz) == Z_OK;
  }
  std::FILE *f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  if (size) std::fwrite(data, 1, size, f);
  return std::fclose(f) == 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  if (size == 0) return 0;
  if (!g_env) {
    int code = 0;
    g_env = TVcreateEnv(&code, nullptr);
    const std::string base = "/tmp/tarvo_mps_fuzz_" + std::to_string(::getpid());
    g_plain = base + ".mps";
    g_gz = base + ".mps.gz";
    g_out = base + "_out.mps";
  }
  const int format = data[0] & 3;
  const bool compressed = (data[0] & 4) != 0;
  const std::string &path = compressed ? g_gz : g_plain;
  if (!write_input(path, data + 1, size - 1, compressed)) return 0;

  int code = 0;
  pTVmodel model = TVcreateModel(g_env, &code);
  if (!model) std::abort();
  TVsetModelLogfunc(model, quiet, nullptr);
  TVsetModelIntParameter(model, TV_IPARAM_LP_PRINTLEVEL, (data[0] & 8) ? 201 : 1);
  const int rc = TVreadMPSFile(model, path.c_str(), format);
  char reason[256];
  if (TVcheckModelConsistency(model, reason) != 0) {
    std::fprintf(stderr, "inconsistent model after read (code %d): %s\n", rc, reason);
    std::abort();
  }
  unsigned line = 0;
  char text[512];
  TVgetFileError(model, &line, text);
  if (rc == 0) {
    for (int layout : {0, 1}) {
      const int wc = TVwriteMPSFile(model, g_out.c_str(), layout);
      if (wc != 0) {
        std::fprintf(stderr, "write of a model that was read failed: %d\n", wc);
        std::abort();
      }
    }
  }
  TVdeleteModel(&model);
  return 0;
}
