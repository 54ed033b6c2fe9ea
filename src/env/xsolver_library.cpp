// Names and loading of optional external libraries. The bridges behind the
// kinds are separate components; here a kind is only a slot holding a file
// name and the loaded handle, and the loading is real.
#include "env/xsolver_library.hpp"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>

#include "model/model.hpp"
#include "common/boundary.hpp"
#include "common/dynlib.hpp"
#include "common/error_codes.hpp"

namespace tarvo::base {
namespace {

std::mutex &toolbox_lock() {
  static auto *m = new std::mutex;
  return *m;
}
void *g_toolbox = nullptr;
bool g_toolbox_tried = false;

// Kinds whose loaded library name TVgetXSolverLibrary reports.
bool kind_has_query(int kind) {
  return kind == 2 || kind == 4 || kind == 10 || kind == 14 || kind == 16;
}

}  // namespace

char platform_letter() {
#if defined(__linux__) && defined(__x86_64__)
  return 'D';
#elif defined(__linux__) && defined(__aarch64__)
  return 'G';
#elif defined(__linux__) && defined(__i386__)
  return 'L';
#elif defined(__linux__) && defined(__arm__)
  return 'R';
#elif defined(__APPLE__) && defined(__aarch64__)
  return 'H';
#elif defined(__APPLE__) && defined(__x86_64__)
  return 'J';
#else
  return '?';
#endif
}

const char *platform_text(char letter) {
  switch (letter) {
    case 'W': return "Windows 32x86";
    case 'B': return "Windows 64x86";
    case 'C': return "Windows Itanium";
    case 'L': return "Linux 32x86";
    case 'D': return "Linux 64x86";
    case 'G': return "Linux 64arm";
    case 'E': return "Linux Itanium";
    case 'S': return "Solaris Sparc 32-bit";
    case 'I': return "Solaris Sparc 64-bit";
    case 'K': return "Solaris 32x86";
    case 'M': return "Solaris 64x86";
    case 'F': return "MacOSX 32x86";
    case 'J': return "MacOSX 64x86";
    case 'H': return "MacOSX 64arm";
    case 'P': return "HP Unix 32-bit";
    case 'O': return "HP Unix 64-bit";
    case 'R': return "Linux Arm32";
    case 'Q': return "Linux Arm64";
    default: return "? (unknown)";
  }
}

void fill_library_names(EnvSettings &settings) {
  switch (platform_letter()) {
    case 'W':
      settings.library_names = {"libtarvoexpr.dll", "myuser.dll", "libmirel32.dll", "lua51.dll"};
      break;
    case 'B':
      settings.library_names = {"libtarvoexpr.dll", "myuser.dll", "libmirel64.dll", "lua51.dll"};
      break;
    case 'H':
    case 'J':
      settings.library_names = {"libtarvoexpr.dylib", "myuser.dylib", "libmirel64.dylib", "liblua.dylib"};
      break;
    default:
      settings.library_names = {"libtarvoexpr.so", "myuser.so", "libmirel64.so", "liblua.so"};
      break;
  }
}

// Default file name of an external library kind on this platform. Kind 9 is
// the expression library attached to every new environment; kinds 1 to 16
// are the solver bridges; other kinds have no default.
static bool default_library_name(int kind, char *buffer, size_t size) {
  if (kind < 1 || kind > 99) return false;
  const char *ext = platform_letter() == 'W' || platform_letter() == 'B' ? "dll"
                    : platform_letter() == 'H' || platform_letter() == 'J' ? "dylib"
                                                                            : "so";
  if (kind == 9) {
    std::snprintf(buffer, size, "libtarvoexpr.%s", ext);
  } else if (kind <= 16) {
    std::snprintf(buffer, size, "libtvbridge%02d.%s", kind, ext);
  } else {
    return false;
  }
  return std::strlen(buffer) >= 3;
}

void load_analytics_toolbox(const EnvSettings &settings) {
  std::lock_guard<std::mutex> hold(toolbox_lock());
  if (g_toolbox_tried) return;
  g_toolbox_tried = true;
  const char *named = std::getenv("MIREL_LIBRARY");
  const char *file = named && *named ? named : settings.library_names[kAnalyticsLib].c_str();
  g_toolbox = common::open_library(file);
}

void unload_process_libraries() {
  std::lock_guard<std::mutex> hold(toolbox_lock());
  common::close_library(g_toolbox);
  g_toolbox = nullptr;
}

void release_xsolver_libraries(Env &env) {
  for (auto &lib : env.settings.xsolver) {
    common::close_library(lib.handle);
    lib.handle = nullptr;
  }
}

int set_xsolver_library(Env &env, int kind, const char *path) {
  if (kind < 1 || kind > 99) return err::kXSolverUnknown;
  char defaulted[256] = {0};
  if (!path || !*path || path[0] == ' ') {
    if (!default_library_name(kind, defaulted, sizeof defaulted)) defaulted[0] = '\0';
    path = defaulted;
  }
  ExternalLibrary &slot = env.settings.xsolver[kind];
  slot.path.assign(path, std::min<size_t>(std::strlen(path), 254));
  int code = 0;
  if (slot.path.empty()) {
    code = err::kXSolverNoFile;
  } else {
    void *handle = common::open_library(slot.path.c_str());
    if (!handle) {
      code = err::kXSolverLoad;
    } else {
      common::close_library(slot.handle);
      slot.handle = handle;
    }
  }
  int importance = (!env.settings.quiet && env_print_level(env) > 0) ? 1 : 0;
  if (code == 0)
    log_env(&env, importance, "\nSet external library #%d 'xdll=%s'\n", kind, slot.path.c_str());
  else
    log_env(&env, importance, "\nError %d: Failed to set external library #%d 'xdll=%s'\n", code, kind,
            slot.path.c_str());
  return code;
}

}  // namespace tarvo::base

using namespace tarvo::base;

extern "C" {

TVAPI int TVsetXSolverLibrary(pTVenv env, int kind, const char *path) {
  if (!live(env)) return tarvo::err::kNullArgument;
  return tarvo::guarded([&] { return set_xsolver_library(*env, kind, path); });
}

TVAPI int TVgetXSolverLibrary(pTVenv env, int kind, char *buffer) {
  if (!live(env) || !buffer) return tarvo::err::kNullArgument;
  if (kind < 2 || kind > 16 || !kind_has_query(kind)) return tarvo::err::kNotSupported;
  const ExternalLibrary &slot = env->settings.xsolver[kind];
  if (!slot.handle) return tarvo::err::kNotAvailable;
  std::snprintf(buffer, 255, "%s", slot.path.c_str());
  return 0;
}

TVAPI int TVgetPlatformSpecificDllName(int kind, char *buffer) {
  if (!buffer) return tarvo::err::kNullArgument;
  char name[255];
  if (!default_library_name(kind, name, sizeof name)) return tarvo::err::kNotAvailable;
  std::memcpy(buffer, name, std::strlen(name) + 1);
  return 0;
}

TVAPI int TVgetLibArch(char *description, char *letter) {
  char l = platform_letter();
  if (letter) *letter = l;
  if (description) std::strcpy(description, platform_text(l));
  return 0;
}

}  // extern "C"
