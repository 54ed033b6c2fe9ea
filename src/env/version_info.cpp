// Version and build description texts.
#include "env/version_info.hpp"

#include <cstdio>

#include "env/env.hpp"
#include "env/xsolver_library.hpp"

namespace tarvo::base {
namespace {

const char *compiler_name() {
#if defined(__clang__)
  return "Clang";
#elif defined(__GNUC__)
  return "GCC";
#else
  return "C++";
#endif
}

const char *compiler_version() {
#if defined(__clang__)
  return __clang_version__;
#elif defined(__GNUC__)
  return __VERSION__;
#else
  return "unknown";
#endif
}

const char *os_name() {
#if defined(__linux__)
  return "Linux";
#elif defined(__APPLE__)
  return "macOS";
#elif defined(_WIN32)
  return "Windows";
#else
  return "unknown";
#endif
}

const char *arch_name() {
#if defined(__x86_64__)
  return "x86_64";
#elif defined(__aarch64__)
  return "aarch64";
#else
  return "unknown";
#endif
}

#if defined(__AVX2__)
constexpr const char *kBuiltWithAvx2 = "Yes";
#else
constexpr const char *kBuiltWithAvx2 = "No";
#endif

// The interior-point and nonlinear solvers are this library's own.
constexpr int kBarrierMajor = 1, kBarrierMinor = 0, kBarrierRevision = 0;
constexpr double kNonlinearVersion = 1.0;

}  // namespace

void write_build_descriptions(char *shorter, char *longer, size_t size, bool cpu_avx2) {
  std::snprintf(shorter, size, "%s %s on %s (%s)", compiler_name(), compiler_version(), os_name(),
                arch_name());
  std::snprintf(longer, size,
                "Compiler          : %s\n"
                "Version           : %s\n"
                "OS                : %s\n"
                "Arch              : %s\n"
                "Supports AVX2     : %s\n"
                "Built with AVX2   : %s\n",
                compiler_name(), compiler_version(), os_name(), arch_name(), cpu_avx2 ? "Yes" : "No",
                kBuiltWithAvx2);
}

}  // namespace tarvo::base

using namespace tarvo::base;

extern "C" {

TVAPI int TVgetVersionInfo(char *version, char *buildDescription) {
  if (version)
    std::sprintf(version, "%d.%d.%d.%03d", kVersionMajor, kVersionMinor, kVersionBuild, kVersionRevision);
  if (buildDescription) {
    char barrier[64], nonlinear[64];
    std::snprintf(barrier, sizeof barrier, "Barrier Solver Version %d.%d.%03d", kBarrierMajor, kBarrierMinor,
                  kBarrierRevision);
    std::snprintf(nonlinear, sizeof nonlinear, "Nonlinear Solver Version %g%s", kNonlinearVersion, "");
    char letter = platform_letter();
    std::sprintf(buildDescription, "%s %s\n%s, %s\nPlatform %s (%c)%s%s", __DATE__, __TIME__, barrier,
                 nonlinear, platform_text(letter), letter, "", "");
  }
  return 0;
}

TVAPI int TVgetCComInfo(pTVenv env, char *buffer, int mode) {
  if (!live(env) || !buffer) return 0;
  std::snprintf(buffer, sizeof env->build_short, "%s", mode == 0 ? env->build_short : env->build_long);
  return 0;
}

}  // extern "C"
