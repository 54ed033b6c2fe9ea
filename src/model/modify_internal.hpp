// Helpers shared by the modification operations: capacities of the row and
// column arrays, room in the column-wise matrix, name pools and the arrays
// of the solution record that follow the rows and columns.
#pragma once

#include <cmath>
#include <vector>

#include "model/model.hpp"

namespace tarvo::base {

constexpr double kInf = 1e30;

inline bool any_nan(int count, const double *values) {
  if (!values) return false;
  for (int t = 0; t < count; ++t)
    if (std::isnan(values[t])) return true;
  return false;
}

// Costs and matrix values must be finite (bounds and right-hand sides may be infinite).
inline bool any_non_finite(int count, const double *values) {
  if (!values) return false;
  for (int t = 0; t < count; ++t)
    if (!std::isfinite(values[t])) return true;
  return false;
}

// An unloaded model gets an empty linear core so that rows and columns can be
// added to it; afterwards it is an ordinary loaded model with m = n = 0.
void ensure_core(Model *model);

// Row and column capacities. The `grow_` forms raise a capacity that is too
// small to at least `wanted + 100`, and to twice the old capacity when that is
// more, so that long runs of single additions reallocate only now and then.
void set_row_capacity(ModelData &d, int capacity);
void set_col_capacity(ModelData &d, int capacity);
void grow_row_capacity(ModelData &d, int wanted);
void grow_col_capacity(ModelData &d, int wanted);

// Matrix storage (row-index and value arrays hold storage + 1 entries).
// `set_storage` takes exactly max(size, start[n]); `reserve_storage` grows
// geometrically to at least `needed`. Both return 2001 past the int range.
int set_storage(ModelData &d, long long size);
int reserve_storage(ModelData &d, long long needed);

// Makes room for need[j] more entries after the entries of every column j
// (need has n entries). Columns before the first one that is short are never
// moved. With `spare` false the layout is the plain one: each moved column
// keeps max(need, free) free positions. With `spare` true the moved columns
// get extra room in proportion to their length, which keeps repeated row
// additions at amortised constant cost.
int make_room(ModelData &d, const std::vector<int> &need, bool spare);

// Room for a few columns only: (column, entries) pairs with distinct columns.
// Cheap when the gaps suffice; otherwise falls back to make_room with spare.
int make_room_for(ModelData &d, const std::vector<std::pair<int, int>> &needs);

// Name pools. Layout kept by these helpers: pool.size() is the used part (the
// vector's capacity is the pool capacity), names back to back; constraint
// pools carry one extra offset slot equal to pool.size().
void normalise_pool(NamePool &names, int count, bool sentinel);
// Ensures appending `chars` characters and `k` names will not reallocate.
void reserve_pool(NamePool &names, int count, int k, size_t chars, bool sentinel);
// Appends k names (null entries or a null array give empty names); a pool
// that did not exist yet is created with empty names for the first `count`.
void append_names(NamePool &names, int count, int k, char *const *given, bool sentinel);
// Keeps the names whose newindex is not -1, in order.
void compact_names(NamePool &names, int count, const std::vector<int> &newindex, bool sentinel);
// Sets the pool capacity to max(size, used part).
void set_pool_capacity(NamePool &names, long long size);

// Drops the entries i < count whose newindex is -1, keeping the order and any
// entries beyond count (the cut rows of row arrays); an array shorter than
// count no longer fits its dimension and is cleared.
template <class T>
void compact_array(std::vector<T> &v, int count, const std::vector<int> &newindex) {
  if (v.empty()) return;
  if (static_cast<int>(v.size()) < count) {
    v.clear();
    return;
  }
  size_t w = 0;
  for (int i = 0; i < count; ++i)
    if (newindex[i] >= 0) v[w++] = v[i];
  for (size_t i = count; i < v.size(); ++i) v[w++] = v[i];
  v.resize(w);
}

// The same for arrays sized by a capacity: the tail is left as it is.
template <class T>
void compact_prefix(std::vector<T> &v, int count, const std::vector<int> &newindex) {
  size_t w = 0;
  for (int i = 0; i < count && i < static_cast<int>(v.size()); ++i)
    if (newindex[i] >= 0) v[w++] = v[i];
}

// Renumbers a list of indices through newindex, dropping those that vanish.
// Returns the number of entries kept; `keep` (when given) marks them.
int renumber_list(std::vector<int> &list, const std::vector<int> &newindex, std::vector<char> *keep = nullptr);

}  // namespace tarvo::base
