// The one static table of parameter records, sorted by identifier, and the
// facts derived from it: where each value lives (classic groups, stochastic
// store or item table) and the registry handed to hosts.
#pragma once

#include <cstddef>

#include "tarvo.h"

namespace tarvo::base::params {

enum Type : unsigned { kInt = 4, kDouble = 8 };
enum Class : unsigned {
  kNone = 0,
  kLevel = 1,
  kTolerance = 2,
  kTunable = 4,
  kEnvScope = 1024,
  kModelScope = 2048,
};

enum class Store { Classic, Stochastic, Item };

// All records in identifier order; `pos` holds the index (the first record
// carries the environment class marker 1024).
const TVparamRecord *records();
int count();
// Total length of all macro names, each counted as at least 12 characters.
size_t name_length_total();

// Index of a parameter in records(), or -1 for an unknown identifier.
int position(int id);
inline const TVparamRecord *find(int id) {
  int p = position(id);
  return p < 0 ? nullptr : records() + p;
}

// The record whose macro name is exactly `name` (aliases are not consulted), or null.
const TVparamRecord *find_by_name(const char *name);

Store store_of(const TVparamRecord &rec);

// Three parameters recorded as doubles keep a second, integer value that the
// integer setter and getter reach as classic parameters. Slot 0..2 or -1.
constexpr int kSpecialIntCount = 3;
int special_int_slot(int id);

// Read-only version parameters (identifiers 990 to 999).
inline bool is_version(int id) { return id >= 990 && id <= 999; }

// Checks made once when the registry is built: counts agree, identifiers
// strictly increase. False means the table is corrupt.
bool registry_consistent();

}  // namespace tarvo::base::params
