// Row/column file storage: many growable lists in one flat area. A line that
// needs more room than the gap behind it moves to the tail; when the tail is
// short the area is compressed, and only then enlarged (x2). Indices stay 32-bit.
#include <algorithm>
#include <climits>
#include <cstring>

#include "xlu/lu_internal.hpp"

namespace tarvo::xlu::detail {

namespace {

void grow_area(File& F, std::int64_t needed) {
  std::int64_t cap = F.capacity();
  std::int64_t want = std::max<std::int64_t>(needed, cap * 2 + 16);
  if (want > INT_MAX) want = INT_MAX;
  if (want < needed) throw OutOfSpace{};
  F.index.resize(static_cast<std::size_t>(want));
  if (F.with_values) F.value.resize(static_cast<std::size_t>(want));
}

}  // namespace

void File::size_for(int n, std::int64_t cap, bool values) {
  nlines = n;
  with_values = values;
  if (cap < 16) cap = 16;
  // An area that grew keeps its size: the next factors grow about as much
  // through their updates, and each enlargement copies and clears it.
  cap = std::max(cap, capacity());
  if (cap > INT_MAX) cap = INT_MAX;
  begin.resize(n + 1);
  end.resize(n + 1);
  prev.resize(n + 1);
  next.resize(n + 1);
  index.resize(static_cast<std::size_t>(cap));
  if (values) value.resize(static_cast<std::size_t>(cap));
  else value.clear();
  // The sentinel marks the end of the area.
  begin[n] = end[n] = static_cast<int>(index.size());
}

void File::init(int n, std::int64_t cap, bool values) {
  size_for(n, cap, values);
  for (int l = 0; l < n; ++l) begin[l] = end[l] = 0;
  for (int l = 0; l <= n; ++l) {
    prev[l] = l == 0 ? n : l - 1;
    next[l] = l == n ? 0 : l + 1;
  }
  if (n == 0) next[0] = prev[0] = 0;
}

void File::clear_all() {
  for (int l = 0; l < nlines; ++l) end[l] = begin[l];
}

namespace {

// Lines line_at(0..count) in that order, each with room(l) slots, joined into
// the ring closed by the sentinel; grows the area when needed.
template <class LineAt, class Room>
void place_lines(File& F, int count, LineAt line_at, Room room) {
  std::int64_t need = 0;
  for (int k = 0; k < count; ++k) need += room(line_at(k));
  if (need > F.capacity()) grow_area(F, need);
  std::int64_t pos = 0;
  int last = F.nlines;
  for (int k = 0; k < count; ++k) {
    const int l = line_at(k);
    F.begin[l] = F.end[l] = static_cast<int>(pos);
    F.prev[l] = last;
    F.next[last] = l;
    last = l;
    pos += room(l);
  }
  F.next[last] = F.nlines;
  F.prev[F.nlines] = last;
  F.begin[F.nlines] = F.end[F.nlines] = static_cast<int>(F.index.size());
}

}  // namespace

void File::layout(const int* len, int elbow, const int* order, bool will_grow) {
  place_lines(
      *this, nlines, [&](int k) { return order ? order[k] : k; },
      [&](int l) { return static_cast<std::int64_t>(len[l]) + elbow + (will_grow ? growth_room(len[l]) : 0); });
}

void File::layout_lines(const int* len, int elbow, const int* lines, int count) {
  std::fill(begin.begin(), begin.begin() + nlines, 0);
  std::fill(end.begin(), end.begin() + nlines, 0);
  place_lines(
      *this, count, [&](int k) { return lines[k]; },
      [&](int l) { return static_cast<std::int64_t>(len[l]) + elbow; });
}

std::int64_t File::total() const {
  std::int64_t t = 0;
  for (int l = 0; l < nlines; ++l) t += end[l] - begin[l];
  return t;
}

// Long lines (dense U rows, bump rows) make this scan a visible share of the
// updates and the elimination: blocks of 8 are compared without a branch, which
// is vectorised, and only the block with the hit is searched entry by entry.
bool File::remove_index(int l, int idx) {
  const int* ix = index.data();
  const int e = end[l];
  int p = begin[l];
#if defined(__GNUC__)
  typedef int Int4 __attribute__((vector_size(16)));
  const Int4 key = {idx, idx, idx, idx};
  for (; p + 8 <= e; p += 8) {
    Int4 a, b;
    std::memcpy(&a, ix + p, sizeof a);
    std::memcpy(&b, ix + p + 4, sizeof b);
    const Int4 hit = (a == key) | (b == key);
    if (hit[0] | hit[1] | hit[2] | hit[3]) break;
  }
#else
  for (; p + 8 <= e; p += 8) {
    int hit = 0;
    for (int k = 0; k < 8; ++k) hit |= ix[p + k] == idx;
    if (hit) break;
  }
#endif
  for (; p < e; ++p) {
    if (ix[p] == idx) {
      remove_at(l, p);
      return true;
    }
  }
  return false;
}

void File::reserve_line(int l, int extra) {
  if (limit_of(l) - end[l] >= extra) return;
  const int len = length(l);
  const std::int64_t need = static_cast<std::int64_t>(len) + extra + std::max(4, len / 2);
  if (prev[nlines] == l) {  // already last: the area itself must grow
    compress();
    if (capacity() - end[l] < extra + capacity() / 2)
      grow_area(*this, end[l] + need + capacity() / 2);
    return;
  }
  // Leave the current last line a little elbow room of its own.
  std::int64_t start = end[prev[nlines]] + 4;
  if (capacity() - start < need) {
    compress();
    if (limit_of(l) - end[l] >= extra) return;
    start = end[prev[nlines]] + 4;
    // Grow as well when compression freed little, so that it does not repeat soon.
    if (capacity() - start < need + capacity() / 2)
      grow_area(*this, start + need + capacity() / 2);
  }
  const int nb = static_cast<int>(start);
  if (len > 0) {
    std::memmove(&index[nb], &index[begin[l]], sizeof(int) * len);
    if (with_values) std::memmove(&value[nb], &value[begin[l]], sizeof(double) * len);
  }
  // Unlink l and relink it at the tail.
  next[prev[l]] = next[l];
  prev[next[l]] = prev[l];
  const int tail = prev[nlines];
  next[tail] = l;
  prev[l] = tail;
  next[l] = nlines;
  prev[nlines] = l;
  begin[l] = nb;
  end[l] = nb + len;
}

}  // namespace tarvo::xlu::detail
