// Checks and edits shared by the data kinds stored as grouped member lists
// (cones, sets, semidefinite blocks, all-different groups) and by the index
// lists of their delete operations.
#pragma once

#include <utility>
#include <vector>
#include "common/error_codes.hpp"

namespace tarvo::base {

// Member counts a cone type needs: Q at least one, R at least two, E and P exactly three.
inline bool cone_size_fits(char type, int size) {
  switch (type) {
    case 'Q':
      return size >= 1;
    case 'R':
      return size >= 2;
    default:
      return size == 3;
  }
}

// Member counts a set type needs: types 1 and 3 at least one, type 2 at least two.
inline bool set_size_fits(char type, int size) {
  if (type == 1 || type == 3) return size >= 1;
  if (type == 2) return size >= 2;
  return true;
}

// An index list of a delete operation: every entry in lo..hi-1 (else
// `range_code`) and none twice (2032). On success `*flags` (when given) holds
// hi-lo marks, 1 for each listed index.
inline int check_index_list(int count, const int *list, int lo, int hi, int range_code,
                            std::vector<char> *flags = nullptr) {
  std::vector<char> mark(hi > lo ? hi - lo : 0, 0);
  for (int t = 0; t < count; ++t) {
    int i = list[t];
    if (i < lo || i >= hi) return range_code;
    if (mark[i - lo]) return err::kDuplicateIndex;
    mark[i - lo] = 1;
  }
  if (flags) *flags = std::move(mark);
  return 0;
}

// Starts given by a caller: the first is not negative and none decreases.
// Group k then holds the caller's entries starts[k] to starts[k+1]-1.
inline bool starts_ordered(int count, const int *starts) {
  if (starts[0] < 0) return false;
  for (int k = 0; k < count; ++k)
    if (starts[k + 1] < starts[k]) return false;
  return true;
}

// Copies `count` caller groups into 0-based starts and a member array.
inline void copy_groups(int count, const int *starts, const int *members, std::vector<int> &start,
                        std::vector<int> &member) {
  start.assign(count + 1, 0);
  member.assign(members + starts[0], members + starts[count]);
  for (int k = 0; k <= count; ++k) start[k] = starts[k] - starts[0];
}

// Appends `count` caller groups to 0-based starts and members already held.
inline void append_groups(int count, const int *starts, const int *members, std::vector<int> &start,
                          std::vector<int> &member) {
  if (start.empty()) start.push_back(0);
  int base = start.back();
  member.insert(member.end(), members + starts[0], members + starts[count]);
  for (int k = 1; k <= count; ++k) start.push_back(base + starts[k] - starts[0]);
}

// Keeps the entries of `v` whose flag in `drop` is 0, in order.
template <class T>
void drop_flagged(std::vector<T> &v, const std::vector<char> &drop) {
  size_t out = 0;
  for (size_t i = 0; i < v.size(); ++i)
    if (i >= drop.size() || !drop[i]) v[out++] = v[i];
  v.resize(out);
}

// Removes the groups flagged in `drop` with their members; the remaining
// groups keep their order and starts stay 0-based. No group left: both empty.
inline void drop_groups(std::vector<int> &start, std::vector<int> &member, const std::vector<char> &drop) {
  int groups = static_cast<int>(start.size()) - 1;
  std::vector<int> new_start{0};
  std::vector<int> new_member;
  for (int k = 0; k < groups; ++k) {
    if (drop[k]) continue;
    new_member.insert(new_member.end(), member.begin() + start[k], member.begin() + start[k + 1]);
    new_start.push_back(static_cast<int>(new_member.size()));
  }
  if (new_start.size() == 1) new_start.clear();
  start = std::move(new_start);
  member = std::move(new_member);
}

// Replaces the members of group k by `size` new ones, shifting later groups.
inline void replace_group(std::vector<int> &start, std::vector<int> &member, int k, int size, const int *members) {
  int old_size = start[k + 1] - start[k];
  auto at = member.erase(member.begin() + start[k], member.begin() + start[k + 1]);
  member.insert(at, members, members + size);
  for (size_t g = k + 1; g < start.size(); ++g) start[g] += size - old_size;
}

// Column renumbering after columns were deleted: new_index[j] is the new
// index of column j or -1 when it was deleted. Members of deleted columns are
// dropped; groups are kept (possibly emptied).
inline void renumber_members(std::vector<int> &start, std::vector<int> &member, const std::vector<int> &new_index) {
  int groups = static_cast<int>(start.size()) - 1;
  int out = 0;
  for (int k = 0; k < groups; ++k) {
    int begin = start[k], end = start[k + 1];
    start[k] = out;
    for (int p = begin; p < end; ++p)
      if (new_index[member[p]] >= 0) member[out++] = new_index[member[p]];
  }
  if (groups >= 0) start[groups] = out;
  member.resize(out);
}

}  // namespace tarvo::base
