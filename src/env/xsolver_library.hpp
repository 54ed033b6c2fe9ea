// External libraries loaded by file name: the solver bridges selected with
// TVsetXSolverLibrary and the process-wide analytics toolbox.
#pragma once

#include "env/env.hpp"

namespace tarvo::base {

// Platform letter of the running build ('D' on Linux x86-64).
char platform_letter();
const char *platform_text(char letter);

// Default file names of the settings block for this platform.
void fill_library_names(EnvSettings &settings);

// Loads the analytics toolbox once per process (its result is ignored).
void load_analytics_toolbox(const EnvSettings &settings);
void unload_process_libraries();

// Closes the libraries an environment loaded.
void release_xsolver_libraries(Env &env);

int set_xsolver_library(Env &env, int kind, const char *path);

}  // namespace tarvo::base
