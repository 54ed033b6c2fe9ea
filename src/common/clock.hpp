// Wall-clock and processor time in seconds.
#pragma once

#include <chrono>
#include <ctime>

namespace tarvo::common {

inline double wall_seconds() {
  using namespace std::chrono;
  return duration<double>(steady_clock::now().time_since_epoch()).count();
}

inline double cpu_seconds() { return static_cast<double>(std::clock()) / CLOCKS_PER_SEC; }

}  // namespace tarvo::common
