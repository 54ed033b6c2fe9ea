// Reading the model file named on the command line: the reader is chosen by
// the file's extension in any letter case (.mps, .lp, .ltx, each optionally
// .gz) or by --format.
#pragma once

#include <string>

#include "options.hpp"
#include "outcome.hpp"
#include "tarvo.h"

namespace runtarvo {

enum class ModelFormat { kUnknown, kMps, kLp, kLtx };

// The format by --format when given (mps, lp, ltx), else by the extension.
ModelFormat model_format(const std::string &path, const std::string &forced);

// The library's log lines on standard output.
void print_log(pTVmodel, const char *text, void *);

// Reads the model file into *model (which may be replaced by a fresh model
// with the same parameters); on failure prints the reason and fills *out.
int read_model(pTVenv env, pTVmodel *model, const Options &opts, Outcome *out);

}  // namespace runtarvo
