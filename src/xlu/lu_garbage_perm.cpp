// Garbage collection and permutation upkeep: compress a file so that its lines
// lie packed in memory order, and squeeze the voids that Forrest-Tomlin updates
// leave in the U pivot order once that array is full.
#include <cstring>

#include "xlu/lu_internal.hpp"

namespace tarvo::xlu::detail {

// Packs the lines in memory order, then spreads them with growth room when
// that still leaves half the area free: packed tight, the next few updates
// moved most rows of U to the tail again and soon called for another
// compression. The spread runs from the last line back: each line only moves
// up, into space its successors have left.
void File::compress() {
  int pos = 0;
  std::int64_t spread = 0;
  int guard = nlines;  // each line is visited once
  for (int l = next[nlines]; l != nlines && guard-- > 0; l = next[l]) {
    const int len = end[l] - begin[l];
    if (begin[l] != pos && len > 0) {
      std::memmove(&index[pos], &index[begin[l]], sizeof(int) * len);
      if (with_values) std::memmove(&value[pos], &value[begin[l]], sizeof(double) * len);
    }
    begin[l] = pos;
    end[l] = pos + len;
    pos += len;
    spread += len + growth_room(len);
  }
  if (spread > capacity() / 2) return;
  int top = static_cast<int>(spread);
  guard = nlines;
  for (int l = prev[nlines]; l != nlines && guard-- > 0; l = prev[l]) {
    const int len = end[l] - begin[l];
    top -= len + growth_room(len);
    if (top != begin[l] && len > 0) {
      std::memmove(&index[top], &index[begin[l]], sizeof(int) * len);
      if (with_values) std::memmove(&value[top], &value[begin[l]], sizeof(double) * len);
    }
    begin[l] = top;
    end[l] = top + len;
  }
}

void compact_uorder(Work& W) {
  int k = 0;
  for (int p = 0; p < W.uend; ++p) {
    const int a = W.uorder[p];
    if (a < 0) continue;
    W.uorder[k] = a;
    W.upos[a] = k;
    ++k;
  }
  for (int p = k; p < W.uend; ++p) W.uorder[p] = -1;
  W.uend = k;
}

}  // namespace tarvo::xlu::detail
