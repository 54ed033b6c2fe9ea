// Garbage collection and permutation upkeep: compress a file so that its lines
// lie packed in memory order, and squeeze the voids that Forrest-Tomlin updates
// leave in the U pivot order once that array is full.
#include <cstring>

#include "xlu/lu_internal.hpp"

namespace tarvo::xlu::detail {

void File::compress() {
  int pos = 0;
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
