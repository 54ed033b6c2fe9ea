// Depth-first search for the nonzero pattern of a sparse triangular solve
// (Gilbert-Peierls): reach of the right-hand side's pattern in the graph of the
// factor, in an order in which each node precedes the nodes it updates.
// Iterative with explicit stacks; work is bounded by the edges it touches.
#include "xlu/lu_internal.hpp"

namespace tarvo::xlu::detail {

// The search is bound by the latency of its scattered loads (mark, begin, end
// of each child), so the loop keeps its state in locals: the node on top, its
// next edge and its end, and the output cursor. The stacks are touched only
// on a push or a pop.
int dfs_reach(int m, int nstart, const int* start, const int* begin, const int* end,
              const int* index, int* mark, int stamp, int* stack, int* pstack, int* out) {
  int* o = out + m;
  for (int s = 0; s < nstart; ++s) {
    const int root = start[s];
    if (mark[root] == stamp) continue;
    mark[root] = stamp;
    int head = 0;
    int node = root;
    int p = begin[root];
    int e = end[root];
    for (;;) {
      // a node without edges is finished at once: no push and pop
      while (p < e) {
        const int c = index[p++];
        if (mark[c] == stamp) continue;
        mark[c] = stamp;
        const int cb = begin[c], ce = end[c];
        if (cb == ce) {
          *--o = c;
          continue;
        }
        stack[head] = node;
        pstack[head] = p;
        ++head;
        node = c;
        p = cb;
        e = ce;
      }
      *--o = node;
      if (head == 0) break;
      --head;
      node = stack[head];
      p = pstack[head];
      e = end[node];
    }
  }
  return static_cast<int>(o - out);
}

}  // namespace tarvo::xlu::detail
