// libFuzzer target of the LP-format and TARVO text readers. Bit 0 of the
// first byte picks the format, bit 1 a high print level; the rest is the
// text. Every read must leave a consistent model; a model that was read must
// write as TARVO text and as LP text and read back with the same dimensions.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "tarvo.h"

namespace {

pTVenv g_env = nullptr;
std::string g_out;

void quiet(pTVmodel, const char *, void *) {}

pTVmodel fresh_model(int level) {
  int code = 0;
  pTVmodel model = TVcreateModel(g_env, &code);
  if (!model) std::abort();
  TVsetModelLogfunc(model, quiet, nullptr);
  TVsetModelIntParameter(model, TV_IPARAM_LP_PRINTLEVEL, level);
  return model;
}

void check_consistent(pTVmodel model, int rc, const char *what) {
  char reason[256];
  if (TVcheckModelConsistency(model, reason) != 0) {
    std::fprintf(stderr, "inconsistent model after %s (code %d): %s\n", what, rc, reason);
    std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  if (size == 0 || size > (1u << 20)) return 0;
  if (!g_env) {
    int code = 0;
    g_env = TVcreateEnv(&code, nullptr);
    g_out = "/tmp/tarvo_alg_fuzz_" + std::to_string(::getpid()) + ".ltx";
  }
  const bool tarvo = (data[0] & 1) != 0;
  const int level = (data[0] & 2) ? 3 : 1;
  const char *text = reinterpret_cast<const char *>(data + 1);
  const int length = static_cast<int>(size - 1);
  pTVmodel model = fresh_model(level);
  const int rc = tarvo ? TVreadTARVOStream(model, text, length) : TVreadLPStream(model, text, length);
  check_consistent(model, rc, "read");
  unsigned line = 0;
  char record[512];
  TVgetFileError(model, &line, record);
  if (rc == 0) {
    int nqc = 0;
    TVgetInfo(model, TV_IINFO_NUM_QC_NONZ, &nqc);
    const int wc = TVwriteTARVOFile(model, g_out.c_str());
    if (nqc > 0 && wc != 2029) {
      std::fprintf(stderr, "TARVO text accepted quadratic terms: %d\n", wc);
      std::abort();
    }
    if (wc != 0 && nqc == 0) {
      std::fprintf(stderr, "write of a model that was read failed: %d\n", wc);
      std::abort();
    }
    int m1 = 0, m2 = 0;
    TVgetInfo(model, TV_IINFO_NUM_CONS, &m1);
    pTVmodel back = nullptr;
    if (wc == 0) {
      back = fresh_model(level);
      const int bc = TVreadTARVOFile(back, g_out.c_str());
      check_consistent(back, bc, "read back");
      TVgetInfo(back, TV_IINFO_NUM_CONS, &m2);
      if (bc != 0 || m1 != m2) {
        std::fprintf(stderr, "written model did not read back: code %d, rows %d vs %d\n", bc, m1, m2);
        std::abort();
      }
      TVdeleteModel(&back);
    }
    const std::string lp_out = g_out + ".lp";
    if (TVwriteLPFile(model, lp_out.c_str()) != 0) std::abort();
    back = fresh_model(level);
    const int lc = TVreadLPFile(back, lp_out.c_str());
    check_consistent(back, lc, "LP read back");
    int n1 = 0, n2 = 0;
    TVgetInfo(model, TV_IINFO_NUM_VARS, &n1);
    TVgetInfo(back, TV_IINFO_NUM_VARS, &n2);
    TVgetInfo(back, TV_IINFO_NUM_CONS, &m2);
    if (lc != 0 || m1 != m2 || n1 != n2) {
      std::fprintf(stderr, "LP text did not read back: code %d, rows %d vs %d, columns %d vs %d\n", lc, m1, m2, n1, n2);
      std::abort();
    }
    TVdeleteModel(&back);
  }
  TVdeleteModel(&model);
  return 0;
}
