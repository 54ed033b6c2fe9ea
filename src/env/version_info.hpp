// Version numbers and the texts that describe this build.
#pragma once

#include <cstddef>

namespace tarvo::base {

constexpr int kVersionMajor = 16;
constexpr int kVersionMinor = 0;
constexpr int kVersionBuild = 7099;
constexpr int kVersionRevision = 90;
constexpr int kVersionNumber = 1600;

void write_build_descriptions(char *shorter, char *longer, size_t size, bool cpu_avx2);

}  // namespace tarvo::base
