// The installed enumeration solver (one per process, set once at start-up).
#include "mip/enumeration_hook.hpp"

#include <atomic>

namespace tarvo::mip {
namespace {
std::atomic<EnumerationSolver> installed{nullptr};
}  // namespace

void set_enumeration_solver(EnumerationSolver solver) { installed.store(solver); }
EnumerationSolver enumeration_solver() { return installed.load(); }

}  // namespace tarvo::mip
