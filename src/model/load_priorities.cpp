// Branching priorities: loading them from an array, reading them from a text
// file of "name priority" pairs and writing them (or a reproducible random
// default) in the same layout.
#include <algorithm>
#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <numeric>
#include <string>
#include <vector>

#include "model/model_state.hpp"
#include "common/simple_random.hpp"
#include "common/boundary.hpp"
#include "common/error_codes.hpp"

namespace tarvo::base {
namespace {

constexpr const char *kDefaultPriorityFile = "tarvo.pri";
constexpr std::uint64_t kPrioritySeed = 10007;

size_t per_variable_size(const ModelData &d) { return static_cast<size_t>(std::max(d.n, d.col_capacity)); }

int load_priorities(Model *model, const int *priorities) {
  ModelData &d = model->data;
  if (!priorities) {
    d.priority.clear();
    return 0;
  }
  if (d.priority.size() < per_variable_size(d)) d.priority.resize(per_variable_size(d), 0);
  int code = 0;
  for (int j = 0; j < d.n; ++j) {
    if (priorities[j] < 0) {
      code = err::kIndexOutOfRange;  // the rest are still taken
      continue;
    }
    d.priority[j] = priorities[j];
  }
  return code;
}

// Whitespace-separated tokens of any length.
bool next_token(std::FILE *f, std::string &token) {
  token.clear();
  int ch;
  while ((ch = std::fgetc(f)) != EOF && std::isspace(ch)) {
  }
  while (ch != EOF && !std::isspace(ch)) {
    token.push_back(static_cast<char>(ch));
    ch = std::fgetc(f);
  }
  return !token.empty();
}

bool parse_whole_number(const std::string &token, int *value) {
  if (token.empty()) return false;
  errno = 0;
  char *end = nullptr;
  long v = std::strtol(token.c_str(), &end, 10);
  if (errno != 0 || *end != '\0' || v < INT_MIN || v > INT_MAX) return false;
  *value = static_cast<int>(v);
  return true;
}

// The priorities are collected aside and installed only when the whole file
// was understood, so a faulty file leaves the previous priorities in place.
int read_priorities(Model *model, const char *path) {
  std::FILE *f = std::fopen(path, "r");
  if (!f) {
    log_model_token_warning(model, 2002, path);
    return err::kFileOpen;
  }
  std::vector<int> priority(per_variable_size(model->data), 0);
  std::string name, number;
  int code = 0;
  const char *token = "";
  while (next_token(f, name)) {
    int value = 0;
    if (!next_token(f, number) || !parse_whole_number(number, &value)) {
      // A name without a whole number after it: the file is not a priority list.
      code = err::kBadInput;
      token = number.empty() ? name.c_str() : number.c_str();
      break;
    }
    int j = -1;
    code = TVgetVariableIndex(model, name.c_str(), &j);
    if (code != 0) {
      token = name.c_str();
      break;
    }
    if (value > 0) priority[j] = value;
  }
  std::fclose(f);
  if (code != 0) {
    log_model_token_warning(model, code, token);
    return code;
  }
  model->data.priority = std::move(priority);
  return 0;
}

std::vector<int> priorities_to_write(const ModelData &d, int mode) {
  std::vector<int> values(d.n);
  if (!d.priority.empty()) {
    std::copy(d.priority.begin(), d.priority.begin() + d.n, values.begin());
    return values;
  }
  SimpleRandom rng(kPrioritySeed);
  if (mode == 0) {
    std::iota(values.begin(), values.end(), 1);
    for (int j = d.n - 1; j > 0; --j) std::swap(values[j], values[rng.below(static_cast<std::uint64_t>(j) + 1)]);
  } else {
    const long long top = std::min(-static_cast<long long>(mode), static_cast<long long>(INT_MAX));
    for (int &v : values) v = static_cast<int>(rng.between(0, top));
  }
  return values;
}

int write_priorities(Model *model, const char *fileName, int mode) {
  const ModelData &d = model->data;
  if (d.priority.empty() && mode > 0) return err::kNotAvailable;
  const char *path = fileName && *fileName ? fileName : kDefaultPriorityFile;
  std::vector<int> values = priorities_to_write(d, mode);
  const bool named = d.varnames.present();
  int width = 8;
  if (named)
    for (int j = 0; j < d.n; ++j) width = std::max(width, static_cast<int>(std::strlen(d.varnames.name(j))));
  width += 5;
  std::FILE *f = std::fopen(path, "w");
  if (!f) return err::kFileOpen;
  for (int j = 0; j < d.n; ++j) {
    if (named && *d.varnames.name(j))
      std::fprintf(f, "  %-*s", width, d.varnames.name(j));
    else
      std::fprintf(f, "  C%-7d", j + 1);
    std::fprintf(f, "    %12d\n", values[j]);
  }
  const bool failed = std::ferror(f) != 0;
  if (std::fclose(f) != 0 || failed) return err::kFileOpen;
  log_model(model, effective_print_level(*model) >= 1, "\nExported variable priorities as '%s'", path);
  return 0;
}

}  // namespace
}  // namespace tarvo::base

using namespace tarvo::base;

extern "C" {

TVAPI int TVloadVarPriorities(pTVmodel model, const int *priorities) {
  if (!live(model)) return tarvo::err::kNullArgument;
  return tarvo::guarded([&] { return load_priorities(model, priorities); });
}

TVAPI int TVreadVarPriorities(pTVmodel model, const char *fileName) {
  if (!live(model) || !fileName) return tarvo::err::kNullArgument;
  return tarvo::guarded([&] { return read_priorities(model, fileName); });
}

TVAPI int TVwriteVarPriorities(pTVmodel model, const char *fileName, int mode) {
  if (!live(model)) return tarvo::err::kNullArgument;
  if (!model_available(*model)) return tarvo::err::kNotAvailable;
  return tarvo::guarded([&] { return write_priorities(model, fileName, mode); });
}

}  // extern "C"
