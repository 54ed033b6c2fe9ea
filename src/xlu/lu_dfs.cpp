// Depth-first search for the nonzero pattern of a sparse triangular solve
// (Gilbert-Peierls): reach of the right-hand side's pattern in the graph of the
// factor, in an order in which each node precedes the nodes it updates.
// Iterative with explicit stacks; work is bounded by the edges it touches.
#include "xlu/lu_internal.hpp"

namespace tarvo::xlu::detail {

int dfs_reach(int m, int nstart, const int* start, const int* begin, const int* end,
              const int* index, int* mark, int stamp, int* stack, int* pstack, int* out) {
  int top = m;
  for (int s = 0; s < nstart; ++s) {
    const int root = start[s];
    if (mark[root] == stamp) continue;
    int head = 0;
    stack[0] = root;
    pstack[0] = begin[root];
    mark[root] = stamp;
    while (head >= 0) {
      const int node = stack[head];
      int p = pstack[head];
      const int e = end[node];
      int child = -1;
      for (; p < e; ++p) {
        const int c = index[p];
        if (mark[c] == stamp) continue;
        mark[c] = stamp;
        // a node without edges is finished at once: no push and pop
        if (begin[c] == end[c]) {
          out[--top] = c;
          continue;
        }
        child = c;
        break;
      }
      if (child >= 0) {
        pstack[head] = p + 1;
        ++head;
        stack[head] = child;
        pstack[head] = begin[child];
      } else {
        out[--top] = node;
        --head;
      }
    }
  }
  return top;
}

}  // namespace tarvo::xlu::detail
